#include "scene/CFeadEffect.h"

#include "gfx/Render.h"

namespace {

constexpr const char* FADE_PICTURE = "texture/Spark1.bmp";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;   // 0x09
// One texel stretched over the whole 640 x 480 screen.
constexpr float SCREEN_WIDTH = 640.0f, SCREEN_HEIGHT = 480.0f;

}   // namespace

void CFeadEffect::Init()
{
    m_Done = false;
    m_Alpha = 0;

    // The colour of the picture's top-left texel is the colour the screen sinks into.
    m_Texture.Load(FADE_PICTURE, NO_COLOR_KEY);
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.AttachTexture(&m_Texture);
    m_Sprite.SetSourceRect(0, 0, 1, 1);

    // Set once: tasks added later start unfrozen.
    SetDrawStopRange(true, FREEZE_HIGH, FREEZE_LOW);
    SetUpdateStopRange(true, FREEZE_HIGH, FREEZE_LOW);
}

void CFeadEffect::Update()
{
    if (m_Done) {
        m_Alpha = 0;
    } else if (++m_Alpha >= DARKEN_UPDATES) {
        m_Alpha = FULL_ALPHA;
        m_Done = true;
    }
    if (m_Alpha != 0) return;

    // Every flag of the band goes, also those set by name before the fade.
    SetDrawStopRange(false, FREEZE_HIGH, FREEZE_LOW);
    SetUpdateStopRange(false, FREEZE_HIGH, FREEZE_LOW);
    RemoveTask(this);   // this object is gone now
}

void CFeadEffect::Draw()
{
    if (!gfx::CanDraw()) return;
    // The back buffer is not cleared: each translucent layer lands on the
    // picture it already holds.
    gfx::BeginScene();
    gfx::BeginSprites();
    m_Sprite.Draw(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0.0f, static_cast<uint8_t>(m_Alpha));
    gfx::EndSprites();
}
