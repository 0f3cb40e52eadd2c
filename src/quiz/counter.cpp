#include "quiz/counter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

#include "quiz/encoding.h"
#include "quiz/quiz_error.h"

namespace fs = std::filesystem;

namespace quiz {

namespace {

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

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

[[noreturn]] void fail(const std::string& expected) {
    throw QuizError(kCounterFileName, 0, expected);
}

std::string cannotRead(const fs::path& folder) {
    return "не удалось открыть для чтения файл счётчика в папке " + quotedPath(folder);
}

// The rule of protected_symlinks: in a folder with the sticky bit that
// everyone may write to, anyone could have put a link, so only one that
// belongs to the player or to the folder's owner is followed.
bool kernelWouldFollow(const struct stat& folder, const struct stat& link) {
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    return link.st_uid == ::geteuid() || (folder.st_mode & kShared) != kShared ||
           link.st_uid == folder.st_uid;
}

// Where the walk from the play folder to the counter file stands.
struct Walk {
    fs::path named;   // the play folder's "tet0.txt", as messages name it
    fs::path target;  // the path the links lead to so far
    int links = 0;
    std::vector<std::string> parts;  // the names still to walk, the next one last
};

[[noreturn]] void notFound(const Walk& walk, const fs::path& shownFolder, int error) {
    if (walk.links == 0 && error == ENOENT) {
        fail("ожидался файл счётчика в папке " + quotedPath(shownFolder) + ", но его там нет");
    }
    if (walk.links == 0) fail(cannotRead(shownFolder) + ": " + systemErrorText(error));
    fail("файл счётчика " + quotedPath(walk.named) + " — символическая ссылка на " +
         quotedPath(walk.target) + ", но " +
         (error == ENOENT || error == ENOTDIR ? "такого файла нет"
                                              : "открыть его нельзя: " + systemErrorText(error)));
}

// Takes the link `entry` (at `shown`, in `folder`) into the walk: its text
// goes before the names still to walk.
void follow(Walk& walk, CounterFile& c, int entry, const struct stat& link, const fs::path& shown) {
    if (::fstat(c.folder.get(), &c.folderStatus) != 0) notFound(walk, c.shownFolder, errno);
    if (!kernelWouldFollow(c.folderStatus, link)) {
        const std::string through = walk.links == 0
                                        ? " — символическая ссылка"
                                        : " ведёт через символическую ссылку " + quotedPath(shown);
        fail("файл счётчика " + quotedPath(walk.named) + through +
             ", которую оставил другой пользователь в общей папке " + quotedPath(c.shownFolder) +
             ", куда могут писать все: по таким ссылкам игра не ходит, ведь подложить их мог кто "
             "угодно. Что делать: скопируйте tet0.txt и файлы викторин в свою папку и запускайте "
             "игру там");
    }
    if (++walk.links > kMaxLinks) notFound(walk, c.shownFolder, ELOOP);
    std::array<char, PATH_MAX> text{};
    const ssize_t size = ::readlinkat(entry, "", text.data(), text.size());
    if (size < 0 || static_cast<std::size_t>(size) == text.size()) {
        notFound(walk, c.shownFolder, size < 0 ? errno : ENAMETOOLONG);
    }
    const std::string_view path(text.data(), static_cast<std::size_t>(size));
    walk.target = (shown.parent_path() / path).lexically_normal();
    if (path.starts_with('/')) {
        c.folder.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        c.shownFolder = "/";
    }
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; start < path.size(); start = end + 1) {
        end = std::min(path.find('/', start), path.size());
        if (end > start) parts.emplace_back(path.substr(start, end - start));
    }
    walk.parts.insert(walk.parts.end(), parts.rbegin(), parts.rend());
    c.throughLink = true;
}

}  // namespace

int reopenEntry(int folder, const char* name, int entry, const struct stat& status, int flags,
                bool followLinks) {
    flags |= O_CLOEXEC | O_NOCTTY;
    if (haveProcDescriptors())
        return ::open(("/proc/self/fd/" + std::to_string(entry)).c_str(), flags);
    const int fd = ::openat(folder, name, flags | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW));
    struct stat now {};
    if (fd >= 0 && (::fstat(fd, &now) != 0 || !sameFile(now, status))) {
        ::close(fd);
        errno = ENOENT;
        return -1;
    }
    return fd;
}

