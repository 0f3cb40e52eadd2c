// The one error type of quiz content: every fault of a quiz file or of the
// counter file that stops the game.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quiz {

// A line of text for a message: control characters (C0, DEL and C1) shown as
// \xNN, so that they are seen and cannot act on a terminal, and cut after
// about `limit` bytes with "…", never inside a character.
std::string shownLine(std::string_view utf8, std::size_t limit);

class QuizError : public std::runtime_error {
public:
    // file: the file's name as the user knows it (e.g. "test2.txt");
    // line: 1-based line number, 0 where there is none (a missing file);
    // lineText: the offending line, decoded to UTF-8 (may be empty);
    // expected: the Russian description of what was expected or went wrong.
    //
    // what() is the whole message for the user: "test2.txt, строка 14: " (the
    // line part only when line > 0), `expected`, then on a second line the
    // offending line quoted by shownLine, as in "Строка: «,5»".
    QuizError(std::string file, int line, std::string lineText, std::string expected);

    // For a fault with no offending line to show: a missing file (line 0), or
    // a file that ends where line `line` was still expected. what() then has
    // no second line.
    QuizError(std::string file, int line, std::string expected);

    const std::string& file() const noexcept { return file_; }
    int line() const noexcept { return line_; }
    const std::string& lineText() const noexcept { return lineText_; }
    const std::string& expected() const noexcept { return expected_; }
    // False for the second constructor: there is no line to quote.
    bool hasLineText() const noexcept { return hasLineText_; }

private:
    std::string file_;
    int line_;
    std::string lineText_;
    std::string expected_;
    bool hasLineText_;
};

}  // namespace quiz
