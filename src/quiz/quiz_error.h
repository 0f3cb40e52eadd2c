// The one error type of quiz content: every fault of a quiz file or of the
// counter file that stops the game. And the one way a line of a file, or a
// name, is quoted in a message.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quiz {

// How a quoted text shows a control character (C0, DEL and C1).
enum class ControlStyle : std::uint8_t {
    Codes,  // \x1B, \x85 (a tab too): for message boxes
    Pictures,  // the control pictures ␀ to ␟ and ␡, C1 as <U+0085>, a tab as it is: for a terminal
    Kept,      // as they are: for a whole message, whose line ends must stay
};

// A text for a message: control characters made visible in `style`, so that
// they are seen and cannot act on a terminal, bytes that are no UTF-8 shown as
// \xNN, and cut after `limit` bytes of `text` with "…", never inside a
// character.
std::string shownLine(std::string_view text, std::size_t limit,
                      ControlStyle style = ControlStyle::Codes);

// `pattern` with each "{}" replaced by the next of `values`.
std::string filledIn(std::string_view pattern, std::initializer_list<std::string_view> values);

// True when the UTF-8 text holds a control character other than the tab.
bool hasControlCharacter(std::string_view utf8);

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
