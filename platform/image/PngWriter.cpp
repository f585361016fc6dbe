#include "platform/image/PngWriter.h"

#include <stb/stb_image_write.h>

namespace plat {

bool PngWriter::Write(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height)
{
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * height * 4) return false;
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

}   // namespace plat
