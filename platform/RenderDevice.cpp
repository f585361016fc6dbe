#include "platform/RenderDevice.h"

namespace plat {

DeviceState RenderDevice::BeginScreen2D(const TextureStage& stage0)
{
    DeviceState saved = m_state;
    RenderStates& rs = m_state.rs;
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
    case TransformKind::World: m_state.world = m; break;
    case TransformKind::View: m_state.view = m; break;
    case TransformKind::Projection: m_state.projection = m; break;
    }
}

const Mat4& RenderDevice::GetTransform(TransformKind kind) const
{
    switch (kind) {
    case TransformKind::View: return m_state.view;
    case TransformKind::Projection: return m_state.projection;
    default: return m_state.world;
    }
}

}  // namespace plat
