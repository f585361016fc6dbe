#include "enemy/EnemyTop.h"

#include <algorithm>
#include <cmath>

#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "game/BattleCamera.h"
#include "game/CKoma.h"
#include "game/CKomaAirWall.h"
#include "game/CKomaAura.h"
#include "game/CKomaClash.h"
#include "game/CStage.h"
#include "game/TopTouch.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "physics/CODE.h"

namespace {

constexpr const char* AURA_TASK = "CKomaAuraEnemy";
constexpr const char* AIR_WALL_TASK = "CKomaAirWallEnemy";

// The marker above the enemy: a 4 x 3 quad cut from the interface texture.
constexpr float MARKER_HALF_WIDTH = 2.0f, MARKER_HALF_HEIGHT = 1.5f;
constexpr float MARKER_LEFT_U = 0.875f, MARKER_RIGHT_U = 0.927734375f;
constexpr float MARKER_TOP_V = 0.09375f, MARKER_BOTTOM_V = 0.146484375f;

constexpr int CHARGE_DISTANCE_SPREAD = 150;   // tenths of a unit beyond the least distance
constexpr float TENTHS = 10.0f;

CSound* DuplicateOf(const char* key) { return new CSound(FindResource<CSound>(key)); }

void AddForce(Body body, plat::Vec3 f)
{
    if (body) body.AddForce(f.x, f.y, f.z);
}

}   // namespace

EnemyTop::EnemyTop(plat::Vec3 launchForce, const Traits& traits) : m_Traits(traits)
{
    m_Pos = launchForce;   // kept here until Init
}

EnemyTop::~EnemyTop() = default;

void EnemyTop::Init()
{
    plat::Vec3 launchForce = m_Pos;

    m_TopMesh = FindResource<CXFile>(m_Traits.meshKey);
    m_GhostMesh = dynamic_cast<CXFile*>(FindTask("XTopAlpha"));
    m_Ode = dynamic_cast<CODE*>(FindTask(CODE_TASK_NAME));
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_Stage = dynamic_cast<CStage*>(FindTask(STAGE_TASK_NAME));
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_MarkerTexture = FindResource<CTexture>("InterfaceBMP");
    m_HitSound.reset(DuplicateOf("KomaHitSE"));
    DuplicateTopSounds();

    FillMarker();

    if (m_Camera) {
        m_CameraEye = m_Camera->m_Eye;
        m_Camera->m_Orbit = 0;
    }

    if (g_World) {
        CreateTopBodies(0, m_Disc, m_Shaft, START_POSITION.x, START_POSITION.y, START_POSITION.z, m_Traits.mass);
        m_Disc.body.SetAngularVelocity(0, m_Traits.startSpin, 0);
        AddForce(m_Disc.body, launchForce);
    }

    uint32_t now = g_FrameTime;
    m_ClashCooldownEnd = 0;
    m_Down = 0;
    m_Charging = 0;
    m_DashEnd = 0;
    m_ChargeTime = now;
    m_Gauge = GAUGE_BASE;
    m_GaugeCeiling = GAUGE_BASE;
    m_Pos = START_POSITION;
    ReadBody();
    m_PrevPos = m_Pos;

    OnInit();
}

void EnemyTop::FillMarker()
{
    gfx::FillFacingQuad(m_Marker, MARKER_HALF_WIDTH, MARKER_HALF_HEIGHT, MARKER_LEFT_U, MARKER_TOP_V, MARKER_RIGHT_U,
                        MARKER_BOTTOM_V);
}

plat::Vec3 EnemyTop::FollowBattle(CCamera& camera, const CKomaBase& player, const CKomaBase& enemy, float distanceLimit)
{
    return BattleCamera::Follow(camera, player, enemy, distanceLimit);
}

plat::Vec3 EnemyTop::SteerTowardsArena(plat::Vec3 position)
{
    // The force is (0, 0, 800) turned about y by arccos(z / |position|); the
    // closed form keeps a cosine that rounding pushed past 1 from becoming NaN.
    float length = plat::Length(position);
    if (length == 0.0f) return {0, 0, 0};
    float c = std::clamp(position.z / length, -1.0f, 1.0f);
    return {STEER_FORCE * std::sqrt(1.0f - c * c), 0, STEER_FORCE * c};
}

Geom EnemyTop::ArenaGeom() const { return m_Stage ? m_Stage->ArenaGeom() : Geom(); }

void EnemyTop::Update()
{
    uint32_t now = g_FrameTime;
    if (m_Camera && m_Player) m_CameraEye = FollowBattle(*m_Camera, *m_Player, *this, CAMERA_DISTANCE_LIMIT);

    if (!m_Charging) m_PrevPos = m_Pos;
    ReadBody();
    if (m_Traits.keepUpright) KeepUpright(UPRIGHT_DECAY);

    if (m_Pos.y <= 0) {
        m_Pos.y = 0;
        m_Down = 1;
    }
    TestFloor(now);
    if (m_Down) return;   // a down top only follows its body

    Charge(now);
    RaiseAirWall(now);
    TestTouch(now);
}

