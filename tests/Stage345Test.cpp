// The enemies of stages 3 to 5 on a real physics world over a flat arena: the
// hunting charges of the stage-3 and stage-4 tops, the capsule bumpers, and
// the boss with its volleys, rings, bombs and hit flash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "core/GameRandom.h"
#include "core/TaskList.h"
#include "enemy/CCapsule.h"
#include "enemy/CObj.h"
#include "enemy/St1Enemy.h"
#include "enemy/St1EnemySet.h"
#include "enemy/St3Enemy.h"
#include "enemy/St4Enemy.h"
#include "enemy/St5Enemy.h"
#include "enemy/St5EnemySet.h"
#include "tests/StageTestSupport.h"

namespace {

using toptest::TopWorld;

constexpr float RESTING_HEIGHT = 3.3f;   // a top's shaft tip just in the flat arena at height 1
constexpr uint32_t FRAME_MS = 17;

// The meshes and sound these stages look up besides the ones every top needs.
void AddStageResources()
{
    for (const char* key : {"XSt3Enemy", "XSt4Enemy", "XSt5Enemy", "XCapsule", "XSt5Obj", "XSt5Bomm"})
        toptest::AddResource(key, new CXFile("X/Mesh.x"));
    auto* sound = new CSound("sound/Click.wav");
    AddTask(PRIORITY_RESOURCE, sound, "ItemHitSE");
    RegisterResource("ItemHitSE", sound);
}

template <typename T>
std::vector<T*> TasksOf()
{
    std::vector<T*> found;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* t = dynamic_cast<T*>(e->object)) found.push_back(t);
    return found;
}

int Count(const char* name)
{
    int n = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (std::string(e->name) == name) ++n;
    return n;
}

class Stage345Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<TopWorld>();
        AddStageResources();
    }
    void TearDown() override { world.reset(); }

    // The player at `playerAt` and the enemy on the floor at `enemyAt`, both
    // at rest; the physics frozen so that only the tops' own rules act.
    template <typename Enemy>
    Enemy* Hunt(plat::Vec3 playerAt, plat::Vec3 enemyAt, const char* name)
    {
        player = world->AddTop();
        auto* enemy = new Enemy({0, 0, 0});
        AddTask(PRIORITY_ENEMY, enemy, name);
        world->FreezePhysics(true);
        TopWorld::Place(player, playerAt, 150);
        TopWorld::Place(enemy, enemyAt, 150);
        hunter = enemy;
        return enemy;
    }

    // The two tops' updates (the player's first, as in the list), time advancing.
    void TopFrames(int n)
    {
        for (int i = 0; i < n; ++i) {
            player->Update();
            hunter->Update();
            Tick();
        }
    }

    void Tick()
    {
        world->clock.AdvanceFrame();
        g_FrameTime = plat::NowMs();
    }

    uint32_t ChargeStartWithin(uint32_t limitMs)
    {
        uint32_t until = g_FrameTime + limitMs;
        while (g_FrameTime < until) {
            uint32_t now = g_FrameTime;
            TopFrames(1);
            if (hunter->IsCharging()) return now;
        }
        return 0;
    }

    CKoma* player = nullptr;
    EnemyTop* hunter = nullptr;
    std::unique_ptr<TopWorld> world;
};

// ---- stage 3 and 4 enemy tops ----

TEST_F(Stage345Test, Stage3ChargeLastsAsLongAsTheGaugeAndSteersAtThePlayerEachFrame)
{
    auto* enemy = Hunt<St3Enemy>({-25, RESTING_HEIGHT, 0}, {15, RESTING_HEIGHT, 0}, "St3Enemy");
    EXPECT_EQ(Count("CCapsule"), St3Enemy::CAPSULE_COUNT);
    EXPECT_FLOAT_EQ(enemy->Spin(), 150);
    enemy->m_Gauge = enemy->m_GaugeCeiling = 270;
    ASSERT_NE(ChargeStartWithin(5000), 0u);

    int frames = 1;   // the starting frame spent one unit already
    bool turned = false;
    while (enemy->IsCharging() && frames < 400) {
        // The player circles round the enemy; the steering follows it.
        float a = static_cast<float>(frames) * 0.02f;
        TopWorld::Place(player, {15 - 40 * std::cos(a), RESTING_HEIGHT, 40 * std::sin(a)}, 150);
        TopFrames(1);
        ++frames;
        if (!enemy->IsCharging()) break;
        plat::Vec3 want = plat::Normalize(player->m_Pos - enemy->m_Pos);
        want.y = 0;
        EXPECT_NEAR(enemy->m_SteerForce.x, 800 * want.x, 1e-2);
        EXPECT_NEAR(enemy->m_SteerForce.z, 800 * want.z, 1e-2);
        if (enemy->m_SteerForce.z > 300) turned = true;
    }
    EXPECT_EQ(frames, 270) << "one gauge unit a frame, far past 1500 ms";
    EXPECT_EQ(enemy->m_Gauge, 0);
    EXPECT_TRUE(turned);
}

