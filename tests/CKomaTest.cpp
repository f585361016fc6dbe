// The player's top on a real physics world: its start, the down test, the
// upright rule, steering relative to the camera, the gauge, charge and dash,
// the spin boost, the air wall, and the draw with sparks, outline and ghost.
#include <gtest/gtest.h>

#include <cmath>

#include "effect/CPSprite.h"
#include "game/CKomaAirWall.h"
#include "game/CKomaAura.h"
#include "tests/StageTestSupport.h"

namespace {

using toptest::TopWorld;
using CallKind = plat::RecordingDevice::CallKind;
using Call = plat::RecordingDevice::Call;

constexpr float DEG = plat::PI / 180;
constexpr float RESTING_HEIGHT = 3.3f;   // the disc's centre with the shaft tip (2.42 below) just in the arena at 1

class CKomaTest : public ::testing::Test {
protected:
    void SetUp() override { world = std::make_unique<TopWorld>(); }
    void TearDown() override { world.reset(); }

    // Runs frames with no key held until the first charge is allowed and the gauge is full at 68.
    CKoma* ReadyTop()
    {
        CKoma* top = world->AddTop();
        world->Frames(200);
        EXPECT_EQ(top->m_Gauge, 68);
        EXPECT_GT(g_FrameTime, top->m_ChargeAllowed);
        return top;
    }

    int CountBursts(uint32_t kind) const
    {
        int n = 0;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* b = dynamic_cast<CPSprite*>(e->object); b && b->GetKind() == kind) ++n;
        return n;
    }

    std::vector<const Call*> MeshDraws(const char* key) const
    {
        auto* mesh = FindResource<CXFile>(key);
        std::vector<const Call*> out;
        for (const Call& c : world->env->device.Calls())
            if (c.kind == CallKind::DrawSubset && c.mesh == mesh->GetMesh()) out.push_back(&c);
        return out;
    }

    static float RowLength(const plat::Mat4& m, int row)
    {
        return std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] + m.m[row][2] * m.m[row][2]);
    }

    std::unique_ptr<TopWorld> world;
};

TEST_F(CKomaTest, InitPutsTheTopAtTheStartWithItsLaunchForceAndSpin)
{
    CKoma* top = world->AddTop({0, 0, 100000}, 277);
    const double* p = top->m_Disc.body.Position();
    EXPECT_DOUBLE_EQ(p[0], 0);
    EXPECT_DOUBLE_EQ(p[1], 16);
    EXPECT_DOUBLE_EQ(p[2], -30);
    EXPECT_FLOAT_EQ(top->Spin(), 277);
    EXPECT_FLOAT_EQ(TopWorld::Force(top).z, 100000);
    EXPECT_FLOAT_EQ(top->m_Pos.y, 16);
    EXPECT_EQ(top->m_Gauge, 0);
    EXPECT_EQ(top->m_GaugeCeiling, 0);
    EXPECT_EQ(top->m_DashEnd, 0u);
    EXPECT_EQ(top->m_ChargeAllowed, g_FrameTime + 3000);
    EXPECT_NE(FindTask("GameBGM"), nullptr);
    // The shaft hangs 0.6 below the disc.
    EXPECT_NEAR(top->m_Shaft.body.Position()[1], 15.4, 1e-9);

    // The force acts in the first step: an impulse of 100000 x 0.016 shared by disc and shaft.
    world->Frame();
    double momentum = top->m_Disc.mass * top->m_Disc.body.LinearVelocity()[2] +
                      top->m_Shaft.mass * top->m_Shaft.body.LinearVelocity()[2];
    EXPECT_NEAR(momentum, 100000.0 * 0.016, 1.0);
}

TEST_F(CKomaTest, DownOnlyWithLowSpinWhileTheDiscTouchesTheArena)
{
    CKoma* top = world->AddTop();
    world->FreezePhysics(true);

    TopWorld::Place(top, {0, 20, 0}, 20);   // low spin, in the air
    world->Frames(5);
    EXPECT_FALSE(top->IsDown());

    TopWorld::Place(top, {0, 2.5f, 0}, 130);   // the disc in the arena, spinning well
    world->Frames(5);
    EXPECT_FALSE(top->IsDown());

    TopWorld::Place(top, {0, 2.5f, 0}, 20);
    world->Frame();
    EXPECT_TRUE(top->IsDown());

    // A down top still follows its body but takes no input.
    world->Key(plat::KEY_LEFT, true);
    world->Frame();
    EXPECT_EQ(top->m_Moving, 0);
    EXPECT_FLOAT_EQ(TopWorld::Force(top).x, 0);
}

TEST_F(CKomaTest, FallingToHeightZeroIsDown)
{
    CKoma* top = world->AddTop();
    world->FreezePhysics(true);
    TopWorld::Place(top, {70, -3, 0}, 200);   // off the arena and below it
    world->Frames(2);
    EXPECT_TRUE(top->IsDown());
}

