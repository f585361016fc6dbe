// The battle interface: gauge bars and their fills, the slide-in, the spin
// graphs (flat, limited, coloured by the spin), item flashes, the swarm icons,
// the choice of interface per stage and the end of the battle, with the win
// tested before the loss. Everything is read back from the recording device.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "effect/CSpriteRender.h"
#include "effect/CSpriteRender2.h"
#include "effect/CSpriteRenderInit.h"
#include "game/CKomaBase.h"
#include "gfx/CTexture.h"
#include "scene/CResult.h"
#include "tests/StageTestSupport.h"

namespace {

using CallKind = plat::RecordingDevice::CallKind;
constexpr int TEXTURE_SIZE = 512;   // so texture coordinates map back to whole pixels

// A top with no bodies: its spin is whatever the test sets.
class PlainTop : public CKomaBase {
public:
    explicit PlainTop(float spin)
    {
        m_SpinValues[1] = spin;
        m_SpinVector = m_SpinValues;
    }
    void SetSpin(float spin) { m_SpinValues[1] = spin; }

private:
    dReal m_SpinValues[3] = {};
};

struct DrawnSprite {
    plat::Rect rect;
    plat::Vec3 origin, right, down;   // the corners of the source's (0, 0), (w, 0) and (0, h)
    uint32_t colour;
    plat::Blend destBlend;

    float Width() const { return plat::Length(right - origin); }
    float Height() const { return plat::Length(down - origin); }
};

struct DrawnLine {
    float x0, y0, x1, y1;
    uint32_t colour;
};

int ToPixel(float coordinate) { return static_cast<int>(std::lround(coordinate * TEXTURE_SIZE)); }

std::vector<DrawnSprite> Sprites(const plat::RecordingDevice& device)
{
    std::vector<DrawnSprite> out;
    for (const auto& call : device.Calls()) {
        if (call.kind != CallKind::DrawUser || call.primitive != plat::Primitive::TriangleList) continue;
        const auto& v = call.vertices;
        for (size_t k = 0; k + 6 <= v.size(); k += 6) {
            plat::Rect r{ToPixel(v[k].u), ToPixel(v[k].v), ToPixel(v[k + 1].u), ToPixel(v[k + 2].v)};
            out.push_back({r, v[k].position, v[k + 1].position, v[k + 5].position, v[k].color,
                           call.state.rs.destBlend});
        }
    }
    return out;
}

std::vector<DrawnSprite> SpritesOf(const plat::RecordingDevice& device, plat::Rect region)
{
    std::vector<DrawnSprite> out;
    for (const DrawnSprite& s : Sprites(device))
        if (s.rect.left == region.left && s.rect.top == region.top && s.rect.right == region.right &&
            s.rect.bottom == region.bottom)
            out.push_back(s);
    return out;
}

std::vector<DrawnLine> Lines(const plat::RecordingDevice& device)
{
    std::vector<DrawnLine> out;
    for (const auto& call : device.Calls()) {
        if (call.kind != CallKind::DrawUser || call.primitive != plat::Primitive::LineStrip) continue;
        const auto& v = call.vertices;
        if (v.size() != 2) continue;
        out.push_back({v[0].position.x, v[0].position.y, v[1].position.x, v[1].position.y, v[0].color});
    }
    return out;
}

using Base = CSpriteRenderBase;

class CSpriteRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_StageIndex = 0;
        auto* texture = new CTexture;
        std::vector<uint8_t> pixels(TEXTURE_SIZE * TEXTURE_SIZE * 4, 255);
        texture->LoadPixels(pixels.data(), TEXTURE_SIZE, TEXTURE_SIZE, 0);
        AddTask(PRIORITY_RESOURCE, texture, nullptr);
        RegisterResource("InterfaceBMP", texture);
    }
    void TearDown() override { g_StageIndex = 0; }

    PlainTop* AddTop(const char* name, float spin, int gauge = 0)
    {
        auto* top = new PlainTop(spin);
        top->m_Gauge = gauge;
        AddTask(4000, top, name);
        return top;
    }

    CSpriteRender* AddDuel(float playerSpin = 130, float enemySpin = 130)
    {
        player = AddTop("CKoma", playerSpin);
        enemy = AddTop("St1Enemy", enemySpin);
        auto* hud = new CSpriteRender;
        AddTask(PRIORITY_SPRITE_RENDER, hud, SPRITE_RENDER_TASK_NAME);
        return hud;
    }

    // One frame with only its own draws recorded.
    void Frame()
    {
        env.device.ClearCalls();
        env.Frame();
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }

    int ResultKind() const
    {
        auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME));
        return result ? result->Kind() : -1;
    }

    stagetest::StageEnvironment env;
    PlainTop* player = nullptr;
    PlainTop* enemy = nullptr;
};

