// The title screen: its opening, the skip, the menu and its two entries, and
// its sprites when pictures are missing or counters are out of range.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "input/CInput.h"
#include "platform/MusicStream.h"
#include "scene/CFeadEffect.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
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
        title = new CTitle;
        AddTask(title, PRIORITY_TITLE);
    }

    // Runs until the menu has chosen its first entry by itself.
    void RunToMenu()
    {
        ASSERT_TRUE(world.RunUntil([this] { return title->m_MenuChoice != CTitle::CHOICE_NONE; }, 1000));
        world.Sounds();
    }

    ScreenWorld world;
    CTitle* title = nullptr;
};

TEST_F(CTitleTest, StartsItsInputAndLoopingMusic)
{
    EXPECT_NE(dynamic_cast<CInput*>(FindTask("input")), nullptr);
    auto* music = dynamic_cast<CBGMusic*>(FindTask("bgm"));
    ASSERT_NE(music, nullptr);
    ASSERT_NE(music->Stream(), nullptr);
    EXPECT_EQ(music->Stream()->Volume(), CTitle::MUSIC_VOLUME);
    EXPECT_EQ(title->m_BlastFrame[3], -6);
    EXPECT_EQ(title->m_MenuChoice, CTitle::CHOICE_NONE);
}

TEST_F(CTitleTest, OpeningRunsItsPhasesInTurnAndTheLettersLandHome)
{
    // The tops shrink in turn (18 updates each), turn (10) and close in (10).
    world.Frames(18);
    EXPECT_LE(title->m_LeftScale, CTitle::TOP_END_SCALE);
    EXPECT_FLOAT_EQ(title->m_RightScale, CTitle::TOP_START_SCALE);
    world.Frames(18 + 10 + 10);
    EXPECT_LE(title->m_RightScale, CTitle::TOP_END_SCALE);
    EXPECT_FLOAT_EQ(title->m_SpinAngle, CTitle::TOP_END_ANGLE);
    EXPECT_EQ(title->m_Separation, CTitle::END_SEPARATION);
    auto sounds = world.Sounds();
    // "TextScall" restarts on every update at which a shrinking scale truncates to 2.
    EXPECT_EQ(ScreenWorld::Count(sounds, "sound/title/TextScall.wav"), 10);

    ASSERT_TRUE(world.RunUntil([this] { return !title->InOpening(); }, 200));
    EXPECT_GE(ScreenWorld::Count(world.Sounds(), "sound/title/Explosion.wav"), 4);

    // Out for a full turn and back in as many updates, then still at home.
    ASSERT_TRUE(world.RunUntil([this] { return title->m_LetterAngle >= CTitle::FULL_TURN; }, 100));
    ASSERT_TRUE(world.RunUntil([this] { return title->m_LetterSpin == 0.0f; }, 100));
    for (int i = 0; i < CTitle::LETTERS; ++i) {
        EXPECT_NEAR(title->m_LetterPos[i].x, title->m_LetterHome[i].x, 0.05f) << i;
        EXPECT_NEAR(title->m_LetterPos[i].y, title->m_LetterHome[i].y, 0.05f) << i;
    }
    // The subtitle fades in over 35 updates; then the running top starts.
    world.Sounds();
    world.Frames(35);
    EXPECT_EQ(title->m_LogoAlpha, CTitle::LOGO_SHOWN_ALPHA);
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/title/TextAlpha.wav"), 1);
    world.Frame();
    EXPECT_GT(title->m_RunnerX, 0);
}

TEST_F(CTitleTest, ZDuringTheOpeningLandsOnTheFinishedLogoWithTheFirstEntryChosen)
{
    world.Frames(5);
    world.Tap(plat::KEY_Z);
    world.Frame();   // the title reads the keys of the frame before
    EXPECT_FALSE(title->InOpening());
    EXPECT_EQ(title->m_MenuChoice, CTitle::CHOICE_START);
    EXPECT_EQ(title->m_LetterSpin, 0.0f);
    EXPECT_GE(title->m_LogoAlpha, CTitle::LOGO_SHOWN_ALPHA);
    for (int i = 0; i < CTitle::LETTERS; ++i) EXPECT_EQ(title->m_LetterPos[i].x, title->m_LetterHome[i].x);
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), SYSTEM), 1);
    EXPECT_NE(Find<CTitle>(), nullptr) << "the skip does not start the game";
}

TEST_F(CTitleTest, DownBeforeZInTheOpeningMakesThatZQuit)
{
    world.Frames(5);
    world.Tap(plat::KEY_DOWN);
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(Find<CStageSelect>(), nullptr);
}

TEST_F(CTitleTest, UpBeforeZInTheOpeningMakesThatZStartTheGame)
{
    world.Frames(5);
    world.Tap(plat::KEY_UP);
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_EQ(Find<CTitle>(), nullptr);
    EXPECT_NE(Find<CStageSelect>(), nullptr);
    EXPECT_FALSE(QuitRequested());
}

TEST_F(CTitleTest, MenuKeysDoNotWrapAndEveryPressPlaysMove)
{
    RunToMenu();
    world.Tap(plat::KEY_UP);
    world.Frame();
    EXPECT_EQ(title->m_MenuChoice, CTitle::CHOICE_START);
    for (int i = 0; i < 2; ++i) {
        world.Tap(plat::KEY_DOWN);
        world.Frame();
        EXPECT_EQ(title->m_MenuChoice, CTitle::CHOICE_QUIT);
    }
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), MOVE), 3);
    // The quit entry closes the program and leaves the title in place.
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(Find<CTitle>(), title);
}

