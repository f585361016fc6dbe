#include "platform/gl/GLRenderDevice.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/Mesh.h"
#include "platform/MipChain.h"
#include "platform/Texture.h"
#include "platform/gl/GLFixedFunctionProgram.h"
#include "platform/gl/GLFunctions.h"

namespace plat {

namespace {

using P = GLFixedFunctionProgram;

// Room for a few thousand sprites before the stream buffer wraps; it grows
// when a single draw needs more.
constexpr size_t kInitialStreamBytes = size_t{1} << 20;
// How long an offscreen frame waits at most for the one before it.
constexpr GLuint64 kFrameWaitNs = 2'000'000'000;

// Lines and points in back-buffer pixels are moved half a pixel so that a
// coordinate names a pixel's centre, as it does in Direct3D 9, rather than
// the edge between two pixels, as it does in OpenGL.
constexpr float kPixelCentreShift = 0.5f;

static_assert(offsetof(Vertex, position) == 0 && offsetof(Vertex, normal) == 12 && offsetof(Vertex, color) == 24 &&
              offsetof(Vertex, u) == 28 && offsetof(Vertex, v) == 32 && sizeof(Vertex) == 36);
static_assert(offsetof(PointVertex, position) == 0 && offsetof(PointVertex, size) == 12 &&
              offsetof(PointVertex, color) == 16 && sizeof(PointVertex) == 20);
static_assert(offsetof(MeshVertex, position) == 0 && offsetof(MeshVertex, normal) == 12 &&
              offsetof(MeshVertex, u) == 24 && offsetof(MeshVertex, color) == 32 && sizeof(MeshVertex) == 36);

GLenum ToGL(Blend b)
{
    switch (b) {
        case Blend::Zero: return GL_ZERO;
        case Blend::One: return GL_ONE;
        case Blend::SrcAlpha: return GL_SRC_ALPHA;
        case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
        case Blend::SrcColor: return GL_SRC_COLOR;
        case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
        case Blend::DestColor: return GL_DST_COLOR;
    }
    return GL_ONE;
}

GLenum ToGL(CompareFunc f)
{
    switch (f) {
        case CompareFunc::Never: return GL_NEVER;
        case CompareFunc::Less: return GL_LESS;
        case CompareFunc::Equal: return GL_EQUAL;
        case CompareFunc::LessEqual: return GL_LEQUAL;
        case CompareFunc::Greater: return GL_GREATER;
        case CompareFunc::NotEqual: return GL_NOTEQUAL;
        case CompareFunc::GreaterEqual: return GL_GEQUAL;
        case CompareFunc::Always: return GL_ALWAYS;
    }
    return GL_LEQUAL;
}

GLenum ToGL(Primitive p)
{
    switch (p) {
        case Primitive::PointList: return GL_POINTS;
        case Primitive::LineList: return GL_LINES;
        case Primitive::LineStrip: return GL_LINE_STRIP;
        case Primitive::TriangleList: return GL_TRIANGLES;
        case Primitive::TriangleStrip: return GL_TRIANGLE_STRIP;
        case Primitive::TriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

// The viewport cut to the back buffer, as Direct3D requires it to lie.
Viewport ClampToBackBuffer(const Viewport& vp)
{
    Viewport r = vp;
    r.x = std::clamp(vp.x, 0, BACK_BUFFER_WIDTH);
    r.y = std::clamp(vp.y, 0, BACK_BUFFER_HEIGHT);
    r.width = std::clamp(vp.width, 0, BACK_BUFFER_WIDTH - r.x);
    r.height = std::clamp(vp.height, 0, BACK_BUFFER_HEIGHT - r.y);
    r.minZ = std::clamp(vp.minZ, 0.0f, 1.0f);
    r.maxZ = std::clamp(vp.maxZ, 0.0f, 1.0f);
    return r;
}

// GL counts rows from the bottom, the game from the top.
GLint BottomRow(const Viewport& vp) { return BACK_BUFFER_HEIGHT - vp.y - vp.height; }

bool SameViewport(const Viewport& a, const Viewport& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.minZ == b.minZ &&
           a.maxZ == b.maxZ;
}

const void* ByteOffset(size_t bytes) { return reinterpret_cast<const void*>(bytes); }

// A sprite's vertices usually carry colours of full alpha: drawn with the
// usual alpha blend over an opaque texture, such a draw needs no blending.
template <typename V>
bool AllOpaque(const V* vertices, int count)
{
    return std::all_of(vertices, vertices + count, [](const V& v) { return (v.color >> 24) == 0xff; });
}

// Triangles given in back-buffer pixels that lie wholly beyond one edge of
// the viewport cover no pixel (a sprite sliding in from off screen, say).
bool TrianglesOutside(Primitive type, const Vertex* vertices, int count, const Viewport& vp)
{
    if (type == Primitive::PointList || type == Primitive::LineList || type == Primitive::LineStrip) return false;
    auto all = [&](auto beyond) { return std::all_of(vertices, vertices + count, beyond); };
    const float left = static_cast<float>(vp.x), right = static_cast<float>(vp.x + vp.width);
    const float top = static_cast<float>(vp.y), bottom = static_cast<float>(vp.y + vp.height);
    return all([&](const Vertex& v) { return v.position.x <= left; }) ||
           all([&](const Vertex& v) { return v.position.x >= right; }) ||
           all([&](const Vertex& v) { return v.position.y <= top; }) ||
           all([&](const Vertex& v) { return v.position.y >= bottom; });
}

// The triangles of a list that can cover a pixel of the viewport.
void KeepTrianglesInside(const Vertex* vertices, int count, const Viewport& vp, std::vector<Vertex>* kept)
{
    kept->clear();
    for (int i = 0; i + 3 <= count; i += 3)
        if (!TrianglesOutside(Primitive::TriangleList, vertices + i, 3, vp))
            kept->insert(kept->end(), vertices + i, vertices + i + 3);
}

}   // namespace

bool IsSoftwareRenderer(const char* renderer)
{
    if (!renderer) return false;
    const std::string name = renderer;
    for (const char* software : {"llvmpipe", "softpipe", "swrast"})
        if (name.find(software) != std::string::npos) return true;
    return false;
}

LetterboxRect FitBackBuffer(int drawableWidth, int drawableHeight)
{
    if (drawableWidth <= 0 || drawableHeight <= 0) return {};
    double scale = std::min(static_cast<double>(drawableWidth) / BACK_BUFFER_WIDTH,
                            static_cast<double>(drawableHeight) / BACK_BUFFER_HEIGHT);
    LetterboxRect r;
    r.width = std::min(drawableWidth, static_cast<int>(std::lround(BACK_BUFFER_WIDTH * scale)));
    r.height = std::min(drawableHeight, static_cast<int>(std::lround(BACK_BUFFER_HEIGHT * scale)));
    r.x = (drawableWidth - r.width) / 2;
    r.y = (drawableHeight - r.height) / 2;
    return r;
}

GLRenderDevice::GLRenderDevice(Surface& surface) : m_Surface(surface) {}

GLRenderDevice::~GLRenderDevice()
{
    // Stop hearing of released resources before the maps go away.
    if (m_Listening) SetDeviceResourceListener(nullptr);
    if (m_Gl && !m_Gl->MissingName()) DestroyGLObjects();
    m_Program = nullptr;
    m_Specialised.clear();
    m_General.reset();
}

bool GLRenderDevice::Init(ProcLoader loader, std::string* error)
{
    std::string reason;
    if (!CreateGLObjects(loader, &reason)) {
        if (error) *error = reason;
        return false;
    }
    const GLFunctions& gl = *m_Gl;
    gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &m_MaxTextureSize);
    m_SoftwareRasteriser = IsSoftwareRenderer(reinterpret_cast<const char*>(gl.GetString(GL_RENDERER)));
    gl.Enable(GL_PROGRAM_POINT_SIZE);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ActiveTexture(GL_TEXTURE0);
    gl.LineWidth(1.0f);
    // The back buffer has no alpha of its own (X8R8G8B8): draws never write it.
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    UseProgram(*m_General);
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    m_Ready = true;
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xff000000, 1.0f);

