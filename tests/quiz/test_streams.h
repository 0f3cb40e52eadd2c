// Stream buffers for tests of the quiz reader: one that makes a huge input up
// as it is read, and one that trickles a string out and cannot seek.
#pragma once

#include <algorithm>
#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quiz_test {

// prefix, then `count` times `unit`, then suffix; seekable; never stored whole.
class RepeatingBuf : public std::streambuf {
public:
    RepeatingBuf(std::string prefix, std::string unit, std::size_t count, std::string suffix)
        : prefix_(std::move(prefix)),
          unit_(std::move(unit)),
          count_(count),
          suffix_(std::move(suffix)),
          chunk_(4096) {}

    std::size_t size() const { return prefix_.size() + unit_.size() * count_ + suffix_.size(); }

protected:
    int_type underflow() override {
        if (position_ >= size()) return traits_type::eof();
        std::size_t n = 0;
        while (n < chunk_.size() && position_ + n < size()) {
            const std::string_view rest = piece(position_ + n);
            const std::size_t take = std::min(rest.size(), chunk_.size() - n);
            std::copy_n(rest.data(), take, chunk_.data() + n);
            n += take;
        }
        setg(chunk_.data(), chunk_.data(), chunk_.data() + n);
        position_ += n;
        return traits_type::to_int_type(chunk_[0]);
    }

    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        const auto here = static_cast<off_type>(position_) - (egptr() - gptr());
        const off_type base = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? here
                                                          : static_cast<off_type>(size());
        return seekpos(pos_type(base + off), std::ios_base::in);
    }

    pos_type seekpos(pos_type target, std::ios_base::openmode) override {
        const auto offset = static_cast<off_type>(target);
        if (offset < 0 || offset > static_cast<off_type>(size())) return pos_type(off_type(-1));
        position_ = static_cast<std::size_t>(offset);
        setg(chunk_.data(), chunk_.data(), chunk_.data());
        return target;
    }

private:
    // The bytes from offset i to the end of the part (prefix, one unit or
    // suffix) that holds it.
    std::string_view piece(std::size_t i) const {
        if (i < prefix_.size()) return std::string_view(prefix_).substr(i);
        i -= prefix_.size();
        if (i < unit_.size() * count_) return std::string_view(unit_).substr(i % unit_.size());
        return std::string_view(suffix_).substr(i - unit_.size() * count_);
    }

    std::string prefix_, unit_;
    std::size_t count_;
    std::string suffix_;
    std::vector<char> chunk_;
    std::size_t position_ = 0;  // stream offset just past the chunk
};

// Gives out `text` at most `step` bytes per read; cannot seek.
class TrickleBuf : public std::streambuf {
public:
    TrickleBuf(std::string text, std::size_t step) : text_(std::move(text)), step_(step) {}

protected:
    int_type underflow() override {
        if (next_ >= text_.size()) return traits_type::eof();
        const std::size_t n = std::min(step_, text_.size() - next_);
        char* start = text_.data() + next_;
        setg(start, start, start + n);
        next_ += n;
        return traits_type::to_int_type(*start);
    }

    std::streamsize xsgetn(char* out, std::streamsize count) override {
        // One underflow's worth at most, as a pipe would give.
        if (gptr() == egptr() && underflow() == traits_type::eof()) return 0;
        const auto n = std::min<std::streamsize>(count, egptr() - gptr());
        std::copy(gptr(), gptr() + n, out);
        gbump(static_cast<int>(n));
        return n;
    }

private:
    std::string text_;
    std::size_t step_;
    std::size_t next_ = 0;
};

}  // namespace quiz_test
