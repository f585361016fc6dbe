// XTokenizer is responsible for cutting the body of a text X file into
// tokens: names, numbers, quoted strings, GUIDs in angle brackets, braces and
// the separators ';' and ','. Comments ("//" and "#" to the end of the line)
// and white space are dropped. It never reads past the end of its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {

enum class XTokenKind : uint8_t {
    End,      // no more text
    Name,     // letters, digits, '_', '-', '.'; starts with a letter or '_'
    Number,   // starts with a digit, a sign or a point
    String,   // text is the contents without the quotes
    Guid,     // text is the whole "<...>"
    OpenBrace,
    CloseBrace,
    Separator,   // ';' or ','
    Other,       // any other single character ('[', ']', ...)
    Invalid,     // an unterminated string or GUID
};

struct XToken {
    XTokenKind kind = XTokenKind::End;
    std::string_view text;
};

class XTokenizer {
public:
    explicit XTokenizer(std::string_view text) : m_Text(text) {}

    XToken Next();
    // The token after the next `ahead` ones, without consuming anything.
    XToken Peek(int ahead = 0) const;
    // Consumes separators; returns the first token that is not one, unconsumed.
    XToken SkipSeparators();

    // Reads a number, skipping separators before it. False on anything else,
    // on a malformed number and on values that are not finite.
    bool ReadFloat(float* out);
    bool ReadUInt(uint32_t* out);

    // Bytes not yet consumed: an upper bound on the count of tokens left.
    size_t Remaining() const { return m_Text.size() - m_Pos; }

private:
    void SkipSpaceAndComments();
    void SkipSeparatorsAndSpace();
    // The next token's text when it is a number (consumed); empty otherwise
    // (nothing consumed but separators).
    std::string_view TakeNumberText();
    XToken Take(XTokenKind kind, size_t length);
    XToken TakeDelimited(XTokenKind kind, char close);

    std::string_view m_Text;
    size_t m_Pos = 0;
};

}   // namespace plat
