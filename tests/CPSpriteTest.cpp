// Particle bursts: the start values of every kind and the order of their
// random draws, the closed-form motion, expiry, shrinking and removal, and
// the single additive point-sprite draw with its states restored.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "effect/CPSprite.h"
#include "gfx/CTexture.h"
#include "gfx/Graphics.h"
#include "platform/RecordingDevice.h"

namespace {

using CallKind = plat::RecordingDevice::CallKind;

constexpr uint32_t NOW = 50000;
constexpr uint32_t SEED = 1234;

class CPSpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveAllTasks();
        ClearResources();
        InitGraphics(&device);
        g_FrameTime = NOW;
        for (const char* key : {"spark1BMP", "spark2BMP", "Tarbo1BMP", "Item1BMP"}) {
            auto* t = new CTexture;
            std::vector<uint8_t> pixels(16 * 16 * 4, 255);
            t->LoadPixels(pixels.data(), 16, 16, 0);
            AddTask(PRIORITY_RESOURCE, t, key);
            RegisterResource(key, t);
            textures[key] = t;
        }
    }
    void TearDown() override
    {
        RemoveAllTasks();
        ClearResources();
        ReleaseGraphics();
    }

    // The numbers the generator will give after seeding.
    static std::vector<int> Draws(int n)
    {
        GameSrand(SEED);
        std::vector<int> r;
        for (int i = 0; i < n; ++i) r.push_back(GameRand());
        GameSrand(SEED);
        return r;
    }

    // Adds a burst to the list (as creators do) and returns it.
    CPSprite* Add(CPSprite* burst)
    {
        AddTask(burst, PRIORITY_EFFECT);
        return burst;
    }

    static bool InList(const CPSprite* burst)
    {
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (e->object == burst) return true;
        return false;
    }

    plat::RecordingDevice device;
    std::map<std::string, CTexture*> textures;
};

TEST_F(CPSpriteTest, SparkKindsDrawTheirValuesInTheListedOrder)
{
    // Kind 0: a, b, c from two draws each, size, life, then the back-dating.
    std::vector<int> r = Draws(9);
    CPSprite spark(1, 2, 3, CPSprite::KIND_SPARK, 1);
    const CPSprite::Particle& p = spark.Particles()[0];
    EXPECT_FLOAT_EQ(p.a, float(r[0] % 30 - r[1] % 30));
    EXPECT_FLOAT_EQ(p.b, float(r[2] % 40 + r[3] % 10));
    EXPECT_FLOAT_EQ(p.c, float(r[4] % 30 - r[5] % 30));
    EXPECT_FLOAT_EQ(p.size, (r[6] % 4 + 1) / 10.0f);
    EXPECT_NEAR(p.life, (r[7] % 250) / 1000.0f + 0.1f, 1e-6);
    EXPECT_EQ(p.birth, NOW - static_cast<uint32_t>(r[8] / 32767.0f * 400));
    EXPECT_FLOAT_EQ(p.origin.x, 1);
    EXPECT_FLOAT_EQ(p.origin.z, 3);

    r = Draws(9);
    CPSprite bright(0, 0, 0, CPSprite::KIND_SPARK_BRIGHT, 1);
    const CPSprite::Particle& q = bright.Particles()[0];
    EXPECT_FLOAT_EQ(q.a, float(r[0] % 30 - r[1] % 30));
    EXPECT_FLOAT_EQ(q.size, (r[6] % 6 + 2) / 15.0f);
    EXPECT_NEAR(q.life, (r[7] % 100) / 1000.0f + 0.1f, 1e-6);
    EXPECT_EQ(q.birth, NOW);
    // The next particle starts where this one's draws ended.
    EXPECT_EQ(GameRand(), r[8]);
}

