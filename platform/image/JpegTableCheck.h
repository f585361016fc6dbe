// A check run on JPEG files before they reach the decoder. The stb_image
// release we build on (2.27) trusts the symbol counts of a Huffman table
// (DHT segment) and writes past its tables when they add up to more than
// 256; a corrupt or hostile picture could then overwrite memory. This walks
// the file's markers the way the decoder does and refuses such tables.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// True for anything that is not a JPEG, and for JPEGs whose every Huffman
// table has at most 256 symbols.
bool JpegHuffmanTablesFit(const uint8_t* data, size_t size);

}   // namespace plat
