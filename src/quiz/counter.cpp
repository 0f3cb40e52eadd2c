#include "quiz/counter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "quiz/encoding.h"
#include "quiz/quiz_error.h"

namespace fs = std::filesystem;

namespace quiz {

namespace {

std::string quoted(const fs::path& path) { return "«" + path.string() + "»"; }

std::string inFolder(const fs::path& folder) { return "в папке " + quoted(folder); }

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

struct ErrnoText {
    int code;
    const char* text;
};

constexpr std::array<ErrnoText, 14> kErrnoTexts = {{
    {EACCES, "нет прав на запись"},
    {EPERM, "операция запрещена"},
    {EROFS, "файловая система доступна только для чтения"},
    {ENOSPC, "нет места на диске"},
    {EDQUOT, "превышена дисковая квота"},
    {EFBIG, "превышен допустимый размер файла"},
    {EIO, "ошибка ввода-вывода"},
    {ENOENT, "папка не найдена"},
    {ENOTDIR, "папка не найдена"},
    {ENAMETOOLONG, "слишком длинный путь к папке"},
    {EMFILE, "слишком много открытых файлов"},
    {ENFILE, "слишком много открытых файлов"},
    {ELOOP, "слишком много символических ссылок подряд"},
    {ENOLCK, "файловая система не даёт блокировок"},
}};

std::string errnoText(int code) {
    for (const ErrnoText& e : kErrnoTexts) {
        if (e.code == code) return e.text;
    }
    return "системная ошибка " + std::to_string(code);
}

// Closes the descriptor it holds when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int get() const noexcept { return fd_; }

private:
    int fd_;
};

struct Number {
    long value;
    std::string_view written;  // sign and digits as in the file
    bool clamped;              // beyond the range of long
};

std::optional<Number> readNumber(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (i == line.size() || line[i] < '0' || line[i] > '9') return std::nullopt;
    Number n{0, {}, false};
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        const int digit = line[i] - '0';
        if (negative ? n.value < (LONG_MIN + digit) / 10 : n.value > (LONG_MAX - digit) / 10) {
            n.clamped = true;
        } else if (!n.clamped) {
            n.value = negative ? n.value * 10 - digit : n.value * 10 + digit;
        }
    }
    if (n.clamped) n.value = negative ? LONG_MIN : LONG_MAX;
    n.written = line.substr(start, i - start);
    return n;
}

// A counter's line is quoted to a few words.
constexpr std::size_t kShownBytes = 80;

// "test" + an optional minus + digits + ".txt": the names the counter selects.
bool isQuizFileName(std::string_view name) {
    if (name.size() <= 8 || !name.starts_with("test") || !name.ends_with(".txt")) return false;
    std::string_view number = name.substr(4, name.size() - 8);
    if (number.starts_with('-')) number.remove_prefix(1);
    return !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string quizFilesIn(const fs::path& folder) {
    constexpr std::size_t kMaxNamed = 10;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (isQuizFileName(name)) names.push_back(std::move(name));
    }
    if (names.empty()) return "в папке нет ни одного файла викторины (test<число>.txt)";
    std::sort(names.begin(), names.end());
    std::string list = "в папке есть файлы викторин: ";
    for (std::size_t i = 0; i < names.size() && i < kMaxNamed; ++i) {
        if (i > 0) list += ", ";
        list += names[i];
    }
    if (names.size() > kMaxNamed) list += ", …";
    return list;
}

// Opens `fileName` in `folder` for reading, or throws naming both.
std::unique_ptr<std::ifstream> openForReading(const fs::path& folder, const std::string& fileName,
                                              const std::string& what,
                                              const std::string& missingNote) {
    const fs::path path = folder / fileName;
    const std::string cannotOpen = "не удалось открыть для чтения " + what + " " + inFolder(folder);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        throw QuizError(
            fileName, 0,
            "ожидался " + what + " " + inFolder(folder) + ", но его там нет" + missingNote);
    }
    if (error) throw QuizError(fileName, 0, cannotOpen + ": " + errnoText(error.value()));
    // A folder, a pipe or a device is no quiz: opening a pipe would wait for a
    // writer, and a device may never end.
    if (!fs::is_regular_file(status)) {
        throw QuizError(fileName, 0, cannotOpen + ": это не обычный файл");
    }
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open()) throw QuizError(fileName, 0, cannotOpen);
    return file;
}

