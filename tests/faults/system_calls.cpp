#include "faults/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <optional>

namespace faults {
namespace {

struct Armed {
    std::optional<Injection> injection;
    int hits = 0;
    int temporaryFd = -1;  // the counter's temporary file while it is open
    bool partWritten = false;
};

Armed& armed() {
    static Armed state;
    return state;
}

bool isTemporaryName(const char* name) { return std::strstr(name, "/.tet0.txt.") != nullptr; }

bool isFolder(int fd) {
    struct stat s {};
    return ::fstat(fd, &s) == 0 && S_ISDIR(s.st_mode);
}

// Whether `call` on `fd` is to fail now; counts the hit.
bool strikes(Call call, bool concernsCounter) {
    Armed& a = armed();
    if (!a.injection || a.injection->call != call || !concernsCounter) return false;
    if (a.injection->once && a.hits > 0) return false;
    ++a.hits;
    return true;
}

int fail(int error) {
    errno = error;
    return -1;
}

}  // namespace

void arm(const Injection& injection) {
    armed().injection = injection;
    armed().hits = 0;
    armed().partWritten = false;
}

void disarm() { armed().injection.reset(); }

int hits() { return armed().hits; }

}  // namespace faults

using faults::Call;

// The real calls go to the kernel directly or to other entry points of the C
// library, so that these definitions never call themselves.
extern "C" {

int open(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    if (faults::strikes(Call::CreateUnnamed, unnamed) ||
        faults::strikes(Call::CreateTemporary, unnamed)) {
        return faults::fail(faults::armed().injection->error);
    }
    const int fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
    if (fd >= 0 && unnamed) faults::armed().temporaryFd = fd;
    return fd;
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    if (faults::strikes(Call::Link, faults::isTemporaryName(to))) {
        return faults::fail(faults::armed().injection->error);
    }
    return static_cast<int>(::syscall(SYS_linkat, fromFolder, from, toFolder, to, flags));
}

int mkstemp(char* name) {
    if (faults::isTemporaryName(name) && faults::strikes(Call::CreateTemporary, true)) {
        return faults::fail(faults::armed().injection->error);
    }
    const int fd = ::mkostemp(name, 0);
    if (fd >= 0 && faults::isTemporaryName(name)) faults::armed().temporaryFd = fd;
    return fd;
}

int fchmod(int fd, mode_t mode) {
    if (faults::strikes(Call::SetMode, fd == faults::armed().temporaryFd)) {
        return faults::fail(faults::armed().injection->error);
    }
    return static_cast<int>(::syscall(SYS_fchmod, fd, mode));
}

ssize_t write(int fd, const void* bytes, size_t size) {
    faults::Armed& a = faults::armed();
    if (fd == a.temporaryFd && a.injection && a.injection->call == Call::Write &&
        a.injection->bytesBefore > 0 && !a.partWritten) {
        a.partWritten = true;
        const size_t part = std::min(size, static_cast<size_t>(a.injection->bytesBefore));
        return ::syscall(SYS_write, fd, bytes, part);
    }
    if (faults::strikes(Call::Write, fd == a.temporaryFd)) return faults::fail(a.injection->error);
    return ::syscall(SYS_write, fd, bytes, size);
}

int fsync(int fd) {
    faults::Armed& a = faults::armed();
    if (faults::strikes(Call::Flush, fd == a.temporaryFd) ||
        faults::strikes(Call::FlushFolder, fd != a.temporaryFd && faults::isFolder(fd))) {
        return faults::fail(a.injection->error);
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

int close(int fd) {
    faults::Armed& a = faults::armed();
    const bool temporary = fd == a.temporaryFd;
    if (temporary) a.temporaryFd = -1;
    const int result = static_cast<int>(::syscall(SYS_close, fd));
    // Like the kernel's own failure of close, the descriptor is gone either way.
    if (faults::strikes(Call::Close, temporary)) return faults::fail(a.injection->error);
    return result;
}

int rename(const char* from, const char* to) {
    const std::size_t length = std::strlen(to);
    const bool overCounter = length >= 9 && std::strcmp(to + length - 9, "/tet0.txt") == 0;
    if (faults::strikes(Call::Rename, overCounter && faults::isTemporaryName(from))) {
        return faults::fail(faults::armed().injection->error);
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

}  // extern "C"
