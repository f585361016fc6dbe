// The stage-1 enemy top and its launcher on a real physics world: the launch
// angle, when a charge may start and how it steers, the touch rules with their
// gauge ceilings, torques and the clash, the camera it drives, and how it is
// drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "core/GameRandom.h"
#include "effect/CPSprite.h"
#include "enemy/St1Enemy.h"
#include "enemy/St1EnemySet.h"
#include "tests/StageTestSupport.h"

namespace {

using toptest::TopWorld;

constexpr float RESTING_HEIGHT = 3.3f;   // the shaft's tip just in the flat arena at height 1
constexpr uint32_t FRAME_MS = 17;

class EnemyTopTest : public ::testing::Test {
protected:
    void SetUp() override { world = std::make_unique<TopWorld>(); }
    void TearDown() override { world.reset(); }

    // The player far off at (-25, ., 0) and the enemy on the floor at `at`,
    // both at rest with the given spins; the physics frozen so nothing moves.
    St1Enemy* Duel(plat::Vec3 at, float enemySpin = 150, float playerSpin = 150)
    {
        player = world->AddTop();
        enemy = new St1Enemy({0, 0, 0});
        AddTask(PRIORITY_ENEMY, enemy, "St1Enemy");
        world->FreezePhysics(true);
        TopWorld::Place(player, {-25, RESTING_HEIGHT, 0}, playerSpin);
        TopWorld::Place(enemy, at, enemySpin);
        player->m_Gauge = player->m_GaugeCeiling = 68;   // its own refill leaves the ceiling alone
        return enemy;
    }

    // Runs the two tops' updates (the player's first, as in the list) with the
    // physics frozen, advancing the frame time as the loop does.
    void EnemyFrames(int n)
    {
        for (int i = 0; i < n; ++i) {
            player->Update();
            enemy->Update();
            world->clock.AdvanceFrame();
            g_FrameTime = plat::NowMs();
        }
    }

    // Runs enemy frames until it charges or the limit passes; the frame time of the start, or 0.
    uint32_t ChargeStartWithin(uint32_t limitMs)
    {
        uint32_t until = g_FrameTime + limitMs;
        while (g_FrameTime < until) {
            uint32_t now = g_FrameTime;
            EnemyFrames(1);
            if (enemy->IsCharging()) return now;
        }
        return 0;
    }

    static bool HasTask(const char* name) { return FindTask(name) != nullptr; }

    CKoma* player = nullptr;
    St1Enemy* enemy = nullptr;
    std::unique_ptr<TopWorld> world;
};

TEST_F(EnemyTopTest, LaunchAngleIsRandomInRangeAndIndependentOfTheSwing)
{
    std::set<int> angles;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        float launched[2];
        for (int swing = 0; swing < 2; ++swing) {
            // Held by the test, not the list, so its angle can be read after it removes itself.
            auto set = std::make_unique<St1EnemySet>();
            TaskEntry entry = MakeTaskEntry(PRIORITY_ENEMY, set.get(), "St1EnemySet");
            entry.owned = false;
            AddTask(entry);
            for (int i = 0; i < 7 + 30 * swing; ++i) set->Update();   // different swings
            CKoma* top = world->AddTop();
            GameSrand(seed);
            set->Update();   // launches and removes itself
            launched[swing] = set->m_AimAngle;
            ASSERT_FALSE(HasTask("St1EnemySet"));
            ASSERT_TRUE(HasTask("St1Enemy"));
            RemoveTask(FindTask("St1Enemy"));
            RemoveTask(top);
        }
        EXPECT_EQ(launched[0], launched[1]);
        EXPECT_GE(launched[0], 150);
        EXPECT_LE(launched[0], 209);
        angles.insert(static_cast<int>(launched[0]));
    }
    EXPECT_GT(angles.size(), 20u);
}

TEST_F(EnemyTopTest, LauncherSwingsBetween135And225WhileThePlayerAims)
{
    auto* set = new St1EnemySet;
    AddTask(PRIORITY_ENEMY, set, "St1EnemySet");
    float lowest = 360, highest = 0;
    for (int i = 0; i < 200; ++i) {
        set->Update();
        lowest = std::min(lowest, set->m_AimAngle);
        highest = std::max(highest, set->m_AimAngle);
    }
    EXPECT_LE(lowest, 136);
    EXPECT_GE(lowest, 133);
    EXPECT_GE(highest, 224);
    EXPECT_LE(highest, 227);
    EXPECT_TRUE(HasTask("St1EnemySet"));   // no player's top yet: no launch
}

