#include "item/CItem.h"

#include <algorithm>
#include <cstdio>

#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKoma.h"
#include "game/CKomaBase.h"
#include "game/CStage.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "item/CItemEffect.h"
#include "item/CItemEffectJump.h"
#include "item/CItemEffectKoma.h"
#include "physics/CODE.h"

namespace {

constexpr uint32_t TRAIL_PARTICLES = 1;
constexpr int FIRST_TOUCH = 1;
constexpr int SECOND_TOUCH = 2;

plat::Vec3 ToVec3(const double* v)
{
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

void PlayRegistrySound(const char* key)
{
    if (auto* sound = FindResource<CSound>(key)) sound->Play();
}

CKomaBase* FindStageEnemy()
{
    char name[TASK_NAME_SIZE];
    std::snprintf(name, sizeof name, "St%dEnemy", g_StageIndex + 1);
    return dynamic_cast<CKomaBase*>(FindTask(name));
}

}   // namespace

CItem::CItem(int kind, const plat::Mat4& boxWorld) : m_ItemKind(kind), m_World(boxWorld) {}

CItem::~CItem()
{
    // A world that ended first took the body and geometry with it.
    if (!CODE::IsWorldAlive(m_WorldSerial)) return;
    if (m_Body.geom) m_Body.geom.Destroy();
    if (m_Body.body) m_Body.body.Destroy();
}

plat::Vec3 CItem::InwardPush(plat::Vec3 dropPoint)
{
    plat::Vec3 q = plat::TransformCoord(dropPoint, plat::RotationX(TILT));
    return {-INWARD_PUSH * q.x, 0, -INWARD_PUSH * q.z};
}

void CItem::Init()
{
    m_Player = dynamic_cast<CKomaBase*>(FindTask(KOMA_TASK_NAME));
    m_Enemy = FindStageEnemy();
    m_Mesh = FindResource<CXFile>("XItem");

    plat::Vec3 drop = plat::TransformCoord({0, 0, 0}, m_World);
    if (g_World) {
        CreateSphereBody(m_Body, drop.x, drop.y, drop.z, MASS, RADIUS);
        m_WorldSerial = CODE::CurrentWorldSerial();
        plat::Vec3 push = InwardPush(drop);
        m_Body.body.AddForce(push.x, push.y, push.z);
    }
    m_TouchCount = 0;
    m_Landed = false;
}

void CItem::ReadBody()
{
    if (!m_Body.body) return;
    m_Position = ToVec3(m_Body.body.Position());
    // The simulation's rotation (rows of four) transposed into row-vector form.
    const double* r = m_Body.body.Rotation();
    m_World = plat::Mat4::Identity();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m_World.m[row][col] = static_cast<float>(r[col * 4 + row]);
}

bool CItem::Collide(Geom other)
{
    if (!m_Body.geom || !other) return false;
    // One contact at most, written with the library's own record size.
    ContactPoint found;
    if (!m_Body.geom.Touches(other, found)) return false;
    m_Contact = found;
    return true;
}

bool CItem::TouchesTop(const CKomaBase* top)
{
    if (!top) return false;
    return Collide(top->m_Disc.geom) || Collide(top->m_Shaft.geom);
}

bool CItem::TestArena()
{
    auto* stage = dynamic_cast<CStage*>(FindTask(STAGE_TASK_NAME));
    return stage && Collide(stage->ArenaGeom());
}

void CItem::Update()
{
    ReadBody();
    if (m_Position.y < 0) {
        RemoveTask(this);   // fell off the arena
        return;
    }
    // Once a side is down the battle is over for the items: they keep
    // falling under the simulation but nobody takes them.
    if ((m_Player && m_Player->IsDown()) || (m_Enemy && m_Enemy->IsDown())) return;

    bool playerTouch = TouchesTop(m_Player);
    bool enemyTouch = TouchesTop(m_Enemy);

    if (!m_Landed) {
        // The trail: one still particle per update while it falls.
        const plat::Vec3& p = m_Position;
        AddTask(new CPSprite(p.x, p.y, p.z, CPSprite::KIND_TRAIL, TRAIL_PARTICLES, p.x, p.y, p.z), PRIORITY_EFFECT);
        if (TestArena()) m_Landed = true;
    }

    if (!playerTouch && !enemyTouch) return;
    m_TouchCount += 1;
    if (m_TouchCount == FIRST_TOUCH) FirstTouch();
    if (m_TouchCount == SECOND_TOUCH) {
        PlayRegistrySound("ItemEffectSE");
        // The player's top wins an update in which both touch.
        CKomaBase* taker = playerTouch ? m_Player : m_Enemy;
        if (taker) GiveEffect(*taker, playerTouch);
        RemoveTask(this);
    }
}

void CItem::FirstTouch()
{
    PlayRegistrySound("ItemHitSE");
    plat::Vec3 at = ToVec3(m_Contact.pos);
    auto sparks = static_cast<uint32_t>(BOUNCE_SPARKS + GameRand() % BOUNCE_SPARK_SPREAD);
    AddTask(new CPSprite(at.x, at.y, at.z, CPSprite::KIND_SPARK_BRIGHT, sparks), PRIORITY_EFFECT);
    AddTask(new CHitText(at.x, at.y, at.z, HIT_TEXT_IMAGE, HIT_TEXT_SCALE), PRIORITY_EFFECT);
    plat::Vec3 n = plat::Normalize(ToVec3(m_Contact.normal)) * BOUNCE_FORCE;
    if (m_Body.body) m_Body.body.AddForce(n.x, n.y, n.z);
    char key[TASK_NAME_SIZE];
    std::snprintf(key, sizeof key, "XItem%d", m_ItemKind);
    m_Mesh = FindResource<CXFile>(key);
}

void CItem::GiveEffect(CKomaBase& taker, bool takerIsPlayer)
{
    const plat::Vec3& p = m_Position;
    uint32_t side = takerIsPlayer ? PLAYER_PARTICLES : ENEMY_PARTICLES;
    switch (m_ItemKind) {
        case KIND_SPIN:
            if (taker.m_Disc.body) taker.m_Disc.body.AddTorque(0, SPIN_TORQUE, 0);
            AddTask(CItemEffect::NewPickUpBurst(p, CPSprite::KIND_ITEM_SPIN, side), PRIORITY_EFFECT);
            AddTask(new CItemEffectKoma(SPIN_CELL, taker.m_Pos), PRIORITY_EFFECT);
            break;
        case KIND_JUMP:
            if (taker.m_Disc.body) taker.m_Disc.body.AddForce(0, JUMP_FORCE, 0);
            AddTask(PRIORITY_EFFECT, new CItemEffectJump(p), ITEM_EFFECT_JUMP_TASK_NAME);
            break;
        case KIND_POWER:
            taker.m_GaugeCeiling = std::min(taker.m_GaugeCeiling + CEILING_RAISE, CKomaBase::GAUGE_CEILING_MAX);
            AddTask(CItemEffect::NewPickUpBurst(p, CPSprite::KIND_ITEM_POWER, side), PRIORITY_EFFECT);
            AddTask(new CItemEffectKoma(POWER_CELL, taker.m_Pos), PRIORITY_EFFECT);
            break;
        default: break;
    }
}

void CItem::Draw()
{
    m_World = m_World * plat::Translation(m_Position.x, m_Position.y, m_Position.z);
    if (!gfx::CanDraw()) return;
    gfx::DrawOutlinedMesh(m_Mesh, m_World, OUTLINE_SCALE);
    gfx::SetBlendMode(gfx::BlendMode::Normal);
}
