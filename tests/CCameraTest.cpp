#include <gtest/gtest.h>

#include <cmath>

#include "core/Task.h"
#include "gfx/CCamera.h"
#include "gfx/Graphics.h"
#include "platform/RecordingDevice.h"

namespace {

class CCameraTest : public ::testing::Test {
protected:
    void SetUp() override { InitGraphics(&device); }
    void TearDown() override { ReleaseGraphics(); }
    plat::RecordingDevice device;
};

TEST_F(CCameraTest, InitStartsWithIdentityAndSixtyDegrees)
{
    CCamera cam;
    cam.m_Fov = 10;
    cam.m_Orbit = 33;
    cam.Init();
    EXPECT_EQ(cam.m_Fov, 60.0f);
    EXPECT_EQ(cam.m_Orbit, 0.0f);
    EXPECT_EQ(cam.m_View.m[3][2], 0.0f);
}

TEST_F(CCameraTest, UpdateInstallsViewAndProjection)
{
    CCamera cam;
    cam.m_Eye = {0, 22, -36};
    cam.m_Target = {0, 4, 1};
    cam.Update();
    const plat::Mat4& proj = device.GetTransform(plat::TransformKind::Projection);
    EXPECT_NEAR(proj.m[1][1], 1.7320508f, 1e-5f);                  // 60 degrees vertical
    EXPECT_NEAR(proj.m[1][1] / proj.m[0][0], 1.3333334f, 1e-5f);   // 4:3
    const plat::Mat4& view = device.GetTransform(plat::TransformKind::View);
    // The target lies straight ahead of the eye, at the distance between them.
    plat::Vec3 t = plat::TransformCoord(cam.m_Target, view);
    EXPECT_NEAR(t.x, 0, 1e-4);
    EXPECT_NEAR(t.y, 0, 1e-4);
    EXPECT_NEAR(t.z, plat::Length(cam.m_Target - cam.m_Eye), 1e-3);

    // Points nearer than the near plane or beyond the far plane fall outside depth 0..1.
    plat::Mat4 vp = view * proj;
    plat::Vec3 dir = plat::Normalize(cam.m_Target - cam.m_Eye);
    EXPECT_LT(plat::TransformCoord(cam.m_Eye + dir * 0.5f, vp).z, 0.0f);
    EXPECT_GT(plat::TransformCoord(cam.m_Eye + dir * 5001.0f, vp).z, 1.0f);
    EXPECT_LT(plat::TransformCoord(cam.m_Eye + dir * 4999.0f, vp).z, 1.0f);

    cam.m_Fov = 100;
    EXPECT_NEAR(device.GetTransform(plat::TransformKind::Projection).m[1][1], 1.7320508f, 1e-5f);
    cam.Update();
    EXPECT_NEAR(device.GetTransform(plat::TransformKind::Projection).m[1][1], 1.0f / std::tan(50 * plat::PI / 180),
                1e-4f);
}

TEST_F(CCameraTest, BillboardDependsOnlyOnTheDirection)
{
    CCamera a, b;
    a.m_Eye = {0, 10, -10};
    a.m_Target = {0, 0, 0};
    b.m_Eye = {100, 210, 90};
    b.m_Target = {100, 200, 100};
    plat::Mat4 ma = BillboardMatrix(a), mb = BillboardMatrix(b);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(ma.m[i][j], mb.m[i][j], 1e-5f);
    // The model's +z axis is turned to the viewing direction.
    plat::Vec3 z = plat::TransformNormal({0, 0, 1}, ma);
    plat::Vec3 d = plat::Normalize(a.m_Target - a.m_Eye);
    EXPECT_NEAR(plat::Dot(z, d), 1.0f, 1e-5f);
}

TEST_F(CCameraTest, ProjectToScreenUsesViewportAndLastMatrices)
{
    CCamera cam;
    cam.m_Eye = {0, 0, -50};
    cam.m_Target = {0, 0, 0};
    cam.Update();
    plat::Vec2 centre = ProjectToScreen({0, 0, 0}, cam);
    EXPECT_NEAR(centre.x, 320, 1e-3);
    EXPECT_NEAR(centre.y, 240, 1e-3);
    plat::Vec2 above = ProjectToScreen({0, 10, 0}, cam);
    EXPECT_LT(above.y, 240);
    plat::Viewport half;
    half.x = 320;
    half.width = 320;
    device.SetViewport(half);
    EXPECT_NEAR(ProjectToScreen({0, 0, 0}, cam).x, 480, 1e-3);
}

}   // namespace