TEST_F(EnemyTopTest, LaunchForceTurnsAboutY)
{
    plat::Vec3 f = St1EnemySet::LaunchForce(180);
    EXPECT_NEAR(f.x, 0, 1);
    EXPECT_NEAR(f.z, -100000, 1);
    f = St1EnemySet::LaunchForce(90);
    EXPECT_NEAR(std::fabs(f.x), 100000, 1);
    EXPECT_NEAR(f.z, 0, 1);
}

TEST_F(EnemyTopTest, InitStartsAtTheFarSideWithFullGaugeAndSpin200)
{
    Duel({15, RESTING_HEIGHT, 0});
    St1Enemy* fresh = new St1Enemy({0, 0, 5000});
    AddTask(PRIORITY_ENEMY, fresh, "St1EnemyB");
    EXPECT_EQ(fresh->m_Gauge, 68);
    EXPECT_EQ(fresh->m_GaugeCeiling, 68);
    EXPECT_FLOAT_EQ(fresh->Spin(), 200);
    EXPECT_NEAR(fresh->m_Pos.z, 30, 1e-4);
    EXPECT_NEAR(fresh->m_Disc.body.Force()[2], 5000, 1e-6);
    EXPECT_EQ(fresh->m_ChargeTime, g_FrameTime);
    EXPECT_FLOAT_EQ(world->camera->m_Orbit, 0);
}

TEST_F(EnemyTopTest, FirstChargeComesOnlyAfterThreeSeconds)
{
    Duel({15, RESTING_HEIGHT, 0});
    uint32_t init = enemy->m_ChargeTime;
    uint32_t start = ChargeStartWithin(5000);
    ASSERT_NE(start, 0u);
    EXPECT_GT(start - init, 3000u);
    EXPECT_LE(start - init, 3000u + FRAME_MS);
    EXPECT_FALSE(enemy->m_Disc.body.IsEnabled());
    EXPECT_FALSE(enemy->m_Shaft.body.IsEnabled());
}

TEST_F(EnemyTopTest, NoChargeNearTheCentreOrWithLowSpinOrInTheAir)
{
    Duel({9.0f, RESTING_HEIGHT, 0});   // 9.6 from the centre, counting the height
    EXPECT_EQ(ChargeStartWithin(5000), 0u) << "within 10 units of the centre";

    TopWorld::Place(enemy, {15, RESTING_HEIGHT, 0}, 60);
    EXPECT_EQ(ChargeStartWithin(500), 0u) << "at spin 60";

    TopWorld::Place(enemy, {15, RESTING_HEIGHT + 3, 0}, 150);
    EXPECT_EQ(ChargeStartWithin(500), 0u) << "the shaft off the floor";

    TopWorld::Place(enemy, {15, RESTING_HEIGHT, 0}, 61);
    EXPECT_NE(ChargeStartWithin(100), 0u);
}

TEST_F(EnemyTopTest, ChargeEndsAfter1500MsOrWhenTheGaugeRunsLowAndOpensTheDash)
{
    Duel({15, RESTING_HEIGHT, 0});
    uint32_t start = ChargeStartWithin(5000);
    ASSERT_NE(start, 0u);
    while (enemy->IsCharging()) EnemyFrames(1);
    // 68 gauge: the gauge falls below 10 after 59 charging frames, before 1500 ms pass.
    EXPECT_LT(enemy->m_Gauge, 10);
    EXPECT_TRUE(enemy->m_Disc.body.IsEnabled());
    EXPECT_EQ(enemy->m_DashEnd, enemy->m_ChargeTime + 1500);
    EXPECT_TRUE(HasTask("CKomaAuraEnemy"));

    // With a high ceiling the 1500 ms limit ends it instead.
    TopWorld::Place(enemy, {15, RESTING_HEIGHT, 0}, 150);
    enemy->m_Gauge = enemy->m_GaugeCeiling = 270;
    uint32_t second = ChargeStartWithin(5000);
    ASSERT_NE(second, 0u);
    while (enemy->IsCharging()) EnemyFrames(1);
    EXPECT_GE(enemy->m_Gauge, 10);
    EXPECT_GT(enemy->m_ChargeTime - second, 1500u);
    EXPECT_LE(enemy->m_ChargeTime - second, 1500u + FRAME_MS);
}

TEST_F(EnemyTopTest, ChargingGathersTheSteeringForceOfEveryFrame)
{
    Duel({0, RESTING_HEIGHT, 15});
    ASSERT_NE(ChargeStartWithin(5000), 0u);
    plat::Vec3 per = EnemyTop::SteerTowardsArena(enemy->m_Pos);
    int frames = 1;   // the force of the starting frame is in already
    while (enemy->IsCharging()) {
        EnemyFrames(1);
        ++frames;
    }
    plat::Vec3 gathered = TopWorld::Force(enemy);
    EXPECT_NEAR(gathered.z, per.z * static_cast<float>(frames), 1.0f);
    EXPECT_GT(gathered.z, 0);
}

