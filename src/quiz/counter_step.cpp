#include "quiz/counter_step.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "quiz/counter.h"
#include "quiz/quiz_error.h"
#include "quiz/system_calls.h"

namespace fs = std::filesystem;

namespace quiz {

namespace {

constexpr std::string_view kKept = "; в файле осталось прежнее значение";

[[noreturn]] void refuse(const std::string& why) {
    throw QuizError(kCounterFileName, 0, why + std::string(kKept));
}

// The words of a failure, as the step and the check before it say them.
std::string writeFailure(const CounterFile& c, int code) {
    return "не удалось записать новое значение счётчика в папке " + quotedPath(c.shownFolder) +
           ": " + systemErrorText(code);
}

std::string lockFailure(const CounterFile& c, int code) {
    return "не удалось заблокировать файл счётчика " + quotedPath(c.shown) + ": " +
           systemErrorText(code);
}

[[noreturn]] void failToWrite(const CounterFile& c, int code) { refuse(writeFailure(c, code)); }

// Paces the tries of a step: pauses that grow up to 50 ms, until a deadline.
class Patience {
public:
    explicit Patience(std::chrono::milliseconds wait) : deadline_(Clock::now() + wait) {}
    // Pauses before the next try; false once the time is up.
    bool pause() {
        if (Clock::now() >= deadline_) return false;
        std::this_thread::sleep_for(pause_);
        pause_ = std::min(pause_ * 2, std::chrono::milliseconds{50});
        return true;
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline_;
    std::chrono::milliseconds pause_{1};
};

// Waits for the exclusive lock on the open counter.
void lockCounter(const CounterFile& c, Patience& patience) {
    while (::flock(c.file.get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EWOULDBLOCK) refuse(lockFailure(c, error));
        if (!patience.pause()) {
            refuse("файл счётчика " + quotedPath(c.shown) +
                   " так долго занят другой игрой, что дождаться его не удалось");
        }
    }
}

enum class Named { Same, Replaced, Swapped };

// Whether, after locking, the name `folder` still leads to the play folder
// opened, and the walk from there to the same folder and counter file.
Named stillNamed(const fs::path& folder, const CounterFile& locked) {
    struct stat named {};
    struct stat opened {};
    if (::stat(folder.c_str(), &named) != 0 || ::fstat(locked.playFolder.get(), &opened) != 0 ||
        !sameFile(named, opened)) {
        return Named::Swapped;
    }
    const CounterFile now = openCounterFileIn(locked.playFolder.get(), folder, false);
    if (!sameFile(now.folderStatus, locked.folderStatus)) return Named::Swapped;
    return sameFile(now.status, locked.status) ? Named::Same : Named::Replaced;
}

// Opens and locks the counter of `folder`, the one still named so. Another
// game's step replaces the counter while this one waits, so a replaced one is
// opened again; a counter replaced for longer than the lock's wait ends it.
CounterFile lockedCounter(const fs::path& folder, std::chrono::milliseconds lockWait) {
    Patience patience(lockWait);
    CounterFile counter = openCounterFile(folder, true);
    for (;;) {
        lockCounter(counter, patience);
        const Named named = stillNamed(folder, counter);
        if (named == Named::Same) break;
        if (named == Named::Swapped) {
            refuse("папку " + quotedPath(counter.shownFolder) +
                   " подменили, пока игра сдвигала счётчик: писать в другую папку игра не стала");
        }
        if (!patience.pause()) {
            refuse("файл счётчика " + quotedPath(counter.shown) +
                   " заменяли снова и снова, пока игра ждала его");
        }
        CounterFile again = openCounterFileIn(counter.playFolder.get(), folder, true);
        again.playFolder = std::move(counter.playFolder);
        counter = std::move(again);
    }
    // What the locked file is now: its links and mode.
    if (::fstat(counter.file.get(), &counter.status) != 0) refuse(lockFailure(counter, errno));
    return counter;
}

// Why the rules above keep the counter from being replaced, if they do; the
// other failures come from the calls.
std::optional<std::string> whyNotReplaceable(const CounterFile& c) {
    const uid_t me = ::geteuid();
    // The player's own counter made read-only is meant to stay as it is.
    // Another's is replaced as the folder allows: after one player's step the
    // counter is that player's, in their default mode, and the next player in
    // a shared folder must still be able to step it.
    if (c.writeError != 0 && (c.writeError != EACCES || c.status.st_uid == me)) {
        return "файл счётчика " + quotedPath(c.shown) + " нельзя изменить: " +
               (c.writeError == EACCES ? "нет прав на запись в него"
                : c.writeError == EPERM ? "он защищён от изменений (снимает защиту chattr -i)"
                                        : systemErrorText(c.writeError));
    }
    // Someone else may have linked a file of the player's into a folder they
    // control; replacing it there would put what it says, stepped, into their
    // hands. Such a file is replaced only in a folder that is the player's.
    if (c.status.st_nlink > 1 &&
        (c.folderStatus.st_uid != me || (c.folderStatus.st_mode & S_IWOTH) != 0)) {
        return "у файла счётчика " + quotedPath(c.shown) +
               " есть другие имена (жёсткие ссылки), а в папке " + quotedPath(c.shownFolder) +
               " распоряжаются и другие пользователи: заменять его игра не стала";
    }
    // Root may replace anyone's file (it holds CAP_FOWNER).
    if ((c.folderStatus.st_mode & S_ISVTX) != 0 && me != 0 && c.status.st_uid != me &&
        c.folderStatus.st_uid != me) {
        return "файл счётчика " + quotedPath(c.shown) +
               " принадлежит другому пользователю, а в папке " + quotedPath(c.shownFolder) +
               " заменять файлы могут только их владельцы";
    }
    // The effective rights, as the kernel checks them when the temporary file is made.
    if (::faccessat(c.folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return writeFailure(c, errno);
    return std::nullopt;
}

constexpr std::string_view kNameLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kNameAttempts = 100;

// The temporary files of a counter are named like ".tet0.txt.Ab12Cd": this
// prefix and six letters or digits.
std::string temporaryPrefix(const CounterFile& c) { return "." + c.name + "."; }

bool isTemporaryName(std::string_view name, std::string_view prefix) {
    return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
           name.substr(prefix.size()).find_first_not_of(kNameLetters) == std::string_view::npos;
}

std::string temporaryName(const std::string& prefix) {
    static std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> letter(0, kNameLetters.size() - 1);
    std::string name = prefix;
    for (int i = 0; i < 6; ++i) name += kNameLetters[letter(random)];
    return name;
}

// Removes the temporary files that killed steps left. The caller holds the
// counter's lock, and every step makes its temporary file only while holding
// it, so no living step owns one of them. Only the player's own regular files
// go: a name of the pattern may be anyone's in a shared folder.
void removeLeftovers(const CounterFile& c) {
    const std::string prefix = temporaryPrefix(c);
    FileHandle listing(::openat(c.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* dir = listing.get() >= 0 ? ::fdopendir(listing.get()) : nullptr;
    if (dir == nullptr) return;
    listing.release();
    // Each goes as it is found: nothing is gathered, however many names others put there.
    while (const dirent* entry = ::readdir(dir)) {
        struct stat s {};
        if (isTemporaryName(entry->d_name, prefix) &&
            ::fstatat(c.folder.get(), entry->d_name, &s, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(s.st_mode) && s.st_uid == ::geteuid()) {
            ::unlinkat(c.folder.get(), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

struct Temporary {
    int fd = -1;
    std::string name;  // empty while the file has no name
};

// An unnamed file in `folder` (O_TMPFILE: a kill leaves nothing of it), or a
// named one where the file system or the kernel has none. Either is made with
// the player's default mode. On failure fd is -1 and errno tells why.
Temporary createTemporary(int folder, const std::string& prefix) {
    Temporary temp;
    // Naming an unnamed file goes through /proc (linkat with AT_EMPTY_PATH
    // needs a capability).
    if (haveProcDescriptors()) {
        temp.fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (temp.fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
            return temp;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = temporaryName(prefix);
        temp.fd = ::openat(folder, name.c_str(),
                           O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (temp.fd >= 0) {
            temp.name = std::move(name);
            return temp;
        }
        if (errno != EEXIST) return temp;
    }
    return temp;
}

// Gives the complete unnamed file a temporary name beside the counter, for
// the rename over it. Returns 0 or the errno.
int nameTemporary(Temporary& temp, int folder, const std::string& prefix) {
    const std::string source = "/proc/self/fd/" + std::to_string(temp.fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = temporaryName(prefix);
        if (::linkat(AT_FDCWD, source.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp.name = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Replaces the counter by a temporary file renamed over it: rename within one
// folder is atomic, so a crash leaves the old or the new file whole.
void writeCounter(const CounterFile& c, long value) {
    const std::string prefix = temporaryPrefix(c);
    Temporary temp = createTemporary(c.folder.get(), prefix);
    if (temp.fd < 0) failToWrite(c, errno);
    // The player's own counter keeps its mode: one that silently lost it
    // could lock out the other players of a shared folder.
    int error = c.status.st_uid == ::geteuid() && ::fchmod(temp.fd, c.status.st_mode & 07777) != 0
                    ? errno
                    : 0;
    if (error == 0 &&
        (!writeAll(temp.fd, std::to_string(value) + "\r\n") || ::fsync(temp.fd) != 0)) {
        error = errno;
    }
    if (error == 0 && temp.name.empty()) error = nameTemporary(temp, c.folder.get(), prefix);
    if (::close(temp.fd) != 0 && error == 0) error = errno;
    if (error == 0 &&
        ::renameat(c.folder.get(), temp.name.c_str(), c.folder.get(), c.name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        if (!temp.name.empty()) ::unlinkat(c.folder.get(), temp.name.c_str(), 0);
        failToWrite(c, error);
    }
    // Makes the rename itself durable; the new counter is in place already,
    // so a failure here changes nothing the game could act on.
    ::fsync(c.folder.get());
}

}  // namespace

long stepCounter(const fs::path& folder, std::chrono::milliseconds lockWait) {
    const CounterFile counter = lockedCounter(folder, lockWait);
    const CounterLine line = readCounterLine(counter);
    const std::optional<long> value = counterValue(line.bytes);
    if (!value) {
        throw QuizError(kCounterFileName, 1, line.text,
                        "ожидалось число в первой строке счётчика; файл оставлен как был");
    }
    if (const std::optional<std::string> why = whyNotReplaceable(counter)) refuse(*why);
    const long next = steppedCounter(*value);
    removeLeftovers(counter);
    writeCounter(counter, next);
    return next;
}

void checkCounterCanStep(const fs::path& folder) {
    const CounterFile counter = openCounterFile(folder, true);
    // Held by a step at this moment is fine; unsupported is not.
    std::optional<std::string> why = whyNotReplaceable(counter);
    if (::flock(counter.file.get(), LOCK_SH | LOCK_NB) != 0 && errno != EWOULDBLOCK) {
        why = lockFailure(counter, errno);
    }
    if (why) throw QuizError(kCounterFileName, 0, *why);
}

}  // namespace quiz
