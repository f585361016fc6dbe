#include "item/CItemEffectJump.h"

#include "audio/CSound.h"
#include "core/ResourceRegistry.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"

CItemEffectJump::CItemEffectJump(plat::Vec3 position) : m_Position(position) {}

void CItemEffectJump::Init()
{
    m_Mesh = FindResource<CXFile>("XEffectJump");
    m_Speed = START_SPEED;
    m_Alpha = START_ALPHA;
    m_Scale = START_SCALE;
    if (auto* sound = FindResource<CSound>("ItemJumpSE")) sound->Play();
}

void CItemEffectJump::Update()
{
    m_Position.y -= m_Speed;
    m_Speed *= SPEED_GROWTH;
    m_Scale += SCALE_STEP;
    m_Alpha -= ALPHA_STEP;
    if (m_Alpha < 0) RemoveTask(this);
}

void CItemEffectJump::Draw()
{
    if (!gfx::CanDraw()) return;
    // Additive for this drawing, and left normal after it rather than put
    // back: the sparks drawn before may leave the blend additive.
    gfx::SetBlendMode(gfx::BlendMode::Additive);
    if (m_Mesh) {
        // The mesh is shared: the last alpha written stays in it.
        if (m_Mesh->GetMaterialCount() > 0) {
            plat::Material& material = m_Mesh->Material(0);
            material.diffuse.a = m_Alpha;
            material.ambient.a = m_Alpha;
        }
        // The upper rings start smaller and grow through zero; a negative
        // scale draws a ring mirrored.
        for (const Ring& ring : RINGS) {
            float k = m_Scale - ring.shrink;
            plat::Mat4 place = plat::Translation(m_Position.x, m_Position.y + ring.lift, m_Position.z);
            gfx::DrawMesh(m_Mesh, plat::Scaling(k, k, k) * place);
        }
    }
    gfx::SetBlendMode(gfx::BlendMode::Normal);
}
