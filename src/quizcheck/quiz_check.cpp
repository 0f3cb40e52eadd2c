#include "quizcheck/quiz_check.h"

#include <fstream>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "quiz/line_source.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_reader.h"

namespace fs = std::filesystem;

namespace quizcheck {

namespace {

constexpr int kLadderSteps = 15;
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

class QuizCheck {
public:
    QuizCheck(const std::string& name, quiz::Encoding encoding, std::istream& in,
              std::istream& again, Report& report)
        : name_(name), reader_(in, name, encoding), lines_(again, encoding), report_(report) {}

    // The number of questions; throws QuizError at the reader's first error.
    int run() {
        checkTitle();
        checkIntroduction();
        checkLevelTable();
        int count = 0;
        do {
            checkQuestion(++count);
        } while (!reader_.atEnd());
        return count;
    }

private:
    void warn(const NumberedLine& line, const std::string& message) {
        report_.warning(name_, line.number, line.text, message);
    }

    NumberedLine lastLine() const { return {reader_.lineNumber(), reader_.currentLine()}; }

    void skipLines() {
        lines_.takeTo(reader_.lineNumber(), [](int, std::string_view) {});
    }

    void checkTitle() {
        const std::string title = reader_.readTitle();
        skipLines();
        if (isBlankText(title)) warn(lastLine(), say::kEmptyTitle);
    }

    void checkIntroduction() {
        const std::string introduction = reader_.readIntroduction();
        skipLines();
        if (isBlankText(introduction)) warn(lastLine(), say::kEmptyIntroduction);
    }

    void checkLevelTable() {
        const int before = reader_.lineNumber();
        const std::vector<quiz::LevelRow> rows = reader_.readLevelTable();
        // Rows are pairs of lines, so row i's minimum is line before + 2i.
        std::vector<NumberedLine> minimumLines;
        lines_.takeTo(reader_.lineNumber(), [&](int number, std::string_view bytes) {
            const int offset = number - before;
            if (offset % 2 == 0 && minimumLines.size() < rows.size()) {
                minimumLines.push_back(lines_.decoded(number, bytes));
            }
        });
        // A row is chosen only for a score below every minimum above it.
        std::size_t lowest = 0;
        for (std::size_t i = 1; i < rows.size() && i < minimumLines.size(); ++i) {
            if (rows[i].minScore < rows[lowest].minScore) {
                lowest = i;
                continue;
            }
            warn(minimumLines[i],
                 "наименьшее число баллов " + std::to_string(rows[i].minScore) +
                     " не меньше, чем у оценки выше (" + std::to_string(rows[lowest].minScore) +
                     ", строка " + std::to_string(minimumLines[lowest].number) + "): " +
                     (i < kRowsChosenByMinimum ? say::kLevelNeverShown : say::kLastLevelAnyway));
        }
        if (rows.size() < kLevelRows) {
            warn(lastLine(),
                 "оценок в таблице " + std::to_string(rows.size()) + say::kLevelRowsMissing);
        }
    }

    void checkQuestion(int number) {
        const int first = reader_.lineNumber() + 1;
        const quiz::Question question = reader_.readQuestion();
        NumberedLine firstLine = lastLine();
        std::vector<NumberedLine> markers;
        bool inText = true;
        lines_.takeTo(reader_.lineNumber(), [&](int n, std::string_view bytes) {
            if (n == first) firstLine = lines_.decoded(n, bytes);
            if (inText) {
                inText = !startsWith(bytes, '.');
            } else if (isMarker(bytes)) {
                markers.push_back(lines_.decoded(n, bytes));
            }
        });

        const std::string prefix = "вопрос " + std::to_string(number) + ": ";
        if (number == kLadderSteps + 1) warn(firstLine, prefix + say::kBeyondLadder);
        if (isBlankText(question.text)) warn(firstLine, prefix + say::kEmptyQuestion);
        int right = 0;
        for (const quiz::Answer& answer : question.answers) right += answer.points == 1 ? 1 : 0;
        if (right == 0) warn(firstLine, prefix + say::kNoRightAnswer);
        if (right > 1) warn(firstLine, prefix + std::to_string(right) + say::kManyRightAnswers);

        for (std::size_t j = 0; j < question.answers.size(); ++j) {
            const std::string& text = question.answers[j].text;
            const NumberedLine marker = j < markers.size() ? markers[j] : lastLine();
            const std::string answerPrefix =
                "вопрос " + std::to_string(number) + ", ответ " + std::to_string(j + 1) + ": ";
            if (text.empty()) {
                warn(marker, answerPrefix + say::kEmptyAnswer);
            } else if (isBlankText(text)) {
                warn(marker, answerPrefix + say::kBlankAnswer);
            }
        }
    }

    const std::string& name_;
    quiz::QuizReader reader_;
    LineFollower lines_;
    Report& report_;
};

}  // namespace

quiz::Encoding quizEncoding(std::istream& in) { return quiz::detectEncoding(in); }

bool checkQuiz(const std::string& name, const StreamOpener& open, Report& report) {
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
    try {
        QuizCheck check(name, encoding, *in, *again, report);
        questions = check.run();
    } catch (const quiz::QuizError& e) {
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
                   std::string_view missingNote) {
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
    return checkQuiz(name, open, report);
}

}  // namespace quizcheck
