#include "quizcheck/quiz_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/verdict.h"
#include "quiz/encoding.h"
#include "quiz/format.h"
#include "quiz/input_file.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_reader.h"
#include "quiz/words.h"
#include "quizcheck/messages.h"

namespace quizcheck {

namespace {

using quiz::LinePart;
namespace words = quiz::words;

constexpr int kLadderSteps = window::kLadderSteps;
constexpr std::array<std::string_view, 4> kOptionControls = {"Option1", "Option2", "Option3",
                                                             "Option4"};

bool isBlankText(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

struct NumberedLine {
    int number = 0;
    std::string text;
};

NumberedLine numbered(const quiz::ReadLine& line) { return {line.number, std::string(line.text)}; }

// A line that a warning points at, and the warning.
struct Warning {
    NumberedLine line;
    std::string message;
};

// The level table as the file gives it, with the lines of its rows.
struct LevelTable {
    std::vector<quiz::LevelRow> rows;
    std::vector<NumberedLine> verdictLines;
    std::vector<NumberedLine> minimumLines;
    std::vector<bool> neverShown;  // by the order of the minimums alone
    NumberedLine end;              // the line that ends the table
};

// The lines of the question being read that its warnings point at.
struct QuestionLines {
    NumberedLine first;  // the block's first line
    std::vector<NumberedLine> markers;
    std::array<std::optional<NumberedLine>, 4> answerFirst;
};

class QuizCheck final : public quiz::ReadObserver {
public:
    QuizCheck(const std::string& name, quiz::Encoding encoding, std::istream& in, Report& report,
              const CheckOptions& options)
        : name_(name),
          encoding_(encoding),
          reader_(in, name, encoding, quiz::LineSource::kDefaultBufferSize, this),
          report_(report),
          options_(options) {}

    // The number of questions; throws QuizError at the reader's first error
    // within the questions that play reaches.
    int run() {
        checkTitle();
        checkIntroduction();
        checkLevelTable();
        for (int count = 0;; ++count) {
            try {
                checkQuestion(count + 1);
            } catch (const quiz::QuizError& e) {
                if (count < kLadderSteps) throw;
                warnBeyondReach(e);
                return count;
            }
            const bool end = reader_.atEnd();
            if (end || count + 1 == kLadderSteps) {
                settle(count + 1);
            } else if (settled_) {
                flush();
            }
            if (end) return count + 1;
        }
    }

    // Gives the warnings that wait for the number of questions, `questions`
    // (at least 15 means 15 or more; none when an error ended the reading),
    // and reports all warnings held so far.
    void settle(std::optional<int> questions) {
        if (!settled_ && table_) noteLevelTable(questions);
        settled_ = true;
        flush();
    }

    void lineRead(const quiz::ReadLine& line) override {
        switch (line.part) {
            case LinePart::Title:
                title_ = checkText(line);
                break;
            case LinePart::Introduction: {
                NumberedLine text = checkText(line);
                if (!introductionFirst_) introductionFirst_ = std::move(text);
                break;
            }
            case LinePart::Verdict:
                levelLines_.verdictLines.push_back(checkText(line));
                break;
            case LinePart::MinimumScore:
                levelLines_.minimumLines.push_back(numbered(line));
                break;
            case LinePart::QuestionText:
                noteQuestionLine(checkText(line));
                break;
            case LinePart::QuestionTextEnd:
                noteQuestionLine(numbered(line));
                break;
            case LinePart::AnswerText:
                noteAnswerLine(line);
                break;
            case LinePart::AnswerMarker:
                question_.markers.push_back(numbered(line));
                break;
            case LinePart::IntroductionEnd:
            case LinePart::LevelTableEnd:
            case LinePart::Trailing:
                break;
        }
    }

private:
    // Warnings are held until the number of questions is known (up to
    // fifteen questions are read), since those about the level table depend
    // on it, and after that until the end of each question; each batch is
    // reported in the order of its lines.
    void warn(const NumberedLine& line, const std::string& message) {
        held_.push_back({line, message});
    }

    void flush() {
        std::stable_sort(held_.begin(), held_.end(), [](const Warning& a, const Warning& b) {
            return a.line.number < b.line.number;
        });
        for (const Warning& w : held_) {
            report_.warning(name_, w.line.number, w.line.text, w.message);
        }
        held_.clear();
    }

    NumberedLine lastLine() const { return {reader_.lineNumber(), reader_.currentLine()}; }

    // A line whose text the window shows; warns of what the window cannot
    // show as written.
    NumberedLine checkText(const quiz::ReadLine& read) {
        NumberedLine line = numbered(read);
        if (quiz::hasControlCharacter(line.text)) warn(line, say::kControlCharacters);
        // A line that reads as UTF-8 by itself, as the game would tell a whole file.
        if (encoding_ == quiz::Encoding::Windows1251 &&
            quiz::detectEncoding(read.bytes) == quiz::Encoding::Utf8) {
            warn(line, say::kMixedEncoding + quotedLine(read.bytes) + "»");
        }
        return line;
    }

    void noteQuestionLine(NumberedLine line) {
        if (question_.first.number == 0) question_.first = std::move(line);
    }

    void noteAnswerLine(const quiz::ReadLine& read) {
        NumberedLine line = checkText(read);
        const int number = read.question + 1;
        const auto j = static_cast<std::size_t>(read.item);
        if (quiz::looksLikeAnswerMarker(read.text)) {
            warn(line, words::answer(number, read.item + 1) + ": " + say::kProbableMarker);
        }
        if (j < question_.answerFirst.size() && !question_.answerFirst[j]) {
            question_.answerFirst[j] = std::move(line);
        }
    }

    // `what` of the part `part` measured as the window sets it in `control`.
    void measure(std::string_view control, const std::string& text, const NumberedLine& line,
                 const std::string& part, std::string_view what) {
        if (!options_.measure || text.empty()) return;
        const TextFit fit = options_.measure(control, text);
        if (fit == TextFit::AsDesigned) return;
        warn(line, part + ": " + std::string(what) + say::kDoesNotFit +
                       (fit == TextFit::Shrunk ? say::kShrunk : say::kElided));
    }

    void warnBeyondReach(const quiz::QuizError& e) {
        settle(kLadderSteps);
        report_.warning(
            name_, e.line(),
            e.hasLineText() ? std::optional<std::string_view>(e.lineText()) : std::nullopt,
            say::kBeyondReach + e.expected());
    }

    void checkTitle() {
        const std::string title = reader_.readTitle();
        if (isBlankText(title)) warn(title_, say::kEmptyTitle);
    }

    void checkIntroduction() {
        const std::string introduction = reader_.readIntroduction();
        if (isBlankText(introduction)) {
            warn(lastLine(), say::kEmptyIntroduction);
        } else {
            measure("Label2.intro", introduction, *introductionFirst_,
                    std::string(words::kIntroduction), "текст");
        }
    }

    void checkLevelTable();
    void noteLevelTable(std::optional<int> questions);
    void noteResultsScreen(int score);
    void checkQuestion(int number);
    void checkAnswers(int number, const quiz::Question& question);

    const std::string& name_;
    quiz::Encoding encoding_;
    quiz::QuizReader reader_;
    Report& report_;
    const CheckOptions& options_;
    NumberedLine title_;
    std::optional<NumberedLine> introductionFirst_;
    LevelTable levelLines_;
    QuestionLines question_;
    quiz::Question read_;  // the question being checked, read into again for each
    std::optional<LevelTable> table_;
    std::vector<Warning> held_;
    bool settled_ = false;
};

void QuizCheck::checkLevelTable() {
    std::vector<quiz::LevelRow> rows0 = reader_.readLevelTable();
    LevelTable table = std::move(levelLines_);
    table.rows = std::move(rows0);
    const std::vector<quiz::LevelRow>& rows = table.rows;
    table.end = lastLine();
    table.neverShown.assign(rows.size(), false);
    // A row is chosen only for a score below every minimum above it.
    std::size_t lowest = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].minScore < rows[lowest].minScore) {
            lowest = i;
            continue;
        }
        table.neverShown[i] = true;
        const bool chosenByMinimum = i < static_cast<std::size_t>(game::kRowsChosenByMinimum);
        warn(table.minimumLines[i],
             "наименьшее число баллов " + std::to_string(rows[i].minScore) +
                 " не меньше, чем у оценки выше (" + std::to_string(rows[lowest].minScore) +
                 ", строка " + std::to_string(table.minimumLines[lowest].number) +
                 "): " + (chosenByMinimum ? say::kLevelNeverShown : say::kLastLevelAnyway));
    }
    table_ = std::move(table);
}

