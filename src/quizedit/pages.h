// The two pages of the form: the quiz as a whole (title, introduction, the
// verdict table) and the chosen question (its text and answers). Each shows
// the model's texts and reports what the author changes as edits of fields;
// the window turns them into the model's edits.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <string_view>

#include "quizedit/model/edit_model.h"

namespace quizedit {

// UTF-8 text for the window.
QString fromUtf8(std::string_view text);
// The letter the game shows beside answer `answer` (0-based).
QString answerLetter(int answer);

// A text box of several lines in which Tab moves on, as in a form.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    TextBox(const QString& accessibleName, int lines, QWidget* parent);
    // Sets the text unless it is already shown, so the cursor stays put while typing.
    void showText(const QString& text);
    // Puts the cursor at the start of line `line` (0-based) and the focus here.
    void goToLine(int line);
};

class QuizPage : public QWidget {
    Q_OBJECT
public:
    explicit QuizPage(QWidget* parent = nullptr);
    void showModel(const EditModel& model);
    // Puts the focus on a field of the page: the title, the introduction, a
    // verdict or its minimum; at `line` of a text.
    void focusField(const Field& field, int line);

signals:
    void textEdited(const Field& field, const QString& text);
    void minimumEdited(int row, int value);
    // The verdict table holds the focus (the player's view shows the results).
    void verdictsFocused(bool focused);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* title_;
    TextBox* introduction_;
    std::array<QLineEdit*, kVerdictRows> verdicts_{};
    std::array<QSpinBox*, kVerdictRows> minimums_{};
    QLabel* results_;
};

class QuestionPage : public QWidget {
    Q_OBJECT
public:
    explicit QuestionPage(QWidget* parent = nullptr);
    void showQuestion(const EditModel& model, int question);
    int question() const { return question_; }
    // Puts the focus on the question's text, or answer `answer` (0-based), at `line`.
    void focusField(const Field& field, int line);

signals:
    void textEdited(const Field& field, const QString& text);
    void rightChosen(int question, int answer);
    void removeAnswer(int question, int answer);
    void addAnswer(int question);

private:
    struct AnswerBox {
        QLabel* letter = nullptr;
        QRadioButton* right = nullptr;
        TextBox* text = nullptr;
        QToolButton* remove = nullptr;
        QWidget* frame = nullptr;
    };
    QWidget* makeAnswer(int answer);

    int question_ = 0;
    QLabel* heading_;
    TextBox* text_;
    std::array<AnswerBox, kMaxAnswers> answers_;
    QToolButton* add_;
};

}  // namespace quizedit
