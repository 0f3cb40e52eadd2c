#include "quiz/quiz_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "quiz/quiz_error.h"
#include "temp_folder.h"
#include "test_streams.h"

namespace {

using quiz::Answer;
using quiz::Encoding;
using quiz::LevelRow;
using quiz::Question;
using quiz::QuizError;
using quiz::QuizReader;

// Windows-1251 bytes of a few words, and the words themselves.
const std::string kCapitals = "\xD1\xF2\xEE\xEB\xE8\xF6\xFB";  // Столицы
const std::string kHello = "\xCF\xF0\xE8\xE2\xE5\xF2";         // Привет
const std::string kWhere = "\xC3\xE4\xE5";                     // Где
const std::string kMoscow = "\xCC\xEE\xF1\xEA\xE2\xE0";        // Москва
const std::string kYes = "\xC4\xE0";                           // Да
const std::string kNo = "\xCD\xE5\xF2";                        // Нет
const std::string kHedgehog = "\xA8\xE6";                      // Ёж
const std::string kGreat = "\xCE\xF2\xEB\xE8\xF7\xED\xEE";     // Отлично
const std::string kPoor = "\xCF\xEB\xEE\xF5\xEE";              // Плохо
const std::string kQuoted = "\xAB\xCC\xE8\xF0\xBB \xB9";       // «Мир» №

// Lines joined, each followed by `end`.
std::string lines(const std::vector<std::string>& content, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : content) text += line + end;
    return text;
}

struct ReadQuiz {
    std::string title;
    std::string introduction;
    std::vector<LevelRow> levels;
    std::vector<Question> questions;
};

std::string dump(const ReadQuiz& quiz) {
    std::ostringstream out;
    out << "title [" << quiz.title << "]\nintroduction [" << quiz.introduction << "]\n";
    for (const LevelRow& row : quiz.levels)
        out << "level [" << row.text << "] " << row.minScore << "\n";
    for (const Question& q : quiz.questions) {
        out << "question [" << q.text << "]\n";
        for (const Answer& a : q.answers) out << "  answer [" << a.text << "] " << a.points << "\n";
    }
    return out.str();
}

ReadQuiz readAll(QuizReader& reader) {
    ReadQuiz quiz;
    quiz.title = reader.readTitle();
    quiz.introduction = reader.readIntroduction();
    quiz.levels = reader.readLevelTable();
    while (!reader.atEnd()) quiz.questions.push_back(reader.readQuestion());
    return quiz;
}

// Title, empty introduction, empty level table: the head of most cases.
const std::vector<std::string> kHead = {"T", ".", "."};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Quiz files are written into a temporary folder and read back through a file
// stream, as the game reads them.
class QuizReaderTest : public ::testing::Test {
protected:
    ReadQuiz readFile(const std::string& bytes, Encoding encoding = Encoding::Windows1251) {
        std::ifstream in(folder_.write("test1.txt", bytes), std::ios::binary);
        QuizReader reader(in, "test1.txt", encoding);
        return readAll(reader);
    }

    // The error that reading the whole file raises.
    QuizError errorOf(const std::string& bytes, const std::string& name = "test1.txt") {
        std::ifstream in(folder_.write(name, bytes), std::ios::binary);
        QuizReader reader(in, name);
        try {
            readAll(reader);
        } catch (const QuizError& error) {
            return error;
        }
        ADD_FAILURE() << "no error";
        return QuizError(name, 0, "");
    }

    quiz_test::TempFolder folder_;
};

// The layout example of the quiz format: a two-line introduction, two verdict
// rows, one question with three answers of which the second is right.
const std::string kExample = lines({
    kCapitals,
    kHello,
    "Go!",
    ".",
    kGreat,
    "13",
    kPoor,
    "7",
    ".",
    kWhere,
    kMoscow + "?",
    ".",
    kYes,
    ",0",
    kNo,
    ",1",
    kHedgehog,
    ".0",
});

const ReadQuiz kExampleRead = {
    "Столицы",
    "Привет\r\nGo!\r\n",
    {{"Отлично", 13}, {"Плохо", 7}},
    {{"Где Москва? ", {{"Да ", 0}, {"Нет ", 1}, {"Ёж ", 0}}}},
};

