// The generated data set (build/data): every file the game loads is there in
// a form its readers accept, the pictures match the region tables the screens
// draw from, the arenas catch what the game drops on them, the meshes have the
// sizes their bodies need and face the right way, and the music runs a minute
// or more and loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/WaveFile.h"
#include "game/StageMeshReader.h"
#include "platform/Texture.h"
#include "platform/audio/Mp3Stream.h"
#include "platform/xfile/XFileReader.h"
#include "tools/assetgen/StoredPngWriter.h"
#include "tools/assetgen/TextureRegions.h"

namespace {

namespace R = assetgen::regions;

std::string DataPath(const std::string& relative) { return std::string(SPINDREL_BINARY_DIR) + "/data/" + relative; }

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

bool Exists(const std::string& relative) { return std::filesystem::is_regular_file(DataPath(relative)); }

const char* const kMeshes[] = {
    "X/Top.x",      "X/TopAlpha.x", "X/EffectAura.x", "X/EffectAirWall.x",    "X/Item.x",       "X/Item1.x",
    "X/Item2.x",    "X/Item3.x",    "X/ItemBox.x",    "X/ItemBoxPropeller.x", "X/effectJump.x", "X/space.x",
    "X/stage_1.x",  "X/stage_2.x",  "X/stage_3.x",    "X/stage_4.x",          "X/stage_5.x",    "X/St1Enemy.x",
    "X/St2Enemy.x", "X/St3Enemy.x", "X/St4Enemy.x",   "X/St5Enemy.x",         "X/capsule.x",    "X/St5Obj.x",
    "X/St5Bomm.x",  "X/Rale.x",     "X/RaleRoll.x"};

const char* const kSounds[] = {"sound/Move.wav",
                               "sound/System.wav",
                               "sound/title/Explosion.wav",
                               "sound/title/TextScall.wav",
                               "sound/title/TextAlpha.wav",
                               "sound/title/Kira.wav",
                               "sound/title/TitleMove.wav",
                               "sound/title/KomaMove.wav",
                               "sound/game/KiaiGageUP.wav",
                               "sound/game/KomaHit.wav",
                               "sound/game/KomaAxis.wav",
                               "sound/game/KomaSpin.wav",
                               "sound/game/KomaAtack.wav",
                               "sound/game/ItemBox.wav",
                               "sound/game/ItemShoot.wav",
                               "sound/game/ItemEffect.wav",
                               "sound/game/ItemHit.wav",
                               "sound/game/ItemJump.wav",
                               "sound/game/Tubazeri.wav",
                               "sound/game/KomaShoot.wav",
                               "sound/game/RallRoll.wav",
                               "sound/game/result/GameOverText.wav",
                               "sound/game/result/StageClearText.wav",
                               "sound/game/result/Continue.wav"};

const char* const kMusic[] = {"bgm/Title.mp3", "bgm/StageSelect.mp3", "bgm/PowerSet.mp3", "bgm/Game.mp3",
                              "bgm/Clash.mp3"};

plat::XModel LoadModel(const std::string& relative)
{
    plat::XModel model;
    plat::XFileStatus status = plat::XFileReader::ReadFile(DataPath(relative), &model);
    EXPECT_EQ(status, plat::XFileStatus::Ok) << relative << ": " << plat::ToString(status);
    return model;
}

struct Bounds {
    float radius = 0;   // largest distance from the y axis
    float low = 1e9f, high = -1e9f;
};

Bounds Measure(const plat::XModel& m)
{
    Bounds b;
    for (const plat::MeshVertex& v : m.vertices) {
        b.radius = std::max(b.radius, std::hypot(v.position.x, v.position.z));
        b.low = std::min(b.low, v.position.y), b.high = std::max(b.high, v.position.y);
    }
    return b;
}

// The facing of a triangle: Direct3D draws the side from which its corners run
// clockwise, which in a left-handed world is where this cross product points.
plat::Vec3 FrontDirection(const plat::XModel& m, size_t first)
{
    const plat::Vec3& a = m.vertices[m.indices[first]].position;
    const plat::Vec3& b = m.vertices[m.indices[first + 1]].position;
    const plat::Vec3& c = m.vertices[m.indices[first + 2]].position;
    return plat::Cross(b - a, c - a);
}

bool Overlap(const R::Region& a, const R::Region& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The highest floor under (x, z) among the arena's triangles, or -inf when nothing is under it.
float FloorUnder(const StageMesh& mesh, float x, float z)
{
    float best = -INFINITY;
    for (int t = 0; t + 2 < mesh.indexCount; t += 3) {
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = &mesh.vertices[3 * static_cast<size_t>(mesh.indices[t + k])];
        float d = (p[1][2] - p[2][2]) * (p[0][0] - p[2][0]) + (p[2][0] - p[1][0]) * (p[0][2] - p[2][2]);
        if (std::fabs(d) < 1e-9f) continue;
        float w0 = ((p[1][2] - p[2][2]) * (x - p[2][0]) + (p[2][0] - p[1][0]) * (z - p[2][2])) / d;
        float w1 = ((p[2][2] - p[0][2]) * (x - p[2][0]) + (p[0][0] - p[2][0]) * (z - p[2][2])) / d;
        float w2 = 1 - w0 - w1;
        if (w0 < -1e-5f || w1 < -1e-5f || w2 < -1e-5f) continue;
        best = std::max(best, w0 * p[0][1] + w1 * p[1][1] + w2 * p[2][1]);
    }
    return best;
}

StageMesh ReadArena(int stage)
{
    return ReadStageMesh(DataPath("X/stage_" + std::to_string(stage) + ".x").c_str(), 1.0f);
}

// ------------------------------------------------------------ files

TEST(AssetSet, HoldsEveryFileTheGameLoads)
{
    ASSERT_TRUE(std::filesystem::is_directory(DataPath(""))) << "no data set: build the 'data' target first";
    for (const char* f : kMeshes) EXPECT_TRUE(Exists(f)) << f;
    for (const R::TextureTable& t : R::kTextures) EXPECT_TRUE(Exists(t.file)) << t.file;
    for (const char* f : kSounds) EXPECT_TRUE(Exists(f)) << f;
    for (const char* f : kMusic) EXPECT_TRUE(Exists(f)) << f;
}

TEST(AssetSet, MeshesReadWithSubsetsAndTheirTexturesBesideThem)
{
    for (const char* f : kMeshes) {
        plat::XModel m = LoadModel(f);
        EXPECT_FALSE(m.subsets.empty()) << f;
        EXPECT_GT(m.indices.size(), 0u) << f;
        EXPECT_TRUE(m.hasNormals && m.hasTexCoords) << f;
        for (const plat::XMaterial& mat : m.materials) {
            if (mat.textureFile.empty()) continue;
            plat::Texture tex;
            EXPECT_TRUE(tex.LoadFromFile(DataPath("X/" + mat.textureFile), 0)) << f << " names " << mat.textureFile;
            EXPECT_TRUE(IsPowerOfTwo(tex.SourceWidth()) && IsPowerOfTwo(tex.SourceHeight())) << mat.textureFile;
        }
    }
}

// ------------------------------------------------------------ pictures

// The generator stores its PNGs' pixels uncompressed, in blocks of at most
// 64 KB: one pixel, one block, and pictures that take several blocks decode
// to the pixels written.
TEST(AssetSet, StoredPngsDecodeToThePixelsWritten)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {4, 2}, {256, 64}, {128, 128}, {1024, 64}};
    for (const auto& [width, height] : sizes) {
        std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 7 + i / 1024);
        const std::vector<uint8_t> file = assetgen::StoredPngWriter::Encode(rgba.data(), width, height);
        plat::Texture texture;
        ASSERT_TRUE(texture.LoadFromMemory(file.data(), file.size(), 0)) << width << " x " << height;
        ASSERT_EQ(texture.Width(), width);
        ASSERT_EQ(texture.Height(), height);
        EXPECT_TRUE(std::equal(rgba.begin(), rgba.end(), texture.Pixels().begin())) << width << " x " << height;
    }
}

