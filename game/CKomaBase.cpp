#include "game/CKomaBase.h"

#include <algorithm>

#include "audio/CSound.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "physics/CODE.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
constexpr float FULL_TURN = 360.0f;
const plat::Vec3 UP{0, 1, 0};
const plat::Vec3 SHAFT_TIP{0, -2.1f, 0};   // from the disc's centre, upright
const plat::Vec3 GLINT_LIFT{0, 0.2f, 0};
constexpr uint32_t SCRAPE_SPARKS = 8;
constexpr uint32_t GLINT_PARTICLES = 1;

// The ghost: invisible at spin 30 and below, full at 240; its scale rests at
// 0.8 and (for the player's top) grows with the spin above 114.
constexpr float GHOST_SPIN_OFFSET = 3.0f;   // spin / 10 - 3
constexpr float GHOST_SPIN_RANGE = 21.0f;
constexpr float GHOST_SCALE_OFFSET = 0.4f;
constexpr float GHOST_BASE_SCALE = 0.8f;

CSound* DuplicateOf(const char* key)
{
    auto* source = FindResource<CSound>(key);
    return new CSound(source);
}

}   // namespace

CKomaBase::CKomaBase() = default;

CKomaBase::~CKomaBase() = default;

void CKomaBase::DuplicateTopSounds()
{
    m_AxisSound.reset(DuplicateOf("KomaAxisSE"));
    m_SpinSound.reset(DuplicateOf("KomaSpinSE"));
    m_AttackSound.reset(DuplicateOf("KomaAtackSE"));
}

void CKomaBase::ReadBody()
{
    if (!m_Disc.body) return;
    const double* p = m_Disc.body.Position();
    m_Pos = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
    // The simulation's 3 x 3 rotation (rows of four) transposed into row-vector form.
    const double* r = m_Disc.body.Rotation();
    m_Rotation = plat::Mat4::Identity();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m_Rotation.m[row][col] = static_cast<float>(r[col * 4 + row]);
    m_SpinVector = m_Disc.body.AngularVelocity();
}

void CKomaBase::KeepUpright(double factor)
{
    if (!m_Disc.body || !m_SpinVector) return;
    // At the simulation's own precision: the enemies' decay factor of
    // 1 - 2^-23 would vanish in a float.
    m_Disc.body.SetAngularVelocity(0, m_SpinVector[1] * factor, 0);
}

bool CKomaBase::Touches(Geom a, Geom b)
{
    if (!a || !b) return false;
    return a.Touches(b);
}

bool CKomaBase::Touches(Geom a, Geom b, ContactPoint* contact)
{
    if (!a || !b) return false;
    return a.Touches(b, *contact);
}

void CKomaBase::StartCharge()
{
    m_Charging = 1;
    m_SpinAngle = 0;
    m_LeanBuildUp = 0;
    if (m_Disc.body) m_Disc.body.Disable();
    if (m_Shaft.body) m_Shaft.body.Disable();
}

void CKomaBase::EndCharge(uint32_t now)
{
    m_Charging = 0;
    m_DashEnd = now + DASH_MS;
    if (m_Disc.body) m_Disc.body.Enable();
    if (m_Shaft.body) m_Shaft.body.Enable();
}

void CKomaBase::SpendGaugeForSpin()
{
    m_Gauge -= 1;
    m_GaugeCeiling = m_Gauge;
    if (Spin() < TORQUE_SPIN_LIMIT && m_Disc.body) m_Disc.body.AddTorque(0, SPIN_TORQUE, 0);
}

void CKomaBase::RefillGauge()
{
    if (m_Gauge < m_GaugeCeiling) {
        m_Gauge += 2;
    } else if (m_Gauge < GAUGE_BASE) {
        m_Gauge += 1;
        m_GaugeCeiling = m_Gauge;
    }
}

void CKomaBase::AdvanceSpinAngle()
{
    m_SpinAngle += Spin();
    while (m_SpinAngle > FULL_TURN) m_SpinAngle -= FULL_TURN;
}

plat::Mat4 CKomaBase::LeanRotation(plat::Vec3 axis, float degrees)
{
    // A zero axis (no motion, or forces that cancel) means no lean; the
    // rotation formula would otherwise shrink the top by cos(lean).
    if (plat::Length(axis) == 0.0f) return plat::Mat4::Identity();
    return plat::RotationAxis(axis, -degrees * DEG_TO_RAD);
}

