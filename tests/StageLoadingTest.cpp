#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/Globals.h"
#include "game/CKomaSet.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "physics/CODE.h"
#include "platform/MemoryPolicy.h"
#include "stage/CLoadStage.h"
#include "stage/CLoading.h"
#include "stage/LoadCostBook.h"
#include "tests/StageTestSupport.h"

using namespace stagetest;

namespace {

// The loading picture's banner is centred on (320, 180): 224 x 64 texels.
constexpr float BANNER_LEFT = 320 - 112, BANNER_TOP = 180 - 32;

const plat::RecordingDevice::Call* FindBannerDraw(const plat::RecordingDevice& device)
{
    for (const auto& call : device.Calls()) {
        if (call.kind != plat::RecordingDevice::CallKind::DrawUser || call.vertices.empty()) continue;
        const plat::Vec3& p = call.vertices[0].position;
        if (p.x == BANNER_LEFT && p.y == BANNER_TOP) return &call;
    }
    return nullptr;
}

// A folder with the loading picture and stage 1's arena; everything else the
// loader asks for is missing, which leaves empty objects behind.
class MinimalStageData {
public:
    MinimalStageData()
    {
        dir.WritePicture("texture/Load.png", 256, 128);
        dir.Write("X/stage_1.x", SquareArenaX());
    }
    ScratchDir dir;
};

// Every stage loads the interface's hint picture besides its own set.
constexpr int HINT_PICTURE = 1;

int ResourcesForStage(int stageIndex)
{
    int n = 0;
    for (const StageResource& r : StageResourceTable())
        if (IsLoadedForStage(r, stageIndex)) ++n;
    return n;
}

size_t HeapBytesInUse()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

class StageLoadingTest : public ::testing::Test {
protected:
    void SetUp() override { g_StageIndex = 0; }
    void TearDown() override { g_StageIndex = 0; }
};

TEST_F(StageLoadingTest, LoadingScreenBlinksAndSpinsEveryFrame)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    CLoading screen;

    std::vector<int> alphas, angles;
    for (int frame = 0; frame < 60; ++frame) {
        env.device.ClearCalls();
        screen.Draw();
        alphas.push_back(screen.m_BlinkAlpha);
        angles.push_back(screen.m_Angle);

        // Both pieces are drawn every frame: the banner with the blink, the
        // wheel opaque and turned by the angle about its centre (320, 260).
        const auto* call = FindBannerDraw(env.device);
        ASSERT_NE(call, nullptr) << "frame " << frame;
        ASSERT_EQ(call->vertices.size(), 12u);
        EXPECT_EQ(call->vertices[0].color >> 24, static_cast<uint32_t>(screen.m_BlinkAlpha));
        EXPECT_EQ(call->vertices[6].color >> 24, 255u);
        plat::Vec3 corner = call->vertices[6].position;   // the wheel's top-left corner
        float turned = std::atan2(corner.y - 260, corner.x - 320) - std::atan2(-32.0f, -32.0f);
        float expected = screen.m_Angle * plat::PI / 180;
        EXPECT_NEAR(std::remainder(turned - expected, 2 * plat::PI), 0, 1e-3) << "frame " << frame;
    }

    // 245, 235, ... 5, then back to 255: a cycle of 26 frames.
    EXPECT_EQ(alphas[0], 245);
    EXPECT_EQ(alphas[24], 5);
    EXPECT_EQ(alphas[25], 255);
    EXPECT_EQ(alphas[26], 245);
    EXPECT_EQ(*std::min_element(alphas.begin(), alphas.end()), 5);
    for (size_t i = 26; i < alphas.size(); ++i) EXPECT_EQ(alphas[i], alphas[i - 26]);
    // 45, 90, ... 360, then 0: a cycle of 9 frames.
    EXPECT_EQ(angles[0], 45);
    EXPECT_EQ(angles[7], 360);
    EXPECT_EQ(angles[8], 0);
    EXPECT_EQ(angles[9], 45);
    EXPECT_EQ(*std::max_element(angles.begin(), angles.end()), 360);
    for (size_t i = 9; i < angles.size(); ++i) EXPECT_EQ(angles[i], angles[i - 9]);
}

