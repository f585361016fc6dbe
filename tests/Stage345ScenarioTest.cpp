// Whole-game scenarios of stages 3, 4 and 5, played by the headless runner
// in-process on the generated data set with no video. A test-side pilot reads
// the game's state before each frame and presses keys as a player would: it
// launches, steers relative to the camera's orbit, answers the enemy's charges
// with its own and pushes hard in clashes, sits it out boosting its spin, or
// pushes the boss's bombs into it; or it launches weakly and leaves its top
// alone. The result screen's kind tells who won.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/TaskList.h"
#include "enemy/CCapsule.h"
#include "enemy/CObj.h"
#include "enemy/EnemyTop.h"
#include "enemy/St5Enemy.h"
#include "game/CKoma.h"
#include "game/CKomaClash.h"
#include "game/CKomaSet.h"
#include "gfx/CCamera.h"
#include "platform/KeySource.h"
#include "scene/CResult.h"
#include "tests/RunnerTestSupport.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
constexpr float ARROW_SHARE = 0.38f;   // a direction component beyond this holds its arrow key
constexpr int STRONG_POWER = 184;      // launch at or above this power
constexpr int NO_RESULT = -1;

enum class Plan { LeaveAlone, Duel, Sit, Bombs, TwoBombs };

// What the pilot saw over a game.
struct Record {
    int resultKind = NO_RESULT;
    int resultFrame = -1;
    int launchFrame = -1;
    int enemyCharges = 0;
    int clashes = 0;
    int volleys = 0;
    int maxProjectiles = 0;
    int maxBombs = 0;
    int minCapsules = 1000;
    int maxCapsules = 0;
    int bombHits = 0;
    int ringsSeen = 0;                  // frames in which 18 or more projectiles appeared at once
    bool launcherWhileAiming = false;   // the stage's enemy set-up task during the aiming phase
    bool enemyWhileAiming = false;      // an enemy top before the player's
};

class Pilot {
public:
    Pilot(Plan plan, int stage) : m_Plan(plan), m_Stage(stage) {}

    void operator()(int frame, plat::ScriptedKeySource& keys)
    {
        m_Keys = &keys;
        Observe(frame);
        if (m_Record.resultKind != NO_RESULT) {
            ReleaseAll();
            return;
        }
        if (auto* set = dynamic_cast<CKomaSet*>(FindTask(KOMA_SET_TASK_NAME))) {
            Aim(*set);
            return;
        }
        auto* player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
        if (!player || m_Plan == Plan::LeaveAlone) {
            ReleaseAll();
            return;
        }
        if (m_Plan == Plan::Duel)
            Duel(frame, *player);
        else if (m_Plan == Plan::Sit)
            Sit(frame, *player);
        else if (m_Plan == Plan::TwoBombs && m_Record.bombHits >= 2)
            Sit(frame, *player);
        else
            PushBombs(*player);
    }