TEST(AssetSet, PicturesHoldTheirRegionsWithoutOverlaps)
{
    for (const R::TextureTable& t : R::kTextures) {
        SCOPED_TRACE(t.file);
        EXPECT_TRUE(IsPowerOfTwo(t.width) && IsPowerOfTwo(t.height)) << "the loader would stretch the picture";
        plat::Texture tex;
        ASSERT_TRUE(tex.LoadFromFile(DataPath(t.file), t.colorKey));
        EXPECT_EQ(tex.SourceWidth(), t.width);
        EXPECT_EQ(tex.SourceHeight(), t.height);
        for (size_t i = 0; i < t.regions.size(); ++i) {
            const R::Region& r = t.regions[i];
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= t.width && r.bottom <= t.height && r.Width() > 0 &&
                        r.Height() > 0)
                << r.name << " lies outside";
            for (size_t j = i + 1; j < t.regions.size(); ++j)
                EXPECT_FALSE(Overlap(r, t.regions[j])) << r.name << " overlaps " << t.regions[j].name;
            // Something visible is painted in every region.
            int visible = 0;
            for (int y = std::max(r.top, 0); y < std::min(r.bottom, tex.Height()); ++y)
                for (int x = std::max(r.left, 0); x < std::min(r.right, tex.Width()); ++x) {
                    uint32_t p = tex.PixelARGB(x, y);
                    if ((p >> 24) > 16 && (p & 0xffffff) != 0) ++visible;
                }
            EXPECT_GT(visible, r.Width() * r.Height() / 50) << r.name << " is (nearly) empty";
        }
    }
}

