#include "scene/CResult.h"

#include <algorithm>

#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ProgressBook.h"
#include "game/CKoma.h"
#include "gfx/CCamera.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"

namespace {

constexpr const char* PICTURE_FILE = "texture/Result.png";
constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr const char* MOVE_SOUND_FILE = "sound/Move.wav";
constexpr const char* CLEAR_TEXT_SOUND_FILE = "sound/game/result/StageClearText.wav";
constexpr const char* GAME_OVER_TEXT_SOUND_FILE = "sound/game/result/GameOverText.wav";
constexpr const char* CONTINUE_SOUND_FILE = "sound/game/result/Continue.wav";
constexpr uint32_t NO_COLOR_KEY = 0;

// The item tasks the result freezes.
constexpr const char* ITEM_SPAWNER_TASK = "CItemAppend";
constexpr const char* ITEM_EFFECT_TASK = "CItemEffect";
constexpr const char* ITEM_TASK = "CItem";

constexpr uint8_t ANCHOR_LEFT_MIDDLE = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_VCENTER;   // 0x11
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t OPAQUE = 255;
// The battle's time after a win, and NEW BEST beside it, clear of the
// digits of a time of ten minutes or more.
constexpr float TIME_X = 30, TIME_Y = 300;
constexpr float NEW_BEST_X = 470, NEW_BEST_Y = 300;

// The heading's two words of each kind, side by side.
struct Heading {
    plat::Rect wordA, wordB;
    float y;
};
constexpr Heading HEADINGS[2] = {{{336, 0, 432, 96}, {336, 96, 432, 192}, 110},
                                 {{336, 192, 432, 288}, {336, 288, 432, 384}, 100}};
constexpr float WORD_A_X = 260, WORD_B_X = 380;
constexpr float GLOW_SHIFT = 2;   // the glow copies jitter around a point 2 pixels up and left
constexpr float GLOW_SCALE = 1.3f;
constexpr float GLOW_EXTRA_SCALE = 0.3f;
constexpr int JITTER = 4;

// The message: seven 48-pixel letters in two words.
constexpr int LETTER_SIZE = 48;
constexpr float LETTER_X = 130, WORD_GAP_X = 206;
constexpr int CLEAR_FIRST_WORD = 4, GAME_OVER_FIRST_WORD = 3;
constexpr int CLEAR_LETTER_TOP = 0, CLEAR_GROWING_TOP = 48, CLEAR_GROWING_BOTTOM = 208;
constexpr float CLEAR_LETTER_Y = 230;
constexpr plat::Rect PROMPT{0, 432, 176, 464};
constexpr float PROMPT_X = 232, PROMPT_Y = 340;
constexpr int GAME_OVER_LETTER_TOP = 224;

// The continue question.
constexpr plat::Rect BANNER{0, 272, 336, 336};
constexpr float BANNER_X = 320, BANNER_REST_Y = 230;
constexpr int ANSWERS_TOP = 336, ANSWER_WIDTH = 144;
constexpr float ANSWERS_Y = 300, SCREEN_WIDTH = 640;

float LetterX(int k, int firstWordLetters) { return (k < firstWordLetters ? LETTER_X : WORD_GAP_X) + LETTER_SIZE * k; }

float Jitter() { return static_cast<float>(GameRand() % JITTER); }

}   // namespace

void CResult::Start(int kind)
{
    if (kind == KIND_CLEAR) ProgressBook::RecordWin(g_StageIndex, g_FrameTime);
    AddTask(PRIORITY_RESULT, new CResult(kind), RESULT_TASK_NAME);
}

CResult::CResult(int kind) : m_Kind(kind) {}

