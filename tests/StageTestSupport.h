// What the stage and top tests share: the services a stage runs on (recording
// device, silent audio, scripted keys), a scratch data folder with small
// hand-made files, the generated data set when it has been built, a frame loop
// that runs a load through to its hand-over, and a world for the player's top
// and its effects (a real physics world over a large flat arena, the camera,
// input, the registry entries the top looks up, a virtual clock that stamps
// the frame time the way the frame loop does).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/CSound.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "game/CKoma.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "hud/CSpriteRenderBase.h"
#include "input/CInput.h"
#include "physics/CODE.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/RecordingDevice.h"
#include "platform/audio/NullAudioOutput.h"
#include "platform/image/PngWriter.h"
#include "scene/BattleResult.h"
#include "scene/CResult.h"
#include "stage/StageLoader.h"
#include "tests/Sanitized.h"

namespace stagetest {

namespace fs = std::filesystem;

using testsupport::SANITIZED;

inline fs::path GeneratedDataDir() { return fs::path(SPINDREL_BINARY_DIR) / "data"; }
inline bool HasGeneratedData() { return fs::exists(GeneratedDataDir() / "X" / "Top.x"); }

// A fixture of tests on the generated data set, skipped when it is not built.
template <typename Base = ::testing::Test>
class GeneratedDataFixture : public Base {
protected:
    void SetUp() override
    {
        if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    }
};

// Enters a folder for the life of the object. Only ever used on the main
// thread while no loader runs.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const fs::path& dir) : m_Old(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCurrentDir() { fs::current_path(m_Old); }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    fs::path m_Old;
};

// A fresh empty folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device rd;
        m_Path = fs::temp_directory_path() / ("spindrel-stage-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_Path);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        fs::remove_all(m_Path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& Path() const { return m_Path; }

    void Write(const std::string& relative, const std::string& text) const
    {
        fs::path file = m_Path / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // A picture of one colour (RGBA bytes) written as PNG.
    void WritePicture(const std::string& relative, int width, int height, uint32_t rgba = 0xffffffff) const
    {
        fs::path file = m_Path / relative;
        fs::create_directories(file.parent_path());
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = static_cast<uint8_t>(rgba >> 24);
            pixels[i + 1] = static_cast<uint8_t>(rgba >> 16);
            pixels[i + 2] = static_cast<uint8_t>(rgba >> 8);
            pixels[i + 3] = static_cast<uint8_t>(rgba);
        }
        plat::PngWriter::Write(file.string(), pixels, width, height);
    }

private:
    fs::path m_Path;
};

// A square arena (20 x 20 unless told otherwise) at height 1 in the arena
// reader's layout (one vertex token a line, one line between the last vertex
// and the face count), faces turned upwards, with one material (orange
// unless told otherwise; the colour as the file writes it, "r;g;b;a;;").
inline std::string SquareArenaX(float half = 10.0f, const std::string& colour = "1.0;0.5;0.25;1.0;;")
{
    const std::string h = std::to_string(half), m = "-" + h;
    return "xof 0302txt 0032\n"
           "Mesh {\n"
           "4;\n" +
           m + ";1.0;" + m + ";,\n" + h + ";1.0;" + m + ";,\n" + h + ";1.0;" + h + ";,\n" + m + ";1.0;" + h +
           ";;\n"
           "\n"
           "2;\n"
           "3;0,2,1;,\n"
           "3;0,3,2;;\n"
           "MeshMaterialList {\n"
           "1;\n"
           "2;\n"
           "0,\n"
           "0;;\n"
           "Material {\n" +
           colour +
           "\n"
           "10.0;\n"
           "0.0;0.0;0.0;;\n"
           "0.0;0.0;0.0;;\n"
           "}\n"
           "}\n"
           "}\n";
}

// A short 16-bit mono click.
inline std::string ClickWav()
{
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    constexpr uint32_t samples = 2205, rate = 22050;
    std::string data;
    for (uint32_t i = 0; i < samples; ++i) data += u16(static_cast<uint16_t>((i % 50) * 400));
    return "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
           u32(rate * 2) + u16(2) + u16(16) + "data" + u32(static_cast<uint32_t>(data.size())) + data;
}

// The services a stage's tasks run on, installed for the life of the object;
// the task list and the registry start and end empty.
class StageEnvironment {
public:
    StageEnvironment()
    {
        RemoveAllTasks();
        ClearResources();
        InitGraphics(&device);
        CSpriteRenderBase::SetResultStarter(&StartBattleResult);
        plat::SetAudioOutput(&audio);
        plat::SetKeySource(&keys);
    }
    ~StageEnvironment()
    {
        RemoveAllTasks();
        ClearResources();
        CSound::StopAllOneShots();
        plat::SetKeySource(nullptr);
        plat::SetAudioOutput(nullptr);
        ReleaseGraphics();
    }
    StageEnvironment(const StageEnvironment&) = delete;
    StageEnvironment& operator=(const StageEnvironment&) = delete;

    void Frame()
    {
        UpdatePass();
        DrawPass();
    }

