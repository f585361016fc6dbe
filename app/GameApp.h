// GameApp is responsible for the program's life: start-up of the services in
// their fixed order, the frame loop, and shutdown in its fixed order. The same
// shell runs the real game (a window, sound, the real clock and keyboard) and
// the headless runner (offscreen or recording video, silent sound, a virtual
// clock, scripted keys).
#pragma once

#include <chrono>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/Settings.h"

namespace plat {
class RenderDevice;
class RecordingDevice;
class SdlWindow;
class VirtualClock;
class RealClock;
class KeySource;
class ScriptedKeySource;
class AudioOutput;
}   // namespace plat
class ReplayRecorder;
class ReplayPlayer;
class BoundKeySource;

class FrameStats;

struct GameOptions {
    enum class Video { Window, Offscreen, Recording };
    Video video = Video::Window;
    bool fullscreen = true;                              // a window: desktop full screen, or a resizable window
    bool realAudio = true;                               // false: the silent output that follows the game's clock
    bool virtualClock = false;                           // true: time moves only when the runner says so
    bool scriptedKeys = false;                           // true: keys come from the runner's script
    std::optional<uint32_t> seed;                        // default: the calendar time
    int startStage = -1;                                 // 0..4 loads that stage at once; -1 opens the first screen
    uint32_t clockStartMs = 0;                           // the virtual clock's first reading
    plat::KeySource* keySource = nullptr;                // keys from elsewhere (a replay); overrides the others
    std::string recordPath;                              // record the session into this replay file
    ReplayPlayer* replay = nullptr;                      // plays a recorded session (also its keySource)
    bool howToPlay = false;                              // show the how-to-play card on the way to stage 1
    bool versus = false;                                 // the stage loaded at once is a versus match's arena
    std::function<void()> onHowToPlaySeen;               // called once when the player skips the card
    Settings settings;                                   // volumes, the first player's keys, the window's size
    Settings savedSettings;                              // the settings as on disk
    std::function<bool(const Settings&)> saveSettings;   // writes them (empty: they are not kept)
};

class GameApp {
public:
    GameApp();
    ~GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // Start-up. False (with a message on standard error) when the window or
    // the graphics device cannot be created; nothing is left running then.
    bool Start(const GameOptions& options);
    // One frame: an update pass and a draw pass.
    void Frame();
    // The frame loop of the real program: frames run only while no event is
    // waiting, one event is handled per iteration; returns when the program
    // is asked to close (after the frame in progress), or when a replay
    // being played has run out of frames.
    void RunLoop();
    // The same, timing every frame shown into *stats, and the first one from
    // programStart (when the program began).
    void RunLoop(FrameStats* stats, std::chrono::steady_clock::time_point programStart);
    // Shutdown in its fixed order; safe to call twice. A session being
    // recorded is saved first; false (with a message on standard error) when
    // it could not be.
    bool Shutdown();

    plat::RenderDevice* Device() const;
    plat::VirtualClock* VirtualClockOrNull() const { return m_VirtualClock.get(); }
    plat::ScriptedKeySource* ScriptedKeys() const { return m_ScriptedKeys.get(); }
    bool Started() const { return m_Started; }
    // Full screen or not, and the windowed size, as the window is now (false
    // when there is no window on a display).
    bool WindowState(bool* fullscreen, int* width, int* height) const;

private:
    bool CreateVideo(const GameOptions& options);
    void CreateAudio(const GameOptions& options);
    void AddFirstTasks(const GameOptions& options);
    void AdvanceSilentAudio();
    // Puts settings the options screen changed to work: the first player's keys and the window.
    void ApplySettings(const Settings& settings);

    std::unique_ptr<plat::SdlWindow> m_Window;
    std::unique_ptr<plat::RecordingDevice> m_Recording;
    std::unique_ptr<plat::VirtualClock> m_VirtualClock;
    std::unique_ptr<plat::KeySource> m_Keys;
    std::unique_ptr<plat::ScriptedKeySource> m_ScriptedKeys;
    std::unique_ptr<plat::AudioOutput> m_Audio;
    std::unique_ptr<BoundKeySource> m_BoundKeys;
    std::unique_ptr<ReplayRecorder> m_Recorder;
    ReplayPlayer* m_Replay = nullptr;
    std::string m_RecordPath;
    bool m_Started = false;
};
