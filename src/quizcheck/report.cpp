#include "quizcheck/report.h"

namespace quizcheck {

namespace {

constexpr std::size_t kMaxQuotedBytes = 200;
constexpr std::string_view kIndent = "    ";

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string quotedLine(std::string_view utf8) {
    std::string text;
    std::size_t end = utf8.size();
    bool cut = false;
    if (end > kMaxQuotedBytes) {
        end = kMaxQuotedBytes;
        while (end > 0 && isContinuation(static_cast<unsigned char>(utf8[end]))) --end;
        cut = true;
    }
    for (std::size_t i = 0; i < end; ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        // U+0080..U+009F, the C1 controls, are C2 80..C2 9F in UTF-8.
        if (c == 0xC2 && i + 1 < end && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            text += '?';
            ++i;
        } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
            text += '?';
        } else {
            text += static_cast<char>(c);
        }
    }
    if (cut) text += "…";
    return text;
}

void Report::error(std::string_view file, int line, std::optional<std::string_view> lineText,
                   std::string_view message) {
    hasError_ = true;
    problem("ошибка", file, line, lineText, message);
}

void Report::warning(std::string_view file, int line, std::optional<std::string_view> lineText,
                     std::string_view message) {
    problem("предупреждение", file, line, lineText, message);
}

void Report::summary(std::string_view file, std::string_view text) {
    out_ << file << ": " << text << '\n';
}

void Report::problem(std::string_view kind, std::string_view file, int line,
                     std::optional<std::string_view> lineText, std::string_view message) {
    out_ << file;
    if (line > 0) out_ << ':' << line;
    out_ << ": " << kind << ": " << message << '\n';
    if (lineText) out_ << kIndent << "«" << quotedLine(*lineText) << "»\n";
}

}  // namespace quizcheck
