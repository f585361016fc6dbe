#include "game/CVersusSet.h"

#include <utility>

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/SettingsBook.h"
#include "game/CKoma.h"
#include "game/CKomaSet.h"
#include "game/CVersusReferee.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "input/CInput.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
constexpr const char* MUSIC_FILE = "bgm/PowerSet.mp3";
constexpr const char* MUSIC_TASK_NAME = "PowerSetBGM";
constexpr const char* LAUNCH_SOUND_FILE = "sound/game/KomaShoot.wav";
constexpr int32_t MUSIC_START_VOLUME = -600;
constexpr int32_t GAUGE_SOUND_VOLUME = -100;

constexpr float TOP_OUTLINE_SCALE = 1.05f;
constexpr float RAIL_OUTLINE_SCALE = 1.01f;
constexpr plat::Vec3 ROLLER_OFFSETS[] = {{2.7569f, 0, 0.2121f}, {-2.7569f, 0, 0.2121f}};

// The power gauges stand upright at the screen's two sides, each on its launcher's side.
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
constexpr uint8_t OPAQUE = 255;
constexpr uint8_t LAUNCHED_ALPHA = 120;   // a side that has launched shows its gauge dimmed
constexpr plat::Rect GAUGE_FRAME_RECT{320, 128, 512, 224};
constexpr int GAUGE_FILL_LEFT = 320, GAUGE_FILL_TOP = 224, GAUGE_FILL_BOTTOM = 320;
constexpr float GAUGE_HEIGHT = 96;   // the frame's height, across the screen once upright
constexpr float GAUGE_MARGIN = 30, GAUGE_Y = 380;
constexpr float GAUGE_SCALE_X = 1.5f, GAUGE_SCALE_Y = 1.0f;
constexpr float GAUGE_ANGLE = -plat::PI / 2;
constexpr float SCREEN_WIDTH = 640;
constexpr float TAG_INSET = 16, TAG_Y = 48;   // above the gauge's top at 380 - 192 x 1.5
constexpr uint32_t NO_COLOR_KEY = 0;

bool NewlyPressed(const CInput* input, int key) { return input && input->IsNewlyPressed(key); }

// A launcher at the near start point faces across the arena (+z), the other back.
bool FacesFar(const TopSide& side) { return side.start.z < 0; }

}   // namespace

CVersusSet::CVersusSet() = default;

CVersusSet::~CVersusSet() = default;

plat::Vec3 CVersusSet::LaunchForce(const TopSide& side, float aimAngle)
{
    return CKomaSet::LaunchForce(FacesFar(side) ? aimAngle : aimAngle + FACING_AWAY);
}

plat::Mat4 CVersusSet::LauncherMatrix(const TopSide& side, float aimAngle)
{
    float facing = FacesFar(side) ? aimAngle : aimAngle + FACING_AWAY;
    return plat::RotationY(facing * DEG_TO_RAD) * plat::Translation(side.start.x, side.start.y, side.start.z);
}

void CVersusSet::Init()
{
    m_Input = CInput::FindOrCreate();
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_Rale = FindResource<CXFile>("XRale");
    m_RaleRoll = FindResource<CXFile>("XRaleRoll");
    m_GaugeSound = std::make_unique<CSound>(FindResource<CSound>("KiaiGageUPSE"));
    m_GaugeSound->SetVolume(GAUGE_SOUND_VOLUME);
    m_LaunchSound = std::make_unique<CSound>();
    m_LaunchSound->Load(LAUNCH_SOUND_FILE);
    m_HudSprite.m_Anchor = ANCHOR_TOP_LEFT;
    if (auto* hud = FindResource<CTexture>("InterfaceBMP")) m_HudSprite.AttachTexture(hud);
    // Without its picture no tag is drawn; the aiming is the same.
    m_Tags = CTexture::RegisteredOrLoaded(TopSide::TAG_PICTURE_KEY, m_TagTexture, TopSide::TAG_PICTURE, NO_COLOR_KEY);
    m_TagSprite.AttachTexture(m_Tags);
    m_TagSprite.m_Anchor = ANCHOR_TOP_LEFT;

    const Settings::KeyMap& secondKeys = SettingsBook::Used().keys[1];
    m_Launchers[0].side = TopSide::PlayerOne();
    m_Launchers[1].side = TopSide::PlayerTwo(secondKeys, TopSide::PlayerTwoMeshKey(g_StageIndex));
    // The two launchers swing in step, a half turn apart, and their gauges fill together.
    m_Launchers[0].aimStep = CKomaSet::AIM_STEP;
    m_Launchers[1].aimStep = CKomaSet::AIM_STEP;
    // Each round a toss decides who starts at which end and whose top enters
    // first, so that neither the arena's shape nor the order in which the
    // physics meets the two tops favours a player over a match.
    m_EndsSwitched = GameRand() % 2 != 0;
    m_SecondEntersFirst = GameRand() % 2 != 0;
    if (m_EndsSwitched) std::swap(m_Launchers[0].side.start, m_Launchers[1].side.start);
    for (Launcher& launcher : m_Launchers) {
        launcher.top = FindResource<CXFile>(launcher.side.meshKey);
        launcher.matrix = LauncherMatrix(launcher.side, 0);
    }

    if (m_Camera) {
        m_Camera->m_Eye = CAMERA_EYE;
        m_Camera->m_Target = CAMERA_TARGET;
        m_Camera->m_Fov = CAMERA_FOV;
        m_Camera->m_Orbit = 0;
    }
    auto* music = new CBGMusic(MUSIC_FILE);
    AddTask(PRIORITY_BGM, music, MUSIC_TASK_NAME);
    music->Play(MUSIC_START_VOLUME, true);
}