TEST(AssetSet, RegionsMatchTheCoordinatesTheGameUses)
{
    // The enemy marker and hit texts are cut by texture coordinates of a 512-texel sheet.
    EXPECT_EQ(R::interface::EnemyMarker.left, static_cast<int>(0.875 * 512));
    EXPECT_EQ(R::interface::EnemyMarker.right, static_cast<int>(0.927734375 * 512));
    EXPECT_EQ(R::interface::EnemyMarker.top, static_cast<int>(0.09375 * 512));
    EXPECT_EQ(R::interface::EnemyMarker.bottom, static_cast<int>(0.146484375 * 512));
    EXPECT_EQ(R::interface::HitText1.top, static_cast<int>(0.34375 * 512));
    EXPECT_EQ(R::interface::HitText1.bottom, static_cast<int>(0.4375 * 512));
    // The widest gauge fill (ceiling 270 plus the 9-texel stub) and the strongest aim fit their strips.
    EXPECT_GE(R::interface::GaugeFill.Width(), 270 + 9);
    EXPECT_GE(R::interface::AimGaugeFill.Width(), 192);
    // Eight explosion frames of 160 x 160 fit, three to a row, in the sheet.
    const int perRow = 512 / R::explosion::kCell;
    for (int f = 0; f < R::explosion::kFrames; ++f) {
        const R::Region& cell = R::explosion::kAll[f];
        EXPECT_EQ(cell.left, R::explosion::kCell * (f % perRow));
        EXPECT_EQ(cell.top, R::explosion::kCell * (f / perRow));
    }
    // Letter and lit letter are the same size: the glint is drawn over the letter.
    for (int i = 0; i < R::title::kLetterCount; ++i) {
        EXPECT_EQ(R::title::Letter[i].Width(), R::title::Lit[i].Width());
        EXPECT_EQ(R::title::Letter[i].Height(), R::title::Lit[i].Height());
    }
    std::string name;
    for (const char* part : R::title::kLetterText) name += part;
    EXPECT_EQ(name, "SPINDREL");
}

