// The 2-D batches draw with the same screen states whatever the 3-D scene
// left set, and give the scene its states back when they end.
#include <gtest/gtest.h>

#include <vector>

#include "platform/LineBatch.h"
#include "platform/RecordingDevice.h"
#include "platform/SpriteBatch.h"
#include "platform/Texture.h"

namespace {

using plat::Blend;
using plat::Cull;
using plat::RecordingDevice;
using plat::TexOp;

class ScreenBatchStatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A 3-D scene's states, each the opposite of what the batches want.
        plat::RenderStates& rs = device.States();
        rs.alphaBlend = false;
        rs.srcBlend = Blend::One;
        rs.destBlend = Blend::One;
        rs.zEnable = true;
        rs.cull = Cull::CCW;
        rs.lighting = true;
        before = device.State();
        std::vector<uint8_t> pixels(16 * 16 * 4, 255);
        ASSERT_TRUE(texture.LoadFromPixels(pixels.data(), 16, 16, 0));
    }

    const RecordingDevice::Call& OnlyDraw() const
    {
        EXPECT_EQ(device.Calls().size(), 1u);
        return device.Calls().front();
    }

    static void ExpectScreenStates(const plat::RenderStates& rs)
    {
        EXPECT_TRUE(rs.alphaBlend);
        EXPECT_EQ(rs.srcBlend, Blend::SrcAlpha);
        EXPECT_EQ(rs.destBlend, Blend::InvSrcAlpha);
        EXPECT_FALSE(rs.zEnable);
        EXPECT_EQ(rs.cull, Cull::None);
        EXPECT_FALSE(rs.lighting);
    }

    RecordingDevice device;
    plat::DeviceState before;
    plat::Texture texture;
};

TEST_F(ScreenBatchStatesTest, SpritesModulateTheirTextureAndRestoreTheScene)
{
    plat::SpriteBatch sprites(device);
    sprites.Begin();
    sprites.Draw(&texture, plat::Rect{0, 0, 16, 16}, 0xffffffff);
    sprites.End();
    const auto& draw = OnlyDraw();
    ExpectScreenStates(draw.state.rs);
    EXPECT_EQ(draw.state.rs.stage0.colorOp, TexOp::Modulate);
    EXPECT_EQ(device.State().rs, before.rs);
}

TEST_F(ScreenBatchStatesTest, LinesTakeTheVertexColourUntexturedAndRestoreTheScene)
{
    device.SetTexture(&texture);
    before = device.State();
    plat::LineBatch lines(device);
    lines.Begin();
    const plat::Vec2 ends[2] = {{0, 0}, {10, 10}};
    lines.Draw(ends, 2, 0xff00ff00);
    lines.End();
    const auto& draw = OnlyDraw();
    ExpectScreenStates(draw.state.rs);
    EXPECT_EQ(draw.state.rs.stage0.colorOp, TexOp::SelectArg2);
    EXPECT_EQ(draw.state.texture, nullptr);
    EXPECT_EQ(device.State().rs, before.rs);
    EXPECT_EQ(device.State().texture, &texture);
}

}   // namespace
