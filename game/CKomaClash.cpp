#include "game/CKomaClash.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKomaBase.h"
#include "game/TopSide.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
#include "input/CInput.h"
#include "physics/CODE.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
constexpr float RAD_TO_DEG = 180.0f / plat::PI;
constexpr float FULL_TURN = 360.0f;
const plat::Vec3 UP{0, 1, 0};

constexpr const char* GAME_MUSIC = "GameBGM";
constexpr const char* CLASH_MUSIC = "ClashBGM";
constexpr const char* CLASH_MUSIC_FILE = "bgm/Clash.mp3";
constexpr const char* AIR_WALL_TASKS[] = {"CKomaAirWall", "CKomaAirWallEnemy"};

// Hit texts: a whole offset of 0 to 3 on each axis, a scale of 0.0 to 1.4 in tenths.
constexpr int HIT_TEXT_OFFSETS = 4;
constexpr int HIT_TEXT_SCALES = 15;
constexpr float HIT_TEXT_SCALE_UNIT = 0.1f;
constexpr int HIT_TEXT_IMAGE = 1;

// Sparks at the contact point: 20 to 29 particles per burst, every frame.
constexpr uint32_t SPARK_BASE = 20;
constexpr int SPARK_EXTRA = 10;

constexpr float OUTLINE_SCALE = 1.05f;

// The banner and the pressing button, centred.
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t OPAQUE = 255;
constexpr plat::Rect BANNER_RECT{0, 224, 285, 288};
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr float BANNER_X = 320, BANNER_Y = 120;
constexpr int BUTTON_LEFT = 320, BUTTON_TOP = 320, BUTTON_WIDTH = 64, BUTTON_BOTTOM = 416;
constexpr float BUTTON_X = 320, BUTTON_Y = 200;

plat::Vec3 Horizontal(plat::Vec3 v) { return {v.x, 0, v.z}; }

bool IsZero(plat::Vec3 v) { return v.x == 0 && v.y == 0 && v.z == 0; }

float WrapTurn(float degrees)
{
    float wrapped = std::fmod(degrees, FULL_TURN);
    return wrapped < 0 ? wrapped + FULL_TURN : wrapped;
}

// Rotation about the axis by -degrees; no lean at all when the axis is zero
// (a top that has not moved).
plat::Mat4 LeanRotation(plat::Vec3 axis, float degrees)
{
    if (IsZero(axis)) return plat::Mat4::Identity();
    return plat::RotationAxis(axis, -degrees * DEG_TO_RAD);
}

CBGMusic* Music(const char* name) { return dynamic_cast<CBGMusic*>(FindTask(name)); }

}   // namespace

CKomaClash::CKomaClash(CKomaBase* player, CKomaBase* enemy, float px, float py, float pz, float nx, float ny, float nz)
    : m_Player(player), m_Enemy(enemy), m_ContactPoint(px, py, pz), m_ContactNormal(nx, ny, nz)
{
}

CKomaClash::~CKomaClash() = default;

void CKomaClash::Init()
{
    m_Input = dynamic_cast<CInput*>(FindTask(INPUT_TASK_NAME));
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    auto* texture = FindResource<CTexture>("InterfaceBMP");
    m_PressSound = std::make_unique<CSound>(FindResource<CSound>("TubazeriSE"));

    StartMusic();

    m_Banner.AttachTexture(texture);
    m_Banner.m_Anchor = ANCHOR_CENTRE;
    if (m_EnemyKey != NO_KEY) {
        m_VersusBanner.AttachTexture(CTexture::RegisteredOrLoaded(TopSide::TAG_PICTURE_KEY, m_VersusBannerTexture,
                                                                  TopSide::TAG_PICTURE, NO_COLOR_KEY));
        m_VersusBanner.m_Anchor = ANCHOR_CENTRE;
    }
    m_BannerPulse = PULSE_MIN;
    m_ButtonFrame = 0;

    Freeze(true);
    for (const char* name : AIR_WALL_TASKS)
        if (CGameObject* wall = FindTask(name)) RemoveTask(wall);

    if (m_Camera) m_Eye = m_Camera->m_Eye;
    m_Balance = 0;
    m_FrameCount = 0;

    m_SwingLeft = (m_Player && m_Enemy) ? SwingDegrees(m_Eye, m_Player->m_Pos, m_Enemy->m_Pos) : 0.0f;
}

void CKomaClash::StartMusic()
{
    if (CBGMusic* game = Music(GAME_MUSIC)) game->FadeVolume(GAME_MUSIC_DUCK_MS, GAME_MUSIC_DUCK_VOLUME);
    auto* clash = new CBGMusic(CLASH_MUSIC_FILE);
    AddTask(PRIORITY_BGM, clash, CLASH_MUSIC);
    clash->Play(CLASH_MUSIC_START_VOLUME, false);
    clash->FadeVolume(CLASH_MUSIC_FADE_IN_MS, CLASH_MUSIC_VOLUME);
}

