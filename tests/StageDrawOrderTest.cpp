// The arena and its background: an opaque arena is drawn first so that the
// background behind it is never shaded, and the picture must not change for
// it. The real stages are played in-process to a battle, then the stage task
// draws alone in both orders.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/GameApp.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "game/CStage.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "platform/Clock.h"
#include "platform/RecordingDevice.h"
#include "platform/Texture.h"
#include "stage/StageLoader.h"
#include "tests/StageTestSupport.h"

using namespace stagetest;

namespace {

constexpr int kStageCount = 5;
// Frames after the start: the stage has been handed over and the aiming view
// (arena and background in sight) is up.
constexpr int kFramesToAim = 40;
constexpr uint32_t kBlack = 0xff000000;

class StageRun {
public:
    StageRun(int stageIndex, GameOptions::Video video) : m_Cd(GeneratedDataDir())
    {
        GameOptions options;
        options.video = video;
        options.realAudio = false;
        options.virtualClock = true;
        options.scriptedKeys = true;
        options.seed = 3;
        options.startStage = stageIndex;
        m_Started = m_App.Start(options);
    }
    ~StageRun() { m_App.Shutdown(); }

    bool Started() const { return m_Started; }

    void PlayFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_App.VirtualClockOrNull()->AdvanceFrame();
            if (IsStageLoadInProgress()) WaitForStageLoader();
            m_App.Frame();
        }
    }

    CStage* Stage() const { return static_cast<CStage*>(FindTask(STAGE_TASK_NAME)); }

private:
    ScopedCurrentDir m_Cd;
    GameApp m_App;
    bool m_Started = false;
};

// The stage task alone on a cleared back buffer, with the camera of the last frame.
std::vector<uint8_t> DrawStageAlone(CStage& stage)
{
    g_Device->BeginScene();
    g_Device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, kBlack, 1.0f);
    stage.Draw();
    g_Device->EndScene();
    return g_Device->ReadBackBuffer();
}

size_t LitPixels(const std::vector<uint8_t>& rgba)
{
    size_t lit = 0;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
    return lit;
}

TEST(StageDrawOrderTest, EveryStageDrawsTheSamePictureWithItsArenaFirst)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    for (int stageIndex = 0; stageIndex < kStageCount; ++stageIndex) {
        SCOPED_TRACE(stageIndex + 1);
        StageRun run(stageIndex, GameOptions::Video::Offscreen);
        if (!run.Started()) GTEST_SKIP() << "no offscreen OpenGL device here";
        run.PlayFrames(kFramesToAim);
        CStage* stage = run.Stage();
        ASSERT_NE(stage, nullptr);

        // Every stage of the data set has an opaque arena.
        stage->SetOpaqueArenaFirst(true);
        EXPECT_TRUE(stage->DrawsArenaFirst());
        std::vector<uint8_t> arenaFirst = DrawStageAlone(*stage);
        stage->SetOpaqueArenaFirst(false);
        EXPECT_FALSE(stage->DrawsArenaFirst());
        std::vector<uint8_t> backgroundFirst = DrawStageAlone(*stage);

        ASSERT_EQ(arenaFirst.size(), backgroundFirst.size());
        EXPECT_GT(LitPixels(backgroundFirst), backgroundFirst.size() / 4 / 2) << "the view shows little of the stage";
        EXPECT_TRUE(arenaFirst == backgroundFirst);
    }
}

// In a frame of the real game the arena's subsets come before the background's.
TEST(StageDrawOrderTest, RealFramesDrawTheOpaqueArenaBeforeTheBackground)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    StageRun run(0, GameOptions::Video::Recording);
    ASSERT_TRUE(run.Started());
    run.PlayFrames(kFramesToAim);
    auto* recorder = dynamic_cast<plat::RecordingDevice*>(g_Device);
    ASSERT_NE(recorder, nullptr);
    const plat::Mesh* arena = FindResource<CXFile>(CStage::StageMeshKey(0).c_str())->GetMesh();
    const plat::Mesh* background = FindResource<CXFile>("XSpace")->GetMesh();
    ASSERT_TRUE(arena && background);

    recorder->SetKeepCalls(true);   // the game keeps only counts
    recorder->ClearCalls();
    run.PlayFrames(1);
    int firstArena = -1, firstBackground = -1, index = 0;
    for (const plat::RecordingDevice::Call& call : recorder->Calls()) {
        if (call.mesh == arena && firstArena < 0) firstArena = index;
        if (call.mesh == background && firstBackground < 0) firstBackground = index;
        ++index;
    }
    ASSERT_GE(firstArena, 0);
    ASSERT_GE(firstBackground, 0);
    EXPECT_LT(firstArena, firstBackground);
    // Drawn after the arena, the background keeps its own unlit, scaled draw.
    const plat::DeviceState& state = recorder->Calls()[static_cast<size_t>(firstBackground)].state;
    EXPECT_FALSE(state.rs.lighting);
    EXPECT_FLOAT_EQ(state.world.m[0][0], CStage::BACKGROUND_SCALE);
}

}   // namespace