void CResult::Init()
{
    // The items stand still under the result.
    SetUpdateStop(ITEM_SPAWNER_TASK, true);
    SetUpdateStop(ITEM_EFFECT_TASK, true);
    SetDrawStop(ITEM_EFFECT_TASK);
    SetUpdateStop(ITEM_TASK, true);
    SetDrawStop(ITEM_TASK);

    m_SelectSound.Load(SELECT_SOUND_FILE);
    m_MoveSound.Load(MOVE_SOUND_FILE);
    m_TextSound.Load(m_Kind == KIND_GAME_OVER ? GAME_OVER_TEXT_SOUND_FILE : CLEAR_TEXT_SOUND_FILE);
    m_ContinueSound.Load(CONTINUE_SOUND_FILE);
    m_Input = CInput::FindOrCreate();
    NoteReleasedKeys();
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));

    m_Texture.Load(PICTURE_FILE, NO_COLOR_KEY);
    if (m_Kind == KIND_CLEAR) m_PlayerArt.Load();
    m_Sprite.m_Anchor = ANCHOR_LEFT_MIDDLE;
    m_Sprite.AttachTexture(&m_Texture);

    const bool gameOver = m_Kind == KIND_GAME_OVER;
    m_FadeAlpha = gameOver ? LETTER_FULL_ALPHA : 0;
    m_LetterProgress = gameOver ? FALL_START : 0.0f;
    m_Zoom = m_Camera ? m_Camera->m_Fov : CCamera::DEFAULT_FOV;
    m_LettersShown = 0;
    m_Phase = PHASE_LETTERS;
    m_Choice = false;
    m_StampCount = 0;
    m_StampScale = STAMP_START_SCALE;
}

// ---- update ----

void CResult::Update()
{
    NoteReleasedKeys();
    FollowPlayer();
    StampHeading();
    if (m_Kind == KIND_GAME_OVER)
        SpellGameOverMessage();
    else
        SpellClearMessage();
    if (m_Phase != PHASE_WAITING || !m_Input) return;
    if (m_Kind == KIND_GAME_OVER && (Pressed(plat::KEY_LEFT) || Pressed(plat::KEY_RIGHT))) {
        m_Choice = !m_Choice;
        m_MoveSound.Play();
    }
    if (Pressed(plat::KEY_Z)) Leave();   // this object is gone afterwards
}

void CResult::NoteReleasedKeys()
{
    if (!m_Input) return;
    for (int i = 0; i < READ_KEY_COUNT; ++i)
        if (!m_Input->IsDown(READ_KEYS[i])) m_KeyReleased[i] = true;
}

bool CResult::Pressed(int key) const
{
    for (int i = 0; i < READ_KEY_COUNT; ++i)
        if (READ_KEYS[i] == key) return m_KeyReleased[i] && m_Input->IsNewlyPressed(key);
    return false;
}

void CResult::FollowPlayer()
{
    m_Zoom = std::max(m_Zoom * ZOOM_FACTOR, MIN_ZOOM);
    if (!m_Camera) return;
    m_Camera->m_Fov = m_Zoom;
    if (m_Player) m_Camera->m_Target = m_Player->m_Pos;
}

void CResult::StampHeading()
{
    if (m_StampCount >= HEADING_WORDS) return;
    m_StampScale -= STAMP_STEP;
    if (m_StampScale < 1.0f) {
        m_StampScale = STAMP_START_SCALE;
        ++m_StampCount;
    }
}

void CResult::SpellClearMessage()
{
    if (m_Zoom > LETTERS_ZOOM) return;
    if (m_LettersShown < MESSAGE_LETTERS) {
        if (m_LetterProgress == 0.0f) m_TextSound.Play();
        m_LetterProgress += GROW_STEP;
        // Ten steps of 0.1 add up to a hair above or below 1: at or past 1 the letter is done.
        if (m_LetterProgress >= 1.0f) {
            ++m_LettersShown;
            m_LetterProgress = 0.0f;
        }
        return;
    }
    m_FadeAlpha += PROMPT_ALPHA_STEP;
    if (m_FadeAlpha >= PROMPT_ALPHA_WRAP) m_FadeAlpha = 0;
    m_Phase = PHASE_WAITING;
}

