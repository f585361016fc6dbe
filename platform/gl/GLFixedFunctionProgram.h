// GLFixedFunctionProgram is responsible for a shader program that stands in
// for Direct3D's fixed-function pipeline: row-vector transforms with depth
// 0..1, one directional light with a material, pre-transformed screen
// vertices, point sizes with point scaling, and texture stage 0's colour and
// alpha operations.
//
// The general program reads every state from uniforms and branches on them.
// A specialised program is built for one Key: the states that decide what a
// vertex or fragment does are compiled in as constants, so the compiler drops
// every path the draw cannot take (on a software rasteriser the fragment work
// is most of a frame). Both come from one source text, so they compute the
// same picture. Uniform values are cached so that unchanged state costs no GL
// call.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Math3D.h"
#include "platform/gl/GLFunctions.h"

namespace plat {

// Attribute locations shared by the program and the device's vertex arrays.
constexpr GLuint ATTRIB_POSITION = 0;
constexpr GLuint ATTRIB_NORMAL = 1;
constexpr GLuint ATTRIB_COLOR = 2;
constexpr GLuint ATTRIB_TEXCOORD = 3;
constexpr GLuint ATTRIB_POINT_SIZE = 4;

class GLFixedFunctionProgram {
public:
    enum Uniform {
        // vertex stage
        WORLD_VIEW_PROJ,
        WORLD_VIEW,
        NORMAL_MATRIX,
        SCREEN_SPACE,
        SCREEN_TO_NDC,
        HAS_NORMAL,
        HAS_COLOR,
        HAS_TEXCOORD,
        LIGHTING,
        SPECULAR_ON,
        LIGHT_ON,
        NORMALIZE_NORMALS,
        TO_LIGHT,
        LIGHT_DIFFUSE,
        LIGHT_SPECULAR,
        LIGHT_AMBIENT,
        MAT_DIFFUSE,
        MAT_AMBIENT,
        MAT_SPECULAR,
        MAT_EMISSIVE,
        MAT_POWER,
        GLOBAL_AMBIENT,
        POINT_SIZE_FROM_VERTEX,
        POINT_SCALE,
        POINT_SIZE,
        POINT_SIZE_MIN,
        POINT_SIZE_MAX,
        VIEWPORT_HEIGHT,
        // fragment stage
        TEXTURE,
        TEXTURED,
        COLOR_OP,
        COLOR_ARG1,
        COLOR_ARG2,
        ALPHA_OP,
        ALPHA_ARG1,
        ALPHA_ARG2,
        POINT_SPRITE,
        UNIFORM_COUNT
    };

    // The states a specialised program has built in. Fields that cannot
    // matter for a draw are zero (see Normalized), so that draws which do the
    // same work share one program.
    struct Key {
        bool screenSpace = false;   // positions are back-buffer pixels
        bool hasNormal = false, hasColor = false, hasTexCoord = false;
        bool lighting = false, specular = false, lightOn = false, normalizeNormals = false;
        bool pointSizeFromVertex = false, pointScale = false, pointSprite = false;
        bool textured = false;                               // a texture with pixels is bound
        uint8_t colorOp = 0, colorArg1 = 0, colorArg2 = 0;   // TexOp, TexArg values
        uint8_t alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;

        // The key with every field that cannot change the result cleared.
        Key Normalized() const;
        // One number per distinct key (keys are compared and hashed by it).
        uint32_t Bits() const;
    };

    explicit GLFixedFunctionProgram(const GLFunctions& gl) : m_Gl(gl) {}
    ~GLFixedFunctionProgram();
    GLFixedFunctionProgram(const GLFixedFunctionProgram&) = delete;
    GLFixedFunctionProgram& operator=(const GLFixedFunctionProgram&) = delete;

    // Compiles and links the general program (no key) or the one specialised
    // for the key; false with the driver's log in *error.
    bool Build(const std::optional<Key>& key, std::string* error);
    void Use();

    void SetInt(Uniform u, int value);
    void SetBool(Uniform u, bool value) { SetInt(u, value ? 1 : 0); }
    void SetFloat(Uniform u, float value);
    void SetVec3(Uniform u, Vec3 v);
    void SetColor(Uniform u, ColorF c);
    void SetVec4(Uniform u, float x, float y, float z, float w);
    // A row-vector matrix as the game writes it (the shader multiplies M * v
    // with the same result).
    void SetMatrix(Uniform u, const Mat4& m);
    // Whether the program reads the uniform at all (a specialised program
    // has most states built in).
    bool Uses(Uniform u) const { return m_Locations[u] >= 0; }

private:
    using Value = std::array<float, 16>;
    bool Changed(Uniform u, const Value& v);
    GLuint Compile(GLenum type, const std::string& source, std::string* error);

    const GLFunctions& m_Gl;
    GLuint m_Program = 0;
    std::array<GLint, UNIFORM_COUNT> m_Locations{};
    std::array<Value, UNIFORM_COUNT> m_Values{};
    std::array<bool, UNIFORM_COUNT> m_Known{};
};

}   // namespace plat
