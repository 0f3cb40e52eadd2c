#include "quizcheck/folder_check.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "quiz/counter.h"
#include "quiz/counter_step.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_selection.h"
#include "quizcheck/quiz_check.h"

namespace fs = std::filesystem;

namespace quizcheck {

namespace {

bool inRotation(long counter) { return counter >= 1 && counter <= quiz::kRotationTop; }

// The rotation's quiz numbers in the order the game plays them from `counter`.
std::array<long, quiz::kRotationTop> playOrder(std::optional<long> counter) {
    long next = counter && inRotation(*counter) ? *counter : quiz::kRotationTop;
    std::array<long, quiz::kRotationTop> order{};
    for (long& n : order) {
        n = next;
        next = quiz::steppedCounter(next);
    }
    return order;
}

std::optional<std::string_view> quoted(const quiz::QuizError& e) {
    if (!e.hasLineText()) return std::nullopt;
    return e.lineText();
}

// The counter as the game reads it at start-up, reported; and whether its
// step would be refused.
std::optional<quiz::CounterReading> checkCounter(const fs::path& folder, Report& report) {
    std::optional<quiz::CounterReading> reading;
    try {
        reading = quiz::readCounter(folder);
    } catch (const quiz::QuizError& e) {
        report.error(e.file(), e.line(), quoted(e), e.expected());
        return std::nullopt;
    }
    if (!reading->linkTarget.empty()) {
        report.warning(quiz::kCounterFileName, 0, std::nullopt,
                       "это символическая ссылка на «" + reading->linkTarget.string() +
                           "»: игра сдвигает счётчик в том файле");
    }
    const std::optional<quiz::CounterNumber>& number = reading->number;
    if (!number) {
        report.warning(quiz::kCounterFileName, 1, reading->line.text,
                       "в первой строке нет числа: игра возьмёт 0 и будет искать " +
                           quiz::quizFileName(0) +
                           ", а после проигрыша или победы остановится, не сумев сдвинуть счётчик");
    } else if (!inRotation(number->value)) {
        report.warning(quiz::kCounterFileName, 1, reading->line.text,
                       "число " + std::to_string(number->value) +
                           " вне круга 3, 2, 1: после проигрыша или победы счётчик станет " +
                           std::to_string(quiz::steppedCounter(number->value)));
    }
    try {
        if (number) quiz::checkCounterCanStep(folder);
    } catch (const quiz::QuizError& e) {
        report.warning(
            e.file(), e.line(), quoted(e),
            "игра пойдёт, но после проигрыша или победы счётчик не сдвинется, и снова будет та "
            "же викторина: " +
                e.expected());
    }
    report.summary(quiz::kCounterFileName,
                   "игра начнётся с файла " + quiz::quizFileName(number ? number->value : 0));
    return reading;
}

}  // namespace

void checkFolder(const fs::path& folder, Report& report, const CheckOptions& options) {
    const std::optional<quiz::CounterReading> counter = checkCounter(folder, report);
    std::vector<std::string> checked;
    try {
        if (counter) {
            const quiz::QuizSelection selection = quiz::openSelectedQuiz(folder, *counter);
            checked.push_back(selection.fileName);
            checkQuizFile(folder / selection.fileName, selection.fileName, report, {}, options);
        }
    } catch (const quiz::QuizError& e) {
        report.error(e.file(), e.line(), quoted(e), e.expected());
        checked.push_back(e.file());
        report.summary(e.file(), kUnplayable);
    }

    std::optional<long> value;
    if (counter) value = counter->number ? counter->number->value : 0;
    for (const long n : playOrder(value)) {
        const std::string name = quiz::quizFileName(n);
        if (std::find(checked.begin(), checked.end(), name) != checked.end()) continue;
        const std::string note =
            ": когда счётчик дойдёт до " + std::to_string(n) + ", игра не запустится";
        checkQuizFile(folder / name, name, report, note, options);
    }
}

}  // namespace quizcheck
