#include "hud/OptionsArt.h"

#include <algorithm>

#include "core/KeyNames.h"

namespace {

constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr float SCREEN_WIDTH = 640, SCREEN_HEIGHT = 480;

// The screen's layout on the 640 x 480 picture.
constexpr float CENTRE_X = 320;
constexpr float HEADING_Y = 40;
constexpr float PANEL_Y = 258, PANEL_WIDTH = 560, PANEL_HEIGHT = 372;
constexpr float FIRST_ROW_Y = 112, ROW_STEP = 32;
constexpr float LABEL_X = 170;   // centre of a row's name
constexpr float POINTER_X = 72;
constexpr float VALUE_X = 420;   // centre of a row's value
constexpr float KEY_NAME_LEFT = 340;
constexpr float GLYPH_ADVANCE = 12;   // the letters are set narrower than their cells

constexpr int ROW_MUSIC = 0, ROW_EFFECTS = 1, ROW_SCREEN = 2, FIRST_KEY_ROW = 3;

float Width(const plat::Rect& r) { return static_cast<float>(r.right - r.left); }

plat::Rect LabelCell(int row, bool chosen)
{
    const int left = chosen ? OptionsArt::LABEL_WIDTH : 0;
    const int top = OptionsArt::ROW_TOP + row * OptionsArt::ROW_HEIGHT;
    return {left, top, left + OptionsArt::LABEL_WIDTH, top + OptionsArt::ROW_HEIGHT};
}

}   // namespace

bool OptionsArt::Load()
{
    if (!m_Texture.Load(PICTURE_FILE, NO_COLOR_KEY)) return false;
    m_Sprite.AttachTexture(&m_Texture);
    return true;
}

void OptionsArt::DrawCell(const plat::Rect& cell, float x, float y, float scaleX, float scaleY, uint8_t alpha)
{
    if (!Loaded()) return;
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    m_Sprite.SetSourceRect(cell.left, cell.top, cell.right, cell.bottom);
    m_Sprite.Draw(x, y, scaleX, scaleY, alpha);
}

void OptionsArt::DrawShade(uint8_t alpha)
{
    const float width = Width(SHADE), height = static_cast<float>(SHADE.bottom - SHADE.top);
    DrawCell(SHADE, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2, SCREEN_WIDTH / width, SCREEN_HEIGHT / height, alpha);
}

void OptionsArt::DrawScreen(const View& view)
{
    DrawCell(PANEL, CENTRE_X, PANEL_Y, PANEL_WIDTH / Width(PANEL),
             PANEL_HEIGHT / static_cast<float>(PANEL.bottom - PANEL.top));
    DrawCell(HEADING, CENTRE_X, HEADING_Y);
    for (int row = 0; row < ROWS; ++row) {
        const float y = FIRST_ROW_Y + ROW_STEP * static_cast<float>(row);
        const bool chosen = row == view.chosen;
        DrawCell(LabelCell(row, chosen), LABEL_X, y);
        if (chosen) DrawCell(POINTER, POINTER_X, y);
        if (row == ROW_MUSIC) DrawBar(VALUE_X, y, view.musicVolume, view.maxVolume);
        if (row == ROW_EFFECTS) DrawBar(VALUE_X, y, view.effectsVolume, view.maxVolume);
        if (row == ROW_SCREEN) DrawCell(view.fullscreen ? FULLSCREEN : WINDOWED, VALUE_X, y);
        const int key = row - FIRST_KEY_ROW;
        if (key < 0 || key >= KEY_ROWS) continue;
        if (chosen && view.waitingForKey)
            DrawCell(PRESS_KEY, VALUE_X, y);
        else
            DrawKeyName(KEY_NAME_LEFT, y, view.keys[key]);
    }
}

void OptionsArt::DrawBar(float x, float y, int volume, int maxVolume)
{
    DrawCell(BAR_FRAME, x, y);
    if (maxVolume <= 0) return;
    const int full = BAR_FILL.right - BAR_FILL.left;
    const int width = full * std::clamp(volume, 0, maxVolume) / maxVolume;
    if (width <= 0) return;
    // The fill grows from the frame's left edge.
    const plat::Rect fill{BAR_FILL.left, BAR_FILL.top, BAR_FILL.left + width, BAR_FILL.bottom};
    DrawCell(fill, x - Width(BAR_FILL) / 2 + static_cast<float>(width) / 2, y);
}

void OptionsArt::DrawKeyName(float x, float y, int code)
{
    float glyphX = x + GLYPH_ADVANCE / 2;
    for (const plat::Rect& glyph : Spell(KeyNames::NameOf(code))) {
        DrawCell(glyph, glyphX, y);
        glyphX += GLYPH_ADVANCE;
    }
}

void OptionsArt::DrawPauseEntry(float x, float y, bool chosen)
{
    DrawCell(chosen ? PAUSE_ENTRY_LIT : PAUSE_ENTRY, x, y);
}

void OptionsArt::DrawTitleEntry(float x, float y, float scale, int width)
{
    if (scale <= 0.0f) return;
    const int shown =
        std::clamp(static_cast<int>(static_cast<float>(width) / scale), 0, TITLE_ENTRY.right - TITLE_ENTRY.left);
    if (shown <= 0) return;
    const plat::Rect cell{TITLE_ENTRY.left, TITLE_ENTRY.top, TITLE_ENTRY.left + shown, TITLE_ENTRY.bottom};
    const float height = static_cast<float>(TITLE_ENTRY.bottom - TITLE_ENTRY.top);
    DrawCell(cell, x + scale * static_cast<float>(shown) / 2, y + scale * height / 2, scale, scale);
}

std::vector<plat::Rect> OptionsArt::Spell(std::string_view name)
{
    std::vector<plat::Rect> cells;
    for (char c : name) {
        const size_t at = GLYPHS.find(c);
        if (at == std::string_view::npos) continue;
        const int column = static_cast<int>(at) % GLYPHS_PER_ROW, row = static_cast<int>(at) / GLYPHS_PER_ROW;
        const int left = GLYPH_LEFT + column * GLYPH_WIDTH, top = GLYPH_TOP + row * GLYPH_HEIGHT;
        cells.push_back({left, top, left + GLYPH_WIDTH, top + GLYPH_HEIGHT});
    }
    return cells;
}
