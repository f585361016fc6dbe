// Render smoke tests of the OpenGL device on an offscreen context: known
// things are drawn and the back buffer is read back, checking positions and
// colours within a tolerance (drivers differ, so never exact images). Also
// the window's event pump, the key source and the freeing of GL objects when
// textures and meshes die.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "gfx/Graphics.h"
#include "platform/LineBatch.h"
#include "platform/Mesh.h"
#include "platform/SpriteBatch.h"
#include "platform/Texture.h"
#include "platform/gl/GLRenderDevice.h"
#include "platform/gl/ShownPicture.h"
#include "platform/sdl/SdlKeySource.h"
#include "platform/sdl/SdlWindow.h"
#include "tests/Sanitized.h"

namespace {

using plat::ARGB;
using plat::Vertex;

constexpr int kTolerance = 3;   // per channel, out of 255
constexpr uint32_t kOpaqueBlack = 0xff000000;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

int Channel(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected, int tolerance = kTolerance)
{
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual << ", expected " << expected;
}

// An opaque-RGBA picture of one colour per pixel, given as a function of x, y.
template <typename F>
std::vector<uint8_t> Picture(int w, int h, F argbAt)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = argbAt(x, y);
            uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(c >> 16);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c);
            p[3] = static_cast<uint8_t>(c >> 24);
        }
    return rgba;
}

std::unique_ptr<plat::Texture> SolidTexture(uint32_t argb)
{
    auto t = std::make_unique<plat::Texture>();
    auto pixels = Picture(4, 4, [&](int, int) { return argb; });
    EXPECT_TRUE(t->LoadFromPixels(pixels.data(), 4, 4, 0));
    return t;
}

// A rectangle of back-buffer pixels as two triangles, clockwise on screen.
std::vector<Vertex> ScreenQuad(float x0, float y0, float x1, float y1, float z, uint32_t color)
{
    auto v = [&](float x, float y, float u, float tv) {
        Vertex r;
        r.position = {x, y, z};
        r.color = color;
        r.u = u;
        r.v = tv;
        return r;
    };
    return {v(x0, y0, 0, 0), v(x1, y0, 1, 0), v(x1, y1, 1, 1), v(x0, y0, 0, 0), v(x1, y1, 1, 1), v(x0, y1, 0, 1)};
}

// A square of half-size s in the plane z = depth facing -z (towards a camera
// on the -z side), clockwise as that camera sees it.
std::vector<Vertex> WorldQuad(float s, float depth, uint32_t color)
{
    auto v = [&](float x, float y) {
        Vertex r;
        r.position = {x, y, depth};
        r.normal = {0, 0, -1};
        r.color = color;
        return r;
    };
    return {v(-s, s), v(s, s), v(s, -s), v(-s, s), v(s, -s), v(-s, -s)};
}

class GLRenderDeviceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_window = std::make_unique<plat::SdlWindow>();
        if (!s_window->Create(plat::WindowMode::Offscreen)) {
            s_window.reset();
            s_whyNoWindow = "no offscreen OpenGL 3.3 context on this machine (see standard error)";
        }
    }
    static void TearDownTestSuite() { s_window.reset(); }

    void SetUp() override
    {
        if (!s_window) GTEST_SKIP() << s_whyNoWindow;
        device = &s_window->Device();
        device->RestoreState(plat::DeviceState{});
        device->BeginScene();
        device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    }

    void TearDown() override
    {
        if (device) {
            EXPECT_EQ(device->TakeGLError(), 0u) << "a GL call was rejected";
        }
    }

    Rgb At(int x, int y)
    {
        if (m_Pixels.empty()) m_Pixels = device->ReadBackBuffer();
        const uint8_t* p = &m_Pixels[(static_cast<size_t>(y) * plat::BACK_BUFFER_WIDTH + x) * 4];
        return {p[0], p[1], p[2]};
    }
    void Reread() { m_Pixels.clear(); }

    void Draw(const std::vector<Vertex>& v, uint32_t flags)
    {
        device->DrawUser(plat::Primitive::TriangleList, v.data(), static_cast<int>(v.size()), flags);
        Reread();
    }
    void DrawScreen(const std::vector<Vertex>& v) { Draw(v, plat::VF_SCREEN | plat::VF_COLOR | plat::VF_TEXCOORD); }

    // Camera at (0, 0, -10) looking at the origin, 90 degree field of view.
    void LookFromMinusZ(float zNear = 1.0f)
    {
        device->SetTransform(plat::TransformKind::World, plat::Mat4::Identity());
        device->SetTransform(plat::TransformKind::View, plat::LookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0}));
        device->SetTransform(plat::TransformKind::Projection,
                             plat::PerspectiveFovLH(plat::PI / 2, 640.0f / 480.0f, zNear, 100.0f));
    }

    // Lit pixels (any channel above a threshold) along a row or a column.
    int LitRun(int fixed, bool row)
    {
        int count = 0;
        int length = row ? plat::BACK_BUFFER_WIDTH : plat::BACK_BUFFER_HEIGHT;
        for (int i = 0; i < length; ++i) {
            Rgb c = row ? At(i, fixed) : At(fixed, i);
            if (c.r > 64 || c.g > 64 || c.b > 64) ++count;
        }
        return count;
    }

    static std::unique_ptr<plat::SdlWindow> s_window;
    static std::string s_whyNoWindow;
    plat::GLRenderDevice* device = nullptr;

private:
    std::vector<uint8_t> m_Pixels;
};

std::unique_ptr<plat::SdlWindow> GLRenderDeviceTest::s_window;
std::string GLRenderDeviceTest::s_whyNoWindow;

}   // namespace

TEST_F(GLRenderDeviceTest, ClearTouchesOnlyTheViewportCountedFromTheTop)
{
    device->Clear(plat::CLEAR_TARGET, ARGB(255, 200, 0, 0), 1.0f);
    device->SetViewport({100, 50, 200, 100, 0, 1});
    device->Clear(plat::CLEAR_TARGET, ARGB(255, 0, 200, 0), 1.0f);

    EXPECT_TRUE(Near(At(100, 50), {0, 200, 0}));    // the viewport's top-left pixel
    EXPECT_TRUE(Near(At(299, 149), {0, 200, 0}));   // and its bottom-right one
    EXPECT_TRUE(Near(At(99, 50), {200, 0, 0}));
    EXPECT_TRUE(Near(At(100, 49), {200, 0, 0}));
    EXPECT_TRUE(Near(At(300, 100), {200, 0, 0}));
    EXPECT_TRUE(Near(At(150, 150), {200, 0, 0}));
    EXPECT_TRUE(Near(At(150, 400), {200, 0, 0}));   // the mirror image of the viewport stays untouched
    // The back buffer has no alpha of its own: every pixel reads opaque.
    EXPECT_EQ(device->ReadBackBuffer()[3], 255);
}

TEST_F(GLRenderDeviceTest, SpriteLandsWhereItsTransformPutsItAndBlendsByItsAlpha)
{
    device->Clear(plat::CLEAR_TARGET, ARGB(255, 0, 0, 255), 1.0f);
    auto white = SolidTexture(0xffffffff);
    plat::SpriteBatch sprite(*device);
    sprite.Begin();
    sprite.SetTransform(plat::Translation(200, 100, 0));
    sprite.Draw(white.get(), {0, 0, 64, 32}, ARGB(128, 255, 0, 0));   // the white texels repeat
    sprite.End();
    Reread();

    const Rgb blended{128, 0, 127};
    EXPECT_TRUE(Near(At(230, 115), blended));
    EXPECT_TRUE(Near(At(200, 100), blended));
    EXPECT_TRUE(Near(At(263, 131), blended));
    EXPECT_TRUE(Near(At(199, 115), {0, 0, 255}));
    EXPECT_TRUE(Near(At(264, 115), {0, 0, 255}));
    EXPECT_TRUE(Near(At(230, 99), {0, 0, 255}));
    EXPECT_TRUE(Near(At(230, 132), {0, 0, 255}));
}

