// The effects of a taken item: the pick-up bursts that hand over to flying
// icons, the icons' targets, flight, flash bits and time-out (with a start on
// the target giving no NaN), the flash at the top and the jump rings.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/TaskList.h"
#include "effect/CPSprite.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "hud/CSpriteRender.h"
#include "item/CItemEffect.h"
#include "item/CItemEffectJump.h"
#include "item/CItemEffectKoma.h"
#include "tests/StageTestSupport.h"

namespace {

std::vector<CItemEffect*> Icons()
{
    std::vector<CItemEffect*> out;
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (auto* icon = dynamic_cast<CItemEffect*>(entry->object)) out.push_back(icon);
    return out;
}

bool IsAlive(const CGameObject* object)
{
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (entry->object == object) return true;
    return false;
}

bool IsFinite(plat::Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

class ItemEffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_FrameTime = 50000;
        camera = new CCamera;
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
        // Identity matrices: world (x, y) in -1..1 is the screen.
        camera->m_View = plat::Mat4::Identity();
        camera->m_Projection = plat::Mat4::Identity();
        auto* sheet = new CTexture;
        std::vector<uint8_t> pixels(256 * 256 * 4, 255);
        sheet->LoadPixels(pixels.data(), 256, 256, 0);
        AddTask(PRIORITY_RESOURCE, sheet, nullptr);
        RegisterResource("Item1BMP", sheet);
    }

    // The world point that the identity camera shows at a screen pixel.
    static plat::Vec3 AtScreen(float x, float y) { return {x / 320.0f - 1.0f, 1.0f - y / 240.0f, 0.5f}; }

    CItemEffect* Icon(plat::Vec3 screen, uint32_t kind, uint32_t count)
    {
        plat::Vec3 w = AtScreen(screen.x, screen.y);
        auto* icon = new CItemEffect(w.x, w.y, w.z, kind, count);
        AddTask(PRIORITY_EFFECT, icon, ITEM_EFFECT_TASK_NAME);
        return icon;
    }

    CSpriteRender* Interface()
    {
        auto* render = new CSpriteRender;
        AddTask(9000, render, SPRITE_RENDER_TASK_NAME);
        return render;
    }

    // Updates until the icon is gone; the count, or -1 past the limit.
    static int UpdatesToRemoval(CItemEffect* icon, int limit = 400)
    {
        for (int n = 1; n <= limit; ++n) {
            icon->Update();
            if (!IsAlive(icon)) return n;
        }
        return -1;
    }

    stagetest::StageEnvironment env;
    CCamera* camera = nullptr;
};

TEST_F(ItemEffectTest, PickUpBurstsHandOverAnIconPerExpiredParticleEachUpdate)
{
    CPSprite* burst = CItemEffect::NewPickUpBurst({1, 2, 3}, CPSprite::KIND_ITEM_POWER, 3);
    AddTask(burst, PRIORITY_EFFECT);
    burst->Update();
    EXPECT_TRUE(Icons().empty());   // nothing has expired yet
    g_FrameTime += 401;             // every life is below 0.4 s
    burst->Update();
    ASSERT_EQ(Icons().size(), 3u);
    for (CItemEffect* icon : Icons()) {
        EXPECT_EQ(icon->m_ItemIndex, 1);
        EXPECT_EQ(icon->m_Side, 1);
    }
    EXPECT_EQ(FindTask(ITEM_EFFECT_TASK_NAME), Icons().front());
    EXPECT_FALSE(IsAlive(burst));   // every particle expired

    auto* sparks = new CPSprite(1, 2, 3, CPSprite::KIND_SPARK_BRIGHT, 5);
    AddTask(sparks, PRIORITY_EFFECT);
    g_FrameTime += 1000;
    sparks->Update();
    EXPECT_EQ(Icons().size(), 3u);
}

TEST_F(ItemEffectTest, KindAndCountChooseTheIconCellAndTarget)
{
    struct Case {
        uint32_t kind, count;
        float tx, ty;
        uint32_t bit;
        int left, top;
    };
    const Case cases[] = {
        {9, 2, 130, 420, CSpriteRender::ITEM_FLASH_SPIN_PLAYER, 0, 0},
        {9, 3, 510, 420, CSpriteRender::ITEM_FLASH_SPIN_ENEMY, 128, 0},
        {10, 2, 10, 260, CSpriteRender::ITEM_FLASH_POWER_PLAYER, 0, 128},
        {10, 3, 630, 260, CSpriteRender::ITEM_FLASH_POWER_ENEMY, 128, 128},
    };
    for (const Case& c : cases) {
        CItemEffect* icon = Icon({320, 240, 0}, c.kind, c.count);
        EXPECT_EQ(icon->m_Target.x, c.tx);
        EXPECT_EQ(icon->m_Target.y, c.ty);
        EXPECT_EQ(CItemEffect::FlashBit(icon->m_ItemIndex, icon->m_Side), c.bit);
        EXPECT_EQ(icon->m_Sprite.m_Source.left, c.left);
        EXPECT_EQ(icon->m_Sprite.m_Source.top, c.top);
        EXPECT_EQ(icon->m_Sprite.m_Source.right, c.left + 128);
        EXPECT_NEAR(icon->m_Position.x, 320, 0.01);
        EXPECT_NEAR(icon->m_Position.y, 240, 0.01);
        EXPECT_NEAR(plat::Length(icon->m_Direction), 1.0f, 1e-5);
    }
}

