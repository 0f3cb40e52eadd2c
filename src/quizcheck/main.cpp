// quizcheck: checks quiz files as the game reads them.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "quizcheck/command_line.h"
#include "quizcheck/window_measure.h"

int main(int argc, char** argv) {
    // Whatever goes wrong, the report says so and the status is 1: never an abort.
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        const quizcheck::WindowMeasure measure(argc, argv);
        std::error_code error;
        std::filesystem::path folder = std::filesystem::current_path(error);
        if (error) folder = ".";
        return quizcheck::run(args, folder, std::cout, std::cerr, measure.options());
    } catch (const std::exception& e) {
        std::cout << "quizcheck: ошибка: " << e.what() << std::endl;
    } catch (...) {
        std::cout << "quizcheck: ошибка" << std::endl;
    }
    return quizcheck::kExitErrors;
}
