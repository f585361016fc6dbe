// Progress is what the player has achieved: which stages were cleared and the
// best battle time of each, kept as an INI text (a [stageN] section each, with
// `cleared` and `best_ms`). A value that cannot be used is a problem and reads
// as not achieved; keys the game does not know are written back as they were.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniDocument.h"

class Progress {
public:
    static constexpr int kStages = 5;
    // A battle time past this (over a day) is not one the game measured.
    static constexpr uint32_t kMaxBattleMs = 24u * 60u * 60u * 1000u;

    static Progress Read(std::string_view text, std::vector<IniProblem>* problems, IniDocument* document = nullptr);
    std::string Write(IniDocument document = {}) const;

    bool Cleared(int stage) const;
    // The best time of a cleared stage (0-based), in milliseconds.
    std::optional<uint32_t> BestMs(int stage) const;
    // A win of a stage in a battle time: true when it is the stage's best yet.
    bool RecordWin(int stage, uint32_t battleMs);

    bool operator==(const Progress&) const = default;

private:
    struct Stage {
        bool cleared = false;
        std::optional<uint32_t> bestMs;
        bool operator==(const Stage&) const = default;
    };
    std::array<Stage, kStages> m_Stages{};
};
