// ImageWriter is responsible for writing RGBA pixels (rows from the top) to
// BMP and JPEG files, the game's picture formats besides PNG (see PngWriter),
// for tools and tests that make pictures.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

class ImageWriter {
public:
    // 32-bit BMP with alpha. False when the file cannot be written.
    static bool WriteBmp(const std::string& path, const uint8_t* rgba, int width, int height);
    // Quality 1 to 100. False when the file cannot be written.
    static bool WriteJpeg(const std::string& path, const uint8_t* rgba, int width, int height, int quality);
};

}   // namespace plat
