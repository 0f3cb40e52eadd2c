// quizcheck: checks quiz files as the game reads them. Texts are measured with
// the window's own fonts and sizes, on the offscreen platform unless another
// is chosen, so the tool needs no display.
#include <QGuiApplication>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "quizcheck/command_line.h"
#include "window/text_fit.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit's own notes (a missing runtime folder...) are no findings of the check.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    std::error_code error;
    std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) folder = ".";
    quizcheck::CheckOptions options;
    options.measure = [](std::string_view control, std::string_view utf8) {
        switch (window::textFit(control, utf8)) {
        case window::Fit::AsDesigned: return quizcheck::TextFit::AsDesigned;
        case window::Fit::Shrunk: return quizcheck::TextFit::Shrunk;
        case window::Fit::Elided: break;
        }
        return quizcheck::TextFit::Elided;
    };
    return quizcheck::run(args, folder, std::cout, std::cerr, options);
}
