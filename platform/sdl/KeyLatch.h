// KeyLatch remembers the keys that went down since the last keyboard read, so
// that a tap that starts and ends between two reads is still seen as a press:
// the read after it shows the key down once, the read after that shows it up.
#pragma once

#include <array>
#include <cstdint>

namespace plat {

class KeyLatch {
public:
    // A key went down (from the event queue, at any time between reads).
    void NoteDown(int code);
    // Marks every latched key as down in keys[256] and forgets the latch.
    void Apply(uint8_t keys[256]);

private:
    std::array<bool, 256> m_Latched{};
};

}   // namespace plat
