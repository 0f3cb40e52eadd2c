// GIFT, as Moodle writes it: questions separated by blank lines, "//"
// comment lines, "::title::", and the answers in braces. Only what the game
// can ask is taken: one right answer ("=") and up to three wrong ones ("~"),
// or true/false; every other kind is a problem at the question's first line.
#include <algorithm>
#include <cctype>
#include <utility>

#include "convert/convert.h"
#include "convert/text.h"
#include "quiz/quiz_error.h"

namespace convert {

namespace {

namespace say {
constexpr const char* kKind =
    "вопрос такого вида игра не задаёт: {}; годится выбор одного верного ответа (один «=» и от "
    "одного "
    "до трёх «~») или верно/неверно ({T}, {F})";
constexpr const char* kTitleOpen = "название вопроса «::» не закрыто вторым «::»";
constexpr const char* kBraceOpen = "фигурная скобка с ответами не закрыта";
constexpr const char* kNoText = "у вопроса нет текста перед фигурными скобками";
constexpr const char* kEmptyAnswer = "у ответа нет текста";
constexpr const char* kNothing = "в файле нет ни одного вопроса";
constexpr const char* kTrue = "Верно";
constexpr const char* kFalse = "Неверно";
}  // namespace say

// The kinds of question the game cannot ask, by what marks them.
namespace kind {
constexpr const char* kDescription = "описание без ответов (нет фигурных скобок)";
constexpr const char* kGap = "пропуск в тексте (текст после фигурных скобок)";
constexpr const char* kEssay = "эссе ({})";
constexpr const char* kNumeric = "числовой ответ ({#…})";
constexpr const char* kMatching = "на соответствие (->)";
constexpr const char* kWeights = "ответы с весами (%50%)";
constexpr const char* kShortAnswer = "короткий ответ (только ответы с «=»)";
constexpr const char* kNoRight = "без верного ответа (нет «=»)";
constexpr const char* kSeveralRight = "несколько верных ответов";
constexpr const char* kMoreThanFour = "больше четырёх ответов";
constexpr const char* kUnmarked = "ответы без «=» и «~»";
}  // namespace kind

constexpr std::string_view kSpaces = " \t\n";

std::string_view stripped(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kSpaces) - first + 1);
}

