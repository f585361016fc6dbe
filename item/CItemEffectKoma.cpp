#include "item/CItemEffectKoma.h"

#include "core/ResourceRegistry.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"

namespace {

constexpr uint32_t OPAQUE_WHITE = 0xffffffff;

plat::Vertex Corner(float x, float y, float u, float v)
{
    plat::Vertex c;
    c.position = {x, y, 0};
    c.color = OPAQUE_WHITE;
    c.u = u;
    c.v = v;
    return c;
}

}   // namespace

CItemEffectKoma::CItemEffectKoma(int cell, plat::Vec3 position) : m_Position(position)
{
    m_Left = static_cast<float>(cell % CELLS_PER_ROW) * CELL_SPAN;
    m_Top = static_cast<float>(cell / CELLS_PER_ROW) * CELL_SPAN;
}

void CItemEffectKoma::Init()
{
    m_Texture = FindResource<CTexture>("Item2BMP");
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    float right = m_Left + CELL_SPAN;
    float bottom = m_Top + CELL_SPAN;
    m_Quad[0] = Corner(-HALF_SIZE, HALF_SIZE, m_Left, m_Top);
    m_Quad[1] = Corner(HALF_SIZE, HALF_SIZE, right, m_Top);
    m_Quad[2] = Corner(HALF_SIZE, -HALF_SIZE, right, bottom);
    m_Quad[3] = Corner(-HALF_SIZE, -HALF_SIZE, m_Left, bottom);
    m_Scale = START_SCALE;
}

void CItemEffectKoma::Update()
{
    m_Scale += SCALE_STEP;
    if (m_Scale > END_SCALE) RemoveTask(this);
}

void CItemEffectKoma::Draw()
{
    if (!gfx::CanDraw()) return;
    // Lighting stays off: the draws that follow set what they need.
    gfx::SetLighting(false);
    gfx::SetTexture(m_Texture ? m_Texture->Texture() : nullptr);
    // Additive for this drawing, and left normal after it rather than put
    // back: the sparks drawn before may leave the blend additive.
    gfx::SetBlendMode(gfx::BlendMode::Additive);
    RenderStateGuard seeThrough;
    seeThrough.SetDepthWrite(false);
    plat::Mat4 billboard = m_Camera ? BillboardMatrix(*m_Camera) : plat::Mat4::Identity();
    gfx::DrawFacingQuad(m_Quad, plat::Scaling(m_Scale, m_Scale, 1) * billboard *
                                    plat::Translation(m_Position.x, m_Position.y, m_Position.z));
    gfx::SetBlendMode(gfx::BlendMode::Normal);
}
