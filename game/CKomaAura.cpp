#include "game/CKomaAura.h"

#include "core/ResourceRegistry.h"
#include "game/CKomaBase.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"

namespace {
constexpr float DEG_TO_RAD = plat::PI / 180.0f;
}

void CKomaAura::Init()
{
    m_Mesh = FindResource<CXFile>("XEffectAura");
    m_Angle = 0;
    m_Width = START_WIDTH;
    m_Height = START_HEIGHT;
}

void CKomaAura::Update()
{
    m_Angle += TURN_STEP;
    m_Height += HEIGHT_STEP;
    m_Width += WIDTH_STEP;
    if (m_Width > END_WIDTH) RemoveTask(this);
}

void CKomaAura::Draw()
{
    if (!g_Device || !m_Top) return;
    g_Device->SetDestBlend(plat::Blend::One);
    g_Device->SetDepthWrite(false);
    g_Device->SetLighting(true);

    const plat::Vec3& p = m_Top->m_Pos;
    plat::Mat4 place = plat::Translation(p.x, p.y, p.z);
    plat::Mat4 outer = plat::Scaling(m_Width, m_Height, m_Width) * plat::RotationY(m_Angle * DEG_TO_RAD) * place;
    float innerWidth = m_Width + INNER_WIDTH_OFFSET;
    plat::Mat4 inner = plat::Scaling(innerWidth, m_Height + INNER_HEIGHT_OFFSET, innerWidth) *
                       plat::RotationY(-m_Angle * DEG_TO_RAD) * place;
    if (m_Mesh) {
        g_Device->SetTransform(plat::TransformKind::World, outer);
        m_Mesh->Draw();
        g_Device->SetTransform(plat::TransformKind::World, inner);
        m_Mesh->Draw();
    }

    g_Device->SetDepthWrite(true);
    g_Device->SetDestBlend(plat::Blend::InvSrcAlpha);
}
