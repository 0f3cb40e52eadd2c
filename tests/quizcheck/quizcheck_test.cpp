// quizcheck as an author runs it: files in a folder, the arguments, and the
// report and exit status it gives, exactly. "{папка}" stands for the folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sstream>

#include "quizcheck/command_line.h"
#include "quizcheck/report.h"
#include "support/support.h"

namespace {

using namespace std::string_literals;
using testing_support::crlf;
using testing_support::makeQuiz;
using testing_support::toWindows1251;

// Quizzes of which quizcheck has nothing to say.
const std::string kSummary = "кодировка Windows-1251, вопросов: 15, игра закончится на пятнадцатой ступени\n";
const std::string kQuiz = toWindows1251(makeQuiz(15, ""));

struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes
    std::vector<std::string> args;
    std::string out;
    int status;
    std::string err = "";
};

const Case kCases[] = {
    {"fifteen_and_seventeen_questions",
     {{"15.txt", toWindows1251(makeQuiz(15))}, {"17.txt", makeQuiz(17)}},
     {"15.txt", "17.txt"},
     "15.txt:4: предупреждение: вопросов 15 или больше: игра заканчивается на пятнадцатой ступени, экран результатов не появится, и оценок из таблицы игрок не увидит\n"
     "    «Отлично»\n"s
     + "15.txt: " + kSummary
     + "17.txt:4: предупреждение: вопросов 15 или больше: игра заканчивается на пятнадцатой ступени, экран результатов не появится, и оценок из таблицы игрок не увидит\n"
     "    «Отлично»\n"
     "17.txt:163: предупреждение: вопрос 16: вопросы после пятнадцатого игра не задаёт: она заканчивается на пятнадцатой ступени\n"
     "    «Вопрос 16»\n"
     "17.txt: кодировка UTF-8, вопросов: 17, игра закончится на пятнадцатой ступени\n",
     0},
    {"warnings_of_a_playable_file",
     {{"w.txt", toWindows1251(crlf("|.|Высоко|2|Низко|5|.|Без правильного|.|а|,0|б|.0|Два правильных|.|а|,1|"
                                   "б|.1|.|а|,1|,0|  |.0|Текст|.|а|.1"))}},
     {"w.txt"},
     "w.txt:1: предупреждение: заголовок пустой: у окна не будет названия викторины\n"
     "    «»\n"
     "w.txt:2: предупреждение: вступление пустое: перед первым вопросом игрок увидит пустое поле\n"
     "    «.»\n"
     "w.txt:3: предупреждение: экран результатов появится только после верных ответов на все вопросы (4), и оценка на нём всегда эта, 1-я в таблице: других оценок игрок не увидит\n"
     "    «Высоко»\n"
     "w.txt:6: предупреждение: наименьшее число баллов 5 не меньше, чем у оценки выше (2, строка 4): эту оценку игрок не увидит никогда\n"
     "    «5»\n"
     "w.txt:7: предупреждение: оценок в таблице 2 из четырёх: у недостающих пустой текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "w.txt:8: предупреждение: вопрос 1: нет правильного ответа (с цифрой 1): на этом вопросе игра закончится при любом ответе\n"
     "    «Без правильного»\n"
     "w.txt:14: предупреждение: вопрос 2: 2 правильных ответа (с цифрой 1): засчитан будет любой из них\n"
     "    «Два правильных»\n"
     "w.txt:20: предупреждение: вопрос 3: текста вопроса нет\n"
     "    «.»\n"
     "w.txt:23: предупреждение: вопрос 3, ответ 2: у ответа нет текста: этот вариант не будет показан\n"
     "    «,0»\n"
     "w.txt:25: предупреждение: вопрос 3, ответ 3: текст ответа из одних пробелов: вариант будет показан пустым\n"
     "    «.0»\n"
     "w.txt: кодировка Windows-1251, вопросов: 4, игра закончится экраном результатов\n",
     0},
    {"errors_after_warnings_and_in_utf8",
     {{"e.txt", toWindows1251(crlf("|.|.|Вопрос|.|a|,0|b|,0|c|,0|d|,1|e|.0"))},
      {"u.txt", "\xEF\xBB\xBF" + crlf("Тест|и|.|В|много|.")}},
     {"e.txt", "u.txt"},
     "e.txt:1: предупреждение: заголовок пустой: у окна не будет названия викторины\n"
     "    «»\n"
     "e.txt:2: предупреждение: вступление пустое: перед первым вопросом игрок увидит пустое поле\n"
     "    «.»\n"
     "e.txt:3: предупреждение: оценок в таблице 0 из четырёх: у недостающих пустой текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "e.txt:13: ошибка: ожидалась строка с точкой и цифрой 0 или 1: четвёртый ответ должен быть последним, больше четырёх ответов у вопроса не бывает\n"
     "    «,1»\n"
     "e.txt: кодировка Windows-1251, играть по этому файлу нельзя\n"
     "u.txt:5: ошибка: ожидалось наименьшее число баллов для оценки: целое число от -32768 до 32767\n"
     "    «много»\n"
     "u.txt: кодировка UTF-8, играть по этому файлу нельзя\n",
     1},
    {"files_that_cannot_be_read", {{"sub/x.txt", crlf("T|i|.|.|Q|.|,5")}},
     {"missing.txt", "sub", "pipe", "./sub/x.txt", "{папка}/sub/x.txt"},
     "missing.txt: ошибка: файл не найден\n"
     "missing.txt: играть по этому файлу нельзя\n"
     "sub: ошибка: это папка, а не файл\n"
     "sub: играть по этому файлу нельзя\n"
     "pipe: ошибка: это не обычный файл (канал или устройство)\n"
     "pipe: играть по этому файлу нельзя\n"
     "./sub/x.txt:4: предупреждение: оценок в таблице 0 из четырёх: у недостающих пустой текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "./sub/x.txt:7: ошибка: ожидалась строка ответа с точкой или запятой и цифрой 0 или 1\n"
     "    «,5»\n"
     "./sub/x.txt: кодировка Windows-1251, играть по этому файлу нельзя\n"
     "{папка}/sub/x.txt:4: предупреждение: оценок в таблице 0 из четырёх: у недостающих пустой текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "{папка}/sub/x.txt:7: ошибка: ожидалась строка ответа с точкой или запятой и цифрой 0 или 1\n"
     "    «,5»\n"
     "{папка}/sub/x.txt: кодировка Windows-1251, играть по этому файлу нельзя\n",
     1},
    {"play_folder_in_order", {{"tet0.txt", "\xEF\xBB\xBF 2 \r\n"}, {"test1.txt", kQuiz}, {"test2.txt", kQuiz}, {"test3.txt", kQuiz}},
     {},
     "tet0.txt: игра начнётся с файла test2.txt\n"s
     + "test2.txt: " + kSummary
     + "test1.txt: " + kSummary
     + "test3.txt: " + kSummary,
     0},
    {"counter_missing", {{"test1.txt", kQuiz}, {"test2.txt", kQuiz}, {"test3.txt", kQuiz}}, {},
     "tet0.txt: ошибка: ожидался файл счётчика в папке «{папка}», но его там нет\n"s
     + "test3.txt: " + kSummary
     + "test2.txt: " + kSummary
     + "test1.txt: " + kSummary,
     1},
    {"counter_without_number_and_rotation_file_missing", {{"tet0.txt", toWindows1251("три\r\n")}, {"test1.txt", kQuiz}, {"test2.txt", kQuiz}},
     {},
     "tet0.txt:1: предупреждение: в первой строке нет числа: игра возьмёт 0 и будет искать test0.txt, а после проигрыша или победы остановится, не сумев сдвинуть счётчик\n"
     "    «три»\n"
     "tet0.txt: игра начнётся с файла test0.txt\n"
     "test0.txt: ошибка: ожидался файл викторины в папке «{папка}», но его там нет (в первой строке счётчика tet0.txt нет числа, там «три», и игра взяла 0); в папке есть файлы викторин: test1.txt, test2.txt\n"
     "test0.txt: играть по этому файлу нельзя\n"
     "test3.txt: ошибка: файл не найден: когда счётчик дойдёт до 3, игра не запустится\n"
     "test3.txt: играть по этому файлу нельзя\n"s
     + "test2.txt: " + kSummary
     + "test1.txt: " + kSummary,
     1},
    {"counter_outside_rotation_and_rotation_file_broken",
     {{"tet0.txt", "5\r\n"}, {"test5.txt", kQuiz}, {"test1.txt", kQuiz}, {"test2.txt", crlf("T|.|.|Q|.")}, {"test3.txt", kQuiz}},
     {},
     "tet0.txt:1: предупреждение: число 5 вне круга 3, 2, 1: после проигрыша или победы счётчик станет 4\n"
     "    «5»\n"
     "tet0.txt: игра начнётся с файла test5.txt\n"s
     + "test5.txt: " + kSummary
     + "test3.txt: " + kSummary
     + "test2.txt:2: предупреждение: вступление пустое: перед первым вопросом игрок увидит пустое поле\n"
     "    «.»\n"
     "test2.txt:3: предупреждение: оценок в таблице 0 из четырёх: у недостающих пустой текст и наименьшее число баллов 0\n"
     "    «.»\n"
     "test2.txt:6: ошибка: файл закончился, а ожидалась строка ответа или строка с точкой или запятой и цифрой 0 или 1, закрывающая ответ\n"
     "test2.txt: кодировка Windows-1251, играть по этому файлу нельзя\n"s
     + "test1.txt: " + kSummary,
     1},
    {"help_checks_nothing", {}, {"missing.txt", "--help"}, "Использование: quizcheck [ФАЙЛ...]\n…", 0},
    {"unknown_option", {}, {"--verbose", "quiz.txt"},
     "", 2, "quizcheck: неизвестный параметр «--verbose»\nСправка: quizcheck --help\n"},
    {"double_dash_ends_options", {{"-odd.txt", kQuiz}}, {"--", "-odd.txt"},
     "-odd.txt: " + kSummary,
     0},
};

