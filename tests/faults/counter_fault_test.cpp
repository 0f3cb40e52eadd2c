// The counter under real faults of the file system and of the process: each
// way the step of the counter can be refused leaves the old value and stops
// the game with a message that names the cause; a process killed at any
// moment of the step leaves the old or the new value. Faults of permissions
// hold for root too (faults/privileges.h).
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "faults/counter_scene.h"
#include "faults/privileges.h"
#include "faults/scratch_folder.h"
#include "quiz/counter.h"
#include "support/quiz_files.h"

#ifndef QUIZ_KILLS_IN_MEMORY
#define QUIZ_KILLS_IN_MEMORY 400
#endif

namespace {

namespace fs = std::filesystem;
using faults::CounterScene;
using faults::kNotWritten;
using faults::kOldValueKept;
using faults::Outcome;
using faults::Undo;
using faults::canCreateIn;
using faults::dropOverrides;

// Makes a fault; returns why it cannot be made here, or "" when it holds.
using Arrange = std::string (*)(const fs::path& folder, Undo& undo);

bool canOpen(const fs::path& file, int flags) {
    const int fd = ::open(file.c_str(), flags);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// Sets or clears an attribute flag such as FS_IMMUTABLE_FL (chattr).
bool setFlag(const fs::path& path, int flag, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | flag) : (flags & ~flag);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return done;
}

std::string makeImmutable(const fs::path& path, Undo& undo) {
    if (!setFlag(path, FS_IMMUTABLE_FL, true)) {
        return "cannot make " + path.string() + " immutable here (needs CAP_LINUX_IMMUTABLE " +
               "and a file system with attribute flags): " + std::strerror(errno);
    }
    undo.add([path] { setFlag(path, FS_IMMUTABLE_FL, false); });
    return "";
}

std::string counterIn(const fs::path& folder) { return (folder / "tet0.txt").string(); }

std::string readOnlyFolder(const fs::path& folder, Undo& undo) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::string why = dropOverrides(undo); !why.empty()) return why;
    if (canCreateIn(folder)) return "this process still creates files in a read-only folder";
    return "";
}

std::string readOnlyCounter(const fs::path& folder, Undo& undo) {
    fs::permissions(counterIn(folder), fs::perms::owner_read | fs::perms::group_read |
                                           fs::perms::others_read);
    if (std::string why = dropOverrides(undo); !why.empty()) return why;
    if (canOpen(counterIn(folder), O_WRONLY)) return "this process still writes a read-only file";
    return "";
}

std::string readOnlyCounterAndFolder(const fs::path& folder, Undo& undo) {
    if (std::string why = readOnlyCounter(folder, undo); !why.empty()) return why;
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    if (canCreateIn(folder)) return "this process still creates files in a read-only folder";
    return "";
}

std::string unreadableCounter(const fs::path& folder, Undo& undo) {
    fs::permissions(counterIn(folder), fs::perms::owner_write);
    undo.add([folder] {
        fs::permissions(counterIn(folder), fs::perms::owner_read | fs::perms::owner_write);
    });
    if (std::string why = dropOverrides(undo); !why.empty()) return why;
    if (canOpen(counterIn(folder), O_RDONLY)) return "this process still reads an unreadable file";
    return "";
}

std::string immutableFolder(const fs::path& folder, Undo& undo) {
    if (std::string why = makeImmutable(folder, undo); !why.empty()) return why;
    if (canCreateIn(folder)) return "this process still creates files in an immutable folder";
    return "";
}

std::string immutableCounter(const fs::path& folder, Undo& undo) {
    if (std::string why = makeImmutable(counterIn(folder), undo); !why.empty()) return why;
    if (canOpen(counterIn(folder), O_WRONLY)) return "this process still writes an immutable file";
    return "";
}

// A shared folder like /tmp (everyone may create files, only owners may
// remove or replace them) where the counter belongs to another user and is
// writable by everyone.
std::string othersCounterInSharedFolder(const fs::path& folder, Undo& undo) {
    const uid_t other = ::geteuid() == 65534 ? 65533 : 65534;
    if (::chown(folder.c_str(), other, other) != 0 ||
        ::chown(counterIn(folder).c_str(), other, other) != 0) {
        return std::string("cannot give the files to another user: ") + std::strerror(errno);
    }
    fs::permissions(folder, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(counterIn(folder), fs::perms::owner_read | fs::perms::owner_write |
                                           fs::perms::group_read | fs::perms::group_write |
                                           fs::perms::others_read | fs::perms::others_write);
    return dropOverrides(undo);
}

// No file may grow beyond 0 bytes: writing any byte fails, for root too.
std::string noFileMayGrow(const fs::path&, Undo& undo) {
    const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit none = old;
    none.rlim_cur = 0;
    if (::setrlimit(RLIMIT_FSIZE, &none) != 0) {
        return std::string("setrlimit: ") + std::strerror(errno);
    }
    undo.add([old, handler] {
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, handler);
    });
    return "";
}