TEST_F(QuizReaderTest, ReadsTheLayoutExample) {
    EXPECT_EQ(dump(readFile(kExample)), dump(kExampleRead));
}

TEST_F(QuizReaderTest, KeepsTheLastLineReadAndItsNumber) {
    std::ifstream in(folder_.write("test1.txt", kExample), std::ios::binary);
    QuizReader reader(in, "test1.txt");
    struct Step {
        const char* operation;
        int line;
        std::string text;
    };
    const auto check = [&](const Step& step) {
        SCOPED_TRACE(step.operation);
        EXPECT_EQ(reader.lineNumber(), step.line);
        EXPECT_EQ(reader.currentLine(), step.text);
    };
    reader.readTitle();
    check({"readTitle", 1, "Столицы"});
    reader.readIntroduction();
    check({"readIntroduction", 4, "."});
    reader.readLevelTable();
    check({"readLevelTable", 9, "."});
    EXPECT_FALSE(reader.atEnd());
    check({"atEnd before the question", 9, "."});
    reader.readQuestion();
    check({"readQuestion", 18, ".0"});
    EXPECT_TRUE(reader.atEnd());
    check({"atEnd after the question", 18, ".0"});
}

TEST_F(QuizReaderTest, KeepsTheLastLineReadWhenTheFileEndsEarly) {
    const struct {
        const char* name;
        std::string bytes;
        int line;
        std::string text;
    } cases[] = {
        {"in_the_introduction", lines({"T", kHello}), 2, "Привет"},
        {"in_the_question_text", lines(kHead + std::vector<std::string>{"Q1", kMoscow}), 5,
         "Москва"},
        {"in_an_answer", lines(kHead + std::vector<std::string>{"Q", ".", kYes}), 6, "Да"},
        {"after_a_marker", lines(kHead + std::vector<std::string>{"Q", ".", "A", ",1"}), 7, ",1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.bytes);
        QuizReader reader(in, "test1.txt");
        EXPECT_THROW(readAll(reader), QuizError);
        EXPECT_EQ(reader.lineNumber(), c.line);
        EXPECT_EQ(reader.currentLine(), c.text);
    }
}

struct FormatCase {
    const char* name;
    std::string bytes;
    ReadQuiz expected;
};

const std::vector<FormatCase> kFormatCases = {
    {"introduction_of_a_single_marker_line_is_empty",
     lines(kHead + std::vector<std::string>{"Q", ".", "A", ".1"}),
     {"T", "", {}, {{"Q ", {{"A ", 1}}}}}},
    {"empty_line_in_the_introduction_adds_a_line_break",
     lines({"T", "a", "", "b", ".", ".", "Q", ".", "A", ".1"}),
     {"T", "a\r\n\r\nb\r\n", {}, {{"Q ", {{"A ", 1}}}}}},
    {"empty_line_in_a_question_adds_one_blank",
     lines(kHead + std::vector<std::string>{"Q1", "", "Q2", ".", "A1", "", "A2", ".1"}),
     {"T", "", {}, {{"Q1  Q2 ", {{"A1  A2 ", 1}}}}}},
    {"blank_only_lines_inside_a_question_are_content",
     lines(kHead + std::vector<std::string>{" \t", "Q", ".", "A", ".1"}),
     {"T", "", {}, {{" \t Q ", {{"A ", 1}}}}}},
    {"two_answers_fill_two",
     lines(kHead + std::vector<std::string>{"Q", ".", kYes, ",1", kNo, ".0"}),
     {"T", "", {}, {{"Q ", {{"Да ", 1}, {"Нет ", 0}}}}}},
    {"four_answers",
     lines(kHead + std::vector<std::string>{"Q", ".", "a", ",0", "b", ",0", "c", ",0", "d", ".1"}),
     {"T", "", {}, {{"Q ", {{"a ", 0}, {"b ", 0}, {"c ", 0}, {"d ", 1}}}}}},
    {"answers_without_content_lines_are_empty",
     lines(kHead + std::vector<std::string>{"Q", ".", ",0", ".1"}),
     {"T", "", {}, {{"Q ", {{"", 0}, {"", 1}}}}}},
    {"question_without_content_lines_is_empty",
     lines(kHead + std::vector<std::string>{".", "A", ".1"}),
     {"T", "", {}, {{"", {{"A ", 1}}}}}},
    {"question_line_beginning_with_a_comma_is_content",
     lines(kHead + std::vector<std::string>{",Q", ".", "A", ".1"}),
     {"T", "", {}, {{",Q ", {{"A ", 1}}}}}},
    {"introduction_line_beginning_with_a_comma_is_content",
     lines({"T", ",a", ".", ".", "Q", ".", "A", ".1"}),
     {"T", ",a\r\n", {}, {{"Q ", {{"A ", 1}}}}}},
    {"title_beginning_with_a_marker_is_taken_whole",
     lines({".T", ".", ".", "Q", ".", "A", ".1"}),
     {".T", "", {}, {{"Q ", {{"A ", 1}}}}}},
    {"empty_title", lines({"", ".", "."}), {"", "", {}, {}}},
    {"rest_of_marker_lines_is_ignored",
     lines({"T", ". end of intro", ".x", "Q", ".q", "A", ",1 yes", "B", ".0 no"}),
     {"T", "", {}, {{"Q ", {{"A ", 1}, {"B ", 0}}}}}},
    {"level_table_of_a_single_marker_line_has_no_rows",
     lines({"T", ".", ".", "Q", ".", "A", ".1"}),
     {"T", "", {}, {{"Q ", {{"A ", 1}}}}}},
    {"four_level_rows_in_file_order",
     lines({"T", ".", "a", "13", "b", "10", "c", "7", "d", "0", "."}),
     {"T", "", {{"a", 13}, {"b", 10}, {"c", 7}, {"d", 0}}, {}}},
    {"verdict_beginning_with_a_comma_is_a_verdict",
     lines({"T", ".", ",a", "5", "."}),
     {"T", "", {{",a", 5}}, {}}},
    {"minimum_score_line_beginning_with_a_point_also_ends_the_table",
     lines({"T", ".", "a", ".5", "Q", ".", "A", ".1"}),
     {"T", "", {{"a", 0}}, {{"Q ", {{"A ", 1}}}}}},
    {"no_questions", lines({"T", ".", "."}), {"T", "", {}, {}}},
    {"windows_1251_punctuation",
     lines({kQuoted, ".", ".", kQuoted, ".", kQuoted, ".1"}),
     {"«Мир» №", "", {}, {{"«Мир» № ", {{"«Мир» № ", 1}}}}}},
    {"two_questions",
     lines(kHead + std::vector<std::string>{"Q1", ".", "A", ",1", "B", ".0", "Q2", ".", "C", ".1"}),
     {"T", "", {}, {{"Q1 ", {{"A ", 1}, {"B ", 0}}}, {"Q2 ", {{"C ", 1}}}}}},
    {"empty_lines_after_a_question_begin_the_next_when_more_follows",
     lines(kHead + std::vector<std::string>{"Q1", ".", "A", ".1", "", "  ", "Q2", ".", "B", ".1"}),
     {"T", "", {}, {{"Q1 ", {{"A ", 1}}}, {"    Q2 ", {{"B ", 1}}}}}},
    {"empty_and_blank_lines_after_the_last_question_are_ignored",
     lines(kHead + std::vector<std::string>{"Q", ".", "A", ".1", "", " ", "\t", "", " \t "}),
     {"T", "", {}, {{"Q ", {{"A ", 1}}}}}},
    {"empty_lines_after_the_level_table_are_ignored_without_questions",
     lines({"T", ".", ".", "", ""}),
     {"T", "", {}, {}}},
};

TEST_F(QuizReaderTest, ReadsEachFormatRule) {
    for (const FormatCase& c : kFormatCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dump(readFile(c.bytes)), dump(c.expected));
    }
}