// Runs right after the top in every update pass (same priority, added later).
class AfterTopProbe : public CGameObject {
public:
    explicit AfterTopProbe(CKoma* top) : m_Top(top) {}
    void Update() override
    {
        const double* w = m_Top->m_Disc.body.AngularVelocity();
        ++checks;
        if (w[0] != 0 || w[2] != 0) ++tumbling;
    }
    int checks = 0, tumbling = 0;

private:
    CKoma* m_Top;
};

TEST_F(CKomaTest, NoTumblingAfterAnyUpdate)
{
    CKoma* top = world->AddTop({30000, 0, 20000}, 200);
    auto* probe = new AfterTopProbe(top);
    AddTask(PRIORITY_KOMA, probe, "probe");
    world->Key(plat::KEY_LEFT, true);
    for (int i = 0; i < 400; ++i) {
        if (i % 7 == 0) top->m_Disc.body.AddTorque(5000 * std::sin(i * 0.3), 0, 4000);
        world->Key(plat::KEY_Z, i % 40 < 20);   // charges and dashes too
        world->Frame();
    }
    EXPECT_EQ(probe->checks, 400);
    EXPECT_EQ(probe->tumbling, 0);
}

TEST_F(CKomaTest, GaugeRefillsToSixtyEightAndTheCeilingFollows)
{
    CKoma* top = world->AddTop();
    world->Frames(10);
    EXPECT_EQ(top->m_Gauge, 10);
    EXPECT_EQ(top->m_GaugeCeiling, 10);
    world->Frames(100);
    EXPECT_EQ(top->m_Gauge, 68);
    EXPECT_EQ(top->m_GaugeCeiling, 68);

    // A lowered gauge under a kept ceiling refills by 2; a raised ceiling is climbed by 2.
    top->m_Gauge = 61;
    world->Frame();
    EXPECT_EQ(top->m_Gauge, 63);
    top->m_GaugeCeiling = 88;
    world->Frames(3);
    EXPECT_EQ(top->m_Gauge, 69);   // may end one above the ceiling
    world->Frames(20);
    EXPECT_EQ(top->m_Gauge, 89);
    EXPECT_EQ(top->m_GaugeCeiling, 88);
}

TEST_F(CKomaTest, TheLaunchKeyAloneNeverCharges)
{
    CKoma* top = ReadyTop();
    world->Key(plat::KEY_Z, true);
    for (int i = 0; i < 60; ++i) {
        world->Frame();
        EXPECT_EQ(top->m_Charging, 0);
    }
    // And with the gauge at 68 the held key boosts nothing.
    EXPECT_EQ(top->m_Gauge, 68);
    EXPECT_EQ(FindTask("CKomaAura"), nullptr);
}

TEST_F(CKomaTest, NoChargeWithinThreeSecondsOfInit)
{
    CKoma* top = world->AddTop();
    world->Frames(100);   // about 1.7 s: the gauge is up, the time is not
    ASSERT_GT(top->m_Gauge, 0);
    world->Key(plat::KEY_UP, true);
    world->Key(plat::KEY_Z, true);
    world->Frame();
    EXPECT_EQ(top->m_Charging, 0);
}

TEST_F(CKomaTest, ChargeNeedsAFreshPressWithAnArrowAndWaitsTwoSecondsAfterTheLastOne)
{
    CKoma* top = ReadyTop();
    world->Key(plat::KEY_UP, true);
    world->Key(plat::KEY_Z, true);
    world->Frame();
    ASSERT_EQ(top->m_Charging, 1);
    EXPECT_FALSE(top->m_Disc.body.IsEnabled());
    EXPECT_FALSE(top->m_Shaft.body.IsEnabled());
    world->Frames(5);
    EXPECT_EQ(top->m_Gauge, 62);
    EXPECT_EQ(top->m_GaugeCeiling, 62);
    EXPECT_NE(FindTask("CKomaAura"), nullptr);

    world->Key(plat::KEY_Z, false);
    world->Frame();
    EXPECT_EQ(top->m_Charging, 0);
    uint32_t ended = top->m_DashEnd - 1500;
    EXPECT_TRUE(top->m_Disc.body.IsEnabled());
    EXPECT_EQ(top->m_ChargeAllowed, ended + 2000);

    // Pressing again within two seconds does nothing.
    world->Frames(30);
    world->Key(plat::KEY_Z, true);
    world->Frame();
    EXPECT_EQ(top->m_Charging, 0);
    world->Key(plat::KEY_Z, false);
    while (g_FrameTime <= ended + 2000) world->Frame();
    world->Key(plat::KEY_Z, true);
    world->Frame();
    EXPECT_EQ(top->m_Charging, 1);
}

