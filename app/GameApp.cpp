#include "app/GameApp.h"

#include <cstdio>
#include <ctime>
#include <string_view>

#include "app/CTaskHead.h"
#include "app/CTaskTail.h"
#include "app/FirstScreen.h"
#include "app/ReplayPlayer.h"
#include "app/ReplayRecorder.h"
#include "audio/CSound.h"
#include "core/FirstPlay.h"
#include "core/FrameStats.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/PauseClock.h"
#include "core/ResourceRegistry.h"
#include "core/SettingsBook.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "core/VersusMatch.h"
#include "gfx/Graphics.h"
#include "hud/CSpriteRenderBase.h"
#include "input/BoundKeySource.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/MemoryPolicy.h"
#include "platform/RecordingDevice.h"
#include "platform/audio/NullAudioOutput.h"
#include "platform/sdl/SdlKeySource.h"
#include "platform/sdl/SdlWindow.h"
#include "scene/BattleResult.h"
#include "scene/CPauseMenu.h"
#include "stage/StageLoader.h"

GameApp::GameApp() = default;

GameApp::~GameApp() { Shutdown(); }

bool GameApp::CreateVideo(const GameOptions& options)
{
    if (options.video == GameOptions::Video::Recording) {
        m_Recording = std::make_unique<plat::RecordingDevice>();
        m_Recording->SetKeepCalls(false);
        return true;
    }
    auto mode = options.video == GameOptions::Video::Window ? plat::WindowMode::Window : plat::WindowMode::Offscreen;
    m_Window = std::make_unique<plat::SdlWindow>();
    m_Window->SetWindowedSize(options.settings.windowWidth, options.settings.windowHeight);
    if (!m_Window->Create(mode, options.fullscreen)) {
        m_Window.reset();
        return false;
    }
    return true;
}

plat::RenderDevice* GameApp::Device() const
{
    if (m_Recording) return m_Recording.get();
    if (m_Window) return &m_Window->Device();
    return nullptr;
}

bool GameApp::Start(const GameOptions& options)
{
    if (m_Started) return true;
    ResetQuitRequest();

    m_Replay = options.replay;
    plat::UseGameAllocationPolicy();
    // The game's random numbers, seeded from the calendar time unless a seed is given.
    const uint32_t seed = options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
    GameSrand(seed);

    // The clock the game reads.
    if (options.virtualClock) {
        m_VirtualClock = std::make_unique<plat::VirtualClock>(options.clockStartMs);
        plat::SetClock(m_VirtualClock.get());
    }

    // The window (or the offscreen surface) and the device.
    if (!CreateVideo(options)) return false;
    InitGraphics(Device());
    CSpriteRenderBase::SetResultStarter(&StartBattleResult);

    // The keyboard, seen through the recorder when the session is recorded.
    plat::KeySource* keys = options.keySource;
    if (!keys && (options.scriptedKeys || !m_Window)) {
        m_ScriptedKeys = std::make_unique<plat::ScriptedKeySource>();
        keys = m_ScriptedKeys.get();
    } else if (!keys) {
        m_Keys = std::make_unique<plat::SdlKeySource>(*m_Window);
        keys = m_Keys.get();
    }
    // The player's keys become the ones the game reads, before a recording sees
    // them; a replay's keys were recorded so already.
    if (!options.keySource) {
        m_BoundKeys = std::make_unique<BoundKeySource>(keys, options.settings.keys[0]);
        keys = m_BoundKeys.get();
    }
    if (!options.recordPath.empty()) {
        m_Recorder = std::make_unique<ReplayRecorder>(keys, seed, options.startStage, plat::NowMs());
        m_Recorder->SetHowToPlay(options.howToPlay);
        m_Recorder->SetVersus(options.versus);
        m_RecordPath = options.recordPath;
        keys = m_Recorder.get();
    }
    plat::SetKeySource(keys);

    // Sound, at the player's volumes.
    CreateAudio(options);
    m_Audio->GetMixer().SetBusGain(plat::MixBus::Music, Settings::VolumeGain(options.settings.musicVolume));
    m_Audio->GetMixer().SetBusGain(plat::MixBus::Effects, Settings::VolumeGain(options.settings.effectsVolume));

    SettingsBook::Configure(options.savedSettings, options.settings, options.saveSettings,
                            [this](const Settings& settings) { ApplySettings(settings); });

    // The two tasks that bracket every frame.
    AddTask(PRIORITY_HEAD, new CTaskHead, TASK_HEAD_NAME);
    AddTask(PRIORITY_TAIL, new CTaskTail, TASK_TAIL_NAME);

    // The registry starts empty.
    ClearResources();

    // Whether the way to stage 1 shows the how-to-play card.
    FirstPlay::Configure(options.howToPlay, options.onHowToPlaySeen);

    // The first screen, already in the first frame.
    AddFirstTasks(options);
    PauseClock::Reset();
    g_FrameTime = plat::NowMs();
    m_Started = true;
    return true;
}

