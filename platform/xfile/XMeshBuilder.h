// XMeshBuilder is responsible for turning the pieces of an X file, as the
// reader found them (frames with their transforms, meshes with their own
// vertex, normal, texture coordinate, colour and material lists, named
// materials), into one merged model: every mesh placed by its frame chain,
// faces split into triangle fans with their index order kept, vertices split
// where a position has several normals, faces grouped by material.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Math3D.h"
#include "platform/xfile/XModel.h"

namespace plat {

// Faces with any number of corners, stored flat.
struct XFaceList {
    std::vector<uint32_t> corners;
    std::vector<uint32_t> starts{0};   // face i is corners[starts[i] .. starts[i + 1])

    size_t Count() const { return starts.size() - 1; }
    std::span<const uint32_t> Face(size_t i) const
    {
        return std::span<const uint32_t>(corners).subspan(starts[i], starts[i + 1] - starts[i]);
    }
    void EndFace() { starts.push_back(static_cast<uint32_t>(corners.size())); }
};

// One entry of a mesh's material list: inline, or a reference by name.
struct XMaterialSlot {
    bool isReference = false;
    std::string reference;
    XMaterial material;
};

struct XRawMesh {
    int frame = -1;   // -1: not inside a frame
    std::vector<Vec3> positions;
    XFaceList faces;
    bool hasNormals = false;
    std::vector<Vec3> normals;
    XFaceList normalFaces;   // parallel to faces
    bool hasTexCoords = false;
    std::vector<Vec2> texCoords;   // per position; may be shorter
    bool hasColors = false;
    std::vector<uint32_t> colors;   // per position (ARGB); may be shorter
    bool hasMaterialList = false;
    uint32_t declaredMaterials = 0;
    std::vector<uint32_t> faceMaterials;   // may be shorter than faces: the last one repeats
    std::vector<XMaterialSlot> materials;
};

class XMeshBuilder {
public:
    // Frames: parent -1 for a top-level frame. Returns the new frame's index.
    int AddFrame(int parent);
    void SetFrameTransform(int frame, const Mat4& local);
    void AddMesh(XRawMesh mesh) { m_Meshes.push_back(std::move(mesh)); }
    // Materials that material lists may refer to by name; the first of a name wins.
    void AddNamedMaterial(const std::string& name, const XMaterial& material);

    size_t MeshCount() const { return m_Meshes.size(); }

    // False when no face survives (no mesh, or every face invalid).
    bool Build(XModel* out) const;

private:
    struct Frame {
        int parent = -1;
        Mat4 local;
    };
    Mat4 WorldOf(int frame) const;
    std::vector<XMaterial> ResolveMaterials(const XRawMesh& mesh) const;
    void AppendMesh(const XRawMesh& mesh, uint32_t firstMaterial, uint32_t materialCount, XModel* out,
                    std::vector<std::vector<uint32_t>>* buckets) const;

    std::vector<Frame> m_Frames;
    std::vector<XRawMesh> m_Meshes;
    std::unordered_map<std::string, XMaterial> m_NamedMaterials;
};

}   // namespace plat
