// Meshes and textures as the game uses them: what Draw and DrawOutline hand
// the device, per-material textures found from the current directory, and
// the empty objects that missing files leave.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "platform/DeviceResource.h"
#include "platform/Mesh.h"
#include "platform/RecordingDevice.h"
#include "platform/Texture.h"
#include "platform/image/PngWriter.h"

namespace {

namespace fs = std::filesystem;
using Call = plat::RecordingDevice::Call;

const std::string SHARED_X = std::string(SPINDREL_TESTDATA_DIR) + "/x/";

// The real-world files live beside the repository, not in it; a clone
// elsewhere runs without them.
bool HaveSharedFiles() { return std::filesystem::exists(SHARED_X + "test.x"); }

// Three quads, one per material: red with red.png, green with green.png and
// blue naming a picture that does not exist.
const char* const THREE_MATERIALS = R"(xof 0303txt 0032
Material Red { 1.0;0.0;0.0;1.0;; 8.0; 0.2;0.2;0.2;; 0.0;0.0;0.0;; TextureFilename { "tex\\red.png"; } }
Mesh quads {
 6;
 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 2;0;0;, 2;1;0;;
 3;
 4;0,3,2,1;,
 4;1,2,5,4;,
 3;0,3,2;;
 MeshMaterialList {
  3; 3; 0,1,2;;
  { Red }
  Material { 0.0;1.0;0.0;0.5;; 1.0; 0.0;0.0;0.0;; 0.1;0.1;0.1;; TextureFilename { "tex/green.png"; } }
  Material { 0.0;0.0;1.0;1.0;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "tex/missing.png"; } }
 }
}
)";

bool Equal(const plat::ColorF& a, const plat::ColorF& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
bool Equal(const plat::Mat4& a, const plat::Mat4& b)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::abs(a.m[r][c] - b.m[r][c]) > 1e-6f) return false;
    return true;
}

// Changes the current directory for the life of the object.
class ScopedDirectory {
public:
    explicit ScopedDirectory(const fs::path& to) : m_From(fs::current_path()) { fs::current_path(to); }
    ~ScopedDirectory() { fs::current_path(m_From); }

private:
    fs::path m_From;
};

// Hears which device resources die.
class ReleaseLog : public plat::DeviceResourceListener {
public:
    ReleaseLog() { plat::SetDeviceResourceListener(this); }
    ~ReleaseLog() override { plat::SetDeviceResourceListener(nullptr); }
    void ResourceReleased(uint64_t id) override { released.push_back(id); }
    bool Released(uint64_t id) const { return std::find(released.begin(), released.end(), id) != released.end(); }
    std::vector<uint64_t> released;
};

class CXFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitGraphics(&device);
        m_Dir = fs::temp_directory_path() / ("spindrel-cxfile-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_Dir / "tex");
    }
    void TearDown() override
    {
        ReleaseGraphics();
        fs::remove_all(m_Dir);
    }

    void WritePicture(const std::string& name, int w, int h, uint32_t argb)
    {
        std::vector<uint8_t> rgba;
        for (int i = 0; i < w * h; ++i)
            rgba.insert(rgba.end(), {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)});
        ASSERT_TRUE(plat::PngWriter::Write((m_Dir / name).string(), rgba, w, h));
    }
    void WriteText(const std::string& name, const std::string& text) { std::ofstream((m_Dir / name).string()) << text; }
    std::vector<Call> Draws() const
    {
        std::vector<Call> draws;
        for (const Call& c : device.Calls())
            if (c.kind == plat::RecordingDevice::CallKind::DrawSubset) draws.push_back(c);
        return draws;
    }

    plat::RecordingDevice device;
    fs::path m_Dir;
};

}   // namespace

