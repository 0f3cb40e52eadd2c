// Quiz documents: every file the game accepts comes back byte for byte; changed and new documents are written as the
// game will read them, or refused at their place; files are replaced whole or not at all.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "quiz/document.h"
#include "quiz/file_write.h"
#include "quiz/input_file.h"
#include "quiz/quiz_error.h"
#include "quiz/writer.h"
#include "support/support.h"

namespace {

using quiz::QuizDocument;
using testing_support::crlf;
namespace fs = std::filesystem;

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The bytes written from the document read from `bytes`; "refused" when the game refuses them.
std::string roundTrip(const std::string& bytes) {
    try {
        const quiz::Written written = quiz::writeDocument(quiz::readDocument(bytes, "q.txt"));
        return written.ok() && written.problems.empty() ? written.bytes : "problems";
    } catch (const quiz::QuizError&) {
        return "refused";
    }
}

TEST(Document, EveryFileTheGameAcceptsComesBackByteForByte) {
    const std::string q = "Q\r\n.\r\nA\r\n.1";
    const std::pair<const char*, std::string> odd[] = {
        {"cr_ends", "T\r.\r.\rQ\r.\rA\r.1\r"}, {"lf_ends_no_final_end", "T\n.\n.\nQ\n.\nA\n,0\nB\n.1"},
        {"mixed_ends", "T\r\n.\n.\r" + q + "\n"}, {"text_after_markers", "T\r\n. intro\r\n. table\r\nQ\r\n.x\r\nA\r\n,0 no\r\n.1 yes\r\n"},
        {"blank_lines_at_the_end", crlf("T|.|.") + q + "\r\n\r\n  \r\n\t\r\n\r\n"},
        {"mark_and_malformed_utf8", "\xEF\xBB\xBFТ\xFF\r\n.\r\n.\r\nQ\xC3\r\n.\r\nA\r\n.1\r\n"},
        {"undefined_byte_of_windows_1251", "T\x98\r\n.\r\n.\r\n\xC2\xEE\xEF\x98\r\n.\r\nA\r\n.1\r\n"},
        {"table_ended_by_a_minimum", crlf("T|Hi|.|Top| 007 |Low|.5|Q|.|A|.1")},
        {"empty_lines_as_content", crlf("T||.|V|0|.||.|,1||.0")},
    };
    for (const auto& [name, bytes] : odd) EXPECT_EQ(roundTrip(bytes), bytes) << name;
    int accepted = 0;
    for (const char* quiz : {"test1.txt", "test2.txt", "test3.txt"}) {
        const std::string bytes = fileBytes(fs::path(QUIZ_SOURCE_DIR) / "quizzes" / quiz);
        EXPECT_EQ(roundTrip(bytes), bytes) << quiz;
    }
    for (const char* corpus : {"fuzz_reader", "fuzz_game"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(QUIZ_SOURCE_DIR) / "fuzz/corpus" / corpus)) {
            std::string bytes = fileBytes(entry.path());
            if (corpus == std::string("fuzz_game") && !bytes.empty()) {  // first byte: the script's length
                const std::size_t script = std::min<std::size_t>(static_cast<unsigned char>(bytes[0]), bytes.size() - 1);
                bytes = bytes.substr(1, bytes.size() - 1 - script);
            }
            const std::string back = roundTrip(bytes);
            if (back == "refused") continue;
            EXPECT_EQ(back, bytes) << entry.path();
            ++accepted;
        }
    }
    EXPECT_GT(accepted, 12);
}

// An edit of a document read from `bytes` (or of an empty one), and what is written: the bytes, or each problem as
// "error|warning LINE (SOURCE LINE) PLACE: MESSAGE".
struct Edit {
    const char* name;
    std::string bytes;
    std::function<void(QuizDocument&)> edit;
    std::string written;
    std::optional<quiz::Encoding> encoding = {};
};

std::string written(const Edit& e) {
    QuizDocument doc = e.bytes.empty() ? QuizDocument{} : quiz::readDocument(e.bytes, "q.txt");
    e.edit(doc);
    const quiz::Written out = quiz::writeDocument(doc, e.encoding);
    std::string problems;
    for (const quiz::WriteProblem& p : out.problems)
        problems += std::string(p.error ? "error " : "warning ") + std::to_string(p.line) + " (" +
                    std::to_string(p.sourceLine) + ") " + quiz::describe(p.place) + ": " + p.message + "\n";
    return out.ok() ? problems + out.bytes : problems;
}

void newQuiz(QuizDocument& d) {
    d.title = {"Реки"}, d.introduction = quiz::docLines("Привет!\nУдачи."), d.verdicts = {{{"Отлично"}, {}, 1}};
    d.questions.resize(1);
    d.questions[0].lines = {{"Самая длинная?"}};
    d.questions[0].answers = {{{{"Нил"}}, true, {}}, {{{".NET"}}, false, {}}};
}

const std::string kGuardedNet = "warning 12 (0) вопрос 1, ответ Б: строка начинается с «.»…\n";
const std::string kSmall = "T\n.\n.\nQ\n.\nA\n.1";  // LF, no final line end

