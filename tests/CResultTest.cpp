// The result screen: the items it freezes, the timing of both kinds, the keys
// it reads in which phase, every way out, and its trace fields.
#include <gtest/gtest.h>

#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "input/CInput.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"
#include "tests/ScreenTestSupport.h"
#include "tools/sim/TraceJson.h"

namespace {

using screentest::EntryOf;
using screentest::Find;
using screentest::ScreenWorld;
using screentest::StageEnvironment;

struct Probe : CGameObject {
    int updates = 0, draws = 0;
    void Update() override { ++updates; }
    void Draw() override { ++draws; }
};

class CResultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!screentest::HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
        AddTask(PRIORITY_CAMERA, camera = new CCamera, CAMERA_TASK_NAME);
    }
    CResult* Open(int kind, float fov)
    {
        camera->m_Fov = fov;
        auto* result = new CResult(kind);
        AddTask(PRIORITY_RESULT, result, RESULT_TASK_NAME);
        return result;
    }
    int FramesToWaiting(CResult* result)
    {
        int frames = 0;
        for (; result->Phase() != CResult::PHASE_WAITING && frames < 2000; ++frames) world.Frame();
        return frames;
    }

    ScreenWorld world;
    CCamera* camera = nullptr;
};

TEST_F(CResultTest, FreezesTheItemTasksByName)
{
    auto *spawner = new Probe, *effect = new Probe, *item = new Probe;
    AddTask(5000, spawner, "CItemAppend");
    AddTask(6000, effect, "CItemEffect");
    AddTask(3500, item, "CItem");
    Open(CResult::KIND_CLEAR, 60);
    world.Frames(5);
    EXPECT_EQ(spawner->updates, 0);
    EXPECT_EQ(spawner->draws, 5) << "the item box is still drawn";
    EXPECT_EQ(effect->updates + effect->draws + item->updates + item->draws, 0);
}

TEST_F(CResultTest, ClearZoomsToFortyThenSpellsSevenLettersOfTenFramesEach)
{
    CResult* result = Open(CResult::KIND_CLEAR, 60);
    world.Frames(40);   // 60 x 0.99^n reaches 40 at n = 41
    EXPECT_EQ(result->m_LetterProgress, 0.0f);
    EXPECT_FLOAT_EQ(camera->m_Fov, result->m_Zoom);
    world.Started("");
    // Ten steps of 0.1 finish a letter, whatever their float sum.
    EXPECT_EQ(FramesToWaiting(result), 1 + 7 * 10);
    EXPECT_EQ(world.Started("sound/game/result/StageClearText.wav"), 7);
    EXPECT_EQ(result->m_StampCount, CResult::HEADING_WORDS);

    // A view already at 40 starts the letters at once; the wait begins the frame after the last.
    RemoveTask(result);
    result = Open(CResult::KIND_CLEAR, 40);
    EXPECT_EQ(FramesToWaiting(result), 7 * 10 + 1);
}

TEST_F(CResultTest, ClearReadsZOnlyWhenWaitingAndNeverTheArrows)
{
    CResult* result = Open(CResult::KIND_CLEAR, 40);
    world.Frames(5);
    world.Press(plat::KEY_Z);
    EXPECT_EQ(Find<CResult>(), result);
    FramesToWaiting(result);
    world.Started("");
    world.Press(plat::KEY_LEFT);
    world.Press(plat::KEY_RIGHT);
    EXPECT_FALSE(result->Choice());
    EXPECT_EQ(world.Started("sound/Move.wav"), 0);
}

TEST_F(CResultTest, GameOverDropsItsLettersThenTheBannerThenTheAnswersAndThenReadsTheKeys)
{
    CResult* result = Open(CResult::KIND_GAME_OVER, 60);
    world.Frames(7 * 21 - 1);
    EXPECT_EQ(result->Phase(), CResult::PHASE_LETTERS);
    world.Frame();
    EXPECT_EQ(result->Phase(), CResult::PHASE_BANNER);
    EXPECT_EQ(world.Started("sound/game/result/GameOverText.wav"), 7);
    world.Press(plat::KEY_Z);
    ASSERT_TRUE(world.RunUntil([result] { return result->Phase() == CResult::PHASE_ANSWERS; }, 100));
    world.Press(plat::KEY_LEFT);
    EXPECT_EQ(Find<CResult>(), result);
    EXPECT_FALSE(result->Choice()) << "no key is read before the answers stop";
    FramesToWaiting(result);
    EXPECT_FLOAT_EQ(result->m_LetterProgress, CResult::ANSWERS_END);

    world.Started("");
    world.Press(plat::KEY_RIGHT);
    EXPECT_TRUE(result->Choice());
    world.Press(plat::KEY_LEFT);
    EXPECT_FALSE(result->Choice());
    EXPECT_EQ(world.Started("sound/Move.wav"), 2);
    world.Frames(300);
    EXPECT_EQ(result->m_FadeAlpha, 0) << "the finished letters fade out";
}

// A key still held when the battle ends (steering, charging) acts on the
// result only after it has been let go once: held on through the whole result
// it neither moves the answer nor leaves the screen.
class CResultHeldKeyTest : public CResultTest, public ::testing::WithParamInterface<int> {};