void CKomaClash::Freeze(bool frozen)
{
    // This task lies outside the band, so it keeps running.
    SetUpdateStop(CODE_TASK_NAME, frozen);
    SetUpdateStopRange(frozen, FREEZE_HIGH, FREEZE_LOW);
    SetDrawStopRange(frozen, FREEZE_HIGH, FREEZE_LOW);
}

float CKomaClash::SwingDegrees(plat::Vec3 eye, plat::Vec3 player, plat::Vec3 enemy)
{
    // The camera should end up looking along the perpendicular of the line
    // between the tops. With the tops one above the other, or the eye straight
    // above the arena's centre, there is no such direction: no swing.
    plat::Vec3 across = plat::Cross(plat::Normalize(Horizontal(player - enemy)), UP);
    plat::Vec3 e = plat::Normalize(Horizontal(eye));
    if (IsZero(across) || IsZero(e)) return 0.0f;
    float swing = std::acos(std::clamp(plat::Dot(e, across), -1.0f, 1.0f));

    // The side: which way round the perpendicular lies as seen from the eye.
    plat::Mat4 quarterTurn = plat::RotationY(plat::PI / 2);
    plat::Vec3 a = plat::TransformNormal(plat::Normalize(Horizontal(player)), quarterTurn);
    plat::Vec3 b = plat::TransformNormal(plat::Normalize(Horizontal(enemy)), quarterTurn);
    plat::Vec3 side = plat::Normalize(plat::Cross(e - b, a - b));
    if (side.y > 0) swing = plat::PI - swing;
    return swing * RAD_TO_DEG;
}

void CKomaClash::Update()
{
    SwingCamera();
    if (m_Camera) m_Camera->m_Fov = BASE_FOV - static_cast<float>(m_Balance);
    Animate();

    ++m_FrameCount;
    ShowHitTexts();
    EnemyPush();
    // The tops' own updates are frozen; they keep turning on screen.
    for (CKomaBase* top : {m_Player, m_Enemy})
        if (top) top->m_SpinAngle = WrapTurn(top->m_SpinAngle + top->Spin());
    PlayerPush();
    ThrowSparks();

    if (Decided()) End();
}

void CKomaClash::SwingCamera()
{
    if (!m_Camera) return;
    if (m_SwingLeft > 0) {
        m_SwingLeft -= SWING_STEP;
        m_Camera->m_Orbit += SWING_STEP;
        if (m_Camera->m_Orbit > FULL_TURN) m_Camera->m_Orbit = 0;
        m_Eye = plat::TransformCoord(m_Eye, plat::RotationY(SWING_STEP * DEG_TO_RAD));
    }
    m_Camera->m_Eye = m_Eye;
}

void CKomaClash::Animate()
{
    if (++m_ButtonFrame > BUTTON_FRAME_MAX) m_ButtonFrame = 0;
    m_BannerPulse += PULSE_STEP;
    if (m_BannerPulse > PULSE_MAX) m_BannerPulse = PULSE_MIN;
}

void CKomaClash::ShowHitTexts()
{
    if (m_FrameCount % HIT_TEXT_FRAMES != 0) return;
    for (CKomaBase* top : {m_Player, m_Enemy}) {
        if (!top) continue;
        float x = top->m_Pos.x + static_cast<float>(GameRand() % HIT_TEXT_OFFSETS);
        float y = top->m_Pos.y + static_cast<float>(GameRand() % HIT_TEXT_OFFSETS);
        float z = top->m_Pos.z + static_cast<float>(GameRand() % HIT_TEXT_OFFSETS);
        float scale = static_cast<float>(GameRand() % HIT_TEXT_SCALES) * HIT_TEXT_SCALE_UNIT;
        AddTask(PRIORITY_EFFECT, new CHitText(x, y, z, HIT_TEXT_IMAGE, scale), nullptr);
    }
}

void CKomaClash::EnemyPush()
{
    if (m_EnemyKey != NO_KEY) {
        // A second player presses for the enemy side as the player does.
        if (!Pressed(m_EnemyKey)) return;
        --m_Balance;
        if (m_PressSound) m_PressSound->Play();
        return;
    }
    // The enemy pushes the balance back at the stage's rate: every 50 frames
    // on stage 1 down to every 10 on stage 5. A stage index outside the five
    // stages is held to the nearest one, so the period is never zero.
    int stage = std::clamp(g_StageIndex, 0, ENEMY_PUSH_BASE - 1);
    int period = (ENEMY_PUSH_BASE - stage) * ENEMY_PUSH_FRAMES;
    if (m_FrameCount % period == 0) --m_Balance;
}

void CKomaClash::PlayerPush()
{
    if (!Pressed(plat::KEY_Z)) return;
    ++m_Balance;
    if (m_PressSound) m_PressSound->Play();
}

bool CKomaClash::Pressed(int key) const
{
    // Presses count only once the camera has finished its swing.
    if (m_SwingLeft > 0) return false;
    return m_Input && m_Input->IsNewlyPressed(key);
}