namespace {

// The counter file behind `entry`, never through a link by its name.
int reopen(const CounterFile& c, int entry, int flags) {
    return reopenEntry(c.folder.get(), c.name.c_str(), entry, c.status, flags, false);
}

// Ends the walk at the counter file `entry`, named `name` in c.folder.
void finish(CounterFile& c, int entry, const struct stat& s, std::string name, bool forStep) {
    // A pipe would wait for a writer, and a device may never end.
    if (!S_ISREG(s.st_mode)) fail(cannotRead(c.shownFolder) + ": это не обычный файл");
    c.name = std::move(name);
    c.status = s;
    c.shown = c.shownFolder / c.name;
    // The step lists the folder and flushes it, which needs it open for reading.
    if (FileHandle readable(::openat(c.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        readable.get() >= 0) {
        c.folder = std::move(readable);
    }
    if (::fstat(c.folder.get(), &c.folderStatus) != 0) fail(cannotRead(c.shownFolder));
    if (forStep) {
        c.file.reset(reopen(c, entry, O_RDWR));
        c.writeError = c.file.get() < 0 ? errno : 0;
    }
    if (c.file.get() < 0) c.file.reset(reopen(c, entry, O_RDONLY));
    if (c.file.get() < 0) {
        const int error = errno;
        fail(cannotRead(c.shownFolder) + ": " +
             (error == EACCES ? "нет прав на чтение" : systemErrorText(error)));
    }
}

}  // namespace

long steppedCounter(long value) { return value <= 1 ? kRotationTop : value - 1; }

std::string quizFileName(long number) { return "test" + std::to_string(number) + ".txt"; }

std::optional<CounterNumber> counterNumber(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (i == line.size() || line[i] < '0' || line[i] > '9') return std::nullopt;
    CounterNumber n;
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

std::optional<long> counterValue(std::string_view line) {
    const std::optional<CounterNumber> number = counterNumber(line);
    if (!number) return std::nullopt;
    return number->value;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
}

void FileHandle::reset(int fd) noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

int FileHandle::release() noexcept { return std::exchange(fd_, -1); }

std::string systemErrorText(int code) {
    for (const ErrnoText& e : kErrnoTexts) {
        if (e.code == code) return e.text;
    }
    return "системная ошибка " + std::to_string(code);
}

std::string quotedPath(const fs::path& path) { return "«" + path.string() + "»"; }

bool haveProcDescriptors() { return ::access("/proc/self/fd", X_OK) == 0; }

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

CounterFile openCounterFile(const fs::path& folder, bool forStep) {
    FileHandle play(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (play.get() < 0) fail(cannotRead(folder) + ": " + systemErrorText(errno));
    CounterFile c = openCounterFileIn(play.get(), folder, forStep);
    c.playFolder = std::move(play);
    return c;
}

CounterFile openCounterFileIn(int playFolder, const fs::path& shownFolder, bool forStep) {
    CounterFile c;
    c.shownFolder = shownFolder;
    Walk walk{
        shownFolder / kCounterFileName, shownFolder / kCounterFileName, 0, {kCounterFileName}};
    c.folder.reset(::fcntl(playFolder, F_DUPFD_CLOEXEC, 0));
    if (c.folder.get() < 0) notFound(walk, shownFolder, errno);
    while (!walk.parts.empty()) {
        std::string part = std::move(walk.parts.back());
        walk.parts.pop_back();
        FileHandle entry(::openat(c.folder.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat s {};
        if (entry.get() < 0 || ::fstat(entry.get(), &s) != 0) notFound(walk, c.shownFolder, errno);
        const fs::path shown = (c.shownFolder / part).lexically_normal();
        if (S_ISLNK(s.st_mode)) {
            follow(walk, c, entry.get(), s, shown);
        } else if (walk.parts.empty()) {
            finish(c, entry.get(), s, std::move(part), forStep);
            return c;
        } else if (!S_ISDIR(s.st_mode)) {
            notFound(walk, c.shownFolder, ENOTDIR);
        } else {
            c.folder = std::move(entry);
            c.shownFolder = shown;
        }
    }
    // The link's text ends at a folder ("dir/" or ".").
    fail(cannotRead(c.shownFolder) + ": это не обычный файл");
}

CounterLine readCounterLine(const CounterFile& counter) {
    CounterLine line;
    std::array<char, 512> buffer{};
    while (line.bytes.size() < kCounterLineLimit && line.bytes.find('\n') == std::string::npos) {
        const ssize_t n = ::pread(counter.file.get(), buffer.data(), buffer.size(),
                                  static_cast<off_t>(line.bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail("не удалось прочитать файл счётчика в папке " + quotedPath(counter.shownFolder) +
                 ": " + systemErrorText(errno));
        }
        if (n == 0) break;
        line.bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    line.bytes.resize(std::min(
        {line.bytes.find('\n'), line.bytes.find('\r'), kCounterLineLimit, line.bytes.size()}));
    if (line.bytes.starts_with(kUtf8ByteOrderMark)) {
        line.bytes.erase(0, kUtf8ByteOrderMark.size());
        appendUtf8Checked(line.bytes, line.text);
    } else {
        appendWindows1251AsUtf8(line.bytes, line.text);
    }
    return line;
}

CounterReading readCounter(const fs::path& folder) {
    const CounterFile counter = openCounterFile(folder);
    CounterReading reading;
    reading.line = readCounterLine(counter);
    reading.number = counterNumber(reading.line.bytes);
    if (counter.throughLink) reading.linkTarget = counter.shown;
    return reading;
}

}  // namespace quiz