TEST_F(GLRenderDeviceTest, SpriteShowsItsSourceRectangleUpright)
{
    // Left half red, right half green, top row of each half brighter.
    plat::Texture texture;
    auto pixels = Picture(4, 4, [](int x, int) { return x < 2 ? ARGB(255, 255, 0, 0) : ARGB(255, 0, 255, 0); });
    ASSERT_TRUE(texture.LoadFromPixels(pixels.data(), 4, 4, 0));
    plat::SpriteBatch sprite(*device);
    sprite.Begin();
    sprite.SetTransform(plat::Scaling(16, 16, 1) * plat::Translation(300, 200, 0));
    sprite.Draw(&texture, {0, 0, 4, 4}, 0xffffffff);
    // The right half alone, below it: the source rectangle picks texels.
    sprite.SetTransform(plat::Scaling(16, 16, 1) * plat::Translation(300, 300, 0));
    sprite.Draw(&texture, {2, 0, 4, 4}, 0xffffffff);
    sprite.End();
    Reread();

    EXPECT_TRUE(Near(At(308, 232), {255, 0, 0}));
    EXPECT_TRUE(Near(At(340, 232), {0, 255, 0}));
    EXPECT_TRUE(Near(At(310, 332), {0, 255, 0}));
    EXPECT_TRUE(Near(At(318, 332), {0, 255, 0}));
    EXPECT_TRUE(Near(At(340, 332), {0, 0, 0}));   // the half-width copy ends at x = 332
}

// Drawn at half its size, a texture shows its next level: one-pixel black
// and white checks turn an even grey (the levels are uploaded with it).
TEST_F(GLRenderDeviceTest, TextureDrawnAtHalfSizeShowsItsNextLevel)
{
    plat::Texture texture;
    auto checks = Picture(64, 64, [](int x, int y) { return (x + y) % 2 ? ARGB(255, 255, 255, 255) : kOpaqueBlack; });
    ASSERT_TRUE(texture.LoadFromPixels(checks.data(), 64, 64, 0));
    device->SetTexture(&texture);
    DrawScreen(ScreenQuad(100, 100, 132, 132, 0, 0xffffffff));
    device->SetTexture(nullptr);
    for (int y : {104, 116, 127})
        for (int x : {104, 117, 128}) EXPECT_TRUE(Near(At(x, y), {128, 128, 128})) << x << ", " << y;
}

TEST_F(GLRenderDeviceTest, LitColourFollowsTheLightingFormula)
{
    LookFromMinusZ();
    plat::Light light;
    light.enabled = true;
    light.direction = {0, -0.6f, 0.8f};   // N . -direction = 0.8 for a face looking down -z
    light.diffuse = {0.8f, 0.6f, 0.4f, 1};
    light.ambient = {0.1f, 0.1f, 0.1f, 1};
    light.specular = {0.2f, 0.2f, 0.2f, 1};
    plat::Material mat;
    mat.diffuse = {0.5f, 0.5f, 0.75f, 1};
    mat.ambient = {0.5f, 0.5f, 0.5f, 1};
    mat.emissive = {0.1f, 0, 0.05f, 1};
    mat.specular = {1, 0.5f, 0, 1};
    mat.power = 0;   // (N . H)^0 = 1: the highlight is flat across the face
    device->SetLight(light);
    device->SetMaterial(mat);
    device->SetAmbient(ARGB(0, 0x33, 0x33, 0x33));   // 0.2
    device->SetLighting(true);

    auto expected = [&](bool lightOn, bool specular) {
        float c[3];
        const float md[3] = {mat.diffuse.r, mat.diffuse.g, mat.diffuse.b};
        const float ma[3] = {mat.ambient.r, mat.ambient.g, mat.ambient.b};
        const float me[3] = {mat.emissive.r, mat.emissive.g, mat.emissive.b};
        const float ms[3] = {mat.specular.r, mat.specular.g, mat.specular.b};
        const float ld[3] = {light.diffuse.r, light.diffuse.g, light.diffuse.b};
        const float la[3] = {light.ambient.r, light.ambient.g, light.ambient.b};
        const float ls[3] = {light.specular.r, light.specular.g, light.specular.b};
        for (int i = 0; i < 3; ++i) {
            c[i] = me[i] + 0.2f * ma[i];
            if (lightOn) c[i] += la[i] * ma[i] + ld[i] * md[i] * 0.8f;
            c[i] = std::min(c[i], 1.0f);
            if (lightOn && specular) c[i] = std::min(c[i] + ls[i] * ms[i], 1.0f);
        }
        return Rgb{Channel(c[0]), Channel(c[1]), Channel(c[2])};
    };

    // Vertex colours play no part in lit drawing.
    Draw(WorldQuad(3, 0, ARGB(255, 0, 0, 255)), plat::VF_NORMAL | plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), expected(true, false)));

    device->SetSpecular(true);
    Draw(WorldQuad(3, 0, 0xffffffff), plat::VF_NORMAL);
    EXPECT_TRUE(Near(At(320, 240), expected(true, true)));

    device->SetSpecular(false);
    light.enabled = false;
    device->SetLight(light);
    Draw(WorldQuad(3, 0, 0xffffffff), plat::VF_NORMAL);
    EXPECT_TRUE(Near(At(320, 240), expected(false, false)));

    // A face turned away from the light gets no diffuse part.
    light.enabled = true;
    light.direction = {0, 0, -1};
    device->SetLight(light);
    Draw(WorldQuad(3, 0, 0xffffffff), plat::VF_NORMAL);
    // emissive + light ambient x material ambient + global ambient x material ambient
    const Rgb ambientOnly{Channel(0.1f + 0.05f + 0.1f), Channel(0.05f + 0.1f), Channel(0.05f + 0.05f + 0.1f)};
    EXPECT_TRUE(Near(At(320, 240), ambientOnly));
}

TEST_F(GLRenderDeviceTest, LitAlphaIsTheMaterialDiffuseAlpha)
{
    LookFromMinusZ();
    device->Clear(plat::CLEAR_TARGET, ARGB(255, 0, 0, 200), 1.0f);
    plat::Material mat;
    mat.emissive = {1, 1, 0, 1};   // yellow whatever the light
    mat.diffuse = {0, 0, 0, 0.25f};
    device->SetMaterial(mat);
    device->SetAlphaBlend(true);
    device->SetBlend(plat::Blend::SrcAlpha, plat::Blend::InvSrcAlpha);
    device->SetTextureStage({plat::TexOp::Modulate, plat::TexArg::Texture, plat::TexArg::Diffuse, plat::TexOp::Modulate,
                             plat::TexArg::Texture, plat::TexArg::Diffuse});
    Draw(WorldQuad(3, 0, 0xffffffff), plat::VF_NORMAL | plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), {64, 64, 150}));
}

TEST_F(GLRenderDeviceTest, UnlitDrawsTakeTheVertexColourOrWhite)
{
    LookFromMinusZ();
    device->SetLighting(false);
    Draw(WorldQuad(1, 0, ARGB(255, 10, 120, 230)), plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), {10, 120, 230}));
    Draw(WorldQuad(1, 0, ARGB(255, 10, 120, 230)), 0);
    EXPECT_TRUE(Near(At(320, 240), {255, 255, 255}));
}

TEST_F(GLRenderDeviceTest, TextureStageOperationsCombineTextureAndDiffuse)
{
    auto texture = SolidTexture(ARGB(255, 200, 100, 0));
    device->SetTexture(texture.get());
    const uint32_t diffuse = ARGB(255, 0, 100, 255);
    struct Case {
        plat::TexOp op;
        Rgb expected;
    } cases[] = {
        {plat::TexOp::Modulate, {0, 39, 0}},      {plat::TexOp::SelectArg1, {200, 100, 0}},
        {plat::TexOp::SelectArg2, {0, 100, 255}}, {plat::TexOp::Add, {200, 200, 255}},
        {plat::TexOp::Disable, {0, 100, 255}},
    };
    for (const Case& c : cases) {
        device->SetTextureStage({c.op, plat::TexArg::Texture, plat::TexArg::Diffuse, plat::TexOp::SelectArg1,
                                 plat::TexArg::Texture, plat::TexArg::Diffuse});
        DrawScreen(ScreenQuad(10, 10, 50, 50, 0, diffuse));
        EXPECT_TRUE(Near(At(30, 30), c.expected)) << "operation " << static_cast<int>(c.op);
    }
    // "Current" on stage 0 is the diffuse colour.
    device->SetTextureStage({plat::TexOp::SelectArg1, plat::TexArg::Current, plat::TexArg::Texture,
                             plat::TexOp::SelectArg1, plat::TexArg::Texture, plat::TexArg::Diffuse});
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0, diffuse));
    EXPECT_TRUE(Near(At(30, 30), {0, 100, 255}));
}

