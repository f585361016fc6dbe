// SdlKeySource is responsible for reading the real keyboard into the game's
// 256 key bytes: SDL's keyboard state, translated from SDL scancodes to the
// game's key codes (DirectInput's numbering: Z 0x2C, arrows 0xC8 0xD0 0xCB
// 0xCD, Escape 0x01, the letters, digits and common keys likewise).
// Game controllers press the same key bytes: the d-pad and the left stick are
// the arrow keys, the south and east face buttons are Z, the back button is
// Escape, the start button pauses. In two-player play the second controller
// plugged in presses the second player's keys instead of the arrows and Z. Controllers are picked up and let go as they are plugged in and
// out, so the game's held and newly-pressed rules see one keyboard.
#pragma once

#include <functional>
#include <vector>

#include "platform/KeySource.h"
#include "platform/sdl/KeyLatch.h"

struct _SDL_GameController;

namespace plat {

class SdlWindow;

class SdlKeySource : public KeySource {
public:
    // Reads while the window has the input focus.
    explicit SdlKeySource(const SdlWindow& window);
    // Reads while hasFocus says so (tests, or a source with no window).
    explicit SdlKeySource(std::function<bool()> hasFocus);
    ~SdlKeySource() override;
    SdlKeySource(const SdlKeySource&) = delete;
    SdlKeySource& operator=(const SdlKeySource&) = delete;

    // Fails and leaves keys untouched while the window has no input focus.
    // The state is as of the window's last event pump, plus every key that
    // went down since the last read (a quick tap is never lost).
    bool Read(uint8_t keys[256]) override;

    // The game's key code for an SDL scancode, or 0 when the game has none.
    static int GameKeyFor(int scancode);

    // How far the left stick must lean (of 32767) to count as an arrow key.
    static constexpr int STICK_THRESHOLD = 16000;

    // The controllers in use now.
    int ControllerCount() const { return static_cast<int>(m_Controllers.size()); }

    void SetSecondControllerKeys(const ControllerKeys& keys) override { m_SecondKeys = keys; }
    // A button went down (seen as SDL queues it): noted, so a tap is never lost.
    void NoteButtonDown(int instanceId, int button);
    void NoteKeyDown(int gameKey) { m_Latch.NoteDown(gameKey); }

private:
    void UpdateControllers();
    void ReadControllers(uint8_t keys[256]) const;
    // The keys of the controller at a place in the list of those in use.
    const ControllerKeys& KeysOf(size_t place) const;

    std::function<bool()> m_HasFocus;
    bool m_ControllersStarted = false;
    std::vector<_SDL_GameController*> m_Controllers;
    KeyLatch m_Latch;   // presses seen since the last read
    ControllerKeys m_FirstKeys;
    ControllerKeys m_SecondKeys;
};

}   // namespace plat
