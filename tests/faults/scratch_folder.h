// A temporary folder for tests that step the counter many times: each step
// flushes the counter to disk, which costs milliseconds on a disk and nothing
// on a memory-backed file system.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace faults {

enum class Medium { Memory, Disk };

class ScratchFolder {
public:
    // Memory: under /dev/shm when it is a folder this process can write,
    // otherwise in the system's temporary folder, as Disk always is.
    explicit ScratchFolder(Medium medium) {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (medium == Medium::Memory && ::access("/dev/shm", W_OK | X_OK) == 0) base = "/dev/shm";
        std::string pattern = (base / "quizladder-faults-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed in " + base.string());
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace faults
