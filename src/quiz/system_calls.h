// read() and write() on a file descriptor, again when a signal interrupts them.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string_view>

namespace quiz {

// read(): the bytes read, 0 at the end, -1 with errno on a failure.
ssize_t readSome(int fd, char* out, std::size_t count);

// Writes all of `bytes`; false (errno tells why) when the file takes no more.
bool writeAll(int fd, std::string_view bytes);

}  // namespace quiz
