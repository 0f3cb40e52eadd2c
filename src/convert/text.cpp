#include "convert/text.h"

#include <array>

#include "quiz/encoding.h"

namespace convert {

namespace {

constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
// A right answer may be named by the Cyrillic letter the window shows, in
// either case, or by the Latin letter of the same place (B is the second).
constexpr std::array<std::string_view, 4> kUpperCyrillic = {"А", "Б", "В", "Г"};
constexpr std::array<std::string_view, 4> kLowerCyrillic = {"а", "б", "в", "г"};
constexpr std::string_view kLatinLetters = "ABCD";

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]),
                   b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const char32_t next = i + 3 < bytes.size() ? unit(i + 2) : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            appendUtf8(0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00), out);
            i += 2;
        } else {
            appendUtf8(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c, out);
        }
    }
    if (bytes.size() % 2 != 0) appendUtf8(0xFFFD, out);
    return out;
}

}  // namespace

std::string decodeInput(std::string_view bytes, bool utf16) {
    if (utf16 && (bytes.starts_with(kUtf16LittleMark) || bytes.starts_with(kUtf16BigMark))) {
        return fromUtf16(bytes.substr(2), bytes.starts_with(kUtf16BigMark));
    }
    const quiz::Encoding encoding = quiz::detectEncoding(bytes);
    if (encoding == quiz::Encoding::Utf8 && bytes.starts_with(quiz::kUtf8ByteOrderMark)) {
        bytes.remove_prefix(quiz::kUtf8ByteOrderMark.size());
    }
    std::string text;
    quiz::appendDecoded(bytes, encoding, text);
    return text;
}

std::vector<TextLine> splitLines(std::string_view text) {
    std::vector<TextLine> lines;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back({++number, text.substr(0, end)});
        if (end == std::string_view::npos) break;
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<quiz::DocLine> textLines(std::string_view text, int firstLine) {
    std::vector<quiz::DocLine> lines;
    for (const TextLine& line : splitLines(text)) {
        std::string_view kept = line.text.substr(0, line.text.find_last_not_of(" \t") + 1);
        if (lines.empty() && kept.empty()) continue;
        lines.emplace_back(std::string(kept), firstLine + line.number - 1);
    }
    while (!lines.empty() && lines.back().text.empty()) lines.pop_back();
    return lines;
}

int answerOfLetter(std::string_view letter) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (letter == kUpperCyrillic[i] || letter == kLowerCyrillic[i])
            return static_cast<int>(i) + 1;
        if (letter.size() == 1 &&
            (letter[0] == kLatinLetters[i] || letter[0] == kLatinLetters[i] + 32)) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

}  // namespace convert
