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

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace quizcheck {

// One line of a report as data, for a program that shows findings itself.
struct Finding {
    enum class Kind { Error, Warning, Summary } kind = Kind::Error;
    std::string file;
    int line = 0;  // 1-based, 0 for none
    std::optional<std::string> lineText;
    std::string message;  // the summary's text for a Summary
};

class Report {
public:
    using Sink = std::function<void(const Finding&)>;

    // Writes the report's lines to `out`.
    explicit Report(std::ostream& out) : out_(&out) {}
    // Hands each finding to `sink` instead of writing it.
    explicit Report(Sink sink) : sink_(std::move(sink)) {}

    // `line` is 1-based, 0 for none; `lineText` is UTF-8.
    void error(std::string_view file, int line, std::optional<std::string_view> lineText,
               std::string_view message);
    void warning(std::string_view file, int line, std::optional<std::string_view> lineText,
                 std::string_view message);
    void summary(std::string_view file, std::string_view text);

    // True once any error has been reported.
    bool hasError() const noexcept { return hasError_; }

private:
    void problem(Finding::Kind kind, std::string_view file, int line,
                 std::optional<std::string_view> lineText, std::string_view message);

    std::ostream* out_ = nullptr;
    Sink sink_;
    bool hasError_ = false;
};

// A line or a name as a terminal report quotes it (quiz::shownLine with the
// control pictures, cut after 200 bytes).
std::string quotedLine(std::string_view text);

}  // namespace quizcheck