TEST_F(Stage345Test, HuntersChargeOnlyFromFarEnoughAndWithSpinAbove50)
{
    // 9 apart: never far enough, whatever the threshold drawn.
    auto* enemy = Hunt<St3Enemy>({6, RESTING_HEIGHT, 0}, {15, RESTING_HEIGHT, 0}, "St3Enemy");
    EXPECT_EQ(ChargeStartWithin(5000), 0u);
    // 25 apart: always far enough, and spin 51 will do where the stage-1 top needs 61.
    TopWorld::Place(player, {-10, RESTING_HEIGHT, 0}, 150);
    TopWorld::Place(enemy, {15, RESTING_HEIGHT, 0}, 51);
    EXPECT_NE(ChargeStartWithin(200), 0u);

    // 17 apart: only some of the thresholds (10 ... 24.9) are passed, so the
    // wait varies with the draw.
    std::set<uint32_t> waits;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        GameSrand(seed);
        while (enemy->IsCharging()) TopFrames(1);
        TopWorld::Place(player, {-2, RESTING_HEIGHT, 0}, 150);
        TopWorld::Place(enemy, {15, RESTING_HEIGHT, 0}, 150);
        uint32_t from = enemy->m_ChargeTime;
        uint32_t start = ChargeStartWithin(6000);
        ASSERT_NE(start, 0u);
        waits.insert(start - from);
    }
    EXPECT_GT(waits.size(), 1u);
}

TEST_F(Stage345Test, Stage4ChargeKeepsItsDirectionWhileThePlayerMovesAndLasts2000Ms)
{
    auto* enemy = Hunt<St4Enemy>({-25, RESTING_HEIGHT, 0}, {15, RESTING_HEIGHT, 0}, "St4Enemy");
    EXPECT_EQ(Count("CCapsule"), 0);
    enemy->m_Gauge = enemy->m_GaugeCeiling = 270;
    uint32_t start = ChargeStartWithin(5000);
    ASSERT_NE(start, 0u);
    EXPECT_NEAR(enemy->m_SteerForce.x, -3400, 1e-2);
    EXPECT_NEAR(enemy->m_SteerForce.z, 0, 1e-2);

    int frames = 1;
    TopWorld::Place(player, {15, RESTING_HEIGHT, 30}, 150);   // the player runs off to the side
    while (enemy->IsCharging()) {
        TopFrames(1);
        ++frames;
    }
    EXPECT_NEAR(enemy->m_SteerForce.x, -3400, 1e-2);
    plat::Vec3 gathered = TopWorld::Force(enemy);
    EXPECT_NEAR(gathered.x, -3400.0f * static_cast<float>(frames), 1.0f);
    EXPECT_NEAR(gathered.z, 0, 1.0f);
    EXPECT_GT(enemy->m_ChargeTime - start, 2000u);
    EXPECT_LE(enemy->m_ChargeTime - start, 2000u + FRAME_MS);
}

TEST_F(Stage345Test, Stage4TopKeepsItsOwnAngularVelocityAndWeighs50)
{
    auto* enemy = Hunt<St4Enemy>({-25, RESTING_HEIGHT, 0}, {15, RESTING_HEIGHT + 3, 0}, "St4Enemy");
    EXPECT_NEAR(enemy->m_Disc.mass, 50, 1e-9);
    enemy->m_Disc.body.SetAngularVelocity(3, 150, -2);
    TopFrames(3);
    const double* w = enemy->m_Disc.body.AngularVelocity();
    EXPECT_EQ(w[0], 3);
    EXPECT_EQ(w[1], 150);
    EXPECT_EQ(w[2], -2);
}

