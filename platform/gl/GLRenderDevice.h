// GLRenderDevice is responsible for drawing the game through OpenGL 3.3 core.
// Everything is drawn into a 640 x 480 offscreen framebuffer (colour and
// 16-bit depth); Present scales it to the window with black bars and swaps
// (offscreen, where nothing shows the drawable, it only flushes and swaps).
// On a software rasteriser the picture read back is scaled on the CPU and
// handed to the window as pixels instead: GL's scaled copy costs more there.
// A picture the window already shows is not shown again, and while the window
// is hidden or minimised nothing is drawn at all; the frames are still paced.
// The fixed-function states kept in RenderDevice are emulated by shader
// programs: each combination of the states that change what a fragment does
// gets its own program, built on first use and kept. Textures and meshes are decoded elsewhere (possibly on
// the loading thread); their GL objects are made here on the main thread at
// first use, rebuilt when the resource's version changes, and freed at the
// next frame or draw after the resource dies.
//
// Every call must come from the thread that owns the GL context.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/DeviceResource.h"
#include "platform/RenderDevice.h"
#include "platform/gl/RecordedFrame.h"
#include "platform/gl/ShownPicture.h"

namespace plat {

class GLFunctions;
class GLFixedFunctionProgram;

// Where the back buffer is placed in a drawable of the given size: scaled to
// fit, centred, the rest left black (x, y from the bottom-left as GL counts).
struct LetterboxRect {
    int x = 0, y = 0, width = 0, height = 0;
};
LetterboxRect FitBackBuffer(int drawableWidth, int drawableHeight);

// True for the renderer names (GL_RENDERER) of Mesa's CPU rasterisers.
bool IsSoftwareRenderer(const char* renderer);

class GLRenderDevice : public RenderDevice, private DeviceResourceListener {
public:
    // What Present needs of the window that owns the context.
    class Surface {
    public:
        virtual ~Surface() = default;
        virtual void DrawableSize(int* width, int* height) = 0;
        virtual void SwapBuffers() = 0;   // shows the frame (and paces it)
        // False when nothing ever shows the drawable (an offscreen context):
        // Present then leaves it alone, and only the back buffer holds the frame.
        virtual bool IsShown() const { return true; }
        // False while the window cannot be seen (hidden or minimised): the
        // frames are neither drawn nor shown then.
        virtual bool IsVisible() const { return true; }
        // True once after the window's contents were lost or damaged
        // (uncovered, resized, shown again): the next frame is shown whatever it is.
        virtual bool TakeDamage() { return false; }
        // The frame is not shown: only its pacing is kept.
        virtual void SkipFrame() {}
        // Shows a picture read back from GL (RGBA, bottom row first) in the
        // window without GL, scaled and letterboxed, and paces the frame.
        // False when the window cannot take pixels that way.
        virtual bool ShowPixels(const std::vector<uint8_t>& /*rgbaBottomUp*/, int /*width*/, int /*height*/)
        {
            return false;
        }
        // Returns once the last picture shown is in the window.
        virtual void FinishShowing() {}
    };

    using ProcLoader = void* (*)(const char* name);

    explicit GLRenderDevice(Surface& surface);
    ~GLRenderDevice() override;

    // Loads the GL entry points with the current context's loader and builds
    // the program, framebuffer and buffers. False with a reason in *error.
    bool Init(ProcLoader loader, std::string* error);

    void Clear(uint32_t flags, uint32_t argb, float z) override;
    void BeginScene() override;
    void EndScene() override;
    bool Present() override;
    void DrawSubset(const Mesh& mesh, int subset) override;
    void DrawUser(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags) override;
    void DrawPoints(const PointVertex* points, int count) override;
    std::vector<uint8_t> ReadBackBuffer() override;
    void Prepare(const Texture& texture) override;
    void Prepare(const Mesh& mesh) override;
    // Waits until every command given so far has been carried out (benchmarks
    // time whole frames with it).
    void Finish();

    // True (the default): each draw uses the program specialised for its
    // states. False: every draw uses the general program that branches on
    // uniforms (tests compare the two).
    void SetSpecialisedPrograms(bool on) { m_Specialise = on; }
    size_t SpecialisedProgramCount() const { return m_Specialised.size(); }

    // True (the default): a draw whose blend would keep its source as it is
    // (an opaque draw weighed by its own alpha, or One and Zero) is drawn with
    // blending off, the same picture for less work. False: blending exactly as
    // the states say (tests compare the two).
    void SetUnblendedOpaqueDraws(bool on) { m_UnblendOpaque = on; }

    // True: once a texture's pixels or a mesh's vertices are in GL objects,
    // the copies in memory are freed (a window's device, the only one that
    // ever draws them). False (the default): they are kept, for other devices
    // and for tests that read them.
    void SetReleaseUploadedData(bool on) { m_ReleaseUploaded = on; }

    // Frames given in a window that were the same as the one it already
    // showed, so that nothing was drawn for them.
    uint64_t StillFramesSkipped() const { return m_StillFramesSkipped; }

    // GL objects held for live resources (tests watch them being freed).
    size_t TextureObjectCount() const { return m_Textures.size(); }
    size_t MeshObjectCount() const { return m_Meshes.size(); }
    // The oldest GL error recorded since the last call (0: none); clears them all.
    unsigned TakeGLError();

private:
    struct TextureObject {
        unsigned name = 0;
        uint32_t version = 0;
    };
    struct MeshObject {
        unsigned vertexArray = 0, vertexBuffer = 0, indexBuffer = 0;
        uint32_t version = 0;
        size_t indexCount = 0;   // 0: nothing drawable (empty or bad indices)
    };
    // What the shader needs to know about the vertices of one draw.
    struct DrawInputs {
        bool screenSpace = false, hasNormal = false, hasColor = false, hasTexCoord = false;
        bool points = false, pointSizeFromVertex = false, lines = false;
        bool colorsOpaque = false;   // every vertex colour has full alpha
    };