    SetDeviceResourceListener(this);
    m_Listening = true;
    return true;
}

// ---- resources owned by the device ----

bool GLRenderDevice::CreateGLObjects(ProcLoader loader, std::string* reason)
{
    m_Gl = std::make_unique<GLFunctions>();
    if (!m_Gl->Load(loader)) {
        *reason = std::string("the OpenGL function ") + m_Gl->MissingName() + " is missing";
        return false;
    }
    m_General = std::make_unique<GLFixedFunctionProgram>(*m_Gl);
    if (!m_General->Build(std::nullopt, reason)) return false;
    if (!CreateFramebuffer()) {
        *reason = "the offscreen framebuffer cannot be created";
        return false;
    }
    if (!CreateStreamBuffer()) {
        *reason = "the vertex stream buffer cannot be created";
        return false;
    }
    CreateWhiteTexture();
    return true;
}

bool GLRenderDevice::CreateFramebuffer()
{
    const GLFunctions& gl = *m_Gl;
    gl.GenTextures(1, &m_ColorTexture);
    gl.BindTexture(GL_TEXTURE_2D, m_ColorTexture);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                  nullptr);
    gl.BindTexture(GL_TEXTURE_2D, 0);
    m_BoundTexture = 0;

    // A 16-bit depth buffer, as the game's device was created with.
    gl.GenRenderbuffers(1, &m_DepthBuffer);
    gl.BindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer);
    gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
    gl.BindRenderbuffer(GL_RENDERBUFFER, 0);

    gl.GenFramebuffers(1, &m_Framebuffer);
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_ColorTexture, 0);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_DepthBuffer);
    return gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool GLRenderDevice::CreateStreamBuffer()
{
    const GLFunctions& gl = *m_Gl;
    gl.GenBuffers(1, &m_StreamBuffer);
    gl.BindBuffer(GL_ARRAY_BUFFER, m_StreamBuffer);
    m_StreamCapacity = kInitialStreamBytes;
    m_StreamOffset = 0;
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_StreamCapacity), nullptr, GL_STREAM_DRAW);

    // Colours are ARGB words, B G R A in memory: GL_BGRA reads them as they are.
    gl.GenVertexArrays(1, &m_UserVertexArray);
    gl.BindVertexArray(m_UserVertexArray);
    const GLsizei userStride = sizeof(Vertex);
    gl.VertexAttribPointer(ATTRIB_POSITION, 3, GL_FLOAT, GL_FALSE, userStride, ByteOffset(offsetof(Vertex, position)));
    gl.VertexAttribPointer(ATTRIB_NORMAL, 3, GL_FLOAT, GL_FALSE, userStride, ByteOffset(offsetof(Vertex, normal)));
    gl.VertexAttribPointer(ATTRIB_COLOR, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, userStride,
                           ByteOffset(offsetof(Vertex, color)));
    gl.VertexAttribPointer(ATTRIB_TEXCOORD, 2, GL_FLOAT, GL_FALSE, userStride, ByteOffset(offsetof(Vertex, u)));
    for (GLuint a : {ATTRIB_POSITION, ATTRIB_NORMAL, ATTRIB_COLOR, ATTRIB_TEXCOORD}) gl.EnableVertexAttribArray(a);

    gl.GenVertexArrays(1, &m_PointVertexArray);
    gl.BindVertexArray(m_PointVertexArray);
    const GLsizei pointStride = sizeof(PointVertex);
    gl.VertexAttribPointer(ATTRIB_POSITION, 3, GL_FLOAT, GL_FALSE, pointStride,
                           ByteOffset(offsetof(PointVertex, position)));
    gl.VertexAttribPointer(ATTRIB_POINT_SIZE, 1, GL_FLOAT, GL_FALSE, pointStride,
                           ByteOffset(offsetof(PointVertex, size)));
    gl.VertexAttribPointer(ATTRIB_COLOR, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, pointStride,
                           ByteOffset(offsetof(PointVertex, color)));
    for (GLuint a : {ATTRIB_POSITION, ATTRIB_POINT_SIZE, ATTRIB_COLOR}) gl.EnableVertexAttribArray(a);

    gl.BindVertexArray(0);
    m_BoundVertexArray = 0;
    return m_StreamBuffer != 0 && m_UserVertexArray != 0 && m_PointVertexArray != 0;
}

