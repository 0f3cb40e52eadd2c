#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "quizcheck/quiz_check.h"
#include "quizcheck/report.h"
#include "support/support.h"

namespace {

using namespace std::string_literals;
using quizcheck::TextFit;

// Windows-1251 bytes of `lines`, then of `count` questions answered right.
std::string quiz(const std::vector<std::string>& lines, int count = 0) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    for (int i = 0; i < count; ++i) text += "Вопрос\r\n.\r\nДа\r\n.1\r\n";
    return testing_support::toWindows1251(text);
}

// A window stand-in: a text tagged "[Control]" for the control it is measured
// in needs a smaller font, and "[Control]!" does not fit even so.
TextFit scriptedMeasure(std::string_view control, std::string_view text) {
    const std::string tag = "[" + std::string(control) + "]";
    const std::size_t at = text.find(tag);
    if (at == std::string_view::npos) return TextFit::AsDesigned;
    return text.substr(at + tag.size()).starts_with("!") ? TextFit::Elided : TextFit::Shrunk;
}

struct Problem {
    int line;
    std::string key;    // a part of "KIND: MESSAGE" that says what is wrong
    std::string quote;  // the quoted line
};

struct WarningCase {
    const char* name;
    std::string bytes;
    std::vector<Problem> expected;
    bool measured = true;
};

const std::string kFitQuiz =
    quiz({"Т", "Привет [Label2.intro]", ".", "Молодец [Label2.intro]!", "0", ".", "Вопрос", ".", "А", ",0", "Б",
          ",0", "Длинный ответ [Option3]", ".1"});

const std::vector<WarningCase> kCases = {
    {"clean_file_of_fifteen_questions_without_verdicts", quiz({"Т", "Привет\tвсем", ".", "."}, 15),
     {}},
    {"right_answer_without_text",
     quiz({"Т", "Привет", ".", ".", "Вопрос", ".", "Нет", ",0", ".1"}, 14),
     {{9, "ответ 2: у правильного ответа нет текста: этот вариант не будет показан, и ответить "
          "на вопрос верно нельзя",
       ".1"}}},
    // Minimums 64, 1, 0, -1 with two questions: a full score of 2 gets row 2.
    {"minimum_out_of_reach_and_the_one_verdict_shown",
     quiz({"Т", "Привет", ".", "Отлично", "64", "Хорошо", "1", "Так", "0", "Увы", "-1", "."}, 2),
     {{5, "64 недостижимо", "64"}, {6, "вопросы (2), и оценка на нём всегда эта, 2-я", "Хорошо"}}},
    {"verdict_shown_is_a_row_the_file_lacks", quiz({"Т", "Привет", ".", "Отлично", "5", "."}, 3),
     {{5, "5 недостижимо", "5"}, {6, "оценок в таблице 1 из четырёх", "."},
      {6, "вопросы (3), и оценка на нём будет пустой: 2-й оценки в таблице нет", "."}}},
    {"fifteen_questions_never_show_a_verdict",
     quiz({"Т", "Привет", ".", "Отлично", "15", "Увы", "0", "."}, 15),
     {{4, "вопросов 15 или больше", "Отлично"}}},
    {"control_characters_shown_in_the_quote",
     quiz({"Т", "Привет", ".", ".", "Вопрос", ".", "Да\0нет\x1b"s, ".1"}, 14),
     {{7, "управляющие символы", "Да␀нет␛"}}},
    {"utf8_line_in_a_windows_1251_file", "Заголовок\r\n" + quiz({"Привет", ".", "."}, 15),
     {{1, "UTF-8, а файл в Windows-1251: окно покажет её так, как ниже, а не «Заголовок»",
       "Р—Р°РіРѕР»РѕРІРѕРє"}}},
    {"text_after_the_last_question_at_its_line",
     quiz({"Т", "П", ".", "О", "1", "Х", "0", "Т", "-1", "У", "-2", ".", "В", ".", "Да", ".1", "",
           "Лишняя строка", "ещё"}),
     {{18, "ошибка: лишний текст после последнего вопроса", "Лишняя строка"}}},
    {"texts_the_window_shrinks_or_elides", kFitQuiz,
     {{2, "вступление: текст не помещается в Label2 и будет показан мельче", "Привет [Label2.intro]"},
      {4, "1-я в таблице", "Молодец [Label2.intro]!"},
      {4, "экран результатов: текст не помещается в Label2 даже мельче и будет обрезан",
       "Молодец [Label2.intro]!"},
      {6, "оценок в таблице 1 из четырёх", "."},
      {13, "вопрос 1, ответ 3: текст не помещается в Option3 и будет показан мельче",
       "Длинный ответ [Option3]"}}},
    {"nothing_measured_without_a_measure", kFitQuiz,
     {{4, "1-я в таблице", "Молодец [Label2.intro]!"}, {6, "оценок в таблице 1 из четырёх", "."}},
     false},
};

// The problems of a report, each with its line and quote.
std::vector<Problem> problemsIn(const std::string& report) {
    std::vector<Problem> found;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("    «") && !found.empty()) {
            found.back().quote = line.substr(6, line.size() - 8);  // without the 2-byte « and »
        } else if (line.starts_with("q.txt:") && line[6] >= '0' && line[6] <= '9') {
            std::size_t digits = 0;
            const int number = std::stoi(line.substr(6), &digits);
            found.push_back({number, line.substr(6 + digits + 2), ""});
        }
    }
    return found;
}

TEST(QuizcheckWarnings, EachAtItsLineWithTheLineQuoted) {
    for (const WarningCase& c : kCases) {
        SCOPED_TRACE(c.name);
        std::ostringstream out;
        quizcheck::Report report(out);
        quizcheck::CheckOptions options;
        if (c.measured) options.measure = scriptedMeasure;
        const auto open = [&] { return std::make_unique<std::istringstream>(c.bytes); };
        quizcheck::checkQuiz("q.txt", open, report, options);
        const std::vector<Problem> found = problemsIn(out.str());
        EXPECT_EQ(found.size(), c.expected.size()) << out.str();
        for (std::size_t i = 0; i < found.size() && i < c.expected.size(); ++i) {
            EXPECT_EQ(found[i].line, c.expected[i].line) << found[i].key;
            EXPECT_NE(found[i].key.find(c.expected[i].key), std::string::npos) << found[i].key;
            EXPECT_EQ(found[i].quote, c.expected[i].quote) << found[i].key;
        }
    }
}

}  // namespace
