// Sprite placement: pivots, frames of a sheet, source rectangles and the
// transform each draw gives the shared sprite batch.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "gfx/Graphics.h"
#include "platform/RecordingDevice.h"

namespace {

class CSpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitGraphics(&device);
        std::vector<uint8_t> pixels(512 * 512 * 4, 255);
        ASSERT_TRUE(sheet.LoadPixels(pixels.data(), 512, 512, 0));
    }
    void TearDown() override { ReleaseGraphics(); }

    // Draws inside a sprite batch and returns the screen corners of the quad
    // (top-left, top-right, bottom-right, bottom-left).
    std::vector<plat::Vec3> DrawnCorners(const std::function<void()>& draw)
    {
        device.ClearCalls();
        g_Sprite->Begin();
        draw();
        g_Sprite->End();
        for (auto& c : device.Calls())
            if (c.kind == plat::RecordingDevice::CallKind::DrawUser && c.vertices.size() == 6)
                return {c.vertices[0].position, c.vertices[1].position, c.vertices[2].position, c.vertices[5].position};
        return {};
    }

    plat::RecordingDevice device;
    CTexture sheet;
};

TEST_F(CSpriteTest, CentredPivotPlacesTheFrameAroundThePoint)
{
    CSprite s;
    s.m_Texture = &sheet;
    s.m_SheetWidth = sheet.m_Width;
    s.SetSourceRect(0, 64, 64, 128);
    EXPECT_EQ(s.m_FrameWidth, 64);
    EXPECT_EQ(s.m_FrameHeight, 64);
    EXPECT_FLOAT_EQ(s.m_PivotX, 32);
    EXPECT_FLOAT_EQ(s.m_PivotY, 32);
    auto corners = DrawnCorners([&] { s.Draw(320, 260, 255); });
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_FLOAT_EQ(corners[0].x, 288);
    EXPECT_FLOAT_EQ(corners[0].y, 228);
    EXPECT_FLOAT_EQ(corners[2].x, 352);
    EXPECT_FLOAT_EQ(corners[2].y, 292);
}

TEST_F(CSpriteTest, AnchorFlagsChooseThePivot)
{
    CSprite topLeft;
    topLeft.m_Anchor = 0x09;
    topLeft.SetSourceRect(0, 0, 100, 40);
    EXPECT_FLOAT_EQ(topLeft.m_PivotX, 0);
    EXPECT_FLOAT_EQ(topLeft.m_PivotY, 0);

    CSprite leftMiddle;
    leftMiddle.m_Anchor = 0x11;
    leftMiddle.SetSourceRect(0, 0, 100, 40);
    EXPECT_FLOAT_EQ(leftMiddle.m_PivotX, 0);
    EXPECT_FLOAT_EQ(leftMiddle.m_PivotY, 20);

    CSprite bottomRight;
    bottomRight.m_Anchor = CSprite::ANCHOR_RIGHT | CSprite::ANCHOR_BOTTOM;
    bottomRight.SetSourceRect(10, 10, 110, 50);
    EXPECT_FLOAT_EQ(bottomRight.m_PivotX, 100);
    EXPECT_FLOAT_EQ(bottomRight.m_PivotY, 40);

    topLeft.m_Texture = &sheet;
    auto corners = DrawnCorners([&] { topLeft.Draw(5, 7, 255); });
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_FLOAT_EQ(corners[0].x, 5);
    EXPECT_FLOAT_EQ(corners[0].y, 7);
}

TEST_F(CSpriteTest, FramesOfASheetRunRowByRow)
{
    CSprite s;
    s.AttachTexture(&sheet);
    EXPECT_EQ(s.m_SheetWidth, 512);
    EXPECT_EQ(s.m_Source.right, 512);
    s.SetFrameSize(160, 160);
    s.SetFrame(4);
    EXPECT_EQ(s.m_Source.left, 160);
    EXPECT_EQ(s.m_Source.top, 160);
    EXPECT_EQ(s.m_Source.right, 320);
    EXPECT_EQ(s.m_Source.bottom, 320);

    // A frame wider than the sheet leaves the rectangle but sizes the frame.
    s.SetFrameSize(600, 50);
    EXPECT_EQ(s.m_Source.left, 160);
    EXPECT_EQ(s.m_Source.right, 320);
    EXPECT_EQ(s.m_FrameWidth, 600);
    EXPECT_FLOAT_EQ(s.m_PivotX, 300);
    EXPECT_FLOAT_EQ(s.m_PivotY, 25);
}

