#include "game/CKomaAura.h"

#include "core/ResourceRegistry.h"
#include "game/CKomaBase.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"

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
    if (!gfx::CanDraw() || !m_Top) return;
    gfx::SetLighting(true);
    // Additive for this drawing, and left normal after it rather than put
    // back: the sparks drawn before may leave the blend additive.
    gfx::SetBlendMode(gfx::BlendMode::Additive);
    RenderStateGuard seeThrough;
    seeThrough.SetDepthWrite(false);

    const plat::Vec3& p = m_Top->m_Pos;
    plat::Mat4 place = plat::Translation(p.x, p.y, p.z);
    plat::Mat4 outer = plat::Scaling(m_Width, m_Height, m_Width) * plat::RotationY(m_Angle * DEG_TO_RAD) * place;
    float innerWidth = m_Width + INNER_WIDTH_OFFSET;
    plat::Mat4 inner = plat::Scaling(innerWidth, m_Height + INNER_HEIGHT_OFFSET, innerWidth) *
                       plat::RotationY(-m_Angle * DEG_TO_RAD) * place;
    if (m_Mesh) {
        gfx::DrawMesh(m_Mesh, outer);
        gfx::DrawMesh(m_Mesh, inner);
    }
    gfx::SetBlendMode(gfx::BlendMode::Normal);
}
