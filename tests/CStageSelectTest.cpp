// The stage select: its overlay, the decide key (also a Z held from the
// screen before, on both ways into it), and the hand-over to loading once its
// fade is gone.
#include <gtest/gtest.h>

#include "core/ProgressBook.h"
#include "gfx/CCamera.h"
#include "input/CInput.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"
#include "tests/ScreenTestSupport.h"

namespace {

using screentest::Find;
using screentest::ScreenWorld;
using screentest::StageEnvironment;

bool FadeRunning() { return FindTask(FADE_TASK_NAME) != nullptr; }

// The top-left corners of the overlay's quads drawn with one colour.
std::vector<plat::Vec2> Quads(const plat::RecordingDevice& device, uint32_t color)
{
    std::vector<plat::Vec2> corners;
    for (const auto& call : device.Calls())
        for (size_t v = 0; v + 6 <= call.vertices.size(); v += 6)
            if (call.vertices[v].color == color)
                corners.push_back({call.vertices[v].position.x, call.vertices[v].position.y});
    return corners;
}

class CStageSelectTest : public stagetest::GeneratedDataFixture<> {
protected:
    // Stages cleared by a game an earlier test played would be marked too.
    CStageSelectTest() { ProgressBook::Configure(Progress{}); }
    CStageSelect* Open(int stageIndex)
    {
        g_StageIndex = stageIndex;
        auto* select = new CStageSelect;
        AddTask(select, PRIORITY_STAGE_SELECT_FROM_TITLE);
        return select;
    }
    ScreenWorld world;
};

TEST_F(CStageSelectTest, OverlayTintsTheCurrentSlotAndMarksTheClearedStagesOnly)
{
    for (int stage : {0, 3}) {
        CStageSelect* select = Open(stage);
        EXPECT_NE(select->m_Preview.GetMesh(), nullptr) << CStageSelect::PreviewPath(stage);
        world.Frame();
        world.Device().ClearCalls();
        world.Frame();
        auto tinted = Quads(world.Device(), CStageSelect::CURRENT_SLOT_COLOR);
        ASSERT_EQ(tinted.size(), 1u);
        EXPECT_FLOAT_EQ(tinted[0].x, 48.0f + 128 * stage);
        int marks = 0, cursors = 0;
        for (const auto& c : Quads(world.Device(), 0xffffffff)) {
            marks += c.y == 0 && c.x != 0;
            cursors += c.x == 128.0f * stage + 20 && c.y == -10;
        }
        EXPECT_EQ(marks, stage) << "one mark for each cleared stage";
        EXPECT_EQ(cursors, 1);
        RemoveTask(select);
    }
}

TEST_F(CStageSelectTest, ZDecidesOnceAndTheDrawAfterTheFadeHandsOverToLoading)
{
    CStageSelect* select = Open(1);
    world.Frames(3);
    world.Started("");
    world.Press(plat::KEY_Z);
    EXPECT_TRUE(select->Decided());
    EXPECT_TRUE(FadeRunning());
    for (int i = 0; i < 5; ++i) world.Press(plat::KEY_Z);   // presses during the fade do nothing
    EXPECT_EQ(world.Started("sound/System.wav"), 1);

    ASSERT_TRUE(world.RunUntil([] { return !FadeRunning(); }, 200));
    // The frame in which the fade went is the one in which loading took over.
    EXPECT_EQ(Find<CStageSelect>(), nullptr);
    const TaskEntry* loading = screentest::EntryOf<CLoadStage>();
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->priority, PRIORITY_LOADING);
    EXPECT_EQ(static_cast<CLoadStage*>(loading->object)->m_StageIndex, 1);
    EXPECT_EQ(FindTask("bgm"), nullptr);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
}

// With Z held from the screen before, the fresh input task reports it newly
// pressed, yet the stage select waits for a press of its own.
void ExpectHeldZDoesNotDecide(ScreenWorld& world)
{
    ASSERT_TRUE(world.RunUntil([] { return Find<CStageSelect>() && !FadeRunning(); }, 400));
    CStageSelect* select = Find<CStageSelect>();
    auto* input = dynamic_cast<CInput*>(FindTask("input"));
    ASSERT_NE(input, nullptr);
    bool reportedNew = false;
    for (int i = 0; i < 3; ++i) {
        world.Frame();
        reportedNew = reportedNew || input->IsNewlyPressed(plat::KEY_Z);
    }
    EXPECT_TRUE(reportedNew);
    world.Frames(60);
    EXPECT_FALSE(select->Decided());
    world.Key(plat::KEY_Z, false);
    world.Frames(2);
    world.Press(plat::KEY_Z);
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
    EXPECT_EQ(select->priority, PRIORITY_NEXT_SCREEN) << "before the input task in every pass";
    ExpectHeldZDoesNotDecide(world);
}

}   // namespace
