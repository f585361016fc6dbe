// The clash: the freeze, the music and their release, the camera swing during
// which only the enemy pushes, the stage's push rate, the end at 21 either way
// or after 600 frames with the loser thrown by the winner's spin, and the
// degenerate geometry (tops one above the other, an eye straight above, no
// motion, no contact normal) that must neither give NaN nor keep it running.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/CBGMusic.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKomaClash.h"
#include "tests/AudioTestFiles.h"
#include "tests/StageTestSupport.h"
#include "tools/sim/TraceJson.h"

namespace {

using toptest::TopWorld;
using CallKind = plat::RecordingDevice::CallKind;

// A top with real bodies and no behaviour: whatever force it carries after a
// clash is the clash's.
class DuelTop : public CKomaBase {
public:
    DuelTop(plat::Vec3 start, float spin) : m_Start(start), m_StartSpin(spin) {}
    void Init() override
    {
        m_TopMesh = FindResource<CXFile>("XTop");
        CreateTopBodies(0, m_Disc, m_Shaft, m_Start.x, m_Start.y, m_Start.z, 10);
        m_Disc.body.SetAngularVelocity(0, m_StartSpin, 0);
        ReadBody();
        m_PrevPos = m_Pos;
    }
    void Update() override { ++updates; }
    void Draw() override { ++draws; }
    plat::Vec3 Force() const
    {
        const double* f = m_Disc.body.Force();
        return {static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2])};
    }
    int updates = 0, draws = 0;

private:
    plat::Vec3 m_Start;
    float m_StartSpin;
};

bool Frozen(const char* name)
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (std::string(e->name) == name) return e->updateStop;
    return false;
}

int Volume(const char* task)
{
    auto* music = dynamic_cast<CBGMusic*>(FindTask(task));
    return music && music->Stream() ? music->Stream()->Volume() : 1;
}

bool Finite(plat::Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void ExpectNear(plat::Vec3 actual, plat::Vec3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 2.0f);
    EXPECT_NEAR(actual.y, expected.y, 2.0f);
    EXPECT_NEAR(actual.z, expected.z, 2.0f);
}

class CKomaClashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<TopWorld>();
        auto* press = new CSound("sound/Click.wav");
        AddTask(PRIORITY_RESOURCE, press, "TubazeriSE");
        RegisterResource("TubazeriSE", press);
        std::filesystem::create_directories(world->dir.Path() / "bgm");
        for (const char* track : {"bgm/Game.mp3", "bgm/Clash.mp3"})
            audiotest::EncodeMp3Tone((world->dir.Path() / track).string(), 0.5, 22050, 1, 440.0, 0.3f, 32);
        auto* music = new CBGMusic("bgm/Game.mp3");
        AddTask(PRIORITY_BGM, music, "GameBGM");
        music->Play(-500, true);
    }
    void TearDown() override
    {
        world.reset();
        g_StageIndex = 0;
    }

    // Two tops meeting along z, the eye behind the player (a quarter turn to swing).
    void Start(plat::Vec3 playerAt = {0, 5, -2}, plat::Vec3 enemyAt = {0, 5, 2}, plat::Vec3 normal = {0, 0, -1})
    {
        if (player) RemoveTask(player);
        if (enemy) RemoveTask(enemy);
        if (FindTask(KOMA_CLASH_TASK_NAME)) RemoveTask(FindTask(KOMA_CLASH_TASK_NAME));
        if (FindTask("ClashBGM")) RemoveTask(FindTask("ClashBGM"));
        player = new DuelTop(playerAt, 150);
        AddTask(PRIORITY_KOMA, player, "CKoma");
        enemy = new DuelTop(enemyAt, 120);
        AddTask(PRIORITY_KOMA, enemy, "St1Enemy");
        plat::Vec3 at = (playerAt + enemyAt) * 0.5f;
        clash = new CKomaClash(player, enemy, at.x, at.y, at.z, normal.x, normal.y, normal.z);
        AddTask(PRIORITY_KOMA_CLASH, clash, KOMA_CLASH_TASK_NAME);
    }

    bool Running() const { return FindTask(KOMA_CLASH_TASK_NAME) != nullptr; }

    // Z down in one frame, up in the next.
    void Press()
    {
        world->Key(plat::KEY_Z, true);
        world->Frame();
        world->Key(plat::KEY_Z, false);
        world->Frame();
    }

    // One frame of a clash that has run so far with its swing done. The
    // forces are read in the frame the clash ends, before a step uses them.
    void RunFrom(int frameCount, int balance)
    {
        clash->m_SwingLeft = 0;
        clash->m_FrameCount = frameCount;
        clash->m_Balance = balance;
        world->Frame();
    }

    std::unique_ptr<TopWorld> world;
    DuelTop* player = nullptr;
    DuelTop* enemy = nullptr;
    CKomaClash* clash = nullptr;
};