TEST_F(Stage345Test, LaunchersPutTheirOwnTopOnTheRailAndStage4LeavesItLikeTheOthers)
{
    // The heavy top's launch carries five times the force for five times the
    // mass: after the same launch it is where the stage-1 top is.
    world->AddTop();
    auto flight = [&](EnemyTop* top, const char* name) {
        AddTask(PRIORITY_ENEMY, top, name);
        world->Frames(12);
        plat::Vec3 at = top->m_Pos;
        for (Body b : {top->m_Disc.body, top->m_Shaft.body}) {   // out of the next flight's way
            b.SetPosition(500, 500, 500);
            b.Disable();
        }
        RemoveTask(top);
        return at;
    };
    plat::Vec3 light = flight(new St1Enemy(St1EnemySet::LaunchForce(180)), "St1Enemy");
    plat::Vec3 heavy = flight(new St4Enemy(St1EnemySet::LaunchForce(180)), "St4Enemy");
    EXPECT_LT(light.z, 28);                // it did fly
    EXPECT_NEAR(heavy.z, light.z, 0.1f);   // within 2 % of the way flown
    EXPECT_NEAR(heavy.y, light.y, 0.1f);
}

// ---- capsule bumpers ----

class CapsuleTest : public Stage345Test {
protected:
    CCapsule* AddCapsule()
    {
        auto* c = new CCapsule;
        AddTask(PRIORITY_ENEMY, c, CAPSULE_TASK_NAME);
        return c;
    }
};

TEST_F(CapsuleTest, StartsInTheSpawnSquareAndSpinsAt160)
{
    for (int i = 0; i < 20; ++i) {
        CCapsule* c = AddCapsule();
        EXPECT_GE(c->m_Position.x, -25);
        EXPECT_LT(c->m_Position.x, 25);
        EXPECT_GE(c->m_Position.z, -25);
        EXPECT_LT(c->m_Position.z, 25);
        EXPECT_EQ(c->m_Position.y, 10);
        EXPECT_NEAR(c->m_Body.radius, 1.5, 1e-9);
        EXPECT_NEAR(c->m_Body.length, 2, 1e-9);
        EXPECT_EQ(c->m_Body.body.AngularVelocity()[1], 200);
        c->Update();
        EXPECT_EQ(c->m_Body.body.AngularVelocity()[1], 160);
        RemoveTask(c);
    }
}

TEST_F(CapsuleTest, AFallenCapsuleComesBackAboveTheCentreAtRestAgainAndAgain)
{
    CCapsule* c = AddCapsule();
    for (int fall = 0; fall < 6; ++fall) {
        // Off the edge of the arena with the speed of a long fall.
        c->m_Body.body.SetPosition(70, -0.5, 0);
        c->m_Body.body.SetLinearVelocity(5, -60.0 * (fall + 1), 0);
        world->Frame();
        const double* p = c->m_Body.body.Position();
        EXPECT_NEAR(p[0], 0, 1e-3) << fall;
        EXPECT_NEAR(p[2], 0, 1e-3);
        EXPECT_GT(p[1], 9.5);
        EXPECT_LE(p[1], 10.0);
        const double* v = c->m_Body.body.LinearVelocity();
        EXPECT_LT(std::fabs(v[1]), 2.0) << "only one step of gravity since it came back";
        // It lands on the arena, bounces and settles there.
        for (int frame = 0; frame < 300; ++frame) {
            world->Frame();
            ASSERT_GT(c->m_Position.y, 2.4f) << fall << " " << frame;
        }
        EXPECT_LT(c->m_Position.y, 4.0f) << fall;
    }
}

