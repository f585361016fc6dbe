// GLFunctions is responsible for the OpenGL 3.3 core entry points the device
// uses. They are looked up once through the context's own loader (so the same
// code runs on a desktop GLX context and a display-less EGL one) and called
// through this table; nothing else in the program includes a GL header.
#pragma once

#include <GL/glcorearb.h>

namespace plat {

// Every entry point, as X(type, name): the member is called without its "gl"
// prefix (gl.Clear, gl.DrawArrays).
#define SPINDREL_GL_FUNCTIONS(X)                                 \
    X(PFNGLGETSTRINGPROC, GetString)                             \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                         \
    X(PFNGLGETFLOATVPROC, GetFloatv)                             \
    X(PFNGLGETERRORPROC, GetError)                               \
    X(PFNGLFINISHPROC, Finish)                                   \
    X(PFNGLFLUSHPROC, Flush)                                     \
    X(PFNGLFENCESYNCPROC, FenceSync)                             \
    X(PFNGLCLIENTWAITSYNCPROC, ClientWaitSync)                   \
    X(PFNGLDELETESYNCPROC, DeleteSync)                           \
    X(PFNGLENABLEPROC, Enable)                                   \
    X(PFNGLDISABLEPROC, Disable)                                 \
    X(PFNGLVIEWPORTPROC, Viewport)                               \
    X(PFNGLSCISSORPROC, Scissor)                                 \
    X(PFNGLCLEARCOLORPROC, ClearColor)                           \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                           \
    X(PFNGLCLEARPROC, Clear)                                     \
    X(PFNGLCOLORMASKPROC, ColorMask)                             \
    X(PFNGLDEPTHMASKPROC, DepthMask)                             \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                             \
    X(PFNGLDEPTHRANGEPROC, DepthRange)                           \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                             \
    X(PFNGLCULLFACEPROC, CullFace)                               \
    X(PFNGLFRONTFACEPROC, FrontFace)                             \
    X(PFNGLLINEWIDTHPROC, LineWidth)                             \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                         \
    X(PFNGLREADPIXELSPROC, ReadPixels)                           \
    X(PFNGLGENTEXTURESPROC, GenTextures)                         \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                   \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                         \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                     \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                           \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                     \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                           \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                     \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                           \
    X(PFNGLBUFFERDATAPROC, BufferData)                           \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                     \
    X(PFNGLMAPBUFFERRANGEPROC, MapBufferRange)                   \
    X(PFNGLUNMAPBUFFERPROC, UnmapBuffer)                         \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                 \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)           \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                 \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)         \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray) \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                           \
    X(PFNGLDRAWELEMENTSPROC, DrawElements)                       \
    X(PFNGLCREATESHADERPROC, CreateShader)                       \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                       \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                     \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                         \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)               \
    X(PFNGLDELETESHADERPROC, DeleteShader)                       \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                     \
    X(PFNGLATTACHSHADERPROC, AttachShader)                       \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)           \
    X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)       \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                         \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                       \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)             \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                     \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                           \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)           \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                             \
    X(PFNGLUNIFORM1FPROC, Uniform1f)                             \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv)                           \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                           \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)               \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                 \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)           \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                 \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)       \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer) \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)   \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)               \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)         \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)               \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)         \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)

class GLFunctions {
public:
    using ProcLoader = void* (*)(const char* name);

    // Looks every entry point up with the loader of the current context.
    // False (naming the first one missing in MissingName()) when any is absent.
    bool Load(ProcLoader loader);
    const char* MissingName() const { return m_Missing; }

#define SPINDREL_GL_MEMBER(type, name) type name = nullptr;
    SPINDREL_GL_FUNCTIONS(SPINDREL_GL_MEMBER)
#undef SPINDREL_GL_MEMBER

private:
    const char* m_Missing = nullptr;
};

}   // namespace plat
