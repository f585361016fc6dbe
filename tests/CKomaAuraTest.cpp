// The three short-lived effects around a top: the aura's 27 frames and its two
// copies, the air wall's turn and its end, and the hit text's picture, place
// and 300 ms life.
#include <gtest/gtest.h>

#include <cmath>

#include "core/GameRandom.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKomaAirWall.h"
#include "game/CKomaAura.h"
#include "game/CKomaBase.h"
#include "tests/StageTestSupport.h"

namespace {

using CallKind = plat::RecordingDevice::CallKind;
using Call = plat::RecordingDevice::Call;

float RowLength(const plat::Mat4& m, int row)
{
    return std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] + m.m[row][2] * m.m[row][2]);
}

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_FrameTime = 1000;
        dir.Write("X/Mesh.x", toptest::FlatArenaX());
        cd = std::make_unique<stagetest::ScopedCurrentDir>(dir.Path());
        env = std::make_unique<stagetest::StageEnvironment>();
        for (const char* key : {"XEffectAura", "XEffectAirWall"}) {
            auto* mesh = new CXFile("X/Mesh.x");
            stagetest::AddResource(key, mesh);
            meshes[key] = mesh;
        }
        texture = new CTexture;
        std::vector<uint8_t> pixels(512 * 512 * 4, 255);
        texture->LoadPixels(pixels.data(), 512, 512, 0);
        AddTask(PRIORITY_RESOURCE, texture, "InterfaceBMP");
        RegisterResource("InterfaceBMP", texture);
        camera = new CCamera;
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
        camera->m_Eye = {0, 10, -20};
        camera->m_Target = {0, 0, 0};
        top.m_Pos = {3, 4, 5};
        top.m_PrevPos = {3, 4, 5};
    }
    void TearDown() override
    {
        env.reset();
        cd.reset();
    }

    std::vector<const Call*> MeshDraws(const char* key) const
    {
        std::vector<const Call*> out;
        for (const Call& c : env->device.Calls())
            if (c.kind == CallKind::DrawSubset && c.mesh == meshes.at(key)->GetMesh()) out.push_back(&c);
        return out;
    }

    static bool Exists(const char* name) { return FindTask(name) != nullptr; }

    stagetest::ScratchDir dir;
    std::unique_ptr<stagetest::ScopedCurrentDir> cd;
    std::unique_ptr<stagetest::StageEnvironment> env;
    std::map<std::string, CXFile*> meshes;
    CTexture* texture = nullptr;
    CCamera* camera = nullptr;
    CKomaBase top;
};

TEST_F(EffectTest, AuraLivesTwentySevenUpdatesWithTwoCounterTurningCopies)
{
    auto* aura = new CKomaAura(&top);
    AddTask(PRIORITY_EFFECT, aura, "CKomaAura");
    int updates = 0;
    float firstInnerWidth = -1, firstInnerHeight = -1, lastInnerWidth = -1, lastInnerHeight = -1;
    while (Exists("CKomaAura")) {
        env->device.ClearCalls();
        DrawPass();
        auto draws = MeshDraws("XEffectAura");
        ASSERT_EQ(draws.size(), 2u);
        const plat::Mat4& outer = draws[0]->state.world;
        const plat::Mat4& inner = draws[1]->state.world;
        // Both at the top's position; the outer copy is the wider one.
        EXPECT_FLOAT_EQ(outer.m[3][0], 3);
        EXPECT_FLOAT_EQ(inner.m[3][2], 5);
        EXPECT_NEAR(RowLength(outer, 0), aura->m_Width, 1e-5);
        EXPECT_NEAR(RowLength(outer, 1), aura->m_Height, 1e-5);
        // Drawn additively without depth writes, lit.
        EXPECT_EQ(draws[0]->state.rs.destBlend, plat::Blend::One);
        EXPECT_FALSE(draws[0]->state.rs.zWrite);
        EXPECT_TRUE(draws[0]->state.rs.lighting);
        if (updates > 0) {
            // The copies turn in opposite directions: the same turn, mirrored.
            EXPECT_NEAR(outer.m[0][2] / RowLength(outer, 0), -inner.m[0][2] / RowLength(inner, 0), 1e-4);
        }
        if (firstInnerWidth < 0) {
            firstInnerWidth = RowLength(inner, 0);
            firstInnerHeight = RowLength(inner, 1);
        }
        lastInnerWidth = RowLength(inner, 0);
        lastInnerHeight = RowLength(inner, 1);
        UpdatePass();
        ++updates;
        ASSERT_LT(updates, 100);
    }
    EXPECT_EQ(updates, 27);
    EXPECT_NEAR(firstInnerWidth, 0.0f, 1e-5);
    EXPECT_NEAR(firstInnerHeight, 0.9f, 1e-5);
    EXPECT_NEAR(lastInnerWidth, 0.78f, 1e-4);
    EXPECT_NEAR(lastInnerHeight, 0.64f, 1e-4);
    // Depth writes and the normal blend come back.
    EXPECT_TRUE(env->device.State().rs.zWrite);
    EXPECT_EQ(env->device.State().rs.destBlend, plat::Blend::InvSrcAlpha);
}

