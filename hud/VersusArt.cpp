#include "hud/VersusArt.h"

#include <algorithm>

namespace {

constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t OPAQUE = 255;
constexpr float DIGIT_ADVANCE = 22;   // the digits are set a little closer than their cells

float Width(const plat::Rect& r) { return static_cast<float>(r.right - r.left); }
float Height(const plat::Rect& r) { return static_cast<float>(r.bottom - r.top); }

}   // namespace

bool VersusArt::Load()
{
    if (!m_Texture.Load(PICTURE_FILE, NO_COLOR_KEY)) return false;
    m_Sprite.AttachTexture(&m_Texture);
    return true;
}

void VersusArt::DrawCentred(const plat::Rect& cell, float x, float y, float scaleX, float scaleY)
{
    if (!Loaded()) return;
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    m_Sprite.SetSourceRect(cell.left, cell.top, cell.right, cell.bottom);
    m_Sprite.Draw(x, y, scaleX, scaleY, OPAQUE);
}

void VersusArt::DrawPanel(float x, float y, float width, float height)
{
    DrawCentred(PANEL, x, y, width / Width(PANEL), height / Height(PANEL));
}

void VersusArt::DrawScore(std::string_view text, float x, float y)
{
    const std::vector<plat::Rect> cells = Spell(text);
    float cellX = x - DIGIT_ADVANCE * static_cast<float>(cells.size()) / 2 + DIGIT_ADVANCE / 2;
    for (const plat::Rect& cell : cells) {
        DrawCentred(cell, cellX, y);
        cellX += DIGIT_ADVANCE;
    }
}

void VersusArt::DrawTitleEntry(float x, float y, float scale, int width)
{
    if (scale <= 0.0f) return;
    const int shown =
        std::clamp(static_cast<int>(static_cast<float>(width) / scale), 0, TITLE_ENTRY.right - TITLE_ENTRY.left);
    if (shown <= 0) return;
    const plat::Rect cell{TITLE_ENTRY.left, TITLE_ENTRY.top, TITLE_ENTRY.left + shown, TITLE_ENTRY.bottom};
    DrawCentred(cell, x + scale * static_cast<float>(shown) / 2, y + scale * Height(TITLE_ENTRY) / 2, scale, scale);
}

std::vector<plat::Rect> VersusArt::Spell(std::string_view text)
{
    std::vector<plat::Rect> cells;
    for (char c : text) {
        const size_t at = DIGITS.find(c);
        if (at == std::string_view::npos) continue;
        const int column = static_cast<int>(at) % DIGITS_PER_ROW, row = static_cast<int>(at) / DIGITS_PER_ROW;
        const int left = DIGIT_LEFT + column * DIGIT_WIDTH, top = DIGIT_TOP + row * DIGIT_HEIGHT;
        cells.push_back({left, top, left + DIGIT_WIDTH, top + DIGIT_HEIGHT});
    }
    return cells;
}
