// The computer player's arrow choice: the force the game makes of the arrows
// it holds (turned about y by the camera's orbit) points where it wants to go.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Globals.h"
#include "enemy/St5Enemy.h"
#include "game/CKoma.h"
#include "tools/sim/Bot.h"

namespace {

// The control force the player's top makes of held arrows, as the game turns it.
plat::Vec3 ForceOf(const Bot::Keys& k, float orbitDegrees)
{
    plat::Vec3 f{0, 0, 0};
    if (k.left) f.x -= 800;
    if (k.right) f.x += 800;
    if (k.up) f.z += 800;
    if (k.down) f.z -= 800;
    return plat::TransformNormal(f, plat::RotationY(orbitDegrees * plat::PI / 180));
}

TEST(Bot, ArrowsPushTowardsTheWantedDirectionWhateverTheOrbit)
{
    for (float orbit = 0; orbit < 360; orbit += 7.5f) {
        for (float heading = 0; heading < 360; heading += 5) {
            float a = heading * plat::PI / 180;
            plat::Vec3 want{std::cos(a), 0, std::sin(a)};
            plat::Vec3 f = ForceOf(Bot::ArrowsTowards(want * 10.0f, orbit), orbit);
            ASSERT_GT(plat::Length(f), 0) << orbit << " " << heading;
            // Eight directions: never more than 22.5 degrees (plus the threshold's slack) off.
            EXPECT_GT(plat::Dot(plat::Normalize(f), want), std::cos(30 * plat::PI / 180)) << orbit << " " << heading;
        }
    }
}

TEST(Bot, NoArrowsForNoDirection)
{
    Bot::Keys k = Bot::ArrowsTowards({0, 5, 0}, 40);
    EXPECT_FALSE(k.up || k.down || k.left || k.right);
}

// A top at `pos` that moved by `step` in its last frame (no camera: orbit 0).
struct MovingTop {
    CKoma top{{0, 0, 0}, 0};
    MovingTop(plat::Vec3 pos, plat::Vec3 step)
    {
        top.m_Pos = pos;
        top.m_PrevPos = pos - step;
    }
};

plat::Vec3 Push(const Bot::Keys& k) { return ForceOf(k, 0); }

TEST(Bot, HoldingAPointPushesTowardsItFromRestAndBrakesWhenArrivingFast)
{
    MovingTop resting({10, 4, 0}, {0, 0, 0});
    EXPECT_LT(Push(Bot::HoldAt(resting.top, {0, 0, 0})).x, 0);   // towards the point
    // Half a unit a frame (30 a second) towards a point 2 away: brake.
    MovingTop rushing({2, 4, 0}, {-0.5f, 0, 0});
    EXPECT_GT(Push(Bot::HoldAt(rushing.top, {0, 0, 0})).x, 0);
    // At the point and at rest: no arrows at all.
    MovingTop there({0, 4, 0}, {0, 0, 0});
    Bot::Keys k = Bot::HoldAt(there.top, {0, 0, 0});
    EXPECT_FALSE(k.up || k.down || k.left || k.right || k.z);
}

TEST(Bot, PursuitTakesOutTheSidewaysDrift)
{
    // Heading for a target straight ahead (+z) while drifting fast to +x:
    // the push leans back against the drift as well as forwards.
    MovingTop drifting({0, 4, 0}, {0.6f, 0, 0});
    plat::Vec3 f = Push(Bot::Pursue(drifting.top, {0, 4, 20}, 30));
    EXPECT_LT(f.x, 0);
    EXPECT_GT(f.z, 0);
    // On course and at the wanted speed nothing is needed sideways.
    MovingTop onCourse({0, 4, 0}, {0, 0, 0.5f});
    EXPECT_EQ(Push(Bot::Pursue(onCourse.top, {0, 4, 20}, 30)).x, 0);
}

TEST(Bot, ShelterIsSoughtFromBeforeAVolleyUntilItsLastShotsHaveFlown)
{
    uint32_t saved = g_FrameTime;
    St5Enemy boss;
    boss.m_ChargeTime = 100000;
    for (int hits = 0; hits < 4; ++hits) {
        boss.m_BombHits = hits;
        uint32_t wait = St5Enemy::VolleyWaitMs(hits);
        g_FrameTime = boss.m_ChargeTime + 100;   // a volley has just ended
        EXPECT_TRUE(Bot::VolleyNear(boss)) << hits;
        g_FrameTime = boss.m_ChargeTime + 1000;   // quiet: push bombs
        EXPECT_FALSE(Bot::VolleyNear(boss)) << hits;
        g_FrameTime = boss.m_ChargeTime + wait - 1000;   // the next one is coming
        EXPECT_TRUE(Bot::VolleyNear(boss)) << hits;
        // Near the shelter, it is time to go only just before the volley.
        EXPECT_FALSE(Bot::VolleyNear(boss, 500)) << hits;
        EXPECT_TRUE(Bot::VolleyNear(boss, 1500)) << hits;
    }
    boss.m_Charging = 1;   // firing, whatever the clock says
    g_FrameTime = boss.m_ChargeTime + 1000;
    EXPECT_TRUE(Bot::VolleyNear(boss));
    g_FrameTime = saved;
}

}   // namespace
