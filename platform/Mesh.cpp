#include "platform/Mesh.h"

namespace plat {

void Mesh::Set(std::vector<MeshVertex> vertices, std::vector<uint32_t> indices, std::vector<MeshSubset> subsets,
               bool hasNormals, bool hasColors, bool hasTexCoords)
{
    m_Vertices = std::move(vertices);
    m_Indices = std::move(indices);
    m_Subsets = std::move(subsets);
    m_HasNormals = hasNormals;
    m_HasColors = hasColors;
    m_HasTexCoords = hasTexCoords;
    Touch();
}

}   // namespace plat
