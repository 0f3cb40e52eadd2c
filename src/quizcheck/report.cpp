#include "quizcheck/report.h"

#include "quiz/quiz_error.h"

namespace quizcheck {

namespace {

constexpr std::size_t kMaxQuotedBytes = 200;
constexpr std::string_view kIndent = "    ";
// A file's name is shown whole, however deep its folder.
constexpr std::size_t kMaxNameBytes = 4096;

std::string shownName(std::string_view name) {
    return quiz::shownLine(name, kMaxNameBytes, quiz::ControlStyle::Pictures);
}

}  // namespace

std::string quotedLine(std::string_view text) {
    return quiz::shownLine(text, kMaxQuotedBytes, quiz::ControlStyle::Pictures);
}

void Report::error(std::string_view file, int line, std::optional<std::string_view> lineText,
                   std::string_view message) {
    hasError_ = true;
    problem(Finding::Kind::Error, file, line, lineText, message);
}

void Report::warning(std::string_view file, int line, std::optional<std::string_view> lineText,
                     std::string_view message) {
    problem(Finding::Kind::Warning, file, line, lineText, message);
}

void Report::summary(std::string_view file, std::string_view text) {
    if (sink_) {
        sink_({Finding::Kind::Summary, std::string(file), 0, std::nullopt, std::string(text)});
        return;
    }
    *out_ << shownName(file) << ": " << text << '\n';
}

void Report::problem(Finding::Kind kind, std::string_view file, int line,
                     std::optional<std::string_view> lineText, std::string_view message) {
    if (sink_) {
        sink_({kind, std::string(file), line, lineText ? std::optional<std::string>(*lineText) : std::nullopt,
               std::string(message)});
        return;
    }
    *out_ << shownName(file);
    if (line > 0) *out_ << ':' << line;
    *out_ << ": " << (kind == Finding::Kind::Error ? "ошибка" : "предупреждение") << ": " << message << '\n';
    if (lineText) *out_ << kIndent << "«" << quotedLine(*lineText) << "»\n";
}

}  // namespace quizcheck
