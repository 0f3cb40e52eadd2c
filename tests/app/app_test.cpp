// The program's start as main() runs it: the command line, whole games through
// runGame on the real window (offscreen), and the player's own play folder.
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "app/app.h"
#include "app/user_folder.h"
#include "support/support.h"
#include "window/form1.h"

namespace {

namespace fs = std::filesystem;
using app::Launch;
using testing_support::TempFolder;

const fs::path kBundled = QUIZ_SOURCE_DIR "/quizzes";
const char* const kPlayFiles[] = {"tet0.txt", "test1.txt", "test2.txt", "test3.txt"};

Launch parse(QStringList args) { return app::parseCommandLine(QStringList{"quizladder"} + args); }

TEST(CommandLine, EachCommandLineGivesItsOutcome) {
    struct Case {
        QStringList args;
        int status;           // of a Print launch; -1: Play
        std::string inText;   // Print: a part of the text; Play: the quiz file
        bool userFolder = false;
    };
    const Case cases[] = {
        {{"--help"}, 0, "--user-folder"},      {{"-h"}, 0, "--version"},
        {{"--version"}, 0, QUIZ_VERSION},      {{"-v"}, 0, QUIZ_VERSION},
        {{"--bogus"}, 2, "«--bogus»"},         {{"-x"}, 2, "«-x»"},
        {{"a.txt", "b.txt"}, 2, "--help"},     {{"--user-folder=a"}, 2, "--help"},
        {{}, -1, ""},                          {{"quiz.txt"}, -1, "quiz.txt"},
        {{"--user-folder"}, -1, "", true},     {{"--user-folder", "q.txt"}, -1, "q.txt", true},
        {{"--", "-odd.txt"}, -1, "-odd.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Launch launch = parse(c.args);
        if (c.status < 0) {
            ASSERT_EQ(launch.action, Launch::Action::Play);
            EXPECT_EQ(launch.quizFile, c.inText);
            EXPECT_EQ(launch.userFolder, c.userFolder);
            EXPECT_EQ(launch.folder, fs::current_path());
            continue;
        }
        ASSERT_EQ(launch.action, Launch::Action::Print);
        EXPECT_EQ(launch.exitStatus, c.status);
        EXPECT_NE(launch.text.find(c.inText), std::string::npos) << launch.text;
        EXPECT_NE(launch.text.find("\xD0"), std::string::npos) << "not Russian: " << launch.text;
    }
}

struct Played {
    int status = -1;
    std::string title;               // once the game has started
    std::vector<std::string> boxes;  // title: text of each message box
};

// Plays `launch` through runGame; `player` clicks once the event loop runs.
// Every box is answered Yes (or OK).
Played play(const Launch& launch, const std::function<void(window::Form1&)>& player = {}) {
    window::Form1 form;
    Played run;
    form.setMessageResponder([&](const std::string& text, const std::string& title, auto, auto) {
        run.boxes.push_back(title + ": " + text);
        return window::Reply::Yes;
    });
    QTimer::singleShot(0, &form, [&] {
        run.title = form.title();
        if (player) player(form);
    });
    // A game that does not end fails here instead of hanging.
    QTimer::singleShot(20000, &form, [&] { form.close(); });
    run.status = app::runGame(form, launch);
    return run;
}

void click(window::Form1& form, window::ControlRef control) {
    static_cast<QAbstractButton*>(form.widget(control))->click();
}

class RunGame : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kPlayFiles) folder_.write(name, read(kBundled / name));
        setenv("XDG_DATA_HOME", (folder_.path() / "data").c_str(), 1);
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    TempFolder folder_;
};

TEST_F(RunGame, AGivenQuizPlaysToItsEndAndLeavesTheCounterAndUserFolderAlone) {
    Launch launch = parse({"--user-folder", folder_.write("mine.txt", testing_support::makeQuiz(2)).c_str()});
    launch.folder = folder_.path();
    const Played run = play(launch, [](window::Form1& form) {
        click(form, window::Command1);
        click(form, window::option(testing_support::rightOption(1)));
        click(form, window::Command1);
        click(form, window::option(testing_support::rightOption(2) % 4 + 1));
        click(form, window::Command1);  // wrong: the game is over
    });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.title, "Викторина");
    EXPECT_EQ(run.boxes.size(), 1u);
    for (const char* name : kPlayFiles) EXPECT_EQ(folder_.read(name), read(kBundled / name));
    EXPECT_FALSE(fs::exists(folder_.path() / "data"));
}

