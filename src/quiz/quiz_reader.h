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
// are ignored; elsewhere an empty line is content like any other. A line
// longer than kMaxLineBytes is refused. The rules shared with the writer and
// the checker are in quiz/format.h.
//
// Memory stays bounded whatever the file's size: the reader holds one
// question and a bounded buffer (a look ahead over blank lines seeks back on a
// seekable stream rather than keeping them).
//
// Operations are called in this order: readTitle, readIntroduction,
// readLevelTable, then readQuestion any number of times with atEnd between.
// Every fault throws QuizError with the file name, the 1-based line number and
// the offending line. When the file ends inside a question block that follows
// a whole question, the fault is text after the last question, reported at the
// block's first line that is not blank. Two slips are recognised by their
// shape and reported where they are: a last answer ended with "," (at that
// marker line) and an introduction not closed by its "." line (at the first
// of its lines that look like the level table).
//
// A ReadObserver, when given, hears of every line as it is read: what it is,
// where it ends, and what of it the reader ignores. Without one the reader
// does no more than it needs for its results.
#pragma once

#include <array>
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

// What a line of the file is to the reader.
enum class LinePart : std::uint8_t {
    Title,
    Introduction,     // a content line of the introduction
    IntroductionEnd,  // the line beginning with "." that ends it
    Verdict,          // the verdict line of a row of the level table
    MinimumScore,     // its minimum-score line; ends the table too when it begins with "."
    LevelTableEnd,    // the line beginning with "." that ends the table
    QuestionText,     // a content line of a question's text
    QuestionTextEnd,  // the line beginning with "." that ends it
    AnswerText,       // a content line of an answer
    AnswerMarker,     // the marker line that ends an answer
    Trailing,         // a blank line after the last question, ignored
};

struct ReadLine {
    int number = 0;  // 1-based
    LinePart part = LinePart::Title;
    int question = -1;       // 0-based, in the file: for question and answer lines
    int item = -1;           // 0-based row of the level table, or answer of the question
    std::string_view bytes;  // as in the file, without the line end (and the byte-order mark)
    std::string_view text;   // decoded to UTF-8
    LineEnd end = LineEnd::None;
    // bytes.substr(ignoredFrom) is what the reader ignores (the rest of an
    // ending "." line, what follows an answer's points digit, a whole
    // trailing line). Where it ignores something, what precedes it is ASCII,
    // so the same index splits `text`; where it ignores nothing, ignoredFrom
    // is bytes.size() and all of `text` is kept (in Windows-1251 that is no
    // index into `text`).
    std::size_t ignoredFrom = 0;
};

class ReadObserver {
public:
    // Called once for each line, in file order, once the reader has taken it
    // as the line it is; the views last only for the call. Not called for a
    // line the reader refuses.
    virtual void lineRead(const ReadLine& line) = 0;

protected:
    ~ReadObserver() = default;
};

class QuizReader {
public:
    // Reads from `in`, which the caller keeps open and alive; the reader reads
    // ahead through its buffer. `fileName` names the file in error messages.
    // Text is decoded from `encoding` (see detectEncoding) to UTF-8; with Utf8
    // a leading byte-order mark is skipped and malformed bytes become U+FFFD.
    // `bufferSize` only matters to tests of the buffer handling. `observer`,
    // when not null, must outlive the reader.
    QuizReader(std::istream& in, std::string fileName, Encoding encoding = Encoding::Windows1251,
               std::size_t bufferSize = LineSource::kDefaultBufferSize,
               ReadObserver* observer = nullptr);
    // The same from a ByteInput (an open file, see input_file.h).
    QuizReader(ByteInput& in, std::string fileName, Encoding encoding = Encoding::Windows1251,
               std::size_t bufferSize = LineSource::kDefaultBufferSize,
               ReadObserver* observer = nullptr);

    std::string readTitle();
    // Content lines, each followed by CR LF; the empty text for none.
    std::string readIntroduction();
    // The rows the file gives, 0..4, in file order.
    std::vector<LevelRow> readLevelTable();
    Question readQuestion();
    // The same into `question`, whose storage serves again: reading question
    // after question into one object allocates next to nothing once it has
    // held a long one. After a throw it holds part of the question.
    void readQuestion(Question& question);
    // True when nothing but empty or blank-only lines is left. With an
    // observer, a true answer also reads those lines and reports them.
    bool atEnd();

