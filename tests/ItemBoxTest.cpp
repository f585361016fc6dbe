// The item box: which stages get one and when it is sent out, its run of
// idling, arriving, dropping and leaving with the exact frame counts, the
// drops and their kinds, the camera's zoom and lift, and the box sound's
// volume by height.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/Globals.h"
#include "core/TaskList.h"
#include "gfx/CCamera.h"
#include "item/CItem.h"
#include "item/CItemAppend.h"
#include "item/CItemAppendInit.h"
#include "tests/StageTestSupport.h"

namespace {

bool HasTask(const char* name) { return FindTask(name) != nullptr; }

class ItemAppendInitTest : public ::testing::Test {
protected:
    void TearDown() override { g_StageIndex = 0; }
    stagetest::StageEnvironment env;
};

TEST_F(ItemAppendInitTest, WaitsForThePlayersTopAndTheEndOfTheLaunch)
{
    g_StageIndex = 0;
    AddTask(PRIORITY_ITEM_APPEND_INIT, new CItemAppendInit, ITEM_APPEND_INIT_TASK_NAME);
    UpdatePass();
    EXPECT_TRUE(HasTask(ITEM_APPEND_INIT_TASK_NAME));   // no top yet

    auto* top = new CGameObject;
    AddTask(4000, top, "CKoma");
    auto* shoot = new CGameObject;
    AddTask(4001, shoot, "CKomaShoot");
    UpdatePass();
    EXPECT_TRUE(HasTask(ITEM_APPEND_INIT_TASK_NAME));   // still launching
    EXPECT_FALSE(HasTask(ITEM_APPEND_TASK_NAME));

    RemoveTask(shoot);
    UpdatePass();
    EXPECT_FALSE(HasTask(ITEM_APPEND_INIT_TASK_NAME));
    EXPECT_TRUE(HasTask(ITEM_APPEND_TASK_NAME));
}

TEST_F(ItemAppendInitTest, OnlyStagesOneThreeAndFourGetABox)
{
    for (int stage = 0; stage < 5; ++stage) {
        RemoveAllTasks();
        g_StageIndex = stage;
        AddTask(4000, new CGameObject, "CKoma");
        AddTask(PRIORITY_ITEM_APPEND_INIT, new CItemAppendInit, ITEM_APPEND_INIT_TASK_NAME);
        UpdatePass();
        EXPECT_FALSE(HasTask(ITEM_APPEND_INIT_TASK_NAME)) << "stage index " << stage;
        bool expected = stage != 1 && stage != 4;
        EXPECT_EQ(HasTask(ITEM_APPEND_TASK_NAME), expected) << "stage index " << stage;
    }
}

// The box alone with a camera whose eye is put back every frame, as the enemy top does.
class ItemBoxTest : public ::testing::Test {
protected:
    static constexpr plat::Vec3 EYE{0, 22, -36};

    void SetUp() override
    {
        camera = new CCamera;
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
        box = new CItemAppend;
        AddTask(PRIORITY_ITEM_APPEND, box, ITEM_APPEND_TASK_NAME);
    }

    // One frame of the box: the eye placed afresh, the box's update and draw,
    // and the kinds of the items it dropped in this frame.
    std::vector<int> Frame()
    {
        camera->m_Eye = EYE;
        size_t before = CountItems();
        box->Update();
        box->Draw();
        std::vector<int> dropped;
        size_t seen = 0;
        for (const TaskEntry* entry : TaskList::Instance().Entries()) {
            auto* item = dynamic_cast<CItem*>(entry->object);
            if (item && ++seen > before) dropped.push_back(item->m_ItemKind);
        }
        return dropped;
    }

    // Frames until the box is in the state; the number run, or -1 past the limit.
    int FramesUntil(int32_t state, int limit = 20000)
    {
        for (int n = 1; n <= limit; ++n) {
            Frame();
            if (box->m_BoxState == state) return n;
        }
        return -1;
    }

    static size_t CountItems()
    {
        size_t n = 0;
        for (const TaskEntry* entry : TaskList::Instance().Entries())
            if (dynamic_cast<CItem*>(entry->object)) ++n;
        return n;
    }

