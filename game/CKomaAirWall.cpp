#include "game/CKomaAirWall.h"

#include <algorithm>
#include <cmath>

#include "core/ResourceRegistry.h"
#include "game/CKomaBase.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"

void CKomaAirWall::Init()
{
    m_Mesh = FindResource<CXFile>("XEffectAirWall");
}

void CKomaAirWall::Update()
{
    if (!m_Top || plat::Length(m_Top->m_Pos - m_Top->m_PrevPos) < END_SPEED) RemoveTask(this);
}

float CKomaAirWall::FacingAngle(float dx, float dz)
{
    plat::Vec3 d = plat::Normalize({dx, 0, dz});
    return std::acos(std::clamp(d.x, -1.0f, 1.0f));
}

void CKomaAirWall::Draw()
{
    if (!g_Device || !m_Top) return;
    g_Device->SetDestBlend(plat::Blend::One);
    g_Device->SetLighting(true);
    g_Device->SetDepthWrite(false);

    plat::Vec3 d = m_Top->m_Pos - m_Top->m_PrevPos;
    const plat::Vec3& p = m_Top->m_Pos;
    plat::Mat4 world = plat::RotationY(FacingAngle(d.x, d.z)) * plat::Translation(p.x, p.y, p.z);
    if (m_Mesh) {
        g_Device->SetTransform(plat::TransformKind::World, world);
        m_Mesh->Draw();
    }

    g_Device->SetDepthWrite(true);
    g_Device->SetDestBlend(plat::Blend::InvSrcAlpha);
}
