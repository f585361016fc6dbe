// ArenaCollision is responsible for the arena's collision geometry: it keeps
// the stage mesh record, whose arrays the physics engine reads in place, and
// the static triangle mesh built from it in the current world.
#pragma once

#include "game/StageMeshReader.h"
#include "physics/ArenaMesh.h"

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

    // The height of the highest arena surface straight above or below (x, z):
    // false where no triangle lies over that point.
    bool SurfaceHeight(float x, float z, float* height) const;

    Geom GetGeom() const { return m_Geometry.GetGeom(); }
    bool HasTriangleData() const { return m_Geometry.HasTriangleData(); }
    const StageMesh& Mesh() const { return m_Mesh; }

private:
    StageMesh m_Mesh;
    ArenaMesh m_Geometry;   // reads m_Mesh's arrays; declared after it, so destroyed before it
};
