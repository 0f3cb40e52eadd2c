#include "quizedit/model/recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "quiz/file_write.h"
#include "quiz/system_calls.h"
#include "quiz/writer.h"

namespace fs = std::filesystem;

namespace quizedit {

namespace {

constexpr std::string_view kMagic = "quizedit-recovery 1\n";
constexpr std::string_view kLock = ".lock";
constexpr std::string_view kCopy = ".quiz";
// A copy is a quiz and a header: no more than an input file and its name.
constexpr std::size_t kMaxCopyBytes = kMaxInputBytes + 64 * 1024;

constexpr std::string_view kLineEnds[] = {"crlf", "lf", "cr", "none"};

std::string because(const std::string& what) { return what + ": " + std::strerror(errno); }

// Makes `folder` (and its parents) and opens it; it must be a folder of this
// user, not a link, and is made private.
int openPrivateFolder(const fs::path& folder, std::string& problem) {
    std::error_code error;
    fs::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = because("не удалось создать папку " + folder.string());
        return -1;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        problem = because("не удалось открыть папку " + folder.string());
    } else if (st.st_uid != ::geteuid()) {
        problem = "папка " + folder.string() + " принадлежит другому пользователю";
    } else if ((st.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
        problem = because("не удалось закрыть папку " + folder.string() + " от других");
    }
    if (problem.empty()) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// The bytes of the regular file `name` in `folder`, never through a link; none when
// it cannot be read or is too large; `modified`: when it was last written.
std::optional<std::string> readAt(int folder, const std::string& name, long long& modified) {
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<std::size_t>(st.st_size) <= kMaxCopyBytes) {
        bytes.emplace();
        modified = static_cast<long long>(st.st_mtime);
        char buffer[64 * 1024];
        for (ssize_t got; (got = quiz::readSome(fd, buffer, sizeof buffer)) != 0;) {
            if (got < 0 || bytes->size() + static_cast<std::size_t>(got) > kMaxCopyBytes) {
                bytes.reset();
                break;
            }
            bytes->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

// Opens (creating when `create`) and locks `name`; -1 when it cannot, or another holds it.
int lockAt(int folder, const std::string& name, bool create) {
    const int flags = O_RDWR | O_NOFOLLOW | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0);
    const int fd = ::openat(folder, name.c_str(), flags, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    ::close(fd);
    return -1;
}

std::string newId() {
    std::random_device random;
    return std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000000u);
}

}  // namespace

std::optional<fs::path> recoveryFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute())
        return fs::path(xdgDataHome) / "quizedit" / "recovery";
    if (home == nullptr || !fs::path(home).is_absolute()) return std::nullopt;
    return fs::path(home) / ".local" / "share" / "quizedit" / "recovery";
}

std::string recoveryBytes(const Recovered& copy) {
    std::string bytes(kMagic);
    bytes += copy.text ? "text " : "quiz ";
    bytes += copy.format.encoding == quiz::Encoding::Utf8 ? "utf-8 " : "windows-1251 ";
    bytes += copy.format.byteOrderMark ? "bom " : "nobom ";
    bytes += kLineEnds[static_cast<std::size_t>(copy.format.lineEnd)];
    bytes += "\n" + std::to_string(copy.path.size()) + "\n" + copy.path + "\n";
    return bytes + copy.content;
}

std::optional<Recovered> parseRecovery(std::string_view bytes) {
    if (!bytes.starts_with(kMagic)) return std::nullopt;
    bytes.remove_prefix(kMagic.size());
    const std::size_t header = bytes.find('\n');
    const std::size_t lengthEnd = bytes.find('\n', header + 1);
    if (lengthEnd == std::string_view::npos) return std::nullopt;
    const std::string_view fields = bytes.substr(0, header);
    const std::string_view length = bytes.substr(header + 1, lengthEnd - header - 1);
    if (length.empty() || length.size() > 5 ||
        !std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::size_t pathSize = std::stoul(std::string(length));
    const std::size_t pathStart = lengthEnd + 1;
    if (bytes.size() < pathStart + pathSize + 1 || bytes[pathStart + pathSize] != '\n')
        return std::nullopt;
    Recovered copy;
    copy.text = fields.starts_with("text ");
    copy.format.encoding = fields.find(" utf-8 ") != std::string_view::npos
                               ? quiz::Encoding::Utf8 : quiz::Encoding::Windows1251;
    copy.format.byteOrderMark = fields.find(" bom ") != std::string_view::npos;
    for (std::size_t i = 0; i < std::size(kLineEnds); ++i) {
        if (fields.ends_with(std::string(" ") + std::string(kLineEnds[i])))
            copy.format.lineEnd = static_cast<quiz::LineEnd>(i);
    }
    copy.path = bytes.substr(pathStart, pathSize);
    copy.content = bytes.substr(pathStart + pathSize + 1);
    return copy;
}

Recovered recoveryOf(const quiz::QuizDocument& document, const std::string& path) {
    Recovered copy;
    copy.format = {document.encoding, document.byteOrderMark, document.lineEnd};
    copy.path = path;
    // In UTF-8, which holds every character the author may have typed.
    copy.content = quiz::writeDocument(document, quiz::Encoding::Utf8).bytes;
    return copy;
}

std::optional<quiz::QuizDocument> recoveredQuiz(const Recovered& copy) {
    if (copy.text) return std::nullopt;
    try {
        quiz::QuizDocument document = quiz::readDocument(copy.content, copy.path);
        document.encoding = copy.format.encoding;
        document.byteOrderMark = copy.format.byteOrderMark;
        return document;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::variant<std::unique_ptr<RecoverySession>, std::string> RecoverySession::start(
    const fs::path& folder) {
    std::string problem;
    const int fd = openPrivateFolder(folder, problem);
    if (fd < 0) return problem;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string id = newId();
        const int lock = lockAt(fd, id + std::string(kLock), true);
        if (lock >= 0) return std::unique_ptr<RecoverySession>(new RecoverySession(fd, id, lock));
    }
    problem = because("не удалось создать файл в папке " + folder.string());
    ::close(fd);
    return problem;
}

RecoverySession::RecoverySession(int folder, std::string id, int lock)
    : folder_(folder), id_(std::move(id)), lock_(lock) {}

RecoverySession::~RecoverySession() {
    discard();
    for (const auto& [id, fd] : claimed_) ::close(fd);
    ::unlinkat(folder_, (id_ + std::string(kLock)).c_str(), 0);
    ::close(lock_);
    ::close(folder_);
}

std::string RecoverySession::write(const Recovered& copy) {
    return quiz::writeFileWholeAt(folder_, id_ + std::string(kCopy), recoveryBytes(copy));
}

void RecoverySession::discard() { ::unlinkat(folder_, (id_ + std::string(kCopy)).c_str(), 0); }

std::vector<RecoverySession::Orphan> RecoverySession::orphans() {
    std::vector<std::string> names;
    const int copy = ::dup(folder_);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (dir == nullptr) {
        if (copy >= 0) ::close(copy);
        return {};
    }
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
    ::closedir(dir);

    std::vector<std::pair<long long, Orphan>> found;
    for (const std::string& name : names) {
        const bool isCopy = name.ends_with(kCopy);
        const bool isLock = name.ends_with(kLock);
        if (!isCopy && !isLock) continue;
        const std::string id = name.substr(0, name.size() - (isCopy ? kCopy : kLock).size());
        if (id == id_ || std::any_of(claimed_.begin(), claimed_.end(),
                                     [&](const auto& c) { return c.first == id; }))
            continue;
        const std::string lockName = id + std::string(kLock);
        int lock = lockAt(folder_, lockName, false);
        if (lock < 0 && errno == ENOENT) lock = lockAt(folder_, lockName, true);
        if (lock < 0) continue;  // a running editor's, or another claims it now
        claimed_.emplace_back(id, lock);
        std::optional<Recovered> recovered;
        long long modified = 0;
        if (const auto bytes = readAt(folder_, id + std::string(kCopy), modified)) recovered = parseRecovery(*bytes);
        if (!recovered) {  // a lock left without its copy, or no copy at all
            forget(id);
            continue;
        }
        found.push_back({modified, {id, std::move(*recovered)}});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Orphan> orphans;
    for (auto& [time, orphan] : found) orphans.push_back(std::move(orphan));
    return orphans;
}

void RecoverySession::forget(const std::string& id) {
    const auto claimed = std::find_if(claimed_.begin(), claimed_.end(),
                                      [&](const auto& c) { return c.first == id; });
    if (claimed == claimed_.end()) return;
    ::unlinkat(folder_, (id + std::string(kCopy)).c_str(), 0);
    ::unlinkat(folder_, (id + std::string(kLock)).c_str(), 0);
    ::close(claimed->second);
    claimed_.erase(claimed);
}

}  // namespace quizedit
