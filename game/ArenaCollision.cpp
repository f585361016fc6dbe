#include "game/ArenaCollision.h"

#include <utility>

ArenaCollision::~ArenaCollision()
{
    Destroy();
}

bool ArenaCollision::Build(StageMesh mesh)
{
    Destroy();
    if (!ArenaMesh::CanBuild()) return false;
    m_mesh = std::move(mesh);
    return m_geometry.Build(m_mesh.vertices.data(), m_mesh.vertexCount, m_mesh.indices.data(),
                            m_mesh.indexCount);
}

void ArenaCollision::Destroy()
{
    m_geometry.Destroy();
    m_mesh = StageMesh{};
}