void GLRenderDevice::CreateWhiteTexture()
{
    const GLFunctions& gl = *m_Gl;
    const uint8_t white[4] = {255, 255, 255, 255};
    gl.GenTextures(1, &m_WhiteTexture);
    gl.BindTexture(GL_TEXTURE_2D, m_WhiteTexture);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    m_BoundTexture = m_WhiteTexture;
}

void GLRenderDevice::DeleteTextureObject(TextureObject& t)
{
    if (t.name == m_BoundTexture) m_BoundTexture = 0;
    m_Gl->DeleteTextures(1, &t.name);
    t.name = 0;
}

void GLRenderDevice::DeleteMeshObject(MeshObject& m)
{
    if (m.vertexArray == m_BoundVertexArray) m_BoundVertexArray = 0;
    m_Gl->DeleteVertexArrays(1, &m.vertexArray);
    m_Gl->DeleteBuffers(1, &m.vertexBuffer);
    m_Gl->DeleteBuffers(1, &m.indexBuffer);
    m = MeshObject{};
}

void GLRenderDevice::DestroyGLObjects()
{
    const GLFunctions& gl = *m_Gl;
    for (auto& [id, t] : m_Textures) DeleteTextureObject(t);
    for (auto& [id, m] : m_Meshes) DeleteMeshObject(m);
    m_Textures.clear();
    m_Meshes.clear();
    if (m_FrameFence) gl.DeleteSync(static_cast<GLsync>(m_FrameFence));
    m_FrameFence = nullptr;
    gl.BindVertexArray(0);
    gl.DeleteVertexArrays(1, &m_UserVertexArray);
    gl.DeleteVertexArrays(1, &m_PointVertexArray);
    gl.DeleteBuffers(1, &m_StreamBuffer);
    gl.DeleteTextures(1, &m_WhiteTexture);
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.DeleteFramebuffers(1, &m_Framebuffer);
    gl.DeleteRenderbuffers(1, &m_DepthBuffer);
    gl.DeleteTextures(1, &m_ColorTexture);
    m_Ready = false;
}

// ---- released resources ----

void GLRenderDevice::ResourceReleased(uint64_t id)
{
    std::lock_guard<std::mutex> lock(m_ReleasedMutex);
    m_Released.push_back(id);
    m_AnyReleased.store(true, std::memory_order_release);
}

void GLRenderDevice::FreeReleasedResources()
{
    if (!m_AnyReleased.load(std::memory_order_acquire)) return;
    std::vector<uint64_t> ids;
    {
        std::lock_guard<std::mutex> lock(m_ReleasedMutex);
        ids.swap(m_Released);
        m_AnyReleased.store(false, std::memory_order_relaxed);
    }
    for (uint64_t id : ids) {
        if (auto t = m_Textures.find(id); t != m_Textures.end()) {
            DeleteTextureObject(t->second);
            m_Textures.erase(t);
        }
        if (auto m = m_Meshes.find(id); m != m_Meshes.end()) {
            DeleteMeshObject(m->second);
            m_Meshes.erase(m);
        }
    }
}

// ---- frame ----

void GLRenderDevice::Clear(uint32_t flags, uint32_t argb, float z)
{
    if (m_Recording) {
        m_Frame.AddClear(m_State, flags, argb, z);
        return;
    }
    ClearNow(flags, argb, z);
}