TEST_F(CapsuleTest, EveryFrameOfTouchRaisesTheCeilingBy20AndThrowsThePlayerBack)
{
    CKoma* top = world->AddTop();
    CCapsule* c = AddCapsule();
    world->FreezePhysics(true);
    TopWorld::Place(top, {0, RESTING_HEIGHT, 0}, 150);
    c->m_Body.body.SetPosition(2.8, RESTING_HEIGHT, 0);
    top->m_Gauge = top->m_GaugeCeiling = 68;
    for (int frame = 1; frame <= 3; ++frame) {
        top->m_Disc.body.SetForce(0, 0, 0);
        top->m_Disc.body.SetTorque(0, 0, 0);
        c->Update();
        EXPECT_EQ(top->m_GaugeCeiling, 68 + 20 * frame);
        EXPECT_LT(TopWorld::Force(top).x, -19000);   // thrown away from the capsule
        EXPECT_NEAR(top->m_Disc.body.Torque()[1], 2000, 1e-9);
    }
    EXPECT_GT(c->m_Body.body.Force()[0], 3 * 150 * 200 * 0.9);
    top->m_GaugeCeiling = 260;
    c->Update();
    EXPECT_EQ(top->m_GaugeCeiling, 270);
    c->Update();
    EXPECT_EQ(top->m_GaugeCeiling, 270);
}

// ---- the boss and its objects ----

class BossTest : public Stage345Test {
protected:
    // The player's top far from the boss and the boss set up by its launcher;
    // the physics frozen unless asked otherwise.
    St5Enemy* Boss(bool frozen = true)
    {
        player = world->AddTop();
        AddTask(PRIORITY_ENEMY, new St5EnemySet, "St5EnemySet");
        world->FreezePhysics(frozen);
        world->Frame();
        boss = dynamic_cast<St5Enemy*>(FindTask(BOSS_TASK_NAME));
        return boss;
    }

    // The frame time at which the next volley starts, or 0 within the limit.
    uint32_t NextVolleyWithin(uint32_t limitMs)
    {
        uint32_t until = g_FrameTime + limitMs;
        while (g_FrameTime < until) {
            world->Frame();
            if (boss->IsFiring()) return boss->m_ChargeTime;
        }
        return 0;
    }

    void RunOutVolley()
    {
        while (boss->IsFiring()) world->Frame();
    }

    static plat::Vec3 Direction(const CObj* o, plat::Vec3 from)
    {
        plat::Vec3 d = o->m_Position - from;
        d.y = 0;
        return plat::Normalize(d);
    }

    St5Enemy* boss = nullptr;
};

TEST_F(BossTest, StartsWhenThePlayersTopExistsWithOneBombOnTheRing)
{
    AddTask(PRIORITY_ENEMY, new St5EnemySet, "St5EnemySet");
    world->Frame();
    EXPECT_EQ(FindTask(BOSS_TASK_NAME), nullptr) << "no boss before the player's top";
    EXPECT_NE(FindTask("St5EnemySet"), nullptr);
    player = world->AddTop();
    world->FreezePhysics(true);
    world->Frame();
    boss = dynamic_cast<St5Enemy*>(FindTask(BOSS_TASK_NAME));
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(FindTask("St5EnemySet"), nullptr);
    EXPECT_NEAR(boss->m_Disc.radius, 6.4, 1e-6);
    EXPECT_NEAR(boss->m_Disc.length, 8.0, 1e-6);
    EXPECT_FLOAT_EQ(boss->Spin(), 120);

    for (int i = 0; i < 30; ++i) {
        auto bombs = TasksOf<CObj>();
        ASSERT_EQ(bombs.size(), 1u);
        ASSERT_TRUE(bombs[0]->IsBomb());
        float r = std::hypot(bombs[0]->m_Position.x, bombs[0]->m_Position.z);
        EXPECT_GE(r, 16.99f);
        EXPECT_LE(r, 24.01f);
        EXPECT_NEAR(bombs[0]->m_Body.radius, 2.8, 1e-6);
        RemoveTask(bombs[0]);
        world->Frame();
    }
}

