// texture/Options.png: the options screen (heading, panel, the names of its
// rows plain and chosen, the volume bar, window or full screen, the prompt for
// a new key and the letters that spell key names) and the OPTIONS entries of
// the pause menu and of the title.
#include <string>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"

namespace assetgen {

namespace {

namespace O = regions::options;

constexpr const char* ROW_NAMES[O::RowCount] = {"MUSIC", "EFFECTS", "SCREEN", "UP",    "DOWN",
                                                "LEFT",  "RIGHT",   "DASH",   "PAUSE", "BACK"};

TextStyle Plain() { return Lettering(Hex(0xe8fbff), palette::Steel, 2); }
TextStyle Chosen() { return Lettering(Hex(0xfff4c0), palette::Orange, 2); }

Image Word(const regions::Region& r, const char* text, float height, const TextStyle& style,
           Align align = Align::Center)
{
    Image c = RegionCanvas(r);
    DrawText(c, Face::SansBold, text, height, 4, 2, static_cast<float>(r.Width() - 4),
             static_cast<float>(r.Height() - 2), style, align);
    return c;
}

Image Heading()
{
    TextStyle s = Lettering(Hex(0xffffff), Hex(0x7fe0ff), 4);
    s.glow = 10, s.glowColor = Hex(0x3fb8ff, 0.7f);
    s.tracking = 6;
    return Word(O::Heading, "OPTIONS", 64, s);
}

// The names of the rows, one under the other; the chosen ones on a lit plate.
Image RowNames(const regions::Region& r, bool chosen)
{
    Image c = RegionCanvas(r);
    const float w = static_cast<float>(r.Width());
    for (int i = 0; i < O::RowCount; ++i) {
        const float top = static_cast<float>(i * O::RowHeight);
        if (chosen) Panel(c, 2, top + 2, w - 2, top + O::RowHeight - 2, 8, Hex(0x3a2a08, 0.85f), palette::Gold, 2);
        DrawText(c, Face::SansBold, ROW_NAMES[i], 22, 10, top + 3, w - 10, top + O::RowHeight - 3,
                 chosen ? Chosen() : Plain(), Align::Left);
    }
    return c;
}

Image BarFrame()
{
    Image c = RegionCanvas(O::BarFrame);
    const float w = static_cast<float>(O::BarFrame.Width()), h = static_cast<float>(O::BarFrame.Height());
    Panel(c, 1, 1, w - 1, h - 1, 6, Hex(0x0a1436, 0.85f), palette::Cyan, 2);
    return c;
}

Image BarFill()
{
    Image c = RegionCanvas(O::BarFill);
    const float w = static_cast<float>(O::BarFill.Width()), h = static_cast<float>(O::BarFill.Height());
    Panel(c, 3, 4, w - 3, h - 4, 4, palette::Gold, palette::Orange, 1);
    return c;
}

Image GlyphSheet()
{
    const GlyphGrid grid{O::GlyphsPerRow, O::GlyphWidth, O::GlyphHeight, Face::MonoBold, 19, 1};
    return GlyphCells(O::GlyphSheet, O::Glyphs, grid, Lettering(Hex(0xffffff), Hex(0xffd040), 1.5f));
}

Image PanelCell()
{
    Image c = RegionCanvas(O::Panel);
    const float w = static_cast<float>(O::Panel.Width()), h = static_cast<float>(O::Panel.Height());
    Panel(c, 4, 4, w - 4, h - 4, 14, Hex(0x101a3a, 0.92f), palette::Cyan, 3);
    return c;
}

// A choice of the pause menu, as the other three are drawn.
Image PauseEntry(const regions::Region& r, bool chosen)
{
    Image c = RegionCanvas(r);
    const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
    if (chosen) Panel(c, 4, 4, w - 4, h - 4, 12, Hex(0x3a2a08, 0.85f), palette::Gold, 2);
    const TextStyle s =
        chosen ? Lettering(Hex(0xfff4c0), palette::Orange, 2.5f) : Lettering(Hex(0xe8fbff), palette::Steel, 2.5f);
    DrawText(c, Face::SansBold, "OPTIONS", 30, 16, 6, w - 16, h - 6, s);
    return c;
}

}   // namespace

bool WriteOptionsTexture(const DataDir& dir)
{
    Image sheet(512, 512);
    Place(sheet, O::Heading, Heading());
    Place(sheet, O::Labels, RowNames(O::Labels, false));
    Place(sheet, O::LabelsLit, RowNames(O::LabelsLit, true));
    Place(sheet, O::Windowed, Word(O::Windowed, "WINDOW", 24, Plain()));
    Place(sheet, O::Fullscreen, Word(O::Fullscreen, "FULL SCREEN", 24, Plain()));
    Place(sheet, O::PressKey, Word(O::PressKey, "PRESS A KEY", 24, Chosen()));
    Place(sheet, O::BarFrame, BarFrame());
    Place(sheet, O::BarFill, BarFill());
    Place(sheet, O::GlyphSheet, GlyphSheet());
    Place(sheet, O::Pointer, SmallPointer(O::Pointer));
    Place(sheet, O::Panel, PanelCell());
    Place(sheet, O::Shade, RegionCanvas(O::Shade, Hex(0x060a18)));
    Place(sheet, O::PauseEntry, PauseEntry(O::PauseEntry, false));
    Place(sheet, O::PauseEntryLit, PauseEntry(O::PauseEntryLit, true));
    Place(sheet, O::TitleEntry, TitleMenuEntry(O::TitleEntry, "OPTIONS"));
    return sheet.WritePng(dir.Path("texture/Options.png"));
}

}   // namespace assetgen