// Opens the counter `file` of `folder` for reading; for a step also for
// writing where that is allowed, since network file systems grant an
// exclusive lock only on a file open for writing. Nothing is ever written
// through it.
int openCounter(const fs::path& folder, const fs::path& file, bool forStep) {
    const std::string cannotOpen =
        "не удалось открыть для чтения файл счётчика " + inFolder(folder);
    struct stat s {};
    if (::stat(file.c_str(), &s) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            throw QuizError(kCounterFileName, 0,
                            "ожидался файл счётчика " + inFolder(folder) + ", но его там нет");
        }
        throw QuizError(kCounterFileName, 0, cannotOpen + ": " + errnoText(error));
    }
    // Opening a pipe would wait for a writer, and a device may never end.
    if (!S_ISREG(s.st_mode)) {
        throw QuizError(kCounterFileName, 0, cannotOpen + ": это не обычный файл");
    }
    int fd = forStep ? ::open(file.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY) : -1;
    if (fd < 0) fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        throw QuizError(
            kCounterFileName, 0,
            cannotOpen + ": " + (error == EACCES ? "нет прав на чтение" : errnoText(error)));
    }
    return fd;
}

// The counter's first line, without its line end and byte-order mark, and
// that line decoded for messages.
struct CounterLine {
    std::string bytes;
    std::string text;
};

CounterLine readFirstLine(int fd, const fs::path& folder) {
    // The number stands at the start; a longer line is only ever quoted, cut.
    constexpr std::size_t kLimit = 4096;
    CounterLine line;
    std::array<char, 512> buffer{};
    while (line.bytes.size() < kLimit && line.bytes.find('\n') == std::string::npos) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            throw QuizError(
                kCounterFileName, 0,
                "не удалось прочитать файл счётчика " + inFolder(folder) + ": " + errnoText(error));
        }
        if (n == 0) break;
        line.bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    line.bytes.resize(
        std::min({line.bytes.find('\n'), line.bytes.find('\r'), kLimit, line.bytes.size()}));
    if (line.bytes.starts_with(kUtf8ByteOrderMark)) {
        line.bytes.erase(0, kUtf8ByteOrderMark.size());
        appendUtf8Checked(line.bytes, line.text);
    } else {
        appendWindows1251AsUtf8(line.bytes, line.text);
    }
    return line;
}

// Waits up to `wait` for the exclusive lock on the open counter `fd`.
void lockCounter(int fd, const fs::path& file, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + wait;
    std::chrono::milliseconds pause{1};
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EWOULDBLOCK) {
            throw QuizError(kCounterFileName, 0,
                            "не удалось заблокировать файл счётчика " + quoted(file) + ": " +
                                errnoText(error) + "; в файле осталось прежнее значение");
        }
        if (Clock::now() >= deadline) {
            throw QuizError(kCounterFileName, 0,
                            "файл счётчика " + quoted(file) +
                                " так долго занят другой игрой, что дождаться его не удалось; в "
                                "файле осталось прежнее значение");
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds{50});
    }
}

[[noreturn]] void failToWrite(const fs::path& folder, int code) {
    throw QuizError(kCounterFileName, 0,
                    "не удалось записать новое значение счётчика " + inFolder(folder) + ": " +
                        errnoText(code) + "; в файле осталось прежнее значение");
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The temporary files of a counter are named like ".tet0.txt.Ab12Cd": this
// prefix and six letters or digits.
std::string temporaryPrefix(const fs::path& file) {
    std::string prefix = ".";
    prefix.append(file.filename().string()).append(".");
    return prefix;
}

constexpr std::string_view kNameLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool isTemporaryName(std::string_view name, std::string_view prefix) {
    return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
           name.substr(prefix.size()).find_first_not_of(kNameLetters) == std::string_view::npos;
}

// Removes the temporary files that killed steps left. The caller holds the
// counter's lock, and every step makes its temporary file only while holding
// it, so no living step owns one of them.
void removeLeftovers(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> leftovers;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (isTemporaryName(it->path().filename().string(), prefix)) {
            leftovers.push_back(it->path());
        }
    }
    for (const fs::path& path : leftovers) ::unlink(path.c_str());
}

struct Temporary {
    int fd = -1;
    std::string path;  // empty while the file has no name
};

