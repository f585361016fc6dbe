#include "tools/sim/BalanceTable.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr int FRAMES_PER_SECOND = 60;

}   // namespace

int BalanceTable::Median(std::vector<int> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string BalanceTable::Range(const std::vector<int>& v)
{
    if (v.empty()) return "";
    auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return " (" + std::to_string(*lo) + "-" + std::to_string(*hi) + " s)";
}

int BalanceTable::Cell::MedianSeconds() const { return Median(allSeconds); }

void BalanceTable::Add(int stage, int skill, const StageTrialOutcome& outcome)
{
    Cell& c = m_Cells[{stage, skill}];
    int seconds = outcome.battleFrames / FRAMES_PER_SECOND;
    c.allSeconds.push_back(seconds);
    c.swarmReturns += outcome.swarmReturns;
    switch (outcome.kind) {
        case StageTrialOutcome::WON:
            ++c.won;
            c.wonSeconds.push_back(seconds);
            c.decidedSeconds.push_back(seconds);
            break;
        case StageTrialOutcome::LOST:
            ++c.lost;
            c.decidedSeconds.push_back(seconds);
            break;
        case StageTrialOutcome::UNDECIDED: ++c.undecided; break;
    }
}

const BalanceTable::Cell& BalanceTable::At(int stage, int skill) const
{
    static const Cell empty;
    auto it = m_Cells.find({stage, skill});
    return it == m_Cells.end() ? empty : it->second;
}

std::string BalanceTable::Markdown(int seeds) const
{
    std::vector<int> stages, skills;
    for (const auto& [key, cell] : m_Cells) {
        if (std::find(stages.begin(), stages.end(), key.first) == stages.end()) stages.push_back(key.first);
        if (std::find(skills.begin(), skills.end(), key.second) == skills.end()) skills.push_back(key.second);
    }
    std::sort(skills.begin(), skills.end());
    std::ostringstream out;
    out << "| stage |";
    for (int skill : skills) out << " skill " << skill << " |";
    out << "\n|---|";
    for (size_t i = 0; i < skills.size(); ++i) out << "---|";
    out << "\n";
    std::ostringstream returns;
    for (int stage : stages) {
        out << "| " << stage << " |";
        for (int skill : skills) {
            const Cell& c = At(stage, skill);
            out << " won " << c.won << ", lost " << c.lost << ", undecided " << c.undecided << "; median "
                << c.MedianSeconds() << " s" << Range(c.decidedSeconds) << " |";
            if (c.swarmReturns > 0) returns << " " << c.swarmReturns << " at skill " << skill << ";";
        }
        out << "\n";
    }
    out << "\n"
        << seeds << " seeds a cell, three minutes of battle at most; the median counts an undecided game "
        << "as the whole three minutes, the range is that of the decided games.\n";
    if (!returns.str().empty())
        out << "Swarm enemies put back on the arena after leaving it, in all games:" << returns.str() << "\n";
    return out.str();
}
