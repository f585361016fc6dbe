// The effect pictures: spark and glint sprites (Spark1, Spark2), the trail
// puff (Tarbo1), the item icons (Item1) and flashes (Item2), and the title's
// explosion sheet. All are BMPs on black, which the game keys out or adds.
#include <cmath>
#include <functional>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Rng.h"

namespace assetgen {

namespace {

// Light on black: tiny values are cut to exact black so the colour key catches them.
void Quantize(Image& img)
{
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            Rgba& p = img.Ref(x, y);
            if (std::max({p.r, p.g, p.b}) < 1.5f / 255) p = Rgba{0, 0, 0, 1};
            p.a = 1;
        }
}

Image GlowSprite(const std::function<Rgba(float r, float x, float y)>& light)
{
    Image c(64, 64, Rgba{0, 0, 0, 1});
    c.PaintAll([&](float px, float py) {
        float x = px - 32, y = py - 32, r = std::hypot(x, y);
        Rgba l = light(r, x, y);
        float fade = 1 - SmoothStep(24, 31, r);   // corners stay black: the fade reads its top-left texel
        return Rgba{Clamp01(l.r * fade), Clamp01(l.g * fade), Clamp01(l.b * fade), 1};
    });
    Quantize(c);
    return c;
}

Image Spark1()
{
    return GlowSprite([](float r, float, float) {
        float core = std::exp(-std::pow(r / 7, 2.0f)), halo = std::exp(-std::pow(r / 16, 2.0f));
        return Rgba{core + halo * 1.0f, core + halo * 0.6f, core * 0.8f + halo * 0.15f, 1};
    });
}

Image Spark2()
{
    return GlowSprite([](float r, float x, float y) {
        float core = std::exp(-std::pow(r / 4, 2.0f));
        float rays = std::exp(-std::fabs(y) / 1.4f) * std::exp(-std::fabs(x) / 12) +
                     std::exp(-std::fabs(x) / 1.4f) * std::exp(-std::fabs(y) / 12);
        float diag =
            0.4f * (std::exp(-std::fabs(x - y) / 1.4f) + std::exp(-std::fabs(x + y) / 1.4f)) * std::exp(-r / 8);
        float halo = 0.35f * std::exp(-std::pow(r / 12, 2.0f));
        float v = core + rays + diag;
        return Rgba{v * 0.85f + halo * 0.3f, v + halo * 0.8f, v + halo, 1};
    });
}

Image Tarbo1()
{
    return GlowSprite([](float r, float x, float y) {
        float n = Fbm(x / 9 + 5, y / 9 + 5, 4, 77);
        float puff = std::exp(-std::pow(r / 17, 2.0f)) * (0.55f + 0.7f * n);
        float core = 0.5f * std::exp(-std::pow(r / 7, 2.0f));
        return Rgba{puff * 0.45f + core, puff * 0.75f + core, puff * 1.0f + core, 1};
    });
}

// A circular arrow: the spin symbol.
void Swirl(Image& img, float cx, float cy, float radius, float width, Rgba c)
{
    const float a0 = 0.5f, a1 = 5.3f;
    img.Paint(static_cast<int>(cx - radius - width), static_cast<int>(cy - radius - width),
              static_cast<int>(cx + radius + width) + 1, static_cast<int>(cy + radius + width) + 1,
              [&](float px, float py) {
                  float a = std::atan2(py - cy, px - cx);
                  if (a < 0) a += 6.2831853f;
                  float d = std::fabs(std::hypot(px - cx, py - cy) - radius) - width * 0.5f;
                  if (a < a0 || a > a1) d = 99;
                  return WithAlpha(c, Coverage(d));
              });
    float ex = cx + radius * std::cos(a1), ey = cy + radius * std::sin(a1);
    float tx = -std::sin(a1), ty = std::cos(a1);   // direction of travel at the end
    float nx = std::cos(a1), ny = std::sin(a1);
    img.FillPolygon({{ex + nx * width * 1.3f, ey + ny * width * 1.3f},
                     {ex + tx * width * 1.8f, ey + ty * width * 1.8f},
                     {ex - nx * width * 1.3f, ey - ny * width * 1.3f}},
                    c);
}

std::vector<Point> Bolt(float cx, float cy, float s)
{
    return {{cx + 6 * s, cy - 30 * s}, {cx - 16 * s, cy + 4 * s}, {cx - 2 * s, cy + 4 * s},
            {cx - 8 * s, cy + 30 * s}, {cx + 16 * s, cy - 6 * s}, {cx + 2 * s, cy - 6 * s}};
}

Image ItemIcon(bool power, Rgba tone)
{
    Image c(128, 128, Rgba{0, 0, 0, 1});
    c.GlowDot(64, 64, 40, WithAlpha(Scaled(tone, 0.6f), 0.7f));
    c.StrokeCircle(64, 64, 50, 8, tone);
    c.StrokeCircle(64, 64, 50, 3, Mix(tone, palette::White, 0.7f));
    if (power) {
        c.FillPolygon(Bolt(64, 64, 1.25f), palette::White);
        c.FillPolygon(Bolt(64, 64, 1.0f), Mix(tone, palette::White, 0.5f));
    } else {
        Swirl(c, 64, 64, 27, 12, palette::White);
        Swirl(c, 64, 64, 27, 6, Mix(tone, palette::White, 0.5f));
    }
    Quantize(c);
    return c;
}

Image ItemFlash(bool power)
{
    Image c(128, 128, Rgba{0, 0, 0, 1});
    Rgba tone = power ? Hex(0xff7a1a) : Hex(0x3fd8ff);
    c.GlowDot(64, 64, 34, WithAlpha(tone, 0.9f));
    Image rays(128, 128, Rgba{0, 0, 0, 0});
    Burst(rays, 64, 64, 20, 62, 16, WithAlpha(Mix(tone, palette::White, 0.3f), 0.5f));
    c.Over(rays, 0, 0);
    if (power)
        c.FillPolygon(Bolt(64, 64, 1.4f), Hex(0xfff4c0));
    else
        Swirl(c, 64, 64, 30, 12, Hex(0xe8fbff));
    Quantize(c);
    return c;
}

// ------------------------------------------------------------ explosion

Rgba Heat(float h)
{
    struct Stop {
        float at;
        Rgba c;
    };
    static const Stop ramp[] = {{0.0f, Hex(0x2a221e)}, {0.18f, Hex(0x5a1a0c)}, {0.38f, Hex(0xd8400c)},
                                {0.6f, Hex(0xff9a1a)}, {0.8f, Hex(0xffe060)},  {1.0f, Hex(0xfffbe8)}};
    h = Clamp01(h);
    for (size_t i = 1; i < std::size(ramp); ++i)
        if (h <= ramp[i].at) return Mix(ramp[i - 1].c, ramp[i].c, (h - ramp[i - 1].at) / (ramp[i].at - ramp[i - 1].at));
    return ramp[std::size(ramp) - 1].c;
}

Image ExplosionCell(int frame)
{
    const int N = regions::explosion::kCell;
    const float t = static_cast<float>(frame) / (regions::explosion::kFrames - 1);
    const float radius = 24 + 50 * std::pow(t, 0.45f);
    Image c(N, N, Rgba{0, 0, 0, 1});
    c.PaintAll([&](float px, float py) {
        float x = px - N / 2.0f, y = py - N / 2.0f;
        float d = std::hypot(x, y) / radius;
        float n = Fbm(px / 17 + frame * 1.7f, py / 17 - frame * 0.9f, 4, 311);
        float edge = 0.85f + 0.5f * (n - 0.5f) * (0.6f + t);
        float density = 1 - SmoothStep(edge * 0.8f, edge, d);
        float heat = (1 - d / edge) * (1.45f - 1.2f * t) + (n - 0.5f) * 0.5f;
        if (frame == 0) heat += 0.5f;
        Rgba col = Heat(heat);
        // Rising smoke is lighter at the top.
        if (heat < 0.2f) col = Mix(col, Hex(0x6a5e58), Clamp01(-y / radius) * 0.4f);
        // Nothing may reach the cell's border, or the frame would show a square edge.
        float k = Clamp01(density) * (1 - SmoothStep(N * 0.4f, N * 0.49f, std::hypot(x, y)));
        return Rgba{col.r * k + 0.02f * (k > 0.5f), col.g * k + 0.02f * (k > 0.5f), col.b * k + 0.02f * (k > 0.5f), 1};
    });
    Rng rng(900 + frame);
    if (frame <= 5) {
        for (int i = 0; i < 16; ++i) {
            float a = static_cast<float>(rng.Range(0, 6.2831853));
            float r = radius * (1.05f + 0.45f * static_cast<float>(rng.Uniform())) * (0.6f + 0.6f * t);
            float x = N / 2.0f + r * std::cos(a), y = N / 2.0f + r * std::sin(a);
            if (x < 6 || y < 6 || x > N - 6 || y > N - 6) continue;
            c.GlowDot(x, y, 1.6f, WithAlpha(Hex(0xffd060), 1 - t * 0.8f));
        }
    }
    if (frame <= 1) {
        Image rays(N, N, Rgba{});
        Burst(rays, N / 2.0f, N / 2.0f, 6, std::min(radius * (frame == 0 ? 2.6f : 1.9f), N * 0.47f), 12,
              Hex(0xfff4c0, 0.8f));
        c.Over(rays, 0, 0);
    }
    Quantize(c);
    return c;
}

}   // namespace

