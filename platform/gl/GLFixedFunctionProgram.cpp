#include "platform/gl/GLFixedFunctionProgram.h"

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

// Shared by both stages: a state is a uniform in the general program and a
// constant in a specialised one (whose defines give the values).
const char* const kStateMacro = R"(
#ifdef SPECIALISED
#define STATE(type, name, value) const type name = value
#else
#define STATE(type, name, value) uniform type name
#endif
)";

const char* const kVertexShader = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aTexCoord;
layout(location = 4) in float aPointSize;

uniform mat4 uWorldViewProj;
uniform mat4 uWorldView;
uniform mat4 uNormalMatrix;      // inverse transpose of world x view
STATE(int, uScreenSpace, K_SCREEN_SPACE);   // positions are back-buffer pixels
uniform vec4 uScreenToNdc;       // pixel to NDC: scale x, scale y, offset x, offset y
STATE(int, uHasNormal, K_HAS_NORMAL);
STATE(int, uHasColor, K_HAS_COLOR);
STATE(int, uHasTexCoord, K_HAS_TEXCOORD);
STATE(int, uLighting, K_LIGHTING);
STATE(int, uSpecularOn, K_SPECULAR_ON);
STATE(int, uLightOn, K_LIGHT_ON);
STATE(int, uNormalizeNormals, K_NORMALIZE_NORMALS);
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
STATE(int, uPointSizeFromVertex, K_POINT_SIZE_FROM_VERTEX);
STATE(int, uPointScale, K_POINT_SCALE);
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

const char* const kFragmentShader = R"(
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vTexCoord;

uniform sampler2D uTexture;
STATE(int, uTextured, K_TEXTURED);   // 0: no texture, every texel opaque white
STATE(int, uColorOp, K_COLOR_OP);
STATE(int, uColorArg1, K_COLOR_ARG1);
STATE(int, uColorArg2, K_COLOR_ARG2);
STATE(int, uAlphaOp, K_ALPHA_OP);
STATE(int, uAlphaArg1, K_ALPHA_ARG1);
STATE(int, uAlphaArg2, K_ALPHA_ARG2);
STATE(int, uPointSprite, K_POINT_SPRITE);

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
    vec4 texel = uTextured != 0 ? texture(uTexture, uv) : vec4(1.0);
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
    "uWorldViewProj",
    "uWorldView",
    "uNormalMatrix",
    "uScreenSpace",
    "uScreenToNdc",
    "uHasNormal",
    "uHasColor",
    "uHasTexCoord",
    "uLighting",
    "uSpecularOn",
    "uLightOn",
    "uNormalizeNormals",
    "uToLight",
    "uLightDiffuse",
    "uLightSpecular",
    "uLightAmbient",
    "uMatDiffuse",
    "uMatAmbient",
    "uMatSpecular",
    "uMatEmissive",
    "uMatPower",
    "uGlobalAmbient",
    "uPointSizeFromVertex",
    "uPointScale",
    "uPointSize",
    "uPointSizeMin",
    "uPointSizeMax",
    "uViewportHeight",
    "uTexture",
    "uTextured",
    "uColorOp",
    "uColorArg1",
    "uColorArg2",
    "uAlphaOp",
    "uAlphaArg1",
    "uAlphaArg2",
    "uPointSprite",
};

constexpr uint8_t kOpDisable = static_cast<uint8_t>(TexOp::Disable);
constexpr uint8_t kOpSelectArg1 = static_cast<uint8_t>(TexOp::SelectArg1);
constexpr uint8_t kOpSelectArg2 = static_cast<uint8_t>(TexOp::SelectArg2);
constexpr uint8_t kArgTexture = static_cast<uint8_t>(TexArg::Texture);
constexpr uint8_t kArgDiffuse = static_cast<uint8_t>(TexArg::Diffuse);

