#include "quizcheck/report.h"

namespace quizcheck {

namespace {

constexpr std::size_t kMaxQuotedBytes = 200;
constexpr std::string_view kIndent = "    ";

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// U+0080..U+009F, the C1 controls, are C2 80..C2 9F in UTF-8.
bool isC1Control(std::string_view utf8) {
    if (utf8.size() < 2 || static_cast<unsigned char>(utf8[0]) != 0xC2) return false;
    const auto second = static_cast<unsigned char>(utf8[1]);
    return second >= 0x80 && second < 0xA0;
}

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
        if (isC1Control(utf8.substr(i, end - i))) {
            text += "<U+00";
            text += kHexDigits[static_cast<unsigned char>(utf8[i + 1]) >> 4];
            text += kHexDigits[static_cast<unsigned char>(utf8[i + 1]) & 0xF];
            text += '>';
            ++i;
        } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
            // The control pictures U+2400..U+241F and U+2421 (for DEL).
            const unsigned picture = c == 0x7F ? 0x21 : c;
            text += "\xE2\x90";
            text += static_cast<char>(0x80 | picture);
        } else {
            text += static_cast<char>(c);
        }
    }
    if (cut) text += "…";
    return text;
}

bool hasControlCharacter(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c < 0x20 && c != '\t') || c == 0x7F || isC1Control(utf8.substr(i))) return true;
    }
    return false;
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
