#include "scene/CStageSelect.h"

#include <algorithm>

#include "audio/CBGMusic.h"
#include "core/Globals.h"
#include "core/ProgressBook.h"
#include "gfx/CCamera.h"
#include "gfx/Render.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "scene/CHowToPlay.h"
#include "stage/CLoadStage.h"

namespace {

constexpr const char* PICTURE_FILE = "texture/StageSelect.png";
constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr const char* MUSIC_FILE = "bgm/StageSelect.mp3";
constexpr const char* MUSIC_TASK_NAME = "bgm";
constexpr const char* PREVIEW_FOLDER = "X/";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;   // 0x09
constexpr uint8_t OPAQUE = 255;
constexpr float DEG_TO_RAD = 3.1415927f / 180.0f;

// The preview camera, looking down on the arena from the front.
constexpr plat::Vec3 PREVIEW_EYE{0, 35, -80};
constexpr plat::Vec3 PREVIEW_TARGET{0, 0, 0};
// The black window in the middle of the screen that the background leaves open.
constexpr plat::Viewport PREVIEW_VIEWPORT{128, 96, 384, 288, 0.0f, 1.0f};
constexpr plat::Viewport FULL_VIEWPORT{0, 0, 640, 480, 0.0f, 1.0f};
constexpr uint32_t BLACK = 0xFF000000;

// Cells of texture/StageSelect.png and where they go; i is the stage index.
constexpr plat::Rect BACKGROUND{0, 0, 640, 480};
constexpr int NAME_LEFT = 640, NAME_RIGHT = 992, NAME_HEIGHT = 80;
constexpr float NAME_X = 261, NAME_Y = 398;
constexpr int SLOT_LEFT = 752, SLOT_TOP = 400, SLOT_WIDTH = 48, SLOT_BOTTOM = 464;
constexpr float SLOT_X = 48, SLOT_Y = 16, SLOT_SPACING = 128;
constexpr plat::Rect CLEARED_MARK{640, 400, 736, 496};
constexpr float MARK_X = 16, MARK_Y = 0;
constexpr plat::Rect CURSOR{752, 464, 832, 512};
constexpr float CURSOR_X = 20, CURSOR_Y = -10;
constexpr int STAGES = 5;
constexpr float BEST_X = 136, BEST_Y = 104;   // the stage's best time, over the preview

}   // namespace

std::string CStageSelect::PreviewPath(int stageIndex)
{
    return std::string(PREVIEW_FOLDER) + "stage_" + std::to_string(stageIndex + 1) + ".x";
}

void CStageSelect::Init()
{
    m_Input = CInput::FindOrCreate();
    m_Camera = static_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    if (!m_Camera) {
        m_Camera = new CCamera;
        AddTask(PRIORITY_CAMERA, m_Camera, CAMERA_TASK_NAME);
    }

    m_SelectSound.Load(SELECT_SOUND_FILE);
    m_Music = new CBGMusic(MUSIC_FILE);
    AddTask(PRIORITY_BGM, m_Music, MUSIC_TASK_NAME);

    // The arena's textures are named relative to the mesh folder; the loader
    // of a stage may be running, so the process's current directory stays put.
    m_Preview.Load(PreviewPath(g_StageIndex), PREVIEW_FOLDER);
    m_TurnAngle = 0.0f;
    SetUpLight();

    m_Texture.Load(PICTURE_FILE, NO_COLOR_KEY);
    m_PlayerArt.Load();
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.AttachTexture(&m_Texture);

    m_Zoom = START_ZOOM;
    m_Decided = false;
    m_Camera->m_Fov = START_ZOOM;

    // The music swells in from almost nothing.
    m_Music->Play(MUSIC_START_VOLUME, true);
    m_Music->FadeVolume(MUSIC_FADE_IN_MS, MUSIC_VOLUME);
}

void CStageSelect::SetUpLight()
{
    plat::Light light;
    light.enabled = true;
    light.direction = {0, -1, 0};
    light.diffuse = {1, 1, 1, 1};
    light.specular = {1, 1, 1, 1};
    gfx::SetSceneLight(light);
}

void CStageSelect::Update()
{
    ++m_Updates;
    m_TurnAngle += TURN_STEP;
    if (m_TurnAngle > FULL_TURN) m_TurnAngle = 0.0f;
    if (!m_Decided && DecidePressed()) Decide();
}