// An unnamed file in `folder` (O_TMPFILE: a kill leaves nothing of it), or a
// named one where the file system or the kernel has no unnamed files. On
// failure fd is -1 and errno tells why.
Temporary createTemporary(const fs::path& folder, const std::string& prefix) {
    Temporary temp;
    // Naming an unnamed file goes through /proc (linkat with AT_EMPTY_PATH
    // needs a capability).
    if (::access("/proc/self/fd", X_OK) == 0) {
        temp.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (temp.fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
            return temp;
        }
    }
    std::string pattern = (folder / (prefix + "XXXXXX")).string();
    temp.fd = ::mkstemp(pattern.data());
    if (temp.fd >= 0) temp.path = std::move(pattern);
    return temp;
}

// Gives the complete unnamed file a temporary name beside the counter, for
// the rename over it. Returns 0 or the errno.
int nameTemporary(Temporary& temp, const fs::path& folder, const std::string& prefix) {
    const std::string source = "/proc/self/fd/" + std::to_string(temp.fd);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> letter(0, kNameLetters.size() - 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) name += kNameLetters[letter(random)];
        const std::string path = (folder / name).string();
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp.path = path;
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Replaces the counter `file` (mode `mode`) by a temporary file renamed over
// it: rename within one folder is atomic, so a crash leaves the old or the
// new file whole.
void writeCounter(const fs::path& file, mode_t mode, long value) {
    const fs::path folder = folderOf(file);
    const std::string prefix = temporaryPrefix(file);
    Temporary temp = createTemporary(folder, prefix);
    if (temp.fd < 0) failToWrite(folder, errno);

    // A counter that silently lost its permissions could lock out the other
    // players of a shared folder, so a failed copy refuses the step.
    int error = ::fchmod(temp.fd, mode & 07777) != 0 ? errno : 0;
    const std::string text = std::to_string(value) + "\r\n";
    if (error == 0 && (!writeAll(temp.fd, text) || ::fsync(temp.fd) != 0)) error = errno;
    if (error == 0 && temp.path.empty()) error = nameTemporary(temp, folder, prefix);
    if (::close(temp.fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.path.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        if (!temp.path.empty()) ::unlink(temp.path.c_str());
        failToWrite(folder, error);
    }

    // Makes the rename itself durable; the new counter is in place already,
    // so a failure here changes nothing the game could act on.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

constexpr std::string_view kMoveTheGame =
    "скопируйте tet0.txt и файлы викторин в свою папку и запускайте игру там";

[[noreturn]] void cannotStep(const std::string& cause, const std::string& remedy) {
    throw QuizError(kCounterFileName, 0,
                    "после игры не получится сдвинуть счётчик: " + cause +
                        ". Что делать: " + remedy + std::string(kMoveTheGame));
}

}  // namespace

std::string quizFileName(long number) { return "test" + std::to_string(number) + ".txt"; }

std::optional<long> counterValue(std::string_view line) {
    const std::optional<Number> number = readNumber(line);
    if (!number) return std::nullopt;
    return number->value;
}

fs::path counterFile(const fs::path& folder) {
    const fs::path counter = folder / kCounterFileName;
    struct stat link {};
    if (::lstat(counter.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return counter;
    if (char* real = ::realpath(counter.c_str(), nullptr)) {
        fs::path target = real;
        std::free(real);
        return target;
    }
    const int error = errno;
    std::error_code ignored;
    const fs::path target = (folder / fs::read_symlink(counter, ignored)).lexically_normal();
    throw QuizError(
        kCounterFileName, 0,
        "файл счётчика " + quoted(counter) + " — символическая ссылка на " + quoted(target) +
            ", но " +
            (error == ENOENT || error == ENOTDIR ? "такого файла нет"
                                                 : "открыть его нельзя: " + errnoText(error)));
}

QuizSelection selectAndOpen(const fs::path& folder) {
    const Descriptor counter(openCounter(folder, counterFile(folder), false));
    const CounterLine line = readFirstLine(counter.get(), folder);
    const std::optional<Number> number = readNumber(line.bytes);

    QuizSelection selection;
    selection.counter = number ? number->value : 0;
    selection.fileName = quizFileName(selection.counter);
    selection.questionFilePath = (folder / selection.fileName).string();
    // Only a missing quiz is explained, so the folder is read only then.
    std::string missingNote;
    std::error_code ignored;
    if (fs::status(selection.questionFilePath, ignored).type() == fs::file_type::not_found) {
        const std::string counterName = kCounterFileName;
        if (!number && line.text.empty()) {
            missingNote = "первая строка счётчика " + counterName + " пуста, и игра взяла 0";
        } else if (!number) {
            missingNote = "в первой строке счётчика " + counterName + " нет числа, там «" +
                          shownLine(line.text, kShownBytes) + "», и игра взяла 0";
        } else if (number->clamped) {
            missingNote = "его выбрал счётчик " + counterName + " с числом «" +
                          shownLine(number->written, kShownBytes) + "», слишком большим: игра взяла " +
                          std::to_string(number->value);
        } else {
            missingNote =
                "его выбрал счётчик " + counterName + " с числом " + std::to_string(number->value);
        }
        missingNote = " (" + missingNote + "); " + quizFilesIn(folder);
    }
    selection.file = openForReading(folder, selection.fileName, "файл викторины", missingNote);
    return selection;
}

QuizSelection openGivenQuiz(const fs::path& path) {
    QuizSelection selection;
    selection.fileName = path.string();
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    selection.questionFilePath = (error ? path : absolute).string();
    try {
        selection.file = openForReading(path.has_parent_path() ? path.parent_path() : ".",
                                        path.filename().string(), "файл викторины", "");
    } catch (const QuizError& failure) {
        throw QuizError(selection.fileName, 0, failure.expected());
    }
    return selection;
}

void checkCounterCanStep(const fs::path& folder) {
    const fs::path file = counterFile(folder);
    const fs::path fileFolder = folderOf(file);
    {
        const Descriptor counter(openCounter(folder, file, false));
        // Held by a step at this moment is fine; unsupported is not.
        const int error = ::flock(counter.get(), LOCK_SH | LOCK_NB) != 0 ? errno : 0;
        if (error != 0 && error != EWOULDBLOCK) {
            cannotStep("файл " + quoted(file) + " нельзя заблокировать (" + errnoText(error) + ")",
                       "");
        }
    }
    // The effective rights, as the kernel checks them when the step creates
    // its temporary file.
    if (::faccessat(AT_FDCWD, fileFolder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        cannotStep(
            "в папке " + quoted(fileFolder) + " нельзя создавать файлы (" + errnoText(error) + ")",
            "разрешите запись в эту папку или ");
    }
    // Replacing a file needs no right to write it, but an immutable one
    // cannot be replaced, and its write check says so with EPERM.
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 && errno == EPERM) {
        cannotStep("файл " + quoted(file) + " защищён от изменений (" + errnoText(EPERM) + ")",
                   "снимите с него защиту (chattr -i) или ");
    }
    struct stat dir {};
    struct stat counter {};
    const uid_t me = ::geteuid();
    // Root may replace anyone's file (it holds CAP_FOWNER).
    if (::stat(fileFolder.c_str(), &dir) == 0 && ::stat(file.c_str(), &counter) == 0 &&
        (dir.st_mode & S_ISVTX) != 0 && me != 0 && counter.st_uid != me && dir.st_uid != me) {
        cannotStep("файл " + quoted(file) + " принадлежит другому пользователю, а в папке " +
                       quoted(fileFolder) + " заменять файлы могут только их владельцы",
                   "попросите владельца отдать вам файл или ");
    }
}

long stepCounter(const fs::path& folder, std::chrono::milliseconds lockWait) {
    const fs::path file = counterFile(folder);
    Descriptor counter;
    struct stat locked {};
    // A step that held the lock before may have replaced the file since it
    // was opened; then the lock is on the old one, and the new one is taken.
    for (;;) {
        counter.reset(openCounter(folder, file, true));
        lockCounter(counter.get(), file, lockWait);
        struct stat current {};
        if (::fstat(counter.get(), &locked) != 0) failToWrite(folderOf(file), errno);
        if (::stat(file.c_str(), &current) == 0 && current.st_dev == locked.st_dev &&
            current.st_ino == locked.st_ino) {
            break;
        }
    }
    const CounterLine line = readFirstLine(counter.get(), folder);
    const std::optional<long> value = counterValue(line.bytes);
    if (!value) {
        throw QuizError(kCounterFileName, 1, line.text,
                        "ожидалось число в первой строке счётчика; файл оставлен как был");
    }
    const long next = *value <= 1 ? 3 : *value - 1;
    removeLeftovers(folderOf(file), temporaryPrefix(file));
    writeCounter(file, locked.st_mode, next);
    return next;
}

}  // namespace quiz
