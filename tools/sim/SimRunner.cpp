#include "tools/sim/SimRunner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/GameApp.h"
#include "app/PlayerSession.h"
#include "core/Globals.h"
#include "core/ProgressBook.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "gfx/CCamera.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/RefusedFiles.h"
#include "platform/RenderDevice.h"
#include "platform/audio/Mixer.h"
#include "platform/image/PngWriter.h"
#include "stage/StageLoader.h"
#include "tools/sim/TraceJson.h"

namespace {

bool ParseInt(const char* text, long low, long high, long* out)
{
    if (!text || !*text) return false;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end != '\0' || v < low || v > high) return false;
    *out = v;
    return true;
}

// A developer's check that a change moved code without changing play: with
// SPINDREL_TRACE_ARCHIVE set, every run also writes its whole trace there,
// frame times zeroed, as TAG-N.json (TAG from SPINDREL_TRACE_TAG, N counting
// the runs of this process), so two builds' archives compare byte for byte.
std::string TraceArchivePath()
{
    static int runs = 0;
    const char* dir = std::getenv("SPINDREL_TRACE_ARCHIVE");
    if (!dir || !*dir) return {};
    const char* tag = std::getenv("SPINDREL_TRACE_TAG");
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return (std::filesystem::path(dir) /
            ((tag && *tag ? tag : "run") + std::string("-") + std::to_string(++runs) + ".json"))
        .string();
}

std::string WithoutFrameTime(const std::string& line)
{
    const std::string key = "\"ms\":";
    size_t at = line.find(key);
    if (at == std::string::npos) return line;
    size_t end = line.find_first_not_of("0123456789", at + key.size());
    return line.substr(0, at + key.size()) + "0" + (end == std::string::npos ? std::string() : line.substr(end));
}

std::string Absolute(const std::string& path)
{
    if (path.empty()) return path;
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.string();
}

}   // namespace

bool SimRunner::ParseArgs(int argc, char** argv, SimOptions* o, std::string* error)
{
    auto fail = [error](const std::string& message) {
        if (error) *error = message;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = (i + 1 < argc) ? argv[i + 1] : nullptr;
        long n = 0;
        if (arg == "--frames") {
            if (!ParseInt(value, 0, 100000000, &n)) return fail("--frames needs a count");
            o->frames = static_cast<int>(n);
            o->framesGiven = true;
        } else if (arg == "--seed") {
            if (!ParseInt(value, 0, 0xffffffffL, &n)) return fail("--seed needs a number");
            o->seed = static_cast<uint32_t>(n);
        } else if (arg == "--stage") {
            if (!ParseInt(value, 1, 5, &n)) return fail("--stage needs 1 to 5");
            o->stage = static_cast<int>(n);
        } else if (arg == "--data") {
            if (!value) return fail("--data needs a folder");
            o->dataDir = value;
        } else if (arg == "--keys") {
            if (!value) return fail("--keys needs a file");
            o->keysPath = value;
        } else if (arg == "--trace") {
            if (!value) return fail("--trace needs a file");
            o->tracePath = value;
        } else if (arg == "--trace-every") {
            if (!ParseInt(value, 1, 1000000, &n)) return fail("--trace-every needs a positive count");
            o->traceEvery = static_cast<int>(n);
        } else if (arg == "--shot") {
            std::string spec = value ? value : "";
            size_t eq = spec.find('=');
            if (eq == std::string::npos || !ParseInt(spec.substr(0, eq).c_str(), 0, 100000000, &n) ||
                eq + 1 >= spec.size())
                return fail("--shot needs FRAME=FILE.png");
            o->shots[static_cast<int>(n)] = spec.substr(eq + 1);
        } else if (arg == "--loading-frames") {
            if (!ParseInt(value, 0, 100000, &n)) return fail("--loading-frames needs a count");
            o->loadingFrames = static_cast<int>(n);
        } else if (arg == "--video") {
            std::string v = value ? value : "";
            if (v == "offscreen")
                o->offscreenVideo = true;
            else if (v == "none")
                o->offscreenVideo = false;
            else
                return fail("--video needs offscreen or none");
        } else if (arg == "--record") {
            if (!value) return fail("--record needs a file");
            o->recordPath = value;
        } else if (arg == "--replay") {
            if (!value) return fail("--replay needs a file");
            o->replayPath = value;
        } else if (arg == "--bot") {
            o->bot = true;
            continue;
        } else if (arg == "--how-to-play") {
            o->howToPlay = true;
            continue;
        } else if (arg == "--player-files") {
            o->playerFiles = true;
            continue;
        } else if (arg == "--bot-skill") {
            if (!ParseInt(value, 0, Bot::MAX_SKILL, &n)) return fail("--bot-skill needs 0 to 3");
            o->botSkill = static_cast<int>(n);
            o->bot = true;
        } else if (arg == "--versus") {
            o->versus = true;
            continue;
        } else if (arg == "--bot2") {
            o->bot2 = true;
            continue;
        } else if (arg == "--bot2-skill") {
            if (!ParseInt(value, 0, Bot::MAX_SKILL, &n)) return fail("--bot2-skill needs 0 to 3");
            o->bot2Skill = static_cast<int>(n);
            o->bot2 = true;
        } else if (arg == "--help" || arg == "-h") {
            return fail(
                "usage: spindrel-sim [--frames N] [--seed S] [--stage K] [--data DIR] [--keys FILE]\n"
                "                    [--trace FILE] [--trace-every K] [--shot FRAME=FILE.png]... "
                "[--video offscreen|none]\n"
                "                    [--loading-frames N] [--bot] [--bot-skill 0..3] [--record FILE]\n"
                "                    [--replay FILE] [--how-to-play] [--player-files]\n"
                "                    [--versus --stage 1|3|4] [--bot2] [--bot2-skill 0..3]");
        } else {
            return fail("unknown argument: " + arg);
        }
        ++i;
    }
    if (!o->shots.empty() && !o->offscreenVideo) return fail("--shot needs --video offscreen");
    if (o->versus && o->stage != 1 && o->stage != 3 && o->stage != 4)
        return fail("--versus needs --stage 1, 3 or 4: the duel arenas");
    if (o->bot2 && !o->versus) return fail("--bot2 plays player 2 of a --versus match");
    if (!o->replayPath.empty() && (o->bot || !o->keysPath.empty() || o->stage >= 1 || o->howToPlay))
        return fail("--replay plays a recorded session: it takes no --keys, --bot, --stage or --how-to-play");
    if (!o->replayPath.empty() && (o->versus || o->bot2))
        return fail("--replay plays a recorded session: it takes no --versus or --bot2");
    return true;
}

