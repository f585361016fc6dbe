#include "scene/CVersusSelect.h"

#include "audio/CBGMusic.h"
#include "core/Globals.h"
#include "core/VersusMatch.h"
#include "gfx/CCamera.h"
#include "gfx/Render.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"

namespace {

constexpr const char* BACKDROP_FILE = "texture/TitleBack.jpg";
constexpr const char* MOVE_SOUND_FILE = "sound/Move.wav";
constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr const char* MUSIC_FILE = "bgm/StageSelect.mp3";
constexpr const char* MUSIC_TASK_NAME = "bgm";
constexpr const char* PREVIEW_FOLDER = "X/";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint32_t BLACK = 0xFF000000;
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
constexpr uint8_t OPAQUE = 255;
constexpr float DEG_TO_RAD = 3.1415927f / 180.0f;

// The title's backdrop (1024 x 512) stretched over the 640 x 480 screen.
constexpr float BACKDROP_SCALE_X = 0.625f, BACKDROP_SCALE_Y = 0.9375f;

// The preview camera, looking down on the arena from the front.
constexpr plat::Vec3 PREVIEW_EYE{0, 35, -80};
constexpr plat::Vec3 PREVIEW_TARGET{0, 0, 0};

// The screen's layout: the frame is centred on the preview, whose viewport
// is the frame's clear window.
constexpr float CENTRE_X = 320;
constexpr float HEADING_Y = 44;
constexpr float FRAME_Y = 208;
constexpr float FRAME_LEFT = CENTRE_X - (VersusArt::FRAME.right - VersusArt::FRAME.left) / 2.0f;
constexpr float FRAME_TOP = FRAME_Y - (VersusArt::FRAME.bottom - VersusArt::FRAME.top) / 2.0f;
constexpr plat::Viewport PREVIEW_VIEWPORT{
    static_cast<int>(FRAME_LEFT + VersusArt::FRAME_WINDOW.left - VersusArt::FRAME.left),
    static_cast<int>(FRAME_TOP + VersusArt::FRAME_WINDOW.top - VersusArt::FRAME.top),
    VersusArt::FRAME_WINDOW.right - VersusArt::FRAME_WINDOW.left,
    VersusArt::FRAME_WINDOW.bottom - VersusArt::FRAME_WINDOW.top,
    0.0f,
    1.0f};
constexpr plat::Viewport FULL_VIEWPORT{0, 0, 640, 480, 0.0f, 1.0f};
constexpr float ARROW_LEFT_X = 112, ARROW_RIGHT_X = 528, ARROW_Y = FRAME_Y;
constexpr float NAME_Y = 350;
constexpr float PROMPT_Y = 388;
constexpr float BACK_Y = 436;
constexpr float NAME_POINTER_X = 172, BACK_POINTER_X = 222;   // clear of the longest name

}   // namespace

void CVersusSelect::Init()
{
    m_Keys.Attach(CInput::FindOrCreate());
    m_Camera = static_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    if (!m_Camera) {
        m_Camera = new CCamera;
        AddTask(PRIORITY_CAMERA, m_Camera, CAMERA_TASK_NAME);
    }
    m_Camera->m_Fov = PREVIEW_FOV;

    // The arenas' textures are named relative to the mesh folder.
    for (int i = 0; i < ARENAS; ++i) m_Previews[i].Load(CStageSelect::PreviewPath(ARENA_STAGES[i]), PREVIEW_FOLDER);
    CStageSelect::SetUpLight();

    m_Backdrop.Load(BACKDROP_FILE, NO_COLOR_KEY);
    m_BackdropSprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_BackdropSprite.AttachTexture(&m_Backdrop);
    m_Art.Load();
    m_MoveSound.Load(MOVE_SOUND_FILE);
    m_SelectSound.Load(SELECT_SOUND_FILE);

    m_Music = new CBGMusic(MUSIC_FILE);
    AddTask(PRIORITY_BGM, m_Music, MUSIC_TASK_NAME);
    m_Music->Play(MUSIC_START_VOLUME, true);
    m_Music->FadeVolume(MUSIC_FADE_IN_MS, MUSIC_VOLUME);
}

// ---- update ----

