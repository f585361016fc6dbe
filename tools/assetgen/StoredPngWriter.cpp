#include "tools/assetgen/StoredPngWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace assetgen {

namespace {

constexpr size_t RGBA = 4;
constexpr size_t MAX_STORED_BLOCK = 65535;   // deflate's limit for one stored block
constexpr uint8_t PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data)
{
    constexpr uint32_t MOD = 65521;
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % MOD;
        b = (b + a) % MOD;
    }
    return (b << 16) | a;
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body)
{
    PutBigEndian32(out, static_cast<uint32_t>(body.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian32(out, Crc32(&out[typeAt], 4 + body.size()));
}

// A zlib stream of stored blocks holding raw as it is.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> z = {0x78, 0x01};   // deflate, 32 KB window, no dictionary
    size_t at = 0;
    do {
        const size_t length = std::min(MAX_STORED_BLOCK, raw.size() - at);
        const bool last = at + length == raw.size();
        z.push_back(last ? 1 : 0);   // BFINAL, and BTYPE 00: stored
        const auto len = static_cast<uint16_t>(length);
        const auto nlen = static_cast<uint16_t>(~len);
        z.insert(z.end(), {static_cast<uint8_t>(len), static_cast<uint8_t>(len >> 8), static_cast<uint8_t>(nlen),
                           static_cast<uint8_t>(nlen >> 8)});
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    PutBigEndian32(z, Adler32(raw));
    return z;
}

}   // namespace

std::vector<uint8_t> StoredPngWriter::Encode(const uint8_t* rgba, int width, int height)
{
    const size_t rowBytes = static_cast<size_t>(width) * RGBA;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);   // filter type 0: the row as it is
        const uint8_t* row = rgba + rowBytes * static_cast<size_t>(y);
        raw.insert(raw.end(), row, row + rowBytes);
    }

    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});   // 8 bits, RGBA, deflate, adaptive filters, no interlace

    std::vector<uint8_t> out(std::begin(PNG_SIGNATURE), std::end(PNG_SIGNATURE));
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", {});
    return out;
}

bool StoredPngWriter::Write(const std::string& path, const uint8_t* rgba, int width, int height)
{
    if (!rgba || width <= 0 || height <= 0) return false;
    const std::vector<uint8_t> file = Encode(rgba, width, height);
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
    return out && std::fwrite(file.data(), 1, file.size(), out.get()) == file.size() && std::fflush(out.get()) == 0;
}

}   // namespace assetgen
