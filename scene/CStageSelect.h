// CStageSelect shows the stage about to be played and waits for the decide
// key. The five stages come in a fixed order, so it offers only the current
// one: a slowly turning preview of its arena in a window in the middle of the
// screen, its name, a row of five stage slots with the cleared ones marked and
// a cursor over the current one. On Z it plays the select sound, fades the
// music out and the screen to black, and in the first Draw after the fade is
// gone it clears the task list and hands over to the stage's loading screen.
#pragma once

#include <cstdint>
#include <string>

#include "audio/CSound.h"
#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "hud/PlayerArt.h"

class CBGMusic;
class CCamera;
class CInput;

class CStageSelect : public CGameObject {
public:
    // The white light from above that the arena previews are lit by (the versus select's too).
    static void SetUpLight();

    static constexpr float START_ZOOM = 100.0f;    // degrees of view
    static constexpr float ZOOM_FACTOR = 0.981f;   // per frame
    static constexpr float END_ZOOM = 50.0f;
    static constexpr float LOADING_FOV = 60.0f;   // handed to the stage's camera
    static constexpr float TURN_STEP = 1.0f;      // degrees per frame
    static constexpr float FULL_TURN = 360.0f;

    static constexpr int32_t MUSIC_START_VOLUME = -7000;
    static constexpr int32_t MUSIC_VOLUME = -500;
    static constexpr int32_t MUSIC_FADE_IN_MS = 2000;
    static constexpr int32_t MUSIC_FADE_OUT_MS = 1600;

    static constexpr uint32_t CURRENT_SLOT_COLOR = 0xFFF1FF18;   // the current stage's slot, tinted yellow
    static constexpr uint32_t OTHER_SLOT_COLOR = 0xFFFFFFFF;

    // The preview's mesh file for a stage index, in the mesh folder.
    static std::string PreviewPath(int stageIndex);

    void Init() override;
    void Update() override;
    void Draw() override;

    bool Decided() const { return m_Decided; }

    CInput* m_Input = nullptr;   // the "input" task
    CSprite m_Sprite;
    CTexture m_Texture;
    PlayerArt m_PlayerArt;   // the stage's best time
    CSound m_SelectSound;
    CBGMusic* m_Music = nullptr;   // the "bgm" task
    CCamera* m_Camera = nullptr;   // the "CCamera" task
    CXFile m_Preview;
    float m_TurnAngle = 0.0f;   // degrees about y
    bool m_Decided = false;
    float m_Zoom = START_ZOOM;   // degrees of view

private:
    bool DecidePressed();
    void Decide();
    void DrawPreview();
    void HandOverToLoading();
    void DrawOverlay();

    int m_Updates = 0;            // updates run since the screen started
    bool m_DecideArmed = false;   // Z has been seen up while this screen ran
};