TEST_F(CKomaClashTest, FreezesTheBattleAndSwitchesTheMusicUntilItEnds)
{
    AddTask(PRIORITY_EFFECT, new CGameObject, "CKomaAirWall");
    AddTask(PRIORITY_EFFECT, new CGameObject, "CKomaAirWallEnemy");
    Start();
    EXPECT_EQ(FindTask("CKomaAirWall"), nullptr);
    EXPECT_EQ(FindTask("CKomaAirWallEnemy"), nullptr);
    EXPECT_TRUE(Frozen(CODE_TASK_NAME));
    EXPECT_TRUE(Frozen("CKoma"));
    EXPECT_FALSE(Frozen(STAGE_TASK_NAME));   // 3000, below the band
    EXPECT_EQ(Volume("ClashBGM"), -2000);

    float height = player->m_Pos.y;
    world->Frames(140);   // over 2000 ms
    EXPECT_EQ(player->updates + player->draws, 0);
    EXPECT_EQ(static_cast<float>(player->m_Disc.body.Position()[1]), height);
    EXPECT_EQ(Volume("ClashBGM"), -500);
    EXPECT_EQ(Volume("GameBGM"), -3000);

    // The clash draws both tops itself, solid even after its sparks left the blend additive.
    world->env->device.ClearCalls();
    world->Frame();
    int meshDraws = 0;
    for (const auto& call : world->env->device.Calls()) {
        if (call.kind != CallKind::DrawSubset) continue;
        ++meshDraws;
        EXPECT_EQ(call.state.rs.destBlend, plat::Blend::InvSrcAlpha);
    }
    EXPECT_GE(meshDraws, 4);

    RunFrom(CKomaClash::FRAME_LIMIT, 0);
    EXPECT_FALSE(Running());
    EXPECT_EQ(FindTask("ClashBGM"), nullptr);
    EXPECT_FALSE(Frozen(CODE_TASK_NAME));
    EXPECT_FALSE(Frozen("CKoma"));
    EXPECT_FLOAT_EQ(world->camera->m_Fov, 60.0f);
    world->Frames(70);   // over 1000 ms
    EXPECT_EQ(player->updates, 70);
    EXPECT_EQ(Volume("GameBGM"), -500);
}

TEST_F(CKomaClashTest, SparksEveryFrameAndHitTextsEveryTenthFrame)
{
    Start();
    auto count = [](auto kind) {
        std::vector<decltype(kind)> found;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* o = dynamic_cast<decltype(kind)>(e->object)) found.push_back(o);
        return found;
    };
    world->Frames(9);
    EXPECT_TRUE(count(static_cast<CHitText*>(nullptr)).empty());
    world->Frame();
    EXPECT_EQ(count(static_cast<CHitText*>(nullptr)).size(), 2u);   // one near each top
    auto bursts = count(static_cast<CPSprite*>(nullptr));
    ASSERT_GE(bursts.size(), 2u);
    CPSprite* bright = bursts[bursts.size() - 2];
    EXPECT_EQ(bright->GetKind(), CPSprite::KIND_SPARK_BRIGHT);
    EXPECT_EQ(bursts.back()->GetKind(), CPSprite::KIND_SPARK);
    for (CPSprite* burst : {bright, bursts.back()}) {
        EXPECT_GE(burst->ParticleCount(), 20u);
        EXPECT_LE(burst->ParticleCount(), 29u);
    }
}

TEST_F(CKomaClashTest, TheBalanceAtTheEndDecidesWhoIsThrownAndHowHard)
{
    struct Case {
        int stage, frame, balance;
        float playerSpin, enemySpin;
        plat::Vec3 normal, playerForce, enemyForce;
    };
    const plat::Vec3 n{0, 0, -1}, tilted{0, 0.6f, -0.8f}, none{0, 0, 0};
    const Case cases[] = {
        {0, 600, -20, 150, 120, n, n * (120 * -20 * 100), none},   // the enemy's win at the limit
        {0, 600, -19, 150, 120, n, n * -100000, n * 100000},       // a draw pushes both apart
        {0, 600, 19, 150, 120, n, n * -100000, n * 100000},
        {0, 600, 20, 150, 120, n, none, n * (150 * 20 * 100)},   // the player's win at the limit
        {0, 100, 21, 150, 120, n, none, n * (150 * 21 * 100)},   // past 20: at once
        {0, 100, 21, 0, 120, n, none, none},                     // a winner without spin
        {0, 600, -20, 150, 0, n, none, none},
        {3, 100, 21, 150, 120, tilted, none, {0, 0.6f * 315000 * 4, -0.8f * 315000}},   // stage 4 lifts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stage " << c.stage << " balance " << c.balance);
        g_StageIndex = c.stage;
        Start({0, 5, -2}, {0, 5, 2}, c.normal);
        player->m_Disc.body.SetAngularVelocity(0, c.playerSpin, 0);
        enemy->m_Disc.body.SetAngularVelocity(0, c.enemySpin, 0);
        RunFrom(c.frame, c.balance);
        ASSERT_FALSE(Running());
        ExpectNear(player->Force(), c.playerForce);
        ExpectNear(enemy->Force(), c.enemyForce);
    }
}