    stagetest::StageEnvironment env;
    CCamera* camera = nullptr;
    CItemAppend* box = nullptr;
};

TEST_F(ItemBoxTest, FirstRunStarts1200FramesAfterCreationAndTheNext1200AfterItsReturn)
{
    EXPECT_EQ(box->m_BoxPosition.y, 60.0f);
    EXPECT_EQ(FramesUntil(CItemAppend::STATE_ARRIVING), 1200);
    EXPECT_EQ(box->m_BoxPosition.y, 30.0f);
    EXPECT_EQ(FramesUntil(CItemAppend::STATE_DROPPING), 40);
    EXPECT_EQ(FramesUntil(CItemAppend::STATE_LEAVING), 301);
    EXPECT_EQ(FramesUntil(CItemAppend::STATE_IDLE), 100);
    EXPECT_EQ(box->m_BoxCounter, 0);
    EXPECT_GE(box->m_BoxPosition.y, 60.0f);
    EXPECT_EQ(FramesUntil(CItemAppend::STATE_ARRIVING), 1200);
}

TEST_F(ItemBoxTest, DropsOnlyAtTheExactCountersInTheOrderOneTwoThreeTwoOne)
{
    ASSERT_EQ(FramesUntil(CItemAppend::STATE_DROPPING), 1240);
    std::vector<std::pair<int32_t, int>> drops;
    while (box->m_BoxState == CItemAppend::STATE_DROPPING) {
        for (int kind : Frame()) drops.push_back({box->m_BoxCounter, kind});
    }
    std::vector<std::pair<int32_t, int>> expected = {{60, 1}, {120, 2}, {180, 3}, {240, 2}, {300, 1}};
    EXPECT_EQ(drops, expected);
    // Nothing drops while leaving or idling.
    for (int i = 0; i < 300; ++i) EXPECT_TRUE(Frame().empty());
}

TEST_F(ItemBoxTest, CameraZoomsOutAndLiftsWhileTheBoxIsOut)
{
    camera->m_Fov = 60.0f;
    ASSERT_EQ(FramesUntil(CItemAppend::STATE_ARRIVING), 1200);
    EXPECT_EQ(camera->m_Fov, 60.0f);   // the frame of the switch does nothing else
    Frame();
    EXPECT_EQ(camera->m_Fov, 61.0f);
    for (int i = 0; i < 19; ++i) Frame();
    EXPECT_EQ(camera->m_Fov, 80.0f);
    ASSERT_EQ(FramesUntil(CItemAppend::STATE_DROPPING), 20);
    EXPECT_NEAR(box->m_CameraLift, 8.0f, 1e-3);
    EXPECT_NEAR(camera->m_Eye.y, EYE.y + 8.0f, 1e-3);
    EXPECT_NEAR(camera->m_Eye.z, EYE.z + 8.0f, 1e-3);

    // While dropping the lift holds and the box turns a degree per frame.
    float heading = box->m_Heading;
    Frame();
    EXPECT_NEAR(camera->m_Eye.y, EYE.y + 8.0f, 1e-3);
    EXPECT_NEAR(box->m_Heading, heading + 1.0f, 1e-4);

    ASSERT_EQ(FramesUntil(CItemAppend::STATE_LEAVING), 300);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(camera->m_Fov, 60.0f);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(box->m_CameraLift, 0.0f);
    EXPECT_NEAR(camera->m_Eye.y, EYE.y, 1e-3);
}

TEST_F(ItemBoxTest, ItemsStartFromTheBoxAsDrawn)
{
    ASSERT_EQ(FramesUntil(CItemAppend::STATE_DROPPING), 1240);
    std::vector<int> dropped;
    while (dropped.empty()) dropped = Frame();
    CItem* item = nullptr;
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (auto* found = dynamic_cast<CItem*>(entry->object)) item = found;
    ASSERT_NE(item, nullptr);
    // The box's point (0, 10, 32) is tilted up by 20 degrees and turned
    // about the centre: it circles 26.65 out at height 20.34.
    const float c = std::cos(0.34906587f), s = std::sin(0.34906587f);
    plat::Vec3 p = plat::TransformCoord({0, 0, 0}, item->m_World);
    EXPECT_NEAR(plat::Length({p.x, 0, p.z}), 32.0f * c - 10.0f * s, 0.05f);
    EXPECT_NEAR(p.y, 10.0f * c + 32.0f * s, 0.05f);
}

TEST(ItemBoxRules, SoundVolumeFollowsTheHeight)
{
    EXPECT_EQ(CItemAppend::VolumeAtHeight(10.0f), 0);
    EXPECT_EQ(CItemAppend::VolumeAtHeight(30.0f), -2000);
    EXPECT_EQ(CItemAppend::VolumeAtHeight(60.0f), -5000);
    EXPECT_EQ(CItemAppend::VolumeAtHeight(10.5f), 0);   // truncated to whole units
}

TEST(ItemBoxRules, CounterWrapsAbove12000)
{
    stagetest::StageEnvironment env;
    CItemAppend box;
    box.m_BoxState = 0;   // no state: only the counter runs
    box.m_BoxCounter = 12000;
    box.Update();
    EXPECT_EQ(box.m_BoxCounter, 0);
    for (int i = 0; i < 14; ++i) box.Update();
    EXPECT_EQ(box.m_PropellerAngle, 0.0f);   // 15 x 25 = 375 wraps to 0 at the 15th
}

}   // namespace