TEST_F(EffectTest, AirWallFacesAlongTheMotionWithoutTellingZDirectionsApart)
{
    EXPECT_NEAR(CKomaAirWall::FacingAngle(-1, 0), plat::PI, 1e-6);
    EXPECT_NEAR(CKomaAirWall::FacingAngle(1, 0), 0.0f, 1e-6);
    EXPECT_NEAR(CKomaAirWall::FacingAngle(0, 1), plat::PI / 2, 1e-6);
    EXPECT_NEAR(CKomaAirWall::FacingAngle(0, -1), plat::PI / 2, 1e-6);
    EXPECT_NEAR(CKomaAirWall::FacingAngle(-3, 3), 3 * plat::PI / 4, 1e-6);
    // A top that has not moved gives a defined turn rather than nonsense.
    EXPECT_TRUE(std::isfinite(CKomaAirWall::FacingAngle(0, 0)));

    top.m_PrevPos = {3.5f, 4, 5};   // moving along -x
    AddTask(PRIORITY_EFFECT, new CKomaAirWall(&top), "CKomaAirWall");
    env->device.ClearCalls();
    DrawPass();
    auto draws = MeshDraws("XEffectAirWall");
    ASSERT_EQ(draws.size(), 1u);
    const plat::Mat4 expected = plat::RotationY(plat::PI) * plat::Translation(3, 4, 5);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(draws[0]->state.world.m[r][c], expected.m[r][c], 1e-5);
    EXPECT_EQ(draws[0]->state.rs.destBlend, plat::Blend::One);
    EXPECT_FALSE(draws[0]->state.rs.zWrite);
    EXPECT_TRUE(env->device.State().rs.zWrite);
}

TEST_F(EffectTest, AirWallGoesInTheFirstUpdateBelowTwoTenthsPerFrame)
{
    AddTask(PRIORITY_EFFECT, new CKomaAirWall(&top), "CKomaAirWall");
    top.m_PrevPos = {3, 4, 5.25f};
    UpdatePass();
    EXPECT_TRUE(Exists("CKomaAirWall"));
    top.m_PrevPos = {3, 4, 5.15f};
    UpdatePass();
    EXPECT_FALSE(Exists("CKomaAirWall"));
}

TEST_F(EffectTest, HitTextShowsItsColumnAboveTheHitForThreeHundredMilliseconds)
{
    auto* text = new CHitText(10, 20, 30, 1, 0.5f);
    AddTask(PRIORITY_EFFECT, text, nullptr);
    EXPECT_FLOAT_EQ(text->m_Anchor.x, 9.5f);
    EXPECT_FLOAT_EQ(text->m_Anchor.y, 23.5f);
    EXPECT_FLOAT_EQ(text->m_Anchor.z, 29.5f);
    EXPECT_FLOAT_EQ(text->m_Vertices[0].u, 0.125f);
    EXPECT_FLOAT_EQ(text->m_Vertices[1].u, 0.25f);
    EXPECT_FLOAT_EQ(text->m_Vertices[0].v, 0.34375f);
    EXPECT_FLOAT_EQ(text->m_Vertices[2].v, 0.4375f);
    EXPECT_FLOAT_EQ(text->m_Vertices[2].position.x, 2.0f);
    EXPECT_FLOAT_EQ(text->m_Vertices[2].position.y, -1.5f);

    size_t before = TaskList::Instance().Size();
    int draws = 0;
    for (uint32_t ms = 0; ms <= 400; ms += 20) {
        g_FrameTime = 1000 + ms;
        env->device.ClearCalls();
        DrawPass();
        bool drawn = false;
        for (const Call& c : env->device.Calls()) {
            if (c.kind != CallKind::DrawUser) continue;
            drawn = true;
            EXPECT_EQ(c.primitive, plat::Primitive::TriangleFan);
            EXPECT_EQ(c.vertices.size(), 4u);
            EXPECT_FALSE(c.state.rs.lighting);
            EXPECT_FALSE(c.state.rs.zWrite);
            EXPECT_EQ(c.state.rs.destBlend, plat::Blend::InvSrcAlpha);
            EXPECT_EQ(c.state.texture, texture->Texture());
            // The picture sits at the anchor plus a jitter of 0 to 0.9 per axis.
            const plat::Mat4& w = c.state.world;
            EXPECT_GE(w.m[3][0], 9.5f - 1e-4);
            EXPECT_LE(w.m[3][0], 10.4f + 1e-4);
            EXPECT_GE(w.m[3][1], 23.5f - 1e-4);
            EXPECT_LE(w.m[3][1], 24.4f + 1e-4);
            EXPECT_NEAR(RowLength(w, 0), 0.5f, 1e-5);
        }
        if (drawn) ++draws;
        if (ms > 300) {
            EXPECT_EQ(TaskList::Instance().Size(), before - 1);   // gone after its last draw
            break;
        }
        EXPECT_EQ(TaskList::Instance().Size(), before);
    }
    EXPECT_EQ(draws, 17);   // 0, 20, ... 300, and the draw in which it goes (320 ms)
}

}   // namespace
