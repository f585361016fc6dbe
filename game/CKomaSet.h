// CKomaSet is responsible for the aiming phase before the player's top enters
// the arena: the top waits on its launcher at the start position while the
// launch direction swings from side to side and the power gauge fills and
// empties; on the launch key it creates the player's top with a force and a
// spin taken from the direction and power of that moment, starts the launch
// sequence and removes itself.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "platform/Math3D.h"

class CCamera;
class CInput;
class CSound;
class CXFile;

constexpr int32_t PRIORITY_KOMA_SET = 4000;
constexpr const char* KOMA_SET_TASK_NAME = "CKomaSet";

class CKomaSet : public CGameObject {
public:
    static constexpr plat::Vec3 START_POSITION{0, 16, -30};
    static constexpr plat::Vec3 CAMERA_EYE_OFFSET{0, 6, -6};   // from the start position
    static constexpr plat::Vec3 CAMERA_TARGET{0, 4, 1};
    static constexpr float CAMERA_FOV = 60.0f;

    static constexpr int AIM_STEP = 2;             // degrees per frame
    static constexpr float AIM_TURN = 30.0f;       // beyond this the swing turns back
    static constexpr int POWER_STEP = 4;           // per frame
    static constexpr int POWER_MAX = 192;          // beyond this the gauge empties
    static constexpr float BANNER_WRAP = 512.0f;   // texels of one banner
    static constexpr float LAUNCH_FORCE = 100000.0f;
    static constexpr int LAUNCH_SPIN_BASE = 130;
    static constexpr double LAUNCH_SPIN_FACTOR = 0.004;   // x power squared

    static constexpr int32_t GAUGE_SOUND_VOLUME = -100;   // hundredths of a decibel
    static constexpr int32_t MUSIC_START_VOLUME = -600;

    CKomaSet();
    ~CKomaSet() override;
    CKomaSet(const CKomaSet&) = delete;
    CKomaSet& operator=(const CKomaSet&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    // The launch's spin for a power: 130 at 0, 277 at 192.
    static int LaunchSpin(int power);
    // The launch force for an aim angle in degrees: (0, 0, 100000) turned about y.
    static plat::Vec3 LaunchForce(float aimAngle);

    CInput* m_Input = nullptr;
    CCamera* m_Camera = nullptr;
    CXFile* m_Rale = nullptr;       // the launcher rail
    CXFile* m_RaleRoll = nullptr;   // its two rollers
    CXFile* m_Top = nullptr;
    std::unique_ptr<CSound> m_GaugeSound;   // shares the samples of "KiaiGageUPSE"
    plat::Vec3 m_StartPos = START_POSITION;
    float m_AimAngle = 0.0f;   // degrees about the vertical axis
    int m_AimStep = AIM_STEP;
    // Rotation by the aim angle, then translation to the start position;
    // recomputed in each Draw, and the start pose at angle 0 until the first.
    plat::Mat4 m_LauncherMatrix;
    int m_Power = 0;
    CSprite m_HudSprite;   // on "InterfaceBMP"
    float m_BannerScroll = 0.0f;

private:
    void Aim();
    void FillGauge();
    void ScrollBanners();
    bool LaunchRequested() const;
    void Launch();

    void DrawRollers();
    void DrawRollerGlow();
    void DrawLauncherAndTop();
    void DrawHud();
    void DrawGauge();
    void DrawBanners();
};
