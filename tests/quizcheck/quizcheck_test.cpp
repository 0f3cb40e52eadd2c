#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "quizcheck/command_line.h"
#include "quizcheck/quiz_check.h"
#include "quizcheck/report.h"
#include "support/quiz_files.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;
};

Outcome runQuizcheck(const std::vector<std::string>& args, const fs::path& folder) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = quizcheck::run(args, folder, out, err);
    return {out.str(), err.str(), status};
}

// Lines, each followed by CR LF.
std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// Lines 1 to 12: title, one line of introduction, four verdict rows; the first
// question begins at line 13.
const std::vector<std::string> kHead = {"Викторина о реках",
                                        "Здравствуйте!",
                                        ".",
                                        "Превосходно",
                                        "3",
                                        "Хорошо",
                                        "2",
                                        "Неплохо",
                                        "1",
                                        "Попробуйте ещё",
                                        "0",
                                        "."};

// A well-formed question of four lines whose one answer is right.
const std::vector<std::string> kGoodQuestion = {"Самая длинная река Европы?", ".", "Волга", ".1"};

std::string goodQuiz(int questions) {
    return testing_support::makeQuiz("Викторина", {"Здравствуйте!"},
                                     {{"Отлично", 10}, {"Хорошо", 7}, {"Неплохо", 4}, {"Увы", 0}},
                                     testing_support::rotatingQuestions(questions));
}

// One quiz file, checked by name: its problems and summary, exactly.

struct FileCase {
    std::string file;      // the name it is written and checked under
    std::string contents;  // UTF-8 text
    std::string expected;  // the whole output
    int status;
    bool keepUtf8 = false;  // written as it is, not converted to Windows-1251
};

std::ostream& operator<<(std::ostream& out, const FileCase& c) { return out << c.file; }

const char* const kNoAnswerEnd =
    "файл закончился, а ожидалась строка ответа или строка с точкой или запятой и цифрой 0 или "
    "1, закрывающая ответ";