TEST_P(CResultHeldKeyTest, AKeyHeldFromTheBattleActsOnlyAfterItIsReleased)
{
    const int key = GetParam();
    CInput::FindOrCreate();
    world.Key(key, true);
    world.Frames(2);
    CResult* result = Open(CResult::KIND_GAME_OVER, 60);
    FramesToWaiting(result);
    world.Frames(30);
    ASSERT_EQ(Find<CResult>(), result);
    EXPECT_FALSE(result->Choice());
    EXPECT_EQ(world.Started("sound/Move.wav"), 0);

    world.Key(key, false);
    world.Frame();
    world.Press(key);
    if (key == plat::KEY_Z) {
        EXPECT_EQ(Find<CResult>(), nullptr) << "Z leaves once it has been let go and pressed again";
        ASSERT_TRUE(StageEnvironment::WaitForLoader());
    } else {
        EXPECT_TRUE(result->Choice());
    }
}

INSTANTIATE_TEST_SUITE_P(BattleKeys, CResultHeldKeyTest,
                         ::testing::Values(plat::KEY_LEFT, plat::KEY_RIGHT, plat::KEY_Z));

// Where each exit leads: the screen at priority 1, the stage index afterwards.
TEST_F(CResultTest, EveryExitOpensItsScreenUnderAFade)
{
    struct Exit {
        int kind, stage;
        bool toTitle;
        bool (*opened)();
        int stageAfter;
    };
    const Exit exits[] = {{CResult::KIND_CLEAR, 1, false, [] { return EntryOf<CStageSelect>() != nullptr; }, 2},
                          {CResult::KIND_CLEAR, 4, false, [] { return EntryOf<CTitle>() != nullptr; }, 5},
                          {CResult::KIND_GAME_OVER, 2, true, [] { return EntryOf<CTitle>() != nullptr; }, 2},
                          {CResult::KIND_GAME_OVER, 2, false, [] { return EntryOf<CLoadStage>() != nullptr; }, 2}};
    for (const Exit& exit : exits) {
        ClearTasks();
        AddTask(PRIORITY_CAMERA, camera = new CCamera, CAMERA_TASK_NAME);
        g_StageIndex = exit.stage;
        CResult* result = Open(exit.kind, 40);
        FramesToWaiting(result);
        if (exit.toTitle) world.Press(plat::KEY_RIGHT);
        world.Press(plat::KEY_Z);
        EXPECT_TRUE(exit.opened()) << exit.kind << " " << exit.stage;
        EXPECT_EQ(Find<CResult>(), nullptr);
        EXPECT_EQ(g_StageIndex, exit.stageAfter);
        EXPECT_NE(FindTask(FADE_TASK_NAME), nullptr);
        for (const TaskEntry* e : TaskList::Instance().Entries()) {
            if (e->priority > 0 && e->priority < PRIORITY_INPUT) {
                EXPECT_EQ(e->priority, PRIORITY_NEXT_SCREEN);
            }
        }
        if (Find<CLoadStage>()) {
            ASSERT_TRUE(StageEnvironment::WaitForLoader());
        }
    }
    // The select sounds' copies outlived their screens and freed themselves.
    world.Frames(120);
    EXPECT_TRUE(screentest::OneShotsFinish());
}

TEST_F(CResultTest, TraceNamesTheResultWithItsKindPhaseAndChoice)
{
    g_StageIndex = 3;
    auto trace = [] {
        TraceJson j;
        AppendTraceFields(j);
        return j.Finish();
    };
    EXPECT_NE(trace().find("\"result\":null"), std::string::npos);
    CResult* result = Open(CResult::KIND_GAME_OVER, 60);
    FramesToWaiting(result);
    world.Press(plat::KEY_RIGHT);
    const std::string line = trace();
    EXPECT_NE(line.find("\"screen\":\"result\",\"stage\":3"), std::string::npos) << line;
    EXPECT_NE(line.find("\"result\":{\"kind\":1,\"phase\":3,\"choice\":true}"), std::string::npos) << line;
}

TEST(CResultRetry, ContinueLoadsTheSameStageAgainFromScratch)
{
    ScreenWorld world;
    if (!screentest::HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    g_StageIndex = 2;
    AddTask(new CLoadStage, PRIORITY_LOADING);
    ASSERT_TRUE(world.env->RunLoad());
    // Launch the top and let the launch sequence end: the battle is on.
    world.Frames(5);
    world.Press(plat::KEY_Z);
    ASSERT_TRUE(world.RunUntil([] { return FindTask("CKoma") && !FindTask("CKomaShoot"); }, 600));

    auto* result = new CResult(CResult::KIND_GAME_OVER);
    AddTask(PRIORITY_RESULT, result, RESULT_TASK_NAME);
    ASSERT_TRUE(world.RunUntil([result] { return result->Phase() == CResult::PHASE_WAITING; }, 400));
    world.Press(plat::KEY_Z);
    EXPECT_EQ(FindTask(STAGE_TASK_NAME), nullptr) << "the stage's tasks went with the screen change";
    ASSERT_NE(Find<CLoadStage>(), nullptr);
    EXPECT_EQ(Find<CLoadStage>()->m_StageIndex, 2);
    ASSERT_TRUE(screentest::StageEnvironment::WaitForLoader());
    ASSERT_TRUE(world.RunUntil([] { return FindTask("CKomaSet") != nullptr; }, 300)) << "no fresh aiming phase";
}

}   // namespace
