// Mesh is responsible for one indexed triangle mesh held in memory in the form
// the device draws: interleaved vertices, 32-bit indices and subsets (one per
// material, in file order). The device builds its own buffers at first use.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/DeviceResource.h"
#include "platform/Math3D.h"

namespace plat {

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    float u = 0, v = 0;
    uint32_t color = 0xffffffff;   // ARGB; used when the mesh has vertex colours
};

struct MeshSubset {
    uint32_t firstIndex = 0;   // into the index list
    uint32_t indexCount = 0;   // a multiple of 3
};

class Mesh : public DeviceResource {
public:
    Mesh() = default;

    void Set(std::vector<MeshVertex> vertices, std::vector<uint32_t> indices, std::vector<MeshSubset> subsets,
             bool hasNormals, bool hasColors, bool hasTexCoords);

    const std::vector<MeshVertex>& Vertices() const { return m_vertices; }
    const std::vector<uint32_t>& Indices() const { return m_indices; }
    const std::vector<MeshSubset>& Subsets() const { return m_subsets; }
    int SubsetCount() const { return static_cast<int>(m_subsets.size()); }
    bool HasNormals() const { return m_hasNormals; }
    bool HasColors() const { return m_hasColors; }
    bool HasTexCoords() const { return m_hasTexCoords; }

private:
    std::vector<MeshVertex> m_vertices;
    std::vector<uint32_t> m_indices;
    std::vector<MeshSubset> m_subsets;
    bool m_hasNormals = false, m_hasColors = false, m_hasTexCoords = false;
};

}  // namespace plat
