#include "effect/CPSprite.h"

#include <cmath>

#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "gfx/CTexture.h"
#include "gfx/Render.h"

namespace {

constexpr uint32_t OPAQUE_WHITE = 0xffffffff;
constexpr float MS_PER_SECOND = 1000.0f;
constexpr float SPARK_BACKDATE_MS = 400.0f;   // kind 0 starts each particle up to 400 ms into its flight
constexpr float GLINT_SIZE = 0.7f;
constexpr float ITEM_SIZE = 0.4f;
// A kind-2 life is rand() % L milliseconds with L the top's spin; the cap only
// keeps an absurd reference from overflowing the conversion.
constexpr float TOP_SPARK_MAX_LIFE_MS = 1.0e9f;

// rand() % n as a float.
float RandMod(int n) { return static_cast<float>(GameRand() % n); }

// +1 when the draw is odd, -1 when even.
float RandSign() { return (GameRand() % 2 == 1) ? 1.0f : -1.0f; }

// The scattered velocity of kinds 0, 1, 9 and 10; each value is two draws,
// the first draw being the left operand.
void ScatterVelocity(CPSprite::Particle& p)
{
    float left = RandMod(30);
    p.a = left - RandMod(30);
    left = RandMod(40);
    p.b = left + RandMod(10);
    left = RandMod(30);
    p.c = left - RandMod(30);
}

bool IsBallistic(uint32_t kind)
{
    return kind == CPSprite::KIND_SPARK || kind == CPSprite::KIND_SPARK_BRIGHT || kind == CPSprite::KIND_TOP_SPARK ||
           kind == CPSprite::KIND_ITEM_SPIN || kind == CPSprite::KIND_ITEM_POWER;
}

bool IsItemKind(uint32_t kind) { return kind == CPSprite::KIND_ITEM_SPIN || kind == CPSprite::KIND_ITEM_POWER; }

// L of a kind-2 life: the reference x truncated, at least 1.
int TopSparkLifeRange(float rx)
{
    if (!(rx >= 1.0f)) return 1;   // also catches NaN
    if (rx > TOP_SPARK_MAX_LIFE_MS) return static_cast<int>(TOP_SPARK_MAX_LIFE_MS);
    return static_cast<int>(rx);
}

}   // namespace

const char* CPSprite::TextureKey(uint32_t kind)
{
    switch (kind) {
        case KIND_SPARK:
        case KIND_TOP_SPARK: return "spark1BMP";
        case KIND_SPARK_BRIGHT:
        case KIND_GLINT: return "spark2BMP";
        case KIND_TRAIL: return "Tarbo1BMP";
        case KIND_ITEM_SPIN:
        case KIND_ITEM_POWER: return "Item1BMP";
        default: return nullptr;
    }
}

CPSprite::CPSprite(float x, float y, float z, uint32_t kind, uint32_t count) : m_Count(count), m_Kind(kind)
{
    Create(x, y, z, {0, 0, 0});
}

CPSprite::CPSprite(float x, float y, float z, uint32_t kind, uint32_t count, float rx, float ry, float rz)
    : m_Count(count), m_Kind(kind)
{
    Create(x, y, z, {rx, ry, rz});
}

void CPSprite::Create(float x, float y, float z, plat::Vec3 reference)
{
    if (const char* key = TextureKey(m_Kind)) m_Texture = FindResource<CTexture>(key);

    plat::PointVertex blank;
    blank.position = {x, y, z};
    blank.size = 0;
    blank.color = OPAQUE_WHITE;
    m_Vertices.assign(m_Count, blank);

    m_Particles.resize(m_Count);
    for (Particle& p : m_Particles) {
        p.origin = {x, y, z};
        InitParticle(p, reference);
    }
}

