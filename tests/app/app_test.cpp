// The program's start as main() runs it: the command line, whole games through
// runGame on the real window (offscreen), and the player's own play folder.
#include <QAbstractButton>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <thread>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/font_config.h"
#include "app/user_folder.h"
#include "support/support.h"
#include "window/form1.h"
#include "window/message_box.h"

namespace {

namespace fs = std::filesystem;
using app::Launch;
using namespace testing_support;
using namespace window;

const fs::path kBundled = QUIZ_SOURCE_DIR "/quizzes";

Launch parse(QStringList args) {
    std::vector<std::string> bytes{"quizladder"};
    for (const QString& arg : args) bytes.push_back(arg.toStdString());
    return app::parseCommandLine(bytes);
}

TEST(FontConfigLoad, TheHelperRunsBesideItsCreator) {
    // The processors allowed, the creator's, and the helper's (none: it is left to the scheduler).
    struct Case { std::vector<int> allowed; int current; std::vector<int> helper; };
    const Case cases[] = {
        {{0, 1}, 0, {1}}, {{0, 1}, 1, {0}}, {{0, 2, 5}, 2, {0, 5}}, {{3, 1023}, 1023, {3}},
        {{0}, 0, {}}, {{}, 0, {}}, {{0, 1}, 2, {}}, {{0, 1}, -1, {}}, {{0, 1}, CPU_SETSIZE, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.allowed) + " from " + std::to_string(c.current));
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        for (const int cpu : c.allowed) CPU_SET(cpu, &allowed);
        cpu_set_t helper;
        CPU_ZERO(&helper);
        CPU_SET(7, &helper);
        EXPECT_EQ(app::helperProcessors(allowed, c.current, helper), !c.helper.empty());
        std::vector<int> got;
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &helper)) got.push_back(cpu);
        EXPECT_EQ(got, c.helper.empty() ? std::vector<int>{7} : c.helper);
    }
}

// The helper's loading is over by the time the window measures its first
// text: wait(), or the end of the load, returns only after it. The loading
// given here takes a while, so that returning early would show.
TEST(FontConfigLoad, TheLoadingIsOverOnceWaitedFor) {
    static std::atomic<int> started;
    static std::atomic<int> finished;
    for (const bool waited : {true, false}) {
        SCOPED_TRACE(waited ? "wait()" : "end of the load");
        started = 0;
        finished = 0;
        {
            app::FontConfigLoad load([] {
                ++started;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ++finished;
            });
            if (waited) {
                load.wait();
                EXPECT_EQ(finished, 1);
                load.wait();
            }
        }
        EXPECT_EQ(started, 1);
        EXPECT_EQ(finished, 1);
    }
}

// What a configuration tells fontconfig's users: its files, folders and
// fonts, and how it renders and orders the fonts for a range of requests,
// the toolkit's among them (a family, a weight, a size in pixels).
std::vector<std::string> behaviour(FcConfig* config) {
    std::vector<std::string> seen;
    const auto list = [&seen](const char* what, FcStrList* strings) {
        for (const FcChar8* s = FcStrListNext(strings); s != nullptr; s = FcStrListNext(strings))
            seen.push_back(std::string(what) + reinterpret_cast<const char*>(s));
        FcStrListDone(strings);
    };
    list("file ", FcConfigGetConfigFiles(config));
    list("fonts ", FcConfigGetFontDirs(config));
    list("cache ", FcConfigGetCacheDirs(config));
    seen.push_back("rescan " + std::to_string(FcConfigGetRescanInterval(config)));
    const FcFontSet* fonts = FcConfigGetFonts(config, FcSetSystem);
    for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
        FcChar8* name = FcNameUnparse(fonts->fonts[i]);
        seen.push_back(std::string("font ") + reinterpret_cast<const char*>(name));
        FcStrFree(name);
    }
    for (const char* request :
         {"Liberation Sans:weight=200:pixelsize=24", "Liberation Sans:pixelsize=18", "Liberation Sans:weight=80:pixelsize=9",
          "sans-serif", "serif:lang=ru", "monospace:bold:italic", "Arial:pixelsize=13", "Times New Roman",
          "Courier New:lang=uk", "DejaVu Sans:pixelsize=8", ":lang=ar", ":lang=ja", "emoji", "system-ui"}) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(request));
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* name = match != nullptr ? FcNameUnparse(match) : nullptr;
        seen.push_back(std::string(request) + " => " + (name != nullptr ? reinterpret_cast<const char*>(name) : "-"));
        FcFontSet* sorted = FcFontSort(config, pattern, FcTrue, nullptr, &result);
        for (int i = 0; sorted != nullptr && i < sorted->nfont; ++i) {
            FcChar8* file = nullptr;
            FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file);
            seen.push_back(std::string("  ") + (file != nullptr ? reinterpret_cast<const char*>(file) : "-"));
        }
        if (sorted != nullptr) FcFontSetDestroy(sorted);
        FcStrFree(name);
        if (match != nullptr) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    return seen;
}

