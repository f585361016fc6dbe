#include "game/CKomaShoot.h"

#include <algorithm>

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "game/CKoma.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
constexpr float FULL_TURN = 360.0f;
constexpr const char* AIMING_MUSIC = "PowerSetBGM";
constexpr float SPARK_HEIGHT = 0.2f;
constexpr float ROLLER_OUTLINE = 1.05f;
constexpr float ROLLER_SOLID_ALPHA = 1.0f;
constexpr float RAIL_OUTLINE = 1.01f;
constexpr float TOP_OUTLINE = 1.05f;
constexpr float GHOST_SCALE = 1.1f;
constexpr int GHOST_JITTER_STEPS = 30;   // -0.15 to +0.14 in hundredths
constexpr int GHOST_JITTER_CENTRE = 15;
constexpr float GHOST_JITTER_UNIT = 0.01f;

constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t OPAQUE = 255;
constexpr uint8_t MARKER_ALPHA = 200;
constexpr float GAUGE_X = 30, GAUGE_Y = 380, GAUGE_SCALE_X = 1.5f;
constexpr float BANNER_TOP_Y = 10, BANNER_BOTTOM_Y = 422, BANNER_WIDTH = 320;
constexpr float EMBLEM_X = 320, EMBLEM_Y = 100;
constexpr float MARKER_SCALE_PER_Y = 0.007f;

plat::Mat4 WithoutTranslation(plat::Mat4 m)
{
    m.m[3][0] = m.m[3][1] = m.m[3][2] = 0;
    return m;
}

}   // namespace

CKomaShoot::CKomaShoot(int power, const plat::Mat4& launcherMatrix)
    : m_LauncherMatrix(launcherMatrix),
      m_TopSpeed(static_cast<float>(power / TOP_SPEED_DIVISOR)),
      m_StrongMarker(power > STRONG_LAUNCH_POWER ? 0 : STRONG_MARKER_OFF),
      m_Power(power)
{
}

CKomaShoot::~CKomaShoot() = default;

void CKomaShoot::Init()
{
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_Top = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_Rale = FindResource<CXFile>("XRale");
    m_RaleRoll = FindResource<CXFile>("XRaleRoll");
    m_LaunchSound = std::make_unique<CSound>();
    m_LaunchSound->Load("sound/game/KomaShoot.wav");
    m_RollerSound = std::make_unique<CSound>();
    m_RollerSound->Load("sound/game/RallRoll.wav");
    m_HudSprite.AttachTexture(FindResource<CTexture>("InterfaceBMP"));

    if (m_Camera) {
        m_SavedEye = m_Camera->m_Eye;
        m_Camera->m_Orbit = 0;
    }

    // This task joins the list only after Init returns, so it stays running.
    SetUpdateStopRange(true, FREEZE_HIGH, FREEZE_LOW);
    SetDrawStopRange(true, FREEZE_HIGH, FREEZE_LOW);

    m_EmblemScale = 1;
    m_BannerScroll = 0;
    m_FinishCount = 0;
    m_RollerSpeed = 0;
    m_MarkerY = MARKER_START_Y;
    m_RollerAngle = 0;
    m_RollerOffset = ROLLER_OFFSET_START;
    m_OffsetStep = ROLLER_OFFSET_STEP;
}

void CKomaShoot::Update()
{
    SwingCamera();
    if (m_FinishCount != 0) {
        ++m_FinishCount;
    } else {
        ThrowSparks();
        TurnRollers();
        if (m_StrongMarker < STRONG_MARKER_LIMIT) m_StrongMarker += STRONG_MARKER_STEP;
        m_BannerScroll += BANNER_STEP;
        if (m_BannerScroll >= BANNER_WRAP) m_BannerScroll = 0;
        // The release is tested before the offset moves.
        if (m_RollerOffset <= RELEASE_OFFSET) Release();
        MoveRollerOffset();
        MoveMarker();
        m_EmblemScale += EMBLEM_GROWTH;
        if (m_RollerSound && !m_RollerSound->IsPlaying()) m_RollerSound->Play();
    }
    if (m_FinishCount == LINGER_FRAMES + 1) {
        if (CGameObject* music = FindTask(AIMING_MUSIC)) RemoveTask(music);
        RemoveTask(this);
    }
}

