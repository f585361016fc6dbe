// One battle frame on the recording device: the physics world over an arena,
// the player's top with its aura and an enemy top locked in a clash, two
// 900-particle hit bursts, the battle interface with its spin graphs, the
// camera and the input, through a whole update pass and draw pass; and the
// same on stage 5 with the boss firing its volleys and rings.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "effect/CPSprite.h"
#include "enemy/CObj.h"
#include "enemy/EnemyTop.h"
#include "enemy/St5Enemy.h"
#include "game/CHitText.h"
#include "game/CKoma.h"
#include "game/CKomaAura.h"
#include "game/CKomaClash.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "hud/CSpriteRender.h"
#include "input/CInput.h"
#include "physics/CODE.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/RecordingDevice.h"

namespace {

namespace fs = std::filesystem;

// A bowl of 40 units radius, rising from height 1 in the middle to 12 at the rim.
std::string BowlArenaX()
{
    constexpr int rings = 12, sectors = 24;
    constexpr float radius = 40.0f;
    std::string v, f;
    int vertexCount = 0, faceCount = 0;
    for (int r = 0; r <= rings; ++r) {
        float d = radius * r / rings;
        float y = 1.0f + 11.0f * (d / radius) * (d / radius);
        int count = (r == 0) ? 1 : sectors;
        for (int s = 0; s < count; ++s) {
            float a = 2 * plat::PI * s / sectors;
            v += std::to_string(d * std::cos(a)) + ";" + std::to_string(y) + ";" + std::to_string(d * std::sin(a)) +
                 ";,\n";
            ++vertexCount;
        }
    }
    v.back() = '\n';
    v[v.size() - 2] = ';';
    auto at = [](int ring, int s) { return ring == 0 ? 0 : 1 + (ring - 1) * sectors + (s % sectors); };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sectors; ++s) {
            f += "3;" + std::to_string(at(r, s)) + "," + std::to_string(at(r + 1, s + 1)) + "," +
                 std::to_string(at(r + 1, s)) + ";,\n";
            ++faceCount;
            if (r > 0) {
                f += "3;" + std::to_string(at(r, s)) + "," + std::to_string(at(r, s + 1)) + "," +
                     std::to_string(at(r + 1, s + 1)) + ";,\n";
                ++faceCount;
            }
        }
    f[f.size() - 2] = ';';
    std::string materials;
    for (int i = 0; i < faceCount; ++i) materials += (i + 1 < faceCount) ? "0,\n" : "0;;\n";
    return "xof 0302txt 0032\nMesh {\n" + std::to_string(vertexCount) + ";\n" + v + "\n" + std::to_string(faceCount) +
           ";\n" + f + "MeshMaterialList {\n1;\n" + std::to_string(faceCount) + ";\n" + materials +
           "Material {\n0.5;0.5;0.6;1.0;;\n10.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n}\n}\n";
}

// An enemy top that only follows its body: enough for a clash and the interface.
class BenchEnemy : public CKomaBase {
public:
    void Init() override
    {
        m_TopMesh = FindResource<CXFile>("XTop");
        m_GhostMesh = dynamic_cast<CXFile*>(FindTask("XTopAlpha"));
        CreateTopBodies(0, m_Disc, m_Shaft, 0, 16, 30, 10);
        m_Disc.body.SetAngularVelocity(0, 200, 0);
        ReadBody();
        m_PrevPos = m_Pos;
    }
    void Update() override
    {
        m_PrevPos = m_Pos;
        ReadBody();
        KeepUpright();
    }
    void Draw() override { DrawTop(DrawStyle{}); }
};

