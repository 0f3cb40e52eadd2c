#include "quizedit/editor_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "quizedit/manual.h"
#include "quizedit/pages.h"
#include "quizedit/text_page.h"
#include "quiz/words.h"

namespace quizedit {

namespace {

// A burst of typing is shown once it pauses this long; an edit is saved for
// recovery within this many seconds.
constexpr int kUpdateMilliseconds = 150;
constexpr int kRecoveryMilliseconds = 5000;
constexpr int kFirstWords = 48;  // characters of a question shown in the list

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The question's first words for the list.
QString firstWords(const quiz::DocQuestion& question) {
    QString text = fromUtf8(joinLines(question.lines)).simplified();
    if (text.isEmpty()) return QStringLiteral("(нет текста)");
    if (text.size() > kFirstWords) text = text.left(kFirstWords - 1).trimmed() + QStringLiteral("…");
    return text;
}

QScrollArea* scrolled(QWidget* page, const QString& name) {
    auto* area = new QScrollArea;
    area->setAccessibleName(name);
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

}  // namespace

EditorWindow::EditorWindow(quizcheck::CheckOptions measure, std::unique_ptr<RecoverySession> recovery)
    : measure_(std::move(measure)), recovery_(std::move(recovery)) {
    setWindowIcon(QIcon::fromTheme(QStringLiteral("quizedit")));
    buildActions();
    buildMenus();
    quizPage_ = new QuizPage;
    questionPage_ = new QuestionPage;
    tabs_ = new QTabWidget;
    tabs_->addTab(scrolled(quizPage_, QStringLiteral("Викторина")), QStringLiteral("Викторина"));
    tabs_->addTab(scrolled(questionPage_, QStringLiteral("Вопрос")), QStringLiteral("Вопрос"));
    tabs_->setAccessibleName(QStringLiteral("Форма викторины"));
    auto* top = new QSplitter(Qt::Horizontal);
    top->addWidget(buildQuestionsPanel());
    top->addWidget(tabs_);
    top->addWidget(buildPreviewPanel());
    top->setStretchFactor(0, 2);
    top->setStretchFactor(1, 4);
    top->setStretchFactor(2, 4);
    top->setSizes({240, 520, 520});
    problems_ = new QListWidget;
    problems_->setAccessibleName(QStringLiteral("Проблемы"));
    problems_->setWordWrap(true);
    auto* problemsPanel = new QWidget;
    auto* problemsLayout = new QVBoxLayout(problemsPanel);
    problemsLayout->setContentsMargins(0, 0, 0, 0);
    auto* problemsLabel = new QLabel(QStringLiteral("&Проблемы (щелчок ведёт к месту):"));
    problemsLabel->setBuddy(problems_);
    problemsLayout->addWidget(problemsLabel);
    problemsLayout->addWidget(problems_);
    auto* form = new QSplitter(Qt::Vertical);
    form->addWidget(top);
    form->addWidget(problemsPanel);
    form->setStretchFactor(0, 4);
    form->setStretchFactor(1, 1);
    textPage_ = new TextPage;
    stack_ = new QStackedWidget;
    stack_->addWidget(form);
    stack_->addWidget(textPage_);
    setCentralWidget(stack_);
    summary_ = new QLabel;
    statusBar()->addWidget(summary_, 1);
    connectPages();
    // The fields' own undo would take back a letter behind the editor's back.
    for (QWidget* field : stack_->widget(0)->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field)) field->installEventFilter(this);
    }

    updateTimer_.setSingleShot(true);
    updateTimer_.setInterval(kUpdateMilliseconds);
    connect(&updateTimer_, &QTimer::timeout, this, &EditorWindow::flush);
    recoveryTimer_.setInterval(kRecoveryMilliseconds);
    connect(&recoveryTimer_, &QTimer::timeout, this, [this] { writeRecovery(); });
    if (recovery_) recoveryTimer_.start();

    const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(available.size().boundedTo(QSize(1400, 900)) * 0.9);
    setMinimumSize(QSize(560, 420).boundedTo(available.size()));
    startEditing(newQuiz(), QString(), true);
}

EditorWindow::~EditorWindow() = default;

QAction* EditorWindow::addAction(const QString& name, const QString& text, const QKeySequence& keys,
                                 void (EditorWindow::*slot)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!keys.isEmpty()) action->setShortcut(keys);
    if (slot != nullptr) connect(action, &QAction::triggered, this, slot);
    actions_[name] = action;
    QMainWindow::addAction(action);  // its shortcut works wherever the focus is in the window
    return action;
}

QAction* EditorWindow::action(const QString& name) const {
    const auto found = actions_.find(name);
    return found == actions_.end() ? nullptr : found->second;
}

