#include "scene/CTitle.h"

#include <algorithm>
#include <utility>

#include "audio/CBGMusic.h"
#include "core/Globals.h"
#include "core/VersusMatch.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "scene/COptions.h"
#include "scene/CStageSelect.h"
#include "scene/CVersusSelect.h"

namespace {

constexpr const char* BACKGROUND_FILE = "texture/TitleBack.jpg";
constexpr const char* TITLE_SHEET_FILE = "texture/Title.png";
constexpr const char* EXPLOSION_FILE = "texture/Animation_Explosion.bmp";
constexpr const char* MUSIC_FILE = "bgm/Title.mp3";
constexpr const char* MUSIC_TASK_NAME = "bgm";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint32_t BLACK_KEY = 0xff000000;

// In the order of CTitle::Sound.
constexpr const char* SOUND_FILES[CTitle::SOUND_COUNT] = {"sound/Move.wav",
                                                          "sound/System.wav",
                                                          "sound/title/Explosion.wav",
                                                          "sound/title/TextScall.wav",
                                                          "sound/title/TextAlpha.wav",
                                                          "sound/title/Kira.wav",
                                                          "sound/title/TitleMove.wav",
                                                          "sound/title/KomaMove.wav"};

constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;   // 0x09
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t OPAQUE = 255;
constexpr float DEG_TO_RAD = 3.1415927f / 180.0f;

// The backdrop picture (1024 x 512) stretched over the 640 x 480 screen.
constexpr float BACKGROUND_SCALE_X = 0.625f, BACKGROUND_SCALE_Y = 0.9375f;

// Where the opening happens: the tops meet around the screen's upper middle.
constexpr float CENTRE_X = 320.0f, CENTRE_Y = 200.0f;

struct BlastPlace {
    float x, y, scaleX, scaleY;
};
constexpr BlastPlace BLAST_PLACES[CTitle::BLASTS] = {
    {290, 220, 1.2f, 1.3f}, {355, 225, 1.0f, 1.0f}, {323, 176, 1.5f, 1.4f}, {320, 200, 1.0f, 1.0f}};

// The letters of the name in texture/Title.png.
struct LetterArt {
    plat::Vec2 step;   // per-step movement out of the blast
    plat::Vec2 home;
    plat::Rect picture;
    plat::Rect lit;
};
constexpr LetterArt LETTER_ART[CTitle::LETTERS] = {
    {{-2.0f, 1.25f}, {140, 97}, {0, 0, 96, 128}, {0, 128, 96, 256}},
    {{-1.75f, 1.625f}, {184, 173}, {96, 96, 160, 160}, {160, 96, 224, 160}},
    {{-1.6f, 1.875f}, {230, 141}, {96, 0, 192, 96}, {96, 160, 192, 256}},
    {{0.0f, 2.0f}, {304, 149}, {192, 0, 288, 96}, {192, 160, 288, 256}},
    {{1.5f, 1.875f}, {373, 132}, {288, 0, 384, 96}, {288, 160, 384, 256}},
    {{1.75f, 1.625f}, {417, 115}, {224, 96, 320, 160}, {320, 96, 416, 160}},
    {{2.0f, 1.25f}, {500, 97}, {416, 0, 512, 128}, {416, 128, 512, 256}}};
constexpr int FIRST_BACKWARD_LETTER = 4;   // letters from here on turn the other way

// Other pictures of texture/Title.png.
constexpr plat::Rect LEFT_TOP{0, 384, 128, 512};
constexpr plat::Rect RIGHT_TOP{128, 384, 256, 512};
constexpr plat::Rect SUBTITLE{256, 416, 416, 512};
constexpr plat::Rect RUNNER_FRAMES[2] = {{0, 256, 128, 384}, {128, 256, 256, 384}};
constexpr plat::Rect MENU_START{256, 256, 456, 320};
constexpr plat::Rect MENU_QUIT{256, 320, 456, 384};
constexpr plat::Rect CURSOR{416, 384, 480, 448};

constexpr float SUBTITLE_X = 310, SUBTITLE_Y = 65;
constexpr float RUNNER_Y = 320;
constexpr int MENU_LEFT = 220;   // the running top uncovers the menu from here
constexpr int MENU_WIDTH = 200;
constexpr float MENU_START_X = 220, MENU_START_Y = 300;
constexpr float MENU_QUIT_X = 240, MENU_QUIT_Y = 380;
constexpr float CURSOR_X = 160, CURSOR_Y = 220, CURSOR_STEP_Y = 80;
// OPTIONS sits smaller beneath QUIT, where the screen ends; so does its cursor.
constexpr float MENU_OPTIONS_X = 240, MENU_OPTIONS_Y = 436, MENU_OPTIONS_SCALE = 0.75f;
constexpr float OPTIONS_CURSOR_X = 176, OPTIONS_CURSOR_Y = 436;
// VERSUS beside OPTIONS, in the same size, with its cursor between them.
constexpr float MENU_VERSUS_X = 448, MENU_VERSUS_Y = MENU_OPTIONS_Y;
constexpr float VERSUS_CURSOR_X = 400, VERSUS_CURSOR_Y = OPTIONS_CURSOR_Y;
static_assert(CTitle::VERSUS_WIDTH ==
              static_cast<int>((VersusArt::TITLE_ENTRY.right - VersusArt::TITLE_ENTRY.left) * MENU_OPTIONS_SCALE));
// QUIT and OPTIONS are uncovered 20 pixels ahead of the running top; so is VERSUS.
constexpr int UNCOVER_LEAD = static_cast<int>(MENU_QUIT_X) - MENU_LEFT;

int Width(const plat::Rect& r) { return r.right - r.left; }
int Height(const plat::Rect& r) { return r.bottom - r.top; }

}   // namespace

