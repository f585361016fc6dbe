#include "game/StageMeshReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "platform/DataRoot.h"
#include "platform/RefusedFiles.h"

namespace {

constexpr size_t TOKEN_MAX_CHARS = 255;   // tokens are read into 256-byte buffers
constexpr size_t LINE_MAX_CHARS = 255;    // and so are the skipped lines
constexpr size_t FACE_PIECES = 4;         // the corner count and three indices
constexpr long long TRIANGLE_CORNERS = 3;
constexpr long long COUNT_SATURATION = 1LL << 40;   // far above any accepted count

constexpr const char* NO_MESH = "no Mesh block";
constexpr const char* BAD_VERTEX_COUNT = "damaged vertex count";
constexpr const char* NO_TRIANGLES = "no usable triangles";

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the file's text the way formatted stream input does: tokens separated
// by white space, decimal integers, and fixed-size line reads.
class TextCursor {
public:
    explicit TextCursor(std::string_view text) : m_text(text) {}

    // The next token of at most 255 characters (a longer run of non-space
    // characters continues as the next token); empty at the end of the text.
    std::string_view NextToken()
    {
        SkipSpace();
        size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]) && m_pos - start < TOKEN_MAX_CHARS) ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    bool SkipToken() { return !NextToken().empty(); }

    // A decimal integer with an optional sign; nothing when no digit follows.
    // Values beyond any sensible count saturate instead of overflowing.
    std::optional<long long> ReadInteger()
    {
        SkipSpace();
        bool negative = false;
        if (m_pos < m_text.size() && (m_text[m_pos] == '-' || m_text[m_pos] == '+')) {
            negative = m_text[m_pos] == '-';
            ++m_pos;
        }
        if (m_pos >= m_text.size() || !IsDigit(m_text[m_pos])) return std::nullopt;
        long long value = 0;
        while (m_pos < m_text.size() && IsDigit(m_text[m_pos])) {
            value = std::min(value * 10 + (m_text[m_pos] - '0'), COUNT_SATURATION);
            ++m_pos;
        }
        return negative ? -value : value;
    }

    // One line read into a 256-byte buffer: up to and including the next line
    // break, or 255 characters, whichever comes first.
    void SkipLine()
    {
        size_t start = m_pos;
        while (m_pos < m_text.size() && m_pos - start < LINE_MAX_CHARS) {
            if (m_text[m_pos++] == '\n') return;
        }
    }

    // The most tokens the rest of the text can still hold: each takes at least
    // one character and all but the last a separator after it.
    long long MaxTokensLeft() const { return static_cast<long long>((m_text.size() - m_pos + 1) / 2); }

private:
    void SkipSpace()
    {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) ++m_pos;
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

// The non-empty pieces of a token split at every ',' and ';'.
std::vector<std::string> SplitPieces(std::string_view token)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i <= token.size(); ++i) {
        if (i == token.size() || token[i] == ',' || token[i] == ';') {
            if (i > start) pieces.emplace_back(token.substr(start, i - start));
            start = i + 1;
        }
    }
    return pieces;
}

// The standard text-to-integer conversion, refusing text with no number in
// front and numbers out of range.
std::optional<long long> ParseInteger(const std::string& piece)
{
    const char* begin = piece.c_str();
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE) return std::nullopt;
    return value;
}

// Finds the "Mesh" token (a template's name and brace are
// skipped with it) and steps over the mesh's optional name and its brace.
bool FindMeshBlock(TextCursor& cursor)
{
    for (;;) {
        std::string_view token = cursor.NextToken();
        if (token.empty()) return false;
        if (token == "Mesh") break;
        if (token == "template") {
            cursor.SkipToken();
            cursor.SkipToken();
        }
    }
    std::string_view token = cursor.NextToken();
    if (token != "{") token = cursor.NextToken();
    return !token.empty();
}

// A count followed by its ";" token; nothing when the count is missing,
// negative or above the limit.
std::optional<int> ReadCount(TextCursor& cursor, int limit)
{
    std::optional<long long> count = cursor.ReadInteger();
    if (!count || *count < 0 || *count > limit) return std::nullopt;
    if (!cursor.SkipToken()) return std::nullopt;
    return static_cast<int>(*count);
}

