#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "quizcheck/command_line.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code error;
    std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) folder = ".";
    return quizcheck::run(args, folder, std::cout, std::cerr);
}