const std::vector<FileCase> kFileCases = {
    {"ten_questions.txt", goodQuiz(10),
     "ten_questions.txt: кодировка Windows-1251, вопросов: 10, игра закончится экраном "
     "результатов\n",
     0},
    {"fourteen_questions.txt", goodQuiz(14),
     "fourteen_questions.txt: кодировка Windows-1251, вопросов: 14, игра закончится экраном "
     "результатов\n",
     0},
    {"fifteen_questions.txt", goodQuiz(15),
     "fifteen_questions.txt: кодировка Windows-1251, вопросов: 15, игра закончится на "
     "пятнадцатой ступени\n",
     0},
    // Question n begins at line 13 + 10 (n - 1); only the sixteenth is named.
    {"seventeen_questions.txt", goodQuiz(17),
     "seventeen_questions.txt:163: предупреждение: вопрос 16: вопросы после пятнадцатого игра "
     "не задаёт: она заканчивается на пятнадцатой ступени\n"
     "    «Вопрос 16»\n"
     "seventeen_questions.txt: кодировка Windows-1251, вопросов: 17, игра закончится на "
     "пятнадцатой ступени\n",
     0},
    {"blank_lines_after_last_question.txt", crlf(kHead + kGoodQuestion) + "\r\n  \r\n",
     "blank_lines_after_last_question.txt: кодировка Windows-1251, вопросов: 1, игра закончится "
     "экраном результатов\n",
     0},
    {"answer_marker_digit_7.txt",
     crlf(kHead + kGoodQuestion +
          std::vector<std::string>{"Самая длинная река Азии?", ".", "Обь", ",0", "Янцзы", ",7",
                                   "Лена", ".0"}),
     "answer_marker_digit_7.txt:22: ошибка: ожидалась строка ответа с точкой или запятой и "
     "цифрой 0 или 1\n"
     "    «,7»\n"
     "answer_marker_digit_7.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"ends_inside_question.txt", crlf(kHead + std::vector<std::string>{"Вопрос без ответов", "."}),
     std::string("ends_inside_question.txt:15: ошибка: ") + kNoAnswerEnd +
         "\n"
         "ends_inside_question.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    // The game's "Ok" reads a first question without asking whether there is one.
    {"no_questions.txt", crlf(kHead),
     "no_questions.txt:13: ошибка: файл закончился, а ожидалась строка вопроса или строка с "
     "точкой в начале, закрывающая текст вопроса\n"
     "no_questions.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"empty_file.txt", "",
     "empty_file.txt:1: ошибка: файл закончился, а ожидалась строка заголовка\n"
     "empty_file.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"five_answers.txt",
     crlf(kHead + std::vector<std::string>{"Вопрос", ".", "1", ",0", "2", ",0", "3", ",0", "4",
                                           ",1", "5", ".0"}),
     "five_answers.txt:22: ошибка: ожидалась строка с точкой и цифрой 0 или 1: четвёртый ответ "
     "должен быть последним, больше четырёх ответов у вопроса не бывает\n"
     "    «,1»\n"
     "five_answers.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"five_levels.txt",
     crlf({"Т", "В", ".", "а", "4", "б", "3", "в", "2", "г", "1", "д", "0", ".", "Вопрос", ".",
           "Да", ".1"}),
     "five_levels.txt:12: ошибка: ожидалась строка с точкой в начале, закрывающая таблицу "
     "оценок: оценок не бывает больше четырёх\n"
     "    «д»\n"
     "five_levels.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"minimum_not_a_number.txt", crlf({"Т", "В", ".", "Отлично", "много", "."}),
     "minimum_not_a_number.txt:5: ошибка: ожидалось наименьшее число баллов для оценки: целое "
     "число от -32768 до 32767\n"
     "    «много»\n"
     "minimum_not_a_number.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"no_right_answer.txt",
     crlf(kHead + std::vector<std::string>{"Столица Франции?", ".", "Лион", ",0", "Марсель", ".0"}),
     "no_right_answer.txt:13: предупреждение: вопрос 1: нет правильного ответа (с цифрой 1): на "
     "этом вопросе игра закончится при любом ответе\n"
     "    «Столица Франции?»\n"
     "no_right_answer.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном "
     "результатов\n",
     0},
    {"two_right_answers.txt",
     crlf(kHead + kGoodQuestion +
          std::vector<std::string>{"Какие реки", "впадают в Каспий?", ".", "Волга", ",1", "Урал",
                                   ",1", "Дон", ".0"}),
     "two_right_answers.txt:17: предупреждение: вопрос 2: 2 правильных ответа (с цифрой 1): "
     "засчитан будет любой из них\n"
     "    «Какие реки»\n"
     "two_right_answers.txt: кодировка Windows-1251, вопросов: 2, игра закончится экраном "
     "результатов\n",
     0},
    // Answers of several lines before the empty one: the warning still finds
    // its marker line.
    {"answer_without_text.txt",
     crlf(kHead + std::vector<std::string>{"Какая река", "течёт через Киев?", ".", "Днепр",
                                           "(Славутич)", ",1", ",0", "Десна", ".0"}),
     "answer_without_text.txt:19: предупреждение: вопрос 1, ответ 2: у ответа нет текста: этот "
     "вариант не будет показан\n"
     "    «,0»\n"
     "answer_without_text.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном "
     "результатов\n",
     0},
    {"right_answer_without_text.txt",
     crlf(kHead + std::vector<std::string>{"Вопрос", ".", "Первый", ",0", ".1"}),
     "right_answer_without_text.txt:17: предупреждение: вопрос 1, ответ 2: у ответа нет текста: "
     "этот вариант не будет показан\n"
     "    «.1»\n"
     "right_answer_without_text.txt: кодировка Windows-1251, вопросов: 1, игра закончится "
     "экраном результатов\n",
     0},
    {"answer_of_blanks.txt",
     crlf(kHead + std::vector<std::string>{"Вопрос", ".", "Да", ",1", "   ", ".0"}),
     "answer_of_blanks.txt:18: предупреждение: вопрос 1, ответ 2: текст ответа из одних "
     "пробелов: вариант будет показан пустым\n"
     "    «.0»\n"
     "answer_of_blanks.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном "
     "результатов\n",
     0},
    {"question_without_text.txt", crlf(kHead + std::vector<std::string>{".", "Да", ".1"}),
     "question_without_text.txt:13: предупреждение: вопрос 1: текста вопроса нет\n"
     "    «.»\n"
     "question_without_text.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном "
     "результатов\n",
     0},
    {"empty_title_and_introduction.txt",
     crlf(std::vector<std::string>{"", "."} +
          std::vector<std::string>(kHead.begin() + 3, kHead.end()) + kGoodQuestion),
     "empty_title_and_introduction.txt:1: предупреждение: заголовок пустой: у окна не будет "
     "названия викторины\n"
     "    «»\n"
     "empty_title_and_introduction.txt:2: предупреждение: вступление пустое: перед первым "
     "вопросом игрок увидит пустое поле\n"
     "    «.»\n"
     "empty_title_and_introduction.txt: кодировка Windows-1251, вопросов: 1, игра закончится "
     "экраном результатов\n",
     0},
    {"minimums_not_falling.txt",
     crlf(std::vector<std::string>{"Т", "В", ".", "а", "5", "б", " 5 ", "в", "7", "г", "9", "."} +
          kGoodQuestion),
     "minimums_not_falling.txt:7: предупреждение: наименьшее число баллов 5 не меньше, чем у "
     "оценки выше (5, строка 5): эту оценку игрок не увидит никогда\n"
     "    « 5 »\n"
     "minimums_not_falling.txt:9: предупреждение: наименьшее число баллов 7 не меньше, чем у "
     "оценки выше (5, строка 5): эту оценку игрок не увидит никогда\n"
     "    «7»\n"
     "minimums_not_falling.txt:11: предупреждение: наименьшее число баллов 9 не меньше, чем у "
     "оценки выше (5, строка 5): последняя оценка и так достаётся всем, кто не набрал на три "
     "верхние\n"
     "    «9»\n"
     "minimums_not_falling.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном "
     "результатов\n",
     0},
    // Row 3 lies below row 2 but not below row 1, so no score reaches it.
    {"minimum_between_rows_above.txt",
     crlf(std::vector<std::string>{"Т", "В", ".", "а", "10", "б", "4", "в", "6", "г", "0", "."} +
          kGoodQuestion),
     "minimum_between_rows_above.txt:9: предупреждение: наименьшее число баллов 6 не меньше, чем "
     "у оценки выше (4, строка 7): эту оценку игрок не увидит никогда\n"
     "    «6»\n"
     "minimum_between_rows_above.txt: кодировка Windows-1251, вопросов: 1, игра закончится "
     "экраном результатов\n",
     0},
    {"two_levels.txt",
     crlf(std::vector<std::string>{"Т", "В", ".", "а", "10", "б", "5", "."} + kGoodQuestion),
     "two_levels.txt:8: предупреждение: оценок в таблице 2 из четырёх: у недостающих пустой "
     "текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "two_levels.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном результатов\n",
     0},
    {"no_levels.txt", crlf(std::vector<std::string>{"Т", "В", ".", "."} + kGoodQuestion),
     "no_levels.txt:4: предупреждение: оценок в таблице 0 из четырёх: у недостающих пустой "
     "текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "no_levels.txt: кодировка Windows-1251, вопросов: 1, игра закончится экраном результатов\n",
     0},
    // Warnings met before the error stay; the error ends the file.
    {"warning_then_error.txt",
     crlf(kHead + std::vector<std::string>{"Вопрос 1", ".", "Нет", ".0", "Вопрос 2", ".", "Да",
                                           ",x", "Нет", ".0", "Вопрос 3", ".", "Да", ".2"}),
     "warning_then_error.txt:13: предупреждение: вопрос 1: нет правильного ответа (с цифрой 1): "
     "на этом вопросе игра закончится при любом ответе\n"
     "    «Вопрос 1»\n"
     "warning_then_error.txt:20: ошибка: ожидалась строка ответа с точкой или запятой и цифрой 0 "
     "или 1\n"
     "    «,x»\n"
     "warning_then_error.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    // An escape sequence in a quoted line must not reach the terminal.
    {"control_characters_in_line.txt",
     crlf(kHead + std::vector<std::string>{"Вопрос\x1b[2J\x07", ".", "Нет", ".0"}),
     "control_characters_in_line.txt:13: предупреждение: вопрос 1: нет правильного ответа (с "
     "цифрой 1): на этом вопросе игра закончится при любом ответе\n"
     "    «Вопрос?[2J?»\n"
     "control_characters_in_line.txt: кодировка Windows-1251, вопросов: 1, игра закончится "
     "экраном результатов\n",
     0},
    {"utf8_warning_then_error.txt",
     crlf(kHead + std::vector<std::string>{"Столица Франции?", ".", "Лион", ".0", "Столица Италии?",
                                           ".", "Рим", ",1", "Милан", ",2"}),
     "utf8_warning_then_error.txt:13: предупреждение: вопрос 1: нет правильного ответа (с цифрой "
     "1): на этом вопросе игра закончится при любом ответе\n"
     "    «Столица Франции?»\n"
     "utf8_warning_then_error.txt:22: ошибка: ожидалась строка ответа с точкой или запятой и "
     "цифрой 0 или 1\n"
     "    «,2»\n"
     "utf8_warning_then_error.txt: кодировка UTF-8, играть по этому файлу нельзя\n",
     1, true},
    // The byte-order mark is not part of the title, so the title is empty.
    {"utf8_mark_before_empty_title.txt",
     "\xEF\xBB\xBF" + crlf(std::vector<std::string>{"", "Привет!", ".", "."} + kGoodQuestion),
     "utf8_mark_before_empty_title.txt:1: предупреждение: заголовок пустой: у окна не будет "
     "названия викторины\n"
     "    «»\n"
     "utf8_mark_before_empty_title.txt:4: предупреждение: оценок в таблице 0 из четырёх: у "
     "недостающих пустой текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "utf8_mark_before_empty_title.txt: кодировка UTF-8, вопросов: 1, игра закончится экраном "
     "результатов\n",
     0, true},
};

class FileCheckTest : public ::testing::TestWithParam<FileCase> {
protected:
    // The folder of broken and suspect files, one for every case.
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        for (const FileCase& c : kFileCases) {
            if (c.keepUtf8) {
                folder_->write(c.file, c.contents);
            } else {
                folder_->writeWindows1251(c.file, c.contents);
            }
        }
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static TempFolder* folder_;
};

TempFolder* FileCheckTest::folder_ = nullptr;

TEST_P(FileCheckTest, ReportsExactly) {
    const FileCase& c = GetParam();
    const Outcome outcome = runQuizcheck({c.file}, folder_->path());
    EXPECT_EQ(outcome.out, c.expected);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.status, c.status);
}

TEST_F(FileCheckTest, AllFilesAtOnceReportInTheirOrderAndFailTogether) {
    std::vector<std::string> files;
    std::string expected;
    for (const FileCase& c : kFileCases) {
        files.push_back(c.file);
        expected += c.expected;
    }
    const Outcome outcome = runQuizcheck(files, folder_->path());
    EXPECT_EQ(outcome.out, expected);
    EXPECT_EQ(outcome.status, quizcheck::kExitErrors);
}

TEST_F(FileCheckTest, WarningsAloneKeepTheStatusClean) {
    const Outcome outcome = runQuizcheck(
        {"ten_questions.txt", "no_right_answer.txt", "two_levels.txt"}, folder_->path());
    EXPECT_EQ(outcome.status, quizcheck::kExitClean);
    EXPECT_NE(outcome.out.find("предупреждение"), std::string::npos);
}

std::string caseName(const ::testing::TestParamInfo<FileCase>& info) {
    std::string name = info.param.file.substr(0, info.param.file.find('.'));
    return name;
}

INSTANTIATE_TEST_SUITE_P(BrokenAndSuspectFiles, FileCheckTest, ::testing::ValuesIn(kFileCases),
                         caseName);

// Files that cannot be read, and names as the user gave them.

TEST(FileArguments, MissingFileIsAnError) {
    const TempFolder folder;
    const Outcome outcome = runQuizcheck({"nothing.txt"}, folder.path());
    EXPECT_EQ(outcome.out,
              "nothing.txt: ошибка: файл не найден\n"
              "nothing.txt: играть по этому файлу нельзя\n");
    EXPECT_EQ(outcome.status, quizcheck::kExitErrors);
}

TEST(FileArguments, FolderIsAnError) {
    const TempFolder folder;
    fs::create_directory(folder.path() / "quizzes");
    const Outcome outcome = runQuizcheck({"quizzes"}, folder.path());
    EXPECT_EQ(outcome.out,
              "quizzes: ошибка: это папка, а не файл\n"
              "quizzes: играть по этому файлу нельзя\n");
    EXPECT_EQ(outcome.status, quizcheck::kExitErrors);
}

TEST(FileArguments, PipeIsAnErrorNotAWaitOrACrash) {
    const TempFolder folder;
    ASSERT_EQ(::mkfifo((folder.path() / "pipe.txt").c_str(), 0600), 0);
    const Outcome outcome = runQuizcheck({"pipe.txt"}, folder.path());
    EXPECT_EQ(outcome.out,
              "pipe.txt: ошибка: это не обычный файл (канал или устройство)\n"
              "pipe.txt: играть по этому файлу нельзя\n");
    EXPECT_EQ(outcome.status, quizcheck::kExitErrors);
}

TEST(FileArguments, AReportThatCannotBeWrittenIsNoAllClear) {
    TempFolder folder;
    folder.write("test1.txt", crlf({"T", ".", ".", "Q", ".", "a", ".1"}));
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(quizcheck::run({"test1.txt"}, folder.path(), out, err), quizcheck::kExitErrors);
    EXPECT_EQ(err.str(), "quizcheck: не удалось вывести отчёт\n");
}

TEST(FileArguments, StreamThatCannotBeOpenedIsAnError) {
    std::ostringstream out;
    quizcheck::Report report(out);
    const bool clean = quizcheck::checkQuiz(
        "locked.txt", [] { return std::unique_ptr<std::istream>(); }, report);
    EXPECT_FALSE(clean);
    EXPECT_TRUE(report.hasError());
    EXPECT_EQ(out.str(),
              "locked.txt: ошибка: не удалось открыть файл для чтения\n"
              "locked.txt: играть по этому файлу нельзя\n");
}

TEST(FileArguments, NamesAreReportedAsGiven) {
    const TempFolder folder;
    fs::create_directory(folder.path() / "sub");
    folder.writeWindows1251("sub/quiz.txt",
                            crlf(kHead + std::vector<std::string>{"Вопрос", ".", ",5"}));
    const std::string absolute = (folder.path() / "sub" / "quiz.txt").string();
    for (const std::string& name :
         {std::string("sub/quiz.txt"), std::string("./sub/quiz.txt"), absolute}) {
        SCOPED_TRACE(name);
        const Outcome outcome = runQuizcheck({name}, folder.path());
        EXPECT_EQ(outcome.out,
                  name +
                      ":15: ошибка: ожидалась строка ответа с точкой или запятой и цифрой 0 или 1\n"
                      "    «,5»\n" +
                      name + ": кодировка Windows-1251, играть по этому файлу нельзя\n");
    }
}

// No arguments: the folder as the game uses it. "{папка}" stands for the
// folder's path in the expected output.

struct FolderCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes as written
    std::string expected;
    int status;
};

