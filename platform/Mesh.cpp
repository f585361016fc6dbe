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
    m_Released = false;
    Touch();
}

void Mesh::ReleaseVertices() const
{
    std::vector<MeshVertex>().swap(m_Vertices);
    std::vector<uint32_t>().swap(m_Indices);
    m_Released = true;
}

}   // namespace plat
