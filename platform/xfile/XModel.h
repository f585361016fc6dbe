// The result of reading an X file: one merged triangle mesh whose subsets are
// the materials in file order, and those materials.
#pragma once

#include <string>
#include <vector>

#include "platform/Mesh.h"
#include "platform/RenderDevice.h"

namespace plat {

struct XMaterial {
    Material material;         // diffuse RGBA, power, specular and emissive RGB; ambient is left 0
    std::string textureFile;   // as written in the file; empty when none
};

struct XModel {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<MeshSubset> subsets;   // one per material, possibly empty
    std::vector<XMaterial> materials;
    bool hasNormals = false;
    bool hasColors = false;
    bool hasTexCoords = false;
};

// The material given to faces of a mesh without a material list: opaque white.
inline XMaterial DefaultXMaterial()
{
    XMaterial m;
    m.material.diffuse = {1, 1, 1, 1};
    return m;
}

}   // namespace plat
