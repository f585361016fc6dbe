#include "game/CVersusReferee.h"

#include "audio/CSound.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "game/BattleCamera.h"
#include "game/CKoma.h"
#include "game/TopSide.h"
#include "game/TopTouch.h"
#include "gfx/CCamera.h"

CVersusReferee::CVersusReferee(int secondDashKey) : m_SecondDashKey(secondDashKey) {}

CVersusReferee::~CVersusReferee() = default;

void CVersusReferee::Init()
{
    m_First = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_Second = dynamic_cast<CKoma*>(FindTask(TopSide::PlayerTwoTaskName(g_StageIndex)));
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_HitSound = std::make_unique<CSound>(FindResource<CSound>("KomaHitSE"));
    m_ClashCooldownEnd = 0;
    m_RoundStart = g_FrameTime;
}

uint32_t CVersusReferee::MsLeft() const
{
    const uint32_t played = g_FrameTime - m_RoundStart;
    return played >= ROUND_MS ? 0 : ROUND_MS - played;
}

void CVersusReferee::Update()
{
    if (!m_First || !m_Second) return;
    if (m_Camera) BattleCamera::Follow(*m_Camera, *m_First, *m_Second, BattleCamera::DISTANCE_LIMIT);
    TestTouch(g_FrameTime);
    if (MsLeft() == 0) JudgeAtTimeUp();
}

void CVersusReferee::JudgeAtTimeUp()
{
    if (m_First->IsDown() || m_Second->IsDown()) return;
    float first = m_First->Spin(), second = m_Second->Spin();
    bool firstLoses = first < second;
    if (first == second) firstLoses = plat::Length(m_First->m_Pos) > plat::Length(m_Second->m_Pos);
    (firstLoses ? m_First : m_Second)->m_Down = 1;
}

void CVersusReferee::TestTouch(uint32_t now)
{
    if (m_First->IsDown() || m_Second->IsDown() || !(m_ClashCooldownEnd < now)) return;
    if (!m_Second->m_Disc.geom || !m_First->m_Disc.geom) return;
    if (!m_Second->m_Disc.geom.Touches(m_First->m_Disc.geom, m_Contact)) return;

    TopTouch::ExchangeCeilings(*m_Second, *m_First);
    if (m_HitSound) m_HitSound->Play();
    if (m_Second->IsDashing(now) && m_First->IsDashing(now)) {
        TopTouch::StartClash(*m_Second, *m_First, m_Contact, m_SecondDashKey);
        m_ClashCooldownEnd = now + TopTouch::CLASH_COOLDOWN_MS;
        return;
    }
    TopTouch::Bounce(*m_Second, *m_First, m_Contact);
}