void CKomaClash::ThrowSparks()
{
    const plat::Vec3& p = m_ContactPoint;
    for (uint32_t kind : {CPSprite::KIND_SPARK_BRIGHT, CPSprite::KIND_SPARK}) {
        uint32_t count = SPARK_BASE + static_cast<uint32_t>(GameRand() % SPARK_EXTRA);
        AddTask(new CPSprite(p.x, p.y, p.z, kind, count), PRIORITY_EFFECT);
    }
}

bool CKomaClash::Decided() const { return m_FrameCount > FRAME_LIMIT || std::abs(m_Balance) > WIN_BALANCE; }

void CKomaClash::End()
{
    if (CBGMusic* game = Music(GAME_MUSIC)) game->FadeVolume(GAME_MUSIC_RETURN_MS, GAME_MUSIC_VOLUME);
    CBGMusic* clash = Music(CLASH_MUSIC);
    if (clash) clash->FadeVolume(CLASH_MUSIC_FADE_OUT_MS, GAME_MUSIC_DUCK_VOLUME);

    ThrowLoser();

    if (m_Camera) m_Camera->m_Fov = BASE_FOV;
    Freeze(false);
    if (clash) RemoveTask(clash);
    RemoveTask(this);
}

void CKomaClash::ThrowLoser()
{
    // The physics is frozen, so these forces act in the first step after the clash.
    plat::Vec3 n = plat::Normalize(m_ContactNormal);
    auto push = [](CKomaBase* top, plat::Vec3 f) {
        if (top && top->m_Disc.body) top->m_Disc.body.AddForce(f.x, f.y, f.z);
    };
    float balance = static_cast<float>(m_Balance);
    if (m_Balance <= -WIN_BALANCE) {
        // The enemy won; the balance is negative, so the player flies along -n.
        float spin = m_Enemy ? m_Enemy->Spin() : 0.0f;
        push(m_Player, n * (spin * balance * THROW_PER_SPIN));
    } else if (m_Balance < WIN_BALANCE) {
        // Time ran out: both are pushed apart.
        push(m_Player, n * -DRAW_THROW);
        push(m_Enemy, n * DRAW_THROW);
    } else {
        float spin = m_Player ? m_Player->Spin() : 0.0f;
        plat::Vec3 f = n * (spin * balance * THROW_PER_SPIN);
        // The heavy top is thrown higher; a second player's top is not heavy.
        if (g_StageIndex == HEAVY_STAGE_INDEX && m_EnemyKey == NO_KEY) f.y *= HEAVY_LIFT;
        push(m_Enemy, f);
    }
}

void CKomaClash::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::SetLighting(true);
    // The sparks drawn before this leave the blend additive; the tops are
    // drawn solid, as their own tasks draw them outside a dash.
    gfx::UseAlphaBlending();
    // The tops' own tasks are hidden during the clash, so they are drawn here.
    for (const CKomaBase* top : {m_Player, m_Enemy})
        if (top) DrawTop(*top);
    if (m_SwingLeft <= 0) DrawBanner();
}

void CKomaClash::DrawTop(const CKomaBase& top)
{
    if (!top.m_TopMesh) return;
    plat::Vec3 d = top.m_Pos - top.m_PrevPos;
    float lean = std::min(CKomaBase::LEAN_PER_UNIT * plat::Length(d), CKomaBase::LEAN_MAX);
    plat::Mat4 leanRotation = LeanRotation(plat::Cross(plat::Normalize(d), UP), lean);
    const plat::Vec3& p = top.m_Pos;
    plat::Mat4 world = plat::RotationX(-plat::PI / 2) * top.m_Rotation * plat::RotationY(top.m_SpinAngle * DEG_TO_RAD) *
                       leanRotation * plat::Translation(p.x, p.y, p.z);
    gfx::DrawOutlinedMesh(top.m_TopMesh, world, OUTLINE_SCALE);
}

void CKomaClash::DrawBanner()
{
    gfx::BeginSprites();
    if (m_EnemyKey != NO_KEY) {
        // Both players press their own dash key: the banner says so, with no key cap.
        m_VersusBanner.SetSourceRect(VERSUS_BANNER_RECT.left, VERSUS_BANNER_RECT.top, VERSUS_BANNER_RECT.right,
                                     VERSUS_BANNER_RECT.bottom);
        m_VersusBanner.Draw(BANNER_X, BANNER_Y, m_BannerPulse, m_BannerPulse, 0, OPAQUE);
        gfx::EndSprites();
        return;
    }
    m_Banner.m_Anchor = ANCHOR_CENTRE;
    m_Banner.SetSourceRect(BANNER_RECT.left, BANNER_RECT.top, BANNER_RECT.right, BANNER_RECT.bottom);
    m_Banner.Draw(BANNER_X, BANNER_Y, m_BannerPulse, m_BannerPulse, 0, OPAQUE);
    int w = BUTTON_WIDTH * (m_ButtonFrame / BUTTON_FRAMES_PER_PICTURE);
    m_Banner.SetSourceRect(BUTTON_LEFT + w, BUTTON_TOP, BUTTON_LEFT + BUTTON_WIDTH + w, BUTTON_BOTTOM);
    m_Banner.Draw(BUTTON_X, BUTTON_Y, 1, 1, 0, OPAQUE);
    gfx::EndSprites();
}