TEST_F(GLRenderDeviceTest, CounterClockwiseCullingKeepsTrianglesClockwiseOnScreen)
{
    const uint32_t white = 0xffffffff;
    auto tri = [&](std::initializer_list<plat::Vec3> corners) {
        std::vector<Vertex> v;
        for (plat::Vec3 p : corners) {
            Vertex x;
            x.position = p;
            x.color = white;
            v.push_back(x);
        }
        return v;
    };
    // In pixels (y down): top-left, top-right, bottom-left is clockwise on screen.
    auto clockwise = tri({{100, 100, 0}, {200, 100, 0}, {100, 200, 0}});
    auto counter = tri({{300, 100, 0}, {300, 200, 0}, {400, 100, 0}});
    // The same in the world, seen by a camera looking down +z with y up.
    auto worldClockwise = tri({{-5, -1, 0}, {-3, -1, 0}, {-5, -3, 0}});
    auto worldCounter = tri({{3, -1, 0}, {3, -3, 0}, {5, -1, 0}});

    struct Case {
        plat::Cull cull;
        bool clockwiseShown, counterShown;
    } cases[] = {{plat::Cull::CCW, true, false}, {plat::Cull::CW, false, true}, {plat::Cull::None, true, true}};
    for (const Case& c : cases) {
        device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
        device->SetCull(c.cull);
        device->SetLighting(false);
        Draw(clockwise, plat::VF_SCREEN | plat::VF_COLOR);
        Draw(counter, plat::VF_SCREEN | plat::VF_COLOR);
        LookFromMinusZ();
        Draw(worldClockwise, plat::VF_COLOR);
        Draw(worldCounter, plat::VF_COLOR);
        const int cullMode = static_cast<int>(c.cull);
        EXPECT_EQ(At(120, 120).r > 128, c.clockwiseShown) << "screen, cull mode " << cullMode;
        EXPECT_EQ(At(320, 120).r > 128, c.counterShown) << "screen, cull mode " << cullMode;
        // World (-4.5, -1.5) and (3.5, -1.5) at distance 10 with a 90 degree view.
        EXPECT_EQ(At(212, 276).r > 128, c.clockwiseShown) << "world, cull mode " << cullMode;
        EXPECT_EQ(At(404, 276).r > 128, c.counterShown) << "world, cull mode " << cullMode;
    }
}

TEST_F(GLRenderDeviceTest, DepthTestWriteAndClearDepth)
{
    const uint32_t red = ARGB(255, 255, 0, 0), green = ARGB(255, 0, 255, 0);
    DrawScreen(ScreenQuad(10, 10, 110, 110, 0.3f, red));
    DrawScreen(ScreenQuad(60, 60, 160, 160, 0.6f, green));
    EXPECT_TRUE(Near(At(80, 80), {255, 0, 0}));   // nearer one stays in front
    EXPECT_TRUE(Near(At(140, 140), {0, 255, 0}));

    device->SetDepthTest(false);
    DrawScreen(ScreenQuad(60, 60, 160, 160, 0.6f, green));
    EXPECT_TRUE(Near(At(80, 80), {0, 255, 0}));

    device->SetDepthTest(true);
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    device->SetDepthWrite(false);
    DrawScreen(ScreenQuad(10, 10, 110, 110, 0.3f, red));
    device->SetDepthWrite(true);
    DrawScreen(ScreenQuad(60, 60, 160, 160, 0.6f, green));
    EXPECT_TRUE(Near(At(80, 80), {0, 255, 0}));   // the first left no depth behind

    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 0.5f);
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0.6f, red));
    DrawScreen(ScreenQuad(60, 10, 100, 50, 0.4f, green));
    EXPECT_TRUE(Near(At(30, 30), {0, 0, 0}));   // behind the cleared depth
    EXPECT_TRUE(Near(At(80, 30), {0, 255, 0}));
}

TEST_F(GLRenderDeviceTest, PerspectiveDepthOrdersByDistanceAndClipsAtTheNearPlane)
{
    device->SetLighting(false);
    LookFromMinusZ(1.0f);
    const uint32_t red = ARGB(255, 255, 0, 0), green = ARGB(255, 0, 255, 0);
    // Far first, then near; then near first, then far: near wins both ways.
    Draw(WorldQuad(30, 10, green), plat::VF_COLOR);
    Draw(WorldQuad(2, 0, red), plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), {255, 0, 0}));
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    Draw(WorldQuad(2, 0, red), plat::VF_COLOR);
    Draw(WorldQuad(30, 10, green), plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), {255, 0, 0}));
    EXPECT_TRUE(Near(At(320, 50), {0, 255, 0}));

    // Three quarters of a unit from the eye, in front of the near plane at 1:
    // clipped away (depth below 0), as Direct3D does.
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    Draw(WorldQuad(0.2f, -9.25f, red), plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), {0, 0, 0}));
    Draw(WorldQuad(0.2f, -8.5f, red), plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 240), {255, 0, 0}));
}

TEST_F(GLRenderDeviceTest, PointSpritesScaleWithDistanceAndShowTheirTextureUpright)
{
    LookFromMinusZ();
    device->SetLighting(false);
    plat::RenderStates& rs = device->States();
    rs.pointSprite = true;
    rs.pointScale = true;
    rs.pointSizeMin = 0;
    rs.pointSizeMax = 256;
    rs.stage0 = {plat::TexOp::SelectArg1, plat::TexArg::Texture, plat::TexArg::Diffuse,
                 plat::TexOp::SelectArg1, plat::TexArg::Texture, plat::TexArg::Diffuse};
    plat::Texture texture;   // top half red, bottom half green
    auto pixels = Picture(2, 2, [](int, int y) { return y == 0 ? ARGB(255, 255, 0, 0) : ARGB(255, 0, 255, 0); });
    ASSERT_TRUE(texture.LoadFromPixels(pixels.data(), 2, 2, 0));
    device->SetTexture(&texture);

    // Size 2 at 20 from the eye: 480 x 2 / 20 = 48 pixels.
    plat::PointVertex point;
    point.position = {0, 0, 10};
    point.size = 2;
    device->DrawPoints(&point, 1);
    Reread();
    EXPECT_NEAR(LitRun(240, true), 48, 2);
    EXPECT_NEAR(LitRun(320, false), 48, 2);
    EXPECT_TRUE(Near(At(320, 228), {255, 0, 0}, 20));
    EXPECT_TRUE(Near(At(320, 252), {0, 255, 0}, 20));

    // Nearer is larger; the maximum clamps.
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    point.position = {0, 0, 0};
    device->DrawPoints(&point, 1);
    Reread();
    EXPECT_NEAR(LitRun(240, true), 96, 2);
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    rs.pointSizeMax = 10;
    device->DrawPoints(&point, 1);
    Reread();
    EXPECT_NEAR(LitRun(240, true), 10, 1);

    // Without scaling the size is in pixels.
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    rs.pointScale = false;
    point.size = 6;
    device->DrawPoints(&point, 1);
    Reread();
    EXPECT_NEAR(LitRun(240, true), 6, 1);
}

