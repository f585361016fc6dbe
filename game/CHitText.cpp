#include "game/CHitText.h"

#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"

namespace {

// A jitter of 0.0 to 0.9 in tenths.
float Jitter() { return static_cast<float>(GameRand() % 10) / 10.0f; }

}   // namespace

CHitText::CHitText(float x, float y, float z, int image, float scale)
    : m_Anchor(x - CENTRE_OFFSET, y - CENTRE_OFFSET + LIFT, z - CENTRE_OFFSET), m_Scale(scale)
{
    m_LeftU = static_cast<float>(IMAGE_WIDTH * image) / TEXTURE_SIZE;
    m_RightU = static_cast<float>(IMAGE_WIDTH * (image + 1)) / TEXTURE_SIZE;
}

void CHitText::Init()
{
    m_Texture = FindResource<CTexture>("InterfaceBMP");
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_Birth = g_FrameTime;
    gfx::FillFacingQuad(m_Vertices, HALF_WIDTH, HALF_HEIGHT, m_LeftU, TOP_V, m_RightU, BOTTOM_V);
}

void CHitText::Draw()
{
    if (gfx::CanDraw()) {
        gfx::SetBlendMode(gfx::BlendMode::Normal);
        gfx::SetLighting(false);
        gfx::SetTexture(m_Texture ? m_Texture->Texture() : nullptr);
        RenderStateGuard overlay;
        overlay.SetDepthWrite(false);

        plat::Mat4 billboard = m_Camera ? BillboardMatrix(*m_Camera) : plat::Mat4::Identity();
        float jx = Jitter();
        float jy = Jitter();
        float jz = Jitter();
        plat::Mat4 world = plat::Scaling(m_Scale, m_Scale, m_Scale) * billboard *
                           plat::Translation(m_Anchor.x + jx, m_Anchor.y + jy, m_Anchor.z + jz);
        gfx::DrawFacingQuad(m_Vertices, world);
    }
    if (g_FrameTime - m_Birth > LIFE_MS) RemoveTask(this);
}
