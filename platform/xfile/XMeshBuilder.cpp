#include "platform/xfile/XMeshBuilder.h"

#include <algorithm>

namespace plat {

namespace {

constexpr uint32_t WHITE = 0xffffffff;

// Sum of the fan triangles' normals, so a polygon whose first corners are in
// a line still gets a direction. Clockwise corners (the front side in a
// left-handed world) give a normal pointing at the viewer.
Vec3 FaceNormal(const std::vector<Vec3>& positions, std::span<const uint32_t> corners)
{
    Vec3 sum;
    const Vec3& a = positions[corners[0]];
    for (size_t k = 1; k + 1 < corners.size(); ++k)
        sum = sum + Cross(positions[corners[k]] - a, positions[corners[k + 1]] - a);
    return Normalize(sum);
}

bool AllBelow(std::span<const uint32_t> indices, size_t limit)
{
    return std::all_of(indices.begin(), indices.end(), [limit](uint32_t i) { return i < limit; });
}

uint32_t MaterialOfFace(const XRawMesh& mesh, size_t face)
{
    if (!mesh.hasMaterialList || mesh.faceMaterials.empty()) return 0;
    return mesh.faceMaterials[std::min(face, mesh.faceMaterials.size() - 1)];
}

// Vertices of one mesh placed in the model.
class VertexMaker {
public:
    VertexMaker(const XRawMesh& mesh, const Mat4& world, std::vector<MeshVertex>* out)
        : m_Mesh(mesh), m_World(world), m_NormalMatrix(Transpose(Inverse(world))), m_Out(*out)
    {
    }

    // One vertex per (position, normal) pair of the file.
    uint32_t Shared(uint32_t position, uint32_t normal)
    {
        uint64_t key = (static_cast<uint64_t>(position) << 32) | normal;
        auto found = m_Shared.find(key);
        if (found != m_Shared.end()) return found->second;
        uint32_t index = Make(position, m_Mesh.normals[normal]);
        m_Shared.emplace(key, index);
        return index;
    }

