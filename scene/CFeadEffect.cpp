#include "scene/CFeadEffect.h"

#include "gfx/Render.h"

namespace {

constexpr const char* FADE_PICTURE = "texture/Spark1.bmp";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;   // 0x09
// One texel stretched over the whole 640 x 480 screen.
constexpr float SCREEN_WIDTH = 640.0f, SCREEN_HEIGHT = 480.0f;

}  // namespace

void CFeadEffect::Init()
{
    m_done = false;
    m_alpha = 0;

    // The colour of the picture's top-left texel is the colour the screen sinks into.
    m_texture.Load(FADE_PICTURE, NO_COLOR_KEY);
    m_sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_sprite.AttachTexture(&m_texture);
    m_sprite.SetSourceRect(0, 0, 1, 1);

    // Set once: tasks added later start unfrozen.
    SetDrawStopRange(true, FREEZE_HIGH, FREEZE_LOW);
    SetUpdateStopRange(true, FREEZE_HIGH, FREEZE_LOW);
}

void CFeadEffect::Update()
{
    if (m_done) {
        m_alpha = 0;
    } else if (++m_alpha >= DARKEN_UPDATES) {
        m_alpha = FULL_ALPHA;
        m_done = true;
    }
    if (m_alpha != 0) return;

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
    m_sprite.Draw(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0.0f, static_cast<uint8_t>(m_alpha));
    gfx::EndSprites();
}
