// The computer player's arrow choice: the force the game makes of the arrows
// it holds (turned about y by the camera's orbit) points where it wants to go.
#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