TEST(EnemyTopSteering, DependsOnlyOnThePositionAndIsNeverNaN)
{
    auto expect = [](plat::Vec3 at, plat::Vec3 want) {
        plat::Vec3 f = EnemyTop::SteerTowardsArena(at);
        EXPECT_NEAR(f.x, want.x, 1e-3) << at.x << "," << at.z;
        EXPECT_NEAR(f.y, want.y, 1e-3);
        EXPECT_NEAR(f.z, want.z, 1e-3);
    };
    expect({0, 0, 20}, {0, 0, 800});
    expect({20, 0, 0}, {800, 0, 0});
    expect({-20, 0, 0}, {800, 0, 0});
    expect({0, 0, -20}, {0, 0, -800});
    expect({0, 0, 0}, {0, 0, 0});
    for (float z : {1e-30f, -1e-30f, 3e38f, -3e38f}) {
        plat::Vec3 f = EnemyTop::SteerTowardsArena({0, 0, z});
        EXPECT_FALSE(std::isnan(f.x) || std::isnan(f.z)) << z;
    }
}

TEST_F(EnemyTopTest, ATouchRaisesBothCeilingsPushesAndTorquesOnlySlowTops)
{
    Duel({10, RESTING_HEIGHT, 0}, 252, 152);
    TopWorld::Place(player, {13, RESTING_HEIGHT, 0}, 152);
    enemy->m_GaugeCeiling = 68;
    player->m_GaugeCeiling = 70;
    EnemyFrames(1);
    EXPECT_EQ(player->m_GaugeCeiling, 70 + 50);   // a fifth of the enemy's spin, truncated
    EXPECT_EQ(enemy->m_GaugeCeiling, 68 + 30);
    EXPECT_FALSE(HasTask("CKomaClash"));
    // The fast enemy gets no torque, the slower player does.
    EXPECT_NEAR(enemy->m_Disc.body.Torque()[1], 0, 1e-9);
    EXPECT_NEAR(player->m_Disc.body.Torque()[1], 7000, 1e-9);
    // Pushed apart along the contact normal, each by the other's spin.
    EXPECT_LT(TopWorld::Force(enemy).x, -100000);
    EXPECT_GT(TopWorld::Force(player).x, 100000);

    int bursts = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* b = dynamic_cast<CPSprite*>(e->object); b && b->GetKind() <= CPSprite::KIND_SPARK_BRIGHT) ++bursts;
    EXPECT_EQ(bursts, 2);
}

TEST_F(EnemyTopTest, CeilingsStopAt270)
{
    Duel({10, RESTING_HEIGHT, 0}, 250, 250);
    TopWorld::Place(player, {13, RESTING_HEIGHT, 0}, 250);
    enemy->m_GaugeCeiling = 260;
    player->m_GaugeCeiling = 265;
    EnemyFrames(1);
    EXPECT_EQ(player->m_GaugeCeiling, 270);
    EXPECT_EQ(enemy->m_GaugeCeiling, 270);
}

TEST_F(EnemyTopTest, AClashNeedsBothDashWindowsThenNoTouchCountsFor8500Ms)
{
    Duel({10, RESTING_HEIGHT, 0}, 152, 152);
    TopWorld::Place(player, {13, RESTING_HEIGHT, 0}, 152);

    // Only the enemy dashing: an ordinary touch.
    enemy->m_DashEnd = g_FrameTime + 1000;
    EnemyFrames(1);
    EXPECT_FALSE(HasTask("CKomaClash"));

    // Both dashing: the ceilings rise first, then the clash starts.
    enemy->m_GaugeCeiling = player->m_GaugeCeiling = 68;
    player->m_DashEnd = g_FrameTime + 1000;
    enemy->m_DashEnd = g_FrameTime + 1000;
    uint32_t clashAt = g_FrameTime;
    EnemyFrames(1);
    ASSERT_TRUE(HasTask("CKomaClash"));
    EXPECT_EQ(enemy->m_ClashCooldownEnd, clashAt + 8500);
    EXPECT_EQ(player->m_GaugeCeiling, 68 + 30);
    EXPECT_EQ(enemy->m_GaugeCeiling, 68 + 30);
    RemoveTask(FindTask("CKomaClash"));

    // Still touching, but nothing is handled until the cooldown has passed.
    int ceiling = player->m_GaugeCeiling;
    while (g_FrameTime <= clashAt + 8500) {
        EnemyFrames(1);
        EXPECT_EQ(player->m_GaugeCeiling, ceiling);
        TopWorld::Place(player, {13, RESTING_HEIGHT, 0}, 150);
        TopWorld::Place(enemy, {10, RESTING_HEIGHT, 0}, 150);
    }
    EnemyFrames(1);
    EXPECT_GT(player->m_GaugeCeiling, ceiling);
    EXPECT_FALSE(HasTask("CKomaClash"));
}

