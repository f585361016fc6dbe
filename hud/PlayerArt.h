// PlayerArt draws what the pause and the player's progress add to the
// screens, from one picture: the shade over a paused battle and its menu, a
// stage's best time, and a battle's time with NEW BEST. It belongs
// to the screen that draws it (a member, never a task of its own).
#pragma once

#include <cstdint>
#include <string>

#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "platform/Math3D.h"

class PlayerArt {
public:
    static constexpr const char* PICTURE_FILE = "texture/Player.png";
    static constexpr int MENU_CHOICES = 3;

    // Regions of the picture (left, top, right, bottom).
    static constexpr plat::Rect PAUSED{0, 0, 512, 96};
    static constexpr plat::Rect CHOICES[MENU_CHOICES] = {{0, 96, 320, 144}, {0, 144, 320, 192}, {0, 192, 320, 240}};
    static constexpr plat::Rect CHOICES_LIT[MENU_CHOICES] = {
        {0, 240, 320, 288}, {0, 288, 320, 336}, {0, 336, 320, 384}};
    static constexpr plat::Rect POINTER{320, 96, 368, 144};
    static constexpr plat::Rect MENU_PANEL{320, 160, 512, 352};
    static constexpr plat::Rect SHADE{452, 452, 460, 460};   // inside the black square, clear of its edges
    static constexpr plat::Rect NEW_BEST{0, 384, 256, 432};
    static constexpr plat::Rect TIME_LABEL{256, 384, 384, 432};
    static constexpr plat::Rect BEST_LABEL{384, 384, 512, 432};
    static constexpr int DIGIT_WIDTH = 32, DIGIT_TOP = 432, DIGIT_BOTTOM = 480;
    static constexpr int COLON_CELL = 10, POINT_CELL = 11;

    bool Load();
    bool Loaded() const { return m_Texture.Texture() != nullptr; }

    // Darkens the whole picture.
    void DrawShade(uint8_t alpha);
    // PAUSED over a panel as tall as `rows` choices, the three of this picture
    // in the first rows, the chosen one lit and pointed at; the caller draws
    // the choices of further rows at ChoiceY.
    void DrawPauseMenu(int chosen, int rows = MENU_CHOICES);
    static float ChoiceY(int row);
    static float MenuX();
    // A label (TIME_LABEL or BEST_LABEL) and a time, starting at x, centred on y.
    void DrawTime(const plat::Rect& label, float x, float y, uint32_t ms, uint8_t alpha);
    void DrawNewBest(float x, float y, uint8_t alpha);

    // A battle time as it is shown: minutes, seconds and tenths ("1:07.3").
    static std::string FormatTime(uint32_t ms);

private:
    void DrawCell(const plat::Rect& cell, float x, float y, float scaleX, float scaleY, uint8_t alpha);

    CTexture m_Texture;
    CSprite m_Sprite;
};