TEST_F(QuizReaderTest, EveryKindOfLineEndReadsAlike) {
    const std::vector<std::string> content = {
        kCapitals, kHello,        "Go!", ".",  kGreat, "13", kPoor, "7",       ".",
        kWhere,    kMoscow + "?", ".",   kYes, ",0",   kNo,  ",1",  kHedgehog, ".0"};
    std::string mixed;
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (std::size_t i = 0; i < content.size(); ++i) mixed += content[i] + ends[i % 3];
    struct EndCase {
        const char* name;
        std::string bytes;
    };
    const std::string lf = lines(content, "\n");
    const EndCase cases[] = {
        {"crlf", lines(content, "\r\n")},
        {"lone_lf", lf},
        {"lone_cr", lines(content, "\r")},
        {"mixed", mixed},
        {"no_final_line_end", lf.substr(0, lf.size() - 1)},
        {"trailing_empty_lf_lines", lf + "\n\n"},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dump(readFile(c.bytes)), dump(kExampleRead));
    }
}

TEST_F(QuizReaderTest, AtEndRightAfterTheFinalMarkerAndOverTrailingBlankLines) {
    struct TailCase {
        const char* name;
        std::string tail;
        bool atEnd;
    };
    const TailCase cases[] = {
        {"nothing", "", true},
        {"one_empty_line", "\r\n", true},
        {"empty_line_without_line_end", " ", true},
        {"blank_lines", "  \r\n\t\r\n\r\n", true},
        {"a_content_line", "x\r\n", false},
        {"content_after_blank_lines", "\r\n \r\nx", false},
        {"marker_line", ".\r\n", false},
    };
    for (const TailCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::ifstream in(folder_.write("test1.txt", kExample + c.tail), std::ios::binary);
        QuizReader reader(in, "test1.txt");
        reader.readTitle();
        reader.readIntroduction();
        reader.readLevelTable();
        reader.readQuestion();
        EXPECT_EQ(reader.atEnd(), c.atEnd);
        EXPECT_EQ(reader.atEnd(), c.atEnd) << "asked twice";
    }
}

