// Pictures into textures: power-of-two rounding with a linear stretch, the
// colour key, the three file formats and corrupt files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Texture.h"
#include "platform/image/ImageWriter.h"
#include "platform/image/JpegTableCheck.h"
#include "platform/image/PngWriter.h"
#include "tests/RefusalCapture.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t KEY_OPAQUE_BLACK = 0xff000000;

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = fs::temp_directory_path() / ("spindrel-texture-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Path(const std::string& name) const { return (m_Dir / name).string(); }

    // A picture filled with one ARGB colour, with optional single pixels.
    static std::vector<uint8_t> Fill(int w, int h, uint32_t argb)
    {
        std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
        for (size_t i = 0; i < rgba.size(); i += 4) Put(rgba, i / 4, argb);
        return rgba;
    }
    static void Put(std::vector<uint8_t>& rgba, size_t pixel, uint32_t argb)
    {
        rgba[pixel * 4 + 0] = static_cast<uint8_t>(argb >> 16);
        rgba[pixel * 4 + 1] = static_cast<uint8_t>(argb >> 8);
        rgba[pixel * 4 + 2] = static_cast<uint8_t>(argb);
        rgba[pixel * 4 + 3] = static_cast<uint8_t>(argb >> 24);
    }

    fs::path m_Dir;
};

}   // namespace

TEST_F(TextureTest, SizesRoundUpToPowersOfTwoAndReportTheRoundedSize)
{
    ASSERT_TRUE(plat::PngWriter::Write(Path("a.png"), Fill(200, 100, 0xff336699), 200, 100));
    plat::Texture t;
    ASSERT_TRUE(t.LoadFromFile(Path("a.png"), 0));
    EXPECT_EQ(t.Width(), 256);
    EXPECT_EQ(t.Height(), 128);
    EXPECT_EQ(t.SourceWidth(), 200);
    EXPECT_EQ(t.SourceHeight(), 100);
    EXPECT_EQ(t.MipLevels(), 9);
    EXPECT_EQ(t.Pixels().size(), 256u * 128u * 4u);
    EXPECT_EQ(t.PixelARGB(255, 127), 0xff336699u);   // stretched to the far corner
}

TEST_F(TextureTest, StretchingFiltersLinearlyAndKeepsPowerOfTwoPicturesExact)
{
    std::vector<uint8_t> row = Fill(3, 1, 0xffff0000);
    Put(row, 1, 0xff00ff00);
    Put(row, 2, 0xff0000ff);
    plat::Texture t;
    ASSERT_TRUE(t.LoadFromPixels(row.data(), 3, 1, 0));
    ASSERT_EQ(t.Width(), 4);
    EXPECT_EQ(t.PixelARGB(0, 0), 0xffff0000u);
    EXPECT_EQ(t.PixelARGB(3, 0), 0xff0000ffu);
    // Destination pixel 1 samples source position 0.625: 3/8 red, 5/8 green.
    EXPECT_EQ(t.PixelARGB(1, 0), 0xff609f00u);

    std::vector<uint8_t> square = Fill(2, 2, 0xff102030);
    Put(square, 3, 0x80405060);
    ASSERT_TRUE(t.LoadFromPixels(square.data(), 2, 2, 0));
    EXPECT_EQ(t.Width(), 2);
    EXPECT_EQ(t.PixelARGB(0, 0), 0xff102030u);
    EXPECT_EQ(t.PixelARGB(1, 1), 0x80405060u);
    EXPECT_EQ(t.PixelARGB(2, 0), 0u);   // outside
}

TEST_F(TextureTest, ColourKeyMatchesTheWholeARGBValue)
{
    std::vector<uint8_t> rgba = Fill(4, 1, 0xff000000);   // opaque black
    Put(rgba, 1, 0xff010000);                             // nearly black
    Put(rgba, 2, 0x80000000);                             // black, half transparent
    Put(rgba, 3, 0xffff00ff);                             // magenta
    ASSERT_TRUE(plat::PngWriter::Write(Path("k.png"), rgba, 4, 1));

    plat::Texture t;
    ASSERT_TRUE(t.LoadFromFile(Path("k.png"), KEY_OPAQUE_BLACK));
    EXPECT_EQ(t.PixelARGB(0, 0), 0x00000000u);
    EXPECT_EQ(t.PixelARGB(1, 0), 0xff010000u);
    EXPECT_EQ(t.PixelARGB(2, 0), 0x80000000u);
    EXPECT_EQ(t.PixelARGB(3, 0), 0xffff00ffu);

    ASSERT_TRUE(t.LoadFromFile(Path("k.png"), 0xffff00ff));
    EXPECT_EQ(t.PixelARGB(0, 0), 0xff000000u);
    EXPECT_EQ(t.PixelARGB(3, 0), 0x00000000u);

    ASSERT_TRUE(t.LoadFromFile(Path("k.png"), 0));
    EXPECT_EQ(t.PixelARGB(0, 0), 0xff000000u);
}