const Edit kEdits[] = {
    {"new_quiz_in_windows_1251_with_cr_lf", "", newQuiz, kGuardedNet + testing_support::toWindows1251(crlf(
     "Реки|Привет!|Удачи.|.|Отлично|1|.|Самая длинная?|.|Нил|,1|\u00A0.NET|.0"))},
    {"the_same_in_utf8_on_request", "", newQuiz, kGuardedNet + crlf("Реки|Привет!|Удачи.|.|Отлично|1|.|Самая длинная?|.|Нил|,1|\u00A0.NET|.0"),
     quiz::Encoding::Utf8},
    {"content_that_would_read_as_a_marker", kSmall, [](QuizDocument& d) {
         d.introduction = {{".intro"}}, d.verdicts = {{{".v"}, {"1"}, 1}};
         d.questions[0].lines = {{".q"}, {",q"}}, d.questions[0].answers[0].lines = {{",a"}};
     }, "warning 2 (0) вступление: строка начинается с «.», и игра приняла бы её за служебную: перед ней записан "
        "неразрывный пробел, чтобы игра показала текст как есть\nwarning 4 (0) оценка 1: строка начинается с «.»…\n"
        "warning 7 (0) вопрос 1, текст вопроса: строка начинается с «.»…\nwarning 10 (0) вопрос 1, ответ A: строка "
        "начинается с «,»…\nT\n\xA0.intro\n.\n\xA0.v\n1\n.\n\xA0.q\n,q\n.\n\xA0,a\n.1"},
    {"character_windows_1251_cannot_hold", crlf("T|.|.|Q|.|A|.1"), [](QuizDocument& d) { d.questions[0].answers[0].lines[0].text = "A 😀"; },
     "error 6 (6) вопрос 1, ответ A: символ «😀» (U+1F600) нельзя записать в кодировке Windows-1251: замените его или "
     "сохраните файл в UTF-8\n"},
    {"no_longer_the_last_line", kSmall, [](QuizDocument& d) { d.questions.push_back(d.questions[0]); },
     "T\n.\n.\nQ\n.\nA\n.1\nQ\n.\nA\n.1"},
    {"changed_lines_keep_what_they_can", "T\r\n.\r\nV\r\n 7 \r\nW\r\n.5\r\nQ\r\n. x\r\nA\r\n.1 y\r\n", [](QuizDocument& d) {
         std::swap(d.verdicts[0], d.verdicts[1]), d.verdicts[0].minScore = 3;
         d.questions[0].answers.insert(d.questions[0].answers.begin(), {{{"N"}}, false, {}});
     }, "T\r\n.\r\nW\r\n3\r\nV\r\n 7 \r\n.\r\nQ\r\n. x\r\nN\r\n,0\r\nA\r\n.1 y\r\n"},
    {"what_the_game_could_not_read", kSmall, [](QuizDocument& d) {
         d.title.text = "a\nb", d.introduction = {{"\xC3"}}, d.verdicts.resize(5), d.questions[0].answers.clear();
     }, "error 1 (1) заголовок: в строке перевод строки: здесь должна быть одна строка\nerror 2 (0) вступление: в тексте "
        "байт, который не составляет символа UTF-8\nerror 12 (0) оценка 5: оценок в "
        "таблице не бывает больше четырёх\nerror 16 (5) вопрос 1, текст вопроса: у вопроса должно быть от одного до "
        "четырёх ответов\n"},
    {"a_broken_byte_in_utf8_too", kSmall, [](QuizDocument& d) { d.introduction = {{"\xC3"}}; },
     "error 2 (0) вступление: в тексте байт, который не составляет символа UTF-8\n", quiz::Encoding::Utf8},
};

TEST(Document, ChangedAndNewDocumentsAreWrittenAsTheGameWillReadThem) {
    for (const Edit& e : kEdits) {
        const std::string out = written(e);
        EXPECT_TRUE(testing_support::matches(out, e.written)) << e.name << "\n" << out;
        std::size_t bytes = 0;  // past the warnings
        while (out.compare(bytes, 8, "warning ") == 0) bytes = out.find('\n', bytes) + 1;
        if (!out.starts_with("error ")) {
            EXPECT_EQ(roundTrip(out.substr(bytes)), out.substr(bytes)) << e.name << ": it reads back as itself";
        }
    }
}

TEST(Document, FilesAreReadThroughOneHandleAndReplacedWholeOrNotAtAll) {
    testing_support::TempFolder folder;
    const fs::path quiz = folder.write("quiz.txt", "old"), other = folder.write("other.txt", "other");
    const quiz::InputFile input = quiz::openInputFile(quiz);  // read a character at a time, then in bulk after a seek
    std::string first;
    ASSERT_TRUE(input.stream && std::getline(*input.stream, first));
    EXPECT_TRUE(first == "old" && input.stream->seekg(1) && quiz::readAtMost(*input.stream, 2) == "ld");
    EXPECT_EQ(quiz::readAtMost(*quiz::openInputFile(other).stream, 4), std::nullopt) << "more than the limit";
    ::chmod(quiz.c_str(), 0640);
    EXPECT_EQ(quiz::writeFileWhole(quiz, "new"), "");
    EXPECT_EQ(folder.read("quiz.txt"), "new");
    struct stat status {};
    EXPECT_TRUE(::stat(quiz.c_str(), &status) == 0 && (status.st_mode & 07777) == 0640);
    fs::create_symlink(other, folder.path() / "link.txt");  // replaced, never written through
    EXPECT_EQ(quiz::writeFileWhole(folder.path() / "link.txt", "mine"), "");
    EXPECT_TRUE(folder.read("other.txt") == "other" && folder.read("link.txt") == "mine" &&
                !fs::is_symlink(folder.path() / "link.txt"));
    EXPECT_TRUE(quiz::writeFileWhole(folder.path() / "no/such/folder.txt", "x").starts_with("не удалось открыть папку"));
    ::chmod(folder.path().c_str(), 0500);
    {
        testing_support::WithoutRootOverrides user;
        EXPECT_TRUE(quiz::writeFileWhole(quiz, "newer").starts_with("не удалось создать временный файл"));
    }
    ::chmod(folder.path().c_str(), 0700);
    EXPECT_EQ(folder.read("quiz.txt"), "new");
    EXPECT_EQ(folder.files(), (std::vector<std::string>{"link.txt", "other.txt", "quiz.txt"}));
}

}  // namespace
