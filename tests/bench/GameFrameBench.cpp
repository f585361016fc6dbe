// Whole-game frames on the offscreen OpenGL device: the real game started as
// the headless runner starts it (virtual clock, scripted keys, silent sound),
// brought to a scene by its keys, then timed frame by frame, each frame waited
// for until the device has finished it. On a machine without a GPU this is
// the software rasteriser's frame rate, reported as the "fps" counter; the
// CPU column is the time of every thread of the process (steadier than the
// frame rate on a shared machine).
//
// Each scene is one entry of kScenes: the stage to open (or the first screen),
// the keys, the frames to play before timing, whether hit sparks are kept
// alive, and what to set up once before the timing starts.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "core/Task.h"
#include "effect/CPSprite.h"
#include "enemy/St5Enemy.h"
#include "game/CKoma.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/gl/GLRenderDevice.h"
#include "stage/StageLoader.h"

namespace {

namespace fs = std::filesystem;

// The game's frames are timed in a fixed number, so every run plays the same ones.
constexpr int kTimedFrames = 480;
// Two 900-particle bursts every this many frames, as a run of hits gives.
constexpr int kSparkPeriod = 12;
constexpr uint32_t kBurstSize = 900;
// Frames each stage load shows its loading screen, as in the headless runner.
constexpr int kLoadingFrames = 8;

struct KeyEvent {
    int frame;
    int key;
    bool down;
};

struct Scene {
    const char* name;
    int startStage;               // 0..4, or -1 for the first screen
    std::vector<KeyEvent> keys;   // frames counted from the start
    int warmFrames;               // played before the timing starts
    bool sparks;                  // keep two hit bursts alive at the player's top
    // Keys of the timed frames, given the frame counted from the start.
    std::function<void(int frame, plat::ScriptedKeySource&)> timedKeys;
    std::function<void()> beforeTiming;   // optional
};

// Stage 1: launch, steer left, then charge and dash over and over while sparks fly.
constexpr int kLaunchFrame = 56;
constexpr int kChargePeriod = 120;   // frames of one charge and dash
constexpr int kChargeHeld = 80;      // Z held for most of it: the aura shows

void ChargeAndDash(int frame, plat::ScriptedKeySource& keys)
{
    keys.SetKey(plat::KEY_Z, frame % kChargePeriod < kChargeHeld);
}

// Stage 5: the boss is given the bomb hits after which every volley ends in
// a full ring, so the timed frames see a volley and its ring.
void BossFiresRings()
{
    if (auto* boss = static_cast<St5Enemy*>(FindTask(BOSS_TASK_NAME))) boss->m_BombHits = St5Enemy::RING_HITS;
}

// The title from its first frame: the opening animation, no keys.
constexpr int kTitleWarmFrames = 2;

const Scene kScenes[] = {
    {"Stage1Battle",
     0,
     {{kLaunchFrame, plat::KEY_Z, true}, {kLaunchFrame + 4, plat::KEY_Z, false}, {420, plat::KEY_LEFT, true}},
     440,
     true,
     ChargeAndDash,
     nullptr},
    {"Title", -1, {}, kTitleWarmFrames, false, nullptr, nullptr},
    {"Stage5Boss",
     4,
     {{kLaunchFrame, plat::KEY_Z, true}, {kLaunchFrame + 4, plat::KEY_Z, false}},
     440,
     false,
     nullptr,
     BossFiresRings},
};

// The generated data folder, from the repository root or the build folder.
fs::path DataDir()
{
    for (const char* candidate : {"build/data", "data"}) {
        std::error_code ec;
        if (fs::is_directory(fs::path(candidate) / "X", ec)) return fs::absolute(candidate, ec);
    }
    return {};
}

class GameDriver {
public:
    bool Start(const Scene& scene, const fs::path& data)
    {
        m_OldDir = fs::current_path();
        fs::current_path(data);
        GameOptions options;
        options.video = GameOptions::Video::Offscreen;
        options.realAudio = false;
        options.virtualClock = true;
        options.scriptedKeys = true;
        options.seed = 7;
        options.startStage = scene.startStage;
        m_App = std::make_unique<GameApp>();
        if (!m_App->Start(options)) return false;
        m_Device = dynamic_cast<plat::GLRenderDevice*>(m_App->Device());
        return m_Device != nullptr;
    }

    ~GameDriver()
    {
        HoldStageHandOver(false);
        if (m_App) m_App->Shutdown();
        m_App.reset();
        std::error_code ec;
        if (!m_OldDir.empty()) fs::current_path(m_OldDir, ec);
    }

    void Frame(const Scene& scene)
    {
        for (const KeyEvent& e : scene.keys)
            if (e.frame == m_Frame) m_App->ScriptedKeys()->SetKey(e.key, e.down);
        if (m_Frame >= scene.warmFrames && scene.timedKeys) scene.timedKeys(m_Frame, *m_App->ScriptedKeys());
        if (scene.sparks && m_Frame % kSparkPeriod == 0) AddSparks();
        m_App->VirtualClockOrNull()->AdvanceFrame();
        PaceStageLoad();
        m_App->Frame();
        m_Device->Finish();
        ++m_Frame;
    }

private:
    void AddSparks()
    {
        auto* top = static_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
        if (!top) return;
        const plat::Vec3& p = top->m_Pos;
        AddTask(new CPSprite(p.x, p.y, p.z, CPSprite::KIND_SPARK_BRIGHT, kBurstSize), PRIORITY_EFFECT);
        AddTask(new CPSprite(p.x, p.y, p.z, CPSprite::KIND_SPARK, kBurstSize), PRIORITY_EFFECT);
    }

    // Every load shows its loading screen for the same frames, then waits for
    // the loader, so runs repeat frame for frame.
    void PaceStageLoad()
    {
        if (!IsStageLoadInProgress()) {
            m_LoadingFramesShown = 0;
            HoldStageHandOver(false);
            return;
        }
        const bool hold = m_LoadingFramesShown < kLoadingFrames;
        HoldStageHandOver(hold);
        if (hold)
            ++m_LoadingFramesShown;
        else
            WaitForStageLoader();
    }

    std::unique_ptr<GameApp> m_App;
    plat::GLRenderDevice* m_Device = nullptr;
    fs::path m_OldDir;
    int m_Frame = 0;
    int m_LoadingFramesShown = 0;
};

void BM_GameFrames(benchmark::State& state, const Scene* scene)
{
    const fs::path data = DataDir();
    if (data.empty()) {
        state.SkipWithError("the generated data set is not built (run from the repository or build folder)");
        return;
    }
    GameDriver game;
    if (!game.Start(*scene, data)) {
        state.SkipWithError("the game could not start on an offscreen OpenGL device");
        return;
    }
    for (int i = 0; i < scene->warmFrames; ++i) game.Frame(*scene);
    if (scene->beforeTiming) scene->beforeTiming();
    for (auto _ : state) game.Frame(*scene);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

const bool kRegistered = [] {
    for (const Scene& scene : kScenes)
        benchmark::RegisterBenchmark((std::string("BM_GameFrames/") + scene.name).c_str(), BM_GameFrames, &scene)
            ->Iterations(kTimedFrames)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()   // the rasteriser's threads count too
            ->UseRealTime();
    return true;
}();

}   // namespace
