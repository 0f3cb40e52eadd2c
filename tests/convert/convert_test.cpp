// The converters as tables of input bytes and the questions or FILE:LINE problems they give; quizedit --convert as an
// author runs it (arguments, report, status, the file written or not); the sample sheet converted and played.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "convert/convert.h"
#include "game/game.h"
#include "quiz/encoding.h"
#include "quizedit/command_line.h"
#include "support/fake_form.h"
#include "support/support.h"

namespace {

using testing_support::crlf;
using testing_support::toWindows1251;

std::string joined(const std::vector<quiz::DocLine>& lines) {
    std::string text;
    for (const quiz::DocLine& line : lines) text += (text.empty() ? "" : " / ") + line.text;
    return text;
}

// Each question as "LINE: text = answer | right* | answer", each problem as "LINE «line»: message".
std::string render(const convert::Questions& read) {
    std::string out;
    for (const convert::Problem& p : read.problems)  // appended piece by piece: GCC 12 misreads "…" + string
        out.append(std::to_string(p.line)).append(p.lineText ? " «" + *p.lineText + "»" : "").append(": ")
            .append(p.message).append("\n");
    for (const quiz::DocQuestion& q : read.questions) {
        out.append(std::to_string(q.lines.at(0).sourceLine)).append(": ").append(joined(q.lines)).append(" =");
        for (const quiz::DocAnswer& a : q.answers) out.append(" ").append(joined(a.lines)).append(a.right ? "* |" : " |");
        out.pop_back(), out.back() = '\n';
    }
    return out;
}

// UTF-16 little-endian with its mark, as Excel's "Unicode text" is saved.
std::string utf16(std::string_view utf8) {
    std::string out = "\xFF\xFE";
    for (std::size_t n; !utf8.empty(); utf8.remove_prefix(n)) {
        n = quiz::utf8CharacterLength(utf8);
        const char32_t c = quiz::utf8CodePoint(utf8.substr(0, n));
        const auto unit = [&out](char32_t u) { out += static_cast<char>(u & 0xFF), out += static_cast<char>(u >> 8); };
        if (c < 0x10000) unit(c); else unit(0xD800 + ((c - 0x10000) >> 10)), unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    return out;
}

struct Case {
    const char* name;
    convert::Questions (*read)(std::string_view);
    std::string bytes, questions;  // "…" stands for the rest of a line
};

const std::string kAnyKind = "вопрос такого вида игра не задаёт: ";

const Case kCases[] = {
    {"russian_excel_csv", convert::readSpreadsheet, toWindows1251(
     "Вопрос;1;2;3;4;Верный\r\nСтолица?;Москва;Киев;;;А\r\n\"Два\nряда; и \"\"кавычки\"\"\";а;\"б\r\nв\";в;г;4\r\n;;;\r\n"),
     "2: Столица? = Москва* | Киев\n3: Два / ряда; и \"кавычки\" = а | б / в | в | г*\n"},
    {"google_csv_without_header_or_final_end", convert::readSpreadsheet, "Q1,A,B,2\nQ2,\"x,y\",B,C,D,d",
     "1: Q1 = A | B*\n2: Q2 = x,y | B | C | D*\n"},
    {"excel_utf8_with_a_mark_and_latin_b", convert::readSpreadsheet, "\xEF\xBB\xBFQ;A;B;C;b\r\nQ;A;B;C;В\r\n",
     "1: Q = A | B* | C\n2: Q = A | B | C*\n"},
    {"unicode_text_is_utf16_with_tabs", convert::readSpreadsheet, utf16("Вопрос\tОтвет\tПравильный\r\nЁж? 🦔\tДа\tНет\t2\r\n"),
     "2: Ёж? 🦔 = Да | Нет*\n"},
    {"rows_that_cannot_be_questions", convert::readSpreadsheet,
     "Q;A;B;1\r\nQ;A;B;C;D;E;1\r\nQ;A;3\r\nQ;A;;B;2\r\nQ;A;Z\r\nQ;2\r\n;A;1\r\n\"open;A;1\r\n",
     "2 «Q;A;B;C;D;E;1»: 5 ответов, а у вопроса в игре их не больше четырёх\n3 «Q;A;3»: правильный ответ — 3-й, а "
     "ответов в строке 1\n4 «Q;A;;B;2»: правильный ответ — 2-й, а этот ответ пустой\n5 «Q;A;Z»: в последней ячейке не "
     "номер правильного ответа (от 1 до 4) и не его буква (А, Б, В, Г или A, B, C, D): «Z»\n6 «Q;2»: в строке нет "
     "ответов…\n7 «;A;1»: нет текста вопроса: первая ячейка пустая\n8 «\"open;A;1»: кавычка, которой начинается ячейка, "
     "не закрыта до конца файла\n1: Q = A* | B\n"},
    {"utf16_cut_short_by_a_byte", convert::readSpreadsheet, utf16("Q\tA\tB\t2\r\nЁж\tДа") + "\x04",
     "2 «Ёж\tДа\uFFFD»: в строке нет ответов…\n1: Q = A | B*\n"},
    {"empty_sheet", convert::readSpreadsheet, "\r\n;;\r\n", "0: в таблице нет ни одного вопроса\n"},
    {"aiken", convert::readAiken, toWindows1251("Где Нил?\nЕгипет или нет\nA. Африка\nB) Европа\nANSWER: A\n\n"
     "Q2\nANSWERS?\nA. x\nB. y\nC.\nD. w\nANSWER:D\nQ3\nb) is text\nA. a\nB. b\nANSWER\tA\n"),
     "1: Где Нил? / Египет или нет = Африка* | Европа\n7: Q2 / ANSWERS? = x | y |  | w*\n14: Q3 / b) is text = a* | b\n"},
    {"aiken_problems", convert::readAiken, "A. first\nQ\nA. a\nC. c\nANSWER: A\nQ\nA. a\nANSWER: A\nQ\nA. a\nB. b\n"
     "ANSWER: C\nQ\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: A\nQ\nA. a\nB. b\nANSWER: AB\nQ\nA. a\nB. b\nANSWER: b\n"
     "Q\nA. a\nB. b\n",
     "1 «A. first»: вариант ответа до текста вопроса\n4 «C. c»: варианты ответа идут по порядку A, B, C, D, а здесь "
     "ожидался B\n6 «Q»: у вопроса меньше двух вариантов ответа\n12 «ANSWER: C»: ANSWER называет вариант, которого у "
     "вопроса нет\n18 «E. e»: пятый вариант ответа: у вопроса в игре их не больше четырёх (A, B, C, D)\n23 «ANSWER: AB»: "
     "ANSWER называет вариант, которого у вопроса нет\n27 «ANSWER: b»: ANSWER называет…\n28 «Q»: у вопроса нет строки "
     "«ANSWER: X» с буквой правильного ответа\n"},
    {"gift", convert::readGift, "// comment\n$CATEGORY: geo\n\n::T1::[html]Где \\{Нил\\}?\nв Африке? {\n=Да # верно\n"
     "~Нет\n~Не \\= знаю \\~\n}\n\nЗемля плоская.{FALSE#нет}\n\n2 \\: 2 {=4 ~5\n//c\n~\\n6 ####всё}\n",
     "4: Где {Нил}? / в Африке? = Да* | Нет | Не = знаю ~\n11: Земля плоская. = Верно | Неверно*\n13: 2 : 2 = 4* | 5 | 6\n"},
    {"gift_kinds_the_game_cannot_ask", convert::readGift, "Q {=a ~%50%b}\n\nQ {=a =b ~c}\n\nQ {=a ~b ~c ~d ~e}\n\n"
     "Q {=a =b}\n\nQ {#5:1}\n\nQ {=a -> b ~c -> d}\n\nQ {}\n\nQ {=a ~b} more\n\nJust text\n\n::T Q {=a ~b}\n\nQ {=a ~b",
     "1 «Q {=a ~%50%b}»: " + kAnyKind + "ответы с весами (%50%)…\n3 «Q {=a =b ~c}»: " + kAnyKind + "несколько верных "
     "ответов…\n5 «Q {=a ~b ~c ~d ~e}»: " + kAnyKind + "больше четырёх ответов…\n7 «Q {=a =b}»: " + kAnyKind + "короткий "
     "ответ…\n9 «Q {#5:1}»: " + kAnyKind + "числовой ответ ({#…})…\n11 «Q {=a -> b ~c -> d}»: " + kAnyKind + "на "
     "соответствие (->)…\n13 «Q {}»: " + kAnyKind + "эссе ({})…\n15 «Q {=a ~b} more»: " + kAnyKind + "пропуск в тексте…\n"
     "17 «Just text»: " + kAnyKind + "описание без ответов…\n19 «::T Q {=a ~b}»: название вопроса «::» не закрыто вторым "
     "«::»\n21 «Q {=a ~b»: фигурная скобка с ответами не закрыта\n"},
};

TEST(Convert, SheetsAikenAndGiftGiveTheirQuestionsOrProblemsAtTheirLines) {
    for (const Case& c : kCases) {
        const std::string out = render(c.read(c.bytes));
        EXPECT_TRUE(testing_support::matches(out, c.questions)) << c.name << "\n" << out;
    }
}

TEST(Convert, KindIsToldByNameOrContent) {
    const std::pair<std::string, std::string> files[] = {
        {"a.CSV", "whatever"}, {"a.gift", "Q"}, {"a.txt", crlf("T|.|.|Q|.|A|.1")}, {"a.txt", "Q\nA. a\nANSWER: A"},
        {"a.txt", "::T:: Q {=a ~b}"}, {"a.txt", "Q;A;B;1"}, {"a.txt", "just words"}};
    std::string kinds;
    for (const auto& [name, bytes] : files) kinds += std::to_string(static_cast<int>(convert::guessKind(name, bytes).value_or(convert::Kind(9))));
    EXPECT_EQ(kinds, "1302319");  // Quiz 0, Csv 1, Aiken 2, Gift 3, none 9
}

// quizedit as an author runs it: "{in}" files in a folder, the arguments, and what it says and writes.
struct Invocation {
    const char* name;
    std::vector<std::string> args;
    std::string input, out, err = "";
    int status = 0;
    std::string written = "";  // "…" for anything; empty: nothing written
};

const std::string kQuiz = toWindows1251(crlf("Т|П|.|В|1|.|Вопрос|.|Да|.1"));

const Invocation kRuns[] = {
    {"quiz_to_itself", {"--convert", "in.txt", "--output", "out.txt"}, kQuiz,
     "out.txt:4: …\n    «В»\nout.txt:6: …\n    «.»\nout.txt: кодировка Windows-1251, вопросов: 1, …\n", "", 0, kQuiz},
    {"quiz_to_utf8_with_a_title", {"--convert=in.txt", "--output=out.txt", "--from", "quiz", "--encoding=utf-8",
     "--title", "Новое"}, kQuiz, "out.txt:4: …\n    «В»\nout.txt:6: …\n    «.»\nout.txt: кодировка UTF-8, …\n", "", 0, crlf("Новое|П|.|В|1|.|Вопрос|.|Да|.1")},
    {"broken_quiz_as_the_game_says", {"--convert", "in.txt", "--output", "out.txt", "--from", "quiz"}, crlf("Т|.|.|В|.|Да|,7"),
     "in.txt:7: ошибка: вопрос 1, ответ A: ожидалась строка ответа с точкой или запятой и цифрой 0 или 1\n    «,7»\n", "", 1},
    {"character_windows_1251_cannot_hold", {"--convert", "in.txt", "--output", "out.txt", "--from", "gift"},
     "Эмодзи?\n{=😀 ~нет}", "in.txt:2: ошибка: вопрос 1, ответ A: символ «😀» (U+1F600) нельзя записать в кодировке "
     "Windows-1251: замените его или сохраните файл в UTF-8\n    «😀»\n", "", 1},
    {"a_text_that_would_read_as_a_marker", {"--convert", "in.csv", "--output", "out.txt", "--encoding", "utf-8"},
     "Платформа?;.NET;Java;1", "in.csv:1: предупреждение: вопрос 1, ответ A: строка начинается с «.»…\n    «.NET»\n…", "", 0,
     "…"},
    {"missing_input", {"--convert", "none.csv", "--output", "out.txt"}, "", "none.csv: ошибка: файл не найден\n", "", 1},
    {"kind_unknown", {"--convert", "in.txt", "--output", "out.txt"}, "just words", "in.txt: ошибка: не удалось понять…\n", "", 1},
    {"usage_mistakes", {"--convert", "in.txt"}, "", "", "quizedit: не указано, куда записать: --output ВЫХОД\nСправка: "
     "quizedit --help\n", 2},
    {"unknown_kind_named", {"--convert", "in.txt", "--output", "o", "--from", "xls"}, "", "", "quizedit: неизвестный вид "
     "«xls»: quiz, csv, aiken или gift\n…", 2},
    {"help", {"--output", "x", "--help"}, "", "Использование:\n…", "", 0},
    {"output_without_convert", {"--output", "x"}, "", "", "quizedit: --output, --from, --encoding и --title нужны "
     "только вместе с --convert\nСправка: quizedit --help\n", 2},
    {"options_without_convert", {"file.txt", "--encoding", "utf-8"}, "", "", "quizedit: --output, --from, --encoding и "
     "--title нужны только вместе с --convert\n…", 2},
};

TEST(Quizedit, ConvertsOrSaysWhyAndWritesNothing) {
    for (const Invocation& run : kRuns) {
        SCOPED_TRACE(run.name);
        testing_support::TempFolder folder;
        folder.write(run.args.size() > 1 && run.args[1].ends_with(".csv") ? "in.csv" : "in.txt", run.input);
        std::ostringstream out, err;
        const auto parsed = quizedit::parseCommandLine(run.args, out, err);
        const int status = std::holds_alternative<int>(parsed)
                               ? std::get<int>(parsed) : quizedit::runConvert(std::get<quizedit::Command>(parsed), folder.path(), out);
        EXPECT_EQ(status, run.status);
        EXPECT_TRUE(testing_support::matches(out.str(), run.out)) << out.str();
        EXPECT_TRUE(testing_support::matches(err.str(), run.err)) << err.str();
        const bool written = std::filesystem::exists(folder.path() / "out.txt");
        EXPECT_EQ(written, !run.written.empty());
        if (written) {
            EXPECT_TRUE(testing_support::matches(folder.read("out.txt"), run.written));
        }
    }
    std::ostringstream out, err;
    const auto window = quizedit::parseCommandLine({"test1.txt"}, out, err);
    ASSERT_TRUE(std::holds_alternative<quizedit::Command>(window)) << err.str();
    EXPECT_EQ(std::get<quizedit::Command>(window).mode, quizedit::Command::Mode::Window) << "a quiz to open";
}

// The sample sheet of README: converted, it is checked clean and plays to the results screen, every answer right.
TEST(Quizedit, SampleSheetConvertsToAQuizThatPlays) {
    testing_support::TempFolder folder;
    std::ostringstream out, err;
    const std::string sheet = QUIZ_SOURCE_DIR "/data/examples/questions.csv";
    const auto command = std::get<quizedit::Command>(quizedit::parseCommandLine({"--convert", sheet, "--output", "quiz.txt"}, out, err));
    ASSERT_EQ(quizedit::runConvert(command, folder.path(), out), 0) << out.str();
    EXPECT_TRUE(testing_support::matches(out.str(), "quiz.txt:5: …\n    «Превосходно! Все ответы верные.»\nquiz.txt: кодировка Windows-1251, вопросов: 10, игра закончится экраном результатов\n"))
        << out.str();
    std::ifstream sheetFile(sheet, std::ios::binary);
    const std::string sheetBytes{std::istreambuf_iterator<char>(sheetFile), {}};
    const convert::Questions questions = convert::readSpreadsheet(sheetBytes);
    testing_support::FakeForm form;
    game::Game game(form, game::GivenQuiz{folder.path() / "quiz.txt"});
    form.start(game);
    form.click(game, window::Command1);
    for (const quiz::DocQuestion& q : questions.questions) {
        const auto right = std::find_if(q.answers.begin(), q.answers.end(), [](const quiz::DocAnswer& a) { return a.right; });
        std::string shown;
        for (const quiz::DocLine& line : q.lines) shown += line.text + " ";
        EXPECT_EQ(form.state(window::Label2).caption, shown);
        ASSERT_TRUE(form.click(game, window::option(static_cast<int>(right - q.answers.begin()) + 1)));
        form.click(game, window::Command1);
    }
    EXPECT_EQ(form.title(), "РЕЗУЛЬТАТ");
    EXPECT_FALSE(form.ended());
}

}  // namespace
