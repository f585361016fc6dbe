#include "platform/PictureScaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {

namespace {

constexpr int kWeightOne = 256;   // linear weights are in 256ths

// Mixes two packed pixels channel by channel: weight 0 is all a, 256 all b.
uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight)
{
    const uint32_t keep = kWeightOne - weight;
    const uint32_t evenLanes = (((a & 0x00ff00ffu) * keep + (b & 0x00ff00ffu) * weight) >> 8) & 0x00ff00ffu;
    const uint32_t oddLanes = (((a >> 8) & 0x00ff00ffu) * keep + ((b >> 8) & 0x00ff00ffu) * weight) & 0xff00ff00u;
    return evenLanes | oddLanes;
}

// One RGBA pixel as a word of the window's layout.
uint32_t Pack(const uint8_t* rgba, const PixelLayout& layout)
{
    return (uint32_t{rgba[0]} << layout.redShift) | (uint32_t{rgba[1]} << layout.greenShift) |
           (uint32_t{rgba[2]} << layout.blueShift) | layout.alphaMask;
}

// X11's usual 32-bit layout: red and blue trade places and alpha is set.
bool SwapsRedAndBlue(const PixelLayout& layout)
{
    return layout.redShift == 16 && layout.greenShift == 8 && layout.blueShift == 0;
}

// A row of the usual layout at twice its width, the window's common scale:
// the constant shifts let the compiler work on several pixels at once.
void DoubleSwappedRow(const uint8_t* in, int width, uint32_t alphaMask, uint32_t* out)
{
    for (int x = 0; x < width; ++x) {
        uint32_t rgba = 0;
        std::memcpy(&rgba, in + size_t(x) * 4, 4);   // R in the low byte
        const uint32_t packed = ((rgba & 0xffu) << 16) | (rgba & 0xff00u) | ((rgba >> 16) & 0xffu) | alphaMask;
        out[2 * x] = packed;
        out[2 * x + 1] = packed;
    }
}

std::vector<PictureScaler::Tap> Taps(int sourceSize, int targetSize)
{
    std::vector<PictureScaler::Tap> taps(static_cast<size_t>(targetSize));
    const double step = static_cast<double>(sourceSize) / targetSize;
    for (int i = 0; i < targetSize; ++i) {
        double at = std::clamp((i + 0.5) * step - 0.5, 0.0, static_cast<double>(sourceSize - 1));
        int first = std::min(static_cast<int>(at), sourceSize - 1);
        uint32_t weight = first + 1 < sourceSize ? static_cast<uint32_t>((at - first) * kWeightOne + 0.5) : 0;
        taps[static_cast<size_t>(i)] = {first, weight};
    }
    return taps;
}

}   // namespace

void PictureScaler::Put(const std::vector<uint8_t>& rgbaBottomUp, int pictureWidth, int pictureHeight,
                        uint32_t* target, int width, int height, size_t pitch, const PixelLayout& layout)
{
    if (!target || pictureWidth <= 0 || pictureHeight <= 0 || width <= 0 || height <= 0) return;
    if (pitch < size_t(width) * 4 || rgbaBottomUp.size() < size_t(pictureWidth) * size_t(pictureHeight) * 4) return;

    // The same rectangle as the GL path uses, its rows counted from the top.
    const double scale = std::min(static_cast<double>(width) / pictureWidth, static_cast<double>(height) / pictureHeight);
    const int shownWidth = std::min(width, static_cast<int>(std::lround(pictureWidth * scale)));
    const int shownHeight = std::min(height, static_cast<int>(std::lround(pictureHeight * scale)));
    const int left = (width - shownWidth) / 2;
    const int top = height - (height - shownHeight) / 2 - shownHeight;

    auto* bytes = reinterpret_cast<uint8_t*>(target);
    const uint32_t black = layout.alphaMask;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bytes + size_t(y) * pitch);
        if (y < top || y >= top + shownHeight) {
            std::fill(row, row + width, black);
        } else {
            std::fill(row, row + left, black);
            std::fill(row + left + shownWidth, row + width, black);
        }
    }
    uint8_t* topLeft = bytes + size_t(top) * pitch + size_t(left) * 4;
    const int factor = shownWidth / pictureWidth;
    if (shownWidth == factor * pictureWidth && shownHeight == factor * pictureHeight) {
        Replicate(rgbaBottomUp, pictureWidth, pictureHeight, layout, factor, topLeft, pitch);
    } else {
        Convert(rgbaBottomUp, pictureWidth, pictureHeight, layout);
        Filter(topLeft, shownWidth, shownHeight, pitch);
    }
}

