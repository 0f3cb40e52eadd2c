// ByteInput: where the reader and encoding detection take a file's bytes
// from. A stream's buffer is one (StreamInput); an open file is another
// (FileInput, in input_file.h), which spares the game the C++ streams and
// the locales they set up at their first use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>

namespace quiz {

class ByteInput {
public:
    // Up to `count` bytes into `out`; 0 at the end.
    virtual std::size_t read(char* out, std::size_t count) = 0;
    // The offset of the next byte, or -1 for an input that cannot seek.
    virtual std::int64_t tell() = 0;
    // Goes to `offset`; false when the input cannot.
    virtual bool seek(std::int64_t offset) = 0;

protected:
    ~ByteInput() = default;
};

// The buffer of a stream, which must exist and stay alive.
class StreamInput final : public ByteInput {
public:
    // Throws std::invalid_argument for a stream without a buffer.
    explicit StreamInput(std::istream& in);
    std::size_t read(char* out, std::size_t count) override;
    std::int64_t tell() override;
    bool seek(std::int64_t offset) override;

private:
    std::streambuf* buffer_;
};

}  // namespace quiz
