// CXFile is one mesh read from an X file, with its materials (ambient set to
// the diffuse colour) and one texture per material, or none. Draw draws every
// subset with its own material and texture at the world transform the caller
// set; DrawOutline draws it once more, enlarged, black and with front faces
// culled, so that a black rim shows around the mesh drawn next. A file that
// fails to load leaves an empty object that draws nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Task.h"
#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

namespace plat {
class Mesh;
class Texture;
}   // namespace plat

class CXFile : public CGameObject {
public:
    CXFile();
    explicit CXFile(const std::string& path, const std::string& textureFolder = "");
    ~CXFile() override;

    // Replaces what is held with the mesh of the file. Texture file names in
    // the file are taken relative to textureFolder (with its trailing slash),
    // or to the current directory when it is empty; the stage loader passes
    // the mesh folder instead of moving the process's current directory.
    // False (and an empty object) when the file cannot be read.
    bool Load(const std::string& path, const std::string& textureFolder = "");

    // Drawing a mesh does not change it. Being const, this is not the task's
    // Draw: a mesh kept in the task list as a resource draws nothing in the
    // draw pass, only when a task draws it with its own world transform.
    void Draw() const;
    void DrawOutline(float scale, const plat::Mat4& world) const;
    // Has the device make the mesh's and the textures' objects now rather
    // than at the first draw.
    void PrepareForDrawing() const;

    const plat::Mesh* GetMesh() const { return m_Mesh.get(); }   // null when empty
    uint32_t GetMaterialCount() const { return m_MaterialCount; }
    // The materials as drawn; the game may change them (fading a mesh, for example).
    plat::Material& Material(uint32_t i) { return m_Materials[i]; }
    const plat::Material& GetMaterial(uint32_t i) const { return m_Materials[i]; }
    const plat::Texture* GetTexture(uint32_t i) const { return m_Textures[i].get(); }   // null: untextured
    // Whether the mesh, drawn lit, hides everything behind it: every
    // material's diffuse alpha is full and every texture is opaque. False for
    // an empty object.
    bool IsOpaque() const;

private:
    void Release();

    std::unique_ptr<plat::Mesh> m_Mesh;
    uint32_t m_MaterialCount = 0;
    std::vector<plat::Material> m_Materials;
    std::vector<std::unique_ptr<plat::Texture>> m_Textures;
};
