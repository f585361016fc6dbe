#include "core/PlayerFile.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kGameFolder = "spindrel";
constexpr const char* kConfigUnderHome = ".config";
constexpr const char* kDataUnderHome = ".local/share";

bool IsAbsoluteFolder(const char* value) { return value && value[0] == '/'; }

}   // namespace

fs::path PlayerFile::PathFor(Home home, const char* xdgValue, const char* homeFolder, const char* fileName)
{
    // A relative XDG folder is invalid and ignored, as the base-directory rules say.
    fs::path base;
    if (IsAbsoluteFolder(xdgValue))
        base = xdgValue;
    else if (IsAbsoluteFolder(homeFolder))
        base = fs::path(homeFolder) / (home == Home::Config ? kConfigUnderHome : kDataUnderHome);
    else
        return {};
    return base / kGameFolder / fileName;
}

fs::path PlayerFile::DefaultPath(Home home, const char* fileName)
{
    const char* variable = home == Home::Config ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME";
    return PathFor(home, std::getenv(variable), std::getenv("HOME"), fileName);
}

bool PlayerFile::Exists() const
{
    std::error_code ec;
    return !m_Path.empty() && fs::exists(m_Path, ec);
}

std::optional<std::string> PlayerFile::Read(std::string* error) const
{
    if (!Exists()) return std::nullopt;
    std::error_code ec;
    if (!fs::is_regular_file(m_Path, ec)) {
        if (error) *error = m_Path.string() + " is not a file";
        return std::nullopt;
    }
    std::ifstream file(m_Path, std::ios::binary);
    if (!file) {
        if (error) *error = "cannot read " + m_Path.string();
        return std::nullopt;
    }
    std::string text(kMaxBytes, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

bool PlayerFile::Write(const std::string& text, std::string* error) const
{
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (m_Path.empty()) return fail("no folder for the game's own files (HOME is not set)");
    std::error_code ec;
    fs::create_directories(m_Path.parent_path(), ec);
    if (ec) return fail("cannot create " + m_Path.parent_path().string() + ": " + ec.message());
    fs::path temporary = m_Path;
    temporary += ".new-" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return fail("cannot write " + temporary.string());
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.flush();
        if (!file) {
            file.close();
            fs::remove(temporary, ec);
            return fail("cannot write " + temporary.string() + " (is the disk full?)");
        }
    }
    fs::rename(temporary, m_Path, ec);
    if (ec) {
        const std::string why = ec.message();
        fs::remove(temporary, ec);
        return fail("cannot replace " + m_Path.string() + ": " + why);
    }
    return true;
}