TEST_F(GLRenderDeviceTest, AdditiveBlendingAddsToTheBackground)
{
    device->Clear(plat::CLEAR_TARGET, ARGB(255, 100, 50, 0), 1.0f);
    device->SetAlphaBlend(true);
    device->SetBlend(plat::Blend::SrcAlpha, plat::Blend::One);
    device->SetTextureStage({plat::TexOp::Modulate, plat::TexArg::Texture, plat::TexArg::Diffuse, plat::TexOp::Modulate,
                             plat::TexArg::Texture, plat::TexArg::Diffuse});
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0, ARGB(128, 100, 100, 100)));
    EXPECT_TRUE(Near(At(30, 30), {150, 100, 50}));
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0, ARGB(255, 200, 200, 200)));
    EXPECT_TRUE(Near(At(30, 30), {255, 255, 250}));   // saturates
    EXPECT_TRUE(Near(At(60, 30), {100, 50, 0}));
}

TEST_F(GLRenderDeviceTest, LinesAreOnePixelWideOnTheRowsTheyName)
{
    plat::LineBatch lines(*device);
    lines.Begin();
    plat::Vec2 horizontal[2] = {{10, 100}, {200, 100}};
    lines.Draw(horizontal, 2, ARGB(255, 255, 255, 0));
    plat::Vec2 vertical[2] = {{300, 50}, {300, 150}};
    lines.Draw(vertical, 2, ARGB(255, 0, 255, 255));
    lines.End();
    Reread();
    EXPECT_TRUE(Near(At(100, 100), {255, 255, 0}));
    EXPECT_TRUE(Near(At(100, 99), {0, 0, 0}));
    EXPECT_TRUE(Near(At(100, 101), {0, 0, 0}));
    EXPECT_TRUE(Near(At(300, 100), {0, 255, 255}));
    EXPECT_TRUE(Near(At(299, 100), {0, 0, 0}));
    EXPECT_TRUE(Near(At(301, 100), {0, 0, 0}));
}

// The batch draws a strip as separate segments, all in one call: the joints
// must not be drawn twice (a half-transparent colour would show it).
TEST_F(GLRenderDeviceTest, BatchedLinesCoverTheSamePixelsAsTheStripsTheyCameFrom)
{
    const plat::Vec2 zigzag[5] = {{20, 20}, {90, 60}, {30, 130}, {200, 131}, {201, 20}};
    const uint32_t halfGreen = ARGB(128, 0, 255, 0);
    plat::LineBatch lines(*device);
    lines.Begin();
    lines.Draw(zigzag, 5, halfGreen);
    lines.End();
    std::vector<uint8_t> batched = device->ReadBackBuffer();

    device->Clear(plat::CLEAR_TARGET, ARGB(255, 0, 0, 0), 1.0f);
    plat::DeviceState saved = device->BeginScreen2D(plat::TextureStage{plat::TexOp::SelectArg2, plat::TexArg::Texture,
                                                                       plat::TexArg::Diffuse, plat::TexOp::SelectArg2,
                                                                       plat::TexArg::Texture, plat::TexArg::Diffuse});
    device->SetTexture(nullptr);
    std::vector<plat::Vertex> strip;
    for (const plat::Vec2& p : zigzag) {
        plat::Vertex v;
        v.position = {p.x, p.y, 0};
        v.color = halfGreen;
        strip.push_back(v);
    }
    device->DrawUser(plat::Primitive::LineStrip, strip.data(), 5, plat::VF_SCREEN | plat::VF_COLOR);
    device->RestoreState(saved);
    std::vector<uint8_t> asStrip = device->ReadBackBuffer();

    size_t green = 0;
    for (size_t i = 1; i < asStrip.size(); i += 4) green += asStrip[i] != 0;
    EXPECT_GT(green, 300u);
    EXPECT_TRUE(batched == asStrip);
}

TEST_F(GLRenderDeviceTest, MeshSubsetsDrawWithTheirOwnRanges)
{
    // Two quads side by side, one subset each, with vertex colours.
    std::vector<plat::MeshVertex> vertices;
    auto add = [&](float x, float y, uint32_t color) {
        plat::MeshVertex v;
        v.position = {x, y, 0};
        v.normal = {0, 0, -1};
        v.color = color;
        vertices.push_back(v);
    };
    const uint32_t blue = ARGB(255, 0, 0, 255), yellow = ARGB(255, 255, 255, 0);
    add(-6, 2, blue), add(-2, 2, blue), add(-2, -2, blue), add(-6, -2, blue);
    add(2, 2, yellow), add(6, 2, yellow), add(6, -2, yellow), add(2, -2, yellow);
    std::vector<uint32_t> indices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    plat::Mesh mesh;
    mesh.Set(vertices, indices, {{0, 6}, {6, 6}}, true, true, false);
    LookFromMinusZ();
    device->SetLighting(false);

    // World x = -4 and 4 at distance 10 land on pixels 224 and 416.
    device->DrawSubset(mesh, 1);
    Reread();
    EXPECT_TRUE(Near(At(224, 240), {0, 0, 0}));
    EXPECT_TRUE(Near(At(416, 240), {255, 255, 0}));
    device->DrawSubset(mesh, 0);
    Reread();
    EXPECT_TRUE(Near(At(224, 240), {0, 0, 255}));

    // Out-of-range subsets and indices past the vertices draw nothing.
    device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
    device->DrawSubset(mesh, 2);
    device->DrawSubset(mesh, -1);
    plat::Mesh broken;
    broken.Set(vertices, {0, 1, 2, 0, 2, 99}, {{0, 6}, {3, 300}}, true, true, false);
    device->DrawSubset(broken, 0);
    device->DrawSubset(broken, 1);
    plat::Mesh overlong;
    overlong.Set(vertices, indices, {{6, 600}}, true, true, false);
    device->DrawSubset(overlong, 0);   // clipped to the indices there are
    Reread();
    EXPECT_TRUE(Near(At(224, 240), {0, 0, 0}));
    EXPECT_TRUE(Near(At(416, 240), {255, 255, 0}));
}

// With the copies in memory freed after upload (as a window's device does) or
// kept, textures and meshes draw the same, frame after frame, whether made at
// their first draw or prepared before it, and a texture loaded again is
// uploaded again.
class GLRenderDeviceUploadTest : public GLRenderDeviceTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        GLRenderDeviceTest::SetUp();
        if (device) device->SetReleaseUploadedData(GetParam());
    }
    void TearDown() override
    {
        if (device) device->SetReleaseUploadedData(false);
        GLRenderDeviceTest::TearDown();
    }
};

TEST_P(GLRenderDeviceUploadTest, TexturesAreRebuiltWhenChangedAndFreedWhenReleased)
{
    const bool released = GetParam();
    const size_t before = device->TextureObjectCount();
    auto texture = SolidTexture(ARGB(255, 255, 0, 0));
    device->Prepare(*texture);   // as a stage's pictures are, before the battle draws them
    EXPECT_EQ(device->TextureObjectCount(), before + 1);
    EXPECT_EQ(texture->PixelsReleased(), released);
    device->SetTexture(texture.get());
    for (int frame = 0; frame < 2; ++frame) {
        device->Clear(plat::CLEAR_TARGET, kOpaqueBlack, 1.0f);
        DrawScreen(ScreenQuad(10, 10, 50, 50, 0, 0xffffffff));
        EXPECT_TRUE(Near(At(30, 30), {255, 0, 0})) << "frame " << frame;
        EXPECT_EQ(texture->Pixels().empty(), released);
        EXPECT_EQ(texture->PixelsReleased(), released);
    }
    EXPECT_EQ(device->TextureObjectCount(), before + 1);

    auto green = Picture(4, 4, [](int, int) { return ARGB(255, 0, 255, 0); });
    ASSERT_TRUE(texture->LoadFromPixels(green.data(), 4, 4, 0));
    EXPECT_FALSE(texture->PixelsReleased());
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0, 0xffffffff));
    EXPECT_TRUE(Near(At(30, 30), {0, 255, 0}));
    EXPECT_EQ(device->TextureObjectCount(), before + 1);
    EXPECT_EQ(texture->Pixels().empty(), released);

    device->SetTexture(nullptr);
    texture.reset();
    device->BeginScene();
    EXPECT_EQ(device->TextureObjectCount(), before);
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0, 0xffffffff));   // the white texel again
    EXPECT_TRUE(Near(At(30, 30), {255, 255, 255}));
}

