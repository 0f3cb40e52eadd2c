// Text encodings of quiz and counter files.
#pragma once

#include <string>
#include <string_view>

namespace quiz {

enum class Encoding { Windows1251, Utf8 };

// Appends the UTF-8 form of Windows-1251 bytes to `out`.
void appendWindows1251AsUtf8(std::string_view bytes, std::string& out);
std::string windows1251ToUtf8(std::string_view bytes);

}  // namespace quiz
