// Font is one DejaVu typeface read through stb_truetype, and the lettering
// helpers that turn text into masks and draw it with fill, outline, shadow
// and glow: every word in the game's pictures goes through here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/assetgen/Image.h"

namespace assetgen {

enum class Face { Sans, SansBold, SerifBold, MonoBold };

class Font {
public:
    // The typeface, loaded once from the system's DejaVu folder.
    static const Font& Get(Face face);

    bool Ok() const { return m_Ok; }
    const std::string& Path() const { return m_Path; }
    // Text set on one line at the given pixel height (ascent to descent), with
    // pad empty pixels around; tracking adds space between letters (pixels).
    Mask Render(std::string_view text, float pixelHeight, int pad, float tracking = 0) const;

private:
    explicit Font(const std::string& path);

    std::string m_Path;
    std::vector<unsigned char> m_Data;
    std::vector<unsigned char> m_Info;   // stbtt_fontinfo, kept opaque here
    bool m_Ok = false;
};

struct TextStyle {
    Rgba top = Hex(0xffffff), bottom = Hex(0xffffff);   // vertical fill gradient over the ink
    float outline = 0;                                  // pixels
    Rgba outlineColor = Hex(0x000000);
    float shadowDx = 0, shadowDy = 0;
    Rgba shadowColor = Hex(0x000000, 0.6f);
    float glow = 0;   // blur radius of a halo behind the text
    Rgba glowColor = Hex(0xffffff, 0.8f);
    float shine = 0;   // strength of a highlight on the upper half
    float tracking = 0;
    float squeeze = 1;   // horizontal scale of the letters
};

enum class Align { Left, Center, Right };

// Draws text with its ink fitted into the box (shrunk if needed, never grown
// beyond pixelHeight), aligned horizontally and centred vertically.
void DrawText(Image& img, Face face, std::string_view text, float pixelHeight, float x0, float y0, float x1, float y1,
              const TextStyle& style, Align align = Align::Center);

// The ink mask of text scaled to fit the box, with its placement (for callers
// that paint letters themselves).
struct PlacedMask {
    Mask mask;
    int x = 0, y = 0;   // where the mask's top-left goes
};
PlacedMask FitText(Face face, std::string_view text, float pixelHeight, float x0, float y0, float x1, float y1,
                   Align align = Align::Center, float tracking = 0, float squeeze = 1, int pad = 8);

// Draws a styled mask (fill, outline, shadow, glow) at its placement.
void DrawStyled(Image& img, const PlacedMask& pm, const TextStyle& style);

}   // namespace assetgen