// The driver makes room for a picture's levels once; a first level of its own,
// copied out at the first draw, would hold a second copy until then.
TEST_F(GLRenderDeviceTest, APreparedPictureTakesRoomForItsLevelsOnce)
{
    if (testsupport::SANITIZED) GTEST_SKIP() << "the sanitizer's allocator changes what is resident";
    constexpr int SIDE = 1024;
    constexpr long CHAIN_KB = SIDE * SIDE * 4 / 1024 * 4 / 3, SLACK_KB = 2048;   // the levels made on the way
    const auto residentKB = [] {
        std::ifstream statm("/proc/self/statm");
        long pages = 0, resident = 0;
        statm >> pages >> resident;
        return resident * (sysconf(_SC_PAGESIZE) / 1024);
    };
    auto pixels = Picture(SIDE, SIDE, [](int x, int y) { return ARGB(255, x & 255, y & 255, 0); });
    plat::Texture texture;
    ASSERT_TRUE(texture.LoadFromPixels(pixels.data(), SIDE, SIDE, 0));
    pixels = {};
    const long before = residentKB();
    device->Prepare(texture);
    EXPECT_LT(residentKB() - before, CHAIN_KB + SLACK_KB);
}

TEST_P(GLRenderDeviceUploadTest, MeshesDrawAgainFromTheirBuffers)
{
    std::vector<plat::MeshVertex> vertices(4);
    const float corners[4][2] = {{-2, 2}, {2, 2}, {2, -2}, {-2, -2}};
    for (size_t i = 0; i < vertices.size(); ++i) {
        vertices[i].position = {corners[i][0], corners[i][1], 0};
        vertices[i].normal = {0, 0, -1};
        vertices[i].color = ARGB(255, 0, 200, 200);
    }
    plat::Mesh mesh;
    mesh.Set(vertices, {0, 1, 2, 0, 2, 3}, {{0, 6}}, true, true, false);
    device->Prepare(mesh);
    EXPECT_EQ(mesh.VerticesReleased(), GetParam());
    LookFromMinusZ();
    device->SetLighting(false);
    for (int frame = 0; frame < 2; ++frame) {
        device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kOpaqueBlack, 1.0f);
        device->DrawSubset(mesh, 0);
        Reread();
        EXPECT_TRUE(Near(At(320, 240), {0, 200, 200})) << "frame " << frame;
        EXPECT_EQ(mesh.VerticesReleased(), GetParam());
        EXPECT_EQ(mesh.Vertices().empty(), GetParam());
        EXPECT_EQ(mesh.SubsetCount(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(CopiesInMemory, GLRenderDeviceUploadTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("FreedAfterUpload") : std::string("Kept");
                         });

TEST_F(GLRenderDeviceTest, ResourcesMadeAndReleasedOnOtherThreadsAreHandledOnTheMainThread)
{
    const size_t texturesBefore = device->TextureObjectCount();
    const size_t meshesBefore = device->MeshObjectCount();
    std::unique_ptr<plat::Texture> texture;
    std::unique_ptr<plat::Mesh> mesh;
    std::thread loader([&] {
        texture = SolidTexture(ARGB(255, 0, 128, 255));
        mesh = std::make_unique<plat::Mesh>();
        std::vector<plat::MeshVertex> v(3);
        v[0].position = {-1, 1, 0};
        v[1].position = {1, 1, 0};
        v[2].position = {-1, -1, 0};
        mesh->Set(v, {0, 1, 2}, {{0, 3}}, false, false, false);
    });
    loader.join();

    LookFromMinusZ();
    device->SetLighting(false);
    device->SetTexture(texture.get());
    device->DrawSubset(*mesh, 0);
    Reread();
    EXPECT_TRUE(Near(At(310, 230), {0, 128, 255}));
    EXPECT_EQ(device->TextureObjectCount(), texturesBefore + 1);
    EXPECT_EQ(device->MeshObjectCount(), meshesBefore + 1);

    device->SetTexture(nullptr);
    std::thread releaser([&] {
        texture.reset();
        mesh.reset();
    });
    releaser.join();
    // The next draw (not only the next frame) frees them.
    DrawScreen(ScreenQuad(0, 0, 1, 1, 0, 0xffffffff));
    EXPECT_EQ(device->TextureObjectCount(), texturesBefore);
    EXPECT_EQ(device->MeshObjectCount(), meshesBefore);
}

TEST_F(GLRenderDeviceTest, EmptyTexturesAndDegenerateCallsDrawSafely)
{
    plat::Texture empty;   // never loaded: counts as no texture
    device->SetTexture(&empty);
    DrawScreen(ScreenQuad(10, 10, 50, 50, 0, ARGB(255, 90, 90, 90)));
    EXPECT_TRUE(Near(At(30, 30), {90, 90, 90}));
    device->DrawUser(plat::Primitive::TriangleList, nullptr, 3, plat::VF_SCREEN);
    device->DrawUser(plat::Primitive::TriangleList, ScreenQuad(0, 0, 1, 1, 0, 0).data(), 0, plat::VF_SCREEN);
    device->DrawPoints(nullptr, 5);
    plat::Mesh nothing;
    device->DrawSubset(nothing, 0);
    device->SetViewport({600, 400, 500, 500, 0, 1});   // reaches past the back buffer: cut to it
    device->Clear(plat::CLEAR_TARGET, ARGB(255, 0, 255, 0), 1.0f);
    Reread();
    EXPECT_TRUE(Near(At(639, 479), {0, 255, 0}));
    EXPECT_TRUE(Near(At(599, 479), {0, 0, 0}));
}

TEST_F(GLRenderDeviceTest, LargeStreamsGrowTheSharedBuffer)
{
    // More vertices than the stream buffer first holds, drawn twice so the
    // second write wraps into fresh storage.
    std::vector<Vertex> many;
    for (int i = 0; i < 20000; ++i) {
        float x = static_cast<float>(i % 600);
        auto q = ScreenQuad(x, 200, x + 2, 202, 0, ARGB(255, 0, 200, 0));
        many.insert(many.end(), q.begin(), q.end());
    }
    for (int pass = 0; pass < 2; ++pass) Draw(many, plat::VF_SCREEN | plat::VF_COLOR);
    EXPECT_TRUE(Near(At(320, 201), {0, 200, 0}));
    EXPECT_TRUE(Near(At(320, 203), {0, 0, 0}));
}

// Frame after frame (each offscreen one waits for the one before it), the
// back buffer holds the last frame presented.
TEST_F(GLRenderDeviceTest, PresentKeepsTheBackBufferReadable)
{
    for (uint8_t shade : {12, 90, 160}) {
        device->BeginScene();
        device->Clear(plat::CLEAR_TARGET, ARGB(255, shade, 34, 56), 1.0f);
        device->EndScene();
        EXPECT_TRUE(device->Present());
        Reread();
        EXPECT_TRUE(Near(At(320, 240), {shade, 34, 56})) << int(shade);
    }
}

// While the window is hidden a frame draws nothing and leaves the picture as
// it was; shown again, the frames draw as before.
TEST_F(GLRenderDeviceTest, AHiddenWindowDrawsNothingUntilShownAgain)
{
    const uint32_t before = ARGB(255, 200, 10, 10), whileHidden = ARGB(255, 10, 10, 200);
    device->Clear(plat::CLEAR_TARGET, before, 1.0f);
    EXPECT_TRUE(device->Present());
    s_window->Hide();
    device->BeginScene();
    device->Clear(plat::CLEAR_TARGET, whileHidden, 1.0f);
    DrawScreen(ScreenQuad(100, 100, 200, 200, 0.5f, ARGB(255, 0, 255, 0)));
    EXPECT_TRUE(device->Present());
    EXPECT_TRUE(Near(At(320, 240), {200, 10, 10}));
    EXPECT_TRUE(Near(At(150, 150), {200, 10, 10}));
    s_window->Show();
    device->BeginScene();
    device->Clear(plat::CLEAR_TARGET, whileHidden, 1.0f);
    Reread();
    EXPECT_TRUE(Near(At(320, 240), {10, 10, 200}));
}

// What the window shows is shown again only when the picture, the window's
// size or its contents changed.
struct ShowCase {
    const char* what;
    int changedByte;   // -1: the same picture
    int width, height;
    bool damaged, forgotten;
    bool shows;
};

class ShownPictureTest : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShownPictureTest, ShowsOnlyWhatTheWindowDoesNotShowAlready)
{
    const ShowCase& c = GetParam();
    std::vector<uint8_t> first(size_t{plat::BACK_BUFFER_WIDTH} * plat::BACK_BUFFER_HEIGHT * 4, 40);
    plat::ShownPicture shown;
    EXPECT_TRUE(shown.NeedsShowing(first, 1280, 960, false)) << "nothing was shown yet";
    std::vector<uint8_t> picture = first;
    shown.Shown(&picture, 1280, 960);
    if (c.forgotten) shown.Forget();
    std::vector<uint8_t> next = first;
    if (c.changedByte >= 0) next[static_cast<size_t>(c.changedByte)] ^= 1;
    EXPECT_EQ(shown.NeedsShowing(next, c.width, c.height, c.damaged), c.shows) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, ShownPictureTest,
                         ::testing::Values(ShowCase{"the same picture", -1, 1280, 960, false, false, false},
                                           ShowCase{"the first pixel changed", 0, 1280, 960, false, false, true},
                                           ShowCase{"the last pixel changed", 640 * 480 * 4 - 2, 1280, 960, false,
                                                    false, true},
                                           ShowCase{"the window resized", -1, 1024, 768, false, false, true},
                                           ShowCase{"the window uncovered", -1, 1280, 960, true, false, true},
                                           ShowCase{"the window was hidden", -1, 1280, 960, false, true, true}),
                         [](const ::testing::TestParamInfo<ShowCase>& info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(LetterboxTest, BackBufferIsScaledToFitAndCentred)
{
    auto r = plat::FitBackBuffer(1920, 1080);   // wider than 4:3: bars left and right
    EXPECT_EQ(r.width, 1440);
    EXPECT_EQ(r.height, 1080);
    EXPECT_EQ(r.x, 240);
    EXPECT_EQ(r.y, 0);
    r = plat::FitBackBuffer(1280, 1024);   // taller than 4:3: bars above and below
    EXPECT_EQ(r.width, 1280);
    EXPECT_EQ(r.height, 960);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 32);
    r = plat::FitBackBuffer(640, 480);
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(r.x, 0);
    r = plat::FitBackBuffer(0, 768);   // minimised: nothing to draw into
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 0);
}

TEST_F(GLRenderDeviceTest, EventPumpReportsACloseRequestAsQuit)
{
    while (s_window->HasPendingEvent()) s_window->NextEvent();
    EXPECT_EQ(s_window->NextEvent(), plat::WindowEvent::Other);   // nothing waiting
    s_window->RequestClose();
    ASSERT_TRUE(s_window->HasPendingEvent());
    bool quit = false;
    for (int i = 0; i < 16 && s_window->HasPendingEvent() && !quit; ++i)
        quit = s_window->NextEvent() == plat::WindowEvent::Quit;
    EXPECT_TRUE(quit);
    EXPECT_FALSE(s_window->UsesVsync());   // offscreen never waits for a retrace
}

TEST_F(GLRenderDeviceTest, KeySourceFailsWithoutFocusAndLeavesTheKeys)
{
    plat::SdlKeySource keys(*s_window);
    uint8_t state[256];
    std::fill(std::begin(state), std::end(state), 0x5a);
    s_window->HasPendingEvent();
    if (s_window->HasInputFocus()) {
        ASSERT_TRUE(keys.Read(state));
        EXPECT_EQ(state[plat::KEY_Z], 0);   // nothing is pressed on an offscreen window
    } else {
        EXPECT_FALSE(keys.Read(state));
        EXPECT_EQ(state[plat::KEY_Z], 0x5a);
        EXPECT_EQ(state[0], 0x5a);
    }
}

TEST(SdlKeySourceTest, ScancodesMapToTheGameKeyCodes)
{
    // SDL scancodes are the USB usage numbers.
    constexpr int kUsbZ = 29, kUsbEscape = 41, kUsbRight = 79, kUsbLeft = 80, kUsbDown = 81, kUsbUp = 82;
    constexpr int kUsbA = 4, kUsb1 = 30, kUsbSpace = 44, kUsbReturn = 40;
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbZ), plat::KEY_Z);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbEscape), plat::KEY_ESCAPE);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbUp), plat::KEY_UP);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbDown), plat::KEY_DOWN);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbLeft), plat::KEY_LEFT);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbRight), plat::KEY_RIGHT);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbA), 0x1E);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsb1), 0x02);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbSpace), 0x39);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(kUsbReturn), 0x1C);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(0), 0);
    EXPECT_EQ(plat::SdlKeySource::GameKeyFor(9999), 0);
}

