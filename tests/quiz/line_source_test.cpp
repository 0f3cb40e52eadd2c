#include "quiz/line_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "test_streams.h"

namespace {

using quiz::LineSource;
using quiz_test::RepeatingBuf;
using quiz_test::TrickleBuf;

std::vector<std::string> allLines(LineSource& source) {
    std::vector<std::string> lines;
    std::string_view line;
    while (source.next(line)) lines.emplace_back(line);
    return lines;
}

struct SplitCase {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
};

const std::string kLong(100, 'x');

const std::vector<SplitCase> kSplitCases = {
    {"crlf", "a\r\nbc\r\n", {"a", "bc"}},
    {"lone_lf", "a\nbc\n", {"a", "bc"}},
    {"lone_cr", "a\rbc\r", {"a", "bc"}},
    {"mixed_ends", "a\r\nb\nc\rd\r\n", {"a", "b", "c", "d"}},
    {"missing_final_end", "a\r\nlast", {"a", "last"}},
    {"empty_input", "", {}},
    {"one_empty_line", "\r\n", {""}},
    {"empty_lines_of_each_kind", "\r\n\n\r", {"", "", ""}},
    {"cr_cr_lf_is_an_empty_line_between", "a\r\r\nb", {"a", "", "b"}},
    {"lf_then_cr_are_two_ends", "a\n\rb", {"a", "", "b"}},
    {"line_longer_than_the_buffer", kLong + "\r\nend", {kLong, "end"}},
    {"nul_bytes_are_content", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
};

// Each input through a roomy buffer, a tiny one, and a stream that gives out
// a few bytes at a time, so line ends fall on every buffer boundary.
struct Feed {
    const char* name;
    std::size_t bufferSize;
    std::size_t trickle;  // 0: an istringstream
};

const Feed kFeeds[] = {
    {"default_buffer", LineSource::kDefaultBufferSize, 0},
    {"tiny_buffer", 16, 0},
    {"tiny_buffer_one_byte_reads", 16, 1},
    {"tiny_buffer_three_byte_reads", 17, 3},
};

TEST(LineSourceTest, SplitsAtEveryKindOfLineEnd) {
    for (const SplitCase& c : kSplitCases) {
        for (const Feed& feed : kFeeds) {
            SCOPED_TRACE(std::string(c.name) + " / " + feed.name);
            std::istringstream text(c.input);
            TrickleBuf trickle(c.input, feed.trickle);
            std::istream trickled(&trickle);
            std::istream& in = feed.trickle ? trickled : text;
            LineSource source(in, feed.bufferSize);
            EXPECT_EQ(allLines(source), c.lines);
        }
    }
}

TEST(LineSourceTest, RewindGivesTheSameLinesAgain) {
    std::string input = "first\r\n";
    for (int i = 0; i < 200; ++i) input += "line " + std::to_string(i) + (i % 2 ? "\r" : "\r\n");
    for (const Feed& feed : kFeeds) {
        SCOPED_TRACE(feed.name);
        std::istringstream text(input);
        TrickleBuf trickle(input, feed.trickle);
        std::istream trickled(&trickle);
        LineSource source(feed.trickle ? trickled : text, feed.bufferSize);
        std::string_view line;
        ASSERT_TRUE(source.next(line));
        for (const std::size_t ahead : {1, 150, 1000}) {
            source.mark();
            std::vector<std::string> seen;
            while (seen.size() < ahead && source.next(line)) seen.emplace_back(line);
            ASSERT_TRUE(source.rewind());
            std::vector<std::string> again;
            for (std::size_t i = 0; i < seen.size() && source.next(line); ++i)
                again.emplace_back(line);
            EXPECT_EQ(again, seen) << "looking " << ahead << " lines ahead";
            source.mark();
            ASSERT_TRUE(source.rewind());
        }
    }
}

TEST(LineSourceTest, RewindAfterCarriageReturnAtTheMarkSkipsItsLinefeed) {
    // The mark falls between the CR and the LF of one line end.
    for (const std::size_t step : {1, 2, 5}) {
        SCOPED_TRACE(step);
        TrickleBuf trickle("a\r\nb\r\nc", step);
        std::istream in(&trickle);
        LineSource source(in, 16);
        std::string_view line;
        ASSERT_TRUE(source.next(line));
        source.mark();
        ASSERT_TRUE(source.next(line));
        ASSERT_TRUE(source.rewind());
        EXPECT_EQ(allLines(source), (std::vector<std::string>{"b", "c"}));
    }
}

TEST(LineSourceTest, LookingFarAheadOnASeekableStreamKeepsTheBufferSmall) {
    // Two million empty lines, then one line: a look ahead over all of them
    // must not keep them, and a rewind must give them all again.
    constexpr std::size_t kBlankLines = 2'000'000;
    RepeatingBuf buffer("", "\r\n", kBlankLines, "end\r\n");
    std::istream in(&buffer);
    LineSource source(in);
    ASSERT_TRUE(source.seekable());
    source.mark();
    std::string_view line;
    std::size_t blank = 0;
    while (source.next(line) && line.empty()) ++blank;
    EXPECT_EQ(blank, kBlankLines);
    EXPECT_EQ(line, "end");
    EXPECT_LE(source.bufferCapacity(), 2 * LineSource::kDefaultBufferSize);
    ASSERT_TRUE(source.rewind());
    blank = 0;
    while (source.next(line) && line.empty()) ++blank;
    EXPECT_EQ(blank, kBlankLines);
    EXPECT_EQ(line, "end");
    EXPECT_LE(source.bufferCapacity(), 2 * LineSource::kDefaultBufferSize);
}

TEST(LineSourceTest, BufferShrinksBackAfterALongLine) {
    const std::string longLine(1'000'000, 'x');
    std::istringstream in(longLine + "\r\n" + std::string(100'000, '\n'));
    LineSource source(in, 1024);
    std::string_view line;
    ASSERT_TRUE(source.next(line));
    EXPECT_EQ(line.size(), longLine.size());
    while (source.next(line)) {
    }
    EXPECT_LE(source.bufferCapacity(), 2048U);
}

}  // namespace