SimRunner::SimRunner(SimOptions options) : m_Options(std::move(options)) {}

SimRunner::~SimRunner() = default;

std::string SimRunner::TraceLine(int frame, uint32_t frameMs)
{
    TraceJson j;
    j.Field("frame", frame);
    j.Field("ms", frameMs);
    j.Key("tasks");
    j.BeginArray();
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        j.BeginArray();
        j.Value(static_cast<int64_t>(e->priority));
        j.Value(std::string(e->name));
        j.EndArray();
    }
    j.EndArray();
    AppendTraceFields(j);
    return j.Finish();
}

bool SimRunner::WriteShot(int frame, std::string* error)
{
    auto it = m_Options.shots.find(frame);
    if (it == m_Options.shots.end()) return true;
    plat::RenderDevice* device = m_App->Device();
    std::vector<uint8_t> pixels = device ? device->ReadBackBuffer() : std::vector<uint8_t>{};
    if (pixels.empty() ||
        !plat::PngWriter::Write(it->second, pixels, plat::BACK_BUFFER_WIDTH, plat::BACK_BUFFER_HEIGHT)) {
        if (error) *error = "cannot write screenshot " + it->second;
        return false;
    }
    return true;
}

// On the virtual clock the stage loader must not race the frames: each load
// shows its loading screen for the same number of frames, then the runner
// waits for the loader, so the hand-over falls in the same frame on any machine.
void SimRunner::PaceStageLoad()
{
    if (!IsStageLoadInProgress()) {
        m_LoadingFramesShown = 0;
        HoldStageHandOver(false);
        return;
    }
    const bool hold = m_LoadingFramesShown < m_Options.loadingFrames;
    HoldStageHandOver(hold);
    if (hold) {
        ++m_LoadingFramesShown;
        return;
    }
    WaitForStageLoader();
}

void SimRunner::PlayBackFrame(int frame)
{
    const Replay::Frame& recorded = m_Replay.frames[static_cast<size_t>(frame)];
    m_App->VirtualClockOrNull()->SetNow(recorded.frameMs);
    m_ReplayKeys->SetFrame(recorded);
    // A load hands over in the frame it did when it was recorded.
    if (recorded.handOver) {
        WaitForStageLoader();
        HoldStageHandOver(false);
    } else {
        HoldStageHandOver(IsStageLoadInProgress());
    }
}

