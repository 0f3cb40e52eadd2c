// The rotation counter: what it selects, how it steps and what a refusal says; then under faults: each call of a step
// failing and the causes a player meets (the result first, then why, the old value kept), a kill at each call of a
// step, games stepping it at once, links; and as another user of the machine would attack it.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "game/game.h"
#include "quiz/counter_step.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_selection.h"
#include "quizcheck/command_line.h"
#include "support/fake_form.h"
#include "support/support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

// Fault injection: this program's own definitions of the system calls through which the counter is replaced pass
// every call on to the kernel, except the one armed to fail, and only where it concerns the counter's temporary file
// (for rename, the counter; for fsync, also its folder; NoProc: /proc's descriptors are not there).
enum class Call { CreateUnnamed, CreateTemporary, SetMode, Write, Flush, Link, Close, Rename, FlushFolder, NoProc };
// bytesBefore: for Write, the bytes written for real before the failure; once: only the first matching call fails.
struct Injection { Call call; int error; int bytesBefore = 0; bool once = false; };
// killAt: the number of the call of any of these at which the process kills itself, 0 for none; onLock: run once
// when a step takes its lock, as another user's swap would.
struct { std::optional<Injection> injection; int hits = 0, temporaryFd = -1, killAt = 0; bool partWritten = false;
         std::function<void()> onLock; } armed;
bool isTemporaryName(std::string_view name) {
    return name.starts_with(".tet0.txt.") || name.find("/.tet0.txt.") != name.npos;
}
// Whether `call` is to fail now; counts the hit and sets errno.
bool strikes(Call call, bool concernsCounter) {
    if (armed.killAt > 0 && --armed.killAt == 0) ::raise(SIGKILL);
    if (!armed.injection || armed.injection->call != call || !concernsCounter || (armed.injection->once && armed.hits))
        return false;
    errno = armed.injection->error;
    return ++armed.hits > 0;
}

// The error of `call` as "file line message", or "" for none.
template <typename Call>
std::string errorOf(Call call) try {
    call();
    return "";
} catch (const quiz::QuizError& e) {
    return e.file() + " " + std::to_string(e.line()) + " " + e.what();
}

void expectSays(const std::string& text, const std::vector<std::string>& parts) {
    for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << " in: " << text;
}
std::string quizcheckReport(const fs::path& folder) {
    std::ostringstream out, err;
    quizcheck::run({}, folder, out, err);
    return out.str();
}
struct stat statOf(const fs::path& path) { struct stat s {}; ::lstat(path.c_str(), &s); return s; }
// Each entry of `folder`: a file's mode and bytes, a link's text.
std::map<std::string, std::string> contents(const TempFolder& folder) {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        all[entry.path().filename()] = entry.is_symlink() ? "-> " + fs::read_symlink(entry).string()
            : std::to_string(statOf(entry.path()).st_mode & 07777) + " " + folder.read(entry.path().filename());
    return all;
}

// The player and another user of a shared machine: root makes their files, and a forked child steps as the player.
constexpr uid_t kPlayer = 61001, kOther = 61002;
void own(const fs::path& path, uid_t user) { ASSERT_EQ(::lchown(path.c_str(), user, user), 0) << path; }

// A game in a folder of its own (counter 2, quiz test2.txt) on the fake window.
struct Scene {
    explicit Scene(bool inMemory) : folder(inMemory), game(form, folder.path()) {
        folder.write("test2.txt", testing_support::makeQuiz(3));
        ::chmod(folder.write("tet0.txt", "2\r\n").c_str(), 0640);
    }
    TempFolder folder;
    testing_support::FakeForm form;
    game::Game game;
};

