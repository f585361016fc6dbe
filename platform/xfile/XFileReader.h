// XFileReader is responsible for reading text X files ("xof 0302txt 0032",
// "0303txt", 32- or 64-bit floats) into one merged model: templates are
// skipped; frames nest and their FrameTransformMatrix places the meshes in
// them; a Mesh brings its vertices and faces (any corner count) and may carry
// MeshNormals (with their own face list), MeshTextureCoords, MeshVertexColors
// and a MeshMaterialList whose materials are inline or references by name
// ("{ Name }" or a bare name) to Material blocks elsewhere in the file, each
// material with an optional TextureFilename. Unknown blocks are skipped.
// Binary and compressed files are refused.
//
// Bad input never crashes, hangs or reads out of bounds: counts are checked
// against the input that is left before anything is reserved, faces with
// indices out of range are dropped, nesting is limited, and unbalanced braces
// or malformed numbers fail the read.
#pragma once

#include <string>
#include <string_view>

#include "platform/xfile/XMeshBuilder.h"
#include "platform/xfile/XModel.h"
#include "platform/xfile/XTokenizer.h"

namespace plat {

enum class XFileStatus {
    Ok,
    CannotOpen,
    NotXFile,      // no "xof " header, or a format this reader does not know
    Binary,        // "bin " files are refused
    Compressed,    // "tzip" and "bzip" files are refused
    SyntaxError,   // malformed numbers, unbalanced braces, truncation, nesting too deep
    NoGeometry,    // no mesh, or no face that survives
};

const char* ToString(XFileStatus status);

class XFileReader {
public:
    static XFileStatus ReadFile(const std::string& path, XModel* out);
    // A whole file image, header included.
    static XFileStatus ReadText(std::string_view text, XModel* out);

private:
    explicit XFileReader(std::string_view body) : m_Tokens(body) {}

    bool ParseTopLevel();
    template <class OnObject, class OnReference>
    bool ParseChildren(OnObject onObject, OnReference onReference, bool inMaterialList = false);
    bool ParseCommonObject(int frame, int depth);
    bool ParseFrame(int parent, int depth);
    bool ParseMesh(int frame);
    bool ParseMeshNormals(XRawMesh* mesh);
    bool ParseTextureCoords(XRawMesh* mesh);
    bool ParseVertexColors(XRawMesh* mesh);
    bool ParseMaterialList(XRawMesh* mesh);
    bool ParseMaterial(XMaterial* material, std::string* name);
    bool ParseTextureFilename(std::string* file);
    bool ParseFrameTransform(int frame);

    bool ReadFaces(uint32_t count, XFaceList* faces);
    bool ReadVectors(uint32_t count, std::vector<Vec3>* out);
    // Reads "Type [name] [<guid>] {" after the type; the name goes to *name.
    bool OpenObject(std::string* name);
    // Skips the rest of an object whose '{' has been read, nested ones included.
    bool SkipToClose();
    // Whether the next tokens start an object ("Type {", "Type name {", "Type <guid> {", ...).
    bool AtObject() const;
    bool AtBareMaterialReference() const;

    XTokenizer m_Tokens;
    XMeshBuilder m_Builder;
};

}   // namespace plat
