#include "quizcheck/folder_check.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "quiz/counter.h"
#include "quiz/encoding.h"
#include "quiz/quiz_error.h"
#include "quizcheck/quiz_check.h"

namespace fs = std::filesystem;

namespace quizcheck {

namespace {

constexpr long kRotationTop = 3;

struct CounterLine {
    std::string bytes;  // without line end and byte-order mark
    std::string text;   // decoded, for quoting
};

// The counter's first line as the game's start-up reads it; none when the file
// cannot be read (the game's own selection then reports why).
std::optional<CounterLine> readCounterLine(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return std::nullopt;
    CounterLine line;
    std::getline(file, line.bytes);
    if (file.bad()) return std::nullopt;
    if (const auto cr = line.bytes.find('\r'); cr != std::string::npos) line.bytes.resize(cr);
    if (line.bytes.starts_with(quiz::kUtf8ByteOrderMark)) {
        line.bytes.erase(0, quiz::kUtf8ByteOrderMark.size());
        quiz::appendUtf8Checked(line.bytes, line.text);
    } else {
        quiz::appendWindows1251AsUtf8(line.bytes, line.text);
    }
    return line;
}

// The value the counter takes after a game that ends by a wrong answer or a win.
long stepped(long counter) { return counter <= 1 ? kRotationTop : counter - 1; }

bool inRotation(long counter) { return counter >= 1 && counter <= kRotationTop; }

// The rotation's quiz numbers in the order the game plays them from `counter`.
std::array<long, kRotationTop> playOrder(std::optional<long> counter) {
    long next = counter && inRotation(*counter) ? *counter : kRotationTop;
    std::array<long, kRotationTop> order{};
    for (long& n : order) {
        n = next;
        next = stepped(next);
    }
    return order;
}

std::optional<std::string_view> quoted(const quiz::QuizError& e) {
    if (!e.hasLineText()) return std::nullopt;
    return e.lineText();
}

}  // namespace

bool checkFolder(const fs::path& folder, Report& report, const CheckOptions& options) {
    bool clean = true;
    std::optional<long> counter;
    if (const std::optional<CounterLine> line = readCounterLine(folder / quiz::kCounterFileName)) {
        try {
            const fs::path file = quiz::counterFile(folder);
            if (file != folder / quiz::kCounterFileName) {
                report.warning(quiz::kCounterFileName, 0, std::nullopt,
                               "это символическая ссылка на «" + file.string() +
                                   "»: игра сдвигает счётчик в том файле");
            }
            quiz::checkCounterCanStep(folder);
        } catch (const quiz::QuizError& e) {
            clean = false;
            report.error(e.file(), e.line(), quoted(e), e.expected());
        }
        const std::optional<long> value = quiz::counterValue(line->bytes);
        counter = value.value_or(0);
        if (!value) {
            report.warning(quiz::kCounterFileName, 1, line->text,
                           "в первой строке нет числа: игра возьмёт 0 и будет искать " +
                               quiz::quizFileName(0) +
                               ", а после проигрыша или победы остановится, не сумев сдвинуть "
                               "счётчик");
        } else if (!inRotation(*value)) {
            report.warning(quiz::kCounterFileName, 1, line->text,
                           "число " + std::to_string(*value) +
                               " вне круга 3, 2, 1: после проигрыша или победы счётчик станет " +
                               std::to_string(stepped(*value)));
        }
        report.summary(quiz::kCounterFileName,
                       "игра начнётся с файла " + quiz::quizFileName(*counter));
    }

    std::vector<std::string> checked;
    try {
        const quiz::QuizSelection selection = quiz::selectAndOpen(folder);
        checked.push_back(selection.fileName);
        clean = checkQuizFile(folder / selection.fileName, selection.fileName, report, {},
                              options) &&
                clean;
    } catch (const quiz::QuizError& e) {
        clean = false;
        report.error(e.file(), e.line(), quoted(e), e.expected());
        if (e.file() != quiz::kCounterFileName) {
            checked.push_back(e.file());
            report.summary(e.file(), kUnplayable);
        }
    }

    for (const long n : playOrder(counter)) {
        const std::string name = quiz::quizFileName(n);
        if (std::find(checked.begin(), checked.end(), name) != checked.end()) continue;
        const std::string note =
            ": когда счётчик дойдёт до " + std::to_string(n) + ", игра не запустится";
        clean = checkQuizFile(folder / name, name, report, note, options) && clean;
    }
    return clean;
}

}  // namespace quizcheck
