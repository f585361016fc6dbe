#include "game/ArenaCollision.h"

#include <utility>

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
