// The rotation counter "tet0.txt": its value, its rule and how it is found and
// read. Choosing the quiz (quiz_selection.h) and stepping the counter
// (counter_step.h) both stand on this.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quiz {

inline constexpr const char* kCounterFileName = "tet0.txt";

// The rotation: 3, 2, 1, 3, ...
inline constexpr long kRotationTop = 3;

// The value after a step: one down, and from 1 (or anything below) back to
// kRotationTop.
long steppedCounter(long value);

// "test" + number + ".txt"
std::string quizFileName(long number);

// The number at the start of a counter line: blanks (spaces, tabs) skipped,
// an optional sign, then the digits; whatever follows them is ignored, so
// "2.5" gives 2. A number beyond the range of long is taken as the nearest
// end of that range (then `clamped`, and `written` holds it as in the file).
struct CounterNumber {
    long value = 0;
    std::string written;  // sign and digits as in the line
    bool clamped = false;
};
std::optional<CounterNumber> counterNumber(std::string_view line);
// Its value alone. No digits: no value.
std::optional<long> counterValue(std::string_view line);

// A file descriptor, closed when it goes.
class FileHandle {
public:
    explicit FileHandle(int fd = -1) noexcept : fd_(fd) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    void reset(int fd = -1) noexcept;
    int release() noexcept;
    int get() const noexcept { return fd_; }

private:
    int fd_;
};

// The Russian words for a failing system call's errno, for messages.
std::string systemErrorText(int code);
// A path as messages quote it: «path».
std::string quotedPath(const std::filesystem::path& path);

// The counter of a play folder, found and opened. The play folder is opened
// once by its name; from there every name is looked up relative to an open
// folder, never by a path again.
struct CounterFile {
    FileHandle playFolder;        // the folder given
    FileHandle folder;            // the folder that holds the counter file
    std::string name;             // the counter file's name there
    FileHandle file;              // the counter file, open for reading
    struct stat status {};        // of `file`
    struct stat folderStatus {};  // of `folder`
    std::filesystem::path shown;  // the file's path for messages
    std::filesystem::path shownFolder;
    bool throughLink = false;  // "tet0.txt" is a symbolic link
    int writeError = 0;        // why `file` is not open for writing (when asked)
};

// Opens the counter of `folder`: its "tet0.txt", or, when that is a symbolic
// link, the file it leads to, so that play folders linking to one counter
// share one rotation. A link is followed only where the kernel's rule for
// shared folders (protected_symlinks) lets the player follow it, whatever the
// machine's setting: in a folder that has the sticky bit and that everyone
// may write to (such as /tmp), only a link that belongs to the player or to
// the folder's owner. The file's type is checked before it is opened: only a
// regular file is a counter. `forStep` opens it for writing as well where
// that is allowed (writeError says why not), since network file systems
// grant an exclusive lock only on a file open for writing; nothing is ever
// written through it. Throws QuizError naming the file (and a link's target)
// and the cause.
CounterFile openCounterFile(const std::filesystem::path& folder, bool forStep = false);
// The same, from the play folder `playFolder` already open (shown as
// `shownFolder`); the result's playFolder stays empty.
CounterFile openCounterFileIn(int playFolder, const std::filesystem::path& shownFolder,
                              bool forStep);

// Whether /proc shows this process's descriptors, through which an open file
// is reopened or named without its name being looked up again.
bool haveProcDescriptors();

// Whether `a` and `b` are one file.
bool sameFile(const struct stat& a, const struct stat& b);

// Opens the file behind the O_PATH handle `entry`, found as `name` in the
// folder `folder` with `status`, without looking its name up again: through
// /proc; where that is not mounted, by its name without waiting on a pipe
// (nor following a link unless `followLinks`), and only if it is still that
// file (else -1 with ENOENT).
int reopenEntry(int folder, const char* name, int entry, const struct stat& status, int flags,
                bool followLinks);

// The counter's first line, without its line end and a UTF-8 byte-order
// mark; and that line decoded for messages.
struct CounterLine {
    std::string bytes;
    std::string text;
};
// The number stands at the start: at most this much of the line is read, so
// a huge file, a device or a line without an end costs no more.
inline constexpr std::size_t kCounterLineLimit = 4096;
// Reads the first line of `counter` from its start. Throws QuizError when the
// file cannot be read.
CounterLine readCounterLine(const CounterFile& counter);

// What the counter of `folder` holds, read as start-up reads it
// (openCounterFile, then readCounterLine).
struct CounterReading {
    CounterLine line;
    std::optional<CounterNumber> number;
    std::filesystem::path linkTarget;  // the file a link leads to, else empty
};
CounterReading readCounter(const std::filesystem::path& folder);

}  // namespace quiz
