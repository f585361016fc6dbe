#include "enemy/CCapsule.h"

#include <algorithm>

#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKoma.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "physics/CODE.h"

namespace {

constexpr float TENTHS = 10.0f;
constexpr float SPREAD_OFFSET = 25.0f;
constexpr int HIT_SPARKS = 800;   // plus up to 99
constexpr int HIT_SPARK_SPREAD = 100;
constexpr int HIT_TEXT_IMAGE = 1;
constexpr float HIT_TEXT_SPIN_UNIT = 100.0f;   // drawn at the player's spin / 100
constexpr uint32_t TRAIL_PARTICLES = 1;

float RandomStart() { return static_cast<float>(GameRand() % CCapsule::START_SPREAD) / TENTHS - SPREAD_OFFSET; }

}   // namespace

CCapsule::CCapsule() = default;

CCapsule::~CCapsule()
{
    // The body goes with its world if that has ended first.
    if (CODE::IsWorldAlive(m_WorldSerial)) {
        if (m_Body.geom) m_Body.geom.Destroy();
        if (m_Body.body) m_Body.body.Destroy();
    }
    m_HitSound.reset();
}

void CCapsule::Init()
{
    m_Mesh = FindResource<CXFile>("XCapsule");
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_HitSound = std::make_unique<CSound>(FindResource<CSound>("KomaHitSE"));

    float x = RandomStart();
    float z = RandomStart();
    m_Position = {x, START_HEIGHT, z};
    if (!g_World) return;
    m_WorldSerial = CODE::CurrentWorldSerial();
    CreateCapsuleBody(m_Body, x, START_HEIGHT, z, MASS, RADIUS, LENGTH);
    m_Body.body.SetAngularVelocity(0, START_SPIN, 0);
}

void CCapsule::Update()
{
    if (!m_Body.body) return;
    const double* p = m_Body.body.Position();
    m_Position = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
    m_Body.body.SetAngularVelocity(0, SPIN, 0);

    LeaveTrail();
    TestTouch();
    ReturnIfFallen();
}

void CCapsule::LeaveTrail()
{
    AddTask(new CPSprite(m_Position.x, m_Position.y, m_Position.z, CPSprite::KIND_TRAIL, TRAIL_PARTICLES, m_Position.x,
                         m_Position.y, m_Position.z),
            PRIORITY_EFFECT);
}

void CCapsule::TestTouch()
{
    // No cooldown: every frame of touch repeats the whole reaction.
    if (!m_Player || !m_Body.geom || !m_Player->m_Disc.geom) return;
    if (!m_Body.geom.Touches(m_Player->m_Disc.geom, m_Contact)) return;

    float playerSpin = m_Player->Spin();
    plat::Vec3 at{static_cast<float>(m_Contact.pos[0]), static_cast<float>(m_Contact.pos[1]),
                  static_cast<float>(m_Contact.pos[2])};
    plat::Vec3 n{static_cast<float>(m_Contact.normal[0]), static_cast<float>(m_Contact.normal[1]),
                 static_cast<float>(m_Contact.normal[2])};

    if (m_HitSound) m_HitSound->Play();
    m_Player->m_GaugeCeiling = std::min(m_Player->m_GaugeCeiling + CEILING_GAIN, CKomaBase::GAUGE_CEILING_MAX);
    AddTask(new CHitText(at.x, at.y, at.z, HIT_TEXT_IMAGE, playerSpin / HIT_TEXT_SPIN_UNIT), PRIORITY_EFFECT);
    for (uint32_t kind : {uint32_t(CPSprite::KIND_SPARK_BRIGHT), uint32_t(CPSprite::KIND_SPARK)}) {
        uint32_t count = static_cast<uint32_t>(HIT_SPARKS + GameRand() % HIT_SPARK_SPREAD);
        AddTask(new CPSprite(at.x, at.y, at.z, kind, count), PRIORITY_EFFECT);
    }

    plat::Vec3 bump = n * (playerSpin * PUSH_PER_SPIN);
    m_Body.body.AddForce(bump.x, bump.y, bump.z);
    if (Body top = m_Player->m_Disc.body) {
        plat::Vec3 back = n * -PLAYER_PUSH;
        top.AddForce(back.x, back.y, back.z);
        top.AddTorque(0, PLAYER_TORQUE, 0);
    }
}

void CCapsule::ReturnIfFallen()
{
    if (m_Position.y >= 0) return;
    // Put back at rest and upright: with the speed of its fall kept, every
    // return would come back faster until it passed through the arena.
    m_Body.body.SetPosition(RETURN_POSITION.x, RETURN_POSITION.y, RETURN_POSITION.z);
    m_Body.body.SetLinearVelocity(0, 0, 0);
    m_Body.body.SetAngularVelocity(0, 0, 0);
    m_Body.body.StandUpright();
    m_Position = RETURN_POSITION;
}

void CCapsule::Draw()
{
    if (!gfx::CanDraw() || !m_Mesh || !m_Body.body) return;
    // The body stands up by a quarter turn about x; the mesh is modelled upright.
    const double* r = m_Body.body.Rotation();
    plat::Mat4 rotation = plat::Mat4::Identity();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) rotation.m[row][col] = static_cast<float>(r[col * 4 + row]);
    plat::Mat4 world =
        plat::RotationX(-plat::PI / 2) * rotation * plat::Translation(m_Position.x, m_Position.y, m_Position.z);
    gfx::DrawMesh(m_Mesh, world);
}
