#include "quiz/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "quiz/system_calls.h"

namespace quiz {

namespace {

// Closes a descriptor when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

std::string because(const std::string& what) { return what + ": " + std::strerror(errno); }

// A new file beside the target, named after it so that it is found if left
// behind; its name goes in `name`.
int createTemporary(int folder, const std::string& target, std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = "." + target + "." + std::to_string(random() % 1000000000u) + ".tmp";
        const int fd = ::openat(folder, name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes, keeps the permissions that apply, flushes and renames; the reason
// when any of it fails.
std::string replace(int folder, const std::string& target, std::string_view bytes) {
    struct stat old {};
    const bool exists = ::fstatat(folder, target.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(old.st_mode)) return "это папка, а не файл";
    std::string temporary;
    Descriptor file{createTemporary(folder, target, temporary)};
    if (file.fd < 0) return because("не удалось создать временный файл в папке");
    const bool keepMode = exists && S_ISREG(old.st_mode) && old.st_uid == ::geteuid();
    std::string failure;
    if (!writeAll(file.fd, bytes)) {
        failure = because("не удалось записать файл");
    } else if (keepMode && ::fchmod(file.fd, old.st_mode & 07777) != 0) {
        failure = because("не удалось задать права файла");
    } else if (::fsync(file.fd) != 0) {
        failure = because("не удалось сохранить файл на диск");
    } else if (::renameat(folder, temporary.c_str(), folder, target.c_str()) != 0) {
        failure = because("не удалось заменить файл");
    }
    if (!failure.empty()) {
        ::unlinkat(folder, temporary.c_str(), 0);
        return failure;
    }
    ::fsync(folder);  // the rename itself reaches the disk
    return {};
}

}  // namespace

std::string writeFileWhole(const std::filesystem::path& path, std::string_view bytes) {
    const std::string target = path.filename().string();
    if (target.empty() || target == "." || target == "..") return "не указано имя файла";
    const std::filesystem::path folderPath = path.has_parent_path() ? path.parent_path() : ".";
    const Descriptor folder{::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd < 0) return because("не удалось открыть папку «" + folderPath.string() + "»");
    return replace(folder.fd, target, bytes);
}

std::string writeFileWholeAt(int folder, const std::string& name, std::string_view bytes) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return "не указано имя файла";
    return replace(folder, name, bytes);
}

}  // namespace quiz
