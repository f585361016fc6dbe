#include "app/FirstPlayFlag.h"

#include <system_error>

#include "core/PlayerFile.h"

namespace fs = std::filesystem;

fs::path FirstPlayFlag::PathFor(const char* xdgDataHome, const char* home)
{
    return PlayerFile::PathFor(PlayerFile::Home::Data, xdgDataHome, home, FILE_NAME);
}

fs::path FirstPlayFlag::DefaultPath() { return PlayerFile::DefaultPath(PlayerFile::Home::Data, FILE_NAME); }

bool FirstPlayFlag::IsSet() const
{
    std::error_code ec;
    return !m_Path.empty() && fs::is_regular_file(m_Path, ec);
}

// An empty file, written whole like every player file.
bool FirstPlayFlag::Set(std::string* error) const { return PlayerFile(m_Path).Write("", error); }