void CTitle::Init()
{
    m_Input = CInput::FindOrCreate();

    m_Background.Load(BACKGROUND_FILE, NO_COLOR_KEY);
    m_TitleSheet.Load(TITLE_SHEET_FILE, NO_COLOR_KEY);
    m_ExplosionSheet.Load(EXPLOSION_FILE, BLACK_KEY);
    m_OptionsArt.Load();
    m_VersusArt.Load();
    for (int i = 0; i < SOUND_COUNT; ++i) m_Sounds[i].Load(SOUND_FILES[i]);

    m_Music = new CBGMusic(MUSIC_FILE);
    AddTask(PRIORITY_BGM, m_Music, MUSIC_TASK_NAME);

    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.AttachTexture(&m_TitleSheet);

    // The title is outside any match of two, however it was reached.
    VersusMatch::Current().End();
    ResetAnimation();
    m_Music->Play(MUSIC_VOLUME, true);
}

void CTitle::ResetAnimation()
{
    m_MenuChoice = CHOICE_NONE;
    m_LeftScale = m_RightScale = TOP_START_SCALE;
    m_SpinAngle = 0.0f;
    m_Separation = START_SEPARATION;
    std::copy(std::begin(BLAST_START_FRAMES), std::end(BLAST_START_FRAMES), m_BlastFrame);
    for (int i = 0; i < LETTERS; ++i) {
        m_LetterPos[i] = {CENTRE_X, CENTRE_Y};
        m_LetterStep[i] = LETTER_ART[i].step;
        m_LetterHome[i] = LETTER_ART[i].home;
    }
    m_LetterAngle = 0.0f;
    m_LetterSpin = LETTER_START_SPIN;
    m_LogoAlpha = LOGO_START_ALPHA;
    m_GlintLetter = 0;
    m_GlintOffset = 0;
    m_GlintTime = 0;
    m_RunnerX = 0;
    m_RunnerSpeed = 1;
    m_RunnerFrame = 1;
    m_VersusShown = 0;
}

