// texture/Title.png (the name's letters, the two tops of the opening, the
// running top, the menu) and texture/TitleBack.jpg (the backdrop).
#include <cmath>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Rng.h"

namespace assetgen {

namespace {

namespace R = regions::title;

TextStyle LetterStyle()
{
    TextStyle s;
    s.top = Hex(0xfff6c8), s.bottom = Hex(0xff9a1a);
    s.outline = 5, s.outlineColor = Hex(0x10163a);
    s.shadowDx = 3, s.shadowDy = 4, s.shadowColor = Hex(0x000000, 0.55f);
    s.shine = 0.6f;
    return s;
}

// The glyph of one letter picture, fitted to its cell with room for the outline.
PlacedMask LetterMask(int i)
{
    const regions::Region& r = R::Letter[i];
    const float margin = 7;
    float squeeze = std::string(R::kLetterText[i]).size() > 1 ? 0.66f : 1.0f;
    return FitText(Face::SansBold, R::kLetterText[i], static_cast<float>(r.Height()) * 1.25f, margin, margin - 2,
                   static_cast<float>(r.Width()) - margin, static_cast<float>(r.Height()) - margin - 2, Align::Center,
                   -2, squeeze, 12);
}

Image Letter(int i)
{
    Image c = RegionCanvas(R::Letter[i]);
    DrawStyled(c, LetterMask(i), LetterStyle());
    return c;
}

// The lit copy: the same glyph in white light, swept over the letter as a glint.
Image LitLetter(int i)
{
    Image c = RegionCanvas(R::Lit[i]);
    PlacedMask pm = LetterMask(i);
    Mask halo = pm.mask.Dilated(2).Blurred(5);
    c.DrawMask(halo, pm.x, pm.y, Hex(0xfff0a0, 0.55f));
    c.DrawMask(pm.mask, pm.x, pm.y, Hex(0xffffff));
    return c;
}

Image TopPicture(const regions::Region& r, Rgba body, Rgba stripe)
{
    Image c = RegionCanvas(r);
    DrawTopIllustration(c, 64, 64, 120, body, stripe, 0);
    return c;
}

Image Runner(const regions::Region& r, int frame)
{
    Image c = RegionCanvas(r);
    Rng rng(700 + frame);
    for (int k = 0; k < 7; ++k) {   // speed lines trailing to the left
        float y = 40 + k * 10 + static_cast<float>(rng.Range(-3, 3));
        float x0 = static_cast<float>(rng.Range(0, 18)) + frame * 6, x1 = x0 + static_cast<float>(rng.Range(24, 44));
        c.Line(x0, y, x1, y, 3, Hex(0xbfe8ff, 0.8f));
    }
    DrawTopIllustration(c, 72, 64, 104, Hex(0x2a7cff), Hex(0xffffff), frame * 0.5f);
    return c;
}

Image MenuEntry(const regions::Region& r, const char* text)
{
    Image c = RegionCanvas(r);
    Panel(c, 2, 8, 198, 58, 12, Hex(0x0a1436, 0.75f), Hex(0x7fd8ff), 2);
    TextStyle s;
    s.top = Hex(0xffffff), s.bottom = Hex(0xffd040);
    s.outline = 3, s.outlineColor = palette::Ink;
    s.shadowDx = 2, s.shadowDy = 2;
    s.shine = 0.5f;
    DrawText(c, Face::SansBold, text, 40, 14, 10, 190, 56, s, Align::Left);
    return c;
}

Image Cursor()
{
    Image c = RegionCanvas(R::Cursor);
    std::vector<Point> arrow = {{10, 12}, {56, 32}, {10, 52}, {20, 32}};
    Mask m(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) m.Ref(x, y) = Coverage(SdPolygon(x + 0.5f, y + 0.5f, arrow));
    c.DrawMask(m.Dilated(3).Blurred(5), 0, 0, Hex(0xffd040, 0.7f));
    c.DrawMask(m.Dilated(2.5f), 0, 0, palette::Ink);
    c.DrawMask(m, 0, 0, [](float, float py) { return Mix(Hex(0xfff4b0), Hex(0xff8a1a), Clamp01((py - 12) / 40)); });
    return c;
}

Image Subtitle()
{
    Image c = RegionCanvas(R::Subtitle);
    TextStyle s;
    s.top = Hex(0xe8fbff), s.bottom = Hex(0x5ac8ff);
    s.outline = 3, s.outlineColor = palette::Ink;
    s.shadowDx = 2, s.shadowDy = 2;
    DrawText(c, Face::SansBold, "SPINNING TOP", 22, 4, 2, 156, 28, s);
    TextStyle g = s;
    g.top = Hex(0xffffff), g.bottom = Hex(0xffb030);
    g.shine = 0.5f;
    DrawText(c, Face::SansBold, "BATTLE", 34, 16, 28, 144, 62, g);
    return c;
}

}   // namespace

namespace {

// The backdrop, painted at screen size (640 x 480) and stretched to the texture.
Image TitleBackdrop()
{
    Image b(640, 480);
    b.PaintAll([](float px, float py) {
        float t = py / 480;
        Rgba c = Mix(Hex(0x070b24), Hex(0x2a0c44), t);
        float d = std::hypot(px - 320, (py - 200) * 1.2f);
        c = Mix(c, Hex(0x3a2a80), 0.55f * std::exp(-d / 190));
        float neb = Fbm(px / 140, py / 140, 5, 11);
        c = Mix(c, Hex(0x6a2a9a), 0.35f * SmoothStep(0.5f, 0.8f, neb));
        return WithAlpha(c, 1);
    });
    // Rays from behind the logo.
    b.Glow(0, 0, 640, 480, [](float px, float py) {
        float a = std::atan2(py - 200, px - 320);
        float ray = std::pow(0.5f + 0.5f * std::sin(a * 12), 6.0f);
        float d = std::hypot(px - 320, py - 200);
        return WithAlpha(Hex(0x8fb0ff), 0.22f * ray * std::exp(-d / 260) * SmoothStep(20, 90, d));
    });
    Rng rng(4242);
    for (int i = 0; i < 420; ++i) {
        float x = static_cast<float>(rng.Range(0, 640)), y = static_cast<float>(rng.Range(0, 400));
        float s = static_cast<float>(0.5 + rng.Uniform() * rng.Uniform() * 2.2);
        Rgba c =
            Mix(Hex(0xffffff), rng.Uniform() < 0.5 ? Hex(0x9fc8ff) : Hex(0xffe0b0), static_cast<float>(rng.Uniform()));
        b.GlowDot(x, y, s, WithAlpha(c, static_cast<float>(0.4 + 0.6 * rng.Uniform())));
    }
    // The arena's rim at the foot of the screen, in perspective.
    b.Paint(0, 300, 640, 480, [](float px, float py) {
        float nx = (px - 320) / 420, ny = (py - 520) / 150;
        float r = std::sqrt(nx * nx + ny * ny);
        Rgba floor = Mix(Hex(0x1a1030), Hex(0x3a2050), Clamp01((py - 380) / 100));
        float rings = 0.5f + 0.5f * std::cos(r * 60);
        floor = Mix(floor, Hex(0x503080), 0.25f * rings);
        float rim = std::exp(-std::pow((r - 1) * 30, 2.0f));
        Rgba c = Mix(floor, Hex(0x7fe8ff), rim);
        return WithAlpha(c, Coverage((r - 1.03f) * 150));
    });
    return b;
}

}   // namespace

bool WriteTitleTextures(const DataDir& dir)
{
    Image sheet(512, 512);
    for (int i = 0; i < R::kLetterCount; ++i) {
        Place(sheet, R::Letter[i], Letter(i));
        Place(sheet, R::Lit[i], LitLetter(i));
    }
    Place(sheet, R::LeftTop, TopPicture(R::LeftTop, Hex(0x2a7cff), Hex(0xffffff)));
    Place(sheet, R::RightTop, TopPicture(R::RightTop, Hex(0xe8302a), Hex(0x1a1a1a)));
    Place(sheet, R::Subtitle, Subtitle());
    Place(sheet, R::Runner0, Runner(R::Runner0, 0));
    Place(sheet, R::Runner1, Runner(R::Runner1, 1));
    Place(sheet, R::MenuStart, MenuEntry(R::MenuStart, "START"));
    Place(sheet, R::MenuQuit, MenuEntry(R::MenuQuit, "QUIT"));
    Place(sheet, R::Cursor, Cursor());
    bool ok = sheet.WritePng(dir.Path("texture/Title.png"));
    Image back = TitleBackdrop().Resized(regions::titleback::Whole.Width(), regions::titleback::Whole.Height());
    return back.WriteJpg(dir.Path("texture/TitleBack.jpg"), 92) && ok;
}

}   // namespace assetgen
