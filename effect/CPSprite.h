// CPSprite is the game's one particle system: a fire-and-forget burst of one
// kind at one point. Its particles move by a closed formula of their age, are
// drawn in one call as additive, distance-scaled point sprites, and the burst
// removes itself on the first update in which every particle has expired.
// Creators add it with AddTask(burst, PRIORITY_EFFECT) and forget it.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Task.h"
#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

class CTexture;

// The priority of every effect task: bursts, auras, air walls, hit texts.
constexpr int32_t PRIORITY_EFFECT = 6000;

class CPSprite : public CGameObject {
public:
    // The kinds the game makes (see the start values in CPSprite.cpp).
    enum Kind : uint32_t {
        KIND_SPARK = 0,          // clash and hit sparks, back-dated births
        KIND_SPARK_BRIGHT = 1,   // paired with kind 0; the launch; an item's first touch
        KIND_TOP_SPARK = 2,      // thrown off a spinning top; reference x = the top's spin
        KIND_GLINT = 3,          // one glint that stays and shrinks
        KIND_TRAIL = 6,          // moves in a straight line away from the reference point
        KIND_ITEM_SPIN = 9,      // spin item taken
        KIND_ITEM_POWER = 10,    // power item taken
    };

    // One particle: 36 bytes as the game keeps them.
    struct Particle {
        plat::Vec3 origin;
        float size = 0;              // point size in world units
        float a = 0, b = 0, c = 0;   // per-kind parameters; velocity for the moving kinds
        uint32_t birth = 0;          // frame time, ms
        float life = 0;              // seconds
    };

    static constexpr float GRAVITY_HALF = 24.9f;        // y falls by 24.9 t^2
    static constexpr float EXPIRED_SHRINK = 0.1f;       // per update once expired
    static constexpr float GLINT_SHRINK = 0.015f;       // per update for the glint
    static constexpr float TRAIL_SPEED_FACTOR = 7.0f;   // trail velocity = 7 x (origin - reference)

    CPSprite(float x, float y, float z, uint32_t kind, uint32_t count);
    CPSprite(float x, float y, float z, uint32_t kind, uint32_t count, float rx, float ry, float rz);
    ~CPSprite() override = default;

    void Update() override;
    void Draw() override;

    // Read by the item effects: the side marker.
    uint32_t ParticleCount() const { return m_Count; }
    uint32_t GetKind() const { return m_Kind; }
    const std::vector<Particle>& Particles() const { return m_Particles; }
    const std::vector<plat::PointVertex>& Vertices() const { return m_Vertices; }

    // The registry key of a kind's texture (null for a kind the game does not use).
    static const char* TextureKey(uint32_t kind);

    // What an expired particle of a pick-up burst leaves behind, told where
    // the particle was last drawn, the burst's kind and its particle count.
    // The items set it (their flying icon); without one the particle simply
    // stays.
    using ExpiryHook = void (*)(const plat::Vec3& where, uint32_t kind, uint32_t count);
    void SetExpiryHook(ExpiryHook hook) { m_OnExpiry = hook; }

private:
    void Create(float x, float y, float z, plat::Vec3 reference);
    void InitParticle(Particle& p, plat::Vec3 reference) const;
    void MoveParticle(Particle& p, plat::PointVertex& v, float t) const;
    void ExpireParticle(Particle& p, const plat::PointVertex& v);

    // Stands in for the write-only vertex buffer: one vertex per particle,
    // opaque white, position and size written by every update. Until the first
    // update every point has size 0, so a burst made during the draw pass
    // draws nothing in that pass.
    std::vector<plat::PointVertex> m_Vertices;
    CTexture* m_Texture = nullptr;   // borrowed from the registry
    uint32_t m_Count = 0;
    std::vector<Particle> m_Particles;
    uint32_t m_Kind = 0;
    ExpiryHook m_OnExpiry = nullptr;
};
