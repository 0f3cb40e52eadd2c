// The quiz file reader, its line splitter and the encodings: file bytes -> what is read, or the error's line and cause.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include <fcntl.h>

#include "quiz/encoding.h"
#include "quiz/input_file.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_reader.h"
#include "support/support.h"

namespace {

using quiz::Encoding;
using testing_support::crlf;

// Everything read, one item a line: "T title", "I intro", "L verdict=min",
// "Q text", "A text=points"; or "error <line> «quoted line»" and the message.
// The questions are read into one object, as the game's check reads them.
std::string readBytes(const std::string& bytes, Encoding encoding = Encoding::Windows1251) {
    std::istringstream in(bytes);
    quiz::QuizReader reader(in, "test1.txt", encoding);
    try {
        std::string out = "T " + reader.readTitle();
        out += "\nI " + reader.readIntroduction() + "\n";
        for (const auto& r : reader.readLevelTable()) out += "L " + r.text + "=" + std::to_string(r.minScore) + "\n";
        quiz::Question q;
        while (!reader.atEnd()) {
            reader.readQuestion(q);
            out += "Q " + q.text + "\n";
            for (const auto& a : q.answers) out += "A " + a.text + "=" + std::to_string(a.points) + "\n";
        }
        return out;
    } catch (const quiz::QuizError& e) {
        return "error " + std::to_string(e.line()) + (e.hasLineText() ? " «" + e.lineText() + "»" : "") + "\n" +
               e.what();
    }
}

// `read`: what is read; for an error, its first line and a part of the message.
struct Case { std::string name, bytes, read; Encoding encoding = Encoding::Windows1251; };
const std::string kBom(quiz::kUtf8ByteOrderMark);

const std::string kExampleUtf8 = crlf("Столицы|Привет|Go!|.|Top|13|Low|-7|.|Где|Москва?|.|Да|,0|Нет|,1|Ёж|.0");
const std::string kExample = testing_support::toWindows1251(kExampleUtf8), kLongTail = " и ещё много слов после",
                  kExampleRead =
    "T Столицы\nI Привет\r\nGo!\r\n\nL Top=13\nL Low=-7\nQ Где Москва? \nA Да =0\nA Нет =1\nA Ёж =0\n";

const Case kCases[] = {
    {"layout_example", kExample, kExampleRead}, {"utf8_twin", kExampleUtf8, kExampleRead, Encoding::Utf8},
    {"utf8_twin_with_a_mark", kBom + kExampleUtf8, kExampleRead, Encoding::Utf8},
    {"utf8_skips_only_a_leading_mark_and_replaces_bad_bytes", kBom + crlf(".T|.|.|" + kBom + "Q|.|A\xFF|.1"),
     "T .T\nI \nQ " + kBom + "Q \nA A\xEF\xBF\xBD =1\n", Encoding::Utf8},
    {"mark_read_as_windows_1251", kBom + crlf("T|.|.|Q|.|A|.1"), "T \xD0\xBF\xC2\xBB\xD1\x97T\nI \nQ Q \nA A =1\n"},
    {"utf8_mark_is_not_a_line", kBom, "error 2\nвступления", Encoding::Utf8},
    {"every_line_end_and_no_final_one", "T\n.\r.\r\nQ\n\n.\rA\r\n.1", "T T\nI \nQ Q  \nA A =1\n"},
    {"cr_cr_lf_is_an_empty_line", "T\r\r\n.\r\n.\r\nQ\r\n.\r\n.1", "T T\nI \r\n\nQ Q \nA =1\n"},
    {"markers_decide_by_first_character_only", crlf(".T|,i|. rest|,v|2|.x|,q|.|A|,1 z|B|.0 z"),
     "T .T\nI ,i\r\n\nL ,v=2\nQ ,q \nA A =1\nA B =0\n"},
    {"blank_only_lines_inside_are_content_after_the_end_ignored",
     crlf("T|.|.| |Q|.|A|.1||Q2|.|B|.0| |\t|"), "T T\nI \nQ   Q \nA A =1\nQ  Q2 \nA B =0\n"},
    {"four_rows_and_a_score_line_with_a_point_ends_the_table", crlf("T|.|a|1|b|2|c|3|d|.5|Q|.|A|.1"),
     "T T\nI \nL a=1\nL b=2\nL c=3\nL d=0\nQ Q \nA A =1\n"},
    {"four_answers_and_empty_texts", crlf("T|.|.|.|,0|,1|,0|.0"), "T T\nI \nQ \nA =0\nA =1\nA =0\nA =0\n"},
    {"nothing_of_one_question_carries_over_to_the_next", crlf("T|.|.|Q1|.|a|,1|b|,0|c|,1|d|.0|.|.1|Q3|q|.|x|,0|.0"),
     "T T\nI \nQ Q1 \nA a =1\nA b =0\nA c =1\nA d =0\nQ \nA =1\nQ Q3 q \nA x =0\nA =0\n"},
    {"no_questions", crlf("T|.|.||"), "T T\nI \n"}, {"empty_file", "", "error 1\nзаголовка"},
    {"undefined_byte_is_a_replacement", crlf("\x98|.|.|Q|.|A|.1"), "T \xEF\xBF\xBD\nI \nQ Q \nA A =1\n"},
    {"ends_in_introduction", crlf("T|i"), "error 3\nвступления"},
    {"ends_before_minimum", crlf("T|.|V"), "error 4\nнаименьшим"},
    {"ends_in_level_table", crlf("T|.|V|5"), "error 5\nстрока оценки"},
    {"ends_in_a_question", crlf("T|.|.|Q"), "error 5\nвопрос 1: файл закончился, а ожидалась строка текста"},
    {"ends_after_a_comma_marker", crlf("T|.|.|Q|.|A|,1||"), "error 7 «,1»\nвопрос 1, ответ A: строка, закрывающая "
     "последний ответ вопроса, должна начинаться с точки, а эта начинается с запятой, а после неё файл закончился"},
    {"last_answer_ended_with_a_comma", crlf("T|.|.|Q|.|A|,0|B|,1|Q2|.|C|.1"), "error 9 «,1»\nответ Б: строка, "
     "закрывающая последний ответ вопроса, должна начинаться с точки, а эта начинается с запятой, и текст "
     "следующего вопроса читается как ещё один ответ"},
    {"comma_marker_quoted_decoded", testing_support::toWindows1251(crlf("T|.|.|Q|.|A|,0|B|,1 ёж|Q2|.|C|.1")),
     "error 9 «,1 ёж»\nответ Б: строка, закрывающая последний ответ"},
    {"long_comma_marker_quoted_decoded",
     testing_support::toWindows1251(crlf("T|.|.|Q|.|A|,0 ё|B|,1" + kLongTail + "|Q2|.|C|.1")),
     "error 9 «,1" + kLongTail + "»\nответ Б: строка, закрывающая последний ответ"},
    {"comma_marker_quoted_at_the_end_of_the_file", crlf("T|.|.|Q|.|A|,0|B|,1 \xD1\x91|"),
     "error 9 «,1 ё»\nа после неё файл закончился", Encoding::Utf8},
    {"marker_without_points_quoted_decoded", testing_support::toWindows1251(crlf("T|.|.|Q|.|A|. ёж")),
     "error 7 «. ёж»\nцифрой 0 или 1"},
    {"long_marker_without_points_quoted_decoded", testing_support::toWindows1251(crlf("T|.|.|Q|.|A|." + kLongTail)),
     "error 7 «." + kLongTail + "»\nцифрой 0 или 1"},
    {"last_marker_without_its_digit", crlf("T|.|.|Q|.|A|,0|B|.|Q2|.|C|.1"), "error 9 «.»\nответ Б: ожидалась строка"},
    {"introduction_not_closed", crlf("T|Hi|Top|13|Low|5|.|Q|.|A|.1"), "error 3 «Top»\nвступление, похоже, не "
     "закрыто строкой с точкой: с этой строки идут оценки и числа баллов"},
    {"line_longer_than_a_megabyte", crlf("T|.|.|Q|.") + "A" + std::string(quiz::kMaxLineBytes, 'a') + "\r\n.1",
     "error 6 «A" + std::string(255, 'a') + "»\nстрока длиннее 1 МиБ"},
    {"longest_line_allowed", "T\n.\n.\nQ\n.\n" + std::string(quiz::kMaxLineBytes, 'a') + "\n.1",
     "T T\nI \nQ Q \nA " + std::string(quiz::kMaxLineBytes, 'a') + " =1\n"},
    {"text_after_the_last_question", crlf("T|.|.|Q|.|A|.1||more|text"), "error 9 «more»\nлишний текст"},
    {"marker_after_the_last_question", crlf("T|.|.|Q|.|A|.1|.|A"), "error 8 «.»\nлишний текст"},
    {"fifth_level_row", crlf("T|.|a|5|b|4|c|3|d|2|e|1|."), "error 11 «e»\nбольше четырёх"},
    {"minimum_not_a_number", crlf("T|.|V|12abc|."), "error 4 «12abc»\nцелое число"},
    {"minimum_empty", crlf("T|.|V||."), "error 4 «»\nцелое число"},
    {"points_2", crlf("T|.|.|Q|.|A|,2"), "error 7 «,2»\nцифрой 0 или 1"},
    {"minimum_above_range", crlf("T|.|V|32768|."), "error 4 «32768»\nвне допустимых"},
    {"minimum_rounded_out_of_range", crlf("T|.|V|-32768.6|."), "error 4 «-32768.6»\nвне допустимых"},
    {"points_missing", crlf("T|.|.|Q|.|A|."), "error 7 «.»\nцифрой 0 или 1"},
    {"points_after_a_blank", crlf("T|.|.|Q|.|A|. 1"), "error 7 «. 1»\nцифрой 0 или 1"},
    {"fifth_answer", crlf("T|.|.|Q|.|a|,0|b|,0|c|,0|d|,1|e|.0"), "error 13 «,1»\nчетвёртый"},
    {"message_names_file_and_line_and_quotes_it", crlf("T|.|.|Q|.|A|,0|B|,5"), "error 9 «,5»\ntest1.txt, строка 9: "
     "вопрос 1, ответ Б: ожидалась строка ответа с точкой или запятой и цифрой 0 или 1\nСтрока: «,5»"},
    {"controls_quoted_as_codes", crlf("T|.|.|Q|.|A|,\x1B\xC2\x85"), "error 7 «,\x1B\xC2\x85»\nСтрока: «,\\x1B\\x85»",
     Encoding::Utf8},
    {"second_question_counts_lone_ends", "T\n.\r.\r\nQ\n.\rA\n,1\nB\r.0\rQ2\r\n.\nA\n.7", "error 13 «.7»\nцифрой"},
};

TEST(Reader, ReadsEachRuleOfTheFormatAndReportsEachFaultAtItsLine) {
    for (const Case& c : kCases) {
        const std::string read = readBytes(c.bytes, c.encoding);
        const std::size_t head = c.read.find('\n') + 1, npos = std::string::npos;  // an error's first line: whole
        if (!c.read.starts_with("error ")) EXPECT_EQ(read, c.read) << c.name;
        else EXPECT_TRUE(read.starts_with(c.read.substr(0, head)) && read.find(c.read.substr(head), head) != npos &&
                         (read.find("\nСтрока: «") != npos) == (c.read.find("«") != npos)) << c.name << "\n" << read;
    }
}

// The line last read, decoded, after each question and after the fault that
// ends the file, as the game and quizcheck show it.
TEST(Reader, KeepsTheLineLastReadDecoded) {
    const std::string tail = "ответ верный, и это длинная строка";
    const std::pair<std::string, std::string> cases[] = {
        {crlf("T|.|.|Q|.|A|.1 ёж|Q2|.|B|,0|C|.0 да"), "7 .1 ёж|13 .0 да|"},
        {crlf("T|.|.|Q|.|A|.1 " + tail + "|Q2|.|B|.1 ё"), "7 .1 " + tail + "|11 .1 ё|"},
        {crlf("T|.|.|Q|.|A|.1|Q2|.|B|,1 ё"), "7 .1|error 11 ,1 ё|"},
        {crlf("T|.|.|Q|.|A|.1|Q2|.|B|,1 ё|текст"), "7 .1|error 12 текст|"},
        {crlf("T|.|.|Q|.|A|.0|Q2|.|B|.2 ё|"), "7 .0|error 11 .2 ё|"},
    };
    for (const auto& [utf8, read] : cases) {
        std::istringstream in(testing_support::toWindows1251(utf8));
        quiz::QuizReader reader(in, "test1.txt");
        reader.readTitle(), reader.readIntroduction(), reader.readLevelTable();
        std::string out;
        try {
            for (quiz::Question q; !reader.atEnd(); out += "|") {
                reader.readQuestion(q);
                out += std::to_string(reader.lineNumber()) + " " + reader.currentLine();
            }
        } catch (const quiz::QuizError& e) {
            out += "error " + std::to_string(reader.lineNumber()) + " " + reader.currentLine() + "|";
        }
        EXPECT_EQ(out, read) << utf8;
    }
}

// What an observer hears of each line: "number part question.item text|ignored end", the ignored part
// after "|", the line end as r, n, rn or none.
struct Heard final : quiz::ReadObserver {
    std::string lines;
    void lineRead(const quiz::ReadLine& l) override {
        const std::string_view end = l.end == quiz::LineEnd::CrLf ? "rn" : l.end == quiz::LineEnd::Lf ? "n"
                                     : l.end == quiz::LineEnd::Cr ? "r" : "none";
        const std::size_t kept = l.ignoredFrom == l.bytes.size() ? l.text.size() : l.ignoredFrom;
        lines += std::to_string(l.number) + " " + std::to_string(static_cast<int>(l.part)) + " " +
                 std::to_string(l.question) + "." + std::to_string(l.item) + " " +
                 std::string(l.text.substr(0, kept)) + "|" + std::string(l.text.substr(kept)) + " " +
                 std::string(end) + (l.bytes == l.text ? "" : " bytes") + "\n";
    }
};

TEST(Reader, TellsAnObserverWhatEachLineIs) {
    std::istringstream in(testing_support::toWindows1251("Т\r.в\nОк\n 5\n.\r\nQ\n. x\nA\n,1 z\nB\n.0\n \n\n"));
    Heard heard;
    quiz::QuizReader reader(in, "test1.txt", Encoding::Windows1251, quiz::LineSource::kDefaultBufferSize, &heard);
    reader.readTitle(), reader.readIntroduction(), reader.readLevelTable(), reader.readQuestion();
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(heard.lines, "1 0 -1.-1 Т| r bytes\n2 2 -1.-1 .|в n bytes\n3 3 -1.0 Ок| n bytes\n4 4 -1.0  5| n\n"
                           "5 5 -1.1 .| rn\n6 6 0.-1 Q| n\n7 7 0.-1 .| x n\n8 8 0.0 A| n\n9 9 0.0 ,1| z n\n"
                           "10 8 0.1 B| n\n11 9 0.1 .0| n\n12 10 -1.-1 |  n\n13 10 -1.-1 | n\n");
}

TEST(Reader, MessageQuotesALongLineShortened) {
    const std::string read = readBytes(crlf("T|.|V|" + std::string(5000, '7') + "|."));
    const std::string message = read.substr(read.find('\n'));  // past the quote in full
    EXPECT_TRUE(message.size() < 600 && message.find("Строка: «777") != read.npos && message.ends_with("7…»"))
        << message;
}

TEST(Reader, ConvertsMinimumScoresRoundingHalvesToEven) {
    const std::pair<const char*, int> cases[] = {
        {" \t+4 \t", 4}, {"007", 7}, {"32767", 32767}, {"-32768", -32768}, {"2.5", 2}, {"2.50", 2}, {"3.5", 4},
        {"-2.5", -2}, {"-3.5", -4}, {"2.5000001", 3}, {"3,5", 4}, {" .6", 1}, {"5.", 5}, {"32767.4", 32767},
        {"-32768.5", -32768},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(readBytes(crlf(std::string("T|.|V|") + text + "|.")), "T T\nI \nL V=" + std::to_string(value) + "\n");
}

// Blank lines may be the next question's text or the end: the reader looks
// ahead over them and goes back, on a seekable stream or file without keeping them.
TEST(Reader, LooksFarAheadWithABoundedBufferOrThroughAPipe) {
    const std::string quiz = crlf("T|.|.|Q|.|A|.1") + std::string(1'000'000, '\n') + crlf("Q2|.|B|.0");
    const testing_support::TempFolder folder;
    quiz::FileInput file(::open(folder.write("test1.txt", "skipped" + quiz).c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(file.seek(7));
    enum Way { Seekable, Piped, File };
    for (const Way way : {Seekable, Piped, File}) {
        std::istringstream seekable(quiz);
        testing_support::TrickleBuf trickle(quiz, 7);
        std::istream piped(&trickle);
        auto read = [&] {
            if (way == File) return quiz::QuizReader(file, "test1.txt", Encoding::Windows1251, 64);
            return quiz::QuizReader(way == Piped ? piped : seekable, "test1.txt", Encoding::Windows1251, 64);
        };
        quiz::QuizReader reader = read();
        const auto at = [&] { return std::to_string(reader.lineNumber()) + " " + reader.currentLine(); };
        reader.readTitle(), reader.readIntroduction(), reader.readLevelTable(), reader.readQuestion();
        EXPECT_FALSE(reader.atEnd());
        EXPECT_EQ(at(), "7 .1") << "the line last read is kept over a look ahead";
        EXPECT_EQ(reader.readQuestion().text, std::string(1'000'000, ' ') + "Q2 ");
        EXPECT_TRUE(reader.atEnd());
        EXPECT_EQ(at(), "1000011 .0");
    }
    std::istringstream blanks(std::string(1'000'000, '\n') + "x");
    quiz::LineSource ahead(blanks, 64);
    std::string_view line;
    for (ahead.mark(); ahead.next(line) && line.empty();) {}
    EXPECT_TRUE(line == "x" && ahead.bufferCapacity() <= 4096U) << line << " " << ahead.bufferCapacity();
}

// Lines of every length around the 64 bytes that line ends are found in at
// once, ended every way, through buffers of several sizes and reads of a
// few bytes: the lines a byte-by-byte split gives.
TEST(LineSource, SplitsEveryLayoutAsAByteByByteSplitDoes) {
    const std::string_view ends[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r"};
    std::string bytes;
    for (std::size_t n = 0, i = 0; bytes.size() < 3000; ++i, n = (n * 7 + 13) % 140)
        bytes += std::string(n, static_cast<char>('a' + i % 26)) + std::string(ends[i % std::size(ends)]);
    bytes += "no line end";
    std::vector<std::string> expected;  // "text/end" for each line
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
        const std::size_t endSize = end == bytes.size() ? 0 : bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        expected.push_back(bytes.substr(at, end - at) + "/" + bytes.substr(end, endSize));
        at = end + endSize;
    }
    for (const std::size_t bufferSize : {16, 64, 100, 4096})
        for (const std::size_t step : {1, 5, 64, 4096}) {
            testing_support::TrickleBuf trickle(bytes, step);
            std::istream in(&trickle);
            quiz::LineSource source(in, bufferSize);
            std::vector<std::string> lines;
            for (std::string_view line; source.next(line);)
                lines.push_back(std::string(line) + "/" + std::string(quiz::lineEndBytes(source.lineEnd())));
            EXPECT_EQ(lines, expected) << bufferSize << " " << step;
        }
}

TEST(Encoding, Windows1251TableAgreesWithIconvForEveryByte) {
    std::string bytes;  // all but 0x98, undefined in the code page (undefined_byte_is_a_replacement)
    for (int b = 0; b < 256; ++b) bytes += b == 0x98 ? "" : std::string(1, static_cast<char>(b));
    EXPECT_EQ(testing_support::toWindows1251(quiz::windows1251ToUtf8(bytes)), bytes);
}

TEST(Encoding, Utf8PassesThroughAndReplacesEachMalformedByte) {
    const std::string r(quiz::kReplacementCharacter), plain = "plain Привет € \xF0\x9F\x99\x82";
    const std::pair<std::string, std::string> cases[] = {
        {plain, plain}, {"\x80" "a", r + "a"}, {"a\xD0", "a" + r}, {"\xE2\x82", r + r}, {"\xC0\xAF", r + r},
        {"\xE0\x80\xAF", r + r + r}, {"\xED\xA0\x80", r + r + r}, {"\xF4\x90\x80\x80", r + r + r + r}, {"\xFF", r},
        // a later byte of a sequence that is no continuation byte, below or above the range
        {"\xE2\x82" "a", r + r + "a"}, {"\xE2\x82\xC0", r + r + r}, {"\xF0\x9F\x99" "a", r + r + r + "a"},
        {"\xF0\x9F\x99\xC0", r + r + r + r},
    };
    for (const auto& [bytes, text] : cases) {
        std::string out = "x";
        quiz::appendUtf8Checked(bytes, out);
        EXPECT_EQ(out, "x" + text) << bytes;
    }
}

TEST(Encoding, DetectsUtf8OnlyWhereTheWholeFileIsUtf8AndSeeksBack) {
    const std::string run(65535, 'a');  // one byte short of what the detector reads at once
    std::vector<std::pair<std::string, Encoding>> cases = {
        {"", Encoding::Windows1251}, {"Title\r\n.\r\n", Encoding::Windows1251}, {"Столицы\r\n", Encoding::Utf8},
        {"\xEF\xBB\xBF", Encoding::Utf8}, {"\xEF\xBB\xBF\xCF\xF0", Encoding::Utf8}, {run + "Я", Encoding::Utf8},
        {run + "€", Encoding::Utf8}, {"Привет \xE8", Encoding::Windows1251}, {"Привет \xC0\xAF", Encoding::Windows1251},
        {testing_support::toWindows1251("Ёлка «мир» № 5 — нет… ОТВЕТ, ответ"), Encoding::Windows1251},
    };  // and a letter before a blank is never UTF-8:
    for (int b = 0xC0; b <= 0xFF; ++b) cases.emplace_back(std::string(1, char(b)) + " ", Encoding::Windows1251);
    for (const auto& [bytes, encoding] : cases)
        for (const bool cut : {false, true}) {  // one byte a read: sequences cut across reads
            testing_support::TrickleBuf buf("skipped" + bytes, cut ? 1 : 1 << 20, true);
            std::istream in(&buf);
            EXPECT_EQ(quiz::detectEncoding(in.seekg(7)), encoding) << bytes.substr(0, 40) << cut;
            EXPECT_EQ(in.tellg(), 7) << bytes.substr(0, 40);
        }
    testing_support::TrickleBuf pipe("Привет", 1);
    std::istream unseekable(&pipe);
    EXPECT_THROW(quiz::detectEncoding(unseekable), std::invalid_argument);
    constexpr std::size_t kLimit = 16 << 20;  // README promises it
    for (const std::size_t ascii : {kLimit - 2, kLimit}) {  // a huge file is not read to its end
        std::istringstream in(std::string(ascii, 'a') + "Я");
        const Encoding expected = ascii < kLimit ? Encoding::Utf8 : Encoding::Windows1251;
        EXPECT_TRUE(quiz::detectEncoding(in) == expected && quiz::detectEncoding(in.str()) == expected) << ascii;
    }
}

}  // namespace