TEST_F(BossTest, NeverMoreThanOneBombAndANewOneTheUpdateAfterOneIsConsumedOrFalls)
{
    Boss();
    boss->m_ChargeTime = g_FrameTime;   // no volley for the next 7 s
    auto bomb = [] { return dynamic_cast<CObj*>(FindTask(BOMB_TASK_NAME)); };
    ASSERT_NE(bomb(), nullptr);

    // Pushed into the boss: a hit, the flash, and at once a new bomb.
    CObj* first = bomb();
    first->m_Body.body.SetPosition(boss->m_Pos.x, boss->m_Pos.y, boss->m_Pos.z + 8.5);
    world->Frame();
    EXPECT_EQ(boss->m_BombHits, 1);
    EXPECT_GT(boss->m_FlashFrames, 85);
    EXPECT_EQ(Count(BOMB_TASK_NAME), 1);
    ASSERT_NE(bomb(), nullptr);
    EXPECT_GT(std::hypot(bomb()->m_Position.x, bomb()->m_Position.z), 16.9f);

    // Fallen below 0: gone, and replaced in the same way.
    bomb()->m_Body.body.SetPosition(30, -0.5, 0);
    world->Frame();
    EXPECT_EQ(Count(BOMB_TASK_NAME), 1);
    EXPECT_GT(bomb()->m_Position.y, 0);
    EXPECT_EQ(boss->m_BombHits, 1);

    // With the simulation running, the bomb count never passes one.
    world->FreezePhysics(false);
    for (int i = 0; i < 300; ++i) {
        world->Frame();
        ASSERT_EQ(Count(BOMB_TASK_NAME), 1) << i;
    }
}

TEST_F(BossTest, VolleysWaitSevenSixFiveFourSecondsAndTurnEightDegreesAShot)
{
    Boss();
    for (int hits = 0; hits <= 3; ++hits) {
        boss->m_BombHits = hits;
        RunOutVolley();
        uint32_t ended = boss->m_ChargeTime;
        uint32_t start = NextVolleyWithin(9000);
        ASSERT_NE(start, 0u) << hits;
        uint32_t wait = (7 - hits) * 1000;
        EXPECT_GT(start - ended, wait) << hits;
        EXPECT_LE(start - ended, wait + FRAME_MS) << hits;
    }

    // One shot in each frame at least 100 ms after the last, 8 degrees on.
    boss->m_BombHits = 0;
    RunOutVolley();
    ASSERT_NE(NextVolleyWithin(9000), 0u);
    std::vector<int> angles;
    std::vector<uint32_t> times;
    int lastAngle = boss->m_FireAngle;
    while (boss->IsFiring()) {
        world->Frame();
        if (boss->m_FireAngle != lastAngle) {
            angles.push_back(boss->m_FireAngle);
            times.push_back(boss->m_DashEnd);
            lastAngle = boss->m_FireAngle;
        }
    }
    ASSERT_GT(angles.size(), 25u);
    EXPECT_LT(angles.size(), 37u);
    for (size_t i = 1; i < angles.size(); ++i) {
        EXPECT_EQ((angles[i] - angles[i - 1] + 360) % 360, 8);
        EXPECT_GT(times[i] - times[i - 1], 100u);
        EXPECT_LE(times[i] - times[i - 1], 100u + FRAME_MS);
    }
}

TEST_F(BossTest, AfterTwoHitsEachVolleyEndsWithARingOf18)
{
    Boss();
    for (int hits : {1, 2, 3}) {
        boss->m_BombHits = hits;
        RunOutVolley();
        ASSERT_NE(NextVolleyWithin(9000), 0u);
        size_t before = 0;
        while (boss->IsFiring()) {
            before = TasksOf<CObj>().size();
            world->Frame();
        }
        auto objects = TasksOf<CObj>();
        size_t added = objects.size() - before;
        if (hits < 2) {
            EXPECT_LE(added, 1u) << "no ring before the second hit";
            continue;
        }
        ASSERT_GE(added, 18u);
        EXPECT_LE(added, 19u);
        // The ring's 18 projectiles point every 20 degrees round the boss.
        std::set<int> directions;
        for (size_t i = objects.size() - 18; i < objects.size(); ++i) {
            plat::Vec3 d = Direction(objects[i], boss->m_Pos);
            int deg = static_cast<int>(std::lround(std::atan2(d.x, d.z) * 180 / plat::PI + 360)) % 360;
            directions.insert(deg);
        }
        ASSERT_EQ(directions.size(), 18u);
        for (int deg : directions) EXPECT_EQ(deg % 20, 0) << deg;
    }
}