TEST_F(TextureTest, KeyedBitmapLoadsWithTransparentBackground)
{
    // The effect bitmaps: a bright spark on opaque black, keyed and stretched.
    std::vector<uint8_t> rgba = Fill(3, 3, 0xff000000);
    Put(rgba, 4, 0xffffffff);
    ASSERT_TRUE(plat::ImageWriter::WriteBmp(Path("spark.bmp"), rgba.data(), 3, 3));
    plat::Texture t;
    ASSERT_TRUE(t.LoadFromFile(Path("spark.bmp"), KEY_OPAQUE_BLACK));
    EXPECT_EQ(t.Width(), 4);
    EXPECT_EQ(t.PixelARGB(0, 0), 0x00000000u);
    EXPECT_EQ(t.PixelARGB(3, 3), 0x00000000u);
    // The stretch blends the spark with its transparent surroundings.
    uint32_t centre = t.PixelARGB(1, 1);
    EXPECT_GT(centre >> 24, 0x40u);
    EXPECT_EQ(centre >> 24, t.PixelARGB(2, 2) >> 24);
}

TEST_F(TextureTest, JpegDecodes)
{
    ASSERT_TRUE(plat::ImageWriter::WriteJpeg(Path("j.jpg"), Fill(64, 48, 0xff2080c0).data(), 64, 48, 95));
    plat::Texture t;
    ASSERT_TRUE(t.LoadFromFile(Path("j.jpg"), 0));
    EXPECT_EQ(t.Width(), 64);
    EXPECT_EQ(t.Height(), 64);
    uint32_t p = t.PixelARGB(10, 10);
    EXPECT_EQ(p >> 24, 0xffu);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xff), 0x20, 6);
    EXPECT_NEAR(static_cast<int>(p & 0xff), 0xc0, 6);
}

