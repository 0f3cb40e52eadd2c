// Whole games on the real window (offscreen): real quiz and counter files in a
// temporary folder, clicks through the widgets, message boxes answered here.
#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "support/quiz_files.h"
#include "window/form1.h"

namespace {

using testing_support::LevelShape;
using testing_support::makeQuiz;
using testing_support::rotatingQuestions;
using testing_support::rotatingRight;
using testing_support::TempFolder;
using window::Buttons;
using window::ControlRef;
using window::Icon;
using window::Reply;

struct Box {
    std::string text;
    std::string title;
    Buttons buttons;
    Icon icon;
};

const std::vector<LevelShape> kLevels{{"Отлично", 13}, {"Хорошо", 10}, {"Неплохо", 7}, {"Слабо", 0}};

std::string quizTitled(const std::string& title, int questions) {
    return makeQuiz(title, {"Добро пожаловать в игру!", "Отвечайте внимательно."}, kLevels,
                    rotatingQuestions(questions));
}

// Saves what the player sees under <build>/screenshots/.
void screenshot(QWidget& window, const std::string& name) {
    const QString folder = QStringLiteral(QUIZ_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(window.grab().save(folder + "/" + QString::fromStdString(name) + ".png")) << name;
}

// One run of the program: the window, the game, the player's answers to boxes.
class Session {
public:
    explicit Session(const std::filesystem::path& folder) : game_(form_, folder) {
        form_.setEvents(&game_);
        form_.setMessageResponder(
            [this](const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
                boxes_.push_back({text, title, buttons, icon});
                if (buttons == Buttons::Ok) return Reply::Ok;
                if (replies_.empty()) {
                    ADD_FAILURE() << "no reply for " << text;
                    return Reply::No;
                }
                const Reply r = replies_.front();
                replies_.pop_front();
                return r;
            });
        form_.setEndHandler([this](int status) { endings_.push_back(status); });
    }

    bool start() { return form_.start(); }
    void click(ControlRef control) {
        QWidget* w = form_.widget(control);
        ASSERT_TRUE(w->isVisible()) << window::describe(control);
        QTest::mouseClick(w, Qt::LeftButton);
    }
    void answer(int k) {
        click(window::option(k));
        click(window::Command1);
    }
    // "Ok" and the right answers to questions 1..n.
    void playRight(int n) {
        click(window::Command1);
        for (int q = 1; q <= n; ++q) answer(rotatingRight(q));
    }
    void answerWrong(int q) { answer(rotatingRight(q) % 4 + 1); }
    void quit(Reply reply) {
        replies_.push_back(reply);
        click(window::Command2);
    }

    window::Form1& form() { return form_; }
    const game::Game& game() const { return game_; }
    const std::vector<Box>& boxes() const { return boxes_; }
    const std::vector<int>& endings() const { return endings_; }
    std::string text(ControlRef c) const { return form_.caption(c); }

private:
    window::Form1 form_;
    game::Game game_;
    std::vector<Box> boxes_;
    std::deque<Reply> replies_;
    std::vector<int> endings_;
};

class GameE2E : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.write("tet0.txt", "3\r\n");
        folder_.writeWindows1251("test1.txt", quizTitled("Первая", 15));
        folder_.writeWindows1251("test2.txt", quizTitled("Вторая", 10));
        folder_.writeWindows1251("test3.txt", quizTitled("Третья", 15));
    }
    std::string counter() const { return folder_.read("tet0.txt"); }
    TempFolder folder_;
};

TEST_F(GameE2E, AWinAtFifteen) {
    Session s(folder_.path());
    ASSERT_TRUE(s.start());
    EXPECT_EQ(s.form().title(), "Третья");
    screenshot(s.form(), "introduction");
    s.playRight(14);
    ASSERT_TRUE(s.endings().empty());
    EXPECT_EQ(s.form().title(), "ВОПРОС 15");
    s.answer(rotatingRight(15));
    EXPECT_EQ(s.endings(), std::vector<int>{0});
    EXPECT_EQ(s.text(window::Label16), "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!");
    ASSERT_FALSE(s.boxes().empty());
    EXPECT_EQ(s.boxes().back().text, "П О Б Е Д А ! ! !");
    EXPECT_EQ(s.boxes().back().icon, Icon::None);
    for (int i = 1; i <= 15; ++i) EXPECT_EQ(s.form().backColor(window::item(i)), QColor(255, 0, 0)) << i;
    EXPECT_EQ(counter(), "2\r\n");
}

