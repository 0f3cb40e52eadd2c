// The window's files: new, open, import, save, play, and the recovery copies.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>

#include "quiz/file_write.h"
#include "quizedit/editor_window.h"
#include "quizedit/pages.h"
#include "quizedit/text_page.h"

namespace quizedit {

namespace {

// The names the game plays, in the order the counter rotates them.
const QStringList kPlayedNames = {QStringLiteral("test1.txt"), QStringLiteral("test2.txt"),
                                  QStringLiteral("test3.txt")};


QString writeProblems(const quiz::Written& written) {
    QString text;
    for (const quiz::WriteProblem& p : written.problems) {
        if (p.error) text += QStringLiteral("\n• ") + fromUtf8(quiz::describe(p.place) + ": " + p.message);
    }
    return text;
}

}  // namespace

QString EditorWindow::fileName() const { return QFileInfo(path_).fileName(); }

QString EditorWindow::folder(bool save) const {
    const QString own = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
    if (!own.isEmpty() && (!save || QFileInfo(own).isWritable())) return own;
    // The folder where the game started from the menu plays, when there is one;
    // to open, the bundled quizzes installed beside the program otherwise.
    const QString games = QDir::homePath() + QStringLiteral("/.local/share/quizladder");
    if (QFileInfo(games).isDir()) return games;
    const QString bundled = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/quizladder/quizzes");
    if (!save && QFileInfo(bundled).isDir()) return QDir(bundled).absolutePath();
    return QDir::homePath();
}

QString EditorWindow::chooseFile(bool save, const QString& name, const QStringList& filters) {
    if (chooser_) return chooser_(save, folder(save), name, filters);
    QFileDialog dialog(this, save ? QStringLiteral("Сохранить викторину") : QStringLiteral("Открыть"), folder(save));
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The editor asks before replacing a file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!name.isEmpty()) dialog.selectFile(name);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                   : QString();
}

void EditorWindow::startEditing(quiz::QuizDocument document, const QString& path, bool saved) {
    model_ = EditModel(std::move(document));
    if (!saved) model_.markUnsaved();
    path_ = path;
    question_ = 0;
    stack_->setCurrentIndex(0);
    tabs_->setCurrentIndex(0);
    changed();
    flush();
}

void EditorWindow::startMending(const QuizText& text, const QString& path, bool saved) {
    path_ = path;
    textPage_->start(text, QFileInfo(path).fileName());
    stack_->setCurrentWidget(textPage_);
    summary_->setText(QStringLiteral("кодировка ") +
                      QString::fromUtf8(quiz::encodingName(text.format.encoding).data()) +
                      QStringLiteral(", игра файл не читает: исправьте его"));
    ++edits_;
    updateTitle();
    setWindowModified(!saved);
    updateActions();
    textPage_->editor()->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::continueInForm() {
    if (!textPage_->quiz()) return;
    startEditing(*textPage_->quiz(), path_, !isWindowModified());
}

bool EditorWindow::openFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const Opened opened = openQuizFile(path.toStdString(), name.toStdString());
    if (opened.document) {
        startEditing(*opened.document, path, true);
        return true;
    }
    if (opened.text) {
        startMending(*opened.text, path, true);
        return true;
    }
    ask(QMessageBox::Critical, QStringLiteral("Не удалось открыть «%1»: %2").arg(name, fromUtf8(opened.failure)),
        QMessageBox::Ok);
    return false;
}

bool EditorWindow::importFile(const QString& path) {
    const Imported imported = quizedit::importFile(path.toStdString());
    if (!imported.document) {
        ask(QMessageBox::Warning, QStringLiteral("Не удалось импортировать «%1»: в файле ошибки, ничего не взято.\n\n%2")
                                      .arg(QFileInfo(path).fileName(), fromUtf8(imported.report)),
            QMessageBox::Ok);
        return false;
    }
    startEditing(*imported.document, QString(), false);
    ask(QMessageBox::Information,
        QStringLiteral("Импортировано: %1\nЗаголовок, вступление и оценки заполнены для примера: измените их "
                       "на странице «Викторина» и сохраните викторину.").arg(fromUtf8(imported.report).trimmed()),
        QMessageBox::Ok);
    return true;
}