TEST(Counter, ValueIsTheNumberAtTheStartClampedToLong) {
    const struct {
        const char* line;
        std::optional<long> value;  // {}: no number
        const char* written;        // the number as the line writes it, quoted when it is too big
    } cases[] = {
        {"3", 3, "3"}, {" \t7x", 7, "7"}, {"+3", 3, "+3"}, {"-0", 0, "-0"}, {"2.9", 2, "2"}, {"", {}, ""},
        {"x3", {}, ""}, {"+", {}, ""}, {"- 3", {}, ""},
        {" 9223372036854775808 и ещё", LONG_MAX, "9223372036854775808"}, {"-9223372036854775809", LONG_MIN, "-9223372036854775809"},
        {"9223372036854775806", LONG_MAX - 1, "9223372036854775806"}, {"-9223372036854775807", LONG_MIN + 1, "-9223372036854775807"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quiz::counterValue(c.line), c.value) << c.line;
        const std::optional<quiz::CounterNumber> number = quiz::counterNumber(c.line);
        EXPECT_EQ(number ? std::string(number->written) : "", c.written) << c.line;
    }
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
        std::string read(64, '\0');
        read.resize(chosen.file ? chosen.file->read(read.data(), read.size()) : 0);
        EXPECT_EQ(read, "quiz " + name);
        EXPECT_EQ(folder.read("tet0.txt"), counter) << "selecting changes nothing";
    }
    TempFolder folder;  // a first line as long as a sparse terabyte: the game and quizcheck read only its start
    fs::resize_file(folder.write("tet0.txt", "7"), std::uintmax_t{1} << 40);
    folder.write("test7.txt", "");
    EXPECT_EQ(quiz::selectAndOpen(folder.path()).counter, 7);
    expectSays(quizcheckReport(folder.path()), {"tet0.txt: игра начнётся с файла test7.txt"});
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
        EXPECT_EQ(fs::status(file).permissions(), perms);
        EXPECT_EQ(inode() != before, next != 0) << "replaced whole, never rewritten in place";
    }
}

TEST(Counter, RefusalsToSelectSayWhatIsWrongAndLeaveEverythingAsItWas) {
    // The counter and test1.txt: nullptr for none, "|" a pipe, "/" a folder, "@" a link to /dev/zero, ">" one to a
    // missing file, "~" one to itself; then the parts the message says, in order ("" is the folder). quizcheck says
    // it of the counter.
    struct Case { const char *counter, *quiz; std::vector<std::string> says; };
    const Case cases[] = {
        {nullptr, "", {"tet0.txt 0 tet0.txt:", "", "нет"}},
        {"|", "", {"tet0.txt 0", "не обычный файл"}}, {"@", "", {"tet0.txt 0", "не обычный файл"}},
        {">", "", {"tet0.txt 0", "", "/tet0.txt» — символическая ссылка на «", "", "/gone.txt», но такого файла нет"}},
        {"~", "", {"tet0.txt 0", "", "/tet0.txt», но открыть его нельзя: слишком много символических ссылок подряд"}},
        {" 1 ", nullptr, {"test1.txt 0 test1.txt:", "", "нет", "в папке есть файлы викторин: test-1.txt, test2.txt"}},
        {"1", "|", {"test1.txt 0", "не обычный файл"}}, {"1", "/", {"test1.txt 0", "не обычный файл"}},
        {"x\x01y\x7F\tz\r\n", "", {"test0.txt", "нет числа", "«x\\x01y\\x7F\\x09z»", ": test-1.txt, test1.txt, test2.txt"}},
        {"\r\nA\r\n", "", {"test0.txt", "пуста"}}, {" 99999999999999999999\r\n", "", {"«99999999999999999999»"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const char* other : {"test2.txt", "test-1.txt", "test2.txt.bak", "test 1.txt", "test12.md", "test-.txt"})
            folder.write(other, "quiz");
        for (const auto& [name, content] : {std::pair{"tet0.txt", c.counter}, {"test1.txt", c.quiz}}) {
            if (content == nullptr) continue;
            if (std::string_view(content) == "|") ::mkfifo((folder.path() / name).c_str(), 0600);
            else if (std::string_view(content) == "/") fs::create_directory(folder.path() / name);
            else if (std::string_view(content) == "@") fs::create_symlink("/dev/zero", folder.path() / name);
            else if (std::string_view(content) == ">") fs::create_symlink("gone.txt", folder.path() / name);
            else if (std::string_view(content) == "~") fs::create_symlink(name, folder.path() / name);
            else folder.write(name, content);
        }
        const auto files = folder.files();
        const std::string error = errorOf([&] { quiz::selectAndOpen(folder.path()); });
        std::size_t at = 0;
        for (const std::string& part : c.says)
            if (at != std::string::npos) at = error.find(part.empty() ? folder.path().string() : part, at);
        EXPECT_NE(at, std::string::npos) << error;
        if (error.starts_with("tet0.txt 0"))
            expectSays(quizcheckReport(folder.path()), {"tet0.txt: ошибка: ", c.says.back()});
        EXPECT_TRUE(std::ranges::none_of(error, [](unsigned char b) { return b < 0x20 && b != '\n'; })) << error;
        EXPECT_EQ(folder.files(), files);
    }
}

}  // namespace

