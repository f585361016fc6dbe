// CKomaClash is the tug of war that starts when the player's top and an enemy
// top meet while both are dashing. It freezes the physics and the battle
// tasks, switches to the clash music, swings the camera round to look across
// the two tops and counts the player's presses of the launch key against the
// enemy's steady pushes. When the balance passes 20 either way, or after 600
// frames, the loser is thrown away from the contact point, the battle runs on
// and the clash removes itself.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "platform/Math3D.h"

class CCamera;
class CInput;
class CKomaBase;
class CSound;

constexpr int32_t PRIORITY_KOMA_CLASH = 9000;
constexpr const char* KOMA_CLASH_TASK_NAME = "CKomaClash";

class CKomaClash : public CGameObject {
public:
    // The frozen band: item spawning, the tops and the enemy set-up tasks.
    static constexpr int32_t FREEZE_LOW = 3500;
    static constexpr int32_t FREEZE_HIGH = 5000;
    // A game of two: the banner that tells both players to press, in TopSide::TAG_PICTURE.
    static constexpr plat::Rect VERSUS_BANNER_RECT{128, 96, 413, 160};

    static constexpr int NO_KEY = -1;           // the enemy side pushes by itself
    static constexpr int WIN_BALANCE = 20;      // beyond this either way the clash ends at once
    static constexpr int FRAME_LIMIT = 600;     // beyond this the balance decides
    static constexpr int ENEMY_PUSH_BASE = 5;   // the enemy pushes every (5 - stage index) x 10 frames
    static constexpr int ENEMY_PUSH_FRAMES = 10;
    static constexpr float SWING_STEP = 1.5f;         // degrees per frame of the camera swing
    static constexpr float BASE_FOV = 60.0f;          // minus the balance while the clash runs
    static constexpr float THROW_PER_SPIN = 100.0f;   // throw = normal x winner's spin x balance x 100
    static constexpr float DRAW_THROW = 100000.0f;    // each side's push when the time runs out
    static constexpr int HEAVY_STAGE_INDEX = 3;       // stage 4: the enemy is thrown harder upwards
    static constexpr float HEAVY_LIFT = 4.0f;
    static constexpr int HIT_TEXT_FRAMES = 10;
    static constexpr int BUTTON_FRAME_MAX = 14;
    static constexpr int BUTTON_FRAMES_PER_PICTURE = 5;
    static constexpr float PULSE_MIN = 0.8f;
    static constexpr float PULSE_MAX = 1.2f;
    static constexpr float PULSE_STEP = 0.05f;

    static constexpr int32_t GAME_MUSIC_DUCK_VOLUME = -3000;
    static constexpr int32_t GAME_MUSIC_DUCK_MS = 2000;
    static constexpr int32_t CLASH_MUSIC_START_VOLUME = -2000;
    static constexpr int32_t CLASH_MUSIC_VOLUME = -500;
    static constexpr int32_t CLASH_MUSIC_FADE_IN_MS = 500;
    static constexpr int32_t GAME_MUSIC_VOLUME = -500;
    static constexpr int32_t GAME_MUSIC_RETURN_MS = 1000;
    static constexpr int32_t CLASH_MUSIC_FADE_OUT_MS = 1500;

    // The contact point and normal are those of the enemy's touch test, with
    // the enemy's disc as the first geometry and the player's as the second.
    CKomaClash(CKomaBase* player, CKomaBase* enemy, float px, float py, float pz, float nx, float ny, float nz);
    ~CKomaClash() override;
    CKomaClash(const CKomaClash&) = delete;
    CKomaClash& operator=(const CKomaClash&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    // Degrees the camera turns to look across the line between the tops, from
    // the eye and the tops' positions; 0 when a direction it needs is zero.
    static float SwingDegrees(plat::Vec3 eye, plat::Vec3 player, plat::Vec3 enemy);

    bool Swinging() const { return m_SwingLeft > 0; }

    CKomaBase* m_Player = nullptr;
    CKomaBase* m_Enemy = nullptr;
    CInput* m_Input = nullptr;
    CCamera* m_Camera = nullptr;
    std::unique_ptr<CSound> m_PressSound;   // "TubazeriSE"
    plat::Vec3 m_Eye;                       // the camera's eye, turned while it swings
    float m_SwingLeft = 0;                  // degrees
    int m_Balance = 0;                      // positive favours the player
    // The key the enemy side's player presses (versus play), or NO_KEY for
    // the stage's steady pushes.
    int m_EnemyKey = NO_KEY;
    int m_FrameCount = 0;
    plat::Vec3 m_ContactPoint;
    plat::Vec3 m_ContactNormal;
    CSprite m_Banner;   // "InterfaceBMP"
    // A game of two: the banner that asks for the dash keys, from the guide picture.
    CTexture m_VersusBannerTexture;
    CSprite m_VersusBanner;
    int m_ButtonFrame = 0;
    float m_BannerPulse = PULSE_MIN;

private:
    void StartMusic();
    void Freeze(bool frozen);
    void SwingCamera();
    void Animate();
    void ShowHitTexts();
    void EnemyPush();
    void PlayerPush();
    bool Pressed(int key) const;
    void ThrowSparks();
    bool Decided() const;
    void End();
    void ThrowLoser();
    void DrawTop(const CKomaBase& top);
    void DrawBanner();
};
