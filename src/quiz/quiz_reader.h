// QuizReader: reads one quiz file strictly forward.
//
// The format, line by line (a marker line is one whose first character is "."
// or ","; only the first character decides; an empty line is never a marker):
//   title          one line, taken whole
//   introduction   content lines up to a line beginning with "."
//   level table    0..4 pairs (verdict line, minimum-score line), ended by a
//                  line beginning with "." where a verdict line is expected
//   questions      question text up to a line beginning with "."; then 1..4
//                  answers, each ended by a marker line whose first character
//                  is "," (another answer follows) or "." (last answer) and
//                  whose second character is the points, 0 or 1.
// Lines end at CR LF, a lone LF or a lone CR; a missing final line end counts
// as one. Empty or blank-only lines after the last question are ignored.
//
// Operations are called in this order: readTitle, readIntroduction,
// readLevelTable, then readQuestion any number of times with atEnd between.
// Every fault throws QuizError with the file name, the 1-based line number and
// the offending line.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "quiz/encoding.h"

namespace quiz {

struct LevelRow {
    std::string text;         // the verdict
    std::int16_t minScore{};  // the least score that earns it
};

struct Answer {
    std::string text;       // content lines, each followed by one blank
    std::int16_t points{};  // 0 or 1
};

struct Question {
    std::string text;             // content lines, each followed by one blank
    std::vector<Answer> answers;  // 1..4 answers, in file order
};

class QuizReader {
public:
    // Reads from `in`, which the caller keeps open and alive. `fileName` names
    // the file in error messages. Text is decoded from `encoding` to UTF-8.
    QuizReader(std::istream& in, std::string fileName,
               Encoding encoding = Encoding::Windows1251);

    std::string readTitle();
    // Content lines, each followed by CR LF; the empty text for none.
    std::string readIntroduction();
    // The rows the file gives, 0..4, in file order.
    std::vector<LevelRow> readLevelTable();
    Question readQuestion();
    // True when nothing but empty or blank-only lines is left.
    bool atEnd();

    // The line last read, decoded; and its 1-based number.
    const std::string& currentLine() const noexcept { return currentLine_; }
    int lineNumber() const noexcept { return lineNumber_; }
    const std::string& fileName() const noexcept { return fileName_; }

private:
    std::istream& in_;
    std::string fileName_;
    Encoding encoding_;
    std::string currentLine_;
    int lineNumber_ = 0;
};

}  // namespace quiz
