#include "quiz/line_source.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quiz {

namespace {

constexpr std::size_t kMinimumBufferSize = 16;
const std::streampos kNoPosition{std::streamoff{-1}};

// Line ends are found a word of bits at a time: bit i set for a CR or LF at
// from[i]. Eight bytes at a time: a byte is a match when it XORed with the
// byte sought is zero, and a zero byte is the one whose high bit survives
// ~(((v & 0x7F) + 0x7F) | v | 0x7F), with no carry between bytes; the
// multiplication gathers those eight high bits into the top byte.
std::uint64_t lineEnds8(const char* from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kLow = kOnes * 0x7F;
    constexpr auto zeroBytes = [](std::uint64_t v) { return ~(((v & kLow) + kLow) | v | kLow); };
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    const std::uint64_t hits = zeroBytes(word ^ (kOnes * '\r')) | zeroBytes(word ^ (kOnes * '\n'));
    return ((hits >> 7) * 0x0102040810204080) >> 56;
}

// The first `count` bytes (at most 64).
std::uint64_t lineEndsIn(const char* from, std::size_t count) {
    std::uint64_t bits = 0;
    std::size_t i = 0;
    for (; count - i >= 8; i += 8) bits |= lineEnds8(from + i) << i;
    for (; i < count; ++i) {
        if (from[i] == '\r' || from[i] == '\n') bits |= std::uint64_t{1} << i;
    }
    return bits;
}

// 64 bytes.
std::uint64_t lineEnds64(const char* from) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16 * i));
        const auto hits = static_cast<std::uint16_t>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        bits |= std::uint64_t{hits} << (16 * i);
    }
    return bits;
#else
    return lineEndsIn(from, 64);
#endif
}

}  // namespace

std::string_view lineEndBytes(LineEnd end) {
    switch (end) {
        case LineEnd::CrLf:
            return "\r\n";
        case LineEnd::Lf:
            return "\n";
        case LineEnd::Cr:
            return "\r";
        case LineEnd::None:
            break;
    }
    return "";
}

StreamInput::StreamInput(std::istream& in) : buffer_(in.rdbuf()) {
    if (buffer_ == nullptr) throw std::invalid_argument("StreamInput: stream without a buffer");
}

