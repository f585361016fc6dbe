// The program's icon: a red and gold spinning top on a dark blue tile with a
// glowing spin ring, drawn afresh at every size so small icons stay crisp.
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Image.h"

namespace assetgen {

namespace {

// Coverage of an ellipse, from an approximate signed distance in pixels.
float EllipseCoverage(float px, float py, float cx, float cy, float rx, float ry)
{
    const float nx = (px - cx) / rx, ny = (py - cy) / ry;
    const float k = std::sqrt(nx * nx + ny * ny);
    return Coverage((k - 1.0f) * std::min(rx, ry));
}

Image DrawIcon(int size)
{
    const float s = static_cast<float>(size);
    Image icon(size, size);
    // The tile: a rounded square, lighter at the top.
    const Rgba top = Hex(0x24407a), bottom = Hex(0x0b1330);
    icon.Paint(0, 0, size, size, [&](float x, float y) {
        Rgba c = Mix(top, bottom, y / s);
        c.a = Coverage(SdBox(x, y, 0.03f * s, 0.03f * s, 0.97f * s, 0.97f * s, 0.18f * s));
        return c;
    });
    const float cx = 0.5f * s;
    // The spin ring around the disc.
    icon.StrokeCircle(cx, 0.5f * s, 0.40f * s, std::max(1.0f, 0.025f * s), Hex(0x7fd4ff, 0.55f));
    // The cone from the disc down to the tip, then the metal tip.
    icon.FillPolygon({{0.22f * s, 0.52f * s}, {0.78f * s, 0.52f * s}, {0.53f * s, 0.84f * s}, {0.47f * s, 0.84f * s}},
                     Hex(0x8c1c1c));
    icon.FillPolygon({{0.47f * s, 0.84f * s}, {0.53f * s, 0.84f * s}, {0.5f * s, 0.92f * s}}, Hex(0xc8ccd4));
    // The disc: gold and red bands, shaded towards its rim.
    const float discY = 0.48f * s, rx = 0.36f * s, ry = 0.14f * s;
    icon.Paint(0, 0, size, size, [&](float x, float y) {
        const float cover = EllipseCoverage(x, y, cx, discY, rx, ry);
        if (cover <= 0) return Rgba{};
        const float angle = std::atan2((y - discY) / ry, (x - cx) / rx);
        const bool gold = static_cast<int>(std::floor((angle + 3.2f) / 0.5236f)) % 2 == 0;
        const float rim = std::hypot((x - cx) / rx, (y - discY) / ry);
        Rgba c = gold ? Hex(0xf2c230) : Hex(0xd2302a);
        c = Scaled(c, 1.0f - 0.35f * rim);
        c.a = cover;
        return c;
    });
    // The handle above the disc and a highlight on it.
    icon.FillRoundRect(0.45f * s, 0.16f * s, 0.55f * s, 0.46f * s, 0.04f * s, Hex(0xb9bec8));
    icon.FillRoundRect(0.465f * s, 0.18f * s, 0.49f * s, 0.43f * s, 0.01f * s, Hex(0xffffff, 0.6f));
    // A few sparks flying off the ring.
    if (size >= 48) {
        icon.GlowDot(0.16f * s, 0.34f * s, 0.05f * s, Hex(0xffe08a));
        icon.GlowDot(0.86f * s, 0.62f * s, 0.04f * s, Hex(0xffe08a));
        icon.GlowDot(0.80f * s, 0.24f * s, 0.03f * s, Hex(0x9be4ff));
    }
    return icon;
}

}   // namespace

bool WriteIcons(const std::string& folder, const std::string& name, const std::vector<int>& sizes)
{
    bool ok = !sizes.empty();
    for (int size : sizes) {
        if (size <= 0) return false;
        const std::string edge = std::to_string(size);
        const std::filesystem::path dir = std::filesystem::path(folder) / "hicolor" / (edge + "x" + edge) / "apps";
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        ok = DrawIcon(size).WritePng((dir / (name + ".png")).string()) && ok;
    }
    return ok;
}

}   // namespace assetgen
