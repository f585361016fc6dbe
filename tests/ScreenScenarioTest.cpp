// Whole-game scenarios of the screens: the headless runner from the title
// through the stage select and loading into stage 1 with scripted keys, and
// the real shell on offscreen OpenGL with both results laid over a battle and
// a clear going on to the next stage select. Screenshots of every screen go to build/screen-shots.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "core/Globals.h"
#include "core/Task.h"
#include "game/StageLoader.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/PngWriter.h"
#include "platform/RenderDevice.h"
#include "gfx/CCamera.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "tests/StageTestSupport.h"
#include "tools/sim/SimRunner.h"

namespace {

namespace fs = std::filesystem;
using stagetest::GeneratedDataDir;
using stagetest::HasGeneratedData;

fs::path ShotDir()
{
    fs::path dir = fs::path(SPINDREL_BINARY_DIR) / "screen-shots";
    fs::create_directories(dir);
    return dir;
}

struct TraceFrame {
    std::string screen;
    int stage = -1;
    bool fade = false;
    bool result = false;
    std::vector<std::string> sounds;
};

std::vector<TraceFrame> ReadTrace(const std::string& path)
{
    static const std::regex screen("\"screen\":(?:\"(\\w+)\"|null),\"stage\":(\\d+)");
    static const std::regex sound("\"sounds\":\\[([^\\]]*)\\]");
    std::vector<TraceFrame> frames;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        TraceFrame f;
        std::smatch m;
        if (std::regex_search(line, m, screen)) {
            f.screen = m[1];
            f.stage = std::stoi(m[2]);
        }
        if (std::regex_search(line, m, sound)) {
            const std::string list = m[1];
            for (size_t at = list.find('"'); at != std::string::npos; at = list.find('"', at + 1)) {
                size_t end = list.find('"', at + 1);
                f.sounds.push_back(list.substr(at + 1, end - at - 1));
                at = end;
            }
        }
        f.fade = line.find("\"fead\"") != std::string::npos;
        f.result = line.find("\"result\":null") == std::string::npos;
        frames.push_back(f);
    }
    return frames;
}

int FirstFrame(const std::vector<TraceFrame>& frames, const std::function<bool(const TraceFrame&)>& match,
               int from = 0)
{
    for (int i = from; i < static_cast<int>(frames.size()); ++i)
        if (match(frames[i])) return i;
    return -1;
}

TEST(ScreenScenarioTest, FromTheTitleThroughTheStageSelectAndLoadingIntoStageOne)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    stagetest::ScratchDir dir;
    dir.Write("keys.txt",
              "30 Z down\n32 Z up\n"       // skip the opening
              "40 Z down\n42 Z up\n"       // start: the first entry is chosen
              "200 Z down\n202 Z up\n");   // decide on the stage select
    SimOptions o;
    o.frames = 420;
    o.seed = 5;
    o.dataDir = GeneratedDataDir().string();
    o.keysPath = (dir.Path() / "keys.txt").string();
    o.tracePath = (dir.Path() / "trace.jsonl").string();
    for (int f : {20, 60, 100, 31, 190, 305, 400})
        o.shots[f] = (ShotDir() / ("flow-" + std::to_string(f) + ".png")).string();
    SimRunner runner(o);
    std::string error;
    if (!runner.Run(&error)) GTEST_SKIP() << "no offscreen OpenGL here: " << error;

    auto frames = ReadTrace(o.tracePath);
    ASSERT_EQ(frames.size(), 420u);
    // The program opens on the title at stage index 0, with no result.
    EXPECT_EQ(frames[0].screen, "title");
    for (const TraceFrame& f : frames) {
        EXPECT_EQ(f.stage, 0);
        EXPECT_FALSE(f.result);
    }
    // The skip at 31, then the start: the stage select under a fade of 100 darkening updates.
    const int select = FirstFrame(frames, [](const TraceFrame& f) { return f.screen == "select"; });
    ASSERT_EQ(select, 41);
    const int selectShown = FirstFrame(frames, [](const TraceFrame& f) { return !f.fade; }, select);
    EXPECT_EQ(selectShown - select, 101);
    // The decide key, then the stage select's own fade, then loading and the stage.
    const int loading = FirstFrame(frames, [](const TraceFrame& f) { return f.screen == "loading"; });
    ASSERT_GT(loading, 200);
    EXPECT_EQ(loading - 200, 100);
    const int battle = FirstFrame(frames, [](const TraceFrame& f) { return f.screen == "battle"; });
    EXPECT_EQ(battle - loading, o.loadingFrames + 1);
    EXPECT_EQ(frames.back().screen, "battle");
    int selectSounds = 0;
    for (const std::string& s : frames[200].sounds) selectSounds += s == "sound/System.wav";
    EXPECT_EQ(selectSounds, 1);
}