TEST_F(BossTest, ProjectilesStartAtTheBossesRimAndAreThrownOutwards)
{
    Boss();
    boss->m_FireAngle = 90;
    auto* shot = new CObj(CObj::KIND_PROJECTILE);
    AddTask(PRIORITY_OBJ, shot, PROJECTILE_TASK_NAME);
    plat::Vec3 off = shot->m_Position - boss->m_Pos;
    EXPECT_NEAR(off.y, -8.0f, 1e-4);                     // the disc's length below its centre
    EXPECT_NEAR(std::hypot(off.x, off.z), 6.5f, 1e-4);   // just beyond its radius
    EXPECT_NEAR(std::fabs(off.x), 6.5f, 1e-4);
    EXPECT_NEAR(shot->m_Body.radius, 1.0, 1e-9);
    const double* f = shot->m_Body.body.Force();
    EXPECT_EQ(f[1], 0);
    EXPECT_GT(f[0] * off.x, 0);   // outwards
    EXPECT_NEAR(std::hypot(f[0], f[2]), 15000 * 6.5 / std::hypot(6.5, 8.0), 1);
}

TEST_F(BossTest, TouchesThrowThePlayerBackAndABombPushedIntoTheBossCounts)
{
    Boss();
    boss->m_ChargeTime = g_FrameTime;
    auto* shot = new CObj(CObj::KIND_PROJECTILE);
    AddTask(PRIORITY_OBJ, shot, PROJECTILE_TASK_NAME);
    TopWorld::Place(player, {30, RESTING_HEIGHT, 0}, 150);
    shot->m_Body.body.SetPosition(31.5, RESTING_HEIGHT, 0);
    shot->m_Body.body.SetForce(0, 0, 0);
    shot->Update();
    EXPECT_NEAR(shot->m_Body.body.Force()[1], 2000, 1e-6);
    EXPECT_LT(TopWorld::Force(player).x, -39000);   // thrown away from the projectile
    EXPECT_NE(FindTask(PROJECTILE_TASK_NAME), nullptr) << "a touch does not consume a projectile";

    // The boss throws the player back but takes no push itself.
    player->m_Disc.body.SetForce(0, 0, 0);
    TopWorld::Place(player, boss->m_Pos + plat::Vec3{7.5f, 0, 0}, 150);
    player->m_GaugeCeiling = 68;
    world->Frame();
    EXPECT_EQ(player->m_GaugeCeiling, 68 + 24);   // a fifth of the boss's 120
    EXPECT_GT(TopWorld::Force(player).x, 80000);
    EXPECT_NEAR(boss->m_Disc.body.Force()[0], 0, 1e-9);
}

TEST_F(BossTest, DownAtTheFourthBombHitOrAtHeightZero)
{
    Boss();
    boss->m_ChargeTime = g_FrameTime;
    for (int hit = 1; hit <= 4; ++hit) {
        EXPECT_FALSE(boss->IsDown()) << hit;
        auto* bomb = dynamic_cast<CObj*>(FindTask(BOMB_TASK_NAME));
        ASSERT_NE(bomb, nullptr);
        bomb->m_Body.body.SetPosition(boss->m_Pos.x + 8.5, boss->m_Pos.y, boss->m_Pos.z);
        world->Frame();
        EXPECT_EQ(boss->m_BombHits, hit);
    }
    EXPECT_TRUE(boss->IsDown());
    // The frame of the fourth hit still lays a bomb; after it the boss does nothing.
    CObj* last = dynamic_cast<CObj*>(FindTask(BOMB_TASK_NAME));
    ASSERT_NE(last, nullptr);
    RemoveTask(last);
    world->Frames(3);
    EXPECT_EQ(FindTask(BOMB_TASK_NAME), nullptr) << "no new bomb once the boss is down";
}

