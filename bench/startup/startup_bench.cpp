// Start-up of the game beside a bare window of the same size, as whole
// processes: the time from just before the process is spawned to its first
// frame, and its peak resident memory. A third program, the bare window with
// one line of text, is the floor of any window with text: the toolkit's text
// (fonts found, loaded and shaped) alone adds that much to the bare window.
// Goal: the game within 1.15 times the text window's time and within 2 MiB
// more memory than it.
//
// Each program runs with the first_frame library preloaded, which reports the
// first frame (and the moments of start-up before it) through a pipe; the
// program is killed at once, and wait4() gives its peak memory. The programs
// take turns, so a change of load on the machine hits all alike.
//
//     startup_bench [--runs N] [--warmups N] [--platform NAME]... [--game PATH]
//
// Platforms: offscreen, and xcb when DISPLAY names an X server, unless
// --platform chooses. --game measures another build of the game. Exit status
// 0 when every run measured (whether or not the goal is met), 1 when one
// failed, 2 for bad arguments.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "window/controls.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Against the text window.
constexpr double kTimeGoal = 1.15;
constexpr double kMemoryGoalMiB = 2.0;
constexpr int kRunTimeoutMs = 30'000;
// The descriptor the preloaded library writes to, in the child.
constexpr int kFrameFd = 3;
constexpr int kExpectedWidth = window::twipsToPixels(window::kClientWidthTwips);
constexpr int kExpectedHeight = window::twipsToPixels(window::kClientHeightTwips);

struct Options {
    int runs = 15;
    int warmups = 2;
    std::vector<std::string> platforms;
    fs::path game = QUIZ_GAME;
    bool help = false;
};

constexpr std::string_view kUsage =
    "usage: startup_bench [--runs N] [--warmups N] [--platform NAME]... [--game PATH]\n"
    "  --runs N         measured runs of each program on each platform (15)\n"
    "  --warmups N      runs before those, not counted (2)\n"
    "  --platform NAME  a Qt platform to measure on, repeatable (offscreen, and\n"
    "                   xcb when DISPLAY is set)\n"
    "  --game PATH      the game to measure (the one built beside this program)\n";

struct Program {
    std::string name;
    fs::path path;
    std::string argument;  // one, or none when empty
};

// One start-up; times in milliseconds from the spawn.
struct Run {
    double app = 0;      // QApplication constructor entered
    double appDone = 0;  // and left
    double exec = 0;     // event loop entered
    double flush = 0;    // first flush entered
    double frame = 0;    // first frame out
    double peakMiB = 0;
};

std::int64_t now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double median(std::vector<double> values) {
    std::ranges::sort(values);
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Field>
std::vector<double> column(const std::vector<Run>& runs, Field field) {
    std::vector<double> values;
    for (const Run& run : runs) values.push_back(field(run));
    return values;
}

std::string tail(const fs::path& file) {
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    constexpr std::size_t kKeep = 2000;
    return text.size() > kKeep ? text.substr(text.size() - kKeep) : text;
}

// The offscreen platform's own screen, 800 x 600, is smaller than the window,
// which the game would then draw scaled down; the runs get one that holds it.
constexpr std::string_view kOffscreenScreens =
    R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1200,)"
    R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";

fs::path offscreenScreens(const fs::path& playFolder) { return playFolder.parent_path() / "offscreen_screens.json"; }

// The caller's environment with the platform and the preloaded library set,
// and no other display for the offscreen platform.
std::vector<std::string> childEnvironment(const std::string& platform, const fs::path& playFolder) {
    constexpr std::array<std::string_view, 5> kReplaced{"QT_QPA_PLATFORM=", "LD_PRELOAD=", "QUIZ_FRAME_FD=",
                                                        "DISPLAY=", "WAYLAND_DISPLAY="};
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const bool replaced = std::ranges::any_of(kReplaced, [text](std::string_view p) { return text.starts_with(p); });
        if (!replaced) env.emplace_back(text);
    }
    env.push_back("QT_QPA_PLATFORM=" + platform);
    if (platform == "offscreen") env.back() += ":configfile=" + offscreenScreens(playFolder).string();
    env.push_back(std::string("LD_PRELOAD=") + QUIZ_FIRST_FRAME);
    env.push_back("QUIZ_FRAME_FD=" + std::to_string(kFrameFd));
    if (platform != "offscreen")
        if (const char* display = std::getenv("DISPLAY")) env.push_back(std::string("DISPLAY=") + display);
    return env;
}

