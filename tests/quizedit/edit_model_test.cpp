// The editing model without a window: edits as tables of what the author does and the bytes saved, undone and redone
// back to the original bytes; problems at their places; files opened at the reader's error; recovery copies.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "quizedit/model/edit_model.h"
#include "quizedit/model/opening.h"
#include "quizedit/model/problems.h"
#include "quizedit/model/recovery.h"
#include "support/support.h"

namespace {

using namespace quizedit;
using testing_support::crlf;
using testing_support::toWindows1251;
using Kind = Field::Kind;

// A quiz in Windows-1251: two questions, text after one "." marker and a minimum written " 7 ".
const std::string kQuiz = toWindows1251(crlf("Реки|Привет!|.|Отлично| 7 |Увы|0|. конец|Самая длинная?|.|Нил|,1|Волга|.0|"
                                             "Где Киев?|.|На Днепре|,1 да|На Неве|,0|На Оби|.0"));

// What the author does, and the file then saved (in UTF-8 here for reading; "~" marks CR LF).
struct Edit {
    const char* name;
    std::function<void(EditModel&)> edit;
    std::string saved;
};

std::string shown(const std::string& bytes) {
    std::string text, out;
    quiz::appendDecoded(bytes, quiz::Encoding::Windows1251, text);
    for (std::size_t i = 0; i < text.size(); ++i) {  // appended: GCC 12's restrict warning misfires on replace()
        const bool crlf = text.compare(i, 2, "\r\n") == 0;
        out += crlf ? '~' : text[i];
        i += crlf ? 1 : 0;
    }
    return out;
}

const std::string kHead = "Реки~Привет!~.~Отлично~ 7 ~Увы~0~. конец~";
const std::string kFirst = "Самая длинная?~.~Нил~,1~Волга~.0~";
const std::string kSecond = "Где Киев?~.~На Днепре~,1 да~На Неве~,0~На Оби~.0~";

const Edit kEdits[] = {
    {"nothing", [](EditModel&) {}, kHead + kFirst + kSecond},
    {"an_answer_typed_over_keeps_its_marker", [](EditModel& m) { m.setText({Kind::Answer, 1, 0}, "У Днепра"); },
     kHead + kFirst + "Где Киев?~.~У Днепра~,1 да~На Неве~,0~На Оби~.0~"},
    {"text_changed_and_changed_back", [](EditModel& m) {
         m.setText({Kind::Title, -1, -1}, "Озёра"), m.setText({Kind::Title, -1, -1}, "Реки");
     }, kHead + kFirst + kSecond},
    {"lines_added_to_the_introduction_and_a_question", [](EditModel& m) {
         m.setText({Kind::Introduction}, "Привет!\n\nУдачи."), m.setText({Kind::QuestionText, 0}, "Самая\nдлинная?");
     }, "Реки~Привет!~~Удачи.~.~Отлично~ 7 ~Увы~0~. конец~Самая~длинная?~.~Нил~,1~Волга~.0~" + kSecond},
    {"a_line_break_in_the_title_is_a_blank", [](EditModel& m) { m.setText({Kind::Title}, "Реки\nи озёра"); },
     "Реки и озёра" + kHead.substr(8) + kFirst + kSecond},
    {"right_answer_and_minimum", [](EditModel& m) { m.setRight(0, 1), m.setMinimum(0, 2), m.setMinimum(1, 0); },
     "Реки~Привет!~.~Отлично~2~Увы~0~. конец~Самая длинная?~.~Нил~,0~Волга~.1~" + kSecond},
    {"verdict_rows_added_up_to_the_one_set", [](EditModel& m) { m.setText({Kind::Verdict, -1, 3}, "Ноль") ; },
     "Реки~Привет!~.~Отлично~ 7 ~Увы~0~~0~Ноль~0~. конец~" + kFirst + kSecond},
    {"a_minimum_set_where_the_table_has_no_row", [](EditModel& m) { m.setMinimum(2, -1), m.setMinimum(4, 9); },
     "Реки~Привет!~.~Отлично~ 7 ~Увы~0~~-1~. конец~" + kFirst + kSecond},
    {"answers_added_and_removed", [](EditModel& m) {
         m.addAnswer(0), m.setText({Kind::Answer, 0, 2}, "Дон"), m.removeAnswer(0, 0), m.addAnswer(0), m.addAnswer(0),
             m.addAnswer(0), m.removeAnswer(1, 7);
     }, kHead + "Самая длинная?~.~Волга~,1~Дон~,0~,0~.0~" + kSecond},
    {"questions_inserted_duplicated_moved_removed", [](EditModel& m) {
         m.insertQuestion(0), m.duplicateQuestion(2), m.moveQuestion(2, 1), m.removeQuestion(0), m.moveQuestion(0, 2),
             m.moveQuestion(0, 5), m.removeQuestion(9);
     }, kHead + kFirst + kSecond + kSecond},
    {"a_new_question_at_the_end", [](EditModel& m) { m.insertQuestion(2), m.setText({Kind::QuestionText, 2}, "Новый"); },
     kHead + kFirst + kSecond + "Новый~.~,1~,0~,0~.0~"},
    {"the_last_question_and_answer_stay", [](EditModel& m) {
         m.removeQuestion(1), m.removeQuestion(0), m.removeAnswer(0, 1), m.removeAnswer(0, 0);
     }, kHead + "Самая длинная?~.~Нил~.1~"},
};

TEST(EditModel, EditsSaveTheirBytesAndUndoRedoGoesBackToTheOriginalBytes) {
    for (const Edit& e : kEdits) {
        EditModel model(quiz::readDocument(kQuiz, "q.txt"));
        e.edit(model);
        const quiz::Written saved = model.written();
        EXPECT_EQ(shown(saved.bytes), e.saved) << e.name;
        EXPECT_TRUE(saved.ok()) << e.name;
        EXPECT_EQ(model.modified(), saved.bytes != kQuiz) << e.name;
        while (model.canUndo()) model.undo();
        EXPECT_EQ(model.written().bytes, kQuiz) << e.name << ": undone";
        EXPECT_FALSE(model.modified()) << e.name;
        while (model.canRedo()) model.redo();
        EXPECT_EQ(shown(model.written().bytes), e.saved) << e.name << ": redone";
    }
    const EditModel model(quiz::readDocument(kQuiz, "q.txt"));  // the rows the table lacks count from 0, as in play
    EXPECT_EQ((std::vector<int>{model.minimum(0), model.minimum(1), model.minimum(2), model.minimum(3)}),
              (std::vector<int>{7, 0, 0, 0}));
}

TEST(EditModel, UndoKeepsAThousandStepsOrWhatFitsOfALargeQuiz) {
    quiz::QuizDocument large = quiz::readDocument(kQuiz, "q.txt");
    large.introduction = quiz::docLines(std::string(26 << 20, 'x'));  // ten copies are more than 256 MiB
    for (const auto& [document, kept] : {std::pair{quiz::readDocument(kQuiz, "q.txt"), EditModel::kMaxSteps},
                                         std::pair{large, EditModel::kMinSteps}}) {
        EditModel model(document);
        for (std::size_t k = 0; k < kept + 5; ++k) {
            model.setText({Kind::Title}, std::to_string(k));
            model.closeStep();
        }
        std::size_t undone = 0;
        for (; model.canUndo(); ++undone) model.undo();
        EXPECT_EQ(undone + 1, kept) << "versions kept";
        EXPECT_EQ(model.text({Kind::Title}), "5") << "the oldest go first";
    }
}

TEST(EditModel, TypingInOneFieldIsOneStepAndUndoShowsWhereItWas) {
    EditModel model(quiz::readDocument(kQuiz, "q.txt"));
    const Field answer{Kind::Answer, 1, 2};
    for (const char* typed : {"Н", "На", "На Ро"}) model.setText(answer, typed);
    model.setRight(1, 2);
    model.setText(answer, "На Рейне");  // after another edit: a step of its own
    model.closeStep();
    model.setText(answer, "На Роне");
    EXPECT_EQ(model.text(answer), "На Роне");
    EXPECT_EQ(model.undo(), answer);
    EXPECT_EQ(model.text(answer), "На Рейне");
    model.undo();
    EXPECT_EQ(model.text(answer), "На Ро");
    EXPECT_EQ(model.undo(), answer);
    EXPECT_EQ(model.text(answer), "На Ро") << "the right answer set back";
    EXPECT_EQ(model.undo(), answer);
    EXPECT_EQ(model.text(answer), "На Оби");
    EXPECT_FALSE(model.canUndo());
    model.markSaved();
    model.redo();
    EXPECT_TRUE(model.modified());
    model.setText({Kind::Title}, "Моря");  // drops the redo steps
    EXPECT_FALSE(model.canRedo());
    model.undo(), model.undo();
    EXPECT_FALSE(model.modified()) << "back at the saved version";
    model.markUnsaved();
    EXPECT_TRUE(model.modified());
}

TEST(EditModel, ANewQuizIsWindows1251AndPlaysAsItStands) {
    EditModel model;
    const quiz::Written written = model.written();
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(shown(written.bytes), "Новая викторина~Викторина «Новая викторина».~Отвечайте на вопросы по одному: каждый "
              "верный ответ поднимает вас на ступень лестницы, первый неверный заканчивает игру.~.~Превосходно! Все "
              "ответы верные.~1~Попробуйте ещё раз.~0~.~.~,1~,0~,0~.0~");
    model.setText({Kind::Answer, 0, 0}, "😀");
    EXPECT_FALSE(model.written().ok()) << "Windows-1251 cannot hold it";
    model.setEncoding(quiz::Encoding::Utf8);
    EXPECT_TRUE(model.written().ok());
    EXPECT_NE(model.written().bytes.find("\r\n😀\r\n,1"), std::string::npos);
}

// Each problem as "error|warning PLACE: MESSAGE".
std::vector<std::string> problemsOf(const EditModel& model) {
    std::vector<std::string> out;
    for (const Problem& p : findProblems(model.document(), {}).list)
        out.push_back(std::string(p.error ? "error " : "warning ") + quiz::describe(p.place) + ": " + p.message);
    return out;
}

TEST(EditModel, ProblemsComeFromTheChecksAndLeadToTheirPlaces) {
    EditModel model(quiz::readDocument(kQuiz, "q.txt"));
    model.setText({Kind::Answer, 1, 1}, ".NET");
    model.setRight(0, 0);
    model.setText({Kind::Answer, 0, 1}, "");
    model.setText({Kind::Answer, 1, 2}, ";0");
    model.setText({Kind::Verdict, -1, 2}, "Ой");
    const std::vector<std::string> expected = {
        "warning вопрос 2, ответ Б: вопрос 2, ответ Б: строка начинается с «.», и игра приняла бы её за служебную: перед "
        "ней записан неразрывный пробел, чтобы игра показала текст как есть",
        "warning оценка 1, наименьшее число баллов: наименьшее число баллов 7 недостижимо: баллы здесь — это число "
        "верных ответов, а вопросов в файле 2",
        "warning оценка 2: экран результатов появится только после верных ответов на все вопросы (2), и оценка на нём "
        "всегда эта, 2-я в таблице: других оценок игрок не увидит",
        "warning оценка 3, наименьшее число баллов: наименьшее число баллов 0 не меньше, чем у оценки выше (0, строка "
        "7): эту оценку игрок не увидит никогда",
        "warning таблица оценок: оценок в таблице 3 из четырёх: у недостающих пустой текст и наименьшее число баллов 0",
        "warning вопрос 1, ответ Б: вопрос 1, ответ Б: у ответа нет текста: этот вариант не будет показан",
        "warning вопрос 2, ответ В: вопрос 2, ответ В: похоже на строку ответа, но первым символом должна быть точка или "
        "запятая",
    };
    const std::vector<std::string> found = problemsOf(model);
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) EXPECT_EQ(found[i], expected[i]);
    const Problems problems = findProblems(model.document(), {});
    EXPECT_TRUE(problems.canSave && problems.inQuestion(0) && problems.inQuestion(1) && !problems.inQuestion(2));
    EXPECT_EQ(problems.summary, "кодировка Windows-1251, вопросов: 2, игра закончится экраном результатов");
    model.setText({Kind::Title}, "Ω 😀");
    EXPECT_EQ(problemsOf(model).front(), "error заголовок: заголовок: символ «Ω» (U+03A9) нельзя записать в кодировке "
                                         "Windows-1251: замените его или сохраните файл в UTF-8");
    EXPECT_FALSE(findProblems(model.document(), {}).canSave);
}

