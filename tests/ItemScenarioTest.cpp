// Whole-game scenarios of the item box on stage 1, played by the headless
// runner in-process on the generated data set and judged from its trace: the
// box's first run 1200 frames into its life, the camera's zoom while it is
// out, five drops in the order 1, 2, 3, 2, 1 that land on the arena, and items
// taken by a top.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "tests/RunnerTestSupport.h"

namespace {

struct ItemState {
    int kind = 0;
    float x = 0, y = 0, z = 0;
    int touches = 0;
    bool landed = false;
};

struct ItemFrame {
    bool hasBox = false;
    int boxState = 0, boxCounter = 0;
    float fov = 0;
    std::vector<ItemState> items;
    bool itemEffectSound = false;
    bool icon = false;    // a "CItemEffect" task
    bool rings = false;   // a "CItemEffectJump" task
};

ItemFrame ParseFrame(const std::string& line)
{
    static const std::regex box("\"box\":\\{\"state\":(-?\\d+),\"counter\":(-?\\d+)\\}");
    static const std::regex fov("\"fov\":([-0-9.e]+)");
    static const std::regex items("\"items\":\\[([^\\]]*(\\][^\\]]*)*?)\\],\"box\"");
    static const std::regex item(
        "\\{\"kind\":(\\d+),\"pos\":\\[([^,]+),([^,]+),([^\\]]+)\\],\"touches\":(\\d+),\"landed\":(true|false)\\}");
    ItemFrame f;
    std::smatch m;
    if (std::regex_search(line, m, box)) {
        f.hasBox = true;
        f.boxState = std::stoi(m[1]);
        f.boxCounter = std::stoi(m[2]);
    }
    if (std::regex_search(line, m, fov)) f.fov = std::stof(m[1]);
    if (std::regex_search(line, m, items)) {
        const std::string list = m[1];
        for (auto it = std::sregex_iterator(list.begin(), list.end(), item); it != std::sregex_iterator(); ++it) {
            const std::smatch& i = *it;
            f.items.push_back(
                {std::stoi(i[1]), std::stof(i[2]), std::stof(i[3]), std::stof(i[4]), std::stoi(i[5]), i[6] == "true"});
        }
    }
    f.itemEffectSound = line.find("ItemEffect.wav") != std::string::npos;
    f.icon = line.find("\"CItemEffect\"") != std::string::npos;
    f.rings = line.find("\"CItemEffectJump\"") != std::string::npos;
    return f;
}

class ItemScenarioTest : public runnertest::GeneratedDataTest {
protected:
    std::vector<ItemFrame> Play(const std::string& keys, uint32_t seed, int frames)
    {
        SimOptions options = runnertest::GameOptions(frames, seed, 1);
        return runnertest::ParseEach<ItemFrame>(run.PlayTraced(run.WithKeys(options, keys)), ParseFrame);
    }

    runnertest::RunFolder run;
};

TEST_F(ItemScenarioTest, BoxComesAfter1200FramesZoomsOutAndDropsFiveItemsThatLand)
{
    // A launch at once, then nothing pressed.
    auto trace = Play("0 Z down\n40 Z up\n", 3, 2700);
    int created = -1, arrived = -1, dropping = -1, leaving = -1, idleAgain = -1;
    for (int i = 0; i < static_cast<int>(trace.size()); ++i) {
        const ItemFrame& f = trace[i];
        if (!f.hasBox) continue;
        if (created < 0) created = i;
        if (arrived < 0 && f.boxState == 4) arrived = i;
        if (arrived >= 0 && dropping < 0 && f.boxState == 2) dropping = i;
        if (dropping >= 0 && leaving < 0 && f.boxState == 8) leaving = i;
        if (leaving >= 0 && idleAgain < 0 && f.boxState == 1) idleAgain = i;
    }
    ASSERT_GE(created, 0) << "no item box";
    EXPECT_EQ(trace[created].boxCounter, 1);   // counted in its first update
    EXPECT_EQ(arrived - created, 1199);
    EXPECT_EQ(dropping - arrived, 40);
    EXPECT_EQ(leaving - dropping, 301);
    EXPECT_EQ(idleAgain - leaving, 100);
    EXPECT_EQ(trace[dropping].fov, 80.0f);
    EXPECT_EQ(trace[idleAgain].fov, 60.0f);

    // The drops, in the order they appear, and whether each lands.
    std::vector<int> kinds;
    std::vector<bool> landed;
    size_t seen = 0;
    for (int i = dropping; i < static_cast<int>(trace.size()); ++i) {
        const std::vector<ItemState>& items = trace[i].items;
        // New items are added behind the others of their priority.
        if (items.size() > seen && i < leaving + 1) {
            for (size_t k = seen; k < items.size(); ++k) {
                kinds.push_back(items[k].kind);
                landed.push_back(false);
            }
        }
        seen = std::max(seen, items.size());
        for (size_t k = 0; k < items.size() && k < landed.size(); ++k)
            if (items[k].landed && items.size() == kinds.size()) landed[k] = true;
    }
    EXPECT_EQ(kinds, (std::vector<int>{1, 2, 3, 2, 1}));
    int landedCount = 0;
    for (bool l : landed) landedCount += l ? 1 : 0;
    EXPECT_EQ(landedCount, 5);

    // Every item still in play at the end lies on the arena.
    for (const ItemState& item : trace.back().items) {
        EXPECT_GT(item.y, 0.0f);
        EXPECT_LT(std::hypot(item.x, item.z), 42.0f);
    }
}

TEST_F(ItemScenarioTest, TopsTakeItemsAndTheirEffectsShow)
{
    // Launched a little later, the box comes from another side and the
    // enemy's top runs into a power, a spin and a jump item in the middle.
    auto trace = Play("111 Z down\n151 Z up\n", 3, 2600);
    int taken = 0;
    bool icon = false, rings = false;
    for (const ItemFrame& f : trace) {
        taken += f.itemEffectSound ? 1 : 0;
        icon = icon || f.icon;
        rings = rings || f.rings;
    }
    EXPECT_GE(taken, 2);
    EXPECT_TRUE(icon) << "no icon flew to the interface";
    EXPECT_TRUE(rings) << "no jump rings";
}

}   // namespace