std::ostream& operator<<(std::ostream& out, const FolderCase& c) { return out << c.name; }

const std::string kQuiz10 = testing_support::toWindows1251(goodQuiz(10));
const std::string kQuiz15 = testing_support::toWindows1251(goodQuiz(15));
const char* const kSummary10 =
    "кодировка Windows-1251, вопросов: 10, игра закончится экраном результатов\n";
const char* const kSummary15 =
    "кодировка Windows-1251, вопросов: 15, игра закончится на пятнадцатой ступени\n";

const std::vector<FolderCase> kFolderCases = {
    {"AllGoodInPlayOrder",
     {{"tet0.txt", "2\r\n"},
      {"test1.txt", kQuiz10},
      {"test2.txt", kQuiz15},
      {"test3.txt", kQuiz10}},
     std::string("tet0.txt: игра начнётся с файла test2.txt\n") + "test2.txt: " + kSummary15 +
         "test1.txt: " + kSummary10 + "test3.txt: " + kSummary10,
     0},
    {"CounterWithBlanksAndByteOrderMark",
     {{"tet0.txt", "\xEF\xBB\xBF 1 \r\n"},
      {"test1.txt", kQuiz10},
      {"test2.txt", kQuiz10},
      {"test3.txt", kQuiz10}},
     std::string("tet0.txt: игра начнётся с файла test1.txt\n") + "test1.txt: " + kSummary10 +
         "test3.txt: " + kSummary10 + "test2.txt: " + kSummary10,
     0},
    {"CounterMissing",
     {{"test1.txt", kQuiz10}, {"test2.txt", kQuiz10}, {"test3.txt", kQuiz10}},
     std::string("tet0.txt: ошибка: ожидался файл счётчика в папке «{папка}», но его там нет\n") +
         "test3.txt: " + kSummary10 + "test2.txt: " + kSummary10 + "test1.txt: " + kSummary10,
     1},
    {"CounterWithoutNumber",
     {{"tet0.txt", testing_support::toWindows1251("три\r\n")},
      {"test1.txt", kQuiz10},
      {"test2.txt", kQuiz10},
      {"test3.txt", kQuiz10}},
     std::string("tet0.txt:1: предупреждение: в первой строке нет числа: игра возьмёт 0 и будет "
                 "искать test0.txt, а после проигрыша или победы остановится, не сумев сдвинуть "
                 "счётчик\n"
                 "    «три»\n"
                 "tet0.txt: игра начнётся с файла test0.txt\n"
                 "test0.txt: ошибка: ожидался файл викторины в папке «{папка}», но его там нет "
                 "(в первой строке счётчика tet0.txt нет числа, там «три», и игра взяла 0); в "
                 "папке есть файлы викторин: test1.txt, test2.txt, test3.txt\n"
                 "test0.txt: играть по этому файлу нельзя\n") +
         "test3.txt: " + kSummary10 + "test2.txt: " + kSummary10 + "test1.txt: " + kSummary10,
     1},
    {"CounterSelectsMissingQuiz",
     {{"tet0.txt", "3\r\n"}, {"test1.txt", kQuiz10}, {"test2.txt", kQuiz10}},
     std::string("tet0.txt: игра начнётся с файла test3.txt\n"
                 "test3.txt: ошибка: ожидался файл викторины в папке «{папка}», но его там нет "
                 "(его выбрал счётчик tet0.txt с числом 3); в папке есть файлы викторин: "
                 "test1.txt, test2.txt\n"
                 "test3.txt: играть по этому файлу нельзя\n") +
         "test2.txt: " + kSummary10 + "test1.txt: " + kSummary10,
     1},
    {"RotationFileMissing",
     {{"tet0.txt", "3\r\n"}, {"test2.txt", kQuiz10}, {"test3.txt", kQuiz10}},
     std::string("tet0.txt: игра начнётся с файла test3.txt\n") + "test3.txt: " + kSummary10 +
         "test2.txt: " + kSummary10 +
         "test1.txt: ошибка: файл не найден: когда счётчик дойдёт до 1, игра не запустится\n"
         "test1.txt: играть по этому файлу нельзя\n",
     1},
    {"RotationFileBroken",
     {{"tet0.txt", "1\r\n"},
      {"test1.txt", kQuiz10},
      {"test2.txt",
       testing_support::toWindows1251(crlf(kHead + std::vector<std::string>{"Вопрос", "."}))},
      {"test3.txt", kQuiz10}},
     std::string("tet0.txt: игра начнётся с файла test1.txt\n") + "test1.txt: " + kSummary10 +
         "test3.txt: " + kSummary10 + "test2.txt:15: ошибка: " + kNoAnswerEnd +
         "\n"
         "test2.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"CounterOutsideRotation",
     {{"tet0.txt", "5\r\n"},
      {"test5.txt", kQuiz10},
      {"test1.txt", kQuiz10},
      {"test2.txt", kQuiz10},
      {"test3.txt", kQuiz10}},
     std::string("tet0.txt:1: предупреждение: число 5 вне круга 3, 2, 1: после проигрыша или "
                 "победы счётчик станет 4\n"
                 "    «5»\n"
                 "tet0.txt: игра начнётся с файла test5.txt\n") +
         "test5.txt: " + kSummary10 + "test3.txt: " + kSummary10 + "test2.txt: " + kSummary10 +
         "test1.txt: " + kSummary10,
     0},
};

class FolderCheckTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderCheckTest, ReportsExactly) {
    const FolderCase& c = GetParam();
    const TempFolder folder;
    for (const auto& [name, bytes] : c.files) folder.write(name, bytes);
    std::string expected = c.expected;
    replaceAll(expected, "{папка}", folder.path().string());

    const Outcome outcome = runQuizcheck({}, folder.path());
    EXPECT_EQ(outcome.out, expected);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.status, c.status);
    for (const auto& [name, bytes] : c.files) {
        EXPECT_EQ(folder.read(name), bytes) << name << " is only read";
    }
}

INSTANTIATE_TEST_SUITE_P(PlayFolder, FolderCheckTest, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Options, HelpExplainsUsageAndChecksNothing) {
    const TempFolder folder;
    for (const std::string option : {"-h", "--help"}) {
        SCOPED_TRACE(option);
        const Outcome outcome = runQuizcheck({"missing.txt", option}, folder.path());
        EXPECT_EQ(outcome.status, quizcheck::kExitClean);
        EXPECT_TRUE(outcome.out.starts_with("Использование: quizcheck [ФАЙЛ...]\n"));
        EXPECT_NE(outcome.out.find("tet0.txt"), std::string::npos);
        EXPECT_EQ(outcome.out.find("missing.txt"), std::string::npos);
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(Options, UnknownOptionIsBadUsage) {
    const TempFolder folder;
    for (const std::string option : {"-x", "--verbose", "--help=all"}) {
        SCOPED_TRACE(option);
        const Outcome outcome = runQuizcheck({option, "quiz.txt"}, folder.path());
        EXPECT_EQ(outcome.status, quizcheck::kExitBadUsage);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err,
                  "quizcheck: неизвестный параметр «" + option + "»\nСправка: quizcheck --help\n");
    }
}

TEST(Options, DoubleDashEndsOptions) {
    const TempFolder folder;
    folder.write("-odd.txt", testing_support::toWindows1251(goodQuiz(3)));
    const Outcome outcome = runQuizcheck({"--", "-odd.txt"}, folder.path());
    EXPECT_EQ(
        outcome.out,
        "-odd.txt: кодировка Windows-1251, вопросов: 3, игра закончится экраном результатов\n");
    EXPECT_EQ(outcome.status, quizcheck::kExitClean);
}

struct QuoteCase {
    const char* name;
    std::string line;
    std::string quoted;
};

std::ostream& operator<<(std::ostream& out, const QuoteCase& c) { return out << c.name; }

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

const std::vector<QuoteCase> kQuoteCases = {
    {"PlainTextStays", "Волга, 3530 км\t(Европа)", "Волга, 3530 км\t(Европа)"},
    {"ControlCharactersBecomeQuestionMarks", "a\x1b[1mb\x7f\x01", "a?[1mb??"},
    {"C1ControlsBecomeQuestionMarks",
     "a\xC2\x9B"
     "31mb\xC2\xA0"
     "c",
     "a?31mb\xC2\xA0"
     "c"},
    // Two-byte letters: a cut in the middle of one moves back before it.
    {"LongLineIsCutBetweenCharacters", "x" + repeated("Ж", 150), "x" + repeated("Ж", 99) + "…"},
    {"LineOfTheLimitIsWhole", repeated("Ж", 100), repeated("Ж", 100)},
};

class QuotedLineTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuotedLineTest, Quotes) {
    EXPECT_EQ(quizcheck::quotedLine(GetParam().line), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(Lines, QuotedLineTest, ::testing::ValuesIn(kQuoteCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
