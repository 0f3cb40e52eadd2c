#include "quiz/system_calls.h"

#include <unistd.h>

#include <cerrno>

namespace quiz {

ssize_t readSome(int fd, char* out, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(fd, out, count);
        if (got >= 0 || errno != EINTR) return got;
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

}  // namespace quiz
