#include "physics/ArenaMesh.h"

#include <ode/ode.h>

#include "physics/CODE.h"

namespace {

constexpr int VERTEX_STRIDE_BYTES = 3 * sizeof(float);
constexpr int TRIANGLE_STRIDE_BYTES = 3 * sizeof(int32_t);

// The stand-in for an absent arena: a point far below anything that plays (a
// body would have to fall for nearly three minutes to reach it), left out of
// the space's pair search. Not deeper, so that the hash space's cell numbers
// of it stay within an int.
constexpr dReal STAND_IN_DEPTH = -1.0e6;

}   // namespace

ArenaMesh::~ArenaMesh() { Destroy(); }

bool ArenaMesh::CanBuild() { return g_World && g_Space; }

bool ArenaMesh::Build(const float* vertices, int vertexCount, const int32_t* indices, int indexCount)
{
    Destroy();
    if (!CanBuild()) return false;
    m_WorldSerial = CODE::CurrentWorldSerial();
    if (indexCount > 0)
        BuildTriangles(vertices, vertexCount, indices, indexCount);
    else
        BuildStandIn();
    return true;
}

void ArenaMesh::BuildTriangles(const float* vertices, int vertexCount, const int32_t* indices, int indexCount)
{
    m_Data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildSingle(m_Data, vertices, VERTEX_STRIDE_BYTES, vertexCount, indices, indexCount,
                                TRIANGLE_STRIDE_BYTES);
    m_Geom = Geom(dCreateTriMesh(g_Space, m_Data, nullptr, nullptr, nullptr));
    m_Geom.SetPosition(0, 0, 0);
}

void ArenaMesh::BuildStandIn()
{
    // The engine refuses a triangle mesh without triangles.
    dGeomID standIn = dCreateSphere(g_Space, 0);
    dGeomSetPosition(standIn, 0, STAND_IN_DEPTH, 0);
    dGeomSetCategoryBits(standIn, 0);
    dGeomSetCollideBits(standIn, 0);
    m_Geom = Geom(standIn);
}

void ArenaMesh::Destroy()
{
    if (m_Geom && CODE::IsWorldAlive(m_WorldSerial)) m_Geom.Destroy();
    m_Geom = Geom();
    if (m_Data) dGeomTriMeshDataDestroy(m_Data);
    m_Data = nullptr;
    m_WorldSerial = 0;
}