struct ScoreCase {
    const char* name;
    std::string line;
    int value;  // the minimum score read
};

const std::vector<ScoreCase> kScoreCases = {
    {"plain", "13", 13},
    {"zero", "0", 0},
    {"negative", "-3", -3},
    {"plus_sign", "+4", 4},
    {"blanks_around", " \t 7 \t", 7},
    {"highest", "32767", 32767},
    {"lowest", "-32768", -32768},
    {"fraction_below_half_rounds_down", "2.4", 2},
    {"fraction_above_half_rounds_up", "2.6", 3},
    {"half_rounds_to_even_down", "2.5", 2},
    {"half_rounds_to_even_up", "3.5", 4},
    {"negative_half_rounds_to_even", "-2.5", -2},
    {"negative_odd_half_rounds_away", "-3.5", -4},
    {"just_above_half_rounds_up", "2.5000001", 3},
    {"decimal_comma", "3,5", 4},
    {"fraction_without_whole_part", " .7", 1},
    {"trailing_point", "5.", 5},
    {"leading_zeros", "007", 7},
    {"highest_with_fraction_below_half", "32767.4", 32767},
    {"lowest_half_rounds_to_even_inside", "-32768.5", -32768},
};

TEST_F(QuizReaderTest, ConvertsMinimumScores) {
    for (const ScoreCase& c : kScoreCases) {
        SCOPED_TRACE(c.name);
        const ReadQuiz quiz = readFile(lines({"T", ".", "V", c.line, "."}));
        ASSERT_EQ(quiz.levels.size(), 1U);
        EXPECT_EQ(quiz.levels[0].minScore, c.value);
    }
}

struct ErrorCase {
    const char* name;
    std::string bytes;
    int line;
    bool hasLineText;
    std::string lineText;
    std::string key;  // a part of the message that says what was expected
};

const std::string kEndedTitle = "файл закончился, а ожидалась строка заголовка";
const std::string kEndedIntro = "ожидалась строка вступления или строка с точкой в начале";
const std::string kEndedLevel = "ожидалась строка оценки или строка с точкой в начале";
const std::string kEndedScore = "ожидалась строка с наименьшим числом баллов";
const std::string kEndedQuestion = "ожидалась строка вопроса или строка с точкой в начале";
const std::string kStrayText = "лишний текст после последнего вопроса";
const std::string kEndedAnswer = "ожидалась строка ответа или строка с точкой или запятой";
const std::string kBadMarker = "ожидалась строка ответа с точкой или запятой и цифрой 0 или 1";
const std::string kNotScore =
    "ожидалось наименьшее число баллов для оценки: целое число от -32768 до 32767";