TEST_F(CSpriteRenderTest, AGaugeOfZeroShowsANinePixelStubAnd270A279PixelFill)
{
    AddDuel();
    player->m_Gauge = 0;
    enemy->m_Gauge = 270;
    Frame();
    auto backs = SpritesOf(env.device, Base::GAUGE_BACK);
    ASSERT_EQ(backs.size(), 2u);
    auto stub = SpritesOf(env.device, {0, 64, 9, 112});
    auto full = SpritesOf(env.device, {0, 64, 279, 112});
    ASSERT_EQ(stub.size(), 1u);
    ASSERT_EQ(full.size(), 1u);
    EXPECT_NEAR(stub[0].Width(), 9, 1e-3);
    EXPECT_NEAR(full[0].Width(), 279, 1e-3);
    EXPECT_NEAR(backs[1].Width(), 320, 1e-3);
    // The bars stand upright, growing upwards from their foot at y 470.
    EXPECT_NEAR(full[0].origin.y, 470, 1e-3);
    EXPECT_NEAR(full[0].right.y, 470 - 279, 1e-3);
    EXPECT_NEAR(full[0].right.x, full[0].origin.x, 1e-3);
    EXPECT_EQ(full[0].colour >> 24, 200u);
    EXPECT_LT(stub[0].origin.x, full[0].origin.x);   // the player's bar on the left
}

TEST_F(CSpriteRenderTest, SlidesInOverFortyFramesAndShowsTheGraphsOnlyThen)
{
    auto* hud = AddDuel();
    EXPECT_EQ(hud->m_SlideOffset, 80);
    for (int frame = 1; frame <= 42; ++frame) {
        Frame();
        float s = static_cast<float>(std::max(80 - 2 * frame, 0));
        ASSERT_EQ(hud->m_SlideOffset, static_cast<int>(s));
        auto backs = SpritesOf(env.device, Base::GAUGE_BACK);
        auto meters = SpritesOf(env.device, Base::METER_FRAME);
        auto labels = SpritesOf(env.device, Base::GAUGE_LABEL);
        ASSERT_EQ(backs.size(), 2u);
        ASSERT_EQ(meters.size(), 2u);
        ASSERT_EQ(labels.size(), 2u);
        EXPECT_FLOAT_EQ(backs[0].origin.x, 10 - s);
        EXPECT_FLOAT_EQ(backs[1].origin.x, 575 + s);
        EXPECT_FLOAT_EQ(meters[0].origin.y, 390 + s);
        EXPECT_FLOAT_EQ(labels[1].origin.x, 565 + s);
        EXPECT_EQ(Lines(env.device).size(), s == 0 ? 220u : 0u) << "frame " << frame;
    }
    auto meters = SpritesOf(env.device, Base::METER_FRAME);
    EXPECT_NEAR(meters[0].Height(), 80, 1e-3);   // scaled twice in height
}

