// A file named by the user, opened once and read through its handle: the
// name is looked up a single time, so what is checked is what is read.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>

#include "quiz/byte_input.h"

namespace quiz {

// An open file descriptor as a ByteInput, which it closes: read with read(),
// sought with lseek. No C++ stream takes part.
class FileInput final : public ByteInput {
public:
    explicit FileInput(int fd) : fd_(fd) {}
    ~FileInput();
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    // Again when interrupted; 0 at the end or when reading failed.
    std::size_t read(char* out, std::size_t count) override;
    std::int64_t tell() override;
    bool seek(std::int64_t offset) override;
    // The errno of a read that failed (the file then seemed to end there), 0 for none.
    int readError() const noexcept { return readError_; }

private:
    int fd_;
    int readError_ = 0;
};

// A read-only stream buffer over an open file descriptor, which it closes.
// Seeks with lseek, so it can go back as detectEncoding and QuizReader need.
class FileBuffer : public std::streambuf {
public:
    explicit FileBuffer(int fd) : fd_(fd) {}
    ~FileBuffer() override;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    // The errno of a read that failed (then the stream seemed to end there), 0 for none.
    int readError() const noexcept { return readError_; }

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* out, std::streamsize count) override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

private:
    // read() into `out`, again when interrupted; 0 at the end or on an error.
    std::size_t readSome(char* out, std::size_t count);

    int fd_;
    int readError_ = 0;
    std::array<char, 64 * 1024> buffer_{};
};

// Why a file could not be opened for reading.
enum class OpenProblem { None, Missing, Folder, NotAFile, CannotOpen };

// An open regular file and a stream reading it.
struct InputFile {
    OpenProblem problem = OpenProblem::None;
    int error = 0;  // errno when CannotOpen
    std::unique_ptr<FileBuffer> buffer;
    std::unique_ptr<std::istream> stream;  // null unless problem is None
};

// Opens `path` for reading, following links as reading any file does. A pipe
// or a device is refused without waiting for it (it could block or never end).
InputFile openInputFile(const std::filesystem::path& path);

// All of a stream's bytes, or none when there are more than `limit`.
std::optional<std::string> readAtMost(std::istream& in, std::size_t limit);

}  // namespace quiz
