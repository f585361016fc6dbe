// The title screen: its opening, the skip, the menu and its four entries, and
// its sprites when pictures are missing or counters out of range.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/CBGMusic.h"
#include "core/VersusMatch.h"
#include "platform/audio/MusicStream.h"
#include "scene/CFeadEffect.h"
#include "scene/COptions.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "scene/CVersusSelect.h"
#include "stage/CLoadStage.h"
#include "tests/ScreenTestSupport.h"

namespace {

using screentest::Find;
using screentest::ScreenWorld;

constexpr const char* MOVE = "sound/Move.wav";
constexpr const char* SYSTEM = "sound/System.wav";

class CTitleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!screentest::HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
        AddTask(title = new CTitle, PRIORITY_TITLE);
    }
    void RunToMenu()
    {
        ASSERT_TRUE(world.RunUntil([this] { return title->m_MenuChoice != 0; }, 1000));
    }

    ScreenWorld world;
    CTitle* title = nullptr;
};

TEST_F(CTitleTest, OpeningRunsItsPhasesInTurnAndTheLettersLandHome)
{
    // The tops shrink in turn (18 updates each), turn (10) and close in (10).
    world.Frames(18);
    EXPECT_LE(title->m_LeftScale, CTitle::TOP_END_SCALE);
    EXPECT_FLOAT_EQ(title->m_RightScale, CTitle::TOP_START_SCALE);
    world.Frames(38);
    EXPECT_FLOAT_EQ(title->m_SpinAngle, CTitle::TOP_END_ANGLE);
    EXPECT_EQ(title->m_Separation, CTitle::END_SEPARATION);
    // Restarted on every update at which a shrinking scale truncates to 2.
    EXPECT_EQ(world.Started("sound/title/TextScall.wav"), 10);

    ASSERT_TRUE(world.RunUntil([this] { return !title->InOpening(); }, 200));
    EXPECT_GE(world.Started("sound/title/Explosion.wav"), 4);
    ASSERT_TRUE(world.RunUntil([this] { return title->m_LetterAngle >= CTitle::FULL_TURN; }, 100));
    ASSERT_TRUE(world.RunUntil([this] { return title->m_LetterSpin == 0.0f; }, 100));
    for (int i = 0; i < CTitle::LETTERS; ++i) {
        EXPECT_NEAR(title->m_LetterPos[i].x, title->m_LetterHome[i].x, 0.05f) << i;
        EXPECT_NEAR(title->m_LetterPos[i].y, title->m_LetterHome[i].y, 0.05f) << i;
    }
    world.Started("");
    world.Frames(35);   // the subtitle fades in; then the running top sets off
    EXPECT_EQ(title->m_LogoAlpha, CTitle::LOGO_SHOWN_ALPHA);
    EXPECT_EQ(world.Started("sound/title/TextAlpha.wav"), 1);
    world.Frame();
    EXPECT_GT(title->m_RunnerX, 0);
}

TEST_F(CTitleTest, ZDuringTheOpeningLandsOnTheFinishedLogoWithTheFirstEntryChosen)
{
    world.Frames(5);
    world.Press(plat::KEY_Z);
    EXPECT_FALSE(title->InOpening());
    EXPECT_EQ(title->m_MenuChoice, CTitle::CHOICE_START);
    EXPECT_EQ(title->m_LetterSpin, 0.0f);
    EXPECT_GE(title->m_LogoAlpha, CTitle::LOGO_SHOWN_ALPHA);
    for (int i = 0; i < CTitle::LETTERS; ++i) EXPECT_EQ(title->m_LetterPos[i].x, title->m_LetterHome[i].x);
    EXPECT_EQ(world.Started(SYSTEM), 1);
    EXPECT_EQ(Find<CTitle>(), title) << "the skip does not start the game";
}