    const Record& Result() const { return m_Record; }

private:
    void Observe(int frame)
    {
        if (auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME));
            result && m_Record.resultKind == NO_RESULT) {
            m_Record.resultKind = result->Kind();
            m_Record.resultFrame = frame;
        }
        if (m_Record.launchFrame < 0 && FindTask(KOMA_TASK_NAME)) m_Record.launchFrame = frame;
        if (FindTask(KOMA_SET_TASK_NAME)) {
            std::string launcher = "St" + std::to_string(m_Stage) + "EnemySet";
            if (FindTask(launcher.c_str())) m_Record.launcherWhileAiming = true;
            if (Enemy()) m_Record.enemyWhileAiming = true;
        }
        int projectiles = 0, bombs = 0, capsules = 0;
        for (const TaskEntry* e : TaskList::Instance().Entries()) {
            if (auto* o = dynamic_cast<CObj*>(e->object))
                (o->IsBomb() ? bombs : projectiles) += 1;
            else if (dynamic_cast<CCapsule*>(e->object))
                ++capsules;
        }
        if (projectiles - m_LastProjectiles >= 18) ++m_Record.ringsSeen;
        m_LastProjectiles = projectiles;
        m_Record.maxProjectiles = std::max(m_Record.maxProjectiles, projectiles);
        m_Record.maxBombs = std::max(m_Record.maxBombs, bombs);
        if (Enemy()) {
            m_Record.minCapsules = std::min(m_Record.minCapsules, capsules);
            m_Record.maxCapsules = std::max(m_Record.maxCapsules, capsules);
        }
        bool clash = FindTask(KOMA_CLASH_TASK_NAME) != nullptr;
        if (clash && !m_WasClash) ++m_Record.clashes;
        m_WasClash = clash;
        if (auto* enemy = Enemy()) {
            if (enemy->IsCharging() && !m_EnemyWasCharging) {
                ++m_Record.enemyCharges;
                if (dynamic_cast<St5Enemy*>(enemy)) ++m_Record.volleys;
            }
            m_EnemyWasCharging = enemy->IsCharging();
            if (auto* boss = dynamic_cast<St5Enemy*>(enemy)) m_Record.bombHits = boss->m_BombHits;
        }
    }

    CKomaBase* Enemy() const
    {
        std::string name = "St" + std::to_string(m_Stage) + "Enemy";
        return dynamic_cast<CKomaBase*>(FindTask(name.c_str()));
    }

    void Aim(const CKomaSet& set)
    {
        bool launch = m_Plan == Plan::LeaveAlone ? true : set.m_Power >= STRONG_POWER;
        m_Keys->SetKey(plat::KEY_Z, launch && !m_ZWasDown);
        m_ZWasDown = launch && !m_ZWasDown;
    }

    void ReleaseAll()
    {
        for (int key : {plat::KEY_Z, plat::KEY_LEFT, plat::KEY_RIGHT, plat::KEY_UP, plat::KEY_DOWN})
            m_Keys->SetKey(key, false);
    }

    // Holds the arrow keys that push the top from `from` towards `to`, as
    // seen from the camera circling the arena.
    void SteerTowards(plat::Vec3 from, plat::Vec3 to)
    {
        plat::Vec3 w = to - from;
        w.y = 0;
        auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
        float orbit = camera ? camera->m_Orbit : 0.0f;
        plat::Vec3 local = plat::TransformNormal(plat::Normalize(w), plat::RotationY(-orbit * DEG_TO_RAD));
        m_Keys->SetKey(plat::KEY_RIGHT, local.x > ARROW_SHARE);
        m_Keys->SetKey(plat::KEY_LEFT, local.x < -ARROW_SHARE);
        m_Keys->SetKey(plat::KEY_UP, local.z > ARROW_SHARE);
        m_Keys->SetKey(plat::KEY_DOWN, local.z < -ARROW_SHARE);
    }

    // Towards the enemy from the middle of the arena, so that hits and won
    // clashes throw it outwards; its charge is answered with a charge,
    // released into a dash as its own dash starts; spare gauge boosts the
    // spin; a clash is pushed every other frame.
    void Duel(int frame, CKoma& player)
    {
        if (FindTask(KOMA_CLASH_TASK_NAME)) {
            SetZ(frame % 2 == 0);
            return;
        }
        CKomaBase* enemy = Enemy();
        if (!enemy) return;
        plat::Vec3 out = enemy->m_Pos;
        out.y = 0;
        out = plat::Normalize(out);
        plat::Vec3 toEnemy = enemy->m_Pos - player.m_Pos;
        toEnemy.y = 0;
        bool lined = plat::Dot(plat::Normalize(toEnemy), out) > 0.7f;
        SteerTowards(player.m_Pos, lined ? enemy->m_Pos : enemy->m_Pos - out * 5.0f);

        if (player.IsCharging()) {
            SetZ(enemy->IsCharging());
        } else if (enemy->IsCharging() && player.m_Gauge > 10) {
            SetZ(!m_ZDown);   // a fresh press while steering starts the charge
        } else if (player.m_Gauge > CKomaBase::GAUGE_BASE + 2) {
            // A press without an arrow held boosts instead of charging.
            if (!m_ZDown) ReleaseArrows();
            SetZ(true);
        } else {
            SetZ(false);
        }
    }

    // Stays where it landed, boosting its spin from spare gauge.
    void Sit(int frame, CKoma& player)
    {
        ReleaseArrows();
        if (FindTask(KOMA_CLASH_TASK_NAME))
            SetZ(frame % 2 == 0);
        else
            SetZ(player.m_Gauge > CKomaBase::GAUGE_BASE + 2);
    }

    void SetZ(bool down)
    {
        m_Keys->SetKey(plat::KEY_Z, down);
        m_ZDown = down;
    }

    void ReleaseArrows()
    {
        for (int key : {plat::KEY_LEFT, plat::KEY_RIGHT, plat::KEY_UP, plat::KEY_DOWN}) m_Keys->SetKey(key, false);
    }

    // Round the bomb to its far side from the boss, then through it.
    void PushBombs(CKoma& player)
    {
        auto* bomb = dynamic_cast<CObj*>(FindTask(BOMB_TASK_NAME));
        auto* boss = dynamic_cast<St5Enemy*>(FindTask(BOSS_TASK_NAME));
        if (!bomb || !boss) return ReleaseAll();
        plat::Vec3 out = bomb->m_Position - boss->m_Pos;
        out.y = 0;
        out = plat::Normalize(out);
        plat::Vec3 fromBomb = player.m_Pos - bomb->m_Position;
        fromBomb.y = 0;
        plat::Vec3 side = plat::Normalize(fromBomb);
        if (plat::Dot(side, out) > 0.85f) {
            SteerTowards(player.m_Pos, boss->m_Pos);
            return;
        }
        plat::Vec3 round = plat::Normalize(side + out);
        if (plat::Length(round) < 0.1f) round = {out.z, 0, -out.x};
        SteerTowards(player.m_Pos, bomb->m_Position + round * 8.0f);
    }

    Plan m_Plan;
    int m_Stage;
    plat::ScriptedKeySource* m_Keys = nullptr;
    Record m_Record;
    bool m_ZWasDown = false;
    bool m_WasClash = false;
    bool m_EnemyWasCharging = false;
    int m_LastProjectiles = 0;
    bool m_ZDown = false;
};

