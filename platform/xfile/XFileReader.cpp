#include "platform/xfile/XFileReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/DataRoot.h"
#include "platform/RefusedFiles.h"

namespace plat {

namespace {

constexpr size_t HEADER_SIZE = 16;             // "xof 0303txt 0032"
constexpr size_t MAX_FILE_BYTES = 64u << 20;   // far beyond any mesh of the game
constexpr int MAX_FRAME_DEPTH = 64;
constexpr size_t MIN_BYTES_PER_VECTOR = 6;   // "0;0;0;" at the least
constexpr std::string_view MATERIAL = "Material";

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

uint32_t ToByte(float channel) { return static_cast<uint32_t>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f)); }

}   // namespace

const char* ToString(XFileStatus status)
{
    switch (status) {
        case XFileStatus::Ok: return "ok";
        case XFileStatus::CannotOpen: return "cannot open the file";
        case XFileStatus::NotXFile: return "not an X file";
        case XFileStatus::Binary: return "binary X files are not supported";
        case XFileStatus::Compressed: return "compressed X files are not supported";
        case XFileStatus::SyntaxError: return "malformed or cut short X file";
        case XFileStatus::NoGeometry: return "no mesh with faces";
    }
    return "unknown";
}

XFileStatus XFileReader::ReadFile(const std::string& path, XModel* out)
{
    *out = XModel();
    std::ifstream in(DataPath(path), std::ios::binary);
    if (!in) {
        RefusedFiles::Report(path, RefusedFiles::WhyCannotOpen());
        return XFileStatus::CannotOpen;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) {
        RefusedFiles::Report(path, RefusedFiles::kUnreadable);
        return XFileStatus::CannotOpen;
    }
    if (static_cast<uint64_t>(size) > MAX_FILE_BYTES) {
        RefusedFiles::Report(path, RefusedFiles::kTooLarge);
        return XFileStatus::NotXFile;
    }
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in.read(text.data(), size)) {
        RefusedFiles::Report(path, RefusedFiles::kUnreadable);
        return XFileStatus::CannotOpen;
    }
    XFileStatus status = ReadText(text, out);
    if (status != XFileStatus::Ok) RefusedFiles::Report(path, ToString(status));
    return status;
}

XFileStatus XFileReader::ReadText(std::string_view text, XModel* out)
{
    *out = XModel();
    if (text.size() < HEADER_SIZE || text.substr(0, 4) != "xof " || !IsDigits(text.substr(4, 4)))
        return XFileStatus::NotXFile;
    std::string_view format = text.substr(8, 4);
    if (format == "bin ") return XFileStatus::Binary;
    if (format == "tzip" || format == "bzip") return XFileStatus::Compressed;
    std::string_view floatSize = text.substr(12, 4);
    if (format != "txt " || (floatSize != "0032" && floatSize != "0064")) return XFileStatus::NotXFile;

    XFileReader reader(text.substr(HEADER_SIZE));
    if (!reader.ParseTopLevel()) return XFileStatus::SyntaxError;
    if (!reader.m_Builder.Build(out)) return XFileStatus::NoGeometry;
    return XFileStatus::Ok;
}

// ---- object structure ----

bool XFileReader::AtObject() const
{
    if (m_Tokens.Peek().kind != XTokenKind::Name) return false;
    XTokenKind second = m_Tokens.Peek(1).kind;
    if (second == XTokenKind::OpenBrace) return true;
    if (second == XTokenKind::Name) {
        XTokenKind third = m_Tokens.Peek(2).kind;
        return third == XTokenKind::OpenBrace ||
               (third == XTokenKind::Guid && m_Tokens.Peek(3).kind == XTokenKind::OpenBrace);
    }
    return second == XTokenKind::Guid && m_Tokens.Peek(2).kind == XTokenKind::OpenBrace;
}

// In a material list "Red Material { ... }" is the reference "Red" followed by
// an inline material, not an object of type "Red".
bool XFileReader::AtBareMaterialReference() const
{
    XToken second = m_Tokens.Peek(1);
    return m_Tokens.Peek().text != MATERIAL && second.kind == XTokenKind::Name && second.text == MATERIAL;
}

bool XFileReader::OpenObject(std::string* name)
{
    XToken token = m_Tokens.Next();
    if (token.kind == XTokenKind::Name) {
        if (name) *name = std::string(token.text);
        token = m_Tokens.Next();
    }
    if (token.kind == XTokenKind::Guid) token = m_Tokens.Next();
    return token.kind == XTokenKind::OpenBrace;
}

bool XFileReader::SkipToClose()
{
    // Iterative, so deep nesting cannot exhaust the stack.
    size_t depth = 1;
    while (depth > 0) {
        XToken token = m_Tokens.Next();
        if (token.kind == XTokenKind::End || token.kind == XTokenKind::Invalid) return false;
        if (token.kind == XTokenKind::OpenBrace) ++depth;
        if (token.kind == XTokenKind::CloseBrace) --depth;
    }
    return true;
}

