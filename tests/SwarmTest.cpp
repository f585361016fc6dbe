// Stage 2's swarm on a real physics world: the set-up that waits for the
// player's top, the touches that mark and defeat an enemy and feed the top,
// the defeat count that stops at twenty, the replacements, the camera that
// follows the top, and the colours the shared mesh is drawn with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Globals.h"
#include "effect/CPSprite.h"
#include "enemy/CEnemy.h"
#include "enemy/St2Enemy.h"
#include "enemy/St2EnemyInit.h"
#include "game/CHitText.h"
#include "gfx/CTexture.h"
#include "hud/CSpriteRender2.h"
#include "tests/StageTestSupport.h"

namespace {

using stagetest::AddResource;
using toptest::TopWorld;
using CallKind = plat::RecordingDevice::CallKind;
using Call = plat::RecordingDevice::Call;

constexpr int DYING_FRAMES = 31;   // from the second touch to the enemy's removal

class SwarmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<TopWorld>();
        AddResource("XSt2Enemy", new CXFile("X/Mesh.x"));
        AddResource("KomaHitSE", new CSound("sound/Click.wav"));
    }
    void TearDown() override { world.reset(); }

    // The player's top resting in the air, and the swarm started through its set-up task.
    St2Enemy* StartSwarm(float spin = 150)
    {
        top = world->AddTop({0, 0, 0}, static_cast<int>(spin));
        TopWorld::Place(top, {0, 30, 0}, spin);
        AddTask(PRIORITY_KOMA, new St2EnemyInit, ST2_ENEMY_INIT_TASK_NAME);
        world->Frame();
        return dynamic_cast<St2Enemy*>(FindTask(ST2_ENEMY_TASK_NAME));
    }

    static std::vector<CEnemy*> Enemies()
    {
        std::vector<CEnemy*> out;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* enemy = dynamic_cast<CEnemy*>(e->object)) out.push_back(enemy);
        return out;
    }

    template <typename T>
    static std::vector<T*> TasksOf()
    {
        std::vector<T*> out;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* t = dynamic_cast<T*>(e->object)) out.push_back(t);
        return out;
    }

    // Moves an enemy so that its capsule overlaps the side of the player's disc.
    void PutAgainstTop(CEnemy* enemy)
    {
        enemy->m_Body.body.SetPosition(top->m_Pos.x + 2.8, top->m_Pos.y, top->m_Pos.z);
        enemy->m_Body.body.SetLinearVelocity(0, 0, 0);
    }

    // Parks every enemy far from the top (and from each other), out of its reach.
    void ParkAll()
    {
        float x = -60;
        for (CEnemy* enemy : Enemies()) {
            if (enemy->m_Body.body) enemy->m_Body.body.SetPosition(x, 50, 60);
            x += 10;
        }
    }

    static double TorqueY(Body body) { return body.Torque()[1]; }

    std::unique_ptr<TopWorld> world;
    CKoma* top = nullptr;
};

TEST_F(SwarmTest, SetUpWaitsFrameAfterFrameForThePlayersTop)
{
    AddTask(PRIORITY_KOMA, new St2EnemyInit, ST2_ENEMY_INIT_TASK_NAME);
    for (int i = 0; i < 30; ++i) {
        world->Frame();
        ASSERT_NE(FindTask(ST2_ENEMY_INIT_TASK_NAME), nullptr) << "frame " << i;
        ASSERT_EQ(FindTask(ST2_ENEMY_TASK_NAME), nullptr);
        ASSERT_TRUE(Enemies().empty());
    }
    top = world->AddTop();
    world->Frame();
    EXPECT_EQ(FindTask(ST2_ENEMY_INIT_TASK_NAME), nullptr);
    auto* manager = dynamic_cast<St2Enemy*>(FindTask(ST2_ENEMY_TASK_NAME));
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->m_DefeatedCount, 0);
    EXPECT_EQ(manager->m_Player, top);
    EXPECT_EQ(Enemies().size(), 6u);
}

