#include "platform/SpriteBatch.h"

#include "platform/Texture.h"

namespace plat {

void SpriteBatch::Begin()
{
    if (m_Begun) return;
    m_Saved = m_Device.BeginScreen2D(TextureStage{TexOp::Modulate, TexArg::Texture, TexArg::Diffuse, TexOp::Modulate,
                                                  TexArg::Texture, TexArg::Diffuse});
    m_Transform = Mat4::Identity();
    m_Queue.clear();
    m_Begun = true;
}

void SpriteBatch::Draw(const Texture* texture, const Rect& source, uint32_t color)
{
    // Without pixels the device would fill the quad with opaque white.
    if (!m_Begun || !texture || texture->Width() <= 0 || texture->Height() <= 0) return;
    m_Queue.push_back({texture, source, m_Transform, color});
}

void SpriteBatch::Flush()
{
    if (m_Queue.empty()) return;
    // Consecutive sprites of one texture go out in one draw.
    size_t i = 0;
    while (i < m_Queue.size()) {
        const Texture* tex = m_Queue[i].texture;
        m_Vertices.clear();
        for (; i < m_Queue.size() && m_Queue[i].texture == tex; ++i) {
            const Queued& q = m_Queue[i];
            float w = static_cast<float>(q.source.right - q.source.left);
            float h = static_cast<float>(q.source.bottom - q.source.top);
            float tw = tex && tex->Width() ? static_cast<float>(tex->Width()) : 1.0f;
            float th = tex && tex->Height() ? static_cast<float>(tex->Height()) : 1.0f;
            float u0 = q.source.left / tw, v0 = q.source.top / th;
            float u1 = q.source.right / tw, v1 = q.source.bottom / th;
            Vec3 p[4] = {TransformCoord({0, 0, 0}, q.transform), TransformCoord({w, 0, 0}, q.transform),
                         TransformCoord({w, h, 0}, q.transform), TransformCoord({0, h, 0}, q.transform)};
            float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
            static const int kCorners[6] = {0, 1, 2, 0, 2, 3};
            for (int c : kCorners) {
                Vertex v;
                v.position = {p[c].x, p[c].y, 0};
                v.color = q.color;
                v.u = uv[c][0];
                v.v = uv[c][1];
                m_Vertices.push_back(v);
            }
        }
        m_Device.SetTexture(tex);
        m_Device.DrawUser(Primitive::TriangleList, m_Vertices.data(), static_cast<int>(m_Vertices.size()),
                          VF_SCREEN | VF_COLOR | VF_TEXCOORD);
    }
    m_Queue.clear();
}

void SpriteBatch::End()
{
    if (!m_Begun) return;
    Flush();
    m_Device.RestoreState(m_Saved);
    m_Begun = false;
}

}   // namespace plat
