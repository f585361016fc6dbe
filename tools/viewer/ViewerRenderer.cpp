#include "tools/viewer/ViewerRenderer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "platform/Mesh.h"
#include "platform/Texture.h"
#include "platform/xfile/XFileReader.h"

namespace {

namespace fs = std::filesystem;
using plat::Vec3;

constexpr uint32_t BACKGROUND = 0xff303848;
constexpr uint32_t GLOBAL_AMBIENT = 0xff404040;
constexpr uint32_t CHECK_LIGHT = 0xffc8c8c8, CHECK_DARK = 0xff8c8c8c;
constexpr int CHECK_SIZE = 16;
constexpr int PICTURE_MARGIN = 20;
constexpr float FIELD_OF_VIEW = plat::PI / 4;
constexpr float ASPECT = static_cast<float>(plat::BACK_BUFFER_WIDTH) / plat::BACK_BUFFER_HEIGHT;
constexpr float FRAMING = 1.15f;                     // room around the bounding sphere
const Vec3 LIGHT_FROM_CAMERA{0.15f, -0.5f, 0.85f};   // from above and behind the camera, a little to the left

float Radians(float degrees) { return degrees * plat::PI / 180; }

std::string Lowercase(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool IsPicture(const std::string& path)
{
    std::string ext = Lowercase(fs::path(path).extension().string());
    return ext == ".png" || ext == ".bmp" || ext == ".jpg" || ext == ".jpeg";
}

// Centre and radius of the sphere around the mesh's vertices.
void Bounds(const plat::Mesh& mesh, Vec3* centre, float* radius)
{
    Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (const plat::MeshVertex& v : mesh.Vertices()) {
        lo = {std::min(lo.x, v.position.x), std::min(lo.y, v.position.y), std::min(lo.z, v.position.z)};
        hi = {std::max(hi.x, v.position.x), std::max(hi.y, v.position.y), std::max(hi.z, v.position.z)};
    }
    *centre = (lo + hi) * 0.5f;
    *radius = 0;
    for (const plat::MeshVertex& v : mesh.Vertices()) *radius = std::max(*radius, plat::Length(v.position - *centre));
    *radius = std::max(*radius, 1e-3f);
}

// Loads with the mesh's own folder as the current directory, as the game's
// loader does, so the texture names inside are found.
bool LoadMesh(const std::string& path, CXFile* mesh)
{
    std::error_code ec;
    fs::path previous = fs::current_path(ec);
    fs::path file = fs::absolute(path, ec);
    fs::current_path(file.parent_path(), ec);
    bool ok = mesh->Load(file.filename().string());
    fs::current_path(previous, ec);
    return ok;
}

}   // namespace

bool ViewerRenderer::Render(const std::string& input, std::vector<uint8_t>* pixels, std::string* error)
{
    m_Device.BeginScene();
    m_Device.SetViewport(plat::Viewport{});
    m_Device.Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, BACKGROUND, 1.0f);
    bool ok = IsPicture(input) ? DrawPicture(input, error) : DrawMesh(input, error);
    m_Device.EndScene();
    *pixels = m_Device.ReadBackBuffer();
    m_Device.Present();   // lets the device free what this frame's resources left behind
    return ok;
}

bool ViewerRenderer::DrawMesh(const std::string& path, std::string* error)
{
    CXFile mesh;
    if (!LoadMesh(path, &mesh)) {
        plat::XModel model;
        *error = plat::ToString(plat::XFileReader::ReadFile(path, &model));
        return false;
    }
    Vec3 centre;
    float radius = 0;
    Bounds(*mesh.GetMesh(), &centre, &radius);

    // The turntable: the camera circles the mesh, and the light turns with it.
    plat::Mat4 turn = plat::RotationX(Radians(m_Options.pitchDegrees)) * plat::RotationY(Radians(m_Options.yawDegrees));
    float distance = FRAMING * radius / std::sin(FIELD_OF_VIEW / 2);
    Vec3 eye = centre + plat::TransformNormal({0, 0, -distance}, turn);
    m_Device.SetTransform(plat::TransformKind::View, plat::LookAtLH(eye, centre, {0, 1, 0}));
    m_Device.SetTransform(plat::TransformKind::Projection,
                          plat::PerspectiveFovLH(FIELD_OF_VIEW, ASPECT, distance * 0.01f, distance + 2 * radius));
    plat::Light light;
    light.enabled = true;
    light.diffuse = {1, 1, 1, 1};
    light.specular = {1, 1, 1, 1};
    light.direction = plat::Normalize(plat::TransformNormal(LIGHT_FROM_CAMERA, turn));
    m_Device.SetLight(light);
    m_Device.SetLighting(true);
    m_Device.SetSpecular(true);
    m_Device.SetAmbient(GLOBAL_AMBIENT);
    m_Device.SetDepthTest(true);

    plat::Mat4 world;
    if (m_Options.outlineScale > 0) mesh.DrawOutline(m_Options.outlineScale, world);
    m_Device.SetTransform(plat::TransformKind::World, world);
    mesh.Draw();
    return true;
}

void ViewerRenderer::DrawCheckerboard()
{
    std::vector<plat::Vertex> quads;
    for (int y = 0; y < plat::BACK_BUFFER_HEIGHT; y += CHECK_SIZE)
        for (int x = 0; x < plat::BACK_BUFFER_WIDTH; x += CHECK_SIZE) {
            uint32_t colour = ((x + y) / CHECK_SIZE) % 2 ? CHECK_DARK : CHECK_LIGHT;
            float l = static_cast<float>(x), t = static_cast<float>(y);
            float r = l + CHECK_SIZE, b = t + CHECK_SIZE;
            for (auto [px, py] : {std::pair{l, t}, {r, t}, {r, b}, {l, t}, {r, b}, {l, b}}) {
                plat::Vertex v;
                v.position = {px, py, 0.5f};
                v.color = colour;
                quads.push_back(v);
            }
        }
    m_Device.DrawUser(plat::Primitive::TriangleList, quads.data(), static_cast<int>(quads.size()),
                      plat::VF_SCREEN | plat::VF_COLOR);
}

bool ViewerRenderer::DrawPicture(const std::string& path, std::string* error)
{
    CTexture picture;
    if (!picture.Load(path, m_Options.colorKey)) {
        *error = "cannot decode the picture";
        return false;
    }
    m_Device.SetDepthTest(false);
    m_Device.SetLighting(false);
    m_Device.SetCull(plat::Cull::None);
    m_Device.SetTexture(nullptr);
    DrawCheckerboard();

    // The stretched texture is shown at the picture's own proportions.
    const plat::Texture& texture = *picture.Texture();
    float room = std::min(static_cast<float>(plat::BACK_BUFFER_WIDTH - 2 * PICTURE_MARGIN) / texture.SourceWidth(),
                          static_cast<float>(plat::BACK_BUFFER_HEIGHT - 2 * PICTURE_MARGIN) / texture.SourceHeight());
    float shownW = texture.SourceWidth() * room, shownH = texture.SourceHeight() * room;
    float x = (plat::BACK_BUFFER_WIDTH - shownW) / 2, y = (plat::BACK_BUFFER_HEIGHT - shownH) / 2;
    g_Sprite->Begin();
    g_Sprite->SetTransform(plat::Scaling(shownW / picture.m_Width, shownH / picture.m_Height, 1) *
                           plat::Translation(x, y, 0));
    g_Sprite->Draw(picture.Texture(), plat::Rect{0, 0, picture.m_Width, picture.m_Height}, 0xffffffff);
    g_Sprite->End();
    return true;
}
