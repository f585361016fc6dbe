#include "game/StageMeshReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "platform/DataRoot.h"
#include "platform/RefusedFiles.h"
#include "platform/xfile/XTokenizer.h"

namespace {

using plat::XToken;
using plat::XTokenizer;
using plat::XTokenKind;

constexpr size_t TRIANGLE_CORNERS = 3;
// The fewest bytes a face of the list takes: "3;0,0,0;,".
constexpr size_t MIN_FACE_BYTES = 9;

constexpr const char* NO_MESH = "no Mesh block";
constexpr const char* BAD_VERTEX_COUNT = "damaged vertex count";
constexpr const char* NO_TRIANGLES = "no usable triangles";

bool IsSeparator(const XToken& token, char which)
{
    return token.kind == XTokenKind::Separator && token.text.size() == 1 && token.text[0] == which;
}

// The whole token as a number of type T; false on anything else.
template <class T>
bool ParseNumber(std::string_view text, T* out)
{
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);   // from_chars takes no plus sign
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *out);
    return error == std::errc() && end == text.data() + text.size();
}

// Steps over a block whose '{' is next, nested blocks included. False if the
// text ends inside it.
bool SkipBlock(XTokenizer& tokens)
{
    if (tokens.Next().kind != XTokenKind::OpenBrace) return false;
    for (int depth = 1; depth > 0;) {
        XTokenKind kind = tokens.Next().kind;
        if (kind == XTokenKind::End) return false;
        if (kind == XTokenKind::OpenBrace) ++depth;
        if (kind == XTokenKind::CloseBrace) --depth;
    }
    return true;
}

// Finds the first "Mesh" object outside the templates and steps into it:
// over its optional name and GUID and its brace.
bool FindMeshBlock(XTokenizer& tokens)
{
    for (;;) {
        XToken token = tokens.Next();
        if (token.kind == XTokenKind::End) return false;
        if (token.kind != XTokenKind::Name) continue;
        if (token.text == "template") {
            if (tokens.Peek().kind == XTokenKind::Name) tokens.Next();
            if (tokens.Peek().kind == XTokenKind::OpenBrace && !SkipBlock(tokens)) return false;
            continue;
        }
        if (token.text != "Mesh") continue;
        if (tokens.Peek().kind == XTokenKind::Name) tokens.Next();
        if (tokens.Peek().kind == XTokenKind::Guid) tokens.Next();
        if (tokens.Peek().kind == XTokenKind::OpenBrace) {
            tokens.Next();
            return true;
        }
    }
}

// A count; nothing when it is missing, malformed or above the limit.
std::optional<int> ReadCount(XTokenizer& tokens, int limit)
{
    uint32_t count = 0;
    if (!tokens.ReadUInt(&count) || count > static_cast<uint32_t>(limit)) return std::nullopt;
    return static_cast<int>(count);
}

// A double beyond single precision becomes an infinity of its sign rather
// than an undefined conversion.
float ToFloat(double value)
{
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return std::copysign(std::numeric_limits<float>::infinity(), static_cast<float>(value > 0 ? 1 : -1));
    return static_cast<float>(value);
}

bool IsUsableCoordinate(float value) { return std::isfinite(value) && std::fabs(value) <= MAX_STAGE_COORDINATE; }

// One coordinate. A name or a malformed number in its place gives NaN, which
// leaves the vertex out. False when the list ends (the text or the block).
bool ReadCoordinate(XTokenizer& tokens, double* out)
{
    XToken token = tokens.SkipSeparators();
    if (token.kind != XTokenKind::Number && token.kind != XTokenKind::Name) return false;
    tokens.Next();
    if (token.kind != XTokenKind::Number || !ParseNumber(token.text, out))
        *out = std::numeric_limits<double>::quiet_NaN();
    return true;
}

// Three coordinates per vertex in file order. False if the list ends early.
bool ReadVertices(XTokenizer& tokens, StageMesh& mesh, float scale)
{
    for (float& coordinate : mesh.vertices) {
        double value = 0;
        if (!ReadCoordinate(tokens, &value)) return false;
        coordinate = ToFloat(value * scale);
    }
    return true;
}

// Marks the vertices whose coordinates are finite and within reach, and moves
// the others to the origin: no face will use them, but the engine bounds the
// mesh by every vertex of the list.
std::vector<bool> SortOutVertices(StageMesh& mesh)
{
    std::vector<bool> usable(static_cast<size_t>(mesh.vertexCount));
    for (size_t v = 0; v < usable.size(); ++v) {
        float* p = &mesh.vertices[3 * v];
        usable[v] = IsUsableCoordinate(p[0]) && IsUsableCoordinate(p[1]) && IsUsableCoordinate(p[2]);
        if (!usable[v]) p[0] = p[1] = p[2] = 0.0f;
    }
    return usable;
}

// One face as written: its corner count, ';', the indices separated by ','
// up to the next ';', and the ',' or ';' after the face.
struct FaceText {
    bool complete = false;   // the face's ';' was reached
    bool sound = true;       // every piece was a number
    long long cornerCount = 0;
    std::array<long long, TRIANGLE_CORNERS> indices{};   // the first three
    size_t indexCount = 0;
};

