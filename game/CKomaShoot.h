// CKomaShoot plays the launch: between the launch key in the aiming phase
// and the top's release into the arena the battle is frozen and hidden while
// the launcher's rollers spin up to a speed set by the power, open slowly and
// snap shut. At that instant the launch sound plays, the aiming music fades
// and the battle runs again, so the launch force acts in the next physics
// step. The task lingers 150 frames swinging the camera, then removes itself
// and the aiming music.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "platform/Math3D.h"

class CCamera;
class CKoma;
class CSound;
class CXFile;

constexpr int32_t PRIORITY_KOMA_SHOOT = 4001;
constexpr const char* KOMA_SHOOT_TASK_NAME = "CKomaShoot";

class CKomaShoot : public CGameObject {
public:
    // The frozen band: physics (7000), tops (4000), effects (6000), interface (9000).
    static constexpr int32_t FREEZE_LOW = 3900;
    static constexpr int32_t FREEZE_HIGH = 9000;

    static constexpr float ROLLER_OFFSET_START = 2.7418f;   // from the launcher's centre line
    static constexpr float ROLLER_OFFSET_STEP = 0.01f;      // opening, per frame
    static constexpr float ROLLER_OPEN_LIMIT = 3.5f;        // then they snap shut ten times faster
    static constexpr float ROLLER_CLOSE_FACTOR = -10.0f;
    static constexpr float RELEASE_OFFSET = 2.5518f;   // closed this far, the top is let go
    static constexpr float ROLLER_DEPTH = 0.0373f;
    static constexpr float ROLLER_SPIN_UP = 0.1f;     // degrees per frame per frame
    static constexpr int TOP_SPEED_DIVISOR = 10;      // top speed = power / 10
    static constexpr int STRONG_LAUNCH_POWER = 160;   // above this the ghost shows
    static constexpr int STRONG_MARKER_OFF = 480;
    static constexpr int STRONG_MARKER_LIMIT = 240;
    static constexpr int STRONG_MARKER_STEP = 9;
    static constexpr int LINGER_FRAMES = 150;   // after the release
    static constexpr float ORBIT_STEP = 0.2f;   // degrees per frame
    static constexpr float ORBIT_MAX = 20.0f;
    static constexpr float BANNER_STEP = 2.0f;
    static constexpr float BANNER_WRAP = 320.0f;
    static constexpr float EMBLEM_GROWTH = 0.001f;
    static constexpr int MARKER_START_Y = 1000;
    static constexpr int MARKER_FALL = 3;   // pixels per frame
    static constexpr int MARKER_BOTTOM = 131;
    static constexpr int MARKER_TOP = 60;
    static constexpr int MARKER_MIN_X = 170;
    static constexpr int MARKER_X_RANGE = 300;
    static constexpr int MARKER_CENTRE_X = 320;
    static constexpr int MARKER_DRIFT = 3;
    static constexpr int32_t MUSIC_FADE_MS = 2000;
    static constexpr int32_t MUSIC_FADE_VOLUME = -5000;

    CKomaShoot(int power, const plat::Mat4& launcherMatrix);
    ~CKomaShoot() override;
    CKomaShoot(const CKomaShoot&) = delete;
    CKomaShoot& operator=(const CKomaShoot&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    bool Released() const { return m_FinishCount != 0; }

    CCamera* m_Camera = nullptr;
    CXFile* m_Rale = nullptr;
    CXFile* m_RaleRoll = nullptr;
    CKoma* m_Top = nullptr;
    CSprite m_HudSprite;
    std::unique_ptr<CSound> m_LaunchSound;
    std::unique_ptr<CSound> m_RollerSound;
    plat::Mat4 m_LauncherMatrix;
    float m_RollerAngle = 0;   // degrees
    float m_RollerSpeed = 0;   // degrees per frame
    float m_TopSpeed = 0;      // the rollers' full speed
    float m_RollerOffset = ROLLER_OFFSET_START;
    float m_OffsetStep = ROLLER_OFFSET_STEP;
    plat::Vec3 m_SavedEye;
    int m_FinishCount = 0;   // 0 until the release, then frames since
    float m_EmblemScale = 1;
    int m_MarkerX = 0, m_MarkerY = MARKER_START_Y;
    int m_StrongMarker = 0;
    int m_Power = 0;
    float m_BannerScroll = 0;

private:
    void SwingCamera();
    void ThrowSparks();
    void TurnRollers();
    void Release();
    void MoveRollerOffset();
    void MoveMarker();
    void DrawRollersAndLauncher();
    void DrawFrozenTop();
    void DrawHud();
    void DrawHudRect(int left, int top, int right, int bottom, float x, float y, float sx, float sy, float angle,
                     uint8_t alpha);
};
