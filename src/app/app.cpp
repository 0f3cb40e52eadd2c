#include "app/app.h"

#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "app/user_folder.h"
#include "game/game.h"
#include "window/form1.h"

namespace fs = std::filesystem;

namespace app {

namespace {

constexpr const char* kUsageLine = "Использование: quizladder [--user-folder] [--fullscreen] [ФАЙЛ]\n";

constexpr const char* kHelp =
    "Использование: quizladder [ПАРАМЕТР]... [ФАЙЛ]\n"
    "\n"
    "«Лестница вопросов» — викторина для одного игрока: вопросы с вариантами\n"
    "ответов, лестница баллов и две подсказки.\n"
    "\n"
    "Без ФАЙЛА игра идёт в текущей папке: счётчик tet0.txt выбирает викторину\n"
    "test<число>.txt, и каждая игра, закончившаяся ошибкой или победой,\n"
    "переводит его к следующей из трёх викторин.\n"
    "С ФАЙЛОМ игра идёт по этому файлу викторины, счётчик не читается и не меняется.\n"
    "\n"
    "      --user-folder  играть в своей папке $XDG_DATA_HOME/quizladder\n"
    "                     (обычно ~/.local/share/quizladder), сначала положив туда\n"
    "                     недостающие викторины игры; так игру запускает меню\n"
    "      --fullscreen   открыть окно во весь экран (F11 переключает режим)\n"
    "  -h, --help         показать эту справку\n"
    "  -v, --version      показать версию\n"
    "\n"
    "Код возврата: 0 — игра окончена или окно закрыто, 1 — сбой (о нём сообщает\n"
    "окно), 2 — неверный вызов.\n"
    "\n"
    "Формат файла викторины: man quizladder; проверка файлов: quizcheck.\n";

Launch printing(std::string text, int exitStatus) {
    Launch launch;
    launch.action = Launch::Action::Print;
    launch.text = std::move(text);
    launch.exitStatus = exitStatus;
    return launch;
}

Launch usageMistake(const std::string& what) {
    return printing("quizladder: " + what + "\n" + kUsageLine + "Справка: quizladder --help\n",
                    kExitBadUsage);
}

// The game installed at <prefix>/<bindir>/quizladder finds its quizzes at
// <prefix>/share/quizladder/quizzes, whatever the prefix.
fs::path installedQuizzesFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path() / QUIZ_QUIZZES_FROM_BIN;
}

// The window's events until the game exists: start-up first makes the game
// (preparing the play folder may fail, and the failure box shows why), then
// hands every event to it.
class Start final : public window::FormEvents {
public:
    Start(window::FormOps& form, const Launch& launch) : form_(form), launch_(launch) {}

    void load() override {
        if (!launch_.quizFile.empty()) {
            game_ = std::make_unique<game::Game>(form_, game::GivenQuiz{launch_.quizFile});
        } else {
            fs::path folder = launch_.folder;
            if (launch_.userFolder) {
                folder = userFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
                fillPlayFolder(folder, launch_.installedQuizzes);
            }
            game_ = std::make_unique<game::Game>(form_, folder);
        }
        game_->load();
    }

    void click(window::ControlName control) override {
        if (game_) game_->click(control);
    }

private:
    window::FormOps& form_;
    const Launch& launch_;
    std::unique_ptr<game::Game> game_;
};

// The bytes of the one argument that the parser takes as a file: the first
// that is not an option ("-" alone is none), or the first after "--". The
// options take no values, so this is the parser's own rule.
std::string fileArgument(const std::vector<std::string>& arguments) {
    bool onlyFiles = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!onlyFiles && argument == "--") {
            onlyFiles = true;
            continue;
        }
        if (onlyFiles || argument == "-" || !argument.starts_with('-')) return argument;
    }
    return {};
}

}  // namespace

Launch parseCommandLine(const std::vector<std::string>& bytes) {
    // Qt reads the options; the file keeps the bytes it was given, which a
    // QString would not (a Windows-1251 name from an archive is no UTF-8).
    QStringList arguments;
    for (const std::string& argument : bytes)
        arguments << QString::fromLocal8Bit(argument.data(), static_cast<qsizetype>(argument.size()));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    const QCommandLineOption user("user-folder");
    const QCommandLineOption fullScreen("fullscreen");
    parser.addOptions({help, version, user, fullScreen});

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty()) return usageMistake("неверный вызов");
        const QString& name = unknown.first();
        return usageMistake("неизвестный параметр «" + std::string(name.size() == 1 ? "-" : "--") +
                            name.toStdString() + "»");
    }
    if (parser.isSet(help)) return printing(kHelp, kExitDone);
    if (parser.isSet(version)) {
        return printing("Лестница вопросов (quizladder), версия " QUIZ_VERSION "\n", kExitDone);
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return usageMistake("можно указать только один файл викторины");

    Launch launch;
    if (!files.isEmpty()) launch.quizFile = fs::path(fileArgument(bytes));
    std::error_code error;
    launch.folder = fs::current_path(error);
    if (error) launch.folder = ".";
    launch.userFolder = parser.isSet(user);
    launch.fullScreen = parser.isSet(fullScreen);
    launch.installedQuizzes = installedQuizzesFolder();
    return launch;
}

int print(const Launch& launch) {
    std::fputs(launch.text.c_str(), launch.exitStatus == kExitDone ? stdout : stderr);
    return launch.exitStatus;
}

int runGame(window::Form1& form, const Launch& launch) {
    if (launch.action == Launch::Action::Print) return print(launch);
    Start start(form, launch);
    form.setEvents(&start);
    if (launch.fullScreen) form.setWindowState(form.windowState() | Qt::WindowFullScreen);
    const int status = form.run();
    form.setEvents(nullptr);
    return status;
}

}  // namespace app
