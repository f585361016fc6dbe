// The clash: the freeze and its release, the camera swing during which only
// the enemy pushes, the stage's push rate, the end at 21 either way or after
// 600 frames with the loser thrown by the winner's spin, and the degenerate
// geometry (tops one above the other, eye straight above, no motion, no
// contact normal) that must neither produce NaN nor keep the clash running.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/CBGMusic.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKomaClash.h"
#include "tests/AudioTestFiles.h"
#include "tools/sim/TraceJson.h"
#include "tests/TopTestSupport.h"

namespace {

using toptest::TopWorld;
using CallKind = plat::RecordingDevice::CallKind;

// A top with real bodies and no behaviour of its own: it only follows its
// body, so whatever force it carries after a clash is the clash's.
class DuelTop : public CKomaBase {
public:
    DuelTop(plat::Vec3 start, float spin) : m_Start(start), m_StartSpin(spin) {}

    void Init() override
    {
        m_TopMesh = dynamic_cast<CXFile*>(FindResource("XTop"));
        CreateTopBodies(0, m_Disc, m_Shaft, m_Start.x, m_Start.y, m_Start.z, 10);
        dBodySetAngularVel(m_Disc.body, 0, m_StartSpin, 0);
        ReadBody();
        m_PrevPos = m_Pos;
    }
    void Update() override
    {
        ++updates;
        m_PrevPos = m_Pos;
        ReadBody();
    }
    void Draw() override { ++draws; }

    void SetSpin(float spin) { dBodySetAngularVel(m_Disc.body, 0, spin, 0); }
    plat::Vec3 Force() const
    {
        const dReal* f = dBodyGetForce(m_Disc.body);
        return {static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2])};
    }

    int updates = 0, draws = 0;

private:
    plat::Vec3 m_Start;
    float m_StartSpin;
};

const TaskEntry* EntryOf(const CGameObject* object)
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (e->object == object) return e;
    return nullptr;
}

bool IsFinite(plat::Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void ExpectVecNear(plat::Vec3 actual, plat::Vec3 expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class CKomaClashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<TopWorld>();
        auto* press = new CSound("sound/Click.wav");
        AddTask(PRIORITY_RESOURCE, press, "TubazeriSE");
        RegisterResource("TubazeriSE", press);
        SetDrawStop("TubazeriSE");
        std::filesystem::create_directories(world->dir.Path() / "bgm");
        for (const char* track : {"bgm/Game.mp3", "bgm/Clash.mp3"})
            audiotest::EncodeMp3Tone((world->dir.Path() / track).string(), 0.5, 22050, 1, 440.0, 0.3f, 32);
        gameMusic = new CBGMusic("bgm/Game.mp3");
        AddTask(PRIORITY_BGM, gameMusic, "GameBGM");
        gameMusic->Play(-500, true);
    }
    void TearDown() override
    {
        world.reset();
        g_StageIndex = 0;
    }

    // Two tops meeting along z at the arena's middle, the eye behind the player.
    void AddTops(plat::Vec3 playerAt = {0, 5, -2}, plat::Vec3 enemyAt = {0, 5, 2}, float playerSpin = 150,
                 float enemySpin = 120)
    {
        player = new DuelTop(playerAt, playerSpin);
        AddTask(PRIORITY_KOMA, player, "CKoma");
        enemy = new DuelTop(enemyAt, enemySpin);
        AddTask(PRIORITY_KOMA, enemy, "St1Enemy");
    }

    CKomaClash* StartClash(plat::Vec3 normal = {0, 0, -1})
    {
        plat::Vec3 at = (player->m_Pos + enemy->m_Pos) * 0.5f;
        clash = new CKomaClash(player, enemy, at.x, at.y, at.z, normal.x, normal.y, normal.z);
        AddTask(PRIORITY_KOMA_CLASH, clash, KOMA_CLASH_TASK_NAME);
        return clash;
    }

    bool Running() const { return FindTask(KOMA_CLASH_TASK_NAME) != nullptr; }

    // Presses Z in one frame and lets it go in the next.
    void Press()
    {
        world->Key(plat::KEY_Z, true);
        world->Frame();
        world->Key(plat::KEY_Z, false);
        world->Frame();
    }

    // Puts the clash at a given frame and balance, as if it had run so far
    // with the camera's swing done, then runs one frame.
    void FinishFrom(int frameCount, int balance)
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
    CBGMusic* gameMusic = nullptr;
};

