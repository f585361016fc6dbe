#include "platform/LineBatch.h"

namespace plat {

void LineBatch::Begin()
{
    if (m_begun) return;
    // Untextured: the colour is the vertex colour alone.
    m_saved = m_device.BeginScreen2D(TextureStage{TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse,
                                                  TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse});
    m_device.SetTexture(nullptr);
    m_vertices.clear();
    m_begun = true;
}

void LineBatch::Draw(const Vec2* points, int count, uint32_t color)
{
    if (!m_begun || !points || count < 2) return;
    // A strip covers the same pixels as its segments drawn one by one: each
    // segment leaves out its own last pixel either way.
    for (int i = 0; i + 1 < count; ++i) {
        AddPoint(points[i], color);
        AddPoint(points[i + 1], color);
    }
}

void LineBatch::AddPoint(const Vec2& point, uint32_t color)
{
    Vertex v;
    v.position = {point.x, point.y, 0};
    v.color = color;
    m_vertices.push_back(v);
}

void LineBatch::End()
{
    if (!m_begun) return;
    if (!m_vertices.empty())
        m_device.DrawUser(Primitive::LineList, m_vertices.data(), static_cast<int>(m_vertices.size()),
                          VF_SCREEN | VF_COLOR);
    m_vertices.clear();
    m_device.RestoreState(m_saved);
    m_begun = false;
}

}  // namespace plat
