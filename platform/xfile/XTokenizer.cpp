#include "platform/xfile/XTokenizer.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace plat {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == '-' || c == '.'; }
bool IsNumberStart(char c) { return IsDigit(c) || c == '-' || c == '+' || c == '.'; }
bool IsNumberChar(char c) { return IsDigit(c) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'; }

// Every integer up to 2^24 and every power of ten up to 10^10 is exact in a
// float, so one division of the two is rounded exactly as from_chars rounds.
constexpr uint32_t LARGEST_EXACT_MANTISSA = 1u << 24;
constexpr float EXACT_POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr size_t MOST_FRACTION_DIGITS = std::size(EXACT_POWERS_OF_TEN) - 1;
constexpr size_t MOST_EXACT_DIGITS = 8;   // 99 999 999 is below 2^27: no overflow while counting

// The common plain decimal ("-2.062826") read directly; false, with nothing
// written, for anything else, which is then left to from_chars.
bool ReadPlainDecimal(std::string_view text, float* out)
{
    size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative || text[0] == '+') ++i;
    uint32_t mantissa = 0;
    size_t digits = 0, fractionDigits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (IsDigit(c)) {
            if (++digits > MOST_EXACT_DIGITS) return false;
            mantissa = mantissa * 10 + uint32_t(c - '0');
            if (point) ++fractionDigits;
        } else {
            return false;
        }
    }
    if (digits == 0 || mantissa > LARGEST_EXACT_MANTISSA || fractionDigits > MOST_FRACTION_DIGITS) return false;
    const float magnitude = static_cast<float>(mantissa) / EXACT_POWERS_OF_TEN[fractionDigits];
    *out = negative ? -magnitude : magnitude;
    return true;
}

}   // namespace

void XTokenizer::SkipSpaceAndComments()
{
    while (m_Pos < m_Text.size()) {
        char c = m_Text[m_Pos];
        bool lineComment = c == '#' || (c == '/' && m_Pos + 1 < m_Text.size() && m_Text[m_Pos + 1] == '/');
        if (lineComment) {
            while (m_Pos < m_Text.size() && m_Text[m_Pos] != '\n') ++m_Pos;
        } else if (IsSpace(c)) {
            ++m_Pos;
        } else {
            return;
        }
    }
}

XToken XTokenizer::Take(XTokenKind kind, size_t length)
{
    XToken token{kind, m_Text.substr(m_Pos, length)};
    m_Pos += length;
    return token;
}

XToken XTokenizer::TakeDelimited(XTokenKind kind, char close)
{
    size_t end = m_Text.find(close, m_Pos + 1);
    if (end == std::string_view::npos) {
        m_Pos = m_Text.size();
        return {XTokenKind::Invalid, {}};
    }
    size_t start = m_Pos;
    m_Pos = end + 1;
    if (kind == XTokenKind::String) return {kind, m_Text.substr(start + 1, end - start - 1)};
    return {kind, m_Text.substr(start, end + 1 - start)};
}

XToken XTokenizer::Next()
{
    SkipSpaceAndComments();
    if (m_Pos >= m_Text.size()) return {XTokenKind::End, {}};

    char c = m_Text[m_Pos];
    auto runLength = [&](bool (*accept)(char)) {
        size_t end = m_Pos + 1;
        while (end < m_Text.size() && accept(m_Text[end])) ++end;
        return end - m_Pos;
    };
    if (c == '{') return Take(XTokenKind::OpenBrace, 1);
    if (c == '}') return Take(XTokenKind::CloseBrace, 1);
    if (c == ';' || c == ',') return Take(XTokenKind::Separator, 1);
    if (c == '"') return TakeDelimited(XTokenKind::String, '"');
    if (c == '<') return TakeDelimited(XTokenKind::Guid, '>');
    if (IsLetter(c)) return Take(XTokenKind::Name, runLength(IsNameChar));
    if (IsNumberStart(c)) return Take(XTokenKind::Number, runLength(IsNumberChar));
    return Take(XTokenKind::Other, 1);
}

XToken XTokenizer::Peek(int ahead) const
{
    XTokenizer copy = *this;
    for (int i = 0; i < ahead; ++i) copy.Next();
    return copy.Next();
}

void XTokenizer::SkipSeparatorsAndSpace()
{
    for (SkipSpaceAndComments(); m_Pos < m_Text.size() && (m_Text[m_Pos] == ';' || m_Text[m_Pos] == ',');
         SkipSpaceAndComments())
        ++m_Pos;
}

XToken XTokenizer::SkipSeparators()
{
    SkipSeparatorsAndSpace();
    return Peek();
}

// Numbers are most of a mesh file: each is cut out once, and anything else
// is left where it was.
std::string_view XTokenizer::TakeNumberText()
{
    SkipSeparatorsAndSpace();
    if (m_Pos >= m_Text.size() || !IsNumberStart(m_Text[m_Pos])) return {};
    size_t end = m_Pos + 1;
    while (end < m_Text.size() && IsNumberChar(m_Text[end])) ++end;
    return Take(XTokenKind::Number, end - m_Pos).text;
}

bool XTokenizer::ReadFloat(float* out)
{
    std::string_view text = TakeNumberText();
    if (text.empty()) return false;
    if (ReadPlainDecimal(text, out)) return true;
    if (text[0] == '+') text.remove_prefix(1);   // from_chars takes no plus sign
    float value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

bool XTokenizer::ReadUInt(uint32_t* out)
{
    std::string_view text = TakeNumberText();
    if (text.empty()) return false;
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    *out = value;
    return true;
}

}   // namespace plat
