#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/MipChain.h"

namespace {

struct Size {
    int width, height, levels;   // levels below level 0
};

class MipChainSizeTest : public ::testing::TestWithParam<Size> {};

TEST_P(MipChainSizeTest, HalvesEachSideDownToOnePixel)
{
    const Size s = GetParam();
    std::vector<uint8_t> pixels(size_t(s.width) * s.height * 4, 77);
    plat::MipChain chain(pixels.data(), s.width, s.height);
    int w = s.width, h = s.height, levels = 0;
    while (chain.Next()) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
        ++levels;
        EXPECT_EQ(chain.Width(), w);
        EXPECT_EQ(chain.Height(), h);
        EXPECT_TRUE(std::all_of(chain.Pixels(), chain.Pixels() + size_t(w) * h * 4, [](uint8_t v) { return v == 77; }));
    }
    EXPECT_EQ(levels, s.levels);
    EXPECT_FALSE(chain.Next());   // stays at the last level
    EXPECT_EQ(chain.Width() * chain.Height(), 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MipChainSizeTest,
                         ::testing::Values(Size{64, 16, 6}, Size{4, 64, 6}, Size{1, 8, 3}, Size{8, 1, 3},
                                           Size{2048, 1024, 11}, Size{1, 1, 0}));

// Rows of pairs first, then between them, each rounded half up: not the
// rounded average of four, which differs by one in a quarter of the pixels.
TEST(MipChainTest, MixesPairsAlongTheRowsThenBetweenThem)
{
    struct Case {
        uint8_t topLeft, topRight, bottomLeft, bottomRight, mixed;
    };
    for (const Case& c : {Case{0, 1, 0, 0, 1}, Case{0, 0, 0, 1, 1}, Case{1, 1, 1, 0, 1}, Case{103, 81, 8, 138, 83},
                          Case{115, 236, 178, 72, 151}, Case{0, 255, 255, 0, 128}, Case{255, 255, 255, 255, 255}}) {
        const std::vector<uint8_t> pixels = {c.topLeft, 0, 0, 0, c.topRight, 0, 0, 0, c.bottomLeft, 0, 0, 0,
                                             c.bottomRight, 0, 0, 0};
        plat::MipChain chain(pixels.data(), 2, 2);
        ASSERT_TRUE(chain.Next());
        EXPECT_EQ(chain.Pixels()[0], c.mixed) << int(c.topLeft) << " " << int(c.topRight) << " "
                                              << int(c.bottomLeft) << " " << int(c.bottomRight);
    }
}

TEST(MipChainTest, ALineOfPixelsMixesAlongItsLengthOnly)
{
    const std::vector<uint8_t> column = {10, 0, 0, 255, 21, 0, 0, 255, 30, 0, 0, 255, 40, 0, 0, 255};
    plat::MipChain chain(column.data(), 1, 4);
    ASSERT_TRUE(chain.Next());
    EXPECT_EQ(chain.Pixels()[0], 16);   // 10 and 21, rounded half up
    EXPECT_EQ(chain.Pixels()[4], 35);
    EXPECT_EQ(chain.Pixels()[3], 255);
    ASSERT_TRUE(chain.Next());
    EXPECT_EQ(chain.Pixels()[0], 26);
}

TEST(MipChainTest, NoPictureHasNoLevels)
{
    EXPECT_FALSE(plat::MipChain(nullptr, 4, 4).Next());
    const uint8_t pixel[4] = {};
    EXPECT_FALSE(plat::MipChain(pixel, 0, 4).Next());
    EXPECT_FALSE(plat::MipChain(pixel, 4, -1).Next());
}

}   // namespace