TEST(Opening, ABrokenFileOpensAtItsTextWithTheReadersErrorAndReadsOnceMended) {
    testing_support::TempFolder folder;
    const std::string broken = toWindows1251(crlf("Реки|Привет!|.|.|Вопрос?|.|Да|,7|Нет|.0"));
    const Opened opened = openQuizFile(folder.write("test1.txt", broken), "test1.txt");
    ASSERT_TRUE(opened.text && opened.error && !opened.document);
    EXPECT_EQ(opened.error->line(), 8);
    EXPECT_EQ(opened.text->text, "Реки\nПривет!\n.\n.\nВопрос?\n.\nДа\n,7\nНет\n.0\n");
    EXPECT_EQ(opened.text->format.encoding, quiz::Encoding::Windows1251);
    EXPECT_EQ(encodeText(opened.text->text, opened.text->format).bytes, broken) << "the same bytes back";
    const std::string& text = opened.text->text;
    const std::string mended = text.substr(0, text.find(",7")) + ",1" + text.substr(text.find(",7") + 2);
    const TextRead read = readText(mended, opened.text->format, "test1.txt");
    ASSERT_EQ(read.index(), 0u) << std::get<1>(read).what();
    EXPECT_EQ(quiz::writeDocument(std::get<0>(read)).bytes, toWindows1251(crlf("Реки|Привет!|.|.|Вопрос?|.|Да|,1|Нет|.0")));
    EXPECT_EQ(std::get<1>(readText("Ω", opened.text->format, "x")).expected(),
              "строка 1: символ «Ω» нельзя записать в кодировке Windows-1251");
    const QuizText utf8 = decodeText("\xEF\xBB\xBFЁ\r\nx\ry\n");
    EXPECT_TRUE(utf8.text == "Ё\nx\ny\n" && utf8.format.encoding == quiz::Encoding::Utf8 && utf8.format.byteOrderMark);
    EXPECT_EQ(encodeText(utf8.text, utf8.format).bytes, "\xEF\xBB\xBFЁ\r\nx\r\ny\r\n") << "the mark back, one line end";
    EXPECT_EQ(encodeText("Ё", {quiz::Encoding::Windows1251, true, quiz::LineEnd::Lf}).bytes, "\xA8") << "no mark in Windows-1251";

    const Opened good = openQuizFile(folder.write("good.txt", kQuiz), "good.txt");
    ASSERT_TRUE(good.document && !good.text);
    EXPECT_EQ(quiz::writeDocument(*good.document).bytes, kQuiz);
    EXPECT_EQ(openQuizFile(folder.path() / "none.txt", "none.txt").failure, "файл не найден");
    EXPECT_EQ(openQuizFile(folder.path(), "folder").failure, "это папка, а не файл");
}

