#include "quiz/encoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

using quiz::appendUtf8Checked;
using quiz::windows1251ToUtf8;

// The system's iconv, converting a file of Windows-1251 bytes; no value when
// iconv refuses the input.
std::optional<std::string> iconvToUtf8(const std::filesystem::path& file) {
    const std::string command = "iconv -f CP1251 -t UTF-8 '" + file.string() + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    char chunk[256];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return out;
}

TEST(EncodingTest, DecodingTableAgreesWithIconvForEveryByte) {
    if (std::system("iconv --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no iconv here";
    quiz_test::TempFolder folder;

    // The code page leaves 0x98 undefined; iconv refuses it, the table gives
    // U+FFFD.
    EXPECT_FALSE(iconvToUtf8(folder.write("undefined", "\x98")));
    EXPECT_EQ(windows1251ToUtf8("\x98"), quiz::kReplacementCharacter);

    std::string defined;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x98) defined += static_cast<char>(b);
    }
    const std::optional<std::string> all = iconvToUtf8(folder.write("all", defined));
    ASSERT_TRUE(all) << "iconv refused a defined byte";
    if (windows1251ToUtf8(defined) == *all) return;
    // Tell which bytes differ.
    for (const char byte : defined) {
        SCOPED_TRACE("byte " + std::to_string(static_cast<unsigned char>(byte)));
        EXPECT_EQ(windows1251ToUtf8(std::string(1, byte)), iconvToUtf8(folder.write("byte", {&byte, 1})));
    }
}

TEST(EncodingTest, DecodesRunsOfMixedText) {
    EXPECT_EQ(windows1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2, world \xA8\xB8 \x96 \x85"),
              "Привет, world Ёё – …");
    EXPECT_EQ(windows1251ToUtf8(""), "");
    std::string out = "kept ";
    quiz::appendWindows1251AsUtf8("\xDF", out);
    EXPECT_EQ(out, "kept Я");
}

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::string expected;
};

const std::string kFffd(quiz::kReplacementCharacter);

const std::vector<Utf8Case> kUtf8Cases = {
    {"ascii", "plain text", "plain text"},
    {"two_byte", "Привет", "Привет"},
    {"three_byte", "€ №", "€ №"},
    {"four_byte", "\xF0\x9F\x99\x82", "\xF0\x9F\x99\x82"},
    {"lone_continuation_byte", "a\x80" "b", "a" + kFffd + "b"},
    {"truncated_at_the_end", "a\xD0", "a" + kFffd},
    {"truncated_three_byte", "\xE2\x82" "x", kFffd + kFffd + "x"},
    {"overlong_two_byte", "\xC0\xAF", kFffd + kFffd},
    {"overlong_three_byte", "\xE0\x80\xAF", kFffd + kFffd + kFffd},
    {"surrogate", "\xED\xA0\x80", kFffd + kFffd + kFffd},
    {"above_u10ffff", "\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},
    {"windows_1251_bytes", "\xCF\xF0\xE8", kFffd + kFffd + kFffd},
    {"invalid_lead_byte", "\xFF", kFffd},
};

TEST(EncodingTest, Utf8PassesThroughAndReplacesMalformedBytes) {
    for (const Utf8Case& c : kUtf8Cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        appendUtf8Checked(c.bytes, out);
        EXPECT_EQ(out, c.expected);
    }
}

}  // namespace