// ---- pictures that failed to load, normals, point sizes ----

TEST_F(GLRenderDeviceTest, SpriteOfAPictureThatFailedToLoadLeavesNoWhiteBox)
{
    ASSERT_TRUE(InitGraphics(device));
    CTexture missing;
    EXPECT_FALSE(missing.Load("no/such/Interface.png", 0));
    CSprite s;
    s.m_Anchor = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
    s.m_Texture = &missing;
    s.SetSourceRect(0, 0, 200, 100);
    g_Sprite->Begin();
    s.Draw(100, 100, 255);
    s.DrawColored(100, 100, 0xffffffff);
    g_Sprite->End();
    ReleaseGraphics();
    Reread();
    EXPECT_TRUE(Near(At(200, 150), {0, 0, 0}));
}

// A lit square facing the camera, the light straight along the view, drawn at
// a scale: Direct3D leaves the transformed normal's length alone unless told
// to normalise, so the diffuse part scales by 1 / scale.
TEST_F(GLRenderDeviceTest, LitMeshIsDarkerDrawnLargerUnlessNormalsAreNormalised)
{
    LookFromMinusZ();
    plat::Light light;
    light.enabled = true;
    light.direction = {0, 0, 1};
    device->SetLight(light);
    plat::Material mat;
    mat.diffuse = {0.4f, 0.4f, 0.4f, 1};
    device->SetMaterial(mat);
    auto litAtScale = [&](float scale) {
        device->SetTransform(plat::TransformKind::World, plat::Scaling(scale, scale, scale));
        Draw(WorldQuad(1, 0, 0xffffffff), plat::VF_NORMAL);
        return At(320, 240);
    };
    EXPECT_FALSE(device->States().normalizeNormals);
    EXPECT_TRUE(Near(litAtScale(1), {102, 102, 102}));
    EXPECT_TRUE(Near(litAtScale(2), {51, 51, 51}));
    EXPECT_TRUE(Near(litAtScale(0.5f), {204, 204, 204}));

    device->SetNormalizeNormals(true);
    EXPECT_TRUE(Near(litAtScale(2), {102, 102, 102}));
    EXPECT_TRUE(Near(litAtScale(0.5f), {102, 102, 102}));
}

TEST_F(GLRenderDeviceTest, PointSpritesStopAtSixtyFourPixelsByDefault)
{
    LookFromMinusZ();
    device->SetLighting(false);
    plat::RenderStates& rs = device->States();
    rs.pointSprite = true;
    rs.pointScale = true;
    plat::PointVertex point;
    point.position = {0, 0, 0};
    point.size = 4;   // 480 x 4 / 10 = 192 pixels unclamped
    device->DrawPoints(&point, 1);
    Reread();
    EXPECT_NEAR(LitRun(240, true), 64, 1);
    EXPECT_NEAR(LitRun(320, false), 64, 1);
}

// ---- specialised programs against the general one ----

