#include "quizcheck/window_measure.h"

#include <QGuiApplication>

#include "window/text_fit.h"

namespace quizcheck {

WindowMeasure::WindowMeasure(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit's own notes (a missing runtime folder...) are no findings of a check.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    application_ = std::make_unique<QGuiApplication>(argc, argv);
}

WindowMeasure::~WindowMeasure() = default;

CheckOptions WindowMeasure::measureOptions() {
    CheckOptions options;
    options.measure = [](std::string_view control, std::string_view utf8) {
        switch (window::textFit(control, utf8)) {
            case window::Fit::AsDesigned:
                return TextFit::AsDesigned;
            case window::Fit::Shrunk:
                return TextFit::Shrunk;
            case window::Fit::Elided:
                break;
        }
        return TextFit::Elided;
    };
    return options;
}

}  // namespace quizcheck