TEST(Quizcheck, ReportsWhatAnAuthorMustKnowExactly) {
    for (const Case& run : kCases) {
        testing_support::TempFolder folder;
        for (const auto& [name, bytes] : run.files) {
            std::filesystem::create_directories((folder.path() / name).parent_path());
            folder.write(name, bytes);
        }
        ::mkfifo((folder.path() / "pipe").c_str(), 0600);
        std::vector<std::string> args = run.args;
        for (std::string& arg : args)
            if (arg.starts_with("{папка}")) arg.replace(0, std::string("{папка}").size(), folder.path().string());
        std::ostringstream out, err;
        EXPECT_EQ(quizcheck::run(args, folder.path(), out, err), run.status) << run.name;
        std::string expected = run.out;
        for (std::size_t at; (at = expected.find("{папка}")) != std::string::npos;)
            expected.replace(at, std::string("{папка}").size(), folder.path().string());
        if (expected.ends_with("…")) {  // only the beginning is given
            expected.pop_back(), expected.pop_back(), expected.pop_back();
            EXPECT_TRUE(out.str().starts_with(expected)) << run.name << out.str();
            EXPECT_EQ(out.str().find("missing.txt"), std::string::npos);
        } else {
            EXPECT_EQ(out.str(), expected) << run.name;
        }
        EXPECT_EQ(err.str(), run.err) << run.name;
        for (const auto& [name, bytes] : run.files) EXPECT_EQ(folder.read(name), bytes) << name << " is only read";
    }
}

}  // namespace
