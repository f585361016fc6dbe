#include "platform/gl/LineBatch.h"

namespace plat {

void LineBatch::Begin()
{
    if (m_begun) return;
    // Untextured: the colour is the vertex colour alone.
    m_saved = m_device.BeginScreen2D(TextureStage{TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse,
                                                  TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse});
    m_device.SetTexture(nullptr);
    m_begun = true;
}

void LineBatch::Draw(const Vec2* points, int count, uint32_t color)
{
    if (!m_begun || !points || count < 2) return;
    m_vertices.clear();
    for (int i = 0; i < count; ++i) {
        Vertex v;
        v.position = {points[i].x, points[i].y, 0};
        v.color = color;
        m_vertices.push_back(v);
    }
    m_device.DrawUser(Primitive::LineStrip, m_vertices.data(), count, VF_SCREEN | VF_COLOR);
}

void LineBatch::End()
{
    if (!m_begun) return;
    m_device.RestoreState(m_saved);
    m_begun = false;
}

}  // namespace plat
