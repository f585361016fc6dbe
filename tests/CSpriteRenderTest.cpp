// The battle interface: gauge fills, the slide-in, the spin graphs (flat,
// limited, coloured by the spin), item flashes, swarm icons, the choice of
// interface per stage and the end of the battle with the win tested before
// the loss, handed to the round's result in a match of two. Everything is
// read back from the recording device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/VersusMatch.h"
#include "effect/EdgeMarker.h"
#include "game/CKomaBase.h"
#include "game/TopSide.h"
#include "gfx/CTexture.h"
#include "hud/CSpriteRender.h"
#include "hud/CSpriteRender2.h"
#include "hud/CSpriteRenderInit.h"
#include "input/CInput.h"
#include "scene/CResult.h"
#include "scene/CVersusResult.h"
#include "tests/StageTestSupport.h"

namespace {

using CallKind = plat::RecordingDevice::CallKind;
using Base = CSpriteRenderBase;
constexpr int TEXTURE_SIZE = 512;   // texture coordinates map back to whole pixels

// A top with no bodies: its spin is whatever the test sets.
class PlainTop : public CKomaBase {
public:
    explicit PlainTop(float spin)
    {
        SetSpin(spin);
        m_SpinVector = m_SpinValues;
    }
    void SetSpin(float spin) { m_SpinValues[1] = spin; }

private:
    double m_SpinValues[3] = {};
};

struct Sprite {
    plat::Rect rect;
    plat::Vec3 origin, right, down;   // where the source's (0, 0), (w, 0) and (0, h) went
    uint32_t colour;
    plat::Blend destBlend;
    float Width() const { return plat::Length(right - origin); }
    float Height() const { return plat::Length(down - origin); }
};

struct Line {
    float x0, y0, x1, y1;
    uint32_t colour;
};

bool Same(const plat::Rect& a, const plat::Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

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

    PlainTop* AddTop(const char* name, float spin)
    {
        auto* top = new PlainTop(spin);
        AddTask(4000, top, name);
        return top;
    }

    CSpriteRender* AddDuel(float playerSpin = 130, float enemySpin = 130, bool slidIn = true)
    {
        player = AddTop("CKoma", playerSpin);
        enemy = AddTop("St1Enemy", enemySpin);
        auto* hud = new CSpriteRender;
        AddTask(PRIORITY_SPRITE_RENDER, hud, SPRITE_RENDER_TASK_NAME);
        if (slidIn) hud->m_SlideOffset = 0;
        return hud;
    }

    // Removes everything but the interface picture.
    static void ClearBattle()
    {
        std::vector<CGameObject*> battle;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (e->priority != PRIORITY_RESOURCE) battle.push_back(e->object);
        for (CGameObject* object : battle) RemoveTask(object);
    }

    // One frame with only its own draws recorded.
    void Frame()
    {
        env.device.ClearCalls();
        env.Frame();
    }

    std::vector<Sprite> Sprites(const plat::Rect& region) const
    {
        auto pixel = [](float t) { return static_cast<int>(std::lround(t * TEXTURE_SIZE)); };
        std::vector<Sprite> out;
        for (const auto& call : env.device.Calls()) {
            if (call.kind != CallKind::DrawUser || call.primitive != plat::Primitive::TriangleList) continue;
            const auto& v = call.vertices;
            for (size_t k = 0; k + 6 <= v.size(); k += 6) {
                plat::Rect r{pixel(v[k].u), pixel(v[k].v), pixel(v[k + 1].u), pixel(v[k + 2].v)};
                if (Same(r, region))
                    out.push_back(
                        {r, v[k].position, v[k + 1].position, v[k + 5].position, v[k].color, call.state.rs.destBlend});
            }
        }
        return out;
    }

    std::vector<Line> Lines() const
    {
        std::vector<Line> out;
        for (const auto& call : env.device.Calls()) {
            if (call.kind != CallKind::DrawUser || call.primitive != plat::Primitive::LineList) continue;
            const auto& v = call.vertices;
            for (size_t k = 0; k + 2 <= v.size(); k += 2)
                out.push_back({v[k].position.x, v[k].position.y, v[k + 1].position.x, v[k + 1].position.y, v[k].color});
        }
        return out;
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
    auto stub = Sprites({0, 64, 9, 112});
    auto full = Sprites({0, 64, 279, 112});
    ASSERT_EQ(stub.size(), 1u);
    ASSERT_EQ(full.size(), 1u);
    EXPECT_NEAR(stub[0].Width(), 9, 1e-3);
    EXPECT_NEAR(Sprites(Base::GAUGE_BACK)[1].Width(), 320, 1e-3);
    // Upright, growing upwards from the foot at y 470; the player's on the left.
    EXPECT_NEAR(full[0].origin.y, 470, 1e-3);
    EXPECT_NEAR(full[0].right.y, 470 - 279, 1e-3);
    EXPECT_NEAR(full[0].right.x, full[0].origin.x, 1e-3);
    EXPECT_LT(stub[0].origin.x, full[0].origin.x);
}

TEST_F(CSpriteRenderTest, SlidesInOverFortyFramesAndOnlyThenShowsTheGraphs)
{
    auto* hud = AddDuel(130, 130, false);
    for (int frame = 1; frame <= 42; ++frame) {
        Frame();
        float s = static_cast<float>(std::max(80 - 2 * frame, 0));
        ASSERT_EQ(hud->m_SlideOffset, static_cast<int>(s));
        auto backs = Sprites(Base::GAUGE_BACK);
        auto meters = Sprites(Base::METER_FRAME);
        ASSERT_EQ(backs.size(), 2u);
        ASSERT_EQ(meters.size(), 2u);
        EXPECT_FLOAT_EQ(backs[0].origin.x, 10 - s);
        EXPECT_FLOAT_EQ(backs[1].origin.x, 575 + s);
        EXPECT_FLOAT_EQ(meters[0].origin.y, 390 + s);
        EXPECT_FLOAT_EQ(Sprites(Base::GAUGE_LABEL)[1].origin.x, 565 + s);
        EXPECT_EQ(Lines().size(), s == 0 ? 220u : 0u) << "frame " << frame;
    }
}

TEST_F(CSpriteRenderTest, AFlatHistoryDrawsAFlatLineAt430WithItsFill)
{
    AddDuel(130, 130);
    Frame();
    auto lines = Lines();
    ASSERT_EQ(lines.size(), 220u);   // 110 per graph
    const uint32_t purple = plat::ARGB(255, 128, 0, 128);
    for (size_t k = 0; k < lines.size(); ++k) {
        const Line& l = lines[k];
        float x0 = (k < 110 ? 0.0f : CSpriteRender::ENEMY_GRAPH_X) + 80 + 10 * static_cast<float>(k % 110 / 11);
        int fill = static_cast<int>(k % 11) - 1;   // -1: the segment itself
        EXPECT_EQ(l.colour, purple);
        EXPECT_FLOAT_EQ(l.y0, 430);
        if (fill < 0) {
            EXPECT_FLOAT_EQ(l.x0, x0);
            EXPECT_FLOAT_EQ(l.x1, x0 + 10);
            EXPECT_FLOAT_EQ(l.y1, 430);
        } else {
            EXPECT_FLOAT_EQ(l.x0, x0 + static_cast<float>(fill));
            EXPECT_FLOAT_EQ(l.x1, l.x0);
            EXPECT_FLOAT_EQ(l.y1, 465);
        }
    }
}

TEST_F(CSpriteRenderTest, GraphValuesAreLimitedAndColouredByTheSpin)
{
    EXPECT_FLOAT_EQ(Base::GraphY(103.5f, 100), 395);
    EXPECT_FLOAT_EQ(Base::GraphY(103.4f, 100), 396);
    EXPECT_FLOAT_EQ(Base::GraphY(96.5f, 100), 465);
    EXPECT_EQ(Base::GraphColour(30), 0xFFFF0000u);
    EXPECT_EQ(Base::GraphColour(130), plat::ARGB(255, 128, 0, 128));
    EXPECT_EQ(Base::GraphColour(230), 0xFF0000FFu);
    EXPECT_EQ(Base::GraphColour(0), 0xFFFF0000u);   // limited, not wrapped
    EXPECT_EQ(Base::GraphColour(400), 0xFF0000FFu);
    EXPECT_EQ(Base::GraphColour(std::nanf("")), 0xFF000000u);

    auto* hud = AddDuel(100, 230);
    std::fill(std::begin(hud->m_SpinHistory), std::end(hud->m_SpinHistory), 100.0f);
    hud->m_SpinHistory[10] = 90;   // the oldest, left end of the first segment
    hud->m_SpinHistory[0] = 110;   // the newest, right end of the last
    hud->Draw();
    auto lines = Lines();
    ASSERT_EQ(lines.size(), 220u);
    EXPECT_FLOAT_EQ(lines[0].y0, 465);
    EXPECT_FLOAT_EQ(lines[99].y1, 395);
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(lines[100 + i].y0, 430 - 3.5f * i, 1e-4);   // the fill follows
    EXPECT_EQ(lines[110].colour, 0xFF0000FFu);                                           // the enemy's fast top
}

TEST_F(CSpriteRenderTest, TheHistoryTakesASampleOnceASecond)
{
    auto* hud = AddDuel(130, 200);
    player->SetSpin(120);
    for (int i = 0; i < 59; ++i) Frame();
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[0], 130);
    Frame();
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[0], 120);
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[1], 130);
    EXPECT_FLOAT_EQ(hud->m_SpinHistory[10], 130);
    EXPECT_FLOAT_EQ(hud->m_EnemySpinHistory[0], 200);
}

