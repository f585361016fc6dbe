// PlayerSession puts the player's files to work for one run: the settings
// (with this run's overrides from the command line) go into the game's
// options, the progress into the progress book, and at the end the settings
// are written back when the window's state has changed or there was no file
// yet, so the player finds one to edit.
#pragma once

#include <optional>

#include "app/PlayerFiles.h"
#include "core/Settings.h"

class GameApp;
struct GameOptions;

class PlayerSession {
public:
    struct Overrides {
        std::optional<bool> fullscreen;
        std::optional<int> musicVolume;
        std::optional<int> effectsVolume;
    };

    explicit PlayerSession(PlayerFiles files);

    // Reads both files; the options get the settings as this run uses them.
    void Begin(GameOptions* options, const Overrides& overrides);
    // Writes the settings back when they should be; false when a write failed.
    bool End(const GameApp& app);

    const Settings& Saved() const { return m_Saved; }

private:
    bool SaveSettings(const Settings& settings);

    PlayerFiles m_Files;
    Settings m_Saved;   // as on disk (or the defaults)
    bool m_HadFile = false;
    bool m_StartedFullscreen = true;   // this run's start, overrides included
};