// Reads the children of an object whose '{' has been read, up to and including
// its '}'. onObject(type) is called at each child object with nothing
// consumed; onReference(name) for "{ Name }" and bare names.
template <class OnObject, class OnReference>
bool XFileReader::ParseChildren(OnObject onObject, OnReference onReference, bool inMaterialList)
{
    for (;;) {
        XToken token = m_Tokens.Peek();
        switch (token.kind) {
            case XTokenKind::End:
            case XTokenKind::Invalid: return false;
            case XTokenKind::CloseBrace: m_Tokens.Next(); return true;
            case XTokenKind::OpenBrace: {
                m_Tokens.Next();
                std::string name;
                if (m_Tokens.Peek().kind == XTokenKind::Name) name = std::string(m_Tokens.Peek().text);
                if (!SkipToClose()) return false;
                if (!name.empty()) onReference(name);
                break;
            }
            case XTokenKind::Name:
                if (AtObject() && !(inMaterialList && AtBareMaterialReference())) {
                    if (!onObject(token.text)) return false;
                } else {
                    m_Tokens.Next();
                    onReference(std::string(token.text));
                }
                break;
            default:
                m_Tokens.Next();   // stray numbers, strings, separators
                break;
        }
    }
}

bool XFileReader::ParseTopLevel()
{
    for (;;) {
        XToken token = m_Tokens.Peek();
        switch (token.kind) {
            case XTokenKind::End: return true;
            case XTokenKind::Invalid:
            case XTokenKind::CloseBrace: return false;
            case XTokenKind::OpenBrace:
                m_Tokens.Next();
                if (!SkipToClose()) return false;
                break;
            case XTokenKind::Name:
                if (!AtObject()) {
                    m_Tokens.Next();
                } else if (!ParseCommonObject(-1, 0)) {
                    return false;
                }
                break;
            default: m_Tokens.Next(); break;
        }
    }
}

// Frames, meshes and materials may stand at the top level or inside frames.
bool XFileReader::ParseCommonObject(int frame, int depth)
{
    std::string_view type = m_Tokens.Next().text;
    if (type == "Frame") return ParseFrame(frame, depth);
    if (type == "Mesh") return ParseMesh(frame);
    if (type == MATERIAL) {
        std::string name;
        XMaterial material;
        if (!ParseMaterial(&material, &name)) return false;
        m_Builder.AddNamedMaterial(name, material);
        return true;
    }
    if (type == "FrameTransformMatrix" && frame >= 0) return ParseFrameTransform(frame);
    return OpenObject(nullptr) && SkipToClose();   // templates and everything unknown
}

bool XFileReader::ParseFrame(int parent, int depth)
{
    if (depth >= MAX_FRAME_DEPTH || !OpenObject(nullptr)) return false;
    int frame = m_Builder.AddFrame(parent);
    return ParseChildren([&](std::string_view) { return ParseCommonObject(frame, depth + 1); },
                         [](const std::string&) {});
}

bool XFileReader::ParseFrameTransform(int frame)
{
    if (!OpenObject(nullptr)) return false;
    Mat4 local;
    for (auto& row : local.m)
        for (float& value : row)
            if (!m_Tokens.ReadFloat(&value)) return false;
    m_Builder.SetFrameTransform(frame, local);
    return SkipToClose();
}

// ---- meshes ----

bool XFileReader::ReadVectors(uint32_t count, std::vector<Vec3>* out)
{
    out->reserve(std::min<size_t>(count, m_Tokens.Remaining() / MIN_BYTES_PER_VECTOR));
    for (uint32_t i = 0; i < count; ++i) {
        Vec3 v;
        if (!m_Tokens.ReadFloat(&v.x) || !m_Tokens.ReadFloat(&v.y) || !m_Tokens.ReadFloat(&v.z)) return false;
        out->push_back(v);
    }
    return true;
}

bool XFileReader::ReadFaces(uint32_t count, XFaceList* faces)
{
    // Every corner costs at least one token, so the lists grow only with the input.
    for (uint32_t f = 0; f < count; ++f) {
        uint32_t corners = 0;
        if (!m_Tokens.ReadUInt(&corners)) return false;
        for (uint32_t c = 0; c < corners; ++c) {
            uint32_t index = 0;
            if (!m_Tokens.ReadUInt(&index)) return false;
            faces->corners.push_back(index);
        }
        faces->EndFace();
    }
    return true;
}

bool XFileReader::ParseMesh(int frame)
{
    XRawMesh mesh;
    mesh.frame = frame;
    uint32_t count = 0;
    if (!OpenObject(nullptr) || !m_Tokens.ReadUInt(&count) || !ReadVectors(count, &mesh.positions)) return false;
    if (!m_Tokens.ReadUInt(&count) || !ReadFaces(count, &mesh.faces)) return false;

    auto onObject = [&](std::string_view type) {
        m_Tokens.Next();
        if (type == "MeshNormals") return ParseMeshNormals(&mesh);
        if (type == "MeshTextureCoords") return ParseTextureCoords(&mesh);
        if (type == "MeshVertexColors") return ParseVertexColors(&mesh);
        if (type == "MeshMaterialList") return ParseMaterialList(&mesh);
        return OpenObject(nullptr) && SkipToClose();
    };
    if (!ParseChildren(onObject, [](const std::string&) {})) return false;
    m_Builder.AddMesh(std::move(mesh));
    return true;
}