namespace {

constexpr int kCell = 40;   // each case draws into its own 40 x 40 viewport
constexpr int kCellsPerRow = plat::BACK_BUFFER_WIDTH / kCell;
constexpr uint8_t kCellBackground[3] = {40, 80, 120};

// Two pictures of the same cases, each drawn into its own cell of the given
// size, compared cell by cell.
struct CellComparison {
    std::vector<int> differingPixels;   // per case: channels further apart than the tolerance
    int drawnPixels = 0;                // pixels of the first picture that are not the background
};

CellComparison CompareCells(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t cases, int cellSize,
                            int tolerance)
{
    const int cellsPerRow = plat::BACK_BUFFER_WIDTH / cellSize;
    CellComparison result;
    result.differingPixels.assign(cases, 0);
    for (size_t p = 0; p + 2 < a.size() && p + 2 < b.size(); p += 4) {
        const int x = static_cast<int>(p / 4) % plat::BACK_BUFFER_WIDTH;
        const int y = static_cast<int>(p / 4) / plat::BACK_BUFFER_WIDTH;
        const size_t cell = static_cast<size_t>(y / cellSize * cellsPerRow + x / cellSize);
        if (cell >= cases) continue;
        if (a[p] != kCellBackground[0] || a[p + 1] != kCellBackground[1] || a[p + 2] != kCellBackground[2])
            ++result.drawnPixels;
        for (int c = 0; c < 3; ++c)
            if (std::abs(a[p + c] - b[p + c]) > tolerance) ++result.differingPixels[cell];
    }
    return result;
}

uint32_t CellBackgroundArgb() { return ARGB(255, kCellBackground[0], kCellBackground[1], kCellBackground[2]); }

// A warm light from above left, behind the viewer, for the comparison tests' lit cases.
plat::Light ComparisonLight()
{
    plat::Light light;
    light.enabled = true;
    light.direction = plat::Normalize(plat::Vec3{0.3f, -0.5f, 0.8f});
    light.diffuse = {0.9f, 0.7f, 0.5f, 1};
    light.ambient = {0.1f, 0.15f, 0.2f, 1};
    return light;
}

// Readies the device for case `index`: the given states drawing into that
// case's cell, and a camera 10 units in front of the origin looking at it.
void EnterCell(plat::GLRenderDevice& device, plat::DeviceState state, size_t index, int cellSize)
{
    const int cellsPerRow = plat::BACK_BUFFER_WIDTH / cellSize;
    state.viewport = {static_cast<int>(index % static_cast<size_t>(cellsPerRow)) * cellSize,
                      static_cast<int>(index / static_cast<size_t>(cellsPerRow)) * cellSize,
                      cellSize,
                      cellSize,
                      0,
                      1};
    device.RestoreState(state);
    device.SetTransform(plat::TransformKind::View, plat::LookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0}));
    device.SetTransform(plat::TransformKind::Projection, plat::PerspectiveFovLH(plat::PI / 2, 1.0f, 0.25f, 100.0f));
}

// A square of half-size s at z = 0 facing the camera on -z, with texture
// coordinates and colours that vary over it.
std::vector<Vertex> VariedWorldQuad(float s)
{
    auto v = [&](float x, float y, float u, float tv, uint32_t color) {
        Vertex r;
        r.position = {x, y, 0};
        r.normal = plat::Normalize(plat::Vec3{x * 0.2f, y * 0.2f, -1});
        r.color = color;
        r.u = u;
        r.v = tv;
        return r;
    };
    Vertex a = v(-s, s, 0, 0, ARGB(255, 255, 40, 0)), b = v(s, s, 1, 0, ARGB(200, 0, 255, 80));
    Vertex c = v(s, -s, 1, 1, ARGB(90, 40, 0, 255)), d = v(-s, -s, 0, 1, ARGB(160, 250, 250, 250));
    return {a, b, c, a, c, d};
}

std::vector<plat::TextureStage> StageOperations()
{
    using plat::TexArg;
    using plat::TexOp;
    return {
        {TexOp::Modulate, TexArg::Texture, TexArg::Diffuse, TexOp::Modulate, TexArg::Texture, TexArg::Diffuse},
        {TexOp::Modulate, TexArg::Texture, TexArg::Current, TexOp::SelectArg1, TexArg::Texture, TexArg::Current},
        {TexOp::SelectArg1, TexArg::Texture, TexArg::Diffuse, TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse},
        {TexOp::SelectArg2, TexArg::Texture, TexArg::Diffuse, TexOp::SelectArg1, TexArg::Diffuse, TexArg::Texture},
        {TexOp::Add, TexArg::Texture, TexArg::Diffuse, TexOp::Add, TexArg::Texture, TexArg::Diffuse},
        {TexOp::SelectArg1, TexArg::Current, TexArg::Texture, TexOp::Modulate, TexArg::Current, TexArg::Texture},
        {TexOp::Disable, TexArg::Texture, TexArg::Diffuse, TexOp::Modulate, TexArg::Texture, TexArg::Diffuse},
        {TexOp::Modulate, TexArg::Texture, TexArg::Diffuse, TexOp::Disable, TexArg::Texture, TexArg::Diffuse},
    };
}

}   // namespace

TEST_F(GLRenderDeviceTest, SpecialisedProgramsDrawWhatTheGeneralProgramDraws)
{
    auto picture = Picture(4, 4, [](int x, int y) {
        return ARGB(static_cast<uint8_t>(60 + 60 * x), static_cast<uint8_t>(255 - 50 * y),
                    static_cast<uint8_t>(40 * x + 30 * y), static_cast<uint8_t>(200 - 40 * x));
    });
    plat::Texture texture;
    ASSERT_TRUE(texture.LoadFromPixels(picture.data(), 4, 4, 0));

    plat::Light light = ComparisonLight();
    light.specular = {0.6f, 0.6f, 0.6f, 1};
    plat::Material mat;
    mat.diffuse = {0.8f, 0.6f, 0.9f, 0.7f};
    mat.ambient = {0.3f, 0.3f, 0.3f, 1};
    mat.specular = {1, 0.8f, 0.5f, 1};
    mat.emissive = {0.05f, 0.1f, 0, 1};
    mat.power = 8;

    // Every case sets its states from the defaults and draws into its cell.
    std::vector<std::function<void()>> cases;
    enum class Shade { UnlitColoured, UnlitWhite, Lit, LitSpecular, LitLightOff, LitGrownNormalised, LitGrown };
    for (const plat::TextureStage& stage : StageOperations())
        for (bool textured : {true, false})
            for (Shade shade : {Shade::UnlitColoured, Shade::UnlitWhite, Shade::Lit, Shade::LitSpecular,
                                Shade::LitLightOff, Shade::LitGrownNormalised, Shade::LitGrown})
                cases.push_back([&, stage, textured, shade] {
                    device->SetTextureStage(stage);
                    device->SetTexture(textured ? &texture : nullptr);
                    device->SetLighting(shade != Shade::UnlitColoured && shade != Shade::UnlitWhite);
                    device->SetSpecular(shade == Shade::LitSpecular);
                    plat::Light l = light;
                    l.enabled = shade != Shade::LitLightOff;
                    device->SetLight(l);
                    device->SetNormalizeNormals(shade == Shade::LitGrownNormalised);
                    if (shade == Shade::LitGrown || shade == Shade::LitGrownNormalised)
                        device->SetTransform(plat::TransformKind::World, plat::Scaling(1.5f, 1.5f, 1.5f));
                    uint32_t flags = plat::VF_NORMAL | plat::VF_TEXCOORD;
                    if (shade != Shade::UnlitWhite) flags |= plat::VF_COLOR;
                    auto quad = VariedWorldQuad(5);
                    device->DrawUser(plat::Primitive::TriangleList, quad.data(), 6, flags);
                });
    // Pre-transformed screen rectangles, as the sprite batch draws them.
    for (const plat::TextureStage& stage : StageOperations())
        for (bool textured : {true, false})
            cases.push_back([&, stage, textured] {
                device->SetTextureStage(stage);
                device->SetTexture(textured ? &texture : nullptr);
                plat::Viewport vp = device->GetViewport();
                auto quad =
                    ScreenQuad(vp.x + 4.0f, vp.y + 4.0f, vp.x + 36.0f, vp.y + 36.0f, 0, ARGB(180, 90, 200, 255));
                device->DrawUser(plat::Primitive::TriangleList, quad.data(), 6,
                                 plat::VF_SCREEN | plat::VF_COLOR | plat::VF_TEXCOORD);
            });
    // Points: sprites or plain, scaled with distance or in pixels.
    for (bool sprite : {true, false})
        for (bool scaled : {true, false})
            for (bool textured : {true, false})
                cases.push_back([&, sprite, scaled, textured] {
                    device->SetLighting(false);
                    device->SetTexture(textured ? &texture : nullptr);
                    plat::RenderStates& rs = device->States();
                    rs.pointSprite = sprite;
                    rs.pointScale = scaled;
                    rs.pointSizeMin = 2;
                    plat::PointVertex points[3];
                    points[0].position = {-4, 3, 0};
                    points[0].size = scaled ? 3.0f : 20.0f;
                    points[1].position = {3, -2, 5};
                    points[1].size = scaled ? 2.0f : 9.0f;
                    points[1].color = ARGB(128, 255, 128, 0);
                    points[2].position = {0, 0, -9.5f};   // close enough to reach the largest size
                    points[2].size = scaled ? 5.0f : 100.0f;
                    device->DrawPoints(points, 3);
                });
    ASSERT_LE(cases.size(), static_cast<size_t>(kCellsPerRow * (plat::BACK_BUFFER_HEIGHT / kCell)));

    auto drawAll = [&](bool specialised) {
        device->SetSpecialisedPrograms(specialised);
        device->RestoreState(plat::DeviceState{});
        device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, CellBackgroundArgb(), 1.0f);
        for (size_t i = 0; i < cases.size(); ++i) {
            plat::DeviceState state;
            state.rs.alphaBlend = true;
            state.rs.srcBlend = plat::Blend::SrcAlpha;
            state.rs.destBlend = plat::Blend::InvSrcAlpha;
            state.material = mat;
            EnterCell(*device, state, i, kCell);
            cases[i]();
        }
        device->SetSpecialisedPrograms(true);
        return device->ReadBackBuffer();
    };
    const std::vector<uint8_t> general = drawAll(false);
    const size_t programsBefore = device->SpecialisedProgramCount();
    const std::vector<uint8_t> specialised = drawAll(true);
    ASSERT_EQ(general.size(), specialised.size());

    // Rounding may differ by one step where the compiler folds constants.
    const CellComparison cmp = CompareCells(general, specialised, cases.size(), kCell, 1);
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cmp.differingPixels[i], 0) << "case " << i;
    EXPECT_GT(cmp.drawnPixels, static_cast<int>(cases.size()) * 100) << "the cases drew next to nothing";
    // Draws whose states do the same work share a program.
    EXPECT_GT(device->SpecialisedProgramCount(), programsBefore);
    EXPECT_LT(device->SpecialisedProgramCount(), cases.size());
}

