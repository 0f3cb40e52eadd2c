// The commands of the menus Правка, Вопрос and Справка.
#include <QListWidget>

#include "quizedit/editor_window.h"
#include "quizedit/manual.h"

namespace quizedit {

QMessageBox::StandardButton EditorWindow::ask(QMessageBox::Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons) {
    if (asker_) return asker_(icon, text, buttons);
    QMessageBox box(icon, QStringLiteral("Редактор викторин"), text, buttons, this);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void EditorWindow::undo() {
    if (!model_.canUndo()) return;
    const Field field = model_.undo();
    if (field.question >= 0) question_ = field.question;
    changed();
    goTo(field, 0);
}

void EditorWindow::redo() {
    if (!model_.canRedo()) return;
    const Field field = model_.redo();
    if (field.question >= 0) question_ = field.question;
    changed();
    goTo(field, 0);
}

void EditorWindow::addQuestion() {
    const int at = static_cast<int>(model_.document().questions.size());
    model_.insertQuestion(at);
    question_ = at;
    changed();
    goTo({Field::Kind::QuestionText, at}, 0);
}

void EditorWindow::insertQuestion() {
    model_.insertQuestion(question_);
    changed();
    goTo({Field::Kind::QuestionText, question_}, 0);
}

void EditorWindow::duplicateQuestion() {
    model_.duplicateQuestion(question_);
    ++question_;
    changed();
    goTo({Field::Kind::QuestionText, question_}, 0);
}

void EditorWindow::removeQuestion() {
    if (model_.document().questions.size() <= 1) return;
    model_.removeQuestion(question_);
    changed();
    chooseQuestion(question_);
}

void EditorWindow::moveUp() {
    if (question_ <= 0) return;
    model_.moveQuestion(question_, question_ - 1);
    --question_;
    changed();
}

void EditorWindow::moveDown() {
    if (question_ + 1 >= static_cast<int>(model_.document().questions.size())) return;
    model_.moveQuestion(question_, question_ + 1);
    ++question_;
    changed();
}

void EditorWindow::previousQuestion() { goTo({Field::Kind::QuestionText, std::max(0, question_ - 1)}, 0); }

void EditorWindow::nextQuestion() { goTo({Field::Kind::QuestionText, question_ + 1}, 0); }

void EditorWindow::makeRight(int answer) {
    model_.setRight(question_, answer);
    changed();
}

void EditorWindow::showQuiz() { goTo({Field::Kind::Title}, 0); }

void EditorWindow::nextProblem() {
    flush();
    if (found_.list.empty()) return;
    const int next = (problems_->currentRow() + 1) % static_cast<int>(found_.list.size());
    problems_->setCurrentRow(next);
    goToProblem(next);
}

void EditorWindow::showManual() { quizedit::showManual(this); }

void EditorWindow::showAbout() {
    QMessageBox::about(this, QStringLiteral("О программе"),
                       QStringLiteral("Редактор викторин (quizedit), версия " QUIZ_VERSION
                                      ".\nПишет викторины для игры «Лестница вопросов»: "
                                      "вопросы, ответы и оценки в форме, как их увидит игрок."));
}

}  // namespace quizedit
