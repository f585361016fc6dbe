// ShownPicture is responsible for knowing what the window shows: the last
// picture put on screen and the size of the window it was put into. Showing a
// picture costs a scaled copy to the whole window and a swap, which on a
// software rasteriser is the largest part of a still screen's frame; a frame
// whose picture the window already shows, at the same size and undamaged,
// need not be shown again.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

class ShownPicture {
public:
    // True when the picture must be put on screen: it differs from the one
    // shown, the window's size changed, the window's contents were damaged
    // (uncovered, resized, shown again) or nothing is known to be shown.
    bool NeedsShowing(const std::vector<uint8_t>& picture, int width, int height, bool damaged) const;
    // The picture is on screen now; it is taken over (the vector gets the
    // earlier picture's storage back, for the next frame to reuse).
    void Shown(std::vector<uint8_t>* picture, int width, int height);
    // True when a picture is known to be in a window of this size.
    bool Shows(int width, int height) const { return m_Known && width == m_Width && height == m_Height; }
    // The window's contents are no longer known (it was hidden).
    void Forget() { m_Known = false; }

private:
    std::vector<uint8_t> m_Picture;
    int m_Width = 0, m_Height = 0;
    bool m_Known = false;
};

}   // namespace plat
