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
// as one. Empty or blank-only lines (spaces and tabs) after the last question
// are ignored; elsewhere an empty line is content like any other.
//
// A minimum score is a whole number from -32768 to 32767 with blanks around it
// allowed; a fraction (after "." or ",") is rounded to the nearest whole
// number, halves to even. Answer points are the digit 0 or 1.
//
// Memory stays bounded whatever the file's size: the reader holds one
// question and a fixed buffer (a look ahead over blank lines seeks back on a
// seekable stream rather than keeping them).
//
// Operations are called in this order: readTitle, readIntroduction,
// readLevelTable, then readQuestion any number of times with atEnd between.
// Every fault throws QuizError with the file name, the 1-based line number and
// the offending line. When the file ends inside a question block that follows
// a whole question, the fault is text after the last question, reported at the
// block's first line that is not blank.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "quiz/encoding.h"
#include "quiz/line_source.h"

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
    // Reads from `in`, which the caller keeps open and alive; the reader reads
    // ahead through its buffer. `fileName` names the file in error messages.
    // Text is decoded from `encoding` (see detectEncoding) to UTF-8; with Utf8
    // a leading byte-order mark is skipped and malformed bytes become U+FFFD. `bufferSize` only
    // matters to tests of the buffer handling.
    QuizReader(std::istream& in, std::string fileName, Encoding encoding = Encoding::Windows1251,
               std::size_t bufferSize = LineSource::kDefaultBufferSize);

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
    // A UTF-8 byte-order mark at the start of the file is not part of the title.
    void skipByteOrderMark(std::string_view& line, bool firstLine) const;
    // Takes the next line's bytes into rawLine_; false at the end.
    bool readLine();
    // Takes the next line, or throws: the file ended where `expected` was.
    void requireLine(const char* expected);
    [[noreturn]] void endedAt(const char* expected);
    // Makes currentLine_ the content line last read, before a throw.
    void keepLastContent();
    // Decodes the line just taken into currentLine_.
    const std::string& takeLine();
    // Decodes the line just taken straight onto the end of `text`, then
    // `separator`; currentLine_ is rebuilt from there only when needed.
    void appendContent(std::string& text, std::string_view separator);
    [[noreturn]] void fail(std::string expected) const;
    std::int16_t minScore() const;

    std::string fileName_;
    Encoding encoding_;
    LineSource source_;
    std::string_view rawLine_;  // the bytes of the line last read, until the next read
    // currentLine_ is the line last read once each operation has returned or
    // thrown; while one runs, a content line lives only in the text it joined.
    std::string currentLine_;
    struct {
        const std::string* text = nullptr;
        std::size_t begin = 0;
        std::size_t end = 0;
    } lastContent_;
    int lineNumber_ = 0;
    int questionsRead_ = 0;
    int atEndCheckedAt_ = -1;  // lineNumber_ when atEnd last looked ahead
    bool atEnd_ = false;
};

}  // namespace quiz