TEST_F(CSpriteRenderTest, AnItemFlashLastsOneFrame)
{
    auto* hud = AddDuel();
    hud->m_ItemFlashMask = CSpriteRender::ITEM_FLASH_POWER_PLAYER | CSpriteRender::ITEM_FLASH_SPIN_ENEMY;
    Frame();
    auto backs = Sprites(Base::GAUGE_BACK);
    ASSERT_EQ(backs.size(), 3u);
    EXPECT_EQ(backs[0].destBlend, plat::Blend::One);   // the power flash glows
    EXPECT_EQ(backs[1].destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_NEAR(backs[0].Width(), 384, 1e-2);
    EXPECT_TRUE(backs[0].origin.x >= 0 && backs[0].origin.x < 20 && backs[0].origin.y >= 460 &&
                backs[0].origin.y < 480);
    auto meters = Sprites(Base::METER_FRAME);
    ASSERT_EQ(meters.size(), 3u);
    EXPECT_TRUE(meters[0].origin.x >= 450 && meters[0].origin.x < 470);
    EXPECT_NEAR(meters[0].Height(), 88, 1e-2);

    Frame();
    EXPECT_EQ(Sprites(Base::GAUGE_BACK).size(), 2u);
    EXPECT_EQ(Sprites(Base::METER_FRAME).size(), 2u);
}

TEST_F(CSpriteRenderTest, TheWinIsTestedBeforeTheLoss)
{
    struct Case {
        bool enemyDown, playerDown;
        int kind;
    };
    for (Case c :
         {Case{true, true, CResult::KIND_CLEAR}, Case{false, true, CResult::KIND_GAME_OVER}, Case{false, false, -1}}) {
        SCOPED_TRACE(::testing::Message() << c.enemyDown << c.playerDown);
        ClearBattle();
        AddDuel();
        enemy->m_Down = c.enemyDown;
        player->m_Down = c.playerDown;
        Frame();
        EXPECT_EQ(ResultKind(), c.kind);
        EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME) != nullptr, c.kind < 0);
    }
}

