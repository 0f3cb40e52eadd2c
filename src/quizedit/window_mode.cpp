#include "quizedit/window_mode.h"

#include <QApplication>
#include <QStatusBar>
#include <cstdlib>

#include "quizcheck/window_measure.h"
#include "quizedit/editor_window.h"

namespace quizedit {

namespace {

// The session that keeps recovery copies, or none (said in the status bar)
// when the user's folder cannot hold them.
std::unique_ptr<RecoverySession> startRecovery(QString& problem) {
    const auto folder = recoveryFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!folder) {
        problem = QStringLiteral("не задана переменная HOME");
        return nullptr;
    }
    auto started = RecoverySession::start(*folder);
    if (auto* session = std::get_if<std::unique_ptr<RecoverySession>>(&started)) return std::move(*session);
    problem = QString::fromStdString(std::get<std::string>(started));
    return nullptr;
}

}  // namespace

int openWindow(int& argc, char** argv, const std::optional<std::string>& file) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quizedit"));
    QApplication::setApplicationDisplayName(QStringLiteral("Редактор викторин"));
    QApplication::setDesktopFileName(QStringLiteral("quizedit"));
    const quizcheck::CheckOptions measure = quizcheck::WindowMeasure::measureOptions();
    QString problem;
    EditorWindow window(measure, startRecovery(problem));
    window.show();
    if (!problem.isEmpty()) {
        window.statusBar()->showMessage(QStringLiteral("Копии для восстановления не сохраняются: ") + problem);
    }
    const bool restored = window.offerRecovery();
    if (file && !restored) window.openFile(QString::fromLocal8Bit(file->c_str()));
    return QApplication::exec();
}

}  // namespace quizedit
