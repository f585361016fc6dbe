// The result screen: the items it freezes, the timing of both kinds, the keys
// it reads in which phase, and every way out of it, the retry of a loaded
// stage included.
#include <gtest/gtest.h>

#include "game/CLoadStage.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "tests/ScreenTestSupport.h"
#include "tools/sim/TraceJson.h"

namespace {

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
        camera = new CCamera;
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
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
        while (result->Phase() != CResult::PHASE_WAITING && frames < 2000) {
            world.Frame();
            ++frames;
        }
        return frames;
    }
    void PressAndSee(int key)
    {
        world.Key(key, true);
        world.Frame();
        world.Key(key, false);
    }

    ScreenWorld world;
    CCamera* camera = nullptr;
};

TEST_F(CResultTest, FreezesTheItemTasksByName)
{
    auto* spawner = new Probe;
    auto* effect = new Probe;
    auto* item = new Probe;
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
    // 60 x 0.99^n is at or below 40 from n = 41 on.
    world.Frames(40);
    EXPECT_EQ(result->m_LettersShown, 0);
    EXPECT_EQ(result->m_LetterProgress, 0.0f);
    EXPECT_FLOAT_EQ(camera->m_Fov, result->m_Zoom);
    world.Sounds();
    // Ten steps of 0.1 finish a letter, whatever their float sum.
    EXPECT_EQ(FramesToWaiting(result), 1 + 7 * 10);
    EXPECT_EQ(result->m_LettersShown, CResult::MESSAGE_LETTERS);
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/game/result/StageClearText.wav"), 7);
    EXPECT_EQ(result->m_StampCount, CResult::HEADING_WORDS);
}

TEST_F(CResultTest, ClearLettersStartAtOnceWhenTheViewIsAlreadyNarrow)
{
    CResult* result = Open(CResult::KIND_CLEAR, 40);
    world.Frame();
    EXPECT_FLOAT_EQ(result->m_LetterProgress, 0.1f);
    EXPECT_EQ(FramesToWaiting(result), 7 * 10);
    world.Frames(200);
    EXPECT_FLOAT_EQ(result->m_Zoom, CResult::MIN_ZOOM);
}

TEST_F(CResultTest, ClearIgnoresZBeforeItWaitsAndTheArrowsAlways)
{
    CResult* result = Open(CResult::KIND_CLEAR, 40);
    world.Frames(5);
    PressAndSee(plat::KEY_Z);
    EXPECT_EQ(Find<CResult>(), result);
    FramesToWaiting(result);
    world.Sounds();
    PressAndSee(plat::KEY_LEFT);
    PressAndSee(plat::KEY_RIGHT);
    EXPECT_FALSE(result->Choice());
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/Move.wav"), 0);
}

TEST_F(CResultTest, GameOverDropsItsLettersThenTheBannerThenTheAnswers)
{
    CResult* result = Open(CResult::KIND_GAME_OVER, 60);
    world.Frames(7 * 21 - 1);
    EXPECT_EQ(result->Phase(), CResult::PHASE_LETTERS);
    world.Frame();
    EXPECT_EQ(result->Phase(), CResult::PHASE_BANNER);
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/game/result/GameOverText.wav"), 7);
    // Z is not read before the answers are in.
    PressAndSee(plat::KEY_Z);
    EXPECT_EQ(Find<CResult>(), result);
    ASSERT_TRUE(world.RunUntil([result] { return result->Phase() == CResult::PHASE_ANSWERS; }, 100));
    PressAndSee(plat::KEY_LEFT);
    EXPECT_FALSE(result->Choice()) << "the arrows wait for the answers to stop";
    FramesToWaiting(result);
    EXPECT_FLOAT_EQ(result->m_LetterProgress, CResult::ANSWERS_END);
    EXPECT_EQ(result->m_FadeAlpha, CResult::LETTER_FULL_ALPHA);

    world.Sounds();
    PressAndSee(plat::KEY_RIGHT);
    EXPECT_TRUE(result->Choice());
    PressAndSee(plat::KEY_LEFT);
    EXPECT_FALSE(result->Choice());
    EXPECT_EQ(ScreenWorld::Count(world.Sounds(), "sound/Move.wav"), 2);
    world.Frames(300);
    EXPECT_EQ(result->m_FadeAlpha, 0) << "the finished letters fade out";
}

TEST_F(CResultTest, ClearOpensTheNextStagesSelectWithAFade)
{
    g_StageIndex = 1;
    CResult* result = Open(CResult::KIND_CLEAR, 40);
    FramesToWaiting(result);
    PressAndSee(plat::KEY_Z);
    EXPECT_EQ(Find<CResult>(), nullptr);
    const TaskEntry* select = screentest::EntryOf<CStageSelect>();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->priority, PRIORITY_NEXT_SCREEN);
    EXPECT_EQ(g_StageIndex, 2);
    EXPECT_NE(FindTask(FADE_TASK_NAME), nullptr);
    // The select sound's copy outlives the result and frees itself.
    world.Frames(120);
    EXPECT_TRUE(screentest::OneShotsFinish());
}

TEST_F(CResultTest, ClearOfTheFifthStageReturnsToTheTitle)
{
    g_StageIndex = 4;
    CResult* result = Open(CResult::KIND_CLEAR, 40);
    FramesToWaiting(result);
    PressAndSee(plat::KEY_Z);
    const TaskEntry* title = screentest::EntryOf<CTitle>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->priority, PRIORITY_NEXT_SCREEN);
    EXPECT_EQ(g_StageIndex, 5);
    EXPECT_EQ(Find<CStageSelect>(), nullptr);
}

TEST_F(CResultTest, GivingUpReturnsToTheTitleKeepingTheStage)
{
    g_StageIndex = 2;
    CResult* result = Open(CResult::KIND_GAME_OVER, 60);
    FramesToWaiting(result);
    PressAndSee(plat::KEY_RIGHT);
    PressAndSee(plat::KEY_Z);
    EXPECT_NE(Find<CTitle>(), nullptr);
    EXPECT_EQ(g_StageIndex, 2);
}

TEST_F(CResultTest, TraceNamesTheResultScreenWithItsKindPhaseAndChoice)
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
    PressAndSee(plat::KEY_RIGHT);
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
    world.Tap(plat::KEY_Z);
    ASSERT_TRUE(world.RunUntil([] { return FindTask("CKoma") && !FindTask("CKomaShoot"); }, 600));

    auto* result = new CResult(CResult::KIND_GAME_OVER);
    AddTask(PRIORITY_RESULT, result, RESULT_TASK_NAME);
    ASSERT_TRUE(world.RunUntil([result] { return result->Phase() == CResult::PHASE_WAITING; }, 400));
    world.Key(plat::KEY_Z, true);
    world.Frame();
    world.Key(plat::KEY_Z, false);

    EXPECT_EQ(FindTask(STAGE_TASK_NAME), nullptr) << "the stage's tasks went with the screen change";
    auto* loading = Find<CLoadStage>();
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->m_StageIndex, 2);
    EXPECT_EQ(g_StageIndex, 2);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
    ASSERT_TRUE(world.RunUntil([] { return FindTask(STAGE_TASK_NAME) != nullptr; }, 300));
    EXPECT_NE(FindTask("CKomaSet"), nullptr) << "the stage starts again from the aiming phase";
}

}  // namespace
