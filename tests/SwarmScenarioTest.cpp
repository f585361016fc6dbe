// Stage 2 played whole by the headless runner in-process on the generated
// data set, judged from its per-frame trace: the swarm appears after the
// launch, a player that chases it marks and defeats twenty while enemies
// thrown off the arena come back, and a player who only launches eventually loses the top.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "core/TaskList.h"
#include "enemy/CEnemy.h"
#include "game/CKoma.h"
#include "gfx/CCamera.h"
#include "platform/KeySource.h"
#include "tests/RunnerTestSupport.h"

namespace {

struct SwarmFrame {
    bool hasSwarm = false;
    int defeated = 0;
    int alive = 0;
    std::vector<int> hits;
    bool hasPlayer = false;
    bool down = false;
    float orbit = 0;
};

SwarmFrame ParseFrame(const std::string& line)
{
    static const std::regex swarm("\"swarm\":\\{\"defeated\":(\\d+),\"alive\":(\\d+),\"hits\":\\[([0-9,]*)\\]");
    static const std::regex down("\"player\":\\{[^}]*\"down\":(true|false)");
    static const std::regex orbit("\"orbit\":([-0-9.e+]+)");
    SwarmFrame f;
    std::smatch m;
    if (std::regex_search(line, m, swarm)) {
        f.hasSwarm = true;
        f.defeated = std::stoi(m[1]);
        f.alive = std::stoi(m[2]);
        std::string list = m[3];
        for (size_t at = 0; at < list.size();) {
            size_t comma = list.find(',', at);
            f.hits.push_back(std::stoi(list.substr(at, comma - at)));
            at = comma == std::string::npos ? list.size() : comma + 1;
        }
    }
    if (std::regex_search(line, m, down)) {
        f.hasPlayer = true;
        f.down = m[1] == "true";
    }
    if (std::regex_search(line, m, orbit)) f.orbit = std::stof(m[1]);
    return f;
}

// A player that launches near full power, then chases the nearest enemy
// still to be touched, pressing the arrows relative to the camera, and spends
// the gauge above 68 on spin while it has some. It reads the game's state and
// never changes it.
class SwarmChaser {
public:
    // Counts the enemies that came back over the spawn square after leaving the arena.
    struct Stats {
        int fallen = 0;
        std::vector<std::pair<const CEnemy*, plat::Vec3>> last;
    };
    explicit SwarmChaser(std::shared_ptr<Stats> stats = nullptr) : m_Stats(std::move(stats)) {}

    void operator()(int frame, plat::ScriptedKeySource& keys)
    {
        CountFallen();
        auto* top = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
        for (int key : {plat::KEY_LEFT, plat::KEY_RIGHT, plat::KEY_UP, plat::KEY_DOWN}) keys.SetKey(key, false);
        if (!top) {
            Launch(frame, keys);
            return;
        }
        if (top->IsDown()) {
            keys.SetKey(plat::KEY_Z, false);
            return;
        }
        // The spin boost: the launch key held with no arrow (so no charge starts).
        bool boosting = top->m_Gauge > CKomaBase::GAUGE_BASE;
        if (boosting && !m_ZDown) {
            Press(keys, true);
            return;   // no arrow this frame
        }
        if (!boosting && m_ZDown) Press(keys, false);
        Steer(top, keys);
    }

private:
    static constexpr float LOOK_AHEAD_FRAMES = 12;
    static constexpr float DEAD_ZONE = 0.5f;
    static constexpr float MARKED_PREFERENCE = 0.3f;
    static constexpr float RETURN_JUMP = 15.0f;   // farther in one frame than any enemy moves
    // The aiming power climbs by 4 a frame to 192 and wraps: launch a little before the top.
    static constexpr int LAUNCH_AFTER_AIMING_FRAMES = 45;