plat::Mat4 CKomaBase::PlacedMatrix(const plat::Mat4& spinTurn, const plat::Mat4& lean) const
{
    // The disc body stands up by a quarter turn about x; the mesh is modelled
    // upright, so that turn is undone before the body's rotation is applied.
    float half = static_cast<float>(m_Disc.length) / 2.0f;
    return plat::Translation(0, -half, 0) * plat::RotationX(-plat::PI / 2) * m_Rotation * spinTurn * lean *
           plat::Translation(m_Pos.x, m_Pos.y + half, m_Pos.z);
}

void CKomaBase::ScrapeArena(const DrawStyle& style, plat::Vec3 tip)
{
    plat::Vec3 at = m_Pos + tip;
    if (Touches(m_Shaft.geom, style.arena)) {
        AddTask(new CPSprite(at.x, at.y, at.z, CPSprite::KIND_TOP_SPARK, SCRAPE_SPARKS, Spin(), 0, 0), PRIORITY_EFFECT);
        if (style.axisSound && m_AxisSound && !m_AxisSound->IsPlaying()) m_AxisSound->Play();
    } else if (style.axisSound && m_AxisSound) {
        m_AxisSound->Stop();
    }
    plat::Vec3 glint = at + GLINT_LIFT;
    AddTask(new CPSprite(glint.x, glint.y, glint.z, CPSprite::KIND_GLINT, GLINT_PARTICLES), PRIORITY_EFFECT);
}

void CKomaBase::DrawTop(const DrawStyle& style)
{
    if (!gfx::CanDraw()) return;
    uint32_t now = g_FrameTime;
    gfx::SetLighting(true);
    RenderStateGuard glow;
    glow.SetBlend((m_Charging || IsDashing(now)) ? gfx::BlendMode::Additive : gfx::BlendMode::Normal);

    plat::Vec3 d = m_Pos - m_PrevPos;
    plat::Vec3 n = plat::Normalize(d);
    float lean = LEAN_PER_UNIT * plat::Length(d);

    // A touch may wake a charging top's bodies; it still shows its charge.
    if (!m_Charging) {
        lean = std::min(lean, LEAN_MAX);
        plat::Mat4 leanRotation = LeanRotation(plat::Cross(n, UP), lean);
        ScrapeArena(style, plat::TransformCoord(SHAFT_TIP, leanRotation));
        m_World = PlacedMatrix(plat::Mat4::Identity(), leanRotation);
    } else {
        lean = std::min(std::min(lean, LEAN_MAX) + m_LeanBuildUp, CHARGE_LEAN_MAX);
        plat::Vec3 towards = n;
        if (style.leanTowardsForce && m_Disc.body) {
            const double* f = m_Disc.body.Force();
            towards = {static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2])};
        }
        plat::Mat4 leanRotation = LeanRotation(plat::Cross(towards, UP), lean);
        // The disabled body does not turn, so the spin angle turns the drawn top.
        m_World = PlacedMatrix(plat::RotationY(m_SpinAngle * DEG_TO_RAD), leanRotation);
    }

    gfx::DrawOutlinedMesh(m_TopMesh, m_World, OUTLINE_SCALE);
    DrawGhost(style);
}

void CKomaBase::DrawGhost(const DrawStyle& style)
{
    RenderStateGuard auraGlow;
    if (style.auraTask && FindTask(style.auraTask)) auraGlow.SetBlend(gfx::BlendMode::Additive);

    float alpha = std::max((Spin() / 10.0f - GHOST_SPIN_OFFSET) / GHOST_SPIN_RANGE, 0.0f);
    float scale = alpha + GHOST_SCALE_OFFSET;
    scale = style.ghostGrowsWithSpin ? std::max(scale, GHOST_BASE_SCALE) : std::min(scale, GHOST_BASE_SCALE);
    m_World = plat::Scaling(scale, scale, scale) * m_World;
    if (!m_GhostMesh) return;
    if (m_GhostMesh->GetMaterialCount() > 0) {
        // The mesh's own material is shared by every drawing of the ghost; the
        // top sets its strength before each draw.
        plat::Material& material = m_GhostMesh->Material(0);
        material.diffuse.a = alpha;
        material.ambient.a = alpha;
    }
    gfx::DrawMesh(m_GhostMesh, m_World);
}