// The warnings about the level table that depend on the number of questions:
// the results screen appears only after every question is answered right, and
// never with fifteen or more.
void QuizCheck::noteLevelTable(std::optional<int> questions) {
    const LevelTable& table = *table_;
    if (questions && *questions >= kLadderSteps) {
        if (!table.verdictLines.empty()) warn(table.verdictLines.front(), say::kNoResults);
        return;
    }
    if (table.rows.size() < static_cast<std::size_t>(game::kVerdictRows)) {
        warn(table.end,
             "оценок в таблице " + std::to_string(table.rows.size()) + say::kLevelRowsMissing);
    }
    if (questions) noteResultsScreen(*questions);
}

void QuizCheck::noteResultsScreen(int score) {
    const LevelTable& table = *table_;
    const std::vector<quiz::LevelRow>& rows = table.rows;
    const auto minimum = [&](int i) {
        return static_cast<std::size_t>(i) <= rows.size()
                   ? rows[static_cast<std::size_t>(i - 1)].minScore
                   : 0;
    };
    for (int i = 1; i <= game::kRowsChosenByMinimum && static_cast<std::size_t>(i) <= rows.size();
         ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        if (table.neverShown[at] || minimum(i) <= score) continue;
        warn(table.minimumLines[at], "наименьшее число баллов " + std::to_string(minimum(i)) +
                                         say::kUnreachable + std::to_string(score));
    }
    const int row = game::verdictRow(score, minimum);
    const auto at = static_cast<std::size_t>(row - 1);
    std::string note = say::kResultsOnlyAfterAll + std::to_string(score) + "), и оценка на нём ";
    const std::string results(words::kResults);
    if (at < rows.size()) {
        note += "всегда эта, " + std::to_string(row) + "-я в таблице";
        if (rows.size() > 1) note += ": других оценок игрок не увидит";
        warn(table.verdictLines[at], note);
        measure("Label2.intro", game::resultsText(score, rows[at].text), table.verdictLines[at],
                results, "текст");
    } else {
        warn(table.end, note + "будет пустой: " + std::to_string(row) + "-й оценки в таблице нет");
        measure("Label2.intro", game::resultsText(score, ""), table.end, results, "текст");
    }
}

