// ArenaCollision is responsible for the arena's collision geometry: the static
// triangle mesh built from a stage mesh record into g_Space, with no body, at
// the origin. It keeps the record, whose arrays the engine reads in place.
#pragma once

#include <cstdint>

#include <ode/ode.h>

#include "game/StageMeshReader.h"

class ArenaCollision {
public:
    ArenaCollision() = default;
    ~ArenaCollision();
    ArenaCollision(const ArenaCollision&) = delete;
    ArenaCollision& operator=(const ArenaCollision&) = delete;

    // Builds the geometry in the current world's space from the record (an
    // earlier one is destroyed first). A record with no triangles gives a
    // stand-in geometry that touches nothing, so that the touch tests of the
    // tops always have a valid geometry to test against. False, with nothing
    // built, when no world exists.
    bool Build(StageMesh mesh);

    // Destroys the geometry (unless it already went with its space) and then
    // the triangle-mesh data, and drops the record.
    void Destroy();

    dGeomID Geom() const { return m_geom; }
    dTriMeshDataID Data() const { return m_data; }
    const StageMesh& Mesh() const { return m_mesh; }

private:
    void BuildTriangles();
    void BuildStandIn();

    StageMesh m_mesh;
    dTriMeshDataID m_data = nullptr;
    dGeomID m_geom = nullptr;
    uint32_t m_worldSerial = 0;   // the world whose space holds m_geom
};
