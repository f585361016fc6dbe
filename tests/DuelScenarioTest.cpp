// Whole-game scenarios of the stage-1 duel, played by the headless runner
// in-process on the generated data set with no video, by the computer player
// or by hand, and judged from the game's own state after every frame.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "core/Globals.h"
#include "core/Task.h"
#include "enemy/St1Enemy.h"
#include "game/CKoma.h"
#include "game/CKomaClash.h"
#include "gfx/CCamera.h"
#include "platform/KeySource.h"
#include "scene/CResult.h"
#include "tests/RunnerTestSupport.h"

namespace {

using runnertest::FirstWhere;

struct Top {
    plat::Vec3 pos;
    float spin = 0;
    int gauge = 0, ceiling = 0;
    bool down = false, charging = false;
};

struct Frame {
    bool aiming = false, launching = false, launcher = false;
    std::optional<Top> player, enemy;
    std::optional<int> balance;   // a clash is running
    float swingLeft = 0;
    plat::Vec3 eye;
    float orbit = 0, fov = 0;
    std::optional<int> result;   // the kind of the result screen
};

std::optional<Top> Read(const CKomaBase* top)
{
    if (!top) return std::nullopt;
    return Top{top->m_Pos, top->Spin(), top->m_Gauge, top->m_GaugeCeiling, top->IsDown(), top->IsCharging()};
}

Frame Observe()
{
    Frame f;
    f.aiming = FindTask("CKomaSet") != nullptr;
    f.launching = FindTask("CKomaShoot") != nullptr;
    f.launcher = FindTask("St1EnemySet") != nullptr;
    f.player = Read(dynamic_cast<CKomaBase*>(FindTask(KOMA_TASK_NAME)));
    f.enemy = Read(dynamic_cast<CKomaBase*>(FindTask("St1Enemy")));
    if (auto* clash = dynamic_cast<CKomaClash*>(FindTask(KOMA_CLASH_TASK_NAME))) {
        f.balance = clash->m_Balance;
        f.swingLeft = clash->m_SwingLeft;
    }
    if (auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME))) {
        f.eye = camera->m_Eye;
        f.orbit = camera->m_Orbit;
        f.fov = camera->m_Fov;
    }
    if (auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME))) f.result = result->Kind();
    return f;
}

float Distance(plat::Vec3 a, plat::Vec3 b) { return plat::Length(a - b); }

class DuelScenarioTest : public runnertest::GeneratedDataTest {
protected:
    // Plays stage 1 with the computer player; `inClash` may change the keys
    // while a clash runs. Stops at the first result screen or after `frames`.
    std::vector<Frame> Play(uint32_t seed, int frames, int skill = 3,
                            std::function<void(plat::ScriptedKeySource&)> inClash = nullptr)
    {
        std::vector<Frame> trace;
        SimOptions options = runnertest::GameOptions(frames, seed, 1);
        options.bot = true;
        options.botSkill = skill;
        options.beforeFrame = [&](int, plat::ScriptedKeySource& keys) {
            if (inClash && FindTask(KOMA_CLASH_TASK_NAME)) inClash(keys);
        };
        options.afterFrame = [&](int) {
            if (trace.empty() || !trace.back().result) trace.push_back(Observe());
        };
        EXPECT_TRUE(runnertest::Runs(options));
        return trace;
    }

    // The first seed whose game under the computer player comes to a clash.
    std::vector<Frame> PlayToAClash(std::function<void(plat::ScriptedKeySource&)> inClash, int* clashStart)
    {
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            auto trace = Play(seed, 6000, 3, inClash);
            int start = FirstWhere(trace, [](const Frame& f) { return f.balance.has_value(); });
            if (start >= 0) {
                *clashStart = start;
                return trace;
            }
        }
        ADD_FAILURE() << "no clash in twelve games";
        return {};
    }
};

TEST_F(DuelScenarioTest, TheEnemyWaitsOnItsRailWhileThePlayerAimsAndIsLaunchedAfterThePlayer)
{
    auto trace = Play(3, 1500);
    int aiming = FirstWhere(trace, [](const Frame& f) { return f.aiming; });
    ASSERT_GE(aiming, 0);
    int launch = FirstWhere(trace, [](const Frame& f) { return f.player.has_value(); });
    ASSERT_GT(launch, aiming);
    // The launch freezes the battle, the enemy's launcher with it: the enemy
    // leaves its rail when the player's top is released.
    int enemy = FirstWhere(trace, [](const Frame& f) { return f.enemy.has_value(); });
    ASSERT_GT(enemy, launch);
    for (int i = aiming; i < enemy; ++i) EXPECT_TRUE(trace[i].launcher) << i;
    EXPECT_FALSE(trace[enemy].launcher);
    int moving = FirstWhere(
        trace, [](const Frame& f) { return f.player && f.player->pos.z != -30.0f; }, launch);
    EXPECT_LE(std::abs(enemy - moving), 1);
    ASSERT_LT(enemy + 60, static_cast<int>(trace.size()));
    EXPECT_GT(Distance(trace[enemy + 60].enemy->pos, {0, 16, 30}), 5);
}

