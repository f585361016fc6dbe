#include "platform/Texture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/DataRoot.h"
#include "platform/image/JpegTableCheck.h"

// The decoder is compiled here, privately, for the three formats the game's
// pictures come in; the other formats of the library stay out of reach of
// untrusted files.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace plat {

namespace {

constexpr int MAX_SIDE = 8192;
constexpr int64_t MAX_PIXELS = 4096 * 4096;        // after rounding up: 64 MB of RGBA
constexpr size_t MAX_FILE_BYTES = 64u << 20;
constexpr int RGBA = 4;

int RoundUpToPowerOfTwo(int n)
{
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

bool SizeAcceptable(int width, int height)
{
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE) return false;
    return static_cast<int64_t>(RoundUpToPowerOfTwo(width)) * RoundUpToPowerOfTwo(height) <= MAX_PIXELS;
}

uint32_t ToARGB(const uint8_t* p)
{
    return (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
}

void ApplyColorKey(std::vector<uint8_t>& rgba, uint32_t colorKey)
{
    if (colorKey == 0) return;
    for (size_t i = 0; i + RGBA <= rgba.size(); i += RGBA)
        if (ToARGB(&rgba[i]) == colorKey) std::fill_n(&rgba[i], RGBA, uint8_t{0});
}

bool AllOpaque(const std::vector<uint8_t>& rgba)
{
    constexpr uint8_t FULL = 255;
    if (rgba.empty()) return false;
    for (size_t i = RGBA - 1; i < rgba.size(); i += RGBA)
        if (rgba[i] != FULL) return false;
    return true;
}

// For each destination column (or row): the two source samples and the weight
// of the second, with pixel centres lined up as a linear filter does.
struct Tap {
    int first, second;
    float weight;
};

std::vector<Tap> LinearTaps(int source, int destination)
{
    std::vector<Tap> taps(destination);
    float scale = static_cast<float>(source) / static_cast<float>(destination);
    for (int d = 0; d < destination; ++d) {
        float s = std::clamp((d + 0.5f) * scale - 0.5f, 0.0f, static_cast<float>(source - 1));
        int first = static_cast<int>(s);
        taps[d] = {first, std::min(first + 1, source - 1), s - static_cast<float>(first)};
    }
    return taps;
}

std::vector<uint8_t> Stretch(const std::vector<uint8_t>& source, int sw, int sh, int dw, int dh)
{
    if (sw == dw && sh == dh) return source;
    std::vector<Tap> columns = LinearTaps(sw, dw), rows = LinearTaps(sh, dh);
    std::vector<uint8_t> out(static_cast<size_t>(dw) * dh * RGBA);
    auto at = [&](int x, int y, int c) { return static_cast<float>(source[(static_cast<size_t>(y) * sw + x) * RGBA + c]); };
    for (int y = 0; y < dh; ++y) {
        const Tap& r = rows[y];
        for (int x = 0; x < dw; ++x) {
            const Tap& col = columns[x];
            for (int c = 0; c < RGBA; ++c) {
                float top = at(col.first, r.first, c) * (1 - col.weight) + at(col.second, r.first, c) * col.weight;
                float bottom = at(col.first, r.second, c) * (1 - col.weight) + at(col.second, r.second, c) * col.weight;
                float value = top * (1 - r.weight) + bottom * r.weight;
                out[(static_cast<size_t>(y) * dw + x) * RGBA + c] = static_cast<uint8_t>(std::lround(value));
            }
        }
    }
    return out;
}

}  // namespace

bool Texture::LoadFromFile(const std::string& path, uint32_t colorKey)
{
    std::ifstream in(DataPath(path), std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<uint64_t>(size) > MAX_FILE_BYTES) return false;
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return false;
    return LoadFromMemory(bytes.data(), bytes.size(), colorKey);
}

bool Texture::LoadFromMemory(const uint8_t* data, size_t size, uint32_t colorKey)
{
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX) || !JpegHuffmanTablesFit(data, size)) return false;
    int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    // The header first, so a forged size is refused before anything is allocated.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels) || !SizeAcceptable(width, height)) return false;
    stbi_uc* pixels = stbi_load_from_memory(data, length, &width, &height, &channels, RGBA);
    if (!pixels) return false;
    bool ok = LoadFromPixels(pixels, width, height, colorKey);
    stbi_image_free(pixels);
    return ok;
}

bool Texture::LoadFromPixels(const uint8_t* rgba, int width, int height, uint32_t colorKey)
{
    if (!rgba || !SizeAcceptable(width, height)) return false;
    std::vector<uint8_t> source(rgba, rgba + static_cast<size_t>(width) * height * RGBA);
    // The key is applied before stretching, so keyed pixels are matched exactly.
    ApplyColorKey(source, colorKey);
    int roundedWidth = RoundUpToPowerOfTwo(width), roundedHeight = RoundUpToPowerOfTwo(height);
    m_pixels = Stretch(source, width, height, roundedWidth, roundedHeight);
    m_width = roundedWidth;
    m_height = roundedHeight;
    m_sourceWidth = width;
    m_sourceHeight = height;
    m_opaque = AllOpaque(m_pixels);
    Touch();
    return true;
}

int Texture::MipLevels() const
{
    int levels = 0;
    for (int size = std::max(m_width, m_height); size > 0; size >>= 1) ++levels;
    return levels;
}

uint32_t Texture::PixelARGB(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return ToARGB(&m_pixels[(static_cast<size_t>(y) * m_width + x) * RGBA]);
}

}  // namespace plat
