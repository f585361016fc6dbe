// ScreenKeys reads the keys of a menu screen. A key that was already down
// when the screen opened (held from the screen before, or through the screen
// change) acts only after it has been seen up while the screen runs. The
// screen's first update does not count: a screen that runs before the input
// task, or with a new one, sees the keys of the frame before then.
#pragma once

class CInput;

class ScreenKeys {
public:
    static constexpr int KEY_CODES = 256;

    void Attach(CInput* input) { m_Input = input; }
    // Once at the start of each of the screen's updates.
    void Update();
    // Newly pressed, and let go at least once since the screen opened.
    bool Pressed(int key) const;

private:
    CInput* m_Input = nullptr;
    int m_Updates = 0;
    bool m_Released[KEY_CODES] = {};
};