// One colour or alpha operation with only the arguments it reads; on stage 0
// "current" is the diffuse colour, so it is named as such.
void NormalizeOperation(uint8_t* op, uint8_t* arg1, uint8_t* arg2)
{
    if (*arg1 != kArgTexture) *arg1 = kArgDiffuse;
    if (*arg2 != kArgTexture) *arg2 = kArgDiffuse;
    if (*op == kOpDisable || *op == kOpSelectArg2) *arg1 = 0;
    if (*op == kOpDisable || *op == kOpSelectArg1) *arg2 = 0;
}

bool ReadsTexture(uint8_t op, uint8_t arg1, uint8_t arg2)
{
    return (op != kOpDisable && op != kOpSelectArg2 && arg1 == kArgTexture) ||
           (op != kOpDisable && op != kOpSelectArg1 && arg2 == kArgTexture);
}

// The source of one stage: the version line, the key's values (when
// specialised), the state macro, then the stage's own text.
std::string StageSource(const char* body, const std::optional<GLFixedFunctionProgram::Key>& key)
{
    std::string source = "#version 330 core\n";
    if (key) {
        auto define = [&source](const char* name, int value) {
            source += std::string("#define ") + name + " " + std::to_string(value) + "\n";
        };
        source += "#define SPECIALISED\n";
        define("K_SCREEN_SPACE", key->screenSpace);
        define("K_HAS_NORMAL", key->hasNormal);
        define("K_HAS_COLOR", key->hasColor);
        define("K_HAS_TEXCOORD", key->hasTexCoord);
        define("K_LIGHTING", key->lighting);
        define("K_SPECULAR_ON", key->specular);
        define("K_LIGHT_ON", key->lightOn);
        define("K_NORMALIZE_NORMALS", key->normalizeNormals);
        define("K_POINT_SIZE_FROM_VERTEX", key->pointSizeFromVertex);
        define("K_POINT_SCALE", key->pointScale);
        define("K_POINT_SPRITE", key->pointSprite);
        define("K_TEXTURED", key->textured);
        define("K_COLOR_OP", key->colorOp);
        define("K_COLOR_ARG1", key->colorArg1);
        define("K_COLOR_ARG2", key->colorArg2);
        define("K_ALPHA_OP", key->alphaOp);
        define("K_ALPHA_ARG1", key->alphaArg1);
        define("K_ALPHA_ARG2", key->alphaArg2);
    }
    return source + kStateMacro + body;
}

}   // namespace

GLFixedFunctionProgram::Key GLFixedFunctionProgram::Key::Normalized() const
{
    Key k = *this;
    // Pre-transformed vertices are never lit and never scaled as points.
    if (k.screenSpace) k.lighting = k.pointScale = false;
    // A lit colour comes from the material, an unlit one from the vertex.
    if (k.lighting)
        k.hasColor = false;
    else
        k.lightOn = false;
    // Without the light the normal plays no part.
    if (!k.lightOn) k.specular = k.normalizeNormals = k.hasNormal = false;

    if (k.colorOp == kOpDisable) {
        // A disabled stage 0 turns texturing off altogether.
        k.colorArg1 = k.colorArg2 = k.alphaOp = k.alphaArg1 = k.alphaArg2 = 0;
    } else {
        NormalizeOperation(&k.colorOp, &k.colorArg1, &k.colorArg2);
        NormalizeOperation(&k.alphaOp, &k.alphaArg1, &k.alphaArg2);
    }
    if (!ReadsTexture(k.colorOp, k.colorArg1, k.colorArg2) && !ReadsTexture(k.alphaOp, k.alphaArg1, k.alphaArg2))
        k.textured = false;
    if (!k.textured || k.pointSprite) k.hasTexCoord = false;
    return k;
}

uint32_t GLFixedFunctionProgram::Key::Bits() const
{
    const bool flags[] = {screenSpace,      hasNormal,           hasColor,   hasTexCoord, lighting, specular, lightOn,
                          normalizeNormals, pointSizeFromVertex, pointScale, pointSprite, textured};
    uint32_t bits = 0;
    for (bool f : flags) bits = (bits << 1) | (f ? 1u : 0u);
    // Operations take three bits, arguments two.
    for (uint8_t op : {colorOp, alphaOp}) bits = (bits << 3) | (op & 7u);
    for (uint8_t arg : {colorArg1, colorArg2, alphaArg1, alphaArg2}) bits = (bits << 2) | (arg & 3u);
    return bits;
}