int VolumeOf(const char* task)
{
    auto* music = dynamic_cast<CBGMusic*>(FindTask(task));
    return music && music->Stream() ? music->Stream()->Volume() : 1;
}

int CountTasks(auto isKind)
{
    int n = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries()) n += isKind(e->object);
    return n;
}

TEST_F(CKomaClashTest, FreezesTheBattleAndReleasesItAtTheEnd)
{
    AddTops();
    AddTask(PRIORITY_EFFECT, new CGameObject, "CKomaAirWall");
    AddTask(PRIORITY_EFFECT, new CGameObject, "CKomaAirWallEnemy");
    StartClash();

    EXPECT_EQ(FindTask("CKomaAirWall"), nullptr);
    EXPECT_EQ(FindTask("CKomaAirWallEnemy"), nullptr);
    ASSERT_NE(FindTask("ClashBGM"), nullptr);
    EXPECT_TRUE(EntryOf(FindTask(CODE_TASK_NAME))->updateStop);
    EXPECT_TRUE(EntryOf(player)->updateStop);
    EXPECT_TRUE(EntryOf(player)->drawStop);
    EXPECT_FALSE(EntryOf(world->stage)->updateStop);   // 3000, below the band
    EXPECT_FALSE(EntryOf(clash)->updateStop);

    plat::Vec3 before = player->m_Pos;
    world->Frames(30);
    EXPECT_EQ(player->updates, 0);
    EXPECT_EQ(player->draws, 0);
    const dReal* p = dBodyGetPosition(player->m_Disc.body);
    EXPECT_EQ(static_cast<float>(p[1]), before.y);   // the world does not step
    world->env->device.ClearCalls();
    world->Frame();
    // The clash draws both tops itself, outline and all, solid even after
    // its own sparks left the blend additive.
    int meshDraws = 0;
    for (const auto& call : world->env->device.Calls()) {
        if (call.kind != CallKind::DrawSubset) continue;
        ++meshDraws;
        EXPECT_EQ(call.state.rs.srcBlend, plat::Blend::SrcAlpha);
        EXPECT_EQ(call.state.rs.destBlend, plat::Blend::InvSrcAlpha);
    }
    EXPECT_GE(meshDraws, 4);

    FinishFrom(CKomaClash::FRAME_LIMIT, 0);
    EXPECT_FALSE(Running());
    EXPECT_EQ(FindTask("ClashBGM"), nullptr);
    EXPECT_FALSE(EntryOf(FindTask(CODE_TASK_NAME))->updateStop);
    EXPECT_FALSE(EntryOf(player)->updateStop);
    EXPECT_FALSE(EntryOf(enemy)->drawStop);
    EXPECT_FLOAT_EQ(world->camera->m_Fov, 60.0f);
    world->Frame();
    EXPECT_EQ(player->updates, 1);
}

TEST_F(CKomaClashTest, TheClashThemeTakesOverAndHandsBack)
{
    AddTops();
    StartClash();
    ASSERT_NE(dynamic_cast<CBGMusic*>(FindTask("ClashBGM"))->Stream(), nullptr);
    EXPECT_EQ(VolumeOf("ClashBGM"), -2000);
    world->Frames(40);   // over 500 ms
    EXPECT_EQ(VolumeOf("ClashBGM"), -500);
    EXPECT_LT(VolumeOf("GameBGM"), -500);
    world->Frames(100);   // over 2000 ms
    EXPECT_EQ(VolumeOf("GameBGM"), -3000);

    FinishFrom(200, 21);
    EXPECT_EQ(FindTask("ClashBGM"), nullptr);
    world->Frames(70);    // over 1000 ms
    EXPECT_EQ(VolumeOf("GameBGM"), -500);
}