const std::string kScoreRange = "вне допустимых пределов: ожидалось целое число от -32768 до 32767";
const std::string kFifthLevel = "оценок не бывает больше четырёх";
const std::string kFifthAnswer = "больше четырёх ответов у вопроса не бывает";

std::vector<std::string> question(const std::string& marker) { return {"Q", ".", "A", marker}; }

const std::vector<ErrorCase> kErrorCases = {
    {"empty_file", "", 1, false, "", kEndedTitle},
    {"file_ends_in_the_introduction", lines({"T", "intro"}), 3, false, "", kEndedIntro},
    {"file_ends_in_the_level_table", lines({"T", ".", "V", "5"}), 5, false, "", kEndedLevel},
    {"file_ends_before_a_minimum_score", lines({"T", ".", "V"}), 4, false, "", kEndedScore},
    {"file_ends_in_the_question_text", lines(kHead + std::vector<std::string>{"Q"}), 5, false, "",
     kEndedQuestion},
    {"file_ends_in_an_answer", lines(kHead + std::vector<std::string>{"Q", ".", "A"}), 7, false, "",
     kEndedAnswer},
    {"file_ends_after_a_comma_marker", lines(kHead + question(",1")), 8, false, "", kEndedAnswer},
    {"file_ends_in_a_question_after_the_last_one",
     lines(kHead + question(".1") + std::vector<std::string>{"", "more", "text"}), 9, true, "more",
     kStrayText},
    {"file_ends_in_a_question_started_by_a_marker_line",
     lines(kHead + question(".1") + std::vector<std::string>{".", "A"}), 8, true, ".", kStrayText},
    {"five_level_rows", lines({"T", ".", "a", "5", "b", "4", "c", "3", "d", "2", "e", "1", "."}),
     11, true, "e", kFifthLevel},
    {"minimum_score_not_a_number", lines({"T", ".", "V", "abc", "."}), 4, true, "abc", kNotScore},
    {"minimum_score_empty", lines({"T", ".", "V", "", "."}), 4, true, "", kNotScore},
    {"minimum_score_blank", lines({"T", ".", "V", "  ", "."}), 4, true, "  ", kNotScore},
    {"minimum_score_with_letters_after_it", lines({"T", ".", "V", "12abc", "."}), 4, true, "12abc",
     kNotScore},
    {"minimum_score_with_exponent", lines({"T", ".", "V", "1e3", "."}), 4, true, "1e3", kNotScore},
    {"minimum_score_double_sign", lines({"T", ".", "V", "--1", "."}), 4, true, "--1", kNotScore},
    {"minimum_score_sign_alone", lines({"T", ".", "V", "-", "."}), 4, true, "-", kNotScore},
    {"minimum_score_point_alone", lines({"T", ".", "V", ".", "."}), 4, true, ".", kNotScore},
    {"minimum_score_cyrillic", lines({"T", ".", "V", kYes, "."}), 4, true, "Да", kNotScore},
    {"minimum_score_above_range", lines({"T", ".", "V", "32768", "."}), 4, true, "32768",
     kScoreRange},
    {"minimum_score_below_range", lines({"T", ".", "V", "-32769", "."}), 4, true, "-32769",
     kScoreRange},
    {"minimum_score_rounding_out_of_range", lines({"T", ".", "V", "32767.5", "."}), 4, true,
     "32767.5", kScoreRange},
    {"minimum_score_huge", lines({"T", ".", "V", "99999999999999999999", "."}), 4, true,
     "99999999999999999999", kScoreRange},
    {"error_in_the_second_row", lines({"T", ".", "a", "5", "b", "x", "."}), 6, true, "x",
     kNotScore},
    {"answer_marker_without_second_character", lines(kHead + question(",")), 7, true, ",",
     kBadMarker},
    {"last_answer_marker_without_second_character", lines(kHead + question(".")), 7, true, ".",
     kBadMarker},
    {"answer_points_2", lines(kHead + question(",2")), 7, true, ",2", kBadMarker},
    {"answer_points_9", lines(kHead + question(".9")), 7, true, ".9", kBadMarker},
    {"answer_points_a_letter", lines(kHead + question(".a")), 7, true, ".a", kBadMarker},
    {"answer_points_after_a_blank", lines(kHead + question(". 1")), 7, true, ". 1", kBadMarker},
    {"answer_points_minus", lines(kHead + question(",-1")), 7, true, ",-1", kBadMarker},
    {"answer_marker_without_answer_text", lines(kHead + std::vector<std::string>{"Q", ".", ",5"}),
     6, true, ",5", kBadMarker},
    {"fifth_answer",
     lines(kHead + std::vector<std::string>{"Q", ".", "a", ",0", "b", ",0", "c", ",0", "d", ",1",
                                            "e", ".0"}),
     13, true, ",1", kFifthAnswer},
    {"error_in_the_second_question",
     lines(kHead + question(",1") + std::vector<std::string>{"B", ".0"} + question(".3")), 13, true,
     ".3", kBadMarker},
    {"line_numbers_count_lone_lf_and_cr_ends", "T\n.\r.\r\nQ\n\n.\rA\r\n,7\n", 8, true, ",7",
     kBadMarker},
    {"error_after_empty_lines_counts_them",
     lines(kHead + std::vector<std::string>{"", "", "Q", ".", "A", ",x"}), 9, true, ",x",
     kBadMarker},
};

