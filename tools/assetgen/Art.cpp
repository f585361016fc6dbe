#include "tools/assetgen/Art.h"

#include <cmath>

namespace assetgen {

Image RegionCanvas(const regions::Region& r, Rgba fill) { return Image(r.Width(), r.Height(), fill); }

void Place(Image& sheet, const regions::Region& r, const Image& cell) { sheet.Copy(cell, r.left, r.top); }

void Panel(Image& img, float x0, float y0, float x1, float y1, float radius, Rgba fill, Rgba border, float borderWidth)
{
    img.Paint(static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 2, static_cast<int>(y1) + 2,
              [&](float px, float py) {
                  float d = SdBox(px, py, x0, y0, x1, y1, radius);
                  float t = Clamp01((py - y0) / std::max(1.0f, y1 - y0));
                  Rgba c = Mix(Scaled(fill, 1.35f), Scaled(fill, 0.8f), t);
                  c.a = fill.a;
                  return WithAlpha(c, c.a * Coverage(d));
              });
    if (borderWidth > 0) {
        float inset = borderWidth * 0.5f;
        img.StrokeRoundRect(x0 + inset, y0 + inset, x1 - inset, y1 - inset, std::max(0.0f, radius - inset), borderWidth,
                            border);
    }
}

void HazardBand(Image& img, float y0, float y1, float period, Rgba a, Rgba b)
{
    img.Paint(0, static_cast<int>(y0), img.Width(), static_cast<int>(std::ceil(y1)), [&](float px, float py) {
        float s = std::fmod(px + py + 1000 * period, period) / period;   // diagonal phase
        float edge = std::min(std::fabs(s - 0.5f), std::min(s, 1 - s)) * period;
        float k = SmoothStep(-0.7f, 0.7f, (s < 0.5f ? 1.0f : -1.0f) * std::min(edge, period * 0.25f));
        Rgba c = Mix(a, b, k);
        float cover = Coverage(std::max(y0 - py, py - y1));
        return WithAlpha(c, cover);
    });
}

void TileText(Image& img, const std::string& phrase, int copies, float y0, float y1, Face face, const TextStyle& style)
{
    const float period = static_cast<float>(img.Width()) / copies;
    int pad = static_cast<int>(std::ceil(style.outline + style.glow * 2)) + 4;
    Mask m = Font::Get(face).Render(phrase, (y1 - y0) * 1.25f, pad, style.tracking);
    int ix0, iy0, ix1, iy1;
    m.InkBounds(&ix0, &iy0, &ix1, &iy1);
    // Scale the ink (plus a word gap) to exactly one period, keeping the height within the band.
    float inkW = static_cast<float>(ix1 - ix0), inkH = static_cast<float>(iy1 - iy0);
    float gap = inkH * 0.8f;
    float sx = period / (inkW + gap);
    float sy = std::min(1.0f, (y1 - y0 - 2 * style.outline) / inkH);
    sx = std::min(sx, sy * 1.15f);
    Mask scaled = m.Resized(std::max(1, static_cast<int>(std::lround(m.Width() * sx))),
                            std::max(1, static_cast<int>(std::lround(m.Height() * sy))));
    int sx0, sy0, sx1, sy1;
    scaled.InkBounds(&sx0, &sy0, &sx1, &sy1);
    float spareX = period - (sx1 - sx0);
    int top = static_cast<int>(std::lround((y0 + y1 - (sy1 - sy0)) * 0.5f)) - sy0;
    for (int k = -1; k <= copies; ++k) {
        PlacedMask pm;
        pm.mask = scaled;
        pm.x = static_cast<int>(std::lround(k * period + spareX * 0.5f)) - sx0;
        pm.y = top;
        DrawStyled(img, pm, style);
    }
}

void DrawTopIllustration(Image& img, float cx, float cy, float size, Rgba body, Rgba stripe, float stripeShift)
{
    const float s = size / 128.0f;   // drawn on a 128-unit grid
    auto X = [&](float x) { return cx + (x - 64) * s; };
    auto Y = [&](float y) { return cy + (y - 64) * s; };
    const Rgba outline = palette::Ink;
    // Cone and tip.
    std::vector<Point> cone = {{X(30), Y(66)}, {X(98), Y(66)}, {X(70), Y(104)}, {X(58), Y(104)}};
    std::vector<Point> tip = {{X(58), Y(102)}, {X(70), Y(102)}, {X(64), Y(122)}};
    img.FillPolygon(tip, outline);
    img.FillPolygon({{X(60), Y(102)}, {X(68), Y(102)}, {X(64), Y(118)}}, palette::Steel);
    std::vector<Point> coneOut = cone;
    img.Paint(static_cast<int>(X(22)), static_cast<int>(Y(56)), static_cast<int>(X(106)) + 1,
              static_cast<int>(Y(110)) + 1, [&](float px, float py) {
                  float d = SdPolygon(px, py, coneOut);
                  float t = Clamp01((px - X(30)) / (68 * s));
                  Rgba c = Mix(Scaled(body, 0.55f), Scaled(body, 0.95f), std::sin(t * 3.1416f));
                  if (d > -2.5f * s) c = outline;
                  return WithAlpha(c, Coverage(d - 1.5f * s));
              });
    // The disc: a short cylinder seen slightly from above, its face striped.
    const float ex = X(64), ey = Y(54), rx = 56 * s, ry = 18 * s, h = 10 * s;
    img.Paint(static_cast<int>(ex - rx) - 4, static_cast<int>(ey - ry) - 4, static_cast<int>(ex + rx) + 5,
              static_cast<int>(ey + ry + h) + 5, [&](float px, float py) {
                  float nx = (px - ex) / rx, ny = (py - ey) / ry, nyb = (py - ey - h) / ry;
                  float faceD = (std::sqrt(nx * nx + ny * ny) - 1) * ry;
                  float bottomD = (std::sqrt(nx * nx + nyb * nyb) - 1) * ry;
                  float bandD = SdBox(px, py, ex - rx, ey, ex + rx, ey + h);
                  float d = std::min({faceD, bottomD, bandD});
                  Rgba c;
                  if (faceD < 0) {
                      float ang = std::atan2(ny, nx) + stripeShift;
                      float st = 0.5f + 0.5f * std::sin(ang * 6);
                      c = Mix(body, stripe, SmoothStep(0.35f, 0.65f, st));
                      float rr = std::sqrt(nx * nx + ny * ny);
                      if (rr > 0.84f) c = Mix(palette::Steel, palette::White, 0.45f);
                      c = Mix(c, palette::White, 0.2f * (1 - Clamp01(ny + 1)));
                  } else {
                      float t = Clamp01((px - ex + rx) / (2 * rx));
                      c = Mix(Scaled(palette::Steel, 0.55f), palette::Steel, std::sin(t * 3.1416f));
                  }
                  if (d > -2.5f * s) c = outline;
                  return WithAlpha(c, Coverage(d - 1.5f * s));
              });
    // Knob on top.
    img.FillRoundRect(X(55), Y(30), X(73), Y(58), 5 * s, outline);
    img.Paint(static_cast<int>(X(57)), static_cast<int>(Y(32)), static_cast<int>(X(71)) + 1,
              static_cast<int>(Y(57)) + 1, [&](float px, float py) {
                  float t = Clamp01((px - X(57)) / (14 * s));
                  Rgba c = Mix(palette::Steel, palette::White, 1 - std::fabs(t - 0.35f) * 2);
                  return WithAlpha(c, Coverage(SdBox(px, py, X(57.5f), Y(32), X(70.5f), Y(57), 4 * s)));
              });
    img.FillCircle(X(64), Y(58), 10 * s, outline);
    img.FillCircle(X(64), Y(58), 7.5f * s, Mix(body, palette::White, 0.4f));
}

void Burst(Image& img, float cx, float cy, float inner, float outer, int rays, Rgba c)
{
    for (int i = 0; i < rays; ++i) {
        float a = 6.2831853f * i / rays;
        float len = (i % 2 == 0) ? outer : outer * 0.75f;
        float w = 6.2831853f / rays * 0.35f;
        std::vector<Point> tri = {{cx + inner * std::cos(a - w), cy + inner * std::sin(a - w)},
                                  {cx + len * std::cos(a), cy + len * std::sin(a)},
                                  {cx + inner * std::cos(a + w), cy + inner * std::sin(a + w)}};
        img.FillPolygon(tri, c);
    }
    img.FillCircle(cx, cy, inner * 1.05f, c);
}

TextStyle Lettering(Rgba top, Rgba bottom, float outline)
{
    TextStyle s;
    s.top = top, s.bottom = bottom;
    s.outline = outline, s.outlineColor = palette::Ink;
    s.shadowDx = 2, s.shadowDy = 2, s.shadowColor = Hex(0x000000, 0.6f);
    s.shine = 0.5f;
    return s;
}

Image TitleMenuEntry(const regions::Region& r, const char* word)
{
    Image c = RegionCanvas(r);
    const float w = static_cast<float>(r.Width());
    Panel(c, 2, 8, w - 2, 58, 12, Hex(0x0a1436, 0.75f), Hex(0x7fd8ff), 2);
    TextStyle s;
    s.top = Hex(0xffffff), s.bottom = Hex(0xffd040);
    s.outline = 3, s.outlineColor = palette::Ink;
    s.shadowDx = 2, s.shadowDy = 2;
    s.shine = 0.5f;
    DrawText(c, Face::SansBold, word, 40, 14, 10, w - 10, 56, s, Align::Left);
    return c;
}

Image SmallPointer(const regions::Region& r)
{
    Image c = RegionCanvas(r);
    c.FillPolygon({{6, 5}, {28, 16}, {6, 27}}, palette::Ink);
    c.FillPolygon({{9, 9}, {23, 16}, {9, 23}}, palette::Gold);
    return c;
}

Image GlyphCells(const regions::Region& r, const std::string& glyphs, const GlyphGrid& grid, const TextStyle& style)
{
    Image c = RegionCanvas(r);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const float x =
            static_cast<float>((i % static_cast<size_t>(grid.perRow)) * static_cast<size_t>(grid.cellWidth));
        const float y =
            static_cast<float>((i / static_cast<size_t>(grid.perRow)) * static_cast<size_t>(grid.cellHeight));
        DrawText(c, grid.face, glyphs.substr(i, 1), grid.size, x, y + grid.inset,
                 x + static_cast<float>(grid.cellWidth), y + static_cast<float>(grid.cellHeight) - grid.inset, style);
    }
    return c;
}

}   // namespace assetgen
