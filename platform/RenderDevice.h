// RenderDevice is responsible for drawing the game's 640 x 480 back buffer. It
// keeps the fixed-function state the game sets (render states, texture stage
// 0, transforms, one directional light, a material, the bound texture, the
// viewport) and draws with whatever is set at the moment of the draw. Back
// ends: OpenGL (a window or offscreen) and a recording device for tests.
//
// All drawing is done to a 640 x 480 virtual screen that the OpenGL back end
// scales to the real display with letterboxing.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math3D.h"

namespace plat {

class Texture;
class Mesh;

constexpr int BACK_BUFFER_WIDTH = 640;
constexpr int BACK_BUFFER_HEIGHT = 480;

enum class Blend : uint8_t { Zero, One, SrcAlpha, InvSrcAlpha, SrcColor, InvSrcColor, DestColor };
enum class Cull : uint8_t { None, CW, CCW };   // CCW (the default) culls back faces of left-handed meshes
enum class CompareFunc : uint8_t { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class TexOp : uint8_t { Disable, SelectArg1, SelectArg2, Modulate, Add };
enum class TexArg : uint8_t { Texture, Diffuse, Current };
enum class TransformKind : uint8_t { World, View, Projection };
enum class Primitive : uint8_t { PointList, LineList, LineStrip, TriangleList, TriangleStrip, TriangleFan };

struct TextureStage {
    TexOp colorOp = TexOp::Modulate;
    TexArg colorArg1 = TexArg::Texture;
    TexArg colorArg2 = TexArg::Current;   // on stage 0 "current" is the diffuse colour
    TexOp alphaOp = TexOp::SelectArg1;
    TexArg alphaArg1 = TexArg::Texture;
    TexArg alphaArg2 = TexArg::Current;

    bool operator==(const TextureStage&) const = default;
};

// The render states the game uses; the defaults are the device's defaults.
struct RenderStates {
    bool zEnable = true;
    bool zWrite = true;
    CompareFunc zFunc = CompareFunc::LessEqual;
    bool alphaBlend = false;
    Blend srcBlend = Blend::One;
    Blend destBlend = Blend::Zero;
    Cull cull = Cull::CCW;
    bool lighting = true;
    bool specular = false;
    // Normals are used as the world and view transforms leave them: a mesh
    // drawn at scale 2 is lit half as brightly, one at scale 0.5 twice as
    // brightly. On: every transformed normal is brought back to unit length.
    bool normalizeNormals = false;
    uint32_t ambient = 0;       // ARGB global ambient light
    bool pointSprite = false;   // points drawn as textured squares
    bool pointScale = false;    // size on screen = viewport height x size / distance to the eye
    float pointSize = 1.0f;     // used when a point vertex has no size of its own
    float pointSizeMin = 0.0f;
    float pointSizeMax = 64.0f;   // the largest point sprite, in pixels
    TextureStage stage0;

    bool operator==(const RenderStates&) const = default;
};

struct Light {   // one directional light
    bool enabled = false;
    ColorF diffuse{1, 1, 1, 1};
    ColorF specular{0, 0, 0, 0};
    ColorF ambient{0, 0, 0, 0};
    Vec3 direction{0, 0, 1};

    bool operator==(const Light&) const = default;
};

struct Material {
    ColorF diffuse{1, 1, 1, 1};
    ColorF ambient{0, 0, 0, 0};
    ColorF specular{0, 0, 0, 0};
    ColorF emissive{0, 0, 0, 0};
    float power = 0;

    bool operator==(const Material&) const = default;
};

// Everything a draw depends on; copied whole by the sprite batch to save and
// restore, and by the recording device into each recorded draw.
struct DeviceState {
    RenderStates rs;
    Mat4 world, view, projection;
    Light light;
    Material material;
    const Texture* texture = nullptr;
    Viewport viewport;

