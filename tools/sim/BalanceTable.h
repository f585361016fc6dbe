// BalanceTable is responsible for summing up stage trials: per stage and
// skill, how many were won, lost and undecided, and the median and range of
// the battle lengths of the decided ones, printed as one Markdown table.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/sim/StageTrial.h"

class BalanceTable {
public:
    struct Cell {
        int won = 0, lost = 0, undecided = 0;
        std::vector<int> decidedSeconds;   // battle lengths of the won and lost games
        std::vector<int> wonSeconds;
        // The median battle length in seconds, undecided games counting as the
        // whole battle time (so a stage that drags cannot hide behind its wins).
        std::vector<int> allSeconds;
        int swarmReturns = 0;
        int MedianSeconds() const;
    };

    void Add(int stage, int skill, const StageTrialOutcome& outcome);
    const Cell& At(int stage, int skill) const;
    // Rows are stages, columns skills: "won W, lost L, undecided U; median M s (range A-B)".
    std::string Markdown(int seeds) const;

    // The middle value (the upper of the two middle ones), 0 for none; and
    // " (lo-hi s)", empty for none.
    static int Median(std::vector<int> v);
    static std::string Range(const std::vector<int>& v);

private:
    std::map<std::pair<int, int>, Cell> m_Cells;
};