TEST_F(QuizReaderTest, ReportsEveryFaultWithItsLine) {
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        const QuizError error = errorOf(c.bytes, "test2.txt");
        EXPECT_EQ(error.file(), "test2.txt");
        EXPECT_EQ(error.line(), c.line);
        EXPECT_EQ(error.hasLineText(), c.hasLineText);
        EXPECT_EQ(error.lineText(), c.lineText);
        EXPECT_NE(error.expected().find(c.key), std::string::npos) << error.expected();
        EXPECT_NE(std::string(error.what()).find(error.expected()), std::string::npos);
    }
}

TEST_F(QuizReaderTest, MessageNamesFileLineAndQuotesTheLine) {
    // Line 14 is the marker of the second answer.
    const std::string quiz =
        lines({"T", "i", ".", "a", "5", "b", "0", ".", "Q", ".", "A", ",0", "B", ",5"});
    EXPECT_STREQ(
        errorOf(quiz, "test2.txt").what(),
        "test2.txt, строка 14: ожидалась строка ответа с точкой или запятой и цифрой 0 или 1\n"
        "Строка: «,5»");
}

TEST_F(QuizReaderTest, MessageForAFileThatEndsEarlyHasNoQuotedLine) {
    EXPECT_STREQ(errorOf(lines({"T", "i"}), "test3.txt").what(),
                 "test3.txt, строка 3: файл закончился, а ожидалась строка вступления или строка с "
                 "точкой в начале, закрывающая вступление");
}

TEST_F(QuizReaderTest, MessageQuotesTheLineDecodedAndShortensAVeryLongOne) {
    const QuizError decoded = errorOf(lines({"T", ".", kHello, kMoscow, "."}));
    EXPECT_NE(std::string(decoded.what()).find("Строка: «Москва»"), std::string::npos);

    const std::string longLine(5000, '7');
    const QuizError error = errorOf(lines({"T", ".", "V", longLine, "."}));
    EXPECT_EQ(error.lineText(), longLine);
    const std::string what = error.what();
    EXPECT_LT(what.size(), 600U);
    EXPECT_NE(what.find("Строка: «777"), std::string::npos);
    EXPECT_NE(what.find("…»"), std::string::npos);
}