TEST_F(GameE2E, ALossInEachMilestoneBand) {
    struct Case {
        int wrongAt;
        const char* caption;
    };
    const Case cases[] = {{1, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"},
                          {5, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"},
                          {9, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
                          {13, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wrongAt);
        folder_.write("tet0.txt", "1\r\n");
        Session s(folder_.path());
        ASSERT_TRUE(s.start());
        s.playRight(c.wrongAt - 1);
        s.answerWrong(c.wrongAt);
        EXPECT_EQ(s.endings(), std::vector<int>{0});
        EXPECT_EQ(s.text(window::Label16), c.caption);
        EXPECT_EQ(s.form().foreColor(window::Label16), QColor(255, 0, 0));
        EXPECT_FALSE(s.form().controlVisible(window::Label2));
        for (int k = 1; k <= 4; ++k) EXPECT_FALSE(s.form().controlVisible(window::option(k)));
        ASSERT_FALSE(s.boxes().empty());
        EXPECT_EQ(s.boxes().back().title, "Игра закончена");
        EXPECT_EQ(s.boxes().back().icon, Icon::Critical);
        EXPECT_EQ(counter(), "3\r\n");
        if (c.wrongAt == 9) screenshot(s.form(), "game_over");
    }
}

TEST_F(GameE2E, TheResultsScreenOfATenQuestionQuiz) {
    folder_.write("tet0.txt", "2\r\n");
    Session s(folder_.path());
    ASSERT_TRUE(s.start());
    EXPECT_EQ(s.form().title(), "Вторая");
    s.click(window::Command1);
    screenshot(s.form(), "question");
    s.click(window::Command3);
    screenshot(s.form(), "question_after_fifty_fifty");
    s.answer(rotatingRight(1));
    for (int q = 2; q <= 10; ++q) s.answer(rotatingRight(q));
    EXPECT_TRUE(s.endings().empty());
    EXPECT_EQ(s.form().title(), "РЕЗУЛЬТАТ");
    EXPECT_EQ(s.text(window::Label2), "Результаты игры:\r\n Всего баллов: 10\r\nХорошо");
    EXPECT_FALSE(s.form().controlEnabled(window::Command1));
    EXPECT_EQ(s.text(window::Command1), "Засчитать ответ");
    screenshot(s.form(), "results");
    EXPECT_EQ(counter(), "2\r\n");
}

TEST_F(GameE2E, QuittingFromEachPhaseLeavesTheCounter) {
    struct Case {
        const char* name;
        int counter;
        int rightAnswers;  // -1: on the introduction
        const char* label16;
        const char* lastBox;
    };
    const Case cases[] = {
        {"introduction", 3, -1, "Вы готовы к игре? Если готовы щелкните кнопку \"ОК\"",
         "ВЫ ОТКАЗАЛИСЬ ОТ ИГРЫ!"},
        {"mid-game", 3, 5, "У Вас 16 баллов", "До новой встречи"},
        {"results screen", 2, 10, "У Вас 100 баллов", "До новой встречи"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string value = std::to_string(c.counter) + "\r\n";
        folder_.write("tet0.txt", value);
        Session s(folder_.path());
        ASSERT_TRUE(s.start());
        if (c.rightAnswers >= 0) s.playRight(c.rightAnswers);
        s.quit(Reply::No);
        EXPECT_TRUE(s.endings().empty());
        s.quit(Reply::Yes);
        EXPECT_EQ(s.endings(), std::vector<int>{0});
        EXPECT_EQ(s.text(window::Label16), c.label16);
        EXPECT_EQ(s.boxes().back().text, c.lastBox);
        EXPECT_EQ(counter(), value);
    }
}

TEST_F(GameE2E, TheCounterRotatesOverThreeGames) {
    const char* titles[] = {"Третья", "Вторая", "Первая", "Третья"};
    const char* counters[] = {"2\r\n", "1\r\n", "3\r\n", "2\r\n"};
    for (int game = 0; game < 4; ++game) {
        SCOPED_TRACE(game);
        Session s(folder_.path());
        ASSERT_TRUE(s.start());
        EXPECT_EQ(s.form().title(), titles[game]);
        s.playRight(2);
        s.answerWrong(3);
        EXPECT_EQ(counter(), counters[game]);
    }
}

TEST_F(GameE2E, ABrokenLastQuestionIsRefusedBeforeThePlayerStarts) {
    folder_.write("tet0.txt", "1\r\n");
    folder_.writeWindows1251("test1.txt",
                             quizTitled("Первая", 11) + "Вопрос 12\r\n.\r\nОтвет\r\n.5\r\n");
    Session s(folder_.path());
    EXPECT_FALSE(s.start());
    EXPECT_FALSE(s.form().isVisible());
    EXPECT_EQ(s.endings(), std::vector<int>{1});
    ASSERT_EQ(s.boxes().size(), 1u);
    EXPECT_EQ(s.boxes()[0].title, "Ошибка");
    EXPECT_EQ(s.boxes()[0].icon, Icon::Critical);
    EXPECT_NE(s.boxes()[0].text.find("test1.txt, строка 127"), std::string::npos)
        << s.boxes()[0].text;
    EXPECT_NE(s.boxes()[0].text.find(".5"), std::string::npos) << s.boxes()[0].text;
    EXPECT_EQ(counter(), "1\r\n");
}

TEST_F(GameE2E, AMissingQuizStopsBeforeTheWindowShows) {
    folder_.write("tet0.txt", "7\r\n");
    Session s(folder_.path());
    EXPECT_FALSE(s.start());
    EXPECT_FALSE(s.form().isVisible());
    ASSERT_EQ(s.boxes().size(), 1u);
    EXPECT_EQ(s.boxes()[0].title, "Ошибка");
    EXPECT_NE(s.boxes()[0].text.find("test7.txt"), std::string::npos) << s.boxes()[0].text;
}

}  // namespace
