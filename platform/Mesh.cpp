#include "platform/Mesh.h"

namespace plat {

void Mesh::Set(std::vector<MeshVertex> vertices, std::vector<uint32_t> indices, std::vector<MeshSubset> subsets,
               bool hasNormals, bool hasColors, bool hasTexCoords)
{
    m_vertices = std::move(vertices);
    m_indices = std::move(indices);
    m_subsets = std::move(subsets);
    m_hasNormals = hasNormals;
    m_hasColors = hasColors;
    m_hasTexCoords = hasTexCoords;
    Touch();
}

}  // namespace plat