TEST_F(CSpriteRenderTest, InAMatchOfTwoTheEndOfTheDuelScoresTheRoundInsteadOfOpeningTheResult)
{
    struct Case {
        bool enemyDown;
        int winner;
    };
    for (Case c : {Case{true, VersusMatch::PLAYER_1}, Case{false, VersusMatch::PLAYER_2}}) {
        SCOPED_TRACE(c.enemyDown);
        ClearBattle();
        VersusMatch::Current().Begin(0);
        AddDuel();
        enemy->m_Down = c.enemyDown;
        player->m_Down = !c.enemyDown;
        Frame();
        EXPECT_EQ(ResultKind(), -1);
        const auto* round = dynamic_cast<CVersusResult*>(FindTask(VERSUS_RESULT_TASK_NAME));
        ASSERT_NE(round, nullptr);
        EXPECT_EQ(round->RoundWinner(), c.winner);
        EXPECT_EQ(VersusMatch::Current().Score(c.winner), 1);
        EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME), nullptr);
    }
    VersusMatch::Current().End();
}

TEST_F(CSpriteRenderTest, TheStartWaitsForTheStagesEnemyAndPicksTheInterface)
{
    struct Case {
        int stage;
        const char* enemy;
        bool duel;
    };
    for (Case c : {Case{0, "St1Enemy", true}, Case{2, "St3Enemy", true}, Case{1, "St2Enemy", false},
                   Case{4, "St5Enemy", false}}) {
        SCOPED_TRACE(c.enemy);
        ClearBattle();
        g_StageIndex = c.stage;
        AddTask(PRIORITY_SPRITE_RENDER_INIT, new CSpriteRenderInit, SPRITE_RENDER_INIT_TASK_NAME);
        AddTop("CKoma", 130);
        for (int i = 0; i < 3; ++i) Frame();
        EXPECT_EQ(FindTask(SPRITE_RENDER_TASK_NAME), nullptr);
        PlainTop* foe = AddTop(c.enemy, 200);
        Frame();
        EXPECT_EQ(FindTask(SPRITE_RENDER_INIT_TASK_NAME), nullptr);
        CGameObject* hud = FindTask(SPRITE_RENDER_TASK_NAME);
        EXPECT_EQ(dynamic_cast<CSpriteRender*>(hud) != nullptr, c.duel);
        EXPECT_EQ(dynamic_cast<CSpriteRender2*>(hud) != nullptr, !c.duel);
        if (c.stage != 4) continue;
        // On stage 5 the boss going down is the win.
        EXPECT_EQ(dynamic_cast<CSpriteRender2*>(hud)->m_St5Enemy, foe);
        foe->m_Down = 1;
        Frame();
        EXPECT_EQ(ResultKind(), CResult::KIND_CLEAR);
    }
}

