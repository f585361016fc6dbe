#include "tools/assetgen/MeshArt.h"

#include <cmath>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Rng.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

float Fract(float v) { return v - std::floor(v); }

// A soft-edged stripe: 1 inside [0, width) of each unit period.
float Stripe(float phase, float width, float soft = 0.04f)
{
    float f = Fract(phase);
    return SmoothStep(0, soft, f) * (1 - SmoothStep(width - soft, width, f));
}

// A symbol painted twice round an equirectangular ball texture.
template <class Draw>
void AroundBall(Image& img, Draw draw)
{
    for (float u : {0.25f, 0.75f}) draw(img, u * img.Width(), img.Height() * 0.5f);
}

}   // namespace

Image TopTexture(const TopLook& look)
{
    Image c(256, 128);
    const int n = look.stripes;
    c.PaintAll([&](float px, float py) {
        float u = px / 256, v = py / 128;
        float s = 0;
        switch (look.livery) {
            case Livery::Spiral: s = Stripe(u * n + v * 3.0f, 0.45f); break;
            case Livery::Spokes: s = Stripe(u * n, 0.35f); break;
            case Livery::Chevrons: s = Stripe(u * n + std::fabs(Fract(v * 4) - 0.5f) * 1.2f, 0.4f); break;
            case Livery::Bands: s = Stripe(u * n, 0.5f, 0.02f); break;
            case Livery::Royal: s = Stripe(u * n + v * 1.5f, 0.3f); break;
        }
        Rgba col = Mix(look.body, look.stripe, s);
        // Thin accent edges along the stripes.
        float edge = Stripe(u * n + (look.livery == Livery::Spiral ? v * 3.0f : 0) + 0.47f, 0.05f, 0.015f);
        if (look.livery != Livery::Chevrons) col = Mix(col, look.accent, edge);
        if (look.livery == Livery::Royal) col = Mix(col, look.accent, Stripe(u * n * 2 + 0.1f, 0.06f, 0.02f));
        float grain = TiledFbm(px / 16, py / 16, 16, 8, 3, 5);
        col = Scaled(col, 0.9f + 0.2f * grain);
        return WithAlpha(col, 1);
    });
    return c;
}

Image GhostTexture()
{
    Image c(256, 64);
    c.PaintAll([](float px, float py) {
        float u = px / 256, v = py / 64;
        float streak = 0;
        for (int k = 0; k < 3; ++k) streak += Stripe(u * (3 + k * 2) + k * 0.31f + v * 0.5f, 0.5f, 0.45f);
        float a = Clamp01(0.15f + 0.3f * streak) * (0.5f + 0.5f * std::sin(v * kPi));
        return WithAlpha(Mix(Hex(0x9fe8ff), Hex(0xffffff), streak / 3), a);
    });
    return c;
}

Image SwarmShellTexture()
{
    Image c(256, 128);
    c.PaintAll([](float px, float py) {
        float u = px / 256, v = py / 128;
        float seam = std::max(Stripe(u * 8 - 0.02f, 0.04f, 0.01f), Stripe(v * 5 - 0.03f, 0.06f, 0.02f));
        float spot = Stripe(u * 8 + 0.35f, 0.3f) * Stripe(v * 5 + 0.5f, 0.3f);
        Rgba col = Mix(Hex(0xffffff), Hex(0x8a8a8a), seam);
        col = Mix(col, Hex(0x303030), spot * 0.9f);
        return WithAlpha(col, 1);
    });
    return c;
}

Image BumperTexture()
{
    Image c(256, 128);
    c.PaintAll([](float px, float py) {
        float u = px / 256;
        float s = Stripe(u * 8 + py / 128 * 0.5f, 0.5f, 0.03f);
        return WithAlpha(Mix(Hex(0xf8f8f8), Hex(0xe02a2a), s), 1);
    });
    return c;
}

Image BombTexture()
{
    Image c(256, 128);
    c.PaintAll([](float px, float py) {
        float v = py / 128;
        Rgba col = Hex(0x262a34);
        float n = TiledFbm(px / 12, py / 12, 21, 10, 3, 9);
        col = Scaled(col, 0.8f + 0.4f * n);
        // A hazard band round the middle.
        if (std::fabs(v - 0.5f) < 0.09f) {
            float s = Stripe((px + py) / 24, 0.5f, 0.08f);
            col = Mix(Hex(0x181818), Hex(0xffc820), s);
        }
        if (std::fabs(std::fabs(v - 0.5f) - 0.1f) < 0.012f) col = Hex(0xc8ccd8);
        return WithAlpha(col, 1);
    });
    return c;
}

