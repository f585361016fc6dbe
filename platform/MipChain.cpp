#include "platform/MipChain.h"

#include <algorithm>
#include <utility>

namespace plat {

MipChain::MipChain(const uint8_t* rgba, int width, int height) : m_Source(rgba), m_Width(width), m_Height(height)
{
    if (!rgba || width <= 0 || height <= 0) m_Width = m_Height = 0;
}

bool MipChain::Next()
{
    if (m_Width <= 1 && m_Height <= 1) return false;
    const uint8_t* above = m_Level.empty() ? m_Source : m_Level.data();
    const int width = std::max(1, m_Width / 2), height = std::max(1, m_Height / 2);
    // Along an axis of 1 the same pixel counts twice, so every pixel mixes four.
    const int stepX = m_Width > 1 ? 4 : 0;
    const size_t stepY = m_Height > 1 ? size_t(m_Width) * 4 : 0;
    m_Spare.resize(size_t(width) * size_t(height) * 4);
    uint8_t* out = m_Spare.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = above + size_t(2 * y) * size_t(m_Width) * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            const uint8_t* p = row + size_t(2 * x) * 4;
            for (int c = 0; c < 4; ++c) {
                const int upper = (p[c] + p[c + stepX] + 1) >> 1;
                const int lower = (p[c + stepY] + p[c + stepX + stepY] + 1) >> 1;
                out[c] = static_cast<uint8_t>((upper + lower + 1) >> 1);
            }
        }
    }
    std::swap(m_Level, m_Spare);
    m_Width = width;
    m_Height = height;
    return true;
}

}   // namespace plat
