// VersusTable sums up versus matches between two computer players of equal
// skill: per arena, the matches each side won and the undecided ones, the
// median and range of the match lengths and the longest match, printed as
// one Markdown table.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sim/VersusTrial.h"

class VersusTable {
public:
    static constexpr int ARENAS[] = {1, 3, 4};   // the stages versus is played on

    struct Row {
        int wins[2] = {};
        int undecided = 0;
        std::vector<int> seconds;   // every match's length, undecided ones at the limit
        int rounds = 0;
        int Matches() const { return wins[0] + wins[1] + undecided; }
        int LongestSeconds() const;
    };

    void Add(int stage, const VersusTrialOutcome& outcome);
    const Row& At(int stage) const;
    std::string Markdown(int skill) const;

private:
    std::map<int, Row> m_Rows;
};