void CResult::SpellGameOverMessage()
{
    if (m_LettersShown < MESSAGE_LETTERS) {
        if (m_LetterProgress == FALL_START) m_TextSound.Play();
        m_LetterProgress *= FALL_FACTOR;
        if (m_LetterProgress > FALL_END) {
            ++m_LettersShown;
            m_LetterProgress = FALL_START;
            if (m_LettersShown == MESSAGE_LETTERS) {
                m_Phase = PHASE_BANNER;
                m_ContinueSound.Play();
            }
        }
        return;
    }
    SlideContinueQuestion();
}

void CResult::SlideContinueQuestion()
{
    if (m_Phase == PHASE_WAITING) {
        if (m_FadeAlpha > 0) --m_FadeAlpha;
        return;
    }
    m_LetterProgress *= SLIDE_FACTOR;
    if (m_Phase == PHASE_BANNER && m_LetterProgress > BANNER_END) {
        m_LetterProgress = FALL_START;
        m_Phase = PHASE_ANSWERS;
        m_ContinueSound.Play();
    } else if (m_Phase == PHASE_ANSWERS && m_LetterProgress > ANSWERS_END) {
        m_Phase = PHASE_WAITING;
        m_LetterProgress = ANSWERS_END;
    }
}

void CResult::Leave()
{
    // A copy of the select sound plays on after this screen is gone and frees itself.
    auto* select = new CSound(&m_SelectSound);
    select->EnableAutoDelete();
    select->Play();

    const int kind = m_Kind;
    const bool backToTitle = m_Choice;
    ClearTasks();   // deletes this screen: no member may be touched from here on

    CGameObject* next = nullptr;
    if (kind == KIND_CLEAR) {
        ++g_StageIndex;
        if (g_StageIndex >= STAGE_COUNT)
            next = new CTitle;
        else
            next = new CStageSelect;
    } else if (backToTitle) {
        next = new CTitle;
    } else {
        next = new CLoadStage;   // the same stage, loaded afresh
    }
    AddTask(next, PRIORITY_NEXT_SCREEN);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

// ---- draw ----

void CResult::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    DrawHeading();
    if (m_Kind == KIND_GAME_OVER)
        DrawGameOverMessage();
    else
        DrawClearMessage();
    gfx::EndSprites();
    if (m_Kind == KIND_CLEAR && m_Phase == PHASE_WAITING) DrawBattleTime();
}

// The time of the battle just won, and NEW BEST when no earlier win was quicker.
void CResult::DrawBattleTime()
{
    const auto win = ProgressBook::LastWin();
    if (!win) return;
    gfx::BeginSprites();
    m_PlayerArt.DrawTime(PlayerArt::TIME_LABEL, TIME_X, TIME_Y, win->battleMs, OPAQUE);
    if (win->newBest) m_PlayerArt.DrawNewBest(NEW_BEST_X, NEW_BEST_Y, OPAQUE);
    gfx::EndSprites();
}

void CResult::DrawCell(const plat::Rect& cell, float x, float y, float scaleX, float scaleY, uint8_t alpha)
{
    m_Sprite.SetSourceRect(cell.left, cell.top, cell.right, cell.bottom);
    m_Sprite.Draw(x, y, scaleX, scaleY, alpha);
}

