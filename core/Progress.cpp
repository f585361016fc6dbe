#include "core/Progress.h"

#include <charconv>

namespace {

constexpr std::string_view kCleared = "cleared";
constexpr std::string_view kBestMs = "best_ms";

std::string StageSection(int stage) { return "stage" + std::to_string(stage + 1); }

bool IsStage(int stage) { return stage >= 0 && stage < Progress::kStages; }

}   // namespace

Progress Progress::Read(std::string_view text, std::vector<IniProblem>* problems, IniDocument* document)
{
    std::vector<IniProblem> found;
    IniDocument lines = IniDocument::Parse(text, &found);
    Progress progress;
    for (int stage = 0; stage < kStages; ++stage) {
        const std::string section = StageSection(stage);
        Stage& entry = progress.m_Stages[stage];
        if (const auto cleared = lines.Get(section, kCleared)) {
            if (*cleared == "true")
                entry.cleared = true;
            else if (*cleared != "false")
                found.push_back({lines.LineOf(section, kCleared), "cleared must be true or false"});
        }
        const auto best = lines.Get(section, kBestMs);
        if (!best) continue;
        uint32_t ms = 0;
        const auto [end, error] = std::from_chars(best->data(), best->data() + best->size(), ms);
        if (error == std::errc() && end == best->data() + best->size() && ms > 0 && ms <= kMaxBattleMs)
            entry.bestMs = ms;
        else
            found.push_back({lines.LineOf(section, kBestMs), "best_ms must be a time in milliseconds"});
    }
    // A best time belongs to a cleared stage only.
    for (Stage& entry : progress.m_Stages)
        if (!entry.cleared) entry.bestMs.reset();
    if (problems) *problems = std::move(found);
    if (document) *document = std::move(lines);
    return progress;
}

std::string Progress::Write(IniDocument document) const
{
    for (int stage = 0; stage < kStages; ++stage) {
        const Stage& entry = m_Stages[stage];
        if (!entry.cleared) continue;
        document.Set(StageSection(stage), kCleared, "true");
        if (entry.bestMs) document.Set(StageSection(stage), kBestMs, std::to_string(*entry.bestMs));
    }
    return document.Serialize();
}

bool Progress::Cleared(int stage) const { return IsStage(stage) && m_Stages[stage].cleared; }

std::optional<uint32_t> Progress::BestMs(int stage) const
{
    return IsStage(stage) ? m_Stages[stage].bestMs : std::nullopt;
}

bool Progress::RecordWin(int stage, uint32_t battleMs)
{
    if (!IsStage(stage) || battleMs == 0 || battleMs > kMaxBattleMs) {
        if (IsStage(stage)) m_Stages[stage].cleared = true;
        return false;
    }
    Stage& entry = m_Stages[stage];
    entry.cleared = true;
    if (entry.bestMs && *entry.bestMs <= battleMs) return false;
    entry.bestMs = battleMs;
    return true;
}
