// CCamera is responsible for turning an eye, a target and a field of view into
// the device's view and projection once per frame. It has no behaviour of its
// own: the task that owns the shot writes its fields directly.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "platform/Math3D.h"

constexpr int32_t PRIORITY_CAMERA = 2000;
constexpr const char* CAMERA_TASK_NAME = "CCamera";

class CCamera : public CGameObject {
public:
    static constexpr float DEFAULT_FOV = 60.0f;
    static constexpr float DEG_TO_RAD = 0.017453292f;   // pi / 180 in single precision
    static constexpr float ASPECT = 1.3333334f;         // the 640 x 480 back buffer
    static constexpr float NEAR_PLANE = 1.0f;
    static constexpr float FAR_PLANE = 5000.0f;

    CCamera();
    void Init() override;
    void Update() override;

    plat::Vec3 m_Eye;
    plat::Vec3 m_Target;
    float m_Fov = DEFAULT_FOV;
    plat::Mat4 m_View;
    plat::Mat4 m_Projection;
    float m_Orbit = 0.0f;   // kept for the owning tasks; the camera never reads it
};

// The rotation that turns a model's local axes to face along the camera's
// viewing direction (independent of where the eye is).
plat::Mat4 BillboardMatrix(const CCamera& camera);

// Screen pixels of a world point with the device's viewport and the camera's
// last matrices.
plat::Vec2 ProjectToScreen(plat::Vec3 point, const CCamera& camera);
