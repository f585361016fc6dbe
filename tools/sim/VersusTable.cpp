#include "tools/sim/VersusTable.h"

#include <algorithm>
#include <sstream>

#include "tools/sim/BalanceTable.h"

namespace {

constexpr int FRAMES_PER_SECOND = 60;

}   // namespace

int VersusTable::Row::LongestSeconds() const
{
    return seconds.empty() ? 0 : *std::max_element(seconds.begin(), seconds.end());
}

void VersusTable::Add(int stage, const VersusTrialOutcome& outcome)
{
    Row& row = m_Rows[stage];
    if (outcome.winner == 0 || outcome.winner == 1)
        ++row.wins[outcome.winner];
    else
        ++row.undecided;
    row.seconds.push_back(outcome.frames / FRAMES_PER_SECOND);
    row.rounds += outcome.rounds;
}

const VersusTable::Row& VersusTable::At(int stage) const
{
    static const Row empty;
    auto it = m_Rows.find(stage);
    return it == m_Rows.end() ? empty : it->second;
}

std::string VersusTable::Markdown(int skill) const
{
    std::ostringstream out;
    out << "| arena | player 1 won | player 2 won | undecided | match length: median (range) | rounds a match |\n"
        << "|---|---|---|---|---|---|\n";
    for (const auto& [stage, row] : m_Rows) {
        const double rounds = row.Matches() ? static_cast<double>(row.rounds) / row.Matches() : 0.0;
        out << "| stage " << stage << " | " << row.wins[0] << " | " << row.wins[1] << " | " << row.undecided << " | "
            << BalanceTable::Median(row.seconds) << " s" << BalanceTable::Range(row.seconds) << " | "
            << static_cast<int>(rounds * 10 + 0.5) / 10.0 << " |\n";
    }
    out << "\nBoth sides played by the computer player at skill " << skill
        << "; a match is first to two rounds and is cut off after five minutes of game time (loading and aiming "
           "included).\n";
    return out.str();
}