void CKomaShoot::SwingCamera()
{
    if (!m_Camera) return;
    if (m_Top) m_Camera->m_Target = m_Top->m_Pos;
    m_Camera->m_Orbit = std::min(m_Camera->m_Orbit + ORBIT_STEP, ORBIT_MAX);
    float angle = m_Camera->m_Orbit * DEG_TO_RAD;
    m_Camera->m_Eye = plat::TransformCoord(m_SavedEye, plat::RotationYawPitchRoll(-angle, angle, 0));
}

void CKomaShoot::ThrowSparks()
{
    if (!m_Top) return;
    plat::Mat4 turn = WithoutTranslation(m_LauncherMatrix);
    auto count = static_cast<uint32_t>(m_RollerSpeed + 1);
    for (float side : {1.0f, -1.0f}) {
        plat::Vec3 local{side * (1 - m_RollerOffset), SPARK_HEIGHT, 0};
        plat::Vec3 at = plat::TransformCoord(local, turn) + m_Top->m_Pos;
        AddTask(new CPSprite(at.x, at.y, at.z, CPSprite::KIND_SPARK_BRIGHT, count), PRIORITY_EFFECT);
    }
}

void CKomaShoot::TurnRollers()
{
    m_RollerSpeed = std::min(m_RollerSpeed + ROLLER_SPIN_UP, m_TopSpeed);
    m_RollerAngle += m_RollerSpeed;
    if (m_RollerAngle > FULL_TURN) m_RollerAngle = 0;
}

void CKomaShoot::Release()
{
    if (m_LaunchSound) {
        auto* shot = new CSound(m_LaunchSound.get());
        shot->EnableAutoDelete();
        shot->Play();
    }
    if (auto* music = dynamic_cast<CBGMusic*>(FindTask(AIMING_MUSIC)))
        music->FadeVolume(MUSIC_FADE_MS, MUSIC_FADE_VOLUME);
    SetUpdateStopRange(false, FREEZE_HIGH, FREEZE_LOW);
    SetDrawStopRange(false, FREEZE_HIGH, FREEZE_LOW);
    m_FinishCount = 1;
}

void CKomaShoot::MoveRollerOffset()
{
    if (m_RollerSpeed != m_TopSpeed) return;
    m_RollerOffset += m_OffsetStep;
    if (m_RollerOffset > ROLLER_OPEN_LIMIT) m_OffsetStep *= ROLLER_CLOSE_FACTOR;
}

void CKomaShoot::MoveMarker()
{
    m_MarkerY += MARKER_FALL;
    if (m_MarkerY > MARKER_BOTTOM) {
        m_MarkerY = MARKER_TOP;
        m_MarkerX = MARKER_MIN_X + GameRand() % MARKER_X_RANGE;
    }
    if (m_MarkerX > MARKER_CENTRE_X - 1)
        m_MarkerX -= MARKER_DRIFT;
    else
        m_MarkerX += MARKER_DRIFT;
}

void CKomaShoot::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::SetLighting(true);
    DrawRollersAndLauncher();
    if (m_FinishCount != 0) return;   // after the release the top draws itself
    DrawFrozenTop();
    DrawHud();
}

void CKomaShoot::DrawRollersAndLauncher()
{
    if (m_RaleRoll) {
        // The aiming phase leaves the rollers' material at its glow strength;
        // drawn solid here, as while aiming.
        if (m_RaleRoll->GetMaterialCount() > 0) {
            plat::Material& material = m_RaleRoll->Material(0);
            material.diffuse.a = ROLLER_SOLID_ALPHA;
            material.ambient.a = ROLLER_SOLID_ALPHA;
        }
        float angle = m_RollerAngle * DEG_TO_RAD;
        plat::Mat4 first =
            plat::RotationY(angle) * plat::Translation(m_RollerOffset, 0, ROLLER_DEPTH) * m_LauncherMatrix;
        plat::Mat4 second =
            plat::RotationY(-angle) * plat::Translation(-m_RollerOffset, 0, ROLLER_DEPTH) * m_LauncherMatrix;
        for (const plat::Mat4& world : {first, second}) gfx::DrawOutlinedMesh(m_RaleRoll, world, ROLLER_OUTLINE);
    }
    if (m_Rale) gfx::DrawOutlinedMesh(m_Rale, m_LauncherMatrix, RAIL_OUTLINE);
}