    bool operator==(const DeviceState&) const = default;
};

// Vertex formats of user-memory draws.
enum VertexFlags : uint32_t {
    VF_NORMAL = 1,     // the normal is used for lighting
    VF_COLOR = 2,      // the diffuse colour is used
    VF_TEXCOORD = 4,   // u, v are used
    VF_SCREEN = 8,     // positions are back-buffer pixels (x, y) and depth z in 0..1: no transforms, no lighting
};

struct Vertex {
    Vec3 position;
    Vec3 normal;
    uint32_t color = 0xffffffff;   // ARGB
    float u = 0, v = 0;

    bool operator==(const Vertex&) const = default;
};

struct PointVertex {
    Vec3 position;
    float size = 1;                // world size with point scaling, else pixels
    uint32_t color = 0xffffffff;   // ARGB

    bool operator==(const PointVertex&) const = default;
};

enum ClearFlags : uint32_t { CLEAR_TARGET = 1, CLEAR_ZBUFFER = 2 };

class RenderDevice {
public:
    RenderDevice() = default;
    virtual ~RenderDevice() = default;
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;

    // ---- state (kept here, read by the back ends at draw time) ----
    const DeviceState& State() const { return m_State; }
    void RestoreState(const DeviceState& s) { m_State = s; }
    RenderStates& States() { return m_State.rs; }   // write any render state directly
    // The states the 2-D batches (sprites, lines) draw with: alpha blending
    // with source alpha and inverse source alpha, no depth test, no culling,
    // no lighting, and texture stage 0 as given. Returns the state before.
    DeviceState BeginScreen2D(const TextureStage& stage0);
    void SetDepthTest(bool on) { m_State.rs.zEnable = on; }
    void SetDepthWrite(bool on) { m_State.rs.zWrite = on; }
    void SetAlphaBlend(bool on) { m_State.rs.alphaBlend = on; }
    void SetBlend(Blend src, Blend dest)
    {
        m_State.rs.srcBlend = src;
        m_State.rs.destBlend = dest;
    }
    void SetDestBlend(Blend dest) { m_State.rs.destBlend = dest; }
    void SetCull(Cull c) { m_State.rs.cull = c; }
    void SetLighting(bool on) { m_State.rs.lighting = on; }
    void SetSpecular(bool on) { m_State.rs.specular = on; }
    void SetNormalizeNormals(bool on) { m_State.rs.normalizeNormals = on; }
    void SetAmbient(uint32_t argb) { m_State.rs.ambient = argb; }
    void SetTextureStage(const TextureStage& s) { m_State.rs.stage0 = s; }
    void SetTransform(TransformKind kind, const Mat4& m);
    const Mat4& GetTransform(TransformKind kind) const;
    void SetLight(const Light& l) { m_State.light = l; }
    void SetMaterial(const Material& m) { m_State.material = m; }
    void SetTexture(const Texture* t) { m_State.texture = t; }   // null: untextured (opaque white)
    void SetViewport(const Viewport& vp) { m_State.viewport = vp; }
    const Viewport& GetViewport() const { return m_State.viewport; }

    // ---- frame ----
    virtual void Clear(uint32_t flags, uint32_t argb, float z) = 0;   // only the current viewport
    virtual void BeginScene() = 0;
    virtual void EndScene() = 0;
    virtual bool Present() = 0;   // false when the frame could not be shown

    // ---- drawing ----
    // One subset of a mesh, with the current state.
    virtual void DrawSubset(const Mesh& mesh, int subset) = 0;
    // Primitives from user memory; flags say which vertex fields are used.
    virtual void DrawUser(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags) = 0;
    // Point sprites (with rs.pointSprite) or plain points, one size and colour per point.
    virtual void DrawPoints(const PointVertex* points, int count) = 0;

    // ---- resources ----
    // Makes the back end's own objects for a texture or a mesh now instead of
    // at its first draw, so that a stage's uploads all fall in its loading.
    // Draws nothing; a back end without objects of its own does nothing.
    virtual void Prepare(const Texture&) {}
    virtual void Prepare(const Mesh&) {}

    // Reads the back buffer as RGBA rows from the top (empty when the back end has no pixels).
    virtual std::vector<uint8_t> ReadBackBuffer() { return {}; }

protected:
    DeviceState m_State;
};

}   // namespace plat