// Plays the stage with the pilot until the result screen has shown for a
// second, or the frame limit.
Record Play(int stage, Plan plan, int frames, uint32_t seed = 3, bool stopAtResult = true)
{
    Pilot pilot(plan, stage);
    SimOptions options = runnertest::GameOptions(frames, seed, stage);
    options.beforeFrame = [&pilot, stopAtResult](int frame, plat::ScriptedKeySource& keys) {
        pilot(frame, keys);
        if (stopAtResult && pilot.Result().resultKind != NO_RESULT && frame > pilot.Result().resultFrame + 60)
            PostQuit();   // seen enough: close the game after this frame
    };
    EXPECT_TRUE(runnertest::Runs(options));
    return pilot.Result();
}

class Stage345ScenarioTest : public runnertest::GeneratedDataTest {};

// About a battle's worth of frames, and three minutes at 60 a second.
constexpr int BATTLE_FRAMES = 20000;
constexpr int THREE_MINUTES = 3 * 60 * 60;

TEST_F(Stage345ScenarioTest, Stage3IsWonByAnsweringTheHuntersChargeAndWinningTheClash)
{
    Record r = Play(3, Plan::Duel, BATTLE_FRAMES);
    EXPECT_TRUE(r.launcherWhileAiming);
    EXPECT_FALSE(r.enemyWhileAiming);
    ASSERT_GE(r.launchFrame, 0);
    EXPECT_EQ(r.minCapsules, 3);
    EXPECT_EQ(r.maxCapsules, 3);
    EXPECT_GE(r.enemyCharges, 1);
    EXPECT_GE(r.clashes, 1);
    EXPECT_EQ(r.resultKind, CResult::KIND_CLEAR) << "after " << r.resultFrame << " frames";
}

// What a stage holds besides its enemy top.
struct LeftAlone {
    int stage;
    int capsules;   // bumpers, all the while the enemy is in play
    int bombs;      // at most at once
};

std::ostream& operator<<(std::ostream& out, const LeftAlone& c) { return out << "stage " << c.stage; }

class Stage345LeftAloneTest : public runnertest::GeneratedDataFixture<::testing::TestWithParam<LeftAlone>> {};

// A top launched at once and never touched again loses: the enemy waits on
// its launcher while the player aims, then charges (the boss's volleys count
// as its charges) until the top goes down.
TEST_P(Stage345LeftAloneTest, IsLostByATopLeftAlone)
{
    const LeftAlone& c = GetParam();
    Record r = Play(c.stage, Plan::LeaveAlone, BATTLE_FRAMES);
    EXPECT_TRUE(r.launcherWhileAiming);
    EXPECT_FALSE(r.enemyWhileAiming);
    EXPECT_EQ(r.minCapsules, c.capsules);
    EXPECT_EQ(r.maxCapsules, c.capsules);
    EXPECT_EQ(r.maxBombs, c.bombs);
    EXPECT_GE(r.enemyCharges, 1);
    EXPECT_EQ(r.resultKind, CResult::KIND_GAME_OVER) << "after " << r.resultFrame << " frames";
}

