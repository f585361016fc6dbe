// CItemAppend is the item box: it hangs high over the arena, and every 1200
// frames of idling it comes down, circles the arena for 301 frames while it
// drops five items (kinds 1, 2, 3, 2, 1), and climbs away again. While it is
// out it zooms the camera out and lifts the eye up and away from the arena.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "platform/Math3D.h"

class CCamera;
class CSound;
class CXFile;

constexpr int32_t PRIORITY_ITEM_APPEND = 5000;
constexpr const char* ITEM_APPEND_TASK_NAME = "CItemAppend";

class CItemAppend : public CGameObject {
public:
    enum BoxState : int32_t {
        STATE_IDLE = 1,
        STATE_ARRIVING = 4,
        STATE_DROPPING = 2,
        STATE_LEAVING = 8,
    };

    static constexpr int32_t COUNTER_WRAP = 12000;     // the counter restarts above this
    static constexpr int32_t IDLE_FRAMES = 1200;       // a run starts on each multiple
    static constexpr int32_t DROP_END = 300;           // dropping ends above this count
    static constexpr int32_t POWER_DROP_EVERY = 180;   // drop tests, first match wins
    static constexpr int32_t JUMP_DROP_EVERY = 120;
    static constexpr int32_t SPIN_DROP_EVERY = 60;
    static constexpr plat::Vec3 HOME_POSITION{0, 60, 32};     // before the first run
    static constexpr plat::Vec3 ARRIVE_POSITION{0, 30, 32};   // where each run starts
    static constexpr float LOW_HEIGHT = 10.0f;                // the height it circles at
    static constexpr float HIGH_HEIGHT = 60.0f;               // the height it leaves for
    static constexpr float HEIGHT_STEP = 0.5f;
    static constexpr int32_t WIDE_FOV = 80;   // the camera's field of view while the box is out
    static constexpr int32_t NORMAL_FOV = 60;
    static constexpr float LIFT_STEP = 0.2f;   // camera lift per frame, arriving and leaving
    static constexpr float HALF_TURN = 180.0f;
    static constexpr float FULL_TURN = 360.0f;
    static constexpr float HEADING_STEP = 1.0f;       // degrees per dropping frame
    static constexpr float PROPELLER_STEP = 25.0f;    // degrees per frame
    static constexpr float TILT = -0.34906587f;       // the circle is tilted by minus 20 degrees
    static constexpr int32_t VOLUME_PER_UNIT = 100;   // hundredths of a decibel per unit above 10

    CItemAppend();
    ~CItemAppend() override;

    void Init() override;
    void Update() override;
    void Draw() override;

    // The box sound's volume at a height: 0 at 10, -5000 at 60.
    static int32_t VolumeAtHeight(float height);
    // The kind dropped at a count of the dropping state, or 0 for none.
    static int DropKindAt(int32_t counter);

    CXFile* m_BoxMesh = nullptr;         // "XItemBox"
    CXFile* m_PropellerMesh = nullptr;   // "XItemBoxPropeller"
    CCamera* m_Camera = nullptr;
    std::unique_ptr<CSound> m_BoxSound;     // own duplicate of "ItemBoxSE"
    std::unique_ptr<CSound> m_ShootSound;   // own duplicate of "ItemShootSE"
    float m_Heading = 0;                    // degrees about the arena centre
    float m_PropellerAngle = 0;             // degrees
    int32_t m_ZoomFov = 0;                  // whole degrees
    int32_t m_BoxState = STATE_IDLE;
    int32_t m_BoxCounter = 0;
    float m_CameraLift = 0;
    plat::Vec3 m_BoxPosition = HOME_POSITION;   // before the turn about the centre
    plat::Mat4 m_World;                         // as last drawn; each drop starts from it

private:
    void Idle();
    void Arrive();
    void Drop();
    void Leave();
    void LiftCamera();
    void SetCameraFov();
    void Shoot(int kind);
    void PlayBoxSound();
    void PlayBoxSoundWithVolume();
};
