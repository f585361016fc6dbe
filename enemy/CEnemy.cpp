#include "enemy/CEnemy.h"

#include <algorithm>

#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "enemy/St2Enemy.h"
#include "game/CHitText.h"
#include "game/CKoma.h"
#include "game/CStage.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "physics/CODE.h"

namespace {

constexpr uint32_t TRAIL_PARTICLES = 1;
constexpr int HIT_TEXT_IMAGE = 0;

// The material colour of each state: red fresh, blue marked, yellow dying.
constexpr plat::ColorF STATE_COLOURS[CEnemy::HITS_TO_DEFEAT + 1] = {
    {1.0f, 0.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 1.0f, 1.0f},
    {0.9f, 0.9f, 0.1f, 1.0f},
};

float SpawnCoordinate()
{
    return static_cast<float>(GameRand() % CEnemy::SPAWN_SPREAD) / CEnemy::SPAWN_STEP - CEnemy::SPAWN_HALF_WIDTH;
}

// The simulation's 3 x 3 rotation (rows of four) in row-vector form, no translation.
plat::Mat4 RowVectorRotation(Body body)
{
    plat::Mat4 m = plat::Mat4::Identity();
    const double* r = body.Rotation();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m.m[row][col] = static_cast<float>(r[col * 4 + row]);
    return m;
}

}   // namespace

CEnemy::CEnemy() = default;

// The body goes with the enemy; if its world has already gone, so has the body.
CEnemy::~CEnemy()
{
    if (!CODE::IsWorldAlive(m_WorldSerial)) return;
    if (m_Body.geom) m_Body.geom.Destroy();
    if (m_Body.body) m_Body.body.Destroy();
}

void CEnemy::Init()
{
    m_Mesh = FindResource<CXFile>("XSt2Enemy");
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_HitSound = std::make_unique<CSound>(FindResource<CSound>("KomaHitSE"));

    float x = SpawnCoordinate();
    float z = SpawnCoordinate();
    if (g_World && g_Space) {
        CreateCapsuleBody(m_Body, x, SPAWN_HEIGHT, z, MASS, RADIUS, LENGTH);
        m_WorldSerial = CODE::CurrentWorldSerial();
        m_Body.body.SetAngularVelocity(0, START_SPIN, 0);
    }
    m_Pos = {x, SPAWN_HEIGHT, z};
    m_Scale = 1.0f;
    m_HitCount = 0;
    m_ScaleStep = DYING_SCALE_STEP;
}

void CEnemy::Update()
{
    if (IsDying()) {
        UpdateDying();
        return;
    }
    if (!m_Body.body) return;
    const double* p = m_Body.body.Position();
    m_Pos = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
    ReturnIfFallen();
    m_Body.body.SetAngularVelocity(0, SPIN, 0);
    LeaveTrail();

    // One touch test a frame, so a second touch always falls in a later frame.
    if (!m_Player || !m_Player->m_Disc.geom) return;
    if (!m_Body.geom.Touches(m_Player->m_Disc.geom, m_Contact)) return;
    OnTouch();
}

// Swells to 1.7, shrinks, and is gone in the frame its scale falls below 0.
void CEnemy::UpdateDying()
{
    m_Scale += m_ScaleStep;
    if (m_Scale > DYING_SCALE_PEAK) m_ScaleStep = -m_ScaleStep;
    if (m_Scale >= 0) return;
    auto* manager = dynamic_cast<St2Enemy*>(FindTask(ST2_ENEMY_TASK_NAME));
    if (manager && manager->CountDefeat()) AddTask(PRIORITY_KOMA, new CEnemy, SWARM_ENEMY_TASK_NAME);
    RemoveTask(this);
}

// An enemy thrown off the arena could never be touched again: the swarm would
// dwindle and twenty defeats would soon be out of reach. It comes back over
// the spawn square instead, still marked if it was, so a mark is never given
// twice and the fall counts for nothing. It is set down just above the floor:
// dropped from the spawn height it would bounce for seconds out of reach.
void CEnemy::ReturnIfFallen()
{
    if (m_Pos.y >= FALLEN_HEIGHT) return;
    ++s_ReturnsToArena;
    float x = SpawnCoordinate();
    float z = SpawnCoordinate();
    float y = SPAWN_HEIGHT;
    auto* stage = dynamic_cast<CStage*>(FindTask(STAGE_TASK_NAME));
    float floor = 0;
    if (stage && stage->SurfaceHeight(x, z, &floor)) y = std::min(SPAWN_HEIGHT, floor + PUT_BACK_CLEARANCE);
    m_Body.body.SetPosition(x, y, z);
    m_Body.body.SetLinearVelocity(0, 0, 0);
    m_Pos = {x, y, z};
}

