// QuizDocument: a whole quiz file as data, for programs that change quizzes
// or make them (the converters, the editor). Read from any file the game
// accepts, it holds everything the file holds, down to what the game ignores
// (the rest of a "." line, what follows an answer's points digit, blank
// lines at the end), its encoding, byte-order mark and line ends; written
// back unchanged (quiz/writer.h) it gives the same bytes.
//
// Texts are UTF-8 and hold no line break: each DocLine is one line of the
// file. A document is a plain value: copy it to keep a version (undo), change
// its fields freely; the writer checks what the game could not read.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quiz/encoding.h"
#include "quiz/line_source.h"
#include "quiz/quiz_reader.h"

namespace quiz {

struct DocLine {
    std::string text;  // UTF-8, without its line end
    // How the line ends in the file; none: the document's lineEnd. A line
    // that ends without one and is no longer the last is written with that.
    std::optional<LineEnd> end;
    // The bytes the line was read from, kept only where writing `text` in the
    // document's encoding would not give them back (a byte the encoding leaves
    // undefined, malformed UTF-8). Written instead of `text` while they still
    // read as `text`.
    std::optional<std::string> bytes;
    int sourceLine = 0;  // the line of the file it came from, 0 for a new one

    DocLine() = default;
    DocLine(std::string text, int sourceLine = 0) : text(std::move(text)), sourceLine(sourceLine) {}
    bool operator==(const DocLine&) const = default;
};

struct DocAnswer {
    std::vector<DocLine> lines;
    bool right = false;  // points 1; a wrong answer has 0
    // The answer's marker line: its text is what follows the points digit
    // (ignored by the game), usually empty. The "," or "." comes from the
    // answer's place, the digit from `right`.
    DocLine marker;
    bool operator==(const DocAnswer&) const = default;
};

struct DocQuestion {
    std::vector<DocLine> lines;      // the question's text
    DocLine textEnd;                 // the "." line after it: its text is what follows the "."
    std::vector<DocAnswer> answers;  // 1 to 4
    bool operator==(const DocQuestion&) const = default;
};

struct DocVerdict {
    DocLine verdict;
    // The minimum-score line as written (" 007 ", "2.5"): written as it is
    // while it still reads as minScore, else minScore in digits.
    DocLine minimum;
    std::int16_t minScore = 0;
    bool operator==(const DocVerdict&) const = default;
};

struct QuizDocument {
    Encoding encoding = Encoding::Windows1251;
    bool byteOrderMark = false;       // written before the title when UTF-8
    LineEnd lineEnd = LineEnd::CrLf;  // for lines without their own; never None
    DocLine title;
    std::vector<DocLine> introduction;
    DocLine introductionEnd;           // the "." line: its text is what follows the "."
    std::vector<DocVerdict> verdicts;  // 0 to 4 rows, highest minimum first
    // The "." line that ends the table; not written when the last minimum
    // line begins with "." (".5"), which ends the table itself.
    DocLine levelTableEnd;
    std::vector<DocQuestion> questions;
    std::vector<DocLine> trailing;  // blank lines after the last question
    bool operator==(const QuizDocument&) const = default;
};

// A place in a document: the part, the question and answer or row (0-based,
// -1 where the part has none) and the line within the part (0-based).
struct DocPlace {
    LinePart part = LinePart::Title;
    int question = -1;
    int item = -1;
    int line = 0;
};

// The place in the words an author knows: "заголовок", "вступление",
// "оценка 2", "вопрос 3, текст вопроса", "вопрос 3, ответ Б".
std::string describe(const DocPlace& place);

// Reads a quiz file the way the game does (the encoding told from its bytes,
// the title, the introduction, the level table, then questions to the end)
// into a document. Throws QuizError, as the game would stop, on a file it
// refuses. `in` must be able to seek back (for the encoding).
QuizDocument readDocument(std::istream& in, const std::string& fileName);
QuizDocument readDocument(std::string_view bytes, const std::string& fileName);

// The lines of a text that may hold line breaks (CR LF, LF or CR), each a
// new line; the empty text gives no line.
std::vector<DocLine> docLines(std::string_view text);

}  // namespace quiz