TEST_F(CKomaClashTest, PassingTwentyEitherWayEndsItInThatFrame)
{
    Start();
    RunFrom(100, 20);
    EXPECT_TRUE(Running());
    world->Key(plat::KEY_Z, true);   // the player's 21st step
    world->Frame();
    EXPECT_FALSE(Running());

    world->Key(plat::KEY_Z, false);
    Start();
    RunFrom(48, -20);
    EXPECT_TRUE(Running());
    world->Frame();   // the enemy's push at frame 50 on stage 1
    EXPECT_FALSE(Running());
    EXPECT_GT(player->Force().z, 1000.0f);   // thrown along -n
}

TEST_F(CKomaClashTest, PressesDuringTheSwingAreIgnoredButTheEnemyPushes)
{
    g_StageIndex = 4;   // a push every 10 frames
    world->camera->m_Eye = {0, 22, -36};
    Start();
    EXPECT_NEAR(clash->m_SwingLeft, 90.0f, 1e-3f);
    int frames = 0;
    while (clash->m_SwingLeft > 0 && frames < 200) {
        Press();
        frames += 2;
    }
    EXPECT_EQ(frames, 60);
    EXPECT_EQ(clash->m_Balance, -6);
    EXPECT_NEAR(world->camera->m_Orbit, 90.0f, 1e-3f);
    EXPECT_NEAR(world->camera->m_Eye.x, -36.0f, 0.1f);   // now looking across the tops
    EXPECT_NEAR(world->camera->m_Eye.z, 0.0f, 0.1f);

    // From now on presses count: one every two frames against one push every ten.
    for (int i = 0; i < 20; ++i) Press();
    EXPECT_EQ(clash->m_Balance, -6 + 20 - 4);
    world->Frame();   // the view follows the balance from the next frame
    EXPECT_FLOAT_EQ(world->camera->m_Fov, 60.0f - 10.0f);
}

TEST_F(CKomaClashTest, TheEnemyPushesAtTheStagesRate)
{
    for (int stage = 0; stage <= 5; ++stage) {   // 5 lies beyond the stages: held to stage 5's rate
        SCOPED_TRACE(stage);
        g_StageIndex = stage;
        Start();
        world->Frames(120);
        int period = (5 - std::min(stage, 4)) * 10;
        EXPECT_EQ(clash->m_Balance, -(120 / period));
    }
}

TEST_F(CKomaClashTest, DegenerateDirectionsGiveNoSwingAndNoNaN)
{
    EXPECT_EQ(CKomaClash::SwingDegrees({0, 30, 0}, {0, 1, -2}, {0, 1, 2}), 0.0f);    // eye straight above
    EXPECT_EQ(CKomaClash::SwingDegrees({0, 22, -36}, {3, 8, 3}, {3, 4, 3}), 0.0f);   // one above the other
    float swing = CKomaClash::SwingDegrees({5, 22, 1}, {0, 1, 0}, {2, 1, 0});        // a top at the middle
    EXPECT_TRUE(std::isfinite(swing));

    // Tops one above the other that have not moved, and a contact with no normal.
    Start({3, 8, 3}, {3, 4, 3}, {0, 0, 0});
    world->env->device.ClearCalls();
    Press();   // counts at once: there is no swing to wait for
    EXPECT_EQ(clash->m_Balance, 1);
    EXPECT_TRUE(Finite(world->camera->m_Eye));
    for (const auto& call : world->env->device.Calls())
        for (const auto& row : call.state.world.m)
            for (float v : row) ASSERT_TRUE(std::isfinite(v));
    world->Frames(CKomaClash::FRAME_LIMIT);
    EXPECT_FALSE(Running());
    EXPECT_TRUE(Finite(player->Force()));
    EXPECT_TRUE(Finite(enemy->Force()));
}

TEST_F(CKomaClashTest, TheTraceShowsARunningClash)
{
    auto trace = [] {
        TraceJson j;
        AppendTraceFields(j);
        return j.Finish();
    };
    EXPECT_NE(trace().find("\"clash\":null"), std::string::npos);
    Start();
    world->Frames(3);
    EXPECT_NE(trace().find("\"clash\":{\"balance\":0,\"frame\":3,\"swingLeft\":85.5"), std::string::npos) << trace();
}

}   // namespace
