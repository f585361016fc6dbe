#include "hud/CSpriteRenderBase.h"

#include <algorithm>
#include <cmath>

#include "core/Globals.h"
#include "core/ProgressBook.h"
#include "core/ResourceRegistry.h"
#include "core/SettingsBook.h"
#include "core/VersusMatch.h"
#include "gfx/CTexture.h"
#include "gfx/Render.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "platform/LineBatch.h"

namespace {

constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
constexpr float CHANNEL_MAX = 255.0f;
constexpr plat::Rect FIRST_RECT{0, 0, 320, 80};   // the sprite's rectangle until the first draw
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr int SCREEN_WIDTH = 640;
constexpr int BATTLE_KEYS[] = {plat::KEY_Z, plat::KEY_UP, plat::KEY_DOWN, plat::KEY_LEFT, plat::KEY_RIGHT};

// Where the tags stand once slid in: above each gauge label, and beside each
// spin label on the side towards the middle of the screen.
constexpr float PLAYER_GAUGE_TAG_X = 8, ENEMY_GAUGE_TAG_X = 571, GAUGE_TAG_Y = 116;
constexpr float PLAYER_METER_TAG_X = 180, ENEMY_METER_TAG_X = 404, METER_TAG_Y = 360;

// A colour channel from a share of 0..1: limited, then rounded half up. A
// spin that is not a number counts as none of the channel.
uint32_t Channel(float share)
{
    float value = share * CHANNEL_MAX;
    if (!(value > 0)) return 0;
    return static_cast<uint32_t>(std::floor(std::min(value, CHANNEL_MAX) + 0.5f));
}

}   // namespace

CSpriteRenderBase::CSpriteRenderBase() = default;

CSpriteRenderBase::~CSpriteRenderBase() = default;

void CSpriteRenderBase::SetUpDrawing()
{
    // The interface comes up as the battle begins: the battle's time runs from here.
    ProgressBook::BattleStarted(g_FrameTime);
    m_Texture = FindResource<CTexture>("InterfaceBMP");
    if (m_Texture) m_Sprite.AttachTexture(m_Texture);
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.SetSourceRect(FIRST_RECT.left, FIRST_RECT.top, FIRST_RECT.right, FIRST_RECT.bottom);
    m_Line = gfx::MakeLineBatch();

    // Without its picture the reminder draws nothing; the battle is the same.
    m_HintSprite.AttachTexture(
        CTexture::RegisteredOrLoaded(TopSide::TAG_PICTURE_KEY, m_HintTexture, HINT_PICTURE, NO_COLOR_KEY));
    m_HintSprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Input = dynamic_cast<CInput*>(FindTask(INPUT_TASK_NAME));
}

void CSpriteRenderBase::WatchKeys()
{
    ++m_BattleFrames;
    auto down = [this](int key) { return m_Input->IsDown(key); };
    bool pressing = m_Input && std::any_of(std::begin(BATTLE_KEYS), std::end(BATTLE_KEYS), down);
    // In a game of two player 2's keys count as well.
    if (m_Input && !pressing && VersusMatch::Current().Active()) {
        const Settings::KeyMap& second = SettingsBook::Used().keys[1];
        pressing = std::any_of(second.begin(), second.end(), down);
    }
    m_IdleFrames = pressing ? 0 : m_IdleFrames + 1;
    m_HintScroll = (m_HintScroll + 1) % HINT_LOOP;
}

bool CSpriteRenderBase::HintShown() const
{
    return m_BattleFrames <= HINT_OPENING_FRAMES || m_IdleFrames >= HINT_IDLE_FRAMES;
}

void CSpriteRenderBase::DrawHint()
{
    if (!gfx::CanDraw() || !HintShown()) return;
    const bool versus = VersusMatch::Current().Active();
    const int top = versus ? VERSUS_HINT_TOP : HINT_TOP;
    const int bottom = versus ? VERSUS_HINT_BOTTOM : HINT_BOTTOM;
    // Scrolls to the left; drawn in two parts that meet where the loop wraps.
    const int firstWidth = std::min(HINT_LOOP - m_HintScroll, SCREEN_WIDTH);
    gfx::BeginSprites();
    m_HintSprite.SetSourceRect(m_HintScroll, top, m_HintScroll + firstWidth, bottom);
    m_HintSprite.Draw(0, HINT_Y, 1, 1, 0, HINT_ALPHA);
    if (firstWidth < SCREEN_WIDTH) {
        m_HintSprite.SetSourceRect(0, top, SCREEN_WIDTH - firstWidth, bottom);
        m_HintSprite.Draw(static_cast<float>(firstWidth), HINT_Y, 1, 1, 0, HINT_ALPHA);
    }
    gfx::EndSprites();
}

void CSpriteRenderBase::DrawVersusTags(float s)
{
    if (!gfx::CanDraw()) return;
    auto draw = [this](const plat::Rect& tag, float x, float y) {
        m_HintSprite.SetSourceRect(tag.left, tag.top, tag.right, tag.bottom);
        m_HintSprite.Draw(x, y, 1, 1, 0, OPAQUE);
    };
    gfx::BeginSprites();
    draw(PLAYER_ONE_TAG, PLAYER_GAUGE_TAG_X - s, GAUGE_TAG_Y);
    draw(PLAYER_ONE_TAG, PLAYER_METER_TAG_X, METER_TAG_Y + s);
    draw(PLAYER_TWO_TAG, ENEMY_GAUGE_TAG_X + s, GAUGE_TAG_Y);
    draw(PLAYER_TWO_TAG, ENEMY_METER_TAG_X, METER_TAG_Y + s);
    gfx::EndSprites();
}

