#include "convert/convert.h"

#include <algorithm>
#include <filesystem>

#include "convert/text.h"
#include "quiz/quiz_error.h"
#include "window/form_ops.h"

namespace convert {

namespace {

constexpr std::string_view kIntroduction =
    "Викторина «{}».\n"
    "Отвечайте на вопросы по одному: каждый верный ответ поднимает вас на ступень лестницы, "
    "первый неверный заканчивает игру.";

struct DefaultVerdict {
    std::string_view text;
    int thirds;  // the minimum, in thirds of the number of questions played
};
constexpr DefaultVerdict kVerdicts[] = {
    {"Превосходно! Все ответы верные.", 3},
    {"Хорошо!", 2},
    {"Неплохо.", 1},
    {"Попробуйте ещё раз.", 0},
};

// The default introduction and level table: minimums a third of the
// questions apart; a middle row is left out where it would not lie between
// its neighbours.
void addDefaults(quiz::QuizDocument& document, const std::string& title) {
    document.title = quiz::DocLine(title);
    document.introduction = quiz::docLines(quiz::filledIn(kIntroduction, {title}));
    const int played =
        std::min<int>(static_cast<int>(document.questions.size()), window::kLadderSteps);
    for (const DefaultVerdict& row : kVerdicts) {
        const int minimum = played * row.thirds / 3;
        const bool middle = row.thirds == 1 || row.thirds == 2;
        if (middle && (minimum <= 0 || minimum >= document.verdicts.back().minScore)) continue;
        document.verdicts.push_back(
            {quiz::DocLine(std::string(row.text)), {}, static_cast<std::int16_t>(minimum)});
    }
}

bool readsAsQuiz(std::string_view bytes) {
    try {
        quiz::readDocument(bytes, "");
        return true;
    } catch (const quiz::QuizError&) {
        return false;
    }
}

bool hasLine(std::string_view text, bool (*test)(std::string_view)) {
    const std::vector<TextLine> lines = splitLines(text);
    return std::any_of(lines.begin(), lines.end(),
                       [&](const TextLine& line) { return test(trimmed(line.text)); });
}

}  // namespace

std::optional<Kind> kindByName(std::string_view name) {
    if (name == "quiz") return Kind::Quiz;
    if (name == "csv") return Kind::Csv;
    if (name == "aiken") return Kind::Aiken;
    if (name == "gift") return Kind::Gift;
    return std::nullopt;
}

std::optional<Kind> guessKind(std::string_view fileName, std::string_view bytes) {
    std::string extension = std::filesystem::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (extension == ".csv" || extension == ".tsv") return Kind::Csv;
    if (extension == ".gift") return Kind::Gift;
    if (readsAsQuiz(bytes)) return Kind::Quiz;
    const std::string text = decodeInput(bytes, true);
    if (hasLine(text, [](std::string_view l) { return l.starts_with("ANSWER:"); }))
        return Kind::Aiken;
    if (hasLine(text,
                [](std::string_view l) { return l.starts_with("::") || l.find('{') != l.npos; })) {
        return Kind::Gift;
    }
    if (hasLine(text, [](std::string_view l) { return l.find_first_of(";,\t") != l.npos; }))
        return Kind::Csv;
    return std::nullopt;
}

quiz::QuizDocument newDocument(const std::string& title, std::vector<quiz::DocQuestion> questions) {
    quiz::QuizDocument document;
    document.questions = std::move(questions);
    addDefaults(document, title);
    return document;
}

Converted convert(Kind kind, std::string_view bytes, const std::string& fileName,
                  const std::string& title) {
    Converted out;
    if (kind == Kind::Quiz) {
        try {
            out.document = quiz::readDocument(bytes, fileName);
        } catch (const quiz::QuizError& e) {
            out.problems.push_back({e.line(),
                                    e.hasLineText() ? std::optional(e.lineText()) : std::nullopt,
                                    e.expected()});
        }
        return out;
    }
    Questions questions = kind == Kind::Csv     ? readSpreadsheet(bytes)
                          : kind == Kind::Aiken ? readAiken(bytes)
                                                : readGift(bytes);
    out.problems = std::move(questions.problems);
    out.document = newDocument(title, std::move(questions.questions));
    return out;
}

}  // namespace convert
