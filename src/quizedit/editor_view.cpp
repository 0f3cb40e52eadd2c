// The window showing the model: the form, the lists, the title, the actions,
// the player's view; and going to a place of the quiz.
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>

#include "quizedit/editor_window.h"
#include "quizedit/pages.h"
#include "quizedit/text_page.h"

namespace quizedit {

namespace {

constexpr int kFirstWords = 48;  // characters of a question shown in the list


// The question's first words for the list.
QString firstWords(const quiz::DocQuestion& question) {
    QString text = fromUtf8(joinLines(question.lines)).simplified();
    if (text.isEmpty()) return QStringLiteral("(нет текста)");
    if (text.size() > kFirstWords) text = text.left(kFirstWords - 1).trimmed() + QStringLiteral("…");
    return text;
}

}  // namespace

void EditorWindow::changed() {
    ++edits_;
    question_ = std::clamp(question_, 0, static_cast<int>(model_.document().questions.size()) - 1);
    quizPage_->showModel(model_);
    questionPage_->showQuestion(model_, question_);
    showQuestionList();
    updateTitle();
    updateActions();
    updateTimer_.start();
}

void EditorWindow::flush() {
    updateTimer_.stop();
    found_ = findProblems(model_.document(), measure_);
    showProblems();
    showQuestionList();
    showPlayer();
}

void EditorWindow::showQuestionList() {
    const std::vector<quiz::DocQuestion>& questions = model_.document().questions;
    const QSignalBlocker block(list_);
    while (list_->count() > static_cast<int>(questions.size())) delete list_->takeItem(list_->count() - 1);
    while (list_->count() < static_cast<int>(questions.size())) list_->addItem(QString());
    for (int q = 0; q < list_->count(); ++q) {
        const bool problem = found_.inQuestion(q);
        const QString text = QStringLiteral("%1. %2%3").arg(q + 1).arg(firstWords(questions[static_cast<std::size_t>(q)]))
                                 .arg(problem ? QStringLiteral("  ⚠") : QString());
        QListWidgetItem* item = list_->item(q);
        if (item->text() != text) item->setText(text);
        item->setToolTip(problem ? QStringLiteral("Есть проблема: см. список проблем") : QString());
    }
    list_->setCurrentRow(question_);
}

void EditorWindow::showProblems() {
    problems_->clear();
    for (const Problem& problem : found_.list) {
        auto* item = new QListWidgetItem(QString::fromUtf8(problem.error ? "Ошибка: " : "Предупреждение: ") +
                                         fromUtf8(problem.message), problems_);
        item->setIcon(style()->standardIcon(problem.error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning));
    }
    if (found_.list.empty()) problems_->addItem(QStringLiteral("Проблем не найдено."));
    summary_->setText(fromUtf8(found_.summary));
}

Screen EditorWindow::currentScreen() const {
    if (tabs_->currentIndex() == 1) return {Screen::Kind::Question, question_};
    return {verdictsFocused_ ? Screen::Kind::Results : Screen::Kind::Introduction, 0};
}

void EditorWindow::showPlayer() {
    view_->showScreen(model_.document(), currentScreen());
    viewTitle_->setText(view_->gameTitle().isEmpty() ? QString()
                                                     : QStringLiteral("Заголовок окна: ") + view_->gameTitle());
}

void EditorWindow::updateTitle() {
    const QString name = path_.isEmpty() ? QStringLiteral("Новая викторина") : fileName();
    setWindowTitle(name + QStringLiteral("[*] — Редактор викторин"));
    setWindowModified(inTextMode() ? isWindowModified() : model_.modified());
}

void EditorWindow::updateActions() {
    const bool form = !inTextMode();
    const int count = static_cast<int>(model_.document().questions.size());
    action("undo")->setEnabled(form && model_.canUndo());
    action("redo")->setEnabled(form && model_.canRedo());
    for (const char* name : {"add", "insert", "duplicate", "quiz", "nextProblem", "previous", "next", "right0",
                             "right1", "right2", "right3", "windows1251", "utf8", "play"})
        action(name)->setEnabled(form);
    action("remove")->setEnabled(form && count > 1);
    action("up")->setEnabled(form && question_ > 0);
    action("down")->setEnabled(form && question_ + 1 < count);
    action("windows1251")->setChecked(model_.document().encoding == quiz::Encoding::Windows1251);
    action("utf8")->setChecked(model_.document().encoding == quiz::Encoding::Utf8);
}

bool EditorWindow::inTextMode() const { return stack_->currentWidget() == textPage_; }

void EditorWindow::chooseQuestion(int question) {
    question_ = std::clamp(question, 0, static_cast<int>(model_.document().questions.size()) - 1);
    model_.closeStep();
    questionPage_->showQuestion(model_, question_);
    tabs_->setCurrentIndex(1);
    showQuestionList();
    updateActions();
    showPlayer();
}

void EditorWindow::goTo(const Field& field, int line) {
    if (field.kind == Field::Kind::QuestionText || field.kind == Field::Kind::Answer) {
        chooseQuestion(field.question);
        questionPage_->focusField(field, line);
        return;
    }
    tabs_->setCurrentIndex(0);
    quizPage_->focusField(field, line);
}

void EditorWindow::goToProblem(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= found_.list.size()) return;
    const quiz::DocPlace& place = found_.list[static_cast<std::size_t>(index)].place;
    using quiz::LinePart;
    const int rows = static_cast<int>(model_.document().verdicts.size());
    const int lastQuestion = static_cast<int>(model_.document().questions.size()) - 1;
    switch (place.part) {
        case LinePart::Title:
            return goTo({Field::Kind::Title}, 0);
        case LinePart::Introduction:
            return goTo({Field::Kind::Introduction}, place.line);
        case LinePart::IntroductionEnd:
            return goTo({Field::Kind::Introduction}, static_cast<int>(model_.document().introduction.size()));
        case LinePart::Verdict:
            return goTo({Field::Kind::Verdict, -1, place.item}, 0);
        case LinePart::MinimumScore:
            return goTo({Field::Kind::Minimum, -1, place.item}, 0);
        case LinePart::LevelTableEnd:
            return goTo({Field::Kind::Verdict, -1, std::min(rows, kVerdictRows - 1)}, 0);
        case LinePart::QuestionText:
        case LinePart::QuestionTextEnd:
            return goTo({Field::Kind::QuestionText, place.question}, place.line);
        case LinePart::AnswerText:
        case LinePart::AnswerMarker:
            return goTo({Field::Kind::Answer, place.question, place.item}, place.line);
        case LinePart::Trailing:
            return goTo({Field::Kind::QuestionText, lastQuestion}, 0);
    }
}

}  // namespace quizedit
