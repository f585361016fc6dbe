#include "item/CItemEffectKoma.h"

#include "core/ResourceRegistry.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/Graphics.h"

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

}  // namespace

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
    if (!g_Device) return;
    g_Device->SetDestBlend(plat::Blend::One);
    g_Device->SetDepthWrite(false);
    g_Device->SetLighting(false);
    g_Device->SetTexture(m_Texture ? m_Texture->Texture() : nullptr);
    plat::Mat4 billboard = m_Camera ? BillboardMatrix(*m_Camera) : plat::Mat4::Identity();
    g_Device->SetTransform(plat::TransformKind::World, plat::Scaling(m_Scale, m_Scale, 1) * billboard *
                                                           plat::Translation(m_Position.x, m_Position.y, m_Position.z));
    g_Device->DrawUser(plat::Primitive::TriangleFan, m_Quad, 4, plat::VF_COLOR | plat::VF_TEXCOORD);
    // Lighting stays off: the draws that follow set what they need.
    g_Device->SetDepthWrite(true);
    g_Device->SetDestBlend(plat::Blend::InvSrcAlpha);
}
