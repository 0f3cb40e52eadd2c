// Text encodings of quiz and counter files.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace quiz {

enum class Encoding { Windows1251, Utf8 };

// "Windows-1251" or "UTF-8".
std::string_view encodingName(Encoding encoding);

// The UTF-8 byte-order mark; a UTF-8 quiz may begin with it, and it is not
// part of the title.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Decides the encoding of a quiz file from its bytes: Utf8 when it begins
// with the byte-order mark, or when all of it is well-formed UTF-8 holding at
// least one multi-byte sequence; Windows1251 otherwise (plain ASCII reads the
// same either way). Typical Windows-1251 Russian text is never well-formed
// UTF-8: a lower-case letter would have to be followed by two bytes of
// 0x80..0xBF, an upper-case one by one. Reads from the stream's position to
// its end (or to the first byte that rules UTF-8 out), then seeks back to
// that position. Throws std::invalid_argument for a stream that cannot seek.
Encoding detectEncoding(std::istream& in);

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