bool EnemyTop::FarEnoughToCharge() const { return plat::Length(m_Pos) > CHARGE_MIN_DISTANCE; }

bool EnemyTop::FarFromPlayer() const
{
    if (!m_Player) return false;
    float threshold = CHARGE_MIN_DISTANCE + static_cast<float>(GameRand() % CHARGE_DISTANCE_SPREAD) / TENTHS;
    return plat::Length(m_Player->m_Pos - m_Pos) > threshold;
}

plat::Vec3 EnemyTop::TowardsPlayer() const
{
    if (!m_Player) return {0, 0, 0};
    plat::Vec3 d = plat::Normalize(m_Player->m_Pos - m_Pos);
    d.y = 0;
    return d;
}

bool EnemyTop::ChargeOver(uint32_t now) const { return now - m_ChargeTime > CHARGE_MS || m_Gauge < CHARGE_END_GAUGE; }

void EnemyTop::TestFloor(uint32_t now)
{
    // The enemy stands on its shaft: it is down when that touches the arena
    // without spin, and it charges only from the floor.
    if (!Touches(m_Shaft.geom, ArenaGeom(), &m_Contact)) return;
    if (Spin() < DOWN_SPIN) {
        m_Down = 1;
        return;
    }
    if (!m_Charging && FarEnoughToCharge() && m_Gauge >= 0 && Spin() > m_Traits.chargeSpin &&
        m_ClashCooldownEnd < now && now - m_ChargeTime > CHARGE_INTERVAL_MS) {
        StartCharge();
        m_ChargeTime = now;
        OnChargeStart();
    }
}

void EnemyTop::Charge(uint32_t now)
{
    if (!m_Charging) {
        RefillGauge();
        return;
    }
    if (m_Gauge > 0) SpendGaugeForSpin();
    AdvanceSpinAngle();
    m_LeanBuildUp += LEAN_BUILD_STEP;
    if (!FindTask(AURA_TASK)) {
        if (m_AttackSound) m_AttackSound->Play();
        AddTask(PRIORITY_EFFECT, new CKomaAura(this), AURA_TASK);
    }
    // The disabled bodies gather the force of every charging frame; it all
    // acts in the first step after the charge: that is the dash.
    AddForce(m_Disc.body, SteeringForce());
    if (ChargeOver(now)) {
        EndCharge(now);
        m_ChargeTime = now;
    }
}

void EnemyTop::RaiseAirWall(uint32_t now)
{
    if (!IsDashing(now)) return;
    if (plat::Length(m_Pos - m_PrevPos) > AIR_WALL_SPEED && !FindTask(AIR_WALL_TASK))
        AddTask(PRIORITY_EFFECT, new CKomaAirWall(this), AIR_WALL_TASK);
}

void EnemyTop::TestTouch(uint32_t now)
{
    if (!m_Player || m_Down || m_Player->IsDown() || !(m_ClashCooldownEnd < now)) return;
    if (!Touches(m_Disc.geom, m_Player->m_Disc.geom, &m_Contact)) return;

    // Both ceilings rise before anything else, a clash included.
    TopTouch::ExchangeCeilings(*this, *m_Player);
    if (m_HitSound) m_HitSound->Play();

    if (IsDashing(now) && m_Player->IsDashing(now)) {
        TopTouch::StartClash(*this, *m_Player, m_Contact, CKomaClash::NO_KEY);
        m_ClashCooldownEnd = now + CLASH_COOLDOWN_MS;
        return;
    }
    TopTouch::Bounce(*this, *m_Player, m_Contact);
}

void EnemyTop::Draw()
{
    DrawStyle style;
    style.arena = ArenaGeom();
    style.axisSound = false;
    style.leanTowardsForce = false;
    style.auraTask = AURA_TASK;
    style.ghostGrowsWithSpin = false;
    DrawTop(style);
    DrawMarker();
}

void EnemyTop::DrawMarker()
{
    // Without its picture the marker would be a white box: draw nothing.
    if (!gfx::CanDraw() || !m_MarkerTexture || !m_MarkerTexture->Texture()) return;
    RenderStateGuard overlay;
    overlay.SetLighting(false).SetDepthWrite(false);
    gfx::SetTexture(m_MarkerTexture->Texture());
    plat::Mat4 billboard = m_Camera ? BillboardMatrix(*m_Camera) : plat::Mat4::Identity();
    gfx::DrawFacingQuad(m_Marker, billboard * plat::Translation(m_Pos.x, m_Pos.y + MARKER_LIFT, m_Pos.z));
}