void CVersusSelect::Update()
{
    m_TurnAngle += TURN_STEP;
    if (m_TurnAngle > FULL_TURN) m_TurnAngle = 0.0f;
    m_Keys.Update();
    if (m_Decided) return;
    const int sideways = m_Keys.Pressed(plat::KEY_RIGHT) - m_Keys.Pressed(plat::KEY_LEFT);
    if (sideways != 0) TurnArena(sideways);
    if (m_Keys.Pressed(plat::KEY_UP) || m_Keys.Pressed(plat::KEY_DOWN)) {
        m_Row = m_Row == ROW_ARENA ? ROW_BACK : ROW_ARENA;
        m_MoveSound.Play();
    }
    if (m_Keys.Pressed(plat::KEY_ESCAPE)) {
        BackToTitle();   // this object is gone now
        return;
    }
    if (m_Keys.Pressed(plat::KEY_Z)) Confirm();   // may delete this object
}

void CVersusSelect::TurnArena(int step)
{
    m_Arena = (m_Arena + step + ARENAS) % ARENAS;
    m_Row = ROW_ARENA;
    m_TurnAngle = 0.0f;
    m_MoveSound.Play();
}

void CVersusSelect::Confirm()
{
    if (m_Row == ROW_BACK)
        BackToTitle();
    else
        Decide();
}

void CVersusSelect::PlayCopy(const CSound& sound)
{
    // A copy plays from its start and frees itself, whatever becomes of this screen.
    auto* copy = new CSound(&sound);
    copy->EnableAutoDelete();
    copy->Play();
}

void CVersusSelect::Decide()
{
    VersusMatch::Current().Begin(StageIndex());
    g_StageIndex = StageIndex();
    PlayCopy(m_SelectSound);
    if (m_Music) m_Music->FadeVolume(MUSIC_FADE_OUT_MS, MUSIC_START_VOLUME);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    m_Decided = true;
}

void CVersusSelect::BackToTitle()
{
    VersusMatch::Current().End();
    PlayCopy(m_SelectSound);
    ClearTasks();   // deletes this screen: no member may be touched from here on
    AddTask(new CTitle, PRIORITY_TITLE);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

// ---- draw ----

void CVersusSelect::Draw()
{
    if (m_Camera) {
        m_Camera->m_Eye = PREVIEW_EYE;
        m_Camera->m_Target = PREVIEW_TARGET;
        m_Camera->m_Fov = PREVIEW_FOV;
    }
    if (m_Decided && !FindTask(FADE_TASK_NAME)) {
        HandOverToLoading();   // this object is gone now
        return;
    }
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    m_BackdropSprite.Draw(0, 0, BACKDROP_SCALE_X, BACKDROP_SCALE_Y, OPAQUE);
    gfx::EndSprites();
    DrawPreview();
    DrawOverlay();
}

void CVersusSelect::DrawPreview()
{
    gfx::SetViewport(PREVIEW_VIEWPORT);
    gfx::ClearViewport(BLACK);
    gfx::UseAlphaBlending();
    gfx::SetLighting(true);
    gfx::DrawMesh(&m_Previews[m_Arena], plat::RotationY(m_TurnAngle * DEG_TO_RAD));
    gfx::SetViewport(FULL_VIEWPORT);
}

void CVersusSelect::DrawOverlay()
{
    gfx::BeginSprites();
    m_Art.DrawCentred(VersusArt::HEADING, CENTRE_X, HEADING_Y);
    m_Art.DrawCentred(VersusArt::FRAME, CENTRE_X, FRAME_Y);
    m_Art.DrawCentred(VersusArt::ARROW_LEFT, ARROW_LEFT_X, ARROW_Y);
    m_Art.DrawCentred(VersusArt::ARROW_RIGHT, ARROW_RIGHT_X, ARROW_Y);
    m_Art.DrawCentred(VersusArt::ARENA_NAMES[m_Arena], CENTRE_X, NAME_Y);
    const bool onBack = m_Row == ROW_BACK;
    if (!onBack) m_Art.DrawCentred(VersusArt::PROMPT, CENTRE_X, PROMPT_Y);
    m_Art.DrawCentred(onBack ? VersusArt::BACK_LIT : VersusArt::BACK, CENTRE_X, BACK_Y);
    m_Art.DrawCentred(VersusArt::POINTER, onBack ? BACK_POINTER_X : NAME_POINTER_X, onBack ? BACK_Y : NAME_Y);
    gfx::EndSprites();
}

void CVersusSelect::HandOverToLoading()
{
    if (m_Camera) m_Camera->m_Fov = LOADING_FOV;
    if (gfx::CanDraw()) gfx::ClearViewport(BLACK);
    ClearTasks();   // deletes this screen: no member may be touched from here on
    AddTask(new CLoadStage, PRIORITY_LOADING);
}
