// texture/StageSelect.png, texture/Result.png and texture/Load.png.
#include <cmath>
#include <string>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Rng.h"

namespace assetgen {

namespace {

TextStyle Bold(Rgba top, Rgba bottom, float outline = 3)
{
    TextStyle s;
    s.top = top, s.bottom = bottom;
    s.outline = outline, s.outlineColor = palette::Ink;
    s.shadowDx = 2, s.shadowDy = 2, s.shadowColor = Hex(0x000000, 0.55f);
    s.shine = 0.45f;
    return s;
}

// Styled text turned to read upwards, centred on (cx, cy).
void VerticalText(Image& img, const char* text, float height, float cx, float cy, const TextStyle& style)
{
    PlacedMask flat = FitText(Face::SansBold, text, height, 0, 0, 1000, height * 1.2f, Align::Left, 2, 1, 8);
    PlacedMask pm;
    pm.mask = RotatedLeft(flat.mask);
    int x0, y0, x1, y1;
    pm.mask.InkBounds(&x0, &y0, &x1, &y1);
    pm.x = static_cast<int>(std::lround(cx - (x0 + x1) * 0.5f));
    pm.y = static_cast<int>(std::lround(cy - (y0 + y1) * 0.5f));
    DrawStyled(img, pm, style);
}

// ------------------------------------------------------------ stage select

namespace S = regions::stageselect;

Image StageSelectBackground()
{
    Image c = RegionCanvas(S::Background);
    c.PaintAll([](float px, float py) {
        Rgba base = Mix(Hex(0x0c1434), Hex(0x1c0c34), py / 480);
        // A faint hexagon lattice.
        float hx = px / 28, hy = py / 24.25f;
        float row = std::floor(hy);
        float off = std::fmod(row, 2.0f) * 0.5f;
        float fx = hx + off - std::floor(hx + off) - 0.5f, fy = hy - row - 0.5f;
        float edge = std::max(std::fabs(fx) * 1.7f, std::fabs(fy) * 1.2f + std::fabs(fx) * 0.8f);
        base = Mix(base, Hex(0x2a3c7a), 0.35f * SmoothStep(0.72f, 0.8f, edge));
        return WithAlpha(base, 1);
    });
    // The top strip with the track through the five slots.
    Panel(c, 8, 6, 632, 90, 14, Hex(0x060a1c, 0.85f), Hex(0x3fd8ff, 0.8f), 2);
    c.Line(72, 48, 584, 48, 6, Hex(0x3a4a80));
    c.Line(72, 48, 584, 48, 2, Hex(0x7fe8ff, 0.8f));
    for (int k = 0; k < 5; ++k) c.FillCircle(72 + 128.0f * k, 48, 30, Hex(0x1a2450));
    // The frame round the preview window, then the window itself cut out.
    c.FillRoundRect(116, 84, 524, 396, 18, Hex(0x3fd8ff, 0.25f));
    c.StrokeRoundRect(121, 89, 519, 391, 12, 4, Hex(0x9fe8ff));
    for (Point p : {Point{121, 89}, Point{519, 89}, Point{121, 391}, Point{519, 391}})
        c.FillCircle(p.x, p.y, 7, palette::Gold);
    const regions::Region& w = S::PreviewWindow;
    for (int y = w.top; y < w.bottom; ++y)
        for (int x = w.left; x < w.right; ++x) c.Ref(x, y) = Rgba{0, 0, 0, 0};
    // Side captions and the panel the stage name stands on.
    VerticalText(c, "STAGE SELECT", 44, 62, 240, Bold(Hex(0xffffff), Hex(0x7fd8ff)));
    VerticalText(c, "SPINDREL", 44, 578, 240, Bold(Hex(0xfff6c8), Hex(0xff9a1a)));
    Panel(c, 252, 402, 628, 474, 14, Hex(0x060a1c, 0.85f), Hex(0xffc53a), 2);
    TextStyle hint = Bold(Hex(0xffffff), Hex(0xbfe8ff), 2);
    DrawText(c, Face::SansBold, "NEXT BATTLE", 26, 14, 404, 244, 436, hint);
    TextStyle key = Bold(Hex(0xfff4b0), Hex(0xffb030), 2);
    DrawText(c, Face::SansBold, "PRESS Z", 26, 14, 440, 244, 472, key);
    return c;
}

Image StageName(int i)
{
    Image c = RegionCanvas(S::Name[i]);
    TextStyle small = Bold(Hex(0xfff4b0), Hex(0xffb030), 2);
    DrawText(c, Face::SansBold, "STAGE " + std::to_string(i + 1), 22, 10, 4, 342, 28, small);
    TextStyle big = Bold(Hex(0xffffff), Hex(0x8fe0ff), 3);
    DrawText(c, Face::SansBold, S::kStageNames[i], 40, 10, 28, 342, 76, big);
    return c;
}

// White plates so that the screen's yellow tint marks the current stage.
Image Slot(int k)
{
    Image c = RegionCanvas(S::Slot[k]);
    c.FillRoundRect(2, 2, 46, 62, 9, palette::Ink);
    c.Paint(0, 0, 48, 64, [](float px, float py) {
        Rgba col = Mix(Hex(0xffffff), Hex(0xc8d0dc), Clamp01((py - 5) / 54));
        return WithAlpha(col, Coverage(SdBox(px, py, 5, 5, 43, 59, 7)));
    });
    TextStyle n;
    n.top = Hex(0x1a2450), n.bottom = Hex(0x0a1020);
    DrawText(c, Face::SansBold, std::to_string(k + 1), 52, 8, 8, 40, 56, n);
    return c;
}

Image ClearedMark()
{
    Image c = RegionCanvas(S::ClearedMark);
    c.StrokeCircle(48, 48, 40, 7, Hex(0xff3a2a, 0.95f));
    c.StrokeCircle(48, 48, 31, 2, Hex(0xff3a2a, 0.9f));
    PlacedMask pm = FitText(Face::SansBold, "CLEAR", 30, 8, 30, 88, 66);
    TextStyle s;
    s.top = s.bottom = Hex(0xff3a2a);
    s.outline = 2, s.outlineColor = Hex(0xffffff);
    // Stamped at a slant.
    Mask slanted(96, 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            float a = -0.35f, cx = x + 0.5f - 48, cy = y + 0.5f - 48;
            float sx = cx * std::cos(a) - cy * std::sin(a) + 48, sy = cx * std::sin(a) + cy * std::cos(a) + 48;
            slanted.Ref(x, y) = pm.mask.Sample(sx - pm.x, sy - pm.y);
        }
    PlacedMask placed{slanted, 0, 0};
    DrawStyled(c, placed, s);
    return c;
}

Image StageCursor()
{
    Image c = RegionCanvas(S::Cursor);
    // The tip points at the current slot, 52 texels from the cursor's left edge.
    std::vector<Point> arrow = {{36, 6}, {68, 6}, {52, 40}};
    Mask m(80, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 80; ++x) m.Ref(x, y) = Coverage(SdPolygon(x + 0.5f, y + 0.5f, arrow));
    c.DrawMask(m.Dilated(3).Blurred(4), 0, 0, Hex(0xffe060, 0.8f));
    c.DrawMask(m.Dilated(2), 0, 0, palette::Ink);
    c.DrawMask(m, 0, 0, [](float, float py) { return Mix(Hex(0xffffff), Hex(0xffb020), Clamp01(py / 40)); });
    return c;
}

// ------------------------------------------------------------ result

namespace Q = regions::result;

PlacedMask ResultLetterMask(char ch, const regions::Region& r)
{
    return FitText(Face::SansBold, std::string(1, ch), 50, 5, 4, static_cast<float>(r.Width()) - 5,
                   static_cast<float>(r.Height()) - 4);
}

Image ResultLetter(const regions::Region& r, char ch, Rgba top, Rgba bottom)
{
    Image c = RegionCanvas(r);
    DrawStyled(c, ResultLetterMask(ch, r), Bold(top, bottom, 3));
    return c;
}

// A letter stretched into a column of light: the stage-clear message grows each letter from it.
Image GrowingLetter(const regions::Region& r, char ch)
{
    Image c = RegionCanvas(r);
    Image letter = ResultLetter(Q::ClearLetter[0], ch, Hex(0xffffff), Hex(0xfff0a0));
    Image tall = letter.Resized(r.Width(), r.Height());
    Mask glow = tall.AlphaMask().Dilated(2).Blurred(6);
    c.DrawMask(glow, 0, 0, Hex(0xffd040, 0.8f));
    c.Glow(0, 0, r.Width(), r.Height(),
           [&](float px, float) { return WithAlpha(Hex(0xfff4c0), 0.5f * std::exp(-std::pow((px - 24) / 10, 2.0f))); });
    c.Over(tall, 0, 0);
    return c;
}

Image Badge(const regions::Region& r, const char* word, Rgba ring, Rgba inner, Rgba top, Rgba bottom)
{
    Image c = RegionCanvas(r);
    c.FillPolygon(StarPoints(48, 48, 16, 47, 41), palette::Ink);
    c.FillPolygon(StarPoints(48, 48, 16, 44, 38.5f), ring);
    c.Paint(0, 0, 96, 96, [&](float px, float py) {
        Rgba col = Mix(Scaled(inner, 1.3f), Scaled(inner, 0.7f), Clamp01((py - 14) / 68));
        col.a = 1;
        return WithAlpha(col, Coverage(SdCircle(px, py, 48, 48, 34)));
    });
    DrawText(c, Face::SansBold, word, 30, 12, 30, 84, 66, Bold(top, bottom, 2.5f));
    return c;
}

Image Answer(const regions::Region& r, const char* word, bool lit)
{
    Image c = RegionCanvas(r);
    if (lit) {
        c.FillRoundRect(4, 4, 140, 44, 12, Hex(0xffe060, 0.5f));
        Panel(c, 8, 6, 136, 42, 10, Hex(0xffb020, 0.95f), Hex(0xffffff), 3);
        DrawText(c, Face::SansBold, word, 32, 12, 8, 132, 40, Bold(Hex(0xffffff), Hex(0xfff0c0), 3));
    } else {
        Panel(c, 8, 6, 136, 42, 10, Hex(0x1a2040, 0.85f), Hex(0x6a7490), 2);
        TextStyle dim = Bold(Hex(0x9aa4bc), Hex(0x6a7490), 2);
        dim.shine = 0;
        DrawText(c, Face::SansBold, word, 32, 12, 8, 132, 40, dim);
    }
    return c;
}

Image ContinueBanner()
{
    Image c = RegionCanvas(Q::ContinueBanner);
    Panel(c, 4, 4, 332, 60, 16, Hex(0x100a24, 0.9f), Hex(0xff5a4a), 3);
    DrawText(c, Face::SansBold, "CONTINUE?", 44, 16, 6, 320, 58, Bold(Hex(0xffffff), Hex(0xffb0a0), 3));
    return c;
}

Image Prompt()
{
    Image c = RegionCanvas(Q::Prompt);
    TextStyle s = Bold(Hex(0xffffff), Hex(0xbfe8ff), 2);
    s.glow = 4, s.glowColor = Hex(0x3fd8ff, 0.6f);
    DrawText(c, Face::SansBold, "PRESS Z", 26, 8, 2, 168, 30, s);
    return c;
}

// ------------------------------------------------------------ loading

namespace L = regions::load;

Image LoadingText()
{
    Image c = RegionCanvas(L::Text);
    TextStyle s = Bold(Hex(0xffffff), Hex(0x7fd8ff), 3);
    s.glow = 5, s.glowColor = Hex(0x3fd8ff, 0.5f);
    DrawText(c, Face::SansBold, "NOW LOADING", 36, 6, 6, 218, 58, s);
    return c;
}

// Eight dots of falling brightness: turned by 45 degrees a frame it seems to spin.
Image Spinner()
{
    Image c = RegionCanvas(L::Spinner);
    for (int i = 0; i < 8; ++i) {
        float a = 6.2831853f * i / 8;
        float x = 32 + 22 * std::sin(a), y = 32 - 22 * std::cos(a);
        float k = 1.0f - i / 9.0f;
        c.FillCircle(x, y, 6.5f, Hex(0x0b0f1e, 0.8f));
        c.FillCircle(x, y, 3 + 2.5f * k, WithAlpha(Mix(Hex(0x2a6cff), Hex(0xdffaff), k), 0.35f + 0.65f * k));
    }
    return c;
}

}   // namespace

bool WriteStageSelectTexture(const DataDir& dir)
{
    Image sheet(1024, 512);
    Place(sheet, S::Background, StageSelectBackground());
    for (int i = 0; i < 5; ++i) {
        Place(sheet, S::Name[i], StageName(i));
        Place(sheet, S::Slot[i], Slot(i));
    }
    Place(sheet, S::ClearedMark, ClearedMark());
    Place(sheet, S::Cursor, StageCursor());
    return sheet.WritePng(dir.Path("texture/StageSelect.png"));
}

bool WriteResultTexture(const DataDir& dir)
{
    Image sheet(512, 512);
    for (int i = 0; i < Q::kLetters; ++i) {
        Place(sheet, Q::ClearLetter[i],
              ResultLetter(Q::ClearLetter[i], Q::kClearMessage[i], Hex(0xfff6c8), Hex(0xff9a1a)));
        Place(sheet, Q::ClearLetterGrowing[i], GrowingLetter(Q::ClearLetterGrowing[i], Q::kClearMessage[i]));
        Place(sheet, Q::OverLetter[i],
              ResultLetter(Q::OverLetter[i], Q::kOverMessage[i], Hex(0xffd0e0), Hex(0xb02050)));
    }
    Place(sheet, Q::ClearWordA,
          Badge(Q::ClearWordA, "STAGE", Hex(0xffc53a), Hex(0x1a4ab0), Hex(0xffffff), Hex(0xbfe8ff)));
    Place(sheet, Q::ClearWordB,
          Badge(Q::ClearWordB, "CLEAR", Hex(0xffc53a), Hex(0xd03018), Hex(0xffffff), Hex(0xfff0a0)));
    Place(sheet, Q::OverWordA, Badge(Q::OverWordA, "GAME", Hex(0x8a94a8), Hex(0x301848), Hex(0xffffff), Hex(0xc8a8e0)));
    Place(sheet, Q::OverWordB, Badge(Q::OverWordB, "OVER", Hex(0x8a94a8), Hex(0x600a18), Hex(0xffffff), Hex(0xffa0a0)));
    Place(sheet, Q::ContinueBanner, ContinueBanner());
    Place(sheet, Q::YesLit, Answer(Q::YesLit, "YES", true));
    Place(sheet, Q::NoDim, Answer(Q::NoDim, "NO", false));
    Place(sheet, Q::YesDim, Answer(Q::YesDim, "YES", false));
    Place(sheet, Q::NoLit, Answer(Q::NoLit, "NO", true));
    Place(sheet, Q::Prompt, Prompt());
    return sheet.WritePng(dir.Path("texture/Result.png"));
}

bool WriteLoadTexture(const DataDir& dir)
{
    Image sheet(256, 128);
    Place(sheet, L::Text, LoadingText());
    Place(sheet, L::Spinner, Spinner());
    return sheet.WritePng(dir.Path("texture/Load.png"));
}

}   // namespace assetgen