// ---- update ----

void CTitle::Update()
{
    // The title runs before the input task: these are the keys of the frame before.
    if (HandleMenuKeys()) return;
    if (InOpening())
        UpdateOpening();
    else
        UpdateLogo();
    UpdateRunner();
}

bool CTitle::HandleMenuKeys()
{
    // The options screen over the title has the keys to itself, and the press
    // that closed it is one the title sees a frame later: not for the title.
    if (!m_Input || COptions::IsOpen()) return false;
    if (std::exchange(m_OptionsOpen, false)) return false;
    MoveCursor();
    if (!m_Input->IsNewlyPressed(plat::KEY_Z)) return false;

    PlaySound(SYSTEM);
    switch (m_MenuChoice) {
        case CHOICE_START:
            StartGame();   // this object is gone now
            return true;
        case CHOICE_QUIT: PostQuit(); return true;
        case CHOICE_OPTIONS:
            COptions::Open();
            m_OptionsOpen = true;
            return false;
        case CHOICE_VERSUS:
            OpenVersus();   // this object is gone now
            return true;
        default: SkipOpening(); return false;
    }
}

void CTitle::MoveCursor()
{
    const bool hadChoice = m_MenuChoice != CHOICE_NONE;
    // Up and Down only set the choice: there is no wrap-around. The order is
    // START, QUIT, OPTIONS, VERSUS: Up from VERSUS goes to OPTIONS and from
    // OPTIONS to QUIT, Down from QUIT to OPTIONS and from OPTIONS on to
    // VERSUS; otherwise Up is START and Down is QUIT.
    if (m_Input->IsNewlyPressed(plat::KEY_UP)) {
        m_MenuChoice = m_MenuChoice == CHOICE_VERSUS    ? CHOICE_OPTIONS
                       : m_MenuChoice == CHOICE_OPTIONS ? CHOICE_QUIT
                                                        : CHOICE_START;
        PlaySound(MOVE);
    }
    if (m_Input->IsNewlyPressed(plat::KEY_DOWN)) {
        m_MenuChoice = m_MenuChoice == CHOICE_OPTIONS || m_MenuChoice == CHOICE_VERSUS ? CHOICE_VERSUS
                       : m_MenuChoice == CHOICE_QUIT                                   ? CHOICE_OPTIONS
                                                                                       : CHOICE_QUIT;
        PlaySound(MOVE);
    }
    // OPTIONS and VERSUS share a row.
    if (m_MenuChoice == CHOICE_VERSUS && m_Input->IsNewlyPressed(plat::KEY_LEFT)) {
        m_MenuChoice = CHOICE_OPTIONS;
        PlaySound(MOVE);
    } else if (m_MenuChoice == CHOICE_OPTIONS && m_Input->IsNewlyPressed(plat::KEY_RIGHT)) {
        m_MenuChoice = CHOICE_VERSUS;
        PlaySound(MOVE);
    }
    if (!hadChoice && m_MenuChoice != CHOICE_NONE) m_VersusShown = VERSUS_WIDTH;
}

void CTitle::SkipOpening()
{
    m_BlastFrame[BLASTS - 1] = LAST_BLAST_FRAME;
    m_LetterSpin = 0.0f;
    m_LetterAngle = 0.0f;
    m_LogoAlpha = LOGO_SKIPPED_ALPHA;
    for (int i = 0; i < LETTERS; ++i) m_LetterPos[i] = m_LetterHome[i];
    m_MenuChoice = CHOICE_START;
    m_VersusShown = VERSUS_WIDTH;
}

void CTitle::LeaveTitle()
{
    // A copy of the confirm sound plays on after the title is gone and frees itself.
    auto* confirm = new CSound(&m_Sounds[SYSTEM]);
    confirm->EnableAutoDelete();
    confirm->Play();
    if (m_Music) m_Music->FadeVolume(MUSIC_FADE_MS, MUSIC_FADE_VOLUME);
}