// Reads one line from fd, or gives what came before end of file or the time-out.
std::string readLine(int fd, std::int64_t deadline) {
    std::string line;
    char buffer[256];
    while (line.find('\n') == std::string::npos) {
        const std::int64_t left = (deadline - now()) / 1'000'000;
        if (left <= 0) break;
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, static_cast<int>(left)) <= 0) continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    return line;
}

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

Run runOnce(const Program& program, const std::string& platform, const fs::path& playFolder, const fs::path& log) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    // Kept clear of the descriptors the child is given, so dup2 always copies.
    const int readFd = fcntl(pipeFds[0], F_DUPFD_CLOEXEC, 10);
    const int writeFd = fcntl(pipeFds[1], F_DUPFD_CLOEXEC, 10);
    close(pipeFds[0]);
    close(pipeFds[1]);

    SpawnActions actions;
    posix_spawn_file_actions_addchdir_np(actions.get(), playFolder.c_str());
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
    posix_spawn_file_actions_adddup2(actions.get(), writeFd, kFrameFd);

    const std::vector<std::string> env = childEnvironment(platform, playFolder);
    std::vector<char*> envp;
    for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    std::string path = program.path.string();
    std::string argument = program.argument;
    char* argv[] = {path.data(), argument.empty() ? nullptr : argument.data(), nullptr};

    pid_t pid = 0;
    const std::int64_t start = now();
    const int spawned = posix_spawn(&pid, path.c_str(), actions.get(), nullptr, argv, envp.data());
    close(writeFd);
    if (spawned != 0) {
        close(readFd);
        throw std::runtime_error("cannot start " + path + ": " + std::strerror(spawned));
    }
    const std::string line = readLine(readFd, start + std::int64_t{kRunTimeoutMs} * 1'000'000);
    kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    close(readFd);

    long long app = 0, appDone = 0, exec = 0, flush = 0, frame = 0;
    int width = 0, height = 0;
    std::istringstream fields(line);
    if (!(fields >> app >> appDone >> exec >> flush >> frame >> width >> height)) {
        const std::string how = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                                    ? "no frame within " + std::to_string(kRunTimeoutMs / 1000) + " s"
                                    : "it ended before its first frame";
        throw std::runtime_error(program.name + " on " + platform + ": " + how + "; its output:\n" + tail(log));
    }
    if (width != kExpectedWidth || height != kExpectedHeight)
        throw std::runtime_error(program.name + " on " + platform + ": its first frame was a window of " +
                                 std::to_string(width) + "x" + std::to_string(height) + ", not " +
                                 std::to_string(kExpectedWidth) + "x" + std::to_string(kExpectedHeight) +
                                 "; its output:\n" + tail(log));
    const auto ms = [start](long long moment) { return static_cast<double>(moment - start) / 1e6; };
    // ru_maxrss is in KiB on Linux.
    return Run{ms(app), ms(appDone), ms(exec), ms(flush), ms(frame), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// A play folder with the bundled quizzes, as the game is played.
void fillPlayFolder(const fs::path& folder) {
    fs::create_directories(folder);
    int copied = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(QUIZ_QUIZZES)) {
        if (entry.path().extension() != ".txt") continue;
        fs::copy_file(entry.path(), folder / entry.path().filename());
        ++copied;
    }
    if (copied == 0) throw std::runtime_error(std::string("no quiz files in ") + QUIZ_QUIZZES);
}

// The programs in the order of the tables; the first is the floor, the last the game.
std::vector<Program> programs(const Options& options) {
    return {{"bare_window", QUIZ_BARE_WINDOW, ""}, {"text_window", QUIZ_BARE_WINDOW, "--text"},
            {"quizladder", options.game, ""}};
}

// Runs by program, in the order of programs().
using Measured = std::vector<std::vector<Run>>;

Measured measure(const std::string& platform, const Options& options, const fs::path& work) {
    const std::vector<Program> all = programs(options);
    const fs::path playFolder = work / "play";
    Measured measured(all.size());
    for (int i = 0; i < options.warmups + options.runs; ++i) {
        // Each turn starts with another program.
        for (std::size_t k = 0; k < all.size(); ++k) {
            const std::size_t which = (static_cast<std::size_t>(i) + k) % all.size();
            const Program& program = all[which];
            const Run run = runOnce(program, platform, playFolder, work / (program.name + ".log"));
            if (i >= options.warmups) measured[which].push_back(run);
        }
    }
    return measured;
}