// A piece of a face: a whole integer, or unsound.
void ReadFacePiece(const XToken& token, FaceText& face, long long* out)
{
    if (token.kind != XTokenKind::Number || !ParseNumber(token.text, out)) face.sound = false;
}

FaceText ReadFaceText(XTokenizer& tokens)
{
    FaceText face;
    XToken token = tokens.SkipSeparators();
    if (token.kind != XTokenKind::Number && token.kind != XTokenKind::Name) return face;
    ReadFacePiece(tokens.Next(), face, &face.cornerCount);
    if (!IsSeparator(tokens.Next(), ';')) return face;
    for (;;) {
        token = tokens.Next();
        if (token.kind != XTokenKind::Number && token.kind != XTokenKind::Name) return face;
        long long index = -1;
        ReadFacePiece(token, face, &index);
        if (face.indexCount < TRIANGLE_CORNERS) face.indices[face.indexCount] = index;
        ++face.indexCount;
        token = tokens.Next();
        if (IsSeparator(token, ';')) break;
        if (!IsSeparator(token, ',')) return face;
    }
    face.complete = true;
    if (tokens.Peek().kind == XTokenKind::Separator) tokens.Next();
    return face;
}

// A face that is a triangle whose three indices name usable vertices.
bool ToTriangle(const FaceText& face, const std::vector<bool>& usable, int32_t (&corners)[3])
{
    if (!face.sound || face.indexCount != TRIANGLE_CORNERS) return false;
    if (face.cornerCount != static_cast<long long>(TRIANGLE_CORNERS)) return false;
    for (int c = 0; c < 3; ++c) {
        long long index = face.indices[static_cast<size_t>(c)];
        if (index < 0 || index >= static_cast<long long>(usable.size())) return false;
        if (!usable[static_cast<size_t>(index)]) return false;
        corners[c] = static_cast<int32_t>(index);
    }
    return true;
}

// The faces that are sound triangles; the others are left out. A list cut
// short (by the end of the text or a face that does not end) keeps the faces
// read before it; false then.
bool ReadFaces(XTokenizer& tokens, StageMesh& mesh, int faceCount, const std::vector<bool>& usable)
{
    bool complete = true;
    // Room for no more faces than the rest of the text can hold.
    mesh.indices.reserve(std::min(static_cast<size_t>(faceCount), tokens.Remaining() / MIN_FACE_BYTES) * 3);
    for (int f = 0; f < faceCount; ++f) {
        FaceText face = ReadFaceText(tokens);
        int32_t corners[3];
        if (!face.complete) {
            complete = false;
            break;
        }
        if (ToTriangle(face, usable, corners)) mesh.indices.insert(mesh.indices.end(), corners, corners + 3);
    }
    mesh.indexCount = static_cast<int>(mesh.indices.size());
    return complete;
}

}   // namespace

StageMesh ParseStageMesh(std::string_view text, float scale, const char** problem)
{
    auto refuse = [problem](const char* why) {
        if (problem) *problem = why;
        return StageMesh{};
    };
    if (problem) *problem = nullptr;
    XTokenizer tokens(text);
    if (!FindMeshBlock(tokens)) return refuse(NO_MESH);

    // The vertex list is allocated up front, so a count of more vertices than
    // the rest of the text can hold (three numbers of a byte each and a byte
    // between numbers) is refused before anything is allocated.
    std::optional<int> vertexCount = ReadCount(tokens, MAX_STAGE_VERTICES);
    if (!vertexCount || *vertexCount == 0) return refuse(BAD_VERTEX_COUNT);
    if (static_cast<size_t>(*vertexCount) * 3 > (tokens.Remaining() + 1) / 2)
        return refuse(plat::RefusedFiles::kCutShort);
    StageMesh mesh;
    mesh.vertexCount = *vertexCount;
    mesh.vertices.assign(static_cast<size_t>(mesh.vertexCount) * 3, 0.0f);
    if (!ReadVertices(tokens, mesh, scale)) return refuse(plat::RefusedFiles::kCutShort);
    std::vector<bool> usable = SortOutVertices(mesh);

    std::optional<int> faceCount = ReadCount(tokens, MAX_STAGE_FACES);
    const bool complete = faceCount && ReadFaces(tokens, mesh, *faceCount, usable);
    if (problem && !complete) *problem = plat::RefusedFiles::kCutShort;
    if (problem && !mesh.HasTriangles()) *problem = NO_TRIANGLES;
    return mesh;
}

StageMesh ReadStageMesh(const char* path, float scale)
{
    std::FILE* file = path ? std::fopen(plat::DataPath(path).c_str(), "r") : nullptr;
    if (!file) {
        if (path) plat::RefusedFiles::Report(path, plat::RefusedFiles::WhyCannotOpen());
        std::fputs("FILE NOT FOUND\n", stdout);
        std::fflush(stdout);
        return {};
    }
    std::string text;
    char buffer[1 << 16];
    size_t got = 0;
    while (text.size() < MAX_STAGE_FILE_BYTES && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, std::min(got, MAX_STAGE_FILE_BYTES - text.size()));
    std::fclose(file);
    const char* problem = nullptr;
    StageMesh mesh = ParseStageMesh(text, scale, &problem);
    if (problem) plat::RefusedFiles::Report(path, problem);
    return mesh;
}
