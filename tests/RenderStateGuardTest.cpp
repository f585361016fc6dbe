// A render-state guard puts back exactly the states it changed, to the values
// they had before it changed them, and leaves every other state as it finds it.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/Graphics.h"
#include "gfx/RenderStateGuard.h"
#include "platform/RecordingDevice.h"
#include "platform/Texture.h"

namespace {

using plat::Blend;

// The guard's four states, one bit each.
enum StateBit : unsigned { BLEND = 1, DEPTH_WRITE = 2, LIGHTING = 4, TEXTURE = 8, ALL_STATES = 15 };

class RenderStateGuardTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override
    {
        InitGraphics(&device);
        std::vector<uint8_t> pixels(4 * 4 * 4, 255);
        ASSERT_TRUE(before.LoadFromPixels(pixels.data(), 4, 4, 0));
        ASSERT_TRUE(other.LoadFromPixels(pixels.data(), 4, 4, 0));
        // A blend no guard sets, so that a restore to it cannot be a coincidence.
        device.SetDestBlend(Blend::SrcColor);
        device.SetDepthWrite(true);
        device.SetLighting(true);
        device.SetTexture(&before);
    }
    void TearDown() override { ReleaseGraphics(); }

    // Changes the states named by the bits through the guard.
    void Change(RenderStateGuard& guard, unsigned bits)
    {
        if (bits & BLEND) guard.SetBlend(gfx::BlendMode::Additive);
        if (bits & DEPTH_WRITE) guard.SetDepthWrite(false);
        if (bits & LIGHTING) guard.SetLighting(false);
        if (bits & TEXTURE) guard.SetTexture(nullptr);
    }

    plat::RecordingDevice device;
    plat::Texture before, other;
};

TEST_P(RenderStateGuardTest, RestoresWhatItChangedAndLeavesTheRestAsOthersSetThem)
{
    const unsigned changed = GetParam();
    {
        RenderStateGuard guard;
        Change(guard, changed);
        Change(guard, changed);   // a second change still restores the first value
        const plat::DeviceState& during = device.State();
        EXPECT_EQ(during.rs.destBlend, changed & BLEND ? Blend::One : Blend::SrcColor);
        EXPECT_EQ(during.rs.zWrite, !(changed & DEPTH_WRITE));
        EXPECT_EQ(during.rs.lighting, !(changed & LIGHTING));
        EXPECT_EQ(during.texture, changed & TEXTURE ? nullptr : &before);

        // What the guard did not touch, someone else changes while it lives.
        const unsigned untouched = ALL_STATES & ~changed;
        if (untouched & BLEND) device.SetDestBlend(Blend::Zero);
        if (untouched & DEPTH_WRITE) device.SetDepthWrite(false);
        if (untouched & LIGHTING) device.SetLighting(false);
        if (untouched & TEXTURE) device.SetTexture(&other);
    }
    const plat::DeviceState& after = device.State();
    EXPECT_EQ(after.rs.destBlend, changed & BLEND ? Blend::SrcColor : Blend::Zero);
    EXPECT_EQ(after.rs.zWrite, bool(changed & DEPTH_WRITE));
    EXPECT_EQ(after.rs.lighting, bool(changed & LIGHTING));
    EXPECT_EQ(after.texture, changed & TEXTURE ? &before : &other);
}

INSTANTIATE_TEST_SUITE_P(EveryChoiceOfStates, RenderStateGuardTest, ::testing::Range(0u, ALL_STATES + 1));

TEST_F(RenderStateGuardTest, NestedGuardsRestoreInTurnAndNoDeviceIsHarmless)
{
    {
        RenderStateGuard outer;
        outer.SetBlend(gfx::BlendMode::Additive);
        {
            RenderStateGuard inner;
            inner.SetBlend(gfx::BlendMode::Normal).SetLighting(false);
            EXPECT_EQ(device.States().destBlend, Blend::InvSrcAlpha);
        }
        EXPECT_EQ(device.States().destBlend, Blend::One);
        EXPECT_TRUE(device.States().lighting);
    }
    EXPECT_EQ(device.States().destBlend, Blend::SrcColor);

    ReleaseGraphics();
    RenderStateGuard none;
    Change(none, ALL_STATES);
    EXPECT_EQ(device.States().destBlend, Blend::SrcColor);
}

}   // namespace