TEST_F(QuizReaderTest, ManyBlankLinesThenAQuestionOrTheEnd) {
    // A million empty lines are read through a stream that makes them up as
    // it goes; the reader must neither keep them nor lose them.
    constexpr std::size_t kBlankLines = 1'000'000;
    const std::string head = lines(kHead + question(".1"));
    {
        SCOPED_TRACE("then a question");
        quiz_test::RepeatingBuf buffer(head, "\r\n", kBlankLines, lines({"Q2", ".", "B", ".0"}));
        std::istream in(&buffer);
        QuizReader reader(in, "test1.txt");
        reader.readTitle();
        reader.readIntroduction();
        reader.readLevelTable();
        reader.readQuestion();
        ASSERT_FALSE(reader.atEnd());
        const Question next = reader.readQuestion();
        EXPECT_EQ(next.text, std::string(kBlankLines, ' ') + "Q2 ");
        EXPECT_EQ(reader.lineNumber(), static_cast<int>(7 + kBlankLines + 4));
        EXPECT_TRUE(reader.atEnd());
    }
    {
        SCOPED_TRACE("then the end");
        quiz_test::RepeatingBuf buffer(head, " \r\n", kBlankLines, "");
        std::istream in(&buffer);
        QuizReader reader(in, "test1.txt");
        reader.readTitle();
        reader.readIntroduction();
        reader.readLevelTable();
        reader.readQuestion();
        EXPECT_TRUE(reader.atEnd());
        EXPECT_EQ(reader.lineNumber(), 7);
    }
}

TEST_F(QuizReaderTest, SmallBuffersAndStreamsThatCannotSeekReadAlike) {
    // Blank lines between questions make atEnd look ahead across buffer
    // boundaries; the stream that cannot seek must keep what it looked at.
    std::string quiz = lines(kHead);
    for (int i = 0; i < 50; ++i) {
        quiz += lines({"", " ", std::to_string(i), ".", "A", ",1", "B", ".0"});
    }
    quiz += lines({"", "\t", ""});
    std::istringstream whole(quiz);
    QuizReader reference(whole, "test1.txt");
    const std::string expected = dump(readAll(reference));
    for (const std::size_t bufferSize : {16, 17, 40}) {
        for (const std::size_t step : {0, 1, 7}) {
            SCOPED_TRACE(testing::Message() << "buffer " << bufferSize << ", step " << step);
            std::istringstream seekable(quiz);
            quiz_test::TrickleBuf trickle(quiz, step);
            std::istream trickled(&trickle);
            QuizReader reader(step ? trickled : seekable, "test1.txt", Encoding::Windows1251,
                              bufferSize);
            const ReadQuiz read = readAll(reader);
            EXPECT_EQ(read.questions.size(), 50U);
            EXPECT_EQ(dump(read), expected);
        }
    }
}