// A trail particle that stands still where the enemy is.
void CEnemy::LeaveTrail()
{
    AddTask(new CPSprite(m_Pos.x, m_Pos.y, m_Pos.z, CPSprite::KIND_TRAIL, TRAIL_PARTICLES, m_Pos.x, m_Pos.y, m_Pos.z),
            PRIORITY_EFFECT);
}

void CEnemy::OnTouch()
{
    if (m_HitSound) m_HitSound->Play();
    m_HitCount += 1;
    Body playerDisc = m_Player->m_Disc.body;
    if (m_HitCount == HITS_TO_DEFEAT && playerDisc) playerDisc.AddTorque(0, DEFEAT_TORQUE, 0);
    if (m_HitCount == 1) OnFirstTouch(m_Player->Spin());
    if (playerDisc) playerDisc.AddTorque(0, TOUCH_TORQUE, 0);
}

// Feeds the player's gauge ceiling, marks the hit and throws this enemy away
// from the top, harder the faster the top spins.
void CEnemy::OnFirstTouch(float spin)
{
    m_Player->m_GaugeCeiling += CEILING_RAISE;
    if (m_Player->m_GaugeCeiling > CKomaBase::GAUGE_CEILING_MAX)
        m_Player->m_GaugeCeiling = CKomaBase::GAUGE_CEILING_MAX;

    const double* at = m_Contact.pos;
    float x = static_cast<float>(at[0]), y = static_cast<float>(at[1]), z = static_cast<float>(at[2]);
    AddTask(new CHitText(x, y, z, HIT_TEXT_IMAGE, spin / HIT_TEXT_PER_SPIN), PRIORITY_EFFECT);
    uint32_t bright = SPARKS_BASE + static_cast<uint32_t>(GameRand() % SPARKS_SPREAD);
    AddTask(new CPSprite(x, y, z, CPSprite::KIND_SPARK_BRIGHT, bright), PRIORITY_EFFECT);
    uint32_t sparks = SPARKS_BASE + static_cast<uint32_t>(GameRand() % SPARKS_SPREAD);
    AddTask(new CPSprite(x, y, z, CPSprite::KIND_SPARK, sparks), PRIORITY_EFFECT);

    const double* n = m_Contact.normal;
    double push = static_cast<double>(spin) * PUSH_PER_SPIN;
    m_Body.body.AddForce(push * n[0], push * n[1], push * n[2]);
}

// The mesh and its material are shared by the whole swarm, so each enemy sets
// its own colour before it draws.
void CEnemy::SetColour()
{
    if (!m_Mesh || m_Mesh->GetMaterialCount() == 0) return;
    int state = m_HitCount < 0 ? 0 : (m_HitCount > HITS_TO_DEFEAT ? HITS_TO_DEFEAT : m_HitCount);
    const plat::ColorF& c = STATE_COLOURS[state];
    plat::Material& material = m_Mesh->Material(0);
    material.diffuse.r = material.ambient.r = c.r;
    material.diffuse.g = material.ambient.g = c.g;
    material.diffuse.b = material.ambient.b = c.b;
}

void CEnemy::Draw()
{
    if (!gfx::CanDraw()) return;
    SetColour();
    RenderStateGuard glow;
    if (IsDying()) glow.SetBlend(gfx::BlendMode::Additive);   // the dying enemy glows
    plat::Mat4 rotation = m_Body.body ? RowVectorRotation(m_Body.body) : plat::Mat4::Identity();
    // The body stands up by a quarter turn about x; the mesh is modelled
    // upright, so that turn is undone first.
    plat::Mat4 world = plat::Scaling(m_Scale, m_Scale, m_Scale) * plat::RotationX(-plat::PI / 2) * rotation *
                       plat::Translation(m_Pos.x, m_Pos.y, m_Pos.z);
    gfx::DrawMesh(m_Mesh, world);
}