TEST_F(StageLoadingTest, LoaderQueuesResourcesThenTheStageTasksInInitOrder)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    AddTask(new CLoadStage, PRIORITY_LOADING);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());

    const std::vector<TaskEntry>& pending = PendingTasks();
    const int resources = ResourcesForStage(0);
    EXPECT_EQ(resources, 33 + HINT_PICTURE);
    ASSERT_EQ(pending.size(), static_cast<size_t>(resources) + 7);
    for (int i = 0; i < resources; ++i) {
        EXPECT_EQ(pending[i].priority, PRIORITY_RESOURCE);
        EXPECT_TRUE(pending[i].owned);
    }
    const char* taskNames[] = {"CODE",        "CCamera",           "CStage",         "CKomaSet",
                               "St1EnemySet", "CSpriteRenderInit", "CItemAppendInit"};
    const int32_t taskPriorities[] = {7000, 2000, 3000, 4000, 4000, 9000, 3500};
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(pending[resources + i].name, taskNames[i]);
        EXPECT_EQ(pending[resources + i].priority, taskPriorities[i]);
    }

    // Meshes and sounds are queued under their key, textures unnamed, and
    // every one is registered; other stages' meshes are not loaded.
    for (const TaskEntry& e : pending) {
        if (e.priority != PRIORITY_RESOURCE) continue;
        if (e.name[0])
            EXPECT_EQ(FindResource(e.name), e.object) << e.name;
        else
            EXPECT_NE(dynamic_cast<CTexture*>(e.object), nullptr);
    }
    for (const char* key : {"XTop", "XStage1", "XSt1Enemy", "InterfaceBMP", "spark1BMP", "TubazeriSE", "HintBMP"})
        EXPECT_NE(FindResource(key), nullptr) << key;
    for (const char* key : {"XStage2", "XSt2Enemy", "XCapsule", "XSt5Bomm"})
        EXPECT_EQ(FindResource(key), nullptr) << key;
}

TEST(LoadCostBookTest, FilesNeverLoadedGoFirstMeshesAheadThenTheSlowestLastTime)
{
    using std::chrono::milliseconds;
    LoadCostBook book;
    const std::vector<LoadCostBook::File> files = {{"X/small.x", 100, true},
                                                   {"X/sky.x", 300, true},
                                                   {"new/big.png", 5000, false},
                                                   {"X/large.x", 900, true},
                                                   {"new/small.wav", 10, false}};
    // Nothing known: meshes, which may name pictures, then the rest, by size.
    EXPECT_EQ(book.Order(files), (std::vector<size_t>{3, 1, 0, 2, 4}));

    book.Record("X/small.x", milliseconds(1));
    book.Record("X/sky.x", milliseconds(18));   // names a large picture
    book.Record("X/large.x", milliseconds(5));
    EXPECT_EQ(book.Order(files), (std::vector<size_t>{2, 4, 1, 3, 0}));

    book.Record("X/sky.x", milliseconds(2));   // the latest time counts
    EXPECT_EQ(book.Order(files), (std::vector<size_t>{2, 4, 3, 1, 0}));
    book.Forget();
    EXPECT_EQ(book.Order(files), (std::vector<size_t>{3, 1, 0, 2, 4}));
}

TEST_F(StageLoadingTest, TheLoaderRecordsWhatEachFileCost)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    LoadCostBook::Shared().Forget();
    AddTask(new CLoadStage, PRIORITY_LOADING);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
    // A file of the load is known now; one never loaded still comes first.
    EXPECT_EQ(LoadCostBook::Shared().Order({{"X/stage_1.x", 1}, {"X/stage_9.x", 0}}), (std::vector<size_t>{1, 0}));
}

TEST_F(StageLoadingTest, StageSpecificResourcesFollowTheStageIndex)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    struct Expectation {
        int stage;
        std::vector<const char*> present, absent;
        int count;
    };
    const Expectation cases[] = {
        {1, {"XStage2", "XSt2Enemy"}, {"XStage1", "XCapsule"}, 33 + HINT_PICTURE},
        {2, {"XStage3", "XSt3Enemy", "XCapsule"}, {"XStage2", "XSt4Enemy"}, 34 + HINT_PICTURE},
        {3, {"XStage4", "XSt4Enemy"}, {"XCapsule", "XSt5Obj"}, 33 + HINT_PICTURE},
        {4, {"XStage5", "XSt5Enemy", "XSt5Obj", "XSt5Bomm"}, {"XStage4", "XSt1Enemy"}, 35 + HINT_PICTURE},
    };
    for (const Expectation& c : cases) {
        g_StageIndex = c.stage;
        ClearTasks();
        AddTask(new CLoadStage, PRIORITY_LOADING);
        g_StageIndex = 0;   // the loader works with the copy taken at construction
        ASSERT_TRUE(env.RunLoad());
        for (const char* key : c.present) EXPECT_NE(FindResource(key), nullptr) << c.stage << " " << key;
        for (const char* key : c.absent) EXPECT_EQ(FindResource(key), nullptr) << c.stage << " " << key;
        EXPECT_EQ(CountEntriesAt(PRIORITY_RESOURCE), c.count) << c.stage;
    }
}

