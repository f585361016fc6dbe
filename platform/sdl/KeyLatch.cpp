#include "platform/sdl/KeyLatch.h"

#include <cstddef>

#include "platform/KeySource.h"

namespace plat {

void KeyLatch::NoteDown(int code)
{
    if (code > 0 && code < 256) m_Latched[static_cast<std::size_t>(code)] = true;
}

void KeyLatch::Apply(uint8_t keys[256])
{
    for (std::size_t i = 0; i < m_Latched.size(); ++i) {
        if (m_Latched[i]) keys[i] |= KEY_DOWN_BIT;
        m_Latched[i] = false;
    }
}

}   // namespace plat
