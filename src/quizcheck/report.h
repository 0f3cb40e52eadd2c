// Report: the checker's output, one problem a line.
//
//   FILE:LINE: ошибка: MESSAGE
//   FILE:LINE: предупреждение: MESSAGE
//       «the offending line»
//   FILE: SUMMARY
//
// ":LINE" is left out when there is no line (a missing file); the quoted line
// is left out when there is none to show (the file ended where a line was
// expected).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace quizcheck {

class Report {
public:
    explicit Report(std::ostream& out) : out_(out) {}

    // `line` is 1-based, 0 for none; `lineText` is UTF-8.
    void error(std::string_view file, int line, std::optional<std::string_view> lineText,
               std::string_view message);
    void warning(std::string_view file, int line, std::optional<std::string_view> lineText,
                 std::string_view message);
    void summary(std::string_view file, std::string_view text);

    // True once any error has been reported.
    bool hasError() const noexcept { return hasError_; }

private:
    void problem(std::string_view kind, std::string_view file, int line,
                 std::optional<std::string_view> lineText, std::string_view message);

    std::ostream& out_;
    bool hasError_ = false;
};

// The line as it is quoted under a problem: cut to a terminal's worth of text
// without splitting a character, and with control characters made visible
// (C0 and DEL as their control pictures, "␀" to "␟" and "␡", C1 as "<U+0085>")
// so that an author sees them and a file cannot send commands to the terminal.
std::string quotedLine(std::string_view utf8);

// True when `utf8` holds a control character other than the tab: C0, DEL or C1.
bool hasControlCharacter(std::string_view utf8);

}  // namespace quizcheck