bool XFileReader::ParseMeshNormals(XRawMesh* mesh)
{
    uint32_t count = 0;
    if (!OpenObject(nullptr) || !m_Tokens.ReadUInt(&count) || !ReadVectors(count, &mesh->normals)) return false;
    if (!m_Tokens.ReadUInt(&count) || !ReadFaces(count, &mesh->normalFaces)) return false;
    mesh->hasNormals = true;
    return SkipToClose();
}

bool XFileReader::ParseTextureCoords(XRawMesh* mesh)
{
    uint32_t count = 0;
    if (!OpenObject(nullptr) || !m_Tokens.ReadUInt(&count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        Vec2 uv;
        if (!m_Tokens.ReadFloat(&uv.x) || !m_Tokens.ReadFloat(&uv.y)) return false;
        mesh->texCoords.push_back(uv);
    }
    mesh->hasTexCoords = true;
    return SkipToClose();
}

bool XFileReader::ParseVertexColors(XRawMesh* mesh)
{
    uint32_t count = 0;
    if (!OpenObject(nullptr) || !m_Tokens.ReadUInt(&count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        ColorF c;
        if (!m_Tokens.ReadUInt(&index) || !m_Tokens.ReadFloat(&c.r) || !m_Tokens.ReadFloat(&c.g) ||
            !m_Tokens.ReadFloat(&c.b) || !m_Tokens.ReadFloat(&c.a))
            return false;
        if (index >= mesh->positions.size()) continue;
        if (mesh->colors.size() < mesh->positions.size()) mesh->colors.resize(mesh->positions.size(), 0xffffffff);
        mesh->colors[index] = (ToByte(c.a) << 24) | (ToByte(c.r) << 16) | (ToByte(c.g) << 8) | ToByte(c.b);
    }
    mesh->hasColors = true;
    return SkipToClose();
}

bool XFileReader::ParseMaterialList(XRawMesh* mesh)
{
    uint32_t faceCount = 0;
    if (!OpenObject(nullptr) || !m_Tokens.ReadUInt(&mesh->declaredMaterials) || !m_Tokens.ReadUInt(&faceCount))
        return false;
    for (uint32_t f = 0; f < faceCount; ++f) {
        uint32_t material = 0;
        if (!m_Tokens.ReadUInt(&material)) return false;
        mesh->faceMaterials.push_back(material);
    }
    mesh->hasMaterialList = true;

    auto onObject = [&](std::string_view type) {
        m_Tokens.Next();
        if (type != MATERIAL) return OpenObject(nullptr) && SkipToClose();
        XMaterialSlot slot;
        std::string name;
        if (!ParseMaterial(&slot.material, &name)) return false;
        m_Builder.AddNamedMaterial(name, slot.material);
        mesh->materials.push_back(std::move(slot));
        return true;
    };
    auto onReference = [&](const std::string& name) {
        XMaterialSlot slot;
        slot.isReference = true;
        slot.reference = name;
        mesh->materials.push_back(std::move(slot));
    };
    return ParseChildren(onObject, onReference, true);
}

// ---- materials ----

bool XFileReader::ParseMaterial(XMaterial* material, std::string* name)
{
    Material& m = material->material;
    if (!OpenObject(name)) return false;
    if (!m_Tokens.ReadFloat(&m.diffuse.r) || !m_Tokens.ReadFloat(&m.diffuse.g) || !m_Tokens.ReadFloat(&m.diffuse.b) ||
        !m_Tokens.ReadFloat(&m.diffuse.a) || !m_Tokens.ReadFloat(&m.power) || !m_Tokens.ReadFloat(&m.specular.r) ||
        !m_Tokens.ReadFloat(&m.specular.g) || !m_Tokens.ReadFloat(&m.specular.b) ||
        !m_Tokens.ReadFloat(&m.emissive.r) || !m_Tokens.ReadFloat(&m.emissive.g) || !m_Tokens.ReadFloat(&m.emissive.b))
        return false;
    m.ambient = {};
    m.specular.a = 0;
    m.emissive.a = 0;

    auto onObject = [&](std::string_view type) {
        m_Tokens.Next();
        // Exporters write both spellings.
        if (EqualsNoCase(type, "TextureFilename")) return ParseTextureFilename(&material->textureFile);
        return OpenObject(nullptr) && SkipToClose();
    };
    return ParseChildren(onObject, [](const std::string&) {});
}

bool XFileReader::ParseTextureFilename(std::string* file)
{
    if (!OpenObject(nullptr)) return false;
    XToken token = m_Tokens.SkipSeparators();
    if (token.kind == XTokenKind::String && file->empty()) *file = std::string(token.text);
    return SkipToClose();
}

}   // namespace plat
