#include "game/ArenaCollision.h"

#include <utility>

namespace {

struct Point2 {
    float x, z;
};

float Cross(Point2 o, Point2 a, Point2 b) { return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x); }

}   // namespace

ArenaCollision::~ArenaCollision() { Destroy(); }

bool ArenaCollision::Build(StageMesh mesh)
{
    Destroy();
    if (!ArenaMesh::CanBuild()) return false;
    m_Mesh = std::move(mesh);
    return m_Geometry.Build(m_Mesh.vertices.data(), m_Mesh.vertexCount, m_Mesh.indices.data(), m_Mesh.indexCount);
}

void ArenaCollision::Destroy()
{
    m_Geometry.Destroy();
    m_Mesh = StageMesh{};
}

bool ArenaCollision::SurfaceHeight(float x, float z, float* height) const
{
    bool found = false;
    const Point2 p{x, z};
    for (int t = 0; t + 2 < m_Mesh.indexCount; t += 3) {
        const float* v[3];
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
            int32_t i = m_Mesh.indices[static_cast<size_t>(t + k)];
            valid = valid && i >= 0 && i < m_Mesh.vertexCount;
            if (valid) v[k] = &m_Mesh.vertices[static_cast<size_t>(i) * 3];
        }
        if (!valid) continue;
        Point2 a{v[0][0], v[0][2]}, b{v[1][0], v[1][2]}, c{v[2][0], v[2][2]};
        float area = Cross(a, b, c);
        if (area == 0) continue;   // seen edge-on from above
        // Barycentric weights; all of one sign when the point lies inside.
        float wa = Cross(p, b, c) / area, wb = Cross(a, p, c) / area, wc = Cross(a, b, p) / area;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        float y = wa * v[0][1] + wb * v[1][1] + wc * v[2][1];
        if (!found || y > *height) *height = y;
        found = true;
    }
    return found;
}
