// The stage mesh reader: its token rules on well-formed arena files, and the
// safe records it returns for broken ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/ArenaCollision.h"
#include "game/StageMeshReader.h"
#include "physics/CODE.h"
#include "physics/ProbeShape.h"
#include "tests/RefusalCapture.h"

namespace {

// A unit square of two triangles in the arena file layout, after a template
// block whose body would otherwise be read as a mesh.
const char* const SQUARE_FILE =
    "xof 0303txt 0032\n"
    "template Mesh {\n"
    " <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n"
    " DWORD nVertices;\n"
    " array Vector vertices[nVertices];\n"
    "}\n"
    "Frame Arena {\n"
    " Mesh ArenaShape {\n"
    "  4;\n"
    "  0.0;0.5;0.0;,\n"
    "  1.0;0.5;0.0;,\n"
    "  1.0;0.5;1.0;,\n"
    "  0.0;0.5;1.0;;\n"
    "\n"
    "  2;\n"
    "  3;0,2,1;,\n"
    "  3;0,3,2;;\n"
    "  MeshNormals {\n  1;\n  0.0;1.0;0.0;;\n  2;\n  3;0,0,0;,\n  3;0,0,0;;\n  }\n"
    " }\n"
    "}\n";

// An arena file from its vertex tokens and face tokens (the separators after
// each token are the caller's).
std::string ArenaText(const std::vector<std::string>& vertices, const std::vector<std::string>& faces,
                      const std::string& vertexCount = "", const std::string& faceCount = "")
{
    std::string text = "Mesh {\n" + (vertexCount.empty() ? std::to_string(vertices.size()) : vertexCount) + ";\n";
    for (const std::string& v : vertices) text += v + "\n";
    text += "\n" + (faceCount.empty() ? std::to_string(faces.size()) : faceCount) + ";\n";
    for (const std::string& f : faces) text += f + "\n";
    return text + "}\n";
}

const std::vector<std::string> TRIANGLE_VERTICES = {"0;0;0;,", "1;0;0;,", "0;0;1;;"};

void ExpectNoTriangles(const StageMesh& mesh)
{
    EXPECT_EQ(mesh.indexCount, 0);
    EXPECT_TRUE(mesh.indices.empty());
    EXPECT_FALSE(mesh.HasTriangles());
}

// Whatever the record holds, every index must name a vertex of the list.
void ExpectConsistent(const StageMesh& mesh)
{
    ASSERT_EQ(mesh.vertices.size(), static_cast<size_t>(mesh.vertexCount) * 3);
    ASSERT_EQ(mesh.indices.size(), static_cast<size_t>(mesh.indexCount));
    ASSERT_EQ(mesh.indexCount % 3, 0);
    for (int32_t index : mesh.indices) {
        EXPECT_GE(index, 0);
        EXPECT_LT(index, mesh.vertexCount);
    }
}

}   // namespace

TEST(StageMeshReader, ReadsTheMeshBlockInFileOrderAndScales)
{
    StageMesh mesh = ParseStageMesh(SQUARE_FILE, 2.0f);
    ExpectConsistent(mesh);
    EXPECT_EQ(mesh.vertexCount, 4);
    EXPECT_EQ(mesh.vertices, (std::vector<float>{0, 1, 0, 2, 1, 0, 2, 1, 2, 0, 1, 2}));
    EXPECT_EQ(mesh.indexCount, 6);
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{0, 2, 1, 0, 3, 2}));
}

// Layouts of one triangle that the X file's token rules read alike.
const std::vector<std::string> TRIANGLE_LAYOUTS = {
    // numbers laid out freely, comments skipped
    "Mesh {3; 0;0;0;, 1;0;0;, // a comment ; 9;\n 0;0;1;; # another\n 1; 3;0,1,2;;}",
    // the face count right after the vertex list, on the same line
    "Mesh Named {\n3;\n0;0;0;,\n1;0;0;,\n0;0;1;; 1;\n3;0,1,2;;\n}\n",
    // a named mesh with a GUID, after a template block holding "Mesh"
    "template Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433> Mesh m; }\n"
    "Mesh Named <3D82AB44-62DA-11CF-AB39-0020AF71E433> {3;0;0;0;,1;0;0;,0;0;1;;1;3;0,1,2;;}",
    // "MeshNormals" is not "Mesh", nor is a "Mesh" that opens no block
    "MeshNormals { 1; } Mesh; Mesh {3;0;0;0;,1;0;0;,0;0;1;;1;3;0,1,2;;}",
};