void GLRenderDevice::ClearNow(uint32_t flags, uint32_t argb, float z)
{
    if (!m_Ready || m_Hidden) return;
    const GLFunctions& gl = *m_Gl;
    Viewport vp = ClampToBackBuffer(m_State.viewport);
    gl.Enable(GL_SCISSOR_TEST);
    gl.Scissor(vp.x, BottomRow(vp), vp.width, vp.height);
    GLbitfield bits = 0;
    if (flags & CLEAR_TARGET) {
        ColorF c = ToColorF(argb);
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        gl.ClearColor(c.r, c.g, c.b, 1.0f);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & CLEAR_ZBUFFER) {
        gl.DepthMask(GL_TRUE);
        gl.ClearDepth(std::clamp(z, 0.0f, 1.0f));
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    if (bits) gl.Clear(bits);
    gl.Disable(GL_SCISSOR_TEST);
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    if (flags & CLEAR_ZBUFFER) m_Applied.zWrite = true;   // the depth mask is on now
}

void GLRenderDevice::BeginScene()
{
    if (!m_Ready) return;
    FreeReleasedResources();
    m_Hidden = !m_Surface.IsVisible();
    m_Gl->BindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    if (m_Recording) StopRecording();   // a frame never presented is drawn all the same
    // Only a window's frames are kept as data: an offscreen frame is wanted
    // in the back buffer whatever it is.
    m_Recording = m_Surface.IsShown() && !m_Hidden;
    if (m_Recording) m_Frame.Reset();
}

void GLRenderDevice::EndScene() {}

bool GLRenderDevice::Present()
{
    if (!m_Ready) return false;
    const bool recorded = std::exchange(m_Recording, false);
    if (m_Hidden || !m_Surface.IsVisible()) {
        m_LastFrame.MarkIncomplete();
        m_Shown.Forget();
        m_Surface.SkipFrame();
        return true;
    }
    if (recorded && WindowStillShows(m_Frame)) {
        ++m_StillFramesSkipped;
        m_Surface.SkipFrame();
        return true;
    }
    if (recorded) {
        Replay(m_Frame);
        std::swap(m_Frame, m_LastFrame);
    } else {
        m_LastFrame.MarkIncomplete();
    }
    if (m_Surface.IsShown()) {
        ShowInWindow();
    } else {
        SendOffscreenFrame();
        m_Surface.SwapBuffers();
    }
    return true;
}

// The frame goes to the driver now, as showing it would send it. Nothing
// waits for a frame that is not shown, so a software rasteriser slower than
// the game would queue frame after frame, each with all its draws binned (a
// stage's first frames, with its large arena, took 200 MB that way): the next
// frame waits until the one before this one is drawn.
void GLRenderDevice::SendOffscreenFrame()
{
    const GLFunctions& gl = *m_Gl;
    auto previous = static_cast<GLsync>(m_FrameFence);
    m_FrameFence = gl.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    gl.Flush();
    if (!previous) return;
    gl.ClientWaitSync(previous, 0, kFrameWaitNs);
    gl.DeleteSync(previous);
}

void GLRenderDevice::ShowInWindow()
{
    int width = 0, height = 0;
    m_Surface.DrawableSize(&width, &height);
    // Reading the picture back costs far less than scaling it to the window,
    // and a still screen (the title at rest, a paused battle) is then shown once.
    m_Picture.resize(size_t{BACK_BUFFER_WIDTH} * BACK_BUFFER_HEIGHT * 4);
    m_Gl->BindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
    m_Gl->ReadPixels(0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, m_Picture.data());
    const bool damaged = m_Surface.TakeDamage() || std::exchange(m_DamagePending, false);
    if (!m_Shown.NeedsShowing(m_Picture, width, height, damaged)) {
        m_Surface.SkipFrame();
        return;
    }
    if (!m_SoftwareRasteriser || !m_Surface.ShowPixels(m_Picture, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT)) {
        Letterbox(width, height);
        m_Surface.SwapBuffers();
    }
    m_Shown.Shown(&m_Picture, width, height);
}

void GLRenderDevice::Letterbox(int width, int height)
{
    const GLFunctions& gl = *m_Gl;
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.Viewport(0, 0, std::max(width, 0), std::max(height, 0));
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    LetterboxRect r = FitBackBuffer(width, height);
    // Only black bars need clearing: where the picture covers the whole
    // drawable the blit writes every pixel.
    if (r.width != width || r.height != height) {
        gl.ClearColor(0, 0, 0, 1);
        gl.Clear(GL_COLOR_BUFFER_BIT);
    }
    // At a whole multiple of the back buffer's size (1280 x 960 is twice it)
    // each pixel becomes an even square of pixels: nearest shows the picture
    // exactly, and costs the software rasteriser far less than linear, which
    // would only soften the edges between those squares.
    const bool wholeMultiple = r.width % BACK_BUFFER_WIDTH == 0 && r.height % BACK_BUFFER_HEIGHT == 0 &&
                               r.width / BACK_BUFFER_WIDTH == r.height / BACK_BUFFER_HEIGHT;
    if (r.width > 0 && r.height > 0)
        gl.BlitFramebuffer(0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, r.x, r.y, r.x + r.width, r.y + r.height,
                           GL_COLOR_BUFFER_BIT, wholeMultiple ? GL_NEAREST : GL_LINEAR);
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    m_ViewportKnown = false;
}

std::vector<uint8_t> GLRenderDevice::ReadBackBuffer()
{
    if (!m_Ready) return {};
    if (m_Recording) StopRecording();
    const size_t rowBytes = size_t{BACK_BUFFER_WIDTH} * 4;
    std::vector<uint8_t> pixels(rowBytes * BACK_BUFFER_HEIGHT);
    m_Gl->BindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
    m_Gl->ReadPixels(0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // GL hands the rows over bottom first.
    for (int top = 0, bottom = BACK_BUFFER_HEIGHT - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels.begin() + top * rowBytes, pixels.begin() + (top + 1) * rowBytes,
                         pixels.begin() + bottom * rowBytes);
    return pixels;
}

void GLRenderDevice::Finish()
{
    if (m_Recording) StopRecording();
    if (m_Ready) m_Gl->Finish();
    m_Surface.FinishShowing();
}

unsigned GLRenderDevice::TakeGLError()
{
    if (!m_Gl || m_Gl->MissingName()) return 0;
    GLenum first = m_Gl->GetError();
    if (first == GL_NO_ERROR) return 0;
    // GL keeps one flag per kind of error: a handful of calls drains them.
    for (int i = 0; i < 8 && m_Gl->GetError() != GL_NO_ERROR; ++i) {}
    return first;
}

// ---- still frames ----

// The texture of a draw about to be recorded, as its GL object stands now;
// false when that object is yet to be made (or made anew), which only drawing
// as given does.
bool GLRenderDevice::RecordTextureUse(RecordedFrame::TextureUse* use)
{
    const Texture* texture = m_State.texture;
    if (!texture) return true;
    auto found = m_Textures.find(texture->Id());
    if (found == m_Textures.end() || found->second.version != texture->Version()) return false;
    *use = {texture->Id(), texture->Version(), found->second.name, texture->IsOpaque()};
    return true;
}

// What was recorded is drawn now, and the rest of the frame as it is given.
void GLRenderDevice::StopRecording()
{
    m_Recording = false;
    Replay(m_Frame);
    m_Frame.MarkIncomplete();
}

void GLRenderDevice::Replay(const RecordedFrame& frame)
{
    const DeviceState given = m_State;
    m_Replaying = true;
    for (const RecordedFrame::Command& c : frame.Commands()) {
        m_State = c.state;
        m_ReplayTexture = c.texture;
        switch (c.kind) {
            case RecordedFrame::Kind::Clear: ClearNow(c.clearFlags, c.argb, c.z); break;
            case RecordedFrame::Kind::User:
                DrawUserNow(c.primitive, frame.VerticesOf(c), static_cast<int>(c.count), c.vertexFlags);
                break;
            case RecordedFrame::Kind::Points: DrawPointsNow(frame.PointsOf(c), static_cast<int>(c.count)); break;
        }
    }
    m_Replaying = false;
    m_State = given;
}

// The frame is the one drawn last, and the window still shows that picture at
// its present size, undamaged.
bool GLRenderDevice::WindowStillShows(const RecordedFrame& frame)
{
    if (!frame.SameAs(m_LastFrame)) return false;
    if (m_Surface.TakeDamage()) {
        m_DamagePending = true;   // for the frame now drawn
        return false;
    }
    int width = 0, height = 0;
    m_Surface.DrawableSize(&width, &height);
    return m_Shown.Shows(width, height);
}

// ---- state ----

bool GLRenderDevice::BeginDraw()
{
    if (!m_Ready || m_Hidden) return false;
    // A frame drawn from its record may use the GL objects of resources that
    // died after it was given: they go once it is drawn.
    if (!m_Replaying) FreeReleasedResources();
    ApplyFixedStates();
    ApplyViewport();
    return true;
}

void GLRenderDevice::ApplyFixedStates()
{
    const RenderStates& rs = m_State.rs;
    const GLFunctions& gl = *m_Gl;
    AppliedStates& a = m_Applied;
    const bool known = m_StatesKnown;
    if (!known || rs.zEnable != a.zEnable) {
        if (rs.zEnable)
            gl.Enable(GL_DEPTH_TEST);
        else
            gl.Disable(GL_DEPTH_TEST);
        a.zEnable = rs.zEnable;
    }
    if (!known || (rs.zEnable && rs.zFunc != a.zFunc)) {
        gl.DepthFunc(ToGL(rs.zFunc));
        a.zFunc = rs.zFunc;
    }
    if (!known || rs.zWrite != a.zWrite) {
        gl.DepthMask(rs.zWrite ? GL_TRUE : GL_FALSE);
        a.zWrite = rs.zWrite;
    }
    ApplyCull(rs.cull);
    m_StatesKnown = true;
}

void GLRenderDevice::ApplyBlend(bool opaqueFragments)
{
    const RenderStates& rs = m_State.rs;
    AppliedStates& a = m_Applied;
    const bool known = m_BlendKnown;
    const bool blend = rs.alphaBlend && !(m_UnblendOpaque && BlendKeepsSource(rs, opaqueFragments));
    if (!known || blend != a.alphaBlend) {
        if (blend)
            m_Gl->Enable(GL_BLEND);
        else
            m_Gl->Disable(GL_BLEND);
        a.alphaBlend = blend;
    }
    if (!known || (blend && (rs.srcBlend != a.srcBlend || rs.destBlend != a.destBlend))) {
        m_Gl->BlendFunc(ToGL(rs.srcBlend), ToGL(rs.destBlend));
        a.srcBlend = rs.srcBlend;
        a.destBlend = rs.destBlend;
    }
    m_BlendKnown = true;
}

bool GLRenderDevice::BlendKeepsSource(const RenderStates& rs, bool opaqueFragments)
{
    // One and Zero keep the source whatever it is; with a source alpha of 1
    // SrcAlpha is One and InvSrcAlpha is Zero.
    const bool sourceWhole = rs.srcBlend == Blend::One || (opaqueFragments && rs.srcBlend == Blend::SrcAlpha);
    const bool destGone = rs.destBlend == Blend::Zero || (opaqueFragments && rs.destBlend == Blend::InvSrcAlpha);
    return sourceWhole && destGone;
}

bool GLRenderDevice::FragmentsOpaque(const DrawInputs& in, bool textured) const
{
    const RenderStates& rs = m_State.rs;
    const bool lit = rs.lighting && !in.screenSpace;
    // The diffuse colour's alpha is the material's when lit (a NaN counts as
    // see-through), the vertices' when they carry colours, 1 otherwise.
    const bool diffuseOpaque = lit ? m_State.material.diffuse.a >= 1.0f : !in.hasColor || in.colorsOpaque;
    const bool texelOpaque = !textured || (m_Replaying ? m_ReplayTexture.opaque : m_State.texture->IsOpaque());
    auto opaque = [&](TexArg arg) { return arg == TexArg::Texture ? texelOpaque : diffuseOpaque; };
    const TextureStage& s = rs.stage0;
    if (s.colorOp == TexOp::Disable) return diffuseOpaque;
    switch (s.alphaOp) {
        case TexOp::Disable: return diffuseOpaque;
        case TexOp::SelectArg1: return opaque(s.alphaArg1);
        case TexOp::SelectArg2: return opaque(s.alphaArg2);
        case TexOp::Modulate:
        case TexOp::Add: return opaque(s.alphaArg1) && opaque(s.alphaArg2);
    }
    return false;
}

void GLRenderDevice::ApplyCull(Cull cull)
{
    if (m_StatesKnown && cull == m_Applied.cull) return;
    // Direct3D names the winding that is culled as it appears on screen, and
    // so does GL: the back buffer is drawn upright (clip-space y up is the top
    // of the screen in both), so no flip is involved. D3D's default (cull
    // counter-clockwise) keeps clockwise triangles: GL front face CW.
    const GLFunctions& gl = *m_Gl;
    if (cull == Cull::None) {
        gl.Disable(GL_CULL_FACE);
    } else {
        if (!m_StatesKnown || m_Applied.cull == Cull::None) gl.Enable(GL_CULL_FACE);
        gl.CullFace(GL_BACK);
        gl.FrontFace(cull == Cull::CCW ? GL_CW : GL_CCW);
    }
    m_Applied.cull = cull;
}

void GLRenderDevice::ApplyViewport()
{
    Viewport vp = ClampToBackBuffer(m_State.viewport);
    if (m_ViewportKnown && SameViewport(vp, m_AppliedViewport)) return;
    m_Gl->Viewport(vp.x, BottomRow(vp), vp.width, vp.height);
    m_Gl->DepthRange(vp.minZ, vp.maxZ);
    m_AppliedViewport = vp;
    m_ViewportKnown = true;
}

void GLRenderDevice::ApplyProgram(const DrawInputs& in)
{
    const unsigned texture = TextureName(m_State.texture);
    const bool textured = texture != m_WhiteTexture;
    ApplyBlend(FragmentsOpaque(in, textured));
    UseProgram(ProgramFor(in, textured));
    ApplyUniforms(in, textured);
    BindTextureName(texture);
}

GLFixedFunctionProgram& GLRenderDevice::ProgramFor(const DrawInputs& in, bool textured)
{
    if (!m_Specialise) return *m_General;
    const RenderStates& rs = m_State.rs;
    P::Key key;
    key.screenSpace = in.screenSpace;
    key.hasNormal = in.hasNormal;
    key.hasColor = in.hasColor;
    key.hasTexCoord = in.hasTexCoord;
    key.lighting = rs.lighting;
    key.specular = rs.specular;
    key.lightOn = m_State.light.enabled;
    key.normalizeNormals = rs.normalizeNormals;
    key.pointSizeFromVertex = in.points && in.pointSizeFromVertex;
    key.pointScale = in.points && rs.pointScale;
    key.pointSprite = in.points && rs.pointSprite;
    key.textured = textured;
    const TextureStage& stage = rs.stage0;
    key.colorOp = static_cast<uint8_t>(stage.colorOp);
    key.colorArg1 = static_cast<uint8_t>(stage.colorArg1);
    key.colorArg2 = static_cast<uint8_t>(stage.colorArg2);
    key.alphaOp = static_cast<uint8_t>(stage.alphaOp);
    key.alphaArg1 = static_cast<uint8_t>(stage.alphaArg1);
    key.alphaArg2 = static_cast<uint8_t>(stage.alphaArg2);
    key = key.Normalized();

    auto [it, inserted] = m_Specialised.try_emplace(key.Bits());
    if (inserted) {
        auto program = std::make_unique<P>(*m_Gl);
        // A program the driver refuses stays null: the general one draws instead.
        if (program->Build(key, nullptr)) it->second = std::move(program);
    }
    return it->second ? *it->second : *m_General;
}

void GLRenderDevice::UseProgram(GLFixedFunctionProgram& program)
{
    if (m_Program == &program) return;
    program.Use();
    program.SetInt(P::TEXTURE, 0);
    m_Program = &program;
}

void GLRenderDevice::ApplyUniforms(const DrawInputs& in, bool textured)
{
    const RenderStates& rs = m_State.rs;
    P& p = *m_Program;
    const Viewport vp = ClampToBackBuffer(m_State.viewport);
    const bool lit = rs.lighting && !in.screenSpace;

    p.SetBool(P::SCREEN_SPACE, in.screenSpace);
    if (in.screenSpace) {
        float shift = (in.lines || in.points) ? kPixelCentreShift : 0.0f;
        float sx = vp.width > 0 ? 2.0f / vp.width : 0.0f;
        float sy = vp.height > 0 ? -2.0f / vp.height : 0.0f;
        p.SetVec4(P::SCREEN_TO_NDC, sx, sy, (shift - vp.x) * sx - 1.0f, (shift - vp.y) * sy + 1.0f);
    } else {
        Mat4 worldView = m_State.world * m_State.view;
        p.SetMatrix(P::WORLD_VIEW_PROJ, worldView * m_State.projection);
        p.SetMatrix(P::WORLD_VIEW, worldView);
        if (lit && p.Uses(P::NORMAL_MATRIX)) p.SetMatrix(P::NORMAL_MATRIX, Transpose(Inverse(worldView)));
    }
    p.SetBool(P::HAS_NORMAL, in.hasNormal);
    p.SetBool(P::HAS_COLOR, in.hasColor);
    p.SetBool(P::HAS_TEXCOORD, in.hasTexCoord);
    p.SetBool(P::LIGHTING, lit);
    if (lit) ApplyLighting();

    if (in.points) {
        p.SetBool(P::POINT_SIZE_FROM_VERTEX, in.pointSizeFromVertex);
        p.SetBool(P::POINT_SCALE, rs.pointScale);
        p.SetFloat(P::POINT_SIZE, rs.pointSize);
        p.SetFloat(P::POINT_SIZE_MIN, rs.pointSizeMin);
        p.SetFloat(P::POINT_SIZE_MAX, rs.pointSizeMax);
        p.SetFloat(P::VIEWPORT_HEIGHT, static_cast<float>(vp.height));
    }
    p.SetBool(P::POINT_SPRITE, in.points && rs.pointSprite);

    p.SetBool(P::TEXTURED, textured);
    const TextureStage& s = rs.stage0;
    p.SetInt(P::COLOR_OP, static_cast<int>(s.colorOp));
    p.SetInt(P::COLOR_ARG1, static_cast<int>(s.colorArg1));
    p.SetInt(P::COLOR_ARG2, static_cast<int>(s.colorArg2));
    p.SetInt(P::ALPHA_OP, static_cast<int>(s.alphaOp));
    p.SetInt(P::ALPHA_ARG1, static_cast<int>(s.alphaArg1));
    p.SetInt(P::ALPHA_ARG2, static_cast<int>(s.alphaArg2));
}

void GLRenderDevice::ApplyLighting()
{
    const RenderStates& rs = m_State.rs;
    const Light& light = m_State.light;
    const Material& mat = m_State.material;
    P& p = *m_Program;
    p.SetBool(P::SPECULAR_ON, rs.specular);
    p.SetBool(P::LIGHT_ON, light.enabled);
    p.SetBool(P::NORMALIZE_NORMALS, rs.normalizeNormals);
    p.SetVec3(P::TO_LIGHT, Normalize(TransformNormal(light.direction, m_State.view)) * -1.0f);
    p.SetColor(P::LIGHT_DIFFUSE, light.diffuse);
    p.SetColor(P::LIGHT_SPECULAR, light.specular);
    p.SetColor(P::LIGHT_AMBIENT, light.ambient);
    p.SetColor(P::MAT_DIFFUSE, mat.diffuse);
    p.SetColor(P::MAT_AMBIENT, mat.ambient);
    p.SetColor(P::MAT_SPECULAR, mat.specular);
    p.SetColor(P::MAT_EMISSIVE, mat.emissive);
    p.SetFloat(P::MAT_POWER, mat.power);
    p.SetColor(P::GLOBAL_AMBIENT, ToColorF(rs.ambient));
}

// ---- textures and meshes ----

unsigned GLRenderDevice::TextureName(const Texture* texture)
{
    // A recorded draw's texture may be gone: its GL object is what it samples.
    if (m_Replaying) return m_ReplayTexture.id ? m_ReplayTexture.name : m_WhiteTexture;
    return texture ? TextureObjectFor(*texture) : m_WhiteTexture;
}

void GLRenderDevice::BindTextureName(unsigned name)
{
    if (name == m_BoundTexture) return;
    m_Gl->BindTexture(GL_TEXTURE_2D, name);
    m_BoundTexture = name;
}

unsigned GLRenderDevice::TextureObjectFor(const Texture& texture)
{
    // A texture already made needs nothing from memory (its pixels may be freed).
    if (auto found = m_Textures.find(texture.Id());
        found != m_Textures.end() && found->second.version == texture.Version())
        return found->second.name;
    const int w = texture.Width(), h = texture.Height();
    const bool usable = w > 0 && h > 0 && w <= m_MaxTextureSize && h <= m_MaxTextureSize &&
                        texture.Pixels().size() >= size_t(w) * size_t(h) * 4;
    if (!usable) return m_WhiteTexture;   // an empty texture counts as none

    TextureObject& object = m_Textures[texture.Id()];
    const GLFunctions& gl = *m_Gl;
    if (!object.name) gl.GenTextures(1, &object.name);
    gl.BindTexture(GL_TEXTURE_2D, object.name);
    m_BoundTexture = object.name;
    // The filter comes before the pixels: told at the first level that levels
    // follow, the driver makes room for the whole chain at once, instead of a
    // first level of its own that it copies out of (and keeps until) the first
    // draw.
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture.Pixels().data());
    MipChain chain(texture.Pixels().data(), w, h);
    for (int level = 1; chain.Next(); ++level)
        gl.TexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, chain.Width(), chain.Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                      chain.Pixels());
    object.version = texture.Version();
    if (m_ReleaseUploaded) texture.ReleasePixels();
    return object.name;
}

