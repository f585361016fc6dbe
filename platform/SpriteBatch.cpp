#include "platform/SpriteBatch.h"

#include "platform/Texture.h"

namespace plat {

void SpriteBatch::Begin()
{
    if (m_begun) return;
    m_saved = m_device.BeginScreen2D(TextureStage{TexOp::Modulate, TexArg::Texture, TexArg::Diffuse,
                                                  TexOp::Modulate, TexArg::Texture, TexArg::Diffuse});
    m_transform = Mat4::Identity();
    m_queue.clear();
    m_begun = true;
}

void SpriteBatch::Draw(const Texture* texture, const Rect& source, uint32_t color)
{
    // Without pixels the device would fill the quad with opaque white.
    if (!m_begun || !texture || texture->Width() <= 0 || texture->Height() <= 0) return;
    m_queue.push_back({texture, source, m_transform, color});
}

void SpriteBatch::Flush()
{
    if (m_queue.empty()) return;
    // Consecutive sprites of one texture go out in one draw.
    size_t i = 0;
    while (i < m_queue.size()) {
        const Texture* tex = m_queue[i].texture;
        m_vertices.clear();
        for (; i < m_queue.size() && m_queue[i].texture == tex; ++i) {
            const Queued& q = m_queue[i];
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
                m_vertices.push_back(v);
            }
        }
        m_device.SetTexture(tex);
        m_device.DrawUser(Primitive::TriangleList, m_vertices.data(), static_cast<int>(m_vertices.size()),
                          VF_SCREEN | VF_COLOR | VF_TEXCOORD);
    }
    m_queue.clear();
}

void SpriteBatch::End()
{
    if (!m_begun) return;
    Flush();
    m_device.RestoreState(m_saved);
    m_begun = false;
}

}  // namespace plat