// A double beyond single precision becomes an infinity of its sign rather
// than an undefined conversion.
float ToFloat(double value)
{
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return std::copysign(std::numeric_limits<float>::infinity(), static_cast<float>(value > 0 ? 1 : -1));
    return static_cast<float>(value);
}

bool IsUsableCoordinate(float value)
{
    return std::isfinite(value) && std::fabs(value) <= MAX_STAGE_COORDINATE;
}

// Every number of every vertex token goes to the next free place of
// the list, in file order. False if the text ends before the last vertex.
bool ReadVertices(TextCursor& cursor, StageMesh& mesh, float scale)
{
    size_t next = 0;
    for (int v = 0; v < mesh.vertexCount; ++v) {
        std::string_view token = cursor.NextToken();
        if (token.empty()) return false;
        for (const std::string& piece : SplitPieces(token)) {
            if (next >= mesh.vertices.size()) break;   // a token with extra numbers
            mesh.vertices[next++] = ToFloat(std::strtod(piece.c_str(), nullptr) * scale);
        }
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

// One face token: a triangle whose three indices name usable vertices.
bool ParseFace(std::string_view token, const std::vector<bool>& usable, int32_t (&corners)[3])
{
    std::vector<std::string> pieces = SplitPieces(token);
    if (pieces.size() < FACE_PIECES) return false;
    std::optional<long long> cornerCount = ParseInteger(pieces[0]);
    if (!cornerCount || *cornerCount != TRIANGLE_CORNERS) return false;
    for (int c = 0; c < 3; ++c) {
        std::optional<long long> index = ParseInteger(pieces[static_cast<size_t>(c) + 1]);
        if (!index || *index < 0 || *index >= static_cast<long long>(usable.size())) return false;
        if (!usable[static_cast<size_t>(*index)]) return false;
        corners[c] = static_cast<int32_t>(*index);
    }
    return true;
}

// The faces that are sound triangles; the others are left out. A
// list cut short by the end of the text keeps the faces read before it;
// false then.
bool ReadFaces(TextCursor& cursor, StageMesh& mesh, int faceCount, const std::vector<bool>& usable)
{
    bool complete = true;
    // Room for no more faces than the rest of the text can hold.
    mesh.indices.reserve(static_cast<size_t>(std::min<long long>(faceCount, cursor.MaxTokensLeft())) * 3);
    for (int f = 0; f < faceCount; ++f) {
        std::string_view token = cursor.NextToken();
        if (token.empty()) {
            complete = false;
            break;
        }
        int32_t corners[3];
        if (!ParseFace(token, usable, corners)) continue;
        mesh.indices.insert(mesh.indices.end(), corners, corners + 3);
    }
    mesh.indexCount = static_cast<int>(mesh.indices.size());
    return complete;
}

}  // namespace

StageMesh ParseStageMesh(std::string_view text, float scale, const char** problem)
{
    auto refuse = [problem](const char* why) {
        if (problem) *problem = why;
        return StageMesh{};
    };
    if (problem) *problem = nullptr;
    TextCursor cursor(text);
    if (!FindMeshBlock(cursor)) return refuse(NO_MESH);

    // The vertex list is allocated up front, so a count of more vertices than
    // the rest of the text can hold is refused before anything is allocated.
    std::optional<int> vertexCount = ReadCount(cursor, MAX_STAGE_VERTICES);
    if (!vertexCount || *vertexCount == 0) return refuse(BAD_VERTEX_COUNT);
    if (*vertexCount > cursor.MaxTokensLeft()) return refuse(plat::RefusedFiles::kCutShort);
    StageMesh mesh;
    mesh.vertexCount = *vertexCount;
    mesh.vertices.assign(static_cast<size_t>(mesh.vertexCount) * 3, 0.0f);
    if (!ReadVertices(cursor, mesh, scale)) return refuse(plat::RefusedFiles::kCutShort);
    std::vector<bool> usable = SortOutVertices(mesh);

    // The rest of the last vertex's line and the one line after it.
    cursor.SkipLine();
    cursor.SkipLine();

    std::optional<int> faceCount = ReadCount(cursor, MAX_STAGE_FACES);
    const bool complete = faceCount && ReadFaces(cursor, mesh, *faceCount, usable);
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
