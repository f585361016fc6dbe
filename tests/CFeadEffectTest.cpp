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

// Hands over the way the title and the result do: from its own Update it
// clears the list, adds the next screen and then the fade.
struct HandOver : CGameObject {
    Probe** next;
    explicit HandOver(Probe** out) : next(out) {}
    void Update() override
    {
        Probe** out = next;
        ClearTasks();
        *out = new Probe;
        AddTask(*out, 1);
        AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    }
};

TEST(CFeadEffectTest, DarkensForOneHundredUpdatesThenReleasesTheNextScreen)
{
    ScreenWorld world;
    Probe* next = nullptr;
    AddTask(new HandOver(&next), 100);
    world.Frame();   // the hand-over
    ASSERT_NE(next, nullptr);
    auto* fade = dynamic_cast<CFeadEffect*>(FindTask(FADE_TASK_NAME));
    ASSERT_NE(fade, nullptr);
    const int clears = static_cast<int>(world.Device().Calls().size());

    // The next screen's Init has run; it neither updates nor draws while the fade darkens.
    for (int update = 1; update <= CFeadEffect::DARKEN_UPDATES; ++update) {
        world.Frame();
        ASSERT_EQ(fade->Alpha(), update < CFeadEffect::DARKEN_UPDATES ? update : CFeadEffect::FULL_ALPHA) << update;
        EXPECT_EQ(fade->Done(), update == CFeadEffect::DARKEN_UPDATES);
        ASSERT_EQ(next->updates + next->draws, 0) << update;
    }
    // The head was frozen too: nothing cleared the picture under the layers.
    for (size_t i = clears; i < world.Device().Calls().size(); ++i)
        EXPECT_NE(world.Device().Calls()[i].kind, plat::RecordingDevice::CallKind::Clear);

    // The 101st update releases everything: the screen draws at once and
    // updates from the next frame, its task-list place being before the fade's.
    world.Frame();
    EXPECT_EQ(FindTask(FADE_TASK_NAME), nullptr);
    EXPECT_EQ(next->draws, 1);
    EXPECT_EQ(next->updates, 0);
    world.Frame();
    EXPECT_EQ(next->updates, 1);
}

TEST(CFeadEffectTest, EachFrameLaysOneScreenSizedLayerWithItsAlphaAndBeginsTheScene)
{
    ScreenWorld world;
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    const int scenes = world.Device().BeginScenes();
    world.Device().ClearCalls();
    world.Frames(3);
    EXPECT_EQ(world.Device().BeginScenes() - scenes, 3);
    const auto& calls = world.Device().Calls();
    ASSERT_EQ(calls.size(), 3u);
    for (size_t i = 0; i < calls.size(); ++i) {
        ASSERT_EQ(calls[i].vertices.size(), 6u);
        EXPECT_EQ(calls[i].vertices[0].color >> 24, i + 1);
        EXPECT_FLOAT_EQ(calls[i].vertices[2].position.x, 640.0f);
        EXPECT_FLOAT_EQ(calls[i].vertices[2].position.y, 480.0f);
    }
}

TEST(CFeadEffectTest, FreezesOnlyWhatStoodInItsBandAtItsStart)
{
    ScreenWorld world;
    auto* resource = new Probe;
    auto* before = new Probe;
    auto* above = new Probe;
    AddTask(PRIORITY_RESOURCE, resource, "resource");
    AddTask(before, 4000);
    AddTask(above, 0x7ffffffe);
    // Stopped by name before the fade: the release clears these too.
    auto* stoppedByName = new Probe;
    AddTask(6000, stoppedByName, "CItem");
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

    world.RunUntil([] { return FindTask(FADE_TASK_NAME) == nullptr; });
    world.Frame();
    EXPECT_GT(before->updates, 0);
    EXPECT_EQ(stoppedByName->updates, 1);
    EXPECT_EQ(stoppedByName->draws, 2);
}

TEST(CFeadEffectTest, WithoutItsPictureTheTransitionStillCompletesAndDrawsNothing)
{
    ScreenWorld world(ScreenWorld::Data::None);
    auto* next = new Probe;
    AddTask(next, 1);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
    world.Device().ClearCalls();
    world.Frames(CFeadEffect::DARKEN_UPDATES + 1);
    EXPECT_EQ(FindTask(FADE_TASK_NAME), nullptr);
    for (const auto& call : world.Device().Calls())
        EXPECT_NE(call.kind, plat::RecordingDevice::CallKind::DrawUser) << "a missing picture drew something";
    world.Frame();
    EXPECT_EQ(next->updates, 1);
}

}  // namespace