// The files a configuration has parsed, whether they took effect or not.
std::vector<std::string> parsedFiles(FcConfig* config) {
    std::vector<std::string> files;
    FcConfigFileInfoIter it;
    FcConfigFileInfoIterInit(config, &it);
    do {
        FcChar8* name = nullptr;
        if (FcConfigFileInfoIterGet(config, &it, &name, nullptr, nullptr)) {
            files.emplace_back(reinterpret_cast<const char*>(name));
            FcStrFree(name);
        }
    } while (FcConfigFileInfoIterNext(config, &it));
    std::ranges::sort(files);
    return files;
}

TEST(FontConfiguration, BehavesAsTheOneFcInitLoads) {
    const app::Configuration ours = app::loadConfiguration();
    ASSERT_NE(ours, nullptr);
    const app::Configuration fcInits(FcInitLoadConfigAndFonts());
    ASSERT_NE(fcInits, nullptr);
    const std::vector<std::string> expected = behaviour(fcInits.get());
    EXPECT_GT(expected.size(), 30U);
    EXPECT_EQ(behaviour(ours.get()), expected);
    // What it leaves out FcInit has parsed without taking it into effect.
    std::vector<std::string> leftOut;
    std::ranges::set_difference(parsedFiles(fcInits.get()), parsedFiles(ours.get()), std::back_inserter(leftOut));
    for (const std::string& file : leftOut)
        EXPECT_EQ(std::ranges::find(expected, "file " + file), expected.end()) << file;
}

TEST(FontConfiguration, TheLoadedOneIsMadeCurrent) {
    app::loadFontConfig();
    const app::Configuration loaded = app::loadConfiguration();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(parsedFiles(FcConfigGetCurrent()), parsedFiles(loaded.get()));
    EXPECT_EQ(behaviour(FcConfigGetCurrent()), behaviour(loaded.get()));
}

TEST(FontConfiguration, IsLeftToFcInitWhereFcInitWouldDoMore) {
    const TempFolder folder;
    const std::string fonts = "<dir>" + (folder.path() / "fonts").string() + "</dir>";
    const std::string cache = "<cachedir>" + (folder.path() / "cache").string() + "</cachedir>";
    // A main file, and whether loadConfiguration gives a configuration for it.
    struct Case { const char* name; std::string text; bool given; };
    const Case cases[] = {
        {"both.conf", "<fontconfig>" + fonts + cache + "</fontconfig>", true},
        {"caches only.conf", "<fontconfig>" + cache + "</fontconfig>", true},
        {"no cache.conf", "<fontconfig>" + fonts + "</fontconfig>", false},
        {"empty.conf", "<fontconfig/>", false},
        {"broken.conf", "<fontconfig>" + fonts + cache, false},
        {"not xml.conf", "Arial 12", false},
    };
    fs::create_directory(folder.path() / "fonts");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const app::Configuration config = app::loadConfiguration(folder.write(c.name, c.text).c_str());
        EXPECT_EQ(config != nullptr, c.given);
        if (config == nullptr) continue;
        const std::vector<std::string> seen = behaviour(config.get());
        EXPECT_NE(std::ranges::find(seen, "cache " + (folder.path() / "cache").string()), seen.end());
    }
    EXPECT_EQ(app::loadConfiguration((folder.path() / "missing.conf").c_str()), nullptr);
}