class StageMeshLayout : public testing::TestWithParam<std::string> {};

TEST_P(StageMeshLayout, ReadsTheOneTriangle)
{
    const char* problem = "unset";
    StageMesh mesh = ParseStageMesh(GetParam(), 1.0f, &problem);
    ExpectConsistent(mesh);
    EXPECT_EQ(problem, nullptr);
    EXPECT_EQ(mesh.vertices, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{0, 1, 2}));
}

INSTANTIATE_TEST_SUITE_P(StageMeshReader, StageMeshLayout, testing::ValuesIn(TRIANGLE_LAYOUTS));

TEST(StageMeshReader, ReadsAFileAndReportsAMissingOne)
{
    std::filesystem::path path = std::filesystem::temp_directory_path() / "spindrel_stage_mesh_test.x";
    std::ofstream(path) << SQUARE_FILE;
    testing::internal::CaptureStdout();
    StageMesh mesh = ReadStageMesh(path.c_str(), 1.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    std::filesystem::remove(path);
    EXPECT_EQ(mesh.vertexCount, 4);
    EXPECT_EQ(mesh.indexCount, 6);

    RefusalCapture capture;
    testing::internal::CaptureStdout();
    mesh = ReadStageMesh(path.c_str(), 1.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FILE NOT FOUND\n");
    EXPECT_TRUE(mesh.vertices.empty());
    ExpectNoTriangles(mesh);
    EXPECT_EQ(capture.WhyRefused(path.string()), "missing");

    // A file cut inside its face list keeps the faces before the cut, and says so.
    const std::string square = SQUARE_FILE;
    std::ofstream(path) << square.substr(0, square.find("3;0,3,2;;"));
    mesh = ReadStageMesh(path.c_str(), 1.0f);
    std::filesystem::remove(path);
    EXPECT_EQ(mesh.indexCount, 3);
    EXPECT_EQ(capture.WhyRefused(path.string()), "cut short");
    EXPECT_EQ(capture.Messages().size(), 2u);
}

TEST(StageMeshReader, BrokenFilesGiveNoTriangles)
{
    const std::vector<std::string> broken = {
        "",
        "xof 0303txt 0032\nFrame Arena { }\n",                       // no "Mesh"
        "template Mesh { }",                                         // "Mesh" only as a template name
        "Mesh {",                                                    // ends after the brace
        "Mesh { abc;\n",                                             // no vertex count
        "Mesh { -3;\n0;0;0;,\n",                                     // negative count
        "Mesh { 0;\n\n\n1;\n3;0,0,0;;\n",                            // no vertices
        "Mesh { 500000;\n0;0;0;,\n",                                 // more vertices than the file holds
        "Mesh { 1000000000;\n0;0;0;,\n",                             // more than any arena has
        "Mesh { 99999999999999999999999;\n",                         // a count beyond every integer type
        "Mesh { 5;\n0;0;0;,\n1;0;0;,\n0;0;1;;\n\n1;\n3;0,1,2;;\n",   // the vertex list ends early
        ArenaText(TRIANGLE_VERTICES, {}, "", "abc"),                 // no face count
        ArenaText(TRIANGLE_VERTICES, {"3;0,1,2;;"}, "", "4000000000"),
    };
    for (const std::string& text : broken) {
        SCOPED_TRACE(text.substr(0, 60));
        StageMesh mesh = ParseStageMesh(text, 1.0f);
        ExpectConsistent(mesh);
        ExpectNoTriangles(mesh);
    }
}

TEST(StageMeshReader, LeavesOutTheFacesThatAreNotSoundTriangles)
{
    std::vector<std::string> vertices = {"0;0;0;,",     "1;0;0;,",   "0;0;1;,",   "nan;0;0;,",
                                         "1e300;0;0;,", "2e6;0;0;,", "0;abc;0;,", "0;1.2.3;0;;"};
    std::vector<std::string> faces = {
        "3;0,1,2;,",     // kept
        "4;0,1,2,0;,",   // a quad
        "3;0,1;,",       // two corners
        "3;0,1,8;,",     // an index past the list
        "3;0,-1,2;,",    // a negative index
        "3;0,1,x;,",     // not a number
        "3;0,1,99999999999999999999;,",
        "3;0,1,3;,",   // a vertex that is not a number
        "3;0,1,4;,",   // a vertex beyond single precision
        "3;0,1,5;,",   // a vertex far outside any arena
        "3;0,1,6;,",   // a vertex with a name for a coordinate
        "3;0,1,7;,",   // a vertex with a malformed number
        "3;2,1,0;;",   // kept
    };
    StageMesh mesh = ParseStageMesh(ArenaText(vertices, faces), 1.0f);
    ExpectConsistent(mesh);
    EXPECT_EQ(mesh.vertexCount, 8);
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{0, 1, 2, 2, 1, 0}));

    // A face list cut short keeps the faces before the cut.
    mesh = ParseStageMesh("Mesh {\n3;\n0;0;0;,\n1;0;0;,\n0;0;1;;\n\n500;\n3;0,1,2;,\n3;0,2,1;,", 1.0f);
    ExpectConsistent(mesh);
    EXPECT_EQ(mesh.indices, (std::vector<int32_t>{0, 1, 2, 0, 2, 1}));
}

