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

namespace quizedit {

namespace {

// A burst of typing is shown once it pauses this long; an edit is saved for
// recovery within this many seconds.
constexpr int kUpdateMilliseconds = 150;
constexpr int kRecoveryMilliseconds = 5000;

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

namespace {

// A command: its name, its text in the menus, its short word on the toolbar
// (none: the text), its keys, its icon, and what it does.
struct Command {
    const char* name;
    const char* text;
    const char* word;
    QKeySequence keys;
    std::optional<QStyle::StandardPixmap> icon;
    void (EditorWindow::*slot)();
};

}  // namespace

void EditorWindow::buildActions() {
    using W = EditorWindow;
    const QKeySequence none;
    const Command commands[] = {
        {"new", "&Новая викторина", "Новая", QKeySequence::New, QStyle::SP_FileIcon, &W::newFile},
        {"open", "&Открыть…", "Открыть", QKeySequence::Open, QStyle::SP_DialogOpenButton, &W::open},
        {"import", "&Импорт таблицы, Aiken или GIFT…", nullptr, Qt::CTRL | Qt::Key_I, {}, &W::importAny},
        {"save", "&Сохранить", nullptr, Qt::CTRL | Qt::Key_S, QStyle::SP_DialogSaveButton, &W::save},
        {"saveAs", "Сохранить &как…", nullptr, Qt::CTRL | Qt::SHIFT | Qt::Key_S, {}, &W::saveAs},
        {"windows1251", "Сохранять в &Windows-1251 (читает любая игра)", nullptr, none, {}, &W::useWindows1251},
        {"utf8", "Сохранять в &UTF-8", nullptr, none, {}, &W::useUtf8},
        {"play", "&Играть", nullptr, Qt::Key_F5, QStyle::SP_MediaPlay, &W::play},
        {"quit", "&Выход", nullptr, Qt::CTRL | Qt::Key_Q, {}, &W::quit},
        {"undo", "&Отменить", nullptr, Qt::CTRL | Qt::Key_Z, QStyle::SP_ArrowBack, &W::undo},
        {"redo", "&Повторить", nullptr, Qt::CTRL | Qt::Key_Y, QStyle::SP_ArrowForward, &W::redo},
        {"quiz", "&Заголовок, вступление и оценки", nullptr, Qt::CTRL | Qt::Key_0, {}, &W::showQuiz},
        {"nextProblem", "Следующая &проблема", nullptr, Qt::Key_F8, {}, &W::nextProblem},
        {"add", "&Добавить вопрос в конец", "Добавить", Qt::CTRL | Qt::Key_Return, QStyle::SP_FileDialogNewFolder,
         &W::addQuestion},
        {"insert", "&Вставить вопрос перед выбранным", "Вставить", Qt::CTRL | Qt::SHIFT | Qt::Key_Return, {},
         &W::insertQuestion},
        {"duplicate", "&Копия вопроса", "Копия", Qt::CTRL | Qt::Key_D, {}, &W::duplicateQuestion},
        {"remove", "&Удалить вопрос", "Удалить", Qt::CTRL | Qt::SHIFT | Qt::Key_Delete, QStyle::SP_TrashIcon,
         &W::removeQuestion},
        {"up", "Переместить &выше", "Выше", Qt::ALT | Qt::Key_Up, QStyle::SP_ArrowUp, &W::moveUp},
        {"down", "Переместить &ниже", "Ниже", Qt::ALT | Qt::Key_Down, QStyle::SP_ArrowDown, &W::moveDown},
        {"previous", "&Предыдущий вопрос", nullptr, Qt::CTRL | Qt::Key_PageUp, {}, &W::previousQuestion},
        {"next", "&Следующий вопрос", nullptr, Qt::CTRL | Qt::Key_PageDown, {}, &W::nextQuestion},
        {"manual", "&Руководство", nullptr, Qt::Key_F1, QStyle::SP_DialogHelpButton, &W::showManual},
        {"about", "&О программе", nullptr, none, {}, &W::showAbout},
    };
    for (const Command& command : commands) {
        QAction* made = addAction(command.name, QString::fromUtf8(command.text), command.keys, command.slot);
        if (command.icon) made->setIcon(style()->standardIcon(*command.icon));
        if (command.word != nullptr) made->setIconText(QString::fromUtf8(command.word));
    }
    action("windows1251")->setCheckable(true);
    action("utf8")->setCheckable(true);
    action("redo")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (int j = 0; j < kMaxAnswers; ++j) {
        QAction* right = addAction(QStringLiteral("right%1").arg(j), QStringLiteral("Верный ответ — ") + answerLetter(j),
                                   QKeySequence(Qt::CTRL | (Qt::Key_1 + j)), nullptr);
        connect(right, &QAction::triggered, this, [this, j] { makeRight(j); });
    }
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
