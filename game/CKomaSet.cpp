#include "game/CKomaSet.h"

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "core/ResourceRegistry.h"
#include "game/CKoma.h"
#include "game/CKomaShoot.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "input/CInput.h"
#include "platform/KeySource.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;

constexpr const char* MUSIC_FILE = "bgm/PowerSet.mp3";
constexpr const char* MUSIC_TASK_NAME = "PowerSetBGM";

// The launcher and its two rollers.
constexpr plat::Vec3 ROLLER_OFFSETS[] = {{2.7569f, 0, 0.2121f}, {-2.7569f, 0, 0.2121f}};
constexpr float TOP_OUTLINE_SCALE = 1.05f;   // tops and rollers
constexpr float RAIL_OUTLINE_SCALE = 1.01f;
constexpr float ROLLER_SOLID_ALPHA = 1.0f;
constexpr float ROLLER_GLOW_ALPHA = 0.2f;
constexpr float ROLLER_GLOW_POWER_UNIT = 96.0f;   // the glow is full size at power 96

// The HUD on "InterfaceBMP": source rectangles, places and scales.
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;   // 0x09
constexpr uint8_t OPAQUE = 255;
constexpr plat::Rect GAUGE_FRAME_RECT{320, 128, 512, 224};
constexpr int GAUGE_FILL_LEFT = 320, GAUGE_FILL_TOP = 224, GAUGE_FILL_BOTTOM = 320;
constexpr float GAUGE_X = 30, GAUGE_Y = 380;
constexpr float GAUGE_SCALE_X = 1.5f, GAUGE_SCALE_Y = 1.0f;
constexpr float GAUGE_ANGLE = -plat::PI / 2;   // the gauge stands upright, filling upwards
constexpr int BANNER_TOP = 448, BANNER_BOTTOM = 496, BANNER_WIDTH = 512;
constexpr float BANNER_SCALE_X = 1.25f, BANNER_SCALE_Y = 1.0f;
constexpr float TOP_BANNER_Y = 10, BOTTOM_BANNER_Y = 422;
constexpr float SCREEN_WIDTH = 640;

void SetFirstMaterialAlpha(CXFile* mesh, float alpha)
{
    if (!mesh || mesh->GetMaterialCount() == 0) return;
    plat::Material& material = mesh->Material(0);
    material.diffuse.a = alpha;
    material.ambient.a = alpha;
}

plat::Mat4 LauncherMatrix(float aimAngle, plat::Vec3 position)
{
    return plat::RotationY(aimAngle * DEG_TO_RAD) * plat::Translation(position.x, position.y, position.z);
}

plat::Mat4 OffsetMatrix(plat::Vec3 offset) { return plat::Translation(offset.x, offset.y, offset.z); }

}   // namespace

CKomaSet::CKomaSet() : m_LauncherMatrix(LauncherMatrix(0.0f, START_POSITION)) {}

CKomaSet::~CKomaSet() = default;

int CKomaSet::LaunchSpin(int power) { return static_cast<int>(LAUNCH_SPIN_FACTOR * power * power) + LAUNCH_SPIN_BASE; }

plat::Vec3 CKomaSet::LaunchForce(float aimAngle)
{
    return plat::TransformNormal({0, 0, LAUNCH_FORCE}, plat::RotationY(aimAngle * DEG_TO_RAD));
}

void CKomaSet::Init()
{
    // The keyboard.
    m_Input = CInput::FindOrCreate();

    // The camera, the meshes and the gauge sound.
    m_Camera = static_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_Rale = FindResource<CXFile>("XRale");
    m_RaleRoll = FindResource<CXFile>("XRaleRoll");
    m_Top = FindResource<CXFile>("XTop");
    m_GaugeSound = std::make_unique<CSound>(FindResource<CSound>("KiaiGageUPSE"));
    m_GaugeSound->SetVolume(GAUGE_SOUND_VOLUME);

    // The HUD picture; without it the HUD draws nothing.
    m_HudSprite.m_Anchor = ANCHOR_TOP_LEFT;
    if (auto* hud = FindResource<CTexture>("InterfaceBMP")) m_HudSprite.AttachTexture(hud);

    // The aim and the gauge start over.
    m_Power = 0;
    m_BannerScroll = 0;
    m_AimStep = AIM_STEP;
    m_StartPos = START_POSITION;
    m_AimAngle = 0;

    // The shot: behind and above the launcher, looking into the arena.
    if (m_Camera) {
        m_Camera->m_Eye = m_StartPos + CAMERA_EYE_OFFSET;
        m_Camera->m_Target = CAMERA_TARGET;
        m_Camera->m_Fov = CAMERA_FOV;
    }

    // The aiming music.
    auto* music = new CBGMusic(MUSIC_FILE);
    AddTask(PRIORITY_BGM, music, MUSIC_TASK_NAME);
    music->Play(MUSIC_START_VOLUME, true);
}

void CKomaSet::Update()
{
    Aim();
    FillGauge();
    ScrollBanners();
    if (LaunchRequested()) Launch();   // this object is gone afterwards
}

void CKomaSet::Aim()
{
    // The angle is not clamped: it swings between -32 and 32.
    m_AimAngle += static_cast<float>(m_AimStep);
    if (m_AimAngle > AIM_TURN || m_AimAngle < -AIM_TURN) m_AimStep = -m_AimStep;
}

