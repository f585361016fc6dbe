// The stage mesh reader: turns the "Mesh" block of a stage's text X file into
// the arena's collision triangles, cutting the text into tokens with the same
// tokenizer as the X mesh reader. Whatever the file holds, the record it
// returns is safe to hand to the physics engine: every index names a vertex of
// the list, every vertex used is finite, and a file that cannot be used gives
// a record with no triangles (the arena is then absent).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct StageMesh {
    std::vector<float> vertices;   // x, y, z per vertex
    int vertexCount = 0;
    std::vector<int32_t> indices;   // three per triangle
    int indexCount = 0;             // three times the triangle count

    bool HasTriangles() const { return indexCount > 0; }
};

// Bounds that keep a corrupt count or coordinate from reaching the engine. An
// arena has a few thousand vertices about 40 units from the middle.
constexpr int MAX_STAGE_VERTICES = 1 << 20;
constexpr int MAX_STAGE_FACES = 1 << 21;
constexpr float MAX_STAGE_COORDINATE = 1.0e6f;
constexpr size_t MAX_STAGE_FILE_BYTES = size_t{64} << 20;   // the rest of a larger file is not read

// Reads the file at path; coordinates are multiplied by scale. A file that
// cannot be opened writes "FILE NOT FOUND" to standard output; one that
// cannot be used, or only in part, is reported to RefusedFiles.
StageMesh ReadStageMesh(const char* path, float scale);

// The same reading rules applied to the file's contents; *problem, when
// asked, says why the record is empty or only part of the file was used.
StageMesh ParseStageMesh(std::string_view text, float scale, const char** problem = nullptr);
