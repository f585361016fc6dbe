// PlayerFile is one of the files the game keeps for the player outside its
// data: settings under the configuration home, progress under the data home
// ($XDG_CONFIG_HOME and $XDG_DATA_HOME, or ~/.config and ~/.local/share when
// they are unset). It is read whole and written whole: a new file beside it
// renamed over it, so a crash or a full disk never leaves half a file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

class PlayerFile {
public:
    enum class Home { Config, Data };
    // A file larger than this is not one the game wrote: it is read no further.
    static constexpr size_t kMaxBytes = 1 << 16;

    // The file's place: the XDG variable when it names an absolute folder,
    // else the usual folder under home; empty when neither is usable.
    static std::filesystem::path PathFor(Home home, const char* xdgValue, const char* homeFolder, const char* fileName);
    // The same for this process's environment.
    static std::filesystem::path DefaultPath(Home home, const char* fileName);

    explicit PlayerFile(std::filesystem::path path) : m_Path(std::move(path)) {}

    bool Exists() const;
    // The file's text (at most kMaxBytes), or nothing when it cannot be read
    // (the reason in *error; none when the file is simply missing).
    std::optional<std::string> Read(std::string* error = nullptr) const;
    // Replaces the file with text, its folders made as needed; false with the
    // reason in *error when it cannot, the old file then left as it was.
    bool Write(const std::string& text, std::string* error = nullptr) const;

    const std::filesystem::path& Path() const { return m_Path; }

private:
    std::filesystem::path m_Path;
};
