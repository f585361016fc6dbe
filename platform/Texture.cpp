#include "platform/Texture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/DataRoot.h"
#include "platform/RefusedFiles.h"
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
constexpr int64_t MAX_PIXELS = 4096 * 4096;   // after rounding up: 64 MB of RGBA
constexpr size_t MAX_FILE_BYTES = 64u << 20;
constexpr int RGBA = 4;
constexpr const char* NOT_A_PICTURE = "not a BMP, PNG or JPEG picture";
constexpr const char* PICTURE_TOO_LARGE = "picture too large";
constexpr const char* CUT_SHORT_OR_DAMAGED = "picture cut short or damaged";

// An uncompressed bitmap stores every row, padded to four bytes, after its
// headers: a file too short for the rows its header announces is cut short,
// and is refused before the decoder allocates the whole picture for it.
constexpr size_t BMP_HEADER_BYTES = 54;   // the file header and the smallest info header
constexpr size_t BMP_BITS_OFFSET = 10;
constexpr size_t BMP_INFO_SIZE = 14;
constexpr uint32_t BMP_SMALLEST_INFO_WITH_COMPRESSION = 40;
constexpr size_t BMP_BITS_PER_PIXEL = 28;
constexpr size_t BMP_COMPRESSION = 30;
constexpr uint32_t BMP_UNCOMPRESSED = 0;
constexpr uint32_t BMP_BITFIELDS = 3;

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A PNG is a run of chunks, each its length, type, data and checksum, up to
// the closing IEND. The decoder grows its buffer for a chunk's announced
// length before reading it, so every length is checked against the file first.
constexpr uint8_t PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t PNG_CHUNK_FRAME = 12;   // length, type and checksum
constexpr size_t PNG_TYPE_OFFSET = 4;

uint32_t Be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

bool PngChunksFit(const uint8_t* data, size_t size)
{
    if (size < sizeof PNG_SIGNATURE || !std::equal(std::begin(PNG_SIGNATURE), std::end(PNG_SIGNATURE), data))
        return true;   // not a PNG
    size_t at = sizeof PNG_SIGNATURE;
    while (size - at >= PNG_CHUNK_FRAME) {
        const uint64_t length = Be32(data + at);
        if (length > size - at - PNG_CHUNK_FRAME) return false;
        if (std::equal(data + at + PNG_TYPE_OFFSET, data + at + PNG_TYPE_OFFSET + 4, "IEND")) return true;
        at += PNG_CHUNK_FRAME + static_cast<size_t>(length);
    }
    return false;   // the file ends before its IEND
}

bool BitmapHoldsPixels(const uint8_t* data, size_t size, int width, int height)
{
    if (size < BMP_HEADER_BYTES || data[0] != 'B' || data[1] != 'M') return true;       // not a bitmap
    if (Le32(data + BMP_INFO_SIZE) < BMP_SMALLEST_INFO_WITH_COMPRESSION) return true;   // an OS/2 header
    const uint32_t compression = Le32(data + BMP_COMPRESSION);
    if (compression != BMP_UNCOMPRESSED && compression != BMP_BITFIELDS) return true;
    const uint64_t bitsPerPixel = uint64_t(data[BMP_BITS_PER_PIXEL]) | (uint64_t(data[BMP_BITS_PER_PIXEL + 1]) << 8);
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    return static_cast<uint64_t>(Le32(data + BMP_BITS_OFFSET)) + rowBytes * static_cast<uint64_t>(height) <= size;
}

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

using PixelBytes = std::span<uint8_t>;

// Pixels are compared as whole words, the key turned into the pixels' own
// byte order once, so that a large picture is keyed at memory speed.
void ApplyColorKey(PixelBytes rgba, uint32_t colorKey)
{
    if (colorKey == 0) return;
    const uint8_t keyBytes[RGBA] = {uint8_t(colorKey >> 16), uint8_t(colorKey >> 8), uint8_t(colorKey),
                                    uint8_t(colorKey >> 24)};
    uint32_t key = 0;
    std::memcpy(&key, keyBytes, RGBA);
    for (size_t i = 0; i + RGBA <= rgba.size(); i += RGBA) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, &rgba[i], RGBA);
        if (pixel == key) std::memset(&rgba[i], 0, RGBA);
    }
}

// Alpha is the fourth byte of each pixel: the bytes of a block are ANDed
// together, two pixels to a word, and the block's alpha bytes checked once.
bool AllOpaque(std::span<const uint8_t> rgba)
{
    constexpr uint8_t FULL = 255;
    constexpr size_t BLOCK = 256;
    constexpr uint64_t ALPHA_BYTES = 0xff000000ff000000ull;
    if (rgba.empty()) return false;
    size_t i = 0;
    for (; i + BLOCK <= rgba.size(); i += BLOCK) {
        uint64_t all = ~uint64_t{0};
        for (size_t j = 0; j < BLOCK; j += sizeof all) {
            uint64_t word = 0;
            std::memcpy(&word, &rgba[i + j], sizeof word);
            all &= word;
        }
        if ((all & ALPHA_BYTES) != ALPHA_BYTES) return false;
    }
    for (i += RGBA - 1; i < rgba.size(); i += RGBA)
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

// Fills the dw x dh picture `out` from the sw x sh picture `source`.
void Stretch(const uint8_t* source, int sw, int sh, uint8_t* out, int dw, int dh)
{
    std::vector<Tap> columns = LinearTaps(sw, dw), rows = LinearTaps(sh, dh);
    auto at = [&](int x, int y, int c) {
        return static_cast<float>(source[(static_cast<size_t>(y) * sw + x) * RGBA + c]);
    };
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
}

}   // namespace

