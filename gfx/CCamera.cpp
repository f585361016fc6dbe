#include "gfx/CCamera.h"

#include "gfx/Graphics.h"

namespace {
const plat::Vec3 UP{0, 1, 0};
}

CCamera::CCamera() { Init(); }

void CCamera::Init()
{
    m_View = plat::Mat4::Identity();
    m_Projection = plat::Mat4::Identity();
    m_Fov = DEFAULT_FOV;
    m_Orbit = 0.0f;
}

void CCamera::Update()
{
    m_View = plat::LookAtLH(m_Eye, m_Target, UP);
    m_Projection = plat::PerspectiveFovLH(m_Fov * DEG_TO_RAD, ASPECT, NEAR_PLANE, FAR_PLANE);
    if (!g_Device) return;
    g_Device->SetTransform(plat::TransformKind::View, m_View);
    g_Device->SetTransform(plat::TransformKind::Projection, m_Projection);
}

plat::Mat4 BillboardMatrix(const CCamera& camera)
{
    plat::Vec3 direction = camera.m_Target - camera.m_Eye;
    plat::Mat4 rotation = plat::LookAtLH({0, 0, 0}, direction, UP);
    return plat::Inverse(rotation);
}

plat::Vec2 ProjectToScreen(plat::Vec3 point, const CCamera& camera)
{
    plat::Viewport vp = g_Device ? g_Device->GetViewport() : plat::Viewport{};
    plat::Vec3 p = plat::Project(point, vp, camera.m_Projection, camera.m_View, plat::Mat4::Identity());
    return {p.x, p.y};
}
