// Helpers of the tests of the installed game and of its Debian package: shell
// commands with their output, files read whole, throw-away folders, and the
// options the program's --help lists.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace installtest {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string output;   // standard output and standard error together
};

inline Outcome RunShell(const std::string& command)
{
    Outcome outcome;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe)) outcome.output += buffer.data();
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// The path in single quotes, for the shell. (Built up piece by piece: GCC 12
// warns wrongly about "'" + string.)
inline std::string Quoted(const fs::path& path)
{
    std::string quoted(1, '\'');
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

inline std::string Slurp(const fs::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool HasProgram(const std::string& name) { return RunShell("command -v " + name).exitCode == 0; }

// A new empty folder under /tmp, removed with everything in it at the end of its scope.
class TempFolder {
public:
    explicit TempFolder(const char* name)
    {
        std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
        if (mkdtemp(pattern.data())) m_Path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!m_Path.empty()) fs::remove_all(m_Path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return m_Path; }

private:
    fs::path m_Path;
};

// The environment in which the program finds no display and stops at its
// window, after it looked for its data.
inline constexpr const char* kNoDisplay =
    "env -u DISPLAY -u WAYLAND_DISPLAY -u SPINDREL_DATA SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ";

}   // namespace installtest
