// Fuzz target for the stage mesh reader: whatever the bytes, the record must
// be consistent and the physics engine must be able to build the arena from
// it, collide with it and step a body on it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/ArenaCollision.h"
#include "game/StageMeshReader.h"
#include "physics/CODE.h"
#include "physics/PhysicsBodies.h"
#include "physics/ProbeShape.h"

namespace {

void CheckRecord(const StageMesh& mesh)
{
    bool sound = mesh.vertexCount >= 0 && mesh.indexCount >= 0 && mesh.indexCount % 3 == 0 &&
                 mesh.vertices.size() == static_cast<size_t>(mesh.vertexCount) * 3 &&
                 mesh.indices.size() == static_cast<size_t>(mesh.indexCount);
    if (!sound) std::abort();
    for (int32_t index : mesh.indices)
        if (index < 0 || index >= mesh.vertexCount) std::abort();
}

// Probes around the mesh's first vertex and the middle of the arena.
void CollideWithArena(const ArenaCollision& arena, const StageMesh& mesh)
{
    ProbeShape sphere = ProbeShape::Sphere(2.0);
    ProbeShape capsule = ProbeShape::Capsule(0.5, 3.0);
    double x = 0, y = 0, z = 0;
    if (mesh.HasTriangles()) {
        const float* v = &mesh.vertices[3 * static_cast<size_t>(mesh.indices[0])];
        x = v[0], y = v[1], z = v[2];
    }
    for (ProbeShape* probe : {&sphere, &capsule}) {
        for (double dy : {0.0, 0.5, -1.0}) {
            probe->MoveTo(x, y + dy, z);
            probe->Shape().ContactCount(arena.GetGeom(), MAX_CONTACTS_PER_PAIR);
        }
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    StageMesh mesh = ParseStageMesh(text, 1.0f);
    CheckRecord(mesh);

    CODE code;
    code.Init();
    ArenaCollision arena;
    if (!arena.Build(std::move(mesh))) std::abort();
    CollideWithArena(arena, arena.Mesh());

    // One body dropped through the space's own collision and a few steps.
    BodyRecord ball;
    CreateSphereBody(ball, 0, 1, 0, 1, 1);
    for (int i = 0; i < 3; ++i) code.Update();
    return 0;
}