void PictureScaler::Convert(const std::vector<uint8_t>& rgbaBottomUp, int pictureWidth, int pictureHeight,
                            const PixelLayout& layout)
{
    m_Width = pictureWidth;
    m_Height = pictureHeight;
    m_Converted.resize(size_t(pictureWidth) * size_t(pictureHeight));
    for (int y = 0; y < pictureHeight; ++y) {
        const uint8_t* in = rgbaBottomUp.data() + size_t(pictureHeight - 1 - y) * size_t(pictureWidth) * 4;
        uint32_t* out = m_Converted.data() + size_t(y) * size_t(pictureWidth);
        for (int x = 0; x < pictureWidth; ++x, in += 4) out[x] = Pack(in, layout);
    }
}

// Each picture row is converted straight into its first target row, which
// is then copied to the rows below it: one pass over the picture.
void PictureScaler::Replicate(const std::vector<uint8_t>& rgbaBottomUp, int pictureWidth, int pictureHeight,
                              const PixelLayout& layout, int factor, uint8_t* topLeft, size_t pitch) const
{
    const size_t rowBytes = size_t(pictureWidth) * size_t(factor) * 4;
    const bool doubleSwapped = factor == 2 && SwapsRedAndBlue(layout);
    for (int y = 0; y < pictureHeight; ++y) {
        const uint8_t* in = rgbaBottomUp.data() + size_t(pictureHeight - 1 - y) * size_t(pictureWidth) * 4;
        uint8_t* first = topLeft + size_t(y) * size_t(factor) * pitch;
        auto* out = reinterpret_cast<uint32_t*>(first);
        if (doubleSwapped) {
            DoubleSwappedRow(in, pictureWidth, layout.alphaMask, out);
        } else {
            for (int x = 0; x < pictureWidth; ++x, in += 4) out = std::fill_n(out, factor, Pack(in, layout));
        }
        for (int copy = 1; copy < factor; ++copy) std::memcpy(first + size_t(copy) * pitch, first, rowBytes);
    }
}


void PictureScaler::Filter(uint8_t* topLeft, int width, int height, size_t pitch)
{
    if (m_Columns.size() != size_t(width) || m_Rows.size() != size_t(height) || m_TapsWidth != m_Width ||
        m_TapsHeight != m_Height) {
        m_Columns = Taps(m_Width, width);
        m_Rows = Taps(m_Height, height);
        m_TapsWidth = m_Width;
        m_TapsHeight = m_Height;
    }
    // Along the rows first, once for each row of the picture, then each
    // target row mixes two of those widened rows: the second pass runs over
    // neighbouring pixels, which the compiler turns into vector code.
    m_Widened.resize(size_t(width) * size_t(m_Height));
    for (int y = 0; y < m_Height; ++y) {
        const uint32_t* in = m_Converted.data() + size_t(y) * size_t(m_Width);
        uint32_t* out = m_Widened.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            const Tap& c = m_Columns[size_t(x)];
            out[x] = c.weight > 0 ? Mix(in[c.first], in[c.first + 1], c.weight) : in[c.first];
        }
    }
    const size_t rowBytes = size_t(width) * 4;
    for (int y = 0; y < height; ++y) {
        const Tap& r = m_Rows[size_t(y)];
        const uint32_t* upper = m_Widened.data() + size_t(r.first) * size_t(width);
        uint8_t* target = topLeft + size_t(y) * pitch;
        if (r.weight == 0) {
            std::memcpy(target, upper, rowBytes);
            continue;
        }
        // Byte by byte in 16 bits: vector code with plain SSE2.
        const auto* above = reinterpret_cast<const uint8_t*>(upper);
        const auto* below = reinterpret_cast<const uint8_t*>(upper + width);
        const auto weight = static_cast<uint16_t>(r.weight), keep = static_cast<uint16_t>(kWeightOne - r.weight);
        for (size_t i = 0; i < rowBytes; ++i)
            target[i] = static_cast<uint8_t>(static_cast<uint16_t>(above[i] * keep + below[i] * weight) >> 8);
    }
}

}   // namespace plat
