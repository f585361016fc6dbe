// CHowToPlay is the card a new player sees once, between the stage select and
// the loading of stage 1: the battle's keys and what beats the enemy, over the
// whole screen. Z (pressed while the card shows, not held from the screen
// before) marks the card as seen and goes on to the stage's loading screen
// under a fade.
#pragma once

#include <cstdint>

#include "audio/CSound.h"
#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"

class CInput;

class CHowToPlay : public CGameObject {
public:
    static constexpr const char* PICTURE_FILE = "texture/Guide.png";
    static constexpr plat::Rect CARD{0, 0, 512, 384};
    static constexpr float CARD_SCALE = 1.25f;   // fills the 640 x 480 picture

    // The card on the way to the stage's loading screen, when it is still to
    // be seen and the stage is the first; otherwise the loading screen itself.
    static CGameObject* NextScreenAfterStageSelect();

    void Init() override;
    void Update() override;
    void Draw() override;

    CInput* m_Input = nullptr;
    CSprite m_Sprite;
    CTexture m_Texture;
    CSound m_SelectSound;

private:
    bool SkipPressed();
    void Leave();

    int m_Updates = 0;
    bool m_SkipArmed = false;   // Z has been seen up while the card showed
};
