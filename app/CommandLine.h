// CommandLine is responsible for reading the game's options: --help,
// --version, --windowed, --fullscreen, --data DIR, --record FILE and --stage K. It only reads; main
// decides what to print and which exit code to return.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class CommandLine {
public:
    enum class Action { Run, ShowHelp, ShowVersion, Fail };

    // Exit codes for the outcomes that never start the game.
    static constexpr int EXIT_USAGE = 2;

    // Reads argv[1..argc-1]. Later options override earlier ones (the last of
    // --windowed and --fullscreen wins); --help and --version win over
    // everything else that is valid. An unknown option, a stray argument or
    // --data without a folder gives Fail with the reason in Error().
    static CommandLine Parse(int argc, const char* const* argv);

    Action GetAction() const { return m_action; }
    bool Fullscreen() const { return m_fullscreen; }
    // Whether --windowed or --fullscreen was given (else the settings decide).
    bool WindowModeGiven() const { return m_windowModeGiven; }
    // The volumes (0..100) given for this run, when given; --mute gives 0 to both.
    std::optional<int> MusicVolume() const { return m_musicVolume; }
    std::optional<int> EffectsVolume() const { return m_effectsVolume; }
    // The folder given with --data, or empty when none was given.
    const std::string& DataFolder() const { return m_dataFolder; }
    const std::string& Error() const { return m_error; }
    // The replay file given with --record, or empty.
    const std::string& RecordPath() const { return m_recordPath; }
    // The stage given with --stage (0..4), or -1 for the title.
    int StartStage() const { return m_startStage; }

    // The text of --help, for the program called `program`.
    static std::string Usage(std::string_view program);
    // The text of --version, and the version alone ("1.0.0").
    static std::string VersionText();
    static std::string_view Version();

private:
    bool ReadOne(int argc, const char* const* argv, int* index);
    void FailWith(std::string reason);
    bool ReadVolume(int argc, const char* const* argv, int* index, std::optional<int>* volume);

    Action m_action = Action::Run;
    bool m_help = false;
    bool m_version = false;
    bool m_fullscreen = true;
    bool m_windowModeGiven = false;
    std::optional<int> m_musicVolume;
    std::optional<int> m_effectsVolume;
    bool m_mute = false;
    std::string m_dataFolder;
    std::string m_recordPath;
    int m_startStage = -1;
    std::string m_error;
};
