// The screens as a player meets them: the headless runner from the title
// through the stage select and loading into stage 1 with scripted keys.
// Screenshots of each screen are left in build/screen-shots to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/RunnerTestSupport.h"

namespace {

namespace fs = std::filesystem;
using runnertest::FirstWhere;
using runnertest::HasGeneratedData;

struct ScreenFrame {
    std::string screen;
    bool fading = false;
};

std::string ShotPath(const std::string& name)
{
    fs::path dir = fs::path(SPINDREL_BINARY_DIR) / "screen-shots";
    fs::create_directories(dir);
    return (dir / name).string();
}

TEST(ScreenScenarioTest, FromTheTitleThroughTheStageSelectAndLoadingIntoStageOne)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    runnertest::RunFolder run;
    SimOptions o = runnertest::GameOptions(420, 5);
    o.offscreenVideo = true;
    run.WithKeys(o,
                 "30 Z down\n32 Z up\n"       // skip the opening
                 "40 Z down\n42 Z up\n"       // start: the skip chose the first entry
                 "200 Z down\n202 Z up\n");   // decide on the stage select
    run.WithTrace(o);
    for (int f : {20, 60, 100, 31, 190, 305, 400}) o.shots[f] = ShotPath("flow-" + std::to_string(f) + ".png");
    if (auto ran = runnertest::Runs(o); !ran) GTEST_SKIP() << "no offscreen OpenGL here: " << ran.message();

    // Each frame's screen and whether a fade runs; every frame is on stage 1 with no result.
    const std::vector<std::string> lines = runnertest::ReadLines(o.tracePath);
    std::vector<ScreenFrame> frames;
    static const std::regex screen("\"screen\":\"(\\w+)\",\"stage\":0,");
    for (const std::string& line : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(line, m, screen)) << line;
        frames.push_back({m[1], line.find("\"fead\"") != std::string::npos});
        EXPECT_NE(line.find("\"result\":null"), std::string::npos);
    }
    ASSERT_EQ(frames.size(), 420u);
    auto on = [](const char* name) { return [name](const ScreenFrame& f) { return f.screen == name; }; };
    EXPECT_EQ(frames[0].screen, "title");
    // The start at 41 opens the stage select under a fade: 100 darkening updates and the release.
    const int select = FirstWhere(frames, on("select"));
    ASSERT_EQ(select, 41);
    EXPECT_EQ(FirstWhere(
                  frames, [](const ScreenFrame& f) { return !f.fading; }, select) -
                  select,
              101);
    // The decide at 200 fades the select out; loading, then the stage.
    EXPECT_NE(lines[200].find("sound/System.wav"), std::string::npos);
    const int loading = FirstWhere(frames, on("loading"));
    EXPECT_EQ(loading, 300);
    EXPECT_EQ(FirstWhere(frames, on("battle")) - loading, o.loadingFrames + 1);
    EXPECT_EQ(frames.back().screen, "battle");
}

}   // namespace