void CVersusSet::Update()
{
    bool soundDue = false;
    for (Launcher& launcher : m_Launchers) {
        if (launcher.launched) continue;
        soundDue = soundDue || launcher.power == 0;
        Swing(launcher);
        if (NewlyPressed(m_Input, launcher.side.dash)) launcher.launched = true;
    }
    // The gauges fill in step: one rising sound for both, or for the one still filling.
    if (soundDue && m_GaugeSound) m_GaugeSound->Play();
    if (Both()) LaunchBoth();   // this object is gone afterwards
}

void CVersusSet::Swing(Launcher& launcher)
{
    launcher.aimAngle += static_cast<float>(launcher.aimStep);
    if (launcher.aimAngle > CKomaSet::AIM_TURN || launcher.aimAngle < -CKomaSet::AIM_TURN)
        launcher.aimStep = -launcher.aimStep;
    launcher.power += CKomaSet::POWER_STEP;
    if (launcher.power > CKomaSet::POWER_MAX) launcher.power = 0;
    launcher.matrix = LauncherMatrix(launcher.side, launcher.aimAngle);
}

void CVersusSet::LaunchBoth()
{
    const int stage = g_StageIndex;
    const Launcher& one = m_Launchers[0];
    const Launcher& two = m_Launchers[1];
    auto enter = [stage](const Launcher& launcher) {
        auto* top = new CKoma(LaunchForce(launcher.side, launcher.aimAngle), CKomaSet::LaunchSpin(launcher.power),
                              launcher.side);
        AddTask(PRIORITY_KOMA, top, launcher.side.index == 0 ? KOMA_TASK_NAME : TopSide::PlayerTwoTaskName(stage));
    };
    enter(m_SecondEntersFirst ? two : one);
    enter(m_SecondEntersFirst ? one : two);
    AddTask(PRIORITY_KOMA, new CVersusReferee(two.side.dash), VERSUS_REFEREE_TASK_NAME);
    if (m_LaunchSound) {
        auto* shot = new CSound(m_LaunchSound.get());
        shot->EnableAutoDelete();
        shot->Play();
    }
    if (CGameObject* music = FindTask(MUSIC_TASK_NAME)) RemoveTask(music);
    RemoveTask(this);
}

void CVersusSet::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::SetLighting(true);
    for (const Launcher& launcher : m_Launchers) DrawLauncher(launcher);
    gfx::BeginSprites();
    for (const Launcher& launcher : m_Launchers) DrawGauge(launcher);
    gfx::EndSprites();
}

void CVersusSet::DrawLauncher(const Launcher& launcher)
{
    if (m_RaleRoll) {
        for (plat::Vec3 offset : ROLLER_OFFSETS)
            gfx::DrawOutlinedMesh(m_RaleRoll, plat::Translation(offset.x, offset.y, offset.z) * launcher.matrix,
                                  TOP_OUTLINE_SCALE);
    }
    if (m_Rale) gfx::DrawOutlinedMesh(m_Rale, launcher.matrix, RAIL_OUTLINE_SCALE);
    if (launcher.top) gfx::DrawOutlinedMesh(launcher.top, launcher.matrix, TOP_OUTLINE_SCALE);
}

void CVersusSet::DrawGauge(const Launcher& launcher)
{
    // Each gauge stands on its launcher's side of the picture, its player's tag above it.
    const float x = FacesFar(launcher.side) ? GAUGE_MARGIN : SCREEN_WIDTH - GAUGE_MARGIN - GAUGE_HEIGHT;
    const uint8_t alpha = launcher.launched ? LAUNCHED_ALPHA : OPAQUE;
    if (m_Tags && m_Tags->Texture()) {
        const plat::Rect& tag = launcher.side.index == 0 ? TopSide::PLAYER_ONE_TAG : TopSide::PLAYER_TWO_TAG;
        m_TagSprite.SetSourceRect(tag.left, tag.top, tag.right, tag.bottom);
        m_TagSprite.Draw(x + TAG_INSET, TAG_Y, 1, 1, 0, OPAQUE);
    }
    m_HudSprite.SetSourceRect(GAUGE_FRAME_RECT.left, GAUGE_FRAME_RECT.top, GAUGE_FRAME_RECT.right,
                              GAUGE_FRAME_RECT.bottom);
    m_HudSprite.Draw(x, GAUGE_Y, GAUGE_SCALE_X, GAUGE_SCALE_Y, GAUGE_ANGLE, alpha);
    m_HudSprite.SetSourceRect(GAUGE_FILL_LEFT, GAUGE_FILL_TOP, GAUGE_FILL_LEFT + launcher.power, GAUGE_FILL_BOTTOM);
    m_HudSprite.Draw(x, GAUGE_Y, GAUGE_SCALE_X, GAUGE_SCALE_Y, GAUGE_ANGLE, alpha);
}
