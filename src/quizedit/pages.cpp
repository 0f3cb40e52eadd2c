#include "quizedit/pages.h"

#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QTextBlock>
#include <QVBoxLayout>

#include "quiz/words.h"

namespace quizedit {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString answerLetter(int answer) {
    return fromUtf8(quiz::words::kAnswerLetters.at(static_cast<std::size_t>(answer)));
}

namespace {

// Where the game places answer j (0-based): А top left, Б below it, В top right, Г below that.
constexpr std::array<std::pair<int, int>, kMaxAnswers> kAnswerCells{{{0, 0}, {1, 0}, {0, 1}, {1, 1}}};

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TextBox::TextBox(const QString& accessibleName, int lines, QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setAccessibleName(accessibleName);
    const int height = fontMetrics().lineSpacing() * lines + 2 * frameWidth() + 8;
    setMinimumHeight(height);
    // A short text (an answer) keeps its height; a longer one may grow.
    if (lines <= 2) setMaximumHeight(height);
    setSizePolicy(QSizePolicy::Expanding, lines <= 2 ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    // The editor's own undo covers every field; the box's would undo behind its back.
    setUndoRedoEnabled(false);
}

void TextBox::showText(const QString& text) {
    if (toPlainText() != text) setPlainText(text);
}

void TextBox::goToLine(int line) {
    const QTextBlock block = document()->findBlockByNumber(std::max(0, line));
    QTextCursor cursor(block.isValid() ? block : document()->lastBlock());
    setTextCursor(cursor);
    setFocus(Qt::OtherFocusReason);
}

QuizPage::QuizPage(QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout(this);
    title_ = new QLineEdit(this);
    title_->setAccessibleName(QStringLiteral("Заголовок викторины"));
    form->addRow(buddyLabel(QStringLiteral("&Заголовок:"), title_, this), title_);
    connect(title_, &QLineEdit::textEdited, this,
            [this](const QString& text) { emit textEdited({Field::Kind::Title}, text); });
    introduction_ = new TextBox(QStringLiteral("Вступление"), 6, this);
    form->addRow(buddyLabel(QStringLiteral("&Вступление:"), introduction_, this), introduction_);
    connect(introduction_, &QPlainTextEdit::textChanged, this, [this] {
        emit textEdited({Field::Kind::Introduction}, introduction_->toPlainText());
    });
    auto* table = new QGridLayout;
    table->addWidget(new QLabel(QStringLiteral("Оценка на экране результатов"), this), 0, 0);
    table->addWidget(new QLabel(QStringLiteral("Верных ответов"), this), 0, 1);
    for (int row = 0; row < kVerdictRows; ++row) {
        QLineEdit* verdict = verdicts_[static_cast<std::size_t>(row)] = new QLineEdit(this);
        QSpinBox* minimum = minimums_[static_cast<std::size_t>(row)] = new QSpinBox(this);
        minimum->setRange(-32768, 32767);
        minimum->setMaximumWidth(minimum->fontMetrics().horizontalAdvance(QStringLiteral("-327680")) + 40);
        verdict->setAccessibleName(QStringLiteral("Оценка %1").arg(row + 1));
        minimum->setAccessibleName(QStringLiteral("Оценка %1: наименьшее число верных ответов").arg(row + 1));
        table->addWidget(verdict, row + 1, 0);
        table->addWidget(minimum, row + 1, 1);
        connect(verdict, &QLineEdit::textEdited, this,
                [this, row](const QString& text) { emit textEdited({Field::Kind::Verdict, -1, row}, text); });
        connect(minimum, &QSpinBox::valueChanged, this, [this, row](int value) { emit minimumEdited(row, value); });
        verdict->installEventFilter(this);
        minimum->installEventFilter(this);
    }
    table->setColumnStretch(0, 1);
    auto* tableLabel = buddyLabel(QStringLiteral("&Оценки:"), verdicts_[0], this);
    form->addRow(tableLabel, table);
    results_ = new QLabel(this);
    results_->setWordWrap(true);
    results_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    results_->setAccessibleName(QStringLiteral("Что покажет экран результатов"));
    form->addRow(QString(), results_);
}

bool QuizPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) emit verdictsFocused(true);
    if (event->type() == QEvent::FocusOut) emit verdictsFocused(false);
    return QWidget::eventFilter(watched, event);
}

void QuizPage::showModel(const EditModel& model) {
    const QSignalBlocker blockTitle(title_), blockIntroduction(introduction_);
    if (title_->text() != fromUtf8(model.text({Field::Kind::Title}))) title_->setText(fromUtf8(model.text({Field::Kind::Title})));
    introduction_->showText(fromUtf8(model.text({Field::Kind::Introduction})));
    for (int row = 0; row < kVerdictRows; ++row) {
        QLineEdit* verdict = verdicts_[static_cast<std::size_t>(row)];
        const QSignalBlocker blockVerdict(verdict), blockMinimum(minimums_[static_cast<std::size_t>(row)]);
        const QString text = fromUtf8(model.text({Field::Kind::Verdict, -1, row}));
        if (verdict->text() != text) verdict->setText(text);
        minimums_[static_cast<std::size_t>(row)]->setValue(model.minimum(row));
    }
    const quiz::QuizDocument& doc = model.document();
    const int questions = static_cast<int>(doc.questions.size());
    const int row = resultsRow(doc);
    if (row == 0) {
        results_->setText(QStringLiteral("Вопросов %1: игра заканчивается на пятнадцатой ступени, экрана "
                                         "результатов не будет, и оценок игрок не увидит.").arg(questions));
        return;
    }
    const std::string verdict = model.text({Field::Kind::Verdict, -1, row - 1});
    results_->setText(QStringLiteral("Вопросов %1: экран результатов появится, только если верно ответить на "
                                     "все вопросы, и покажет оценку %2: «%3».")
                          .arg(questions).arg(row).arg(fromUtf8(verdict)));
}

void QuizPage::focusField(const Field& field, int line) {
    const auto row = static_cast<std::size_t>(std::clamp(field.item, 0, kVerdictRows - 1));
    switch (field.kind) {
        case Field::Kind::Introduction:
            introduction_->goToLine(line);
            return;
        case Field::Kind::Verdict:
            verdicts_[row]->setFocus(Qt::OtherFocusReason);
            return;
        case Field::Kind::Minimum:
            minimums_[row]->setFocus(Qt::OtherFocusReason);
            return;
        default:
            title_->setFocus(Qt::OtherFocusReason);
    }
}

QuestionPage::QuestionPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    layout->addWidget(heading_);
    text_ = new TextBox(QStringLiteral("Текст вопроса"), 4, this);
    layout->addWidget(buddyLabel(QStringLiteral("&Текст вопроса:"), text_, this));
    layout->addWidget(text_);
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        emit textEdited({Field::Kind::QuestionText, question_}, text_->toPlainText());
    });
    layout->addWidget(new QLabel(QStringLiteral("Ответы, как их расставит игра (верный отмечен):"), this));
    auto* grid = new QGridLayout;
    for (int j = 0; j < kMaxAnswers; ++j) {
        const auto [row, column] = kAnswerCells[static_cast<std::size_t>(j)];
        grid->addWidget(makeAnswer(j), row, column);
    }
    layout->addLayout(grid);
    add_ = new QToolButton(this);
    add_->setText(QStringLiteral("&Добавить ответ"));
    add_->setAccessibleName(add_->text().remove('&'));
    connect(add_, &QToolButton::clicked, this, [this] { emit addAnswer(question_); });
    layout->addWidget(add_, 0, Qt::AlignLeft);
    layout->addStretch();
    QWidget* previous = text_;
    for (const AnswerBox& box : answers_) {
        for (QWidget* next : {static_cast<QWidget*>(box.text), static_cast<QWidget*>(box.right),
                              static_cast<QWidget*>(box.remove)}) {
            setTabOrder(previous, next);
            previous = next;
        }
    }
    setTabOrder(previous, add_);
}