void EditorWindow::buildActions() {
    const auto icon = [this](QStyle::StandardPixmap pixmap) { return style()->standardIcon(pixmap); };
    addAction("new", "&Новая викторина", QKeySequence::New, &EditorWindow::newFile)->setIcon(icon(QStyle::SP_FileIcon));
    addAction("open", "&Открыть…", QKeySequence::Open, &EditorWindow::open)->setIcon(icon(QStyle::SP_DialogOpenButton));
    addAction("import", "&Импорт таблицы, Aiken или GIFT…", QKeySequence(Qt::CTRL | Qt::Key_I), &EditorWindow::importAny);
    addAction("save", "&Сохранить", QKeySequence(Qt::CTRL | Qt::Key_S), &EditorWindow::save)->setIcon(icon(QStyle::SP_DialogSaveButton));
    addAction("saveAs", "Сохранить &как…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &EditorWindow::saveAs);
    addAction("windows1251", "Сохранять в &Windows-1251 (читает любая игра)", {}, &EditorWindow::useWindows1251)->setCheckable(true);
    addAction("utf8", "Сохранять в &UTF-8", {}, &EditorWindow::useUtf8)->setCheckable(true);
    addAction("play", "&Играть", QKeySequence(Qt::Key_F5), &EditorWindow::play)->setIcon(icon(QStyle::SP_MediaPlay));
    addAction("quit", "&Выход", QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr);
    connect(action("quit"), &QAction::triggered, this, &QWidget::close);
    addAction("undo", "&Отменить", QKeySequence(Qt::CTRL | Qt::Key_Z), &EditorWindow::undo)->setIcon(icon(QStyle::SP_ArrowBack));
    addAction("redo", "&Повторить", QKeySequence(Qt::CTRL | Qt::Key_Y), &EditorWindow::redo)->setIcon(icon(QStyle::SP_ArrowForward));
    action("redo")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    addAction("quiz", "&Заголовок, вступление и оценки", QKeySequence(Qt::CTRL | Qt::Key_0), &EditorWindow::showQuiz);
    addAction("nextProblem", "Следующая &проблема", QKeySequence(Qt::Key_F8), &EditorWindow::nextProblem);
    addAction("add", "&Добавить вопрос в конец", QKeySequence(Qt::CTRL | Qt::Key_Return), &EditorWindow::addQuestion)->setIcon(icon(QStyle::SP_FileDialogNewFolder));
    addAction("insert", "&Вставить вопрос перед выбранным", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return), &EditorWindow::insertQuestion);
    addAction("duplicate", "&Копия вопроса", QKeySequence(Qt::CTRL | Qt::Key_D), &EditorWindow::duplicateQuestion);
    addAction("remove", "&Удалить вопрос", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), &EditorWindow::removeQuestion)->setIcon(icon(QStyle::SP_TrashIcon));
    addAction("up", "Переместить &выше", QKeySequence(Qt::ALT | Qt::Key_Up), &EditorWindow::moveUp)->setIcon(icon(QStyle::SP_ArrowUp));
    addAction("down", "Переместить &ниже", QKeySequence(Qt::ALT | Qt::Key_Down), &EditorWindow::moveDown)->setIcon(icon(QStyle::SP_ArrowDown));
    addAction("previous", "&Предыдущий вопрос", QKeySequence(Qt::CTRL | Qt::Key_PageUp), &EditorWindow::previousQuestion);
    addAction("next", "&Следующий вопрос", QKeySequence(Qt::CTRL | Qt::Key_PageDown), &EditorWindow::nextQuestion);
    for (int j = 0; j < kMaxAnswers; ++j) {
        QAction* right = addAction(QStringLiteral("right%1").arg(j), QStringLiteral("Верный ответ — %1").arg(
            QString::fromUtf8(quiz::words::kAnswerLetters[static_cast<std::size_t>(j)].data())),
            QKeySequence(Qt::CTRL | (Qt::Key_1 + j)), nullptr);
        connect(right, &QAction::triggered, this, [this, j] {
            model_.setRight(question_, j);
            changed();
        });
    }
    addAction("manual", "&Руководство", QKeySequence(Qt::Key_F1), &EditorWindow::showManual)->setIcon(icon(QStyle::SP_DialogHelpButton));
    addAction("about", "&О программе", {}, &EditorWindow::showAbout);
    // Short words on the toolbar, so that it fits a small screen.
    const std::pair<const char*, const char*> shortWords[] = {
        {"new", "Новая"}, {"open", "Открыть"}, {"add", "Добавить"}, {"remove", "Удалить"},
        {"insert", "Вставить"}, {"duplicate", "Копия"},
        {"up", "Выше"}, {"down", "Ниже"}};
    for (const auto& [name, word] : shortWords) action(name)->setIconText(QString::fromUtf8(word));
    for (auto& [name, item] : actions_) item->setStatusTip(item->text().remove('&'));
}