TEST_F(CKomaTest, AChargeAtGaugeOneLastsOneFrame)
{
    CKoma* top = ReadyTop();
    top->m_Gauge = 1;
    top->m_GaugeCeiling = 1;
    world->Key(plat::KEY_LEFT, true);
    world->Key(plat::KEY_Z, true);
    uint32_t now = g_FrameTime;
    UpdatePass();
    EXPECT_EQ(top->m_Charging, 0);
    EXPECT_EQ(top->m_Gauge, 0);
    EXPECT_EQ(top->m_DashEnd, now + 1500);
    EXPECT_TRUE(top->m_Disc.body.IsEnabled());
}

TEST_F(CKomaTest, SpinBoostSpendsOnlyTheGaugeAboveSixtyEight)
{
    CKoma* top = ReadyTop();
    world->FreezePhysics(true);
    top->m_Gauge = 70;
    top->m_GaugeCeiling = 70;
    world->Key(plat::KEY_Z, true);
    world->Frame();
    EXPECT_EQ(top->m_Gauge, 69);
    EXPECT_EQ(top->m_GaugeCeiling, 69);
    EXPECT_NEAR(top->m_Disc.body.Torque()[1], 100, 1e-9);
    EXPECT_NE(FindTask("CKomaAura"), nullptr);
    world->Frames(5);
    EXPECT_EQ(top->m_Gauge, 68);
    EXPECT_NEAR(top->m_Disc.body.Torque()[1], 200, 1e-9);   // two boosts, nothing after

    // Above spin 200 the boost still costs gauge but adds no torque.
    world->FreezePhysics(false);
    TopWorld::Place(top, {0, RESTING_HEIGHT, 0}, 250);
    world->Frame();
    top->m_Gauge = 80;
    world->FreezePhysics(true);
    world->Frame();
    EXPECT_EQ(top->m_Gauge, 79);
    EXPECT_NEAR(top->m_Disc.body.Torque()[1], 0, 1e-9);
}

TEST_F(CKomaTest, ChargingGathersTheRotatedControlForceOfEveryFrame)
{
    CKoma* top = ReadyTop();
    world->camera->m_Orbit = 30;
    world->Key(plat::KEY_UP, true);
    world->Key(plat::KEY_RIGHT, true);
    world->Key(plat::KEY_Z, true);
    plat::Vec3 restPos = top->m_Pos;
    int n = 12;
    world->Frames(n);
    ASSERT_EQ(top->m_Charging, 1);
    plat::Vec3 f = TopWorld::Force(top);
    float c = std::cos(30 * DEG), s = std::sin(30 * DEG);
    EXPECT_NEAR(f.x, n * 800 * (c + s), 0.05);
    EXPECT_NEAR(f.z, n * 800 * (c - s), 0.05);
    EXPECT_NEAR(plat::Length(f), n * 800 * std::sqrt(2.0f), 0.05);
    // The disabled top has not moved, and its drawn spin turns.
    EXPECT_NEAR(plat::Length(top->m_Pos - restPos), 0, 1e-4);
    EXPECT_NEAR(top->m_LeanBuildUp, 0.5f * n, 1e-5);

    // Released after 60 frames: the whole force acts in the next step and the top dashes.
    world->Frames(60 - n);
    n = 60;
    EXPECT_NEAR(TopWorld::Force(top).x, n * 800 * (c + s), 0.2);
    world->Key(plat::KEY_Z, false);
    world->Frame();
    EXPECT_EQ(top->m_Charging, 0);
    EXPECT_TRUE(top->IsDashing(g_FrameTime));
    const double* v = top->m_Disc.body.LinearVelocity();
    EXPECT_GT(std::hypot(v[0], v[2]), 15.0);
    world->Frame();
    world->Frame();
    EXPECT_NE(FindTask("CKomaAirWall"), nullptr);
}

TEST_F(CKomaTest, ScrapingShaftThrowsSparksAndPlaysTheAxisSound)
{
    CKoma* top = world->AddTop({0, 0, 0}, 180);
    world->FreezePhysics(true);
    TopWorld::Place(top, {0, RESTING_HEIGHT, 0}, 180);
    world->Frame();
    int sparks = CountBursts(CPSprite::KIND_TOP_SPARK);
    int glints = CountBursts(CPSprite::KIND_GLINT);
    world->Frame();
    EXPECT_EQ(CountBursts(CPSprite::KIND_TOP_SPARK), sparks + 1);
    EXPECT_EQ(CountBursts(CPSprite::KIND_GLINT), glints + 1);
    EXPECT_TRUE(top->m_AxisSound->IsPlaying());
    const CPSprite* latest = nullptr;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* b = dynamic_cast<CPSprite*>(e->object); b && b->GetKind() == CPSprite::KIND_TOP_SPARK) latest = b;
    ASSERT_NE(latest, nullptr);
    EXPECT_EQ(latest->ParticleCount(), 8u);
    EXPECT_NEAR(latest->Particles()[0].origin.y, RESTING_HEIGHT - 2.1f, 1e-4);   // the tip of an unmoving top
    EXPECT_FLOAT_EQ(latest->Particles()[0].origin.x, 0);

    TopWorld::Place(top, {0, 30, 0}, 180);   // in the air: a glint, no sparks, silence
    world->Frame();
    world->Frames(40);   // old sparks die out
    EXPECT_EQ(CountBursts(CPSprite::KIND_TOP_SPARK), 0);
    EXPECT_GT(CountBursts(CPSprite::KIND_GLINT), 0);
    EXPECT_FALSE(top->m_AxisSound->IsPlaying());
}