TEST(CommandLine, EachCommandLineGivesItsOutcome) {
    // Print: its exit status and a part of its text; Play (status -1): the quiz file and --user-folder.
    struct Case { QStringList args; int status; std::string inText; bool userFolder = false, fullScreen = false; };
    const Case cases[] = {
        {{"--help"}, 0, "--user-folder"}, {{"-h"}, 0, "--version"}, {{"--version"}, 0, QUIZ_VERSION}, {{}, -1, ""},
        {{"-v"}, 0, QUIZ_VERSION}, {{"--bogus"}, 2, "«--bogus»"}, {{"-x"}, 2, "«-x»"}, {{"quiz.txt"}, -1, "quiz.txt"},
        {{"a.txt", "b.txt"}, 2, "--help"}, {{"--user-folder=a"}, 2, "--help"}, {{"--user-folder"}, -1, "", true},
        {{"--user-folder", "q.txt"}, -1, "q.txt", true}, {{"--", "-odd.txt"}, -1, "-odd.txt"}, {{"-"}, -1, "-"},
        {{"--fullscreen", "--", "--user-folder"}, -1, "--user-folder", false, true}, {{"--help"}, 0, "--fullscreen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Launch launch = parse(c.args);
        ASSERT_EQ(launch.action, c.status < 0 ? Launch::Action::Play : Launch::Action::Print);
        if (c.status < 0) {
            EXPECT_EQ(launch.quizFile, c.inText);
            EXPECT_EQ(launch.userFolder, c.userFolder);
            EXPECT_EQ(launch.fullScreen, c.fullScreen);
            EXPECT_EQ(launch.folder, fs::current_path());
            continue;
        }
        EXPECT_EQ(launch.exitStatus, c.status);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(app::print(launch), c.status);
        const std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(c.status == 0 ? out : err, launch.text) << "help and version on stdout, mistakes on stderr";
        EXPECT_EQ(c.status == 0 ? err : out, "");
        EXPECT_NE(launch.text.find(c.inText), std::string::npos) << launch.text;
        EXPECT_NE(launch.text.find("\xD0"), std::string::npos) << "not Russian: " << launch.text;
    }
}

// Plays `launch` through runGame; `player` acts once the event loop runs. Every box is answered Yes (or OK).
struct Played { int status; std::vector<std::string> boxes; };  // boxes: "title: text" of each
Played play(const Launch& launch, const std::function<void(Form1&)>& player = {}) {
    Form1 form;
    std::vector<std::string> boxes;
    form.setMessageResponder([&](const std::string& text, const std::string& title, auto, auto) {
        boxes.push_back(title + ": " + text);
        return Reply::Yes;
    });
    if (player) QTimer::singleShot(0, &form, [&] { player(form); });
    bool hung = false;  // a game that does not end fails instead of hanging
    QTimer::singleShot(20000, &form, [&] { hung = true, form.close(); });
    const int status = app::runGame(form, launch);
    EXPECT_FALSE(hung) << "the program did not end";
    EXPECT_FALSE(form.isVisible()) << "the window closes with the end of the program";
    return {status, boxes};
}

void click(Form1& form, ControlRef c) { static_cast<QAbstractButton*>(form.widget(c))->click(); }

struct RunGame : ::testing::Test {
    void SetUp() override { setenv("XDG_DATA_HOME", (folder.path() / "data").c_str(), 1); }
    TempFolder folder;
};

TEST_F(RunGame, WholeGamesEndAsTheRulesSay) {
    // `given`: the quiz on the command line (with a needless --user-folder), else the counter's; `wrongAt`: 0 for none.
    struct Case {
        bool given, byKeyboard;
        int questions, wrongAt;
        const char* counter;
        std::vector<std::string> boxes;
        const char *lastTitle, *counterAfter;
        int status = 0;
    };
    const Case cases[] = {
        {true, false, 2, 2, "1\r\n", {"Игра закончена: В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!"}, "ВОПРОС 2", "1\r\n"},
        {false, false, 15, 0, "3", {"ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!: П О Б Е Д А ! ! !"}, "ВОПРОС 15", "2\r\n"},
        {false, true, 3, 0, "1\r\n", {"ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ: ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ",
                                "ВЫХОД ИЗ ИГРЫ: До новой встречи"}, "РЕЗУЛЬТАТ", "1\r\n"},
        {false, false, 1, 1, "?", {"Игра закончена: В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Ошибка: tet0.txt, "
         "строка 1: ожидалось число в первой строке счётчика; файл оставлен как был\nСтрока: «?»\nСчётчик викторин "
         "не сдвинут, и в следующий раз снова будет викторина test0.txt."}, "ВОПРОС 1", "?", 1},  // the result first
    };
    for (const Case& c : cases) {
        folder.write("tet0.txt", c.counter);
        const std::string name = c.given ? "mine.txt" : "test" + std::to_string(std::atoi(c.counter)) + ".txt";
        const fs::path quiz = folder.write(name, makeQuiz(c.questions));
        Launch launch = parse(c.given ? QStringList{"--user-folder", quiz.c_str()} : QStringList{});
        launch.folder = folder.path();
        const Played run = play(launch, [&](Form1& form) {
            const auto ok = [&] { c.byKeyboard ? QTest::keyClick(&form, Qt::Key_Return) : click(form, Command1); };
            ok();
            for (int n = 1; n <= c.questions; ++n) {
                const int k = n == c.wrongAt ? rightOption(n) % 4 + 1 : rightOption(n);
                c.byKeyboard ? QTest::sendKeyEvent(QTest::Click, &form, Qt::Key(0x040F + k), QChar(0x042F + k), {})
                             : click(form, option(k));  // keys А to Г (0x0410...), typed in lower case
                ok();
            }
            EXPECT_EQ(form.title(), c.lastTitle);
            if (!form.ended()) click(form, Command2);
        });
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.boxes, c.boxes);
        EXPECT_EQ(folder.read("tet0.txt"), c.counterAfter);
        EXPECT_FALSE(fs::exists(folder.path() / "data")) << "the user folder left alone";
    }
}

