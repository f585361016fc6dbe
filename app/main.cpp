// Spindrel: the program's entry point. It reads the options, finds the data
// folder (so the game runs from wherever it is started), and runs the game
// full screen or in a window.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/DataLocator.h"
#include "app/FirstPlayFlag.h"
#include "app/GameApp.h"
#include "app/PlayerSession.h"
#include "app/ReplayPlayer.h"
#include "core/FrameStats.h"
#include "core/Progress.h"
#include "core/ProgressBook.h"
#include "platform/DataRoot.h"

namespace {

constexpr int EXIT_NO_DATA = 1;
constexpr int EXIT_NO_WINDOW = 1;
constexpr int EXIT_NO_REPLAY = 1;   // the recorded session could not be saved or played

std::unique_ptr<ReplayPlayer> LoadReplay(const std::string& path)
{
    Replay replay;
    std::string why;
    if (!Replay::Load(path, &replay, &why)) {
        std::fprintf(stderr, "spindrel: cannot play %s: %s\n", path.c_str(), why.c_str());
        return nullptr;
    }
    return std::make_unique<ReplayPlayer>(std::move(replay));
}

// A replay starts as the recorded session did, on the clock it recorded, and
// plays on a fresh progress, as it was recorded; it leaves the player's
// progress file alone.
void PlayReplay(ReplayPlayer* player, GameOptions* game)
{
    const Replay& recorded = player->Recorded();
    game->replay = player;
    game->keySource = player;
    game->virtualClock = true;
    game->clockStartMs = recorded.startMs;
    game->seed = recorded.seed;
    game->startStage = recorded.startStage;
    game->howToPlay = recorded.howToPlay;
    game->versus = recorded.versus;
    game->onHowToPlaySeen = {};
    ProgressBook::Configure(Progress{});
}

}   // namespace

int main(int argc, char** argv)
{
    const auto programStart = std::chrono::steady_clock::now();
    const char* program = argc > 0 && argv[0] ? argv[0] : "spindrel";
    const CommandLine options = CommandLine::Parse(argc, argv);
    switch (options.GetAction()) {
        case CommandLine::Action::ShowHelp: std::fputs(CommandLine::Usage(program).c_str(), stdout); return 0;
        case CommandLine::Action::ShowVersion: std::fputs(CommandLine::VersionText().c_str(), stdout); return 0;
        case CommandLine::Action::Fail:
            std::fprintf(stderr, "spindrel: %s\nTry '%s --help' for more information.\n", options.Error().c_str(),
                         program);
            return CommandLine::EXIT_USAGE;
        case CommandLine::Action::Run: break;
    }

    const DataLocator::Result data = DataLocator::Locate(DataLocator::ThisProcess(options.DataFolder()));
    if (!data.found) {
        std::fputs(DataLocator::FailureMessage(data).c_str(), stderr);
        return EXIT_NO_DATA;
    }
    plat::SetDataRoot(data.folder);

    GameApp app;
    GameOptions game;   // a window on the display, sound, the real clock and keyboard
    PlayerSession player(PlayerFiles::ForGame());
    PlayerSession::Overrides overrides;
    if (options.WindowModeGiven()) overrides.fullscreen = options.Fullscreen();
    overrides.musicVolume = options.MusicVolume();
    overrides.effectsVolume = options.EffectsVolume();
    player.Begin(&game, overrides);
    std::unique_ptr<ReplayPlayer> replay;
    if (!options.ReplayPath().empty()) {
        replay = LoadReplay(options.ReplayPath());
        if (!replay) return EXIT_NO_REPLAY;
    }
    game.startStage = options.StartStage();
    game.recordPath = options.RecordPath();
    if (!game.recordPath.empty()) game.seed = static_cast<uint32_t>(std::time(nullptr));   // kept in the replay
    // A first play shows the how-to-play card once; skipping it sets the flag.
    const FirstPlayFlag seen(FirstPlayFlag::DefaultPath());
    game.howToPlay = !seen.IsSet();
    game.onHowToPlaySeen = [seen] {
        std::string why;
        if (!seen.Set(&why)) std::fprintf(stderr, "spindrel: %s (the how-to-play card will show again)\n", why.c_str());
    };
    if (replay) PlayReplay(replay.get(), &game);
    if (!app.Start(game)) {
        std::fprintf(stderr, "spindrel: cannot open a window with OpenGL 3.3; is a display available?\n");
        return EXIT_NO_WINDOW;
    }
    FrameStats stats;
    app.RunLoop(options.Stats() ? &stats : nullptr, programStart);
    player.End(app);
    const bool saved = app.Shutdown();
    if (options.Stats()) std::fputs(stats.Report().c_str(), stdout);
    return saved ? 0 : EXIT_NO_REPLAY;
}
