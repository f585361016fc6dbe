#include "app/PlayerSession.h"

#include "app/GameApp.h"
#include "core/PlayerFile.h"
#include "core/ProgressBook.h"
#include "core/SettingsBook.h"

PlayerSession::PlayerSession(PlayerFiles files) : m_Files(std::move(files)) {}

void PlayerSession::Begin(GameOptions* options, const Overrides& overrides)
{
    m_HadFile = PlayerFile(m_Files.SettingsPath()).Exists();
    m_Saved = m_Files.LoadSettings();
    Settings used = m_Saved;
    if (overrides.fullscreen) used.fullscreen = *overrides.fullscreen;
    if (overrides.musicVolume) used.musicVolume = *overrides.musicVolume;
    if (overrides.effectsVolume) used.effectsVolume = *overrides.effectsVolume;
    options->settings = used;
    options->fullscreen = used.fullscreen;
    m_StartedFullscreen = used.fullscreen;
    options->savedSettings = m_Saved;
    if (!m_Files.SettingsPath().empty())
        options->saveSettings = [this](const Settings& settings) { return SaveSettings(settings); };
    ProgressBook::Configure(m_Files.LoadProgress(), m_Files.ProgressSaver());
}

bool PlayerSession::End(const GameApp& app)
{
    if (m_Files.SettingsPath().empty()) return true;
    // What the options screen saved during the run is the file's content now.
    if (app.Started()) m_Saved = SettingsBook::Saved();
    Settings kept = m_Saved;
    bool fullscreen = kept.fullscreen;
    int width = kept.windowWidth, height = kept.windowHeight;
    if (app.WindowState(&fullscreen, &width, &height)) {
        // Full screen is kept when the player switched it, not when an option chose it.
        if (fullscreen != m_StartedFullscreen) kept.fullscreen = fullscreen;
        kept.windowWidth = width;
        kept.windowHeight = height;
    }
    if (m_HadFile && kept == m_Saved) return true;
    return SaveSettings(kept);
}

bool PlayerSession::SaveSettings(const Settings& settings)
{
    if (!m_Files.SaveSettings(settings)) return false;
    m_Saved = settings;
    m_HadFile = true;
    return true;
}
