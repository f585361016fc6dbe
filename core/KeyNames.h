// KeyNames gives the game's key codes (DirectInput's keyboard numbering, as
// the keyboard reader fills them) the names a player writes in the settings
// file: letters and digits as themselves, UP, DOWN, LEFT, RIGHT, SPACE,
// ENTER, TAB, LSHIFT, RSHIFT, LCTRL, RCTRL, LALT, RALT, F1 to F12 and so on.
#pragma once

#include <optional>
#include <string_view>

class KeyNames {
public:
    // The code of a name (upper or lower case), or nothing for an unknown name.
    static std::optional<int> CodeOf(std::string_view name);
    // The name of a code, or empty when the game has no name for it.
    static std::string_view NameOf(int code);
};
