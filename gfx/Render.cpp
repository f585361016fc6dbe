#include "gfx/Render.h"

#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "gfx/RenderStateGuard.h"
#include "platform/LineBatch.h"
#include "platform/SpriteBatch.h"

namespace gfx {

namespace {

constexpr uint32_t FACING_QUAD_VERTICES = 4;
constexpr uint32_t FACING_QUAD_FORMAT = plat::VF_COLOR | plat::VF_TEXCOORD;

// Point sprites: the texture's colour with the vertex alpha, added onto the
// picture, sized by distance and not hiding what lies behind.
void SetPointSpriteStates(plat::RenderDevice& device)
{
    plat::RenderStates& rs = device.States();
    rs.pointSprite = true;
    rs.pointScale = true;
    rs.pointSizeMin = 0.0f;
    rs.lighting = false;
    rs.stage0.colorOp = plat::TexOp::SelectArg1;
    rs.stage0.colorArg1 = plat::TexArg::Texture;
    rs.stage0.alphaOp = plat::TexOp::SelectArg1;
    rs.stage0.alphaArg1 = plat::TexArg::Current;   // the vertex alpha, opaque
    rs.alphaBlend = true;
    rs.srcBlend = plat::Blend::One;
    rs.destBlend = plat::Blend::One;
    rs.zWrite = false;
}

void EndPointSpriteStates(plat::RenderDevice& device)
{
    // The blend factors stay additive and lighting stays off: the draws that
    // follow set what they need.
    device.SetTexture(nullptr);
    plat::RenderStates& rs = device.States();
    rs.zWrite = true;
    rs.pointSize = 1.0f;
    rs.pointSprite = false;
    rs.pointScale = false;
    rs.stage0.alphaOp = plat::TexOp::Modulate;
    rs.stage0.alphaArg1 = plat::TexArg::Texture;
    rs.stage0.colorOp = plat::TexOp::Modulate;
}

}   // namespace

plat::Blend DestBlendOf(BlendMode mode)
{
    return mode == BlendMode::Additive ? plat::Blend::One : plat::Blend::InvSrcAlpha;
}

bool CanDraw() { return g_Device != nullptr; }

bool DepthTestKeepsNearer()
{
    if (!g_Device) return false;
    const plat::RenderStates& rs = g_Device->States();
    return rs.zEnable && rs.zWrite && (rs.zFunc == plat::CompareFunc::Less || rs.zFunc == plat::CompareFunc::LessEqual);
}

void BeginScene()
{
    if (g_Device) g_Device->BeginScene();
}

void SetViewport(const plat::Viewport& viewport)
{
    if (g_Device) g_Device->SetViewport(viewport);
}

void ClearViewport(uint32_t argb)
{
    constexpr float FARTHEST = 1.0f;
    if (g_Device) g_Device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, argb, FARTHEST);
}

void SetBlendMode(BlendMode mode)
{
    if (g_Device) g_Device->SetDestBlend(DestBlendOf(mode));
}

void UseAlphaBlending()
{
    if (!g_Device) return;
    g_Device->SetBlend(plat::Blend::SrcAlpha, plat::Blend::InvSrcAlpha);
    g_Device->SetAlphaBlend(true);
}

void SetLighting(bool on)
{
    if (g_Device) g_Device->SetLighting(on);
}

void SetTexture(const plat::Texture* texture)
{
    if (g_Device) g_Device->SetTexture(texture);
}

void SetSceneLight(const plat::Light& light)
{
    if (!g_Device) return;
    g_Device->SetLight(light);
    g_Device->SetSpecular(true);
}

void SetWorld(const plat::Mat4& world)
{
    if (g_Device) g_Device->SetTransform(plat::TransformKind::World, world);
}

void DrawMesh(const CXFile* mesh, const plat::Mat4& world)
{
    SetWorld(world);
    if (mesh) mesh->Draw();
}

void DrawMesh(const CXFile* mesh, const plat::Mat4& world, BlendMode blend)
{
    RenderStateGuard guard;
    guard.SetBlend(blend);
    DrawMesh(mesh, world);
}

void DrawOutlinedMesh(const CXFile* mesh, const plat::Mat4& world, float outlineScale)
{
    SetWorld(world);
    if (!mesh) return;
    mesh->DrawOutline(outlineScale, world);
    mesh->Draw();
}

void DrawFacingQuad(const plat::Vertex quad[4], const plat::Mat4& world)
{
    if (!g_Device) return;
    g_Device->SetTransform(plat::TransformKind::World, world);
    g_Device->DrawUser(plat::Primitive::TriangleFan, quad, FACING_QUAD_VERTICES, FACING_QUAD_FORMAT);
}

void DrawPointSprites(const plat::PointVertex* points, int count, const plat::Texture* texture)
{
    if (!g_Device) return;
    SetPointSpriteStates(*g_Device);
    g_Device->SetTexture(texture);
    g_Device->SetTransform(plat::TransformKind::World, plat::Mat4::Identity());
    g_Device->DrawPoints(points, count);
    EndPointSpriteStates(*g_Device);
}

void BeginSprites()
{
    if (g_Sprite) g_Sprite->Begin();
}

void FlushSprites()
{
    if (g_Sprite) g_Sprite->Flush();
}

void EndSprites()
{
    if (g_Sprite) g_Sprite->End();
}

std::unique_ptr<plat::LineBatch> MakeLineBatch()
{
    if (!g_Device) return nullptr;
    return std::make_unique<plat::LineBatch>(*g_Device);
}

void FillFacingQuad(plat::Vertex quad[4], float halfWidth, float halfHeight, float leftU, float topV, float rightU,
                    float bottomV)
{
    constexpr uint32_t WHITE = 0xffffffff;
    auto corner = [](float x, float y, float u, float v) {
        plat::Vertex c;
        c.position = {x, y, 0};
        c.color = WHITE;
        c.u = u;
        c.v = v;
        return c;
    };
    quad[0] = corner(-halfWidth, halfHeight, leftU, topV);
    quad[1] = corner(halfWidth, halfHeight, rightU, topV);
    quad[2] = corner(halfWidth, -halfHeight, rightU, bottomV);
    quad[3] = corner(-halfWidth, -halfHeight, leftU, bottomV);
}

}   // namespace gfx
