#include "platform/RenderDevice.h"

namespace plat {

DeviceState RenderDevice::BeginScreen2D(const TextureStage& stage0)
{
    DeviceState saved = m_State;
    RenderStates& rs = m_State.rs;
    rs.alphaBlend = true;
    rs.srcBlend = Blend::SrcAlpha;
    rs.destBlend = Blend::InvSrcAlpha;
    rs.zEnable = false;
    rs.cull = Cull::None;
    rs.lighting = false;
    rs.stage0 = stage0;
    return saved;
}

void RenderDevice::SetTransform(TransformKind kind, const Mat4& m)
{
    switch (kind) {
        case TransformKind::World: m_State.world = m; break;
        case TransformKind::View: m_State.view = m; break;
        case TransformKind::Projection: m_State.projection = m; break;
    }
}

const Mat4& RenderDevice::GetTransform(TransformKind kind) const
{
    switch (kind) {
        case TransformKind::View: return m_State.view;
        case TransformKind::Projection: return m_State.projection;
        default: return m_State.world;
    }
}

}   // namespace plat
