#include "quiz/quiz_error.h"

#include <utility>

namespace quiz {

namespace {

// A message box has no room for a whole megabyte-long line.
constexpr std::size_t kMaxQuotedBytes = 200;

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string shortened(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "…";
}

std::string message(const std::string& file, int line, const std::string* lineText,
                    const std::string& expected) {
    std::string m = file;
    if (line > 0) m += ", строка " + std::to_string(line);
    m += ": " + expected;
    if (lineText != nullptr) m += "\nСтрока: «" + shortened(*lineText, kMaxQuotedBytes) + "»";
    return m;
}

}  // namespace

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
