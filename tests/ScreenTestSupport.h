// What the screen tests share: the services of StageEnvironment plus the head
// and tail, a virtual clock stamped the way the frame loop does, silent audio
// that follows it and logs the sounds started, and the generated data set (or
// an empty folder, to run the screens without any of their files).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/CTaskHead.h"
#include "app/CTaskTail.h"
#include "audio/CSound.h"
#include "core/Globals.h"
#include "platform/Clock.h"
#include "platform/audio/Mixer.h"
#include "tests/StageTestSupport.h"

namespace screentest {

using stagetest::HasGeneratedData;
using stagetest::StageEnvironment;

class ScreenWorld {
public:
    enum class Data { Generated, None };

    explicit ScreenWorld(Data data = Data::Generated)
        : cd(data == Data::Generated && HasGeneratedData() ? stagetest::GeneratedDataDir() : scratch.Path())
    {
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

    void Frame()
    {
        clock.AdvanceFrame();
        UpdatePass();
        DrawPass();
        env->audio.AdvanceTo(plat::NowMs());
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }
    template <typename Fn>
    bool RunUntil(Fn done, int limit = 2000)
    {
        for (int i = 0; i < limit && !done(); ++i) Frame();
        return done();
    }
    void Key(int code, bool down) { env->keys.SetKey(code, down); }
    // Down for one input read, then up; one more frame lets a screen that
    // runs before the input task see it.
    void Press(int code)
    {
        Key(code, true);
        Frame();
        Key(code, false);
        Frame();
    }
    // How often a file was started since the last call.
    int Started(const std::string& file)
    {
        int n = 0;
        for (const std::string& s : env->audio.GetMixer().TakeStartedSounds()) n += s == file;
        return n;
    }
    plat::RecordingDevice& Device() { return env->device; }

    stagetest::ScratchDir scratch;
    stagetest::ScopedCurrentDir cd;
    std::unique_ptr<StageEnvironment> env = std::make_unique<StageEnvironment>();
    plat::VirtualClock clock{0};
};

// Waits in real time (the deleting threads must be scheduled) for every
// one-shot sound to end and be freed.
inline bool OneShotsFinish()
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (CSound::LiveOneShots() != 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return CSound::LiveOneShots() == 0;
}

// The entry of the first task of a class in list order, or null.
template <typename T>
const TaskEntry* EntryOf()
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (dynamic_cast<T*>(e->object)) return e;
    return nullptr;
}
template <typename T>
T* Find()
{
    const TaskEntry* e = EntryOf<T>();
    return e ? static_cast<T*>(e->object) : nullptr;
}

inline bool Drew(const plat::RecordingDevice& device)
{
    for (const auto& call : device.Calls())
        if (call.kind == plat::RecordingDevice::CallKind::DrawUser) return true;
    return false;
}

}   // namespace screentest
