#include "platform/Math3D.h"

#include <cmath>
#include <utility>

namespace plat {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

Vec3 Normalize(Vec3 a)
{
    float len = Length(a);
    if (len == 0.0f) return {0, 0, 0};
    return a * (1.0f / len);
}

Mat4 operator*(const Mat4& a, const Mat4& b)
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

Mat4 Translation(float x, float y, float z)
{
    Mat4 r;
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Mat4 Scaling(float x, float y, float z)
{
    Mat4 r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

Mat4 RotationX(float a)
{
    Mat4 r;
    float c = std::cos(a), s = std::sin(a);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Mat4 RotationY(float a)
{
    Mat4 r;
    float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Mat4 RotationZ(float a)
{
    Mat4 r;
    float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Mat4 RotationYawPitchRoll(float yaw, float pitch, float roll)
{
    return RotationZ(roll) * RotationX(pitch) * RotationY(yaw);
}

Mat4 RotationAxis(Vec3 axis, float angle)
{
    Vec3 v = Normalize(axis);
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    Mat4 r;
    r.m[0][0] = t * v.x * v.x + c;
    r.m[0][1] = t * v.x * v.y + s * v.z;
    r.m[0][2] = t * v.x * v.z - s * v.y;
    r.m[1][0] = t * v.x * v.y - s * v.z;
    r.m[1][1] = t * v.y * v.y + c;
    r.m[1][2] = t * v.y * v.z + s * v.x;
    r.m[2][0] = t * v.x * v.z + s * v.y;
    r.m[2][1] = t * v.y * v.z - s * v.x;
    r.m[2][2] = t * v.z * v.z + c;
    return r;
}

Mat4 LookAtLH(Vec3 eye, Vec3 at, Vec3 up)
{
    Vec3 z = Normalize(at - eye);
    Vec3 x = Normalize(Cross(up, z));
    Vec3 y = Cross(z, x);
    Mat4 r;
    r.m[0][0] = x.x;
    r.m[0][1] = y.x;
    r.m[0][2] = z.x;
    r.m[0][3] = 0;
    r.m[1][0] = x.y;
    r.m[1][1] = y.y;
    r.m[1][2] = z.y;
    r.m[1][3] = 0;
    r.m[2][0] = x.z;
    r.m[2][1] = y.z;
    r.m[2][2] = z.z;
    r.m[2][3] = 0;
    r.m[3][0] = -Dot(x, eye);
    r.m[3][1] = -Dot(y, eye);
    r.m[3][2] = -Dot(z, eye);
    r.m[3][3] = 1;
    return r;
}

Mat4 PerspectiveFovLH(float fovY, float aspect, float zn, float zf)
{
    float yScale = 1.0f / std::tan(fovY / 2.0f);
    float xScale = yScale / aspect;
    Mat4 r;
    r.m[0][0] = xScale;
    r.m[1][1] = yScale;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1;
    r.m[3][2] = -zn * zf / (zf - zn);
    r.m[3][3] = 0;
    return r;
}

Mat4 OrthoOffCenterLH(float l, float r, float b, float t, float zn, float zf)
{
    Mat4 m;
    m.m[0][0] = 2.0f / (r - l);
    m.m[1][1] = 2.0f / (t - b);
    m.m[2][2] = 1.0f / (zf - zn);
    m.m[3][0] = (l + r) / (l - r);
    m.m[3][1] = (t + b) / (b - t);
    m.m[3][2] = zn / (zn - zf);
    return m;
}

Mat4 Transpose(const Mat4& a)
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = a.m[j][i];
    return r;
}

bool Inverse(const Mat4& a, Mat4* out, float* determinant)
{
    // Gauss-Jordan elimination with partial pivoting, in double for accuracy.
    double w[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            w[i][j] = a.m[i][j];
            w[i][j + 4] = (i == j) ? 1.0 : 0.0;
        }
    double det = 1.0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(w[r][col]) > std::fabs(w[pivot][col])) pivot = r;
        if (std::fabs(w[pivot][col]) < 1e-30) {
            if (determinant) *determinant = 0;
            if (out) *out = Mat4{};
            return false;
        }
        if (pivot != col) {
            for (int j = 0; j < 8; ++j) std::swap(w[pivot][j], w[col][j]);
            det = -det;
        }
        double p = w[col][col];
        det *= p;
        for (int j = 0; j < 8; ++j) w[col][j] /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            double f = w[r][col];
            if (f == 0.0) continue;
            for (int j = 0; j < 8; ++j) w[r][j] -= f * w[col][j];
        }
    }
    if (determinant) *determinant = static_cast<float>(det);
    if (out)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) out->m[i][j] = static_cast<float>(w[i][j + 4]);
    return true;
}

Mat4 Inverse(const Mat4& a)
{
    Mat4 r;
    Inverse(a, &r);
    return r;
}

Vec4 Transform(Vec4 v, const Mat4& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2],
            v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3]};
}

Vec3 TransformCoord(Vec3 v, const Mat4& m)
{
    Vec4 r = Transform({v.x, v.y, v.z, 1}, m);
    float invW = (r.w != 0.0f) ? 1.0f / r.w : 0.0f;
    return {r.x * invW, r.y * invW, r.z * invW};
}

Vec3 TransformNormal(Vec3 v, const Mat4& m)
{
    Vec4 r = Transform({v.x, v.y, v.z, 0}, m);
    return {r.x, r.y, r.z};
}

Vec3 Project(Vec3 v, const Viewport& vp, const Mat4& proj, const Mat4& view, const Mat4& world)
{
    Vec3 c = TransformCoord(v, world * view * proj);
    return {vp.x + (1.0f + c.x) * vp.width / 2.0f, vp.y + (1.0f - c.y) * vp.height / 2.0f,
            vp.minZ + c.z * (vp.maxZ - vp.minZ)};
}

ColorF ToColorF(uint32_t argb)
{
    return {((argb >> 16) & 0xff) / 255.0f, ((argb >> 8) & 0xff) / 255.0f, (argb & 0xff) / 255.0f,
            ((argb >> 24) & 0xff) / 255.0f};
}

}   // namespace plat