    // The line last read, decoded; and its 1-based number.
    const std::string& currentLine() const {
        settleMarker();
        return currentLine_;
    }
    int lineNumber() const noexcept { return lineNumber_; }
    const std::string& fileName() const noexcept { return fileName_; }
    // True when the file began with the UTF-8 byte-order mark (and was read as UTF-8).
    bool byteOrderMark() const noexcept { return byteOrderMark_; }

private:
    // Takes the next line's bytes into rawLine_; false at the end.
    bool readLine();
    // readLine for the first line, a line too long or one past the last number.
    bool readUnusualLine();
    // Takes the next line, or throws: the file ended where `expected` was.
    void requireLine(const char* expected);
    [[noreturn]] void endedAt(const std::string& expected);
    [[noreturn]] void refuseLongLine();
    // Makes currentLine_ the line last read, content or marker, before a throw.
    void keepLastContent();
    // Decodes the line just taken into currentLine_.
    const std::string& takeLine();
    // Takes a question's marker line: as takeLine, but a short one waits in
    // marker_ until it is wanted.
    void takeMarker();
    // Decodes the marker waiting in marker_, if any, into currentLine_.
    void settleMarker() const;
    // What follows each content line in a text: a blank, or CR LF.
    enum class Separator : std::uint8_t { Blank, LineEnd };
    // Decodes the line just taken straight onto the end of `text`, reports it
    // as `part`, then appends `separator`.
    void appendContent(std::string& text, Separator separator, LinePart part, int item);
    void notify(LinePart part, int item, std::string_view text, std::size_t ignoredFrom);
    [[noreturn]] void fail(std::string expected);
    std::int16_t minScore(bool firstRow);

    // Keeps track of the introduction's last lines looking like a level table.
    void noteIntroductionLine();
    // Throws at those lines when they are there: the introduction was probably
    // not closed.
    void checkIntroductionClosed();

    // The parts of readQuestion.
    // The next line of a question block, or the error at its end: for the
    // question's text when `answer` is -1, else for that answer, whose text
    // so far is `answerText`.
    void takeInQuestion(int answer, const std::string& answerText);
    [[noreturn]] void endedInQuestion(int answer, const std::string& answerText);
    void readAnswer(std::vector<Answer>& answers);
    [[noreturn]] void lastAnswerEndedWithComma(bool atEndOfFile);
    bool answersFollow();
    std::string inQuestion(std::string_view message) const;
    std::string inAnswer(std::size_t answer, std::string_view message) const;

    std::string fileName_;
    Encoding encoding_;
    LineSource source_;
    ReadObserver* observer_;
    std::string_view rawLine_;  // the bytes of the line last read, until the next read
    // currentLine_ is the line last read once each operation has returned or
    // thrown, or marker_ holds it; while one runs, a content line lives only
    // in the text it joined.
    mutable std::string currentLine_;
    // A question's marker line of at most kShortLine bytes, read without an
    // observer: kept as its bytes, since most are never shown, and decoded
    // into currentLine_ when a message or currentLine() wants it.
    static constexpr std::size_t kShortLine = 16;
    struct ShortLine {
        std::array<char, kShortLine> bytes{};
        std::size_t size = 0;
        bool pending = false;  // it is the line last taken, not yet in currentLine_
    };
    mutable ShortLine marker_;
    std::string decoded(const ShortLine& line) const;
    struct {
        const std::string* text = nullptr;
        std::size_t begin = 0;
        std::size_t end = 0;
    } lastContent_;
    // The text of the question being read, in the caller's question.
    const std::string* questionText_ = nullptr;
    // Answers of earlier questions, kept for their storage.
    std::vector<Answer> spareAnswers_;
    int lineNumber_ = 0;
    int questionsRead_ = 0;
    int atEndCheckedAt_ = -1;  // lineNumber_ when atEnd last looked ahead
    bool atEnd_ = false;
    bool drained_ = false;  // the trailing lines were read for the observer
    bool byteOrderMark_ = false;

    // The run of (text line, number line) pairs that ends the introduction
    // so far, which is what a level table looks like.
    struct {
        int first = 0;  // line number of its first line, 0 for none
        int last = 0;
        std::string firstText;
        bool previousIsText = false;
        int introductionEnd = 0;  // the line that ended the introduction
    } tableShape_;
    // In a question block: its first line that is not blank, when a whole
    // question came before (then the block may be text after the last one).
    struct {
        int line = 0;
        std::size_t begin = 0;
        std::size_t end = 0;
        std::string marker;
    } stray_;
    struct {
        int line = 0;  // the last "," marker line of the question, 0 for none
        ShortLine bytes;  // its bytes, when they were kept so
        std::string text;  // else its text
        std::size_t answer = 0;  // the answer it ends
    } commaMarker_;
};

}  // namespace quiz
