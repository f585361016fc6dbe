// CSpriteRenderBase holds what both battle interfaces share: the sprite cut
// from the interface texture, the player's top, the slide-in from the screen
// edges, the ten-second spin history sampled once a second and the spin graph
// drawn from it, the tags that say whose panel is whose, the reminder of the
// battle's keys, and the hand-over to the result screen when a side has lost.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "game/TopSide.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "item/ItemFlashTarget.h"
#include "platform/Math3D.h"

class CInput;
class CKomaBase;

namespace plat {
class LineBatch;
}

constexpr int32_t PRIORITY_SPRITE_RENDER = 9000;

class CSpriteRenderBase : public CGameObject {
public:
    // How a battle ended: the kinds of the result screen.
    static constexpr int RESULT_CLEAR = 0;
    static constexpr int RESULT_GAME_OVER = 1;
    // Starts the result screen of a kind. The screens sit above the battle
    // interfaces, so whoever builds the game hands its starter in once.
    using ResultStarter = void (*)(int kind);
    static void SetResultStarter(ResultStarter starter);

    static constexpr int HISTORY_SIZE = 11;         // one sample a second, newest first
    static constexpr int16_t HISTORY_FRAMES = 60;   // updates between samples
    static constexpr int32_t SLIDE_START = 80;      // pixels off screen at the start
    static constexpr int32_t SLIDE_STEP = 2;        // pixels per update: 40 updates to slide in

    // Regions of the interface texture (left, top, right, bottom).
    static constexpr plat::Rect GAUGE_BACK{0, 0, 320, 64};
    static constexpr int GAUGE_FILL_LEFT = 0, GAUGE_FILL_TOP = 64, GAUGE_FILL_BOTTOM = 112;
    static constexpr int GAUGE_FILL_STUB = 9;   // pixels shown at gauge 0
    static constexpr plat::Rect METER_FRAME{400, 0, 500, 40};
    static constexpr plat::Rect METER_LABEL{320, 48, 407, 80};
    static constexpr plat::Rect GAUGE_LABEL{320, 80, 407, 112};
    static constexpr plat::Rect SWARM_ICON{320, 0, 340, 20};
    static constexpr plat::Rect PLAYER_TAG{128, 112, 192, 144};
    static constexpr plat::Rect ENEMY_TAG{192, 112, 256, 144};
    static constexpr plat::Rect EDGE_ARROW{256, 112, 288, 144};

    // The reminder of the battle's keys: a band scrolling across the top of
    // the picture for the first seconds of the battle, and again whenever the
    // player has pressed nothing for a while. Its picture is a loop of
    // HINT_LOOP texels in the hint picture.
    static constexpr const char* HINT_PICTURE = TopSide::TAG_PICTURE;
    static constexpr int HINT_OPENING_FRAMES = 480;   // 8 s
    static constexpr int HINT_IDLE_FRAMES = 600;      // 10 s without a key
    static constexpr int HINT_TOP = 0, HINT_BOTTOM = 48, HINT_LOOP = 1024;
    static constexpr float HINT_Y = 8;
    // Versus play: the band with both players' keys, and the tags P1 and P2
    // in place of YOU and CPU, all in the hint picture.
    static constexpr int VERSUS_HINT_TOP = 48, VERSUS_HINT_BOTTOM = 96;
    static constexpr plat::Rect PLAYER_ONE_TAG = TopSide::PLAYER_ONE_TAG;
    static constexpr plat::Rect PLAYER_TWO_TAG = TopSide::PLAYER_TWO_TAG;
    static constexpr uint8_t HINT_ALPHA = 235;

    // The gauge bars stand upright: a quarter turn anticlockwise on screen.
    static constexpr float UPRIGHT = -1.5707964f;
    static constexpr uint8_t OPAQUE = 255;
    static constexpr uint8_t BAR_ALPHA = 200;

    // The spin graph: ten segments of ten pixels, the spin relative to its
    // value five seconds ago, ten pixels per unit, held between two limits.
    static constexpr int GRAPH_SEGMENTS = 10;
    static constexpr float GRAPH_LEFT = 80;   // from the graph's x0
    static constexpr float GRAPH_STEP = 10;
    static constexpr int GRAPH_REFERENCE = 5;   // the sample the graph is drawn against
    static constexpr float GRAPH_BASE_Y = 430;
    static constexpr float GRAPH_SCALE = 10;
    static constexpr float GRAPH_TOP = 395;
    static constexpr float GRAPH_BOTTOM = 465;
    static constexpr int GRAPH_FILL_LINES = 10;       // vertical lines below each segment
    static constexpr float SLOW_SPIN = 30;            // drawn red
    static constexpr float SPIN_COLOUR_RANGE = 200;   // blue from 30 + 200

    ~CSpriteRenderBase() override;
    CSpriteRenderBase(const CSpriteRenderBase&) = delete;
    CSpriteRenderBase& operator=(const CSpriteRenderBase&) = delete;

    // The colour of a graph segment ending at spin v: red for a slow top,
    // blue for a fast one.
    static uint32_t GraphColour(float v);
    // The height of a graph point: the value against the reference, limited.
    static float GraphY(float value, float reference);
    // The width of a gauge fill in pixels.
    static int GaugeFillRight(int gauge);

    // Whether the key reminder shows in this frame.
    bool HintShown() const;

    CSprite m_Sprite;
    CTexture* m_Texture = nullptr;   // "InterfaceBMP", borrowed
    CKomaBase* m_Player = nullptr;   // "CKoma"
    int32_t m_SlideOffset = SLIDE_START;
    std::unique_ptr<plat::LineBatch> m_Line;
    float m_SpinHistory[HISTORY_SIZE] = {};
    int16_t m_HistoryTimer = 0;
    CInput* m_Input = nullptr;   // "input", when running
    int m_BattleFrames = 0;      // updates since the interface started
    int m_IdleFrames = 0;        // updates since a battle key was last held
    int m_HintScroll = 0;        // texels the reminder has scrolled, within its loop

protected:
    CSpriteRenderBase();

    // The texture, the sprite's anchor and the line batch.
    void SetUpDrawing();
    // Counts an update; true when a new history sample is due.
    bool HistorySampleDue();
    static void PushSample(float (&history)[HISTORY_SIZE], float spin);
    static void FillHistory(float (&history)[HISTORY_SIZE], float spin);
    void SlideIn();
    // Counts the battle's frames and those without a key; scrolls the reminder.
    void WatchKeys();

    // The player's tags beside the gauge and meter labels; s: the slide offset.
    void DrawPlayerTags(float s);
    // The enemy's tags for a duel, mirrored on the right.
    void DrawEnemyTags(float s);
    // Call outside the sprite batch of the interface texture.
    void DrawHint();
    // Versus play: P1 and P2 where the duel's tags stand; s: the slide offset.
    // Call outside the sprite batch of the interface texture.
    void DrawVersusTags(float s);

    void DrawRegion(const plat::Rect& region, float x, float y, float scaleX, float scaleY, float angle, uint8_t alpha);
    void DrawGaugeFill(int gauge, float x, float y);
    // 110 lines: ten segments, each with ten fill lines below it. Call between
    // the line batch's Begin and End.
    void DrawSpinGraph(float x0, const float (&history)[HISTORY_SIZE]);
    // Starts the result screen of the kind and removes this task; nothing of
    // this object may be touched afterwards.
    void HandOverToResult(int kind);

private:
    CTexture m_HintTexture;
    CSprite m_HintSprite;
};
