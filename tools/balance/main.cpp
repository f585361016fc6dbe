// spindrel-balance: the computer player at every skill on every stage over a
// run of seeds, each game three minutes of battle at most on the recording
// device, summed up in one table of wins, losses and battle lengths. Games
// run in child processes, as many at once as there are cores, since the game
// keeps its state in globals.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tools/sim/BalanceTable.h"
#include "tools/sim/StageTrial.h"
#include "tools/sim/VersusTable.h"
#include "tools/sim/VersusTrial.h"

namespace {

struct Options {
    int seeds = 10;
    int firstSeed = 1;
    int firstStage = 1, lastStage = 5;
    int firstSkill = 0, lastSkill = 3;
    int jobs = 0;
    std::string dataDir = "build/data";
    bool versus = false;   // matches between two computer players of one skill
    int versusSkill = 3;
};

struct Game {
    int stage, skill, seed;
};

struct Running {
    pid_t pid;
    int fd;
    Game game;
};

bool ParseRange(const char* text, int* first, int* last)
{
    char* end = nullptr;
    long a = std::strtol(text, &end, 10);
    long b = a;
    if (*end == '-') b = std::strtol(end + 1, &end, 10);
    if (*end != '\0' || a > b) return false;
    *first = static_cast<int>(a);
    *last = static_cast<int>(b);
    return true;
}

bool ParseArgs(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--versus") {
            o->versus = true;
            continue;
        }
        if (!v) return false;
        ++i;
        if (a == "--seeds")
            o->seeds = std::atoi(v);
        else if (a == "--first-seed")
            o->firstSeed = std::atoi(v);
        else if (a == "--jobs")
            o->jobs = std::atoi(v);
        else if (a == "--versus-skill") {
            o->versusSkill = std::atoi(v);
            o->versus = true;
        } else if (a == "--data")
            o->dataDir = v;
        else if (a == "--stages") {
            if (!ParseRange(v, &o->firstStage, &o->lastStage)) return false;
        } else if (a == "--skills") {
            if (!ParseRange(v, &o->firstSkill, &o->lastSkill)) return false;
        } else
            return false;
    }
    if (o->versusSkill < 0 || o->versusSkill > 3) return false;
    return o->seeds > 0 && o->firstStage >= 1 && o->lastStage <= 5 && o->firstSkill >= 0 && o->lastSkill <= 3;
}

// Plays one game in a child process, which writes "launched kind frames returns" to the pipe.
bool Start(const Game& g, const Options& o, Running* r)
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(fds[0]);
        std::string error;
        char line[64];
        int n = 0;
        bool ok = false;
        if (o.versus) {
            VersusTrialOutcome outcome;
            ok = VersusTrial::Play(g.stage, static_cast<uint32_t>(g.seed), g.skill, o.dataDir, &outcome, &error);
            n = std::snprintf(line, sizeof line, "%d %d %d %d\n", ok ? 1 : 0, outcome.winner, outcome.frames,
                              outcome.rounds);
        } else {
            StageTrialOutcome outcome;
            ok = StageTrial::Play(g.stage, static_cast<uint32_t>(g.seed), g.skill, o.dataDir, &outcome, &error);
            n = std::snprintf(line, sizeof line, "%d %d %d %d\n", ok && outcome.launched ? 1 : 0,
                              static_cast<int>(outcome.kind), outcome.battleFrames, outcome.swarmReturns);
        }
        if (!ok) std::fprintf(stderr, "spindrel-balance: stage %d seed %d: %s\n", g.stage, g.seed, error.c_str());
        ssize_t written = write(fds[1], line, static_cast<size_t>(n));
        _exit(written == n && ok ? 0 : 1);
    }
    close(fds[1]);
    *r = {pid, fds[0], g};
    return true;
}

// Waits for the child and reads its four numbers; false when it failed.
bool Finish(const Running& r, int (&numbers)[4])
{
    char line[64] = {};
    ssize_t n = read(r.fd, line, sizeof line - 1);
    close(r.fd);
    int status = 0;
    waitpid(r.pid, &status, 0);
    if (n <= 0 || std::sscanf(line, "%d %d %d %d", &numbers[0], &numbers[1], &numbers[2], &numbers[3]) != 4)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && numbers[0] != 0;
}

StageTrialOutcome StageOutcome(const int (&numbers)[4])
{
    StageTrialOutcome outcome;
    outcome.launched = numbers[0] != 0;
    outcome.kind = static_cast<StageTrialOutcome::Kind>(numbers[1]);
    outcome.battleFrames = numbers[2];
    outcome.swarmReturns = numbers[3];
    return outcome;
}

}   // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, &o)) {
        std::fprintf(stderr,
                     "usage: spindrel-balance [--seeds N] [--first-seed S] [--stages A-B] [--skills A-B] "
                     "[--jobs J] [--data DIR]\n"
                     "       spindrel-balance --versus [--versus-skill 0..3] [--seeds N] [--first-seed S] "
                     "[--jobs J] [--data DIR]\n");
        return 2;
    }
    if (o.jobs <= 0) o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<Game> games;
    if (o.versus) {
        for (int stage : VersusTable::ARENAS)
            for (int seed = o.firstSeed; seed < o.firstSeed + o.seeds; ++seed)
                games.push_back({stage, o.versusSkill, seed});
    } else {
        for (int stage = o.firstStage; stage <= o.lastStage; ++stage)
            for (int skill = o.firstSkill; skill <= o.lastSkill; ++skill)
                for (int seed = o.firstSeed; seed < o.firstSeed + o.seeds; ++seed)
                    games.push_back({stage, skill, seed});
    }

    BalanceTable table;
    VersusTable versusTable;
    std::vector<Running> running;
    size_t next = 0;
    bool failed = false;
    while (next < games.size() || !running.empty()) {
        while (next < games.size() && static_cast<int>(running.size()) < o.jobs) {
            Running r;
            if (!Start(games[next], o, &r)) {
                std::perror("spindrel-balance");
                return 1;
            }
            running.push_back(r);
            ++next;
        }
        // Children finish in any order; read the oldest, which keeps the pool full enough.
        Running r = running.front();
        running.erase(running.begin());
        int numbers[4] = {};
        if (!Finish(r, numbers)) {
            std::fprintf(stderr, "spindrel-balance: stage %d skill %d seed %d did not play\n", r.game.stage,
                         r.game.skill, r.game.seed);
            failed = true;
            continue;
        }
        if (o.versus) {
            VersusTrialOutcome match;
            match.winner = numbers[1];
            match.frames = numbers[2];
            match.rounds = numbers[3];
            versusTable.Add(r.game.stage, match);
        } else {
            table.Add(r.game.stage, r.game.skill, StageOutcome(numbers));
        }
    }
    std::printf("%s", o.versus ? versusTable.Markdown(o.versusSkill).c_str() : table.Markdown(o.seeds).c_str());
    return failed ? 1 : 0;
}