TEST_F(CKomaClashTest, SparksEveryFrameAndHitTextsEveryTenthFrame)
{
    AddTops();
    StartClash();
    auto isBurst = [](CGameObject* o) { return dynamic_cast<CPSprite*>(o) != nullptr; };
    auto isHitText = [](CGameObject* o) { return dynamic_cast<CHitText*>(o) != nullptr; };
    world->Frames(9);
    EXPECT_EQ(CountTasks(isHitText), 0);
    int bursts = CountTasks(isBurst);
    world->Frame();
    EXPECT_EQ(CountTasks(isHitText), 2);   // one near each top
    EXPECT_GE(CountTasks(isBurst), bursts + 1);
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        auto* text = dynamic_cast<CHitText*>(e->object);
        if (!text) continue;
        EXPECT_EQ(e->priority, PRIORITY_EFFECT);
        EXPECT_GE(text->m_Scale, 0.0f);
        EXPECT_LE(text->m_Scale, 1.4f + 1e-6f);
    }
    // The newest two bursts: the bright kind, then the plain kind, 20 to 29 particles each.
    std::vector<CPSprite*> newest;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* burst = dynamic_cast<CPSprite*>(e->object)) newest.push_back(burst);
    ASSERT_GE(newest.size(), 2u);
    CPSprite* bright = newest[newest.size() - 2];
    CPSprite* plain = newest.back();
    EXPECT_EQ(bright->GetKind(), CPSprite::KIND_SPARK_BRIGHT);
    EXPECT_EQ(plain->GetKind(), CPSprite::KIND_SPARK);
    for (CPSprite* burst : {bright, plain}) {
        EXPECT_GE(burst->ParticleCount(), 20u);
        EXPECT_LE(burst->ParticleCount(), 29u);
    }
}

TEST_F(CKomaClashTest, TheBalanceAtTheFrameLimitDecidesWhoIsThrown)
{
    struct Case {
        int balance;
        bool playerThrown, enemyThrown;
    };
    // A normal along -z: from the enemy's disc towards the player's.
    const plat::Vec3 n{0, 0, -1};
    for (Case c : {Case{-20, true, false}, Case{-19, true, true}, Case{19, true, true}, Case{20, false, true}}) {
        SCOPED_TRACE(c.balance);
        AddTops();
        StartClash(n);
        FinishFrom(CKomaClash::FRAME_LIMIT, c.balance);
        ASSERT_FALSE(Running());
        float playerSpin = player->Spin(), enemySpin = enemy->Spin();
        if (c.balance <= -20) {
            ExpectVecNear(player->Force(), n * (enemySpin * -20 * 100), 1.0f);
            ExpectVecNear(enemy->Force(), {0, 0, 0}, 0);
        } else if (c.balance >= 20) {
            ExpectVecNear(enemy->Force(), n * (playerSpin * 20 * 100), 1.0f);
            ExpectVecNear(player->Force(), {0, 0, 0}, 0);
        } else {
            ExpectVecNear(player->Force(), n * -100000.0f, 1.0f);
            ExpectVecNear(enemy->Force(), n * 100000.0f, 1.0f);
        }
        RemoveTask(player);
        RemoveTask(enemy);
    }
}

TEST_F(CKomaClashTest, PassingTwentyEndsTheClashAtOnce)
{
    // The player's 21st step ends it in the frame of the press.
    AddTops();
    StartClash();
    clash->m_SwingLeft = 0;
    clash->m_Balance = 20;
    clash->m_FrameCount = 100;
    world->Key(plat::KEY_Z, true);
    world->Frame();
    EXPECT_FALSE(Running());
    EXPECT_LT(enemy->Force().z, -1000.0f);   // thrown along the normal, -z

    // The enemy's push to -21 on stage 1 (every 50 frames) ends it just as well.
    world->Key(plat::KEY_Z, false);
    RemoveTask(player);
    RemoveTask(enemy);
    AddTops();
    StartClash();
    clash->m_SwingLeft = 0;
    clash->m_Balance = -20;
    clash->m_FrameCount = 48;
    world->Frame();
    EXPECT_TRUE(Running());
    world->Frame();
    EXPECT_FALSE(Running());
    EXPECT_GT(player->Force().z, 1000.0f);   // thrown along -n
}