void CKomaShoot::DrawFrozenTop()
{
    if (!m_Top) return;
    const plat::Vec3& p = m_Top->m_Pos;
    plat::Mat4 world = plat::RotationX(-plat::PI / 2) * m_Top->m_Rotation * plat::Translation(p.x, p.y, p.z);
    if (m_Top->m_TopMesh) gfx::DrawOutlinedMesh(m_Top->m_TopMesh, world, TOP_OUTLINE);
    if (m_StrongMarker == STRONG_MARKER_OFF || !m_Top->m_GhostMesh) return;

    // A strong launch shows the ghost shaking around the top.
    plat::Mat4 ghost = plat::Scaling(GHOST_SCALE, GHOST_SCALE, GHOST_SCALE) * world;
    ghost.m[3][0] += static_cast<float>(GameRand() % GHOST_JITTER_STEPS - GHOST_JITTER_CENTRE) * GHOST_JITTER_UNIT;
    ghost.m[3][2] += static_cast<float>(GameRand() % GHOST_JITTER_STEPS - GHOST_JITTER_CENTRE) * GHOST_JITTER_UNIT;
    gfx::DrawMesh(m_Top->m_GhostMesh, ghost, gfx::BlendMode::Additive);
}

void CKomaShoot::DrawHudRect(int left, int top, int right, int bottom, float x, float y, float sx, float sy,
                             float angle, uint8_t alpha)
{
    m_HudSprite.SetSourceRect(left, top, right, bottom);
    m_HudSprite.Draw(x, y, sx, sy, angle, alpha);
}

void CKomaShoot::DrawHud()
{
    const int scroll = static_cast<int>(m_BannerScroll);
    const float scrollF = m_BannerScroll;
    gfx::BeginSprites();

    m_HudSprite.m_Anchor = ANCHOR_TOP_LEFT;
    DrawHudRect(320, 128, 512, 224, GAUGE_X, GAUGE_Y, GAUGE_SCALE_X, 1, -plat::PI / 2, OPAQUE);
    DrawHudRect(320, 224, 320 + m_Power, 320, GAUGE_X, GAUGE_Y, GAUGE_SCALE_X, 1, -plat::PI / 2, OPAQUE);

    for (float x : {0.0f, BANNER_WIDTH}) DrawHudRect(scroll, 400, 320, 448, x, BANNER_TOP_Y, 1, 1, 0, OPAQUE);
    for (float x : {BANNER_WIDTH - scrollF, 2 * BANNER_WIDTH - scrollF})
        DrawHudRect(0, 400, scroll, 448, x, BANNER_TOP_Y, 1, 1, 0, OPAQUE);
    for (float x : {0.0f, BANNER_WIDTH}) DrawHudRect(320 - scroll, 400, 320, 448, x, BANNER_BOTTOM_Y, 1, 1, 0, OPAQUE);
    for (float x : {scrollF, scrollF + BANNER_WIDTH})
        DrawHudRect(0, 400, 320 - scroll, 448, x, BANNER_BOTTOM_Y, 1, 1, 0, OPAQUE);

    m_HudSprite.m_Anchor = ANCHOR_CENTRE;
    DrawHudRect(0, 112, 128, 176, EMBLEM_X, EMBLEM_Y, m_EmblemScale, m_EmblemScale, 0, OPAQUE);
    float markerScale = MARKER_SCALE_PER_Y * static_cast<float>(m_MarkerY);
    DrawHudRect(0, 112, 128, 176, static_cast<float>(m_MarkerX), static_cast<float>(m_MarkerY), markerScale,
                markerScale, 0, MARKER_ALPHA);

    gfx::EndSprites();
}
