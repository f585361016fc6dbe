// The stage select: its preview, music and overlay, the decide key (also a Z
// held from the screen before, on both ways into it), and the hand-over to
// the loading screen once its fade is gone.
#include <gtest/gtest.h>

#include "audio/CBGMusic.h"
#include "game/CLoadStage.h"
#include "gfx/CCamera.h"
#include "input/CInput.h"
#include "platform/MusicStream.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "tests/ScreenTestSupport.h"

namespace {

using screentest::Find;
using screentest::ScreenWorld;
using screentest::StageEnvironment;

bool FadeRunning() { return FindTask(FADE_TASK_NAME) != nullptr; }

// The top-left corners of the quads the overlay drew with one colour.
std::vector<plat::Vec2> QuadCorners(const plat::RecordingDevice& device, uint32_t color)
{
    std::vector<plat::Vec2> corners;
    for (const auto& call : device.Calls())
        for (size_t v = 0; v + 6 <= call.vertices.size(); v += 6)
            if (call.vertices[v].color == color)
                corners.push_back({call.vertices[v].position.x, call.vertices[v].position.y});
    return corners;
}

class CStageSelectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!screentest::HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    }
    CStageSelect* Open(int stageIndex)
    {
        g_StageIndex = stageIndex;
        auto* select = new CStageSelect;
        AddTask(select, PRIORITY_STAGE_SELECT_FROM_TITLE);
        return select;
    }
    // Presses Z for a frame and lets the screen see it.
    void PressZ()
    {
        world.Tap(plat::KEY_Z);
        world.Frame();
    }

    ScreenWorld world;
};

TEST_F(CStageSelectTest, OpensWithItsPreviewCameraAndRisingMusic)
{
    CStageSelect* select = Open(2);
    EXPECT_NE(select->m_Preview.GetMesh(), nullptr) << CStageSelect::PreviewPath(2);
    EXPECT_EQ(CStageSelect::PreviewPath(2), "X/stage_3.x");
    auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    ASSERT_NE(camera, nullptr);
    EXPECT_FLOAT_EQ(camera->m_Fov, CStageSelect::START_ZOOM);
    auto* music = dynamic_cast<CBGMusic*>(FindTask("bgm"));
    ASSERT_TRUE(music && music->Stream());
    EXPECT_EQ(music->Stream()->Volume(), CStageSelect::MUSIC_START_VOLUME);
    world.Frames(130);   // two seconds: the music is in, the zoom has reached its floor
    EXPECT_GT(music->Stream()->Volume(), -600);
    EXPECT_FLOAT_EQ(select->m_Zoom, CStageSelect::END_ZOOM);
    EXPECT_FLOAT_EQ(select->m_TurnAngle, 130.0f);
}

TEST_F(CStageSelectTest, OverlayTintsTheCurrentSlotAndMarksOnlyClearedStages)
{
    Open(0);
    world.Frame();
    world.Device().ClearCalls();
    world.Frame();
    EXPECT_EQ(QuadCorners(world.Device(), CStageSelect::CURRENT_SLOT_COLOR).size(), 1u);
    // Opaque white: the background, the name, four other slots, the cursor; no cleared mark.
    auto plain = QuadCorners(world.Device(), 0xffffffff);
    EXPECT_EQ(plain.size(), 7u);
    for (const auto& c : plain) EXPECT_FALSE(c.x == 16 && c.y == 0) << "a cleared mark at stage 1";
}

TEST_F(CStageSelectTest, ClearedStagesCarryTheirMarksAndTheCursorStandsOverTheCurrentOne)
{
    Open(3);
    world.Frame();
    world.Device().ClearCalls();
    world.Frame();
    auto tinted = QuadCorners(world.Device(), CStageSelect::CURRENT_SLOT_COLOR);
    ASSERT_EQ(tinted.size(), 1u);
    EXPECT_FLOAT_EQ(tinted[0].x, 48 + 128 * 3);
    int marks = 0, cursors = 0;
    for (const auto& c : QuadCorners(world.Device(), 0xffffffff)) {
        marks += c.y == 0 && (c.x == 16 || c.x == 144 || c.x == 272);
        cursors += c.x == 128 * 3 + 20 && c.y == -10;
    }
    EXPECT_EQ(marks, 3);
    EXPECT_EQ(cursors, 1);
}

