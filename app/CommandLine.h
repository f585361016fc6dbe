// CommandLine is responsible for reading the game's options: --help,
// --version, --windowed, --fullscreen, --data DIR, --record FILE,
// --replay FILE, --stage K, the volumes and --stats. It only reads; main
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

    Action GetAction() const { return m_Action; }
    bool Fullscreen() const { return m_Fullscreen; }
    // Whether --windowed or --fullscreen was given (else the settings decide).
    bool WindowModeGiven() const { return m_WindowModeGiven; }
    // The volumes (0..100) given for this run, when given; --mute gives 0 to both.
    std::optional<int> MusicVolume() const { return m_MusicVolume; }
    std::optional<int> EffectsVolume() const { return m_EffectsVolume; }
    // The folder given with --data, or empty when none was given.
    const std::string& DataFolder() const { return m_DataFolder; }
    const std::string& Error() const { return m_Error; }
    // The replay file given with --record, or empty.
    const std::string& RecordPath() const { return m_RecordPath; }
    // The replay file given with --replay, or empty.
    const std::string& ReplayPath() const { return m_ReplayPath; }
    // The stage given with --stage (0..4), or -1 for the title.
    int StartStage() const { return m_StartStage; }
    // Whether --stats asked for the frame statistics at exit.
    bool Stats() const { return m_Stats; }

    // The text of --help, for the program called `program`.
    static std::string Usage(std::string_view program);
    // The text of --version, and the version alone ("1.0.0").
    static std::string VersionText();
    static std::string_view Version();

private:
    bool ReadOne(int argc, const char* const* argv, int* index);
    void FailWith(std::string reason);
    bool ReadFile(int argc, const char* const* argv, int* index, std::string* path);
    bool ReadVolume(int argc, const char* const* argv, int* index, std::optional<int>* volume);

    Action m_Action = Action::Run;
    bool m_Help = false;
    bool m_Version = false;
    bool m_Fullscreen = true;
    bool m_WindowModeGiven = false;
    std::optional<int> m_MusicVolume;
    std::optional<int> m_EffectsVolume;
    bool m_Mute = false;
    std::string m_DataFolder;
    std::string m_RecordPath;
    std::string m_ReplayPath;
    int m_StartStage = -1;
    bool m_Stats = false;
    std::string m_Error;
};
