// The counter in everyday situations: its messages, a symbolic link, games
// stepping it at once, leftovers of killed steps, and a folder where the step
// would fail, found at start-up by the game and by quizcheck.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "faults/counter_scene.h"
#include "faults/privileges.h"
#include "faults/scratch_folder.h"
#include "quiz/counter.h"
#include "quiz/quiz_error.h"
#include "quizcheck/folder_check.h"
#include "support/quiz_files.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

// The message of the QuizError that `call` throws, "" when none.
template <typename Call>
std::string failureOf(Call call) {
    try {
        call();
    } catch (const quiz::QuizError& e) {
        return e.what();
    }
    return "";
}

std::string quizcheckReport(const fs::path& folder) {
    std::ostringstream out;
    quizcheck::Report report(out);
    quizcheck::checkFolder(folder, report);
    return out.str();
}

void expectSays(const std::string& text, const std::vector<std::string>& parts) {
    for (const std::string& part : parts) {
        EXPECT_NE(text.find(part), std::string::npos) << "«" << part << "» missing in: " << text;
    }
}

struct MessageCase {
    const char* name;
    std::string counter;
    std::vector<std::string> says;
};

const std::vector<MessageCase> kMessageCases = {
    {"no_number_quoted_with_control_characters_shown",
     "x\x01y\x7F\tz\r\n",
     {"test0.txt", "нет числа", "«x\\x01y\\x7F\\x09z»"}},
    {"empty_first_line", "\r\nA\r\n", {"test0.txt", "пуста"}},
    {"huge_number_quoted_as_written", " 99999999999999999999\r\n", {"«99999999999999999999»"}},
};

TEST(CounterMessages, SayWhatTheCounterHoldsAndWhichQuizzesAreThere) {
    for (const MessageCase& c : kMessageCases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.write("tet0.txt", c.counter);
        for (const char* other : {"test2.txt", "test1.txt", "notes.txt", "test2.txt.bak"}) {
            folder.write(other, "quiz");
        }
        const std::string what = failureOf([&] { quiz::selectAndOpen(folder.path()); });
        expectSays(what, c.says);
        expectSays(what, {"«" + folder.path().string() + "»"});
        EXPECT_TRUE(what.ends_with("в папке есть файлы викторин: test1.txt, test2.txt")) << what;
        EXPECT_TRUE(std::none_of(what.begin(), what.end(),
                                 [](unsigned char b) { return b < 0x20 || b == 0x7F; }));
    }
}

TEST(CounterLink, FoldersLinkingToOneCounterShareItsRotation) {
    TempFolder root;
    root.write("shared.txt", "3\r\n");
    for (const char* name : {"a", "b", "c"}) fs::create_directory(root.path() / name);
    fs::create_symlink("../shared.txt", root.path() / "a" / "tet0.txt");
    fs::create_symlink(root.path() / "shared.txt", root.path() / "b" / "tet0.txt");
    fs::create_symlink("../gone.txt", root.path() / "c" / "tet0.txt");

    EXPECT_EQ(quiz::stepCounter(root.path() / "a"), 2);
    EXPECT_EQ(quiz::stepCounter(root.path() / "b"), 1);
    EXPECT_EQ(root.read("shared.txt"), "1\r\n");
    EXPECT_TRUE(fs::is_symlink(root.path() / "a" / "tet0.txt"));
    expectSays(quizcheckReport(root.path() / "a"),
               {"tet0.txt: предупреждение: ", fs::canonical(root.path() / "shared.txt").string()});

    const fs::path dangling = root.path() / "c";
    const std::vector<std::string> bothPaths = {(dangling / "tet0.txt").string(),
                                                (root.path() / "gone.txt").string()};
    expectSays(failureOf([&] { quiz::selectAndOpen(dangling); }), bothPaths);
    expectSays(failureOf([&] { quiz::stepCounter(dangling); }), bothPaths);
    expectSays(quizcheckReport(dangling), {"tet0.txt: ошибка: ", bothPaths[0], bothPaths[1]});
}

TEST(CounterLock, GamesSteppingOneCounterAtOnceEachStepItAndRemoveLeftovers) {
    faults::ScratchFolder scratch(faults::Medium::Memory);
    faults::CounterScene scene(scratch.path());  // the counter holds 2
    // Temporary files of killed steps, and two files that only look alike.
    for (const char* name :
         {".tet0.txt.k1LLed", ".tet0.txt.Ab12Cd", ".tet0.txt.mine", ".tet0.txt.toolong"}) {
        faults::writeFile(scratch.path() / name, "3\r\n");
    }
    constexpr int kChildren = 4;
    constexpr int kSteps = 50;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kChildren; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            char go = 0;
            ::close(start[1]);
            (void)!::read(start[0], &go, 1);  // returns when the parent closes the pipe
            int failed = 0;
            for (int step = 0; step < kSteps; ++step) {
                failed += !failureOf([&] { quiz::stepCounter(scratch.path()); }).empty();
            }
            ::_exit(failed == 0 ? 0 : 1);
        }
        if (child > 0) children.push_back(child);
    }
    ::close(start[0]);
    ::close(start[1]);  // all children start at once
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a step failed";
    }
    ASSERT_EQ(children.size(), static_cast<std::size_t>(kChildren));
    const std::string afterSteps[] = {"2\r\n", "1\r\n", "3\r\n"};  // from 2, by steps mod 3
    EXPECT_EQ(scene.counterBytes(), afterSteps[kChildren * kSteps % 3]);
    EXPECT_EQ(scene.files(), (std::set<std::string>{".tet0.txt.mine", ".tet0.txt.toolong",
                                                    faults::kQuizFile, "tet0.txt"}));

    // A lock held too long is an error, and the counter is left as it was.
    const int holder = ::open((scratch.path() / "tet0.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const std::string what =
        failureOf([&] { quiz::stepCounter(scratch.path(), std::chrono::milliseconds(20)); });
    ::close(holder);
    expectSays(what, {"tet0.txt", "занят другой игрой", "в файле осталось прежнее значение"});
    EXPECT_EQ(scene.counterBytes(), afterSteps[kChildren * kSteps % 3]);
}

TEST(CounterStartUp, AFolderWhereTheStepWouldFailStopsTheGameBeforeTheIntroduction) {
    TempFolder folder;
    faults::CounterScene scene(folder.path());
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    faults::Undo undo;
    if (const std::string why = faults::dropOverrides(undo); !why.empty()) GTEST_SKIP() << why;
    if (faults::canCreateIn(folder.path())) GTEST_SKIP() << "a read-only folder takes files here";

    testing_support::FakeForm form;
    game::Game game(form, folder.path());
    form.start(game);
    EXPECT_EQ(form.exitStatus(), 1);
    expectSays(form.failure(), {"tet0.txt", "«" + folder.path().string() + "»",
                                "нет прав на запись", "разрешите запись"});
    EXPECT_EQ(form.state(window::Label2).caption.find("Вступление"), std::string::npos);
    expectSays(quizcheckReport(folder.path()), {"tet0.txt: ошибка: ", "нет прав на запись"});
}

}  // namespace
