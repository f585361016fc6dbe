#include "app/PlayerFiles.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "core/PlayerFile.h"

namespace fs = std::filesystem;

namespace {

// The text of a file, or nothing when there is none or it cannot be read (said once).
std::optional<std::string> ReadText(const fs::path& path)
{
    if (path.empty()) return std::nullopt;
    std::string error;
    auto text = PlayerFile(path).Read(&error);
    if (!text && !error.empty()) std::fprintf(stderr, "spindrel: %s; the defaults are used\n", error.c_str());
    return text;
}

bool WriteText(const fs::path& path, const std::string& text)
{
    if (path.empty()) return true;
    std::string error;
    if (PlayerFile(path).Write(text, &error)) return true;
    std::fprintf(stderr, "spindrel: %s; it is not saved\n", error.c_str());
    return false;
}

fs::path RunnerPath(PlayerFile::Home home, const char* variable, const char* file)
{
    const char* folder = std::getenv(variable);
    if (!folder || folder[0] != '/') return {};
    return PlayerFile::PathFor(home, folder, nullptr, file);
}

}   // namespace

PlayerFiles::PlayerFiles(fs::path settingsPath, fs::path progressPath)
    : m_SettingsPath(std::move(settingsPath)), m_ProgressPath(std::move(progressPath))
{
}

PlayerFiles PlayerFiles::ForGame()
{
    return PlayerFiles(PlayerFile::DefaultPath(PlayerFile::Home::Config, SETTINGS_FILE),
                       PlayerFile::DefaultPath(PlayerFile::Home::Data, PROGRESS_FILE));
}

PlayerFiles PlayerFiles::ForRunner()
{
    return PlayerFiles(RunnerPath(PlayerFile::Home::Config, "XDG_CONFIG_HOME", SETTINGS_FILE),
                       RunnerPath(PlayerFile::Home::Data, "XDG_DATA_HOME", PROGRESS_FILE));
}

std::string PlayerFiles::DescribeProblems(const fs::path& path, const std::vector<IniProblem>& problems)
{
    if (problems.empty()) return {};
    const IniProblem& first = problems.front();
    std::string line = path.string() + ": ";
    if (first.line > 0) line += "line " + std::to_string(first.line) + ": ";
    line += first.why;
    if (problems.size() > 1) line += " (and " + std::to_string(problems.size() - 1) + " more)";
    return line + "; ignored";
}

Settings PlayerFiles::LoadSettings()
{
    const auto text = ReadText(m_SettingsPath);
    if (!text) return Settings{};
    std::vector<IniProblem> problems;
    Settings settings = Settings::Read(*text, &problems, &m_SettingsLines);
    if (!problems.empty()) std::fprintf(stderr, "spindrel: %s\n", DescribeProblems(m_SettingsPath, problems).c_str());
    return settings;
}

bool PlayerFiles::SaveSettings(const Settings& settings)
{
    return WriteText(m_SettingsPath, settings.Write(m_SettingsLines));
}

Progress PlayerFiles::LoadProgress()
{
    const auto text = ReadText(m_ProgressPath);
    if (!text) return Progress{};
    std::vector<IniProblem> problems;
    Progress progress = Progress::Read(*text, &problems, &m_ProgressLines);
    if (!problems.empty()) std::fprintf(stderr, "spindrel: %s\n", DescribeProblems(m_ProgressPath, problems).c_str());
    return progress;
}

bool PlayerFiles::SaveProgress(const Progress& progress)
{
    return WriteText(m_ProgressPath, progress.Write(m_ProgressLines));
}

std::function<void(const Progress&)> PlayerFiles::ProgressSaver()
{
    if (m_ProgressPath.empty()) return {};
    return [path = m_ProgressPath, lines = m_ProgressLines](const Progress& progress) {
        WriteText(path, progress.Write(lines));
    };
}
