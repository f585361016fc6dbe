#include <gtest/gtest.h>

#include <cmath>

#include "audio/CBGMusic.h"
#include "core/Globals.h"
#include "game/CKoma.h"
#include "game/CKomaSet.h"
#include "game/CKomaShoot.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "physics/CODE.h"
#include "stage/CLoadStage.h"
#include "tests/StageTestSupport.h"

using namespace stagetest;

namespace {

using Call = plat::RecordingDevice::Call;
using CallKind = plat::RecordingDevice::CallKind;

constexpr float DEG = plat::PI / 180;

// The files the aiming phase reads; the meshes are the one-material square.
class CKomaSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_StageIndex = 0;
        dir.WritePicture("texture/Load.png", 256, 128);
        dir.WritePicture("texture/Interface.png", 512, 512);
        for (const char* mesh : {"X/stage_1.x", "X/Rale.x", "X/RaleRoll.x", "X/Top.x", "X/TopAlpha.x"})
            dir.Write(mesh, SquareArenaX());
        dir.Write("sound/game/KiaiGageUP.wav", ClickWav());
        if (HasGeneratedData())
            fs::copy_file(GeneratedDataDir() / "bgm/PowerSet.mp3", dir.Path() / "bgm/PowerSet.mp3",
                          (fs::create_directories(dir.Path() / "bgm"), fs::copy_options::overwrite_existing));
        cd = std::make_unique<ScopedCurrentDir>(dir.Path());
        env = std::make_unique<StageEnvironment>();
        AddTask(new CLoadStage, PRIORITY_LOADING);
        ASSERT_TRUE(env->RunLoad());
        set = dynamic_cast<CKomaSet*>(FindTask("CKomaSet"));
        ASSERT_NE(set, nullptr);
    }
    void TearDown() override
    {
        env.reset();
        cd.reset();
    }

    // Runs frames up to and including frame n of the aiming phase (the first
    // update after the hand-over is frame 1), the launch key going down in
    // frame n if asked.
    void RunToFrame(int n, bool pressLaunchKey = false)
    {
        for (; frame < n; ++frame) {
            if (pressLaunchKey && frame + 1 == n) env->keys.SetKey(plat::KEY_Z, true);
            env->Frame();
        }
    }

    std::vector<const Call*> Calls(CallKind kind) const
    {
        std::vector<const Call*> out;
        for (const Call& c : env->device.Calls())
            if (c.kind == kind) out.push_back(&c);
        return out;
    }

    static void ExpectMatrixNear(const plat::Mat4& a, const plat::Mat4& b)
    {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-4) << r << "," << c;
    }

    ScratchDir dir;
    std::unique_ptr<ScopedCurrentDir> cd;
    std::unique_ptr<StageEnvironment> env;
    CKomaSet* set = nullptr;
    int frame = 0;
};

TEST_F(CKomaSetTest, InitSetsTheShotTheGaugeSoundAndTheAimingMusic)
{
    auto* camera = dynamic_cast<CCamera*>(FindTask("CCamera"));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->m_Eye.x, 0);
    EXPECT_EQ(camera->m_Eye.y, 22);
    EXPECT_EQ(camera->m_Eye.z, -36);
    EXPECT_EQ(camera->m_Target.y, 4);
    EXPECT_EQ(camera->m_Target.z, 1);
    EXPECT_EQ(camera->m_Fov, 60);

    ASSERT_NE(set->m_GaugeSound, nullptr);
    ASSERT_NE(set->m_GaugeSound->Buffer(), nullptr);
    EXPECT_EQ(set->m_GaugeSound->Buffer()->Volume(), -100);
    EXPECT_NE(set->m_GaugeSound->Buffer(), FindResource<CSound>("KiaiGageUPSE")->Buffer());

    auto* music = dynamic_cast<CBGMusic*>(FindTask("PowerSetBGM"));
    ASSERT_NE(music, nullptr);
    if (!HasGeneratedData()) GTEST_SKIP() << "no generated music to play";
    ASSERT_NE(music->Stream(), nullptr);
    EXPECT_EQ(music->Stream()->Volume(), -600);
    EXPECT_TRUE(music->Stream()->IsPlaying());
}