TEST_F(SwarmTest, EnemiesAppearOverTheSpawnSquareUprightAndSpinning)
{
    StartSwarm();
    world->FreezePhysics(true);
    for (CEnemy* enemy : Enemies()) {
        ASSERT_TRUE(enemy->m_Body.body);
        const double* p = enemy->m_Body.body.Position();
        EXPECT_GE(p[0], -25.0);
        EXPECT_LE(p[0], 24.9 + 1e-6);
        EXPECT_GE(p[2], -25.0);
        EXPECT_LE(p[2], 24.9 + 1e-6);
        EXPECT_DOUBLE_EQ(enemy->m_Body.radius, 1.5);
        EXPECT_DOUBLE_EQ(enemy->m_Body.length, 2.0);
        // Upright: the capsule's axis (the body's z) points along world y.
        const double* r = enemy->m_Body.body.Rotation();
        EXPECT_NEAR(r[2 + 4], -1.0, 1e-6);
        EXPECT_EQ(enemy->m_HitCount, 0);
    }
    world->Frame();
    for (CEnemy* enemy : Enemies()) {
        const double* w = enemy->m_Body.body.AngularVelocity();
        EXPECT_DOUBLE_EQ(w[0], 0);
        EXPECT_DOUBLE_EQ(w[1], 300);
        EXPECT_DOUBLE_EQ(w[2], 0);
    }
    // Each live enemy leaves one still trail particle a frame.
    int trails = 0;
    for (CPSprite* b : TasksOf<CPSprite>())
        if (b->GetKind() == CPSprite::KIND_TRAIL && b->ParticleCount() == 1) ++trails;
    EXPECT_GE(trails, 6);
}

TEST_F(SwarmTest, FirstTouchMarksFeedsTheCeilingAndThrowsTheEnemyAway)
{
    StartSwarm(150);
    world->FreezePhysics(true);   // forces and torques gather and can be read
    ParkAll();
    top->m_GaugeCeiling = 100;
    CEnemy* enemy = Enemies().front();
    PutAgainstTop(enemy);
    double torqueBefore = TorqueY(top->m_Disc.body);
    size_t textsBefore = TasksOf<CHitText>().size();
    float spin = top->Spin();   // held still with the world
    ASSERT_GT(spin, 30);

    world->Frame();
    EXPECT_EQ(enemy->m_HitCount, 1);
    EXPECT_EQ(top->m_GaugeCeiling, 140);
    EXPECT_DOUBLE_EQ(TorqueY(top->m_Disc.body) - torqueBefore, 2000.0);
    EXPECT_EQ(TasksOf<CHitText>().size(), textsBefore + 1);
    int bright = 0, plain = 0;
    for (CPSprite* b : TasksOf<CPSprite>()) {
        if (b->ParticleCount() < 800) continue;
        EXPECT_LT(b->ParticleCount(), 900u);
        if (b->GetKind() == CPSprite::KIND_SPARK_BRIGHT) ++bright;
        if (b->GetKind() == CPSprite::KIND_SPARK) ++plain;
    }
    EXPECT_EQ(bright, 1);
    EXPECT_EQ(plain, 1);
    // Pushed away from the top (towards +x, the side it touches) by spin x 200;
    // the hit text grows with the spin.
    ASSERT_FALSE(TasksOf<CHitText>().empty());
    EXPECT_FLOAT_EQ(TasksOf<CHitText>().back()->m_Scale, spin / 100);
    const double* f = enemy->m_Body.body.Force();
    double pushed = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    EXPECT_NEAR(pushed, spin * 200.0, 1.0);
    EXPECT_GT(f[0], 0.9 * pushed);

    // Another enemy's first touch lifts the ceiling no higher than 270.
    ParkAll();
    top->m_GaugeCeiling = 250;
    PutAgainstTop(Enemies()[1]);
    world->Frame();
    EXPECT_EQ(top->m_GaugeCeiling, 270);
}

TEST_F(SwarmTest, OneTouchAFrameSoTheSecondFallsInALaterFrameAndGivesSevenThousand)
{
    StartSwarm();
    world->FreezePhysics(true);
    ParkAll();
    CEnemy* enemy = Enemies().front();
    PutAgainstTop(enemy);

    world->Frame();
    ASSERT_EQ(enemy->m_HitCount, 1);   // still touching, yet touched once
    int ceiling = top->m_GaugeCeiling;
    double torque = TorqueY(top->m_Disc.body);
    size_t texts = TasksOf<CHitText>().size();

    world->Frame();
    EXPECT_EQ(enemy->m_HitCount, 2);
    EXPECT_DOUBLE_EQ(TorqueY(top->m_Disc.body) - torque, 7000.0);
    EXPECT_EQ(top->m_GaugeCeiling, ceiling);        // only the first touch feeds it
    EXPECT_LE(TasksOf<CHitText>().size(), texts);   // and only the first shows a hit

    // Dying: no more touches, no more torque.
    torque = TorqueY(top->m_Disc.body);
    world->Frames(3);
    EXPECT_EQ(enemy->m_HitCount, 2);
    EXPECT_DOUBLE_EQ(TorqueY(top->m_Disc.body), torque);
}

