#include "quizedit/text_page.h"

#include <QTextBlock>
#include <QVBoxLayout>

namespace quizedit {

TextPage::TextPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    error_ = new QLabel(this);
    error_->setWordWrap(true);
    error_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    error_->setAccessibleName(QStringLiteral("Ошибка в файле"));
    editor_ = new QPlainTextEdit(this);
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setTabChangesFocus(true);
    editor_->setAccessibleName(QStringLiteral("Текст файла викторины"));
    error_->setBuddy(editor_);
    continue_ = new QPushButton(QStringLiteral("&Продолжить в форме"), this);
    continue_->setAccessibleName(QStringLiteral("Продолжить в форме"));
    layout->addWidget(error_);
    layout->addWidget(editor_, 1);
    layout->addWidget(continue_, 0, Qt::AlignRight);
    connect(continue_, &QPushButton::clicked, this, &TextPage::continueInForm);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        check();
        emit edited();
    });
}

void TextPage::start(const QuizText& text, const QString& name) {
    format_ = text.format;
    name_ = name.toStdString();
    {
        const QSignalBlocker block(editor_);
        editor_->setPlainText(QString::fromStdString(text.text));
    }
    check();
    if (errorLine_ > 0) {
        editor_->setTextCursor(QTextCursor(editor_->document()->findBlockByNumber(errorLine_ - 1)));
        editor_->centerCursor();
    }
}

void TextPage::check() {
    const TextRead read = readText(editor_->toPlainText().toStdString(), format_, name_);
    if (const auto* document = std::get_if<quiz::QuizDocument>(&read)) {
        quiz_ = *document;
        errorLine_ = 0;
        error_->setText(QStringLiteral("Игра читает этот текст без ошибок: продолжите в форме."));
    } else {
        const quiz::QuizError& error = std::get<quiz::QuizError>(read);
        quiz_.reset();
        errorLine_ = error.line();
        error_->setText(QStringLiteral("Игра не может прочитать этот файл. Исправьте его здесь:\n") +
                        QString::fromStdString(error.what()));
    }
    continue_->setEnabled(quiz_.has_value());
    markLine(errorLine_);
}

void TextPage::markLine(int line) {
    QList<QTextEdit::ExtraSelection> marks;
    if (line > 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(editor_->document()->findBlockByNumber(line - 1));
        mark.format.setBackground(QColor(255, 220, 220));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.push_back(mark);
    }
    editor_->setExtraSelections(marks);
}

}  // namespace quizedit