    // A vertex of its own, for a face whose normal had to be computed.
    uint32_t Make(uint32_t position, Vec3 modelNormal)
    {
        MeshVertex v;
        v.position = TransformCoord(m_Mesh.positions[position], m_World);
        v.normal = Normalize(TransformNormal(modelNormal, m_NormalMatrix));
        if (position < m_Mesh.texCoords.size()) {
            v.u = m_Mesh.texCoords[position].x;
            v.v = m_Mesh.texCoords[position].y;
        }
        v.color = position < m_Mesh.colors.size() ? m_Mesh.colors[position] : WHITE;
        m_Out.push_back(v);
        return static_cast<uint32_t>(m_Out.size() - 1);
    }

private:
    const XRawMesh& m_Mesh;
    Mat4 m_World;
    Mat4 m_NormalMatrix;
    std::vector<MeshVertex>& m_Out;
    std::unordered_map<uint64_t, uint32_t> m_Shared;
};

}   // namespace

int XMeshBuilder::AddFrame(int parent)
{
    m_Frames.push_back({parent, Mat4::Identity()});
    return static_cast<int>(m_Frames.size() - 1);
}

void XMeshBuilder::SetFrameTransform(int frame, const Mat4& local)
{
    if (frame >= 0 && frame < static_cast<int>(m_Frames.size())) m_Frames[frame].local = local;
}

void XMeshBuilder::AddNamedMaterial(const std::string& name, const XMaterial& material)
{
    if (!name.empty()) m_NamedMaterials.emplace(name, material);
}

Mat4 XMeshBuilder::WorldOf(int frame) const
{
    // Row vectors: the child's transform applies first, then its parent's.
    Mat4 world;
    for (int f = frame; f >= 0 && f < static_cast<int>(m_Frames.size()); f = m_Frames[f].parent)
        world = world * m_Frames[f].local;
    return world;
}

std::vector<XMaterial> XMeshBuilder::ResolveMaterials(const XRawMesh& mesh) const
{
    if (!mesh.hasMaterialList || mesh.declaredMaterials == 0) return {DefaultXMaterial()};

    std::vector<XMaterial> slots;
    size_t listed = std::min<size_t>(mesh.declaredMaterials, mesh.materials.size());
    for (size_t i = 0; i < listed; ++i) {
        const XMaterialSlot& slot = mesh.materials[i];
        if (!slot.isReference) {
            slots.push_back(slot.material);
            continue;
        }
        auto found = m_NamedMaterials.find(slot.reference);
        slots.push_back(found != m_NamedMaterials.end() ? found->second : DefaultXMaterial());
    }

    // Materials the list declares and its faces use but does not give are
    // drawn white rather than dropping their faces. The count is bounded by
    // the faces, never by the (untrusted) declared number alone.
    uint32_t highest = 0;
    for (size_t f = 0; f < mesh.faces.Count(); ++f) highest = std::max(highest, MaterialOfFace(mesh, f));
    size_t needed = std::min<size_t>(mesh.declaredMaterials, static_cast<size_t>(highest) + 1);
    if (needed <= mesh.faces.Count())
        while (slots.size() < needed) slots.push_back(DefaultXMaterial());
    return slots;
}

void XMeshBuilder::AppendMesh(const XRawMesh& mesh, uint32_t firstMaterial, uint32_t materialCount, XModel* out,
                              std::vector<std::vector<uint32_t>>* buckets) const
{
    VertexMaker vertices(mesh, WorldOf(mesh.frame), &out->vertices);
    std::vector<uint32_t> polygon;
    for (size_t f = 0; f < mesh.faces.Count(); ++f) {
        std::span<const uint32_t> corners = mesh.faces.Face(f);
        uint32_t material = MaterialOfFace(mesh, f);
        if (corners.size() < 3 || !AllBelow(corners, mesh.positions.size()) || material >= materialCount) continue;

        bool fileNormals = mesh.hasNormals && f < mesh.normalFaces.Count() &&
                           mesh.normalFaces.Face(f).size() == corners.size() &&
                           AllBelow(mesh.normalFaces.Face(f), mesh.normals.size());
        polygon.clear();
        if (fileNormals) {
            std::span<const uint32_t> normals = mesh.normalFaces.Face(f);
            for (size_t i = 0; i < corners.size(); ++i) polygon.push_back(vertices.Shared(corners[i], normals[i]));
        } else {
            Vec3 normal = FaceNormal(mesh.positions, corners);
            for (uint32_t corner : corners) polygon.push_back(vertices.Make(corner, normal));
        }

        // A fan around the first corner, each triangle in the file's order.
        std::vector<uint32_t>& bucket = (*buckets)[firstMaterial + material];
        for (size_t k = 1; k + 1 < polygon.size(); ++k) {
            bucket.push_back(polygon[0]);
            bucket.push_back(polygon[k]);
            bucket.push_back(polygon[k + 1]);
        }
    }
}

bool XMeshBuilder::Build(XModel* out) const
{
    *out = XModel();
    std::vector<std::vector<uint32_t>> buckets;
    for (const XRawMesh& mesh : m_Meshes) {
        std::vector<XMaterial> materials = ResolveMaterials(mesh);
        uint32_t first = static_cast<uint32_t>(out->materials.size());
        out->materials.insert(out->materials.end(), materials.begin(), materials.end());
        buckets.resize(out->materials.size());
        AppendMesh(mesh, first, static_cast<uint32_t>(materials.size()), out, &buckets);
        out->hasTexCoords = out->hasTexCoords || mesh.hasTexCoords;
        out->hasColors = out->hasColors || mesh.hasColors;
    }

    for (const std::vector<uint32_t>& bucket : buckets) {
        MeshSubset subset;
        subset.firstIndex = static_cast<uint32_t>(out->indices.size());
        subset.indexCount = static_cast<uint32_t>(bucket.size());
        out->subsets.push_back(subset);
        out->indices.insert(out->indices.end(), bucket.begin(), bucket.end());
    }
    // Normals are always present: taken from the file or computed per face.
    out->hasNormals = true;

    if (out->indices.empty()) {
        *out = XModel();
        return false;
    }
    return true;
}

}   // namespace plat
