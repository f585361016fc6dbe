#include "input/BoundKeySource.h"

#include <cstring>

namespace {

bool IsKeyCode(int code) { return code > 0 && code < 256; }

bool s_passThrough = false;

}   // namespace

BoundKeySource::BoundKeySource(plat::KeySource* keys, const std::array<int, kActions>& bound)
    : m_Keys(keys), m_Bound(bound)
{
}

bool BoundKeySource::Read(uint8_t keys[256])
{
    uint8_t pressed[256];
    if (!m_Keys || !m_Keys->Read(pressed)) return false;
    if (s_passThrough)
        std::memcpy(keys, pressed, sizeof pressed);
    else
        Translate(pressed, m_Bound, keys);
    return true;
}

void BoundKeySource::SetPassThrough(bool on) { s_passThrough = on; }

bool BoundKeySource::PassThrough() { return s_passThrough; }

void BoundKeySource::Translate(const uint8_t pressed[256], const std::array<int, kActions>& bound, uint8_t keys[256])
{
    std::memcpy(keys, pressed, 256);
    for (int code : kGameCodes) keys[code] = 0;
    for (int i = 0; i < kActions; ++i)
        if (IsKeyCode(bound[i])) keys[kGameCodes[i]] |= pressed[bound[i]];
}