extern "C" {
int openat(int folder, const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE, temporary = unnamed || isTemporaryName(path);
    if (strikes(Call::CreateUnnamed, unnamed) || strikes(Call::CreateTemporary, temporary)) return -1;
    const int fd = static_cast<int>(::syscall(SYS_openat, folder, path, flags, mode));
    if (fd >= 0 && temporary) armed.temporaryFd = fd;
    return fd;
}
int access(const char* path, int mode) {
    if (strikes(Call::NoProc, std::string_view(path).starts_with("/proc/"))) return -1;
    return static_cast<int>(::syscall(SYS_faccessat, AT_FDCWD, path, mode));
}
int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    if (strikes(Call::Link, isTemporaryName(to))) return -1;
    return static_cast<int>(::syscall(SYS_linkat, fromFolder, from, toFolder, to, flags));
}
int fchmod(int fd, mode_t mode) {
    return strikes(Call::SetMode, fd == armed.temporaryFd) ? -1 : static_cast<int>(::syscall(SYS_fchmod, fd, mode));
}
ssize_t write(int fd, const void* bytes, size_t size) {
    if (fd == armed.temporaryFd && armed.injection && armed.injection->bytesBefore > 0 && !armed.partWritten) {
        armed.partWritten = true;
        return ::syscall(SYS_write, fd, bytes, std::min(size, static_cast<size_t>(armed.injection->bytesBefore)));
    }
    return strikes(Call::Write, fd == armed.temporaryFd) ? -1 : ::syscall(SYS_write, fd, bytes, size);
}
int fsync(int fd) {
    struct stat s {};
    const bool folder = fd != armed.temporaryFd && ::fstat(fd, &s) == 0 && S_ISDIR(s.st_mode);
    if (strikes(Call::Flush, fd == armed.temporaryFd) || strikes(Call::FlushFolder, folder)) return -1;
    return static_cast<int>(::syscall(SYS_fsync, fd));
}
int flock(int fd, int operation) {
    if (auto swap = std::exchange(armed.onLock, nullptr)) swap();
    return static_cast<int>(::syscall(SYS_flock, fd, operation));
}
int close(int fd) {
    const bool temporary = fd == armed.temporaryFd;
    if (temporary) armed.temporaryFd = -1;
    const int result = static_cast<int>(::syscall(SYS_close, fd));
    return strikes(Call::Close, temporary) ? -1 : result;  // the descriptor is gone either way, as in the kernel
}
int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (strikes(Call::Rename, std::string_view(to) == "tet0.txt" && isTemporaryName(from))) return -1;
    return static_cast<int>(::syscall(SYS_renameat, fromFolder, from, toFolder, to));
}
}  // extern "C"