TEST_F(CTitleTest, UpOrDownBeforeZInTheOpeningDecideWhatThatZDoes)
{
    world.Frames(5);
    world.Press(plat::KEY_DOWN);
    world.Press(plat::KEY_Z);
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(Find<CTitle>(), title) << "quitting leaves the title to the end of the frame";

    ResetQuitRequest();
    world.Press(plat::KEY_UP);
    world.Press(plat::KEY_Z);
    EXPECT_FALSE(QuitRequested());
    EXPECT_EQ(Find<CTitle>(), nullptr);
    EXPECT_NE(Find<CStageSelect>(), nullptr);
}

// Keys pressed on the uncovered menu, and the entry they leave chosen: Up is
// START and Down is QUIT as ever, except that Down from QUIT reaches OPTIONS
// beneath it and Down from OPTIONS VERSUS beside it, and Up goes back the same
// way; Left and Right move between OPTIONS and VERSUS; nothing wraps around.
struct CursorCase {
    std::vector<int> keys;
    int chosen;
};

class CTitleCursorTest : public CTitleTest, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(CTitleCursorTest, UpAndDownReachEveryEntryWithoutWrappingAndEveryPressPlaysMove)
{
    const CursorCase c = GetParam();
    RunToMenu();
    world.Started(MOVE);
    for (int key : c.keys) world.Press(key);
    EXPECT_EQ(title->m_MenuChoice, c.chosen);
    EXPECT_EQ(world.Started(MOVE), static_cast<int>(c.keys.size()));
}

constexpr int UP = plat::KEY_UP, DOWN = plat::KEY_DOWN, LEFT = plat::KEY_LEFT, RIGHT = plat::KEY_RIGHT;
INSTANTIATE_TEST_SUITE_P(Keys, CTitleCursorTest,
                         ::testing::Values(CursorCase{{UP}, CTitle::CHOICE_START},
                                           CursorCase{{UP, DOWN}, CTitle::CHOICE_QUIT},
                                           CursorCase{{UP, DOWN, DOWN}, CTitle::CHOICE_OPTIONS},
                                           CursorCase{{UP, DOWN, DOWN, DOWN}, CTitle::CHOICE_VERSUS},
                                           CursorCase{{DOWN, DOWN, DOWN, DOWN}, CTitle::CHOICE_VERSUS},
                                           CursorCase{{DOWN, DOWN, DOWN, UP}, CTitle::CHOICE_OPTIONS},
                                           CursorCase{{DOWN, DOWN, RIGHT}, CTitle::CHOICE_VERSUS},
                                           CursorCase{{DOWN, DOWN, RIGHT, LEFT}, CTitle::CHOICE_OPTIONS},
                                           CursorCase{{DOWN, DOWN, UP}, CTitle::CHOICE_QUIT},
                                           CursorCase{{DOWN, DOWN, UP, UP, UP}, CTitle::CHOICE_START}));

TEST_F(CTitleTest, VersusOpensTheArenaSelectAndTheTitleEndsAnyMatchLeftUnfinished)
{
    RunToMenu();
    EXPECT_FALSE(VersusMatch::Current().Active());
    VersusMatch::Current().Begin(2);   // as a battle of two left for the title would leave it
    ClearTasks();
    AddTask(title = new CTitle, PRIORITY_TITLE);
    EXPECT_FALSE(VersusMatch::Current().Active());

    world.Press(plat::KEY_Z);   // the skip
    for (int i = 0; i < 3; ++i) world.Press(plat::KEY_DOWN);
    world.Started(SYSTEM);
    world.Press(plat::KEY_Z);
    EXPECT_EQ(Find<CTitle>(), nullptr);
    const TaskEntry* select = screentest::EntryOf<CVersusSelect>();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->priority, PRIORITY_VERSUS_SELECT);
    EXPECT_NE(FindTask(FADE_TASK_NAME), nullptr);
    EXPECT_EQ(world.Started(SYSTEM), 2) << "the title's confirm and the copy that outlives it";
    EXPECT_FALSE(VersusMatch::Current().Active()) << "the match begins only on an arena";
}

