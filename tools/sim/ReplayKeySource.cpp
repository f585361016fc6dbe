#include "tools/sim/ReplayKeySource.h"

bool ReplayKeySource::Read(uint8_t keys[256])
{
    if (!m_frame.keysRead || !m_frame.readOk) return false;   // as when the window had no focus
    Replay::UnpackKeys(m_frame.keys, keys);
    return true;
}