void QuizCheck::checkQuestion(int number) {
    question_ = {};
    reader_.readQuestion(read_);
    const quiz::Question& question = read_;
    const std::string prefix = words::question(number) + ": ";
    const NumberedLine& first = question_.first;
    if (number == kLadderSteps + 1) warn(first, prefix + say::kBeyondLadder);
    if (isBlankText(question.text)) warn(first, prefix + say::kEmptyQuestion);
    measure("Label2", question.text, first, words::question(number), words::kQuestionText);
    int right = 0;
    for (const quiz::Answer& answer : question.answers) right += answer.points == 1 ? 1 : 0;
    if (right == 0) warn(first, prefix + say::kNoRightAnswer);
    if (right > 1) warn(first, prefix + std::to_string(right) + say::kManyRightAnswers);
    checkAnswers(number, question);
}

void QuizCheck::checkAnswers(int number, const quiz::Question& question) {
    const bool rightShown =
        std::any_of(question.answers.begin(), question.answers.end(),
                    [](const quiz::Answer& a) { return a.points == 1 && !a.text.empty(); });
    for (std::size_t j = 0; j < question.answers.size(); ++j) {
        const quiz::Answer& answer = question.answers[j];
        const NumberedLine& marker = question_.markers.at(j);
        const std::string answerName = words::answer(number, static_cast<int>(j) + 1);
        const std::string prefix = answerName + ": ";
        if (answer.text.empty() && answer.points == 1) {
            warn(marker,
                 prefix + say::kRightAnswerEmpty + (rightShown ? "" : say::kCannotBeAnswered));
        } else if (answer.text.empty()) {
            warn(marker, prefix + say::kEmptyAnswer);
        } else if (isBlankText(answer.text)) {
            warn(marker, prefix + say::kBlankAnswer);
        }
        if (!answer.text.empty() && question_.answerFirst[j]) {
            measure(kOptionControls[j], answer.text, *question_.answerFirst[j], answerName,
                    "текст ответа");
        }
    }
}

