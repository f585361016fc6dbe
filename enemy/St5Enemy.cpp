#include "enemy/St5Enemy.h"

#include <algorithm>

#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "enemy/CObj.h"
#include "enemy/EnemyTop.h"
#include "game/CHitText.h"
#include "game/CKoma.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "physics/CODE.h"

namespace {

constexpr int FULL_TURN = 360;
constexpr uint32_t MS_PER_SECOND = 1000;
constexpr float CEILING_SHARE = 5.0f;   // a touch raises the player's ceiling by a fifth of the boss's spin
constexpr int HIT_SPARKS = 800;         // plus up to 99
constexpr int HIT_SPARK_SPREAD = 100;
constexpr int HIT_TEXT_IMAGE = 0;
constexpr float HIT_TEXT_SPIN_UNIT = 100.0f;
constexpr float HIT_TORQUE = 7000.0f;   // for a player's top below spin 200

CSound* DuplicateOf(const char* key) { return new CSound(FindResource<CSound>(key)); }

void SetFirstMaterialAlpha(CXFile* mesh, float alpha)
{
    if (!mesh || mesh->GetMaterialCount() == 0) return;
    plat::Material& material = mesh->Material(0);
    material.diffuse.a = alpha;
    material.ambient.a = alpha;
}

}   // namespace

St5Enemy::St5Enemy() = default;

St5Enemy::~St5Enemy() = default;

uint32_t St5Enemy::VolleyWaitMs(int bombHits)
{
    return static_cast<uint32_t>(std::max(VOLLEY_WAIT_SECONDS - bombHits, 0)) * MS_PER_SECOND;
}

bool St5Enemy::FlashIsAdditive(int flashFrames) { return (flashFrames / FLASH_PHASE_FRAMES) % 2 == 1; }

void St5Enemy::Init()
{
    // Both mesh slots hold the boss; it has no ghost of its own.
    m_TopMesh = FindResource<CXFile>("XSt5Enemy");
    m_GhostMesh = m_TopMesh;
    m_Ode = dynamic_cast<CODE*>(FindTask(CODE_TASK_NAME));
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_Stage = dynamic_cast<CStage*>(FindTask(STAGE_TASK_NAME));
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_MarkerTexture = FindResource<CTexture>("InterfaceBMP");
    m_HitSound.reset(DuplicateOf("KomaHitSE"));
    DuplicateTopSounds();

    if (m_Camera) {
        m_CameraEye = m_Camera->m_Eye;
        m_Camera->m_Orbit = 0;
    }

    if (g_World) {
        CreateTopBodies(SHAPE_VARIANT, m_Disc, m_Shaft, START_POSITION.x, START_POSITION.y, START_POSITION.z, MASS);
        m_Disc.body.SetAngularVelocity(0, SPIN, 0);
    }

    m_Gauge = GAUGE_BASE;
    m_GaugeCeiling = GAUGE_BASE;
    m_ChargeTime = g_FrameTime;
    m_Down = 0;
    m_Charging = 0;
    m_BombHits = 0;
    m_FlashFrames = 0;
    m_DashEnd = 0;
    m_FireAngle = 0;
    m_Pos = START_POSITION;
    ReadBody();
    m_PrevPos = m_Pos;
}

void St5Enemy::Update()
{
    uint32_t now = g_FrameTime;
    if (m_Camera && m_Player) m_CameraEye = EnemyTop::FollowBattle(*m_Camera, *m_Player, *this, CAMERA_DISTANCE_LIMIT);

    if (!m_Charging) m_PrevPos = m_Pos;
    ReadBody();
    if (m_Down) return;

    if (m_Pos.y <= 0) m_Down = 1;
    if (m_BombHits >= BOMB_HITS_TO_DOWN) m_Down = 1;
    if (m_Disc.body) m_Disc.body.SetAngularVelocity(0, SPIN, 0);
    StandInTheMiddle();

    // One bomb lies on the arena at all times.
    if (!FindTask(BOMB_TASK_NAME)) AddTask(PRIORITY_OBJ, new CObj(CObj::KIND_BOMB), BOMB_TASK_NAME);

    if (!m_Down && !m_Charging && now - m_ChargeTime > VolleyWaitMs(m_BombHits)) {
        m_Charging = 1;
        m_FireAngle = 0;
        m_DashEnd = 0;   // the last shot
        m_ChargeTime = now;
    }
    if (m_Charging) Fire(now);

    if (m_Down || !m_Player || m_Player->IsDown()) return;
    TestTouch();
}