TEST_F(CSpriteRenderTest, TheSwarmIconsCountDownInRowsOfTen)
{
    EXPECT_EQ(CSpriteRender2::SwarmIconsLeft(25), 0);
    EXPECT_EQ(CSpriteRender2::SwarmIconsLeft(-3), 20);
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
        auto icons = Sprites(Base::SWARM_ICON);
        ASSERT_EQ(static_cast<int>(icons.size()), 20 - d);
        for (size_t i = 0; i < icons.size(); ++i) {
            EXPECT_FLOAT_EQ(icons[i].origin.x, 400 + 20 * static_cast<float>(i % 10));
            EXPECT_FLOAT_EQ(icons[i].origin.y, 400 + 20 * static_cast<float>(i / 10));
        }
        EXPECT_EQ(Lines().size(), 110u);   // one graph, from the first frame on
        EXPECT_EQ(ResultKind(), -1);
    }
    defeated = 20;
    player->m_Down = 1;   // both sides down: the swarm's defeat comes first
    Frame();
    EXPECT_TRUE(Sprites(Base::SWARM_ICON).empty());
    EXPECT_EQ(ResultKind(), CResult::KIND_CLEAR);
}

// Both interfaces mark the player's panel, and the duel the enemy's, with
// tags that slide in with the labels beside them.
TEST_F(CSpriteRenderTest, TagsSayWhosePanelIsWhose)
{
    AddDuel(130, 130, false);
    Frame();
    auto mine = Sprites(Base::PLAYER_TAG), theirs = Sprites(Base::ENEMY_TAG);
    ASSERT_EQ(mine.size(), 2u);
    ASSERT_EQ(theirs.size(), 2u);
    const float s = 78;
    EXPECT_FLOAT_EQ(mine[0].origin.x, 8 - s) << "above the player's gauge label, sliding with it";
    EXPECT_FLOAT_EQ(theirs[0].origin.x, 571 + s);
    EXPECT_FLOAT_EQ(mine[1].origin.y, 360 + s) << "beside the spin label, rising with it";
    EXPECT_LT(mine[1].origin.x, theirs[1].origin.x);

    ClearBattle();
    g_StageIndex = 4;
    player = AddTop("CKoma", 130);
    AddTask(PRIORITY_SPRITE_RENDER, new CSpriteRender2, SPRITE_RENDER_TASK_NAME);
    Frame();
    EXPECT_EQ(Sprites(Base::PLAYER_TAG).size(), 2u);
    EXPECT_TRUE(Sprites(Base::ENEMY_TAG).empty()) << "the boss has no panel of its own";
}

