#include "core/IniDocument.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr size_t kMaxNameLength = 64;

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Printable ASCII and tabs only: anything else is binary junk or an encoding
// this file never uses.
bool IsPlainText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '\t' || (byte >= 0x20 && byte < 0x7f);
    });
}

}   // namespace

bool IniDocument::IsValidName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxNameLength) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.';
    });
}

IniDocument IniDocument::Parse(std::string_view text, std::vector<IniProblem>* problems)
{
    IniDocument document;
    std::vector<IniProblem> found;
    std::string section;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        document.ParseLine(text.substr(start, end - start), ++number, &section, &found);
        start = end + 1;
    }
    document.MarkDuplicates(&found);
    std::stable_sort(found.begin(), found.end(),
                     [](const IniProblem& a, const IniProblem& b) { return a.line < b.line; });
    if (problems) *problems = std::move(found);
    return document;
}

void IniDocument::ParseLine(std::string_view raw, int number, std::string* section, std::vector<IniProblem>* problems)
{
    auto reject = [&](std::string why) { problems->push_back({number, std::move(why)}); };
    if (raw.size() > kMaxLineLength) return reject("line too long");
    const std::string_view line = Trim(raw);
    if (!IsPlainText(line)) return reject("not text");
    if (line.empty() || line.front() == '#' || line.front() == ';') {
        m_Lines.push_back({Kind::Comment, *section, {}, std::string(line), number, false});
        return;
    }
    if (line.front() == '[') {
        if (line.back() != ']') return reject("a section header without its closing ]");
        const std::string_view name = Trim(line.substr(1, line.size() - 2));
        if (!IsValidName(name)) return reject("a section name with unusable characters");
        *section = std::string(name);
        m_Lines.push_back({Kind::Section, *section, {}, {}, number, false});
        return;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return reject("neither a [section] nor a key = value line");
    const std::string_view key = Trim(line.substr(0, equals));
    if (!IsValidName(key)) return reject("a key name with unusable characters");
    m_Lines.push_back(
        {Kind::Key, *section, std::string(key), std::string(Trim(line.substr(equals + 1))), number, false});
}

void IniDocument::MarkDuplicates(std::vector<IniProblem>* problems)
{
    std::map<std::pair<std::string, std::string>, std::vector<Line*>> byName;
    for (Line& line : m_Lines)
        if (line.kind == Kind::Key) byName[{line.section, line.key}].push_back(&line);
    for (auto& [name, lines] : byName) {
        if (lines.size() < 2) continue;
        for (Line* line : lines) {
            line->ambiguous = true;
            problems->push_back({line->number, "'" + name.second + "' is given more than once; none of them counts"});
        }
    }
}

const IniDocument::Line* IniDocument::FindKey(std::string_view section, std::string_view key) const
{
    for (const Line& line : m_Lines)
        if (line.kind == Kind::Key && line.section == section && line.key == key) return &line;
    return nullptr;
}

IniDocument::Line* IniDocument::FindKey(std::string_view section, std::string_view key)
{
    return const_cast<Line*>(std::as_const(*this).FindKey(section, key));
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const
{
    const Line* line = FindKey(section, key);
    if (!line || line->ambiguous) return std::nullopt;
    return line->value;
}

int IniDocument::LineOf(std::string_view section, std::string_view key) const
{
    const Line* line = FindKey(section, key);
    return line ? line->number : 0;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    // Nothing that would not read back as the same key and value is written.
    if ((!section.empty() && !IsValidName(section)) || !IsValidName(key) || !IsPlainText(value) ||
        Trim(value) != value || value.size() > kMaxLineLength / 2)
        return;
    if (Line* line = FindKey(section, key)) {
        // The first of several copies takes the value; the rest go.
        line->value = std::string(value);
        line->ambiguous = false;
        std::erase_if(m_Lines, [&](const Line& other) {
            return &other != line && other.kind == Kind::Key && other.section == section && other.key == key;
        });
        return;
    }
    Line added{Kind::Key, std::string(section), std::string(key), std::string(value), 0, false};
    // After the last line of the section; a new section goes at the end.
    auto last = std::find_if(m_Lines.rbegin(), m_Lines.rend(),
                             [&](const Line& line) { return line.section == section && line.kind != Kind::Comment; });
    if (last == m_Lines.rend() && section.empty()) {
        m_Lines.insert(m_Lines.begin(), std::move(added));
        return;
    }
    if (last == m_Lines.rend()) {
        if (!section.empty()) m_Lines.push_back({Kind::Section, std::string(section), {}, {}, 0, false});
        m_Lines.push_back(std::move(added));
        return;
    }
    m_Lines.insert(last.base(), std::move(added));
}

std::string IniDocument::Serialize() const
{
    std::string text;
    for (const Line& line : m_Lines) {
        switch (line.kind) {
            case Kind::Comment: text += line.value; break;
            case Kind::Section:
                if (!text.empty() && text.size() >= 2 && text[text.size() - 2] != '\n') text += '\n';
                text += "[" + line.section + "]";
                break;
            case Kind::Key: text += line.key + " = " + line.value; break;
        }
        text += '\n';
    }
    return text;
}
