// The X-file reader: real exported files, the structures the game's meshes
// use (frames, fans, normals with their own faces, materials by reference),
// and broken input, which must fail cleanly.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/xfile/XFileReader.h"
#include "platform/xfile/XTokenizer.h"

using plat::Vec3;
using plat::XFileReader;
using plat::XFileStatus;
using plat::XModel;
using plat::XTokenizer;

namespace {

const std::string SHARED_X = std::string(SPINDREL_TESTDATA_DIR) + "/x/";

// The real-world files live beside the repository, not in it; a clone
// elsewhere runs without them.
bool HaveSharedFiles() { return std::filesystem::exists(SHARED_X + "test.x"); }
const std::string HEADER = "xof 0303txt 0032\n";

XFileStatus Read(const std::string& body, XModel* model) { return XFileReader::ReadText(HEADER + body, model); }

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ExpectNear(Vec3 actual, Vec3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

Vec3 Corner(const XModel& m, size_t i) { return m.vertices[m.indices[i]].position; }

// A unit square in the x-y plane with two triangles; {materials} is the
// material list block (or empty).
std::string Square(const std::string& faces, const std::string& extra = "")
{
    return "Mesh sq {\n 4;\n 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n" + faces + "\n" + extra + "}\n";
}

}   // namespace

// ---- real exported files ----

TEST(XFileReaderRealFiles, BlenderCubeIsPlacedByItsFramesWithTheFilesWinding)
{
    if (!HaveSharedFiles()) GTEST_SKIP() << "no shared test files at " << SHARED_X;
    XModel m;
    ASSERT_EQ(XFileReader::ReadFile(SHARED_X + "blender_cube_skinned.x", &m), XFileStatus::Ok);
    ASSERT_EQ(m.indices.size(), 36u);
    ASSERT_EQ(m.subsets.size(), 1u);
    EXPECT_EQ(m.subsets[0].indexCount, 36u);
    EXPECT_TRUE(m.hasTexCoords);

    // The root frame swaps y and z (Blender's z-up to y-up); the first face
    // is written "0,2,1" and keeps that order.
    ExpectNear(Corner(m, 0), {-1, 1, -1});                     // file vertex 0 (-1, -1, 1)
    ExpectNear(Corner(m, 1), {-1, -1, -1});                    // file vertex 2 (-1, -1, -1)
    ExpectNear(Corner(m, 2), {1, -1, -1});                     // file vertex 1 (1, -1, -1)
    ExpectNear(m.vertices[m.indices[0]].normal, {0, 0, -1});   // file normal (0, -1, 0), swapped too

    // Referenced by name from the top-level Material block.
    ASSERT_EQ(m.materials.size(), 1u);
    const plat::Material& mat = m.materials[0].material;
    EXPECT_FLOAT_EQ(mat.diffuse.r, 0.639216f);
    EXPECT_FLOAT_EQ(mat.diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(mat.power, 96.078430f);
    EXPECT_FLOAT_EQ(mat.specular.g, 0.498039f);
    EXPECT_FLOAT_EQ(mat.emissive.b, 0.0f);
    EXPECT_TRUE(m.materials[0].textureFile.empty());
}

TEST(XFileReaderRealFiles, MayaCubeKeepsTexCoordsAndTheTextureNameAsWritten)
{
    if (!HaveSharedFiles()) GTEST_SKIP() << "no shared test files at " << SHARED_X;
    XModel m;
    ASSERT_EQ(XFileReader::ReadFile(SHARED_X + "test.x", &m), XFileStatus::Ok);
    ASSERT_EQ(m.indices.size(), 36u);
    EXPECT_EQ(m.vertices.size(), 24u);   // each (position, normal) pair once
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_EQ(m.materials[0].textureFile, ".\\\\test.png");
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.g, 0.8f);

    // First face "0,3,1", with spaces inside the vertex lines.
    ExpectNear(Corner(m, 0), {-0.820374f, -0.680440f, -0.820374f});
    ExpectNear(Corner(m, 1), {-0.820374f, 0.960307f, -0.820374f});
    ExpectNear(Corner(m, 2), {0.820374f, -0.680440f, -0.820374f});
    const plat::MeshVertex& v3 = m.vertices[m.indices[1]];
    EXPECT_FLOAT_EQ(v3.u, 0.047652f);
    EXPECT_FLOAT_EQ(v3.v, -0.591031f);
}

TEST(XFileReaderRealFiles, BinaryAndCompressedFilesAreRefused)
{
    if (!HaveSharedFiles()) GTEST_SKIP() << "no shared test files at " << SHARED_X;
    XModel m;
    EXPECT_EQ(XFileReader::ReadFile(SHARED_X + "test_cube_binary.x", &m), XFileStatus::Binary);
    EXPECT_EQ(XFileReader::ReadFile(SHARED_X + "test_cube_compressed.x", &m), XFileStatus::Compressed);
    EXPECT_TRUE(m.indices.empty());
    EXPECT_EQ(XFileReader::ReadFile(SHARED_X + "no_such_file.x", &m), XFileStatus::CannotOpen);
    EXPECT_EQ(XFileReader::ReadFile(SHARED_X + "test.png", &m), XFileStatus::NotXFile);
}

// ---- structure ----

TEST(XFileReaderStructure, PolygonsBecomeFansInTheirOwnOrder)
{
    XModel m;
    ASSERT_EQ(Read(Square(" 1;\n 4;0,1,2,3;;"), &m), XFileStatus::Ok);
    ASSERT_EQ(m.indices.size(), 6u);
    ExpectNear(Corner(m, 0), {0, 0, 0});
    ExpectNear(Corner(m, 1), {1, 0, 0});
    ExpectNear(Corner(m, 2), {1, 1, 0});
    ExpectNear(Corner(m, 3), {0, 0, 0});
    ExpectNear(Corner(m, 4), {1, 1, 0});
    ExpectNear(Corner(m, 5), {0, 1, 0});
    // Without MeshNormals the face normal is computed on the front side: the
    // corners run clockwise seen from +z.
    ExpectNear(m.vertices[m.indices[0]].normal, {0, 0, 1});
}

TEST(XFileReaderStructure, ChildFrameTransformAppliesBeforeItsParents)
{
    // Parent: translation by (10, 0, 0). Child: scaling by 2. The matrix may
    // follow the mesh inside its frame.
    std::string text =
        "Frame parent {\n"
        " FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }\n"
        " Frame child {\n" +
        Square(" 1;\n 3;0,1,2;;") +
        "  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }\n"
        " }\n"
        "}\n";
    XModel m;
    ASSERT_EQ(Read(text, &m), XFileStatus::Ok);
    ExpectNear(Corner(m, 1), {12, 0, 0});   // scaled first, then moved
    ExpectNear(Corner(m, 2), {12, 2, 0});
}

TEST(XFileReaderStructure, NormalsWithTheirOwnFacesSplitSharedPositions)
{
    // Two triangles share the edge 0-2; the second uses another normal at 0.
    std::string normals = "MeshNormals {\n 2;\n 0;0;-1;, 0;1;0;;\n 2;\n 3;0,0,0;,\n 3;1,0,0;;\n}\n";
    XModel m;
    ASSERT_EQ(Read(Square(" 2;\n 3;0,1,2;,\n 3;0,2,3;;", normals), &m), XFileStatus::Ok);
    ASSERT_EQ(m.indices.size(), 6u);
    EXPECT_NE(m.indices[0], m.indices[3]);   // position 0 with two normals: two vertices
    EXPECT_EQ(m.indices[2], m.indices[4]);   // position 2 with one normal: shared
    ExpectNear(m.vertices[m.indices[0]].normal, {0, 0, -1});
    ExpectNear(m.vertices[m.indices[3]].normal, {0, 1, 0});
}

TEST(XFileReaderStructure, MaterialsInlineAndByNameMakeSubsetsInListOrder)
{
    std::string materials =
        "Material Red { 1;0;0;1;; 5; 0.5;0.5;0.5;; 0;0;0;; }\n"
        "Material Blue { 0;0;1;1;; 0; 0;0;0;; 0;0;0.25;; TextureFileName { \"blue.png\"; } }\n";
    std::string list =
        "MeshMaterialList {\n 3;\n 3;\n 2,0,1;;\n"
        " { Blue }\n"
        " Red\n"
        " Material { 0;1;0;0.5;; 1; 0;0;0;; 0;0;0;; TextureFilename { \"green.bmp\"; } }\n"
        "}\n";
    std::string faces = " 3;\n 3;0,1,2;,\n 3;0,2,3;,\n 3;1,2,3;;";
    XModel m;
    ASSERT_EQ(Read(materials + Square(faces, list), &m), XFileStatus::Ok);
    ASSERT_EQ(m.materials.size(), 3u);
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(m.materials[0].material.emissive.b, 0.25f);
    EXPECT_EQ(m.materials[0].textureFile, "blue.png");
    EXPECT_FLOAT_EQ(m.materials[1].material.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(m.materials[1].material.power, 5.0f);
    EXPECT_FLOAT_EQ(m.materials[1].material.specular.r, 0.5f);
    EXPECT_FLOAT_EQ(m.materials[2].material.diffuse.a, 0.5f);
    EXPECT_EQ(m.materials[2].textureFile, "green.bmp");

    // Face 1 (0,2,3) is material 0, face 2 (1,2,3) material 1, face 0 material 2.
    ASSERT_EQ(m.subsets.size(), 3u);
    for (const plat::MeshSubset& s : m.subsets) EXPECT_EQ(s.indexCount, 3u);
    EXPECT_EQ(m.subsets[1].firstIndex, 3u);
    ExpectNear(Corner(m, 0), {0, 0, 0});
    ExpectNear(Corner(m, 1), {1, 1, 0});
    ExpectNear(Corner(m, 3), {1, 0, 0});
    ExpectNear(Corner(m, 6), {0, 0, 0});
    ExpectNear(Corner(m, 7), {1, 0, 0});
}

TEST(XFileReaderStructure, MeshesMergeWithTheirMaterialsInFileOrder)
{
    std::string second =
        "Mesh second {\n 3;\n 5;0;0;, 6;0;0;, 6;1;0;;\n 2;\n 3;0,1,2;,\n 3;2,1,0;;\n"
        " MeshMaterialList { 2; 2; 0,1;; Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }"
        " Material { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; } }\n}\n";
    XModel m;
    ASSERT_EQ(Read(Square(" 1;\n 3;0,1,2;;") + second, &m), XFileStatus::Ok);
    ASSERT_EQ(m.materials.size(), 3u);   // the first mesh has no list: one white material
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(m.materials[1].material.diffuse.g, 0.0f);
    ASSERT_EQ(m.subsets.size(), 3u);
    ExpectNear(Corner(m, 3), {5, 0, 0});
    ExpectNear(Corner(m, 6), {6, 1, 0});   // the second mesh's second face, reversed
}

TEST(XFileReaderStructure, VertexColorsCommentsAndDoublePrecisionHeader)
{
    std::string text =
        "xof 0302txt 0064\n"
        "// a comment { with braces }\n"
        "# another one\n" +
        Square(" 1;\n 3;0,1,2;;",
               "MeshVertexColors { 2; 1; 1.0;0.0;0.0;1.0;;, 7; 0;1;0;1;;; }\n"
               "MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }\n");
    XModel m;
    ASSERT_EQ(XFileReader::ReadText(text, &m), XFileStatus::Ok);
    EXPECT_TRUE(m.hasColors);
    EXPECT_EQ(m.vertices[m.indices[0]].color, 0xffffffffu);
    EXPECT_EQ(m.vertices[m.indices[1]].color, 0xffff0000u);
    EXPECT_FLOAT_EQ(m.vertices[m.indices[2]].u, 1.0f);
    EXPECT_FLOAT_EQ(m.vertices[m.indices[2]].v, 1.0f);
}

TEST(XFileReaderStructure, FacesWithBadIndicesOrMaterialsAreDropped)
{
    XModel m;
    ASSERT_EQ(Read(Square(" 3;\n 3;0,1,9;,\n 3;0,2,3;,\n 2;0,1;;"), &m), XFileStatus::Ok);
    EXPECT_EQ(m.indices.size(), 3u);

    std::string list = "MeshMaterialList { 1; 2; 0, 5;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }\n";
    ASSERT_EQ(Read(Square(" 2;\n 3;0,1,2;,\n 3;0,2,3;;", list), &m), XFileStatus::Ok);
    EXPECT_EQ(m.indices.size(), 3u);
    EXPECT_EQ(m.materials.size(), 1u);

    EXPECT_EQ(Read(Square(" 1;\n 3;7,8,9;;"), &m), XFileStatus::NoGeometry);
    EXPECT_EQ(Read("template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; }\n", &m),
              XFileStatus::NoGeometry);
}

// ---- broken input ----

TEST(XFileReaderBrokenInput, EveryTruncationOfARealFileFailsCleanly)
{
    if (!HaveSharedFiles()) GTEST_SKIP() << "no shared test files at " << SHARED_X;
    std::string text = ReadWhole(SHARED_X + "test.x");
    size_t lastBrace = text.rfind('}');
    ASSERT_NE(lastBrace, std::string::npos);
    XModel m;
    for (size_t length = 0; length < lastBrace; length += 7)
        EXPECT_NE(XFileReader::ReadText(std::string_view(text).substr(0, length), &m), XFileStatus::Ok) << length;
    EXPECT_TRUE(m.indices.empty());
}

TEST(XFileReaderBrokenInput, HugeCountsFailWithoutHugeAllocations)
{
    XModel m;
    EXPECT_EQ(Read("Mesh { 4294967295; 0;0;0;, 1;1;1;; 1; 3;0,1,2;; }", &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read(Square(" 4000000000;\n 3;0,1,2;;"), &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read(Square(" 1;\n 4294967295;0,1,2;;"), &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Mesh { 99999999999999999999; }", &m), XFileStatus::SyntaxError);
    // A material list that declares billions of materials gives only what its faces use.
    std::string list = "MeshMaterialList { 4294967295; 1; 4294967294;; }\n";
    EXPECT_EQ(Read(Square(" 1;\n 3;0,1,2;;", list), &m), XFileStatus::NoGeometry);
    list = "MeshMaterialList { 4294967295; 1; 0;; }\n";
    ASSERT_EQ(Read(Square(" 1;\n 3;0,1,2;;", list), &m), XFileStatus::Ok);
    EXPECT_EQ(m.materials.size(), 1u);
}

TEST(XFileReaderBrokenInput, UnbalancedBracesAndDeepNestingFailCleanly)
{
    XModel m;
    std::string square = Square(" 1;\n 3;0,1,2;;");
    EXPECT_EQ(Read(square + "}\n", &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Frame f {\n" + square, &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Unknown {\n { { }\n" + square, &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Unknown { \"unterminated }\n" + square, &m), XFileStatus::SyntaxError);

    // Far deeper than any real file: neither the skipper nor the frame parser may recurse without bound.
    const int deep = 200000;
    EXPECT_EQ(Read("Unknown " + std::string(deep, '{') + std::string(deep, '}') + square, &m), XFileStatus::Ok);
    std::string frames;
    for (int i = 0; i < deep; ++i) frames += "Frame {";
    EXPECT_EQ(Read(frames, &m), XFileStatus::SyntaxError);
}

TEST(XFileReaderBrokenInput, MalformedHeadersAndNumbersAreRefused)
{
    XModel m;
    EXPECT_EQ(XFileReader::ReadText("", &m), XFileStatus::NotXFile);
    EXPECT_EQ(XFileReader::ReadText("xof 0303", &m), XFileStatus::NotXFile);
    EXPECT_EQ(XFileReader::ReadText("xof 0303txt 0016\n" + Square(" 1;\n 3;0,1,2;;"), &m), XFileStatus::NotXFile);
    EXPECT_EQ(XFileReader::ReadText("xof 0303bin 0032\x01\x00\x02", &m), XFileStatus::Binary);
    EXPECT_EQ(XFileReader::ReadText("xof 0303tzip0032xxxx", &m), XFileStatus::Compressed);
    EXPECT_EQ(Read("Mesh { 3; 0;0;0;, 1.#QNAN0;0;0;, 1;1;0;; 1; 3;0,1,2;; }", &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Mesh { 3; 0;0;0;, 1e39;0;0;, 1;1;0;; 1; 3;0,1,2;; }", &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Mesh { 3; 0;0;0;, -nan;0;0;, 1;1;0;; 1; 3;0,1,2;; }", &m), XFileStatus::SyntaxError);
    EXPECT_EQ(Read("Mesh { 3; 0;0;0;, 1;0;0;, 1;1;0;; 1; 3;0,-1,2;; }", &m), XFileStatus::SyntaxError);
}

// Numbers are read without from_chars where that is exact; every form a
// writer may use must still give the very float from_chars gives.
TEST(XFileReaderNumbers, EveryDecimalFormReadsAsTheStandardLibraryReadsIt)
{
    std::vector<std::string> texts = {"0", "-0", "-0.000000", "+1.5", "1.", ".5", "-.25", "16777216", "16777217",
                                      "99999999", "100000000", "0.0000000001", "0.00000000001", "1.23456789",
                                      "1e3", "-1E-3", "12345678.9", "3.4028235e38", "0.1", "-2.062826"};
    uint32_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        const double value = (static_cast<double>(state) / 4294967296.0 - 0.5) * std::pow(10.0, i % 9 - 3);
        char text[64];
        std::snprintf(text, sizeof text, i % 2 ? "%.6f" : "%.9g", value);
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        std::string_view digits = text;
        if (digits[0] == '+') digits.remove_prefix(1);
        float expected = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), expected);
        float read = 0;
        const std::string field = text + ";";
        XTokenizer tokens(field);
        ASSERT_TRUE(tokens.ReadFloat(&read)) << text;
        EXPECT_EQ(std::bit_cast<uint32_t>(read), std::bit_cast<uint32_t>(expected)) << text;
    }
}
