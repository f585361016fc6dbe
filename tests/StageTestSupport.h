// What the stage tests share: the services a stage runs on (recording device,
// silent audio, scripted keys), a scratch data folder with small hand-made
// files, the generated data set when it has been built, and a frame loop that
// runs a load through to its hand-over.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/CSound.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "game/StageLoader.h"
#include "gfx/Graphics.h"
#include "platform/AudioOutput.h"
#include "platform/KeySource.h"
#include "platform/NullAudioOutput.h"
#include "platform/PngWriter.h"
#include "platform/RecordingDevice.h"

namespace stagetest {

namespace fs = std::filesystem;

inline fs::path GeneratedDataDir() { return fs::path(SPINDREL_BINARY_DIR) / "data"; }
inline bool HasGeneratedData() { return fs::exists(GeneratedDataDir() / "X" / "Top.x"); }

// Enters a folder for the life of the object. Only ever used on the main
// thread while no loader runs.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const fs::path& dir) : m_old(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCurrentDir() { fs::current_path(m_old); }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    fs::path m_old;
};

// A fresh empty folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device rd;
        m_path = fs::temp_directory_path() / ("spindrel-stage-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_path);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& Path() const { return m_path; }

    void Write(const std::string& relative, const std::string& text) const
    {
        fs::path file = m_path / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // A picture of one colour (RGBA bytes) written as PNG.
    void WritePicture(const std::string& relative, int width, int height, uint32_t rgba = 0xffffffff) const
    {
        fs::path file = m_path / relative;
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
    fs::path m_path;
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
    return "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
           u32(rate) + u32(rate * 2) + u16(2) + u16(16) + "data" + u32(static_cast<uint32_t>(data.size())) + data;
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

}  // namespace stagetest
