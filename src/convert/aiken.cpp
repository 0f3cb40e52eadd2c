// Aiken, as Moodle reads it: the question's lines, the options "A." or "A)"
// and a blank, then "ANSWER: X".
#include <utility>

#include "convert/convert.h"
#include "convert/text.h"

namespace convert {

namespace {

namespace say {
constexpr const char* kOptionFirst = "вариант ответа до текста вопроса";
constexpr const char* kAnswerFirst = "строка ANSWER: до текста вопроса и вариантов ответа";
constexpr const char* kFifthOption =
    "пятый вариант ответа: у вопроса в игре их не больше четырёх (A, B, C, D)";
constexpr const char* kOptionOrder =
    "варианты ответа идут по порядку A, B, C, D, а здесь ожидался ";
constexpr const char* kStray =
    "после вариантов ответа ожидался следующий вариант или строка «ANSWER: X»";
constexpr const char* kNoAnswer = "у вопроса нет строки «ANSWER: X» с буквой правильного ответа";
constexpr const char* kFewOptions = "у вопроса меньше двух вариантов ответа";
constexpr const char* kAnswerNamesNone = "ANSWER называет вариант, которого у вопроса нет";
constexpr const char* kNothing = "в файле нет ни одного вопроса";
}  // namespace say

// "A. text" or "B) text": the letter's place (0 for A) and the text; -1 for no option.
int optionOf(std::string_view line, std::string_view& text) {
    if (line.size() < 2 || line[0] < 'A' || line[0] > 'Z' || (line[1] != '.' && line[1] != ')'))
        return -1;
    if (line.size() > 2 && line[2] != ' ' && line[2] != '\t') return -1;
    text = trimmed(line.substr(2));
    return line[0] - 'A';
}

// "ANSWER: X": the letter's place; -1 for no such line, -2 for one naming no letter.
int answerOf(std::string_view line) {
    if (!line.starts_with("ANSWER")) return -1;
    std::string_view rest = line.substr(6);
    if (!rest.empty() && rest[0] != ':' && rest[0] != ' ' && rest[0] != '\t') return -1;
    rest = trimmed(rest);
    if (rest.starts_with(':')) rest = trimmed(rest.substr(1));
    return rest.size() == 1 && rest[0] >= 'A' && rest[0] <= 'Z' ? rest[0] - 'A' : -2;
}

class AikenReader {
public:
    explicit AikenReader(Questions& out) : out_(out) {}

    void line(const TextLine& line) {
        const std::string_view text = trimmed(line.text);
        if (text.empty()) return;
        std::string_view optionText;
        const int option = optionOf(text, optionText);
        const int answer = answerOf(text);
        if (skipping_) {
            // After a problem, the rest of that question up to its ANSWER line.
            skipping_ = answer == -1;
            return;
        }
        if (first_.number == 0) return begin(line, option, answer);
        if (option >= 0) return addOption(line, option, optionText);
        if (answer != -1) return finish(line, answer);
        if (!question_.answers.empty()) return fail(line, say::kStray);
        question_.lines.emplace_back(std::string(text), line.number);
    }

    void end() {
        if (first_.number != 0) fail(first_, say::kNoAnswer);
    }

private:
    void begin(const TextLine& line, int option, int answer) {
        if (option >= 0 || answer != -1) {
            return problem(line, option >= 0 ? say::kOptionFirst : say::kAnswerFirst);
        }
        first_ = line;
        question_ = {};
        question_.lines.emplace_back(std::string(trimmed(line.text)), line.number);
    }

    void addOption(const TextLine& line, int option, std::string_view text) {
        const auto count = static_cast<int>(question_.answers.size());
        if (count == 4) return fail(line, say::kFifthOption);
        if (option != count)
            return fail(line, say::kOptionOrder + std::string(1, static_cast<char>('A' + count)));
        quiz::DocAnswer answer;
        if (!text.empty()) answer.lines.emplace_back(std::string(text), line.number);
        question_.answers.push_back(std::move(answer));
    }

    // The ANSWER line ends the question, whether it can be taken or not.
    void finish(const TextLine& line, int answer) {
        const TextLine first = first_;
        first_ = {};
        if (question_.answers.size() < 2) return problem(first, say::kFewOptions);
        if (answer < 0 || answer >= static_cast<int>(question_.answers.size())) {
            return problem(line, say::kAnswerNamesNone);
        }
        question_.answers[static_cast<std::size_t>(answer)].right = true;
        out_.questions.push_back(std::move(question_));
    }

    void problem(const TextLine& line, std::string message) {
        out_.problems.push_back({line.number, std::string(line.text), std::move(message)});
    }

    // A problem inside a question: the rest of it, up to its ANSWER line, is skipped.
    void fail(const TextLine& line, std::string message) {
        problem(line, std::move(message));
        first_ = {};
        skipping_ = true;
    }

    Questions& out_;
    bool skipping_ = false;
    TextLine first_;
    quiz::DocQuestion question_;
};

}  // namespace

Questions readAiken(std::string_view bytes) {
    const std::string text = decodeInput(bytes, false);
    Questions out;
    AikenReader reader(out);
    for (const TextLine& line : splitLines(text)) reader.line(line);
    reader.end();
    if (out.questions.empty() && out.problems.empty())
        out.problems.push_back({0, {}, say::kNothing});
    return out;
}

}  // namespace convert
