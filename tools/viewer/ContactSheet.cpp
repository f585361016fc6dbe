#include "tools/viewer/ContactSheet.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int RGBA = 4;
constexpr uint8_t GAP_GREY = 24;   // the lines between cells
constexpr int GAP = 2;
}   // namespace

void ContactSheet::GridFor(int count, int* columns, int* rows)
{
    *columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count)))));
    *rows = std::max(1, (count + *columns - 1) / *columns);
}

ContactSheet::ContactSheet(int width, int height, int count) : m_Width(width), m_Height(height)
{
    GridFor(count, &m_Columns, &m_Rows);
    m_Pixels.assign(static_cast<size_t>(width) * height * RGBA, GAP_GREY);
    for (size_t i = 3; i < m_Pixels.size(); i += RGBA) m_Pixels[i] = 255;
}

void ContactSheet::Place(int index, const std::vector<uint8_t>& frame, int frameWidth, int frameHeight)
{
    if (frame.size() < static_cast<size_t>(frameWidth) * frameHeight * RGBA || index < 0) return;
    bool single = m_Columns * m_Rows == 1;
    int gap = single ? 0 : GAP;
    int x0 = m_Width * (index % m_Columns) / m_Columns, x1 = m_Width * (index % m_Columns + 1) / m_Columns - gap;
    int y0 = m_Height * (index / m_Columns) / m_Rows, y1 = m_Height * (index / m_Columns + 1) / m_Rows - gap;
    // The frame keeps its proportions, centred in its cell.
    int cellW = std::min(x1 - x0, (y1 - y0) * frameWidth / frameHeight);
    int cellH = std::min(y1 - y0, (x1 - x0) * frameHeight / frameWidth);
    if (cellW <= 0 || cellH <= 0) return;
    x0 += (x1 - x0 - cellW) / 2;
    y0 += (y1 - y0 - cellH) / 2;

    for (int y = 0; y < cellH; ++y) {
        // The source rows and columns that fall into this destination pixel.
        int sy0 = y * frameHeight / cellH, sy1 = std::max(sy0 + 1, (y + 1) * frameHeight / cellH);
        for (int x = 0; x < cellW; ++x) {
            int sx0 = x * frameWidth / cellW, sx1 = std::max(sx0 + 1, (x + 1) * frameWidth / cellW);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = sy0; sy < sy1; ++sy)
                for (int sx = sx0; sx < sx1; ++sx)
                    for (int c = 0; c < 3; ++c) sum[c] += frame[(static_cast<size_t>(sy) * frameWidth + sx) * RGBA + c];
            unsigned n = static_cast<unsigned>((sy1 - sy0) * (sx1 - sx0));
            uint8_t* out = &m_Pixels[(static_cast<size_t>(y0 + y) * m_Width + x0 + x) * RGBA];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(sum[c] / n);
            out[3] = 255;
        }
    }
}