// In $XDG_DATA_HOME/quizladder, or under $HOME when XDG_DATA_HOME is unset, empty or relative.
TEST_F(RunGame, TheUserFolderIsFilledOnceAndKeepsThePlayersFiles) {
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative"})
        EXPECT_EQ(app::userFolder(xdg, "/h"), "/h/.local/share/quizladder") << (xdg ? xdg : "unset");
    Launch launch = parse({"--user-folder"});
    launch.installedQuizzes = kBundled;
    const std::string mine = "data/quizladder/";
    EXPECT_EQ(play(launch, [](Form1& form) { click(form, Command2); }).status, 0);
    for (const char* name : {"tet0.txt", "test1.txt", "test2.txt", "test3.txt"})
        EXPECT_EQ(folder.read(mine + name), folder.read(kBundled / name));  // an absolute path reads that file
    folder.write(mine + "tet0.txt", "1\r\n");
    fs::remove(folder.path() / mine / "test2.txt");
    EXPECT_EQ(play(launch, [](Form1& form) { click(form, Command2); }).status, 0);
    EXPECT_EQ(folder.read(mine + "tet0.txt"), "1\r\n") << "the player's counter kept";
    EXPECT_EQ(folder.read(mine + "test2.txt"), folder.read(kBundled / "test2.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / mine), {}), 4);
}

TEST_F(RunGame, AFailureAtStartIsShownNamingItsCause) {
    const fs::path broken = folder.write("broken.txt", crlf("Т|.|.|Вопрос|.|Ответ|.5"));
    const std::string data = folder.path() / "data";
    // What goes wrong, the command line, XDG_DATA_HOME (null: it and HOME unset), the installed quizzes, the box names.
    const std::tuple<const char*, QStringList, const char*, fs::path, std::string> cases[] = {
        {"a missing given file", {"no-such-quiz.txt"}, data.c_str(), kBundled, "no-such-quiz.txt"},
        {"a broken given file", {broken.c_str()}, data.c_str(), kBundled, broken.string() + ", строка 7"},
        {"no home folder", {"--user-folder"}, nullptr, kBundled, "HOME"},
        {"a play folder that cannot be made", {"--user-folder"}, broken.c_str(), kBundled, broken.string()},
        {"installed quizzes missing", {"--user-folder"}, data.c_str(), folder.path() / "none", "tet0.txt"},
        {"no counter and no quiz here", {}, data.c_str(), kBundled, "из меню игр, или командой quizladder"},
    };
    for (const auto& [what, args, xdg, installed, named] : cases) {
        SCOPED_TRACE(what);
        xdg ? setenv("XDG_DATA_HOME", xdg, 1) : (unsetenv("XDG_DATA_HOME"), unsetenv("HOME"));
        Launch launch = parse(args);
        launch.installedQuizzes = installed;
        launch.folder = folder.path();
        const Played run = play(launch);
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_NE(run.boxes[0].find(named), std::string::npos) << run.boxes[0];
    }
}

// A name in another encoding ("Тест.txt" in Windows-1251, from an archive) names the file of those bytes: missing,
// the box shows them as \xNN; there, it plays.
TEST_F(RunGame, AGivenFileNameKeepsItsBytes) {
    const fs::path quiz = folder.path() / "\xD2\xE5\xF1\xF2.txt";
    const Launch launch = app::parseCommandLine({"quizladder", "--", quiz.string()});
    const Played missing = play(launch);
    ASSERT_EQ(missing.boxes.size(), 1u);
    EXPECT_TRUE(missing.status == 1 && readableText(missing.boxes[0]).contains("/\\xD2\\xE5\\xF1\\xF2.txt")) << missing.boxes[0];
    folder.write(quiz.filename(), makeQuiz(1));
    EXPECT_EQ(play(launch, [](Form1& form) { click(form, Command2); }).boxes.size(), 2u) << "the quit question and its end";
}

}  // namespace