TEST_F(CSpriteRenderTest, AFlatHistoryDrawsAFlatLineAt430WithItsFill)
{
    auto* hud = AddDuel(130, 130);
    hud->m_SlideOffset = 0;
    Frame();
    auto lines = Lines(env.device);
    ASSERT_EQ(lines.size(), 220u);   // 110 per graph
    const uint32_t purple = plat::ARGB(255, 128, 0, 128);
    for (int graph = 0; graph < 2; ++graph) {
        float x0 = graph == 0 ? 0.0f : CSpriteRender::ENEMY_GRAPH_X;
        for (int m = 0; m < 10; ++m) {
            const DrawnLine& seg = lines[graph * 110 + m * 11];
            EXPECT_FLOAT_EQ(seg.x0, x0 + 80 + 10 * m);
            EXPECT_FLOAT_EQ(seg.x1, x0 + 90 + 10 * m);
            EXPECT_FLOAT_EQ(seg.y0, 430);
            EXPECT_FLOAT_EQ(seg.y1, 430);
            EXPECT_EQ(seg.colour, purple);
            for (int i = 0; i < 10; ++i) {
                const DrawnLine& fill = lines[graph * 110 + m * 11 + 1 + i];
                EXPECT_FLOAT_EQ(fill.x0, x0 + 80 + 10 * m + i);
                EXPECT_FLOAT_EQ(fill.x1, fill.x0);
                EXPECT_FLOAT_EQ(fill.y0, 430);
                EXPECT_FLOAT_EQ(fill.y1, 465);
                EXPECT_EQ(fill.colour, purple);
            }
        }
    }
}

TEST_F(CSpriteRenderTest, ValuesBeyondThreeAndAHalfAreDrawnAtTheLimits)
{
    EXPECT_FLOAT_EQ(Base::GraphY(103.5f, 100), 395);
    EXPECT_FLOAT_EQ(Base::GraphY(103.4f, 100), 396);
    EXPECT_FLOAT_EQ(Base::GraphY(250, 100), 395);
    EXPECT_FLOAT_EQ(Base::GraphY(96.5f, 100), 465);
    EXPECT_FLOAT_EQ(Base::GraphY(0, 100), 465);

    auto* hud = AddDuel(100, 100);
    hud->m_SlideOffset = 0;
    std::fill(std::begin(hud->m_SpinHistory), std::end(hud->m_SpinHistory), 100.0f);
    hud->m_SpinHistory[10] = 90;    // the oldest, left end of the first segment
    hud->m_SpinHistory[0] = 110;    // the newest, right end of the last
    // Drawn straight after the set-up, before an update could take a sample.
    env.device.ClearCalls();
    hud->Draw();
    auto lines = Lines(env.device);
    ASSERT_EQ(lines.size(), 220u);
    EXPECT_FLOAT_EQ(lines[0].y0, 465);
    EXPECT_FLOAT_EQ(lines[0].y1, 430);
    const DrawnLine& last = lines[9 * 11];
    EXPECT_FLOAT_EQ(last.y0, 430);
    EXPECT_FLOAT_EQ(last.y1, 395);
    // The fill follows the limited segment down to 465.
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(lines[9 * 11 + 1 + i].y0, 430 - 3.5f * i, 1e-4);
}

TEST_F(CSpriteRenderTest, TheGraphIsRedForASlowTopAndBlueForAFastOne)
{
    EXPECT_EQ(Base::GraphColour(30), 0xFFFF0000u);
    EXPECT_EQ(Base::GraphColour(130), plat::ARGB(255, 128, 0, 128));
    EXPECT_EQ(Base::GraphColour(230), 0xFF0000FFu);
    EXPECT_EQ(Base::GraphColour(0), 0xFFFF0000u);     // limited, not wrapped
    EXPECT_EQ(Base::GraphColour(400), 0xFF0000FFu);
    EXPECT_EQ(Base::GraphColour(std::nanf("")), 0xFF000000u);

    auto* hud = AddDuel(30, 230);
    hud->m_SlideOffset = 0;
    Frame();
    auto lines = Lines(env.device);
    ASSERT_EQ(lines.size(), 220u);
    EXPECT_EQ(lines[0].colour, 0xFFFF0000u);
    EXPECT_EQ(lines[110].colour, 0xFF0000FFu);
}

