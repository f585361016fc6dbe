#include "gfx/CXFile.h"

#include <algorithm>

#include "gfx/Graphics.h"
#include "platform/Mesh.h"
#include "platform/Texture.h"
#include "platform/xfile/XFileReader.h"

namespace {

constexpr uint32_t NO_COLOR_KEY = 0;

// The outline: solid black, lit or not, with nothing else.
plat::Material OutlineMaterial()
{
    plat::Material m;
    m.diffuse = {0, 0, 0, 1};
    m.ambient = {0, 0, 0, 1};
    m.specular = {};
    m.emissive = {};
    m.power = 0;
    return m;
}

// Exporters write Windows paths (".\\wood.png"); the names are used as they
// stand except for the separator.
std::string TexturePath(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::unique_ptr<plat::Texture> LoadMaterialTexture(const std::string& folder, const std::string& name)
{
    if (name.empty()) return nullptr;
    auto texture = std::make_unique<plat::Texture>();
    if (!texture->LoadFromFile(folder + TexturePath(name), NO_COLOR_KEY)) return nullptr;
    return texture;
}

}   // namespace

CXFile::CXFile() = default;

CXFile::CXFile(const std::string& path, const std::string& textureFolder) { Load(path, textureFolder); }

CXFile::~CXFile() = default;

void CXFile::Release()
{
    m_Textures.clear();
    m_Materials.clear();
    m_MaterialCount = 0;
    m_Mesh.reset();
}

bool CXFile::Load(const std::string& path, const std::string& textureFolder)
{
    Release();
    plat::XModel model;
    if (plat::XFileReader::ReadFile(path, &model) != plat::XFileStatus::Ok) return false;

    for (const plat::XMaterial& x : model.materials) {
        plat::Material material = x.material;
        material.ambient = material.diffuse;
        m_Materials.push_back(material);
        m_Textures.push_back(LoadMaterialTexture(textureFolder, x.textureFile));
    }
    m_MaterialCount = static_cast<uint32_t>(m_Materials.size());
    m_Mesh = std::make_unique<plat::Mesh>();
    m_Mesh->Set(std::move(model.vertices), std::move(model.indices), std::move(model.subsets), model.hasNormals,
                model.hasColors, model.hasTexCoords);
    return true;
}

void CXFile::Draw() const
{
    if (!g_Device || !m_Mesh) return;
    for (uint32_t i = 0; i < m_MaterialCount; ++i) {
        g_Device->SetMaterial(m_Materials[i]);
        g_Device->SetTexture(m_Textures[i].get());
        g_Device->DrawSubset(*m_Mesh, static_cast<int>(i));
    }
}

void CXFile::PrepareForDrawing() const
{
    if (!g_Device || !m_Mesh) return;
    g_Device->Prepare(*m_Mesh);
    for (const auto& texture : m_Textures)
        if (texture) g_Device->Prepare(*texture);
}

bool CXFile::IsOpaque() const
{
    if (!m_Mesh) return false;
    for (uint32_t i = 0; i < m_MaterialCount; ++i) {
        if (!(m_Materials[i].diffuse.a >= 1.0f)) return false;   // NaN counts as see-through
        const plat::Texture* texture = m_Textures[i].get();
        if (texture && !texture->IsOpaque()) return false;
    }
    return true;
}

void CXFile::DrawOutline(float scale, const plat::Mat4& world) const
{
    if (!g_Device) return;
    // Culling the front faces leaves the enlarged back faces, which show only
    // as a rim around the mesh drawn normally afterwards.
    g_Device->SetCull(plat::Cull::CW);
    g_Device->SetMaterial(OutlineMaterial());
    g_Device->SetTexture(nullptr);
    g_Device->SetTransform(plat::TransformKind::World, plat::Scaling(scale, scale, scale) * world);
    if (m_Mesh)
        for (uint32_t i = 0; i < m_MaterialCount; ++i) g_Device->DrawSubset(*m_Mesh, static_cast<int>(i));
    g_Device->SetTransform(plat::TransformKind::World, world);
    g_Device->SetCull(plat::Cull::CCW);
}
