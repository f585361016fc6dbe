#include "platform/gl/ShownPicture.h"

#include <utility>

namespace plat {

bool ShownPicture::NeedsShowing(const std::vector<uint8_t>& picture, int width, int height, bool damaged) const
{
    return damaged || !m_Known || width != m_Width || height != m_Height || picture.empty() || picture != m_Picture;
}

void ShownPicture::Shown(std::vector<uint8_t>* picture, int width, int height)
{
    std::swap(m_Picture, *picture);
    m_Width = width;
    m_Height = height;
    m_Known = !m_Picture.empty();
}

}   // namespace plat
