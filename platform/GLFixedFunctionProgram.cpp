#include "platform/GLFixedFunctionProgram.h"

#include <cstring>
#include <vector>

#include "platform/RenderDevice.h"

namespace plat {

namespace {

// The shader's operation and argument numbers are the enums' values.
static_assert(static_cast<int>(TexOp::Disable) == 0 && static_cast<int>(TexOp::SelectArg1) == 1 &&
              static_cast<int>(TexOp::SelectArg2) == 2 && static_cast<int>(TexOp::Modulate) == 3 &&
              static_cast<int>(TexOp::Add) == 4);
static_assert(static_cast<int>(TexArg::Texture) == 0 && static_cast<int>(TexArg::Diffuse) == 1 &&
              static_cast<int>(TexArg::Current) == 2);

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aTexCoord;
layout(location = 4) in float aPointSize;

uniform mat4 uWorldViewProj;
uniform mat4 uWorldView;
uniform mat4 uNormalMatrix;      // inverse transpose of world x view
uniform int uScreenSpace;        // positions are back-buffer pixels
uniform vec4 uScreenToNdc;       // pixel to NDC: scale x, scale y, offset x, offset y
uniform int uHasNormal;
uniform int uHasColor;
uniform int uHasTexCoord;
uniform int uLighting;
uniform int uSpecularOn;
uniform int uLightOn;
uniform int uNormalizeNormals;
uniform vec3 uToLight;           // view space, unit length: the light's direction negated
uniform vec4 uLightDiffuse;
uniform vec4 uLightSpecular;
uniform vec4 uLightAmbient;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatSpecular;
uniform vec4 uMatEmissive;
uniform float uMatPower;
uniform vec4 uGlobalAmbient;
uniform int uPointSizeFromVertex;
uniform int uPointScale;
uniform float uPointSize;
uniform float uPointSizeMin;
uniform float uPointSizeMax;
uniform float uViewportHeight;

out vec4 vDiffuse;
out vec3 vSpecular;
out vec2 vTexCoord;

vec3 EyeNormal()
{
    if (uHasNormal == 0) return vec3(0.0);
    vec3 n = (uNormalMatrix * vec4(aNormal, 0.0)).xyz;
    // Like Direct3D, normals keep the length the transforms give them unless
    // asked otherwise: a mesh drawn larger is lit more darkly.
    if (uNormalizeNormals == 0) return n;
    float len = length(n);
    return len > 0.0 ? n / len : n;
}

void Light(vec3 eyePos)
{
    vec3 n = EyeNormal();
    vec3 color = uMatEmissive.rgb + uGlobalAmbient.rgb * uMatAmbient.rgb;
    if (uLightOn != 0) {
        color += uLightAmbient.rgb * uMatAmbient.rgb;
        float nDotL = dot(n, uToLight);
        if (nDotL > 0.0) {
            color += uLightDiffuse.rgb * uMatDiffuse.rgb * nDotL;
            if (uSpecularOn != 0) {
                float eyeDist = length(eyePos);
                vec3 toEye = eyeDist > 0.0 ? -eyePos / eyeDist : vec3(0.0, 0.0, -1.0);
                vec3 h = normalize(uToLight + toEye);
                float nDotH = dot(n, h);
                if (nDotH > 0.0)
                    vSpecular = clamp(uLightSpecular.rgb * uMatSpecular.rgb * pow(nDotH, uMatPower), 0.0, 1.0);
            }
        }
    }
    vDiffuse = vec4(clamp(color, 0.0, 1.0), clamp(uMatDiffuse.a, 0.0, 1.0));
}

float PointSize(vec3 eyePos)
{
    float size = uPointSizeFromVertex != 0 ? aPointSize : uPointSize;
    if (uPointScale != 0 && uScreenSpace == 0) {
        float dist = length(eyePos);
        size = dist > 0.0 ? uViewportHeight * size / dist : uPointSizeMax;
    }
    return clamp(size, uPointSizeMin, uPointSizeMax);
}

void main()
{
    vec4 vertexColor = uHasColor != 0 ? aColor : vec4(1.0);
    vTexCoord = uHasTexCoord != 0 ? aTexCoord : vec2(0.0);
    vSpecular = vec3(0.0);
    vec3 eyePos = vec3(0.0);
    if (uScreenSpace != 0) {
        gl_Position = vec4(aPosition.xy * uScreenToNdc.xy + uScreenToNdc.zw, aPosition.z * 2.0 - 1.0, 1.0);
        vDiffuse = vertexColor;
    } else {
        vec4 clip = uWorldViewProj * vec4(aPosition, 1.0);
        clip.z = clip.z * 2.0 - clip.w;   // depth 0..w becomes -w..w
        gl_Position = clip;
        eyePos = (uWorldView * vec4(aPosition, 1.0)).xyz;
        if (uLighting != 0) Light(eyePos);
        else vDiffuse = vertexColor;
    }
    gl_PointSize = max(PointSize(eyePos), 0.0);
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vTexCoord;

uniform sampler2D uTexture;
uniform int uColorOp;
uniform int uColorArg1;
uniform int uColorArg2;
uniform int uAlphaOp;
uniform int uAlphaArg1;
uniform int uAlphaArg2;
uniform int uPointSprite;

out vec4 fragColor;

const int OP_DISABLE = 0;
const int OP_SELECT_ARG1 = 1;
const int OP_SELECT_ARG2 = 2;
const int OP_MODULATE = 3;
const int OP_ADD = 4;
const int ARG_TEXTURE = 0;

// On stage 0 both "diffuse" and "current" are the interpolated vertex colour.
vec4 Arg(int arg, vec4 texel) { return arg == ARG_TEXTURE ? texel : vDiffuse; }

vec4 Combine(int op, vec4 a1, vec4 a2)
{
    if (op == OP_SELECT_ARG1) return a1;
    if (op == OP_SELECT_ARG2) return a2;
    if (op == OP_MODULATE) return a1 * a2;
    if (op == OP_ADD) return min(a1 + a2, vec4(1.0));
    return vDiffuse;
}

void main()
{
    vec2 uv = uPointSprite != 0 ? gl_PointCoord : vTexCoord;
    vec4 texel = texture(uTexture, uv);
    vec4 color;
    if (uColorOp == OP_DISABLE) {
        color = vDiffuse;   // a disabled stage 0 turns texturing off altogether
    } else {
        color.rgb = Combine(uColorOp, Arg(uColorArg1, texel), Arg(uColorArg2, texel)).rgb;
        color.a = Combine(uAlphaOp, Arg(uAlphaArg1, texel), Arg(uAlphaArg2, texel)).a;
    }
    fragColor = vec4(min(color.rgb + vSpecular, vec3(1.0)), color.a);
}
)";

const char* const kUniformNames[GLFixedFunctionProgram::UNIFORM_COUNT] = {
    "uWorldViewProj", "uWorldView", "uNormalMatrix", "uScreenSpace", "uScreenToNdc",
    "uHasNormal", "uHasColor", "uHasTexCoord",
    "uLighting", "uSpecularOn", "uLightOn", "uNormalizeNormals", "uToLight", "uLightDiffuse", "uLightSpecular", "uLightAmbient",
    "uMatDiffuse", "uMatAmbient", "uMatSpecular", "uMatEmissive", "uMatPower", "uGlobalAmbient",
    "uPointSizeFromVertex", "uPointScale", "uPointSize", "uPointSizeMin", "uPointSizeMax", "uViewportHeight",
    "uTexture", "uColorOp", "uColorArg1", "uColorArg2", "uAlphaOp", "uAlphaArg1", "uAlphaArg2", "uPointSprite",
};

}  // namespace

GLFixedFunctionProgram::~GLFixedFunctionProgram()
{
    if (m_program) m_gl.DeleteProgram(m_program);
}

GLuint GLFixedFunctionProgram::Compile(GLenum type, const char* source, std::string* error)
{
    GLuint shader = m_gl.CreateShader(type);
    m_gl.ShaderSource(shader, 1, &source, nullptr);
    m_gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    m_gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    GLint length = 0;
    m_gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    m_gl.GetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    if (error) *error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log.data();
    m_gl.DeleteShader(shader);
    return 0;
}

bool GLFixedFunctionProgram::Build(std::string* error)
{
    GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, error);
    if (!vs) return false;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader, error);
    if (!fs) {
        m_gl.DeleteShader(vs);
        return false;
    }
    m_program = m_gl.CreateProgram();
    m_gl.AttachShader(m_program, vs);
    m_gl.AttachShader(m_program, fs);
    m_gl.BindFragDataLocation(m_program, 0, "fragColor");
    m_gl.LinkProgram(m_program);
    m_gl.DeleteShader(vs);
    m_gl.DeleteShader(fs);
    GLint ok = GL_FALSE;
    m_gl.GetProgramiv(m_program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        m_gl.GetProgramInfoLog(m_program, sizeof log, nullptr, log);
        if (error) *error = std::string("shader link: ") + log;
        m_gl.DeleteProgram(m_program);
        m_program = 0;
        return false;
    }
    for (int i = 0; i < UNIFORM_COUNT; ++i) m_locations[i] = m_gl.GetUniformLocation(m_program, kUniformNames[i]);
    m_known.fill(false);
    return true;
}