TEST_F(CSpriteTest, ScaleAndRotationTurnAboutThePivot)
{
    CSprite s;
    s.m_Texture = &sheet;
    s.SetSourceRect(0, 0, 20, 10);
    auto plain = DrawnCorners([&] { s.Draw(100, 100, 1.0f, 1.0f, 0.0f, 255); });
    auto shorter = DrawnCorners([&] { s.Draw(100, 100, 255); });
    EXPECT_EQ(plain.size(), 4u);
    for (size_t i = 0; i < plain.size(); ++i) {
        EXPECT_FLOAT_EQ(plain[i].x, shorter[i].x);
        EXPECT_FLOAT_EQ(plain[i].y, shorter[i].y);
    }
    auto doubled = DrawnCorners([&] { s.Draw(100, 100, 2.0f, 3.0f, 255); });
    EXPECT_FLOAT_EQ(doubled[0].x, 80);
    EXPECT_FLOAT_EQ(doubled[0].y, 85);
    // A quarter turn clockwise on screen takes the top-left corner to the top-right.
    auto turned = DrawnCorners([&] { s.Draw(100, 100, 1.0f, 1.0f, plat::PI / 2, 255); });
    EXPECT_NEAR(turned[0].x, 105, 1e-4);
    EXPECT_NEAR(turned[0].y, 90, 1e-4);
}

TEST_F(CSpriteTest, AlphaAndColourReachTheVertices)
{
    CSprite s;
    s.m_Texture = &sheet;
    s.SetSourceRect(0, 0, 8, 8);
    device.ClearCalls();
    g_Sprite->Begin();
    s.Draw(10, 10, 0x40);
    s.DrawColored(10, 10, 0x80ff0000);
    g_Sprite->End();
    ASSERT_EQ(device.Calls().size(), 1u);   // one texture: one draw
    const auto& v = device.Calls()[0].vertices;
    ASSERT_EQ(v.size(), 12u);
    EXPECT_EQ(v[0].color, 0x40ffffffu);
    EXPECT_EQ(v[6].color, 0x80ff0000u);
}

TEST_F(CSpriteTest, WithoutTextureNothingIsDrawn)
{
    CSprite s;
    s.SetSourceRect(0, 0, 8, 8);
    EXPECT_TRUE(DrawnCorners([&] {
                    s.Draw(10, 10, 255);
                    s.DrawColored(1, 1, 0xffffffff);
                }).empty());
}

TEST_F(CSpriteTest, BatchSavesStateSetsSpriteStatesAndRestores)
{
    device.SetCull(plat::Cull::CW);
    device.SetLighting(true);
    device.SetDepthTest(true);
    device.SetAlphaBlend(false);
    plat::DeviceState before = device.State();

    CSprite s;
    s.m_Texture = &sheet;
    s.SetSourceRect(0, 0, 8, 8);
    device.ClearCalls();
    g_Sprite->Begin();
    s.Draw(10, 10, 255);
    g_Sprite->Flush();
    g_Device->SetDestBlend(plat::Blend::One);   // a glowing copy
    s.Draw(10, 10, 255);
    g_Sprite->End();

    ASSERT_EQ(device.Calls().size(), 2u);
    const auto& first = device.Calls()[0].state.rs;
    EXPECT_TRUE(first.alphaBlend);
    EXPECT_FALSE(first.zEnable);
    EXPECT_FALSE(first.lighting);
    EXPECT_EQ(first.cull, plat::Cull::None);
    EXPECT_EQ(first.srcBlend, plat::Blend::SrcAlpha);
    EXPECT_EQ(first.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_EQ(device.Calls()[1].state.rs.destBlend, plat::Blend::One);
    EXPECT_TRUE(device.State().rs == before.rs);
}

}   // namespace