TEST_F(CTitleTest, FirstEntryAlwaysStartsAtStageOneThroughTheStageSelectAndAFade)
{
    RunToMenu();
    g_StageIndex = 5;   // as the result leaves it after the last stage
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_EQ(g_StageIndex, 0);
    EXPECT_EQ(Find<CTitle>(), nullptr);
    const TaskEntry* select = screentest::EntryOf<CStageSelect>();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->priority, PRIORITY_STAGE_SELECT_FROM_TITLE);
    EXPECT_NE(dynamic_cast<CFeadEffect*>(FindTask(FADE_TASK_NAME)), nullptr);
    EXPECT_EQ(FindTask("bgm") ? std::string(dynamic_cast<CBGMusic*>(FindTask("bgm"))->Stream()->Name()) : "",
              "bgm/StageSelect.mp3");

    // The confirm sound's copy outlived the title: it plays to its end and frees itself.
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), SYSTEM), 2);
    EXPECT_EQ(CSound::LiveOneShots(), 1u);
    world.Frames(300);   // five seconds of game time: far past the end of the sound
    EXPECT_TRUE(screentest::OneShotsFinish());
}

TEST_F(CTitleTest, RunningTopStartsAgainAfterItsTrack)
{
    RunToMenu();
    title->m_RunnerX = CTitle::RUNNER_TRACK;
    world.Frame();
    EXPECT_EQ(title->m_RunnerX, 0);
    EXPECT_EQ(title->m_RunnerSpeed, 1);
    world.Frame();
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/title/KomaMove.wav"), 1);
    EXPECT_EQ(title->m_RunnerX, 2);
}

TEST_F(CTitleTest, GlintSweepsEveryLetterIncludingTheNarrowOnes)
{
    RunToMenu();
    title->m_GlintLetter = 0;
    title->m_GlintOffset = 0;
    title->m_GlintTime = 0;
    // 96-pixel letters take 4 steps of 24; the 64-pixel letter 1 takes 3 (72 is past its edge).
    int updates = 0;
    world.Frame();
    while (title->m_GlintLetter != 0 || title->m_GlintOffset != 0) {
        ASSERT_LT(title->m_GlintOffset, 96) << "the glint ran past its letter " << title->m_GlintLetter;
        world.Frame();
        ASSERT_LT(++updates, 100);
    }
    EXPECT_EQ(updates + 1, 6 * 4 + 3);
    EXPECT_GT(title->m_GlintTime, g_FrameTime) << "the next sweep waits";
}

// The explosion quads drawn in one Draw of the title.
int BlastQuads(ScreenWorld& world, CTitle* title, plat::Rect* firstSource = nullptr)
{
    world.Device().ClearCalls();
    title->Draw();
    int quads = 0;
    for (const auto& call : world.Device().Calls()) {
        if (call.state.texture != title->m_ExplosionSheet.Texture() || !call.state.texture) continue;
        quads += static_cast<int>(call.vertices.size()) / 6;
        if (firstSource && !call.vertices.empty()) {
            firstSource->left = static_cast<int>(std::lround(call.vertices[0].u * title->m_ExplosionSheet.m_Width));
            firstSource->top = static_cast<int>(std::lround(call.vertices[0].v * title->m_ExplosionSheet.m_Height));
        }
    }
    return quads;
}

TEST_F(CTitleTest, BlastsDrawOnlyStartedCellsOfASheetWideEnoughForThem)
{
    title->m_LeftScale = title->m_RightScale = 1.0f;
    title->m_Separation = CTitle::END_SEPARATION;
    title->m_BlastFrame[0] = 0;
    title->m_BlastFrame[1] = -1;
    title->m_BlastFrame[2] = -3;
    title->m_BlastFrame[3] = -5;
    EXPECT_EQ(BlastQuads(world, title), 1) << "a blast below frame 0 has not started";

    // Frame 5 of a sheet three cells wide is the third cell of the second row.
    title->m_BlastFrame[0] = 5;
    plat::Rect source;
    EXPECT_EQ(BlastQuads(world, title, &source), 1);
    EXPECT_EQ(source.left, 320);
    EXPECT_EQ(source.top, 160);

    // A sheet narrower than one cell has no cells at all.
    std::vector<uint8_t> pixels(64 * 64 * 4, 255);
    title->m_ExplosionSheet.LoadPixels(pixels.data(), 64, 64, 0);
    EXPECT_EQ(BlastQuads(world, title), 0);
}

TEST(CTitleWithoutData, RunsItsOpeningAndMenuWithNoFilesAtAll)
{
    ScreenWorld world(ScreenWorld::Data::None);
    auto* title = new CTitle;
    AddTask(title, PRIORITY_TITLE);
    world.Device().ClearCalls();
    ASSERT_TRUE(world.RunUntil([title] { return title->m_MenuChoice == CTitle::CHOICE_START; }, 1000));
    for (const auto& call : world.Device().Calls())
        EXPECT_NE(call.kind, plat::RecordingDevice::CallKind::DrawUser) << "a missing picture drew something";
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_NE(Find<CStageSelect>(), nullptr);
    world.Frames(CFeadEffect::DARKEN_UPDATES + 20);
}

}  // namespace
