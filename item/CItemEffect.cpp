#include "item/CItemEffect.h"

#include <cmath>

#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "item/ItemFlashTarget.h"

namespace {

constexpr plat::Vec3 SCREEN_CENTRE{320, 240, 0};   // of the 640 x 480 back buffer

bool IsFinite(plat::Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}   // namespace

CPSprite* CItemEffect::NewPickUpBurst(const plat::Vec3& at, uint32_t kind, uint32_t side)
{
    auto* burst = new CPSprite(at.x, at.y, at.z, kind, side);
    burst->SetExpiryHook([](const plat::Vec3& where, uint32_t burstKind, uint32_t count) {
        AddTask(PRIORITY_EFFECT, new CItemEffect(where.x, where.y, where.z, burstKind, count), ITEM_EFFECT_TASK_NAME);
    });
    return burst;
}

CItemEffect::CItemEffect(float x, float y, float z, uint32_t kind, uint32_t count)
    : m_Position(x, y, z),
      m_ItemIndex(static_cast<int32_t>(kind - FIRST_ITEM_KIND)),
      m_Side(static_cast<int32_t>(count - FIRST_SIDE_COUNT))
{
}

plat::Vec3 CItemEffect::TargetOf(int itemIndex, int side)
{
    const float s = static_cast<float>(side);
    if (itemIndex == 0) return {SPIN_TARGET.x + SPIN_TARGET_SIDE_STEP * s, SPIN_TARGET.y, 0};
    return {POWER_TARGET.x + POWER_TARGET_SIDE_STEP * s, POWER_TARGET.y, 0};
}

bool CItemEffect::IsKnownIcon(int itemIndex, int side)
{
    return (itemIndex == 0 || itemIndex == 1) && (side == 0 || side == 1);
}

uint32_t CItemEffect::FlashBit(int itemIndex, int side)
{
    // Only the four icons of the interface have a bit; a burst of another
    // size or kind flies without flashing anything.
    if (!IsKnownIcon(itemIndex, side)) return 0;
    return 1u << (side + 2 * itemIndex);
}

void CItemEffect::Init()
{
    m_Texture = FindResource<CTexture>("Item1BMP");
    if (m_Texture) m_Sprite.AttachTexture(m_Texture);
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));

    m_Sprite.SetFrameSize(CELL_SIZE, CELL_SIZE);
    int columns = m_Sprite.m_SheetWidth / CELL_SIZE;
    if (columns != 0 && IsKnownIcon(m_ItemIndex, m_Side)) {
        int cell = m_Side + 2 * m_ItemIndex;
        int left = CELL_SIZE * (cell % columns);
        int top = CELL_SIZE * (cell / columns);
        m_Sprite.SetSourceRect(left, top, left + CELL_SIZE, top + CELL_SIZE);
    }
    m_Scale = START_SCALE;
    StartOnScreen();
}

void CItemEffect::StartOnScreen()
{
    plat::Vec2 screen =
        m_Camera ? ProjectToScreen(m_Position, *m_Camera) : plat::Vec2{SCREEN_CENTRE.x, SCREEN_CENTRE.y};
    m_Position = {screen.x, screen.y, 0};
    // A point on the eye's own plane has no screen position: start mid-screen.
    if (!IsFinite(m_Position)) m_Position = SCREEN_CENTRE;
    m_Target = TargetOf(m_ItemIndex, m_Side);
    // An icon that starts on its target has no direction; it stays put.
    m_Direction = plat::Normalize(m_Target - m_Position);
}

bool CItemEffect::Arrived() const
{
    bool pastInX = (m_Side == 0) ? m_Position.x < m_Target.x : m_Position.x > m_Target.x;
    return pastInX && m_Position.y > m_Target.y;
}

void CItemEffect::Update()
{
    m_Direction = m_Direction * SPEED_GROWTH;
    m_Position = m_Position + m_Direction;
    m_Scale += SCALE_STEP;

    if (Arrived()) {
        if (auto* render = dynamic_cast<ItemFlashTarget*>(FindTask(SPRITE_RENDER_TASK_NAME)))
            render->m_ItemFlashMask |= FlashBit(m_ItemIndex, m_Side);
        RemoveTask(this);
        return;
    }
    if (m_Scale > END_SCALE) RemoveTask(this);
}

void CItemEffect::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    {
        RenderStateGuard glow;
        glow.SetBlend(gfx::BlendMode::Additive);
        m_Sprite.Draw(m_Position.x, m_Position.y, m_Scale, m_Scale, 0, OPAQUE);
        gfx::FlushSprites();
    }
    gfx::EndSprites();
}
