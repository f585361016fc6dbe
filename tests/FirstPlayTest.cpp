// A new player's first play: where the flag that the how-to-play card was
// seen is kept, that it is written whole, and that the card stands between
// the stage select and the loading of stage 1 only while it is still to be
// seen, waits for a Z of its own and sets the flag when skipped.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/FirstPlayFlag.h"
#include "core/FirstPlay.h"
#include "scene/CFeadEffect.h"
#include "scene/CHowToPlay.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"
#include "tests/ScreenTestSupport.h"

namespace {

namespace fs = std::filesystem;
using screentest::Find;
using screentest::ScreenWorld;
using screentest::StageEnvironment;

struct FlagPathCase {
    const char* xdgDataHome;
    const char* home;
    const char* expected;   // empty: no usable place
};

class FirstPlayFlagPathTest : public ::testing::TestWithParam<FlagPathCase> {};

TEST_P(FirstPlayFlagPathTest, FollowsTheBaseDirectoryRules)
{
    const FlagPathCase& c = GetParam();
    EXPECT_EQ(FirstPlayFlag::PathFor(c.xdgDataHome, c.home).string(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, FirstPlayFlagPathTest,
    ::testing::Values(FlagPathCase{"/data", "/home/a", "/data/spindrel/how-to-play-seen"},
                      FlagPathCase{nullptr, "/home/a", "/home/a/.local/share/spindrel/how-to-play-seen"},
                      FlagPathCase{"", "/home/a", "/home/a/.local/share/spindrel/how-to-play-seen"},
                      FlagPathCase{"relative/dir", "/home/a", "/home/a/.local/share/spindrel/how-to-play-seen"},
                      FlagPathCase{nullptr, nullptr, ""}, FlagPathCase{nullptr, "not/absolute", ""}));

TEST(FirstPlayFlag, SetCreatesTheFoldersAndLeavesNothingElseBehind)
{
    stagetest::ScratchDir dir;
    const FirstPlayFlag flag(FirstPlayFlag::PathFor(dir.Path().c_str(), nullptr));
    EXPECT_FALSE(flag.IsSet());
    std::string error;
    ASSERT_TRUE(flag.Set(&error)) << error;
    EXPECT_TRUE(flag.IsSet());
    ASSERT_TRUE(flag.Set(&error)) << "setting it again replaces it: " << error;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(flag.Path().parent_path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1) << "no temporary file is left";

    // A file where the folder should be: reported, never a crash.
    const FirstPlayFlag blocked(flag.Path() / FirstPlayFlag::FILE_NAME);
    EXPECT_FALSE(blocked.Set(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(FirstPlayFlag(fs::path()).Set(&error));
}

class HowToPlayCardTest : public stagetest::GeneratedDataFixture<> {
protected:
    void TearDown() override { FirstPlay::Configure(false); }

    // The stage select of a stage, decided, up to the frame after its fade.
    void ChooseStage(int stageIndex)
    {
        g_StageIndex = stageIndex;
        AddTask(new CStageSelect, PRIORITY_STAGE_SELECT_FROM_TITLE);
        world.Frames(3);
        world.Press(plat::KEY_Z);
        ASSERT_TRUE(world.RunUntil([] { return !FindTask(FADE_TASK_NAME); }, 200));
    }

    ScreenWorld world;
    int seen = 0;
};

TEST_F(HowToPlayCardTest, StandsBeforeStageOneUntilSkippedWithAZOfItsOwn)
{
    FirstPlay::Configure(true, [this] { ++seen; });
    ChooseStage(0);
    ASSERT_NE(Find<CHowToPlay>(), nullptr);
    EXPECT_EQ(Find<CLoadStage>(), nullptr);

    world.Key(plat::KEY_Z, true);   // held from the stage select
    world.Frames(60);
    ASSERT_NE(Find<CHowToPlay>(), nullptr);
    world.Key(plat::KEY_Z, false);
    world.Frames(2);
    world.Press(plat::KEY_Z);
    EXPECT_EQ(Find<CHowToPlay>(), nullptr);
    ASSERT_NE(Find<CLoadStage>(), nullptr);
    EXPECT_NE(FindTask(FADE_TASK_NAME), nullptr);
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(FirstPlay::CardPending());
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
}

TEST_F(HowToPlayCardTest, OtherStagesAndLaterPlaysGoStraightToLoading)
{
    for (auto [pending, stage] : {std::pair{true, 1}, std::pair{false, 0}}) {
        ClearTasks();
        FirstPlay::Configure(pending, [this] { ++seen; });
        ChooseStage(stage);
        EXPECT_EQ(Find<CHowToPlay>(), nullptr) << stage;
        EXPECT_NE(Find<CLoadStage>(), nullptr) << stage;
        ASSERT_TRUE(StageEnvironment::WaitForLoader());
    }
    EXPECT_EQ(seen, 0);
}

}   // namespace
