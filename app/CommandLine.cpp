#include "app/CommandLine.h"

#include <charconv>

#ifndef SPINDREL_VERSION
#define SPINDREL_VERSION "0.0.0"
#endif

namespace {

constexpr std::string_view kDataOption = "--data";
constexpr std::string_view kDataOptionWithValue = "--data=";
constexpr int kMaxVolume = 100;

}   // namespace

CommandLine CommandLine::Parse(int argc, const char* const* argv)
{
    CommandLine line;
    for (int i = 1; i < argc && line.m_Action != Action::Fail; ++i) {
        if (!line.ReadOne(argc, argv, &i)) break;
    }
    if (line.m_Action == Action::Fail) return line;
    // A replay brings its own start and keys, and is not itself recorded.
    if (!line.m_ReplayPath.empty() && (!line.m_RecordPath.empty() || line.m_StartStage >= 0)) {
        line.FailWith("option '--replay' plays a recorded session: it takes no --record or --stage");
        return line;
    }
    if (line.m_Mute) line.m_MusicVolume = line.m_EffectsVolume = 0;
    if (line.m_Help)
        line.m_Action = Action::ShowHelp;
    else if (line.m_Version)
        line.m_Action = Action::ShowVersion;
    return line;
}

bool CommandLine::ReadOne(int argc, const char* const* argv, int* index)
{
    const std::string_view arg = argv[*index] ? argv[*index] : "";
    if (arg == "--help" || arg == "-h") {
        m_Help = true;
    } else if (arg == "--version") {
        m_Version = true;
    } else if (arg == "--windowed") {
        m_Fullscreen = false;
        m_WindowModeGiven = true;
    } else if (arg == "--fullscreen") {
        m_Fullscreen = true;
        m_WindowModeGiven = true;
    } else if (arg == "--mute") {
        m_Mute = true;
    } else if (arg == "--stats") {
        m_Stats = true;
    } else if (arg == "--music-volume") {
        return ReadVolume(argc, argv, index, &m_MusicVolume);
    } else if (arg == "--sfx-volume") {
        return ReadVolume(argc, argv, index, &m_EffectsVolume);
    } else if (arg == kDataOption) {
        if (*index + 1 >= argc || !argv[*index + 1] || !*argv[*index + 1]) {
            FailWith("option '--data' needs a folder");
            return false;
        }
        m_DataFolder = argv[++*index];
    } else if (arg.substr(0, kDataOptionWithValue.size()) == kDataOptionWithValue) {
        m_DataFolder = std::string(arg.substr(kDataOptionWithValue.size()));
        if (m_DataFolder.empty()) {
            FailWith("option '--data' needs a folder");
            return false;
        }
    } else if (arg == "--record") {
        return ReadFile(argc, argv, index, &m_RecordPath);
    } else if (arg == "--replay") {
        return ReadFile(argc, argv, index, &m_ReplayPath);
    } else if (arg == "--stage") {
        const char* value = *index + 1 < argc ? argv[*index + 1] : nullptr;
        if (!value || value[0] < '1' || value[0] > '5' || value[1] != '\0') {
            FailWith("option '--stage' needs a stage from 1 to 5");
            return false;
        }
        m_StartStage = value[0] - '1';
        ++*index;
    } else if (!arg.empty() && arg.front() == '-') {
        FailWith("unknown option '" + std::string(arg) + "'");
        return false;
    } else {
        FailWith("unexpected argument '" + std::string(arg) + "'");
        return false;
    }
    return true;
}

bool CommandLine::ReadFile(int argc, const char* const* argv, int* index, std::string* path)
{
    if (*index + 1 >= argc || !argv[*index + 1] || !*argv[*index + 1]) {
        FailWith("option '" + std::string(argv[*index]) + "' needs a file");
        return false;
    }
    *path = argv[++*index];
    return true;
}

bool CommandLine::ReadVolume(int argc, const char* const* argv, int* index, std::optional<int>* volume)
{
    const std::string_view option = argv[*index];
    const char* value = *index + 1 < argc ? argv[*index + 1] : nullptr;
    const std::string_view text = value ? value : "";
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < 0 || number > kMaxVolume) {
        FailWith("option '" + std::string(option) + "' needs a volume from 0 to 100");
        return false;
    }
    *volume = number;
    ++*index;
    return true;
}

void CommandLine::FailWith(std::string reason)
{
    m_Action = Action::Fail;
    m_Error = std::move(reason);
}

std::string CommandLine::Usage(std::string_view program)
{
    std::string text = "Usage: ";
    text += program;
    text +=
        " [OPTION]...\n"
        "Spindrel: spinning tops battle in small arenas.\n"
        "\n"
        "  --fullscreen   fill the screen (the default)\n"
        "  --windowed     play in a resizable window, 1280 x 960 at first\n"
        "  --data DIR     read the game's data from DIR\n"
        "  --record FILE  record this session into the replay FILE (for bug reports)\n"
        "  --replay FILE  play a recorded session in the window, then exit\n"
        "  --stage K      start at stage K (1 to 5) instead of the title\n"
        "  --music-volume N  play the music at volume N (0 to 100) this time\n"
        "  --sfx-volume N    play the sound effects at volume N (0 to 100) this time\n"
        "  --mute         no music and no sound effects this time\n"
        "  --stats        print the frame times and CPU use when the game closes\n"
        "  --help         show this help and exit\n"
        "  --version      show the version and exit\n"
        "\n"
        "F11 or Alt+Enter switches between full screen and a window while playing;\n"
        "P pauses a battle. Settings are kept in $XDG_CONFIG_HOME/spindrel/settings.ini\n"
        "(~/.config/spindrel/), progress in $XDG_DATA_HOME/spindrel/progress.ini.\n"
        "Without --data the data folder is the one named by SPINDREL_DATA, else\n"
        "../share/spindrel or data/ beside the program, else the current folder.\n";
    return text;
}

std::string CommandLine::VersionText() { return std::string("Spindrel ") + SPINDREL_VERSION + "\n"; }

std::string_view CommandLine::Version() { return SPINDREL_VERSION; }