std::size_t StreamInput::read(char* out, std::size_t count) {
    const std::streamsize got = buffer_->sgetn(out, static_cast<std::streamsize>(count));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::int64_t StreamInput::tell() {
    const std::streampos here = buffer_->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    return here == kNoPosition ? -1 : static_cast<std::int64_t>(std::streamoff(here));
}

bool StreamInput::seek(std::int64_t offset) {
    return buffer_->pubseekpos(std::streamoff(offset), std::ios_base::in) != kNoPosition;
}

LineSource::LineSource(ByteInput& in, std::size_t bufferSize, std::size_t maxLine)
    : input_(&in),
      defaultCapacity_(std::max(bufferSize, kMinimumBufferSize)),
      maxLine_(maxLine),
      capacity_(defaultCapacity_),
      data_(std::make_unique_for_overwrite<char[]>(capacity_)),
      lineEnds_(std::make_unique<std::uint64_t[]>(lineEndWords(capacity_))) {
    noteStart();
}

LineSource::LineSource(std::istream& in, std::size_t bufferSize, std::size_t maxLine)
    : stream_(std::in_place, in),
      input_(&*stream_),
      defaultCapacity_(std::max(bufferSize, kMinimumBufferSize)),
      maxLine_(maxLine),
      capacity_(defaultCapacity_),
      data_(std::make_unique_for_overwrite<char[]>(capacity_)),
      lineEnds_(std::make_unique<std::uint64_t[]>(lineEndWords(capacity_))) {
    noteStart();
}

void LineSource::noteStart() {
    const std::int64_t here = input_->tell();
    seekable_ = here >= 0;
    if (seekable_) dataOffset_ = here;
}

void LineSource::take(std::string_view& line, std::size_t at, LineEnd end) {
    line = std::string_view(data_.get() + begin_, at - begin_);
    lineEnd_ = end;
    begin_ = at + lineEndBytes(end).size();
}

void LineSource::markLineEnds() {
    const std::size_t whole = end_ / 64;
    for (std::size_t w = 0; w < whole; ++w) lineEnds_[w] = lineEnds64(data_.get() + 64 * w);
    lineEnds_[whole] = lineEndsIn(data_.get() + 64 * whole, end_ % 64);
}

bool LineSource::nextInBuffer(std::string_view& line) {
    if (again_.pending) {
        again_.pending = false;
        line = std::string_view(data_.get() + begin_, again_.end - begin_);
        lineEnd_ = again_.lineEnd;
        begin_ = again_.next;
        ++linesSinceMark_;
        return true;
    }
    // The usual line: it and the byte after its end are in the buffer.
    const std::size_t at = tooLong_ ? end_ : lineEndFrom(begin_);
    if (at + 1 < end_ && at - begin_ <= maxLine_) {
        const bool crLf = data_[at] == '\r' && data_[at + 1] == '\n';
        take(line, at, crLf ? LineEnd::CrLf : data_[at] == '\r' ? LineEnd::Cr : LineEnd::Lf);
        ++linesSinceMark_;
        return true;
    }
    if (!nextFromStream(line)) return false;
    ++linesSinceMark_;
    return true;
}

bool LineSource::nextFromStream(std::string_view& line) {
    if (tooLong_) return false;
    // The bytes after begin_ known to hold no line end: searched once,
    // however many reads a long line takes.
    for (std::size_t clean = 0;;) {
        const std::size_t at = lineEndFrom(begin_ + clean);
        // A CR that is the last byte read may be the first half of a CR LF:
        // the line is taken once the next byte, or the end, is known.
        const bool crAtEdge = at + 1 == end_ && data_[at] == '\r' && !streamDone_;
        if (at - begin_ > maxLine_) {
            // Refused before the rest of it is read, however long it goes on.
            take(line, begin_ + maxLine_, LineEnd::None);
            tooLong_ = true;
            return true;
        }
        if (at < end_ && !crAtEdge) {
            const bool crLf = data_[at] == '\r' && at + 1 < end_ && data_[at + 1] == '\n';
            take(line, at, data_[at] == '\n' ? LineEnd::Lf : crLf ? LineEnd::CrLf : LineEnd::Cr);
            return true;
        }
        clean = at - begin_;
        if (!fill() && !crAtEdge) {
            if (begin_ == end_) return false;
            take(line, end_, LineEnd::None);
            return true;
        }
    }
}

bool LineSource::fill() {
    if (streamDone_) return false;
    std::size_t keep = begin_;
    if (marked_ && !markDropped_) {
        // Past a quarter of the buffer a look ahead no longer pays for keeping
        // the marked bytes: seeking back is cheaper than growing.
        if (seekable_ && begin_ - markIndex_ > capacity_ / 4) {
            markDropped_ = true;
        } else {
            keep = markIndex_;
        }
    }
    const std::size_t live = end_ - keep;
    std::size_t capacity = capacity_;
    if (live > capacity_ / 2) {
        capacity = capacity_ * 2;
    } else if (capacity_ > defaultCapacity_ && live <= defaultCapacity_ / 2) {
        capacity = defaultCapacity_;
    }
    if (capacity != capacity_) {
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        std::memcpy(data.get(), data_.get() + keep, live);
        data_ = std::move(data);
        lineEnds_ = std::make_unique_for_overwrite<std::uint64_t[]>(lineEndWords(capacity));
        capacity_ = capacity;
    } else if (keep > 0) {
        std::memmove(data_.get(), data_.get() + keep, live);
    }
    begin_ -= keep;
    end_ = live;
    if (marked_ && !markDropped_) markIndex_ -= keep;
    dataOffset_ += static_cast<std::streamoff>(keep);

    const std::size_t got = input_->read(data_.get() + end_, capacity_ - end_);
    end_ += got;
    markLineEnds();
    if (got == 0) {
        streamDone_ = true;
        return false;
    }
    return true;
}

void LineSource::mark() {
    marked_ = true;
    linesSinceMark_ = 0;
    markDropped_ = false;
    markIndex_ = begin_;
    markOffset_ = dataOffset_ + static_cast<std::streamoff>(begin_);
}

bool LineSource::rewind() {
    if (!marked_) return true;
    marked_ = false;
    if (!markDropped_) {
        // The one line looked at, when it ended in the buffer, is taken again
        // as it was, without a search.
        if (linesSinceMark_ == 1 && !tooLong_ && lineEnd_ != LineEnd::None) {
            again_ = {true, begin_ - lineEndBytes(lineEnd_).size(), begin_, lineEnd_};
        }
        tooLong_ = false;
        begin_ = markIndex_;
        return true;
    }
    markDropped_ = false;
    begin_ = end_ = 0;
    markLineEnds();
    if (!input_->seek(markOffset_)) {
        streamDone_ = true;
        return false;
    }
    dataOffset_ = markOffset_;
    streamDone_ = false;
    return true;
}

}  // namespace quiz
