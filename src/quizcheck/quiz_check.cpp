#include "quizcheck/quiz_check.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "game/game.h"
#include "quiz/line_source.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_reader.h"

namespace fs = std::filesystem;

namespace quizcheck {

namespace {

constexpr int kLadderSteps = 15;
constexpr std::array<std::string_view, 4> kOptionNames = {"Option1", "Option2", "Option3",
                                                          "Option4"};
constexpr std::size_t kLevelRows = 4;
// The first three rows of the level table are chosen by their minimum; the
// fourth takes every score that none of them took.
constexpr std::size_t kRowsChosenByMinimum = 3;

namespace say {
constexpr const char* kEmptyTitle = "заголовок пустой: у окна не будет названия викторины";
constexpr const char* kEmptyIntroduction =
    "вступление пустое: перед первым вопросом игрок увидит пустое поле";
constexpr const char* kLevelRowsMissing =
    " из четырёх: у недостающих пустой текст и наименьшее число баллов 0";
constexpr const char* kLevelNeverShown = "эту оценку игрок не увидит никогда";
constexpr const char* kLastLevelAnyway =
    "последняя оценка и так достаётся всем, кто не набрал на три верхние";
constexpr const char* kBeyondLadder =
    "вопросы после пятнадцатого игра не задаёт: она заканчивается на пятнадцатой ступени";
constexpr const char* kEmptyQuestion = "текста вопроса нет";
constexpr const char* kNoRightAnswer =
    "нет правильного ответа (с цифрой 1): на этом вопросе игра закончится при любом ответе";
constexpr const char* kManyRightAnswers =
    " правильных ответа (с цифрой 1): засчитан будет любой из них";
constexpr const char* kEmptyAnswer = "у ответа нет текста: этот вариант не будет показан";
constexpr const char* kBlankAnswer = "текст ответа из одних пробелов: вариант будет показан пустым";
constexpr const char* kRightAnswerEmpty =
    "у правильного ответа нет текста: этот вариант не будет показан";
constexpr const char* kCannotBeAnswered = ", и ответить на вопрос верно нельзя";
constexpr const char* kUnreachable =
    " недостижимо: баллы здесь — это число верных ответов, а вопросов в файле ";
constexpr const char* kNoResults =
    "вопросов 15 или больше: игра заканчивается на пятнадцатой ступени, экран результатов не "
    "появится, и оценок из таблицы игрок не увидит";
constexpr const char* kResultsOnlyAfterAll =
    "экран результатов появится только после верных ответов на все вопросы (";
constexpr const char* kControlCharacters =
    "в тексте управляющие символы (ниже они показаны значками): в окне их не видно или они "
    "портят текст";
constexpr const char* kMixedEncoding =
    "строка записана в UTF-8, а файл в Windows-1251: окно покажет её так, как ниже, а не «";
constexpr const char* kShrunk = " и будет показан мельче";
constexpr const char* kElided =
    " даже мельче и будет обрезан многоточием, целиком он будет только во всплывающей подсказке";
constexpr const char* kCannotOpen = "не удалось открыть файл для чтения";
constexpr const char* kMissing = "файл не найден";
constexpr const char* kFolder = "это папка, а не файл";
constexpr const char* kNotAFile = "это не обычный файл (канал или устройство)";
constexpr const char* kEndsOnResults = "игра закончится экраном результатов";
constexpr const char* kEndsOnLadder = "игра закончится на пятнадцатой ступени";
}  // namespace say

bool isBlankText(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool startsWith(std::string_view line, char c) { return !line.empty() && line.front() == c; }
bool isMarker(std::string_view line) { return startsWith(line, '.') || startsWith(line, ','); }

struct NumberedLine {
    int number = 0;
    std::string text;
};

// Takes the lines of a second stream over the same bytes in step with the
// reader. The reader hands a question back whole; this finds the lines inside
// it (the first line, the marker line of each answer) that a warning points at.
class LineFollower {
public:
    LineFollower(std::istream& in, quiz::Encoding encoding) : source_(in), encoding_(encoding) {}

    // Takes the lines after the last one taken, up to and including line
    // `last`, handing each one's number and bytes to `visit`.
    template <typename Visit>
    void takeTo(int last, Visit visit) {
        std::string_view line;
        while (number_ < last && source_.next(line)) visit(++number_, line);
    }

    NumberedLine decoded(int number, std::string_view bytes) const {
        NumberedLine line{number, {}};
        quiz::appendDecoded(bytes, encoding_, line.text);
        return line;
    }

private:
    quiz::LineSource source_;
    quiz::Encoding encoding_;
    int number_ = 0;
};

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

// True for bytes that are well-formed UTF-8 with a character beyond ASCII.
bool readsAsUtf8(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
        return false;
    }
    std::string checked;
    quiz::appendUtf8Checked(bytes, checked);
    return checked == bytes;
}

class QuizCheck {
public:
    QuizCheck(const std::string& name, quiz::Encoding encoding, std::istream& in,
              std::istream& again, Report& report, const CheckOptions& options)
        : name_(name),
          encoding_(encoding),
          reader_(in, name, encoding),
          lines_(again, encoding),
          report_(report),
          options_(options) {}

