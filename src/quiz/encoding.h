// Text encodings of quiz and counter files.
#pragma once

#include <string>
#include <string_view>

namespace quiz {

enum class Encoding { Windows1251, Utf8 };

// The UTF-8 form of U+FFFD, given for bytes that stand for no character.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Appends the UTF-8 form of Windows-1251 bytes to `out`. The one byte that the
// code page leaves undefined, 0x98, becomes U+FFFD.
void appendWindows1251AsUtf8(std::string_view bytes, std::string& out);
std::string windows1251ToUtf8(std::string_view bytes);

// Appends UTF-8 bytes to `out` as they are, except that every byte that does
// not belong to a well-formed sequence (overlong forms, surrogates, values
// above U+10FFFF, truncated sequences) becomes U+FFFD. `out` thus always
// holds valid UTF-8.
void appendUtf8Checked(std::string_view bytes, std::string& out);

// Appends `bytes`, read in `encoding`, to `out` as UTF-8.
void appendDecoded(std::string_view bytes, Encoding encoding, std::string& out);

}  // namespace quiz
