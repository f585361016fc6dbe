// CResult is the result screen at the end of a battle, laid over the stage
// that goes on running under it: the camera zooms in on the player's top while
// a two-word heading is stamped and a seven-letter message is spelled, then it
// waits for the decide key. Kind 0 (stage cleared) goes on to the next stage's
// select screen, or to the title after the fifth stage. Kind 1 (game over)
// asks whether to continue: Left and Right choose, Z retries the stage or
// returns to the title. It freezes the items while it runs.
#pragma once

#include <cstdint>

#include "audio/CSound.h"
#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "hud/CSpriteRenderBase.h"
#include "hud/PlayerArt.h"
#include "platform/KeySource.h"

class CCamera;
class CInput;
class CKoma;

constexpr int32_t PRIORITY_RESULT = 9000;
constexpr const char* RESULT_TASK_NAME = "CResult";
// The screen the result opens after its ClearTasks.
constexpr int32_t PRIORITY_NEXT_SCREEN = 1;

class CResult : public CGameObject {
public:
    static constexpr int KIND_CLEAR = CSpriteRenderBase::RESULT_CLEAR;
    static constexpr int KIND_GAME_OVER = CSpriteRenderBase::RESULT_GAME_OVER;

    enum Phase { PHASE_LETTERS = 0, PHASE_BANNER = 1, PHASE_ANSWERS = 2, PHASE_WAITING = 3 };

    static constexpr int MESSAGE_LETTERS = 7;
    static constexpr int STAGE_COUNT = 5;

    // The camera closes in on the player's top.
    static constexpr float ZOOM_FACTOR = 0.99f;   // per frame
    static constexpr float MIN_ZOOM = 30.0f;
    static constexpr float LETTERS_ZOOM = 40.0f;   // kind 0 spells its message from here on

    // The heading: two words stamped down from a larger size.
    static constexpr int HEADING_WORDS = 2;
    static constexpr float STAMP_START_SCALE = 1.6f;
    static constexpr float STAMP_STEP = 0.04f;

    // Kind 0: each letter grows in 10 frames; then the prompt blinks.
    static constexpr float GROW_STEP = 0.1f;
    static constexpr int PROMPT_ALPHA_STEP = 2;
    static constexpr int PROMPT_ALPHA_WRAP = 256;

    // Kind 1: each letter falls from 10 to 390, the banner falls, the answers slide in.
    static constexpr float FALL_START = 10.0f;
    static constexpr float FALL_FACTOR = 1.2f;
    static constexpr float FALL_END = 390.0f;
    static constexpr float SLIDE_FACTOR = 1.15f;
    static constexpr float BANNER_END = 230.0f;
    static constexpr float ANSWERS_END = 250.0f;
    static constexpr int LETTER_FULL_ALPHA = 255;

    explicit CResult(int kind);
    // Adds the result screen of a kind at its priority: how a battle
    // interface hands over when a side has lost.
    static void Start(int kind);
    void Init() override;
    void Update() override;
    void Draw() override;

    int Kind() const { return m_Kind; }
    int Phase() const { return m_Phase; }
    // Game over: false to retry the stage, true to go back to the title.
    bool Choice() const { return m_Choice; }

    CInput* m_Input = nullptr;
    CCamera* m_Camera = nullptr;
    CKoma* m_Player = nullptr;
    CSprite m_Sprite;
    CTexture m_Texture;
    PlayerArt m_PlayerArt;   // the battle's time after a win
    CSound m_SelectSound;
    CSound m_MoveSound;
    CSound m_TextSound;
    CSound m_ContinueSound;
    int m_FadeAlpha = 0;
    float m_Zoom = 0.0f;
    float m_StampScale = STAMP_START_SCALE;
    int m_StampCount = 0;
    float m_LetterProgress = 0.0f;
    int m_LettersShown = 0;
    int m_Phase = PHASE_LETTERS;
    bool m_Choice = false;
    // The keys this screen reads; one that was already down when the screen
    // opened (held from the battle) counts only after it has been let go once.
    static constexpr int READ_KEYS[] = {plat::KEY_Z, plat::KEY_LEFT, plat::KEY_RIGHT};
    static constexpr int READ_KEY_COUNT = 3;
    bool m_KeyReleased[READ_KEY_COUNT] = {};

private:
    void NoteReleasedKeys();
    // A press of a key that has been released since the screen opened.
    bool Pressed(int key) const;
    void FollowPlayer();
    void StampHeading();
    void SpellClearMessage();
    void SpellGameOverMessage();
    void SlideContinueQuestion();
    void Leave();

    void DrawHeading();
    void DrawClearMessage();
    void DrawBattleTime();
    void DrawGameOverMessage();
    void DrawCell(const plat::Rect& cell, float x, float y, float scaleX, float scaleY, uint8_t alpha);

    int m_Kind;
};
