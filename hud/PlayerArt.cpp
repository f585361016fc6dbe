#include "hud/PlayerArt.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t OPAQUE = 255;
constexpr float SCREEN_WIDTH = 640, SCREEN_HEIGHT = 480;

// The pause menu's layout on the 640 x 480 picture.
constexpr float MENU_X = 320;
constexpr float PAUSED_Y = 120;
constexpr float PANEL_Y = 290, PANEL_SCALE_X = 1.9f, PANEL_SCALE_Y = 1.0f;
constexpr float PANEL_HEIGHT = 192;   // the panel's cell, drawn at scale 1 for three choices
constexpr float FIRST_CHOICE_Y = 240, CHOICE_STEP = 50;
constexpr float POINTER_OFFSET = 170;

constexpr float DIGIT_ADVANCE = 24;   // the digits' cells are wider than their ink
constexpr float LABEL_GAP = 8;

}   // namespace

bool PlayerArt::Load()
{
    if (!m_Texture.Load(PICTURE_FILE, NO_COLOR_KEY)) return false;
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    m_Sprite.AttachTexture(&m_Texture);
    return true;
}

void PlayerArt::DrawCell(const plat::Rect& cell, float x, float y, float scaleX, float scaleY, uint8_t alpha)
{
    if (!Loaded()) return;
    m_Sprite.SetSourceRect(cell.left, cell.top, cell.right, cell.bottom);
    m_Sprite.Draw(x, y, scaleX, scaleY, alpha);
}

void PlayerArt::DrawShade(uint8_t alpha)
{
    const float width = static_cast<float>(SHADE.right - SHADE.left);
    const float height = static_cast<float>(SHADE.bottom - SHADE.top);
    DrawCell(SHADE, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2, SCREEN_WIDTH / width, SCREEN_HEIGHT / height, alpha);
}

float PlayerArt::ChoiceY(int row) { return FIRST_CHOICE_Y + CHOICE_STEP * static_cast<float>(row); }

float PlayerArt::MenuX() { return MENU_X; }

void PlayerArt::DrawPauseMenu(int chosen, int rows)
{
    // Each row past the third makes the panel a choice taller, downwards.
    const float extra = CHOICE_STEP * static_cast<float>(std::max(rows - MENU_CHOICES, 0));
    DrawCell(MENU_PANEL, MENU_X, PANEL_Y + extra / 2, PANEL_SCALE_X, PANEL_SCALE_Y + extra / PANEL_HEIGHT, OPAQUE);
    DrawCell(PAUSED, MENU_X, PAUSED_Y, 1.0f, 1.0f, OPAQUE);
    for (int i = 0; i < MENU_CHOICES; ++i)
        DrawCell(i == chosen ? CHOICES_LIT[i] : CHOICES[i], MENU_X, ChoiceY(i), 1.0f, 1.0f, OPAQUE);
    if (chosen >= 0 && chosen < rows) DrawCell(POINTER, MENU_X - POINTER_OFFSET, ChoiceY(chosen), 1.0f, 1.0f, OPAQUE);
}

void PlayerArt::DrawTime(const plat::Rect& label, float x, float y, uint32_t ms, uint8_t alpha)
{
    const float labelWidth = static_cast<float>(label.right - label.left);
    DrawCell(label, x + labelWidth / 2, y, 1.0f, 1.0f, alpha);
    float digitX = x + labelWidth + LABEL_GAP + DIGIT_ADVANCE / 2;
    for (char c : FormatTime(ms)) {
        const int cell = c == ':' ? COLON_CELL : c == '.' ? POINT_CELL : c - '0';
        const plat::Rect glyph{DIGIT_WIDTH * cell, DIGIT_TOP, DIGIT_WIDTH * (cell + 1), DIGIT_BOTTOM};
        DrawCell(glyph, digitX, y, 1.0f, 1.0f, alpha);
        digitX += DIGIT_ADVANCE;
    }
}

void PlayerArt::DrawNewBest(float x, float y, uint8_t alpha) { DrawCell(NEW_BEST, x, y, 1.0f, 1.0f, alpha); }

std::string PlayerArt::FormatTime(uint32_t ms)
{
    const uint32_t tenths = ms / 100;
    char text[24];
    std::snprintf(text, sizeof text, "%u:%02u.%u", tenths / 600, (tenths / 10) % 60, tenths % 10);
    return text;
}
