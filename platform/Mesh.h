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

    const std::vector<MeshVertex>& Vertices() const { return m_Vertices; }
    const std::vector<uint32_t>& Indices() const { return m_Indices; }
    const std::vector<MeshSubset>& Subsets() const { return m_Subsets; }
    int SubsetCount() const { return static_cast<int>(m_Subsets.size()); }
    bool HasNormals() const { return m_HasNormals; }
    bool HasColors() const { return m_HasColors; }
    bool HasTexCoords() const { return m_HasTexCoords; }

    // The device has made its own buffers: the vertices and indices in memory
    // are freed; the subsets stay. Until the next Set the lists are empty.
    void ReleaseVertices() const;
    bool VerticesReleased() const { return m_Released; }

private:
    // Freed by ReleaseVertices through a const mesh, as the device sees it.
    mutable std::vector<MeshVertex> m_Vertices;
    mutable std::vector<uint32_t> m_Indices;
    mutable bool m_Released = false;
    std::vector<MeshSubset> m_Subsets;
    bool m_HasNormals = false, m_HasColors = false, m_HasTexCoords = false;
};

}   // namespace plat
