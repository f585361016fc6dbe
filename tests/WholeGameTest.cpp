// The whole game under the computer player: from the title through every
// stage and back to the title, each screen in its order; and a long run that
// keeps its memory and its task list flat.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/Task.h"
#include "scene/CResult.h"
#include "tests/RunnerTestSupport.h"
#include "tools/sim/SoakMonitor.h"

namespace {

class WholeGameTest : public runnertest::GeneratedDataTest {
protected:
    // The computer player from the title.
    static SimOptions BotGame(uint32_t seed, int frames)
    {
        SimOptions options = runnertest::GameOptions(frames, seed);
        options.bot = true;
        return options;
    }
};

TEST_F(WholeGameTest, TheComputerPlayerGoesFromTheTitleThroughEveryStageBackToTheTitle)
{
    SoakMonitor monitor(600, 600);
    bool lastCleared = false, backOnTitle = false;
    SimOptions options = BotGame(1, 200000);
    options.afterFrame = [&](int frame) {
        monitor.AfterFrame(frame);
        if (auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME)))
            lastCleared |= g_StageIndex == 4 && result->Kind() == CResult::KIND_CLEAR;
        if (lastCleared && !monitor.Screens().empty() && monitor.Screens().back() == "title") {
            backOnTitle = true;
            EXPECT_EQ(g_StageIndex, 5) << "the title after the last stage leaves the index at 5";
            PostQuit();
        }
    };
    int framesRun = 0;
    ASSERT_TRUE(runnertest::Runs(options, &framesRun));
    ASSERT_TRUE(backOnTitle) << "no whole game in " << framesRun << " frames";

    // Every change of screen is one the game's flow allows.
    const std::map<std::string, std::set<std::string>> next = {
        {"title", {"select"}},
        {"select", {"loading"}},
        {"loading", {"battle"}},
        {"battle", {"result"}},
        {"result", {"select", "loading", "title"}},
    };
    const std::vector<std::string>& screens = monitor.Screens();
    ASSERT_GE(screens.size(), 1 + 5 * 4u);
    EXPECT_EQ(screens.front(), "title");
    for (size_t i = 1; i < screens.size(); ++i)
        EXPECT_TRUE(next.at(screens[i - 1]).count(screens[i])) << screens[i - 1] << " -> " << screens[i];
    std::set<int> stagesFought;
    for (const auto& b : monitor.BattleStarts()) stagesFought.insert(b.stage);
    EXPECT_EQ(stagesFought, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST_F(WholeGameTest, ALongRunKeepsMemoryAndTasksFlat)
{
    SoakMonitor monitor(600, 6000);
    SimOptions options = BotGame(2, 30000);
    options.botSkill = 1;   // a player that loses now and then: retries and returns to the title
    options.beforeFrame = [&](int, plat::ScriptedKeySource&) { monitor.BeforeFrame(); };
    options.afterFrame = [&](int frame) { monitor.AfterFrame(frame); };
    ASSERT_TRUE(runnertest::Runs(options));
    RecordProperty("report", monitor.Report());

    // Each stage holds the same tasks and memory every time a battle of it begins.
    std::map<int, SoakMonitor::BattleStart> first;
    int repeated = 0;
    for (const auto& b : monitor.BattleStarts()) {
        auto [it, fresh] = first.emplace(b.stage, b);
        if (fresh) continue;
        ++repeated;
        EXPECT_EQ(b.tasks, it->second.tasks) << "stage " << b.stage + 1;
        EXPECT_LT(b.heapMb - it->second.heapMb, 1.0) << "stage " << b.stage + 1;
    }
    EXPECT_GT(repeated, 0) << "no stage was fought twice";
    EXPECT_LT(monitor.WorstHeapGrowthMb(), 1.0) << monitor.Report();
    EXPECT_LE(monitor.Last().tasks, monitor.First().tasks + 200) << monitor.Report();
    EXPECT_LT(monitor.Last().residentMb, 100.0) << monitor.Report();
}

}   // namespace
