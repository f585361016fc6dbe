// texture/Versus.png: the VERSUS entry of the title, the arena select of a
// game of two (heading, preview frame, arrows, arena names, BACK) and the
// round and match results (ROUND, PLAYER 1 and 2, WINS, the score's digits,
// REMATCH and TITLE).
#include <string>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"

namespace assetgen {

namespace {

namespace V = regions::versus;

// Player 1 in cool blues, player 2 in warm reds, as their tags in the battle.
constexpr Rgba PLAYER_TOP[2] = {Hex(0xe8fbff), Hex(0xfff0e0)};
constexpr Rgba PLAYER_BOTTOM[2] = {Hex(0x3fb8ff), Hex(0xff5a3a)};

Image Word(const regions::Region& r, const std::string& text, float height, const TextStyle& style)
{
    Image c = RegionCanvas(r);
    DrawText(c, Face::SansBold, text, height, 4, 2, static_cast<float>(r.Width() - 4),
             static_cast<float>(r.Height() - 2), style);
    return c;
}

Image Heading()
{
    TextStyle s = Lettering(Hex(0xffffff), Hex(0xffb030), 4);
    s.glow = 10, s.glowColor = Hex(0xff7a1a, 0.6f);
    s.tracking = 6;
    return Word(V::Heading, "VERSUS", 56, s);
}

// A lit border round the arena's preview, its window cut out.
Image Frame()
{
    Image c = RegionCanvas(V::Frame);
    const float w = static_cast<float>(V::Frame.Width()), h = static_cast<float>(V::Frame.Height());
    c.FillRoundRect(0, 0, w, h, 18, Hex(0x3fd8ff, 0.25f));
    c.StrokeRoundRect(6, 6, w - 6, h - 6, 12, 4, Hex(0x9fe8ff));
    for (Point p : {Point{6, 6}, Point{w - 6, 6}, Point{6, h - 6}, Point{w - 6, h - 6}})
        c.FillCircle(p.x, p.y, 6, palette::Gold);
    const int left = V::FrameWindow.left - V::Frame.left, top = V::FrameWindow.top - V::Frame.top;
    for (int y = top; y < top + V::FrameWindow.Height(); ++y)
        for (int x = left; x < left + V::FrameWindow.Width(); ++x) c.Ref(x, y) = Rgba{0, 0, 0, 0};
    return c;
}

// A fat arrow pointing left or right.
Image Arrow(const regions::Region& r, bool right)
{
    Image c = RegionCanvas(r);
    auto at = [right](float x, float y) { return Point{right ? x : 48 - x, y}; };
    c.FillPolygon({at(8, 6), at(44, 32), at(8, 58)}, palette::Ink);
    c.FillPolygon({at(13, 15), at(36, 32), at(13, 49)}, palette::Gold);
    return c;
}

Image DigitSheet()
{
    const GlyphGrid grid{V::DigitsPerRow, V::DigitWidth, V::DigitHeight, Face::SansBold, 34, 2};
    return GlyphCells(V::DigitSheet, V::Digits, grid, Lettering(Hex(0xffffff), Hex(0xffd040), 2.5f));
}

Image ArenaName(int i)
{
    return Word(V::ArenaName[i], regions::stageselect::kStageNames[V::kArenaStages[i]], 26,
                Lettering(Hex(0xffffff), Hex(0x8fe0ff), 2.5f));
}

Image PlayerName(int side)
{
    TextStyle s = Lettering(PLAYER_TOP[side], PLAYER_BOTTOM[side], 3);
    s.tracking = 2;
    return Word(V::Player[side], side == 0 ? "PLAYER 1" : "PLAYER 2", 42, s);
}

// A choice of the result or the select, on a lit plate when chosen.
Image Choice(const regions::Region& r, const char* text, bool chosen)
{
    Image c = RegionCanvas(r);
    const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
    if (chosen) Panel(c, 2, 2, w - 2, h - 2, 8, Hex(0x3a2a08, 0.85f), palette::Gold, 2);
    const TextStyle s =
        chosen ? Lettering(Hex(0xfff4c0), palette::Orange, 2) : Lettering(Hex(0xe8fbff), palette::Steel, 2);
    DrawText(c, Face::SansBold, text, 24, 8, 3, w - 8, h - 3, s);
    return c;
}

Image PanelCell()
{
    Image c = RegionCanvas(V::Panel);
    const float w = static_cast<float>(V::Panel.Width()), h = static_cast<float>(V::Panel.Height());
    Panel(c, 4, 4, w - 4, h - 4, 14, Hex(0x101a3a, 0.9f), palette::Cyan, 3);
    return c;
}

}   // namespace

bool WriteVersusTexture(const DataDir& dir)
{
    Image sheet(512, 512);
    Place(sheet, V::Heading, Heading());
    Place(sheet, V::TitleEntry, TitleMenuEntry(V::TitleEntry, "VERSUS"));
    Place(sheet, V::Frame, Frame());
    Place(sheet, V::ArrowLeft, Arrow(V::ArrowLeft, false));
    Place(sheet, V::ArrowRight, Arrow(V::ArrowRight, true));
    Place(sheet, V::Pointer, SmallPointer(V::Pointer));
    Place(sheet, V::DigitSheet, DigitSheet());
    Place(sheet, V::Round, Word(V::Round, "ROUND", 38, Lettering(Hex(0xffffff), Hex(0x7fe0ff), 3)));
    Place(sheet, V::Wins, Word(V::Wins, "WINS", 42, Lettering(Hex(0xfff6c8), palette::Orange, 3)));
    for (int i = 0; i < V::kArenaCount; ++i) Place(sheet, V::ArenaName[i], ArenaName(i));
    for (int side = 0; side < 2; ++side) Place(sheet, V::Player[side], PlayerName(side));
    Place(sheet, V::Rematch, Choice(V::Rematch, "REMATCH", false));
    Place(sheet, V::RematchLit, Choice(V::RematchLit, "REMATCH", true));
    Place(sheet, V::Title, Choice(V::Title, "TITLE", false));
    Place(sheet, V::TitleLit, Choice(V::TitleLit, "TITLE", true));
    Place(sheet, V::Back, Choice(V::Back, "BACK", false));
    Place(sheet, V::BackLit, Choice(V::BackLit, "BACK", true));
    Place(sheet, V::Panel, PanelCell());
    Place(sheet, V::Prompt, Word(V::Prompt, "PRESS Z", 24, Lettering(Hex(0xfff4b0), Hex(0xffb030), 2)));
    return sheet.WritePng(dir.Path("texture/Versus.png"));
}

}   // namespace assetgen