std::string nothing(const fs::path&, Undo&) { return ""; }

// The longest path the system accepts has kPathMax - 1 characters.
constexpr std::size_t kPathMax = PATH_MAX;
constexpr std::size_t kTemporaryNameLength = std::string_view("/.tet0.txt.XXXXXX").size();

// A folder nested deep enough that "tet0.txt" in it can still be named but a
// temporary file beside it, whose name is longer, cannot.
fs::path deepFolder(const fs::path& base) {
    const std::size_t length = kPathMax - kTemporaryNameLength + 1;
    fs::path path = base;
    while (path.string().size() < length) {
        const std::size_t need = length - path.string().size();  // separator included
        std::size_t part = std::min<std::size_t>(need, 201);
        if (need - part == 1) part = 200;
        path /= std::string(part - 1, 'd');
        fs::create_directory(path);
    }
    return path;
}

enum class Place { Folder, DeepFolder };

struct FaultCase {
    const char* name;
    Place place;
    Arrange arrange;
    Outcome outcome;
};

const std::vector<FaultCase> kFaultCases = {
    {"read_only_folder", Place::Folder, readOnlyFolder,
     {false, {kNotWritten, "нет прав на запись", kOldValueKept}}},
    // The counter is replaced, not written in place, and replacing a file is
    // a change of the folder: a read-only counter in a writable folder is
    // stepped and stays read-only.
    {"read_only_counter_in_writable_folder", Place::Folder, readOnlyCounter, {true, {}}},
    {"read_only_counter_in_read_only_folder", Place::Folder, readOnlyCounterAndFolder,
     {false, {kNotWritten, "нет прав на запись", kOldValueKept}}},
    {"unreadable_counter", Place::Folder, unreadableCounter,
     {false, {"не удалось открыть для чтения файл счётчика"}}},
    {"immutable_folder_takes_no_temporary_file", Place::Folder, immutableFolder,
     {false, {kNotWritten, "операция запрещена", kOldValueKept}}},
    {"immutable_counter_cannot_be_replaced", Place::Folder, immutableCounter,
     {false, {kNotWritten, "операция запрещена", kOldValueKept}}},
    {"path_too_long_for_a_temporary_file", Place::DeepFolder, nothing,
     {false, {kNotWritten, "слишком длинный путь", kOldValueKept}}},
    {"counter_of_another_user_in_a_shared_folder", Place::Folder, othersCounterInSharedFolder,
     {false, {kNotWritten, "операция запрещена", kOldValueKept}}},
    {"no_file_may_grow", Place::Folder, noFileMayGrow,
     {false, {kNotWritten, "превышен допустимый размер файла", kOldValueKept}}},
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class CounterFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CounterFaultTest, KeepsTheOldOrTheNewValueAndReportsTheCause) {
    const FaultCase& c = GetParam();
    testing_support::TempFolder temp;
    const fs::path folder = c.place == Place::DeepFolder ? deepFolder(temp.path()) : temp.path();
    if (c.place == Place::DeepFolder) {
        ASSERT_LT((folder / "tet0.txt").string().size(), kPathMax);
        ASSERT_GE((folder / ".tet0.txt.XXXXXX").string().size(), kPathMax);
    }
    CounterScene scene(folder);
    ASSERT_NO_FATAL_FAILURE(scene.reachWrongAnswer());
    fs::perms modeBefore{};
    fs::perms modeAfter{};
    {
        Undo undo;
        if (const std::string why = c.arrange(folder, undo); !why.empty()) GTEST_SKIP() << why;
        modeBefore = scene.counterMode();
        scene.answer();
        modeAfter = scene.counterMode();
    }
    EXPECT_EQ(faults::octal(modeAfter), faults::octal(modeBefore))
        << "the counter's permissions changed";
    expectOutcome(scene, c.outcome);
}

INSTANTIATE_TEST_SUITE_P(Faults, CounterFaultTest, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

long rotated(long value, long steps) {
    for (long i = 0; i < steps; ++i) value = value <= 1 ? 3 : value - 1;
    return value;
}

// The counter's bytes when they are one well-formed value 1..3, else 0.
long wellFormedValue(const std::string& bytes) {
    static const std::regex valid("[123]\r\n");
    return std::regex_match(bytes, valid) ? bytes[0] - '0' : 0;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Files in the folder other than the counter; each must be a temporary file
// of the counter.
std::vector<std::string> strayFiles(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() != "tet0.txt") names.push_back(entry.path().filename());
    }
    return names;
}