    // The number of questions; throws QuizError at the reader's first error.
    int run() {
        checkTitle();
        checkIntroduction();
        checkLevelTable();
        int count = 0;
        bool end = false;
        do {
            checkQuestion(++count);
            end = reader_.atEnd();
            if (end || count == kLadderSteps) {
                settle(count);
            } else if (settled_) {
                flush();
            }
        } while (!end);
        return count;
    }

    // Gives the warnings that wait for the number of questions, `questions`
    // (at least 15 means 15 or more; none when an error ended the reading),
    // and reports all warnings held so far.
    void settle(std::optional<int> questions) {
        if (!settled_ && table_) noteLevelTable(questions);
        settled_ = true;
        flush();
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
    NumberedLine checkText(int number, std::string_view bytes) {
        NumberedLine line = lines_.decoded(number, bytes);
        if (hasControlCharacter(line.text)) warn(line, say::kControlCharacters);
        if (encoding_ == quiz::Encoding::Windows1251 && readsAsUtf8(bytes)) {
            warn(line, say::kMixedEncoding + quotedLine(bytes) + "»");
        }
        return line;
    }

    void measure(std::string_view control, const std::string& text, const NumberedLine& line,
                 const std::string& what) {
        if (!options_.measure || text.empty()) return;
        const TextFit fit = options_.measure(control, text);
        if (fit == TextFit::AsDesigned) return;
        warn(line, what + ": текст не помещается в " + std::string(control.substr(0, control.find('.'))) +
                       (fit == TextFit::Shrunk ? say::kShrunk : say::kElided));
    }

    void checkTitle() {
        const std::string title = reader_.readTitle();
        lines_.takeTo(reader_.lineNumber(),
                      [&](int n, std::string_view bytes) { checkText(n, bytes); });
        if (isBlankText(title)) warn(lastLine(), say::kEmptyTitle);
    }

    void checkIntroduction() {
        const std::string introduction = reader_.readIntroduction();
        const int end = reader_.lineNumber();
        std::optional<NumberedLine> first;
        lines_.takeTo(end, [&](int n, std::string_view bytes) {
            if (n == end) return;
            const NumberedLine line = checkText(n, bytes);
            if (!first) first = line;
        });
        if (isBlankText(introduction)) {
            warn(lastLine(), say::kEmptyIntroduction);
        } else {
            measure("Label2.intro", introduction, *first, "вступление");
        }
    }

    void checkLevelTable() {
        const int before = reader_.lineNumber();
        LevelTable table;
        table.rows = reader_.readLevelTable();
        const std::vector<quiz::LevelRow>& rows = table.rows;
        // Rows are pairs of lines, so row i's verdict is line before + 2i + 1
        // and its minimum the line after.
        lines_.takeTo(reader_.lineNumber(), [&](int number, std::string_view bytes) {
            const int offset = number - before;
            if (offset % 2 == 1 && table.verdictLines.size() < rows.size()) {
                table.verdictLines.push_back(checkText(number, bytes));
            } else if (offset % 2 == 0 && table.minimumLines.size() < rows.size()) {
                table.minimumLines.push_back(lines_.decoded(number, bytes));
            }
        });
        table.end = lastLine();
        table.neverShown.assign(rows.size(), false);
        // A row is chosen only for a score below every minimum above it.
        std::size_t lowest = 0;
        for (std::size_t i = 1; i < rows.size() && i < table.minimumLines.size(); ++i) {
            if (rows[i].minScore < rows[lowest].minScore) {
                lowest = i;
                continue;
            }
            table.neverShown[i] = true;
            warn(table.minimumLines[i],
                 "наименьшее число баллов " + std::to_string(rows[i].minScore) +
                     " не меньше, чем у оценки выше (" + std::to_string(rows[lowest].minScore) +
                     ", строка " + std::to_string(table.minimumLines[lowest].number) + "): " +
                     (i < kRowsChosenByMinimum ? say::kLevelNeverShown : say::kLastLevelAnyway));
        }
        table_ = std::move(table);
    }

    // The warnings about the level table that depend on the number of
    // questions: the results screen appears only after every question is
    // answered right, and never with fifteen or more.
    void noteLevelTable(std::optional<int> questions) {
        const LevelTable& table = *table_;
        const std::vector<quiz::LevelRow>& rows = table.rows;
        if (questions && *questions >= kLadderSteps) {
            if (!table.verdictLines.empty()) warn(table.verdictLines.front(), say::kNoResults);
            return;
        }
        if (rows.size() < kLevelRows) {
            warn(table.end,
                 "оценок в таблице " + std::to_string(rows.size()) + say::kLevelRowsMissing);
        }
        if (!questions) return;
        const int score = *questions;
        for (std::size_t i = 0; i < rows.size() && i < kRowsChosenByMinimum; ++i) {
            if (table.neverShown[i] || rows[i].minScore <= score) continue;
            warn(table.minimumLines[i], "наименьшее число баллов " +
                                            std::to_string(rows[i].minScore) +
                                            say::kUnreachable + std::to_string(score));
        }
        std::size_t row = kRowsChosenByMinimum;
        for (std::size_t i = 0; i < kRowsChosenByMinimum; ++i) {
            if (score >= (i < rows.size() ? rows[i].minScore : 0)) {
                row = i;
                break;
            }
        }
        std::string note =
            say::kResultsOnlyAfterAll + std::to_string(score) + "), и оценка на нём ";
        const std::string number = std::to_string(row + 1);
        if (row < rows.size()) {
            note += "всегда эта, " + number + "-я в таблице";
            if (rows.size() > 1) note += ": других оценок игрок не увидит";
            warn(table.verdictLines[row], note);
            measure("Label2.intro", game::resultsText(score, rows[row].text), table.verdictLines[row],
                    "экран результатов");
        } else {
            warn(table.end, note + "будет пустой: " + number + "-й оценки в таблице нет");
            measure("Label2.intro", game::resultsText(score, ""), table.end, "экран результатов");
        }
    }

    void checkQuestion(int number) {
        const int first = reader_.lineNumber() + 1;
        const quiz::Question question = reader_.readQuestion();
        NumberedLine firstLine = lastLine();
        std::vector<NumberedLine> markers;
        std::array<std::optional<NumberedLine>, kOptionNames.size()> answerFirstLines;
        bool inText = true;
        lines_.takeTo(reader_.lineNumber(), [&](int n, std::string_view bytes) {
            if (n == first) firstLine = lines_.decoded(n, bytes);
            if (inText) {
                inText = !startsWith(bytes, '.');
                if (inText) checkText(n, bytes);
            } else if (isMarker(bytes)) {
                markers.push_back(lines_.decoded(n, bytes));
            } else {
                const NumberedLine line = checkText(n, bytes);
                if (markers.size() < answerFirstLines.size() && !answerFirstLines[markers.size()]) {
                    answerFirstLines[markers.size()] = line;
                }
            }
        });

        const std::string questionName = "вопрос " + std::to_string(number);
        const std::string prefix = questionName + ": ";
        if (number == kLadderSteps + 1) warn(firstLine, prefix + say::kBeyondLadder);
        if (isBlankText(question.text)) warn(firstLine, prefix + say::kEmptyQuestion);
        measure("Label2", question.text, firstLine, questionName);
        int right = 0;
        bool rightShown = false;
        for (const quiz::Answer& answer : question.answers) {
            if (answer.points != 1) continue;
            ++right;
            rightShown = rightShown || !answer.text.empty();
        }
        if (right == 0) warn(firstLine, prefix + say::kNoRightAnswer);
        if (right > 1) warn(firstLine, prefix + std::to_string(right) + say::kManyRightAnswers);

        for (std::size_t j = 0; j < question.answers.size(); ++j) {
            const quiz::Answer& answer = question.answers[j];
            const NumberedLine marker = j < markers.size() ? markers[j] : lastLine();
            const std::string answerName = questionName + ", ответ " + std::to_string(j + 1);
            const std::string answerPrefix = answerName + ": ";
            if (answer.text.empty() && answer.points == 1) {
                warn(marker, answerPrefix + say::kRightAnswerEmpty +
                                 (rightShown ? "" : say::kCannotBeAnswered));
            } else if (answer.text.empty()) {
                warn(marker, answerPrefix + say::kEmptyAnswer);
            } else if (isBlankText(answer.text)) {
                warn(marker, answerPrefix + say::kBlankAnswer);
            }
            if (!answer.text.empty() && answerFirstLines[j]) {
                measure(kOptionNames[j], answer.text, *answerFirstLines[j], answerName);
            }
        }
    }

    const std::string& name_;
    quiz::Encoding encoding_;
    quiz::QuizReader reader_;
    LineFollower lines_;
    Report& report_;
    const CheckOptions& options_;
    std::optional<LevelTable> table_;
    std::vector<Warning> held_;
    bool settled_ = false;
};

}  // namespace

quiz::Encoding quizEncoding(std::istream& in) { return quiz::detectEncoding(in); }

bool checkQuiz(const std::string& name, const StreamOpener& open, Report& report,
               const CheckOptions& options) {
    std::unique_ptr<std::istream> probe = open();
    std::unique_ptr<std::istream> in = open();
    std::unique_ptr<std::istream> again = open();
    if (!probe || !in || !again) {
        report.error(name, 0, std::nullopt, say::kCannotOpen);
        report.summary(name, kUnplayable);
        return false;
    }
    quiz::Encoding encoding{};
    try {
        encoding = quizEncoding(*probe);
    } catch (const std::exception&) {
        // The file changed under us into something that cannot be read twice.
        report.error(name, 0, std::nullopt, say::kCannotOpen);
        report.summary(name, kUnplayable);
        return false;
    }
    const std::string encodingPart =
        "кодировка " + std::string(quiz::encodingName(encoding)) + ", ";
    int questions = 0;
    QuizCheck check(name, encoding, *in, *again, report, options);
    try {
        questions = check.run();
    } catch (const quiz::QuizError& e) {
        check.settle(std::nullopt);
        report.error(e.file(), e.line(),
                     e.hasLineText() ? std::optional<std::string_view>(e.lineText()) : std::nullopt,
                     e.expected());
        report.summary(name, encodingPart + std::string(kUnplayable));
        return false;
    }
    report.summary(name, encodingPart + "вопросов: " + std::to_string(questions) + ", " +
                             (questions < kLadderSteps ? say::kEndsOnResults : say::kEndsOnLadder));
    return true;
}

bool checkQuizFile(const fs::path& path, const std::string& name, Report& report,
                   std::string_view missingNote, const CheckOptions& options) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    // A pipe or a device cannot be read three times over, and may never end.
    const char* problem = !fs::exists(status)             ? say::kMissing
                          : fs::is_directory(status)      ? say::kFolder
                          : !fs::is_regular_file(status)  ? say::kNotAFile
                                                          : nullptr;
    if (problem != nullptr) {
        std::string message = problem;
        if (problem == say::kMissing) message += missingNote;
        report.error(name, 0, std::nullopt, message);
        report.summary(name, kUnplayable);
        return false;
    }
    const StreamOpener open = [path]() -> std::unique_ptr<std::istream> {
        auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (!file->is_open()) return nullptr;
        return file;
    };
    return checkQuiz(name, open, report, options);
}

}  // namespace quizcheck