// Runs the real shell on offscreen OpenGL and the virtual clock, stage by stage.
class OffscreenGame {
public:
    OffscreenGame() : m_cd(GeneratedDataDir()) {}
    ~OffscreenGame() { m_app.Shutdown(); }

    bool Start(int stageIndex)
    {
        GameOptions o;
        o.video = GameOptions::Video::Offscreen;
        o.realAudio = false;
        o.virtualClock = true;
        o.scriptedKeys = true;
        o.seed = 9;
        o.startStage = stageIndex;
        return m_app.Start(o);
    }
    void Frame()
    {
        m_app.VirtualClockOrNull()->AdvanceFrame();
        WaitForStageLoader();   // the hand-over falls in the frame after the loader ends
        m_app.Frame();
    }
    bool RunUntil(const std::function<bool()>& done, int limit)
    {
        for (int i = 0; i < limit && !done(); ++i) Frame();
        return done();
    }
    void Tap(int key)
    {
        m_app.ScriptedKeys()->SetKey(key, true);
        Frame();
        m_app.ScriptedKeys()->SetKey(key, false);
        Frame();
    }
    void Shot(const std::string& name)
    {
        auto pixels = m_app.Device()->ReadBackBuffer();
        ASSERT_FALSE(pixels.empty());
        plat::PngWriter::Write((ShotDir() / name).string(), pixels, plat::BACK_BUFFER_WIDTH, plat::BACK_BUFFER_HEIGHT);
    }
    // Launches the top and waits for the launch sequence to end.
    bool StartBattle()
    {
        if (!RunUntil([] { return FindTask("CKomaSet") != nullptr; }, 600)) return false;
        Frames(10);
        Tap(plat::KEY_Z);
        return RunUntil([] { return FindTask("CKoma") && !FindTask("CKomaShoot"); }, 600);
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }

private:
    stagetest::ScopedCurrentDir m_cd;
    GameApp m_app;
};

CResult* OpenResult(int kind)
{
    auto* result = new CResult(kind);
    AddTask(PRIORITY_RESULT, result, RESULT_TASK_NAME);
    return result;
}

TEST(ScreenScenarioTest, BothResultsDrawOverABattleAndAClearOpensTheNextStageSelect)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    OffscreenGame game;
    if (!game.Start(0)) GTEST_SKIP() << "no offscreen OpenGL here";
    ASSERT_TRUE(game.StartBattle());

    // Game over, shown once its answers are in (its exits are tested on the recording device).
    CResult* lost = OpenResult(CResult::KIND_GAME_OVER);
    ASSERT_TRUE(game.RunUntil([lost] { return lost->Phase() == CResult::PHASE_WAITING; }, 600));
    game.Frames(5);
    game.Shot("result-game-over.png");
    RemoveTask(lost);

    // Cleared, with the camera already close so the letters start at once.
    if (auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME))) camera->m_Fov = CResult::LETTERS_ZOOM;
    CResult* won = OpenResult(CResult::KIND_CLEAR);
    ASSERT_TRUE(game.RunUntil([won] { return won->Phase() == CResult::PHASE_WAITING; }, 600));
    game.Frames(30);
    game.Shot("result-clear.png");
    game.Tap(plat::KEY_Z);
    EXPECT_EQ(g_StageIndex, 1);
    ASSERT_TRUE(game.RunUntil([] { return FindTask(FADE_TASK_NAME) == nullptr; }, 200));
    game.Frames(60);
    game.Shot("select-stage-2.png");
}

}  // namespace
