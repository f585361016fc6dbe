// OptionsArt draws the options screen and the OPTIONS entries of the pause
// menu and the title from one picture. Key names are spelt letter by letter
// from the picture's letters, so every key the settings can name shows.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "platform/Math3D.h"

class OptionsArt {
public:
    static constexpr const char* PICTURE_FILE = "texture/Options.png";
    static constexpr int ROWS = 10;
    static constexpr int KEY_ROWS = 6;

    // Regions of the picture (left, top, right, bottom).
    static constexpr plat::Rect HEADING{0, 0, 512, 80};
    static constexpr int ROW_TOP = 80, ROW_HEIGHT = 32, LABEL_WIDTH = 160;
    static constexpr plat::Rect WINDOWED{320, 80, 512, 112};
    static constexpr plat::Rect FULLSCREEN{320, 112, 512, 144};
    static constexpr plat::Rect PRESS_KEY{320, 144, 512, 176};
    static constexpr plat::Rect BAR_FRAME{320, 176, 512, 200};
    static constexpr plat::Rect BAR_FILL{320, 200, 512, 224};
    static constexpr std::string_view GLYPHS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    static constexpr int GLYPH_LEFT = 320, GLYPH_TOP = 224, GLYPH_WIDTH = 16, GLYPH_HEIGHT = 24, GLYPHS_PER_ROW = 12;
    static constexpr plat::Rect POINTER{320, 320, 352, 352};
    static constexpr plat::Rect PANEL{352, 320, 512, 400};
    static constexpr plat::Rect SHADE{452, 404, 460, 412};   // inside the dark square, clear of its edges
    static constexpr plat::Rect PAUSE_ENTRY{0, 400, 320, 448};
    static constexpr plat::Rect PAUSE_ENTRY_LIT{0, 448, 320, 496};
    static constexpr plat::Rect TITLE_ENTRY{320, 416, 512, 480};

    // What the screen shows.
    struct View {
        int chosen = 0;   // the row of the pointer
        int musicVolume = 0, effectsVolume = 0, maxVolume = 100;
        bool fullscreen = false;
        std::array<int, KEY_ROWS> keys{};
        bool waitingForKey = false;   // the chosen key row shows PRESS A KEY
    };

    bool Load();
    bool Loaded() const { return m_Texture.Texture() != nullptr; }

    void DrawShade(uint8_t alpha);
    void DrawScreen(const View& view);
    // The pause menu's OPTIONS, centred at (x, y).
    void DrawPauseEntry(float x, float y, bool chosen);
    // The title's OPTIONS from its top-left corner at a scale, uncovered to
    // `width` pixels of the screen.
    void DrawTitleEntry(float x, float y, float scale, int width);

    // The cells of the picture's letters that spell a key's name (letters it
    // lacks are left out).
    static std::vector<plat::Rect> Spell(std::string_view name);

private:
    void DrawCell(const plat::Rect& cell, float x, float y, float scaleX = 1.0f, float scaleY = 1.0f,
                  uint8_t alpha = 255);
    void DrawBar(float x, float y, int volume, int maxVolume);
    void DrawKeyName(float x, float y, int code);

    CTexture m_Texture;
    CSprite m_Sprite;
};