TEST_F(CPSpriteTest, TopSparksDrawSignsBeforeMagnitudesAndLiveByTheSpin)
{
    std::vector<int> r = Draws(8);
    CPSprite s(0, 0, 0, CPSprite::KIND_TOP_SPARK, 1, 180, 0, 0);
    const CPSprite::Particle& p = s.Particles()[0];
    float s1 = (r[0] % 2 == 1) ? 1.0f : -1.0f;
    float s2 = (r[3] % 2 == 1) ? 1.0f : -1.0f;
    EXPECT_FLOAT_EQ(p.a, s1 * (r[1] % 15 + 4));
    EXPECT_FLOAT_EQ(p.b, float(r[2] % 10 + 10));
    EXPECT_FLOAT_EQ(p.c, s2 * (r[4] % 15 + 4));
    EXPECT_FLOAT_EQ(p.size, (r[5] % 4 + 2) / 10.0f);
    EXPECT_NEAR(p.life, (r[6] % 180) / 1000.0f + 0.01f, 1e-6);

    // A reference below 1 (or not a number) behaves as 1: every life is 0.01 s.
    for (float rx : {0.5f, -20.0f, NAN}) {
        CPSprite slow(0, 0, 0, CPSprite::KIND_TOP_SPARK, 40, rx, 0, 0);
        for (const auto& q : slow.Particles()) EXPECT_FLOAT_EQ(q.life, 0.01f);
    }
}

TEST_F(CPSpriteTest, GlintTrailAndItemStartValues)
{
    std::vector<int> r = Draws(3);
    CPSprite glint(0, 0, 0, CPSprite::KIND_GLINT, 1);
    EXPECT_FLOAT_EQ(glint.Particles()[0].size, 0.7f);
    EXPECT_NEAR(glint.Particles()[0].life, (r[0] % 100) / 1000.0f + 0.4f, 1e-6);

    r = Draws(3);
    CPSprite trail(5, 6, 7, CPSprite::KIND_TRAIL, 1, 4, 6, 9);
    const CPSprite::Particle& t = trail.Particles()[0];
    EXPECT_FLOAT_EQ(t.a, 7.0f);
    EXPECT_FLOAT_EQ(t.b, 0.0f);
    EXPECT_FLOAT_EQ(t.c, -14.0f);
    EXPECT_FLOAT_EQ(t.size, (r[0] % 10 + 1) / 10.0f);
    EXPECT_NEAR(t.life, (r[1] % 200) / 1000.0f + 0.1f, 1e-6);

    r = Draws(7);
    CPSprite item(0, 0, 0, CPSprite::KIND_ITEM_POWER, 2);
    EXPECT_FLOAT_EQ(item.Particles()[0].a, float(r[0] % 30 - r[1] % 30));
    EXPECT_FLOAT_EQ(item.Particles()[0].size, 0.4f);
    EXPECT_NEAR(item.Particles()[0].life, (r[6] % 200) / 1000.0f + 0.2f, 1e-6);
    EXPECT_EQ(item.ParticleCount(), 2u);
}

TEST_F(CPSpriteTest, BallisticAndStraightMotionFollowTheAge)
{
    CPSprite* spark = Add(new CPSprite(1, 2, 3, CPSprite::KIND_SPARK_BRIGHT, 50));
    CPSprite* trail = Add(new CPSprite(1, 2, 3, CPSprite::KIND_TRAIL, 1, 0, 2, 3));
    g_FrameTime = NOW + 80;
    UpdatePass();
    const float t = 0.08f;
    ASSERT_TRUE(InList(spark));
    for (uint32_t i = 0; i < 50; ++i) {
        const auto& p = spark->Particles()[i];
        const auto& v = spark->Vertices()[i];
        EXPECT_NEAR(v.position.x, 1 + p.a * t, 1e-4);
        EXPECT_NEAR(v.position.y, 2 + p.b * t - 24.9f * t * t, 1e-4);
        EXPECT_NEAR(v.position.z, 3 + p.c * t, 1e-4);
        EXPECT_EQ(v.color, 0xffffffffu);
    }
    ASSERT_TRUE(InList(trail));
    EXPECT_NEAR(trail->Vertices()[0].position.x, 1 + 7 * t, 1e-4);
    EXPECT_NEAR(trail->Vertices()[0].position.y, 2, 1e-6);   // no gravity on a trail
}

