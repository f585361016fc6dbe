// SdlKeySource is responsible for reading the real keyboard into the game's
// 256 key bytes: SDL's keyboard state, translated from SDL scancodes to the
// game's key codes (DirectInput's numbering: Z 0x2C, arrows 0xC8 0xD0 0xCB
// 0xCD, Escape 0x01, the letters, digits and common keys likewise).
#pragma once

#include "platform/KeyLatch.h"
#include "platform/KeySource.h"

namespace plat {

class SdlWindow;

class SdlKeySource : public KeySource {
public:
    explicit SdlKeySource(const SdlWindow& window);
    ~SdlKeySource() override;
    SdlKeySource(const SdlKeySource&) = delete;
    SdlKeySource& operator=(const SdlKeySource&) = delete;

    // Fails and leaves keys untouched while the window has no input focus.
    // The state is as of the window's last event pump, plus every key that
    // went down since the last read (a quick tap is never lost).
    bool Read(uint8_t keys[256]) override;

    // The game's key code for an SDL scancode, or 0 when the game has none.
    static int GameKeyFor(int scancode);

private:
    const SdlWindow& m_window;
    KeyLatch m_latch;
};

}  // namespace plat