TEST_F(CXFileTest, ThreeMaterialsDrawThreeSubsetsInOrderWithTheirOwnMaterialAndTexture)
{
    WritePicture("tex/red.png", 4, 4, 0xffff0000);
    WritePicture("tex/green.png", 4, 4, 0xff00ff00);
    WriteText("quads.x", THREE_MATERIALS);

    ScopedDirectory in(m_Dir);   // texture names are relative to the current directory
    CXFile mesh("quads.x");
    ASSERT_NE(mesh.GetMesh(), nullptr);
    ASSERT_EQ(mesh.GetMaterialCount(), 3u);
    EXPECT_EQ(mesh.GetMesh()->SubsetCount(), 3);

    mesh.Draw();
    std::vector<Call> draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(draws[i].subset, i);
        EXPECT_EQ(draws[i].mesh, mesh.GetMesh());
        EXPECT_EQ(draws[i].state.texture, mesh.GetTexture(i));
        // Ambient is drawn equal to the diffuse colour.
        EXPECT_TRUE(Equal(draws[i].state.material.ambient, draws[i].state.material.diffuse));
    }
    EXPECT_TRUE(Equal(draws[0].state.material.diffuse, {1, 0, 0, 1}));
    EXPECT_FLOAT_EQ(draws[0].state.material.power, 8.0f);
    EXPECT_FLOAT_EQ(draws[0].state.material.specular.r, 0.2f);
    EXPECT_TRUE(Equal(draws[1].state.material.diffuse, {0, 1, 0, 0.5f}));
    EXPECT_FLOAT_EQ(draws[1].state.material.emissive.g, 0.1f);
    EXPECT_TRUE(Equal(draws[2].state.material.diffuse, {0, 0, 1, 1}));

    // "tex\red.png" (a Windows path) and "tex/green.png" load; the missing picture leaves no texture.
    ASSERT_NE(mesh.GetTexture(0), nullptr);
    ASSERT_NE(mesh.GetTexture(1), nullptr);
    EXPECT_EQ(mesh.GetTexture(2), nullptr);
    EXPECT_EQ(mesh.GetTexture(0)->PixelARGB(1, 1), 0xffff0000u);
    EXPECT_EQ(mesh.GetTexture(1)->PixelARGB(1, 1), 0xff00ff00u);

    // Two quads and a triangle, each face in its own subset.
    const std::vector<plat::MeshSubset>& subsets = mesh.GetMesh()->Subsets();
    EXPECT_EQ(subsets[0].indexCount, 6u);
    EXPECT_EQ(subsets[1].indexCount, 6u);
    EXPECT_EQ(subsets[2].indexCount, 3u);
}

TEST_F(CXFileTest, DrawOutlineDrawsEnlargedBlackBackFacesAndRestoresCullAndWorld)
{
    WriteText("quads.x", THREE_MATERIALS);
    CXFile mesh((m_Dir / "quads.x").string());
    ASSERT_EQ(mesh.GetMaterialCount(), 3u);

    plat::Mat4 world = plat::RotationY(0.5f) * plat::Translation(3, 4, 5);
    device.SetTransform(plat::TransformKind::World, world);
    mesh.DrawOutline(1.05f, world);

    std::vector<Call> draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    plat::Mat4 enlarged = plat::Scaling(1.05f, 1.05f, 1.05f) * world;
    for (int i = 0; i < 3; ++i) {
        const plat::DeviceState& s = draws[i].state;
        EXPECT_EQ(draws[i].subset, i);
        EXPECT_EQ(s.rs.cull, plat::Cull::CW);
        EXPECT_TRUE(Equal(s.world, enlarged));
        EXPECT_EQ(s.texture, nullptr);
        EXPECT_TRUE(Equal(s.material.diffuse, {0, 0, 0, 1}));
        EXPECT_TRUE(Equal(s.material.ambient, {0, 0, 0, 1}));
        EXPECT_TRUE(Equal(s.material.specular, {0, 0, 0, 0}));
        EXPECT_TRUE(Equal(s.material.emissive, {0, 0, 0, 0}));
        EXPECT_EQ(s.material.power, 0.0f);
    }
    EXPECT_EQ(device.State().rs.cull, plat::Cull::CCW);
    EXPECT_TRUE(Equal(device.GetTransform(plat::TransformKind::World), world));
}