class BattleScene {
public:
    BattleScene() : m_Dir(fs::temp_directory_path() / ("spindrel-bench-" + std::to_string(std::random_device{}())))
    {
        fs::create_directories(m_Dir / "X");
        std::ofstream(m_Dir / "X" / "stage_1.x") << BowlArenaX();
        std::ofstream(m_Dir / "X" / "Top.x") << BowlArenaX();
        m_OldDir = fs::current_path();
        fs::current_path(m_Dir);

        RemoveAllTasks();
        ClearResources();
        m_Device.SetKeepCalls(false);
        InitGraphics(&m_Device);
        // No result screen: it would end the battle and free the tops that
        // the scene goes on using when a side goes down.
        CSpriteRenderBase::SetResultStarter(nullptr);
        plat::SetClock(&m_Clock);
        plat::SetKeySource(&m_Keys);
        g_FrameTime = m_Clock.NowMs();
        g_StageIndex = 0;
        GameSrand(7);

        for (const char* key : {"XTop", "XTopAlpha", "XEffectAura", "XEffectAirWall", "XStage1"})
            AddResource(key, new CXFile("X/Top.x"));
        for (const char* key : {"spark1BMP", "spark2BMP", "Tarbo1BMP", "Item1BMP", "InterfaceBMP"}) {
            auto* t = new CTexture;
            std::vector<uint8_t> pixels(64 * 64 * 4, 255);
            t->LoadPixels(pixels.data(), 64, 64, 0);
            AddResource(key, t);
        }
        AddTask(PRIORITY_CODE, new CODE, CODE_TASK_NAME);
        AddTask(PRIORITY_INPUT, new CInput, INPUT_TASK_NAME);
        auto* camera = new CCamera;
        camera->m_Eye = {0, 30, -45};
        camera->m_Target = {0, 2, 0};
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
        AddTask(PRIORITY_STAGE, new CStage, STAGE_TASK_NAME);
        m_Top = new CKoma({30000, 0, 60000}, 250);
        AddTask(PRIORITY_KOMA, m_Top, KOMA_TASK_NAME);
        m_Enemy = new BenchEnemy;
        AddTask(PRIORITY_KOMA, m_Enemy, "St1Enemy");
        m_Keys.SetKey(plat::KEY_RIGHT, true);
        for (int i = 0; i < 120; ++i) Frame();   // landed and spinning
        m_Keys.SetKey(plat::KEY_RIGHT, false);
        AddTask(PRIORITY_SPRITE_RENDER, new CSpriteRender, SPRITE_RENDER_TASK_NAME);
    }

    ~BattleScene()
    {
        RemoveAllTasks();
        ClearResources();
        plat::SetKeySource(nullptr);
        plat::SetClock(nullptr);
        ReleaseGraphics();
        std::error_code ec;
        fs::current_path(m_OldDir, ec);
        fs::remove_all(m_Dir, ec);
    }

    // Keeps two fresh hit bursts, a hit text and an aura alive, then runs a frame.
    void BusyFrame()
    {
        if (m_Frame % 12 == 0) {
            const plat::Vec3& p = m_Top->m_Pos;
            AddTask(new CPSprite(p.x, p.y, p.z, CPSprite::KIND_SPARK_BRIGHT, 900), PRIORITY_EFFECT);
            AddTask(new CPSprite(p.x, p.y, p.z, CPSprite::KIND_SPARK, 900), PRIORITY_EFFECT);
            AddTask(PRIORITY_EFFECT, new CHitText(p.x, p.y, p.z, 0, 2.0f), nullptr);
        }
        if (!FindTask("CKomaAura")) AddTask(PRIORITY_EFFECT, new CKomaAura(m_Top), "CKomaAura");
        // A new clash a few frames after the last, so its throw has acted.
        if (!FindTask(KOMA_CLASH_TASK_NAME) && m_Frame % 8 == 0) {
            plat::Vec3 at = (m_Top->m_Pos + m_Enemy->m_Pos) * 0.5f;
            plat::Vec3 n = plat::Normalize(m_Top->m_Pos - m_Enemy->m_Pos);
            AddTask(PRIORITY_KOMA_CLASH, new CKomaClash(m_Top, m_Enemy, at.x, at.y, at.z, n.x, n.y, n.z),
                    KOMA_CLASH_TASK_NAME);
        }
        if (!FindTask(SPRITE_RENDER_TASK_NAME))
            AddTask(PRIORITY_SPRITE_RENDER, new CSpriteRender, SPRITE_RENDER_TASK_NAME);
        // Presses keep the balance moving; a clash ends within 601 frames and another starts.
        m_Keys.SetKey(plat::KEY_Z, m_Frame % 4 == 0);
        Frame();
    }

