// quizcheck as an author runs it: files in a folder, the arguments, and the
// report and exit status it gives. "{папка}" stands for the folder; "…" for
// the part of a line a row leaves open (see testing_support::matches()).
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "quizcheck/command_line.h"
#include "support/support.h"

namespace {

using namespace std::string_literals;
using quizcheck::TextFit;
using testing_support::crlf;
using testing_support::matches;
using testing_support::toWindows1251;

// Windows-1251 bytes of "|"-separated lines, then of `questions` questions answered right.
std::string quiz(std::string_view lines, int questions = 0) {
    std::string text = crlf(lines);
    for (int i = 0; i < questions; ++i) text += "Вопрос\r\n.\r\nДа\r\n.1\r\n";
    return toWindows1251(text);
}

// The summary of a file of which quizcheck has nothing to say.
std::string clean(const std::string& name) {
    return name + ": кодировка Windows-1251, вопросов: 15, игра закончится на пятнадцатой ступени\n";
}
const std::string kQuiz = quiz("Т|Привет\tвсем|.|.", 15);  // a tab is no control character

// A window stand-in: a text tagged "[Control]" for the control it is measured
// in needs a smaller font, and "[Control]!" does not fit even so.
TextFit scriptedMeasure(std::string_view control, std::string_view text) {
    const std::size_t at = text.find(std::string("[").append(control).append("]"));
    if (at == text.npos) return TextFit::AsDesigned;
    return text.substr(at + control.size() + 2).starts_with("!") ? TextFit::Elided : TextFit::Shrunk;
}

struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes
    std::vector<std::string> args;
    std::string report, err = "";
    int status = 0;
    quizcheck::MeasureText measure = nullptr;
};

