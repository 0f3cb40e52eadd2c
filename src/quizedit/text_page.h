// The text of a quiz file that the game's reader refuses, for the author to
// mend where the reader stopped: the reader's error stands above the text and
// its line is marked; the text is read again as the author types, and once it
// reads, the author goes on in the form.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <optional>

#include "quizedit/model/opening.h"

namespace quizedit {

class TextPage : public QWidget {
    Q_OBJECT
public:
    explicit TextPage(QWidget* parent = nullptr);

    // Shows `text` of the file called `name`, read at once.
    void start(const QuizText& text, const QString& name);
    QString text() const { return editor_->toPlainText(); }
    const TextFormat& format() const { return format_; }
    // The quiz the text reads as, when it reads.
    const std::optional<quiz::QuizDocument>& quiz() const { return quiz_; }
    // The line of the reader's error (1-based), 0 when the text reads.
    int errorLine() const { return errorLine_; }
    QString errorText() const { return error_->text(); }
    QPlainTextEdit* editor() const { return editor_; }
    // Reads the text again and shows where it stops.
    void check();

signals:
    void continueInForm();
    void edited();

private:
    void markLine(int line);

    QLabel* error_;
    QPlainTextEdit* editor_;
    QPushButton* continue_;
    TextFormat format_;
    std::string name_;
    std::optional<quiz::QuizDocument> quiz_;
    int errorLine_ = 0;
};

}  // namespace quizedit