void GameApp::AddFirstTasks(const GameOptions& options)
{
    // A session that starts on a versus match's arena begins its match before the arena loads.
    if (options.versus)
        VersusMatch::Current().Begin(options.startStage);
    else
        VersusMatch::Current().End();
    AddFirstScreen(options.startStage);
}

void GameApp::Frame()
{
    const bool loading = IsStageLoadInProgress();
    UpdatePass();
    CPauseMenu::OpenIfAsked();
    DrawPass();
    AdvanceSilentAudio();
    if (m_Recorder) m_Recorder->EndFrame(g_FrameTime, loading && !IsStageLoadInProgress());
}

void GameApp::RunLoop() { RunLoop(nullptr, std::chrono::steady_clock::now()); }

void GameApp::RunLoop(FrameStats* stats, std::chrono::steady_clock::time_point programStart)
{
    if (!m_Started) return;
    using Clock = std::chrono::steady_clock;
    const auto msSince = [](Clock::time_point from) {
        return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
    };
    const Clock::time_point playStart = Clock::now();
    const std::clock_t cpuStart = std::clock();
    while (!QuitRequested()) {
        if (!m_Window || !m_Window->HasPendingEvent()) {
            if (m_Replay && !(m_VirtualClock && m_Replay->BeginFrame(*m_VirtualClock))) {
                PostQuit();
                break;
            }
            const Clock::time_point frameStart = Clock::now();
            Frame();
            if (stats) {
                if (stats->Frames() == 0) stats->SetFirstFrameMs(msSince(programStart));
                stats->AddFrame(msSince(frameStart));
            }
            continue;
        }
        switch (m_Window->NextEvent()) {
            case plat::WindowEvent::Quit:
            case plat::WindowEvent::EscapeDown: PostQuit(); break;
            case plat::WindowEvent::FullscreenToggled: SettingsBook::NoteFullscreen(m_Window->IsFullscreen()); break;
            default: break;
        }
    }
    if (stats && m_Window) stats->SetStillFrames(m_Window->Device().StillFramesSkipped());
    if (stats)
        stats->SetPlay(msSince(playStart) / 1000.0,
                       static_cast<double>(std::clock() - cpuStart) / static_cast<double>(CLOCKS_PER_SEC));
}

bool GameApp::Shutdown()
{
    if (!m_Started) return true;
    m_Started = false;

    bool saved = true;
    if (m_Recorder) {
        std::string error;
        saved = m_Recorder->Recorded().Save(m_RecordPath, &error);
        if (!saved) std::fprintf(stderr, "spindrel: %s\n", error.c_str());
    }

    // The graphics objects go first, while the device still exists.
    ReleaseGraphics();
    // Every task object, resources included, lowest priority first.
    RemoveAllTasks();
    // The registry, which named some of them.
    ClearResources();
    FirstPlay::Configure(false);
    // Sound: one-shots still playing are stopped and freed first.
    CSound::StopAllOneShots();
    plat::SetAudioOutput(nullptr);
    m_Audio.reset();

    plat::SetKeySource(nullptr);
    TaskList::Instance().ThawUpdates();
    PauseClock::Reset();
    m_Recorder.reset();
    m_Replay = nullptr;
    m_BoundKeys.reset();
    m_Keys.reset();
    m_ScriptedKeys.reset();
    m_Recording.reset();
    m_Window.reset();
    if (m_VirtualClock) {
        plat::SetClock(nullptr);
        m_VirtualClock.reset();
    }
    return saved;
}

void GameApp::ApplySettings(const Settings& settings)
{
    if (m_BoundKeys) m_BoundKeys->Rebind(settings.keys[0]);
    if (m_Window && m_Window->Mode() == plat::WindowMode::Window && m_Window->IsFullscreen() != settings.fullscreen)
        m_Window->SetFullscreen(settings.fullscreen);
}

bool GameApp::WindowState(bool* fullscreen, int* width, int* height) const
{
    if (!m_Window || m_Window->Mode() != plat::WindowMode::Window) return false;
    *fullscreen = m_Window->IsFullscreen();
    m_Window->WindowedSize(width, height);
    return true;
}

void GameApp::CreateAudio(const GameOptions& options)
{
    // Without a sound device the game runs silent on the null output.
    if (options.realAudio) {
        m_Audio = plat::OpenAudioOutput();
        if (std::string_view(m_Audio->Kind()) == "null")
            std::fprintf(stderr, "spindrel: no sound device could be opened; the game plays without sound\n");
    } else {
        m_Audio = std::make_unique<plat::NullAudioOutput>(plat::NowMs());
    }
    plat::SetAudioOutput(m_Audio.get());
}

void GameApp::AdvanceSilentAudio()
{
    if (m_Audio) m_Audio->AdvanceTo(plat::NowMs());
}
