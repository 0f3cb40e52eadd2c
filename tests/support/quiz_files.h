// Quiz and counter files for tests, written into a fresh temporary folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// Windows-1251 bytes of a UTF-8 text (through the system's iconv).
std::string toWindows1251(std::string_view utf8);

struct QuestionShape {
    int answers = 4;  // 1..4
    int right = 1;    // 1..answers, or 0 for none
};

struct LevelShape {
    std::string text;
    int minScore = 0;
};

// A well-formed quiz in UTF-8 with CR LF line ends. Question n reads
// "Вопрос n", its answer j "Ответ n.j"; the last marker line of question n
// carries the suffix " q<n>" after its digit, so tests can tell how far the
// reader went.
std::string makeQuiz(const std::string& title, const std::vector<std::string>& introLines,
                     const std::vector<LevelShape>& levels,
                     const std::vector<QuestionShape>& questions);

// `count` questions of four answers, the right one rotating through 1..4.
std::vector<QuestionShape> rotatingQuestions(int count);

// The right option of question n (1-based) in rotatingQuestions.
int rotatingRight(int n);

// A temporary folder, removed with everything in it when the object dies.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    // Writes bytes exactly as given.
    void write(const std::string& name, std::string_view bytes) const;
    // Writes a UTF-8 text as Windows-1251.
    void writeWindows1251(const std::string& name, std::string_view utf8) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