TEST_F(CKomaSetTest, AimSwingsBetweenMinus32And32)
{
    std::vector<float> angles;
    for (int i = 0; i < 80; ++i) {
        RunToFrame(frame + 1);
        angles.push_back(set->m_AimAngle);
    }
    EXPECT_EQ(angles[0], 2);
    EXPECT_EQ(angles[15], 32);   // past 30 the swing turns, but the angle is not clamped
    EXPECT_EQ(angles[16], 30);
    EXPECT_EQ(*std::max_element(angles.begin(), angles.end()), 32);
    EXPECT_EQ(*std::min_element(angles.begin(), angles.end()), -32);
}

TEST_F(CKomaSetTest, LaunchUsesTheAngleAfterThisFramesStep)
{
    RunToFrame(16, true);   // the angle reaches 32 in this frame
    EXPECT_EQ(FindTask("CKomaSet"), nullptr);
    auto* top = dynamic_cast<CKoma*>(FindTask("CKoma"));
    auto* shoot = dynamic_cast<CKomaShoot*>(FindTask("CKomaShoot"));
    ASSERT_NE(top, nullptr);
    ASSERT_NE(shoot, nullptr);
    ASSERT_TRUE(top->m_Disc.body);
    // The launch frozen the world, so the force waits whole in the disc.
    const double* force = top->m_Disc.body.Force();
    EXPECT_NEAR(force[0], 100000 * std::sin(32 * DEG), 1.0);
    EXPECT_NEAR(force[1], 0, 1e-6);
    EXPECT_NEAR(force[2], 100000 * std::cos(32 * DEG), 1.0);
    // The launcher matrix it took is the one drawn in the frame before.
    ExpectMatrixNear(shoot->m_LauncherMatrix, plat::RotationY(30 * DEG) * plat::Translation(0, 16, -30));
    EXPECT_EQ(shoot->m_Power, 64);
}

TEST_F(CKomaSetTest, SpinIs277WithAFullGauge)
{
    RunToFrame(48, true);   // power 4 x 48 = 192
    auto* top = dynamic_cast<CKoma*>(FindTask("CKoma"));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->m_Disc.body.AngularVelocity()[1], 277);
    EXPECT_EQ(dynamic_cast<CKomaShoot*>(FindTask("CKomaShoot"))->m_Power, 192);
}

TEST_F(CKomaSetTest, SpinIs130WhenTheGaugeHasJustWrapped)
{
    RunToFrame(49, true);   // 196 is past the top: the gauge empties
    auto* top = dynamic_cast<CKoma*>(FindTask("CKoma"));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->m_Disc.body.AngularVelocity()[1], 130);
    EXPECT_EQ(dynamic_cast<CKomaShoot*>(FindTask("CKomaShoot"))->m_Power, 0);
}

TEST_F(CKomaSetTest, LauncherHasItsStartPoseBeforeTheFirstDraw)
{
    CKomaSet fresh;
    ExpectMatrixNear(fresh.m_LauncherMatrix, plat::Translation(0, 16, -30));
    // A key held through the hand-over launches in the very first update,
    // with the pose drawn in the hand-over frame.
    RunToFrame(1, true);
    auto* shoot = dynamic_cast<CKomaShoot*>(FindTask("CKomaShoot"));
    ASSERT_NE(shoot, nullptr);
    ExpectMatrixNear(shoot->m_LauncherMatrix, plat::Translation(0, 16, -30));
    EXPECT_EQ(shoot->m_Power, 4);
}

