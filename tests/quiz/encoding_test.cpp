#include "quiz/encoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "test_streams.h"

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
        EXPECT_EQ(windows1251ToUtf8(std::string(1, byte)),
                  iconvToUtf8(folder.write("byte", {&byte, 1})));
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
    {"lone_continuation_byte",
     "a\x80"
     "b",
     "a" + kFffd + "b"},
    {"truncated_at_the_end", "a\xD0", "a" + kFffd},
    {"truncated_three_byte",
     "\xE2\x82"
     "x",
     kFffd + kFffd + "x"},
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

using quiz::Encoding;

struct DetectCase {
    const char* name;
    std::string bytes;
    Encoding expected;
};

const std::string kAsciiRun(64 * 1024 - 1, 'a');

const std::vector<DetectCase> kDetectCases = {
    {"empty", "", Encoding::Windows1251},
    {"ascii_only", "Title\r\n.\r\n.\r\n", Encoding::Windows1251},
    {"utf8_cyrillic", "Столицы\r\nПривет\r\n", Encoding::Utf8},
    {"utf8_one_multibyte_character_late", "Title\r\n.\r\n.\r\nQ\r\n.\r\nA №1\r\n.1\r\n",
     Encoding::Utf8},
    {"byte_order_mark_alone", "\xEF\xBB\xBF", Encoding::Utf8},
    {"byte_order_mark_then_ascii", "\xEF\xBB\xBFTitle\r\n", Encoding::Utf8},
    {"byte_order_mark_decides_even_before_bad_bytes", "\xEF\xBB\xBF\xCF\xF0", Encoding::Utf8},
    {"sequence_split_by_the_scan_chunk", kAsciiRun + "Я", Encoding::Utf8},
    {"three_byte_sequence_split_by_the_scan_chunk", kAsciiRun + "€", Encoding::Utf8},
    {"utf8_then_one_windows_1251_byte", "Привет \xE8", Encoding::Windows1251},
    {"utf8_cut_short_at_the_end", "Привет\xD0", Encoding::Windows1251},
    {"utf8_cut_short_across_the_chunk", kAsciiRun + "\xD0", Encoding::Windows1251},
    {"overlong_form", "Привет \xC0\xAF", Encoding::Windows1251},
    // Windows-1251 text that must never be taken for UTF-8.
    {"windows_1251_lower_case", "\xEF\xF0\xE8\xE2\xE5\xF2", Encoding::Windows1251},
    {"windows_1251_upper_case", "\xCC\xCE\xD1\xCA\xC2\xC0", Encoding::Windows1251},
    {"windows_1251_capitalised_sentence",
     "\xC3\xE4\xE5 \xED\xE0\xF5\xEE\xE4\xE8\xF2\xF1\xFF \xCC\xEE\xF1\xEA\xE2\xE0?\r\n",
     Encoding::Windows1251},
    {"windows_1251_yo_and_quotes", "\xA8\xEB\xEA\xE0 \xAB\xEC\xE8\xF0\xBB \xB9 5",
     Encoding::Windows1251},
    {"windows_1251_dash_and_ellipsis", "\xC4\xE0 \x97 \xED\xE5\xF2\x85", Encoding::Windows1251},
    {"windows_1251_quiz_lines",
     "\xD1\xF2\xEE\xEB\xE8\xF6\xFB\r\n.\r\n\xCE\xF2\xEB\xE8\xF7\xED\xEE\r\n13\r\n.\r\n"
     "\xC3\xE4\xE5?\r\n.\r\n\xC4\xE0\r\n.1\r\n",
     Encoding::Windows1251},
    // The known limit: an upper-case letter directly before one of the
    // punctuation bytes 0x80..0xBF reads as a two-byte sequence. A file made
    // only of such pairs is taken for UTF-8; real text never is.
    {"windows_1251_pair_that_is_also_utf8", "\xD0\xA8", Encoding::Utf8},
};

TEST(EncodingTest, DetectsTheEncodingOfAQuizFile) {
    for (const DetectCase& c : kDetectCases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.bytes);
        EXPECT_EQ(quiz::detectEncoding(in), c.expected);
        const std::string rest{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(rest, c.bytes) << "the stream is rewound";
    }
}

TEST(EncodingTest, EveryWindows1251LetterBeforeABlankRulesUtf8Out) {
    for (int letter = 0xC0; letter <= 0xFF; ++letter) {
        SCOPED_TRACE(letter);
        std::istringstream in("abc " + std::string(1, static_cast<char>(letter)) + " def");
        EXPECT_EQ(quiz::detectEncoding(in), Encoding::Windows1251);
    }
}

TEST(EncodingTest, DetectionRewindsToWhereTheStreamStood) {
    std::istringstream in("skip Привет");
    in.seekg(5);
    EXPECT_EQ(quiz::detectEncoding(in), Encoding::Utf8);
    const std::string rest{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(rest, "Привет");
}

TEST(EncodingTest, DetectionRefusesAStreamThatCannotSeek) {
    quiz_test::TrickleBuf trickle("Привет", 2);
    std::istream in(&trickle);
    EXPECT_THROW(quiz::detectEncoding(in), std::invalid_argument);
}

}  // namespace