const GLRenderDevice::MeshObject* GLRenderDevice::MeshObjectFor(const Mesh& mesh)
{
    auto [it, inserted] = m_Meshes.try_emplace(mesh.Id());
    MeshObject& object = it->second;
    if (inserted || object.version != mesh.Version()) {
        UploadMesh(mesh, object);
        if (m_ReleaseUploaded) mesh.ReleaseVertices();
    }
    return &object;
}

void GLRenderDevice::UploadMesh(const Mesh& mesh, MeshObject& object)
{
    const GLFunctions& gl = *m_Gl;
    const auto& vertices = mesh.Vertices();
    const auto& indices = mesh.Indices();
    object.version = mesh.Version();
    object.indexCount = 0;
    // An index past the vertices would make GL read outside the buffer: such
    // a mesh draws nothing.
    bool valid = !vertices.empty() && !indices.empty() &&
                 std::all_of(indices.begin(), indices.end(), [&](uint32_t i) { return i < vertices.size(); });
    if (!valid) return;

    if (!object.vertexArray) {
        gl.GenVertexArrays(1, &object.vertexArray);
        gl.GenBuffers(1, &object.vertexBuffer);
        gl.GenBuffers(1, &object.indexBuffer);
    }
    gl.BindVertexArray(object.vertexArray);
    m_BoundVertexArray = object.vertexArray;
    gl.BindBuffer(GL_ARRAY_BUFFER, object.vertexBuffer);
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(MeshVertex)), vertices.data(),
                  GL_STATIC_DRAW);
    const GLsizei stride = sizeof(MeshVertex);
    gl.VertexAttribPointer(ATTRIB_POSITION, 3, GL_FLOAT, GL_FALSE, stride, ByteOffset(offsetof(MeshVertex, position)));
    gl.VertexAttribPointer(ATTRIB_NORMAL, 3, GL_FLOAT, GL_FALSE, stride, ByteOffset(offsetof(MeshVertex, normal)));
    gl.VertexAttribPointer(ATTRIB_TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride, ByteOffset(offsetof(MeshVertex, u)));
    gl.VertexAttribPointer(ATTRIB_COLOR, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                           ByteOffset(offsetof(MeshVertex, color)));
    for (GLuint a : {ATTRIB_POSITION, ATTRIB_NORMAL, ATTRIB_COLOR, ATTRIB_TEXCOORD}) gl.EnableVertexAttribArray(a);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)), indices.data(),
                  GL_STATIC_DRAW);
    object.indexCount = indices.size();
}

