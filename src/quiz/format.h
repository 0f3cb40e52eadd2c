// The rules of the quiz file format that more than the reader needs: which
// lines are marker lines where, what a minimum score is, and the slips an
// author makes in a marker line. The reader, the writer and the checker all
// take them from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quiz {

// The most answers a question may have, and rows the level table.
inline constexpr std::size_t kMaxAnswers = 4;
inline constexpr std::size_t kMaxLevels = 4;

// Where a line stands, as far as marker lines go.
enum class Block : std::uint8_t {
    Introduction,  // ended by a line beginning with "."
    LevelTable,    // a verdict line beginning with "." ends the table (a minimum-score line too)
    QuestionText,  // ended by a line beginning with "."
    Answer,        // ended by a line beginning with "." or ","
};

// True when `line` (its bytes, in either encoding) ends `block` instead of
// being its content. Only the first byte decides; an empty line never ends a
// block.
constexpr bool endsBlock(Block block, std::string_view line) {
    return !line.empty() &&
           (line.front() == '.' || (block == Block::Answer && line.front() == ','));
}

// True for the digits an answer's marker line may carry as points: 0 and 1.
constexpr bool isPointsDigit(char c) { return c == '0' || c == '1'; }

// Spaces and tabs.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isBlankLine(std::string_view line) {
    for (const char c : line) {
        if (!isBlank(c)) return false;
    }
    return true;
}

enum class ScoreParse : std::uint8_t { Ok, NotANumber, OutOfRange };

// A minimum score: a whole number from -32768 to 32767 with an optional sign
// and blanks around it; a fraction (after "." or ",") rounds to the nearest
// whole number, halves to even. Sets `value` only when Ok.
ScoreParse parseMinScore(std::string_view line, std::int16_t& value);

// True for a UTF-8 line that is no marker line but is probably meant as an
// answer's one: a character like "." or "," (";", ":", a full-width or other
// look-alike, "ю" or "б" typed on a Russian layout) and the digit 0 or 1, in
// either order, with blanks around them.
bool looksLikeAnswerMarker(std::string_view utf8);

}  // namespace quiz