// A bitmap header of 64 bytes claiming width x height pixels of 24 bits.
std::vector<uint8_t> BitmapHeaderOnly(uint16_t width, uint16_t height)
{
    std::vector<uint8_t> bmp(64, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[10] = 54;   // the pixels' offset
    bmp[14] = 40;
    bmp[18] = static_cast<uint8_t>(width), bmp[19] = static_cast<uint8_t>(width >> 8);
    bmp[22] = static_cast<uint8_t>(height), bmp[23] = static_cast<uint8_t>(height >> 8);
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp;
}

// A 6 x 2 PNG whose IDAT chunk claims 654 MB in a file of 71 bytes: the
// decoder grew its buffer to the claimed length before reading (found by the
// fuzzer).
const std::vector<uint8_t> PNG_CHUNK_BEYOND_FILE = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x06, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x00, 0x00, 0x00, 0x14, 0x86, 0xea, 0x23, 0x27, 0x00, 0x00,
    0x0e, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x90, 0x7e, 0xc0, 0x20, 0xfd, 0x00, 0x00, 0x05, 0x23, 0x01,
    0xf7, 0xc5, 0x9d, 0x0a, 0x71, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

TEST_F(TextureTest, CorruptOrMissingFilesFailAreReportedOnceAndLeaveTheTextureAsItWas)
{
    ASSERT_TRUE(plat::PngWriter::Write(Path("good.png"), Fill(8, 8, 0xff112233), 8, 8));
    plat::Texture t;
    ASSERT_TRUE(t.LoadFromFile(Path("good.png"), 0));
    std::ifstream in(Path("good.png"), std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<uint8_t> noise(300);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 37 + 11);

    struct Damaged {
        std::string name;
        std::vector<uint8_t> bytes;
        std::string why;
    };
    const std::vector<Damaged> damaged = {
        {"half.png", std::vector<uint8_t>(png.begin(), png.begin() + static_cast<long>(png.size() / 2)), "cut short"},
        {"chunk.png", PNG_CHUNK_BEYOND_FILE, "cut short"},
        {"header.bmp", BitmapHeaderOnly(4000, 4000), "cut short"},
        {"huge.bmp", BitmapHeaderOnly(60000, 60000), "picture too large"},
        {"noise.png", noise, "not a BMP, PNG or JPEG picture"},
        {"empty.png", {}, "empty"},
    };
    RefusalCapture capture;
    for (const Damaged& file : damaged) {
        std::ofstream(Path(file.name), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
        for (int attempt = 0; attempt < 2; ++attempt) EXPECT_FALSE(t.LoadFromFile(Path(file.name), 0)) << file.name;
        EXPECT_FALSE(t.LoadFromMemory(file.bytes.data(), file.bytes.size(), 0)) << file.name;
        EXPECT_EQ(capture.WhyRefused(Path(file.name)), file.why) << file.name;
    }
    EXPECT_FALSE(t.LoadFromFile(Path("missing.png"), 0));
    EXPECT_EQ(capture.WhyRefused(Path("missing.png")), "missing");
    EXPECT_EQ(capture.Messages().size(), damaged.size() + 1) << "one message a file";
    EXPECT_EQ(capture.Messages().back(), "spindrel: refused " + Path("missing.png") + ": missing");
    EXPECT_FALSE(t.LoadFromMemory(nullptr, 0, 0));
    EXPECT_FALSE(t.LoadFromPixels(png.data(), 0, 5, 0));

    EXPECT_EQ(t.Width(), 8);
    EXPECT_EQ(t.PixelARGB(7, 7), 0xff112233u);
}

TEST_F(TextureTest, JpegHuffmanTablesWithTooManySymbolsAreRefusedBeforeDecoding)
{
    ASSERT_TRUE(plat::ImageWriter::WriteJpeg(Path("ok.jpg"), Fill(16, 16, 0xff808080).data(), 16, 16, 90));
    std::ifstream in(Path("ok.jpg"), std::ios::binary);
    std::vector<uint8_t> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(plat::JpegHuffmanTablesFit(good.data(), good.size()));

    // A DHT segment declaring 16 x 200 symbols, after fill bytes before the
    // start marker (which the decoder accepts too).
    std::vector<uint8_t> bad = {0xff, 0xff, 0xff, 0xd8, 0xff, 0xc4, 0x0c, 0x83, 0x00};
    bad.insert(bad.end(), 16, 200);
    bad.insert(bad.end(), 3200, 1);
    bad.insert(bad.end(), {0xff, 0xd9});
    EXPECT_FALSE(plat::JpegHuffmanTablesFit(bad.data(), bad.size()));
    plat::Texture t;
    EXPECT_FALSE(t.LoadFromMemory(bad.data(), bad.size(), 0));

    // The same table inside a comment is not a table.
    std::vector<uint8_t> comment = {0xff, 0xd8, 0xff, 0xfe, 0x00, 0x14, 0xff, 0xc4, 0x00, 0x13, 0x00};
    comment.insert(comment.end(), 16, 200);
    comment.insert(comment.end(), {0xff, 0xd9});
    comment[5] = static_cast<uint8_t>(comment.size() - 6);
    EXPECT_TRUE(plat::JpegHuffmanTablesFit(comment.data(), comment.size()));
}

TEST_F(TextureTest, OpaqueOnlyWhenEveryPixelAfterKeyingAndStretchingIsFull)
{
    plat::Texture t;
    EXPECT_FALSE(t.IsOpaque());   // empty

    std::vector<uint8_t> rgba = Fill(3, 3, 0xff204060);
    ASSERT_TRUE(t.LoadFromPixels(rgba.data(), 3, 3, 0));
    EXPECT_TRUE(t.IsOpaque());

    // One keyed pixel, stretched to 4 x 4, leaves see-through pixels.
    Put(rgba, 4, 0xff000000);
    ASSERT_TRUE(t.LoadFromPixels(rgba.data(), 3, 3, KEY_OPAQUE_BLACK));
    EXPECT_FALSE(t.IsOpaque());
    // A key that matches nothing keeps it opaque.
    ASSERT_TRUE(t.LoadFromPixels(rgba.data(), 3, 3, 0xffffffff));
    EXPECT_TRUE(t.IsOpaque());

    // Alpha one step short of full is see-through.
    Put(rgba, 8, 0xfe204060);
    ASSERT_TRUE(t.LoadFromPixels(rgba.data(), 3, 3, 0));
    EXPECT_FALSE(t.IsOpaque());

    // In a large picture, one see-through pixel anywhere is found.
    for (size_t pixel : {size_t{0}, size_t{63}, size_t{64}, size_t{1000}, size_t{64 * 64 - 1}}) {
        std::vector<uint8_t> large = Fill(64, 64, 0xff204060);
        ASSERT_TRUE(t.LoadFromPixels(large.data(), 64, 64, 0));
        EXPECT_TRUE(t.IsOpaque());
        Put(large, pixel, 0x7f204060);
        ASSERT_TRUE(t.LoadFromPixels(large.data(), 64, 64, 0));
        EXPECT_FALSE(t.IsOpaque()) << "pixel " << pixel;
    }

    // A failed load leaves the answer as the texture was.
    EXPECT_FALSE(t.LoadFromFile(Path("missing.png"), 0));
    EXPECT_FALSE(t.IsOpaque());
}