// ---- drawing ----

int GLRenderDevice::Stream(const void* data, size_t bytes, size_t stride)
{
    const GLFunctions& gl = *m_Gl;
    gl.BindBuffer(GL_ARRAY_BUFFER, m_StreamBuffer);
    size_t start = (m_StreamOffset + stride - 1) / stride * stride;
    if (start + bytes > m_StreamCapacity) {
        while (m_StreamCapacity < bytes) m_StreamCapacity *= 2;
        // Orphan the storage: draws still reading the old one keep it.
        gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_StreamCapacity), nullptr, GL_STREAM_DRAW);
        start = 0;
    }
    void* target = gl.MapBufferRange(GL_ARRAY_BUFFER, static_cast<GLintptr>(start), static_cast<GLsizeiptr>(bytes),
                                     GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    if (target) {
        std::memcpy(target, data, bytes);
        gl.UnmapBuffer(GL_ARRAY_BUFFER);
    } else {
        gl.BufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(start), static_cast<GLsizeiptr>(bytes), data);
    }
    m_StreamOffset = start + bytes;
    return static_cast<int>(start / stride);
}

void GLRenderDevice::Prepare(const Texture& texture)
{
    if (m_Ready) TextureObjectFor(texture);
}

void GLRenderDevice::Prepare(const Mesh& mesh)
{
    if (m_Ready) MeshObjectFor(mesh);
}