void EditorWindow::newFile() {
    if (maybeSave()) startEditing(newQuiz(), QString(), true);
}

void EditorWindow::open() {
    if (!maybeSave()) return;
    const QString path = chooseFile(false, QString(), {QStringLiteral("Викторины (*.txt)"), QStringLiteral("Все файлы (*)")});
    if (!path.isEmpty()) openFile(path);
}

void EditorWindow::importAny() {
    if (!maybeSave()) return;
    const QString path = chooseFile(false, QString(),
                                    {QStringLiteral("Таблицы, Aiken и GIFT (*.csv *.tsv *.txt *.gift)"),
                                     QStringLiteral("Все файлы (*)")});
    if (!path.isEmpty()) importFile(path);
}

bool EditorWindow::writeQuiz(const QString& path, const std::string& bytes) {
    const std::string failure = quiz::writeFileWhole(path.toStdString(), bytes);
    if (failure.empty()) return true;
    ask(QMessageBox::Critical,
        QStringLiteral("Не удалось сохранить «%1»: %2.\nФайл остался прежним.").arg(QFileInfo(path).fileName(),
                                                                                    fromUtf8(failure)),
        QMessageBox::Ok);
    return false;
}

bool EditorWindow::saveTo(const QString& path) {
    std::string bytes;
    if (inTextMode()) {
        const Bytes encoded = encodeText(textPage_->text().toStdString(), textPage_->format());
        if (!encoded.ok()) {
            ask(QMessageBox::Warning, QStringLiteral("Викторину нельзя сохранить: %1.").arg(fromUtf8(encoded.problem)),
                QMessageBox::Ok);
            return false;
        }
        bytes = encoded.bytes;
    } else {
        const quiz::Written written = model_.written();
        if (!written.ok()) {
            ask(QMessageBox::Warning,
                QStringLiteral("Викторину нельзя сохранить так, чтобы игра её прочла:%1").arg(writeProblems(written)),
                QMessageBox::Ok);
            return false;
        }
        bytes = written.bytes;
    }
    if (!writeQuiz(path, bytes)) return false;
    path_ = path;
    if (inTextMode()) {
        setWindowModified(false);
    } else {
        model_.markSaved();
    }
    if (recovery_) recovery_->discard();
    recoveredAt_ = edits_;
    updateTitle();
    statusBar()->showMessage(QStringLiteral("Сохранено: ") + path, 5000);
    return true;
}

void EditorWindow::save() {
    if (path_.isEmpty()) {
        saveAs();
    } else {
        saveTo(path_);
    }
}

