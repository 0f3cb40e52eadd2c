// Faults that rest on permissions, made real for root too. The tests run as
// root in CI, and root passes over permission bits; so such a test drops the
// capabilities that let root do so from its thread for the moment of the
// fault, and checks that the fault really holds before relying on it.
#pragma once

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace faults {

// Actions that lift the faults again, run in reverse order when it goes.
class Undo {
public:
    Undo() = default;
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;
    ~Undo() {
        for (auto it = actions_.rbegin(); it != actions_.rend(); ++it) (*it)();
    }
    void add(std::function<void()> action) { actions_.push_back(std::move(action)); }

private:
    std::vector<std::function<void()>> actions_;
};

inline constexpr unsigned kOverrides[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

// Removes from this thread's effective capabilities those that let root pass
// over permission bits and the sticky bit. They stay permitted, so Undo can
// take them back. Returns why that failed, or "".
inline std::string dropOverrides(Undo& undo) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, 2> saved{};
    if (::syscall(SYS_capget, &header, saved.data()) != 0) {
        return std::string("capget: ") + std::strerror(errno);
    }
    std::array<__user_cap_data_struct, 2> lowered = saved;
    for (const unsigned cap : kOverrides) lowered[cap / 32].effective &= ~(1u << (cap % 32));
    if (::syscall(SYS_capset, &header, lowered.data()) != 0) {
        return std::string("capset: ") + std::strerror(errno);
    }
    undo.add([header, saved]() mutable { ::syscall(SYS_capset, &header, saved.data()); });
    return "";
}

inline bool canCreateIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / ".probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

}  // namespace faults