void GLFixedFunctionProgram::Use() { m_gl.UseProgram(m_program); }

bool GLFixedFunctionProgram::Changed(Uniform u, const Value& v)
{
    if (m_known[u] && m_values[u] == v) return false;
    m_values[u] = v;
    m_known[u] = true;
    return m_locations[u] >= 0;
}

void GLFixedFunctionProgram::SetInt(Uniform u, int value)
{
    if (Changed(u, {static_cast<float>(value)})) m_gl.Uniform1i(m_locations[u], value);
}

void GLFixedFunctionProgram::SetFloat(Uniform u, float value)
{
    if (Changed(u, {value})) m_gl.Uniform1f(m_locations[u], value);
}

void GLFixedFunctionProgram::SetVec3(Uniform u, Vec3 v)
{
    Value value{v.x, v.y, v.z};
    if (Changed(u, value)) m_gl.Uniform3fv(m_locations[u], 1, value.data());
}

void GLFixedFunctionProgram::SetColor(Uniform u, ColorF c) { SetVec4(u, c.r, c.g, c.b, c.a); }

void GLFixedFunctionProgram::SetVec4(Uniform u, float x, float y, float z, float w)
{
    Value value{x, y, z, w};
    if (Changed(u, value)) m_gl.Uniform4fv(m_locations[u], 1, value.data());
}

void GLFixedFunctionProgram::SetMatrix(Uniform u, const Mat4& m)
{
    // GL reads the rows of m as columns, which turns the row-vector product
    // v * M into the shader's M' * v with the same result.
    Value value;
    std::memcpy(value.data(), m.m, sizeof m.m);
    if (Changed(u, value)) m_gl.UniformMatrix4fv(m_locations[u], 1, GL_FALSE, value.data());
}

}  // namespace plat
