// MipChain is responsible for a texture's smaller levels, made on the CPU:
// each level half the size of the one before (never below 1), each pixel
// mixed from the four it covers as a linear filter halving the picture mixes
// them: the two pairs side by side first, then those, each rounded half up
// (the levels Mesa's software rasteriser makes, to the bit). GL could make
// them itself, but that rasteriser does so by drawing into the texture, after
// which every draw sampling it waited for all the drawing queued so far: 5-7
// ms of each battle frame.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

class MipChain {
public:
    // Starts from level 0: RGBA pixels, width x height, both powers of two.
    MipChain(const uint8_t* rgba, int width, int height);

    // Makes the next level; false once the last level (1 x 1) was reached,
    // or for an empty picture.
    bool Next();
    const uint8_t* Pixels() const { return m_Level.data(); }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

private:
    const uint8_t* m_Source;
    std::vector<uint8_t> m_Level, m_Spare;
    int m_Width, m_Height;
};

}   // namespace plat