void GLRenderDevice::DrawSubset(const Mesh& mesh, int subset)
{
    // Meshes are not kept as data: a frame with one is drawn as it is given.
    if (m_Recording) StopRecording();
    if (subset < 0 || subset >= mesh.SubsetCount()) return;
    if (!BeginDraw()) return;
    const MeshObject* object = MeshObjectFor(mesh);
    const MeshSubset& s = mesh.Subsets()[static_cast<size_t>(subset)];
    if (!object->indexCount || s.firstIndex >= object->indexCount) return;
    const size_t count = std::min<size_t>(s.indexCount, object->indexCount - s.firstIndex) / 3 * 3;
    if (count == 0) return;

    DrawInputs in;
    in.hasNormal = mesh.HasNormals();
    in.hasColor = mesh.HasColors();
    in.hasTexCoord = mesh.HasTexCoords();
    ApplyProgram(in);
    if (m_BoundVertexArray != object->vertexArray) {
        m_Gl->BindVertexArray(object->vertexArray);
        m_BoundVertexArray = object->vertexArray;
    }
    m_Gl->DrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                       ByteOffset(size_t{s.firstIndex} * sizeof(uint32_t)));
}

void GLRenderDevice::DrawUser(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags)
{
    if (!vertices || vertexCount <= 0) return;
    const Viewport vp = ClampToBackBuffer(m_State.viewport);
    if ((flags & VF_SCREEN) && TrianglesOutside(type, vertices, vertexCount, vp)) return;
    if (m_Recording) {
        RecordedFrame::TextureUse texture;
        if (RecordTextureUse(&texture)) {
            // A batch of sprites may hold one sliding about off screen: only
            // what can be seen is kept, so that the frame still compares equal.
            if ((flags & VF_SCREEN) && type == Primitive::TriangleList) {
                KeepTrianglesInside(vertices, vertexCount, vp, &m_Inside);
                vertices = m_Inside.data();
                vertexCount = static_cast<int>(m_Inside.size());
            }
            if (vertexCount > 0) m_Frame.AddUser(m_State, texture, type, vertices, vertexCount, flags);
            return;
        }
        StopRecording();
    }
    DrawUserNow(type, vertices, vertexCount, flags);
}

