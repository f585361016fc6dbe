#include "game/CKomaAirWall.h"

#include <algorithm>
#include <cmath>

#include "core/ResourceRegistry.h"
#include "game/CKomaBase.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"

void CKomaAirWall::Init() { m_Mesh = FindResource<CXFile>("XEffectAirWall"); }

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
    if (!gfx::CanDraw() || !m_Top) return;
    gfx::SetLighting(true);
    // Additive for this drawing, and left normal after it rather than put
    // back: the sparks drawn before may leave the blend additive.
    gfx::SetBlendMode(gfx::BlendMode::Additive);
    RenderStateGuard seeThrough;
    seeThrough.SetDepthWrite(false);

    plat::Vec3 d = m_Top->m_Pos - m_Top->m_PrevPos;
    const plat::Vec3& p = m_Top->m_Pos;
    plat::Mat4 world = plat::RotationY(FacingAngle(d.x, d.z)) * plat::Translation(p.x, p.y, p.z);
    if (m_Mesh) gfx::DrawMesh(m_Mesh, world);
    gfx::SetBlendMode(gfx::BlendMode::Normal);
}
