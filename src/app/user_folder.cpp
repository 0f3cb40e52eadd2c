#include "app/user_folder.h"

#include <unistd.h>

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "quiz/counter.h"

namespace fs = std::filesystem;

namespace app {

namespace {

// The counter and the three quizzes it rotates.
const std::vector<std::string> kPlayFiles{quiz::kCounterFileName, quiz::quizFileName(1),
                                          quiz::quizFileName(2), quiz::quizFileName(3)};

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
    for (const std::string& name : kPlayFiles) {
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

    for (const std::string& name : kPlayFiles) {
        const fs::path target = folder / name;
        if (fs::exists(target, error)) continue;
        const fs::path part = folder / ("." + name + "." + std::to_string(::getpid()));
        fs::copy_file(installed / name, part, fs::copy_options::overwrite_existing, error);
        if (!error) fs::permissions(part, fs::perms::owner_read | fs::perms::owner_write,
                                    fs::perm_options::add, error);
        if (!error) fs::rename(part, target, error);
        if (error) {
            std::error_code ignored;
            fs::remove(part, ignored);
            fail("Не удалось скопировать " + name + " в папку игры " + folder.string(), error);
        }
    }
}

}  // namespace app