void EditorWindow::buildMenus() {
    const auto menu = [this](const QString& title, const QStringList& names) {
        QMenu* menu = menuBar()->addMenu(title);
        for (const QString& name : names) {
            if (name.isEmpty()) menu->addSeparator(); else menu->addAction(action(name));
        }
        return menu;
    };
    QMenu* file = menu("&Файл", {"new", "open", "import", "", "save", "saveAs"});
    QMenu* encoding = file->addMenu(QStringLiteral("&Кодировка файла"));
    encoding->addAction(action("windows1251"));
    encoding->addAction(action("utf8"));
    file->addSeparator();
    file->addAction(action("play"));
    file->addSeparator();
    file->addAction(action("quit"));
    menu("&Правка", {"undo", "redo", "", "quiz", "nextProblem"});
    menu("&Вопрос", {"add", "insert", "duplicate", "remove", "", "up", "down", "", "previous", "next", "",
                     "right0", "right1", "right2", "right3"});
    menu("&Справка", {"manual", "about"});
    QToolBar* tools = addToolBar(QStringLiteral("Главная"));
    tools->setObjectName("toolbar");
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const char* name : {"new", "open", "save", "", "undo", "redo", "", "add", "remove", "up", "down", "", "play"}) {
        if (*name == '\0') tools->addSeparator(); else tools->addAction(action(name));
    }
}

QWidget* EditorWindow::buildQuestionsPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(panel);
    list_->setAccessibleName(QStringLiteral("Вопросы"));
    list_->setDragDropMode(QAbstractItemView::InternalMove);
    list_->setDefaultDropAction(Qt::MoveAction);
    auto* label = new QLabel(QStringLiteral("Во&просы:"), panel);
    label->setBuddy(list_);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    auto* buttons = new QGridLayout;
    int at = 0;
    for (const char* name : {"add", "insert", "duplicate", "remove", "up", "down"}) {
        auto* button = new QToolButton(panel);
        button->setDefaultAction(action(name));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons->addWidget(button, at / 2, at % 2);
        ++at;
    }
    layout->addLayout(buttons);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != question_) chooseQuestion(row);
    });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { chooseQuestion(list_->row(item)); });
    // A question dragged to another place in the list.
    connect(list_->model(), &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int from, int, const QModelIndex&, int row) {
                const int to = row > from ? row - 1 : row;
                question_ = to;
                model_.moveQuestion(from, to);
                changed();
            });
    return panel;
}

QWidget* EditorWindow::buildPreviewPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Как увидит игрок:"), panel));
    viewTitle_ = new QLabel(panel);
    viewTitle_->setAccessibleName(QStringLiteral("Заголовок окна игры"));
    layout->addWidget(viewTitle_);
    view_ = new PlayerView(panel);
    layout->addWidget(view_, 1);
    return panel;
}

void EditorWindow::connectPages() {
    const auto edit = [this](const Field& field, const QString& text) {
        model_.setText(field, text.toStdString());
        changed();
    };
    connect(quizPage_, &QuizPage::textEdited, this, edit);
    connect(questionPage_, &QuestionPage::textEdited, this, edit);
    connect(quizPage_, &QuizPage::minimumEdited, this, [this](int row, int value) {
        model_.setMinimum(row, static_cast<std::int16_t>(value));
        changed();
    });
    connect(quizPage_, &QuizPage::verdictsFocused, this, [this](bool focused) {
        verdictsFocused_ = focused;
        showPlayer();
    });
    connect(questionPage_, &QuestionPage::rightChosen, this, [this](int q, int j) {
        model_.setRight(q, j);
        changed();
    });
    connect(questionPage_, &QuestionPage::removeAnswer, this, [this](int q, int j) {
        model_.removeAnswer(q, j);
        changed();
    });
    connect(questionPage_, &QuestionPage::addAnswer, this, [this](int q) {
        model_.addAnswer(q);
        changed();
        questionPage_->focusField({Field::Kind::Answer, q, static_cast<int>(model_.document().questions[static_cast<std::size_t>(q)].answers.size()) - 1}, 0);
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { showPlayer(); });
    connect(problems_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { goToProblem(problems_->row(item)); });
    connect(problems_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { goToProblem(problems_->row(item)); });
    connect(textPage_, &TextPage::continueInForm, this, &EditorWindow::continueInForm);
    connect(textPage_, &TextPage::edited, this, [this] {
        ++edits_;
        setWindowModified(true);
    });
}

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

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            QKeySequence(key->keyCombination()) == QKeySequence(Qt::CTRL | Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    if (recovery_) recovery_->discard();
    event->accept();
}

}  // namespace quizedit