TEST_F(BossTest, StandsInTheMiddleWhateverPushesIt)
{
    // Its wide disc rubs the arena at spin 120; pushed and rubbing, it still
    // turns on the spot and rests on the arena.
    Boss(false);
    boss->m_ChargeTime = g_FrameTime;
    TopWorld::Place(player, {40, RESTING_HEIGHT, 0}, 150);
    float highest = 0, lowest = 100;
    for (int frame = 0; frame < 400; ++frame) {
        if (frame % 50 == 0) boss->m_Disc.body.AddForce(200000, 0, -150000);
        world->Frame();
        ASSERT_NEAR(boss->m_Pos.x, 0, 1e-4) << frame;
        ASSERT_NEAR(boss->m_Pos.z, 0, 1e-4) << frame;
        ASSERT_NEAR(boss->m_Shaft.body.Position()[0], 0, 0.5) << frame;
        if (frame > 200) {
            highest = std::max(highest, boss->m_Pos.y);
            lowest = std::min(lowest, boss->m_Pos.y);
        }
    }
    EXPECT_FALSE(boss->IsDown());
    EXPECT_GT(lowest, 10.5f);   // the disc's lower cap on the arena at height 1
    EXPECT_LT(highest, 12.0f);
}

TEST_F(BossTest, DownWhenItFallsToHeightZero)
{
    Boss();
    TopWorld::Place(boss, {0, -0.5f, 0}, 120);
    world->Frame();
    EXPECT_TRUE(boss->IsDown());
    EXPECT_EQ(boss->m_BombHits, 0);
}

TEST_F(BossTest, ObjectsFreezeOnceATopIsDownButStayInPlay)
{
    Boss();
    boss->m_ChargeTime = g_FrameTime;
    auto* bomb = dynamic_cast<CObj*>(FindTask(BOMB_TASK_NAME));
    auto* shot = new CObj(CObj::KIND_PROJECTILE);
    AddTask(PRIORITY_OBJ, shot, PROJECTILE_TASK_NAME);
    TopWorld::Place(player, {30, RESTING_HEIGHT, 0}, 150);
    player->m_Down = 1;
    shot->m_Body.body.SetPosition(31.5, RESTING_HEIGHT, 0);
    bomb->m_Body.body.SetPosition(boss->m_Pos.x + 8.5, boss->m_Pos.y, boss->m_Pos.z);
    for (Body b : {shot->m_Body.body, player->m_Disc.body}) b.SetForce(0, 0, 0);
    shot->Update();
    bomb->Update();
    EXPECT_EQ(boss->m_BombHits, 0);
    EXPECT_EQ(FindTask(BOMB_TASK_NAME), bomb);
    EXPECT_EQ(shot->m_Body.body.Force()[1], 0);
    EXPECT_EQ(TopWorld::Force(player).x, 0);

    // Still simulated: they fall when the physics runs, and leave below 0.
    world->FreezePhysics(false);
    shot->m_Body.body.SetPosition(80, 0.5, 0);
    world->Frames(20);
    EXPECT_EQ(FindTask(PROJECTILE_TASK_NAME), nullptr);
}

TEST_F(BossTest, HitFlashLasts90FramesAlternatingEvery10)
{
    Boss();
    world->env->device.SetKeepCalls(true);
    auto drawOnce = [&](int* meshDraws, bool* additive) {
        world->env->device.ClearCalls();
        boss->Draw();
        *meshDraws = 0;
        *additive = false;
        for (const auto& c : world->env->device.Calls()) {
            if (c.kind != plat::RecordingDevice::CallKind::DrawSubset) continue;
            ++*meshDraws;
            if (c.state.rs.destBlend == plat::Blend::One) *additive = true;
        }
    };
    int plain = 0;
    bool additive = false;
    drawOnce(&plain, &additive);
    ASSERT_GT(plain, 0);
    EXPECT_FALSE(additive);

    boss->m_FlashFrames = 90;   // as a bomb hit leaves it
    std::string pattern;
    for (int frame = 0; frame < 100; ++frame) {
        int draws = 0;
        drawOnce(&draws, &additive);
        pattern += draws == plain ? '-' : (additive ? 'A' : 'n');
    }
    EXPECT_EQ(pattern, std::string(10, 'n') + std::string(10, 'A') + std::string(10, 'n') + std::string(10, 'A') +
                           std::string(10, 'n') + std::string(10, 'A') + std::string(10, 'n') + std::string(10, 'A') +
                           std::string(10, 'n') + std::string(10, '-'));
    EXPECT_EQ(boss->m_FlashFrames, 0);
}

}   // namespace