    void CountFallen()
    {
        if (!m_Stats) return;
        std::vector<std::pair<const CEnemy*, plat::Vec3>> now;
        for (const TaskEntry* e : TaskList::Instance().Entries())
            if (auto* enemy = dynamic_cast<const CEnemy*>(e->object)) now.emplace_back(enemy, enemy->m_Pos);
        for (const auto& [enemy, pos] : now)
            for (const auto& [was, wasPos] : m_Stats->last)
                if (was == enemy && plat::Length(pos - wasPos) > RETURN_JUMP) ++m_Stats->fallen;
        m_Stats->last = std::move(now);
    }

    void Press(plat::ScriptedKeySource& keys, bool down)
    {
        keys.SetKey(plat::KEY_Z, down);
        m_ZDown = down;
    }

    void Launch(int frame, plat::ScriptedKeySource& keys)
    {
        if (!FindTask("CKomaSet")) return;
        if (m_AimSeen < 0) m_AimSeen = frame;
        Press(keys, frame == m_AimSeen + LAUNCH_AFTER_AIMING_FRAMES);
    }

    void Steer(const CKoma* top, plat::ScriptedKeySource& keys) const
    {
        const CEnemy* target = Nearest(top->m_Pos);
        if (!target) return;
        // Aim where the top will be in a few frames, so it does not overshoot.
        plat::Vec3 velocity = top->m_Pos - top->m_PrevPos;
        plat::Vec3 ahead = top->m_Pos + velocity * LOOK_AHEAD_FRAMES;
        float dx = target->m_Pos.x - ahead.x, dz = target->m_Pos.z - ahead.z;
        // Into the camera's frame: the top turns the arrows' push by the orbit angle.
        auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
        float orbit = camera ? camera->m_Orbit * plat::PI / 180 : 0;
        float right = dx * std::cos(orbit) - dz * std::sin(orbit);
        float up = dx * std::sin(orbit) + dz * std::cos(orbit);
        if (right > DEAD_ZONE) keys.SetKey(plat::KEY_RIGHT, true);
        if (right < -DEAD_ZONE) keys.SetKey(plat::KEY_LEFT, true);
        if (up > DEAD_ZONE) keys.SetKey(plat::KEY_UP, true);
        if (up < -DEAD_ZONE) keys.SetKey(plat::KEY_DOWN, true);
    }

    static const CEnemy* Nearest(plat::Vec3 from)
    {
        const CEnemy* best = nullptr;
        float bestDistance = std::numeric_limits<float>::max();
        for (const TaskEntry* e : TaskList::Instance().Entries()) {
            auto* enemy = dynamic_cast<const CEnemy*>(e->object);
            if (!enemy || enemy->IsDying() || enemy->m_Pos.y < 0) continue;
            // A marked enemy is one touch from defeat: worth a longer way.
            float d = plat::Length(enemy->m_Pos - from) * (enemy->m_HitCount == 1 ? MARKED_PREFERENCE : 1.0f);
            if (d < bestDistance) {
                bestDistance = d;
                best = enemy;
            }
        }
        return best;
    }

    std::shared_ptr<Stats> m_Stats;
    int m_AimSeen = -1;
    bool m_ZDown = false;
};

class SwarmScenarioTest : public runnertest::GeneratedDataTest {
protected:
    std::vector<SwarmFrame> Play(uint32_t seed, int frames, const std::string& keys, bool chase,
                                 std::shared_ptr<SwarmChaser::Stats> stats = nullptr)
    {
        SimOptions options = runnertest::GameOptions(frames, seed, 2);
        if (chase) options.beforeFrame = SwarmChaser(stats);
        return runnertest::ParseEach<SwarmFrame>(run.PlayTraced(run.WithKeys(options, keys)), ParseFrame);
    }