TEST_F(RunGame, WholeGamesInAPlayFolderEndAsTheRulesSay) {
    struct Case {
        int questions, counter;
        bool byKeyboard;
        std::vector<std::string> boxes;
        const char* counterAfter;
    };
    const Case cases[] = {
        {15, 3, false, {"ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!: П О Б Е Д А ! ! !"}, "2\r\n"},
        {3, 1, true, {"ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ: ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ВЫХОД ИЗ ИГРЫ: До новой встречи"}, "1\r\n"},
    };
    for (const Case& c : cases) {
        folder_.write("tet0.txt", std::to_string(c.counter) + "\r\n");
        folder_.write("test" + std::to_string(c.counter) + ".txt", testing_support::makeQuiz(c.questions));
        Launch launch = parse({});
        launch.folder = folder_.path();
        std::string resultsTitle;
        const Played run = play(launch, [&](window::Form1& form) {
            const auto press = [&](int key, const char* text) {
                QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString::fromUtf8(text));
                QApplication::sendEvent(&form, &event);
            };
            const char* const letters[] = {"а", "б", "в", "г"};
            c.byKeyboard ? press(Qt::Key_Return, "\r") : click(form, window::Command1);
            for (int n = 1; n <= c.questions; ++n) {
                const int right = testing_support::rightOption(n);
                c.byKeyboard ? press(0x0410 + right - 1, letters[right - 1]) : click(form, window::option(right));
                c.byKeyboard ? press(Qt::Key_Return, "\r") : click(form, window::Command1);
            }
            resultsTitle = form.title();
            if (!form.ended()) click(form, window::Command2);
        });
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.boxes, c.boxes);
        EXPECT_EQ(resultsTitle, c.questions < 15 ? "РЕЗУЛЬТАТ" : "ВОПРОС 15");
        EXPECT_EQ(folder_.read("tet0.txt"), c.counterAfter);
    }
}

TEST_F(RunGame, TheUserFolderIsFilledOnceAndKeepsThePlayersFiles) {
    Launch launch = parse({"--user-folder"});
    launch.installedQuizzes = kBundled;
    const fs::path folder = folder_.path() / "data" / "quizladder";
    const auto quit = [](window::Form1& form) { click(form, window::Command2); };
    const Played first = play(launch, quit);
    EXPECT_EQ(first.status, 0) << (first.boxes.empty() ? "" : first.boxes[0]);
    for (const char* name : kPlayFiles) EXPECT_EQ(read(folder / name), read(kBundled / name));
    std::ofstream(folder / "tet0.txt") << "1\r\n";
    fs::remove(folder / "test2.txt");
    const Played second = play(launch, quit);
    EXPECT_EQ(second.status, 0);
    EXPECT_NE(first.title, second.title) << "the player's counter was replaced";
    EXPECT_EQ(read(folder / "test2.txt"), read(kBundled / "test2.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 4);
}

TEST_F(RunGame, AFailureAtStartIsShownNamingItsCause) {
    struct Case {
        const char* name;
        QStringList args;
        std::function<void(Launch&)> arrange;
        std::string named;  // in the failure box
    };
    const fs::path broken = folder_.write("broken.txt", testing_support::crlf("Т|.|.|Вопрос|.|Ответ|.5"));
    const Case cases[] = {
        {"a missing given file", {"no-such-quiz.txt"}, {}, "no-such-quiz.txt"},
        {"a broken given file", {broken.c_str()}, {}, broken.string() + ", строка 7"},
        {"no home folder", {"--user-folder"},
         [](Launch&) { unsetenv("XDG_DATA_HOME"), unsetenv("HOME"); }, "HOME"},
        {"a play folder that cannot be made", {"--user-folder"},
         [&](Launch&) { setenv("XDG_DATA_HOME", broken.c_str(), 1); }, broken.string()},
        {"installed quizzes missing", {"--user-folder"},
         [&](Launch& l) { l.installedQuizzes = folder_.path() / "none"; }, "tet0.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Launch launch = parse(c.args);
        launch.installedQuizzes = kBundled;
        if (c.arrange) c.arrange(launch);
        const Played run = play(launch);
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_NE(run.boxes[0].find(c.named), std::string::npos) << run.boxes[0];
    }
}

TEST(UserFolder, XdgDataHomeWhenAbsoluteElseUnderHome) {
    EXPECT_EQ(app::userFolder("/x", "/h"), "/x/quizladder");
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative"}) {
        EXPECT_EQ(app::userFolder(xdg, "/h"), "/h/.local/share/quizladder");
    }
}

}  // namespace
