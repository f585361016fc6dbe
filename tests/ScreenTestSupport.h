// What the screen tests share: the services of StageEnvironment, the head and
// tail that bracket every frame, a virtual clock that stamps the frame time
// the way the frame loop does, silent audio that follows that clock and logs
// the sounds started, and the generated data set (or an empty folder, to see
// the screens run without any of their files).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "app/CTaskHead.h"
#include "app/CTaskTail.h"
#include "audio/CSound.h"
#include "core/Globals.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "platform/Clock.h"
#include "platform/Mixer.h"
#include "tests/StageTestSupport.h"

namespace screentest {

using stagetest::GeneratedDataDir;
using stagetest::HasGeneratedData;
using stagetest::ScopedCurrentDir;
using stagetest::ScratchDir;
using stagetest::StageEnvironment;

class ScreenWorld {
public:
    enum class Data { Generated, None };

    explicit ScreenWorld(Data data = Data::Generated)
    {
        const bool generated = data == Data::Generated && HasGeneratedData();
        cd = std::make_unique<ScopedCurrentDir>(generated ? GeneratedDataDir() : scratch.Path());
        plat::SetClock(&clock);
        g_FrameTime = plat::NowMs();
        g_StageIndex = 0;
        ResetQuitRequest();
        env->audio.GetMixer().EnableStartLog(true);
        AddTask(PRIORITY_HEAD, new CTaskHead, TASK_HEAD_NAME);
        AddTask(PRIORITY_TAIL, new CTaskTail, TASK_TAIL_NAME);
    }
    ~ScreenWorld()
    {
        env.reset();
        plat::SetClock(nullptr);
        ResetQuitRequest();
    }
    ScreenWorld(const ScreenWorld&) = delete;
    ScreenWorld& operator=(const ScreenWorld&) = delete;

    // One frame as the loop runs it; the tail stamps the frame time.
    void Frame()
    {
        clock.AdvanceFrame();
        UpdatePass();
        DrawPass();
        env->audio.AdvanceTo(plat::NowMs());
        ++frames;
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }
    // Runs frames until the condition holds; false if it does not within the limit.
    template <typename Fn> bool RunUntil(Fn done, int limit = 2000)
    {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }

    void Key(int code, bool down) { env->keys.SetKey(code, down); }
    // A key pressed for one frame's input read, then let go.
    void Tap(int code)
    {
        Key(code, true);
        Frame();
        Key(code, false);
    }

    // The file names of the sounds started since the last call.
    std::vector<std::string> Sounds() { return env->audio.GetMixer().TakeStartedSounds(); }
    static int Count(const std::vector<std::string>& sounds, const std::string& file)
    {
        int n = 0;
        for (const std::string& s : sounds) n += s == file;
        return n;
    }

    plat::RecordingDevice& Device() { return env->device; }

    ScratchDir scratch;
    std::unique_ptr<ScopedCurrentDir> cd;
    std::unique_ptr<StageEnvironment> env = std::make_unique<StageEnvironment>();
    plat::VirtualClock clock{0};
    int frames = 0;
};

// Waits (in real time: the deleting threads need to be scheduled) until every
// one-shot sound has ended and been freed by its thread.
inline bool OneShotsFinish(std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (CSound::LiveOneShots() != 0) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The first task of a class in list order, or null.
template <typename T> T* Find()
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* t = dynamic_cast<T*>(e->object)) return t;
    return nullptr;
}

template <typename T> const TaskEntry* EntryOf()
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (dynamic_cast<T*>(e->object)) return e;
    return nullptr;
}

}  // namespace screentest
