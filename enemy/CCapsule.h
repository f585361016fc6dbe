// CCapsule is a stage-3 bumper: an upright capsule that spins in place at 160
// and roams the arena under the simulation, leaving a trail. Every frame it
// touches the player's top it raises the player's gauge ceiling by 20 and
// throws the top back hard. One that falls off the arena is put back above
// the centre, at rest.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "physics/PhysicsBodies.h"
#include "platform/Math3D.h"

class CKoma;
class CSound;
class CXFile;

constexpr const char* CAPSULE_TASK_NAME = "CCapsule";

class CCapsule : public CGameObject {
public:
    static constexpr float MASS = 10.0f;
    static constexpr float RADIUS = 1.5f;
    static constexpr float LENGTH = 2.0f;
    static constexpr float START_SPIN = 200.0f;
    static constexpr float SPIN = 160.0f;   // kept every frame
    static constexpr float START_HEIGHT = 10.0f;
    static constexpr int START_SPREAD = 500;   // tenths: -25 to 24.9 in x and z
    static constexpr plat::Vec3 RETURN_POSITION{0, 10, 0};
    static constexpr int CEILING_GAIN = 20;          // per frame of touch
    static constexpr float PUSH_PER_SPIN = 200.0f;   // on the capsule, per unit of the player's spin
    static constexpr float PLAYER_PUSH = 20000.0f;
    static constexpr float PLAYER_TORQUE = 2000.0f;

    CCapsule();
    ~CCapsule() override;
    CCapsule(const CCapsule&) = delete;
    CCapsule& operator=(const CCapsule&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    CXFile* m_Mesh = nullptr;   // "XCapsule"
    BodyRecord m_Body;
    CKoma* m_Player = nullptr;
    ContactPoint m_Contact{};
    std::unique_ptr<CSound> m_HitSound;
    plat::Vec3 m_Position;

private:
    void LeaveTrail();
    void TestTouch();
    void ReturnIfFallen();

    uint32_t m_WorldSerial = 0;   // the world its body lives in
};
