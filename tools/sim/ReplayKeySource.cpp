#include "tools/sim/ReplayKeySource.h"

bool ReplayKeySource::Read(uint8_t keys[256])
{
    if (!m_Frame.keysRead || !m_Frame.readOk) return false;   // as when the window had no focus
    Replay::UnpackKeys(m_Frame.keys, keys);
    return true;
}
