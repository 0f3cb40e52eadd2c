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

LineSource::LineSource(std::istream& in, std::size_t bufferSize)
    : buffer_(in.rdbuf()),
      defaultCapacity_(std::max(bufferSize, kMinimumBufferSize)),
      capacity_(defaultCapacity_),
      data_(std::make_unique<char[]>(capacity_)) {
    if (buffer_ == nullptr) throw std::invalid_argument("LineSource: stream without a buffer");
    const std::streampos here = buffer_->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    seekable_ = here != kNoPosition;
    if (seekable_) dataOffset_ = here;
}

bool LineSource::next(std::string_view& line) {
    for (;;) {
        if (skipLinefeed_) {
            if (begin_ == end_ && !fill()) {
                skipLinefeed_ = false;
                return false;
            }
            if (begin_ < end_) {
                if (data_[begin_] == '\n') ++begin_;
                skipLinefeed_ = false;
            }
            continue;
        }
        if (!searchesValid_ || nextCr_ < begin_) nextCr_ = find(data_.get(), begin_, end_, '\r');
        if (!searchesValid_ || nextLf_ < begin_) nextLf_ = find(data_.get(), begin_, end_, '\n');
        searchesValid_ = true;
        const std::size_t lineEnd = std::min(nextCr_, nextLf_);
        if (lineEnd < end_) {
            line = std::string_view(data_.get() + begin_, lineEnd - begin_);
            begin_ = lineEnd + 1;
            if (data_[lineEnd] == '\r') {
                if (begin_ < end_) {
                    if (data_[begin_] == '\n') ++begin_;
                } else {
                    skipLinefeed_ = true;
                }
            }
            return true;
        }
        if (!fill()) {
            if (begin_ == end_) return false;
            line = std::string_view(data_.get() + begin_, end_ - begin_);
            begin_ = end_;
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
        auto data = std::make_unique<char[]>(capacity);
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
    markSkipLinefeed_ = skipLinefeed_;
}

bool LineSource::rewind() {
    if (!marked_) return true;
    marked_ = false;
    searchesValid_ = false;
    skipLinefeed_ = markSkipLinefeed_;
    if (!markDropped_) {
        begin_ = markIndex_;
        return true;
    }
    markDropped_ = false;
    begin_ = end_ = 0;
    if (buffer_->pubseekpos(markOffset_, std::ios_base::in) == kNoPosition) {
        streamDone_ = true;
        skipLinefeed_ = false;
        return false;
    }
    dataOffset_ = markOffset_;
    streamDone_ = false;
    return true;
}

}  // namespace quiz
