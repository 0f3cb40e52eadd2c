// The rotation counter: which quiz it selects, how it steps, and that a step
// refused leaves the counter as it was.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <functional>
#include <iterator>

#include "quiz/counter.h"
#include "quiz/quiz_error.h"
#include "support/support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

// The error of `call`, or "no error".
template <typename Call>
std::string errorOf(Call call) {
    try {
        call();
    } catch (const quiz::QuizError& e) {
        return e.file() + " " + std::to_string(e.line()) + " " + e.what();
    }
    return "no error";
}

TEST(Counter, SelectsTheQuizItsFirstLineNames) {
    const std::pair<std::string, long> cases[] = {
        {"3\r\n", 3}, {"  2 \r\n", 2}, {"\t1", 1}, {"2.5\r\n", 2}, {"2abc\n", 2}, {"abc\r\n", 0},
        {"", 0}, {"+3", 3}, {"-1\r\n", -1}, {"1\r\n2\r\n", 1}, {"\r\n2\r\n", 0}, {"\xEF\xBB\xBF" "2", 2},
        {"003", 3},
    };
    for (const auto& [counter, value] : cases) {
        TempFolder folder;
        folder.write("tet0.txt", counter);
        const std::string name = "test" + std::to_string(value) + ".txt";
        folder.write(name, "quiz " + name);
        const quiz::QuizSelection selection = quiz::selectAndOpen(folder.path());
        EXPECT_EQ(selection.counter, value) << counter;
        EXPECT_EQ(selection.fileName, name);
        EXPECT_EQ(selection.questionFilePath, (folder.path() / name).string());
        ASSERT_TRUE(selection.file && selection.file->is_open());
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*selection.file), {}), "quiz " + name);
        EXPECT_EQ(folder.read("tet0.txt"), counter) << "selecting changes nothing";
    }
}

TEST(Counter, StepWritesTheNextValueOnceThroughARename) {
    const std::pair<std::string, long> cases[] = {
        {"3\r\n", 2}, {"2\r\n", 1}, {"1\r\n", 3}, {"0\r\n", 3}, {"-5\r\n", 3}, {"5\r\n", 4},
        {"  2 \r\n", 1}, {"2.5\r\n", 1}, {"3", 2}, {"3\nrest\n", 2}, {"\xEF\xBB\xBF" "3\r\n", 2},
        {"-99999999999999999999999\r\n", 3}, {"99999999999999999999999\r\n", LONG_MAX - 1},
    };
    for (const auto& [counter, next] : cases) {
        TempFolder folder;
        const fs::path file = folder.write("tet0.txt", counter);
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        struct stat before {};
        ::stat(file.c_str(), &before);
        EXPECT_EQ(quiz::stepCounter(folder.path()), next) << counter;
        EXPECT_EQ(folder.read("tet0.txt"), std::to_string(next) + "\r\n");
        EXPECT_EQ(folder.files(), std::vector<std::string>{"tet0.txt"}) << "no temporary file left";
        EXPECT_EQ(fs::status(file).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        struct stat after {};
        ::stat(file.c_str(), &after);
        EXPECT_NE(before.st_ino, after.st_ino) << "replaced whole, never rewritten in place";
    }
}

TEST(Counter, RotationRunsThreeTwoOneThree) {
    TempFolder folder;
    folder.write("tet0.txt", "3\r\n");
    for (const long expected : {2, 1, 3, 2}) EXPECT_EQ(quiz::stepCounter(folder.path()), expected);
}

TEST(Counter, RefusalsSayWhatIsWrongAndLeaveEverythingAsItWas) {
    struct Case {
        const char* counter;  // nullptr: none; "|": a pipe
        const char* quiz;     // test1.txt: nullptr none, "|" a pipe, "/" a folder
        std::vector<std::string> says;  // in this order; "" stands for the folder
    };
    const Case cases[] = {
        {nullptr, "", {"tet0.txt 0 tet0.txt:", "", "нет"}},
        {"|", "", {"tet0.txt 0", "не обычный файл"}},
        {" 1 ", nullptr, {"test1.txt 0 test1.txt:", "", "нет", "в папке есть файлы викторин: test2.txt"}},
        {"1", "/", {"test1.txt 0", "открыть"}},
        {"1", "|", {"test1.txt 0", "не обычный файл"}},
        {"x\x01y\x7F\tz\r\n", "", {"test0.txt", "нет числа", "«x\\x01y\\x7F\\x09z»", "файлы викторин: test1.txt, test2.txt"}},
        {"\r\nA\r\n", "", {"test0.txt", "пуста"}},
        {" 99999999999999999999\r\n", "", {"«99999999999999999999»"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const char* other : {"test2.txt", "notes.txt", "test2.txt.bak"}) folder.write(other, "quiz");
        for (const auto& [name, content] : {std::pair{"tet0.txt", c.counter}, {"test1.txt", c.quiz}}) {
            if (!content) continue;
            const fs::path path = folder.path() / name;
            if (content == std::string("|")) {
                ::mkfifo(path.c_str(), 0600);
            } else if (content == std::string("/")) {
                fs::create_directory(path);
            } else {
                folder.write(name, content);
            }
        }
        const auto files = folder.files();
        const std::string error = errorOf([&] { quiz::selectAndOpen(folder.path()); });
        std::size_t at = 0;
        for (const std::string& part : c.says) {
            if (at != std::string::npos) at = error.find(part.empty() ? folder.path().string() : part, at);
        }
        EXPECT_NE(at, std::string::npos) << error;
        EXPECT_TRUE(std::none_of(error.begin(), error.end(), [](unsigned char b) { return b < 0x20 && b != '\n'; })) << error;
        EXPECT_EQ(folder.files(), files);
    }
}

TEST(Counter, StepRefusedForNoNumberOrAFailedWriteKeepsTheOldValue) {
    for (const std::string counter : {"abc\r\n", "", "  \r\n5\r\n", "-\r\n", ".5\r\n"}) {
        TempFolder folder;
        folder.write("tet0.txt", counter);
        EXPECT_TRUE(errorOf([&] { quiz::stepCounter(folder.path()); }).starts_with("tet0.txt 1 "))
            << counter;
        EXPECT_EQ(folder.read("tet0.txt"), counter);
        EXPECT_EQ(folder.files(), std::vector<std::string>{"tet0.txt"});
    }
    TempFolder folder;
    folder.write("tet0.txt", "2\r\n");
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit none = old;
    none.rlim_cur = 0;  // no file may grow, for root too
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &none);
    const std::string error = errorOf([&] { quiz::stepCounter(folder.path()); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, handler);
    EXPECT_NE(error.find("превышен допустимый размер файла; в файле осталось прежнее значение"),
              std::string::npos) << error;
    EXPECT_EQ(folder.read("tet0.txt"), "2\r\n");
    EXPECT_EQ(folder.files(), std::vector<std::string>{"tet0.txt"});
}

TEST(Counter, ValueIsTheNumberAtTheStartClampedToLong) {
    const std::pair<const char*, std::optional<long>> cases[] = {
        {"3", 3}, {" \t7x", 7}, {"-0", 0}, {"2.9", 2}, {"", std::nullopt}, {"x3", std::nullopt},
        {"+", std::nullopt}, {"- 3", std::nullopt}, {"9223372036854775808", LONG_MAX},
        {"-9223372036854775809", LONG_MIN},
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(quiz::counterValue(line), value) << line;
}

}  // namespace
