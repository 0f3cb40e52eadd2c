// LineSource: splits the bytes of a file or a stream into lines, fast and
// with a bounded buffer. Used by QuizReader; kept apart so that its buffer
// handling can be tested on its own.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string_view>

#include "quiz/byte_input.h"

namespace quiz {

// How a line ended: CR LF, a lone LF, a lone CR, or not at all (the last line
// of a file without a final line end).
enum class LineEnd : std::uint8_t { CrLf, Lf, Cr, None };

// The bytes of a line end: "\r\n", "\n", "\r" or "".
std::string_view lineEndBytes(LineEnd end);

// No hand-written quiz has a line this long; a longer one is refused before
// all its bytes are held, so that a huge file of one line (or a sparse one)
// costs a bounded amount of memory and time.
inline constexpr std::size_t kMaxLineBytes = 1024 * 1024;

class LineSource {
public:
    static constexpr std::size_t kDefaultBufferSize = 64 * 1024;

    // Reads `in`, which must stay alive. The source reads ahead, so the
    // input's position afterwards says nothing about how far lines were
    // taken. A `bufferSize` below 16 is taken as 16.
    explicit LineSource(ByteInput& in, std::size_t bufferSize = kDefaultBufferSize,
                        std::size_t maxLine = kMaxLineBytes);
    // Reads `in` through its stream buffer, which must exist and stay alive.
    explicit LineSource(std::istream& in, std::size_t bufferSize = kDefaultBufferSize,
                        std::size_t maxLine = kMaxLineBytes);
    // It reads through a pointer to its own member when it reads a stream.
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line without its line end, or false at the end of the input.
    // CR LF, a lone LF and a lone CR each end a line; bytes after the last
    // line end form one more line. A line longer than `maxLine` bytes comes
    // as its first `maxLine` bytes with lineTooLong() true, and ends the
    // input. The view stays valid until the next call of any member.
    bool next(std::string_view& line) {
        // The usual line, kept short: it and the byte after its end are in
        // the buffer.
        if (!again_.pending && !tooLong_) {
            const std::size_t at = lineEndFrom(begin_);
            if (at + 1 < end_ && at - begin_ <= maxLine_) {
                const char* data = data_.get();
                const bool cr = data[at] == '\r';
                const bool crLf = cr && data[at + 1] == '\n';
                line = std::string_view(data + begin_, at - begin_);
                lineEnd_ = crLf ? LineEnd::CrLf : cr ? LineEnd::Cr : LineEnd::Lf;
                begin_ = at + (crLf ? 2 : 1);
                ++linesSinceMark_;
                return true;
            }
        }
        return nextInBuffer(line);
    }
    // The first byte of the next line when it is in the buffer already, else
    // -1 (also at the end of the input).
    int peek() const noexcept {
        return again_.pending || tooLong_ || begin_ >= end_
                   ? -1
                   : static_cast<unsigned char>(data_[begin_]);
    }
    // How the line last taken ended.
    LineEnd lineEnd() const noexcept { return lineEnd_; }
    bool lineTooLong() const noexcept { return tooLong_; }

    // Remembers the position before the next line, so that rewind() can go
    // back there after lines have been taken for a look ahead. While a mark
    // is set the buffer keeps the marked bytes when that is cheap; when it is
    // not and the stream can seek, it drops them and rewind() seeks back, so
    // memory stays bounded however far the look ahead goes. A stream that
    // cannot seek keeps them all.
    void mark();
    // Goes back to the mark and clears it. False when the stream refused to
    // seek back; the source is then at its end. When one line was taken
    // since the mark (a look at the next line), taking it again costs no
    // search.
    bool rewind();

    bool seekable() const noexcept { return seekable_; }
    std::size_t bufferCapacity() const noexcept { return capacity_; }

private:
    // next() for every other line.
    bool nextInBuffer(std::string_view& line);
    // Notes where the input stands, if it can seek.
    void noteStart();
    // next() where the line or its end is not yet in the buffer.
    bool nextFromStream(std::string_view& line);
    // The first CR or LF in the buffer at or after `from` (at most end_), or end_.
    std::size_t lineEndFrom(std::size_t from) const noexcept {
        std::size_t word = from / 64;
        std::uint64_t bits = lineEnds_[word] & (~std::uint64_t{0} << (from % 64));
        for (const std::size_t last = end_ / 64; bits == 0;) {
            if (word == last) return end_;
            bits = lineEnds_[++word];
        }
        return word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }
    // Sets the bits of lineEnds_ for the bytes read.
    void markLineEnds();
    static std::size_t lineEndWords(std::size_t capacity) { return capacity / 64 + 1; }
    // Reads more bytes into the buffer, keeping the bytes still needed.
    // False when the stream has nothing more.
    bool fill();
    // Takes the bytes from begin_ up to `at` as the line, ended by `end`.
    void take(std::string_view& line, std::size_t at, LineEnd end);

    std::optional<StreamInput> stream_;  // for a stream: its buffer, as input_
    ByteInput* input_;
    std::size_t defaultCapacity_;
    std::size_t maxLine_;
    std::size_t capacity_;
    std::unique_ptr<char[]> data_;
    // Bit i % 64 of lineEnds_[i / 64] is set when data_[i] is CR or LF, for
    // i < end_; the bits from end_ on are clear. fill() sets them for all the
    // bytes it reads at once, so a line's end is found without looking at its
    // bytes again.
    std::unique_ptr<std::uint64_t[]> lineEnds_;
    std::size_t begin_ = 0;  // first byte not yet taken
    std::size_t end_ = 0;    // one past the last byte read
    bool streamDone_ = false;
    LineEnd lineEnd_ = LineEnd::None;
    bool tooLong_ = false;

    bool seekable_ = false;
    std::streamoff dataOffset_ = 0;  // stream offset of data_[0], when seekable

    bool marked_ = false;
    bool markDropped_ = false;  // the marked bytes left the buffer: rewind seeks
    std::size_t markIndex_ = 0;
    std::streamoff markOffset_ = 0;
    std::size_t linesSinceMark_ = 0;

    // The line that rewind() went back over, to be taken again as it was.
    struct {
        bool pending = false;
        std::size_t end = 0;   // where it ends, before its line end
        std::size_t next = 0;  // where the line after it begins
        LineEnd lineEnd = LineEnd::None;
    } again_;
};

}  // namespace quiz
