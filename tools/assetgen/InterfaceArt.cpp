// texture/Interface.png: gauges, meters, labels, banners, the clash button,
// the launch emblem, hit texts and the enemy marker.
#include <cmath>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Generators.h"

namespace assetgen {

namespace {

namespace R = regions::interface;

// The bar that stands upright beside the arena; x runs up the screen.
Image GaugeBack()
{
    Image c = RegionCanvas(R::GaugeBack);
    Panel(c, 1, 2, 319, 47, 10, Hex(0x0a1226, 0.8f), Hex(0x8ea4c8), 2);
    for (int x = 30; x < 300; x += 30) c.Line(x + 0.5f, 34, x + 0.5f, 44, 2, Hex(0x8ea4c8, 0.7f));
    // A metal foot under the channel.
    c.Paint(0, 48, 320, 64, [](float px, float py) {
        float t = (py - 48) / 16;
        Rgba m = Mix(Hex(0xdfe6f0), Hex(0x4a5568), t);
        if (static_cast<int>(px) % 24 < 2) m = Scaled(m, 0.7f);
        return WithAlpha(m, Coverage(SdBox(px, py, 1, 49, 319, 63, 5)));
    });
    return c;
}

// The filled part: red at the foot, yellow-white towards a full gauge.
Image GaugeFill()
{
    Image c = RegionCanvas(R::GaugeFill);
    c.Paint(0, 0, 320, 48, [](float px, float py) {
        float t = Clamp01(px / 280);
        Rgba base =
            t < 0.5f ? Mix(Hex(0xe0220e), Hex(0xff8a10), t * 2) : Mix(Hex(0xff8a10), Hex(0xfff080), (t - 0.5f) * 2);
        float v = (py - 3) / 41;
        float shade = 0.75f + 0.45f * std::exp(-std::pow((v - 0.25f) * 4, 2.0f)) - 0.25f * v;
        Rgba col = Scaled(base, shade);
        if (px < 9)
            col = Scaled(Hex(0xff5030), 0.8f + 0.2f * (1 - v));
        else if (static_cast<int>(px - 9) % 10 == 0)
            col = Scaled(col, 0.55f);   // segment lines
        return WithAlpha(col, Coverage(SdBox(px, py, -10, 3, 330, 44, 6)));
    });
    return c;
}

Image SwarmIcon()
{
    Image c = RegionCanvas(R::SwarmIcon);
    c.FillCircle(10, 11, 8.5f, palette::Ink);
    c.FillCircle(10, 11, 7, Hex(0xe83a2a));
    c.FillCircle(10, 9, 3.5f, Hex(0xffb0a0));
    c.FillRect(3, 11, 17, 12.5f, Hex(0x5a0a06));
    return c;
}

Image MeterFrame()
{
    Image c = RegionCanvas(R::MeterFrame);
    Panel(c, 0.5f, 0.5f, 99.5f, 39.5f, 4, Hex(0x06122a, 0.55f), Hex(0x3fd8ff, 0.9f), 1.5f);
    c.Line(4, 20, 96, 20, 1, Hex(0x3fd8ff, 0.35f));
    for (float x : {3.0f, 97.0f}) {
        c.Line(x, 2.5f, x, 9, 2, palette::White);
        c.Line(x, 31, x, 37.5f, 2, palette::White);
    }
    return c;
}

TextStyle LabelStyle(Rgba top, Rgba bottom)
{
    TextStyle s;
    s.top = top, s.bottom = bottom;
    s.outline = 2.5f, s.outlineColor = palette::Ink;
    s.shadowDx = 1.5f, s.shadowDy = 1.5f, s.shadowColor = Hex(0x000000, 0.6f);
    s.shine = 0.5f;
    return s;
}

// width: how much of the cell the word may use (the right-hand gauge's label
// stands 75 pixels from the screen's edge).
Image Label(const regions::Region& r, const char* text, Rgba top, Rgba bottom, float width)
{
    Image c = RegionCanvas(r);
    DrawText(c, Face::SansBold, text, 30, 2, 2, width - 2, static_cast<float>(r.Height() - 2), LabelStyle(top, bottom));
    return c;
}

Image EnemyMarker()
{
    Image c = RegionCanvas(R::EnemyMarker);
    std::vector<Point> arrow = {{2, 3}, {25, 3}, {13.5f, 24}};
    c.Paint(0, 0, 27, 27, [&](float px, float py) {
        float d = SdPolygon(px, py, arrow);
        Rgba col = d > -2.2f ? palette::White : Mix(Hex(0xff4a3a), Hex(0xa00c08), Clamp01(py / 22));
        return WithAlpha(col, Coverage(d - 0.6f));
    });
    return c;
}

Image Emblem()
{
    Image c = RegionCanvas(R::Emblem);
    std::vector<Point> shape = {{6, 10}, {122, 4}, {114, 60}, {2, 56}};
    c.FillPolygon(shape, palette::Ink);
    std::vector<Point> inner = {{10, 13}, {117, 8}, {110, 56}, {7, 52}};
    c.Paint(0, 0, 128, 64, [&](float px, float py) {
        Rgba col = Mix(Hex(0xff5a1a), Hex(0xb01010), Clamp01(py / 60));
        return WithAlpha(col, Coverage(SdPolygon(px, py, inner)));
    });
    TextStyle s = LabelStyle(Hex(0xffffff), Hex(0xffd040));
    s.outline = 3;
    DrawText(c, Face::SansBold, "LAUNCH!", 40, 10, 10, 118, 54, s);
    return c;
}

Image HitText(const regions::Region& r, const char* word, Rgba burst, Rgba top, Rgba bottom)
{
    Image c = RegionCanvas(r);
    c.FillPolygon(StarPoints(32, 24, 9, 23, 13, 0.2f), WithAlpha(palette::Ink, 0.9f));
    c.FillPolygon(StarPoints(32, 24, 9, 20.5f, 11, 0.2f), burst);
    TextStyle s = LabelStyle(top, bottom);
    s.outline = 2.5f;
    DrawText(c, Face::SansBold, word, 26, 2, 8, 62, 40, s);
    return c;
}

// The clash's banner: CLASH! and what to press, on the interface's region or,
// for a game of two (both players press their own dash key), the guide's.
Image ClashBanner(const regions::Region& region, const char* press, const char* key)
{
    Image c = RegionCanvas(region);
    std::vector<Point> shape = {{14, 2}, {284, 6}, {270, 62}, {0, 58}};
    c.FillPolygon(shape, Hex(0xffd040));
    std::vector<Point> inner = {{18, 6}, {278, 10}, {266, 58}, {6, 54}};
    c.Paint(0, 0, 285, 64, [&](float px, float py) {
        float stripe = std::fmod(px - py * 0.6f + 400, 24) < 12 ? 1.0f : 0.88f;
        Rgba col = Scaled(Mix(Hex(0xd01818), Hex(0x700808), Clamp01(py / 60)), stripe);
        return WithAlpha(col, Coverage(SdPolygon(px, py, inner)));
    });
    TextStyle big = LabelStyle(Hex(0xffffff), Hex(0xffe060));
    big.outline = 3;
    DrawText(c, Face::SansBold, "CLASH!", 40, 14, 6, 170, 58, big);
    TextStyle small = LabelStyle(Hex(0xfff4c0), Hex(0xffc030));
    small.outline = 2;
    DrawText(c, Face::SansBold, press, 20, 172, 8, 268, 32, small);
    DrawText(c, Face::SansBold, key, 20, 172, 30, 268, 56, small);
    return c;
}

Image AimGaugeFrame()
{
    Image c = RegionCanvas(R::AimGaugeFrame);
    Panel(c, 1, 1, 191, 95, 12, Hex(0x08122a, 0.7f), Hex(0xe8eefc), 3);
    for (int x = 24; x < 190; x += 24) c.Line(x + 0.5f, 78, x + 0.5f, 91, 2, Hex(0xe8eefc, 0.8f));
    for (int x = 12; x < 190; x += 24) c.Line(x + 0.5f, 84, x + 0.5f, 91, 1.5f, Hex(0xe8eefc, 0.5f));
    return c;
}

Image AimGaugeFill()
{
    Image c = RegionCanvas(R::AimGaugeFill);
    c.Paint(0, 0, 192, 96, [](float px, float py) {
        float t = Clamp01(px / 192);
        Rgba base =
            t < 0.5f ? Mix(Hex(0x28d860), Hex(0xffe030), t * 2) : Mix(Hex(0xffe030), Hex(0xff2a18), (t - 0.5f) * 2);
        float stripe = std::fmod(px + py + 400, 32) < 16 ? 1.0f : 0.86f;
        float v = py / 96;
        float shade = (0.8f + 0.4f * std::exp(-std::pow((v - 0.22f) * 4, 2.0f)) - 0.2f * v) * stripe;
        return WithAlpha(Scaled(base, shade), Coverage(SdBox(px, py, -10, 4, 200, 92, 8)));
    });
    return c;
}

// A key cap marked Z, up (0), half down (1) and pressed with a flash (2).
Image ClashButton(const regions::Region& r, int frame)
{
    Image c = RegionCanvas(r);
    float press = frame * 4.0f;
    if (frame == 2) c.FillPolygon(StarPoints(32, 34, 10, 31, 18, 0.15f), Hex(0xffe060, 0.85f));
    c.FillRoundRect(8, 14 + 8, 56, 62 + 8, 8, Hex(0x2a3040));   // key side
    c.FillRoundRect(6, 10 + press, 58, 62 + press, 9, palette::Ink);
    c.Paint(0, 0, 64, 96, [&](float px, float py) {
        float t = Clamp01((py - 12 - press) / 48);
        Rgba col = Mix(Hex(0xffffff), Hex(0xb8c4d8), t);
        return WithAlpha(col, Coverage(SdBox(px, py, 9, 12 + press, 55, 58 + press, 7)));
    });
    TextStyle z;
    z.top = Hex(0x182040), z.bottom = Hex(0x0a1020);
    DrawText(c, Face::SansBold, "Z", 40, 12, 14 + press, 52, 56 + press, z);
    TextStyle s = LabelStyle(Hex(0xffffff), Hex(0xffd040));
    s.outline = 2;
    DrawText(c, Face::SansBold, frame == 2 ? "PUSH!" : "PUSH", 18, 2, 74, 62, 94, s);
    return c;
}

Image Banner(const regions::Region& r, const std::string& phrase, int copies, Rgba band, Rgba top, Rgba bottom)
{
    Image c = RegionCanvas(r, band);
    c.Paint(0, 0, c.Width(), c.Height(), [&](float, float py) {
        float t = py / c.Height();
        return WithAlpha(Scaled(band, 0.8f + 0.5f * std::exp(-std::pow((t - 0.3f) * 3, 2.0f))), 1);
    });
    HazardBand(c, 0, 7, 16);
    HazardBand(c, static_cast<float>(c.Height() - 7), static_cast<float>(c.Height()), 16);
    TextStyle s = LabelStyle(top, bottom);
    s.outline = 2;
    TileText(c, phrase, copies, 9, static_cast<float>(c.Height() - 9), Face::SansBold, s);
    return c;
}

// A small badge with a word: whose panel it marks.
Image Tag(const regions::Region& r, const char* word, Rgba band, Rgba top, Rgba bottom)
{
    Image c = RegionCanvas(r);
    const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
    Panel(c, 1, 3, w - 1, h - 2, 8, WithAlpha(band, 0.9f), palette::White, 2);
    TextStyle s = LabelStyle(top, bottom);
    s.outline = 2;
    DrawText(c, Face::SansBold, word, 24, 5, 4, w - 5, h - 3, s);
    return c;
}

Image EdgeArrow()
{
    Image c = RegionCanvas(R::EdgeArrow);
    std::vector<Point> arrow = {{4, 4}, {29, 16}, {4, 28}, {10, 16}};
    c.Paint(0, 0, 32, 32, [&](float px, float py) {
        float d = SdPolygon(px, py, arrow);
        Rgba col = d > -2.2f ? palette::Ink : Mix(Hex(0xff6a4a), Hex(0xc01010), Clamp01(py / 30));
        return WithAlpha(col, Coverage(d - 0.8f));
    });
    return c;
}

namespace G = regions::guide;

// One line of the card: the keys on a plate on the left, what they do on the right.
void CardLine(Image& c, float y, const char* keys, const char* what)
{
    Panel(c, 24, y, 204, y + 40, 8, Hex(0xe8eefc, 0.95f), palette::Ink, 2);
    TextStyle k;
    k.top = Hex(0x182040), k.bottom = Hex(0x0a1020);
    DrawText(c, Face::SansBold, keys, 22, 30, y + 4, 198, y + 36, k);
    TextStyle s = LabelStyle(Hex(0xffffff), Hex(0xbfeaff));
    s.outline = 2;
    DrawText(c, Face::SansBold, what, 21, 214, y + 4, 496, y + 36, s, Align::Left);
}

Image HowToPlayCard()
{
    Image c = RegionCanvas(G::Card);
    c.Paint(0, 0, 512, 384,
            [](float, float py) { return WithAlpha(Mix(Hex(0x14245a), Hex(0x070c20), Clamp01(py / 384)), 1); });
    HazardBand(c, 0, 8, 16);
    HazardBand(c, 376, 384, 16);
    TextStyle title = LabelStyle(Hex(0xffffff), Hex(0xffd040));
    title.outline = 3;
    DrawText(c, Face::SansBold, "HOW TO PLAY", 40, 16, 14, 496, 60, title);
    CardLine(c, 70, "\xe2\x86\x90 \xe2\x86\x91 \xe2\x86\x93 \xe2\x86\x92", "STEER YOUR TOP");
    CardLine(c, 116, "ARROW + Z", "HOLD TO CHARGE, LET GO OF Z TO DASH");
    CardLine(c, 162, "HOLD Z", "SPIN BOOST FROM EXTRA POWER");
    CardLine(c, 208, "Z Z Z Z", "CLASH! TAP Z AS FAST AS YOU CAN");
    TextStyle tip = LabelStyle(Hex(0xfff4c0), Hex(0xffa030));
    tip.outline = 2;
    DrawText(c, Face::SansBold, "DASH INTO THE ENEMY TO KNOCK IT OUT OR STOP ITS SPIN.", 20, 20, 262, 492, 290, tip);
    DrawText(c, Face::SansBold, "YOUR POWER BAR IS ON THE LEFT: A DASH SPENDS IT.", 20, 20, 292, 492, 320, tip);
    TextStyle go = LabelStyle(Hex(0xffffff), Hex(0x7fe0ff));
    go.outline = 2.5f;
    DrawText(c, Face::SansBold, "PRESS Z TO START", 30, 16, 330, 496, 370, go);
    return c;
}

// Where a sheet holds the battle's parts of the guide.
struct BattleGuideRegions {
    const regions::Region& hint;
    const regions::Region& versusHint;
    const regions::Region& playerOneTag;
    const regions::Region& playerTwoTag;
    const regions::Region& versusClash;
};

void PlaceBattleGuide(Image& sheet, const BattleGuideRegions& at)
{
    Place(sheet, at.hint,
          Banner(at.hint,
                 "ARROWS STEER \xe2\x98\x85 ARROW + HOLD Z: CHARGE \xe2\x98\x85 LET GO OF Z: DASH \xe2\x98\x85 "
                 "HOLD Z: SPIN BOOST \xe2\x98\x85 CLASH: TAP Z FAST",
                 1, Hex(0x0c1a44), Hex(0xffffff), Hex(0x7fe0ff)));
    Place(sheet, at.versusHint,
          Banner(at.versusHint,
                 "P1: ARROWS + Z \xe2\x98\x85 P2: W A S D + LEFT SHIFT \xe2\x98\x85 HOLD DASH: CHARGE, LET GO: "
                 "DASH \xe2\x98\x85 CLASH: TAP YOUR DASH KEY FAST",
                 1, Hex(0x3a0c44), Hex(0xffffff), Hex(0xffb0f0)));
    Place(sheet, at.playerOneTag, Tag(at.playerOneTag, "P1", Hex(0x0e5a2a), Hex(0xffffff), Hex(0xa8ffb8)));
    Place(sheet, at.playerTwoTag, Tag(at.playerTwoTag, "P2", Hex(0x6a0c0c), Hex(0xffffff), Hex(0xffb0a0)));
    Place(sheet, at.versusClash, ClashBanner(at.versusClash, "MASH", "DASH KEY!"));
}

}   // namespace

bool WriteGuideTexture(const DataDir& dir)
{
    Image sheet(1024, 512);
    Place(sheet, G::Card, HowToPlayCard());
    PlaceBattleGuide(sheet, {G::HintBanner, G::VersusHintBanner, G::PlayerOneTag, G::PlayerTwoTag, G::VersusClashBanner});
    return sheet.WritePng(dir.Path("texture/Guide.png"));
}

bool WriteHintTexture(const DataDir& dir)
{
    Image sheet(1024, 256);
    namespace H = regions::hint;
    PlaceBattleGuide(sheet, {H::HintBanner, H::VersusHintBanner, H::PlayerOneTag, H::PlayerTwoTag, H::VersusClashBanner});
    return sheet.WritePng(dir.Path("texture/Hint.png"));
}

bool WriteInterfaceTexture(const DataDir& dir)
{
    Image sheet(512, 512);
    Place(sheet, R::GaugeBack, GaugeBack());
    Place(sheet, R::GaugeFill, GaugeFill());
    Place(sheet, R::SwarmIcon, SwarmIcon());
    Place(sheet, R::MeterFrame, MeterFrame());
    Place(sheet, R::MeterLabel, Label(R::MeterLabel, "SPIN", Hex(0xe8fbff), Hex(0x3fb8ff), 87));
    Place(sheet, R::GaugeLabel, Label(R::GaugeLabel, "POWER", Hex(0xfff0b0), Hex(0xff7a1a), 72));
    Place(sheet, R::EnemyMarker, EnemyMarker());
    Place(sheet, R::Emblem, Emblem());
    Place(sheet, R::HitText0, HitText(R::HitText0, "HIT!", Hex(0xff6a1a), Hex(0xffffff), Hex(0xffe040)));
    Place(sheet, R::HitText1, HitText(R::HitText1, "POW!", Hex(0x2a8cff), Hex(0xffffff), Hex(0xa8f0ff)));
    Place(sheet, R::ClashBanner, ClashBanner(R::ClashBanner, "MASH", "Z KEY!"));
    Place(sheet, R::AimGaugeFrame, AimGaugeFrame());
    Place(sheet, R::AimGaugeFill, AimGaugeFill());
    Place(sheet, R::ClashButton0, ClashButton(R::ClashButton0, 0));
    Place(sheet, R::ClashButton1, ClashButton(R::ClashButton1, 1));
    Place(sheet, R::ClashButton2, ClashButton(R::ClashButton2, 2));
    Place(sheet, R::LaunchBanner,
          Banner(R::LaunchBanner, "LAUNCH! \xe2\x98\x85 GO! GO!", 1, Hex(0x4a0c0c), Hex(0xffffff), Hex(0xffd040)));
    Place(sheet, R::AimBanner,
          Banner(R::AimBanner, "PRESS Z TO LAUNCH \xe2\x98\x85 TIME YOUR POWER", 1, Hex(0x0c1a44), Hex(0xffffff),
                 Hex(0x7fe0ff)));
    Place(sheet, R::PlayerTag, Tag(R::PlayerTag, "YOU", Hex(0x0e5a2a), Hex(0xffffff), Hex(0xa8ffb8)));
    Place(sheet, R::EnemyTag, Tag(R::EnemyTag, "CPU", Hex(0x6a0c0c), Hex(0xffffff), Hex(0xffb0a0)));
    Place(sheet, R::EdgeArrow, EdgeArrow());
    return sheet.WritePng(dir.Path("texture/Interface.png"));
}

}   // namespace assetgen