TEST_F(CPSpriteTest, TrailWithItsReferenceAtTheOriginStandsStillUntilRemoved)
{
    CPSprite* trail = Add(new CPSprite(4, 5, 6, CPSprite::KIND_TRAIL, 1, 4, 5, 6));
    float life = trail->Particles()[0].life;
    size_t before = TaskList::Instance().Size();
    for (uint32_t ms = 17;; ms += 17) {
        g_FrameTime = NOW + ms;
        bool expires = life < ms / 1000.0f;
        UpdatePass();
        if (expires) {
            EXPECT_FALSE(InList(trail));   // removed in the update in which it expires
            EXPECT_EQ(TaskList::Instance().Size(), before - 1);
            break;
        }
        ASSERT_TRUE(InList(trail));
        EXPECT_FLOAT_EQ(trail->Vertices()[0].position.x, 4);
        EXPECT_FLOAT_EQ(trail->Vertices()[0].position.y, 5);
        EXPECT_FLOAT_EQ(trail->Vertices()[0].position.z, 6);
        ASSERT_LT(ms, 1000u);
    }
}

TEST_F(CPSpriteTest, ExpiredParticlesShrinkAndNeverBelowZero)
{
    // Two glints: one is made to expire early, the other keeps the burst alive.
    CPSprite* glints = Add(new CPSprite(0, 0, 0, CPSprite::KIND_GLINT, 2));
    auto& parts = const_cast<std::vector<CPSprite::Particle>&>(glints->Particles());
    parts[0].life = 0.01f;
    parts[1].life = 10.0f;
    float expectedLive = 0.7f;
    float expectedDead = 0.7f;
    for (int frame = 1; frame <= 8; ++frame) {
        g_FrameTime = NOW + 17 * frame;
        UpdatePass();
        expectedLive -= 0.015f;
        expectedDead = std::max(expectedDead - 0.1f, 0.0f);
        expectedDead = std::max(expectedDead - 0.015f, 0.0f);
        EXPECT_NEAR(glints->Vertices()[1].size, expectedLive, 1e-5);
        EXPECT_NEAR(glints->Vertices()[0].size, expectedDead, 1e-5);
        EXPECT_GE(glints->Vertices()[0].size, 0.0f);
    }

    CPSprite* sparks = Add(new CPSprite(0, 0, 0, CPSprite::KIND_SPARK_BRIGHT, 2));
    auto& sp = const_cast<std::vector<CPSprite::Particle>&>(sparks->Particles());
    sp[0].life = 0.0f;
    sp[0].size = 0.25f;
    sp[1].life = 10.0f;
    float sizes[] = {0.15f, 0.05f, 0.0f, 0.0f};
    for (float expected : sizes) {
        g_FrameTime += 17;
        UpdatePass();
        EXPECT_NEAR(sparks->Vertices()[0].size, expected, 1e-6);
    }
}

TEST_F(CPSpriteTest, ItemParticlesKeepTheirSizeAfterExpiry)
{
    CPSprite* items = Add(new CPSprite(0, 0, 0, CPSprite::KIND_ITEM_SPIN, 2));
    auto& parts = const_cast<std::vector<CPSprite::Particle>&>(items->Particles());
    parts[0].life = 0.0f;
    parts[1].life = 10.0f;
    for (int i = 0; i < 5; ++i) {
        g_FrameTime += 17;
        UpdatePass();
        EXPECT_FLOAT_EQ(items->Vertices()[0].size, 0.4f);
    }
}

TEST_F(CPSpriteTest, BackDatedSparksStartPartWayThroughTheirFlight)
{
    CPSprite sparks(0, 0, 0, CPSprite::KIND_SPARK, 300);
    int expiredAtOnce = 0;
    for (const auto& p : sparks.Particles()) {
        EXPECT_LE(NOW - p.birth, 400u);
        if (p.life < (NOW - p.birth) / 1000.0f) ++expiredAtOnce;
    }
    EXPECT_GT(expiredAtOnce, 0);
}

