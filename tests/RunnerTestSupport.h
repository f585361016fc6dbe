// What the tests that drive the headless runner share: the options of a run
// on the generated data set, a scratch folder for a run's key script and
// trace, the run itself as a check with the runner's message, the trace read
// back line by line or parsed into frames, and the first frame that matches.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/StageTestSupport.h"
#include "tools/sim/SimRunner.h"

namespace runnertest {

namespace fs = std::filesystem;
using stagetest::GeneratedDataDir;
using stagetest::HasGeneratedData;

// A run of the generated data set on the recording device (no pixels):
// `stage` 1 to 5 loads that stage at once, -1 opens the title.
inline SimOptions GameOptions(int frames, uint32_t seed, int stage = -1)
{
    SimOptions options;
    options.frames = frames;
    options.seed = seed;
    options.stage = stage;
    options.dataDir = GeneratedDataDir().string();
    options.offscreenVideo = false;
    return options;
}

// Plays the run through; a failure carries the runner's message.
inline ::testing::AssertionResult Runs(const SimOptions& options, int* framesRun = nullptr)
{
    SimRunner runner(options);
    std::string error;
    const bool ran = runner.Run(&error);
    if (framesRun) *framesRun = runner.FramesRun();
    if (ran) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

inline std::vector<std::string> ReadLines(const fs::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::string ReadText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A scratch folder for the key script and the trace of each run; a later
// run overwrites the files of the one before.
class RunFolder {
public:
    const fs::path& Path() const { return m_Dir.Path(); }
    void Write(const std::string& relative, const std::string& text) const { m_Dir.Write(relative, text); }

    // The run reads `keys` ("FRAME KEY down|up" lines) as its key script.
    SimOptions& WithKeys(SimOptions& options, const std::string& keys) const
    {
        m_Dir.Write(KEYS_FILE, keys);
        options.keysPath = (Path() / KEYS_FILE).string();
        return options;
    }

    // The run writes its trace into the folder.
    SimOptions& WithTrace(SimOptions& options) const
    {
        options.tracePath = (Path() / TRACE_FILE).string();
        return options;
    }

    // Plays the run with a trace, expecting it to go through; the trace's
    // lines, one a frame.
    std::vector<std::string> PlayTraced(SimOptions options) const
    {
        WithTrace(options);
        EXPECT_TRUE(Runs(options));
        return ReadLines(options.tracePath);
    }

private:
    static constexpr const char* KEYS_FILE = "keys.txt";
    static constexpr const char* TRACE_FILE = "trace.jsonl";
    stagetest::ScratchDir m_Dir;
};

// Each trace line parsed into a frame.
template <typename Frame, typename Parse>
std::vector<Frame> ParseEach(const std::vector<std::string>& lines, Parse parse)
{
    std::vector<Frame> frames;
    frames.reserve(lines.size());
    for (const std::string& line : lines) frames.push_back(parse(line));
    return frames;
}

// The index of the first frame from `from` on that matches, or -1.
template <typename Frame, typename Pred>
int FirstWhere(const std::vector<Frame>& frames, Pred matches, int from = 0)
{
    for (int i = from; i < static_cast<int>(frames.size()); ++i)
        if (matches(frames[i])) return i;
    return -1;
}

using stagetest::GeneratedDataFixture;
using GeneratedDataTest = GeneratedDataFixture<>;

}   // namespace runnertest