TEST_F(GLRenderDeviceTest, ProgramsAreBuiltOnceAndSharedByDrawsThatDoTheSameWork)
{
    auto texture = SolidTexture(ARGB(255, 200, 100, 0));
    device->SetTexture(texture.get());
    auto quad = ScreenQuad(10, 10, 50, 50, 0, ARGB(255, 0, 100, 255));
    DrawScreen(quad);
    const size_t count = device->SpecialisedProgramCount();
    DrawScreen(quad);
    // Lighting and specular play no part in pre-transformed drawing.
    device->SetLighting(true);
    device->SetSpecular(true);
    DrawScreen(quad);
    EXPECT_EQ(device->SpecialisedProgramCount(), count);
    // A stage that does not read the texture is the same work with or without one.
    device->SetTextureStage({plat::TexOp::SelectArg2, plat::TexArg::Texture, plat::TexArg::Diffuse,
                             plat::TexOp::SelectArg2, plat::TexArg::Texture, plat::TexArg::Diffuse});
    DrawScreen(quad);
    const size_t untextured = device->SpecialisedProgramCount();
    device->SetTexture(nullptr);
    DrawScreen(quad);
    EXPECT_EQ(device->SpecialisedProgramCount(), untextured);
    EXPECT_TRUE(Near(At(30, 30), {0, 100, 255}));
}

// ---- draws left unblended where blending would keep the source ----

TEST_F(GLRenderDeviceTest, OpaqueDrawsLeftUnblendedLookAsTheyDoBlended)
{
    constexpr int kSmallCell = 20;
    constexpr int kSmallCellsPerRow = plat::BACK_BUFFER_WIDTH / kSmallCell;
    auto opaque = SolidTexture(ARGB(255, 200, 120, 40));
    auto picture = Picture(4, 4, [](int x, int y) {
        return ARGB(static_cast<uint8_t>(255 - 60 * x), static_cast<uint8_t>(80 + 40 * y), 30, 200);
    });
    plat::Texture seeThrough;
    ASSERT_TRUE(seeThrough.LoadFromPixels(picture.data(), 4, 4, 0));

    const plat::Light light = ComparisonLight();

    enum class Shade { LitOpaque, LitSeeThrough, UnlitColoured, UnlitOpaqueColours, UnlitWhite };
    struct BlendPair {
        plat::Blend src, dest;
    };
    const BlendPair blends[] = {{plat::Blend::SrcAlpha, plat::Blend::InvSrcAlpha},
                                {plat::Blend::SrcAlpha, plat::Blend::One},
                                {plat::Blend::One, plat::Blend::InvSrcAlpha},
                                {plat::Blend::One, plat::Blend::Zero}};
    std::vector<std::function<void()>> cases;
    for (const plat::TextureStage& stage : StageOperations())
        for (const plat::Texture* texture :
             {static_cast<const plat::Texture*>(opaque.get()), static_cast<const plat::Texture*>(&seeThrough),
              static_cast<const plat::Texture*>(nullptr)})
            for (Shade shade : {Shade::LitOpaque, Shade::LitSeeThrough, Shade::UnlitColoured, Shade::UnlitOpaqueColours,
                                Shade::UnlitWhite})
                for (const BlendPair& blend : blends)
                    cases.push_back([&, stage, texture, shade, blend] {
                        device->SetTextureStage(stage);
                        device->SetTexture(texture);
                        device->SetBlend(blend.src, blend.dest);
                        device->SetLighting(shade == Shade::LitOpaque || shade == Shade::LitSeeThrough);
                        device->SetLight(light);
                        plat::Material mat;
                        mat.diffuse = {0.8f, 0.6f, 0.9f, shade == Shade::LitSeeThrough ? 0.5f : 1.0f};
                        device->SetMaterial(mat);
                        uint32_t flags = plat::VF_NORMAL | plat::VF_TEXCOORD;
                        if (shade != Shade::UnlitWhite) flags |= plat::VF_COLOR;
                        auto quad = VariedWorldQuad(5);
                        if (shade == Shade::UnlitOpaqueColours)
                            for (Vertex& v : quad) v.color |= 0xff000000;
                        device->DrawUser(plat::Primitive::TriangleList, quad.data(), 6, flags);
                    });
    ASSERT_LE(cases.size(), static_cast<size_t>(kSmallCellsPerRow * (plat::BACK_BUFFER_HEIGHT / kSmallCell)));

    auto drawAll = [&](bool unblended) {
        device->SetUnblendedOpaqueDraws(unblended);
        device->RestoreState(plat::DeviceState{});
        device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, CellBackgroundArgb(), 1.0f);
        for (size_t i = 0; i < cases.size(); ++i) {
            plat::DeviceState state;
            state.rs.alphaBlend = true;
            EnterCell(*device, state, i, kSmallCell);
            cases[i]();
        }
        device->SetUnblendedOpaqueDraws(true);
        return device->ReadBackBuffer();
    };
    const std::vector<uint8_t> blended = drawAll(false);
    const std::vector<uint8_t> unblended = drawAll(true);
    ASSERT_EQ(blended.size(), unblended.size());

    const CellComparison cmp = CompareCells(blended, unblended, cases.size(), kSmallCell, 0);
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cmp.differingPixels[i], 0) << "case " << i;
    EXPECT_GT(cmp.drawnPixels, static_cast<int>(cases.size()) * 50) << "the cases drew next to nothing";
}
