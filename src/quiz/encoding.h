// Text encodings of quiz and counter files.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

#include "quiz/byte_input.h"

namespace quiz {

enum class Encoding { Windows1251, Utf8 };

// "Windows-1251" or "UTF-8".
std::string_view encodingName(Encoding encoding);

// The UTF-8 byte-order mark; a UTF-8 quiz may begin with it, and it is not
// part of the title.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// How far detection reads: more than any quiz written by hand (a hundred
// thousand questions take about 15 MB), so that a huge or sparse file is not
// read to its end before the reader refuses it.
inline constexpr std::size_t kDetectionLimit = 16 * 1024 * 1024;

// Decides the encoding of a quiz file from its bytes: Utf8 when it begins
// with the byte-order mark, or when all of its first kDetectionLimit bytes are
// well-formed UTF-8 holding at least one multi-byte sequence (a sequence cut
// by that limit counts as well-formed); Windows1251 otherwise (plain ASCII
// reads the same either way). Typical Windows-1251 Russian text is never
// well-formed UTF-8: a lower-case letter would have to be followed by two
// bytes of 0x80..0xBF, an upper-case one by one. Reads from the stream's
// position (up to the limit, or to the first byte that rules UTF-8 out),
// then seeks back to that position. Throws std::invalid_argument for a
// stream that cannot seek.
Encoding detectEncoding(std::istream& in);
Encoding detectEncoding(ByteInput& in);
// The same decision for bytes in memory.
Encoding detectEncoding(std::string_view bytes);

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

// Appends the Windows-1251 bytes of the UTF-8 text `utf8` to `out`. Returns
// the index in `utf8` of the first character that Windows-1251 cannot hold
// (or of the first malformed byte), leaving `out` as far as it got; npos when
// all of it was written. U+FFFD, which the code page lacks, is such a
// character too.
std::size_t appendUtf8AsWindows1251(std::string_view utf8, std::string& out);

// The length in bytes of the well-formed UTF-8 character that `utf8` begins
// with; 0 when it begins with a byte that starts none, or is empty.
std::size_t utf8CharacterLength(std::string_view utf8);

// The code point of one well-formed UTF-8 character.
char32_t utf8CodePoint(std::string_view character);

}  // namespace quiz