TEST(ArenaCollision, BuildsTheMeshOrAStandInThatTouchesNothing)
{
    EXPECT_FALSE(ArenaCollision().Build(ParseStageMesh(SQUARE_FILE, 1.0f))) << "no world yet";

    auto code = std::make_unique<CODE>();
    code->Init();
    ProbeShape probe = ProbeShape::Sphere(0.3);

    ArenaCollision arena;
    ASSERT_TRUE(arena.Build(ParseStageMesh(SQUARE_FILE, 1.0f)));
    EXPECT_TRUE(arena.GetGeom().IsTriangleMesh());
    EXPECT_FALSE(arena.GetGeom().AttachedBody());
    EXPECT_TRUE(arena.GetGeom().IsInCurrentSpace());
    probe.MoveTo(0.5, 0.6, 0.5);
    EXPECT_TRUE(probe.Shape().Touches(arena.GetGeom()));
    probe.MoveTo(3, 0.6, 3);
    EXPECT_FALSE(probe.Shape().Touches(arena.GetGeom()));
    // The surface under a point: on the square (its edge included), and
    // nothing beside it.
    float height = -1;
    EXPECT_TRUE(arena.SurfaceHeight(0.25f, 0.75f, &height));
    EXPECT_FLOAT_EQ(height, 0.5f);
    EXPECT_TRUE(arena.SurfaceHeight(1.0f, 0.5f, &height));
    EXPECT_FALSE(arena.SurfaceHeight(1.5f, 0.5f, &height));

    // A missing arena: a geometry that the touch tests may use and that
    // nothing in play reaches.
    ASSERT_TRUE(arena.Build(ParseStageMesh("no mesh here", 1.0f)));
    ASSERT_TRUE(arena.GetGeom());
    EXPECT_FALSE(arena.HasTriangleData());
    EXPECT_FALSE(arena.SurfaceHeight(0.5f, 0.5f, &height));
    probe.MoveTo(0, 0, 0);
    probe.SetRadius(1000);
    EXPECT_FALSE(probe.Shape().Touches(arena.GetGeom()));

    // Torn down in either order: the arena before the world, or after it.
    ASSERT_TRUE(arena.Build(ParseStageMesh(SQUARE_FILE, 1.0f)));
    arena.Destroy();
    EXPECT_FALSE(arena.GetGeom());
    ASSERT_TRUE(arena.Build(ParseStageMesh(SQUARE_FILE, 1.0f)));
    code.reset();
    arena.Destroy();
    EXPECT_FALSE(arena.HasTriangleData());
}