    void ResourceReleased(uint64_t id) override;   // any thread
    void FreeReleasedResources();

    bool CreateGLObjects(ProcLoader loader, std::string* reason);
    bool CreateFramebuffer();
    bool CreateStreamBuffer();
    void CreateWhiteTexture();
    void DestroyGLObjects();
    // Scales the back buffer into the drawable with black bars round it.
    void Letterbox(int width, int height);
    // Puts the frame on the window unless the window already shows it.
    void ShowInWindow();
    // Sends the frame to the driver and waits for the one before it.
    void SendOffscreenFrame();
    void DeleteTextureObject(TextureObject& t);
    void DeleteMeshObject(MeshObject& m);

    void ClearNow(uint32_t flags, uint32_t argb, float z);
    void DrawUserNow(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags);
    void DrawPointsNow(const PointVertex* points, int count);
    // A still screen: the frame is kept as data first, and drawn at Present
    // only when it differs from the one the window shows.
    bool RecordTextureUse(RecordedFrame::TextureUse* use);
    void StopRecording();
    void Replay(const RecordedFrame& frame);
    bool WindowStillShows(const RecordedFrame& frame);

    bool BeginDraw();
    void ApplyFixedStates();
    void ApplyViewport();
    // Blending as the states ask, left off where it would keep the source as it is.
    void ApplyBlend(bool opaqueFragments);
    static bool BlendKeepsSource(const RenderStates& rs, bool opaqueFragments);
    // True when every fragment of the draw comes out with alpha 1.
    bool FragmentsOpaque(const DrawInputs& in, bool textured) const;
    void ApplyCull(Cull cull);
    // Chooses the program for the draw, binds its texture and sets its uniforms.
    void ApplyProgram(const DrawInputs& in);
    GLFixedFunctionProgram& ProgramFor(const DrawInputs& in, bool textured);
    void UseProgram(GLFixedFunctionProgram& program);
    void ApplyUniforms(const DrawInputs& in, bool textured);
    void ApplyLighting();
    // The GL texture that stands for the texture (the white one for none).
    unsigned TextureName(const Texture* texture);
    void BindTextureName(unsigned name);
    unsigned TextureObjectFor(const Texture& texture);
    const MeshObject* MeshObjectFor(const Mesh& mesh);
    void UploadMesh(const Mesh& mesh, MeshObject& object);
    // Appends vertices to the shared stream buffer; returns the index of the
    // first one, counted in strides.
    int Stream(const void* data, size_t bytes, size_t stride);

    Surface& m_Surface;
    std::unique_ptr<GLFunctions> m_Gl;
    std::unique_ptr<GLFixedFunctionProgram> m_General;
    // Keyed by GLFixedFunctionProgram::Key::Bits of a normalised key; null
    // where the driver refused the program (the general one stands in).
    std::unordered_map<uint32_t, std::unique_ptr<GLFixedFunctionProgram>> m_Specialised;
    GLFixedFunctionProgram* m_Program = nullptr;   // the one in use
    bool m_Specialise = true;
    bool m_UnblendOpaque = true;
    bool m_ReleaseUploaded = false;
    // GL draws on the CPU (Mesa's llvmpipe, softpipe or swrast): the picture
    // goes to the window as pixels, since scaling it with GL costs more there.
    bool m_SoftwareRasteriser = false;
    bool m_Ready = false;
    bool m_Listening = false;
    bool m_Hidden = false;   // the window cannot be seen: this frame draws nothing
    ShownPicture m_Shown;
    RecordedFrame m_Frame;       // this frame's draws, while m_Recording
    RecordedFrame m_LastFrame;   // the last frame drawn in the window
    bool m_Recording = false;
    bool m_Replaying = false;
    RecordedFrame::TextureUse m_ReplayTexture;   // the texture of the draw being replayed
    bool m_DamagePending = false;                // the window's damage, taken before a frame was drawn
    uint64_t m_StillFramesSkipped = 0;
    std::vector<Vertex> m_Inside;   // a batch's triangles that can be seen
    std::vector<uint8_t> m_Picture;   // this frame's picture, read back to compare

    unsigned m_Framebuffer = 0, m_ColorTexture = 0, m_DepthBuffer = 0;
    unsigned m_WhiteTexture = 0;
    void* m_FrameFence = nullptr;   // GLsync of the last offscreen frame sent
    unsigned m_StreamBuffer = 0, m_UserVertexArray = 0, m_PointVertexArray = 0;
    size_t m_StreamCapacity = 0, m_StreamOffset = 0;
    int m_MaxTextureSize = 0;

    std::unordered_map<uint64_t, TextureObject> m_Textures;
    std::unordered_map<uint64_t, MeshObject> m_Meshes;

    std::mutex m_ReleasedMutex;
    std::vector<uint64_t> m_Released;   // guarded by m_ReleasedMutex
    std::atomic<bool> m_AnyReleased{false};

    // The GL state last applied, so unchanged state costs no call.
    struct AppliedStates {
        bool zEnable = false, zWrite = false, alphaBlend = false;
        CompareFunc zFunc = CompareFunc::LessEqual;
        Blend srcBlend = Blend::One, destBlend = Blend::Zero;
        Cull cull = Cull::None;
    };
    AppliedStates m_Applied;
    Viewport m_AppliedViewport;
    bool m_StatesKnown = false;
    bool m_BlendKnown = false;
    bool m_ViewportKnown = false;
    unsigned m_BoundTexture = 0;
    unsigned m_BoundVertexArray = 0;
};

}   // namespace plat
