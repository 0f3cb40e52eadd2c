// Converting spreadsheets, Aiken and GIFT files (and quiz files) to quiz
// documents. Plain C++: the game links none of it.
//
// Every converter reads the whole input from memory and reports what it
// cannot take as problems at the input's lines; a conversion with a problem
// gives no document to write. Texts keep the lines they came from
// (DocLine::sourceLine), so that a later problem (a character Windows-1251
// cannot hold) is reported at the input's line too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quiz/document.h"

namespace convert {

enum class Kind { Quiz, Csv, Aiken, Gift };

// "quiz", "csv", "aiken", "gift".
std::optional<Kind> kindByName(std::string_view name);

// What a file holds, told by its name (".csv", ".tsv", ".gift") or else by
// its content: a quiz file the game reads, a line "ANSWER: X" (Aiken), answers
// in braces or "::" titles (GIFT), or cells separated by ";", "," or tabs.
// None when nothing fits.
std::optional<Kind> guessKind(std::string_view fileName, std::string_view bytes);

// A problem at line `line` of the input (0 for the file as a whole).
struct Problem {
    int line = 0;
    std::optional<std::string> lineText;  // the line, quoted under the message
    std::string message;                  // in Russian
};

// What a converter of questions gives: the questions, or the problems.
struct Questions {
    std::vector<quiz::DocQuestion> questions;
    std::vector<Problem> problems;
};

struct Converted {
    quiz::QuizDocument document;
    std::vector<Problem> problems;  // none: the document is complete
};

// Converts `bytes` of the kind `kind`. A quiz file is read as the game reads
// it (its errors as the game gives them); the others become a new document
// titled `title`, with a short introduction and a level table fitted to the
// number of questions for the author to change.
Converted convert(Kind kind, std::string_view bytes, const std::string& fileName,
                  const std::string& title);

// A new document titled `title` holding `questions`, with the short
// introduction and the level table fitted to their number that a converted
// quiz gets, for the author to change.
quiz::QuizDocument newDocument(const std::string& title, std::vector<quiz::DocQuestion> questions);

// The converters of questions (csv.cpp, aiken.cpp, gift.cpp).
Questions readSpreadsheet(std::string_view bytes);
Questions readAiken(std::string_view bytes);
Questions readGift(std::string_view bytes);

}  // namespace convert