TEST_F(DuelScenarioTest, TheCameraCirclesAndRisesAsTheTopsSeparate)
{
    auto trace = Play(2, 3000);
    int launch = FirstWhere(trace, [](const Frame& f) { return f.player.has_value(); });
    int battle = FirstWhere(
        trace, [](const Frame& f) { return !f.launching && !f.balance; }, launch);
    ASSERT_GT(battle, launch);
    int checked = 0;
    for (int i = battle + 1; i < static_cast<int>(trace.size()) && checked < 600; ++i) {
        const Frame& f = trace[i];
        const Frame& before = trace[i - 1];
        if (f.balance || before.balance || !f.player || !f.enemy || f.orbit < before.orbit) continue;
        ++checked;
        EXPECT_NEAR(f.orbit - before.orbit, 0.2f, 1e-3) << i;
        // Height and distance of the eye: 25 - player's spin / 10 + the tops' distance up to 22
        // (the enemy moves the camera after the player's top has read its body, before its own).
        float d = std::min(Distance(f.player->pos, before.enemy->pos), 22.0f);
        EXPECT_NEAR(f.eye.y, 25 - before.player->spin / 10 + d, 0.5f) << i;
    }
    EXPECT_GT(checked, 300);
}

TEST_F(DuelScenarioTest, ATouchRaisesBothCeilingsAndTheBattleEndsWithAResult)
{
    auto trace = Play(1, 10800);
    int touches = 0;
    for (size_t i = 1; i < trace.size(); ++i) {
        const Frame& f = trace[i];
        const Frame& b = trace[i - 1];
        if (!f.player || !f.enemy || !b.player || !b.enemy || f.balance) continue;
        if (f.player->ceiling > b.player->ceiling + 2 && f.enemy->ceiling > b.enemy->ceiling) {
            ++touches;
            EXPECT_LT(Distance(f.player->pos, f.enemy->pos), 6.0f) << i;
        }
    }
    EXPECT_GT(touches, 0);
    ASSERT_TRUE(trace.back().result) << "no result within three minutes";
    const Frame& last = trace.back();
    EXPECT_EQ(*last.result, last.enemy->down ? CResult::KIND_CLEAR : CResult::KIND_GAME_OVER);
    EXPECT_TRUE(last.enemy->down || last.player->down);
}

TEST_F(DuelScenarioTest, AClashFreezesTheBattleIsWonByPressingFastAndThrowsTheLoser)
{
    int start = 0;
    auto trace = PlayToAClash(nullptr, &start);
    ASSERT_FALSE(trace.empty());
    int end = FirstWhere(
        trace, [](const Frame& f) { return !f.balance; }, start);
    ASSERT_GT(end, start);
    // While it runs nothing moves.
    for (int i = start + 1; i < end; ++i) {
        EXPECT_EQ(trace[i].player->pos.x, trace[start].player->pos.x);
        EXPECT_EQ(trace[i].enemy->pos.z, trace[start].enemy->pos.z);
    }
    // The player's presses only count once the camera has swung round.
    int swung = FirstWhere(
        trace, [](const Frame& f) { return f.balance && f.swingLeft <= 0; }, start);
    for (int i = start; i < swung; ++i) EXPECT_LE(*trace[i].balance, 0) << i;
    EXPECT_GE(*trace[end - 1].balance, 20);
    EXPECT_LT(end - swung, 120) << "pressing every other frame wins quickly";
    // The enemy is thrown away from the player.
    ASSERT_LT(end + 60, static_cast<int>(trace.size()));
    float before = Distance(trace[start].player->pos, trace[start].enemy->pos);
    EXPECT_GT(Distance(trace[end + 60].player->pos, trace[end + 60].enemy->pos), before + 10);
}

TEST_F(DuelScenarioTest, AClashWithoutPressesRunsToTheLimitOnStageOne)
{
    // The stage-1 enemy pushes once every 50 frames: without a press the
    // balance only reaches -12 in 600 frames, a draw that pushes both apart.
    int start = 0;
    auto trace = PlayToAClash([](plat::ScriptedKeySource& keys) { keys.SetKey(plat::KEY_Z, false); }, &start);
    ASSERT_FALSE(trace.empty());
    int end = FirstWhere(
        trace, [](const Frame& f) { return !f.balance; }, start);
    ASSERT_GT(end, start);
    EXPECT_NEAR(end - start, 601, 1);
    EXPECT_EQ(*trace[end - 1].balance, -12);
    EXPECT_GT(trace[end - 1].fov, 60);   // the view widens as the player loses
    ASSERT_LT(end + 30, static_cast<int>(trace.size()));
    float before = Distance(trace[start].player->pos, trace[start].enemy->pos);
    EXPECT_GT(Distance(trace[end + 30].player->pos, trace[end + 30].enemy->pos), before + 3);
}

TEST_F(DuelScenarioTest, APlayerWhoOnlyLaunchesWearsDownAndLoses)
{
    auto trace = Play(1, 20000, 0);
    ASSERT_TRUE(trace.back().result) << "still spinning after " << trace.size() << " frames";
    EXPECT_EQ(*trace.back().result, CResult::KIND_GAME_OVER);
    EXPECT_TRUE(trace.back().player->down);
    EXPECT_FALSE(trace.back().enemy->down);
}

}   // namespace
