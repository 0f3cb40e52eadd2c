#include "quiz/quiz_selection.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <iterator>
#include <set>
#include <string_view>
#include <vector>

#include "quiz/quiz_error.h"

namespace fs = std::filesystem;

namespace quiz {

namespace {

// A counter's line is quoted to a few words.
constexpr std::size_t kShownBytes = 80;

constexpr std::string_view kHowToPlay =
    ". Здесь нет ни счётчика, ни викторин: запустите «Лестницу вопросов» из меню игр, или "
    "командой quizladder --user-folder (игра в своей папке с викторинами игры), или укажите "
    "файл викторины: quizladder ФАЙЛ";

// "test" + an optional minus + digits + ".txt": the names the counter selects.
bool isQuizFileName(std::string_view name) {
    if (name.size() <= 8 || !name.starts_with("test") || !name.ends_with(".txt")) return false;
    std::string_view number = name.substr(4, name.size() - 8);
    if (number.starts_with('-')) number.remove_prefix(1);
    return !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr std::size_t kMaxNamed = 10;  // quiz files a message names

// The first `most` quiz files of `folder` in sorted order: no more are kept,
// however many the folder holds.
std::vector<std::string> quizFilesIn(const fs::path& folder, std::size_t most) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (!isQuizFileName(entry->d_name)) continue;
            names.emplace(entry->d_name);
            if (names.size() > most) names.erase(std::prev(names.end()));
        }
        ::closedir(dir);
    }
    return {names.begin(), names.end()};
}

// `names`: at most kMaxNamed + 1 of them, to tell whether there are more.
std::string listed(const std::vector<std::string>& names) {
    if (names.empty()) return "в папке нет ни одного файла викторины (test<число>.txt)";
    std::string list = "в папке есть файлы викторин: ";
    for (std::size_t i = 0; i < names.size() && i < kMaxNamed; ++i) {
        if (i > 0) list += ", ";
        list += names[i];
    }
    if (names.size() > kMaxNamed) list += ", …";
    return list;
}

// What the counter holds, for the message about the missing quiz it selects.
std::string whySelected(const CounterReading& reading) {
    const std::string counter = std::string("счётчика ") + kCounterFileName;
    const std::optional<CounterNumber>& number = reading.number;
    if (!number && reading.line.text.empty())
        return "первая строка " + counter + " пуста, и игра взяла 0";
    if (!number) {
        return "в первой строке " + counter + " нет числа, там «" +
               shownLine(reading.line.text, kShownBytes) + "», и игра взяла 0";
    }
    if (number->clamped) {
        return "его выбрал " + counter + " с числом «" + shownLine(number->written, kShownBytes) +
               "», слишком большим: игра взяла " + std::to_string(number->value);
    }
    return "его выбрал " + counter + " с числом " + std::to_string(number->value);
}

// Opens `name` in `folder` for reading. The file's type is checked on the
// handle first (a pipe would wait for a writer, a device may never end), and
// that very file is then opened, not whatever the name names by then.
// `whyMissing` explains a missing file.
std::unique_ptr<FileInput> openQuiz(const fs::path& folder, const std::string& name,
                                    const std::function<std::string()>& whyMissing = {}) {
    const std::string what = "файл викторины в папке " + quotedPath(folder);
    const std::string cannotOpen = "не удалось открыть для чтения " + what;
    const FileHandle entry(::open((folder / name).c_str(), O_PATH | O_CLOEXEC));
    struct stat s {};
    if (entry.get() < 0 || ::fstat(entry.get(), &s) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            throw QuizError(
                name, 0,
                "ожидался " + what + ", но его там нет" + (whyMissing ? whyMissing() : ""));
        }
        throw QuizError(name, 0, cannotOpen + ": " + systemErrorText(error));
    }
    if (!S_ISREG(s.st_mode)) throw QuizError(name, 0, cannotOpen + ": это не обычный файл");
    const int fd = reopenEntry(AT_FDCWD, (folder / name).c_str(), entry.get(), s, O_RDONLY, true);
    if (fd < 0) throw QuizError(name, 0, cannotOpen);
    return std::make_unique<FileInput>(fd);
}

}  // namespace

QuizSelection selectAndOpen(const fs::path& folder) {
    CounterReading reading;
    try {
        reading = readCounter(folder);
    } catch (const QuizError& failure) {
        struct stat ignored {};
        if (::fstatat(AT_FDCWD, (folder / kCounterFileName).c_str(), &ignored,
                      AT_SYMLINK_NOFOLLOW) != 0 &&
            errno == ENOENT && quizFilesIn(folder, 1).empty()) {
            throw QuizError(failure.file(), failure.line(),
                            failure.expected() + std::string(kHowToPlay));
        }
        throw;
    }
    return openSelectedQuiz(folder, reading);
}

QuizSelection openSelectedQuiz(const fs::path& folder, const CounterReading& reading) {
    QuizSelection selection;
    selection.counter = reading.number ? reading.number->value : 0;
    selection.fileName = quizFileName(selection.counter);
    selection.questionFilePath = (folder / selection.fileName).string();
    // Only a missing quiz is explained, so the folder is read only then.
    selection.file = openQuiz(folder, selection.fileName, [&] {
        return " (" + whySelected(reading) + "); " + listed(quizFilesIn(folder, kMaxNamed + 1));
    });
    return selection;
}

QuizSelection openGivenQuiz(const fs::path& path) {
    QuizSelection selection;
    selection.fileName = path.string();
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    selection.questionFilePath = (error ? path : absolute).string();
    try {
        selection.file =
            openQuiz(path.has_parent_path() ? path.parent_path() : ".", path.filename().string());
    } catch (const QuizError& failure) {
        throw QuizError(selection.fileName, 0, failure.expected());
    }
    return selection;
}

}  // namespace quiz