void CKomaSet::FillGauge()
{
    if (m_Power == 0 && m_GaugeSound) m_GaugeSound->Play();
    m_Power += POWER_STEP;
    if (m_Power > POWER_MAX) m_Power = 0;
}

void CKomaSet::ScrollBanners()
{
    m_BannerScroll += 1.0f;
    if (m_BannerScroll >= BANNER_WRAP) m_BannerScroll = 0.0f;
}

bool CKomaSet::LaunchRequested() const { return m_Input && m_Input->IsNewlyPressed(plat::KEY_Z); }

void CKomaSet::Launch()
{
    AddTask(PRIORITY_KOMA, new CKoma(LaunchForce(m_AimAngle), LaunchSpin(m_Power)), KOMA_TASK_NAME);
    AddTask(PRIORITY_KOMA_SHOOT, new CKomaShoot(m_Power, m_LauncherMatrix), KOMA_SHOOT_TASK_NAME);
    RemoveTask(this);
}

void CKomaSet::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::SetLighting(true);
    DrawRollers();
    DrawRollerGlow();
    DrawLauncherAndTop();
    DrawHud();
}

void CKomaSet::DrawRollers()
{
    // Solid rollers with their outline, at last frame's launcher pose.
    SetFirstMaterialAlpha(m_RaleRoll, ROLLER_SOLID_ALPHA);
    if (!m_RaleRoll) return;
    for (plat::Vec3 offset : ROLLER_OFFSETS) {
        gfx::DrawOutlinedMesh(m_RaleRoll, OffsetMatrix(offset) * m_LauncherMatrix, TOP_OUTLINE_SCALE);
    }
}

void CKomaSet::DrawRollerGlow()
{
    // A faint additive copy that grows with the power.
    RenderStateGuard glow;
    glow.SetBlend(gfx::BlendMode::Additive);
    SetFirstMaterialAlpha(m_RaleRoll, ROLLER_GLOW_ALPHA);
    if (m_RaleRoll) {
        const float scale = m_Power / ROLLER_GLOW_POWER_UNIT;
        for (plat::Vec3 offset : ROLLER_OFFSETS) {
            gfx::DrawMesh(m_RaleRoll, plat::Scaling(scale, scale, scale) * OffsetMatrix(offset) * m_LauncherMatrix);
        }
    }
}

void CKomaSet::DrawLauncherAndTop()
{
    // The launcher follows this frame's aim; the top sits on it.
    m_LauncherMatrix = LauncherMatrix(m_AimAngle, m_StartPos);
    if (m_Rale) gfx::DrawOutlinedMesh(m_Rale, m_LauncherMatrix, RAIL_OUTLINE_SCALE);
    if (m_Top) gfx::DrawOutlinedMesh(m_Top, m_LauncherMatrix, TOP_OUTLINE_SCALE);
}

void CKomaSet::DrawHud()
{
    // The power gauge and the two scrolling banners, all opaque.
    gfx::BeginSprites();
    DrawGauge();
    DrawBanners();
    gfx::EndSprites();
}

void CKomaSet::DrawGauge()
{
    m_HudSprite.SetSourceRect(GAUGE_FRAME_RECT.left, GAUGE_FRAME_RECT.top, GAUGE_FRAME_RECT.right,
                              GAUGE_FRAME_RECT.bottom);
    m_HudSprite.Draw(GAUGE_X, GAUGE_Y, GAUGE_SCALE_X, GAUGE_SCALE_Y, GAUGE_ANGLE, OPAQUE);
    m_HudSprite.SetSourceRect(GAUGE_FILL_LEFT, GAUGE_FILL_TOP, GAUGE_FILL_LEFT + m_Power, GAUGE_FILL_BOTTOM);
    m_HudSprite.Draw(GAUGE_X, GAUGE_Y, GAUGE_SCALE_X, GAUGE_SCALE_Y, GAUGE_ANGLE, OPAQUE);
}

void CKomaSet::DrawBanners()
{
    // The top banner scrolls to the left and the bottom one to the right, one
    // texel a frame; each is drawn in two parts that meet at the wrap.
    const int scroll = static_cast<int>(m_BannerScroll);
    const float shift = BANNER_SCALE_X * m_BannerScroll;
    m_HudSprite.SetSourceRect(scroll, BANNER_TOP, BANNER_WIDTH, BANNER_BOTTOM);
    m_HudSprite.Draw(0, TOP_BANNER_Y, BANNER_SCALE_X, BANNER_SCALE_Y, 0.0f, OPAQUE);
    m_HudSprite.SetSourceRect(0, BANNER_TOP, scroll, BANNER_BOTTOM);
    m_HudSprite.Draw(SCREEN_WIDTH - shift, TOP_BANNER_Y, BANNER_SCALE_X, BANNER_SCALE_Y, 0.0f, OPAQUE);
    m_HudSprite.SetSourceRect(BANNER_WIDTH - scroll, BANNER_TOP, BANNER_WIDTH, BANNER_BOTTOM);
    m_HudSprite.Draw(0, BOTTOM_BANNER_Y, BANNER_SCALE_X, BANNER_SCALE_Y, 0.0f, OPAQUE);
    m_HudSprite.SetSourceRect(0, BANNER_TOP, BANNER_WIDTH - scroll, BANNER_BOTTOM);
    m_HudSprite.Draw(shift, BOTTOM_BANNER_Y, BANNER_SCALE_X, BANNER_SCALE_Y, 0.0f, OPAQUE);
}
