#include "app/PlayerSession.h"

#include "app/GameApp.h"
#include "core/PlayerFile.h"
#include "core/ProgressBook.h"

PlayerSession::PlayerSession(PlayerFiles files) : m_files(std::move(files)) {}

void PlayerSession::Begin(GameOptions* options, const Overrides& overrides)
{
    m_hadFile = PlayerFile(m_files.SettingsPath()).Exists();
    m_saved = m_files.LoadSettings();
    Settings used = m_saved;
    if (overrides.fullscreen) used.fullscreen = *overrides.fullscreen;
    if (overrides.musicVolume) used.musicVolume = *overrides.musicVolume;
    if (overrides.effectsVolume) used.effectsVolume = *overrides.effectsVolume;
    options->settings = used;
    options->fullscreen = used.fullscreen;
    m_startedFullscreen = used.fullscreen;
    ProgressBook::Configure(m_files.LoadProgress(), m_files.ProgressSaver());
}

bool PlayerSession::End(const GameApp& app)
{
    if (m_files.SettingsPath().empty()) return true;
    Settings kept = m_saved;
    bool fullscreen = kept.fullscreen;
    int width = kept.windowWidth, height = kept.windowHeight;
    if (app.WindowState(&fullscreen, &width, &height)) {
        // Full screen is kept when the player switched it, not when an option chose it.
        if (fullscreen != m_startedFullscreen) kept.fullscreen = fullscreen;
        kept.windowWidth = width;
        kept.windowHeight = height;
    }
    if (m_hadFile && kept == m_saved) return true;
    const bool saved = m_files.SaveSettings(kept);
    if (saved) {
        m_saved = kept;
        m_hadFile = true;
    }
    return saved;
}
