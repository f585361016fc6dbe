// CTitle is the first screen of the game and the one the result screen returns
// to. Its opening is drawn with sprites alone: two tops shrink into view, turn,
// run into each other and explode; the seven letters of the name burst out of
// the blast spinning and fly back into place; the subtitle fades in and glints
// sweep across the letters; a running top crosses the screen and uncovers a
// menu. Up and Down choose, Z confirms (start a new game at stage 1 through
// the stage select, quit, open the options over the title, or choose the
// arena of a game of two); Z during the opening skips it. VERSUS sits beside
// OPTIONS, the last entry: Left and Right also move between those two.
#pragma once

#include <array>
#include <cstdint>

#include "audio/CSound.h"
#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "hud/OptionsArt.h"
#include "hud/VersusArt.h"
#include "platform/Math3D.h"

class CBGMusic;
class CInput;

constexpr int32_t PRIORITY_TITLE = 100;   // at start-up
constexpr int32_t PRIORITY_STAGE_SELECT_FROM_TITLE = 2001;

class CTitle : public CGameObject {
public:
    static constexpr int LETTERS = 7;
    static constexpr int BLASTS = 4;
    static constexpr int LAST_BLAST_FRAME = 7;   // cells 0..7 of the explosion sheet
    static constexpr int BLAST_CELL = 160;       // pixels, square cells row by row

    // Menu choices.
    static constexpr int CHOICE_NONE = 0;
    static constexpr int CHOICE_START = 1;
    static constexpr int CHOICE_QUIT = 2;
    static constexpr int CHOICE_OPTIONS = 3;   // beneath QUIT
    static constexpr int CHOICE_VERSUS = 4;    // beside OPTIONS
    static constexpr int VERSUS_WIDTH = 144;   // pixels of VERSUS on the screen, at OPTIONS' size

    // The opening: the tops shrink to 1.5, turn to 40 degrees and close in to 40 pixels.
    static constexpr float TOP_START_SCALE = 5.0f;
    static constexpr float TOP_END_SCALE = 1.5f;
    static constexpr float TOP_SHRINK_STEP = 0.2f;
    static constexpr int SHRINK_SOUND_SCALE = 2;   // "TextScall" whenever the scale truncates to this
    static constexpr float TOP_END_ANGLE = 40.0f;
    static constexpr float TOP_TURN_STEP = 4.0f;
    static constexpr int START_SEPARATION = 90;
    static constexpr int END_SEPARATION = 40;
    static constexpr int SEPARATION_STEP = 5;
    static constexpr int BLAST_START_FRAMES[BLASTS] = {0, -2, -4, -6};

    // The letters: out for a full turn, then home turning back.
    static constexpr float LETTER_START_SPIN = 8.0f;   // degrees per update
    static constexpr float FULL_TURN = 360.0f;
    static constexpr float HOME_FRACTION = 0.0055555557f;   // one 180th of the way home per step
    static constexpr float LETTER_MOVE_STEPS = 4.0f;        // steps taken per update

    // The subtitle and the glints.
    static constexpr int LOGO_START_ALPHA = -100;
    static constexpr int LOGO_ALPHA_STEP = 10;
    static constexpr int LOGO_SHOWN_ALPHA = 250;   // the subtitle is in and the menu starts
    static constexpr int LOGO_SKIPPED_ALPHA = 255;
    static constexpr int GLINT_STEP = 24;    // pixels per update
    static constexpr int GLINT_WIDTH = 10;   // pixels of the strip
    static constexpr uint32_t FIRST_GLINT_DELAY_MS = 2500;
    static constexpr uint32_t GLINT_INTERVAL_MS = 2000;

    // The running top that uncovers the menu.
    static constexpr int RUNNER_MAX_SPEED = 10;
    static constexpr int RUNNER_TRACK = 1920;   // pixels before it starts again at 0

    // The music.
    static constexpr int32_t MUSIC_VOLUME = -500;
    static constexpr int32_t MUSIC_FADE_MS = 1000;
    static constexpr int32_t MUSIC_FADE_VOLUME = -4000;

    enum Sound { MOVE, SYSTEM, EXPLOSION, TEXT_SCALE, TEXT_ALPHA, GLINT, LETTERS_TURN, RUNNER, SOUND_COUNT };

    void Init() override;
    void Update() override;
    void Draw() override;

    bool InOpening() const { return m_BlastFrame[BLASTS - 1] < LAST_BLAST_FRAME; }
    // The width of the menu entries uncovered by the running top; may choose
    // the first entry once they are fully uncovered.
    int UncoverMenu();
    // The width of VERSUS uncovered: it lies beyond the others, so the
    // running top reaches it a little later; a choice made with the keys
    // before the top came by shows it whole.
    int UncoverVersus();

    CInput* m_Input = nullptr;   // the "input" task
    CSprite m_Sprite;
    CTexture m_Background;
    CTexture m_TitleSheet;
    CTexture m_ExplosionSheet;
    OptionsArt m_OptionsArt;
    VersusArt m_VersusArt;
    std::array<CSound, SOUND_COUNT> m_Sounds;
    CBGMusic* m_Music = nullptr;   // the "bgm" task

    int m_MenuChoice = CHOICE_NONE;
    bool m_OptionsOpen = false;   // opened from here and not yet seen closed
    float m_LeftScale = TOP_START_SCALE;
    float m_RightScale = TOP_START_SCALE;
    float m_SpinAngle = 0.0f;   // degrees
    int m_Separation = START_SEPARATION;
    int m_BlastFrame[BLASTS] = {};
    plat::Vec2 m_LetterPos[LETTERS];
    plat::Vec2 m_LetterStep[LETTERS];
    plat::Vec2 m_LetterHome[LETTERS];
    float m_LetterAngle = 0.0f;   // degrees
    float m_LetterSpin = LETTER_START_SPIN;
    int m_LogoAlpha = LOGO_START_ALPHA;
    int m_GlintLetter = 0;
    int m_GlintOffset = 0;      // pixels into the lit letter
    uint32_t m_GlintTime = 0;   // no glint runs before this frame time
    int m_RunnerX = 0;
    int m_RunnerSpeed = 1;
    int m_RunnerFrame = 1;
    int m_VersusShown = 0;   // pixels of VERSUS uncovered so far

private:
    void ResetAnimation();
    bool HandleMenuKeys();   // true when the title is gone or closing
    void SkipOpening();
    void StartGame();
    void OpenVersus();
    void LeaveTitle();
    void MoveCursor();
    void UpdateOpening();
    void ShrinkTop(float& scale);
    void AdvanceBlasts();
    void UpdateLogo();
    void UpdateGlint();
    void UpdateRunner();
    void PlaySound(Sound sound) { m_Sounds[sound].Play(); }

    void DrawBackground();
    void DrawOpening();
    void DrawBlasts();
    void DrawLogo();
    void DrawGlint();
    void DrawMenu();
    void DrawOptionsEntry(int width);
    void DrawCursor();
    void DrawRegion(const plat::Rect& region, float x, float y, float scaleX, float scaleY, float angleDeg,
                    uint8_t alpha);
};