TEST_F(QuizReaderTest, SameQuizInEitherEncodingGivesTheSameTexts) {
    const std::string utf8 = quiz::windows1251ToUtf8(kExample);
    const struct {
        const char* name;
        std::string bytes;
        Encoding encoding;
    } cases[] = {
        {"windows_1251", kExample, Encoding::Windows1251},
        {"utf8", utf8, Encoding::Utf8},
        {"utf8_with_byte_order_mark", std::string(quiz::kUtf8ByteOrderMark) + utf8, Encoding::Utf8},
        {"utf8_with_lone_lf",
         quiz::windows1251ToUtf8(
             lines({kCapitals, kHello, "Go!", ".", kGreat, "13", kPoor, "7", ".", kWhere,
                    kMoscow + "?", ".", kYes, ",0", kNo, ",1", kHedgehog, ".0"},
                   "\n")),
         Encoding::Utf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ifstream in(folder_.write("test1.txt", c.bytes), std::ios::binary);
        const Encoding detected = quiz::detectEncoding(in);
        EXPECT_EQ(detected, c.encoding);
        QuizReader reader(in, "test1.txt", detected);
        EXPECT_EQ(dump(readAll(reader)), dump(kExampleRead));
    }
}

TEST_F(QuizReaderTest, ByteOrderMarkIsSkippedOnlyAtTheStartOfAUtf8File) {
    const std::string bom(quiz::kUtf8ByteOrderMark);
    const struct {
        const char* name;
        std::string bytes;
        Encoding encoding;
        std::string title;
        std::string question;
    } cases[] = {
        {"mark_before_the_title", bom + lines({"Тест", ".", ".", "В", ".", "О", ".1"}),
         Encoding::Utf8, "Тест", "В "},
        {"mark_before_a_marker_title", bom + lines({".T", ".", ".", "В", ".", "О", ".1"}),
         Encoding::Utf8, ".T", "В "},
        {"mark_inside_the_text_is_text", lines({"T", ".", ".", bom + "В", ".", "О", ".1"}),
         Encoding::Utf8, "T", "\xEF\xBB\xBFВ "},
        {"windows_1251_reader_keeps_the_bytes", bom + lines({"T", ".", ".", "Q", ".", "A", ".1"}),
         Encoding::Windows1251, "п»їT", "Q "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadQuiz quiz = readFile(c.bytes, c.encoding);
        EXPECT_EQ(quiz.title, c.title);
        ASSERT_EQ(quiz.questions.size(), 1U);
        EXPECT_EQ(quiz.questions[0].text, c.question);
    }
}

TEST_F(QuizReaderTest, UnreadableUtf8BytesBecomeReplacementCharacters) {
    const ReadQuiz quiz =
        readFile(lines({"T\xFF", ".", ".", "Q\xD0", ".", "A", ".1"}), Encoding::Utf8);
    EXPECT_EQ(quiz.title, "T\xEF\xBF\xBD");
    EXPECT_EQ(quiz.questions.at(0).text, "Q\xEF\xBF\xBD ");
}

TEST_F(QuizReaderTest, AtEndSeesPastAByteOrderMarkBeforeNothing) {
    std::istringstream in(std::string(quiz::kUtf8ByteOrderMark) + "\r\n \r\n");
    QuizReader reader(in, "test1.txt", Encoding::Utf8);
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(QuizReaderTest, Utf8ErrorsNameTheSameLinesAsWindows1251) {
    for (const ErrorCase& c : kErrorCases) {
        // A mark alone is a file with an empty title.
        if (c.bytes.empty()) continue;
        SCOPED_TRACE(c.name);
        std::ifstream in(folder_.write("test2.txt", std::string(quiz::kUtf8ByteOrderMark) +
                                                        quiz::windows1251ToUtf8(c.bytes)),
                         std::ios::binary);
        QuizReader reader(in, "test2.txt", quiz::detectEncoding(in));
        try {
            readAll(reader);
            ADD_FAILURE() << "no error";
        } catch (const QuizError& error) {
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(error.lineText(), c.lineText);
        }
    }
}

struct BundledQuiz {
    const char* fileName;
    std::size_t questions;
};

TEST(BundledQuizzesTest, EachReadsCleanlyToItsEnd) {
    const std::string source = QUIZ_SOURCE_DIR;
    const BundledQuiz quizzes[] = {{"test1.txt", 15}, {"test2.txt", 10}, {"test3.txt", 15}};
    for (const BundledQuiz& bundled : quizzes) {
        SCOPED_TRACE(bundled.fileName);
        std::ifstream in(source + "/quizzes/" + bundled.fileName, std::ios::binary);
        ASSERT_TRUE(in.is_open());
        EXPECT_EQ(quiz::detectEncoding(in), Encoding::Windows1251);
        QuizReader reader(in, bundled.fileName);
        ReadQuiz quiz;
        try {
            quiz = readAll(reader);
        } catch (const QuizError& error) {
            FAIL() << error.what();
        }
        EXPECT_FALSE(quiz.title.empty());
        EXPECT_FALSE(quiz.introduction.empty());
        ASSERT_EQ(quiz.levels.size(), 4U);
        for (std::size_t i = 1; i < quiz.levels.size(); ++i) {
            EXPECT_LT(quiz.levels[i].minScore, quiz.levels[i - 1].minScore) << "row " << i + 1;
        }
        EXPECT_EQ(quiz.levels.back().minScore, 0);
        EXPECT_EQ(quiz.questions.size(), bundled.questions);
        for (std::size_t n = 0; n < quiz.questions.size(); ++n) {
            int right = 0;
            for (const Answer& answer : quiz.questions[n].answers) right += answer.points;
            EXPECT_EQ(right, 1) << "question " << n + 1 << ": " << quiz.questions[n].text;
            EXPECT_GE(quiz.questions[n].answers.size(), 2U) << "question " << n + 1;
        }
    }
}

}  // namespace
