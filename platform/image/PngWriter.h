// PngWriter is responsible for writing RGBA pixels to a PNG file
// (screenshots, the viewer's pictures).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class PngWriter {
public:
    // rgba: width x height pixels, rows from the top. False when the file cannot be written.
    static bool Write(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height);
};

}   // namespace plat
