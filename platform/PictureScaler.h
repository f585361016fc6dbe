// PictureScaler is responsible for putting the game's 640 x 480 picture into a
// window's pixels without the graphics driver: on a software rasteriser,
// scaling the picture to a 1280 x 960 window costs the driver several
// milliseconds a frame, while a plain copy on the CPU costs a fraction of that.
// The picture comes as GL reads it back (RGBA bytes, bottom row first); the
// window's pixels are 32-bit words whose channels sit at the given shifts. It
// is centred and scaled to fit with black bars round it (the same place as
// FitBackBuffer): at a whole multiple of its size each pixel becomes an even
// square, at any other size it is filtered linearly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

struct PixelLayout {
    int redShift = 16, greenShift = 8, blueShift = 0;
    uint32_t alphaMask = 0;   // set in every pixel written (0: no alpha channel)
};

class PictureScaler {
public:
    // Writes the picture into a width x height target whose rows are pitch
    // bytes apart. Nothing is written when a size is not positive, the pitch
    // is too short or the picture is smaller than its size says.
    void Put(const std::vector<uint8_t>& rgbaBottomUp, int pictureWidth, int pictureHeight, uint32_t* target,
             int width, int height, size_t pitch, const PixelLayout& layout);

    // Where one target pixel samples the source along an axis: the pixel to
    // its left (or above) and the weight of the next one (0 when there is
    // none), pixel centres lined up as a linear texture filter lines them up.
    struct Tap {
        int first = 0;
        uint32_t weight = 0;
    };

private:
    void Convert(const std::vector<uint8_t>& rgbaBottomUp, int pictureWidth, int pictureHeight,
                 const PixelLayout& layout);
    void Replicate(const std::vector<uint8_t>& rgbaBottomUp, int pictureWidth, int pictureHeight,
                   const PixelLayout& layout, int factor, uint8_t* topLeft, size_t pitch) const;
    void Filter(uint8_t* topLeft, int width, int height, size_t pitch);

    // The picture in the target's layout, top row first.
    std::vector<uint32_t> m_Converted;
    int m_Width = 0, m_Height = 0;
    // The filter's taps for the last sizes, and the picture scaled along its rows.
    std::vector<Tap> m_Columns, m_Rows;
    int m_TapsWidth = 0, m_TapsHeight = 0;
    std::vector<uint32_t> m_Widened;
};

}   // namespace plat