// VERSUS lies beyond the other entries: the running top uncovers it after
// START is chosen, while a key that chooses before the top came by shows it
// whole at once.
class CTitleVersusUncoverTest : public CTitleTest, public ::testing::WithParamInterface<int> {};

TEST_P(CTitleVersusUncoverTest, RunningTopUncoversVersusAfterTheOthersUnlessAKeyChoseFirst)
{
    const int key = GetParam();
    constexpr int WHOLE = CTitle::VERSUS_WIDTH;
    if (key == 0) {
        RunToMenu();
        EXPECT_LT(title->UncoverVersus(), WHOLE / 4) << "the top has only just passed START";
        const int x = title->m_RunnerX;
        ASSERT_TRUE(world.RunUntil([this] { return title->UncoverVersus() == WHOLE; }, 100));
        EXPECT_GT(title->m_RunnerX, x);
    } else {
        ASSERT_TRUE(world.RunUntil([this] { return title->m_LogoAlpha >= CTitle::LOGO_SHOWN_ALPHA; }, 1000));
        EXPECT_EQ(title->UncoverVersus(), 0);
        world.Press(key);
        EXPECT_NE(title->m_MenuChoice, CTitle::CHOICE_NONE);
        EXPECT_EQ(title->UncoverVersus(), WHOLE);
    }
    title->m_RunnerX = 0;   // the top's next lap does not cover it again
    EXPECT_EQ(title->UncoverVersus(), WHOLE);
}

INSTANTIATE_TEST_SUITE_P(Ways, CTitleVersusUncoverTest, ::testing::Values(0, plat::KEY_Z, plat::KEY_DOWN));

TEST_F(CTitleTest, OptionsOpenOverTheTitleWhichTakesNoKeysUntilTheyClose)
{
    RunToMenu();
    world.Press(plat::KEY_DOWN);
    world.Press(plat::KEY_DOWN);
    world.Press(plat::KEY_Z);
    ASSERT_TRUE(COptions::IsOpen());
    EXPECT_EQ(Find<CTitle>(), title);
    world.Press(plat::KEY_UP);   // the options' pointer wraps to BACK; the title's stays
    EXPECT_EQ(title->m_MenuChoice, CTitle::CHOICE_OPTIONS);
    world.Press(plat::KEY_Z);
    EXPECT_FALSE(COptions::IsOpen());
    world.Frames(2);
    EXPECT_FALSE(COptions::IsOpen()) << "the Z of BACK does not open the options again";
    EXPECT_EQ(Find<CTitle>(), title);
    world.Press(plat::KEY_UP);
    world.Press(plat::KEY_UP);
    world.Press(plat::KEY_Z);
    EXPECT_NE(Find<CStageSelect>(), nullptr) << "START behaves as before after the options";
}

TEST_F(CTitleTest, FirstEntryAlwaysStartsAtStageOneAndItsConfirmSoundOutlivesTheTitle)
{
    RunToMenu();
    g_StageIndex = 5;   // as the result leaves it after the last stage
    world.Started(SYSTEM);
    world.Press(plat::KEY_Z);
    EXPECT_EQ(g_StageIndex, 0);
    EXPECT_EQ(Find<CTitle>(), nullptr);
    const TaskEntry* select = screentest::EntryOf<CStageSelect>();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->priority, PRIORITY_STAGE_SELECT_FROM_TITLE);
    EXPECT_NE(FindTask(FADE_TASK_NAME), nullptr);
    auto* music = dynamic_cast<CBGMusic*>(FindTask("bgm"));
    ASSERT_TRUE(music && music->Stream());
    EXPECT_EQ(music->Stream()->Name(), "bgm/StageSelect.mp3");

    // The copy plays to its end after the title is gone, then frees itself.
    EXPECT_EQ(world.Started(SYSTEM), 2);
    EXPECT_EQ(CSound::LiveOneShots(), 1u);
    world.Frames(300);
    EXPECT_TRUE(screentest::OneShotsFinish());
}

