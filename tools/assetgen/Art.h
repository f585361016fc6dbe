// Art holds the drawing helpers the picture painters share: the palette,
// panels, hazard stripes, lettering that tiles, a small spinning-top
// illustration, and access to the regions of the texture tables.
#pragma once

#include <string>

#include "tools/assetgen/Font.h"
#include "tools/assetgen/Image.h"
#include "tools/assetgen/TextureRegions.h"

namespace assetgen {

namespace palette {
inline constexpr Rgba Ink = Hex(0x0b0f1e);
inline constexpr Rgba Navy = Hex(0x101a3a);
inline constexpr Rgba Cyan = Hex(0x3fd8ff);
inline constexpr Rgba Gold = Hex(0xffc53a);
inline constexpr Rgba Orange = Hex(0xff7a1a);
inline constexpr Rgba Red = Hex(0xe8302a);
inline constexpr Rgba White = Hex(0xffffff);
inline constexpr Rgba Steel = Hex(0x9aa6b8);
}   // namespace palette

// An image the size of a region, to be painted and then copied into place.
Image RegionCanvas(const regions::Region& r, Rgba fill = {});
void Place(Image& sheet, const regions::Region& r, const Image& cell);

// Rounded panel: translucent fill, a border and a brighter top edge.
void Panel(Image& img, float x0, float y0, float x1, float y1, float radius, Rgba fill, Rgba border, float borderWidth);
// Diagonal black and yellow stripes in a band; the period divides tile widths.
void HazardBand(Image& img, float y0, float y1, float period, Rgba a = Hex(0x161616), Rgba b = Hex(0xffcc22));
// Text repeated across the whole width so that the picture tiles horizontally.
void TileText(Image& img, const std::string& phrase, int copies, float y0, float y1, Face face, const TextStyle& style);
// A side view of a spinning top (disc, knob, cone, tip) filling the box.
void DrawTopIllustration(Image& img, float cx, float cy, float size, Rgba body, Rgba stripe, float stripeShift);
// A burst of rays behind a word.
void Burst(Image& img, float cx, float cy, float inner, float outer, int rays, Rgba c);
// Lettering of the screens: a two-colour fill with an ink outline of the
// given width, a soft shadow and a shine.
TextStyle Lettering(Rgba top, Rgba bottom, float outline);
// An entry of the title's menu below START and QUIT, in their look.
Image TitleMenuEntry(const regions::Region& r, const char* word);
// The menus' small pointer, a gold triangle outlined in ink, in a 32 x 32 region.
Image SmallPointer(const regions::Region& r);

// Characters set one to a cell, row by row, in a grid of equal cells.
struct GlyphGrid {
    int perRow;
    int cellWidth, cellHeight;
    Face face;
    float size;
    float inset;   // pixels kept clear above and below each character
};
Image GlyphCells(const regions::Region& r, const std::string& glyphs, const GlyphGrid& grid, const TextStyle& style);

}   // namespace assetgen