void CPSprite::InitParticle(Particle& p, plat::Vec3 reference) const
{
    p.birth = g_FrameTime;
    switch (m_Kind) {
        case KIND_SPARK: {
            ScatterVelocity(p);
            p.size = (RandMod(4) + 1) / 10.0f;
            p.life = RandMod(250) / MS_PER_SECOND + 0.1f;
            float back = static_cast<float>(GameRand()) / GAME_RAND_MAX * SPARK_BACKDATE_MS;
            p.birth = g_FrameTime - static_cast<uint32_t>(back);
            break;
        }
        case KIND_SPARK_BRIGHT:
            ScatterVelocity(p);
            p.size = (RandMod(6) + 2) / 15.0f;
            p.life = RandMod(100) / MS_PER_SECOND + 0.1f;
            break;
        case KIND_TOP_SPARK: {
            float sign = RandSign();
            p.a = sign * (RandMod(15) + 4);
            p.b = RandMod(10) + 10;
            sign = RandSign();
            p.c = sign * (RandMod(15) + 4);
            p.size = (RandMod(4) + 2) / 10.0f;
            p.life = RandMod(TopSparkLifeRange(reference.x)) / MS_PER_SECOND + 0.01f;
            break;
        }
        case KIND_GLINT:
            p.a = p.b = p.c = 1;
            p.size = GLINT_SIZE;
            p.life = RandMod(100) / MS_PER_SECOND + 0.4f;
            break;
        case KIND_TRAIL:
            p.a = TRAIL_SPEED_FACTOR * (p.origin.x - reference.x);
            p.b = TRAIL_SPEED_FACTOR * (p.origin.y - reference.y);
            p.c = TRAIL_SPEED_FACTOR * (p.origin.z - reference.z);
            p.size = (RandMod(10) + 1) / 10.0f;
            p.life = RandMod(200) / MS_PER_SECOND + 0.1f;
            break;
        case KIND_ITEM_SPIN:
        case KIND_ITEM_POWER:
            ScatterVelocity(p);
            p.size = ITEM_SIZE;
            p.life = RandMod(200) / MS_PER_SECOND + 0.2f;
            break;
        default: break;   // a kind the game does not make: still points that expire at once
    }
}

void CPSprite::Update()
{
    bool allExpired = true;
    for (uint32_t i = 0; i < m_Count; ++i) {
        Particle& p = m_Particles[i];
        plat::PointVertex& v = m_Vertices[i];
        float t = static_cast<float>(static_cast<uint32_t>(g_FrameTime - p.birth)) / MS_PER_SECOND;
        if (p.life < t)
            ExpireParticle(p, v);
        else
            allExpired = false;
        MoveParticle(p, v, t);
        v.size = p.size;
    }
    if (allExpired) RemoveTask(this);
}

void CPSprite::ExpireParticle(Particle& p, const plat::PointVertex& v)
{
    if (IsItemKind(m_Kind)) {
        // An expired particle of a pick-up burst hands over to the item's
        // icon from where it was last drawn; the particle keeps its size.
        // The particle count tells the icon which side took the item.
        if (m_OnExpiry) m_OnExpiry(v.position, m_Kind, m_Count);
    } else {
        p.size -= EXPIRED_SHRINK;
    }
    if (p.size < 0) p.size = 0;
}

void CPSprite::MoveParticle(Particle& p, plat::PointVertex& v, float t) const
{
    const plat::Vec3& o = p.origin;
    if (IsBallistic(m_Kind)) {
        v.position = {o.x + p.a * t, o.y + p.b * t - GRAVITY_HALF * t * t, o.z + p.c * t};
    } else if (m_Kind == KIND_TRAIL) {
        v.position = {o.x + p.a * t, o.y + p.b * t, o.z + p.c * t};
    } else {
        v.position = o;
        if (m_Kind == KIND_GLINT) {
            p.size -= GLINT_SHRINK;
            if (p.size < 0) p.size = 0;   // a point size is never negative
        }
    }
}

void CPSprite::Draw()
{
    gfx::DrawPointSprites(m_Vertices.data(), static_cast<int>(m_Vertices.size()),
                          m_Texture ? m_Texture->Texture() : nullptr);
}
