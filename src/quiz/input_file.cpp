#include "quiz/input_file.h"

#include "quiz/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quiz {

FileInput::~FileInput() { ::close(fd_); }

std::size_t FileInput::read(char* out, std::size_t count) {
    const ssize_t got = readSome(fd_, out, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    readError_ = errno;
    return 0;
}

std::int64_t FileInput::tell() { return ::lseek(fd_, 0, SEEK_CUR); }

bool FileInput::seek(std::int64_t offset) { return ::lseek(fd_, offset, SEEK_SET) == offset; }

FileBuffer::~FileBuffer() { ::close(fd_); }

std::size_t FileBuffer::readSome(char* out, std::size_t count) {
    const ssize_t got = quiz::readSome(fd_, out, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    readError_ = errno;
    return 0;
}

FileBuffer::int_type FileBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::size_t got = readSome(buffer_.data(), buffer_.size());
    if (got == 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(*gptr());
}

std::streamsize FileBuffer::xsgetn(char* out, std::streamsize count) {
    // What the buffer holds first, then straight into the caller's memory.
    const auto held = std::min<std::streamsize>(count, egptr() - gptr());
    if (held > 0) std::memcpy(out, gptr(), static_cast<std::size_t>(held));
    gbump(static_cast<int>(held));
    std::streamsize done = held;
    while (done < count) {
        const std::size_t got = readSome(out + done, static_cast<std::size_t>(count - done));
        if (got == 0) break;
        done += static_cast<std::streamsize>(got);
    }
    return done;
}

FileBuffer::pos_type FileBuffer::seekoff(off_type offset, std::ios_base::seekdir dir,
                                         std::ios_base::openmode which) {
    if ((which & std::ios_base::out) != 0) return pos_type(off_type(-1));
    int whence = SEEK_SET;
    if (dir == std::ios_base::cur) {
        whence = SEEK_CUR;
        offset -= egptr() - gptr();  // the kernel is ahead by what the buffer holds
    } else if (dir == std::ios_base::end) {
        whence = SEEK_END;
    }
    const off_t at = ::lseek(fd_, offset, whence);
    if (at < 0) return pos_type(off_type(-1));
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    return pos_type(off_type(at));
}

FileBuffer::pos_type FileBuffer::seekpos(pos_type position, std::ios_base::openmode which) {
    return seekoff(off_type(position), std::ios_base::beg, which);
}

InputFile openInputFile(const std::filesystem::path& path) {
    InputFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        file.error = errno;
        file.problem =
            errno == ENOENT || errno == ENOTDIR ? OpenProblem::Missing : OpenProblem::CannotOpen;
        return file;
    }
    auto buffer = std::make_unique<FileBuffer>(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        file.error = errno;
        file.problem = OpenProblem::CannotOpen;
    } else if (S_ISDIR(status.st_mode)) {
        file.problem = OpenProblem::Folder;
    } else if (!S_ISREG(status.st_mode)) {
        file.problem = OpenProblem::NotAFile;
    } else {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        file.stream = std::make_unique<std::istream>(buffer.get());
        file.buffer = std::move(buffer);
    }
    return file;
}

std::optional<std::string> readAtMost(std::istream& in, std::size_t limit) {
    std::string bytes;
    constexpr std::size_t kChunk = 64 * 1024;
    std::streambuf* buffer = in.rdbuf();
    while (bytes.size() <= limit) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kChunk);
        const std::streamsize got = buffer->sgetn(bytes.data() + at, kChunk);
        bytes.resize(at + static_cast<std::size_t>(std::max<std::streamsize>(got, 0)));
        if (got <= 0) return bytes;
    }
    return std::nullopt;
}

}  // namespace quiz