void CSpriteRenderBase::DrawPlayerTags(float s)
{
    DrawRegion(PLAYER_TAG, PLAYER_GAUGE_TAG_X - s, GAUGE_TAG_Y, 1, 1, 0, OPAQUE);
    DrawRegion(PLAYER_TAG, PLAYER_METER_TAG_X, METER_TAG_Y + s, 1, 1, 0, OPAQUE);
}

void CSpriteRenderBase::DrawEnemyTags(float s)
{
    DrawRegion(ENEMY_TAG, ENEMY_GAUGE_TAG_X + s, GAUGE_TAG_Y, 1, 1, 0, OPAQUE);
    DrawRegion(ENEMY_TAG, ENEMY_METER_TAG_X, METER_TAG_Y + s, 1, 1, 0, OPAQUE);
}

bool CSpriteRenderBase::HistorySampleDue()
{
    ++m_HistoryTimer;
    if (m_HistoryTimer % HISTORY_FRAMES != 0) return false;
    m_HistoryTimer = 0;
    return true;
}

void CSpriteRenderBase::PushSample(float (&history)[HISTORY_SIZE], float spin)
{
    // The oldest sample drops out at the end.
    std::copy_backward(history, history + HISTORY_SIZE - 1, history + HISTORY_SIZE);
    history[0] = spin;
}

void CSpriteRenderBase::FillHistory(float (&history)[HISTORY_SIZE], float spin)
{
    std::fill(history, history + HISTORY_SIZE, spin);
}

void CSpriteRenderBase::SlideIn()
{
    if (m_SlideOffset > 0) m_SlideOffset -= SLIDE_STEP;
}

void CSpriteRenderBase::DrawRegion(const plat::Rect& region, float x, float y, float scaleX, float scaleY, float angle,
                                   uint8_t alpha)
{
    m_Sprite.SetSourceRect(region.left, region.top, region.right, region.bottom);
    m_Sprite.Draw(x, y, scaleX, scaleY, angle, alpha);
}

int CSpriteRenderBase::GaugeFillRight(int gauge)
{
    // A gauge is never below 0 in play; a fill is never narrower than the stub.
    return std::max(gauge, 0) + GAUGE_FILL_STUB;
}

void CSpriteRenderBase::DrawGaugeFill(int gauge, float x, float y)
{
    plat::Rect fill{GAUGE_FILL_LEFT, GAUGE_FILL_TOP, GaugeFillRight(gauge), GAUGE_FILL_BOTTOM};
    DrawRegion(fill, x, y, 1, 1, UPRIGHT, BAR_ALPHA);
}

uint32_t CSpriteRenderBase::GraphColour(float v)
{
    float q = (v - SLOW_SPIN) / SPIN_COLOUR_RANGE;
    return plat::ARGB(255, Channel(1 - q), 0, Channel(q));
}

float CSpriteRenderBase::GraphY(float value, float reference)
{
    return std::clamp(GRAPH_BASE_Y - GRAPH_SCALE * (value - reference), GRAPH_TOP, GRAPH_BOTTOM);
}

void CSpriteRenderBase::DrawSpinGraph(float x0, const float (&history)[HISTORY_SIZE])
{
    if (!m_Line) return;
    const float reference = history[GRAPH_REFERENCE];
    // Oldest on the left: segment m runs from sample 10 - m to sample 9 - m.
    for (int m = 0; m < GRAPH_SEGMENTS; ++m) {
        float leftX = x0 + GRAPH_LEFT + GRAPH_STEP * m;
        float rightX = leftX + GRAPH_STEP;
        float rightValue = history[GRAPH_SEGMENTS - 1 - m];
        float leftY = GraphY(history[GRAPH_SEGMENTS - m], reference);
        float rightY = GraphY(rightValue, reference);
        uint32_t colour = GraphColour(rightValue);

        plat::Vec2 segment[2] = {{leftX, leftY}, {rightX, rightY}};
        m_Line->Draw(segment, 2, colour);
        for (int i = 0; i < GRAPH_FILL_LINES; ++i) {
            float x = leftX + static_cast<float>(i);
            float y = leftY + static_cast<float>(i) * (rightY - leftY) / GRAPH_FILL_LINES;
            plat::Vec2 fill[2] = {{x, y}, {x, GRAPH_BOTTOM}};
            m_Line->Draw(fill, 2, colour);
        }
    }
}

namespace {
CSpriteRenderBase::ResultStarter s_ResultStarter = nullptr;
}

void CSpriteRenderBase::SetResultStarter(ResultStarter starter) { s_ResultStarter = starter; }

void CSpriteRenderBase::HandOverToResult(int kind)
{
    if (s_ResultStarter) s_ResultStarter(kind);
    RemoveTask(this);
}