TEST_F(CKomaClashTest, PressesDuringTheSwingAreIgnoredButTheEnemyPushes)
{
    g_StageIndex = 4;   // the enemy pushes every 10 frames
    AddTops();
    world->camera->m_Eye = {0, 22, -36};   // behind the player: a quarter turn to look across
    StartClash();
    EXPECT_NEAR(clash->m_SwingLeft, 90.0f, 1e-3f);

    int frames = 0;
    while (clash->m_SwingLeft > 0) {
        Press();
        frames += 2;
        ASSERT_LT(frames, 200);
    }
    EXPECT_EQ(clash->m_FrameCount, frames);
    EXPECT_EQ(clash->m_Balance, -(frames / 10));
    // The camera now looks across the line between the tops.
    ExpectVecNear(world->camera->m_Eye, {-36, 22, 0}, 0.6f);
    EXPECT_NEAR(world->camera->m_Orbit, 90.0f, 1e-3f);

    // From now on every press counts, against the enemy's pushes.
    int balance = clash->m_Balance;
    int frame = clash->m_FrameCount;
    Press();
    int pushes = (frame + 2) / 10 - frame / 10;
    EXPECT_EQ(clash->m_Balance, balance + 1 - pushes);
    EXPECT_FLOAT_EQ(world->camera->m_Fov, 60.0f - static_cast<float>(clash->m_Balance));
}

TEST_F(CKomaClashTest, TheEnemyPushesAtTheStagesRate)
{
    for (int stage = 0; stage <= 5; ++stage) {
        SCOPED_TRACE(stage);
        g_StageIndex = stage;
        AddTops();
        StartClash();
        world->Frames(120);
        int period = (5 - std::min(stage, 4)) * 10;   // 50 on stage 1 .. 10 on stage 5
        EXPECT_EQ(clash->m_Balance, -(120 / period));
        RemoveTask(clash);
        RemoveTask(FindTask("ClashBGM"));
        RemoveTask(player);
        RemoveTask(enemy);
    }
}

TEST_F(CKomaClashTest, OnStageFiveOnlyPressingFasterThanEveryTenFramesGainsGround)
{
    g_StageIndex = 4;
    AddTops({0, 5, -2}, {0, 5, 2});
    world->camera->m_Eye = {36, 22, 0};   // already looking across: no swing
    StartClash();
    ASSERT_LE(clash->m_SwingLeft, 0.0f);
    for (int i = 0; i < 10; ++i) {   // one press every 10 frames holds the balance
        Press();
        world->Frames(8);
    }
    EXPECT_EQ(clash->m_Balance, 0);
    for (int i = 0; i < 20; ++i) Press();   // one every 2 frames wins ground
    EXPECT_EQ(clash->m_Balance, 20 - 4);
}

TEST_F(CKomaClashTest, AWinnerWithoutSpinThrowsWithNoForce)
{
    AddTops();
    StartClash();
    player->SetSpin(0);
    FinishFrom(200, 21);
    ASSERT_FALSE(Running());
    ExpectVecNear(enemy->Force(), {0, 0, 0}, 0);

    RemoveTask(player);
    RemoveTask(enemy);
    AddTops();
    StartClash();
    enemy->SetSpin(0);
    FinishFrom(CKomaClash::FRAME_LIMIT, -20);
    ASSERT_FALSE(Running());
    ExpectVecNear(player->Force(), {0, 0, 0}, 0);
}

