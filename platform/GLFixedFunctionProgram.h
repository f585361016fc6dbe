// GLFixedFunctionProgram is responsible for the one shader program that
// stands in for Direct3D's fixed-function pipeline: row-vector transforms with
// depth 0..1, one directional light with a material, pre-transformed screen
// vertices, point sizes with point scaling, and texture stage 0's colour and
// alpha operations. Uniform values are cached so that unchanged state costs
// no GL call.
#pragma once

#include <array>
#include <string>

#include "platform/GLFunctions.h"
#include "platform/Math3D.h"

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
        WORLD_VIEW_PROJ, WORLD_VIEW, NORMAL_MATRIX, SCREEN_SPACE, SCREEN_TO_NDC,
        HAS_NORMAL, HAS_COLOR, HAS_TEXCOORD,
        LIGHTING, SPECULAR_ON, LIGHT_ON, NORMALIZE_NORMALS, TO_LIGHT, LIGHT_DIFFUSE, LIGHT_SPECULAR, LIGHT_AMBIENT,
        MAT_DIFFUSE, MAT_AMBIENT, MAT_SPECULAR, MAT_EMISSIVE, MAT_POWER, GLOBAL_AMBIENT,
        POINT_SIZE_FROM_VERTEX, POINT_SCALE, POINT_SIZE, POINT_SIZE_MIN, POINT_SIZE_MAX, VIEWPORT_HEIGHT,
        // fragment stage
        TEXTURE, COLOR_OP, COLOR_ARG1, COLOR_ARG2, ALPHA_OP, ALPHA_ARG1, ALPHA_ARG2, POINT_SPRITE,
        UNIFORM_COUNT
    };

    explicit GLFixedFunctionProgram(const GLFunctions& gl) : m_gl(gl) {}
    ~GLFixedFunctionProgram();
    GLFixedFunctionProgram(const GLFixedFunctionProgram&) = delete;
    GLFixedFunctionProgram& operator=(const GLFixedFunctionProgram&) = delete;

    // Compiles and links; false with the driver's log in *error.
    bool Build(std::string* error);
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

private:
    using Value = std::array<float, 16>;
    bool Changed(Uniform u, const Value& v);
    GLuint Compile(GLenum type, const char* source, std::string* error);

    const GLFunctions& m_gl;
    GLuint m_program = 0;
    std::array<GLint, UNIFORM_COUNT> m_locations{};
    std::array<Value, UNIFORM_COUNT> m_values{};
    std::array<bool, UNIFORM_COUNT> m_known{};
};

}  // namespace plat