TEST_F(CPSpriteTest, ABurstIsDrawnInOneAdditivePointSpriteCallAndStatesAreRestored)
{
    CPSprite* burst = Add(new CPSprite(0, 1, 0, CPSprite::KIND_SPARK_BRIGHT, 900));
    g_FrameTime += 17;
    UpdatePass();
    device.ClearCalls();
    g_Device->SetTransform(plat::TransformKind::World, plat::Translation(5, 5, 5));
    DrawPass();

    ASSERT_EQ(device.Calls().size(), 1u);
    const auto& call = device.Calls()[0];
    EXPECT_EQ(call.kind, CallKind::DrawPoints);
    EXPECT_EQ(call.points.size(), 900u);
    const plat::RenderStates& rs = call.state.rs;
    EXPECT_TRUE(rs.pointSprite);
    EXPECT_TRUE(rs.pointScale);
    EXPECT_FLOAT_EQ(rs.pointSizeMin, 0.0f);
    EXPECT_FALSE(rs.lighting);
    EXPECT_TRUE(rs.alphaBlend);
    EXPECT_EQ(rs.srcBlend, plat::Blend::One);
    EXPECT_EQ(rs.destBlend, plat::Blend::One);
    EXPECT_FALSE(rs.zWrite);
    EXPECT_EQ(rs.stage0.colorOp, plat::TexOp::SelectArg1);
    EXPECT_EQ(rs.stage0.colorArg1, plat::TexArg::Texture);
    EXPECT_EQ(rs.stage0.alphaOp, plat::TexOp::SelectArg1);
    EXPECT_EQ(rs.stage0.alphaArg1, plat::TexArg::Current);
    EXPECT_EQ(call.state.texture, textures["spark2BMP"]->Texture());
    EXPECT_FLOAT_EQ(call.state.world.m[3][0], 0.0f);   // identity world
    EXPECT_FLOAT_EQ(call.points[7].size, burst->Particles()[7].size);

    const plat::DeviceState& after = device.State();
    EXPECT_EQ(after.texture, nullptr);
    EXPECT_TRUE(after.rs.zWrite);
    EXPECT_FALSE(after.rs.pointSprite);
    EXPECT_FALSE(after.rs.pointScale);
    EXPECT_FLOAT_EQ(after.rs.pointSize, 1.0f);
    EXPECT_EQ(after.rs.stage0.alphaOp, plat::TexOp::Modulate);
    EXPECT_EQ(after.rs.stage0.alphaArg1, plat::TexArg::Texture);
    EXPECT_EQ(after.rs.stage0.colorOp, plat::TexOp::Modulate);
}

// A task that makes a burst while the draw pass runs, as the tops do.
class DrawPassMaker : public CGameObject {
public:
    void Draw() override { AddTask(new CPSprite(0, 0, 0, CPSprite::KIND_TOP_SPARK, 8, 200, 0, 0), PRIORITY_EFFECT); }
};

TEST_F(CPSpriteTest, ABurstMadeInTheDrawPassIsInvisibleUntilItsFirstUpdate)
{
    AddTask(4000, new DrawPassMaker, "maker");
    device.ClearCalls();
    DrawPass();
    ASSERT_EQ(device.Calls().size(), 1u);   // drawn by the same pass
    for (const auto& p : device.Calls()[0].points) EXPECT_EQ(p.size, 0.0f);
    RemoveTask(FindTask("maker"));
    g_FrameTime += 1;
    UpdatePass();
    device.ClearCalls();
    DrawPass();
    ASSERT_EQ(device.Calls().size(), 1u);
    bool anyVisible = false;
    for (const auto& p : device.Calls()[0].points) anyVisible |= p.size > 0;
    EXPECT_TRUE(anyVisible);
}

TEST_F(CPSpriteTest, EmptyAndUnknownBurstsAreHarmless)
{
    CPSprite* empty = Add(new CPSprite(0, 0, 0, CPSprite::KIND_SPARK, 0));
    CPSprite* odd = Add(new CPSprite(0, 0, 0, 77, 3));
    device.ClearCalls();
    DrawPass();
    ASSERT_EQ(device.Calls().size(), 1u);   // the empty burst reaches the device with nothing
    EXPECT_EQ(device.Calls()[0].points.size(), 3u);
    EXPECT_EQ(device.Calls()[0].state.texture, nullptr);
    g_FrameTime += 17;
    UpdatePass();
    EXPECT_FALSE(InList(empty));
    EXPECT_FALSE(InList(odd));
}

}   // namespace