void reportError(const std::string& name, Report& report, const std::string& message) {
    report.error(name, 0, std::nullopt, message);
}

}  // namespace

bool checkQuiz(const std::string& name, std::istream& in, Report& report,
               const CheckOptions& options) {
    quiz::Encoding encoding{};
    try {
        encoding = quiz::detectEncoding(in);
    } catch (const std::exception&) {
        reportError(name, report, say::kCannotOpen);
        report.summary(name, kUnplayable);
        return false;
    }
    const std::string encodingPart =
        "кодировка " + std::string(quiz::encodingName(encoding)) + ", ";
    QuizCheck check(name, encoding, in, report, options);
    try {
        const int questions = check.run();
        report.summary(name,
                       encodingPart + "вопросов: " + std::to_string(questions) + ", " +
                           (questions < kLadderSteps ? say::kEndsOnResults : say::kEndsOnLadder));
        return true;
    } catch (const quiz::QuizError& e) {
        check.settle(std::nullopt);
        report.error(e.file(), e.line(),
                     e.hasLineText() ? std::optional<std::string_view>(e.lineText()) : std::nullopt,
                     e.expected());
    } catch (const std::exception& e) {
        // Out of memory, most likely: the check ends with a report line all the same.
        check.settle(std::nullopt);
        reportError(name, report, say::kCannotCheck + std::string(e.what()));
    }
    report.summary(name, encodingPart + std::string(kUnplayable));
    return false;
}

bool checkQuizFile(const std::filesystem::path& path, const std::string& name, Report& report,
                   std::string_view missingNote, const CheckOptions& options) {
    const quiz::InputFile file = quiz::openInputFile(path);
    std::string problem;
    switch (file.problem) {
        case quiz::OpenProblem::None:
            break;
        case quiz::OpenProblem::Missing:
            problem = say::kMissing + std::string(missingNote);
            break;
        case quiz::OpenProblem::Folder:
            problem = say::kFolder;
            break;
        // A pipe or a device may never end.
        case quiz::OpenProblem::NotAFile:
            problem = say::kNotAFile;
            break;
        case quiz::OpenProblem::CannotOpen:
            problem = say::kCannotOpen;
            break;
    }
    if (!problem.empty()) {
        reportError(name, report, problem);
        report.summary(name, kUnplayable);
        return false;
    }
    const bool clean = checkQuiz(name, *file.stream, report, options);
    if (file.buffer->readError() == 0) return clean;
    reportError(name, report,
                say::kCannotRead + std::string(std::strerror(file.buffer->readError())));
    return false;
}

}  // namespace quizcheck
