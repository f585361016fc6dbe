// The headless runner: its command line, its key scripts, and a whole run
// with trace and screenshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Texture.h"
#include "tests/RefusalCapture.h"
#include "tests/RunnerTestSupport.h"
#include "tools/sim/KeyScript.h"

namespace {

bool Parse(std::vector<std::string> args, SimOptions* o, std::string* error)
{
    std::vector<char*> argv;
    static std::string program = "spindrel-sim";
    argv.push_back(program.data());
    for (auto& a : args) argv.push_back(a.data());
    return SimRunner::ParseArgs(static_cast<int>(argv.size()), argv.data(), o, error);
}

// A run on the recording device of the generated data set, or of an empty
// folder when the data set is not built.
SimOptions AnyDataOptions(const runnertest::RunFolder& run, int frames, uint32_t seed)
{
    SimOptions o = runnertest::GameOptions(frames, seed);
    if (!std::filesystem::is_directory(o.dataDir)) o.dataDir = run.Path().string();
    return o;
}

TEST(SimRunnerTest, ParsesEveryOption)
{
    SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--frames", "90",       "--seed",  "7",        "--stage",       "3", "--data", "d",
                       "--keys",   "k.txt",    "--trace", "t.jsonl",  "--trace-every", "5", "--shot", "10=a.png",
                       "--shot",   "20=b.png", "--video", "offscreen"},
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
    EXPECT_EQ(o.loadingFrames, 8);
    EXPECT_FALSE(o.howToPlay) << "the card only when asked for";
    ASSERT_TRUE(Parse({"--loading-frames", "0", "--how-to-play"}, &o, &error)) << error;
    EXPECT_EQ(o.loadingFrames, 0);
    EXPECT_TRUE(o.howToPlay);
}

TEST(SimRunnerTest, RejectsBadArguments)
{
    const std::vector<std::vector<std::string>> bad = {{"--frames"},
                                                       {"--frames", "-3"},
                                                       {"--frames", "12x"},
                                                       {"--stage", "0"},
                                                       {"--stage", "6"},
                                                       {"--shot", "5"},
                                                       {"--shot", "x=a.png"},
                                                       {"--video", "window"},
                                                       {"--trace-every", "0"},
                                                       {"--bogus"},
                                                       {"--video", "none", "--shot", "3=a.png"},
                                                       {"--loading-frames", "-1"},
                                                       {"--replay", "r.rep", "--how-to-play"},
                                                       {"--versus"},
                                                       {"--versus", "--stage", "2"},
                                                       {"--versus", "--stage", "5"},
                                                       {"--bot2", "--stage", "1"},
                                                       {"--versus", "--stage", "1", "--bot2-skill", "4"}};
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
    // The second player's keys by action, and any key by its settings name.
    KeyScript second;
    ASSERT_TRUE(second.Parse("5 P2_DASH down\n5 P2_UP down\n5 W up\n5 LSHIFT up\n", &error)) << error;
    auto at5 = second.EventsAt(5);
    ASSERT_EQ(at5.size(), 4u);
    EXPECT_EQ(at5[0].key, 0x2A);   // Left Shift
    EXPECT_EQ(at5[1].key, 0x11);   // W
    EXPECT_EQ(at5[2].key, 0x11);
    EXPECT_EQ(at5[3].key, 0x2A);
    for (const char* bad : {"10 NOSUCHKEY down\n", "10 P3_UP down\n", "x Z down\n", "10 Z sideways\n",
                            "10 Z down extra\n", "-1 Z up\n"}) {
        KeyScript s;
        EXPECT_FALSE(s.Parse(bad, &error)) << bad;
    }
    KeyScript missing;
    EXPECT_FALSE(missing.Load("/nonexistent/keys.txt", &error));
}

TEST(SimRunnerTest, RunWritesTraceWithHeadFirstTailLastAndAScreenshot)
{
    runnertest::RunFolder run;
    SimOptions o = AnyDataOptions(run, 120, 3);
    o.offscreenVideo = true;
    run.WithTrace(o);
    o.shots[100] = (run.Path() / "shot.png").string();
    int framesRun = 0;
    if (auto ran = runnertest::Runs(o, &framesRun); !ran) GTEST_SKIP() << "no offscreen OpenGL here: " << ran.message();
    EXPECT_EQ(framesRun, 120);

    const std::vector<std::string> lines = runnertest::ReadLines(o.tracePath);
    for (const std::string& line : lines) {
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
    EXPECT_EQ(lines.size(), 120u);

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
}

// Counts the pixels of a 640 x 480 screenshot's rectangle that are not black
// (the texture holds the picture stretched to powers of two).
int LitPixels(const plat::Texture& shot, int left, int top, int right, int bottom)
{
    int lit = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            uint32_t argb = shot.PixelARGB(x * shot.Width() / 640, y * shot.Height() / 480);
            if (((argb >> 16) & 0xff) + ((argb >> 8) & 0xff) + (argb & 0xff) > 60) ++lit;
        }
    return lit;
}