bool CStageSelect::DecidePressed()
{
    if (!m_Input) return false;
    // The new input task reports a Z held through the screen change (or pressed
    // while the fade froze this screen) as newly pressed. Such a Z does not
    // decide: the key must be seen up while this screen runs first. The first
    // update does not count, since a screen added before the input task reads
    // the keys only after it.
    if (!m_DecideArmed) {
        if (m_Updates > 1 && !m_Input->IsDown(plat::KEY_Z)) m_DecideArmed = true;
        return false;
    }
    return m_Input->IsNewlyPressed(plat::KEY_Z);
}

void CStageSelect::Decide()
{
    // A copy plays from its start and frees itself, whatever becomes of this screen.
    auto* select = new CSound(&m_SelectSound);
    select->EnableAutoDelete();
    select->Play();
    if (m_Music) m_Music->FadeVolume(MUSIC_FADE_OUT_MS, MUSIC_START_VOLUME);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    m_Decided = true;
}

void CStageSelect::Draw()
{
    if (m_Camera) {
        m_Camera->m_Eye = PREVIEW_EYE;
        m_Camera->m_Target = PREVIEW_TARGET;
        m_Camera->m_Fov = m_Zoom;
    }
    m_Zoom = std::max(m_Zoom * ZOOM_FACTOR, END_ZOOM);
    DrawPreview();
    if (m_Decided && !FindTask(FADE_TASK_NAME)) {
        HandOverToLoading();   // this object is gone now
        return;
    }
    DrawOverlay();
}

void CStageSelect::DrawPreview()
{
    if (!gfx::CanDraw()) return;
    gfx::SetViewport(PREVIEW_VIEWPORT);
    gfx::ClearViewport(BLACK);
    gfx::UseAlphaBlending();
    gfx::SetLighting(true);
    gfx::DrawMesh(&m_Preview, plat::RotationY(m_TurnAngle * DEG_TO_RAD));
    gfx::SetViewport(FULL_VIEWPORT);
}

void CStageSelect::HandOverToLoading()
{
    if (m_Camera) m_Camera->m_Fov = LOADING_FOV;
    gfx::ClearViewport(BLACK);
    ClearTasks();   // deletes this screen: no member may be touched from here on
    AddTask(CHowToPlay::NextScreenAfterStageSelect(), PRIORITY_LOADING);
}

void CStageSelect::DrawOverlay()
{
    if (!gfx::CanDraw()) return;
    const int i = g_StageIndex;
    gfx::BeginSprites();
    m_Sprite.SetSourceRect(BACKGROUND.left, BACKGROUND.top, BACKGROUND.right, BACKGROUND.bottom);
    m_Sprite.Draw(0, 0, OPAQUE);

    m_Sprite.SetSourceRect(NAME_LEFT, NAME_HEIGHT * i, NAME_RIGHT, NAME_HEIGHT * i + NAME_HEIGHT);
    m_Sprite.Draw(NAME_X, NAME_Y, OPAQUE);

    for (int k = 0; k < STAGES; ++k) {
        const int left = SLOT_LEFT + SLOT_WIDTH * k;
        m_Sprite.SetSourceRect(left, SLOT_TOP, left + SLOT_WIDTH, SLOT_BOTTOM);
        m_Sprite.DrawColored(SLOT_X + SLOT_SPACING * k, SLOT_Y, k == i ? CURRENT_SLOT_COLOR : OTHER_SLOT_COLOR);
    }

    // The stages behind this one, and every stage cleared in an earlier game.
    m_Sprite.SetSourceRect(CLEARED_MARK.left, CLEARED_MARK.top, CLEARED_MARK.right, CLEARED_MARK.bottom);
    for (int j = 0; j < STAGES; ++j)
        if (j < i || ProgressBook::Current().Cleared(j)) m_Sprite.Draw(MARK_X + SLOT_SPACING * j, MARK_Y, OPAQUE);
    if (const auto best = ProgressBook::Current().BestMs(i))
        m_PlayerArt.DrawTime(PlayerArt::BEST_LABEL, BEST_X, BEST_Y, *best, OPAQUE);

    m_Sprite.SetSourceRect(CURSOR.left, CURSOR.top, CURSOR.right, CURSOR.bottom);
    m_Sprite.Draw(SLOT_SPACING * i + CURSOR_X, CURSOR_Y, OPAQUE);
    gfx::EndSprites();
}
