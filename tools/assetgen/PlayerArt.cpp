// texture/Player.png: the pause menu (its heading, panel, three choices plain
// and chosen, the pointer), the shade laid over a paused picture, and the
// times of the stage select and the result: labels, NEW BEST and the digits.
#include <string>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"

namespace assetgen {

namespace {

namespace P = regions::player;

Image Word(const regions::Region& r, const char* text, float height, const TextStyle& style)
{
    Image c = RegionCanvas(r);
    DrawText(c, Face::SansBold, text, height, 4, 2, static_cast<float>(r.Width() - 4),
             static_cast<float>(r.Height() - 2), style);
    return c;
}

Image PausedHeading()
{
    Image c = RegionCanvas(P::Paused);
    TextStyle s = Lettering(Hex(0xffffff), Hex(0x7fe0ff), 4);
    s.glow = 10, s.glowColor = Hex(0x3fb8ff, 0.7f);
    s.tracking = 6;
    DrawText(c, Face::SansBold, "PAUSED", 72, 16, 6, 496, 90, s);
    return c;
}

// A choice of the menu: plain, or chosen (gold on a lit plate).
Image Choice(const regions::Region& r, const char* text, bool chosen)
{
    Image c = RegionCanvas(r);
    const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
    if (chosen) Panel(c, 4, 4, w - 4, h - 4, 12, Hex(0x3a2a08, 0.85f), palette::Gold, 2);
    const TextStyle s =
        chosen ? Lettering(Hex(0xfff4c0), palette::Orange, 2.5f) : Lettering(Hex(0xe8fbff), palette::Steel, 2.5f);
    DrawText(c, Face::SansBold, text, 30, 16, 6, w - 16, h - 6, s);
    return c;
}

Image Pointer()
{
    Image c = RegionCanvas(P::Pointer);
    c.FillPolygon({{10, 8}, {42, 24}, {10, 40}}, palette::Ink);
    c.FillPolygon({{13, 13}, {36, 24}, {13, 35}}, palette::Gold);
    return c;
}

Image MenuPanel()
{
    Image c = RegionCanvas(P::MenuPanel);
    const float w = static_cast<float>(P::MenuPanel.Width()), h = static_cast<float>(P::MenuPanel.Height());
    Panel(c, 6, 6, w - 6, h - 6, 20, Hex(0x101a3a, 0.88f), palette::Cyan, 4);
    return c;
}

Image Digits()
{
    Image c = RegionCanvas(P::Digits);
    const char* glyphs[P::DigitCount] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ":", "."};
    const TextStyle s = Lettering(Hex(0xffffff), Hex(0xffd040), 2.5f);
    for (int i = 0; i < P::DigitCount; ++i) {
        const float x = static_cast<float>(i * P::DigitWidth);
        DrawText(c, Face::SansBold, glyphs[i], 40, x + 1, 2, x + P::DigitWidth - 1,
                 static_cast<float>(P::Digits.Height() - 2), s);
    }
    return c;
}

}   // namespace

bool WritePlayerTexture(const DataDir& dir)
{
    Image sheet(512, 512);
    Place(sheet, P::Paused, PausedHeading());
    Place(sheet, P::Resume, Choice(P::Resume, "RESUME", false));
    Place(sheet, P::Retry, Choice(P::Retry, "RETRY STAGE", false));
    Place(sheet, P::Title, Choice(P::Title, "BACK TO TITLE", false));
    Place(sheet, P::ResumeLit, Choice(P::ResumeLit, "RESUME", true));
    Place(sheet, P::RetryLit, Choice(P::RetryLit, "RETRY STAGE", true));
    Place(sheet, P::TitleLit, Choice(P::TitleLit, "BACK TO TITLE", true));
    Place(sheet, P::Pointer, Pointer());
    Place(sheet, P::MenuPanel, MenuPanel());
    Place(sheet, P::Shade, RegionCanvas(P::Shade, Hex(0x060a18)));   // a night blue, nearly black
    TextStyle best = Lettering(Hex(0xfff4c0), palette::Orange, 3);
    best.glow = 6, best.glowColor = Hex(0xffc53a, 0.7f);
    Place(sheet, P::NewBest, Word(P::NewBest, "NEW BEST!", 36, best));
    Place(sheet, P::TimeLabel, Word(P::TimeLabel, "TIME", 30, Lettering(Hex(0xe8fbff), Hex(0x3fb8ff), 2.5f)));
    Place(sheet, P::BestLabel, Word(P::BestLabel, "BEST", 30, Lettering(Hex(0xe8fbff), Hex(0x3fb8ff), 2.5f)));
    Place(sheet, P::Digits, Digits());
    return sheet.WritePng(dir.Path("texture/Player.png"));
}

}   // namespace assetgen
