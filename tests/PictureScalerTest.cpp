#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PictureScaler.h"
#include "platform/gl/GLRenderDevice.h"

namespace {

constexpr int kPictureWidth = 640, kPictureHeight = 480;
constexpr uint32_t kUntouched = 0x12345678;

// A picture as GL reads it back (bottom row first) whose every pixel tells
// where it is: red the column's low byte, green the row (from the top), blue
// the column's high bits.
std::vector<uint8_t> Pattern()
{
    std::vector<uint8_t> rgba(size_t(kPictureWidth) * kPictureHeight * 4);
    for (int top = 0; top < kPictureHeight; ++top)
        for (int x = 0; x < kPictureWidth; ++x) {
            uint8_t* p = rgba.data() + (size_t(kPictureHeight - 1 - top) * kPictureWidth + x) * 4;
            p[0] = static_cast<uint8_t>(x & 0xff);
            p[1] = static_cast<uint8_t>(top & 0xff);
            p[2] = static_cast<uint8_t>(x >> 8);
            p[3] = 0xff;
        }
    return rgba;
}

uint32_t Packed(uint8_t r, uint8_t g, uint8_t b, const plat::PixelLayout& layout)
{
    return (uint32_t{r} << layout.redShift) | (uint32_t{g} << layout.greenShift) | (uint32_t{b} << layout.blueShift) |
           layout.alphaMask;
}

struct Window {
    int width, height;
    std::vector<uint32_t> pixels;
    Window(int w, int h) : width(w), height(h), pixels(size_t(w) * h, kUntouched) {}
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

struct ScaleCase {
    const char* what;
    int width, height;
};

class PictureScalerTest : public ::testing::TestWithParam<ScaleCase> {};

// Whatever the window's size, the picture lands where the GL path puts it,
// the rest is black, and a one-colour picture stays that colour throughout.
TEST_P(PictureScalerTest, FillsTheLetterboxOfTheGLPathAndKeepsFlatColour)
{
    const ScaleCase& c = GetParam();
    const plat::PixelLayout layout{16, 8, 0, 0xff000000u};
    std::vector<uint8_t> flat(size_t(kPictureWidth) * kPictureHeight * 4);
    for (size_t i = 0; i < flat.size(); i += 4) {
        flat[i] = 200;
        flat[i + 1] = 90;
        flat[i + 2] = 30;
        flat[i + 3] = 0xff;
    }
    Window window(c.width, c.height);
    plat::PictureScaler scaler;
    scaler.Put(flat, kPictureWidth, kPictureHeight, window.pixels.data(), c.width, c.height, size_t(c.width) * 4,
               layout);

    const plat::LetterboxRect r = plat::FitBackBuffer(c.width, c.height);
    const int top = c.height - r.y - r.height;   // GL counts rows from the bottom
    const uint32_t colour = Packed(200, 90, 30, layout);
    int wrong = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const bool inside = x >= r.x && x < r.x + r.width && y >= top && y < top + r.height;
            wrong += window.At(x, y) != (inside ? colour : layout.alphaMask);
        }
    EXPECT_EQ(wrong, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureScalerTest,
                         ::testing::Values(ScaleCase{"twice", 1280, 960}, ScaleCase{"once", 640, 480},
                                           ScaleCase{"twice with bars above and below", 1280, 1024},
                                           ScaleCase{"full HD with bars at the sides", 1920, 1080},
                                           ScaleCase{"nine tenths of a 1280 x 960 screen", 1152, 864},
                                           ScaleCase{"smaller than the picture", 320, 240},
                                           ScaleCase{"odd sizes", 1001, 777}),
                         [](const ::testing::TestParamInfo<ScaleCase>& info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(PictureScalerExactTest, WholeMultiplesTurnEachPixelIntoASquareTheRightWayUp)
{
    const std::vector<uint8_t> picture = Pattern();
    for (const plat::PixelLayout& layout : {plat::PixelLayout{16, 8, 0, 0}, plat::PixelLayout{16, 8, 0, 0xff000000u},
                                            plat::PixelLayout{0, 8, 16, 0xff000000u}})
        for (int factor : {1, 2, 3}) {
            Window window(kPictureWidth * factor, kPictureHeight * factor);
            plat::PictureScaler scaler;
            scaler.Put(picture, kPictureWidth, kPictureHeight, window.pixels.data(), window.width, window.height,
                       size_t(window.width) * 4, layout);
            int wrong = 0;
            for (int y = 0; y < window.height; ++y)
                for (int x = 0; x < window.width; ++x) {
                    const int sx = x / factor, sy = y / factor;
                    wrong += window.At(x, y) != Packed(static_cast<uint8_t>(sx & 0xff), static_cast<uint8_t>(sy & 0xff),
                                                       static_cast<uint8_t>(sx >> 8), layout);
                }
            EXPECT_EQ(wrong, 0) << "factor " << factor << ", red at " << layout.redShift;
        }
}

// Between two pixels of different colours a scale that is no whole multiple
// blends them: every shown pixel lies between its neighbours in the picture.
TEST(PictureScalerExactTest, OtherScalesBlendNeighboursWithoutOvershoot)
{
    std::vector<uint8_t> stripes(size_t(kPictureWidth) * kPictureHeight * 4, 0xff);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            if (x % 2) std::fill_n(stripes.begin() + (size_t(y) * kPictureWidth + x) * 4, 3, uint8_t{0});
    Window window(1152, 864);
    plat::PictureScaler scaler;
    scaler.Put(stripes, kPictureWidth, kPictureHeight, window.pixels.data(), window.width, window.height,
               size_t(window.width) * 4, plat::PixelLayout{});
    bool grey = false;
    for (int x = 0; x < window.width; ++x) {
        const uint32_t p = window.At(x, 400);
        const uint32_t r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        ASSERT_TRUE(r == g && g == b) << "column " << x;   // no channel bleeds into another
        grey |= r > 0 && r < 0xff;
    }
    EXPECT_TRUE(grey);
}

TEST(PictureScalerExactTest, RefusesWhatDoesNotFitAndWritesNothing)
{
    const std::vector<uint8_t> picture = Pattern();
    const std::vector<uint8_t> truncated(picture.begin(), picture.end() - 4);
    struct Bad {
        const char* what;
        const std::vector<uint8_t>* picture;
        int width, height;
        size_t pitch;
    };
    for (const Bad& bad : {Bad{"a truncated picture", &truncated, 1280, 960, 1280 * 4},
                           Bad{"rows shorter than the width", &picture, 1280, 960, 1279 * 4},
                           Bad{"no width", &picture, 0, 960, 1280 * 4}, Bad{"no height", &picture, 1280, 0, 1280 * 4}}) {
        Window window(1280, 960);
        plat::PictureScaler scaler;
        scaler.Put(*bad.picture, kPictureWidth, kPictureHeight, window.pixels.data(), bad.width, bad.height, bad.pitch,
                   plat::PixelLayout{});
        EXPECT_TRUE(std::all_of(window.pixels.begin(), window.pixels.end(), [](uint32_t p) { return p == kUntouched; }))
            << bad.what;
    }
}

TEST(SoftwareRendererTest, KnowsMesasCpuRasterisersByName)
{
    EXPECT_TRUE(plat::IsSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(plat::IsSoftwareRenderer("softpipe"));
    EXPECT_TRUE(plat::IsSoftwareRenderer("Mesa X11 swrast"));
    EXPECT_FALSE(plat::IsSoftwareRenderer("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)"));
    EXPECT_FALSE(plat::IsSoftwareRenderer(""));
    EXPECT_FALSE(plat::IsSoftwareRenderer(nullptr));
}

}   // namespace
