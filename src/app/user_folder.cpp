#include "app/user_folder.h"

#include <unistd.h>

#include <array>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace app {

namespace {

constexpr std::array<const char*, 4> kPlayFiles{"tet0.txt", "test1.txt", "test2.txt", "test3.txt"};

[[noreturn]] void fail(const std::string& what, const std::error_code& error) {
    throw std::runtime_error(what + ": " + error.message());
}

}  // namespace

fs::path userFolder(const char* xdgDataHome, const char* home) {
    // The XDG rules ignore a relative XDG_DATA_HOME.
    if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) {
        return fs::path(xdgDataHome) / "quizladder";
    }
    if (home == nullptr || *home == '\0') {
        throw std::runtime_error("Не задана переменная HOME: некуда положить папку игры");
    }
    return fs::path(home) / ".local" / "share" / "quizladder";
}

void fillPlayFolder(const fs::path& folder, const fs::path& installed) {
    for (const char* name : kPlayFiles) {
        if (!fs::is_regular_file(installed / name)) {
            throw std::runtime_error("Не найдены викторины игры: нет файла " +
                                     (installed / name).string());
        }
    }
    const std::string where = "Не удалось подготовить папку игры " + folder.string();
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) fail(where, error);
    if (!fs::is_directory(folder)) fail(where, std::make_error_code(std::errc::not_a_directory));
    if (::access(folder.c_str(), W_OK | X_OK) != 0) fail(where, {errno, std::generic_category()});

    for (const char* name : kPlayFiles) {
        const fs::path target = folder / name;
        if (fs::exists(target, error)) continue;
        const fs::path part = folder / ("." + std::string(name) + "." + std::to_string(::getpid()));
        fs::copy_file(installed / name, part, fs::copy_options::overwrite_existing, error);
        if (!error) fs::permissions(part, fs::perms::owner_read | fs::perms::owner_write,
                                    fs::perm_options::add, error);
        if (!error) fs::rename(part, target, error);
        if (error) {
            std::error_code ignored;
            fs::remove(part, ignored);
            fail("Не удалось скопировать " + std::string(name) + " в папку игры " + folder.string(),
                 error);
        }
    }
}

}  // namespace app