    void Frame()
    {
        UpdatePass();
        DrawPass();
        m_Clock.AdvanceFrame();
        g_FrameTime = m_Clock.NowMs();
        ++m_Frame;
    }

private:
    static void AddResource(const char* key, CGameObject* object)
    {
        AddTask(PRIORITY_RESOURCE, object, key);
        RegisterResource(key, object);
        SetDrawStop(key);
    }

    fs::path m_Dir, m_OldDir;
    plat::RecordingDevice m_Device;
    plat::VirtualClock m_Clock{10000};
    plat::ScriptedKeySource m_Keys;
    CKoma* m_Top = nullptr;
    BenchEnemy* m_Enemy = nullptr;
    int m_Frame = 0;
};

void BM_BattleFrameWithTwoBursts(benchmark::State& state)
{
    BattleScene scene;
    for (auto _ : state) scene.BusyFrame();
}
BENCHMARK(BM_BattleFrameWithTwoBursts)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The busiest stage-5 frame: the battle scene above with the boss in the
// middle, firing volley after volley, each ending in a ring of 18 (it has
// taken two hits), while bursts and hit texts keep coming.
class BossBattle {
public:
    static constexpr size_t MOST_PROJECTILES = 60;   // the bowl may hold some; keep the scene steady

    BossBattle()
    {
        g_StageIndex = 4;
        for (const char* key : {"XSt5Enemy", "XSt5Obj", "XSt5Bomm"}) {
            auto* mesh = new CXFile("X/Top.x");
            AddTask(PRIORITY_RESOURCE, mesh, key);
            RegisterResource(key, mesh);
            SetDrawStop(key);
        }
        m_Boss = new St5Enemy;
        AddTask(PRIORITY_ENEMY, m_Boss, BOSS_TASK_NAME);
        m_Boss->m_BombHits = 2;
        for (int i = 0; i < 300; ++i) BusyFrame();   // a ring in flight and a volley going
    }

    void BusyFrame()
    {
        if (!m_Boss->IsFiring()) m_Boss->m_ChargeTime = g_FrameTime - St5Enemy::VolleyWaitMs(0) - 1;
        std::vector<CGameObject*> projectiles;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* o = dynamic_cast<CObj*>(e->object); o && !o->IsBomb()) projectiles.push_back(o);
        for (size_t i = 0; i + MOST_PROJECTILES < projectiles.size(); ++i) RemoveTask(projectiles[i]);
        m_Scene.BusyFrame();
    }

private:
    BattleScene m_Scene;
    St5Enemy* m_Boss = nullptr;
};

void BM_BossBattleFrameWithVolleyAndRing(benchmark::State& state)
{
    BossBattle battle;
    for (auto _ : state) battle.BusyFrame();
}
BENCHMARK(BM_BossBattleFrameWithVolleyAndRing)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ParticleBurstUpdate(benchmark::State& state)
{
    g_FrameTime = 0;
    RemoveAllTasks();
    CPSprite burst(0, 0, 0, CPSprite::KIND_SPARK_BRIGHT, 900);
    auto& parts = const_cast<std::vector<CPSprite::Particle>&>(burst.Particles());
    for (auto& p : parts) p.life = 1.0e6f;   // never expires, never removed
    for (auto _ : state) {
        g_FrameTime += 17;
        burst.Update();
        benchmark::DoNotOptimize(burst.Vertices().data());
    }
}
BENCHMARK(BM_ParticleBurstUpdate)->Unit(benchmark::kMicrosecond);

}   // namespace