Image OrbTexture()
{
    Image c(128, 64);
    c.PaintAll([](float px, float py) {
        float n = TiledFbm(px / 10, py / 10, 12, 6, 4, 13);
        float swirl = Stripe(px / 128 * 3 + py / 64 + n * 0.8f, 0.5f, 0.3f);
        return WithAlpha(Mix(Hex(0xff3ad0), Hex(0xffe8ff), swirl * 0.8f), 1);
    });
    return c;
}

Image ItemBallTexture(int kind)
{
    static const Rgba kBase[4] = {Hex(0xffd840), Hex(0x3f8cff), Hex(0x3adf6a), Hex(0xff6a1a)};
    Image c(256, 128);
    Rgba base = kBase[kind];
    c.PaintAll([&](float, float py) {
        float v = py / 128;
        Rgba col = Mix(Scaled(base, 1.15f), Scaled(base, 0.75f), v);
        if (std::fabs(v - 0.5f) > 0.38f) col = Mix(col, Hex(0xffffff), 0.6f);
        col.a = 1;
        return col;
    });
    AroundBall(c, [&](Image& img, float cx, float cy) {
        img.FillCircle(cx, cy, 30, Hex(0xffffff));
        img.StrokeCircle(cx, cy, 30, 4, palette::Ink);
        Rgba ink = Scaled(base, 0.55f);
        ink.a = 1;
        switch (kind) {
            case 0: {
                TextStyle s;
                s.top = s.bottom = Hex(0x1a2040);
                DrawText(img, Face::SansBold, "?", 48, cx - 26, cy - 26, cx + 26, cy + 26, s);
                break;
            }
            case 1:
                img.StrokeCircle(cx, cy, 17, 7, ink);
                img.FillPolygon({{cx + 10, cy - 24}, {cx + 26, cy - 14}, {cx + 8, cy - 6}}, ink);
                break;
            case 2:
                img.FillPolygon({{cx, cy - 24},
                                 {cx + 18, cy - 4},
                                 {cx + 7, cy - 4},
                                 {cx + 7, cy + 22},
                                 {cx - 7, cy + 22},
                                 {cx - 7, cy - 4},
                                 {cx - 18, cy - 4}},
                                ink);
                break;
            default:
                img.FillPolygon({{cx + 5, cy - 24},
                                 {cx - 13, cy + 3},
                                 {cx - 2, cy + 3},
                                 {cx - 6, cy + 24},
                                 {cx + 13, cy - 5},
                                 {cx + 2, cy - 5}},
                                ink);
                break;
        }
    });
    return c;
}

Image CrateTexture()
{
    Image c(128, 128);
    c.PaintAll([](float px, float py) {
        float n = Fbm(px / 10, py / 10, 3, 21);
        Rgba col = Scaled(Hex(0x2a5ad0), 0.85f + 0.3f * n);
        float frame = SdBox(px, py, 10, 10, 118, 118, 6);
        if (frame > 0) col = Mix(Hex(0xffd040), Hex(0xc89020), Clamp01((px + py) / 256));
        if (std::fabs(frame) < 1.5f) col = palette::Ink;
        return WithAlpha(col, 1);
    });
    TextStyle s;
    s.top = Hex(0xffffff), s.bottom = Hex(0xffe060);
    s.outline = 4, s.outlineColor = palette::Ink;
    s.shine = 0.4f;
    DrawText(c, Face::SansBold, "?", 96, 20, 16, 108, 112, s);
    return c;
}

Image AuraTexture()
{
    Image c(256, 128);
    c.PaintAll([](float px, float py) {
        float u = px / 256, v = py / 128;
        float flame = 0;
        for (int k = 0; k < 3; ++k) flame += Stripe(u * (5 + 3 * k) + v * (0.8f + 0.4f * k) + 0.2f * k, 0.35f, 0.15f);
        flame /= 3;
        float fade = std::sin(v * kPi);
        return WithAlpha(Mix(Hex(0xff7a1a), Hex(0xfff0a0), flame), Clamp01(flame * 1.4f) * fade);
    });
    return c;
}

Image AirWallTexture()
{
    Image c(128, 128);
    c.PaintAll([](float px, float py) {
        float u = px / 128, v = py / 128;
        float rings = Stripe(u * 5, 0.25f, 0.12f);
        float edge = std::sin(u * kPi) * std::sin(v * kPi);
        return WithAlpha(Mix(Hex(0x6ac8ff), Hex(0xffffff), rings), Clamp01(edge * (0.25f + 0.75f * rings)));
    });
    return c;
}

Image RingTexture()
{
    Image c(128, 32);
    c.PaintAll([](float px, float py) {
        float s = Stripe(px / 128 * 12, 0.5f, 0.2f);
        return WithAlpha(Mix(Hex(0x7aff6a), Hex(0xffffa0), s * (0.5f + 0.5f * std::sin(py / 32 * kPi))), 1);
    });
    return c;
}