TEST(CounterFaults, AStepThatFailsShowsTheResultThenWhyAndKeepsTheOldValue) {
    // Each call of a step failing, and the causes a player meets, as the player (root without its overrides). The
    // cause named, or "" where the step is made all the same: a refused unnamed file falls back to a named one, an
    // interrupted write is retried, /proc is done without, and with the folder not flushed the new value is in place.
    const auto plantLink = [](const fs::path& f) {  // another user's link, in a folder with the sticky bit open to all
        ::chmod(f.c_str(), 01777);
        fs::rename(f / "tet0.txt", f / "counter.txt");
        fs::create_symlink("counter.txt", f / "tet0.txt");
        own(f / "tet0.txt", kOther);
    };
    struct Case { std::optional<Injection> injection; const char* cause; std::function<void(const fs::path&)> setup; };
    using I = Injection;
    const Case cases[] = {
        {I{Call::CreateTemporary, ENOSPC}, "нет места на диске", {}}, {I{Call::Link, ENOSPC}, "нет места", {}},
        {I{Call::CreateTemporary, EMFILE}, "слишком много открытых файлов", {}}, {I{Call::NoProc, ENOENT}, "", {}},
        {I{Call::CreateUnnamed, EOPNOTSUPP}, "", {}}, {I{Call::SetMode, EPERM}, "операция запрещена", {}},
        {I{Call::Write, ENOSPC}, "нет места", {}}, {I{Call::Write, EDQUOT, 1}, "превышена дисковая квота", {}},
        {I{Call::Write, EINTR, 0, true}, "", {}}, {I{Call::Flush, EIO}, "ошибка ввода-вывода", {}},
        {I{Call::Close, EIO}, "ошибка ввода-вывода", {}}, {I{Call::FlushFolder, EIO}, "", {}},
        {I{Call::Rename, EROFS}, "файловая система доступна только для чтения", {}},
        {{}, "нет прав на запись", [](const fs::path& f) { ::chmod(f.c_str(), 0500); }},
        {{}, "нет прав на запись в него", [](const fs::path& f) { ::chmod((f / "tet0.txt").c_str(), 0444); }},
        {{}, "в первой строке", [](const fs::path& f) { std::ofstream(f / "tet0.txt") << "нет числа"; }},
        {{}, "другой пользователь", plantLink},
    };
    for (const auto& [injection, cause, setup] : cases) {
        SCOPED_TRACE(cause);
        Scene scene(true);
        std::vector<std::string> shown;
        scene.form.onOperation = [&](const std::string& op) { shown.push_back(op); };
        scene.form.start(scene.game);  // up to the moment before a wrong answer is judged, which steps the counter
        ASSERT_TRUE(scene.form.click(scene.game, window::Command1) && scene.form.click(scene.game, window::Option2));
        if (setup) setup(scene.folder.path());
        const auto before = contents(scene.folder);
        armed = {injection, 0, -1, 0, false, nullptr};
        {
            const testing_support::WithoutRootOverrides asThePlayer;
            scene.form.click(scene.game, window::Command1);
            if (setup) expectSays(quizcheckReport(scene.folder.path()), {"tet0.txt", cause});  // quizcheck too
        }
        EXPECT_EQ(armed.hits > 0, injection.has_value()) << "the armed call was made";
        armed.injection.reset();
        EXPECT_EQ(scene.form.state(window::Label16).caption, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ") << "the result shown";
        EXPECT_EQ(scene.form.state(window::Label16).fore, window::kRed);
        ASSERT_GE(shown.size(), 2u);
        EXPECT_TRUE(shown[shown.size() - 2].starts_with("box Игра закончена |")) << shown[shown.size() - 2];
        const bool stepped = *cause == '\0';
        auto expected = before;
        if (stepped) expected["tet0.txt"] = std::to_string(0640) + " 1\r\n";
        EXPECT_EQ(contents(scene.folder), expected) << "the old or the new value, its mode kept, no temporary left";
        EXPECT_EQ(scene.form.exitStatus(), stepped ? 0 : 1);
        if (stepped) continue;
        EXPECT_TRUE(shown.back().starts_with("failure tet0.txt")) << "then why: " << shown.back();
        expectSays(scene.form.failure(), {cause, "в следующий раз снова будет викторина test2.txt"});
    }
}

long rotated(long value, long steps) { return (value - 1 - steps % 3 + 3) % 3 + 1; }

TEST(CounterFaults, AKillAtAnyCallOfAStepLeavesTheOldOrTheNewValue) {
    // A step in a child killed at each of its calls in turn, through an unnamed temporary file and through a named
    // one; the next step goes on from what the file holds and clears what the killed one left.
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named temporary file" : "unnamed temporary file");
        TempFolder folder(true);
        folder.write("tet0.txt", "3\r\n");
        bool keptOld = false, keptNew = false;
        for (int at = 1; at < 100 && !HasFailure(); ++at) {
            const long before = folder.read("tet0.txt")[0] - '0';
            const pid_t child = ::fork();
            if (child == 0) {
                if (named) armed.injection = Injection{Call::CreateUnnamed, EOPNOTSUPP};
                armed.killAt = at;
                ::_exit(errorOf([&] { quiz::stepCounter(folder.path()); }).empty() ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            if (WIFEXITED(status)) {  // the step made fewer calls than `at`: every call has had its kill
                EXPECT_EQ(WEXITSTATUS(status), 0);
                EXPECT_TRUE(keptOld && keptNew) << "kills before and after the counter was replaced, " << at;
                break;
            }
            const std::string bytes = folder.read("tet0.txt");
            ASSERT_TRUE(bytes == std::to_string(before) + "\r\n" || bytes == std::to_string(rotated(before, 1)) + "\r\n")
                << "killed at call " << at << " from " << before << ": «" << bytes << "»";
            (bytes[0] - '0' == before ? keptOld : keptNew) = true;
            EXPECT_EQ(quiz::stepCounter(folder.path()), rotated(bytes[0] - '0', 1)) << at;
            EXPECT_EQ(folder.files(), std::vector<std::string>{"tet0.txt"}) << "leftovers of a killed step, " << at;
        }
    }
}

TEST(CounterFaults, GamesSteppingOneCounterAtOnceEachStepItAndClearLeftovers) {
    TempFolder folder(true);
    folder.write("tet0.txt", "2\r\n");
    for (const char* name : {".tet0.txt.k1LLed", ".tet0.txt.Ab12Cd", ".tet0.txt.mine"}) folder.write(name, "3\r\n");
    constexpr int kChildren = 4, kSteps = 50;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    for (int i = 0; i < kChildren; ++i) {
        if (::fork() != 0) continue;
        ::close(start[1]);
        for (char go; ::read(start[0], &go, 1) > 0;) {}  // all start when the parent closes the pipe
        int failed = 0;
        for (int step = 0; step < kSteps; ++step)
            failed += !errorOf([&] { quiz::stepCounter(folder.path()); }).empty();
        ::_exit(failed);
    }
    ::close(start[0]), ::close(start[1]);
    for (int status = 0, i = 0; i < kChildren; ++i)
        EXPECT_TRUE(::wait(&status) > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a step failed";
    const std::string after = std::to_string(rotated(2, kChildren * kSteps)) + "\r\n";
    EXPECT_EQ(folder.read("tet0.txt"), after) << "every step counted";
    EXPECT_EQ(folder.files(), (std::vector<std::string>{".tet0.txt.mine", "tet0.txt"}));
    const int holder = ::open((folder.path() / "tet0.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    expectSays(errorOf([&] { quiz::stepCounter(folder.path(), std::chrono::milliseconds(20)); }),
               {"tet0.txt", "занят другой игрой", "в файле осталось прежнее значение"});
    ::close(holder);
    EXPECT_EQ(folder.read("tet0.txt"), after);
}

TEST(CounterFaults, FoldersLinkingToOneCounterShareItsRotation) {
    TempFolder root;
    root.write("shared.txt", "3\r\n");
    for (const char* name : {"a", "b"}) fs::create_directory(root.path() / name);
    fs::create_symlink("../shared.txt", root.path() / "a" / "tet0.txt");
    fs::create_symlink(root.path() / "shared.txt", root.path() / "b" / "tet0.txt");
    EXPECT_EQ(quiz::stepCounter(root.path() / "a"), 2);
    EXPECT_EQ(quiz::stepCounter(root.path() / "b"), 1);
    const std::string report = quizcheckReport(root.path() / "a"), shared = fs::canonical(root.path() / "shared.txt");
    EXPECT_TRUE(report.starts_with("tet0.txt: предупреждение: это символическая ссылка на «" + shared + "»: игра сдвигает "
                                   "счётчик в том файле\ntet0.txt: игра начнётся с файла test1.txt\n")) << report;
}

// The step in `folder` made by a child with the player's ids and umask 022: its error, "" when it stepped.
std::string stepAsPlayer(const fs::path& folder) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::umask(022);
        const bool player = ::setgroups(0, nullptr) == 0 && ::setresgid(kPlayer, kPlayer, kPlayer) == 0 &&
                            ::setresuid(kPlayer, kPlayer, kPlayer) == 0;
        const std::string said = player ? errorOf([&] { quiz::stepCounter(folder); }) : "not the player";
        ::_exit(::write(out[1], said.data(), said.size()) < 0);
    }
    std::string said(4096, '\0');  // all in the pipe once the child is gone
    ::waitpid(child, nullptr, 0);
    ::close(out[1]);
    said.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(out[0], said.data(), said.size()))));
    ::close(out[0]);
    return said;
}