TEST(AssetSet, ScreensKeepTheirTransparentAndBlackParts)
{
    plat::Texture select;
    ASSERT_TRUE(select.LoadFromFile(DataPath("texture/StageSelect.png"), 0));
    const R::Region& w = R::stageselect::PreviewWindow;
    for (int y = w.top; y < w.bottom; y += 7)
        for (int x = w.left; x < w.right; x += 7) ASSERT_EQ(select.PixelARGB(x, y) >> 24, 0u) << x << "," << y;
    EXPECT_EQ(select.PixelARGB(w.left - 20, w.top - 20) >> 24, 255u);
    EXPECT_EQ(select.PixelARGB(w.right + 20, w.bottom + 20) >> 24, 255u);

    // The fade stretches the top-left texel of Spark1.bmp over the screen: it darkens to black.
    plat::Texture spark;
    ASSERT_TRUE(spark.LoadFromFile(DataPath("texture/Spark1.bmp"), 0));
    EXPECT_EQ(spark.PixelARGB(0, 0), 0xff000000u);
    EXPECT_EQ(spark.PixelARGB(1, 1), 0xff000000u);

    // Keyed sheets: the background is the key colour and turns transparent.
    plat::Texture explosion;
    ASSERT_TRUE(explosion.LoadFromFile(DataPath("texture/Animation_Explosion.bmp"), R::kBlackKey));
    for (const R::Region& cell : R::explosion::kAll)
        EXPECT_EQ(explosion.PixelARGB(cell.left, cell.top), 0u) << cell.name;
}

// ------------------------------------------------------------ sound

TEST(AssetSet, SoundEffectsFollowTheGamesRiffRules)
{
    for (const char* f : kSounds) {
        SCOPED_TRACE(f);
        std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(DataPath(f).c_str(), "rb"), std::fclose);
        ASSERT_TRUE(file);
        unsigned char head[36];
        ASSERT_EQ(std::fread(head, 1, sizeof head, file.get()), sizeof head);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(head), 4), "RIFF");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(head) + 8, 8), "WAVEfmt ") << "the format chunk must come first";
        EXPECT_EQ(head[20] | head[21] << 8, 1) << "integer PCM";
        std::rewind(file.get());
        WaveData wave;
        ASSERT_TRUE(ReadWaveFile(file.get(), wave));
        EXPECT_TRUE(wave.format.bitsPerSample == 16 || wave.format.bitsPerSample == 8);
        EXPECT_EQ(wave.format.channels, 1);
        EXPECT_TRUE(wave.format.sampleRate == 22050 || wave.format.sampleRate == 44100);
        double seconds =
            static_cast<double>(wave.samples.size()) / (wave.format.sampleRate * wave.format.bitsPerSample / 8);
        EXPECT_GT(seconds, 0.1);
        EXPECT_LT(seconds, 3.0);
        // Not silent, and not clipped flat.
        int16_t peak = 0;
        for (size_t i = 0; i + 1 < wave.samples.size(); i += 2)
            peak = std::max<int16_t>(
                peak, static_cast<int16_t>(std::abs(static_cast<int16_t>(wave.samples[i] | wave.samples[i + 1] << 8))));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32767);
    }
}

TEST(AssetSet, MusicRunsAMinuteAndLoopsWithoutASeam)
{
    for (const char* f : kMusic) {
        SCOPED_TRACE(f);
        std::unique_ptr<plat::Mp3Stream> mp3 = plat::Mp3Stream::OpenFile(DataPath(f));
        ASSERT_TRUE(mp3);
        const double seconds = static_cast<double>(mp3->LengthFrames()) / mp3->SampleRate();
        EXPECT_GE(seconds, 60.0);
        EXPECT_LT(seconds, 120.0);
        // The end must flow into the start: no fade-out, no silence, no jump at the join.
        const size_t window = mp3->SampleRate() / 5;
        std::vector<float> head(window * 2), tail(window * 2);
        ASSERT_EQ(mp3->Read(head.data(), window), window);
        ASSERT_TRUE(mp3->Seek(mp3->LengthFrames() - static_cast<int64_t>(window)));
        size_t got = 0;
        while (got < window) {
            size_t n = mp3->Read(tail.data() + got * 2, window - got);
            if (n == 0) break;
            got += n;
        }
        ASSERT_EQ(got, window);
        auto rms = [](const std::vector<float>& v) {
            double e = 0;
            for (size_t i = 0; i < v.size(); i += 2) e += v[i] * v[i];
            return std::sqrt(e / (v.size() / 2));
        };
        EXPECT_GT(rms(tail), 0.3 * rms(head));
        EXPECT_GT(rms(head), 0.3 * rms(tail));
        EXPECT_LT(std::fabs(head[0] - tail[tail.size() - 2]), 0.25f);
    }
}