TEST_F(CTitleTest, RunningTopStartsAgainAfterItsTrack)
{
    RunToMenu();
    title->m_RunnerX = CTitle::RUNNER_TRACK;
    world.Frame();
    EXPECT_EQ(title->m_RunnerX, 0);
    world.Started("");
    world.Frame();
    EXPECT_EQ(world.Started("sound/title/KomaMove.wav"), 1);
    EXPECT_EQ(title->m_RunnerX, 2);
}

TEST_F(CTitleTest, GlintSweepsEveryLetterIncludingTheNarrowOne)
{
    RunToMenu();
    title->m_GlintLetter = title->m_GlintOffset = 0;
    title->m_GlintTime = 0;
    int updates = 0;
    do {
        world.Frame();
        ASSERT_LT(title->m_GlintOffset, 96) << "the glint ran past letter " << title->m_GlintLetter;
        ASSERT_LT(++updates, 100);
    } while (title->m_GlintLetter != 0 || title->m_GlintOffset != 0);
    // 96-pixel letters take 4 steps of 24; the 64-pixel letter 1 takes 3 (72 is past its edge).
    EXPECT_EQ(updates, 6 * 4 + 3);
    EXPECT_GT(title->m_GlintTime, g_FrameTime) << "the next sweep waits";
}

// The explosion quads of one Draw, and the sheet texel of the last one's corner.
int BlastQuads(ScreenWorld& world, CTitle* title, int* left = nullptr, int* top = nullptr)
{
    world.Device().ClearCalls();
    title->Draw();
    int quads = 0;
    for (const auto& call : world.Device().Calls()) {
        if (!call.state.texture || call.state.texture != title->m_ExplosionSheet.Texture()) continue;
        quads += static_cast<int>(call.vertices.size()) / 6;
        if (left) *left = static_cast<int>(std::lround(call.vertices[0].u * title->m_ExplosionSheet.m_Width));
        if (top) *top = static_cast<int>(std::lround(call.vertices[0].v * title->m_ExplosionSheet.m_Height));
    }
    return quads;
}

TEST_F(CTitleTest, BlastsDrawOnlyStartedCellsOfASheetWideEnoughForThem)
{
    title->m_LeftScale = title->m_RightScale = 1.0f;
    title->m_Separation = CTitle::END_SEPARATION;
    const int frames[CTitle::BLASTS] = {5, -1, -3, -5};
    std::copy(frames, frames + CTitle::BLASTS, title->m_BlastFrame);
    int left = 0, top = 0;
    EXPECT_EQ(BlastQuads(world, title, &left, &top), 1) << "a blast below frame 0 has not started";
    EXPECT_EQ(left, 320) << "frame 5 of a sheet three cells wide";
    EXPECT_EQ(top, 160);

    std::vector<uint8_t> pixels(64 * 64 * 4, 255);
    title->m_ExplosionSheet.LoadPixels(pixels.data(), 64, 64, 0);
    EXPECT_EQ(BlastQuads(world, title), 0) << "a sheet narrower than one cell has no cells";
}

// Title, fade, stage select and the hand-over to loading with none of their
// files: nothing is drawn, nothing crashes, every step still happens.
TEST(ScreensWithoutData, RunFromTheTitleToLoadingWithNoFilesAtAll)
{
    ScreenWorld world(ScreenWorld::Data::None);
    auto* title = new CTitle;
    AddTask(title, PRIORITY_TITLE);
    ASSERT_TRUE(world.RunUntil([title] { return title->m_MenuChoice == CTitle::CHOICE_START; }, 1000));
    world.Press(plat::KEY_Z);
    ASSERT_TRUE(world.RunUntil([] { return Find<CStageSelect>() && !FindTask(FADE_TASK_NAME); }, 200));
    world.Frames(3);
    world.Press(plat::KEY_Z);
    ASSERT_TRUE(world.RunUntil([] { return Find<CLoadStage>() != nullptr; }, 200));
    EXPECT_FALSE(screentest::Drew(world.Device())) << "a missing picture drew something";
    ASSERT_TRUE(screentest::StageEnvironment::WaitForLoader());
}

}   // namespace
