// The headless runner: its command line, its key scripts, and a whole run
// with trace and screenshot.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Texture.h"
#include "tools/sim/KeyScript.h"
#include "tools/sim/SimRunner.h"

namespace {

bool Parse(std::vector<std::string> args, SimOptions* o, std::string* error)
{
    std::vector<char*> argv;
    static std::string program = "spindrel-sim";
    argv.push_back(program.data());
    for (auto& a : args) argv.push_back(a.data());
    return SimRunner::ParseArgs(static_cast<int>(argv.size()), argv.data(), o, error);
}

std::filesystem::path TempDir(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("spindrel-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(SimRunnerTest, ParsesEveryOption)
{
    SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--frames", "90", "--seed", "7", "--stage", "3", "--data", "d", "--keys", "k.txt", "--trace",
                       "t.jsonl", "--trace-every", "5", "--shot", "10=a.png", "--shot", "20=b.png", "--video",
                       "offscreen"},
                      &o, &error))
        << error;
    EXPECT_EQ(o.frames, 90);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_EQ(o.stage, 3);
    EXPECT_EQ(o.dataDir, "d");
    EXPECT_EQ(o.keysPath, "k.txt");
    EXPECT_EQ(o.tracePath, "t.jsonl");
    EXPECT_EQ(o.traceEvery, 5);
    EXPECT_EQ(o.shots.size(), 2u);
    EXPECT_EQ(o.shots[20], "b.png");
}

TEST(SimRunnerTest, RejectsBadArguments)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--frames"}, {"--frames", "-3"}, {"--frames", "12x"}, {"--stage", "0"}, {"--stage", "6"},
        {"--shot", "5"}, {"--shot", "x=a.png"}, {"--video", "window"}, {"--trace-every", "0"}, {"--bogus"},
        {"--video", "none", "--shot", "3=a.png"}};
    for (const auto& args : bad) {
        SimOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, &o, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimRunnerTest, KeyScriptParsesLinesAndRefusesGarbage)
{
    KeyScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("# launch\n10 Z down\n\n12 Z up\n10 LEFT down\n", &error)) << error;
    auto at10 = script.EventsAt(10);
    ASSERT_EQ(at10.size(), 2u);
    EXPECT_EQ(at10[0].key, 0x2C);
    EXPECT_TRUE(at10[0].down);
    EXPECT_EQ(at10[1].key, 0xCB);
    EXPECT_FALSE(script.EventsAt(12)[0].down);
    for (const char* bad : {"10 Q down\n", "x Z down\n", "10 Z sideways\n", "10 Z down extra\n", "-1 Z up\n"}) {
        KeyScript s;
        EXPECT_FALSE(s.Parse(bad, &error)) << bad;
    }
    KeyScript missing;
    EXPECT_FALSE(missing.Load("/nonexistent/keys.txt", &error));
}

TEST(SimRunnerTest, RunWritesTraceWithHeadFirstTailLastAndAScreenshot)
{
    auto dir = TempDir("sim");
    SimOptions o;
    o.frames = 120;
    o.seed = 3;
    o.dataDir = SPINDREL_BINARY_DIR "/data";
    if (!std::filesystem::is_directory(o.dataDir)) o.dataDir = dir.string();
    o.tracePath = (dir / "trace.jsonl").string();
    o.shots[100] = (dir / "shot.png").string();
    SimRunner runner(o);
    std::string error;
    if (!runner.Run(&error)) GTEST_SKIP() << "no offscreen OpenGL here: " << error;
    EXPECT_EQ(runner.FramesRun(), 120);

    std::ifstream trace(o.tracePath);
    std::string line;
    int lines = 0;
    while (std::getline(trace, line)) {
        ++lines;
        // Every frame's task list opens with the head (only loaded resources,
        // at priority -1, stand before it) and closes with the tail.
        size_t tasks = line.find("\"tasks\":[[");
        ASSERT_NE(tasks, std::string::npos) << line;
        size_t head = line.find("[0,\"TaskHead\"]", tasks);
        ASSERT_NE(head, std::string::npos) << line;
        std::string before = line.substr(tasks + 9, head - tasks - 9);
        for (size_t at = before.find('['); at != std::string::npos; at = before.find('[', at + 1))
            EXPECT_EQ(before.compare(at, 4, "[-1,"), 0) << before;
        size_t tail = line.find("[2147483647,\"TaskTail\"]]");
        EXPECT_NE(tail, std::string::npos) << line;
        EXPECT_NE(line.find("\"ms\":"), std::string::npos);
        EXPECT_NE(line.find("\"sounds\":"), std::string::npos);
        EXPECT_NE(line.find("\"music\":"), std::string::npos);
        EXPECT_NE(line.find("\"camera\":"), std::string::npos);
    }
    EXPECT_EQ(lines, 120);

    plat::Texture shot;
    ASSERT_TRUE(shot.LoadFromFile(o.shots[100], 0));
    EXPECT_EQ(shot.SourceWidth(), 640);
    EXPECT_EQ(shot.SourceHeight(), 480);
    // Not blank: the picture holds many different colours.
    const auto& px = shot.Pixels();
    int first = px[0] | (px[1] << 8) | (px[2] << 16);
    int differing = 0;
    for (size_t i = 0; i + 3 < px.size(); i += 4 * 97)
        if ((px[i] | (px[i + 1] << 8) | (px[i + 2] << 16)) != first) ++differing;
    EXPECT_GT(differing, 100);
    std::filesystem::remove_all(dir);
}

TEST(SimRunnerTest, SameSeedAndScriptGiveTheSameTrace)
{
    auto dir = TempDir("det");
    std::string traces[2];
    for (int run = 0; run < 2; ++run) {
        SimOptions o;
        o.frames = 60;
        o.seed = 11;
        o.offscreenVideo = false;
        o.dataDir = SPINDREL_BINARY_DIR "/data";
        if (!std::filesystem::is_directory(o.dataDir)) o.dataDir = dir.string();
        o.tracePath = (dir / ("t" + std::to_string(run))).string();
        SimRunner runner(o);
        std::string error;
        ASSERT_TRUE(runner.Run(&error)) << error;
        std::ifstream in(o.tracePath);
        traces[run].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_FALSE(traces[0].empty());
    EXPECT_EQ(traces[0], traces[1]);
    std::filesystem::remove_all(dir);
}

}  // namespace
