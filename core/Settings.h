// Settings are the player's choices that last from one run to the next: the
// music and effects volumes (0 to 100), full screen or a window of a size, and
// the keys of each player. They are read from and written to an INI text;
// a value that cannot be used is a problem and leaves its default, and every
// key the game does not know is written back as it was.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniDocument.h"

class Settings {
public:
    static constexpr int kPlayers = 2;
    enum Action { ACTION_UP, ACTION_DOWN, ACTION_LEFT, ACTION_RIGHT, ACTION_DASH, ACTION_PAUSE, ACTION_COUNT };
    using KeyMap = std::array<int, ACTION_COUNT>;

    static constexpr int kMaxVolume = 100;
    static constexpr int kMinWindowSide = 240;
    static constexpr int kMaxWindowSide = 16384;
    static constexpr int kDefaultWindowWidth = 1280;
    static constexpr int kDefaultWindowHeight = 960;

    int musicVolume = kMaxVolume;
    int effectsVolume = kMaxVolume;
    bool fullscreen = true;
    int windowWidth = kDefaultWindowWidth;
    int windowHeight = kDefaultWindowHeight;
    std::array<KeyMap, kPlayers> keys = DefaultKeys();

    static std::array<KeyMap, kPlayers> DefaultKeys();
    static std::string_view ActionName(Action action);
    // The gain a volume of 0..100 gives the mix: the square of its share,
    // which sounds about even across the range; 100 is 1, 0 is silence.
    static float VolumeGain(int volume);
    // Keys no action may take: Escape quits and F11 switches full screen.
    static bool IsReservedKey(int code);

    // The settings a text gives: defaults for whatever it lacks or gives
    // wrongly, each wrong line noted in *problems. *document (when given)
    // receives the text's lines, to be written back with Write.
    static Settings Read(std::string_view text, std::vector<IniProblem>* problems, IniDocument* document = nullptr);
    // The text of these settings, written into the lines of a document read before.
    std::string Write(IniDocument document = {}) const;

    // Binds an action of a player to a key. A key bound elsewhere (to the
    // other player too) takes the key this action had, so none is lost.
    void BindKey(int player, Action action, int code);

    bool operator==(const Settings&) const = default;

private:
    void ReadAudio(const IniDocument& document, std::vector<IniProblem>* problems);
    void ReadVideo(const IniDocument& document, std::vector<IniProblem>* problems);
    void ReadKeys(const IniDocument& document, std::vector<IniProblem>* problems);
};
