// IniDocument is a small INI text: [section] headers, `key = value` lines,
// comments (# or ;) and blank lines. Parse never fails: every line it cannot
// use is noted as a problem and left out, and a key given twice in a section
// is ambiguous, so neither value counts. Lines are kept in their order, so a
// document written back keeps the keys and comments its reader did not know.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct IniProblem {
    int line = 0;   // 1-based
    std::string why;
};

class IniDocument {
public:
    // Lines longer than this are damaged (a settings file has no use for them).
    static constexpr size_t kMaxLineLength = 1024;

    static IniDocument Parse(std::string_view text, std::vector<IniProblem>* problems);

    // The value of a key, when it is given exactly once in its section.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // The line of the text a key was read from (0 when it was not).
    int LineOf(std::string_view section, std::string_view key) const;
    // Sets a key (ignored when the names or the value could not be read back),
    // adding the section and the key at their ends when new.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    std::string Serialize() const;

    // True for a section or key name this format can hold.
    static bool IsValidName(std::string_view name);

private:
    enum class Kind { Comment, Section, Key };
    struct Line {
        Kind kind = Kind::Comment;
        std::string section;   // the section the line belongs to (its own name for a header)
        std::string key;
        std::string value;   // the comment's text for a comment
        int number = 0;      // its line in the text it was read from
        bool ambiguous = false;
    };

    void ParseLine(std::string_view text, int number, std::string* section, std::vector<IniProblem>* problems);
    void MarkDuplicates(std::vector<IniProblem>* problems);
    Line* FindKey(std::string_view section, std::string_view key);
    const Line* FindKey(std::string_view section, std::string_view key) const;

    std::vector<Line> m_Lines;
};
