#include "platform/image/ImageWriter.h"

#include <stb/stb_image_write.h>

namespace plat {

namespace {
constexpr int RGBA = 4;

bool Valid(const uint8_t* rgba, int width, int height) { return rgba && width > 0 && height > 0; }
}   // namespace

bool ImageWriter::WriteBmp(const std::string& path, const uint8_t* rgba, int width, int height)
{
    return Valid(rgba, width, height) && stbi_write_bmp(path.c_str(), width, height, RGBA, rgba) != 0;
}

bool ImageWriter::WriteJpeg(const std::string& path, const uint8_t* rgba, int width, int height, int quality)
{
    return Valid(rgba, width, height) && stbi_write_jpg(path.c_str(), width, height, RGBA, rgba, quality) != 0;
}

}   // namespace plat
