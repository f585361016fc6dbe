#include "effect/CSpriteRenderBase.h"

#include <algorithm>
#include <cmath>

#include "core/ResourceRegistry.h"
#include "gfx/CTexture.h"
#include "gfx/Graphics.h"
#include "platform/gl/LineBatch.h"
#include "scene/CResult.h"

namespace {

constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
constexpr float CHANNEL_MAX = 255.0f;
constexpr plat::Rect FIRST_RECT{0, 0, 320, 80};   // the sprite's rectangle until the first draw

// A colour channel from a share of 0..1: limited, then rounded half up. A
// spin that is not a number counts as none of the channel.
uint32_t Channel(float share)
{
    float value = share * CHANNEL_MAX;
    if (!(value > 0)) return 0;
    return static_cast<uint32_t>(std::floor(std::min(value, CHANNEL_MAX) + 0.5f));
}

}  // namespace

CSpriteRenderBase::CSpriteRenderBase() = default;

CSpriteRenderBase::~CSpriteRenderBase() = default;

void CSpriteRenderBase::SetUpDrawing()
{
    m_Texture = FindResource<CTexture>("InterfaceBMP");
    if (m_Texture) m_Sprite.AttachTexture(m_Texture);
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.SetSourceRect(FIRST_RECT.left, FIRST_RECT.top, FIRST_RECT.right, FIRST_RECT.bottom);
    if (g_Device) m_Line = std::make_unique<plat::LineBatch>(*g_Device);
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

void CSpriteRenderBase::DrawRegion(const plat::Rect& region, float x, float y, float scaleX, float scaleY,
                                   float angle, uint8_t alpha)
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

void CSpriteRenderBase::HandOverToResult(int kind)
{
    AddTask(PRIORITY_RESULT, new CResult(kind), RESULT_TASK_NAME);
    RemoveTask(this);
}