TEST_F(StageLoadingTest, HandOverFrameDrawsNothingAndTheStageStartsNextFrame)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    AddTask(new CLoadStage, PRIORITY_LOADING);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());

    // While the flag is clear the screen draws its picture.
    ClearLoadingDone();
    env.device.ClearCalls();
    env.Frame();
    EXPECT_NE(FindBannerDraw(env.device), nullptr);
    EXPECT_EQ(CountEntriesAt(PRIORITY_LOADING), 1);

    // The frame that sees the flag hands over instead of drawing.
    SetLoadingDone();
    env.device.ClearCalls();
    env.Frame();
    EXPECT_EQ(FindBannerDraw(env.device), nullptr);
    EXPECT_EQ(CountEntriesAt(PRIORITY_LOADING), 0);
    EXPECT_TRUE(PendingTasks().empty());

    // The device made every loaded picture and mesh in that frame, so the
    // battle's first draws upload nothing.
    int prepared = 0;
    for (const TaskEntry* entry : TaskList::Instance().Entries()) {
        if (entry->priority != PRIORITY_RESOURCE) continue;
        if (const auto* texture = dynamic_cast<const CTexture*>(entry->object); texture && texture->Texture()) {
            EXPECT_TRUE(env.device.WasPrepared(texture->Texture()));
            ++prepared;
        }
        if (const auto* mesh = dynamic_cast<const CXFile*>(entry->object); mesh && mesh->GetMesh()) {
            EXPECT_TRUE(env.device.WasPrepared(mesh->GetMesh())) << entry->name;
            for (uint32_t i = 0; i < mesh->GetMaterialCount(); ++i) {
                const plat::Texture* texture = mesh->GetTexture(i);
                EXPECT_TRUE(!texture || env.device.WasPrepared(texture)) << entry->name;
            }
            ++prepared;
        }
    }
    EXPECT_GT(prepared, 0) << "the arena at least is loaded";

    // The stage's tasks sit by priority; CKomaSet's Init added the input and
    // its music first.
    std::vector<std::string> expected = {"input",    "PowerSetBGM", "CCamera", "CStage",           "CItemAppendInit",
                                         "CKomaSet", "St1EnemySet", "CODE",    "CSpriteRenderInit"};
    EXPECT_EQ(NamesAbove(PRIORITY_RESOURCE), expected);

    // Nothing of the stage has updated yet; the next frame is its first.
    auto* set = dynamic_cast<CKomaSet*>(FindTask("CKomaSet"));
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->m_AimAngle, 0.0f);
    EXPECT_EQ(set->m_Power, 0);
    env.Frame();
    EXPECT_EQ(set->m_AimAngle, 2.0f);
    EXPECT_EQ(set->m_Power, 4);
}

TEST_F(StageLoadingTest, QueuedTasksInitInPendingOrderWorldFirst)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    AddTask(new CLoadStage, PRIORITY_LOADING);
    ASSERT_TRUE(env.RunLoad());

    // CStage (3000) could build the arena only because CODE (7000) had made
    // the world before it; CKomaSet (4000) found the camera (2000) queued
    // before it.
    auto* stage = dynamic_cast<CStage*>(FindTask("CStage"));
    ASSERT_NE(stage, nullptr);
    ASSERT_NE(g_World, nullptr);
    ASSERT_TRUE(stage->ArenaGeom());
    EXPECT_TRUE(stage->ArenaGeom().IsTriangleMesh());
    EXPECT_EQ(stage->m_Code, FindTask("CODE"));
    auto* set = dynamic_cast<CKomaSet*>(FindTask("CKomaSet"));
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(static_cast<CGameObject*>(set->m_Camera), FindTask("CCamera"));
    EXPECT_EQ(set->m_Camera->m_Eye.z, -36.0f);
    // Meshes are reachable both ways.
    EXPECT_EQ(FindTask("XTopAlpha"), FindResource("XTopAlpha"));
}

