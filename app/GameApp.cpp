#include "app/GameApp.h"

#include <cstdio>
#include <ctime>
#include <string_view>

#include "app/CTaskHead.h"
#include "app/CTaskTail.h"
#include "app/FirstScreen.h"
#include "app/ReplayRecorder.h"
#include "audio/CSound.h"
#include "core/FirstPlay.h"
#include "core/PauseClock.h"
#include "input/BoundKeySource.h"
#include "scene/CPauseMenu.h"
#include "platform/AudioOutput.h"
#include "platform/audio/NullAudioOutput.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "stage/StageLoader.h"
#include "gfx/Graphics.h"
#include "hud/CSpriteRenderBase.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/RecordingDevice.h"
#include "platform/sdl/SdlKeySource.h"
#include "platform/sdl/SdlWindow.h"
#include "scene/CResult.h"

GameApp::GameApp() = default;

GameApp::~GameApp() { Shutdown(); }

bool GameApp::CreateVideo(const GameOptions& options)
{
    if (options.video == GameOptions::Video::Recording) {
        m_recording = std::make_unique<plat::RecordingDevice>();
        m_recording->SetKeepCalls(false);
        return true;
    }
    auto mode = options.video == GameOptions::Video::Window ? plat::WindowMode::Window
                                                            : plat::WindowMode::Offscreen;
    m_window = std::make_unique<plat::SdlWindow>();
    m_window->SetWindowedSize(options.settings.windowWidth, options.settings.windowHeight);
    if (!m_window->Create(mode, options.fullscreen)) {
        m_window.reset();
        return false;
    }
    return true;
}

plat::RenderDevice* GameApp::Device() const
{
    if (m_recording) return m_recording.get();
    if (m_window) return &m_window->Device();
    return nullptr;
}

bool GameApp::Start(const GameOptions& options)
{
    if (m_started) return true;
    ResetQuitRequest();

    // The game's random numbers, seeded from the calendar time unless a seed is given.
    const uint32_t seed = options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
    GameSrand(seed);

    // The clock the game reads.
    if (options.virtualClock) {
        m_virtualClock = std::make_unique<plat::VirtualClock>(options.clockStartMs);
        plat::SetClock(m_virtualClock.get());
    }

    // The window (or the offscreen surface) and the device.
    if (!CreateVideo(options)) return false;
    InitGraphics(Device());
    CSpriteRenderBase::SetResultStarter(&CResult::Start);

    // The keyboard, seen through the recorder when the session is recorded.
    plat::KeySource* keys = options.keySource;
    if (!keys && (options.scriptedKeys || !m_window)) {
        m_scriptedKeys = std::make_unique<plat::ScriptedKeySource>();
        keys = m_scriptedKeys.get();
    } else if (!keys) {
        m_keys = std::make_unique<plat::SdlKeySource>(*m_window);
        keys = m_keys.get();
    }
    // The player's keys become the ones the game reads, before a recording sees
    // them; a replay's keys were recorded so already.
    if (!options.keySource) {
        m_boundKeys = std::make_unique<BoundKeySource>(keys, options.settings.keys[0]);
        keys = m_boundKeys.get();
    }
    if (!options.recordPath.empty()) {
        m_recorder = std::make_unique<ReplayRecorder>(keys, seed, options.startStage, plat::NowMs());
        m_recorder->SetHowToPlay(options.howToPlay);
        m_recordPath = options.recordPath;
        keys = m_recorder.get();
    }
    plat::SetKeySource(keys);

    // Sound, at the player's volumes.
    CreateAudio(options);
    m_audio->GetMixer().SetBusGain(plat::MixBus::Music, Settings::VolumeGain(options.settings.musicVolume));
    m_audio->GetMixer().SetBusGain(plat::MixBus::Effects, Settings::VolumeGain(options.settings.effectsVolume));

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
    m_started = true;
    return true;
}

void GameApp::AddFirstTasks(const GameOptions& options)
{
    AddFirstScreen(options.startStage);
}

void GameApp::Frame()
{
    const bool loading = IsStageLoadInProgress();
    UpdatePass();
    CPauseMenu::OpenIfAsked();
    DrawPass();
    AdvanceSilentAudio();
    if (m_recorder) m_recorder->EndFrame(g_FrameTime, loading && !IsStageLoadInProgress());
}

void GameApp::RunLoop()
{
    if (!m_started) return;
    while (!QuitRequested()) {
        if (!m_window || !m_window->HasPendingEvent()) {
            Frame();
            continue;
        }
        switch (m_window->NextEvent()) {
        case plat::WindowEvent::Quit:
        case plat::WindowEvent::EscapeDown:
            PostQuit();
            break;
        default:
            break;
        }
    }
}

bool GameApp::Shutdown()
{
    if (!m_started) return true;
    m_started = false;

    bool saved = true;
    if (m_recorder) {
        std::string error;
        saved = m_recorder->Recorded().Save(m_recordPath, &error);
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
    m_audio.reset();

    plat::SetKeySource(nullptr);
    TaskList::Instance().ThawUpdates();
    PauseClock::Reset();
    m_recorder.reset();
    m_boundKeys.reset();
    m_keys.reset();
    m_scriptedKeys.reset();
    m_recording.reset();
    m_window.reset();
    if (m_virtualClock) {
        plat::SetClock(nullptr);
        m_virtualClock.reset();
    }
    return saved;
}

bool GameApp::WindowState(bool* fullscreen, int* width, int* height) const
{
    if (!m_window || m_window->Mode() != plat::WindowMode::Window) return false;
    *fullscreen = m_window->IsFullscreen();
    m_window->WindowedSize(width, height);
    return true;
}

void GameApp::CreateAudio(const GameOptions& options)
{
    // Without a sound device the game runs silent on the null output.
    if (options.realAudio) {
        m_audio = plat::OpenAudioOutput();
        if (std::string_view(m_audio->Kind()) == "null")
            std::fprintf(stderr, "spindrel: no sound device could be opened; the game plays without sound\n");
    } else {
        m_audio = std::make_unique<plat::NullAudioOutput>(plat::NowMs());
    }
    plat::SetAudioOutput(m_audio.get());
}

void GameApp::AdvanceSilentAudio()
{
    if (m_audio) m_audio->AdvanceTo(plat::NowMs());
}