void St5Enemy::StandInTheMiddle()
{
    // The lower cap of the boss's wide disc reaches below its shaft's tip, so
    // at spin 120 its friction with the arena would drive the boss round the
    // arena like a wheel, into its own bombs and over the rim. It stays where
    // it stands: only its height follows the simulation.
    if (!m_Disc.body) return;
    const double* disc = m_Disc.body.Position();
    double dx = disc[0] - START_POSITION.x, dz = disc[2] - START_POSITION.z;
    for (Body body : {m_Disc.body, m_Shaft.body}) {   // both, so the joint is not strained
        if (!body) continue;
        const double* v = body.LinearVelocity();
        body.SetLinearVelocity(0, v[1], 0);
        const double* p = body.Position();
        body.SetPosition(p[0] - dx, p[1], p[2] - dz);
    }
    m_Pos.x = START_POSITION.x;
    m_Pos.z = START_POSITION.z;
}

void St5Enemy::AddProjectile() { AddTask(PRIORITY_OBJ, new CObj(CObj::KIND_PROJECTILE), PROJECTILE_TASK_NAME); }

void St5Enemy::Fire(uint32_t now)
{
    // One projectile every 100 ms, each turned 8 degrees from the last.
    if (now - m_DashEnd > SHOT_INTERVAL_MS) {
        m_FireAngle += SHOT_TURN;
        if (m_FireAngle >= FULL_TURN) m_FireAngle = 0;
        AddProjectile();
        m_DashEnd = now;
    }
    if (now - m_ChargeTime <= VOLLEY_MS) return;
    // From the second hit on, each volley ends with a full ring.
    if (m_BombHits >= RING_HITS) {
        for (int angle = 0; angle < FULL_TURN; angle += RING_STEP) {
            m_FireAngle = angle;
            AddProjectile();
        }
    }
    m_Charging = 0;
    m_ChargeTime = now;
}

void St5Enemy::TestTouch()
{
    if (!Touches(m_Disc.geom, m_Player->m_Disc.geom, &m_Contact)) return;
    float bossSpin = Spin();
    float playerSpin = m_Player->Spin();
    plat::Vec3 p{static_cast<float>(m_Contact.pos[0]), static_cast<float>(m_Contact.pos[1]),
                 static_cast<float>(m_Contact.pos[2])};
    plat::Vec3 n{static_cast<float>(m_Contact.normal[0]), static_cast<float>(m_Contact.normal[1]),
                 static_cast<float>(m_Contact.normal[2])};

    m_Player->m_GaugeCeiling = std::min(
        static_cast<int>(bossSpin / CEILING_SHARE + static_cast<float>(m_Player->m_GaugeCeiling)), GAUGE_CEILING_MAX);
    if (m_HitSound) m_HitSound->Play();
    for (uint32_t kind : {uint32_t(CPSprite::KIND_SPARK_BRIGHT), uint32_t(CPSprite::KIND_SPARK)}) {
        uint32_t count = static_cast<uint32_t>(HIT_SPARKS + GameRand() % HIT_SPARK_SPREAD);
        AddTask(new CPSprite(p.x, p.y, p.z, kind, count), PRIORITY_EFFECT);
    }
    AddTask(new CHitText(p.x, p.y, p.z, HIT_TEXT_IMAGE, playerSpin / HIT_TEXT_SPIN_UNIT), PRIORITY_EFFECT);

    // Only the player's top is thrown back; the boss takes no push.
    if (Body top = m_Player->m_Disc.body) {
        plat::Vec3 back = n * -(bossSpin * HIT_PUSH);
        top.AddForce(back.x, back.y, back.z);
        if (playerSpin < TORQUE_SPIN_LIMIT) top.AddTorque(0, HIT_TORQUE, 0);
    }
}

void St5Enemy::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::SetLighting(true);
    gfx::SetBlendMode(gfx::BlendMode::Normal);
    SetFirstMaterialAlpha(m_TopMesh, 1.0f);
    m_World = plat::RotationX(-plat::PI / 2) * m_Rotation * plat::Translation(m_Pos.x, m_Pos.y, m_Pos.z);
    gfx::DrawOutlinedMesh(m_TopMesh, m_World, OUTLINE_SCALE);
    if (m_FlashFrames > 0) DrawFlash(m_World);
}

void St5Enemy::DrawFlash(const plat::Mat4& world)
{
    // A translucent, slightly larger copy that turns additive every other ten frames.
    SetFirstMaterialAlpha(m_TopMesh, FLASH_ALPHA);
    m_FlashFrames -= 1;
    RenderStateGuard glow;
    if (FlashIsAdditive(m_FlashFrames)) glow.SetBlend(gfx::BlendMode::Additive);
    gfx::DrawOutlinedMesh(m_TopMesh, plat::Scaling(FLASH_SCALE, FLASH_SCALE, FLASH_SCALE) * world, OUTLINE_SCALE);
}