TEST_F(CSpriteRenderTest, TheHistoryTakesASampleOnceASecond)
{
    auto* hud = AddDuel(130, 200);
    player->SetSpin(120);
    Frames(59);
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[0], 130);
    Frame();
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[0], 120);
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[1], 130);
    EXPECT_FLOAT_EQ(hud->m_EnemySpinHistory[0], 200);
    player->SetSpin(110);
    Frames(60 * 11);   // eleven samples replace the whole history
    for (float v : hud->m_SpinHistory) EXPECT_FLOAT_EQ(v, 110);
}

TEST_F(CSpriteRenderTest, AnItemFlashLastsOneFrame)
{
    auto* hud = AddDuel();
    hud->m_SlideOffset = 0;
    hud->m_ItemFlashMask = CSpriteRender::ITEM_FLASH_POWER_PLAYER | CSpriteRender::ITEM_FLASH_SPIN_ENEMY;
    Frame();
    auto backs = SpritesOf(env.device, Base::GAUGE_BACK);
    ASSERT_EQ(backs.size(), 3u);
    const DrawnSprite& power = backs[0];
    EXPECT_EQ(power.destBlend, plat::Blend::One);   // the power flash glows
    EXPECT_NEAR(power.Width(), 384, 1e-2);
    EXPECT_GE(power.origin.x, 0);
    EXPECT_LT(power.origin.x, 20);
    EXPECT_GE(power.origin.y, 460);
    EXPECT_LT(power.origin.y, 480);
    EXPECT_EQ(power.colour >> 24, 250u);
    EXPECT_EQ(backs[1].destBlend, plat::Blend::InvSrcAlpha);

    auto meters = SpritesOf(env.device, Base::METER_FRAME);
    ASSERT_EQ(meters.size(), 3u);
    EXPECT_GE(meters[0].origin.x, 450);
    EXPECT_LT(meters[0].origin.x, 470);
    EXPECT_NEAR(meters[0].Width(), 120, 1e-2);
    EXPECT_NEAR(meters[0].Height(), 88, 1e-2);

    EXPECT_EQ(hud->m_ItemFlashMask, 0u);
    Frame();
    EXPECT_EQ(SpritesOf(env.device, Base::GAUGE_BACK).size(), 2u);
    EXPECT_EQ(SpritesOf(env.device, Base::METER_FRAME).size(), 2u);
}

TEST_F(CSpriteRenderTest, TheWinIsTestedBeforeTheLoss)
{
    struct Case {
        bool enemyDown, playerDown;
        int kind;
    };
    for (Case c : {Case{true, true, CResult::KIND_CLEAR}, Case{true, false, CResult::KIND_CLEAR},
                   Case{false, true, CResult::KIND_GAME_OVER}, Case{false, false, -1}}) {
        SCOPED_TRACE(::testing::Message() << c.enemyDown << c.playerDown);
        auto* hud = AddDuel();
        enemy->m_Down = c.enemyDown;
        player->m_Down = c.playerDown;
        Frame();
        EXPECT_EQ(ResultKind(), c.kind);
        EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME) != nullptr, c.kind < 0);
        if (c.kind < 0) RemoveTask(hud);
        RemoveTask(FindTask(RESULT_TASK_NAME));
        RemoveTask(player);
        RemoveTask(enemy);
    }
}

TEST_F(CSpriteRenderTest, TheStartWaitsForTheStagesEnemy)
{
    AddTask(PRIORITY_SPRITE_RENDER_INIT, new CSpriteRenderInit, SPRITE_RENDER_INIT_TASK_NAME);
    AddTop("CKoma", 130);
    Frames(5);
    EXPECT_NE(FindTask(SPRITE_RENDER_INIT_TASK_NAME), nullptr);
    EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME), nullptr);
    AddTop("St1Enemy", 200);
    Frame();
    EXPECT_EQ(FindTask(SPRITE_RENDER_INIT_TASK_NAME), nullptr);
    auto* hud = dynamic_cast<CSpriteRender*>(FindTask(SPRITE_RENDER_TASK_NAME));
    ASSERT_NE(hud, nullptr);
    EXPECT_FLOAT_EQ(hud->m_EnemySpinHistory[10], 200);
}

