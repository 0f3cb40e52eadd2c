// Helpers shared by the tests: scratch folders, quiz texts, a stream read a few bytes at a time, root as a user.
#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// A fresh folder, removed with all in it when the object dies; in memory (/dev/shm) for tests that flush many files.
class TempFolder {
public:
    explicit TempFolder(bool inMemory = false);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    // Writes the bytes exactly as given; gives the file's path.
    std::filesystem::path write(const std::string& name, std::string_view bytes) const;
    std::string read(const std::string& name) const;
    // The names of the files in the folder, sorted.
    std::vector<std::string> files() const;

private:
    std::filesystem::path path_;
};

// Windows-1251 bytes of a UTF-8 text (through the system's iconv).
std::string toWindows1251(std::string_view utf8);

// Lines each followed by CR LF; "|" separates them: "T|.|." is a title and two marker lines.
std::string crlf(std::string_view lines);

// A quiz of `questions` questions: "Вопрос n" with four answers "Ответ n.j", the right one rightOption(n); the
// introduction "Привет!"; the verdict rows given; UTF-8, CR LF. With the default rows question 1 is on line 13.
std::string makeQuiz(int questions, std::string_view levels = "Отлично|10|Хорошо|7|Неплохо|4|Увы|0");
inline int rightOption(int n) { return (n - 1) % 4 + 1; }

// Whether `text` is `pattern`, in which "…" stands for any characters within one line, or, at the very end, for all
// the rest.
bool matches(std::string_view text, std::string_view pattern);

// Gives out a text at most `step` bytes a read, as a pipe would; cannot seek unless `seekable`.
struct TrickleBuf : std::stringbuf {
    TrickleBuf(const std::string& text, std::size_t step, bool seekable = false)
        : std::stringbuf(text, std::ios_base::in), step(static_cast<std::streamsize>(step)), seekable(seekable) {}
    std::streamsize xsgetn(char* out, std::streamsize n) override { return std::stringbuf::xsgetn(out, std::min(n, step)); }
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
        return seekable ? std::stringbuf::seekoff(off, dir, which) : pos_type(off_type(-1));
    }
    pos_type seekpos(pos_type at, std::ios_base::openmode which) override {
        return seekable ? std::stringbuf::seekpos(at, which) : pos_type(off_type(-1));
    }
    std::streamsize step;
    bool seekable;
};

// While alive, this thread has no capabilities that pass over permission bits: root meets permissions as a user would.
struct WithoutRootOverrides {
    WithoutRootOverrides() { saved = setEffective(std::nullopt); }
    ~WithoutRootOverrides() { if (saved) setEffective(saved); }
    // Sets the thread's effective capabilities (none: all but the overrides); gives those before, if readable.
    static std::optional<std::array<unsigned, 2>> setEffective(std::optional<std::array<unsigned, 2>> caps);
    std::optional<std::array<unsigned, 2>> saved;
};

}  // namespace testing_support