    // Waits, running no frame, until the loader has finished; the hand-over
    // is then due in the next frame.
    static bool WaitForLoader(std::chrono::milliseconds limit = std::chrono::seconds(60))
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!IsLoadingDone()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Runs frames until the loader has finished, then the hand-over frame.
    bool RunLoad()
    {
        if (!WaitForLoader()) return false;
        Frame();
        return FindTask("CStage") != nullptr;
    }

    plat::RecordingDevice device;
    plat::NullAudioOutput audio{0};
    plat::ScriptedKeySource keys;
};

inline int CountEntriesAt(int32_t priority)
{
    int n = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (e->priority == priority) ++n;
    return n;
}

inline std::vector<std::string> NamesAbove(int32_t priority)
{
    std::vector<std::string> names;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (e->priority > priority) names.emplace_back(e->name);
    return names;
}

// A resource in the list at -1 like the loader's, registered under its key,
// without drawing itself.
inline void AddResource(const char* key, CGameObject* object)
{
    AddTask(PRIORITY_RESOURCE, object, key);
    RegisterResource(key, object);
    SetDrawStop(key);
}

}   // namespace stagetest

namespace toptest {

using stagetest::ScopedCurrentDir;
using stagetest::ScratchDir;
using stagetest::StageEnvironment;

using stagetest::AddResource;
using stagetest::ClickWav;

// A flat square arena, 120 units across at height 1, in grey.
inline std::string FlatArenaX() { return stagetest::SquareArenaX(60.0f, "0.5;0.5;0.5;1.0;;"); }

class TopWorld {
public:
    static constexpr uint32_t START_MS = 100000;

    TopWorld() : cd(MakeFiles(dir)), clock(START_MS)
    {
        plat::SetClock(&clock);
        g_FrameTime = START_MS;
        g_StageIndex = 0;
        for (const char* key :
             {"XTop", "XTopAlpha", "XEffectAura", "XEffectAirWall", "XRale", "XRaleRoll", "XSt1Enemy"})
            AddResource(key, new CXFile("X/Mesh.x"));
        for (const char* key : {"spark1BMP", "spark2BMP", "Tarbo1BMP", "Item1BMP", "InterfaceBMP"}) {
            auto* t = new CTexture;
            std::vector<uint8_t> pixels(64 * 64 * 4, 255);
            t->LoadPixels(pixels.data(), 64, 64, 0);
            AddResource(key, t);
        }
        for (const char* key : {"KomaAxisSE", "KomaSpinSE", "KomaAtackSE", "KomaHitSE", "TubazeriSE"})
            AddResource(key, new CSound("sound/Click.wav"));

        AddTask(PRIORITY_CODE, new CODE, CODE_TASK_NAME);
        AddTask(PRIORITY_INPUT, new CInput, INPUT_TASK_NAME);
        camera = new CCamera;
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
        camera->m_Eye = {0, 22, -36};
        camera->m_Target = {0, 4, 1};
        stage = new CStage;
        AddTask(PRIORITY_STAGE, stage, STAGE_TASK_NAME);
    }

    ~TopWorld()
    {
        env.reset();
        plat::SetClock(nullptr);
    }

    TopWorld(const TopWorld&) = delete;
    TopWorld& operator=(const TopWorld&) = delete;

    CKoma* AddTop(plat::Vec3 force = {0, 0, 0}, int spin = 130)
    {
        auto* top = new CKoma(force, spin);
        AddTask(PRIORITY_KOMA, top, KOMA_TASK_NAME);
        return top;
    }

    // One frame as the loop runs it: update pass, draw pass, then the frame
    // time stamped after the present.
    void Frame()
    {
        UpdatePass();
        DrawPass();
        clock.AdvanceFrame();
        g_FrameTime = plat::NowMs();
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }

    void Key(int code, bool down) { env->keys.SetKey(code, down); }
    void FreezePhysics(bool frozen) { SetUpdateStop(CODE_TASK_NAME, frozen); }

    // Puts both bodies of the top upright with the disc's centre at p, at rest.
    static void Place(CKomaBase* top, plat::Vec3 p, float spin)
    {
        for (Body b : {top->m_Disc.body, top->m_Shaft.body}) {
            b.SetRotationAbout(1, 0, 0, plat::PI / 2);
            b.SetLinearVelocity(0, 0, 0);
            b.SetAngularVelocity(0, 0, 0);
        }
        top->m_Disc.body.SetPosition(p.x, p.y, p.z);
        top->m_Shaft.body.SetPosition(p.x, p.y - 0.6, p.z);
        top->m_Disc.body.SetAngularVelocity(0, spin, 0);
    }

    static plat::Vec3 Force(const CKomaBase* top)
    {
        const double* f = top->m_Disc.body.Force();
        return {static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2])};
    }

    ScratchDir dir;
    std::unique_ptr<ScopedCurrentDir> cd;
    std::unique_ptr<StageEnvironment> env = std::make_unique<StageEnvironment>();
    plat::VirtualClock clock;
    CCamera* camera = nullptr;
    CStage* stage = nullptr;

private:
    static std::unique_ptr<ScopedCurrentDir> MakeFiles(const ScratchDir& d)
    {
        d.Write("X/stage_1.x", FlatArenaX());
        d.Write("X/Mesh.x", FlatArenaX());
        d.Write("sound/Click.wav", ClickWav());
        return std::make_unique<ScopedCurrentDir>(d.Path());
    }
};

}   // namespace toptest
