// The launch: the frozen battle, the rollers' spin-up, opening and snap, the
// release in the update after the rollers close past 2.5518, the launch force
// acting in the first step after it, and the removal 150 frames later.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/CBGMusic.h"
#include "effect/CPSprite.h"
#include "game/CKomaShoot.h"
#include "tests/StageTestSupport.h"

namespace {

using toptest::TopWorld;
using CallKind = plat::RecordingDevice::CallKind;

// The z momentum of both bodies of a top.
double TopMomentumZ(const CKoma* top)
{
    return top->m_Disc.mass * top->m_Disc.body.LinearVelocity()[2] +
           top->m_Shaft.mass * top->m_Shaft.body.LinearVelocity()[2];
}

const TaskEntry* EntryOf(const CGameObject* object)
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (e->object == object) return e;
    return nullptr;
}

class CKomaShootTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<TopWorld>();
        world->dir.Write("sound/game/KomaShoot.wav", toptest::ClickWav());
        world->dir.Write("sound/game/RallRoll.wav", toptest::ClickWav());
        AddTask(PRIORITY_BGM, new CBGMusic("bgm/PowerSet.mp3"), "PowerSetBGM");
    }
    void TearDown() override { world.reset(); }

    // What the aiming phase does on the launch key.
    CKomaShoot* Launch(int power, plat::Vec3 force = {0, 0, 100000})
    {
        top = world->AddTop(force, 130 + static_cast<int>(0.004 * power * power));
        launcher = plat::Translation(0, 16, -30);
        shoot = new CKomaShoot(power, launcher);
        AddTask(PRIORITY_KOMA_SHOOT, shoot, KOMA_SHOOT_TASK_NAME);
        return shoot;
    }

    // Runs frames until the release; returns how many frames ran.
    int RunToRelease(int limit = 1000)
    {
        int frames = 0;
        while (!shoot->Released() && frames < limit) {
            world->Frame();
            ++frames;
        }
        return frames;
    }

    std::unique_ptr<TopWorld> world;
    CKoma* top = nullptr;
    CKomaShoot* shoot = nullptr;
    plat::Mat4 launcher;
};

TEST_F(CKomaShootTest, AtFullPowerTheRollersNeedAbout190FramesToFullSpeed)
{
    Launch(192);
    EXPECT_FLOAT_EQ(shoot->m_TopSpeed, 19);
    int frames = 0;
    while (shoot->m_RollerSpeed != shoot->m_TopSpeed) {
        EXPECT_FLOAT_EQ(shoot->m_RollerOffset, CKomaShoot::ROLLER_OFFSET_START);   // not opening yet
        world->Frame();
        ASSERT_LT(++frames, 400);
    }
    EXPECT_NEAR(frames, 190, 1);
    world->Frame();
    EXPECT_GT(shoot->m_RollerOffset, CKomaShoot::ROLLER_OFFSET_START);
}

TEST_F(CKomaShootTest, ReleaseComesInTheUpdateAfterTheRollersCloseTo2_5518)
{
    Launch(100);
    std::vector<float> startOffsets;   // the offset each launching update began with
    float maxOffset = 0;
    while (!shoot->Released()) {
        startOffsets.push_back(shoot->m_RollerOffset);
        world->Frame();
        maxOffset = std::max(maxOffset, shoot->m_RollerOffset);
        ASSERT_LT(startOffsets.size(), 1000u);
    }
    ASSERT_GE(startOffsets.size(), 2u);
    EXPECT_GT(maxOffset, 3.5f);
    EXPECT_LT(maxOffset, 3.52f);
    EXPECT_LT(shoot->m_OffsetStep, 0.0f);
    // Only the release update began at or below 2.5518; the offset still closed once more in it.
    float last = startOffsets.back();
    EXPECT_LE(last, CKomaShoot::RELEASE_OFFSET);
    EXPECT_GT(last, CKomaShoot::RELEASE_OFFSET - 0.1f);
    for (size_t i = 0; i + 1 < startOffsets.size(); ++i) EXPECT_GT(startOffsets[i], CKomaShoot::RELEASE_OFFSET);
    EXPECT_NEAR(shoot->m_RollerOffset, last - 0.1f, 1e-4);
}

TEST_F(CKomaShootTest, AtPowerZeroTheRollersOpenAtOnce)
{
    Launch(0);
    world->Frame();
    EXPECT_FLOAT_EQ(shoot->m_RollerSpeed, 0);
    EXPECT_NEAR(shoot->m_RollerOffset, CKomaShoot::ROLLER_OFFSET_START + 0.01f, 1e-5);
    // 76 frames open, 10 closing, and the release in the next update.
    EXPECT_EQ(RunToRelease() + 1, 87);
}