const Case kCases[] = {
    {"fifteen_and_seventeen_questions", {{"15.txt", toWindows1251(testing_support::makeQuiz(15))},
                                         {"17.txt", testing_support::makeQuiz(17)}}, {"15.txt", "17.txt"},
     "15.txt:4: предупреждение: вопросов 15 или больше: игра заканчивается на пятнадцатой ступени, экран "
     "результатов не появится, и оценок из таблицы игрок не увидит\n    «Отлично»\n" + clean("15.txt") +
     "17.txt:4: предупреждение: вопросов 15 или больше: …\n    «Отлично»\n"
     "17.txt:163: предупреждение: вопрос 16: вопросы после пятнадцатого игра не задаёт: она заканчивается на "
     "пятнадцатой ступени\n    «Вопрос 16»\n"
     "17.txt: кодировка UTF-8, вопросов: 17, игра закончится на пятнадцатой ступени\n"},
    {"warnings_of_a_playable_file",
     {{"w.txt", quiz("|.|Высоко|2|Низко|5|.|Без правильного|.|а|,0|б|.0|Два правильных|.|а|,1|б|.1|.|а|,1|,0|  |.0|"
                     "Текст|.|а|.1")}}, {"w.txt"},
     "w.txt:1: предупреждение: заголовок пустой: у окна не будет названия викторины\n    «»\n"
     "w.txt:2: предупреждение: вступление пустое: перед первым вопросом игрок увидит пустое поле\n    «.»\n"
     "w.txt:3: предупреждение: экран результатов появится только после верных ответов на все вопросы (4), и "
     "оценка на нём всегда эта, 1-я в таблице: других оценок игрок не увидит\n    «Высоко»\n"
     "w.txt:6: предупреждение: наименьшее число баллов 5 не меньше, чем у оценки выше (2, строка 4): эту оценку "
     "игрок не увидит никогда\n    «5»\n"
     "w.txt:7: предупреждение: оценок в таблице 2 из четырёх: у недостающих пустой текст и наименьшее число "
     "баллов 0\n    «.»\n"
     "w.txt:8: предупреждение: вопрос 1: нет правильного ответа (с цифрой 1): на этом вопросе игра закончится "
     "при любом ответе\n    «Без правильного»\n"
     "w.txt:14: предупреждение: вопрос 2: 2 правильных ответа (с цифрой 1): засчитан будет любой из них\n"
     "    «Два правильных»\nw.txt:20: предупреждение: вопрос 3: текста вопроса нет\n    «.»\n"
     "w.txt:23: предупреждение: вопрос 3, ответ Б: у ответа нет текста: этот вариант не будет показан\n    «,0»\n"
     "w.txt:25: предупреждение: вопрос 3, ответ В: текст ответа из одних пробелов: вариант будет показан пустым\n"
     "    «.0»\nw.txt: кодировка Windows-1251, вопросов: 4, игра закончится экраном результатов\n"},
    {"errors_after_warnings_and_in_utf8",
     {{"e.txt", quiz("|.|.|Вопрос|.|a|,0|b|,0|c|,0|d|,1|e|.0")}, {"u.txt", "\xEF\xBB\xBF" + crlf("Т|и|.|В|много\xC2\x9F|.")}},
     {"e.txt", "u.txt"}, "e.txt:1: предупреждение: заголовок пустой: …\n    «»\n"
     "e.txt:2: предупреждение: вступление пустое: …\n    «.»\n"
     "e.txt:3: предупреждение: оценок в таблице 0 из четырёх: …\n    «.»\n"
     "e.txt:13: ошибка: вопрос 1, ответ Г: ожидалась строка с точкой и цифрой 0 или 1: четвёртый ответ должен быть последним, "
     "больше четырёх ответов у вопроса не бывает\n    «,1»\n"
     "e.txt: кодировка Windows-1251, играть по этому файлу нельзя\n"
     "u.txt:5: ошибка: ожидалось наименьшее число баллов для оценки: целое число\n    «много<U+009F>»\nu.txt: кодировка UTF-8, играть по этому файлу нельзя\n", "", 1},
    {"files_that_cannot_be_read", {{"sub/x.txt", kQuiz}},
     {"missing.txt", "sub", "pipe", "./sub/x.txt", "{папка}/sub/x.txt"},
     "missing.txt: ошибка: файл не найден\nmissing.txt: играть по этому файлу нельзя\n"
     "sub: ошибка: это папка, а не файл\nsub: играть по этому файлу нельзя\n"
     "pipe: ошибка: это не обычный файл (канал или устройство)\npipe: играть по этому файлу нельзя\n" +
     clean("./sub/x.txt") + clean("{папка}/sub/x.txt"), "", 1},
    {"play_folder_in_order",
     {{"tet0.txt", "\xEF\xBB\xBF 2 \r\n"}, {"test1.txt", kQuiz}, {"test2.txt", kQuiz}, {"test3.txt", kQuiz}}, {},
     "tet0.txt: игра начнётся с файла test2.txt\n" + clean("test2.txt") + clean("test1.txt") + clean("test3.txt")},
    {"counter_missing", {{"test1.txt", kQuiz}, {"test2.txt", kQuiz}, {"test3.txt", kQuiz}}, {},
     "tet0.txt: ошибка: ожидался файл счётчика в папке «{папка}», но его там нет\n" + clean("test3.txt") +
     clean("test2.txt") + clean("test1.txt"), "", 1},
    {"counter_without_number_and_rotation_file_missing",
     {{"tet0.txt", toWindows1251("три\r\n")}, {"test1.txt", kQuiz}, {"test2.txt", kQuiz}}, {},
     "tet0.txt:1: предупреждение: в первой строке нет числа: игра возьмёт 0 и будет искать test0.txt, а после "
     "проигрыша или победы остановится, не сумев сдвинуть счётчик\n    «три»\n"
     "tet0.txt: игра начнётся с файла test0.txt\n"
     "test0.txt: ошибка: ожидался файл викторины в папке «{папка}», но его там нет (в первой строке счётчика "
     "tet0.txt нет числа, там «три», и игра взяла 0); в папке есть файлы викторин: test1.txt, test2.txt\n"
     "test0.txt: играть по этому файлу нельзя\n"
     "test3.txt: ошибка: файл не найден: когда счётчик дойдёт до 3, игра не запустится\n"
     "test3.txt: играть по этому файлу нельзя\n" + clean("test2.txt") + clean("test1.txt"), "", 1},
    {"counter_outside_rotation_and_rotation_file_broken",
     {{"tet0.txt", "5\r\n"}, {"test5.txt", kQuiz}, {"test1.txt", kQuiz}, {"test2.txt", ""}, {"test3.txt", kQuiz}}, {},
     "tet0.txt:1: предупреждение: число 5 вне круга 3, 2, 1: после проигрыша или победы счётчик станет 4\n"
     "    «5»\ntet0.txt: игра начнётся с файла test5.txt\n" + clean("test5.txt") + clean("test3.txt") +
     "test2.txt:1: ошибка: файл закончился, а ожидалась строка заголовка\n"
     "test2.txt: кодировка Windows-1251, играть по этому файлу нельзя\n" + clean("test1.txt"), "", 1},
    {"help_checks_nothing", {}, {"missing.txt", "--help"}, "Использование: quizcheck [ФАЙЛ...]\n…"},
    {"unknown_option", {}, {"--verbose", "quiz.txt"}, "",
     "quizcheck: неизвестный параметр «--verbose»\nСправка: quizcheck --help\n", 2},
    {"double_dash_ends_options", {{"-odd.txt", kQuiz}}, {"--", "-odd.txt"}, clean("-odd.txt")},
    {"right_answer_without_text", {{"q.txt", quiz("Т|Привет|.|.|Вопрос|.|Нет|,0|.1", 14)}}, {"q.txt"},
     "q.txt:9: предупреждение: вопрос 1, ответ Б: у правильного ответа нет текста: этот вариант не будет показан, "
     "и ответить на вопрос верно нельзя\n    «.1»\n" + clean("q.txt")},
    // Minimums 64, 1, 0, -1 with two questions: a full score of 2 gets row 2.
    {"unreachable_minimum_one_verdict_shown", {{"q.txt", quiz("Т|Привет|.|Отлично|64|Хорошо|1|Так|0|Увы|-1|.", 2)}},
     {"q.txt"}, "q.txt:5: предупреждение: наименьшее число баллов 64 недостижимо…\n    «64»\n"
     "q.txt:6: предупреждение: …вопросы (2), и оценка на нём всегда эта, 2-я…\n    «Хорошо»\nq.txt: …\n"},
    {"verdict_shown_is_a_row_the_file_lacks", {{"q.txt", quiz("Т|Привет|.|Отлично|5|.", 3)}}, {"q.txt"},
     "q.txt:5: предупреждение: наименьшее число баллов 5 недостижимо…\n    «5»\n"
     "q.txt:6: предупреждение: оценок в таблице 1 из четырёх…\n    «.»\n"
     "q.txt:6: предупреждение: …вопросы (3), и оценка на нём будет пустой: 2-й оценки в таблице нет\n    «.»\n"
     "q.txt: …\n"},
    {"control_characters_shown_in_the_quote", {{"q.txt", quiz("Т|Привет|.|.|Вопрос|.|Да\0нет\x1b|.1"s, 14)}},
     {"q.txt"}, "q.txt:7: предупреждение: …управляющие символы…\n    «Да␀нет␛»\n" + clean("q.txt")},
    {"utf8_line_in_a_windows_1251_file", {{"q.txt", "Заголовок\r\n" + quiz("Привет|.|.", 15)}}, {"q.txt"},
     "q.txt:1: предупреждение: …UTF-8, а файл в Windows-1251: окно покажет её так, как ниже, а не «Заголовок»\n"
     "    «Р—Р°РіРѕР»РѕРІРѕРє»\n" + clean("q.txt")},
    {"extra_text_at_its_line", {{"q.txt", quiz("Т|П|.|О|1|Х|0|Т|-1|У|-2|.|В|.|Да|.1||Лишняя строка|ещё")}}, {"q.txt"},
     "q.txt:18: ошибка: лишний текст после последнего вопроса…\n    «Лишняя строка»\nq.txt: …\n", "", 1},
    {"probable_markers_at_their_lines", {{"m.txt", crlf("Т|П|.|.|Сколько?|.|3|;0|4|:1|5|1,|6| ,0|7|0.|8|，1|9|ю1|10|.1")}},
     {"m.txt"}, "m.txt:4: …\n    «.»\nm.txt:4: …\n    «.»\n" + [] {
         std::string lines;  // each mistyped marker, at its line
         for (const auto& [at, line] : {std::pair{8, ";0"}, {10, ":1"}, {12, "1,"}, {14, " ,0"}, {16, "0."},
                                        {18, "，1"}, {20, "ю1"}})
             lines += "m.txt:" + std::to_string(at) + ": предупреждение: вопрос 1, ответ A: похоже на строку ответа, "
                      "но первым символом должна быть точка или запятая\n    «" + line + "»\n";
         return lines + "m.txt: …";
     }(), "", 0},
    {"slip_after_the_fifteenth_question", {{"s.txt", testing_support::makeQuiz(15) + crlf("Вопрос|.|Да|,5")}}, {"s.txt"},
     "s.txt:4: …\n    «Отлично»\ns.txt:166: предупреждение: до этого места игра не доходит (после пятнадцатого вопроса "
     "она файл не читает), но здесь ошибка: вопрос 16, ответ A: ожидалась строка ответа с точкой или запятой и цифрой 0 "
     "или 1\n    «,5»\ns.txt: кодировка UTF-8, вопросов: 15, игра закончится на пятнадцатой ступени\n"},
    {"failure_inside_the_check_and_an_odd_name", {{"x\xFF\x1B.txt", kQuiz}}, {"x\xFF\x1B.txt"},
     "x\\xFF␛.txt: ошибка: не удалось проверить файл: std::bad_alloc\nx\\xFF␛.txt: кодировка Windows-1251, играть по "
     "этому файлу нельзя\n", "", 1, [](std::string_view, std::string_view) -> TextFit { throw std::bad_alloc(); }},
    {"texts_the_window_shrinks_or_elides",
     {{"q.txt", quiz("Т|Привет [Label2.intro]|.|Молодец [Label2.intro]!|0|.|В|.|А|,0|Б|,0|Длинный [Option3]|.1")}},
     {"q.txt"}, "q.txt:2: предупреждение: вступление: текст не помещается в своё место в окне и будет показан мельче\n"
     "    «Привет [Label2.intro]»\nq.txt:4: предупреждение: …1-я в таблице\n    «Молодец [Label2.intro]!»\n"
     "q.txt:4: предупреждение: экран результатов: текст не помещается в своё место в окне даже мельче и будет обрезан…\n"
     "    «Молодец [Label2.intro]!»\nq.txt:6: предупреждение: оценок в таблице 1 из четырёх…\n    «.»\n"
     "q.txt:13: предупреждение: вопрос 1, ответ В: текст ответа не помещается в своё место в окне и будет показан мельче\n"
     "    «Длинный [Option3]»\nq.txt: …\n", "", 0, scriptedMeasure},
};

TEST(Quizcheck, ReportsWhatAnAuthorMustKnow) {
    for (const Case& run : kCases) {
        SCOPED_TRACE(run.name);
        testing_support::TempFolder folder;  // with a pipe and a folder "sub" besides the files
        ::mkfifo((folder.path() / "pipe").c_str(), 0600), std::filesystem::create_directory(folder.path() / "sub");
        for (const auto& [name, bytes] : run.files) folder.write(name, bytes);
        const std::string dir = folder.path();
        const auto place = [&](const std::string& t) { return std::regex_replace(t, std::regex("\\{папка\\}"), dir); };
        std::vector<std::string> args;
        for (const std::string& arg : run.args) args.push_back(place(arg));
        std::ostringstream out, err;
        EXPECT_EQ(quizcheck::run(args, folder.path(), out, err, {run.measure}), run.status);
        EXPECT_TRUE(matches(out.str(), place(run.report))) << out.str();
        EXPECT_EQ(err.str(), run.err);
        for (const auto& [name, bytes] : run.files) EXPECT_EQ(folder.read(name), bytes) << name << " is only read";
    }
}

}  // namespace
