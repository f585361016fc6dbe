// The screens as a player meets them: the headless runner from the title
// through the stage select and loading into stage 1 with scripted keys.
// Screenshots of each screen are left in build/screen-shots to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "tests/StageTestSupport.h"
#include "tools/sim/SimRunner.h"

namespace {

namespace fs = std::filesystem;
using stagetest::GeneratedDataDir;
using stagetest::HasGeneratedData;

std::string ShotPath(const std::string& name)
{
    fs::path dir = fs::path(SPINDREL_BINARY_DIR) / "screen-shots";
    fs::create_directories(dir);
    return (dir / name).string();
}

TEST(ScreenScenarioTest, FromTheTitleThroughTheStageSelectAndLoadingIntoStageOne)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    stagetest::ScratchDir dir;
    dir.Write("keys.txt",
              "30 Z down\n32 Z up\n"       // skip the opening
              "40 Z down\n42 Z up\n"       // start: the skip chose the first entry
              "200 Z down\n202 Z up\n");   // decide on the stage select
    SimOptions o;
    o.frames = 420;
    o.seed = 5;
    o.dataDir = GeneratedDataDir().string();
    o.keysPath = (dir.Path() / "keys.txt").string();
    o.tracePath = (dir.Path() / "trace.jsonl").string();
    for (int f : {20, 60, 100, 31, 190, 305, 400}) o.shots[f] = ShotPath("flow-" + std::to_string(f) + ".png");
    SimRunner runner(o);
    std::string error;
    if (!runner.Run(&error)) GTEST_SKIP() << "no offscreen OpenGL here: " << error;

    // Each frame's screen, whether a fade runs, and the stage index.
    std::vector<std::string> screens;
    std::vector<bool> fading;
    std::vector<std::string> lines;
    std::ifstream in(o.tracePath);
    static const std::regex screen("\"screen\":\"(\\w+)\",\"stage\":0,");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(line, m, screen)) << line;
        screens.push_back(m[1]);
        fading.push_back(line.find("\"fead\"") != std::string::npos);
        EXPECT_NE(line.find("\"result\":null"), std::string::npos);
        lines.push_back(line);
    }
    ASSERT_EQ(screens.size(), 420u);
    auto first = [&](const std::function<bool(int)>& match, int from) {
        for (int i = from; i < static_cast<int>(screens.size()); ++i)
            if (match(i)) return i;
        return -1;
    };
    EXPECT_EQ(screens[0], "title");
    // The start at 41 opens the stage select under a fade: 100 darkening updates and the release.
    const int select = first([&](int i) { return screens[i] == "select"; }, 0);
    ASSERT_EQ(select, 41);
    EXPECT_EQ(first([&](int i) { return !fading[i]; }, select) - select, 101);
    // The decide at 200 fades the select out; loading, then the stage.
    EXPECT_NE(lines[200].find("sound/System.wav"), std::string::npos);
    const int loading = first([&](int i) { return screens[i] == "loading"; }, 0);
    EXPECT_EQ(loading, 300);
    EXPECT_EQ(first([&](int i) { return screens[i] == "battle"; }, 0) - loading, o.loadingFrames + 1);
    EXPECT_EQ(screens.back(), "battle");
}

}  // namespace
