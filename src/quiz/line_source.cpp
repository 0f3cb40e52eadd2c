#include "quiz/line_source.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quiz {

namespace {

constexpr std::size_t kMinimumBufferSize = 16;
const std::streampos kNoPosition{std::streamoff{-1}};

std::size_t find(const char* data, std::size_t from, std::size_t end, char c) {
    const void* hit = std::memchr(data + from, c, end - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : end;
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

LineSource::LineSource(std::istream& in, std::size_t bufferSize, std::size_t maxLine)
    : buffer_(in.rdbuf()),
      defaultCapacity_(std::max(bufferSize, kMinimumBufferSize)),
      maxLine_(maxLine),
      capacity_(defaultCapacity_),
      data_(std::make_unique_for_overwrite<char[]>(capacity_)) {
    if (buffer_ == nullptr) throw std::invalid_argument("LineSource: stream without a buffer");
    const std::streampos here = buffer_->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    seekable_ = here != kNoPosition;
    if (seekable_) dataOffset_ = here;
}

void LineSource::take(std::string_view& line, std::size_t at, LineEnd end) {
    line = std::string_view(data_.get() + begin_, at - begin_);
    lineEnd_ = end;
    begin_ = at + lineEndBytes(end).size();
}

bool LineSource::next(std::string_view& line) {
    if (tooLong_) return false;
    for (;;) {
        if (!searchesValid_ || nextCr_ < begin_) nextCr_ = find(data_.get(), begin_, end_, '\r');
        if (!searchesValid_ || nextLf_ < begin_) nextLf_ = find(data_.get(), begin_, end_, '\n');
        searchesValid_ = true;
        const std::size_t at = std::min(nextCr_, nextLf_);
        // A CR that is the last byte read may be the first half of a CR LF:
        // the line is taken once the next byte, or the end, is known.
        const bool crAtEdge = at + 1 == end_ && data_[at] == '\r' && !streamDone_;
        if (std::min(at, end_) - begin_ > maxLine_) {
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
        capacity_ = capacity;
    } else if (keep > 0) {
        std::memmove(data_.get(), data_.get() + keep, live);
    }
    begin_ -= keep;
    end_ = live;
    if (marked_ && !markDropped_) markIndex_ -= keep;
    dataOffset_ += static_cast<std::streamoff>(keep);
    searchesValid_ = false;

    const std::streamsize got =
        buffer_->sgetn(data_.get() + end_, static_cast<std::streamsize>(capacity_ - end_));
    if (got <= 0) {
        streamDone_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

void LineSource::mark() {
    marked_ = true;
    markDropped_ = false;
    markIndex_ = begin_;
    markOffset_ = dataOffset_ + static_cast<std::streamoff>(begin_);
}

bool LineSource::rewind() {
    if (!marked_) return true;
    marked_ = false;
    searchesValid_ = false;
    tooLong_ = false;
    if (!markDropped_) {
        begin_ = markIndex_;
        return true;
    }
    markDropped_ = false;
    begin_ = end_ = 0;
    if (buffer_->pubseekpos(markOffset_, std::ios_base::in) == kNoPosition) {
        streamDone_ = true;
        return false;
    }
    dataOffset_ = markOffset_;
    streamDone_ = false;
    return true;
}

}  // namespace quiz
