// EditModel: a quiz being edited, with undo and redo. Plain C++: the window
// shows it and turns the author's actions into its edits.
//
// The model holds a quiz::QuizDocument and changes only what an edit names,
// so that an unchanged quiz, and a quiz whose edits were all undone, writes
// back to the bytes it was read from. Every edit is one step of undo, except
// that typing on in the same field extends the step it began (so Ctrl+Z takes
// back a word typed as a whole, not a letter at a time).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/verdict.h"
#include "quiz/document.h"
#include "quiz/format.h"
#include "quiz/writer.h"

namespace quizedit {

// A text of the quiz that the author edits as one field.
struct Field {
    enum class Kind : std::uint8_t { Title, Introduction, Verdict, Minimum, QuestionText, Answer };
    Kind kind = Kind::Title;
    int question = -1;  // 0-based, for QuestionText and Answer
    int item = -1;      // 0-based row of the verdict table, or answer of the question
    bool operator==(const Field&) const = default;
};

// How many answers a question may have, and verdict rows a table.
inline constexpr int kMaxAnswers = static_cast<int>(quiz::kMaxAnswers);
using game::kVerdictRows;

// The text of lines as a field shows it: lines joined with "\n"; no lines is
// the empty text.
std::string joinLines(const std::vector<quiz::DocLine>& lines);

// The lines of a field's text, split at "\n" (and any CR LF or CR): the empty
// text gives no line. A line equal to the one at its place in `old` is that
// line, so its bytes and line end are kept; a changed line keeps the line end
// of the one it replaces.
std::vector<quiz::DocLine> splitLines(std::string_view text,
                                      const std::vector<quiz::DocLine>& old = {});

// The row (1 to 4) of the verdict table that the results screen shows, which
// it does only after every question was answered right; 0 when it never
// appears (fifteen questions or more).
int resultsRow(const quiz::QuizDocument& document);

// A new quiz: a title, the default introduction and verdict table, and one
// empty question; Windows-1251 with CR LF.
quiz::QuizDocument newQuiz();

// An empty question: no text, four empty answers, the first of them right.
quiz::DocQuestion emptyQuestion();

class EditModel {
public:
    // At most this many steps are kept for undo, and no more than the copies
    // of the quiz as it opened that fit in kHistoryBytes (but 10 at least);
    // the oldest go first.
    static constexpr std::size_t kMaxSteps = 1000;
    static constexpr std::size_t kHistoryBytes = std::size_t{256} << 20;
    static constexpr std::size_t kMinSteps = 10;

    explicit EditModel(quiz::QuizDocument document = newQuiz());

    const quiz::QuizDocument& document() const { return versions_[current_].document; }

    // The text of a field. A verdict row the table lacks is empty.
    std::string text(const Field& field) const;
    // The minimum of verdict row `row` (0 for a row the table lacks).
    std::int16_t minimum(int row) const;

    // Edits. Each is one step of undo; setText of the field last set extends
    // that step. An edit that changes nothing is no step. Setting a verdict
    // row the table lacks adds the rows up to it (empty, minimum 0).
    void setText(const Field& field, std::string_view text);
    void setMinimum(int row, std::int16_t value);
    // Makes `answer` the question's one right answer.
    void setRight(int question, int answer);
    // Adds an empty wrong answer at the end, when there are fewer than four.
    void addAnswer(int question);
    // Removes an answer, when it is not the only one. When it was the right
    // one, the first answer left becomes right.
    void removeAnswer(int question, int answer);
    // Inserts emptyQuestion() at `at` (0 to the number of questions).
    void insertQuestion(int at);
    // Inserts a copy of `question` right after it.
    void duplicateQuestion(int question);
    // Removes a question, when it is not the only one.
    void removeQuestion(int question);
    // Moves question `from` to the place `to`, the others closing up.
    void moveQuestion(int from, int to);
    void setEncoding(quiz::Encoding encoding);
    // Ends the step that typing extends: the next setText is a step of its own.
    void closeStep() { merging_ = false; }

    bool canUndo() const { return current_ > 0; }
    bool canRedo() const { return current_ + 1 < versions_.size(); }
    // Take back or do again one step; give the field it changed, to show it.
    Field undo();
    Field redo();

    // True while the quiz differs from the version last saved (or read).
    bool modified() const { return !saved_ || *saved_ != current_; }
    // The current version is the one saved.
    void markSaved() { saved_ = current_; }
    // Forgets the saved version: the quiz counts as changed until saved
    // (a quiz imported or restored from a recovery copy).
    void markUnsaved() { saved_.reset(); }

    // The bytes to save, in the document's encoding.
    quiz::Written written() const { return quiz::writeDocument(document()); }

private:
    struct Version {
        quiz::QuizDocument document;
        Field field;  // the field that the step leading here changed
    };
    // A copy of the current document for an edit of `field`; commit() makes
    // it the next version.
    quiz::QuizDocument start() const { return document(); }
    void commit(quiz::QuizDocument document, const Field& field, bool merge = false);
    bool validQuestion(int question) const;

    std::vector<Version> versions_;
    std::size_t maxSteps_ = kMaxSteps;
    std::size_t current_ = 0;
    std::optional<std::size_t> saved_;
    bool merging_ = false;
};

}  // namespace quizedit