// The child: steps the counter for ever and reports the beginning of each
// step with one byte ('b'), each finished step with 's', a failed one with 'E'.
[[noreturn]] void stepForEver(const fs::path& folder, int report) {
    for (;;) {
        char done = 's';
        if (::write(report, "b", 1) != 1) ::_exit(1);
        try {
            quiz::stepCounter(folder);
        } catch (...) {
            done = 'E';
        }
        if (::write(report, &done, 1) != 1 || done == 'E') ::_exit(1);
    }
}

struct KillRun {
    const char* name;
    faults::Medium medium;
    int kills;
};

void PrintTo(const KillRun& run, std::ostream* out) { *out << run.name; }

class CounterKillTest : public ::testing::TestWithParam<KillRun> {};

TEST_P(CounterKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewValue) {
    const KillRun& run = GetParam();
    faults::ScratchFolder scratch(run.medium);
    const fs::path& folder = scratch.path();
    const fs::path counter = folder / "tet0.txt";
    faults::writeFile(counter, "3\r\n");

    // The kills are spread over about two steps after the last one reported.
    using Clock = std::chrono::steady_clock;
    constexpr int kCalibration = 8;
    const auto t0 = Clock::now();
    for (int i = 0; i < kCalibration; ++i) quiz::stepCounter(folder);
    const auto stepTime = (Clock::now() - t0) / kCalibration;
    long value = wellFormedValue(readBytes(counter));
    ASSERT_EQ(value, rotated(3, kCalibration));

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const std::regex temporaryName(R"(\.tet0\.txt\.\w{6})");
    int interrupted = 0;  // kills that fell inside a step
    std::size_t strays = 0;  // temporary files found after a kill, all kills together
    for (int kill = 0; kill < run.kills && !HasFailure(); ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            stepForEver(folder, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        const int awaited = std::uniform_int_distribution<int>(0, 2)(random);
        long reported = 0;
        bool failed = false;
        bool inStep = false;
        const auto take = [&](char byte) {
            inStep = byte == 'b';
            if (byte == 's') ++reported;
            failed = failed || (byte != 's' && byte != 'b');
        };
        char byte = 0;
        while (reported < awaited && !failed && ::read(pipeEnds[0], &byte, 1) == 1) take(byte);
        const auto spin = std::uniform_real_distribution<double>(0, 2)(random) * stepTime;
        for (const auto until = Clock::now() + spin; Clock::now() < until;) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        while (::read(pipeEnds[0], &byte, 1) == 1) take(byte);
        ::close(pipeEnds[0]);
        ASSERT_FALSE(failed) << "a step failed in the child";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

        const std::string bytes = readBytes(counter);
        const long now = wellFormedValue(bytes);
        ASSERT_NE(now, 0) << "the counter holds «" << bytes << "»";
        const long before = rotated(value, reported);
        ASSERT_TRUE(now == before || now == rotated(before, 1))
            << "after " << reported << " reported steps from " << value << " the counter holds "
            << now;
        const std::vector<std::string> stray = strayFiles(folder);
        for (const std::string& name : stray) {
            ASSERT_TRUE(std::regex_match(name, temporaryName)) << name;
        }
        if (inStep) ++interrupted;
        strays += stray.size();
        value = now;
    }
    ASSERT_FALSE(HasFailure());

    // The next step removes the temporary files of killed steps and leaves
    // none of its own.
    EXPECT_EQ(quiz::stepCounter(folder), rotated(value, 1));
    EXPECT_EQ(readBytes(counter), std::to_string(rotated(value, 1)) + "\r\n");
    EXPECT_EQ(strayFiles(folder), std::vector<std::string>{});
    EXPECT_GT(interrupted, 0) << "no kill fell inside a step";
    std::cout << run.kills << " kills, " << interrupted << " inside a step, " << strays
              << " temporary files seen after them; one step took "
              << std::chrono::duration<double, std::micro>(stepTime).count() << " µs\n";
}

INSTANTIATE_TEST_SUITE_P(Kills, CounterKillTest,
                         ::testing::Values(KillRun{"memory_backed_folder", faults::Medium::Memory,
                                                   QUIZ_KILLS_IN_MEMORY},
                                           KillRun{"folder_on_disk", faults::Medium::Disk, 20}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