void CResult::DrawHeading()
{
    const Heading& h = HEADINGS[m_Kind == KIND_GAME_OVER ? 1 : 0];
    m_Sprite.m_Anchor = ANCHOR_CENTRE;

    {
        // Additive glow copies, jittering, a little larger than the words,
        // flushed before the blend goes back.
        RenderStateGuard glow;
        glow.SetBlend(gfx::BlendMode::Additive);
        const float glowY = h.y - GLOW_SHIFT;
        const float glowAX = WORD_A_X - GLOW_SHIFT, glowBX = WORD_B_X - GLOW_SHIFT;
        const float scaleA = m_StampCount == 0 ? m_StampScale + GLOW_EXTRA_SCALE : GLOW_SCALE;
        DrawCell(h.wordA, glowAX + Jitter(), glowY + Jitter(), scaleA, scaleA, OPAQUE);
        if (m_StampCount >= 1) {
            const float scaleB = m_StampCount == 1 ? m_StampScale + GLOW_EXTRA_SCALE : GLOW_SCALE;
            DrawCell(h.wordB, glowBX + Jitter(), glowY + Jitter(), scaleB, scaleB, OPAQUE);
        }
        gfx::FlushSprites();
    }

    // The words themselves: the one being stamped at its shrinking size.
    const float wordA = m_StampCount == 0 ? m_StampScale : 1.0f;
    DrawCell(h.wordA, WORD_A_X, h.y, wordA, wordA, OPAQUE);
    if (m_StampCount >= 1) {
        const float wordB = m_StampCount == 1 ? m_StampScale : 1.0f;
        DrawCell(h.wordB, WORD_B_X, h.y, wordB, wordB, OPAQUE);
    }
}

void CResult::DrawClearMessage()
{
    m_Sprite.m_Anchor = ANCHOR_LEFT_MIDDLE;
    for (int i = 0; i < std::min(m_LettersShown, MESSAGE_LETTERS); ++i)
        DrawCell({LETTER_SIZE * i, CLEAR_LETTER_TOP, LETTER_SIZE * i + LETTER_SIZE, CLEAR_LETTER_TOP + LETTER_SIZE},
                 LetterX(i, CLEAR_FIRST_WORD), CLEAR_LETTER_Y, 1.0f, 1.0f, OPAQUE);
    const int k = m_LettersShown;
    if (k < MESSAGE_LETTERS)
        DrawCell({LETTER_SIZE * k, CLEAR_GROWING_TOP, LETTER_SIZE * k + LETTER_SIZE, CLEAR_GROWING_BOTTOM},
                 LetterX(k, CLEAR_FIRST_WORD), CLEAR_LETTER_Y, 1.0f, m_LetterProgress, OPAQUE);
    if (m_Phase == PHASE_WAITING) DrawCell(PROMPT, PROMPT_X, PROMPT_Y, 1.0f, 1.0f, static_cast<uint8_t>(m_FadeAlpha));
}

void CResult::DrawGameOverMessage()
{
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    auto letter = [](int k) {
        return plat::Rect{LETTER_SIZE * k, GAME_OVER_LETTER_TOP, LETTER_SIZE * k + LETTER_SIZE,
                          GAME_OVER_LETTER_TOP + LETTER_SIZE};
    };
    const uint8_t finishedAlpha = static_cast<uint8_t>(std::clamp(m_FadeAlpha, 0, 255));
    for (int i = 0; i < std::min(m_LettersShown, MESSAGE_LETTERS); ++i)
        DrawCell(letter(i), LetterX(i, GAME_OVER_FIRST_WORD), FALL_END, 1.0f, 1.0f, finishedAlpha);
    const int k = m_LettersShown;
    if (k < MESSAGE_LETTERS) {
        DrawCell(letter(k), LetterX(k, GAME_OVER_FIRST_WORD), m_LetterProgress, 1.0f, 1.0f, OPAQUE);
        return;
    }

    // The continue question: the banner falls, then the answers slide in from both sides.
    if (m_Phase == PHASE_BANNER) {
        DrawCell(BANNER, BANNER_X, m_LetterProgress, 1.0f, 1.0f, OPAQUE);
        return;
    }
    DrawCell(BANNER, BANNER_X, BANNER_REST_Y, 1.0f, 1.0f, OPAQUE);
    const int row = ANSWERS_TOP + (m_Choice ? LETTER_SIZE : 0);
    DrawCell({0, row, ANSWER_WIDTH, row + LETTER_SIZE}, m_LetterProgress, ANSWERS_Y, 1.0f, 1.0f, OPAQUE);
    DrawCell({ANSWER_WIDTH, row, 2 * ANSWER_WIDTH, row + LETTER_SIZE}, SCREEN_WIDTH - m_LetterProgress, ANSWERS_Y, 1.0f,
             1.0f, OPAQUE);
}
