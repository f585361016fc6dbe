#include "game/CKoma.h"

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "game/CKomaAirWall.h"
#include "game/CKomaAura.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "gfx/CXFile.h"
#include "input/CInput.h"
#include "physics/CODE.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;

}   // namespace

CKoma::CKoma(plat::Vec3 launchForce, int spin, const TopSide& side) : m_Side(side)
{
    m_Pos = launchForce;
    m_Gauge = spin;
}

CKoma::~CKoma() = default;

void CKoma::Init()
{
    plat::Vec3 launchForce = m_Pos;
    float launchSpin = static_cast<float>(m_Gauge);

    m_Input = dynamic_cast<CInput*>(FindTask(INPUT_TASK_NAME));
    m_GhostMesh = dynamic_cast<CXFile*>(FindTask("XTopAlpha"));
    m_Ode = dynamic_cast<CODE*>(FindTask(CODE_TASK_NAME));
    m_Stage = dynamic_cast<CStage*>(FindTask(STAGE_TASK_NAME));
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_TopMesh = FindResource<CXFile>(m_Side.meshKey);

    DuplicateTopSounds();

    if (m_Side.startsMusic) {
        auto* music = new CBGMusic("bgm/Game.mp3");
        AddTask(PRIORITY_BGM, music, "GameBGM");
        music->Play(MUSIC_START_VOLUME, true);
    }

    const plat::Vec3 start = m_Side.start;
    if (g_World) {
        CreateTopBodies(SHAPE_VARIANT, m_Disc, m_Shaft, start.x, start.y, start.z, MASS);
        m_Disc.body.SetAngularVelocity(0, launchSpin, 0);
        m_Disc.body.AddForce(launchForce.x, launchForce.y, launchForce.z);
    }

    m_ChargeAllowed = g_FrameTime + FIRST_CHARGE_MS;
    m_Gauge = 0;
    m_GaugeCeiling = 0;
    m_Down = 0;
    m_Charging = 0;
    m_DashEnd = 0;

    m_Pos = start;
    ReadBody();
    m_PrevPos = m_Pos;
}

Geom CKoma::ArenaGeom() const { return m_Stage ? m_Stage->ArenaGeom() : Geom(); }

bool CKoma::KeyDown(int key) const { return m_Input && m_Input->HasKeyboard() && m_Input->IsDown(key); }

bool CKoma::KeyPressed(int key) const { return m_Input && m_Input->HasKeyboard() && m_Input->IsNewlyPressed(key); }

bool CKoma::KeyReleased(int key) const
{
    return m_Input && m_Input->HasKeyboard() && key >= 0 && key <= 255 &&
           !(m_Input->m_CurrentKeys[key] & plat::KEY_DOWN_BIT) && (m_Input->m_PreviousKeys[key] & plat::KEY_DOWN_BIT);
}

void CKoma::Update()
{
    uint32_t now = g_FrameTime;
    TestDown();
    if (!m_Charging) m_PrevPos = m_Pos;
    ReadBody();
    KeepUpright();
    if (m_Down) return;   // a down top takes no further input

    Steer();
    StartChargeIfAsked(now);
    HoldLaunchKey();
    EndChargeIfReleased(now);
    RaiseAirWall(now);
}

void CKoma::TestDown()
{
    if (Spin() < DOWN_SPIN && Touches(m_Disc.geom, ArenaGeom(), &m_Contact)) m_Down = 1;
    if (m_Pos.y <= 0) {
        m_Pos.y = 0;
        m_Down = 1;
    }
}

void CKoma::Steer()
{
    m_Moving = 0;
    m_ControlForce = {0, 0, 0};
    if (KeyDown(m_Side.left)) {
        m_Moving = 1;
        m_ControlForce.x -= CONTROL_FORCE;
    }
    if (KeyDown(m_Side.right)) {
        m_Moving = 1;
        m_ControlForce.x += CONTROL_FORCE;
    }
    if (KeyDown(m_Side.up)) {
        m_Moving = 1;
        m_ControlForce.z += CONTROL_FORCE;
    }
    if (KeyDown(m_Side.down)) {
        m_Moving = 1;
        m_ControlForce.z -= CONTROL_FORCE;
    }
    if (!m_Moving) return;
    // The arrows push relative to the camera, which circles the arena.
    float orbit = m_Camera ? m_Camera->m_Orbit : 0.0f;
    m_ControlForce = plat::TransformNormal(m_ControlForce, plat::RotationY(orbit * DEG_TO_RAD));
    if (m_Disc.body) m_Disc.body.AddForce(m_ControlForce.x, m_ControlForce.y, m_ControlForce.z);
}

void CKoma::StartChargeIfAsked(uint32_t now)
{
    if (now > m_ChargeAllowed && KeyPressed(m_Side.dash) && m_Gauge > 0 && m_Moving) StartCharge();
}

void CKoma::HoldLaunchKey()
{
    if (!KeyDown(m_Side.dash)) {
        RefillGauge();
        return;
    }
    CSound* sound = nullptr;
    if (m_Charging) {
        if (m_Gauge > 0) SpendGaugeForSpin();
        AdvanceSpinAngle();
        m_LeanBuildUp += LEAN_BUILD_STEP;
        sound = m_AttackSound.get();
    } else if (m_Gauge > GAUGE_BASE) {
        SpendGaugeForSpin();   // the spin boost, paid from the gauge above 68
        sound = m_SpinSound.get();
    } else {
        return;
    }
    if (!FindTask(m_Side.auraTask)) {
        if (sound) sound->Play();
        AddTask(PRIORITY_EFFECT, new CKomaAura(this), m_Side.auraTask);
    }
}

void CKoma::EndChargeIfReleased(uint32_t now)
{
    if (!m_Charging) return;
    if (KeyReleased(m_Side.dash) || m_Gauge < 1) {
        EndCharge(now);
        m_ChargeAllowed = now + CHARGE_AGAIN_MS;
    }
}

void CKoma::RaiseAirWall(uint32_t now)
{
    if (!IsDashing(now)) return;
    if (plat::Length(m_Pos - m_PrevPos) > AIR_WALL_SPEED && !FindTask(m_Side.airWallTask))
        AddTask(PRIORITY_EFFECT, new CKomaAirWall(this), m_Side.airWallTask);
}

void CKoma::Draw()
{
    DrawStyle style;
    style.arena = ArenaGeom();
    style.auraTask = m_Side.auraTask;
    DrawTop(style);
}
