#include "stage/CLoading.h"

#include <utility>
#include <vector>

#include "core/ResourceRegistry.h"
#include "gfx/Render.h"
#include "stage/StageLoader.h"

namespace {

constexpr const char* LOAD_PICTURE = "texture/Load.png";
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint8_t ANCHOR_CENTRE = CSprite::ANCHOR_HCENTER | CSprite::ANCHOR_VCENTER;   // 0x12

// Regions of Load.png.
constexpr plat::Rect BANNER_RECT{0, 0, 224, 64};
constexpr plat::Rect WHEEL_RECT{0, 64, 64, 128};
constexpr float BANNER_X = 320, BANNER_Y = 180;
constexpr float WHEEL_X = 320, WHEEL_Y = 260;
constexpr uint8_t OPAQUE = 255;
constexpr float DEG_TO_RAD = plat::PI / 180.0f;

}   // namespace

CLoading::CLoading()
{
    PendingTasks().clear();
    ClearLoadingDone();
    m_Texture.Load(LOAD_PICTURE, NO_COLOR_KEY);
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    m_Sprite.AttachTexture(&m_Texture);
}

CLoading::~CLoading()
{
    if (!m_HandedOver) FreePendingObjects();
}

void CLoading::FreePendingObjects()
{
    std::vector<TaskEntry> pending = std::move(PendingTasks());
    PendingTasks().clear();
    bool freedResources = false;
    for (const TaskEntry& entry : pending) {
        if (entry.priority == PRIORITY_RESOURCE) freedResources = true;
        if (entry.owned) delete entry.object;
    }
    // The registry still names the resources just freed.
    if (freedResources) ClearResources();
}

void CLoading::Draw()
{
    if (IsLoadingDone() && !IsStageHandOverHeld()) {
        HandOver();   // this object is gone now
        return;
    }
    Animate();
    DrawPicture();
}

void CLoading::HandOver()
{
    std::vector<TaskEntry> entries = std::move(PendingTasks());
    PendingTasks().clear();
    m_HandedOver = true;
    KeepHandedOverResources(entries);
    PrepareHandedOverResources(entries);
    // In list order, so each Init runs in the order the loader queued them.
    for (const TaskEntry& entry : entries) AddTask(entry);
    RemoveTask(this);
}

void CLoading::Animate()
{
    m_BlinkAlpha -= BLINK_STEP;
    if (m_BlinkAlpha < 0) m_BlinkAlpha = BLINK_START;
    m_Angle += SPIN_STEP;
    if (m_Angle > SPIN_LIMIT) m_Angle = 0;
}

void CLoading::DrawPicture()
{
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    m_Sprite.SetSourceRect(BANNER_RECT.left, BANNER_RECT.top, BANNER_RECT.right, BANNER_RECT.bottom);
    m_Sprite.Draw(BANNER_X, BANNER_Y, static_cast<uint8_t>(m_BlinkAlpha));
    m_Sprite.SetSourceRect(WHEEL_RECT.left, WHEEL_RECT.top, WHEEL_RECT.right, WHEEL_RECT.bottom);
    m_Sprite.Draw(WHEEL_X, WHEEL_Y, 1.0f, 1.0f, m_Angle * DEG_TO_RAD, OPAQUE);
    gfx::EndSprites();
}