TEST_F(StageLoadingTest, LoaderLeavesTheWorkingDirectoryAlone)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    const fs::path before = fs::current_path();
    AddTask(new CLoadStage, PRIORITY_LOADING);
    for (int i = 0; i < 200 && !IsLoadingDone(); ++i) {
        EXPECT_EQ(fs::current_path(), before);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_TRUE(env.RunLoad());
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(StageLoadingTest, WaitingForTheLoaderMakesTheHandOverFrameFixed)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    EXPECT_FALSE(IsStageLoadInProgress());
    WaitForStageLoader();   // nothing to wait for
    AddTask(new CLoadStage, PRIORITY_LOADING);
    EXPECT_TRUE(IsStageLoadInProgress());
    WaitForStageLoader();
    EXPECT_TRUE(IsLoadingDone());
    env.Frame();   // always the first frame
    EXPECT_NE(FindTask("CStage"), nullptr);
    EXPECT_FALSE(IsStageLoadInProgress());
}

TEST_F(StageLoadingTest, ShutdownWhileLoadingWaitsAndFreesThePreparedObjects)
{
    const bool real = HasGeneratedData();
    MinimalStageData data;
    ScopedCurrentDir cd(real ? GeneratedDataDir() : data.dir.Path());
    for (int delayMs = 0; delayMs < 12; ++delayMs) {
        StageEnvironment env;
        AddTask(new CLoadStage, PRIORITY_LOADING);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        RemoveAllTasks();   // shutdown: the loading screen is deleted mid-load
        EXPECT_FALSE(IsStageLoadInProgress());
        EXPECT_TRUE(PendingTasks().empty());
        EXPECT_EQ(FindResource("XTop"), nullptr);   // no key names a freed object
        EXPECT_EQ(FindResource("XRaleRoll"), nullptr);
        EXPECT_EQ(TaskList::Instance().Size(), 0u);
    }
}

TEST_F(StageLoadingTest, ShutdownAfterTheLoadButBeforeTheHandOverFreesOnce)
{
    StageEnvironment env;
    MinimalStageData data;
    ScopedCurrentDir cd(data.dir.Path());
    AddTask(new CLoadStage, PRIORITY_LOADING);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
    ASSERT_FALSE(PendingTasks().empty());
    RemoveAllTasks();
    EXPECT_TRUE(PendingTasks().empty());
    EXPECT_EQ(FindResource("XTop"), nullptr);
}

TEST_F(StageLoadingTest, ReloadsReleaseTheResourcesOfTheLoadBefore)
{
    const bool real = HasGeneratedData();
    MinimalStageData data;
    ScopedCurrentDir cd(real ? GeneratedDataDir() : data.dir.Path());
    StageEnvironment env;
    env.device.SetKeepCalls(false);   // the device's own log would grow with every frame
    plat::UseGameAllocationPolicy();   // memory is measured as the game allocates it
    constexpr int RELOADS = 50;
    constexpr int SETTLED = 10;
    size_t settledBytes = 0, settledHeap = 0;
    for (int load = 1; load <= RELOADS; ++load) {
        ClearTasks();   // as the result screen does before a retry
        AddTask(new CLoadStage, PRIORITY_LOADING);
        ASSERT_TRUE(env.RunLoad()) << "load " << load;
        env.Frame();
        ASSERT_EQ(CountEntriesAt(PRIORITY_RESOURCE), ResourcesForStage(0)) << "load " << load;
        ASSERT_EQ(KeptStageResourceCount(), static_cast<size_t>(ResourcesForStage(0)));
        ASSERT_EQ(FindTask("XTop"), FindResource("XTop"));
        if (load == SETTLED) {
            settledBytes = ResidentBytes();
            settledHeap = HeapBytesInUse();
        }
    }
    if (!real || stagetest::SANITIZED) {
        // A sanitizer's allocator holds freed blocks back and the small data
        // set is too light to show a leak: the reloads' own checks are the test.
        RecordProperty("memory_measured", "no");
        return;
    }
    RecordProperty("memory_measured", "yes");
    auto growthMb = [](size_t from, size_t to) {
        return (static_cast<double>(to) - static_cast<double>(from)) / (1 << 20);
    };
    const double residentGrowth = growthMb(settledBytes, ResidentBytes());
    const double heapGrowth = growthMb(settledHeap, HeapBytesInUse());
    RecordProperty("rss_growth_mb", std::to_string(residentGrowth));
    RecordProperty("heap_growth_mb", std::to_string(heapGrowth));
    // Each load holds about 18 MB of pictures, meshes and sounds: a load that
    // kept anything would show here many times over.
    EXPECT_LT(heapGrowth, 0.1) << "memory in use grew from load " << SETTLED << " to " << RELOADS;
    EXPECT_LT(residentGrowth, 2.0) << "resident memory grew from load " << SETTLED << " to " << RELOADS;
}

