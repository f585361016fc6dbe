#include "platform/image/JpegTableCheck.h"

namespace plat {

namespace {

constexpr uint8_t MARKER = 0xFF;
constexpr uint8_t SOI = 0xD8, EOI = 0xD9, DHT = 0xC4, TEM = 0x01, STUFFED = 0x00;
constexpr uint8_t RST_FIRST = 0xD0, RST_LAST = 0xD7;
constexpr int MAX_SYMBOLS = 256;
constexpr int CODE_LENGTHS = 16;

// The decoder reads zeros past the end of the input.
uint8_t ByteAt(const uint8_t* data, size_t size, size_t at) { return at < size ? data[at] : 0; }

size_t BigEndian16(const uint8_t* data, size_t size, size_t at)
{
    return (static_cast<size_t>(ByteAt(data, size, at)) << 8) | ByteAt(data, size, at + 1);
}

// Reads the tables of one DHT segment exactly as the decoder does (by their
// own counts, while the segment length says more follow).
bool TablesFit(const uint8_t* data, size_t size, size_t at, long remaining)
{
    while (remaining > 0 && at < size) {
        uint8_t classAndId = ByteAt(data, size, at);
        if ((classAndId >> 4) > 1 || (classAndId & 15) > 3) return true;   // the decoder stops here
        int symbols = 0;
        for (int i = 1; i <= CODE_LENGTHS; ++i) symbols += ByteAt(data, size, at + i);
        if (symbols > MAX_SYMBOLS) return false;
        at += 1 + CODE_LENGTHS + symbols;
        remaining -= 1 + CODE_LENGTHS + symbols;
    }
    return true;
}

bool StandsAlone(uint8_t marker)
{
    return marker == STUFFED || marker == TEM || marker == SOI || (marker >= RST_FIRST && marker <= RST_LAST);
}

}   // namespace

bool JpegHuffmanTablesFit(const uint8_t* data, size_t size)
{
    // Like the decoder, accept any number of fill bytes before the start marker.
    if (!data || size < 2 || data[0] != MARKER) return true;
    size_t at = 1;
    while (at < size && data[at] == MARKER) ++at;
    if (at >= size || data[at] != SOI) return true;
    ++at;
    while (at + 1 < size) {
        // Outside segments (entropy-coded data) only FF followed by a marker code counts.
        if (data[at] != MARKER || data[at + 1] == MARKER) {
            ++at;
            continue;
        }
        uint8_t marker = data[at + 1];
        if (marker == EOI) return true;
        if (StandsAlone(marker)) {
            at += 2;
            continue;
        }
        size_t length = BigEndian16(data, size, at + 2);
        if (marker == DHT && !TablesFit(data, size, at + 4, static_cast<long>(length) - 2)) return false;
        at += 2 + (length < 2 ? 2 : length);
    }
    return true;
}

}   // namespace plat
