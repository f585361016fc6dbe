// Whole-game scenarios of the player's top, played by the headless runner
// in-process on the generated data set with scripted keys and no video, and
// judged from its per-frame trace.
//
// The runner starts stage 1 at once and hands the stage over after its
// loading frames. The checks count frames from what the trace shows (the
// aiming phase's first frame, the launch, the release), not from fixed frame
// numbers, so they hold whatever the loading screen's length.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "tests/RunnerTestSupport.h"

namespace {

using runnertest::FirstWhere;

// Plenty for the loader to finish and the scenario to play out.
constexpr int SCENARIO_FRAMES = 16000;

struct PlayerState {
    float x = 0, y = 0, z = 0;
    float spin = 0;
    int gauge = 0;
    bool down = false;
    bool charging = false;
};

struct TraceFrame {
    bool aiming = false;      // "CKomaSet" in the task list
    bool launching = false;   // "CKomaShoot" in the task list
    bool hasPlayer = false;
    PlayerState player;
};

bool ParsePlayer(const std::string& line, PlayerState* p)
{
    static const std::regex pattern(
        "\"player\":\\{\"pos\":\\[([^,]+),([^,]+),([^\\]]+)\\],\"spin\":([^,]+),\"gauge\":(-?\\d+),"
        "\"ceiling\":-?\\d+,\"down\":(true|false),\"charging\":(true|false)");
    std::smatch m;
    if (!std::regex_search(line, m, pattern)) return false;
    p->x = std::stof(m[1]);
    p->y = std::stof(m[2]);
    p->z = std::stof(m[3]);
    p->spin = std::stof(m[4]);
    p->gauge = std::stoi(m[5]);
    p->down = m[6] == "true";
    p->charging = m[7] == "true";
    return true;
}

TraceFrame ParseFrame(const std::string& line)
{
    TraceFrame f;
    f.aiming = line.find("\"CKomaSet\"") != std::string::npos;
    f.launching = line.find("\"CKomaShoot\"") != std::string::npos;
    f.hasPlayer = ParsePlayer(line, &f.player);
    return f;
}

class TopScenarioTest : public runnertest::GeneratedDataTest {
protected:
    // Runs stage 1 with the key script and reads back the trace.
    std::vector<TraceFrame> Play(const std::string& keys, int frames = SCENARIO_FRAMES)
    {
        SimOptions options = runnertest::GameOptions(frames, 5, 1);
        return runnertest::ParseEach<TraceFrame>(run.PlayTraced(run.WithKeys(options, keys)), ParseFrame);
    }

    // Z pressed for `held` frames at the start of every `period` frames.
    static std::string RepeatedLaunchKey(int period, int held, int frames)
    {
        std::string s;
        for (int f = 0; f < frames; f += period)
            s += std::to_string(f) + " Z down\n" + std::to_string(f + held) + " Z up\n";
        return s;
    }

