#include "quiz/format.h"

#include <array>

namespace quiz {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// What a mistyped "." or "," turns into: the other punctuation of the same
// keys, the full-width and small forms, the low quotation mark and the dots of
// Windows-1251, and the letters on those keys of the Russian layout.
constexpr std::array<std::string_view, 17> kMarkerLookAlikes = {
    ".",      ",",      ";",      ":",      "\u201A", "\u2026", "\u00B7", "\uFF0C", "\uFF0E",
    "\uFF1B", "\uFF1A", "\u3001", "\u3002", "\uFE50", "\uFE52", "\u044E", "\u0431",  // ю б
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool isLookAlike(std::string_view s) {
    for (const std::string_view c : kMarkerLookAlikes) {
        if (s == c) return true;
    }
    return false;
}

}  // namespace

ScoreParse parseMinScore(std::string_view s, std::int16_t& value) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    constexpr long kBeyondRange = 100000;
    long whole = 0;
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
        if (whole < kBeyondRange) whole = whole * 10 + (s[i] - '0');
    }
    bool roundUp = false;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        ++i;
        int first = -1;
        bool restNonZero = false;
        for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
            if (first < 0) {
                first = s[i] - '0';
            } else if (s[i] != '0') {
                restNonZero = true;
            }
        }
        roundUp = first > 5 || (first == 5 && (restNonZero || whole % 2 == 1));
    }
    while (i < s.size() && isBlank(s[i])) ++i;
    if (digits == 0 || i != s.size()) return ScoreParse::NotANumber;
    if (roundUp) ++whole;
    if (negative) whole = -whole;
    if (whole < INT16_MIN || whole > INT16_MAX) return ScoreParse::OutOfRange;
    value = static_cast<std::int16_t>(whole);
    return ScoreParse::Ok;
}

bool looksLikeAnswerMarker(std::string_view utf8) {
    if (endsBlock(Block::Answer, utf8)) return false;
    const std::string_view s = trimmed(utf8);
    if (s.size() < 2) return false;
    if (isPointsDigit(s.front())) return isLookAlike(trimmed(s.substr(1)));
    if (!isPointsDigit(s.back())) return false;
    return isLookAlike(trimmed(s.substr(0, s.size() - 1)));
}

}  // namespace quiz
