#include "quiz/counter.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "quiz/quiz_error.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using quiz::QuizError;

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

class CounterTest : public ::testing::Test {
protected:
    QuizError stepError() {
        try {
            quiz::stepCounter(folder_.path());
        } catch (const QuizError& error) {
            return error;
        }
        ADD_FAILURE() << "no error";
        return QuizError("", 0, "");
    }

    QuizError selectError() {
        try {
            quiz::selectAndOpen(folder_.path());
        } catch (const QuizError& error) {
            return error;
        }
        ADD_FAILURE() << "no error";
        return QuizError("", 0, "");
    }

    quiz_test::TempFolder folder_;
};

struct SelectCase {
    const char* name;
    std::string counter;  // the bytes of tet0.txt
    long value;
    const char* fileName;
};

const std::vector<SelectCase> kSelectCases = {
    {"plain", "3\r\n", 3, "test3.txt"},
    {"blanks_around", "  2 \r\n", 2, "test2.txt"},
    {"tabs_before", "\t1\r\n", 1, "test1.txt"},
    {"fraction_gives_its_whole_part", "2.5\r\n", 2, "test2.txt"},
    {"letters_after_the_digits", "2abc\r\n", 2, "test2.txt"},
    {"no_number_gives_0", "abc\r\n", 0, "test0.txt"},
    {"empty_file_gives_0", "", 0, "test0.txt"},
    {"plus_sign", "+3", 3, "test3.txt"},
    {"negative", "-1\r\n", -1, "test-1.txt"},
    {"no_line_end", "3", 3, "test3.txt"},
    {"lone_lf", "1\n", 1, "test1.txt"},
    {"only_the_first_line_counts", "1\r\n2\r\n", 1, "test1.txt"},
    {"number_on_the_second_line_only", "\r\n2\r\n", 0, "test0.txt"},
    {"byte_order_mark_before_the_number",
     "\xEF\xBB\xBF"
     "2\r\n",
     2, "test2.txt"},
    {"leading_zeros", "003", 3, "test3.txt"},
};

TEST_F(CounterTest, SelectsTheQuizTheCounterNames) {
    for (const SelectCase& c : kSelectCases) {
        SCOPED_TRACE(c.name);
        folder_.write("tet0.txt", c.counter);
        folder_.write(c.fileName, std::string("quiz ") + c.fileName);
        const quiz::QuizSelection selection = quiz::selectAndOpen(folder_.path());
        EXPECT_EQ(selection.counter, c.value);
        EXPECT_EQ(selection.fileName, c.fileName);
        EXPECT_EQ(selection.questionFilePath, (folder_.path() / c.fileName).string());
        ASSERT_TRUE(selection.file && selection.file->is_open());
        const std::string content{std::istreambuf_iterator<char>(*selection.file), {}};
        EXPECT_EQ(content, std::string("quiz ") + c.fileName);
        EXPECT_EQ(folder_.read("tet0.txt"), c.counter) << "selecting changes nothing";
        fs::remove(folder_.path() / c.fileName);
    }
}

TEST_F(CounterTest, MissingCounterNamesTheFileAndTheFolder) {
    folder_.write("test3.txt", "quiz");
    for (const auto& call : {+[](const fs::path& f) { quiz::selectAndOpen(f); },
                             +[](const fs::path& f) { quiz::stepCounter(f); }}) {
        try {
            call(folder_.path());
            ADD_FAILURE() << "no error";
        } catch (const QuizError& error) {
            EXPECT_EQ(error.file(), "tet0.txt");
            EXPECT_EQ(error.line(), 0);
            EXPECT_FALSE(error.hasLineText());
            EXPECT_EQ(std::string(error.what()), "tet0.txt: ожидался файл счётчика в папке «" +
                                                     folder_.path().string() + "», но его там нет");
        }
    }
}

TEST_F(CounterTest, MissingQuizNamesTheFileTheFolderAndTheCounter) {
    folder_.write("tet0.txt", "  2 \r\n");
    const QuizError error = selectError();
    EXPECT_EQ(error.file(), "test2.txt");
    EXPECT_EQ(error.line(), 0);
    EXPECT_EQ(std::string(error.what()),
              "test2.txt: ожидался файл викторины в папке «" + folder_.path().string() +
                  "», но его там нет (его выбрал счётчик tet0.txt с числом 2); в папке нет ни "
                  "одного файла викторины (test<число>.txt)");
}

TEST_F(CounterTest, QuizOrCounterThatIsAPipeIsRefusedWithoutWaiting) {
    struct Case {
        const char* pipe;
        const char* counter;
    };
    for (const Case& c : {Case{"test1.txt", "1\r\n"}, Case{"tet0.txt", nullptr}}) {
        SCOPED_TRACE(c.pipe);
        quiz_test::TempFolder folder;
        if (c.counter != nullptr) folder.write("tet0.txt", c.counter);
        ASSERT_EQ(::mkfifo((folder.path() / c.pipe).c_str(), 0600), 0);
        try {
            quiz::selectAndOpen(folder.path());
            ADD_FAILURE() << "no error";
        } catch (const QuizError& error) {
            EXPECT_EQ(error.file(), c.pipe);
            EXPECT_NE(std::string(error.what()).find("это не обычный файл"), std::string::npos)
                << error.what();
        }
    }
}

TEST_F(CounterTest, QuizThatIsAFolderCannotBeOpened) {
    folder_.write("tet0.txt", "1\r\n");
    fs::create_directory(folder_.path() / "test1.txt");
    const QuizError error = selectError();
    EXPECT_EQ(error.file(), "test1.txt");
    EXPECT_NE(std::string(error.what()).find("не удалось открыть для чтения файл викторины"),
              std::string::npos);
}

