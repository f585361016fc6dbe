// FirstPlayFlag is the file that says the player has seen the how-to-play
// card: an empty file in the game's folder under the user's data home
// ($XDG_DATA_HOME/spindrel, or ~/.local/share/spindrel when that is unset).
// It is written whole or not at all: a new file renamed over the old one.
#pragma once

#include <filesystem>
#include <string>

class FirstPlayFlag {
public:
    static constexpr const char* FILE_NAME = "how-to-play-seen";

    // The flag's place for an environment: XDG_DATA_HOME when it names an
    // absolute folder, else HOME/.local/share; empty when neither is usable.
    static std::filesystem::path PathFor(const char* xdgDataHome, const char* home);
    // The same for this process's environment.
    static std::filesystem::path DefaultPath();

    explicit FirstPlayFlag(std::filesystem::path path) : m_Path(std::move(path)) {}

    // True when the card has been seen (the file exists).
    bool IsSet() const;
    // Creates the file (and its folders); false, with the reason in *error,
    // when it cannot.
    bool Set(std::string* error = nullptr) const;

    const std::filesystem::path& Path() const { return m_Path; }

private:
    std::filesystem::path m_Path;
};
