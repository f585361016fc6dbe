// VersusArt draws the screens of a game of two and the title's VERSUS entry
// from one picture. Without the picture it draws nothing and the screens
// still work.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "platform/Math3D.h"

class VersusArt {
public:
    static constexpr const char* PICTURE_FILE = "texture/Versus.png";
    static constexpr int ARENAS = 3;
    static constexpr int SIDES = 2;

    // Regions of the picture (left, top, right, bottom).
    static constexpr plat::Rect HEADING{0, 0, 320, 64};
    static constexpr plat::Rect TITLE_ENTRY{320, 0, 512, 64};
    static constexpr plat::Rect FRAME{0, 64, 352, 304};
    static constexpr plat::Rect FRAME_WINDOW{16, 80, 336, 288};   // left clear for the preview
    static constexpr plat::Rect ARROW_LEFT{352, 64, 400, 128};
    static constexpr plat::Rect ARROW_RIGHT{400, 64, 448, 128};
    static constexpr plat::Rect POINTER{448, 64, 480, 96};
    static constexpr std::string_view DIGITS = "0123456789-";
    static constexpr int DIGIT_LEFT = 352, DIGIT_TOP = 128, DIGIT_WIDTH = 24, DIGIT_HEIGHT = 40, DIGITS_PER_ROW = 6;
    static constexpr plat::Rect ROUND{352, 208, 512, 256};
    static constexpr plat::Rect WINS{352, 256, 512, 304};
    static constexpr plat::Rect ARENA_NAMES[ARENAS] = {{0, 304, 256, 336}, {0, 336, 256, 368}, {0, 368, 256, 400}};
    static constexpr plat::Rect PLAYERS[SIDES] = {{256, 304, 512, 352}, {256, 352, 512, 400}};
    static constexpr plat::Rect REMATCH{0, 400, 160, 432};
    static constexpr plat::Rect REMATCH_LIT{160, 400, 320, 432};
    static constexpr plat::Rect TITLE{0, 432, 160, 464};
    static constexpr plat::Rect TITLE_LIT{160, 432, 320, 464};
    static constexpr plat::Rect BACK{0, 464, 160, 496};
    static constexpr plat::Rect BACK_LIT{160, 464, 320, 496};
    static constexpr plat::Rect PANEL{320, 400, 448, 480};
    static constexpr plat::Rect PROMPT{320, 480, 512, 512};

    bool Load();
    bool Loaded() const { return m_Texture.Texture() != nullptr; }

    // A region centred at (x, y), at a scale in each direction.
    void DrawCentred(const plat::Rect& cell, float x, float y, float scaleX = 1.0f, float scaleY = 1.0f);
    // The panel stretched over a box of the screen, centred at (x, y).
    void DrawPanel(float x, float y, float width, float height);
    // A line of digits and dashes centred at (x, y); other characters are left out.
    void DrawScore(std::string_view text, float x, float y);
    // The title's VERSUS from its top-left corner at a scale, uncovered to
    // `width` pixels of the screen.
    void DrawTitleEntry(float x, float y, float scale, int width);

    // The cells that spell a line of digits and dashes.
    static std::vector<plat::Rect> Spell(std::string_view text);

private:
    CTexture m_Texture;
    CSprite m_Sprite;
};
