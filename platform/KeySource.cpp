#include "platform/KeySource.h"

#include <cstring>

namespace plat {

namespace {
KeySource* g_keySource = nullptr;
}

bool ScriptedKeySource::Read(uint8_t keys[256])
{
    if (!m_Focus) return false;
    std::memcpy(keys, m_Keys, 256);
    return true;
}

void ScriptedKeySource::SetKey(int code, bool down)
{
    if (code < 0 || code > 255) return;
    m_Keys[code] = down ? KEY_DOWN_BIT : 0;
}

void SetKeySource(KeySource* source) { g_keySource = source; }
KeySource* GetKeySource() { return g_keySource; }

}   // namespace plat
