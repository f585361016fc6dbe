// Image is the generator's painting surface: straight-alpha RGBA in floats,
// with anti-aliased shapes drawn from signed distances, masks for lettering
// and glows, resampling, and writers for the formats the game reads (24-bit
// BMP, PNG with alpha, JPEG).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with the given alpha.
constexpr Rgba Hex(uint32_t rgb, float alpha = 1.0f)
{
    return {static_cast<float>((rgb >> 16) & 0xff) / 255.0f, static_cast<float>((rgb >> 8) & 0xff) / 255.0f,
            static_cast<float>(rgb & 0xff) / 255.0f, alpha};
}
inline Rgba Mix(Rgba a, Rgba b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
inline Rgba WithAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }
inline Rgba Scaled(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
inline float SmoothStep(float e0, float e1, float x)
{
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
// Coverage of a pixel whose centre lies at signed distance d (pixels, negative inside).
inline float Coverage(float d) { return Clamp01(0.5f - d); }

struct Point {
    float x = 0, y = 0;
};

// A single-channel coverage map (lettering, glows, shapes to be filled later).
class Mask {
public:
    Mask() = default;
    Mask(int width, int height) : m_W(width), m_H(height), m_V(static_cast<size_t>(width) * height, 0.0f) {}
    int Width() const { return m_W; }
    int Height() const { return m_H; }
    float At(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= m_W || y >= m_H) ? 0.0f : m_V[static_cast<size_t>(y) * m_W + x];
    }
    float& Ref(int x, int y) { return m_V[static_cast<size_t>(y) * m_W + x]; }
    // Bilinear sample with pixel centres at +0.5.
    float Sample(float x, float y) const;

    Mask Dilated(float radius) const;   // max over a disc
    Mask Blurred(float radius) const;   // three box passes
    Mask Resized(int width, int height) const;
    Mask Padded(int pad) const;
    // Smallest rectangle holding coverage above the threshold: x0, y0, x1, y1 (exclusive).
    void InkBounds(int* x0, int* y0, int* x1, int* y1, float threshold = 0.02f) const;

private:
    int m_W = 0, m_H = 0;
    std::vector<float> m_V;
};

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = {});

    int Width() const { return m_W; }
    int Height() const { return m_H; }
    Rgba At(int x, int y) const { return m_Px[Index(x, y)]; }
    Rgba& Ref(int x, int y) { return m_Px[Index(x, y)]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_W && y < m_H; }
    Rgba Sample(float x, float y) const;   // bilinear, clamped at the edges

    // Source-over blend of colour c with extra coverage k.
    void Blend(int x, int y, Rgba c, float k = 1.0f);
    // Adds light: colour times alpha times k, alpha raised towards opaque.
    void AddLight(int x, int y, Rgba c, float k = 1.0f);

    // Calls shade(x, y) with pixel-centre coordinates for every pixel of the box
    // and blends the returned colour (its alpha carries the coverage).
    template <class Shade>
    void Paint(int x0, int y0, int x1, int y1, Shade shade)
    {
        x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, m_W), y1 = std::min(y1, m_H);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgba c = shade(x + 0.5f, y + 0.5f);
                if (c.a > 0) Blend(x, y, c);
            }
    }
    template <class Shade>
    void PaintAll(Shade shade)
    {
        Paint(0, 0, m_W, m_H, shade);
    }
    // The same, but the colour is added as light.
    template <class Shade>
    void Glow(int x0, int y0, int x1, int y1, Shade shade)
    {
        x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, m_W), y1 = std::min(y1, m_H);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgba c = shade(x + 0.5f, y + 0.5f);
                if (c.a > 0) AddLight(x, y, c);
            }
    }

    void Fill(Rgba c);
    void FillRect(float x0, float y0, float x1, float y1, Rgba c);
    void FillRoundRect(float x0, float y0, float x1, float y1, float radius, Rgba c);
    void StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, Rgba c);
    void FillCircle(float cx, float cy, float r, Rgba c);
    void StrokeCircle(float cx, float cy, float r, float width, Rgba c);
    void FillPolygon(const std::vector<Point>& pts, Rgba c);
    void Line(float x0, float y0, float x1, float y1, float width, Rgba c);
    void GlowDot(float cx, float cy, float radius, Rgba c);   // additive soft dot

    // Blends mask coverage, coloured by shade(x, y), at offset (ox, oy).
    template <class Shade>
    void DrawMask(const Mask& m, int ox, int oy, Shade shade)
    {
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x) {
                float k = m.At(x, y);
                int px = ox + x, py = oy + y;
                if (k <= 0 || !Inside(px, py)) continue;
                Rgba c = shade(px + 0.5f, py + 0.5f);
                Blend(px, py, c, k);
            }
    }
    void DrawMask(const Mask& m, int ox, int oy, Rgba c)
    {
        DrawMask(m, ox, oy, [c](float, float) { return c; });
    }
    template <class Shade>
    void GlowMask(const Mask& m, int ox, int oy, Shade shade)
    {
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x) {
                float k = m.At(x, y);
                int px = ox + x, py = oy + y;
                if (k <= 0 || !Inside(px, py)) continue;
                AddLight(px, py, shade(px + 0.5f, py + 0.5f), k);
            }
    }

    // Copies (replacing) or blends another image with its top-left corner at (ox, oy).
    void Copy(const Image& src, int ox, int oy);
    void Over(const Image& src, int ox, int oy);
    Image Cropped(int x0, int y0, int x1, int y1) const;
    Image Resized(int width, int height) const;   // area average when shrinking, bilinear when growing
    Image Blurred(float radius) const;
    // The alpha channel as a mask, and an image built from a mask in one colour.
    Mask AlphaMask() const;
    // Every pixel composited over an opaque colour.
    void Flatten(Rgba background);

    bool WritePng(const std::string& path) const;
    bool WriteJpg(const std::string& path, int quality) const;
    bool WriteBmp24(const std::string& path) const;   // alpha is dropped

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * m_W + x; }
    std::vector<uint8_t> Bytes(int channels) const;

    int m_W = 0, m_H = 0;
    std::vector<Rgba> m_Px;
};

// Signed distances (pixels, negative inside) used by the shape painters.
float SdCircle(float px, float py, float cx, float cy, float r);
float SdBox(float px, float py, float x0, float y0, float x1, float y1, float radius = 0);
float SdSegment(float px, float py, float ax, float ay, float bx, float by);
float SdPolygon(float px, float py, const std::vector<Point>& pts);

// Star polygon: n points, outer and inner radius, first point at angle a0 (radians, 0 = up).
std::vector<Point> StarPoints(float cx, float cy, int n, float outer, float inner, float a0 = 0);
std::vector<Point> RegularPolygon(float cx, float cy, int n, float r, float a0 = 0);

// Value noise in [0, 1] with a fixed lattice, and fractal sums of it.
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, int octaves, uint32_t seed);
// Noise that tiles with period (px, py) lattice cells.
float TiledNoise(float x, float y, int px, int py, uint32_t seed);
float TiledFbm(float x, float y, int px, int py, int octaves, uint32_t seed);

}   // namespace assetgen

namespace assetgen {
// The mask turned a quarter turn anticlockwise (text then reads upwards).
Mask RotatedLeft(const Mask& m);
}   // namespace assetgen