GLFixedFunctionProgram::~GLFixedFunctionProgram()
{
    if (m_Program) m_Gl.DeleteProgram(m_Program);
}

GLuint GLFixedFunctionProgram::Compile(GLenum type, const std::string& source, std::string* error)
{
    GLuint shader = m_Gl.CreateShader(type);
    const char* text = source.c_str();
    m_Gl.ShaderSource(shader, 1, &text, nullptr);
    m_Gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    m_Gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    GLint length = 0;
    m_Gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    m_Gl.GetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    if (error) *error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log.data();
    m_Gl.DeleteShader(shader);
    return 0;
}

bool GLFixedFunctionProgram::Build(const std::optional<Key>& key, std::string* error)
{
    GLuint vs = Compile(GL_VERTEX_SHADER, StageSource(kVertexShader, key), error);
    if (!vs) return false;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, StageSource(kFragmentShader, key), error);
    if (!fs) {
        m_Gl.DeleteShader(vs);
        return false;
    }
    m_Program = m_Gl.CreateProgram();
    m_Gl.AttachShader(m_Program, vs);
    m_Gl.AttachShader(m_Program, fs);
    m_Gl.BindFragDataLocation(m_Program, 0, "fragColor");
    m_Gl.LinkProgram(m_Program);
    m_Gl.DeleteShader(vs);
    m_Gl.DeleteShader(fs);
    GLint ok = GL_FALSE;
    m_Gl.GetProgramiv(m_Program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        m_Gl.GetProgramInfoLog(m_Program, sizeof log, nullptr, log);
        if (error) *error = std::string("shader link: ") + log;
        m_Gl.DeleteProgram(m_Program);
        m_Program = 0;
        return false;
    }
    for (int i = 0; i < UNIFORM_COUNT; ++i) m_Locations[i] = m_Gl.GetUniformLocation(m_Program, kUniformNames[i]);
    m_Known.fill(false);
    return true;
}

void GLFixedFunctionProgram::Use() { m_Gl.UseProgram(m_Program); }

bool GLFixedFunctionProgram::Changed(Uniform u, const Value& v)
{
    if (m_Known[u] && m_Values[u] == v) return false;
    m_Values[u] = v;
    m_Known[u] = true;
    return m_Locations[u] >= 0;
}

void GLFixedFunctionProgram::SetInt(Uniform u, int value)
{
    if (Changed(u, {static_cast<float>(value)})) m_Gl.Uniform1i(m_Locations[u], value);
}

void GLFixedFunctionProgram::SetFloat(Uniform u, float value)
{
    if (Changed(u, {value})) m_Gl.Uniform1f(m_Locations[u], value);
}

void GLFixedFunctionProgram::SetVec3(Uniform u, Vec3 v)
{
    Value value{v.x, v.y, v.z};
    if (Changed(u, value)) m_Gl.Uniform3fv(m_Locations[u], 1, value.data());
}

void GLFixedFunctionProgram::SetColor(Uniform u, ColorF c) { SetVec4(u, c.r, c.g, c.b, c.a); }

void GLFixedFunctionProgram::SetVec4(Uniform u, float x, float y, float z, float w)
{
    Value value{x, y, z, w};
    if (Changed(u, value)) m_Gl.Uniform4fv(m_Locations[u], 1, value.data());
}

void GLFixedFunctionProgram::SetMatrix(Uniform u, const Mat4& m)
{
    // GL reads the rows of m as columns, which turns the row-vector product
    // v * M into the shader's M' * v with the same result.
    Value value;
    std::memcpy(value.data(), m.m, sizeof m.m);
    if (Changed(u, value)) m_Gl.UniformMatrix4fv(m_Locations[u], 1, GL_FALSE, value.data());
}

}   // namespace plat