TEST(SimRunnerTest, StageLoadsBehindTheLoadingScreenAndHandsOverInOneFrame)
{
    if (!runnertest::HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    runnertest::RunFolder run;
    SimOptions o = runnertest::GameOptions(40, 1, 1);
    o.offscreenVideo = true;
    run.WithTrace(o);
    o.shots[3] = (run.Path() / "loading.png").string();
    o.shots[30] = (run.Path() / "aiming.png").string();
    if (auto ran = runnertest::Runs(o); !ran) GTEST_SKIP() << "no offscreen OpenGL here: " << ran.message();

    const std::vector<std::string> lines = runnertest::ReadLines(o.tracePath);
    ASSERT_EQ(lines.size(), 40u);
    const std::vector<std::string> stageTasks = {"[2000,\"CCamera\"]", "[3000,\"CStage\"]", "[4000,\"CKomaSet\"]",
                                                 "[7000,\"CODE\"]"};
    const int handOver = o.loadingFrames;
    for (int f = 0; f < handOver; ++f) {
        EXPECT_NE(lines[f].find("[1,\"\"]"), std::string::npos) << "no loading screen at frame " << f;
        for (const std::string& task : stageTasks) EXPECT_EQ(lines[f].find(task), std::string::npos) << f;
    }
    // The hand-over frame brings every stage task at once and ends the loading screen.
    EXPECT_EQ(lines[handOver].find("[1,\"\"]"), std::string::npos);
    for (const std::string& task : stageTasks) EXPECT_NE(lines[handOver].find(task), std::string::npos) << task;
    // The aiming phase plays its music.
    EXPECT_NE(lines[30].find("PowerSet.mp3"), std::string::npos) << lines[30];
    EXPECT_NE(lines[30].find("\"playing\":true"), std::string::npos) << lines[30];

    // The loading screen is its banner and wheel on black; the aiming screen is full.
    plat::Texture loading, aiming;
    ASSERT_TRUE(loading.LoadFromFile(o.shots[3], 0));
    ASSERT_TRUE(aiming.LoadFromFile(o.shots[30], 0));
    EXPECT_GT(LitPixels(loading, 208, 148, 432, 212), 1000) << "no banner";
    EXPECT_GT(LitPixels(loading, 288, 228, 352, 292), 300) << "no wheel";
    EXPECT_EQ(LitPixels(loading, 0, 0, 640, 120), 0) << "the loading screen draws only its picture";
    EXPECT_GT(LitPixels(aiming, 0, 0, 640, 480), 640 * 480 / 2);
}

// A copy of the data set made of links to its files, so that single files
// can be taken away or replaced without touching the original.
void LinkDataSet(const std::filesystem::path& from, const std::filesystem::path& to)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
        const auto target = to / std::filesystem::relative(entry.path(), from);
        if (entry.is_directory())
            std::filesystem::create_directories(target);
        else
            std::filesystem::create_symlink(entry.path(), target);
    }
}

void Replace(const std::filesystem::path& file, const std::string& bytes)
{
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Field(const std::string& line, const std::string& key)
{
    const size_t at = line.find("\"" + key + "\":");
    return at == std::string::npos ? "" : line.substr(at, line.find('}', at) - at);
}

// A missing top, an interface picture cut short and a track of noise: each is
// reported once, with its reason, on the message sink and in the trace, and
// the battle is fought without them.
TEST(SimRunnerTest, DamagedDataIsReportedOnceAndTheBattleRunsOn)
{
    if (!runnertest::HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    runnertest::RunFolder run;
    const std::filesystem::path data = runnertest::GeneratedDataDir(), dir = run.Path();
    LinkDataSet(data, dir / "data");
    std::filesystem::remove(dir / "data/X/Top.x");
    std::ifstream picture(data / "texture/Interface.png", std::ios::binary);
    std::string head(100, '\0');
    picture.read(head.data(), static_cast<std::streamsize>(head.size()));
    Replace(dir / "data/texture/Interface.png", head);
    std::string noise(64 << 10, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u >> 13) & 0x7f);
    Replace(dir / "data/bgm/PowerSet.mp3", noise);

    RefusalCapture capture;
    SimOptions o = runnertest::GameOptions(600, 1, 1);
    o.offscreenVideo = true;
    o.bot = true;
    o.dataDir = (dir / "data").string();
    run.WithTrace(o);
    int framesRun = 0;
    if (auto ran = runnertest::Runs(o, &framesRun); !ran) GTEST_SKIP() << "no offscreen OpenGL here: " << ran.message();
    EXPECT_EQ(framesRun, o.frames);

    const std::vector<std::string> expected = {
        // sorted
        "spindrel: refused X/Top.x: missing",
        "spindrel: refused bgm/PowerSet.mp3: no MP3 audio the game can play",
        "spindrel: refused texture/Interface.png: cut short",
    };
    std::vector<std::string> messages = capture.Messages();
    std::sort(messages.begin(), messages.end());
    EXPECT_EQ(messages, expected);

    const std::vector<std::string> lines = runnertest::ReadLines(o.tracePath);
    ASSERT_EQ(lines.size(), static_cast<size_t>(o.frames));
    const std::string& last = lines.back();
    EXPECT_NE(last.find("{\"file\":\"X/Top.x\",\"why\":\"missing\"}"), std::string::npos) << last;
    EXPECT_NE(last.find("{\"file\":\"texture/Interface.png\",\"why\":\"cut short\"}"), std::string::npos);
    EXPECT_NE(last.find("\"file\":\"bgm/PowerSet.mp3\""), std::string::npos);
    // The tops were launched and fight: the player's top has moved since the battle began.
    EXPECT_NE(last.find("\"screen\":\"battle\""), std::string::npos) << last;
    EXPECT_NE(Field(last, "player"), "");
    EXPECT_NE(Field(last, "player"), Field(lines[o.loadingFrames + 1], "player"));
}

TEST(SimRunnerTest, SameSeedAndScriptGiveTheSameTrace)
{
    runnertest::RunFolder run;
    const SimOptions o = AnyDataOptions(run, 60, 11);
    const std::vector<std::string> first = run.PlayTraced(o);
    const std::vector<std::string> second = run.PlayTraced(o);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
}

}   // namespace
