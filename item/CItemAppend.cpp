#include "item/CItemAppend.h"

#include <algorithm>

#include "audio/CSound.h"
#include "core/ResourceRegistry.h"
#include "gfx/CCamera.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "item/CItem.h"

namespace {

constexpr float DEG_TO_RAD = 3.1415927f / 180.0f;

CSound* DuplicateOf(const char* key) { return new CSound(FindResource<CSound>(key)); }

}   // namespace

CItemAppend::CItemAppend() = default;

CItemAppend::~CItemAppend() = default;

void CItemAppend::Init()
{
    m_BoxMesh = FindResource<CXFile>("XItemBox");
    m_PropellerMesh = FindResource<CXFile>("XItemBoxPropeller");
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_BoxSound.reset(DuplicateOf("ItemBoxSE"));
    m_ShootSound.reset(DuplicateOf("ItemShootSE"));
    m_Heading = 0;
    m_PropellerAngle = 0;
    m_BoxState = STATE_IDLE;
    m_BoxCounter = 0;
    m_BoxPosition = HOME_POSITION;
}

int32_t CItemAppend::VolumeAtHeight(float height)
{
    return (static_cast<int32_t>(LOW_HEIGHT) - static_cast<int32_t>(height)) * VOLUME_PER_UNIT;
}

int CItemAppend::DropKindAt(int32_t counter)
{
    if (counter % POWER_DROP_EVERY == 0) return CItem::KIND_POWER;
    if (counter % JUMP_DROP_EVERY == 0) return CItem::KIND_JUMP;
    if (counter % SPIN_DROP_EVERY == 0) return CItem::KIND_SPIN;
    return 0;
}

void CItemAppend::Update()
{
    m_BoxCounter += 1;
    if (m_BoxCounter > COUNTER_WRAP) m_BoxCounter = 0;

    switch (m_BoxState) {
        case STATE_IDLE: Idle(); break;
        case STATE_ARRIVING: Arrive(); break;
        case STATE_DROPPING: Drop(); break;
        case STATE_LEAVING: Leave(); break;
        default: break;
    }

    m_PropellerAngle += PROPELLER_STEP;
    if (m_PropellerAngle > FULL_TURN) m_PropellerAngle = 0;
}

void CItemAppend::Idle()
{
    if (m_BoxCounter % IDLE_FRAMES != 0) return;
    // A run begins: the box appears lower and starts from the camera's own view.
    m_BoxState = STATE_ARRIVING;
    m_ZoomFov = m_Camera ? static_cast<int32_t>(m_Camera->m_Fov) : NORMAL_FOV;
    m_BoxPosition = ARRIVE_POSITION;
    m_CameraLift = 0;
}

void CItemAppend::Arrive()
{
    m_BoxPosition.y = std::max(m_BoxPosition.y - HEIGHT_STEP, LOW_HEIGHT);
    m_ZoomFov = std::min(m_ZoomFov + 1, WIDE_FOV);
    SetCameraFov();
    if (m_Camera) m_Heading = HALF_TURN - m_Camera->m_Orbit;
    m_CameraLift += LIFT_STEP;
    LiftCamera();
    if (m_ZoomFov == WIDE_FOV && m_BoxPosition.y == LOW_HEIGHT) {
        m_BoxState = STATE_DROPPING;
        m_BoxCounter = 0;
    }
    PlayBoxSoundWithVolume();
}

void CItemAppend::Drop()
{
    LiftCamera();
    m_Heading += HEADING_STEP;
    if (m_Heading > FULL_TURN) m_Heading = 0;
    if (int kind = DropKindAt(m_BoxCounter)) Shoot(kind);
    if (m_BoxCounter > DROP_END) m_BoxState = STATE_LEAVING;
    PlayBoxSound();
}

void CItemAppend::Leave()
{
    m_CameraLift = std::max(m_CameraLift - LIFT_STEP, 0.0f);
    LiftCamera();
    m_ZoomFov = std::max(m_ZoomFov - 1, NORMAL_FOV);
    m_BoxPosition.y += HEIGHT_STEP;
    SetCameraFov();
    if (m_ZoomFov == NORMAL_FOV && m_BoxPosition.y >= HIGH_HEIGHT && m_CameraLift <= 0) {
        m_BoxCounter = 0;
        m_BoxState = STATE_IDLE;
    }
    PlayBoxSoundWithVolume();
}

void CItemAppend::LiftCamera()
{
    // The eye is placed afresh every frame by the enemy top before this runs,
    // so the lift is an offset up and away from the arena for this frame.
    if (!m_Camera) return;
    m_Camera->m_Eye.y += m_CameraLift;
    m_Camera->m_Eye.z += m_CameraLift;
}

void CItemAppend::SetCameraFov()
{
    if (m_Camera) m_Camera->m_Fov = static_cast<float>(m_ZoomFov);
}

void CItemAppend::Shoot(int kind)
{
    if (m_ShootSound) m_ShootSound->Play();
    AddTask(PRIORITY_ITEM, new CItem(kind, m_World), ITEM_TASK_NAME);
}

void CItemAppend::PlayBoxSound()
{
    if (m_BoxSound && m_BoxSound->Buffer() && !m_BoxSound->IsPlaying()) m_BoxSound->Play();
}

void CItemAppend::PlayBoxSoundWithVolume()
{
    // Louder as it comes down: 0 at height 10, -50 dB at height 60.
    if (m_BoxSound && m_BoxSound->Buffer()) m_BoxSound->SetVolume(VolumeAtHeight(m_BoxPosition.y));
    PlayBoxSound();
}

void CItemAppend::Draw()
{
    // The translation comes first, so the box is carried about the arena
    // centre on a circle tilted by the pitch.
    m_World = plat::Translation(m_BoxPosition.x, m_BoxPosition.y, m_BoxPosition.z) *
              plat::RotationYawPitchRoll(m_Heading * DEG_TO_RAD, TILT, 0);
    if (!gfx::CanDraw()) return;
    gfx::DrawMesh(m_BoxMesh, m_World);
    gfx::DrawMesh(m_PropellerMesh, plat::RotationY(m_PropellerAngle * DEG_TO_RAD) * m_World);
}
