#include "quiz/quiz_error.h"

#include <utility>

namespace quiz {

namespace {

// A message box has no room for a whole megabyte-long line.
constexpr std::size_t kMaxQuotedBytes = 200;

std::string message(const std::string& file, int line, const std::string* lineText,
                    const std::string& expected) {
    std::string m = file;
    if (line > 0) m += ", строка " + std::to_string(line);
    m += ": " + expected;
    if (lineText != nullptr) m += "\nСтрока: «" + shownLine(*lineText, kMaxQuotedBytes) + "»";
    return m;
}

}  // namespace

std::string shownLine(std::string_view utf8, std::size_t limit) {
    constexpr const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (out.size() >= limit && (c & 0xC0) != 0x80) return out + "…";
        const bool c1 = c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
        if (c1) c = static_cast<unsigned char>(utf8[++i]);
        if (c < 0x20 || c == 0x7F || c1) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

QuizError::QuizError(std::string file, int line, std::string lineText, std::string expected)
    : std::runtime_error(message(file, line, &lineText, expected)),
      file_(std::move(file)),
      line_(line),
      lineText_(std::move(lineText)),
      expected_(std::move(expected)),
      hasLineText_(true) {}

QuizError::QuizError(std::string file, int line, std::string expected)
    : std::runtime_error(message(file, line, nullptr, expected)),
      file_(std::move(file)),
      line_(line),
      expected_(std::move(expected)),
      hasLineText_(false) {}

}  // namespace quiz