    runnertest::RunFolder run;
};

// Frames of one chase: well over what twenty defeats take.
constexpr int CHASE_FRAMES = 12000;

TEST_F(SwarmScenarioTest, AChasingPlayerMarksAndDefeatsTwentyWhileEnemiesThrownOffComeBack)
{
    // A chase does not clear every game: take the first seed that does.
    auto stats = std::make_shared<SwarmChaser::Stats>();
    std::vector<SwarmFrame> trace;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        *stats = SwarmChaser::Stats{};
        trace = Play(seed, CHASE_FRAMES, "", true, stats);
        bool twenty = false;
        for (const SwarmFrame& f : trace) twenty |= f.defeated == 20 && !f.down;
        if (twenty) break;
    }
    int first = -1, cleared = -1;
    bool sawMarked = false, sawDying = false, sawReplacement = false;
    for (size_t i = 0; i < trace.size(); ++i) {
        const SwarmFrame& f = trace[i];
        if (!f.hasSwarm) continue;
        if (first < 0) {
            first = static_cast<int>(i);
            EXPECT_EQ(f.alive, 6);
            EXPECT_EQ(f.defeated, 0);
        }
        ASSERT_LE(f.alive, 6) << "frame " << i;
        ASSERT_EQ(f.hits.size(), static_cast<size_t>(f.alive));
        ASSERT_LE(f.defeated, 20);
        for (int h : f.hits) {
            sawMarked |= h == 1;
            sawDying |= h == 2;
        }
        if (i > 0 && f.defeated > trace[i - 1].defeated && f.defeated < 20) sawReplacement |= f.alive == 6;
        if (cleared < 0 && f.defeated == 20) cleared = static_cast<int>(i);
    }
    ASSERT_GE(first, 0) << "the swarm never appeared";
    EXPECT_TRUE(sawMarked);
    EXPECT_TRUE(sawDying);
    EXPECT_TRUE(sawReplacement);
    EXPECT_GT(stats->fallen, 0);   // thrown off, and back over the spawn square
    ASSERT_GE(cleared, 0) << "twenty defeats not reached; last count " << trace.back().defeated;
    EXPECT_FALSE(trace[cleared].down);
    // The defeat that makes twenty brings no replacement.
    EXPECT_EQ(trace[cleared].alive, trace[cleared - 1].alive - 1);
    // Once the launch has finished with the camera the arrows are not turned on this stage.
    EXPECT_FLOAT_EQ(trace.back().orbit, 0);
}

// Not run by default (about a minute): how a chasing player fares on ten
// seeds. Run with --gtest_also_run_disabled_tests to print the figures.
TEST_F(SwarmScenarioTest, DISABLED_ChaseOverTenSeeds)
{
    int cleared = 0;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        auto stats = std::make_shared<SwarmChaser::Stats>();
        auto trace = Play(seed, CHASE_FRAMES, "", true, stats);
        int first = -1, twenty = -1, down = -1, best = 0, atDown = -1;
        for (size_t i = 0; i < trace.size(); ++i) {
            const SwarmFrame& f = trace[i];
            if (first < 0 && f.hasSwarm) first = static_cast<int>(i);
            if (down < 0 && f.down) {
                down = static_cast<int>(i);
                atDown = f.defeated;
            }
            best = std::max(best, f.defeated);
            if (twenty < 0 && f.defeated == 20) twenty = static_cast<int>(i);
        }
        cleared += twenty >= 0;
        std::printf(
            "seed %2u: %2d defeats, twenty after %5.1f s, down after %5.1f s with %2d, %2d thrown off the arena\n",
            seed, best, twenty < 0 ? -1.0 : (twenty - first) / 60.0, down < 0 ? -1.0 : (down - first) / 60.0, atDown,
            stats->fallen);
    }
    std::printf("%d of 10 seeds cleared\n", cleared);
}

TEST_F(SwarmScenarioTest, APlayerWhoOnlyLaunchesEventuallyGoesDown)
{
    // The basin's level floor brings no enemy to a top left where it landed,
    // and its pleats wear that top's spin down: every such game is lost.
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        std::vector<SwarmFrame> trace = Play(seed, 9000, "0 Z down\n60 Z up\n", false);
        int swarm = -1, down = -1;
        for (size_t i = 0; i < trace.size(); ++i) {
            if (swarm < 0 && trace[i].hasSwarm) swarm = static_cast<int>(i);
            if (down < 0 && trace[i].down) down = static_cast<int>(i);
        }
        ASSERT_GE(swarm, 0);
        EXPECT_EQ(trace[swarm].alive, 6);
        ASSERT_GE(down, 0) << "the top never went down";
        EXPECT_GT(down, swarm);
    }
}

}   // namespace
