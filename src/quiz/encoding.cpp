#include "quiz/encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

namespace quiz {

namespace {

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are the letters А..я in
// Unicode order, and 0x00..0x7F are ASCII.
constexpr std::array<char32_t, 64> kUpperPunctuation = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

constexpr char32_t windows1251CodePoint(unsigned byte) {
    if (byte < 0x80) return byte;
    if (byte < 0xC0) return kUpperPunctuation[byte - 0x80];
    return 0x0410 + (byte - 0xC0);
}

// One byte's UTF-8 form, padded to three bytes so that the decoder can copy a
// fixed width and advance by `size`.
struct Utf8Form {
    std::array<char, 3> bytes{};
    unsigned char size = 0;
};

constexpr Utf8Form utf8Form(char32_t c) {
    Utf8Form f;
    if (c < 0x80) {
        f.bytes[0] = static_cast<char>(c);
        f.size = 1;
    } else if (c < 0x800) {
        f.bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        f.bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        f.size = 2;
    } else {
        f.bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        f.bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        f.bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        f.size = 3;
    }
    return f;
}

constexpr std::array<Utf8Form, 256> makeWindows1251Table() {
    std::array<Utf8Form, 256> table{};
    for (unsigned b = 0; b < 256; ++b) table[b] = utf8Form(windows1251CodePoint(b));
    return table;
}

constexpr std::array<Utf8Form, 256> kWindows1251 = makeWindows1251Table();

static_assert(kWindows1251[0xC0].size == 2 && kWindows1251[0x88].size == 3);

// The length of the sequence that a lead byte starts, 0 for a byte that
// cannot start one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Length of the well-formed UTF-8 sequence at the start of `s`, 0 if there
// is none (RFC 3629 table of valid byte ranges).
std::size_t wellFormedLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = sequenceLength(lead);
    if (length <= 1) return length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    if (s.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

// Follows UTF-8 across the chunks of a stream.
class Utf8Scan {
public:
    // False as soon as the bytes cannot be UTF-8.
    bool add(std::string_view chunk) {
        std::string_view bytes = chunk;
        if (!pending_.empty()) {
            // A sequence cut by the chunk boundary: complete it first.
            const std::size_t need = sequenceLength(static_cast<unsigned char>(pending_[0]));
            const std::size_t take = std::min(need - pending_.size(), bytes.size());
            pending_.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
            if (pending_.size() < need) return true;
            if (wellFormedLength(pending_) != need) return false;
            ++multiByte_;
            pending_.clear();
        }
        std::size_t i = 0;
        while (i < bytes.size()) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            if (lead < 0x80) {
                ++i;
                continue;
            }
            const std::size_t need = sequenceLength(lead);
            if (need == 0) return false;
            if (bytes.size() - i < need) {
                pending_.assign(bytes.substr(i));
                return true;
            }
            if (wellFormedLength(bytes.substr(i, need)) != need) return false;
            ++multiByte_;
            i += need;
        }
        return true;
    }

    bool complete() const { return pending_.empty(); }
    std::size_t multiByte() const { return multiByte_; }

private:
    std::string pending_;
    std::size_t multiByte_ = 0;
};

// The Windows-1251 byte of a code point, if the code page has one.
std::optional<char> windows1251Byte(char32_t c) {
    if (c < 0x80) return static_cast<char>(c);
    if (c >= 0x0410 && c <= 0x044F) return static_cast<char>(0xC0 + (c - 0x0410));
    for (std::size_t i = 0; i < kUpperPunctuation.size(); ++i) {
        if (kUpperPunctuation[i] == c && c != 0xFFFD) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

}  // namespace

std::string_view encodingName(Encoding encoding) {
    return encoding == Encoding::Utf8 ? "UTF-8" : "Windows-1251";
}

Encoding detectEncoding(std::istream& in) {
    if (in.rdbuf() == nullptr) throw std::invalid_argument("detectEncoding: the stream cannot seek back");
    StreamInput input(in);
    return detectEncoding(input);
}

Encoding detectEncoding(ByteInput& in) {
    const std::int64_t start = in.tell();
    if (start < 0) throw std::invalid_argument("detectEncoding: the stream cannot seek back");
    constexpr std::size_t kChunk = 64 * 1024;
    const auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
    Utf8Scan scan;
    bool valid = true;
    std::size_t total = 0;
    std::string head;  // the first bytes, however the stream hands them out
    for (std::size_t got; valid && total < kDetectionLimit && (got = in.read(chunk.get(), kChunk)) > 0;) {
        std::string_view bytes(chunk.get(), got);
        bytes = bytes.substr(0, kDetectionLimit - total);
        total += bytes.size();
        if (head.size() < kUtf8ByteOrderMark.size()) {
            head.append(bytes.substr(0, kUtf8ByteOrderMark.size() - head.size()));
            if (head == kUtf8ByteOrderMark) {
                in.seek(start);
                return Encoding::Utf8;
            }
        }
        valid = scan.add(bytes);
    }
    in.seek(start);
    // A character cut by the limit may well go on as UTF-8.
    const bool whole = scan.complete() || total >= kDetectionLimit;
    return valid && whole && scan.multiByte() > 0 ? Encoding::Utf8 : Encoding::Windows1251;
}

Encoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) return Encoding::Utf8;
    const bool cut = bytes.size() > kDetectionLimit;
    Utf8Scan scan;
    const bool valid = scan.add(bytes.substr(0, kDetectionLimit));
    return valid && (scan.complete() || cut) && scan.multiByte() > 0 ? Encoding::Utf8
                                                                     : Encoding::Windows1251;
}

void appendWindows1251AsUtf8(std::string_view bytes, std::string& out) {
    // A block at a time, so that the text grows with what is written rather
    // than to three times a huge input first.
    constexpr std::size_t kBlock = 4096;
    for (std::size_t from = 0; from < bytes.size(); from += kBlock) {
        const std::string_view block = bytes.substr(from, kBlock);
        const std::size_t start = out.size();
        out.resize(start + 3 * block.size());
        char* p = out.data() + start;
        for (const char c : block) {
            const Utf8Form& f = kWindows1251[static_cast<unsigned char>(c)];
            std::memcpy(p, f.bytes.data(), 3);
            p += f.size;
        }
        out.resize(static_cast<std::size_t>(p - out.data()));
    }
}

std::string windows1251ToUtf8(std::string_view bytes) {
    std::string out;
    appendWindows1251AsUtf8(bytes, out);
    return out;
}

void appendUtf8Checked(std::string_view bytes, std::string& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t good = i;
        while (good < bytes.size() && static_cast<unsigned char>(bytes[good]) < 0x80) ++good;
        while (good < bytes.size()) {
            const std::size_t n = wellFormedLength(bytes.substr(good));
            if (n == 0) break;
            good += n;
        }
        out.append(bytes.substr(i, good - i));
        if (good < bytes.size()) {
            out.append(kReplacementCharacter);
            ++good;
        }
        i = good;
    }
}

char32_t utf8CodePoint(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    if (sequence.size() == 1) return byte(0);
    char32_t c = byte(0) & (0x7F >> sequence.size());
    for (std::size_t i = 1; i < sequence.size(); ++i) c = (c << 6) | (byte(i) & 0x3F);
    return c;
}

std::size_t utf8CharacterLength(std::string_view utf8) {
    return utf8.empty() ? 0 : wellFormedLength(utf8);
}

std::size_t appendUtf8AsWindows1251(std::string_view utf8, std::string& out) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = wellFormedLength(utf8.substr(i));
        const std::optional<char> byte =
            length == 0 ? std::nullopt : windows1251Byte(utf8CodePoint(utf8.substr(i, length)));
        if (!byte) return i;
        out += *byte;
        i += length;
    }
    return std::string_view::npos;
}

void appendDecoded(std::string_view bytes, Encoding encoding, std::string& out) {
    if (encoding == Encoding::Utf8) {
        appendUtf8Checked(bytes, out);
    } else {
        appendWindows1251AsUtf8(bytes, out);
    }
}

}  // namespace quiz
