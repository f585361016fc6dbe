#include "app/FirstPlayFlag.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* GAME_FOLDER = "spindrel";
constexpr const char* DEFAULT_DATA_HOME = ".local/share";

bool IsAbsoluteFolder(const char* value) { return value && value[0] == '/'; }

}   // namespace

fs::path FirstPlayFlag::PathFor(const char* xdgDataHome, const char* home)
{
    // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
    fs::path base;
    if (IsAbsoluteFolder(xdgDataHome))
        base = xdgDataHome;
    else if (IsAbsoluteFolder(home))
        base = fs::path(home) / DEFAULT_DATA_HOME;
    else
        return {};
    return base / GAME_FOLDER / FILE_NAME;
}

fs::path FirstPlayFlag::DefaultPath() { return PathFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

bool FirstPlayFlag::IsSet() const
{
    std::error_code ec;
    return !m_Path.empty() && fs::is_regular_file(m_Path, ec);
}

bool FirstPlayFlag::Set(std::string* error) const
{
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (m_Path.empty()) return fail("no folder for the game's own files (HOME is not set)");
    std::error_code ec;
    fs::create_directories(m_Path.parent_path(), ec);
    if (ec) return fail("cannot create " + m_Path.parent_path().string() + ": " + ec.message());
    // Written beside the flag under a name of this process, then renamed over it.
    fs::path temporary = m_Path;
    temporary += ".new-" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return fail("cannot write " + temporary.string());
    }
    fs::rename(temporary, m_Path, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return fail("cannot write " + m_Path.string());
    }
    return true;
}
