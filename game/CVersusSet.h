// CVersusSet is the aiming phase of versus play. Both players' tops wait on
// their launchers, player 1's at the near start point and player 2's across
// the arena, while each launcher swings and each power gauge fills and
// empties on its own. A player launches with the dash key: that side keeps
// its aim and power and its launcher stands still. Once both have launched,
// both tops enter the arena at once with the launch sound, the referee that
// judges their touches joins them, and this task removes itself.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "game/TopSide.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "platform/Math3D.h"

class CCamera;
class CInput;
class CSound;
class CXFile;

constexpr const char* VERSUS_SET_TASK_NAME = "CVersusSet";

class CVersusSet : public CGameObject {
public:
    static constexpr int SIDES = 2;
    // The shot while aiming: from the side, both launchers in view.
    static constexpr plat::Vec3 CAMERA_EYE{68, 40, 0};
    static constexpr plat::Vec3 CAMERA_TARGET{0, 6, 0};
    static constexpr float CAMERA_FOV = 60.0f;
    static constexpr float FACING_AWAY = 180.0f;   // player 2's launcher faces player 1's

    struct Launcher {
        TopSide side;
        float aimAngle = 0;   // degrees from the launcher's own facing
        int aimStep = 0;
        int power = 0;
        bool launched = false;
        CXFile* top = nullptr;
        plat::Mat4 matrix;   // rotation by the aim, then the start point
    };

    CVersusSet();
    ~CVersusSet() override;
    CVersusSet(const CVersusSet&) = delete;
    CVersusSet& operator=(const CVersusSet&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    // The launch force of a side for an aim angle, in world space.
    static plat::Vec3 LaunchForce(const TopSide& side, float aimAngle);
    static plat::Mat4 LauncherMatrix(const TopSide& side, float aimAngle);

    const Launcher& Side(int index) const { return m_Launchers[index]; }
    bool EndsSwitched() const { return m_EndsSwitched; }

    CInput* m_Input = nullptr;
    CCamera* m_Camera = nullptr;
    CXFile* m_Rale = nullptr;
    CXFile* m_RaleRoll = nullptr;
    std::unique_ptr<CSound> m_GaugeSound;
    std::unique_ptr<CSound> m_LaunchSound;
    CSprite m_HudSprite;
    CTexture m_TagTexture;         // the picture, when the stage did not load it
    CTexture* m_Tags = nullptr;   // P1 and P2 above the gauges
    CSprite m_TagSprite;

private:
    void Swing(Launcher& launcher);
    bool Both() const { return m_Launchers[0].launched && m_Launchers[1].launched; }
    void LaunchBoth();
    void DrawLauncher(const Launcher& launcher);
    void DrawGauge(const Launcher& launcher);

    std::array<Launcher, SIDES> m_Launchers;
    bool m_EndsSwitched = false;        // player 1 starts at the far end
    bool m_SecondEntersFirst = false;   // player 2's top joins the task list first
};