TEST_F(SwarmTest, ADefeatedEnemySwellsShrinksAndIsReplacedAfterThirtyOneFrames)
{
    St2Enemy* manager = StartSwarm();
    world->FreezePhysics(true);
    ParkAll();
    CEnemy* enemy = Enemies().front();
    PutAgainstTop(enemy);
    world->Frames(2);   // first and second touch
    ASSERT_TRUE(enemy->IsDying());
    ParkAll();
    int spaceGeoms = CODE::GeomCount();

    float peak = 0;
    for (int i = 1; i < DYING_FRAMES; ++i) {
        world->Frame();
        auto now = Enemies();
        ASSERT_NE(std::find(now.begin(), now.end(), enemy), now.end()) << "gone too early, frame " << i;
        peak = std::max(peak, enemy->m_Scale);
    }
    EXPECT_GT(peak, 1.7f);
    EXPECT_LT(peak, 1.8f);
    world->Frame();
    auto after = Enemies();
    EXPECT_EQ(std::find(after.begin(), after.end(), enemy), after.end());
    EXPECT_EQ(manager->m_DefeatedCount, 1);
    EXPECT_EQ(after.size(), 6u);   // one replacement, never more than six
    // The old body left the world and the replacement's came in.
    EXPECT_EQ(CODE::GeomCount(), spaceGeoms);
}

TEST_F(SwarmTest, TheTwentiethDefeatBringsNoReplacementAndTheCountStaysAtTwenty)
{
    St2Enemy* manager = StartSwarm();
    world->FreezePhysics(true);
    ParkAll();
    manager->m_DefeatedCount = 19;
    auto defeat = [&](CEnemy* enemy) {
        PutAgainstTop(enemy);
        world->Frames(2);
        EXPECT_TRUE(enemy->IsDying());
        ParkAll();
        world->Frames(DYING_FRAMES);
    };
    defeat(Enemies().front());
    EXPECT_EQ(manager->m_DefeatedCount, 20);
    EXPECT_EQ(Enemies().size(), 5u);

    defeat(Enemies().front());
    EXPECT_EQ(manager->m_DefeatedCount, 20);
    EXPECT_EQ(Enemies().size(), 4u);
}

TEST_F(SwarmTest, AnEnemyOffTheArenaComesBackUncountedAndKeepsItsMark)
{
    St2Enemy* manager = StartSwarm();
    world->FreezePhysics(true);
    ParkAll();
    auto before = Enemies();
    CEnemy* fallen = before.front();
    fallen->m_HitCount = 1;
    fallen->m_Body.body.SetPosition(70, -0.5, 70);
    fallen->m_Body.body.SetLinearVelocity(30, -40, 30);
    world->Frame();

    EXPECT_EQ(Enemies(), before);   // the same six, none removed or added
    // Set down just over the floor (the test world's arena lies at height 1),
    // not dropped from the spawn height.
    const double* p = fallen->m_Body.body.Position();
    EXPECT_FLOAT_EQ(static_cast<float>(p[1]), 1 + CEnemy::PUT_BACK_CLEARANCE);
    EXPECT_GE(p[0], -25.0);
    EXPECT_LE(p[0], 24.9 + 1e-6);
    EXPECT_GE(p[2], -25.0);
    EXPECT_LE(p[2], 24.9 + 1e-6);
    EXPECT_FLOAT_EQ(fallen->m_Pos.y, static_cast<float>(p[1]));
    const double* v = fallen->m_Body.body.LinearVelocity();
    EXPECT_DOUBLE_EQ(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 0.0);
    EXPECT_EQ(fallen->m_HitCount, 1);
    EXPECT_EQ(manager->m_DefeatedCount, 0);
}

TEST_F(SwarmTest, CameraFollowsFromBehindAndComesCloserAsTheTopSpinsFaster)
{
    world->camera->m_Orbit = 17;
    St2Enemy* manager = StartSwarm(150);
    EXPECT_FLOAT_EQ(world->camera->m_Orbit, 0);
    world->FreezePhysics(true);
    TopWorld::Place(top, {4, 12, -6}, 150);
    world->Frame();
    // h = 25 - 150 / 10 = 10: 40 high, 20 behind.
    EXPECT_FLOAT_EQ(world->camera->m_Eye.x, 4);
    EXPECT_FLOAT_EQ(world->camera->m_Eye.y, 40);
    EXPECT_FLOAT_EQ(world->camera->m_Eye.z, -26);
    EXPECT_FLOAT_EQ(world->camera->m_Target.y, 12);
    EXPECT_FLOAT_EQ(manager->m_Eye.z, -26);

    TopWorld::Place(top, {4, 12, -6}, 250);
    world->Frame();
    EXPECT_FLOAT_EQ(world->camera->m_Eye.y, 30);   // h = 0
    EXPECT_FLOAT_EQ(world->camera->m_Eye.z, -16);
}

