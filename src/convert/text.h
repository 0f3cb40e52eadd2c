// The text of an input file for the converters: decoded, and cut into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quiz/document.h"

namespace convert {

// UTF-8 of `bytes`: UTF-8 with or without its byte-order mark, UTF-16 with
// its mark (little- or big-endian, when `utf16` allows it), otherwise
// Windows-1251. The mark is not part of the text; malformed bytes and lone
// surrogates become U+FFFD.
std::string decodeInput(std::string_view bytes, bool utf16);

struct TextLine {
    int number = 0;  // 1-based
    std::string_view text;
};

// The lines of a UTF-8 text, ended by CR LF, LF or CR; views into `text`.
std::vector<TextLine> splitLines(std::string_view text);

// Without blanks (spaces, tabs) at either end.
std::string_view trimmed(std::string_view text);

// A text that may hold line breaks as lines of a document, numbered from
// `firstLine`, each without blanks at its end; empty lines at either end are
// dropped.
std::vector<quiz::DocLine> textLines(std::string_view text, int firstLine);

// The answer number 1..4 of a letter: Cyrillic А Б В Г or Latin A B C D,
// either case; 0 for anything else. The Latin B is the second answer, the
// Cyrillic В the third.
int answerOfLetter(std::string_view letter);

}  // namespace convert