TEST_F(CStageSelectTest, ZDecidesOnceAndTheDrawAfterTheFadeHandsOverToLoading)
{
    CStageSelect* select = Open(1);
    world.Frames(3);
    world.Sounds();
    PressZ();
    EXPECT_TRUE(select->Decided());
    EXPECT_TRUE(FadeRunning());
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/System.wav"), 1);

    // Presses while the fade runs change nothing.
    for (int i = 0; i < 5; ++i) PressZ();
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/System.wav"), 0);
    EXPECT_EQ(Find<CStageSelect>(), select);

    ASSERT_TRUE(world.RunUntil([] { return !FadeRunning(); }, 200));
    // The frame in which the fade went is the one in which loading took over.
    EXPECT_EQ(Find<CStageSelect>(), nullptr);
    const TaskEntry* loading = screentest::EntryOf<CLoadStage>();
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->priority, PRIORITY_LOADING);
    EXPECT_EQ(dynamic_cast<CLoadStage*>(loading->object)->m_StageIndex, 1);
    EXPECT_EQ(FindTask("bgm"), nullptr);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
}

// Holds Z from the screen before through the change: the stage select must not decide.
void ExpectHeldZDoesNotDecide(ScreenWorld& world)
{
    ASSERT_TRUE(world.RunUntil([] { return Find<CStageSelect>() != nullptr && !FadeRunning(); }, 400));
    CStageSelect* select = Find<CStageSelect>();
    auto* input = dynamic_cast<CInput*>(FindTask("input"));
    ASSERT_NE(input, nullptr);
    // The fresh input task counts the held key as newly pressed at its first read...
    bool reportedNew = false;
    for (int i = 0; i < 3; ++i) {
        world.Frame();
        reportedNew = reportedNew || input->IsNewlyPressed(plat::KEY_Z);
    }
    EXPECT_TRUE(reportedNew);
    // ...yet the screen waits for a press of its own.
    world.Frames(60);
    EXPECT_FALSE(select->Decided());
    world.Key(plat::KEY_Z, false);
    world.Frames(2);
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_TRUE(select->Decided());
}

TEST_F(CStageSelectTest, ZHeldFromTheTitleDoesNotDecide)
{
    auto* title = new CTitle;
    AddTask(title, PRIORITY_TITLE);
    world.Frames(3);
    title->m_MenuChoice = CTitle::CHOICE_START;
    world.Key(plat::KEY_Z, true);
    ExpectHeldZDoesNotDecide(world);
}

TEST_F(CStageSelectTest, ZHeldFromAClearedStageDoesNotDecide)
{
    g_StageIndex = 0;
    auto* camera = new CCamera;
    camera->m_Fov = CResult::LETTERS_ZOOM;
    AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
    auto* result = new CResult(CResult::KIND_CLEAR);
    AddTask(PRIORITY_RESULT, result, RESULT_TASK_NAME);
    ASSERT_TRUE(world.RunUntil([result] { return result->Phase() == CResult::PHASE_WAITING; }, 200));
    world.Key(plat::KEY_Z, true);
    world.Frame();
    const TaskEntry* select = screentest::EntryOf<CStageSelect>();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->priority, PRIORITY_NEXT_SCREEN);
    EXPECT_EQ(g_StageIndex, 1);
    ExpectHeldZDoesNotDecide(world);
}

TEST(CStageSelectWithoutData, WaitsDecidesAndHandsOverWithNoFilesAtAll)
{
    ScreenWorld world(ScreenWorld::Data::None);
    auto* select = new CStageSelect;
    AddTask(select, 1);
    world.Frames(3);
    world.Tap(plat::KEY_Z);
    world.Frame();
    EXPECT_TRUE(select->Decided());
    ASSERT_TRUE(world.RunUntil([] { return Find<CLoadStage>() != nullptr; }, 200));
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
}

}  // namespace