    runnertest::RunFolder run;
};

TEST_F(TopScenarioTest, LaunchSpinFollowsThePowerAtTheKeyPress)
{
    auto trace = Play(RepeatedLaunchKey(50, 25, SCENARIO_FRAMES));
    int aimStart = FirstWhere(trace, [](const TraceFrame& f) { return f.aiming; });
    int launch = FirstWhere(trace, [](const TraceFrame& f) { return f.hasPlayer; });
    ASSERT_GE(aimStart, 0) << "the stage did not load within " << SCENARIO_FRAMES << " frames";
    ASSERT_GT(launch, aimStart);

    // The aiming phase updated once in each frame after it appeared, the
    // launch frame included; its power runs 4, 8, ... 192, 0, 4, ...
    int updates = launch - aimStart;
    int power = 4 * (updates % 49);
    int expectedSpin = static_cast<int>(0.004 * power * power) + 130;
    EXPECT_FLOAT_EQ(trace[launch].player.spin, static_cast<float>(expectedSpin)) << "power " << power;
    EXPECT_TRUE(trace[launch].launching);
    EXPECT_FALSE(trace[launch].aiming);

    // Held at the start until the release, then thrown into the arena.
    int released = FirstWhere(
        trace, [](const TraceFrame& f) { return f.hasPlayer && f.player.z != -30.0f; }, launch);
    ASSERT_GT(released, launch);
    for (int i = launch; i < released; ++i) {
        EXPECT_FLOAT_EQ(trace[i].player.y, 16.0f);
        EXPECT_EQ(trace[i].player.gauge, 0);
    }
    ASSERT_LT(released + 60, static_cast<int>(trace.size()));
    EXPECT_GT(trace[released + 60].player.z, -25.0f);                                // towards the middle
    EXPECT_LT(trace[released + 60].player.spin, static_cast<float>(expectedSpin));   // the shaft shares the spin
}

TEST_F(TopScenarioTest, ATopLeftAloneOnTheArenaEventuallyGoesDown)
{
    // The launch key held from the start launches at the aiming phase's first
    // update (power 4, the weakest spin) and nothing else is ever pressed.
    auto trace = Play("0 Z down\n");
    int launch = FirstWhere(trace, [](const TraceFrame& f) { return f.hasPlayer; });
    ASSERT_GE(launch, 0) << "the stage did not load within " << SCENARIO_FRAMES << " frames";
    EXPECT_FLOAT_EQ(trace[launch].player.spin, 130.0f);

    int down = FirstWhere(
        trace, [](const TraceFrame& f) { return f.hasPlayer && f.player.down; }, launch);
    ASSERT_GT(down, launch) << "the top was still spinning after " << trace.size() - launch << " frames";
    const PlayerState& p = trace[down].player;
    EXPECT_LT(p.spin, 30.0f);   // down by its spin, on the arena
    EXPECT_GT(p.y, 0.0f);
    EXPECT_LT(std::hypot(p.x, p.z), 42.0f);
    // Never down during the launch, and never up again.
    for (int i = launch; i < down; ++i) EXPECT_TRUE(trace[i].launching || !trace[i].player.down);
    for (int i = down; i < static_cast<int>(trace.size()); ++i) ASSERT_TRUE(trace[i].player.down);
}

TEST_F(TopScenarioTest, ArrowKeysSteerTheTopRelativeToTheCamera)
{
    // The same launch twice (the key held from the start launches at the
    // aiming phase's first update), pushed right in one game and left in the
    // other. The launch leaves the camera's orbit at 20 degrees, so "right"
    // is +x turned 20 degrees about y.
    auto sideways = [&](const char* arrow, float* across) {
        auto trace = Play(std::string("0 Z down\n0 ") + arrow + " down\n", SCENARIO_FRAMES);
        int launch = FirstWhere(trace, [](const TraceFrame& f) { return f.hasPlayer; });
        ASSERT_GE(launch, 0) << "the stage did not load within " << SCENARIO_FRAMES << " frames";
        int released = FirstWhere(
            trace, [](const TraceFrame& f) { return f.hasPlayer && f.player.z != -30.0f; }, launch);
        ASSERT_GT(released, launch);
        ASSERT_LT(released + 200, static_cast<int>(trace.size()));
        const PlayerState& p = trace[released + 200].player;
        const float c = std::cos(20 * 3.14159265f / 180), s = std::sin(20 * 3.14159265f / 180);
        *across = p.x * c - p.z * s;
    };
    float right = 0, left = 0;
    sideways("RIGHT", &right);
    sideways("LEFT", &left);
    EXPECT_GT(right - left, 4.0f) << "right " << right << ", left " << left;
}

TEST_F(TopScenarioTest, ADashTowardsTheRimThrowsTheTopOffAndItGoesDownByHeight)
{
    // A full-power launch (the gauge reads 192 at the 48th aiming update),
    // then, once the top has landed, the arrow keys held to the back left
    // (pushing it out towards the rim while the enemy's camera starts to
    // circle) and a full charge: the dash carries the top over the rim.
    constexpr int LAUNCH_FRAME = 56, CHARGE_FRAME = 440, CHARGE_RELEASE = 520;
    const std::string keys = std::to_string(LAUNCH_FRAME) + " Z down\n" + std::to_string(LAUNCH_FRAME + 4) +
                             " Z up\n380 LEFT down\n380 DOWN down\n" + std::to_string(CHARGE_FRAME) + " Z down\n" +
                             std::to_string(CHARGE_RELEASE) + " Z up\n";
    auto trace = Play(keys, 900);
    ASSERT_EQ(static_cast<int>(trace.size()), 900);
    ASSERT_TRUE(trace[LAUNCH_FRAME].hasPlayer);
    EXPECT_FLOAT_EQ(trace[LAUNCH_FRAME].player.spin, 277.0f);

    // The charge holds the top where it was while the gauge runs down.
    const PlayerState& charging = trace[CHARGE_FRAME].player;
    ASSERT_TRUE(charging.charging);
    int dash = FirstWhere(
        trace, [](const TraceFrame& f) { return f.hasPlayer && !f.player.charging; }, CHARGE_FRAME);
    ASSERT_GT(dash, CHARGE_FRAME + 60) << "a full gauge charges for 68 frames";
    EXPECT_FLOAT_EQ(trace[dash - 1].player.x, charging.x);
    EXPECT_FLOAT_EQ(trace[dash - 1].player.z, charging.z);

    // The dash throws it across the arena within a second.
    const PlayerState& after = trace[dash + 60].player;
    EXPECT_GT(std::hypot(after.x - charging.x, after.z - charging.z), 15.0f);

    // Over the rim it falls, and is down by its height while still spinning fast.
    int down = FirstWhere(
        trace, [](const TraceFrame& f) { return f.hasPlayer && f.player.down; }, dash);
    ASSERT_GT(down, dash) << "the top stayed on the arena";
    EXPECT_LE(trace[down].player.y, 0.0f);
    EXPECT_GT(std::hypot(trace[down].player.x, trace[down].player.z), 40.0f) << "not beyond the rim";
    EXPECT_GT(trace[down - 1].player.spin, 100.0f);
}

}   // namespace