// A stage's sky is decoded into 8 MB and freed once the driver holds it, and
// the driver's copy is freed when the stage ends; the next stage makes both
// again. Each time, the freed block's pages must go back: left in the heap,
// they stayed resident through the next stage. Exits with the number of
// rounds that kept them.
[[noreturn]] void FreeLargeBlocksAsTheGameDoes()
{
    plat::UseGameAllocationPolicy();
    constexpr size_t BLOCK = size_t{8} << 20;
    static char* volatile block;   // kept where the compiler cannot drop the allocation
    int kept = 0;
    for (int round = 1; round <= 3; ++round) {
        const size_t before = ResidentBytes();
        block = static_cast<char*>(std::malloc(BLOCK));
        if (!block) std::_Exit(100);
        std::memset(block, round, BLOCK);
        std::free(block);
        if (ResidentBytes() >= before + BLOCK / 4) {
            std::fprintf(stderr, "round %d: %zu KB still resident\n", round, (ResidentBytes() - before) >> 10);
            ++kept;
        }
    }
    std::_Exit(kept);
}

TEST_F(StageLoadingTest, LargeBlocksGiveTheirPagesBackEachTimeTheyAreFreed)
{
    if (stagetest::SANITIZED) GTEST_SKIP() << "the sanitizer's allocator holds freed blocks back";
    // In a fresh process, like the game's: blocks that earlier tests freed
    // would serve these from the heap.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(FreeLargeBlocksAsTheGameDoes(), ::testing::ExitedWithCode(0), "");
}

TEST_F(StageLoadingTest, EveryFileOfTheTableIsInTheDataSetAndLoads)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "no generated data set at " << GeneratedDataDir();
    for (const StageResource& r : StageResourceTable())
        EXPECT_TRUE(fs::exists(GeneratedDataDir() / ResourcePath(r))) << ResourcePath(r);
    EXPECT_TRUE(fs::exists(GeneratedDataDir() / "texture/Load.png"));

    StageEnvironment env;
    ScopedCurrentDir cd(GeneratedDataDir());
    for (int stage = 0; stage < STAGE_COUNT; ++stage) {
        g_StageIndex = stage;
        ClearTasks();
        AddTask(new CLoadStage, PRIORITY_LOADING);
        ASSERT_TRUE(env.RunLoad());
        for (const StageResource& r : StageResourceTable()) {
            if (!IsLoadedForStage(r, stage)) continue;
            CGameObject* object = FindResource(r.key);
            switch (r.kind) {
                case StageResourceKind::Mesh:
                    EXPECT_NE(static_cast<CXFile*>(object)->GetMesh(), nullptr) << r.key;
                    break;
                case StageResourceKind::Texture:
                    EXPECT_NE(static_cast<CTexture*>(object)->Texture(), nullptr) << r.key;
                    break;
                case StageResourceKind::Sound:
                    EXPECT_NE(static_cast<CSound*>(object)->Buffer(), nullptr) << r.key;
                    break;
            }
        }
        // Textures named inside a mesh are found beside it.
        auto* arenaMesh = FindResource<CXFile>(CStage::StageMeshKey(stage).c_str());
        bool textured = false;
        for (uint32_t i = 0; i < arenaMesh->GetMaterialCount(); ++i) textured |= arenaMesh->GetTexture(i) != nullptr;
        EXPECT_TRUE(textured) << "stage " << stage + 1;
        auto* stageTask = dynamic_cast<CStage*>(FindTask("CStage"));
        ASSERT_NE(stageTask, nullptr);
        EXPECT_TRUE(stageTask->ArenaGeom().IsTriangleMesh()) << "stage " << stage + 1;
    }
}

}   // namespace
