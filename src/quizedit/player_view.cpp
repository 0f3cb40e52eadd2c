#include "quizedit/player_view.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QResizeEvent>
#include <cerrno>
#include <cstring>

#include "game/game.h"
#include "quiz/counter.h"
#include "quiz/system_calls.h"
#include "quiz/writer.h"
#include "window/controls.h"
#include "window/form1.h"

namespace quizedit {

namespace {

namespace say {
constexpr const char* kBeyondLadder =
    "Этот вопрос игра не задаёт: она заканчивается на пятнадцатой ступени.";
constexpr const char* kNoResults =
    "Экрана результатов не будет: вопросов 15 или больше, и игра заканчивается на пятнадцатой "
    "ступени.";
constexpr const char* kCannotShow = "Игра не может показать викторину: ";
constexpr const char* kAccessible = "Как увидит игрок";
}  // namespace say

constexpr int kLadder = window::kLadderSteps;

// A question that the copy's player answers right on the way.
quiz::DocQuestion passedQuestion() {
    quiz::DocQuestion question;
    question.answers.resize(1);
    question.answers[0].lines = {quiz::DocLine("+")};
    question.answers[0].right = true;
    return question;
}

// The copy as a file in memory, which the game opens by its name in /proc;
// none (errno tells why) when it cannot be made.
quiz::FileHandle memoryFile(const std::string& bytes) {
    quiz::FileHandle file(::memfd_create("quizedit-preview", MFD_CLOEXEC));
    if (file.get() >= 0 && !quiz::writeAll(file.get(), bytes)) file.reset();
    return file;
}

}  // namespace

std::unique_ptr<window::Form1> playerScreen(const quiz::QuizDocument& document, Screen screen,
                                            std::string& why) {
    const int count = static_cast<int>(document.questions.size());
    quiz::QuizDocument copy = document;
    int rightAnswers = 0;  // before the screen
    if (screen.kind == Screen::Kind::Question) {
        if (screen.question >= kLadder) {
            why = say::kBeyondLadder;
            return nullptr;
        }
        rightAnswers = screen.question;
        copy.questions.assign(static_cast<std::size_t>(rightAnswers), passedQuestion());
        copy.questions.push_back(document.questions.at(static_cast<std::size_t>(screen.question)));
    } else if (screen.kind == Screen::Kind::Results) {
        if (count >= kLadder) {
            why = say::kNoResults;
            return nullptr;
        }
        rightAnswers = count;
        copy.questions.assign(static_cast<std::size_t>(count), passedQuestion());
    }
    copy.trailing.clear();
    // In UTF-8, which holds whatever the author typed; the game shows the same text.
    const quiz::Written written = quiz::writeDocument(copy, quiz::Encoding::Utf8);
    const quiz::FileHandle file = memoryFile(written.bytes);
    if (file.get() < 0) {
        why = say::kCannotShow + std::string(std::strerror(errno));
        return nullptr;
    }
    auto form = std::make_unique<window::Form1>();
    form->setMessageResponder([](const std::string&, const std::string&, window::Buttons,
                                 window::Icon) { return window::Reply::Ok; });
    form->setEndHandler([](int) {});
    game::Game player(*form, game::GivenQuiz{"/proc/self/fd/" + std::to_string(file.get())});
    try {
        player.load();
        if (screen.kind != Screen::Kind::Introduction) player.click(window::ControlName::Command1);
        for (int k = 0; k < rightAnswers; ++k) {
            player.click(window::ControlName::Option1);
            player.click(window::ControlName::Command1);
        }
    } catch (const std::exception& e) {
        why = say::kCannotShow + std::string(e.what());
        return nullptr;
    } catch (const window::ProgramEnd&) {
        why = say::kCannotShow + std::string("игра закончилась");
        return nullptr;
    }
    return form;
}

PlayerView::PlayerView(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWordWrap(true);
    setMinimumSize(window::twipsToPixels(window::kClientWidthTwips, 0.25),
                   window::twipsToPixels(window::kClientHeightTwips, 0.25));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(QString::fromUtf8(say::kAccessible));
}

void PlayerView::showScreen(const quiz::QuizDocument& document, Screen screen) {
    document_ = document;
    screen_ = screen;
    redraw();
}

QSize PlayerView::sizeHint() const {
    return {window::twipsToPixels(window::kClientWidthTwips, 0.5),
            window::twipsToPixels(window::kClientHeightTwips, 0.5)};
}

int PlayerView::heightForWidth(int width) const {
    return width * window::kClientHeightTwips / window::kClientWidthTwips;
}

void PlayerView::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (event->size() != event->oldSize()) redraw();
}

void PlayerView::redraw() {
    std::string why;
    const std::unique_ptr<window::Form1> form = playerScreen(document_, screen_, why);
    if (!form) {
        image_ = QImage();
        setPixmap(QPixmap());
        setText(QString::fromStdString(why));
        setAccessibleDescription(text());
        title_.clear();
        return;
    }
    title_ = QString::fromStdString(form->title());
    // The window at the largest size of the design's shape that the view holds.
    QSize shape(window::kClientWidthTwips, window::kClientHeightTwips);
    shape.scale(size(), Qt::KeepAspectRatio);
    form->resize(shape);
    image_ = form->grab().toImage();
    setPixmap(QPixmap::fromImage(image_));
    setAccessibleDescription(QString::fromStdString(form->title() + ". " +
                                                    form->caption(window::Label2)));
}

}  // namespace quizedit