TEST(Opening, SheetsAndMoodleFilesImportThroughTheConverters) {
    testing_support::TempFolder folder;
    const Imported sheet = importFile(folder.write("reki.csv", toWindows1251("Вопрос;Да;Нет;1\r\nВторой;А;Б;В\r\n")));
    EXPECT_EQ(sheet.report, "reki.csv:2: ошибка: правильный ответ — 3-й, а ответов в строке 2\n    «Второй;А;Б;В»\n")
        << "the Cyrillic В is the third";
    EXPECT_FALSE(sheet.document);
    const Imported aiken = importFile(folder.write("a.txt", "Q?\nA. yes\nB. no\nANSWER: A\n"));
    ASSERT_TRUE(aiken.document);
    EXPECT_EQ(aiken.report, "a.txt: вопросов: 1\n");
    EXPECT_EQ(aiken.document->title.text, "a");
    EXPECT_TRUE(importFile(folder.write("x.txt", "nothing here")).report.starts_with("x.txt: ошибка: не удалось понять"));
}

TEST(Recovery, ACopyLeftByAKilledEditorIsOfferedBackWhole) {
    testing_support::TempFolder home;
    EXPECT_EQ(recoveryFolder("/data", "/home/u"), "/data/quizedit/recovery");
    EXPECT_EQ(recoveryFolder("relative", "/home/u"), "/home/u/.local/share/quizedit/recovery");
    EXPECT_EQ(recoveryFolder(nullptr, nullptr), std::nullopt);
    const std::filesystem::path folder = home.path() / "data" / "quizedit" / "recovery";

    EditModel model(quiz::readDocument(kQuiz, "q.txt"));
    model.setText({Kind::Answer, 0, 1}, "Волга 😀");  // Windows-1251 cannot hold it yet: the copy still keeps it
    const Recovered copy = recoveryOf(model.document(), "/home/u/реки\n.txt");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {  // an editor with unsaved work, killed once its copy is written
        auto session = RecoverySession::start(folder);
        const bool written = session.index() == 0 && std::get<0>(session)->write(copy).empty();
        const char byte = written ? '1' : '0';
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, '1');
    {
        auto live = RecoverySession::start(folder);  // the child still runs: its copy is not offered
        ASSERT_EQ(live.index(), 0u) << std::get<1>(live);
        EXPECT_TRUE(std::get<0>(live)->orphans().empty());
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]), ::close(ready[1]);

    auto started = RecoverySession::start(folder);
    ASSERT_EQ(started.index(), 0u);
    RecoverySession& session = *std::get<0>(started);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "private";
    const std::vector<RecoverySession::Orphan> orphans = session.orphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].copy, copy);
    const std::optional<quiz::QuizDocument> back = recoveredQuiz(orphans[0].copy);
    ASSERT_TRUE(back);
    EXPECT_EQ(quiz::writeDocument(*back, quiz::Encoding::Utf8).bytes,
              quiz::writeDocument(model.document(), quiz::Encoding::Utf8).bytes);
    EXPECT_EQ(back->encoding, quiz::Encoding::Windows1251);
    EXPECT_TRUE(session.orphans().empty()) << "claimed already";
    session.forget(orphans[0].id);
    ASSERT_TRUE(session.write(copy).empty());
    EXPECT_EQ(home.files().size(), 1u);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) left.push_back(entry.path().filename());
    EXPECT_EQ(left.size(), 2u) << "this session's lock and copy";
    session.discard();
    EXPECT_EQ(parseRecovery("quizedit-recovery 1\nquiz utf-8 bom lf\n99\nshort\n"), std::nullopt);
    using quiz::Encoding, quiz::LineEnd;
    const Recovered copies[] = {  // each comes back as it went, an empty text and a new quiz's empty path too
        {true, {Encoding::Windows1251, false, LineEnd::Cr}, "/q.txt", ""},
        {false, {Encoding::Utf8, true, LineEnd::None}, "", "Заголовок\n"},
        {true, {Encoding::Utf8, false, LineEnd::Lf}, "a\nb", "\n\n"}};
    for (const Recovered& c : copies) {
        const std::string bytes = recoveryBytes(c);
        EXPECT_EQ(parseRecovery(bytes), c) << bytes;
        EXPECT_EQ(parseRecovery(std::string_view(bytes).substr(0, bytes.size() - c.content.size() - 1)), std::nullopt)
            << "cut before its path ends";
    }
}

TEST(Recovery, AFolderOfAnotherUserOrALinkIsRefused) {
    testing_support::TempFolder home;
    std::filesystem::create_directory(home.path() / "elsewhere");
    std::filesystem::create_symlink(home.path() / "elsewhere", home.path() / "link");
    auto linked = RecoverySession::start(home.path() / "link");
    ASSERT_EQ(linked.index(), 1u);
    EXPECT_TRUE(std::get<1>(linked).starts_with("не удалось открыть папку")) << std::get<1>(linked);
    if (::geteuid() == 0) {
        std::filesystem::create_directory(home.path() / "theirs");
        ASSERT_EQ(::chown((home.path() / "theirs").c_str(), 1234, 1234), 0);
        auto theirs = RecoverySession::start(home.path() / "theirs");
        ASSERT_EQ(theirs.index(), 1u);
        EXPECT_TRUE(std::get<1>(theirs).ends_with("принадлежит другому пользователю"));
    }
}

}  // namespace