void EditorWindow::saveAs() {
    QString name = fileName();
    if (name.isEmpty()) {
        // The first of the names the game plays that the folder does not hold yet.
        name = kPlayedNames.front();
        for (const QString& played : kPlayedNames) {
            if (!QFileInfo::exists(folder(true) + QLatin1Char('/') + played)) {
                name = played;
                break;
            }
        }
    }
    const QString path = chooseFile(true, name,
                                    {QStringLiteral("Викторины, которые играет игра (test1.txt test2.txt test3.txt)"),
                                     QStringLiteral("Викторины (*.txt)"), QStringLiteral("Все файлы (*)")});
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && QFileInfo(path) != QFileInfo(path_) &&
        ask(QMessageBox::Question, QStringLiteral("Файл «%1» уже есть. Заменить его?").arg(QFileInfo(path).fileName()),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    saveTo(path);
}

void EditorWindow::useWindows1251() {
    model_.setEncoding(quiz::Encoding::Windows1251);
    changed();
}

void EditorWindow::useUtf8() {
    model_.setEncoding(quiz::Encoding::Utf8);
    changed();
}

void EditorWindow::play() {
    if (inTextMode()) return;
    QString path = path_;
    if (path.isEmpty() || model_.modified()) {
        const quiz::Written written = model_.written();
        if (!written.ok()) {
            ask(QMessageBox::Warning, QStringLiteral("Игра не прочтёт викторину в таком виде:%1").arg(writeProblems(written)),
                QMessageBox::Ok);
            return;
        }
        if (!playFolder_.isValid()) {
            ask(QMessageBox::Critical, QStringLiteral("Не удалось создать временную папку для игры: %1")
                                           .arg(playFolder_.errorString()), QMessageBox::Ok);
            return;
        }
        // The game plays a copy of the quiz as it stands, in a folder of this editor's own.
        path = playFolder_.filePath(path_.isEmpty() ? kPlayedNames.front() : fileName());
        if (!writeQuiz(path, written.bytes)) return;
    }
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/quizladder");
    const QString program = QFileInfo(beside).isExecutable() ? beside : QStringLiteral("quizladder");
    const Starter start = starter_ ? starter_ : [](const QString& name, const QStringList& arguments) {
        return QProcess::startDetached(name, arguments);
    };
    if (!start(program, {path})) {
        ask(QMessageBox::Critical, QStringLiteral("Не удалось запустить игру (quizladder)."), QMessageBox::Ok);
    }
}

bool EditorWindow::maybeSave() {
    const bool unsaved = inTextMode() ? isWindowModified() : model_.modified();
    if (!unsaved) return true;
    const QString name = path_.isEmpty() ? QStringLiteral("новой викторине") : QStringLiteral("«%1»").arg(fileName());
    switch (ask(QMessageBox::Question, QStringLiteral("Изменения в %1 не сохранены. Сохранить их?").arg(name),
                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel)) {
        case QMessageBox::Save:
            save();
            return inTextMode() ? !isWindowModified() : !model_.modified();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

bool EditorWindow::writeRecovery() {
    if (!recovery_ || edits_ == recoveredAt_) return false;
    recoveredAt_ = edits_;
    const bool unsaved = inTextMode() ? isWindowModified() : model_.modified();
    if (!unsaved) {
        recovery_->discard();
        return false;
    }
    Recovered copy;
    if (inTextMode()) {
        copy = {true, textPage_->format(), path_.toStdString(), textPage_->text().toStdString()};
    } else {
        copy = recoveryOf(model_.document(), path_.toStdString());
    }
    const std::string failure = recovery_->write(copy);
    if (!failure.empty()) statusBar()->showMessage(QStringLiteral("Не удалось записать копию для восстановления: ") + fromUtf8(failure));
    return failure.empty();
}

void EditorWindow::restore(const Recovered& copy) {
    const QString path = fromUtf8(copy.path);
    if (copy.text) {
        startMending({copy.content, copy.format}, path, false);
    } else if (const std::optional<quiz::QuizDocument> document = recoveredQuiz(copy)) {
        startEditing(*document, path, false);
    } else {
        startMending(decodeText(copy.content), path, false);
    }
}

bool EditorWindow::offerRecovery() {
    if (!recovery_) return false;
    for (const RecoverySession::Orphan& orphan : recovery_->orphans()) {
        const QString name = orphan.copy.path.empty() ? QStringLiteral("новая викторина")
                                                       : QStringLiteral("«%1»").arg(fromUtf8(orphan.copy.path));
        const auto answer = ask(QMessageBox::Question,
                                QStringLiteral("Редактор закрылся, не сохранив изменения (%1). Восстановить их?\n"
                                               "«Нет» удалит эту копию.").arg(name),
                                QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes) {
            restore(orphan.copy);
            recovery_->forget(orphan.id);
            writeRecovery();
            return true;
        }
        recovery_->forget(orphan.id);
    }
    return false;
}

}  // namespace quizedit
