// Helpers shared by the tests: scratch folders, quiz files from short texts, a stream that cannot seek, root as a user.
#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <streambuf>
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

// Gives out a text at most `step` bytes per read, as a pipe would; cannot seek.
class TrickleBuf : public std::streambuf {
public:
    TrickleBuf(std::string text, std::size_t step) : text_(std::move(text)), step_(step) {}

protected:
    int_type underflow() override {
        if (next_ >= text_.size()) return traits_type::eof();
        const std::size_t n = std::min(step_, text_.size() - next_);
        setg(text_.data() + next_, text_.data() + next_, text_.data() + next_ + n);
        next_ += n;
        return traits_type::to_int_type(*gptr());
    }
    std::streamsize xsgetn(char* out, std::streamsize count) override {  // one read's worth at most
        if (gptr() == egptr() && underflow() == traits_type::eof()) return 0;
        const auto n = std::min<std::streamsize>(count, egptr() - gptr());
        std::copy(gptr(), gptr() + n, out);
        gbump(static_cast<int>(n));
        return n;
    }

private:
    std::string text_;
    std::size_t step_, next_ = 0;
};

// While alive, this thread has no capabilities that pass over permission bits: root meets permissions as a user would.
struct WithoutRootOverrides {
    WithoutRootOverrides() { saved = setEffective(std::nullopt); }
    ~WithoutRootOverrides() {
        if (saved) setEffective(saved);
    }
    // Sets the thread's effective capabilities (none given: all but the
    // overrides); gives those before, if they could be read.
    static std::optional<std::array<unsigned, 2>> setEffective(std::optional<std::array<unsigned, 2>> caps);
    std::optional<std::array<unsigned, 2>> saved;
};

}  // namespace testing_support