TEST_F(CKomaTest, TopIsDrawnWithOutlineAndAGhostThatFollowsTheSpin)
{
    CKoma* top = world->AddTop({0, 0, 0}, 240);
    world->FreezePhysics(true);
    TopWorld::Place(top, {0, 20, 0}, 240);
    world->Frame();
    world->env->device.ClearCalls();
    DrawPass();
    auto body = MeshDraws("XTop");
    ASSERT_EQ(body.size(), 2u);
    EXPECT_EQ(body[0]->state.rs.cull, plat::Cull::CW);   // the black outline first
    EXPECT_NEAR(RowLength(body[0]->state.world, 0), 1.05f, 1e-4);
    EXPECT_EQ(body[1]->state.rs.cull, plat::Cull::CCW);
    EXPECT_NEAR(RowLength(body[1]->state.world, 0), 1.0f, 1e-4);
    EXPECT_EQ(body[1]->state.rs.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_TRUE(body[1]->state.rs.lighting);

    auto ghost = MeshDraws("XTopAlpha");
    ASSERT_EQ(ghost.size(), 1u);
    EXPECT_NEAR(ghost[0]->state.material.diffuse.a, 1.0f, 1e-5);   // full strength at 240
    EXPECT_NEAR(ghost[0]->state.material.ambient.a, 1.0f, 1e-5);
    EXPECT_NEAR(RowLength(ghost[0]->state.world, 0), 1.4f, 1e-4);
    EXPECT_NEAR(RowLength(top->m_World, 0), 1.4f, 1e-4);   // the scaled matrix is kept

    // Slow tops: an invisible ghost at the resting scale of 0.8.
    TopWorld::Place(top, {0, 20, 0}, 25);
    world->Frame();
    world->env->device.ClearCalls();
    DrawPass();
    ghost = MeshDraws("XTopAlpha");
    ASSERT_EQ(ghost.size(), 1u);
    EXPECT_FLOAT_EQ(ghost[0]->state.material.diffuse.a, 0.0f);
    EXPECT_NEAR(RowLength(ghost[0]->state.world, 0), 0.8f, 1e-4);
}

TEST_F(CKomaTest, ChargingTopIsAdditiveAndNeverShrinksWhenItsPushesCancel)
{
    CKoma* top = ReadyTop();
    top->m_Gauge = top->m_GaugeCeiling = 270;   // long enough a charge to reach the full lean
    world->Key(plat::KEY_LEFT, true);
    world->Key(plat::KEY_RIGHT, true);
    world->Key(plat::KEY_Z, true);
    world->Frames(30);   // lean build-up 15 degrees, with no direction to lean to
    ASSERT_EQ(top->m_Charging, 1);
    world->env->device.ClearCalls();
    DrawPass();
    auto body = MeshDraws("XTop");
    ASSERT_EQ(body.size(), 2u);
    EXPECT_EQ(body[1]->state.rs.destBlend, plat::Blend::One);
    EXPECT_NEAR(RowLength(body[1]->state.world, 0), 1.0f, 1e-4);
    EXPECT_NEAR(RowLength(body[1]->state.world, 1), 1.0f, 1e-4);

    // With one arrow the charging top leans towards the gathered force, by at most 50 degrees.
    world->Key(plat::KEY_LEFT, false);
    world->Frames(80);
    ASSERT_EQ(top->m_Charging, 1);
    world->env->device.ClearCalls();
    DrawPass();
    body = MeshDraws("XTop");
    ASSERT_EQ(body.size(), 2u);
    // The mesh's up axis (row 1 after undoing the body's stand-up turn) tips towards +x.
    const plat::Mat4& w = body[1]->state.world;
    plat::Vec3 up = plat::Normalize(plat::TransformNormal({0, 1, 0}, w));
    EXPECT_GT(up.x, 0.5f);
    EXPECT_NEAR(std::acos(up.y) / DEG, 50.0f, 0.5f);
}

}   // namespace
