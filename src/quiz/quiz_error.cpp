#include "quiz/quiz_error.h"

#include <algorithm>
#include <utility>

#include "quiz/encoding.h"

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

// The byte or code point below 0x100 as "\\xNN".
std::string hexCode(unsigned c) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    return {'\\', 'x', kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
}

// One well-formed character: C0 but the tab, DEL, or C1 (U+0080..U+009F,
// which is C2 80..C2 9F in UTF-8).
bool isControl(std::string_view character) {
    const auto c = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) return (c < 0x20 && c != '\t') || c == 0x7F;
    return character.size() == 2 && c == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

unsigned codeOf(std::string_view control) {
    return static_cast<unsigned char>(control.size() == 1 ? control[0] : control[1]);
}

// The control pictures U+2400..U+241F and U+2421 (for DEL); C1 by its code.
std::string picture(std::string_view control) {
    const unsigned c = codeOf(control);
    if (control.size() == 2) return "<U+00" + hexCode(c).substr(2) + ">";
    return {'\xE2', '\x90', static_cast<char>(0x80 | (c == 0x7F ? 0x21 : c))};
}

}  // namespace

std::string filledIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    auto value = values.begin();
    for (std::size_t at;
         (at = pattern.find("{}")) != std::string_view::npos && value != values.end();) {
        out.append(pattern.substr(0, at)).append(*value++);
        pattern.remove_prefix(at + 2);
    }
    return out.append(pattern);
}

std::string shownLine(std::string_view text, std::size_t limit, ControlStyle style) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (i >= limit) return out + "…";
        const std::size_t length = utf8CharacterLength(text.substr(i));
        const auto c = static_cast<unsigned char>(text[i]);
        if (length == 0) {
            out += hexCode(c);
            ++i;
            continue;
        }
        const std::string_view character = text.substr(i, length);
        i += length;
        // A tab is harmless on a terminal but shows as nothing in a box.
        const bool tabInBox = style == ControlStyle::Codes && character == "\t";
        if (style != ControlStyle::Kept && (isControl(character) || tabInBox)) {
            out += style == ControlStyle::Codes ? hexCode(codeOf(character)) : picture(character);
        } else {
            out += character;
        }
    }
    return out;
}

bool hasControlCharacter(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = std::max<std::size_t>(utf8CharacterLength(utf8.substr(i)), 1);
        if (isControl(utf8.substr(i, length))) return true;
        i += length;
    }
    return false;
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
