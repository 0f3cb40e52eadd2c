// The one error type of quiz content: every fault of a quiz file or of the
// counter file that stops the game.
#pragma once

#include <stdexcept>
#include <string>

namespace quiz {

class QuizError : public std::runtime_error {
public:
    // file: the file's name as the user knows it (e.g. "test2.txt");
    // line: 1-based line number, 0 where there is none (a missing file);
    // lineText: the offending line, decoded to UTF-8 (may be empty);
    // expected: the Russian description of what was expected or went wrong.
    QuizError(std::string file, int line, std::string lineText, std::string expected);

    const std::string& file() const noexcept { return file_; }
    int line() const noexcept { return line_; }
    const std::string& lineText() const noexcept { return lineText_; }
    const std::string& expected() const noexcept { return expected_; }

private:
    std::string file_;
    int line_;
    std::string lineText_;
    std::string expected_;
};

}  // namespace quiz