TEST_F(ItemEffectTest, IconsFromMidScreenArriveAndFlashTheirSide)
{
    CSpriteRender* render = Interface();
    for (auto [kind, count, bit] : {std::tuple{9u, 2u, CSpriteRender::ITEM_FLASH_SPIN_PLAYER},
                                    std::tuple{9u, 3u, CSpriteRender::ITEM_FLASH_SPIN_ENEMY},
                                    std::tuple{10u, 2u, CSpriteRender::ITEM_FLASH_POWER_PLAYER}}) {
        render->m_ItemFlashMask = 0;
        CItemEffect* icon = Icon({320, 240, 0}, kind, count);
        int n = UpdatesToRemoval(icon);
        EXPECT_GT(n, 10);
        EXPECT_LT(n, 60);   // a few dozen updates to cross the screen
        EXPECT_EQ(render->m_ItemFlashMask, bit);
    }
}

TEST_F(ItemEffectTest, WithoutTheInterfaceTheIconStillFliesAndLeaves)
{
    CItemEffect* icon = Icon({320, 240, 0}, 9, 2);
    int n = UpdatesToRemoval(icon);
    EXPECT_GT(n, 10);
    EXPECT_LT(n, 60);
}

TEST_F(ItemEffectTest, IconStartingOnItsTargetStaysFiniteAndTimesOutWithoutAFlash)
{
    CSpriteRender* render = Interface();
    CItemEffect* icon = Icon({130, 420, 0}, 9, 2);
    icon->m_Position = icon->m_Target;   // exactly on it, whatever the projection's rounding
    icon->m_Direction = plat::Normalize(icon->m_Target - icon->m_Position);
    EXPECT_TRUE(IsFinite(icon->m_Direction));
    for (int i = 0; i < 100; ++i) {
        icon->Update();
        ASSERT_TRUE(IsFinite(icon->m_Position));
    }
    int rest = UpdatesToRemoval(icon);
    EXPECT_EQ(100 + rest, 241);
    EXPECT_EQ(render->m_ItemFlashMask, 0u);
}

TEST_F(ItemEffectTest, IconFromAPointWithoutScreenPositionStartsMidScreen)
{
    // A point on the eye's plane projects to infinity.
    camera->m_Projection = plat::Mat4::Identity();
    camera->m_Projection.m[3][3] = 0;
    auto* icon = new CItemEffect(0.2f, 0.3f, 0.4f, 10, 3);
    AddTask(PRIORITY_EFFECT, icon, ITEM_EFFECT_TASK_NAME);
    EXPECT_TRUE(IsFinite(icon->m_Position));
    EXPECT_TRUE(IsFinite(icon->m_Direction));
    for (int i = 0; i < 300 && IsAlive(icon); ++i) {
        icon->Update();
        if (IsAlive(icon)) {
            ASSERT_TRUE(IsFinite(icon->m_Position));
        }
    }
    EXPECT_FALSE(IsAlive(icon));
}

TEST_F(ItemEffectTest, IconThatNeverArrivesGivesUpAfter241Updates)
{
    // The player's spin icon starting right of and below its target moves
    // up and left: its y never passes the target's.
    CSpriteRender* render = Interface();
    CItemEffect* icon = Icon({600, 470, 0}, 9, 2);
    EXPECT_EQ(UpdatesToRemoval(icon), 241);
    EXPECT_EQ(render->m_ItemFlashMask, 0u);
}

TEST_F(ItemEffectTest, BurstOfAnUnknownSizeFliesWithoutFlashing)
{
    CSpriteRender* render = Interface();
    CItemEffect* icon = Icon({320, 240, 0}, 9, 1);
    EXPECT_EQ(CItemEffect::FlashBit(icon->m_ItemIndex, icon->m_Side), 0u);
    UpdatesToRemoval(icon);
    EXPECT_FALSE(IsAlive(icon));
    EXPECT_EQ(render->m_ItemFlashMask, 0u);
}

TEST_F(ItemEffectTest, FlashAtTheTopShowsItsCellGrowsAndLives15Updates)
{
    auto* flash = new CItemEffectKoma(1, {4, 5, 6});
    AddTask(flash, PRIORITY_EFFECT);
    EXPECT_EQ(flash->m_Quad[0].u, 0.5f);
    EXPECT_EQ(flash->m_Quad[0].v, 0.0f);
    EXPECT_EQ(flash->m_Quad[2].u, 1.0f);
    EXPECT_EQ(flash->m_Quad[2].v, 0.5f);
    EXPECT_EQ(flash->m_Quad[1].position.x, 5.0f);
    EXPECT_EQ(flash->m_Scale, 0.5f);
    int n = 0;
    while (IsAlive(flash) && n < 100) {
        flash->Update();
        ++n;
    }
    EXPECT_EQ(n, 15);
}

TEST_F(ItemEffectTest, JumpRingsSinkFasterFadeAndLive13Updates)
{
    auto* ring = new CXFile;
    AddTask(PRIORITY_RESOURCE, ring, "XEffectJump");
    RegisterResource("XEffectJump", ring);
    auto* rings = new CItemEffectJump({1, 10, 2});
    AddTask(PRIORITY_EFFECT, rings, ITEM_EFFECT_JUMP_TASK_NAME);
    rings->Update();
    EXPECT_NEAR(rings->m_Position.y, 9.8f, 1e-5);
    rings->Update();
    EXPECT_NEAR(rings->m_Position.y, 9.8f - 0.22f, 1e-5);
    int n = 2;
    while (IsAlive(rings) && n < 100) {
        rings->Update();
        ++n;
    }
    EXPECT_EQ(n, 13);
}

}   // namespace