TEST_F(CXFileTest, MissingOrBrokenFilesLeaveAnEmptyObjectThatDrawsNothing)
{
    WriteText("broken.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;");
    for (const std::string& path :
         {(m_Dir / "none.x").string(), (m_Dir / "broken.x").string(), SHARED_X + "test_cube_binary.x"}) {
        CXFile mesh(path);
        EXPECT_EQ(mesh.GetMesh(), nullptr) << path;
        EXPECT_EQ(mesh.GetMaterialCount(), 0u);

        plat::Mat4 world = plat::Translation(1, 2, 3);
        device.SetTransform(plat::TransformKind::World, world);
        device.SetCull(plat::Cull::None);
        mesh.Draw();
        mesh.DrawOutline(1.05f, world);
        EXPECT_TRUE(Draws().empty());
        EXPECT_EQ(device.State().rs.cull, plat::Cull::CCW);
        EXPECT_TRUE(Equal(device.GetTransform(plat::TransformKind::World), world));
    }

    // A failed reload empties an object that held a mesh.
    WriteText("quads.x", THREE_MATERIALS);
    CXFile mesh((m_Dir / "quads.x").string());
    ASSERT_NE(mesh.GetMesh(), nullptr);
    EXPECT_FALSE(mesh.Load((m_Dir / "none.x").string()));
    EXPECT_EQ(mesh.GetMesh(), nullptr);
    mesh.Draw();
    EXPECT_TRUE(Draws().empty());
}

TEST_F(CXFileTest, RealExportFindsItsTextureThroughAWindowsPath)
{
    if (!HaveSharedFiles()) GTEST_SKIP() << "no shared test files at " << SHARED_X;
    ScopedDirectory in(SHARED_X);   // test.x names ".\\test.png"
    CXFile mesh("test.x");
    ASSERT_EQ(mesh.GetMaterialCount(), 1u);
    ASSERT_NE(mesh.GetTexture(0), nullptr);
    EXPECT_EQ(mesh.GetTexture(0)->Width(), 512);
}

TEST_F(CXFileTest, TextureReportsTheRoundedSizeAndReleasesTheOldOneOnReload)
{
    WritePicture("wide.png", 200, 100, 0xff808080);
    WritePicture("small.png", 16, 16, 0xff808080);
    ReleaseLog log;

    CTexture texture;
    ASSERT_TRUE(texture.Load((m_Dir / "wide.png").string(), 0));
    EXPECT_EQ(texture.m_Width, 256);
    EXPECT_EQ(texture.m_Height, 128);
    ASSERT_NE(texture.Texture(), nullptr);
    uint64_t first = texture.Texture()->Id();

    ASSERT_TRUE(texture.Load((m_Dir / "small.png").string(), 0));
    EXPECT_TRUE(log.Released(first));
    EXPECT_EQ(texture.m_Width, 16);

    // A failed load releases too, keeps the size and leaves no texture.
    uint64_t second = texture.Texture()->Id();
    EXPECT_FALSE(texture.Load((m_Dir / "missing.png").string(), 0));
    EXPECT_TRUE(log.Released(second));
    EXPECT_EQ(texture.Texture(), nullptr);
    EXPECT_EQ(texture.m_Width, 16);
    EXPECT_EQ(texture.m_Height, 16);
}

TEST_F(CXFileTest, ColourKeyedTextureThroughCTexture)
{
    std::vector<uint8_t> rgba = {0, 0, 0, 255, 255, 255, 255, 255};
    CTexture texture;
    ASSERT_TRUE(texture.LoadPixels(rgba.data(), 2, 1, 0xff000000));
    EXPECT_EQ(texture.Texture()->PixelARGB(0, 0), 0x00000000u);
    EXPECT_EQ(texture.Texture()->PixelARGB(1, 0), 0xffffffffu);
}

TEST_F(CXFileTest, OpaqueOnlyWithFullMaterialAlphaAndOpaqueTextures)
{
    WritePicture("tex/red.png", 4, 4, 0xffff0000);
    WritePicture("tex/green.png", 4, 4, 0xff00ff00);
    WriteText("quads.x", THREE_MATERIALS);
    ScopedDirectory in(m_Dir);
    CXFile mesh("quads.x");
    ASSERT_EQ(mesh.GetMaterialCount(), 3u);

    // The second material is half transparent.
    EXPECT_FALSE(mesh.IsOpaque());
    mesh.Material(1).diffuse.a = 1.0f;
    // Opaque pictures, and a missing one that leaves the subset untextured.
    EXPECT_TRUE(mesh.IsOpaque());
    mesh.Material(2).diffuse.a = std::nanf("");
    EXPECT_FALSE(mesh.IsOpaque());

    // A picture with a see-through pixel.
    WritePicture("tex/green.png", 4, 4, 0x80ffffff);
    CXFile seeThrough("quads.x");
    seeThrough.Material(1).diffuse.a = 1.0f;
    EXPECT_FALSE(seeThrough.IsOpaque());

    EXPECT_FALSE(CXFile().IsOpaque());   // empty
}
