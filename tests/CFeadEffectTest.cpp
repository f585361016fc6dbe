// The fade: what it freezes and for how long, how it darkens, and what it
// leaves behind.
#include <gtest/gtest.h>

#include "scene/CFeadEffect.h"
#include "tests/ScreenTestSupport.h"

namespace {

using screentest::ScreenWorld;

struct Probe : CGameObject {
    int updates = 0, draws = 0;
    void Update() override { ++updates; }
    void Draw() override { ++draws; }
};

// Hands over as the title and the result do: from its own Update it clears
// the list, adds the next screen and then the fade.
struct HandOver : CGameObject {
    Probe** next;
    explicit HandOver(Probe** out) : next(out) {}
    void Update() override
    {
        Probe** out = next;
        ClearTasks();
        AddTask(*out = new Probe, 1);
        AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    }
};

TEST(CFeadEffectTest, DarkensOverTheOldPictureForOneHundredUpdatesThenReleasesTheNextScreen)
{
    ScreenWorld world;
    Probe* next = nullptr;
    AddTask(new HandOver(&next), 100);
    world.Frame();
    auto* fade = dynamic_cast<CFeadEffect*>(FindTask(FADE_TASK_NAME));
    ASSERT_TRUE(next && fade);
    world.Device().ClearCalls();
    const int scenes = world.Device().BeginScenes();

    for (int update = 1; update <= CFeadEffect::DARKEN_UPDATES; ++update) {
        world.Frame();
        const int alpha = update < CFeadEffect::DARKEN_UPDATES ? update : CFeadEffect::FULL_ALPHA;
        ASSERT_EQ(fade->Alpha(), alpha);
        EXPECT_EQ(fade->Done(), update == CFeadEffect::DARKEN_UPDATES);
        ASSERT_EQ(next->updates + next->draws, 0) << update;
        // One screen-sized layer a frame, over a picture nobody cleared.
        const auto& layer = world.Device().Calls().back();
        ASSERT_EQ(layer.kind, plat::RecordingDevice::CallKind::DrawUser);
        EXPECT_EQ(layer.vertices[0].color >> 24, static_cast<uint32_t>(alpha));
        EXPECT_FLOAT_EQ(layer.vertices[2].position.x, 640.0f);
        EXPECT_FLOAT_EQ(layer.vertices[2].position.y, 480.0f);
    }
    EXPECT_EQ(world.Device().Calls().size(), static_cast<size_t>(CFeadEffect::DARKEN_UPDATES));
    EXPECT_EQ(world.Device().BeginScenes() - scenes, CFeadEffect::DARKEN_UPDATES) << "the fade begins the scene";

    // The 101st update releases everything: the screen draws in that frame and
    // updates from the next, its place in the list being before the fade's.
    world.Frame();
    EXPECT_EQ(FindTask(FADE_TASK_NAME), nullptr);
    EXPECT_EQ(next->draws, 1);
    EXPECT_EQ(next->updates, 0);
    world.Frame();
    EXPECT_EQ(next->updates, 1);
}

TEST(CFeadEffectTest, FreezesOnlyWhatStoodInItsBandAtItsStartAndReleasesEveryFlagThere)
{
    ScreenWorld world;
    auto *resource = new Probe, *before = new Probe, *above = new Probe, *byName = new Probe;
    AddTask(PRIORITY_RESOURCE, resource, "resource");
    AddTask(before, 4000);
    AddTask(above, 0x7ffffffe);
    AddTask(6000, byName, "CItem");
    SetUpdateStop("CItem", true);
    SetDrawStop("CItem");
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    auto* after = new Probe;
    AddTask(after, 4000);

    world.Frames(10);
    EXPECT_EQ(resource->updates, 10);
    EXPECT_EQ(above->updates, 10);
    EXPECT_EQ(after->updates, 10) << "a task added after the fade started is not frozen";
    EXPECT_EQ(before->updates, 0);
    ASSERT_TRUE(world.RunUntil([] { return FindTask(FADE_TASK_NAME) == nullptr; }));
    world.Frame();
    EXPECT_EQ(before->updates, 1);
    EXPECT_EQ(byName->updates, 1) << "flags set by name before the fade are cleared too";
    EXPECT_EQ(byName->draws, 2);
}

}   // namespace