TEST_F(EnemyTopTest, DownByHeightOrBySpinOnTheFloorAndThenStill)
{
    Duel({15, RESTING_HEIGHT + 3, 0}, 20);
    EnemyFrames(1);
    EXPECT_FALSE(enemy->IsDown()) << "slow but in the air";
    TopWorld::Place(enemy, {15, RESTING_HEIGHT, 0}, 20);
    EnemyFrames(1);
    EXPECT_TRUE(enemy->IsDown());

    // A down enemy handles no touch.
    TopWorld::Place(player, {18, RESTING_HEIGHT, 0}, 150);
    int ceiling = player->m_GaugeCeiling;
    EnemyFrames(3);
    EXPECT_EQ(player->m_GaugeCeiling, ceiling);

    Duel({15, -0.5f, 0});
    EnemyFrames(1);
    EXPECT_TRUE(enemy->IsDown());
    EXPECT_EQ(enemy->m_Pos.y, 0);
}

TEST_F(EnemyTopTest, SpinDecaysByItsFactorAtFullPrecisionAndNoTumbling)
{
    Duel({15, RESTING_HEIGHT + 3, 0}, 150);
    enemy->m_Disc.body.SetAngularVelocity(3, 150, -2);
    double before = enemy->m_Disc.body.AngularVelocity()[1];
    EnemyFrames(1);
    const double* w = enemy->m_Disc.body.AngularVelocity();
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(w[2], 0);
    EXPECT_EQ(w[1], before * EnemyTop::UPRIGHT_DECAY);
    EXPECT_NE(w[1], before);
}

TEST_F(EnemyTopTest, CameraCirclesAndRisesAsTheTopsSeparate)
{
    Duel({3, RESTING_HEIGHT, 0}, 150, 100);
    TopWorld::Place(player, {-3, RESTING_HEIGHT, 0}, 100);
    EnemyFrames(2);   // the camera moves before the enemy reads its body: one frame behind
    float nearHeight = world->camera->m_Eye.y;
    EXPECT_NEAR(world->camera->m_Orbit, 0.4f, 1e-5);
    EXPECT_NEAR(nearHeight, 25 - 10 + 6, 0.2f);
    EXPECT_NEAR(world->camera->m_Target.x, 0, 0.1f);

    TopWorld::Place(enemy, {30, RESTING_HEIGHT, 0}, 150);
    TopWorld::Place(player, {-30, RESTING_HEIGHT, 0}, 100);
    EnemyFrames(2);
    EXPECT_NEAR(world->camera->m_Eye.y, 25 - 10 + 22, 0.2f);   // the distance counts up to 22
    plat::Vec3 eye = world->camera->m_Eye;
    float phi = world->camera->m_Orbit * plat::PI / 180;
    EXPECT_NEAR(eye.x, -eye.y * std::sin(phi), 1e-3);
    EXPECT_NEAR(eye.z, -eye.y * std::cos(phi), 1e-3);

    world->camera->m_Orbit = 359.9f;
    EnemyFrames(1);
    EXPECT_EQ(world->camera->m_Orbit, 0);
}

TEST_F(EnemyTopTest, ChargingTopKeepsItsChargingPoseWhenATouchWakesItsBody)
{
    Duel({15, RESTING_HEIGHT, 0});
    ASSERT_NE(ChargeStartWithin(5000), 0u);
    enemy->m_Disc.body.Enable();   // as a touch from an enabled body would
    auto glints = [] {
        int n = 0;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* b = dynamic_cast<CPSprite*>(e->object); b && b->GetKind() == CPSprite::KIND_GLINT) ++n;
        return n;
    };
    int before = glints();
    enemy->Draw();
    EXPECT_EQ(glints(), before) << "a charging top throws no sparks and no glint";
    enemy->m_Charging = 0;
    enemy->Draw();
    EXPECT_EQ(glints(), before + 1);
}

TEST_F(EnemyTopTest, MarkerIsDrawnAboveTheEnemyFacingTheCamera)
{
    Duel({15, RESTING_HEIGHT, 0});
    world->env->device.SetKeepCalls(true);
    world->env->device.ClearCalls();
    enemy->Draw();
    const plat::RecordingDevice::Call* marker = nullptr;
    for (const auto& c : world->env->device.Calls())
        if (c.kind == plat::RecordingDevice::CallKind::DrawUser) marker = &c;
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->vertices.size(), 4u);
    EXPECT_NEAR(marker->state.world.m[3][1], enemy->m_Pos.y + 3, 1e-4);
    EXPECT_NEAR(marker->state.world.m[3][0], enemy->m_Pos.x, 1e-4);
}

}   // namespace
