// CKomaBase is the record every top shares, the player's and the enemies':
// its two bodies (the disc, the top's main body, and the shaft below it), what
// it read from them in its last update, its gauge, charge and dash state, its
// sounds and meshes. It also holds the steps that every kind of top performs
// the same way: reading the body, staying upright, starting and ending a
// charge, refilling the gauge and drawing the top leaning into its motion with
// its outline and ghost.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "physics/PhysicsBodies.h"
#include "platform/Math3D.h"

class CODE;
class CSound;
class CXFile;

class CKomaBase : public CGameObject {
public:
    static constexpr int GAUGE_BASE = 68;                // the gauge refills by itself up to here
    static constexpr int GAUGE_CEILING_MAX = 270;        // items and touches raise the ceiling up to here
    static constexpr float DOWN_SPIN = 30.0f;            // below this a top touching the arena is down
    static constexpr float TORQUE_SPIN_LIMIT = 200.0f;   // spin torque is added only below this spin
    static constexpr float SPIN_TORQUE = 100.0f;         // per frame of charging or boosting
    static constexpr uint32_t DASH_MS = 1500;            // the dash window after a charge ends
    static constexpr float LEAN_BUILD_STEP = 0.5f;       // degrees per charging frame
    static constexpr float LEAN_PER_UNIT = 100.0f;       // degrees of lean per unit moved in a frame
    static constexpr float LEAN_MAX = 23.0f;             // degrees, from motion alone
    static constexpr float CHARGE_LEAN_MAX = 50.0f;      // degrees, motion plus build-up
    static constexpr float OUTLINE_SCALE = 1.05f;
    static constexpr float AIR_WALL_SPEED = 0.25f;   // units per frame that raise an air wall while dashing

    // How one kind of top is drawn (the player's and the enemies' differ a little).
    struct DrawStyle {
        Geom arena;                           // the shaft scraping it throws sparks
        bool axisSound = true;                // start and stop the axis sound with the scraping
        bool leanTowardsForce = true;         // while charging lean towards the force gathered in the disc
        const char* auraTask = "CKomaAura";   // while it exists the ghost is drawn additively
        bool ghostGrowsWithSpin = true;       // ghost scale at least 0.8 (else at most 0.8)
    };

    CKomaBase();
    ~CKomaBase() override;
    CKomaBase(const CKomaBase&) = delete;
    CKomaBase& operator=(const CKomaBase&) = delete;

    // The y component of the disc's angular velocity as of the last update.
    float Spin() const { return m_SpinVector ? static_cast<float>(m_SpinVector[1]) : 0.0f; }
    bool IsDown() const { return m_Down != 0; }
    bool IsCharging() const { return m_Charging != 0; }
    bool IsDashing(uint32_t now) const { return now < m_DashEnd; }

    // ---- the record, in the game's order ----
    CODE* m_Ode = nullptr;                  // the physics task "CODE"
    BodyRecord m_Disc;                      // upper capsule, the top's main body
    BodyRecord m_Shaft;                     // lower capsule
    plat::Mat4 m_World;                     // the matrix the top was last drawn with (ghost scale included)
    const double* m_SpinVector = nullptr;   // the disc's angular velocity, kept by the simulation
    float m_LeanBuildUp = 0;                // degrees, grows while charging
    uint8_t m_Charging = 0;
    uint8_t m_Moving = 0;                    // an arrow key was held this frame
    std::unique_ptr<CSound> m_AxisSound;     // the shaft scraping the arena
    std::unique_ptr<CSound> m_SpinSound;     // the spin boost
    std::unique_ptr<CSound> m_AttackSound;   // the charge
    plat::Vec3 m_Pos;                        // the disc's position as of the last update
    plat::Vec3 m_PrevPos;                    // one update earlier; frozen while charging
    plat::Mat4 m_Rotation;                   // the disc's rotation in row-vector form
    CXFile* m_TopMesh = nullptr;
    CXFile* m_GhostMesh = nullptr;   // the task "XTopAlpha"
    int32_t m_Down = 0;
    int m_Gauge = 0;
    int m_GaugeCeiling = 0;
    float m_SpinAngle = 0;    // degrees the drawn top turns while its body is disabled
    uint32_t m_DashEnd = 0;   // frame time, ms

protected:
    // Makes the three sounds duplicates of "KomaAxisSE", "KomaSpinSE" and "KomaAtackSE".
    void DuplicateTopSounds();
    // Position, rotation and the spin reference from the disc.
    void ReadBody();
    // Sets the disc's angular velocity to (0, spin x factor, 0): no tumbling.
    void KeepUpright(double factor = 1.0);
    // Whether two geometries touch (one contact, no joint made).
    static bool Touches(Geom a, Geom b);
    static bool Touches(Geom a, Geom b, ContactPoint* contact);

    // Disables both bodies: forces and torques added from now on gather in them.
    void StartCharge();
    // Enables both bodies, so the gathered force acts in the next step, and opens the dash window.
    void EndCharge(uint32_t now);
    // One gauge unit for spin torque (below spin 200).
    void SpendGaugeForSpin();
    // The gauge refill of a frame without charging or boosting.
    void RefillGauge();
    // Advances the drawn spin angle by the spin, wrapped into 0..360.
    void AdvanceSpinAngle();

    // The whole draw of a top: lean, sparks and glint, outline, ghost.
    void DrawTop(const DrawStyle& style);

    // Rotation about axis by -degrees; identity when the axis is zero.
    static plat::Mat4 LeanRotation(plat::Vec3 axis, float degrees);

private:
    plat::Mat4 PlacedMatrix(const plat::Mat4& spinTurn, const plat::Mat4& lean) const;
    void ScrapeArena(const DrawStyle& style, plat::Vec3 tip);
    void DrawGhost(const DrawStyle& style);
};
