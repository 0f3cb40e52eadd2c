#include "quiz/counter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>
#include <vector>

#include "quiz/encoding.h"
#include "quiz/quiz_error.h"

namespace fs = std::filesystem;

namespace quiz {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string inFolder(const fs::path& folder) { return "в папке «" + folder.string() + "»"; }

struct ErrnoText {
    int code;
    const char* text;
};

constexpr std::array<ErrnoText, 12> kErrnoTexts = {{
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
}};

std::string errnoText(int code) {
    for (const ErrnoText& e : kErrnoTexts) {
        if (e.code == code) return e.text;
    }
    return "системная ошибка " + std::to_string(code);
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

// The counter's first line, without its line end and byte-order mark, and
// that line decoded for messages.
struct CounterLine {
    std::string bytes;
    std::string text;
};

CounterLine readCounterLine(const fs::path& folder) {
    const auto file = openForReading(folder, kCounterFileName, "файл счётчика", "");
    CounterLine line;
    std::getline(*file, line.bytes);
    if (const auto cr = line.bytes.find('\r'); cr != std::string::npos) line.bytes.resize(cr);
    if (line.bytes.starts_with(kByteOrderMark)) {
        line.bytes.erase(0, kByteOrderMark.size());
        appendUtf8Checked(line.bytes, line.text);
    } else {
        appendWindows1251AsUtf8(line.bytes, line.text);
    }
    return line;
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

// Writes the counter through a temporary file renamed over it: rename within
// one folder is atomic, so a crash leaves the old or the new file whole.
void writeCounter(const fs::path& folder, long value) {
    const fs::path counter = folder / kCounterFileName;
    std::string name = ".";
    name += kCounterFileName;
    name += ".XXXXXX";
    const std::string pattern = (folder / name).string();
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');

    const int fd = ::mkstemp(tempName.data());
    if (fd < 0) failToWrite(folder, errno);

    // A counter that silently lost its permissions could lock out the other
    // players of a shared folder, so a failed copy refuses the step.
    int error = 0;
    struct stat old {};
    if (::stat(counter.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) error = errno;

    const std::string text = std::to_string(value) + "\r\n";
    if (error == 0 && (!writeAll(fd, text) || ::fsync(fd) != 0)) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempName.data(), counter.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempName.data());
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

}  // namespace

std::string quizFileName(long number) { return "test" + std::to_string(number) + ".txt"; }

std::optional<long> counterValue(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (i == line.size() || line[i] < '0' || line[i] > '9') return std::nullopt;
    long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        const int digit = line[i] - '0';
        if (negative) {
            value = value < (LONG_MIN + digit) / 10 ? LONG_MIN : value * 10 - digit;
        } else {
            value = value > (LONG_MAX - digit) / 10 ? LONG_MAX : value * 10 + digit;
        }
    }
    return value;
}

QuizSelection selectAndOpen(const fs::path& folder) {
    QuizSelection selection;
    selection.counter = counterValue(readCounterLine(folder).bytes).value_or(0);
    selection.fileName = quizFileName(selection.counter);
    selection.questionFilePath = (folder / selection.fileName).string();
    selection.file = openForReading(folder, selection.fileName, "файл викторины",
                                    " (его выбрал счётчик " + std::string(kCounterFileName) +
                                        " с числом " + std::to_string(selection.counter) + ")");
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

long stepCounter(const fs::path& folder) {
    const CounterLine line = readCounterLine(folder);
    const std::optional<long> value = counterValue(line.bytes);
    if (!value) {
        throw QuizError(kCounterFileName, 1, line.text,
                        "ожидалось число в первой строке счётчика; файл оставлен как был");
    }
    const long next = *value <= 1 ? 3 : *value - 1;
    writeCounter(folder, next);
    return next;
}

}  // namespace quiz