// The first of `chars` at or after `from` that no backslash escapes.
std::size_t findUnescaped(std::string_view s, std::size_t from, std::string_view chars) {
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
        } else if (chars.find(s[i]) != std::string_view::npos) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string unescaped(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (s[i] == '\\' && next == 'n') {
            out += '\n';
            ++i;
        } else if (s[i] == '\\' &&
                   std::string_view("~=#{}:\\").find(next) != std::string_view::npos && next) {
            out += next;
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Block {
    int firstLine = 0;
    std::string text;  // its lines joined by LF
    int lineOf(std::size_t offset) const {
        return firstLine + static_cast<int>(std::count(
                               text.begin(), text.begin() + static_cast<long>(offset), '\n'));
    }
};

std::string kindProblem(const char* what) {
    return quiz::filledIn(say::kKind, {what});
}

bool isTrueFalse(std::string_view body, bool& right) {
    std::string word(stripped(body.substr(0, findUnescaped(body, 0, "#"))));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    right = word == "T" || word == "TRUE";
    return right || word == "F" || word == "FALSE";
}

// The answers between the braces, which begin at `offset` of the block.
std::optional<std::string> readAnswers(const Block& block, std::size_t offset,
                                       std::string_view body, quiz::DocQuestion& question) {
    const std::string_view trimmedBody = stripped(body);
    if (trimmedBody.empty()) return kindProblem(kind::kEssay);
    if (trimmedBody.front() == '#') return kindProblem(kind::kNumeric);
    bool right = false;
    if (isTrueFalse(trimmedBody, right)) {
        const int line = block.lineOf(offset);
        question.answers = {{{{say::kTrue, line}}, right, {}}, {{{say::kFalse, line}}, !right, {}}};
        return std::nullopt;
    }
    std::size_t at = findUnescaped(body, 0, "=~");
    if (!stripped(body.substr(0, at)).empty()) return kindProblem(kind::kUnmarked);
    int rights = 0;
    while (at != std::string_view::npos) {
        const bool isRight = body[at] == '=';
        rights += isRight ? 1 : 0;
        const std::size_t start = at + 1;
        std::size_t end = findUnescaped(body, start, "=~#");
        const std::string_view raw =
            body.substr(start, end == std::string_view::npos ? end : end - start);
        if (stripped(raw).starts_with('%')) return kindProblem(kind::kWeights);
        if (raw.find("->") != std::string_view::npos) return kindProblem(kind::kMatching);
        std::string text = std::string(raw);
        std::replace(text.begin(), text.end(), '\n', ' ');
        // More than four is an error whatever else the answers hold: no need to read them all.
        if (question.answers.size() == 4) return kindProblem(kind::kMoreThanFour);
        question.answers.push_back(
            {textLines(unescaped(stripped(text)), block.lineOf(offset + start)), isRight, {}});
        if (question.answers.back().lines.empty()) return std::string(say::kEmptyAnswer);
        // Feedback after "#" (and the general feedback after "####") is not shown in the game.
        at = end != std::string_view::npos && body[end] == '#' ? findUnescaped(body, end, "=~")
                                                               : end;
    }
    const std::size_t count = question.answers.size();
    if (rights == static_cast<int>(count)) return kindProblem(kind::kShortAnswer);
    if (rights == 0) return kindProblem(kind::kNoRight);
    if (rights > 1) return kindProblem(kind::kSeveralRight);
    return std::nullopt;
}

// Skips "::title::" and a format such as "[html]" at `at`.
std::optional<std::string> skipTitleAndFormat(std::string_view s, std::size_t& at) {
    at = s.find_first_not_of(kSpaces, at);
    if (at != std::string_view::npos && s.compare(at, 2, "::") == 0) {
        const std::size_t end = s.find("::", at + 2);
        if (end == std::string_view::npos) return std::string(say::kTitleOpen);
        at = s.find_first_not_of(kSpaces, end + 2);
    }
    if (at != std::string_view::npos && s[at] == '[') {
        for (const std::string_view format : {"[html]", "[plain]", "[markdown]", "[moodle]"}) {
            if (s.compare(at, format.size(), format) == 0) at += format.size();
        }
    }
    if (at == std::string_view::npos) at = s.size();
    return std::nullopt;
}

std::optional<std::string> readQuestion(const Block& block, quiz::DocQuestion& question) {
    const std::string_view s = block.text;
    std::size_t at = 0;
    if (auto problem = skipTitleAndFormat(s, at)) return problem;
    const std::size_t open = findUnescaped(s, at, "{");
    if (open == std::string_view::npos) return kindProblem(kind::kDescription);
    const std::size_t close = findUnescaped(s, open + 1, "}");
    if (close == std::string_view::npos) return std::string(say::kBraceOpen);
    if (!stripped(s.substr(close + 1)).empty()) return kindProblem(kind::kGap);
    question.lines = textLines(unescaped(s.substr(at, open - at)), block.lineOf(at));
    if (question.lines.empty()) return std::string(say::kNoText);
    return readAnswers(block, open + 1, s.substr(open + 1, close - open - 1), question);
}

// The question blocks: lines between blank lines, without comment lines.
std::vector<Block> blocksOf(std::string_view text) {
    std::vector<Block> blocks;
    bool open = false;
    for (const TextLine& line : splitLines(text)) {
        const std::string_view content = trimmed(line.text);
        if (content.starts_with("//")) continue;
        if (content.empty()) {
            open = false;
            continue;
        }
        if (!open) blocks.push_back({line.number, {}});
        Block& block = blocks.back();
        if (open) block.text += '\n';
        block.text += line.text;
        open = true;
    }
    return blocks;
}

}  // namespace

Questions readGift(std::string_view bytes) {
    const std::string text = decodeInput(bytes, false);
    Questions out;
    for (const Block& block : blocksOf(text)) {
        if (stripped(block.text).starts_with("$CATEGORY:")) continue;
        quiz::DocQuestion question;
        if (const std::optional<std::string> problem = readQuestion(block, question)) {
            const std::string firstLine = block.text.substr(0, block.text.find('\n'));
            out.problems.push_back({block.firstLine, firstLine, *problem});
        } else {
            out.questions.push_back(std::move(question));
        }
    }
    if (out.questions.empty() && out.problems.empty())
        out.problems.push_back({0, {}, say::kNothing});
    return out;
}

}  // namespace convert