TEST(CounterAttacks, AnotherUsersLinksAndFilesNeverMakeTheStepWriteThePlayersFiles) {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as two users needs root";
    // The player plays in `share` (its mode and owner), whose counter is another user's file, a link (its owner) or a
    // hard link ("=") to a file; `says`: the step's error, none when it steps; then the file stepped or kept.
    struct Case { mode_t share; uid_t shareOwner, linkOwner; const char* link; std::vector<std::string> says;
                  const char *file, *bytes; mode_t mode; };
    const char* const notes = "2024 заметки\r\n";
    const Case cases[] = {
        {01777, 0, kOther, "home/notes.txt", {"ссылка", "другой пользователь"}, "home/notes.txt", notes, 0600},
        {01777, 0, kPlayer, "home/notes.txt", {}, "home/notes.txt", "2023\r\n", 0600},  // the player's own link
        {01777, kOther, kOther, "other/tet0.txt", {}, "other/tet0.txt", "4\r\n", 0644},  // one of the folder's owner
        {0777, kOther, 0, nullptr, {}, "share/tet0.txt", "4\r\n", 0644},  // another's, read-only: in the player's mode
        {0777, kOther, 0, "=home/notes.txt", {"tet0.txt", "жёстк"}, "home/notes.txt", notes, 0600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        TempFolder root;
        ::chmod(root.path().c_str(), 0755);
        struct Entry { const char *name, *bytes; mode_t mode; uid_t user; };  // no bytes: a folder
        std::vector<Entry> entries = {{"home", nullptr, 0700, kPlayer}, {"other", nullptr, 0777, kOther},
            {"share", nullptr, c.share, c.shareOwner}, {"home/notes.txt", notes, 0600, kPlayer},
            {"other/tet0.txt", "5\r\n", 0666, kOther}, {"share/test2024.txt", "Т\r\n", 0644, kOther},
            {"share/.tet0.txt.0ther1", "3\r\n", 0644, kOther}, {"share/.tet0.txt.P1ayer", "3\r\n", 0644, kPlayer}};
        if (c.link == nullptr) entries.push_back({"share/tet0.txt", "5\r\n", 0444, kOther});
        for (const Entry& e : entries) {
            if (e.bytes == nullptr) fs::create_directory(root.path() / e.name);
            else root.write(e.name, e.bytes);
            own(root.path() / e.name, e.user);
            ::chmod((root.path() / e.name).c_str(), e.mode);
        }
        const fs::path counter = root.path() / "share/tet0.txt";
        if (c.link && c.link[0] == '=') fs::create_hard_link(root.path() / (c.link + 1), counter);
        if (c.link && c.link[0] != '=') {
            fs::create_symlink(root.path() / c.link, counter);
            own(counter, c.linkOwner);
        }
        const std::string said = stepAsPlayer(root.path() / "share");
        EXPECT_EQ(said.empty(), c.says.empty()) << said;
        expectSays(said, c.says);
        EXPECT_EQ(root.read("home/notes.txt"), c.file == std::string("home/notes.txt") ? c.bytes : notes);
        EXPECT_EQ(root.read(c.file), c.bytes);
        EXPECT_EQ(statOf(root.path() / c.file).st_mode & 07777, c.mode);
        EXPECT_EQ(statOf(root.path() / c.file).st_uid, kPlayer);
        EXPECT_TRUE(fs::exists(root.path() / "share/.tet0.txt.0ther1")) << "another's file swept";
        EXPECT_EQ(fs::exists(root.path() / "share/.tet0.txt.P1ayer"), !c.says.empty() || c.link) << "the player's";
    }
    TempFolder root;  // another's counter that the player may not read: said in those words
    ::chmod(root.path().c_str(), 0777);
    ::chmod(root.write("tet0.txt", "5\r\n").c_str(), 0600);
    const std::string said = stepAsPlayer(root.path());
    EXPECT_NE(said.find("нет прав на чтение"), std::string::npos) << said;
    EXPECT_EQ(root.read("tet0.txt"), "5\r\n");
}

TEST(CounterAttacks, AFolderSwappedWhileTheStepHoldsItsLockIsNotWrittenThrough) {
    // "folder": the play folder becomes a link to the player's home; "counter": the counter is replaced each time.
    for (const bool folderSwapped : {true, false}) {
        SCOPED_TRACE(folderSwapped ? "folder" : "counter");
        TempFolder root;
        for (const char* name : {"o", "o/dir", "home"}) fs::create_directory(root.path() / name);
        ::chmod(root.write("o/dir/tet0.txt", "2\r\n").c_str(), 0666);
        root.write("home/tet0.txt", "2024\r\n");
        std::function<void()> swap = [&] {
            if (folderSwapped) {
                fs::rename(root.path() / "o/dir", root.path() / "o/old");
                fs::create_directory_symlink(root.path() / "home", root.path() / "o/dir");
            } else {  // as often as the step locks it
                fs::rename(root.write("o/dir/new", "2\r\n"), root.path() / "o/dir/tet0.txt");
                armed.onLock = swap;
            }
        };
        armed.onLock = swap;
        const std::string said =
            errorOf([&] { quiz::stepCounter(root.path() / "o/dir", std::chrono::milliseconds(30)); });
        armed.onLock = nullptr;
        EXPECT_EQ(root.read("home/tet0.txt"), "2024\r\n");
        EXPECT_EQ(root.read(folderSwapped ? "o/old/tet0.txt" : "o/dir/tet0.txt"), "2\r\n");
        expectSays(said, {"tet0.txt", folderSwapped ? "подменили" : "заменяли снова", "осталось прежнее значение"});
    }
}
