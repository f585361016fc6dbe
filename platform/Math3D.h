// Small value types and the matrix helpers the game uses, with D3DX semantics:
// row vectors, 4 x 4 matrices whose product applies left to right, a
// left-handed world and projection depth from 0 to 1.
#pragma once

#include <cstdint>

namespace plat {

constexpr float PI = 3.14159265358979f;

struct Vec2 {
    float x = 0, y = 0;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
    constexpr Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    bool operator==(const Vec3&) const = default;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

// Colour with float components 0..1 (lights and materials).
struct ColorF {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const ColorF&) const = default;
};

// Integer rectangle in pixels: left, top, right, bottom (right and bottom exclusive).
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Row-major 4 x 4 matrix; m[row][col]; a point is a row vector multiplied on the left.
struct Mat4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    static Mat4 Identity() { return Mat4{}; }
    bool operator==(const Mat4&) const = default;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
float Length(Vec3 a);
Vec3 Normalize(Vec3 a);   // a zero vector stays zero

Mat4 operator*(const Mat4& a, const Mat4& b);   // a first, then b
Mat4 Translation(float x, float y, float z);
Mat4 Scaling(float x, float y, float z);
Mat4 RotationX(float radians);
Mat4 RotationY(float radians);
Mat4 RotationZ(float radians);
Mat4 RotationYawPitchRoll(float yaw, float pitch, float roll);   // roll about z, then pitch about x, then yaw about y
Mat4 RotationAxis(Vec3 axis, float radians);
Mat4 LookAtLH(Vec3 eye, Vec3 at, Vec3 up);
Mat4 PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Mat4 OrthoOffCenterLH(float l, float r, float b, float t, float zn, float zf);
Mat4 Transpose(const Mat4& a);
bool Inverse(const Mat4& a, Mat4* out, float* determinant = nullptr);   // false (and identity) when singular
Mat4 Inverse(const Mat4& a);

Vec3 TransformCoord(Vec3 v, const Mat4& m);    // w divided out
Vec3 TransformNormal(Vec3 v, const Mat4& m);   // no translation
Vec4 Transform(Vec4 v, const Mat4& m);

struct Viewport {
    int x = 0, y = 0, width = 640, height = 480;
    float minZ = 0, maxZ = 1;
    bool operator==(const Viewport&) const = default;
};

// D3DXVec3Project: world point to viewport pixels (x, y) and depth z.
Vec3 Project(Vec3 v, const Viewport& vp, const Mat4& proj, const Mat4& view, const Mat4& world);

// ARGB helpers.
constexpr uint32_t ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return ((a & 0xff) << 24) | ((r & 0xff) << 16) | ((g & 0xff) << 8) | (b & 0xff);
}
ColorF ToColorF(uint32_t argb);

}   // namespace plat