Image RailTexture()
{
    Image c(128, 32);
    c.PaintAll([](float px, float py) {
        float s = Stripe((px + py) / 16, 0.5f, 0.06f);
        return WithAlpha(Mix(Hex(0x202428), Hex(0xffc020), s), 1);
    });
    return c;
}

Image RollerTexture()
{
    Image c(128, 64);
    c.PaintAll([](float px, float py) {
        float v = py / 64;
        float ridge = Stripe(px / 128 * 12, 0.5f, 0.1f);
        Rgba col = Mix(Hex(0x6a707c), Hex(0xc8d0dc), ridge);
        if (std::fabs(v - 0.5f) < 0.1f) col = Hex(0xffc020);
        return WithAlpha(col, 1);
    });
    return c;
}

Image SpaceTexture()
{
    const int W = 2048, H = 1024;
    Image c(W, H);
    c.PaintAll([&](float px, float py) {
        float u = px / W, v = py / H;
        // A band of faint nebula across the sky, tiling round.
        float n = TiledFbm(px / 96, py / 96, W / 96, 11, 5, 31);
        float band = std::exp(-std::pow((v - 0.45f - 0.08f * std::sin(u * 2 * kPi)) * 5, 2.0f));
        Rgba col = Mix(Hex(0x02030a), Hex(0x0a0c2a), v);
        col = Mix(col, Hex(0x3a1a6a), 0.55f * band * SmoothStep(0.4f, 0.8f, n));
        col = Mix(col, Hex(0x1a4a8a),
                  0.35f * band * SmoothStep(0.55f, 0.9f, TiledFbm(px / 60, py / 60, W / 60 + 1, 18, 4, 37)));
        return WithAlpha(col, 1);
    });
    Rng rng(2024);
    for (int i = 0; i < 5200; ++i) {
        float x = static_cast<float>(rng.Range(0, W)), y = static_cast<float>(rng.Range(8, H - 8));
        double m = rng.Uniform();
        float size = static_cast<float>(0.45 + m * m * m * 1.8);
        Rgba col = Mix(Hex(0xffffff), rng.Uniform() < 0.5 ? Hex(0x9fc0ff) : Hex(0xffd8a0),
                       static_cast<float>(rng.Uniform() * 0.7));
        float bright = static_cast<float>(0.35 + 0.65 * rng.Uniform());
        c.GlowDot(x, y, size, WithAlpha(col, bright));
        if (x < 6) c.GlowDot(x + W, y, size, WithAlpha(col, bright));
        if (x > W - 6) c.GlowDot(x - W, y, size, WithAlpha(col, bright));
        if (m > 0.985) {   // a few bright stars with a cross glint
            c.Line(x - size * 7, y, x + size * 7, y, 1, WithAlpha(col, 0.5f * bright));
            c.Line(x, y - size * 7, x, y + size * 7, 1, WithAlpha(col, 0.5f * bright));
        }
    }
    return c;
}

// ------------------------------------------------------------ arenas

namespace {

struct ArenaColours {
    Rgba base, dark, light, accent;
};

const ArenaColours kArena[5] = {
    {Hex(0xb86a32), Hex(0x5a2a10), Hex(0xf0b070), Hex(0xffe0a0)},   // copper
    {Hex(0x3a8a4a), Hex(0x12341a), Hex(0x8ae08a), Hex(0xe8ff70)},   // green hive
    {Hex(0x4a3a9a), Hex(0x1a1440), Hex(0x9a8aff), Hex(0x40f0e0)},   // purple pinball
    {Hex(0x6a6e76), Hex(0x2a2c30), Hex(0xb0b6c0), Hex(0xff8a20)},   // iron
    {Hex(0x1a2a6a), Hex(0x080c24), Hex(0x5a7ae0), Hex(0xffd050)},   // navy and gold
};

}   // namespace

// The floor is painted finely and stored at half that size: at 512 texels
// across the arena's span a texel is about a screen pixel from the usual
// camera, so the finer texture never showed on the 640 x 480 screen, and
// filtering it cost the software rasteriser a tenth of a battle frame.
constexpr int kFloorPaintSize = 1024;
constexpr int kFloorTextureSize = 512;