// ------------------------------------------------------------ arenas

TEST(AssetSet, ArenasReadAlikeByTheArenaReaderAndTheMeshLoader)
{
    for (int stage = 1; stage <= 5; ++stage) {
        SCOPED_TRACE(stage);
        StageMesh arena = ReadArena(stage);
        plat::XModel drawn = LoadModel("X/stage_" + std::to_string(stage) + ".x");
        ASSERT_TRUE(arena.HasTriangles());
        EXPECT_EQ(arena.vertexCount, static_cast<int>(drawn.vertices.size()));
        EXPECT_EQ(arena.indexCount, static_cast<int>(drawn.indices.size())) << "the face count was misread";
        float lowest = INFINITY;
        for (int i = 0; i < arena.vertexCount; ++i) lowest = std::min(lowest, arena.vertices[3 * i + 1]);
        EXPECT_GT(lowest, 0.0f) << "a top resting there would count as fallen";
    }
}

TEST(AssetSet, ArenasAreBowlsThatCatchWhatTheGameDrops)
{
    const float kPi = 3.14159265f;
    const float topBelowCentre = 2.42f;   // the shaft's reach below a top's disc
    for (int stage = 1; stage <= 5; ++stage) {
        SCOPED_TRACE(stage);
        StageMesh arena = ReadArena(stage);
        ASSERT_TRUE(arena.HasTriangles());
        float centre = FloorUnder(arena, 0, 0);
        EXPECT_NEAR(centre, 1.3f, 0.05f);
        // The floor rises from the middle outwards, but for stage 4's
        // spillways at 0, 150 and 210 degrees, which fall from 12 out to a bare
        // edge low enough to roll off.
        for (int a = 0; a < 24; ++a) {
            float degrees = 15.0f * a, angle = degrees * kPi / 180, last = centre;
            float offSpillway = 180;
            for (float middle : {0.0f, 150.0f, 210.0f})
                offSpillway = std::min(offSpillway, std::fabs(std::remainder(degrees - middle, 360.0f)));
            bool spillway = stage == 4 && offSpillway == 0;
            bool wall = stage != 4 || offSpillway > 20;
            // The swarm basin's pleats deepen outwards by a hundredth or so every 4 units.
            const float dip = stage == 2 ? 0.02f : 1e-3f;
            for (float r = 4; r <= 36; r += 4) {
                float h = FloorUnder(arena, r * std::cos(angle), r * std::sin(angle));
                if (spillway && r > 12) {
                    EXPECT_LE(h, last + 1e-3f) << degrees << " deg, r " << r;
                }
                if (wall) {
                    EXPECT_GE(h, last - dip) << degrees << " deg, r " << r;
                }
                last = h;
            }
            if (spillway) {
                EXPECT_LT(FloorUnder(arena, 39.5f * std::cos(angle), 39.5f * std::sin(angle)), 1.0f);
            }
            if (wall) {
                float rim = -INFINITY;   // the highest the floor climbs towards the edge
                for (float r = 30; r <= 48; r += 0.5f) {
                    float h = FloorUnder(arena, r * std::cos(angle), r * std::sin(angle));
                    if (std::isfinite(h)) rim = std::max(rim, h);
                }
                EXPECT_GT(rim, centre + 2) << "too flat to keep tops in";
            }
        }
        for (float z : {-30.0f, 30.0f}) {   // the two start points
            float h = FloorUnder(arena, 0, z);
            EXPECT_TRUE(std::isfinite(h));
            EXPECT_LT(h, 16 - topBelowCentre);
        }
        if (stage == 2 || stage == 3) {   // swarm enemies and bumpers: capsules 2.5 below their centre, dropped at 10
            for (float x = -25; x <= 24.9f; x += 4.99f)
                for (float z = -25; z <= 24.9f; z += 4.99f) {
                    float h = FloorUnder(arena, x, z);
                    EXPECT_TRUE(std::isfinite(h) && h < 10 - 2.5f - 0.3f) << x << "," << z << ": " << h;
                }
        }
        if (stage == 5) {   // bombs: capsules 3.3 below their centre, dropped at 10 on a ring 17 to 24 out
            for (int a = 0; a < 24; ++a)
                for (float r : {17.0f, 24.0f}) {
                    float angle = 2 * kPi * a / 24;
                    float h = FloorUnder(arena, r * std::cos(angle), r * std::sin(angle));
                    EXPECT_TRUE(std::isfinite(h) && h < 10 - 3.3f - 0.3f) << r << ": " << h;
                }
        }
        if (stage == 1 || stage == 3 || stage == 4) {   // items fall from the box's circle, 26.65 out at height 20
            for (int a = 0; a < 24; ++a) {
                float angle = 2 * kPi * a / 24;
                EXPECT_TRUE(std::isfinite(FloorUnder(arena, 26.65f * std::cos(angle), 26.65f * std::sin(angle))));
            }
        }
    }
}