// The key reminder shows for the first eight seconds, then only after ten
// seconds in which no battle key was held. It is cut from the hint picture the
// stage loaded, not from one of its own.
TEST_F(CSpriteRenderTest, TheKeyReminderShowsAtTheStartAndAfterTenIdleSeconds)
{
    auto* hint = new CTexture;
    std::vector<uint8_t> pixels(TEXTURE_SIZE * TEXTURE_SIZE * 4, 200);
    hint->LoadPixels(pixels.data(), TEXTURE_SIZE, TEXTURE_SIZE, 0);
    AddTask(PRIORITY_RESOURCE, hint, nullptr);
    RegisterResource(TopSide::TAG_PICTURE_KEY, hint);
    CInput::FindOrCreate();
    auto* hud = AddDuel();
    for (int frame = 1; frame <= Base::HINT_OPENING_FRAMES; ++frame) {
        Frame();
        ASSERT_TRUE(hud->HintShown()) << frame;
    }
    const auto& calls = env.device.Calls();
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(),
                            [&](const auto& call) { return call.state.texture == hint->Texture(); }));
    env.keys.SetKey(plat::KEY_LEFT, true);
    Frame();
    EXPECT_FALSE(hud->HintShown());
    env.keys.SetKey(plat::KEY_LEFT, false);
    for (int idle = 1; idle < Base::HINT_IDLE_FRAMES; ++idle) Frame();
    EXPECT_FALSE(hud->HintShown());
    Frame();
    EXPECT_TRUE(hud->HintShown());
    env.keys.SetKey(plat::KEY_Z, true);
    Frame();
    EXPECT_FALSE(hud->HintShown()) << "any battle key puts it away";
}

// Where the arrow for a point out of view goes: on the picture's edge (20
// pixels in), on the side of the point, pointing at it; nothing for a point
// in view. The camera looks along +z from the origin.
struct EdgeCase {
    const char* name;
    plat::Vec3 point;
    bool marked;
    float x, y;    // where the arrow stands, when marked (negative: anywhere on that line)
    float angle;   // radians
};

class EdgeMarkerTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeMarkerTest, ArrowStandsOnTheEdgeTowardsThePoint)
{
    const EdgeCase& c = GetParam();
    const plat::Mat4 view = plat::LookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    const plat::Mat4 projection = plat::PerspectiveFovLH(60 * 3.1415927f / 180, 4.0f / 3, 1, 5000);
    auto marker = EdgeMarker::For(c.point, view, projection);
    ASSERT_EQ(marker.has_value(), c.marked);
    if (!marker) return;
    if (c.x >= 0) {
        EXPECT_NEAR(marker->x, c.x, 0.01);
    }
    if (c.y >= 0) {
        EXPECT_NEAR(marker->y, c.y, 0.01);
    }
    EXPECT_NEAR(std::remainder(marker->angle - c.angle, 2 * 3.1415927f), 0.0f, 1e-3);   // -pi and pi alike
    EXPECT_GE(marker->x, 20 - 0.01);
    EXPECT_LE(marker->x, 620 + 0.01);
    EXPECT_GE(marker->y, 20 - 0.01);
    EXPECT_LE(marker->y, 460 + 0.01);
}

constexpr float PI = 3.1415927f;
INSTANTIATE_TEST_SUITE_P(Points, EdgeMarkerTest,
                         ::testing::Values(EdgeCase{"ahead", {0, 0, 50}, false, 0, 0, 0},
                                           EdgeCase{"nearTheLeftEdge", {-30, 0, 50}, false, 0, 0, 0},
                                           EdgeCase{"farLeft", {-500, 0, 50}, true, 20, 240, PI},
                                           EdgeCase{"farRight", {500, 0, 50}, true, 620, 240, 0},
                                           EdgeCase{"above", {0, 500, 50}, true, 320, 20, -PI / 2},
                                           EdgeCase{"below", {0, -500, 50}, true, 320, 460, PI / 2},
                                           EdgeCase{"behindOnTheRight", {50, 0, -50}, true, 620, 240, 0},
                                           EdgeCase{"upperRightCorner", {500, 375, 50}, true, -1, -1, -0.6435f}),
                         [](const ::testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

TEST_F(CSpriteRenderTest, WithoutTheInterfacePictureTheBattleStillEnds)
{
    ClearResources();
    AddDuel();
    Frame();
    EXPECT_TRUE(Sprites(Base::GAUGE_BACK).empty());
    enemy->m_Down = 1;
    Frame();
    EXPECT_EQ(ResultKind(), CResult::KIND_CLEAR);
}

}   // namespace