TEST_F(CSpriteRenderTest, StagesTwoAndFiveGetTheirOwnInterface)
{
    // Stage 2 waits for the swarm manager.
    g_StageIndex = 1;
    AddTop("CKoma", 130);
    AddTask(PRIORITY_SPRITE_RENDER_INIT, new CSpriteRenderInit, SPRITE_RENDER_INIT_TASK_NAME);
    Frames(3);
    EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME), nullptr);
    AddTask(4000, new CGameObject, "St2Enemy");
    Frame();
    EXPECT_NE(dynamic_cast<CSpriteRender2*>(FindTask(SPRITE_RENDER_TASK_NAME)), nullptr);
    RemoveTask(FindTask(SPRITE_RENDER_TASK_NAME));
    RemoveTask(FindTask("St2Enemy"));

    // Stage 5: the boss going down is the win.
    g_StageIndex = 4;
    AddTask(PRIORITY_SPRITE_RENDER_INIT, new CSpriteRenderInit, SPRITE_RENDER_INIT_TASK_NAME);
    PlainTop* boss = AddTop("St5Enemy", 150);
    Frame();
    auto* hud = dynamic_cast<CSpriteRender2*>(FindTask(SPRITE_RENDER_TASK_NAME));
    ASSERT_NE(hud, nullptr);
    EXPECT_EQ(hud->m_St5Enemy, boss);
    Frame();
    EXPECT_EQ(ResultKind(), -1);
    boss->m_Down = 1;
    Frame();
    EXPECT_EQ(ResultKind(), CResult::KIND_CLEAR);
    EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME), nullptr);
}

TEST_F(CSpriteRenderTest, TheSwarmIconsCountDownInRowsOfTen)
{
    EXPECT_EQ(CSpriteRender2::SwarmIconsLeft(0), 20);
    EXPECT_EQ(CSpriteRender2::SwarmIconsLeft(25), 0);
    EXPECT_EQ(CSpriteRender2::SwarmIconsLeft(-3), 20);
    EXPECT_FALSE(CSpriteRender2::SwarmBeaten(19));
    EXPECT_TRUE(CSpriteRender2::SwarmBeaten(20));

    g_StageIndex = 1;
    player = AddTop("CKoma", 130);
    auto* hud = new CSpriteRender2;
    AddTask(PRIORITY_SPRITE_RENDER, hud, SPRITE_RENDER_TASK_NAME);
    int defeated = 0;
    hud->m_SwarmDefeated = &defeated;
    for (int d : {0, 5, 13, 19}) {
        SCOPED_TRACE(d);
        defeated = d;
        Frame();
        auto icons = SpritesOf(env.device, Base::SWARM_ICON);
        ASSERT_EQ(static_cast<int>(icons.size()), 20 - d);
        for (size_t i = 0; i < icons.size(); ++i) {
            EXPECT_FLOAT_EQ(icons[i].origin.x, 400 + 20 * static_cast<float>(i % 10));
            EXPECT_FLOAT_EQ(icons[i].origin.y, 400 + 20 * static_cast<float>(i / 10));
        }
        // One graph, drawn from the first frame on.
        EXPECT_EQ(Lines(env.device).size(), 110u);
        EXPECT_EQ(ResultKind(), -1);
    }
    defeated = 20;
    player->m_Down = 1;   // both sides down: the swarm's defeat comes first
    Frame();
    EXPECT_EQ(SpritesOf(env.device, Base::SWARM_ICON).size(), 0u);
    EXPECT_EQ(ResultKind(), CResult::KIND_CLEAR);
    EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME), nullptr);
}

TEST_F(CSpriteRenderTest, WithoutTheInterfacePictureTheBattleStillEnds)
{
    ClearResources();
    AddDuel();
    Frame();
    EXPECT_TRUE(Sprites(env.device).empty());
    enemy->m_Down = 1;
    Frame();
    EXPECT_EQ(ResultKind(), CResult::KIND_CLEAR);
}

}  // namespace
