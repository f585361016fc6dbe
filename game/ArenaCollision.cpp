#include "game/ArenaCollision.h"

#include <utility>

#include "physics/CODE.h"

namespace {

constexpr int VERTEX_STRIDE_BYTES = 3 * sizeof(float);
constexpr int TRIANGLE_STRIDE_BYTES = 3 * sizeof(int32_t);

// The stand-in for an absent arena: a point far below anything that plays (a
// body would have to fall for nearly three minutes to reach it), left out of
// the space's pair search. Not deeper, so that the hash space's cell numbers
// of it stay within an int.
constexpr dReal STAND_IN_DEPTH = -1.0e6;

}  // namespace

ArenaCollision::~ArenaCollision()
{
    Destroy();
}

bool ArenaCollision::Build(StageMesh mesh)
{
    Destroy();
    if (!g_World || !g_Space) return false;
    m_mesh = std::move(mesh);
    m_worldSerial = CODE::CurrentWorldSerial();
    if (m_mesh.HasTriangles()) BuildTriangles();
    else BuildStandIn();
    return true;
}

void ArenaCollision::BuildTriangles()
{
    m_data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildSingle(m_data, m_mesh.vertices.data(), VERTEX_STRIDE_BYTES, m_mesh.vertexCount,
                                m_mesh.indices.data(), m_mesh.indexCount, TRIANGLE_STRIDE_BYTES);
    m_geom = dCreateTriMesh(g_Space, m_data, nullptr, nullptr, nullptr);
    dGeomSetPosition(m_geom, 0, 0, 0);
}

void ArenaCollision::BuildStandIn()
{
    // The engine refuses a triangle mesh without triangles.
    m_geom = dCreateSphere(g_Space, 0);
    dGeomSetPosition(m_geom, 0, STAND_IN_DEPTH, 0);
    dGeomSetCategoryBits(m_geom, 0);
    dGeomSetCollideBits(m_geom, 0);
}

void ArenaCollision::Destroy()
{
    if (m_geom && CODE::IsWorldAlive(m_worldSerial)) dGeomDestroy(m_geom);
    m_geom = nullptr;
    if (m_data) dGeomTriMeshDataDestroy(m_data);
    m_data = nullptr;
    m_worldSerial = 0;
    m_mesh = StageMesh{};
}