void CTitle::OpenVersus()
{
    LeaveTitle();
    ClearTasks();   // deletes this title: no member may be touched from here on
    AddTask(new CVersusSelect, PRIORITY_VERSUS_SELECT);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

void CTitle::StartGame()
{
    LeaveTitle();
    // A new game always starts at stage 1.
    g_StageIndex = 0;
    ClearTasks();   // deletes this title: no member may be touched from here on
    AddTask(new CStageSelect, PRIORITY_STAGE_SELECT_FROM_TITLE);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

void CTitle::UpdateOpening()
{
    if (m_LeftScale > TOP_END_SCALE) {
        ShrinkTop(m_LeftScale);
    } else if (m_RightScale > TOP_END_SCALE) {
        ShrinkTop(m_RightScale);
    } else if (m_SpinAngle < TOP_END_ANGLE) {
        m_SpinAngle += TOP_TURN_STEP;
    } else if (m_Separation > END_SEPARATION) {
        m_Separation -= SEPARATION_STEP;
    } else {
        AdvanceBlasts();
    }
}

void CTitle::ShrinkTop(float& scale)
{
    scale -= TOP_SHRINK_STEP;
    if (static_cast<int>(scale) == SHRINK_SOUND_SCALE) PlaySound(TEXT_SCALE);
}

void CTitle::AdvanceBlasts()
{
    // Each blast moves on only in updates with an odd frame time, so the four
    // play out at irregular moments.
    const bool odd = (g_FrameTime & 1u) != 0;
    for (int& frame : m_BlastFrame) {
        if (frame < LAST_BLAST_FRAME && odd) ++frame;
        if (frame == 0) PlaySound(EXPLOSION);
    }
}

void CTitle::UpdateLogo()
{
    if (m_LetterAngle == 0.0f && m_LetterSpin != 0.0f) PlaySound(LETTERS_TURN);
    m_LetterAngle += m_LetterSpin;
    if (m_LetterAngle == 0.0f && m_LetterSpin != 0.0f) {
        // Back home: the letters stand still and the first glint waits a while.
        m_LetterSpin = 0.0f;
        m_GlintTime = g_FrameTime + FIRST_GLINT_DELAY_MS;
    }
    if (m_LetterAngle >= FULL_TURN) {
        // A full turn out: turn back and head home in as many updates.
        PlaySound(LETTERS_TURN);
        m_LetterSpin = -m_LetterSpin;
        for (int i = 0; i < LETTERS; ++i) {
            m_LetterStep[i].x = (m_LetterHome[i].x - m_LetterPos[i].x) * HOME_FRACTION;
            m_LetterStep[i].y = (m_LetterHome[i].y - m_LetterPos[i].y) * HOME_FRACTION;
        }
    }
    if (m_LetterSpin != 0.0f) {
        for (int i = 0; i < LETTERS; ++i) {
            m_LetterPos[i].x += LETTER_MOVE_STEPS * m_LetterStep[i].x;
            m_LetterPos[i].y += LETTER_MOVE_STEPS * m_LetterStep[i].y;
        }
        return;
    }
    if (m_LogoAlpha == 0) PlaySound(TEXT_ALPHA);
    if (m_LogoAlpha < LOGO_SHOWN_ALPHA) m_LogoAlpha += LOGO_ALPHA_STEP;
    UpdateGlint();
}

void CTitle::UpdateGlint()
{
    if (!(m_GlintTime < g_FrameTime)) return;
    if (m_GlintOffset == 0 && m_GlintLetter == 0) PlaySound(GLINT);
    m_GlintOffset += GLINT_STEP;
    // The step does not divide every letter's width: at or past the edge the
    // glint moves to the next letter.
    if (m_GlintOffset < Width(LETTER_ART[m_GlintLetter].lit)) return;
    if (++m_GlintLetter >= LETTERS) {
        m_GlintLetter = 0;
        m_GlintTime = g_FrameTime + GLINT_INTERVAL_MS;
    }
    m_GlintOffset = 0;
}

void CTitle::UpdateRunner()
{
    if (m_LogoAlpha < LOGO_SHOWN_ALPHA) return;
    if (m_RunnerX == 0) PlaySound(RUNNER);
    if (m_RunnerSpeed < RUNNER_MAX_SPEED) ++m_RunnerSpeed;
    if (m_RunnerX < RUNNER_TRACK) {
        m_RunnerX += m_RunnerSpeed;
    } else {
        m_RunnerX = 0;
        m_RunnerSpeed = 1;
    }
    m_RunnerFrame = 1 - m_RunnerFrame;
}

// ---- draw ----

void CTitle::Draw()
{
    gfx::BeginSprites();
    DrawBackground();
    if (InOpening())
        DrawOpening();
    else
        DrawLogo();
    if (m_LogoAlpha >= LOGO_SHOWN_ALPHA) DrawMenu();
    gfx::EndSprites();
}

void CTitle::DrawRegion(const plat::Rect& region, float x, float y, float scaleX, float scaleY, float angleDeg,
                        uint8_t alpha)
{
    m_Sprite.SetSourceRect(region.left, region.top, region.right, region.bottom);
    m_Sprite.Draw(x, y, scaleX, scaleY, angleDeg * DEG_TO_RAD, alpha);
}

void CTitle::DrawBackground()
{
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.AttachTexture(&m_Background);
    m_Sprite.Draw(0, 0, BACKGROUND_SCALE_X, BACKGROUND_SCALE_Y, OPAQUE);
}

void CTitle::DrawOpening()
{
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    m_Sprite.AttachTexture(&m_TitleSheet);
    DrawRegion(LEFT_TOP, CENTRE_X - m_Separation, CENTRE_Y, m_LeftScale, m_LeftScale, m_SpinAngle, OPAQUE);
    if (m_LeftScale <= TOP_END_SCALE)
        DrawRegion(RIGHT_TOP, CENTRE_X + m_Separation, CENTRE_Y, m_RightScale, m_RightScale, -m_SpinAngle, OPAQUE);
    if (m_Separation <= END_SEPARATION) DrawBlasts();
}

void CTitle::DrawBlasts()
{
    m_Sprite.AttachTexture(&m_ExplosionSheet);
    m_Sprite.SetFrameSize(BLAST_CELL, BLAST_CELL);
    // A sheet narrower than one cell has no cells, and a blast whose frame is
    // still below 0 has not started: neither draws anything.
    const int columns = m_ExplosionSheet.m_Width / BLAST_CELL;
    if (columns <= 0) return;
    for (int i = 0; i < BLASTS; ++i) {
        const int frame = m_BlastFrame[i];
        if (frame < 0) continue;
        const int left = BLAST_CELL * (frame % columns), top = BLAST_CELL * (frame / columns);
        m_Sprite.SetSourceRect(left, top, left + BLAST_CELL, top + BLAST_CELL);
        const BlastPlace& p = BLAST_PLACES[i];
        m_Sprite.Draw(p.x, p.y, p.scaleX, p.scaleY, OPAQUE);
    }
}

void CTitle::DrawLogo()
{
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    m_Sprite.AttachTexture(&m_TitleSheet);
    for (int i = 0; i < LETTERS; ++i) {
        const float angle = i < FIRST_BACKWARD_LETTER ? m_LetterAngle : -m_LetterAngle;
        DrawRegion(LETTER_ART[i].picture, m_LetterPos[i].x, m_LetterPos[i].y, 1.0f, 1.0f, angle, OPAQUE);
    }
    if (m_LetterSpin != 0.0f) return;
    // Nothing of the subtitle shows while its counter is below 0.
    const uint8_t subtitleAlpha = static_cast<uint8_t>(std::clamp(m_LogoAlpha, 0, 255));
    DrawRegion(SUBTITLE, SUBTITLE_X, SUBTITLE_Y, 1.0f, 1.0f, 0.0f, subtitleAlpha);
    DrawGlint();
}

void CTitle::DrawGlint()
{
    // A thin strip of the lit letter, added on top of the letter it lies over.
    gfx::FlushSprites();
    RenderStateGuard glow;
    glow.SetBlend(gfx::BlendMode::Additive);
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    const plat::Rect& lit = LETTER_ART[m_GlintLetter].lit;
    const int left = lit.left + m_GlintOffset;
    m_Sprite.SetSourceRect(left, lit.top, left + GLINT_WIDTH, lit.bottom);
    const plat::Vec2 at = m_LetterPos[m_GlintLetter];
    m_Sprite.Draw(at.x + m_GlintOffset - Width(lit) / 2, at.y - Height(lit) / 2, OPAQUE);
    gfx::FlushSprites();
}

void CTitle::DrawOptionsEntry(int width)
{
    m_OptionsArt.DrawTitleEntry(MENU_OPTIONS_X, MENU_OPTIONS_Y, MENU_OPTIONS_SCALE, width);
}

int CTitle::UncoverVersus()
{
    const int reached = m_RunnerX + UNCOVER_LEAD - static_cast<int>(MENU_VERSUS_X);
    m_VersusShown = std::clamp(std::max(m_VersusShown, reached), 0, VERSUS_WIDTH);
    return m_VersusShown;
}

int CTitle::UncoverMenu()
{
    if (m_MenuChoice != CHOICE_NONE) return MENU_WIDTH;
    const int width = std::max(m_RunnerX - MENU_LEFT, 0);
    // Fully uncovered: the cursor appears on the first entry.
    if (width > MENU_WIDTH) m_MenuChoice = CHOICE_START;
    return width;
}

void CTitle::DrawMenu()
{
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.AttachTexture(&m_TitleSheet);
    DrawRegion(RUNNER_FRAMES[m_RunnerFrame], static_cast<float>(m_RunnerX), RUNNER_Y, 1.0f, 1.0f, 0.0f, OPAQUE);
    const int width = UncoverMenu();
    if (width > 0) {
        DrawRegion({MENU_START.left, MENU_START.top, MENU_START.left + width, MENU_START.bottom}, MENU_START_X,
                   MENU_START_Y, 1.0f, 1.0f, 0.0f, OPAQUE);
        DrawRegion({MENU_QUIT.left, MENU_QUIT.top, MENU_QUIT.left + width, MENU_QUIT.bottom}, MENU_QUIT_X, MENU_QUIT_Y,
                   1.0f, 1.0f, 0.0f, OPAQUE);
        DrawOptionsEntry(width);
    }
    m_VersusArt.DrawTitleEntry(MENU_VERSUS_X, MENU_VERSUS_Y, MENU_OPTIONS_SCALE, UncoverVersus());
    DrawCursor();
}

void CTitle::DrawCursor()
{
    if (m_MenuChoice == CHOICE_OPTIONS)
        DrawRegion(CURSOR, OPTIONS_CURSOR_X, OPTIONS_CURSOR_Y, MENU_OPTIONS_SCALE, MENU_OPTIONS_SCALE, 0.0f, OPAQUE);
    else if (m_MenuChoice == CHOICE_VERSUS)
        DrawRegion(CURSOR, VERSUS_CURSOR_X, VERSUS_CURSOR_Y, MENU_OPTIONS_SCALE, MENU_OPTIONS_SCALE, 0.0f, OPAQUE);
    else if (m_MenuChoice != CHOICE_NONE)
        DrawRegion(CURSOR, CURSOR_X, CURSOR_Y + CURSOR_STEP_Y * m_MenuChoice, 1.0f, 1.0f, 0.0f, OPAQUE);
}
