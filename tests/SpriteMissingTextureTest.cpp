// A picture that failed to load draws nothing: neither a sprite holding its
// CTexture nor the shared batch queues a quad without a texture, which the
// device would otherwise fill as a solid white rectangle.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/CSprite.h"
#include "gfx/CTexture.h"
#include "gfx/Graphics.h"
#include "platform/RecordingDevice.h"
#include "platform/Texture.h"

namespace {

class SpriteMissingTextureTest : public ::testing::Test {
protected:
    void SetUp() override { InitGraphics(&device); }
    void TearDown() override { ReleaseGraphics(); }

    int UserDraws() const
    {
        int n = 0;
        for (const auto& c : device.Calls())
            if (c.kind == plat::RecordingDevice::CallKind::DrawUser) ++n;
        return n;
    }

    plat::RecordingDevice device;
};

}   // namespace

TEST_F(SpriteMissingTextureTest, SpriteOfAPictureThatFailedToLoadDrawsNothing)
{
    CTexture missing;
    EXPECT_FALSE(missing.Load("no/such/Interface.png", 0));
    ASSERT_EQ(missing.Texture(), nullptr);

    CSprite s;
    s.m_Texture = &missing;   // attached as a screen does, whatever the load gave
    s.SetSourceRect(0, 0, 64, 32);
    g_Sprite->Begin();
    s.Draw(100, 100, 255);
    s.Draw(100, 100, 2.0f, 2.0f, 0.5f, 255);
    s.DrawColored(100, 100, 0xff00ff00);
    EXPECT_TRUE(g_Sprite->Pending().empty());
    g_Sprite->End();
    EXPECT_EQ(UserDraws(), 0);
}

TEST_F(SpriteMissingTextureTest, ReloadThatFailsStopsAnEarlierPictureFromDrawing)
{
    std::vector<uint8_t> pixels(16 * 16 * 4, 255);
    CTexture picture;
    ASSERT_TRUE(picture.LoadPixels(pixels.data(), 16, 16, 0));
    CSprite s;
    s.AttachTexture(&picture);
    EXPECT_FALSE(picture.Load("no/such/Load.png", 0));   // the old picture is released

    g_Sprite->Begin();
    s.Draw(10, 10, 255);
    g_Sprite->End();
    EXPECT_EQ(UserDraws(), 0);
}

TEST_F(SpriteMissingTextureTest, BatchDropsQuadsWithoutPixelsButDrawsTheRest)
{
    std::vector<uint8_t> pixels(8 * 8 * 4, 255);
    plat::Texture good, empty;
    ASSERT_TRUE(good.LoadFromPixels(pixels.data(), 8, 8, 0));

    g_Sprite->Begin();
    g_Sprite->Draw(nullptr, {0, 0, 8, 8}, 0xffffffff);
    g_Sprite->Draw(&empty, {0, 0, 8, 8}, 0xffffffff);
    g_Sprite->Draw(&good, {0, 0, 8, 8}, 0xffffffff);
    g_Sprite->End();

    ASSERT_EQ(UserDraws(), 1);
    for (const auto& c : device.Calls())
        if (c.kind == plat::RecordingDevice::CallKind::DrawUser) {
            EXPECT_EQ(c.state.texture, &good);
            EXPECT_EQ(c.vertices.size(), 6u);
        }
}

TEST(RenderStatesDefaultTest, LargestPointSpriteIsSixtyFourPixelsAndNormalsAreLeftAsTransformed)
{
    plat::RenderStates rs;
    EXPECT_FLOAT_EQ(rs.pointSizeMax, 64.0f);
    EXPECT_FALSE(rs.normalizeNormals);
}