TEST_F(CKomaShootTest, TheTopIsFrozenUntilTheReleaseAndItsForceActsInTheFirstStepAfter)
{
    Launch(160);
    size_t before = CSound::LiveOneShots();
    // The battle band is frozen; the launch itself and the camera are not.
    EXPECT_TRUE(EntryOf(top)->updateStop);
    EXPECT_TRUE(EntryOf(top)->drawStop);
    EXPECT_TRUE(EntryOf(FindTask(CODE_TASK_NAME))->updateStop);
    EXPECT_FALSE(EntryOf(shoot)->updateStop);
    EXPECT_FALSE(EntryOf(world->camera)->updateStop);

    while (!shoot->Released()) {
        world->Frame();
        const double* p = top->m_Disc.body.Position();
        const double* v = top->m_Disc.body.LinearVelocity();
        if (!shoot->Released()) {
            ASSERT_EQ(p[1], 16.0);
            ASSERT_EQ(p[2], -30.0);
            ASSERT_EQ(v[2], 0.0);
            ASSERT_EQ(top->m_Gauge, 0);   // its update (and so its gauge refill) never ran
        }
    }
    // The step later in the release pass moved the top with the whole launch force.
    EXPECT_NEAR(TopMomentumZ(top), 100000.0 * 0.016, 1.0);
    EXPECT_FALSE(EntryOf(top)->updateStop);
    EXPECT_FALSE(EntryOf(top)->drawStop);
    EXPECT_EQ(top->m_Gauge, 0);
    EXPECT_EQ(CSound::LiveOneShots(), before + 1);   // the launch sound
    world->Frame();
    EXPECT_EQ(top->m_Gauge, 1);   // the top runs from the next pass on
}

TEST_F(CKomaShootTest, RemovedWithTheAimingMusic150FramesAfterTheRelease)
{
    Launch(120);
    RunToRelease();
    for (int i = 1; i < 150; ++i) {
        world->Frame();
        ASSERT_NE(FindTask(KOMA_SHOOT_TASK_NAME), nullptr) << i;
    }
    EXPECT_NE(FindTask("PowerSetBGM"), nullptr);
    world->Frame();
    EXPECT_EQ(FindTask(KOMA_SHOOT_TASK_NAME), nullptr);
    EXPECT_EQ(FindTask("PowerSetBGM"), nullptr);
    EXPECT_NE(FindTask("GameBGM"), nullptr);   // the battle music plays on
}

TEST_F(CKomaShootTest, CameraSwingsUpToTwentyDegreesAroundTheSavedEye)
{
    plat::Vec3 saved = world->camera->m_Eye;
    world->camera->m_Orbit = 7;
    Launch(40);
    EXPECT_FLOAT_EQ(world->camera->m_Orbit, 0);
    world->Frames(10);
    EXPECT_NEAR(world->camera->m_Orbit, 2.0f, 1e-4);
    float a = world->camera->m_Orbit * plat::PI / 180;
    plat::Vec3 expected = plat::TransformCoord(saved, plat::RotationYawPitchRoll(-a, a, 0));
    EXPECT_NEAR(world->camera->m_Eye.x, expected.x, 1e-4);
    EXPECT_NEAR(world->camera->m_Eye.y, expected.y, 1e-4);
    EXPECT_NEAR(world->camera->m_Target.z, top->m_Pos.z, 1e-5);
    world->Frames(200);
    EXPECT_FLOAT_EQ(world->camera->m_Orbit, 20);
}

TEST_F(CKomaShootTest, RollersThrowSparksWhileTheyTurn)
{
    Launch(192);
    world->Frames(50);   // roller speed 5
    int bursts = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* b = dynamic_cast<CPSprite*>(e->object)) {
            EXPECT_EQ(b->GetKind(), CPSprite::KIND_SPARK_BRIGHT);
            EXPECT_GE(b->ParticleCount(), 1u);
            EXPECT_LE(b->ParticleCount(), 6u);
            EXPECT_FALSE(EntryOf(b)->updateStop);   // added after the freeze, so they run
            ++bursts;
        }
    EXPECT_GE(bursts, 2);
}

TEST_F(CKomaShootTest, DrawsTheFrozenTopAndHudUntilTheReleaseThenOnlyTheLauncher)
{
    Launch(192);
    auto* topMesh = FindResource<CXFile>("XTop")->GetMesh();
    auto* ghostMesh = FindResource<CXFile>("XTopAlpha")->GetMesh();
    auto* rollerMesh = FindResource<CXFile>("XRaleRoll")->GetMesh();
    auto count = [&](const plat::Mesh* mesh) {
        int n = 0;
        for (const auto& c : world->env->device.Calls())
            if (c.kind == CallKind::DrawSubset && c.mesh == mesh) ++n;
        return n;
    };
    world->env->device.ClearCalls();
    world->Frame();
    EXPECT_EQ(count(topMesh), 2);      // outline and top, drawn here while the top's own task is hidden
    EXPECT_EQ(count(ghostMesh), 1);    // the strong launch's shaking ghost
    EXPECT_EQ(count(rollerMesh), 4);   // two rollers, each with its outline
    int sprites = 0;
    for (const auto& c : world->env->device.Calls())
        if (c.kind == CallKind::DrawUser) ++sprites;
    EXPECT_GT(sprites, 0);

    RunToRelease();
    world->env->device.ClearCalls();
    world->Frame();
    EXPECT_EQ(count(rollerMesh), 4);
    // The top now draws itself: its outline, body and ghost, once each.
    EXPECT_EQ(count(topMesh), 2);
    EXPECT_EQ(count(ghostMesh), 1);
}

TEST_F(CKomaShootTest, AWeakLaunchShowsNoGhost)
{
    Launch(160);
    auto* ghostMesh = FindResource<CXFile>("XTopAlpha")->GetMesh();
    world->env->device.ClearCalls();
    world->Frame();
    for (const auto& c : world->env->device.Calls())
        EXPECT_FALSE(c.kind == CallKind::DrawSubset && c.mesh == ghostMesh);
}

}   // namespace
