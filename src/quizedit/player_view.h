// The player's view: a screen of the quiz being edited as the game shows
// it, drawn by the game itself. The game plays a copy of the quiz on a window
// of its own that is never shown: for question N the copy has N - 1 questions
// before it, each answered right (so the title, the ladder and every text are
// what a player who got there sees); for the results screen every question
// is answered right. The window is drawn at the view's size, the design at
// the scale that fits it.
#pragma once

#include <QImage>
#include <QLabel>
#include <memory>

#include "quiz/document.h"

namespace window {
class Form1;
}

namespace quizedit {

// Which screen of the quiz.
struct Screen {
    enum class Kind { Introduction, Question, Results } kind = Kind::Introduction;
    int question = 0;  // 0-based, for Question
    bool operator==(const Screen&) const = default;
};

// The game's window showing `screen` of `document`, at the designed size, or
// null when the game cannot show it (a question after the fifteenth, the
// results screen of fifteen questions or more, a quiz that does not read);
// `why` then says why, in Russian.
std::unique_ptr<window::Form1> playerScreen(const quiz::QuizDocument& document, Screen screen,
                                            std::string& why);

class PlayerView : public QLabel {
    Q_OBJECT
public:
    explicit PlayerView(QWidget* parent = nullptr);

    // Draws `screen` of `document` at the view's size.
    void showScreen(const quiz::QuizDocument& document, Screen screen);
    const QImage& image() const { return image_; }
    // The title the game gives its window on that screen ("ВОПРОС 3").
    const QString& gameTitle() const { return title_; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();
    quiz::QuizDocument document_;
    Screen screen_;
    QImage image_;
    QString title_;
};

}  // namespace quizedit