bool Texture::LoadFromFile(const std::string& path, uint32_t colorKey)
{
    const char* problem = LoadFileProblem(path, colorKey);
    if (problem) RefusedFiles::Report(path, problem);
    return problem == nullptr;
}

const char* Texture::LoadFileProblem(const std::string& path, uint32_t colorKey)
{
    std::ifstream in(DataPath(path), std::ios::binary);
    if (!in) return RefusedFiles::WhyCannotOpen();
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return RefusedFiles::kUnreadable;
    if (size == 0) return RefusedFiles::kEmpty;
    if (static_cast<uint64_t>(size) > MAX_FILE_BYTES) return RefusedFiles::kTooLarge;
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return RefusedFiles::kUnreadable;
    return DecodeProblem(bytes.data(), bytes.size(), colorKey);
}

bool Texture::LoadFromMemory(const uint8_t* data, size_t size, uint32_t colorKey)
{
    return DecodeProblem(data, size, colorKey) == nullptr;
}

const char* Texture::DecodeProblem(const uint8_t* data, size_t size, uint32_t colorKey)
{
    if (!data || size == 0) return RefusedFiles::kEmpty;
    if (size > static_cast<size_t>(INT_MAX)) return RefusedFiles::kTooLarge;
    if (!JpegHuffmanTablesFit(data, size)) return NOT_A_PICTURE;
    int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    // The header first, so a forged size is refused before anything is allocated.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return NOT_A_PICTURE;
    if (!SizeAcceptable(width, height)) return PICTURE_TOO_LARGE;
    if (!BitmapHoldsPixels(data, size, width, height) || !PngChunksFit(data, size)) return RefusedFiles::kCutShort;
    stbi_uc* pixels = stbi_load_from_memory(data, length, &width, &height, &channels, RGBA);
    if (!pixels) return CUT_SHORT_OR_DAMAGED;
    return TakePixels(pixels, width, height, colorKey) ? nullptr : PICTURE_TOO_LARGE;
}

bool Texture::LoadFromPixels(const uint8_t* rgba, int width, int height, uint32_t colorKey)
{
    if (!rgba || !SizeAcceptable(width, height)) return false;
    const size_t bytes = static_cast<size_t>(width) * height * RGBA;
    auto* copy = static_cast<uint8_t*>(std::malloc(bytes));
    if (!copy) return false;
    std::memcpy(copy, rgba, bytes);
    return TakePixels(copy, width, height, colorKey);
}

bool Texture::TakePixels(uint8_t* rgba, int width, int height, uint32_t colorKey)
{
    std::unique_ptr<uint8_t[], FreePixels> pixels(rgba);
    if (!pixels || !SizeAcceptable(width, height)) return false;
    // The key is applied before stretching, so keyed pixels are matched exactly.
    ApplyColorKey({pixels.get(), static_cast<size_t>(width) * height * RGBA}, colorKey);
    const int roundedWidth = RoundUpToPowerOfTwo(width), roundedHeight = RoundUpToPowerOfTwo(height);
    const size_t roundedBytes = static_cast<size_t>(roundedWidth) * roundedHeight * RGBA;
    if (roundedWidth != width || roundedHeight != height) {
        std::unique_ptr<uint8_t[], FreePixels> stretched(static_cast<uint8_t*>(std::malloc(roundedBytes)));
        if (!stretched) return false;
        Stretch(pixels.get(), width, height, stretched.get(), roundedWidth, roundedHeight);
        pixels = std::move(stretched);
    }
    m_Pixels = std::move(pixels);
    m_PixelBytes = roundedBytes;
    m_Width = roundedWidth;
    m_Height = roundedHeight;
    m_SourceWidth = width;
    m_SourceHeight = height;
    m_Opaque = AllOpaque(Pixels());
    m_Released = false;
    Touch();
    return true;
}

void Texture::FreePixels::operator()(uint8_t* pixels) const { std::free(pixels); }

int Texture::MipLevels() const
{
    int levels = 0;
    for (int size = std::max(m_Width, m_Height); size > 0; size >>= 1) ++levels;
    return levels;
}

void Texture::ReleasePixels() const
{
    m_Pixels.reset();
    m_PixelBytes = 0;
    m_Released = true;
}

uint32_t Texture::PixelARGB(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_Width || y >= m_Height || m_Released) return 0;
    return ToARGB(&m_Pixels[(static_cast<size_t>(y) * m_Width + x) * RGBA]);
}

}   // namespace plat