QWidget* QuestionPage::makeAnswer(int j) {
    AnswerBox& box = answers_[static_cast<std::size_t>(j)];
    box.frame = new QWidget(this);
    auto* grid = new QGridLayout(box.frame);
    grid->setContentsMargins(0, 0, 0, 0);
    box.letter = new QLabel(answerLetter(j), box.frame);
    QFont big = box.letter->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    box.letter->setFont(big);
    box.right = new QRadioButton(QStringLiteral("верный"), box.frame);
    box.right->setAutoExclusive(false);
    box.right->setAccessibleName(QStringLiteral("Ответ %1 верный").arg(answerLetter(j)));
    box.text = new TextBox(QStringLiteral("Ответ %1").arg(answerLetter(j)), 2, box.frame);
    box.letter->setBuddy(box.text);
    box.remove = new QToolButton(box.frame);
    box.remove->setText(QStringLiteral("Убрать"));
    box.remove->setAccessibleName(QStringLiteral("Убрать ответ %1").arg(answerLetter(j)));
    grid->addWidget(box.letter, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(box.right, 0, 1);
    grid->addWidget(box.remove, 0, 2, Qt::AlignRight);
    grid->addWidget(box.text, 1, 1, 1, 2);
    connect(box.right, &QRadioButton::clicked, this, [this, j] { emit rightChosen(question_, j); });
    connect(box.remove, &QToolButton::clicked, this, [this, j] { emit removeAnswer(question_, j); });
    connect(box.text, &QPlainTextEdit::textChanged, this, [this, j] {
        emit textEdited({Field::Kind::Answer, question_, j},
                        answers_[static_cast<std::size_t>(j)].text->toPlainText());
    });
    return box.frame;
}

void QuestionPage::showQuestion(const EditModel& model, int question) {
    const std::vector<quiz::DocQuestion>& questions = model.document().questions;
    question_ = std::clamp(question, 0, static_cast<int>(questions.size()) - 1);
    const quiz::DocQuestion& shown = questions[static_cast<std::size_t>(question_)];
    heading_->setText(QStringLiteral("Вопрос %1 из %2").arg(question_ + 1).arg(questions.size()));
    {
        const QSignalBlocker block(text_);
        text_->showText(fromUtf8(model.text({Field::Kind::QuestionText, question_})));
    }
    const int count = static_cast<int>(shown.answers.size());
    for (int j = 0; j < kMaxAnswers; ++j) {
        AnswerBox& box = answers_[static_cast<std::size_t>(j)];
        box.frame->setVisible(j < count);
        if (j >= count) continue;
        const QSignalBlocker blockText(box.text), blockRight(box.right);
        box.text->showText(fromUtf8(model.text({Field::Kind::Answer, question_, j})));
        box.right->setChecked(shown.answers[static_cast<std::size_t>(j)].right);
        box.remove->setEnabled(count > 1);
    }
    add_->setEnabled(count < kMaxAnswers);
}

void QuestionPage::focusField(const Field& field, int line) {
    if (field.kind == Field::Kind::Answer && field.item >= 0 && field.item < kMaxAnswers) {
        answers_[static_cast<std::size_t>(field.item)].text->goToLine(line);
    } else {
        text_->goToLine(line);
    }
}

}  // namespace quizedit