Image ArenaFloorTexture(int stage, float span)
{
    const int N = kFloorPaintSize;
    const ArenaColours& k = kArena[stage - 1];
    Image c(N, N);
    const float unit = N / span;   // texels per world unit
    c.PaintAll([&](float px, float py) {
        float x = (px - N / 2.0f) / unit, z = -(py - N / 2.0f) / unit;
        float r = std::hypot(x, z), a = std::atan2(z, x);
        float n = Fbm(px / 40, py / 40, 4, 100 + stage);
        Rgba col = Mix(k.dark, k.base, 0.55f + 0.45f * n);
        switch (stage) {
            case 1: {   // copper: turned grooves and a spiral in the middle
                float groove = Stripe(r / 2.5f, 0.12f, 0.05f);
                col = Mix(col, k.light, 0.35f * groove);
                col = Mix(col, k.dark, 0.5f * Stripe(r / 10, 0.04f, 0.02f));
                float spiral = Stripe(a / (2 * kPi) * 3 + r / 6, 0.25f, 0.08f) * (1 - SmoothStep(8, 12, r));
                col = Mix(col, k.accent, 0.7f * spiral);
                break;
            }
            case 2: {   // hive: hexagon cells
                float hx = x / 3.0f, hy = z / 2.598f;
                float row = std::floor(hy);
                float off = std::fmod(std::fabs(row), 2.0f) * 0.5f;
                float fx = Fract(hx + off) - 0.5f, fy = hy - row - 0.5f;
                float e = std::max(std::fabs(fx) * 1.7f, std::fabs(fy) * 1.15f + std::fabs(fx) * 0.85f);
                col = Mix(col, k.dark, SmoothStep(0.74f, 0.8f, e));
                col = Mix(col, k.light, 0.25f * (1 - SmoothStep(0.0f, 0.6f, e)));
                col = Mix(col, k.accent, 0.6f * Stripe(r / 12, 0.05f, 0.02f));
                break;
            }
            case 3: {   // pinball garden: checker sectors and star lamps
                float ring = std::floor(r / 6), sector = std::floor((a + kPi) / (2 * kPi) * 16);
                float chk = std::fmod(ring + sector, 2.0f);
                col = Mix(col, k.light, 0.35f * chk);
                col = Mix(col, k.accent, 0.8f * Stripe(r / 6 - 0.02f, 0.05f, 0.02f));
                break;
            }
            case 4: {   // iron crater: plates with rivets and warning arcs
                float gx = Fract(x / 8), gz = Fract(z / 8);
                float seam = std::min({gx, 1 - gx, gz, 1 - gz});
                col = Mix(col, k.dark, 1 - SmoothStep(0.0f, 0.03f, seam));
                float rivet = std::hypot(Fract(x / 8 + 0.5f) - 0.5f, Fract(z / 8 + 0.5f) - 0.5f);
                col = Mix(col, k.light, 1 - SmoothStep(0.04f, 0.06f, rivet));
                float warn = Stripe(r / 40 - 0.6f, 0.05f, 0.01f) * Stripe((x + z) / 3, 0.5f, 0.05f);
                col = Mix(col, k.accent, warn);
                col = Mix(col, Hex(0x6a3010), 0.3f * SmoothStep(0.6f, 0.9f, Fbm(px / 90, py / 90, 4, 7)));
                break;
            }
            default: {   // star altar: a golden five-pointed star in two rings on navy
                static const std::vector<Point> star = StarPoints(0, 0, 5, 15, 6.2f);
                float sig = 1 - SmoothStep(0.25f, 0.45f, std::fabs(SdPolygon(x, -z, star)));
                sig = std::max(sig, Stripe(r / 17 - 0.02f, 0.03f, 0.01f));
                sig = std::max(sig, Stripe(r / 28 - 0.02f, 0.025f, 0.01f));
                col = Mix(col, k.accent, sig);
                float twinkle = std::pow(ValueNoise(px / 3, py / 3, 55), 18.0f);
                col = Mix(col, Hex(0xffffff), twinkle);
                break;
            }
        }
        // A lighter lane near the edge, as on every arena.
        col = Mix(col, k.light, 0.25f * Stripe(r / 40 - 0.88f, 0.08f, 0.02f));
        return WithAlpha(col, 1);
    });
    return c.Resized(kFloorTextureSize, kFloorTextureSize);
}

Image ArenaRimTexture(int stage)
{
    const ArenaColours& k = kArena[stage - 1];
    Image c(512, 64);
    c.PaintAll([&](float px, float py) {
        float v = py / 64;
        Rgba col = Mix(Scaled(k.light, 1.1f), k.dark, v);
        col.a = 1;
        // Lamps along the top of the rim.
        float lamp = Stripe(px / 512 * 48, 0.3f, 0.1f) * Stripe(v * 2 + 0.8f, 0.25f, 0.1f);
        col = Mix(col, k.accent, lamp);
        if (stage == 4) col = Mix(col, Hex(0x181818), Stripe((px + py) / 16, 0.5f, 0.06f) * (v > 0.55f));
        return col;
    });
    return c;
}

}   // namespace assetgen
