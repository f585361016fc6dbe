// ArenaMesh is responsible for the arena's geometry in the physics world: a
// static triangle mesh in g_Space, with no body, at the origin, built from
// vertex and index arrays that its owner keeps alive and unchanged for as long
// as the mesh exists (the engine reads them in place).
#pragma once

#include <cstdint>

#include "physics/Geom.h"

struct dxTriMeshData;

class ArenaMesh {
public:
    ArenaMesh() = default;
    ~ArenaMesh();
    ArenaMesh(const ArenaMesh&) = delete;
    ArenaMesh& operator=(const ArenaMesh&) = delete;

    // Whether a world exists to build in.
    static bool CanBuild();

    // Builds the geometry in the current world's space (an earlier one is
    // destroyed first): vertices holds x, y, z per vertex, indices three per
    // triangle. With no triangles it builds a stand-in geometry that touches
    // nothing, so that touch tests always have a valid geometry to test
    // against. False, with nothing built, when no world exists.
    bool Build(const float* vertices, int vertexCount, const int32_t* indices, int indexCount);

    // Destroys the geometry (unless it already went with its space) and then
    // the triangle data.
    void Destroy();

    Geom GetGeom() const { return m_Geom; }
    bool HasTriangleData() const { return m_Data != nullptr; }

private:
    void BuildTriangles(const float* vertices, int vertexCount, const int32_t* indices, int indexCount);
    void BuildStandIn();

    dxTriMeshData* m_Data = nullptr;
    Geom m_Geom;
    uint32_t m_WorldSerial = 0;   // the world whose space holds m_Geom
};