TEST_F(CKomaSetTest, KeyHeldFromBeforeDoesNotLaunchAgain)
{
    RunToFrame(3);
    env->keys.SetKey(plat::KEY_Z, true);
    RunToFrame(4);
    ASSERT_EQ(FindTask("CKomaSet"), nullptr);
    RemoveTask(FindTask("CKomaShoot"));
    RunToFrame(10);
    int tops = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (std::string(e->name) == "CKoma") ++tops;
    EXPECT_EQ(tops, 1);
}

TEST_F(CKomaSetTest, GaugeSoundRestartsEachTimeThePowerIsZero)
{
    RunToFrame(1);
    EXPECT_TRUE(set->m_GaugeSound->IsPlaying());
    set->m_GaugeSound->Stop();
    RunToFrame(49);
    EXPECT_EQ(set->m_Power, 0);
    EXPECT_FALSE(set->m_GaugeSound->IsPlaying());
    RunToFrame(50);
    EXPECT_TRUE(set->m_GaugeSound->IsPlaying());
    EXPECT_EQ(set->m_Power, 4);
}

TEST_F(CKomaSetTest, HudGaugeAndBannersUseTheirRectangles)
{
    RunToFrame(10);   // power 40, scroll 10
    env->device.ClearCalls();
    set->Draw();
    const plat::Texture* hud = FindResource<CTexture>("InterfaceBMP")->Texture();
    const Call* sprites = nullptr;
    for (const Call* c : Calls(CallKind::DrawUser))
        if (c->state.texture == hud) sprites = c;
    ASSERT_NE(sprites, nullptr);
    ASSERT_EQ(sprites->vertices.size(), 6u * 6);

    // Quad k: vertex 6k is the source's top-left corner, 6k + 1 its top-right,
    // 6k + 2 its bottom-right, 6k + 5 its bottom-left.
    auto corner = [&](int quad, int v) { return sprites->vertices[6 * quad + v]; };
    auto expectAt = [&](int quad, int v, float x, float y, float u, float w) {
        EXPECT_NEAR(corner(quad, v).position.x, x, 1e-3) << quad << "/" << v;
        EXPECT_NEAR(corner(quad, v).position.y, y, 1e-3) << quad << "/" << v;
        EXPECT_NEAR(corner(quad, v).u, u / 512, 1e-6) << quad << "/" << v;
        EXPECT_NEAR(corner(quad, v).v, w / 512, 1e-6) << quad << "/" << v;
    };
    // Gauge frame (320, 128)-(512, 224), 1.5 wide, turned upright from (30, 380).
    expectAt(0, 0, 30, 380, 320, 128);
    expectAt(0, 1, 30, 380 - 192 * 1.5f, 512, 128);
    expectAt(0, 5, 30 + 96, 380, 320, 224);
    // Gauge fill (320, 224)-(360, 320): as long as the power.
    expectAt(1, 0, 30, 380, 320, 224);
    expectAt(1, 1, 30, 380 - 40 * 1.5f, 360, 224);
    expectAt(1, 2, 30 + 96, 380 - 40 * 1.5f, 360, 320);
    // Top banner: (10, 448)-(512, 496) from the left edge, then (0, 448)-(10, 496) to the right edge.
    expectAt(2, 0, 0, 10, 10, 448);
    expectAt(2, 2, 502 * 1.25f, 58, 512, 496);
    expectAt(3, 0, 640 - 12.5f, 10, 0, 448);
    expectAt(3, 2, 640, 58, 10, 496);
    // Bottom banner: (502, 448)-(512, 496) from the left, then (0, 448)-(502, 496).
    expectAt(4, 0, 0, 422, 502, 448);
    expectAt(4, 2, 12.5f, 470, 512, 496);
    expectAt(5, 0, 12.5f, 422, 0, 448);
    expectAt(5, 2, 640, 470, 502, 496);
    for (const plat::Vertex& v : sprites->vertices) EXPECT_EQ(v.color, 0xffffffffu);
}