// ------------------------------------------------------------ models

TEST(AssetSet, TopsHaveTheSizesOfTheirBodies)
{
    for (const char* f : {"X/Top.x", "X/St1Enemy.x", "X/St3Enemy.x", "X/St4Enemy.x"}) {
        Bounds b = Measure(LoadModel(f));
        EXPECT_NEAR(b.radius, 1.65f, 0.2f) << f;   // the disc body's radius is 1.6
        EXPECT_LE(b.low, -2.0f) << f;              // the shaft reaches 2.1 to 2.4 down
        EXPECT_GE(b.low, -2.45f) << f;
    }
    Bounds boss = Measure(LoadModel("X/St5Enemy.x"));
    EXPECT_NEAR(boss.radius, 6.6f, 0.9f);
    EXPECT_LT(boss.low, -9.5f);
    EXPECT_GT(boss.low, -10.5f);
    for (const char* f : {"X/St2Enemy.x", "X/capsule.x"}) {   // inside a capsule of radius 1.5 and length 2
        Bounds b = Measure(LoadModel(f));
        EXPECT_LE(b.radius, 1.65f) << f;
        EXPECT_GE(b.low, -2.55f) << f;
        EXPECT_LE(b.high, 2.55f) << f;
    }
    for (const char* f : {"X/Item.x", "X/Item1.x", "X/Item2.x", "X/Item3.x", "X/St5Obj.x"})
        EXPECT_NEAR(Measure(LoadModel(f)).radius, 1.0f, 0.05f) << f;
    Bounds sky = Measure(LoadModel("X/space.x"));
    EXPECT_LT(std::max({sky.radius, sky.high, -sky.low}) * 100, 5000.0f) << "drawn at scale 100 inside the far plane";
}

TEST(AssetSet, FacesAreWoundAsTheirNormalsSayAndTheSkyFacesIn)
{
    for (const char* f : kMeshes) {
        plat::XModel m = LoadModel(f);
        size_t wrong = 0;
        for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
            plat::Vec3 n = m.vertices[m.indices[i]].normal + m.vertices[m.indices[i + 1]].normal +
                           m.vertices[m.indices[i + 2]].normal;
            if (plat::Dot(FrontDirection(m, i), n) <= 0) ++wrong;
        }
        EXPECT_EQ(wrong, 0u) << f;
    }
    // Closed models face outwards, the sky inwards.
    for (const char* f : {"X/Item.x", "X/St5Obj.x", "X/capsule.x", "X/Top.x", "X/space.x"}) {
        plat::XModel m = LoadModel(f);
        size_t outwards = 0, total = 0;
        for (size_t i = 0; i + 2 < m.indices.size(); i += 3, ++total) {
            plat::Vec3 centre = m.vertices[m.indices[i]].position + m.vertices[m.indices[i + 1]].position +
                                m.vertices[m.indices[i + 2]].position;
            if (plat::Dot(FrontDirection(m, i), centre) > 0) ++outwards;
        }
        if (f == std::string("X/space.x")) {
            EXPECT_EQ(outwards, 0u) << f;
        } else {
            EXPECT_GT(outwards, total * 9 / 10) << f;
        }
    }
}

}   // namespace