TEST_F(CKomaClashTest, OnStageFourThePlayersThrowLiftsTheEnemyFourTimesAsHard)
{
    g_StageIndex = 3;
    AddTops();
    StartClash({0, 0.6f, -0.8f});
    FinishFrom(CKomaClash::FRAME_LIMIT, 20);
    float base = player->Spin() * 20 * 100;
    ExpectVecNear(enemy->Force(), {0, 0.6f * base * 4, -0.8f * base}, 2.0f);
}

TEST_F(CKomaClashTest, TopsOneAboveTheOtherGiveNoSwingAndTheClashStillEnds)
{
    AddTops({3, 8, 3}, {3, 4, 3});   // same x and z: no line between them to look across
    StartClash({0, 0, 0});           // and a contact with no normal
    EXPECT_EQ(clash->m_SwingLeft, 0.0f);
    EXPECT_FALSE(std::isnan(clash->m_SwingLeft));

    Press();   // counts at once: there is no swing to wait for
    EXPECT_EQ(clash->m_Balance, 1);
    EXPECT_TRUE(IsFinite(world->camera->m_Eye));
    world->Frames(CKomaClash::FRAME_LIMIT);
    EXPECT_FALSE(Running());
    EXPECT_TRUE(IsFinite(player->Force()));
    EXPECT_TRUE(IsFinite(enemy->Force()));
}

TEST_F(CKomaClashTest, DegenerateDirectionsGiveDefinedResults)
{
    // An eye straight above the arena's middle has no horizontal direction.
    EXPECT_EQ(CKomaClash::SwingDegrees({0, 30, 0}, {0, 1, -2}, {0, 1, 2}), 0.0f);
    // Tops at the arena's middle and one on the eye's side.
    for (plat::Vec3 eye : {plat::Vec3{0, 22, -36}, plat::Vec3{5, 22, 1}})
        for (plat::Vec3 at : {plat::Vec3{0, 1, 0}, plat::Vec3{0, 1, 4}}) {
            float swing = CKomaClash::SwingDegrees(eye, at, {at.x + 2, at.y, at.z});
            EXPECT_TRUE(std::isfinite(swing));
            EXPECT_GE(swing, 0.0f);
            EXPECT_LE(swing, 180.0f);
        }

    // Tops that have not moved are drawn upright with finite matrices.
    AddTops();
    StartClash();
    world->env->device.ClearCalls();
    world->Frame();
    int meshDraws = 0;
    for (const auto& call : world->env->device.Calls()) {
        if (call.kind != CallKind::DrawSubset) continue;
        ++meshDraws;
        for (const auto& row : call.state.world.m)
            for (float v : row) ASSERT_TRUE(std::isfinite(v));
    }
    EXPECT_GT(meshDraws, 0);
}

TEST_F(CKomaClashTest, APlayerPressingFastWinsWithinTheFrameLimit)
{
    AddTops();
    StartClash();
    int frames = 0;
    bool down = false;
    // The force is read in the frame the clash ends, before a step uses it up.
    while (Running()) {
        down = !down;
        world->Key(plat::KEY_Z, down);
        world->Frame();
        ASSERT_LE(++frames, CKomaClash::FRAME_LIMIT);
    }
    EXPECT_LT(frames, 200);
    // Thrown along the normal (-z) by the player's spin and the final balance of 21.
    EXPECT_NEAR(enemy->Force().z, -player->Spin() * 21 * 100, 1.0f);
    ExpectVecNear(player->Force(), {0, 0, 0}, 0);
}

TEST_F(CKomaClashTest, TheTraceShowsARunningClash)
{
    auto traceOf = [] {
        TraceJson j;
        AppendTraceFields(j);
        return j.Finish();
    };
    EXPECT_NE(traceOf().find("\"clash\":null"), std::string::npos);
    AddTops();
    StartClash();
    world->Frames(3);
    std::string trace = traceOf();
    EXPECT_NE(trace.find("\"clash\":{\"balance\":0,\"frame\":3,\"swingLeft\":85.5"), std::string::npos) << trace;
}

}  // namespace