TEST_F(CKomaSetTest, BannersScrollOneTexelAFrameAndWrapAt512)
{
    RunToFrame(511);
    EXPECT_EQ(set->m_BannerScroll, 511);
    RunToFrame(512);
    EXPECT_EQ(set->m_BannerScroll, 0);
}

TEST_F(CKomaSetTest, RollersDrawSolidThenGlowGrowingWithThePower)
{
    RunToFrame(24);   // power 96: the glow is as large as the roller
    const plat::Mat4 launcher = plat::RotationY(set->m_AimAngle * DEG) * plat::Translation(0, 16, -30);
    const plat::Mat4 lastPose = set->m_LauncherMatrix;   // from the previous Draw
    env->device.ClearCalls();
    set->Draw();
    auto draws = Calls(CallKind::DrawSubset);
    ASSERT_EQ(draws.size(), 10u);   // 2 rollers (outline, solid), 2 glows, rail and top (outline, solid)
    auto* roll = FindResource<CXFile>("XRaleRoll");
    for (int i : {0, 1, 2, 3, 4, 5}) EXPECT_EQ(draws[i]->mesh, roll->GetMesh());

    // Solid rollers at last frame's pose, opaque, after their black outlines.
    EXPECT_EQ(draws[0]->state.material.diffuse.r, 0);
    EXPECT_EQ(draws[0]->state.rs.cull, plat::Cull::CW);
    EXPECT_EQ(draws[1]->state.material.diffuse.a, 1.0f);
    EXPECT_EQ(draws[1]->state.material.ambient.a, 1.0f);
    ExpectMatrixNear(draws[1]->state.world, plat::Translation(2.7569f, 0, 0.2121f) * lastPose);
    ExpectMatrixNear(draws[3]->state.world, plat::Translation(-2.7569f, 0, 0.2121f) * lastPose);
    // The glow: additive, faint, scaled by power / 96.
    for (int i : {4, 5}) {
        EXPECT_EQ(draws[i]->state.rs.destBlend, plat::Blend::One);
        EXPECT_FLOAT_EQ(draws[i]->state.material.diffuse.a, 0.2f);
        EXPECT_FLOAT_EQ(draws[i]->state.material.ambient.a, 0.2f);
        EXPECT_TRUE(draws[i]->state.rs.lighting);
    }
    ExpectMatrixNear(draws[4]->state.world, plat::Translation(2.7569f, 0, 0.2121f) * lastPose);
    // Rail and top at this frame's pose, the rail's rim thinner.
    ExpectMatrixNear(draws[6]->state.world, plat::Scaling(1.01f, 1.01f, 1.01f) * launcher);
    ExpectMatrixNear(draws[7]->state.world, launcher);
    ExpectMatrixNear(draws[8]->state.world, plat::Scaling(1.05f, 1.05f, 1.05f) * launcher);
    ExpectMatrixNear(draws[9]->state.world, launcher);
    EXPECT_EQ(draws[9]->mesh, FindResource<CXFile>("XTop")->GetMesh());
    EXPECT_EQ(draws[7]->state.rs.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_EQ(env->device.State().rs.destBlend, plat::Blend::InvSrcAlpha);
    ExpectMatrixNear(set->m_LauncherMatrix, launcher);

    // At power 48 the glow is half the size.
    RunToFrame(60);   // 192 at frame 48, 0 at 49, 44 at 60
    RunToFrame(61);
    ASSERT_EQ(set->m_Power, 48);
    const plat::Mat4 pose = set->m_LauncherMatrix;
    env->device.ClearCalls();
    set->Draw();
    draws = Calls(CallKind::DrawSubset);
    ASSERT_EQ(draws.size(), 10u);
    ExpectMatrixNear(draws[4]->state.world,
                     plat::Scaling(0.5f, 0.5f, 0.5f) * plat::Translation(2.7569f, 0, 0.2121f) * pose);
}

}   // namespace