void printResults(const std::string& platform, const Options& options, const Measured& measured) {
    const auto frame = [](const Run& r) { return r.frame; };
    const auto peak = [](const Run& r) { return r.peakMiB; };
    const std::vector<Program> all = programs(options);
    for (std::size_t k = 0; k < all.size(); ++k) {
        const std::vector<double> frames = column(measured[k], frame);
        std::printf("%-10s %-12s %9.1f ms  (%6.1f .. %6.1f)  %8.1f MiB\n", platform.c_str(), all[k].name.c_str(),
                    median(frames), *std::ranges::min_element(frames), *std::ranges::max_element(frames),
                    median(column(measured[k], peak)));
    }
    const std::vector<Run>& game = measured.back();
    const auto ratio = [&](const std::vector<Run>& floor) {
        return median(column(game, frame)) / median(column(floor, frame));
    };
    const auto extra = [&](const std::vector<Run>& floor) {
        return median(column(game, peak)) - median(column(floor, peak));
    };
    const std::vector<Run>& bare = measured.front();
    std::printf("%-10s %-12s %9.3fx    %23s  %+6.1f MiB\n", platform.c_str(), "game/bare", ratio(bare), "",
                extra(bare));
    const std::vector<Run>& text = measured[1];
    std::printf("%-10s %-12s %9.3fx    (goal <= %.2fx: %-6s)  %+6.1f MiB (goal <= %+.0f: %s)\n", platform.c_str(),
                "game/text", ratio(text), kTimeGoal, ratio(text) <= kTimeGoal ? "met" : "MISSED", extra(text),
                kMemoryGoalMiB, extra(text) <= kMemoryGoalMiB ? "met" : "MISSED");
}

void printPhases(const std::string& platform, const Options& options, const Measured& measured) {
    const std::vector<Program> all = programs(options);
    for (std::size_t k = 0; k < all.size(); ++k) {
        const std::vector<Run>* runs = &measured[k];
        const auto med = [runs](auto field) { return median(column(*runs, field)); };
        std::printf("%-10s %-12s %8.1f %8.1f %8.1f %8.1f %8.1f\n", platform.c_str(), all[k].name.c_str(),
                    med([](const Run& r) { return r.app; }), med([](const Run& r) { return r.appDone - r.app; }),
                    med([](const Run& r) { return r.exec - r.appDone; }), med([](const Run& r) { return r.flush - r.exec; }),
                    med([](const Run& r) { return r.frame - r.flush; }));
    }
}

int count(const char* text, const char* option) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 10'000) throw std::invalid_argument(std::string("bad value for ") + option);
    return static_cast<int>(value);
}

Options parse(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help") {
            options.help = true;
            return options;
        }
        if (i + 1 >= argc) throw std::invalid_argument("unknown or incomplete option " + std::string(arg));
        if (arg == "--runs") options.runs = count(argv[++i], "--runs");
        else if (arg == "--warmups") options.warmups = count(argv[++i], "--warmups");
        else if (arg == "--platform") options.platforms.emplace_back(argv[++i]);
        else if (arg == "--game") options.game = argv[++i];
        else throw std::invalid_argument("unknown option " + std::string(arg));
    }
    if (options.runs == 0) throw std::invalid_argument("--runs must be at least 1");
    if (options.platforms.empty()) {
        options.platforms.emplace_back("offscreen");
        if (const char* display = std::getenv("DISPLAY"); display != nullptr && *display != '\0')
            options.platforms.emplace_back("xcb");
    }
    return options;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n%s", error.what(), kUsage.data());
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage.data(), stdout);
        return 0;
    }

    char pattern[] = "/tmp/quizladder-startup-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("startup_bench: mkdtemp");
        return 1;
    }
    const fs::path work(pattern);
    int status = 0;
    try {
        fillPlayFolder(work / "play");
        std::ofstream(offscreenScreens(work / "play")) << kOffscreenScreens;
        std::vector<std::pair<std::string, Measured>> results;
        for (const std::string& platform : options.platforms) {
            std::fprintf(stderr, "startup_bench: %s, %d runs each after %d warm-ups...\n", platform.c_str(),
                         options.runs, options.warmups);
            results.emplace_back(platform, measure(platform, options, work));
        }
        std::printf("Start-up to the first frame of a %dx%d window, whole processes, medians of %d runs:\n",
                    kExpectedWidth, kExpectedHeight, options.runs);
        std::printf("%-10s %-12s %12s  %16s  %12s\n", "platform", "program", "first frame", "(min .. max)",
                    "peak memory");
        for (const auto& [platform, measured] : results) printResults(platform, options, measured);
        std::printf("\nWhere the time goes, medians in ms: start to QApplication, its construction, on to the\n"
                    "event loop (window built, quiz read, shown), on to the first flush, and the frame out:\n");
        std::printf("%-10s %-12s %8s %8s %8s %8s %8s\n", "platform", "program", "to app", "app", "to loop", "to flush",
                    "out");
        for (const auto& [platform, measured] : results) printPhases(platform, options, measured);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        status = 1;
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return status;
}