void GLRenderDevice::DrawUserNow(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags)
{
    if (!BeginDraw()) return;
    DrawInputs in;
    in.screenSpace = (flags & VF_SCREEN) != 0;
    in.hasNormal = (flags & VF_NORMAL) != 0;
    in.hasColor = (flags & VF_COLOR) != 0;
    in.colorsOpaque = in.hasColor && AllOpaque(vertices, vertexCount);
    in.hasTexCoord = (flags & VF_TEXCOORD) != 0;
    in.points = type == Primitive::PointList;
    in.lines = type == Primitive::LineList || type == Primitive::LineStrip;
    ApplyProgram(in);
    int first = Stream(vertices, size_t(vertexCount) * sizeof(Vertex), sizeof(Vertex));
    if (m_BoundVertexArray != m_UserVertexArray) {
        m_Gl->BindVertexArray(m_UserVertexArray);
        m_BoundVertexArray = m_UserVertexArray;
    }
    m_Gl->DrawArrays(ToGL(type), first, vertexCount);
}

void GLRenderDevice::DrawPoints(const PointVertex* points, int count)
{
    if (!points || count <= 0) return;
    if (m_Recording) {
        RecordedFrame::TextureUse texture;
        if (RecordTextureUse(&texture)) {
            m_Frame.AddPoints(m_State, texture, points, count);
            return;
        }
        StopRecording();
    }
    DrawPointsNow(points, count);
}

void GLRenderDevice::DrawPointsNow(const PointVertex* points, int count)
{
    if (!BeginDraw()) return;
    DrawInputs in;
    in.hasColor = true;
    in.colorsOpaque = AllOpaque(points, count);
    in.points = true;
    in.pointSizeFromVertex = true;
    ApplyProgram(in);
    int first = Stream(points, size_t(count) * sizeof(PointVertex), sizeof(PointVertex));
    if (m_BoundVertexArray != m_PointVertexArray) {
        m_Gl->BindVertexArray(m_PointVertexArray);
        m_BoundVertexArray = m_PointVertexArray;
    }
    m_Gl->DrawArrays(GL_POINTS, first, count);
}

}   // namespace plat