struct StepCase {
    const char* name;
    std::string counter;
    long next;
};

const std::vector<StepCase> kStepCases = {
    {"three_to_two", "3\r\n", 2},
    {"two_to_one", "2\r\n", 1},
    {"one_wraps_to_three", "1\r\n", 3},
    {"zero_to_three", "0\r\n", 3},
    {"negative_to_three", "-5\r\n", 3},
    {"five_to_four", "5\r\n", 4},
    {"blanks_around", "  2 \r\n", 1},
    {"fraction", "2.5\r\n", 1},
    {"no_line_end", "3", 2},
    {"lone_lf_and_more_lines", "3\nrest\n", 2},
    {"byte_order_mark",
     "\xEF\xBB\xBF"
     "1",
     3},
    {"beyond_long_below", "-99999999999999999999999\r\n", 3},
    {"beyond_long_above", "99999999999999999999999\r\n", LONG_MAX - 1},
};

TEST_F(CounterTest, StepWritesTheNextValueWithCrLf) {
    for (const StepCase& c : kStepCases) {
        SCOPED_TRACE(c.name);
        folder_.write("tet0.txt", c.counter);
        EXPECT_EQ(quiz::stepCounter(folder_.path()), c.next);
        EXPECT_EQ(folder_.read("tet0.txt"), std::to_string(c.next) + "\r\n");
        EXPECT_EQ(filesIn(folder_.path()), std::set<std::string>{"tet0.txt"})
            << "no temporary file left";
    }
}

TEST_F(CounterTest, RotationRunsThreeTwoOneThree) {
    folder_.write("tet0.txt", "3\r\n");
    for (const long expected : {2, 1, 3, 2, 1, 3}) {
        EXPECT_EQ(quiz::stepCounter(folder_.path()), expected);
        folder_.write("test" + std::to_string(expected) + ".txt", "quiz");
        EXPECT_EQ(quiz::selectAndOpen(folder_.path()).fileName, quiz::quizFileName(expected));
    }
}

TEST_F(CounterTest, StepKeepsTheCounterPermissions) {
    const fs::path counter = folder_.write("tet0.txt", "3\r\n");
    fs::permissions(counter, fs::perms::owner_read | fs::perms::owner_write |
                                 fs::perms::group_read | fs::perms::others_read);
    quiz::stepCounter(folder_.path());
    EXPECT_EQ(fs::status(counter).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST_F(CounterTest, StepWithoutANumberIsAnErrorAndLeavesTheFile) {
    const struct {
        const char* name;
        std::string counter;
        std::string lineText;
    } cases[] = {
        {"letters", "abc\r\n", "abc"},           {"empty_file", "", ""},
        {"blank_line", "  \r\n5\r\n", "  "},     {"sign_alone", "-\r\n", "-"},
        {"point_before_digits", ".5\r\n", ".5"}, {"cyrillic", "\xF2\xF0\xE8\r\n", "три"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder_.write("tet0.txt", c.counter);
        const QuizError error = stepError();
        EXPECT_EQ(error.file(), "tet0.txt");
        EXPECT_EQ(error.line(), 1);
        EXPECT_EQ(error.lineText(), c.lineText);
        EXPECT_EQ(error.expected(),
                  "ожидалось число в первой строке счётчика; файл оставлен как был");
        EXPECT_EQ(folder_.read("tet0.txt"), c.counter);
        EXPECT_EQ(filesIn(folder_.path()), std::set<std::string>{"tet0.txt"});
    }
}

// Lowers the limit on file size to nothing, so that writing any byte to a
// file fails (for root as well), and puts it back afterwards.
class NoFileGrowth {
public:
    NoFileGrowth() {
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit none = old_;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileGrowth() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    NoFileGrowth(const NoFileGrowth&) = delete;
    NoFileGrowth& operator=(const NoFileGrowth&) = delete;

private:
    rlimit old_{};
    sighandler_t oldHandler_;
};

TEST_F(CounterTest, FailedWriteRemovesTheTemporaryFileAndLeavesTheOldCounter) {
    folder_.write("tet0.txt", "2\r\n");
    std::string what;
    {
        NoFileGrowth guard;
        try {
            quiz::stepCounter(folder_.path());
        } catch (const QuizError& error) {
            what = error.what();
        }
    }
    EXPECT_EQ(what, "tet0.txt: не удалось записать новое значение счётчика в папке «" +
                        folder_.path().string() +
                        "»: превышен допустимый размер файла; в файле осталось прежнее значение");
    EXPECT_EQ(folder_.read("tet0.txt"), "2\r\n");
    EXPECT_EQ(filesIn(folder_.path()), std::set<std::string>{"tet0.txt"});
}

TEST(CounterValueTest, ReadsTheNumberAtTheStart) {
    const struct {
        const char* line;
        std::optional<long> value;
    } cases[] = {
        {"3", 3},
        {" \t7x", 7},
        {"-0", 0},
        {"2.9", 2},
        {"", std::nullopt},
        {"x3", std::nullopt},
        {"+", std::nullopt},
        {"- 3", std::nullopt},
        {"9223372036854775807", LONG_MAX},
        {"9223372036854775808", LONG_MAX},
        {"-9223372036854775808", LONG_MIN},
        {"-9223372036854775809", LONG_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(quiz::counterValue(c.line), c.value);
    }
}

}  // namespace
