// The rotation counter: which quiz it selects, how it steps, and that a step
// refused leaves the counter as it was.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>

#include "quiz/counter.h"
#include "quiz/quiz_error.h"
#include "support/support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

// The error of `call`, or "no error".
template <typename Call>
std::string errorOf(Call call) try {
    call();
    return "no error";
} catch (const quiz::QuizError& e) {
    return e.file() + " " + std::to_string(e.line()) + " " + e.what();
}

TEST(Counter, ValueIsTheNumberAtTheStartClampedToLong) {
    const std::pair<const char*, std::optional<long>> cases[] = {  // {}: no number
        {"3", 3}, {" \t7x", 7}, {"+3", 3}, {"-0", 0}, {"2.9", 2}, {"", {}}, {"x3", {}}, {"+", {}}, {"- 3", {}},
        {"9223372036854775808", LONG_MAX}, {"-9223372036854775809", LONG_MIN},
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(quiz::counterValue(line), value) << line;
}

TEST(Counter, SelectsTheQuizItsFirstLineNames) {
    for (const auto& [counter, value] : {std::pair<std::string, long>{"3\r\n", 3}, {"abc\r\n", 0}, {"-1\r\n", -1},
                                         {"\r\n2\r\n", 0}, {"\xEF\xBB\xBF" "2", 2}}) {
        TempFolder folder;
        folder.write("tet0.txt", counter);
        const std::string name = "test" + std::to_string(value) + ".txt";
        folder.write(name, "quiz " + name);
        const quiz::QuizSelection chosen = quiz::selectAndOpen(folder.path());
        EXPECT_EQ(chosen.counter, value) << counter;
        EXPECT_EQ(chosen.fileName, name);
        EXPECT_EQ(chosen.questionFilePath, (folder.path() / name).string());
        EXPECT_EQ(chosen.file ? std::string(std::istreambuf_iterator<char>(*chosen.file), {}) : "", "quiz " + name);
        EXPECT_EQ(folder.read("tet0.txt"), counter) << "selecting changes nothing";
    }
}

TEST(Counter, StepWritesTheNextValueOnceThroughARenameOrIsRefusedForNoNumber) {
    const std::pair<std::string, long> cases[] = {  // 0: refused
        {"3\r\n", 2}, {"2\r\n", 1}, {"1\r\n", 3}, {"0\r\n", 3}, {"5\r\n", 4}, {"3", 2}, {"3\nrest\n", 2},
        {"-99999999999999999999999\r\n", 3}, {"99999999999999999999999\r\n", LONG_MAX - 1}, {"", 0}, {"  \r\n5\r\n", 0},
    };
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    for (const auto& [counter, next] : cases) {
        TempFolder folder;
        const fs::path file = folder.write("tet0.txt", counter);
        fs::permissions(file, perms);
        const auto inode = [&] { struct stat s {}; ::stat(file.c_str(), &s); return s.st_ino; };
        const ino_t before = inode();
        long stepped = 0;
        const std::string error = errorOf([&] { stepped = quiz::stepCounter(folder.path()); });
        EXPECT_EQ(stepped, next) << counter << error;
        EXPECT_EQ(error.starts_with("tet0.txt 1 "), next == 0) << error;
        EXPECT_EQ(folder.read("tet0.txt"), next ? std::to_string(next) + "\r\n" : counter);
        EXPECT_EQ(folder.files(), std::vector<std::string>{"tet0.txt"}) << "no temporary file left";
        EXPECT_EQ(fs::status(file).permissions(), perms);
        EXPECT_EQ(inode() != before, next != 0) << "replaced whole, never rewritten in place";
    }
}

TEST(Counter, RefusalsToSelectSayWhatIsWrongAndLeaveEverythingAsItWas) {
    // The counter and test1.txt: nullptr for none, "|" for a pipe, "/" for a folder; then the parts the
    // message says, in this order ("" stands for the folder).
    struct Case { const char *counter, *quiz; std::vector<std::string> says; };
    const Case cases[] = {
        {nullptr, "", {"tet0.txt 0 tet0.txt:", "", "нет"}},
        {"|", "", {"tet0.txt 0", "не обычный файл"}},
        {" 1 ", nullptr, {"test1.txt 0 test1.txt:", "", "нет", "в папке есть файлы викторин: test2.txt"}},
        {"1", "|", {"test1.txt 0", "не обычный файл"}}, {"1", "/", {"test1.txt 0", "не обычный файл"}},
        {"x\x01y\x7F\tz\r\n", "", {"test0.txt", "нет числа", "«x\\x01y\\x7F\\x09z»", ": test1.txt, test2.txt"}},
        {"\r\nA\r\n", "", {"test0.txt", "пуста"}}, {" 99999999999999999999\r\n", "", {"«99999999999999999999»"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const char* other : {"test2.txt", "notes.txt", "test2.txt.bak"}) folder.write(other, "quiz");
        for (const auto& [name, content] : {std::pair{"tet0.txt", c.counter}, {"test1.txt", c.quiz}}) {
            if (content == nullptr) continue;
            if (std::string_view(content) == "|") ::mkfifo((folder.path() / name).c_str(), 0600);
            else if (std::string_view(content) == "/") fs::create_directory(folder.path() / name);
            else folder.write(name, content);
        }
        const auto files = folder.files();
        const std::string error = errorOf([&] { quiz::selectAndOpen(folder.path()); });
        std::size_t at = 0;
        for (const std::string& part : c.says)
            if (at != std::string::npos) at = error.find(part.empty() ? folder.path().string() : part, at);
        EXPECT_NE(at, std::string::npos) << error;
        EXPECT_TRUE(std::ranges::none_of(error, [](unsigned char b) { return b < 0x20 && b != '\n'; })) << error;
        EXPECT_EQ(folder.files(), files);
    }
}

}  // namespace
