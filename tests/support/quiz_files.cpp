#include "support/quiz_files.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

std::string toWindows1251(std::string_view utf8) {
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::string in(utf8);
    std::string out(in.size() + 1, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) {
        throw std::runtime_error("text not representable in Windows-1251: " + in);
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::string makeQuiz(const std::string& title, const std::vector<std::string>& introLines,
                     const std::vector<LevelShape>& levels,
                     const std::vector<QuestionShape>& questions) {
    std::ostringstream out;
    const auto line = [&out](const std::string& text) { out << text << "\r\n"; };
    line(title);
    for (const std::string& l : introLines) line(l);
    line(".");
    for (const LevelShape& level : levels) {
        line(level.text);
        line(std::to_string(level.minScore));
    }
    line(".");
    int n = 0;
    for (const QuestionShape& q : questions) {
        ++n;
        line("Вопрос " + std::to_string(n));
        line(".");
        for (int j = 1; j <= q.answers; ++j) {
            line("Ответ " + std::to_string(n) + "." + std::to_string(j));
            const bool last = j == q.answers;
            std::string marker = std::string(last ? "." : ",") + (j == q.right ? "1" : "0");
            if (last) marker += " q" + std::to_string(n);
            line(marker);
        }
    }
    return out.str();
}

int rotatingRight(int n) { return (n - 1) % 4 + 1; }

std::vector<QuestionShape> rotatingQuestions(int count) {
    std::vector<QuestionShape> questions;
    for (int n = 1; n <= count; ++n) questions.push_back({4, rotatingRight(n)});
    return questions;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quizladder-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + name);
}

void TempFolder::writeWindows1251(const std::string& name, std::string_view utf8) const {
    write(name, toWindows1251(utf8));
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
