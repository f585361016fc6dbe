// The math module against values worked out by hand with D3DX's conventions.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/Math3D.h"

using namespace plat;

namespace {

void ExpectVec(Vec3 v, float x, float y, float z, float tol = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

TEST(Math3DTest, RotationsTurnLeftHanded)
{
    float q = PI / 2;
    ExpectVec(TransformCoord({1, 0, 0}, RotationY(q)), 0, 0, -1);
    ExpectVec(TransformCoord({0, 1, 0}, RotationX(q)), 0, 0, 1);
    ExpectVec(TransformCoord({1, 0, 0}, RotationZ(q)), 0, 1, 0);
    ExpectVec(TransformCoord({1, 0, 0}, RotationAxis({0, 2, 0}, q)), 0, 0, -1);
}

TEST(Math3DTest, ProductsApplyLeftToRight)
{
    Mat4 m = Scaling(2, 2, 2) * Translation(1, 0, 0);
    ExpectVec(TransformCoord({1, 1, 1}, m), 3, 2, 2);
    Mat4 n = Translation(1, 0, 0) * Scaling(2, 2, 2);
    ExpectVec(TransformCoord({1, 1, 1}, n), 4, 2, 2);
}

TEST(Math3DTest, YawPitchRollIsRollThenPitchThenYaw)
{
    Mat4 a = RotationYawPitchRoll(0.3f, -0.7f, 1.1f);
    Mat4 b = RotationZ(1.1f) * RotationX(-0.7f) * RotationY(0.3f);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-6f);
}

TEST(Math3DTest, LookAtAndPerspectiveMatchHandValues)
{
    Mat4 view = LookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    ExpectVec(TransformCoord({0, 0, 0}, view), 0, 0, 10);
    ExpectVec(TransformCoord({1, 2, 0}, view), 1, 2, 10);

    Mat4 proj = PerspectiveFovLH(60 * 0.017453292f, 1.3333334f, 1.0f, 5000.0f);
    EXPECT_NEAR(proj.m[1][1], 1.7320508f, 1e-5f);
    EXPECT_NEAR(proj.m[0][0], 1.2990381f, 1e-5f);
    EXPECT_NEAR(proj.m[2][2], 5000.0f / 4999.0f, 1e-6f);
    EXPECT_NEAR(proj.m[3][2], -5000.0f / 4999.0f, 1e-6f);
    EXPECT_EQ(proj.m[2][3], 1.0f);
    EXPECT_EQ(proj.m[3][3], 0.0f);
    // The near plane lands on depth 0, the far plane on depth 1.
    EXPECT_NEAR(TransformCoord({0, 0, 1}, proj).z, 0.0f, 1e-6f);
    EXPECT_NEAR(TransformCoord({0, 0, 5000}, proj).z, 1.0f, 1e-5f);
}

TEST(Math3DTest, InverseUndoesAndSingularFails)
{
    Mat4 m = RotationYawPitchRoll(0.4f, 0.2f, -0.9f) * Translation(3, -4, 5) * Scaling(2, 3, 4);
    Mat4 inv;
    ASSERT_TRUE(Inverse(m, &inv));
    Mat4 id = m * inv;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(id.m[i][j], i == j ? 1.0f : 0.0f, 1e-5f);
    EXPECT_FALSE(Inverse(Scaling(1, 0, 1), &inv));
}

TEST(Math3DTest, NormalizeKeepsZero)
{
    ExpectVec(Normalize({0, 0, 0}), 0, 0, 0);
    ExpectVec(Normalize({3, 0, 4}), 0.6f, 0, 0.8f);
}

TEST(Math3DTest, ProjectMapsToViewportPixels)
{
    Viewport vp;   // 640 x 480
    Mat4 view = LookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    Mat4 proj = PerspectiveFovLH(PI / 2, 1.0f, 1.0f, 100.0f);
    Vec3 centre = Project({0, 0, 0}, vp, proj, view, Mat4::Identity());
    EXPECT_NEAR(centre.x, 320, 1e-3);
    EXPECT_NEAR(centre.y, 240, 1e-3);
    // With a 90 degree field of view a point at height 10 and distance 10 sits on the top edge.
    Vec3 top = Project({0, 10, 0}, vp, proj, view, Mat4::Identity());
    EXPECT_NEAR(top.y, 0, 1e-3);
    Vec3 right = Project({5, 0, 0}, vp, proj, view, Mat4::Identity());
    EXPECT_NEAR(right.x, 480, 1e-3);
}

TEST(Math3DTest, ColourConversion)
{
    ColorF c = ToColorF(0x80ff4000);
    EXPECT_NEAR(c.a, 128 / 255.0f, 1e-6);
    EXPECT_NEAR(c.r, 1.0f, 1e-6);
    EXPECT_NEAR(c.g, 64 / 255.0f, 1e-6);
    EXPECT_NEAR(c.b, 0.0f, 1e-6);
    EXPECT_EQ(ARGB(1, 2, 3, 4), 0x01020304u);
}

}   // namespace
