// KeySource is responsible for the keyboard state the game reads: 256 key
// bytes indexed by the game's key codes, bit 0x80 set while the key is down.
#pragma once

#include <cstdint>

namespace plat {

// The game's key codes.
constexpr int KEY_ESCAPE = 0x01;
constexpr int KEY_Z = 0x2C;
constexpr int KEY_UP = 0xC8;
constexpr int KEY_LEFT = 0xCB;
constexpr int KEY_RIGHT = 0xCD;
constexpr int KEY_DOWN = 0xD0;
constexpr int KEY_P = 0x19;
constexpr int KEY_PAUSE = 0xC5;   // the keyboard's Pause key and a controller's Start button
constexpr uint8_t KEY_DOWN_BIT = 0x80;

// The keys a game controller presses with its d-pad and left stick and with
// its south and east buttons; by default the first player's.
struct ControllerKeys {
    int up = KEY_UP, down = KEY_DOWN, left = KEY_LEFT, right = KEY_RIGHT, dash = KEY_Z;
    bool operator==(const ControllerKeys&) const = default;
};

class KeySource {
public:
    virtual ~KeySource() = default;
    // Fills keys[256]; false (keys untouched) when the keyboard cannot be read,
    // for example while the window has no focus.
    virtual bool Read(uint8_t keys[256]) = 0;
    // The keys the second controller plugged in presses from now on (two
    // players); the default is the first player's, as every other controller's.
    // A source with no controllers ignores it.
    virtual void SetSecondControllerKeys(const ControllerKeys& keys) { (void)keys; }
};

// A key source whose state is set by hand (the headless runner's script, tests).
class ScriptedKeySource : public KeySource {
public:
    bool Read(uint8_t keys[256]) override;
    void SetKey(int code, bool down);
    void SetFocus(bool focus) { m_Focus = focus; }

private:
    uint8_t m_Keys[256] = {};
    bool m_Focus = true;
};

// The source the input task reads; null means no keyboard.
void SetKeySource(KeySource* source);
KeySource* GetKeySource();

}   // namespace plat
