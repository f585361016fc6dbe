#include "scene/CHowToPlay.h"

#include "core/FirstPlay.h"
#include "core/Globals.h"
#include "gfx/Render.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "stage/CLoadStage.h"

namespace {

constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
constexpr uint8_t OPAQUE = 255;
constexpr int FIRST_STAGE = 0;

}   // namespace

CGameObject* CHowToPlay::NextScreenAfterStageSelect()
{
    if (g_StageIndex == FIRST_STAGE && FirstPlay::CardPending()) return new CHowToPlay;
    return new CLoadStage;
}

void CHowToPlay::Init()
{
    m_Input = CInput::FindOrCreate();
    m_SelectSound.Load(SELECT_SOUND_FILE);
    m_Texture.Load(PICTURE_FILE, NO_COLOR_KEY);
    m_Sprite.AttachTexture(&m_Texture);
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
    m_Sprite.SetSourceRect(CARD.left, CARD.top, CARD.right, CARD.bottom);
}

void CHowToPlay::Update()
{
    ++m_Updates;
    if (SkipPressed()) Leave();   // this object is gone afterwards
}

bool CHowToPlay::SkipPressed()
{
    if (!m_Input) return false;
    // The Z that chose the stage may still be held, and the input task reports
    // a key held through a screen change as newly pressed: Z must be seen up
    // on this card first. The first update does not count, since the card may
    // run before the input task has read the keys.
    if (!m_SkipArmed) {
        if (m_Updates > 1 && !m_Input->IsDown(plat::KEY_Z)) m_SkipArmed = true;
        return false;
    }
    return m_Input->IsNewlyPressed(plat::KEY_Z);
}

void CHowToPlay::Leave()
{
    // A copy of the select sound plays on after this screen is gone and frees itself.
    auto* select = new CSound(&m_SelectSound);
    select->EnableAutoDelete();
    select->Play();
    FirstPlay::CardSeen();
    ClearTasks();   // deletes this screen: no member may be touched from here on
    AddTask(new CLoadStage, PRIORITY_LOADING);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

void CHowToPlay::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    m_Sprite.SetSourceRect(CARD.left, CARD.top, CARD.right, CARD.bottom);
    m_Sprite.Draw(0, 0, CARD_SCALE, CARD_SCALE, OPAQUE);
    gfx::EndSprites();
}