constexpr LeftAlone kLeftAlone[] = {{3, 3, 0}, {4, 0, 0}, {5, 0, 1}};

INSTANTIATE_TEST_SUITE_P(Stages, Stage345LeftAloneTest, ::testing::ValuesIn(kLeftAlone),
                         [](const ::testing::TestParamInfo<LeftAlone>& info) {
                             return "Stage" + std::to_string(info.param.stage);
                         });

TEST_F(Stage345ScenarioTest, Stage4IsNotWonBySittingOutTheHeavyTop)
{
    // The heavy top keeps charging at a player that only sits and boosts its
    // spin, and its crater's spillways wait for whoever is knocked into one:
    // outlasting it is no longer the way to win.
    Record r = Play(4, Plan::Sit, 2 * BATTLE_FRAMES, 4);
    EXPECT_TRUE(r.launcherWhileAiming);
    EXPECT_EQ(r.maxCapsules, 0);
    EXPECT_GE(r.enemyCharges, 1);
    EXPECT_EQ(r.resultKind, CResult::KIND_GAME_OVER) << "after " << r.resultFrame << " frames";
}

TEST_F(Stage345ScenarioTest, Stage5IsWonByPushingFourBombsIntoTheBoss)
{
    Record r = Play(5, Plan::Bombs, BATTLE_FRAMES);
    EXPECT_TRUE(r.launcherWhileAiming);
    EXPECT_EQ(r.maxBombs, 1);
    EXPECT_GE(r.volleys, 2);
    EXPECT_GE(r.ringsSeen, 1) << "a ring after the second hit";
    EXPECT_EQ(r.bombHits, 4);
    EXPECT_EQ(r.resultKind, CResult::KIND_CLEAR) << "after " << r.resultFrame << " frames";
    std::printf("stage 5 won after %d frames, %d volleys, at most %d projectiles in play\n", r.resultFrame, r.volleys,
                r.maxProjectiles);
}

TEST_F(Stage345ScenarioTest, Stage5ProjectilesInPlayStayBoundedOverThreeMinutesOfRings)
{
    // Two bombs pushed in, so that every later volley ends with a ring; then
    // the player only sits and the boss fires on for the rest of the three
    // minutes. Projectiles leave play below height 0, so their number in play
    // stays within about one volley and its ring.
    Record r = Play(5, Plan::TwoBombs, THREE_MINUTES, 3, false);
    EXPECT_GE(r.bombHits, 2);   // a projectile may knock a bomb into the boss too
    EXPECT_LT(r.bombHits, 4);
    EXPECT_GE(r.volleys, 15);
    EXPECT_GE(r.ringsSeen, 10);
    EXPECT_GT(r.maxProjectiles, 18);
    EXPECT_LT(r.maxProjectiles, 80);
    std::printf("stage 5, three minutes: %d volleys, %d rings, at most %d projectiles in play\n", r.volleys,
                r.ringsSeen, r.maxProjectiles);
}

TEST_F(Stage345ScenarioTest, TraceShowsTheBossesHitsAndFlashAndTheObjectsInPlay)
{
    runnertest::RunFolder run;
    SimOptions options = runnertest::GameOptions(700, 1, 5);
    const std::vector<std::string> lines = run.PlayTraced(run.WithKeys(options, "0 Z down\n"));
    int bossFrames = 0, withProjectiles = 0;
    for (const std::string& line : lines) {
        if (line.find("\"bombHits\":") == std::string::npos) continue;
        ++bossFrames;
        EXPECT_NE(line.find("\"flash\":"), std::string::npos);
        EXPECT_NE(line.find("\"bombs\":1,\"capsules\":0}"), std::string::npos) << line.substr(0, 200);
        if (line.find("\"objects\":{\"projectiles\":0,") == std::string::npos) ++withProjectiles;
    }
    EXPECT_GT(bossFrames, 300);
    EXPECT_GT(withProjectiles, 0) << "the first volley comes 7 s after the boss";
}

}   // namespace