// The battle interface points with an arrow at the picture's edge to each
// swarm enemy the camera does not show, never to one it shows or one dying.
TEST_F(SwarmTest, TheInterfacePointsOnlyToLiveEnemiesOutOfView)
{
    // The world's stand-in interface picture: texture coordinates map back to its texels.
    const auto* texture = FindResource<CTexture>("InterfaceBMP");
    ASSERT_NE(texture, nullptr);
    const int width = texture->m_Width, height = texture->m_Height;
    g_StageIndex = 1;
    StartSwarm(150);
    world->FreezePhysics(true);
    AddTask(PRIORITY_SPRITE_RENDER, new CSpriteRender2, SPRITE_RENDER_TASK_NAME);
    world->Frame();

    auto placeAll = [this](plat::Vec3 at) {
        for (CEnemy* enemy : Enemies()) enemy->m_Body.body.SetPosition(at.x, at.y, at.z);
    };
    auto arrowsDrawn = [this, width, height] {
        world->env->device.ClearCalls();
        world->Frame();
        const plat::Rect arrow = CSpriteRenderBase::EDGE_ARROW;
        auto texel = [](float t, int size) { return static_cast<int>(std::lround(t * size)); };
        int count = 0;
        for (const Call& call : world->env->device.Calls()) {
            if (call.kind != CallKind::DrawUser || call.primitive != plat::Primitive::TriangleList) continue;
            const auto& v = call.vertices;
            for (size_t k = 0; k + 6 <= v.size(); k += 6)
                count += texel(v[k].u, width) == arrow.left && texel(v[k].v, height) == arrow.top &&
                         texel(v[k + 1].u, width) == arrow.right && texel(v[k + 2].v, height) == arrow.bottom;
        }
        return count;
    };
    const plat::Vec3 eye = world->camera->m_Eye, target = world->camera->m_Target;
    placeAll(target + plat::Vec3{0, 2, 0});
    EXPECT_EQ(arrowsDrawn(), 0) << "the enemies stand where the camera looks";
    placeAll(eye + (eye - target) * 2.0f);
    EXPECT_EQ(arrowsDrawn(), 6) << "behind the camera";
    Enemies().front()->m_HitCount = CEnemy::HITS_TO_DEFEAT;
    EXPECT_EQ(arrowsDrawn(), 5) << "a dying enemy needs no chasing";
    g_StageIndex = 0;
}

TEST_F(SwarmTest, EachEnemySetsTheSharedMaterialToItsStateBeforeDrawing)
{
    StartSwarm();
    world->FreezePhysics(true);
    ParkAll();
    auto enemies = Enemies();
    enemies[1]->m_HitCount = 1;
    enemies[2]->m_HitCount = 2;
    world->env->device.ClearCalls();
    world->Frame();

    auto* mesh = FindResource<CXFile>("XSt2Enemy");
    std::vector<const Call*> draws;
    for (const Call& c : world->env->device.Calls())
        if (c.kind == CallKind::DrawSubset && c.mesh == mesh->GetMesh()) draws.push_back(&c);
    ASSERT_EQ(draws.size(), 6u);   // list order: fresh, marked, dying, fresh...
    auto colour = [](const Call* c) { return c->state.material.diffuse; };
    EXPECT_FLOAT_EQ(colour(draws[0]).r, 1);
    EXPECT_FLOAT_EQ(colour(draws[0]).b, 0);
    EXPECT_FLOAT_EQ(colour(draws[1]).r, 0);
    EXPECT_FLOAT_EQ(colour(draws[1]).b, 1);
    EXPECT_FLOAT_EQ(colour(draws[2]).r, 0.9f);
    EXPECT_FLOAT_EQ(colour(draws[2]).g, 0.9f);
    EXPECT_FLOAT_EQ(colour(draws[2]).b, 0.1f);
    EXPECT_FLOAT_EQ(draws[2]->state.material.ambient.g, 0.9f);
    EXPECT_FLOAT_EQ(colour(draws[3]).r, 1);
    // Only the dying one is additive.
    EXPECT_EQ(draws[0]->state.rs.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_EQ(draws[1]->state.rs.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_EQ(draws[2]->state.rs.destBlend, plat::Blend::One);
    EXPECT_EQ(draws[3]->state.rs.destBlend, plat::Blend::InvSrcAlpha);
}

TEST_F(SwarmTest, EnemiesOutlivingTheirWorldLeaveItAlone)
{
    StartSwarm();
    // The world goes first; the enemies' bodies went with it.
    RemoveTask(FindTask(CODE_TASK_NAME));
    EXPECT_EQ(g_World, nullptr);
    for (CEnemy* enemy : Enemies()) RemoveTask(enemy);
    EXPECT_TRUE(Enemies().empty());
}

}   // namespace