bool SimRunner::Run(std::string* error)
{
    if (!m_Options.keysPath.empty() && !m_Script.Load(m_Options.keysPath, error)) return false;
    if (!m_Options.replayPath.empty()) {
        std::string why;
        if (!Replay::Load(m_Options.replayPath, &m_Replay, &why)) {
            if (error) *error = "cannot play " + m_Options.replayPath + ": " + why;
            return false;
        }
        m_ReplayKeys = std::make_unique<ReplayKeySource>();
        const int length = static_cast<int>(m_Replay.frames.size());
        m_Options.frames = m_Options.framesGiven ? std::min(m_Options.frames, length) : length;
    }
    const std::string recordPath = Absolute(m_Options.recordPath);

    // Output paths are taken relative to where the runner was started; the
    // game itself runs in its data folder.
    std::string tracePath = Absolute(m_Options.tracePath);
    for (auto& shot : m_Options.shots) shot.second = Absolute(shot.second);
    std::error_code ec;
    auto oldDir = std::filesystem::current_path(ec);
    std::filesystem::current_path(m_Options.dataDir, ec);
    if (ec) {
        if (error) *error = "cannot enter data folder " + m_Options.dataDir;
        return false;
    }

    std::ofstream trace;
    if (!tracePath.empty()) {
        trace.open(tracePath, std::ios::trunc);
        if (!trace) {
            if (error) *error = "cannot write trace " + tracePath;
            std::filesystem::current_path(oldDir, ec);
            return false;
        }
    }

    std::ofstream archive;
    if (std::string archivePath = TraceArchivePath(); !archivePath.empty()) archive.open(archivePath, std::ios::trunc);

    GameOptions game;
    game.video = m_Options.offscreenVideo ? GameOptions::Video::Offscreen : GameOptions::Video::Recording;
    game.realAudio = false;
    game.virtualClock = true;
    game.scriptedKeys = true;
    game.seed = m_Options.seed;
    game.startStage = m_Options.stage >= 1 ? m_Options.stage - 1 : -1;
    game.recordPath = recordPath;
    game.howToPlay = m_Options.howToPlay;
    game.versus = m_Options.versus;
    if (m_ReplayKeys) {
        game.seed = m_Replay.seed;
        game.startStage = m_Replay.startStage;
        game.howToPlay = m_Replay.howToPlay;
        game.versus = m_Replay.versus;
        game.clockStartMs = m_Replay.startMs;
        game.keySource = m_ReplayKeys.get();
    }
    // The player's files, when asked for; else the defaults and a fresh progress.
    std::unique_ptr<PlayerSession> player;
    if (m_Options.playerFiles) {
        player = std::make_unique<PlayerSession>(PlayerFiles::ForRunner());
        player->Begin(&game, {});
    } else {
        ProgressBook::Configure(Progress{});
    }
    // Each run's trace lists the files refused in that run.
    plat::RefusedFiles::Clear();
    m_App = std::make_unique<GameApp>();
    if (!m_App->Start(game)) {
        if (error) *error = "the game could not start (no graphics device)";
        std::filesystem::current_path(oldDir, ec);
        return false;
    }

    if (m_Options.bot) m_Bot = std::make_unique<Bot>(m_Options.botSkill, Bot::SIDE_PLAYER_1, m_Options.seed);
    if (m_Options.bot2) m_Bot2 = std::make_unique<Bot>(m_Options.bot2Skill, Bot::SIDE_PLAYER_2, m_Options.seed);

    // The trace lists the sounds each frame starts.
    // Only then: the log keeps growing until the trace takes it.
    if (plat::AudioOutput* audio = plat::GetAudioOutput())
        audio->GetMixer().EnableStartLog(trace.is_open() || archive.is_open());

    bool ok = true;
    uint32_t lastFrameTime = plat::NowMs();
    for (int frame = 0; frame < m_Options.frames && ok; ++frame) {
        for (const KeyScript::Event& e : m_Script.EventsAt(frame)) {
            if (e.key == plat::KEY_ESCAPE && e.down) PostQuit();
            m_App->ScriptedKeys()->SetKey(e.key, e.down);
        }
        if (m_Bot) m_Bot->Play(*m_App->ScriptedKeys());
        if (m_Bot2) m_Bot2->Play(*m_App->ScriptedKeys());
        if (QuitRequested()) break;   // Escape closes the program between frames
        if (m_ReplayKeys) {
            PlayBackFrame(frame);
        } else {
            m_App->VirtualClockOrNull()->AdvanceFrame();
            PaceStageLoad();
        }
        if (m_Options.beforeFrame && m_App->ScriptedKeys()) m_Options.beforeFrame(frame, *m_App->ScriptedKeys());
        m_App->Frame();
        uint32_t now = plat::NowMs();
        const bool traced = trace && frame % m_Options.traceEvery == 0;
        if (traced || (archive && !trace)) {
            std::string line = TraceLine(frame, now - lastFrameTime);
            if (traced) trace << line << '\n';
            if (archive) archive << WithoutFrameTime(line) << '\n';
        }
        lastFrameTime = now;
        ok = WriteShot(frame, error);
        m_FramesRun = frame + 1;
        if (m_Options.afterFrame) m_Options.afterFrame(frame);
    }
    HoldStageHandOver(false);
    if (player) player->End(*m_App);
    if (!m_App->Shutdown() && ok) {
        if (error) *error = "cannot write the replay " + recordPath;
        ok = false;
    }
    m_App.reset();
    std::filesystem::current_path(oldDir, ec);
    return ok;
}
