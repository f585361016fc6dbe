#include "platform/LineBatch.h"

namespace plat {

void LineBatch::Begin()
{
    if (m_Begun) return;
    // Untextured: the colour is the vertex colour alone.
    m_Saved = m_Device.BeginScreen2D(TextureStage{TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse,
                                                  TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse});
    m_Device.SetTexture(nullptr);
    m_Vertices.clear();
    m_Begun = true;
}

void LineBatch::Draw(const Vec2* points, int count, uint32_t color)
{
    if (!m_Begun || !points || count < 2) return;
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
    m_Vertices.push_back(v);
}

void LineBatch::End()
{
    if (!m_Begun) return;
    if (!m_Vertices.empty())
        m_Device.DrawUser(Primitive::LineList, m_Vertices.data(), static_cast<int>(m_Vertices.size()),
                          VF_SCREEN | VF_COLOR);
    m_Vertices.clear();
    m_Device.RestoreState(m_Saved);
    m_Begun = false;
}

}   // namespace plat
