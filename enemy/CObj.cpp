#include "enemy/CObj.h"

#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "enemy/St5Enemy.h"
#include "game/CHitText.h"
#include "game/CKoma.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "physics/CODE.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
constexpr int FULL_TURN = 360;
constexpr int TOUCH_SPARKS = 600;   // plus up to 99
constexpr int TOUCH_SPARK_SPREAD = 100;
constexpr int TOUCH_TEXT_IMAGE = 1;
constexpr float TOUCH_TEXT_SCALE = 0.8f;
constexpr int BOMB_FLASH_FRAMES = St5Enemy::FLASH_FRAMES;

void AddForce(Body body, plat::Vec3 f)
{
    if (body) body.AddForce(f.x, f.y, f.z);
}

// One contact between a and b (none when either is missing).
bool Collide(Geom a, Geom b, ContactPoint* contact)
{
    if (!a || !b) return false;
    return a.Touches(b, *contact);
}

}   // namespace

CObj::CObj(int32_t isBomb) : m_IsBomb(isBomb) {}

CObj::~CObj()
{
    // The body goes with its world if that has ended first.
    if (!CODE::IsWorldAlive(m_WorldSerial)) return;
    if (m_Body.geom) m_Body.geom.Destroy();
    if (m_Body.body) m_Body.body.Destroy();
}

plat::Vec3 CObj::ProjectileSpawn(plat::Vec3 bossPos, double discLength, double discRadius, int fireAngle)
{
    plat::Vec3 offset{0, -static_cast<float>(discLength), static_cast<float>(discRadius) + RIM_GAP};
    return plat::TransformCoord(offset, plat::RotationY(static_cast<float>(fireAngle) * DEG_TO_RAD)) + bossPos;
}

void CObj::Init()
{
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_Boss = dynamic_cast<St5Enemy*>(FindTask(BOSS_TASK_NAME));
    if (g_World) m_WorldSerial = CODE::CurrentWorldSerial();
    if (IsBomb())
        CreateBomb();
    else
        CreateProjectile();
    ReadBody();
}

void CObj::CreateBomb()
{
    m_Mesh = FindResource<CXFile>("XSt5Bomm");
    int r = BOMB_RING_INNER + GameRand() % BOMB_RING_SPREAD;
    int a = GameRand() % FULL_TURN;
    m_Position = plat::TransformCoord({0, BOMB_HEIGHT, static_cast<float>(r)},
                                      plat::RotationY(static_cast<float>(a) * DEG_TO_RAD));
    if (g_World)
        CreateCapsuleBody(m_Body, m_Position.x, m_Position.y, m_Position.z, BOMB_MASS, BOMB_RADIUS, BOMB_LENGTH);
}

void CObj::CreateProjectile()
{
    m_Mesh = FindResource<CXFile>("XSt5Obj");
    if (!m_Boss) return;
    // The boss's own disc record gives the spawn its real size.
    plat::Vec3 center = m_Boss->m_Pos;
    m_Position = ProjectileSpawn(center, m_Boss->m_Disc.length, m_Boss->m_Disc.radius, m_Boss->m_FireAngle);
    if (!g_World) return;
    CreateSphereBody(m_Body, m_Position.x, m_Position.y, m_Position.z, PROJECTILE_MASS, PROJECTILE_RADIUS);
    plat::Vec3 d = plat::Normalize(m_Position - center);
    AddForce(m_Body.body, {THROW_FORCE * d.x, 0, THROW_FORCE * d.z});
}

void CObj::ReadBody()
{
    m_World = plat::Mat4::Identity();
    if (!m_Body.body) return;
    const double* p = m_Body.body.Position();
    m_Position = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
    const double* r = m_Body.body.Rotation();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m_World.m[row][col] = static_cast<float>(r[col * 4 + row]);
}

void CObj::Update()
{
    ReadBody();
    if (m_Position.y < 0) {
        RemoveTask(this);
        return;
    }
    // Once a top is down everything stays as it was.
    if (!m_Player || !m_Boss || m_Player->IsDown() || m_Boss->IsDown()) return;

    if (TouchesPlayer()) ReactToPlayer();
    if (!IsBomb() || !TouchesBoss()) return;

    m_Boss->m_BombHits += 1;
    m_Boss->m_FlashFrames = BOMB_FLASH_FRAMES;
    RemoveTask(this);
}

bool CObj::TouchesPlayer()
{
    return Collide(m_Body.geom, m_Player->m_Disc.geom, &m_Contact) ||
           Collide(m_Body.geom, m_Player->m_Shaft.geom, &m_Contact);
}

bool CObj::TouchesBoss()
{
    return Collide(m_Body.geom, m_Boss->m_Disc.geom, &m_Contact) ||
           Collide(m_Body.geom, m_Boss->m_Shaft.geom, &m_Contact);
}

void CObj::ReactToPlayer()
{
    if (auto* sound = FindResource<CSound>("ItemHitSE")) sound->Play();
    plat::Vec3 at{static_cast<float>(m_Contact.pos[0]), static_cast<float>(m_Contact.pos[1]),
                  static_cast<float>(m_Contact.pos[2])};
    plat::Vec3 n{static_cast<float>(m_Contact.normal[0]), static_cast<float>(m_Contact.normal[1]),
                 static_cast<float>(m_Contact.normal[2])};
    uint32_t sparks = static_cast<uint32_t>(TOUCH_SPARKS + GameRand() % TOUCH_SPARK_SPREAD);
    AddTask(new CPSprite(at.x, at.y, at.z, CPSprite::KIND_SPARK_BRIGHT, sparks), PRIORITY_EFFECT);
    AddTask(new CHitText(at.x, at.y, at.z, TOUCH_TEXT_IMAGE, TOUCH_TEXT_SCALE), PRIORITY_EFFECT);

    if (IsBomb()) {
        AddForce(m_Body.body, n * BOMB_PUSH);
        return;
    }
    AddForce(m_Body.body, {0, PROJECTILE_LIFT, 0});
    AddForce(m_Player->m_Disc.body, {-PLAYER_THROW_ACROSS * n.x, -PLAYER_THROW_UP * n.y, -PLAYER_THROW_ACROSS * n.z});
}

void CObj::Draw()
{
    if (!gfx::CanDraw() || !m_Mesh) return;
    plat::Mat4 world =
        plat::RotationX(-plat::PI / 2) * m_World * plat::Translation(m_Position.x, m_Position.y, m_Position.z);
    gfx::DrawMesh(m_Mesh, world);
}
