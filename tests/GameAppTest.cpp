// The shell: start-up order, the frame bracket, closing, and shutdown order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/GameApp.h"
#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "gfx/Graphics.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/RecordingDevice.h"

namespace {

struct ShutdownWitness : CGameObject {
    static inline int deaths = 0;
    static inline bool deviceGoneFirst = false;
    static inline bool audioStillThere = false;
    ~ShutdownWitness() override
    {
        ++deaths;
        deviceGoneFirst = (g_Device == nullptr);
        audioStillThere = (plat::GetAudioOutput() != nullptr);
    }
};

GameOptions HeadlessOptions()
{
    GameOptions o;
    o.video = GameOptions::Video::Recording;
    o.realAudio = false;
    o.virtualClock = true;
    o.scriptedKeys = true;
    o.seed = 42;
    o.startStage = -1;
    return o;
}

TEST(GameAppTest, StartBracketsEveryFrameWithHeadAndTail)
{
    GameApp app;
    ASSERT_TRUE(app.Start(HeadlessOptions()));
    auto entries = TaskList::Instance().Entries();
    ASSERT_GE(entries.size(), 3u);
    // The first screen is already in the list before the first frame.
    EXPECT_STREQ(entries.front()->name, "TaskHead");
    EXPECT_STREQ(entries.back()->name, "TaskTail");
    EXPECT_EQ(entries.back()->priority, 0x7fffffff);

    auto* device = static_cast<plat::RecordingDevice*>(app.Device());
    device->SetKeepCalls(true);
    app.VirtualClockOrNull()->AdvanceFrame();
    app.Frame();
    EXPECT_EQ(device->BeginScenes(), 1);
    EXPECT_EQ(device->Presents(), 1);
    ASSERT_FALSE(device->Calls().empty());
    // The head's clear opens the frame: opaque black, target and depth.
    const auto& clear = device->Calls().front();
    EXPECT_EQ(clear.kind, plat::RecordingDevice::CallKind::Clear);
    EXPECT_EQ(clear.clearColor, 0xff000000u);
    EXPECT_EQ(clear.clearFlags, plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER);
    // The tail stamps the frame time after the present.
    EXPECT_EQ(g_FrameTime, plat::NowMs());
    app.Shutdown();
}

TEST(GameAppTest, DeviceStartsWithTheGamesStates)
{
    GameApp app;
    ASSERT_TRUE(app.Start(HeadlessOptions()));
    const plat::RenderStates& rs = app.Device()->State().rs;
    EXPECT_TRUE(rs.zEnable);
    EXPECT_TRUE(rs.zWrite);
    EXPECT_TRUE(rs.alphaBlend);
    EXPECT_EQ(rs.srcBlend, plat::Blend::SrcAlpha);
    EXPECT_EQ(rs.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_EQ(rs.cull, plat::Cull::CCW);
    EXPECT_TRUE(rs.lighting);
    EXPECT_EQ(rs.stage0.alphaOp, plat::TexOp::Modulate);
    EXPECT_EQ(rs.stage0.alphaArg2, plat::TexArg::Diffuse);
    app.Shutdown();
}

TEST(GameAppTest, ShutdownDeletesTasksOnceAfterGraphicsAndBeforeSound)
{
    ShutdownWitness::deaths = 0;
    {
        GameApp app;
        ASSERT_TRUE(app.Start(HeadlessOptions()));
        AddTask(500, new ShutdownWitness, "witness");
        app.Frame();
        app.Shutdown();
        EXPECT_EQ(ShutdownWitness::deaths, 1);
        EXPECT_TRUE(ShutdownWitness::deviceGoneFirst);
        EXPECT_TRUE(ShutdownWitness::audioStillThere);
        EXPECT_EQ(TaskList::Instance().Size(), 0u);
        app.Shutdown();   // a second shutdown does nothing
    }
    EXPECT_EQ(ShutdownWitness::deaths, 1);
    EXPECT_EQ(plat::GetAudioOutput(), nullptr);
}

TEST(GameAppTest, QuitRequestEndsTheLoopAfterTheFrameInProgress)
{
    GameApp app;
    ASSERT_TRUE(app.Start(HeadlessOptions()));
    struct Quitter : CGameObject {
        int frames = 0;
        void Update() override
        {
            if (++frames == 3) PostQuit();
        }
    };
    auto* quitter = new Quitter;
    AddTask(600, quitter, "quitter");
    auto* device = static_cast<plat::RecordingDevice*>(app.Device());
    app.RunLoop();
    EXPECT_EQ(quitter->frames, 3);
    EXPECT_EQ(device->Presents(), 3);   // the third frame still completed
    app.Shutdown();
}

TEST(GameAppTest, SeedMakesTheGamesRandomNumbersRepeat)
{
    std::vector<int> first, second;
    for (auto* out : {&first, &second}) {
        GameApp app;
        ASSERT_TRUE(app.Start(HeadlessOptions()));
        for (int i = 0; i < 5; ++i) out->push_back(GameRand());
        app.Shutdown();
    }
    EXPECT_EQ(first, second);
}

}   // namespace
