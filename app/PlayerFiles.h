// PlayerFiles are the two files the game keeps for the player: settings.ini
// under the configuration home and progress.ini under the data home. Each is
// read once at start; what is wrong in it is told in one line on standard
// error and the rest is used. Writing them keeps every line the game did not
// understand, and a write that fails leaves the file on disk as it was.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "core/IniDocument.h"
#include "core/Progress.h"
#include "core/Settings.h"

class PlayerFiles {
public:
    static constexpr const char* SETTINGS_FILE = "settings.ini";
    static constexpr const char* PROGRESS_FILE = "progress.ini";

    // Empty paths: no file (nothing read, nothing written).
    PlayerFiles(std::filesystem::path settingsPath, std::filesystem::path progressPath);
    // The game's: XDG_CONFIG_HOME and XDG_DATA_HOME, else under HOME.
    static PlayerFiles ForGame();
    // The headless runner's: only the folders XDG_CONFIG_HOME and
    // XDG_DATA_HOME name, so that a run never depends on the player's own files.
    static PlayerFiles ForRunner();

    // The settings on disk (defaults when there are none).
    Settings LoadSettings();
    // Writes settings; false (said on standard error) when it could not.
    bool SaveSettings(const Settings& settings);
    Progress LoadProgress();
    bool SaveProgress(const Progress& progress);
    // Saves each change of progress (for the progress book).
    std::function<void(const Progress&)> ProgressSaver();

    const std::filesystem::path& SettingsPath() const { return m_SettingsPath; }
    const std::filesystem::path& ProgressPath() const { return m_ProgressPath; }

    // The one line that tells what was wrong in a file, or empty when nothing was.
    static std::string DescribeProblems(const std::filesystem::path& path, const std::vector<IniProblem>& problems);

private:
    std::filesystem::path m_SettingsPath;
    std::filesystem::path m_ProgressPath;
    IniDocument m_SettingsLines;   // as read, so that a write keeps what the game does not know
    IniDocument m_ProgressLines;
};
