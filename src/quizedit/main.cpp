// quizedit: writes quizzes. Without a window it converts spreadsheets, Aiken
// and GIFT files and quiz files (--convert); help, version and usage
// mistakes need no display.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "quizcheck/window_measure.h"
#include "quizedit/command_line.h"
#include "quizedit/window_mode.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        const auto parsed = quizedit::parseCommandLine(args, std::cout, std::cerr);
        if (const int* status = std::get_if<int>(&parsed)) return *status;
        const quizedit::Command& command = std::get<quizedit::Command>(parsed);
        if (command.mode == quizedit::Command::Mode::Window) {
            return quizedit::openWindow(argc, argv, command.file);
        }
        const quizcheck::WindowMeasure measure(argc, argv);
        std::error_code error;
        std::filesystem::path folder = std::filesystem::current_path(error);
        if (error) folder = ".";
        return quizedit::runConvert(command, folder, std::cout, measure.options());
    } catch (const std::exception& e) {
        std::cout << "quizedit: ошибка: " << e.what() << std::endl;
    }
    return quizedit::kExitProblems;
}
