// Measuring texts as the game's window shows them, for the tools that check
// quizzes (quizcheck, quizedit): with the window's own fonts and sizes, on the
// offscreen platform unless another is chosen, so no display is needed.
#pragma once

#include <memory>

#include "quizcheck/quiz_check.h"

class QGuiApplication;

namespace quizcheck {

class WindowMeasure {
public:
    // Makes the toolkit's application object; keep it alive while checking.
    WindowMeasure(int& argc, char** argv);
    ~WindowMeasure();
    WindowMeasure(const WindowMeasure&) = delete;
    WindowMeasure& operator=(const WindowMeasure&) = delete;

    // Check options that measure with the window's own fitting.
    CheckOptions options() const { return measureOptions(); }
    // The same, for a program that has made its own application object.
    static CheckOptions measureOptions();

private:
    std::unique_ptr<QGuiApplication> application_;
};

}  // namespace quizcheck