bool WriteEffectTextures(const DataDir& dir)
{
    bool ok = Spark1().WriteBmp24(dir.Path("texture/Spark1.bmp"));
    ok = Spark2().WriteBmp24(dir.Path("texture/Spark2.bmp")) && ok;
    ok = Tarbo1().WriteBmp24(dir.Path("texture/Tarbo1.bmp")) && ok;
    namespace I = regions::items;
    Image icons(256, 256, Rgba{0, 0, 0, 1});
    Place(icons, I::Icons[0], ItemIcon(false, Hex(0x3f8cff)));
    Place(icons, I::Icons[1], ItemIcon(false, Hex(0xff4a3a)));
    Place(icons, I::Icons[2], ItemIcon(true, Hex(0x3f8cff)));
    Place(icons, I::Icons[3], ItemIcon(true, Hex(0xff4a3a)));
    ok = icons.WriteBmp24(dir.Path("texture/Item1.bmp")) && ok;
    Image flashes(256, 256, Rgba{0, 0, 0, 1});
    Place(flashes, I::Flashes[0], ItemFlash(false));
    Place(flashes, I::Flashes[1], ItemFlash(true));
    return flashes.WriteBmp24(dir.Path("texture/Item2.bmp")) && ok;
}

bool WriteExplosionTexture(const DataDir& dir)
{
    Image sheet(512, 512, Rgba{0, 0, 0, 1});
    for (int f = 0; f < regions::explosion::kFrames; ++f) Place(sheet, regions::explosion::kAll[f], ExplosionCell(f));
    return sheet.WriteBmp24(dir.Path("texture/Animation_Explosion.bmp"));
}

}   // namespace assetgen
