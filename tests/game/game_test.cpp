#include "game/game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/fake_form.h"
#include "support/quiz_files.h"
#include "support/scripted_chance.h"

namespace {

using testing_support::FakeForm;
using testing_support::kPlaying;
using testing_support::kQuitAtZero;
using testing_support::kQuitQuestion;
using testing_support::kQuitWithPoints;
using testing_support::kReady;
using testing_support::kWinBox;
using testing_support::kWrongBox;
using testing_support::LevelShape;
using testing_support::MessageBoxCall;
using testing_support::QuestionShape;
using testing_support::rotatingQuestions;
using testing_support::rotatingRight;
using testing_support::ScriptedChance;
using testing_support::TempFolder;
using window::Buttons;
using window::ControlRef;
using window::Icon;
using window::Reply;

constexpr window::Color kRed = window::kRed;
const std::vector<LevelShape> kLevels{{"Отлично", 13}, {"Хорошо", 10}, {"Неплохо", 7}, {"Слабо", 0}};

std::string quizOf(std::vector<QuestionShape> questions, std::vector<LevelShape> levels = kLevels) {
    return testing_support::makeQuiz("Тестовая викторина", {"Привет!", "", "Удачи."}, levels,
                                     questions);
}

class GameTest : public ::testing::Test {
protected:
    // Writes the counter and the quiz it selects, then runs start-up.
    void startWith(const std::string& quizUtf8, int counter = 3) {
        folder_.write("tet0.txt", std::to_string(counter) + "\r\n");
        folder_.writeWindows1251("test" + std::to_string(counter) + ".txt", quizUtf8);
        auto chance = std::make_unique<ScriptedChance>(std::deque<double>{0.05, 0.3});
        chance_ = chance.get();
        game_ = std::make_unique<game::Game>(form_, folder_.path(), std::move(chance),
                                             [] { return 4242u; });
        form_.start(*game_);
    }

    void click(ControlRef control) {
        ASSERT_TRUE(form_.click(*game_, control)) << testing_support::controlName(control);
    }
    void answer(int k) {
        click(window::option(k));
        click(window::Command1);
    }
    // "Ok", then the right answer to questions 1..n of rotatingQuestions.
    void playRight(int n) {
        click(window::Command1);
        for (int q = 1; q <= n; ++q) answer(rotatingRight(q));
    }
    int wrongTo(int q) const { return rotatingRight(q) % 4 + 1; }

    std::string counter() const { return folder_.read("tet0.txt"); }
    const testing_support::ControlState& at(ControlRef c) const { return form_.state(c); }
    std::vector<bool> optionsVisible() const {
        std::vector<bool> v;
        for (int k = 1; k <= 4; ++k) v.push_back(at(window::option(k)).visible);
        return v;
    }
    std::vector<int> redSteps() const {
        std::vector<int> steps;
        for (int i = 1; i <= 15; ++i) {
            if (at(window::item(i)).back == kRed) steps.push_back(i);
        }
        return steps;
    }

    TempFolder folder_;
    FakeForm form_;
    ScriptedChance* chance_ = nullptr;
    std::unique_ptr<game::Game> game_;
};

TEST_F(GameTest, StartUpShowsTitleIntroductionAndOk) {
    startWith(quizOf(rotatingQuestions(3)));
    ASSERT_FALSE(form_.ended()) << form_.failure();
    EXPECT_EQ(form_.title(), "Тестовая викторина");
    EXPECT_EQ(at(window::Label2).caption, "Привет!\r\n\r\nУдачи.\r\n");
    EXPECT_TRUE(at(window::Label2).wordWrap);
    EXPECT_EQ(at(window::Label16).caption, kReady);
    EXPECT_EQ(at(window::Command1).caption, "Ok");
    EXPECT_TRUE(at(window::Command1).enabled);
    EXPECT_EQ(at(window::Command1).tag, "0");
    EXPECT_EQ(optionsVisible(), std::vector<bool>(4, false));
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(at(window::option(k)).caption, "");
    EXPECT_EQ(redSteps(), std::vector<int>{1});
    EXPECT_EQ(game_->state().levelText(2), "Хорошо");
    EXPECT_EQ(game_->state().levelMinScore(3), 7);
    EXPECT_EQ(game_->state().questionFilePath, (folder_.path() / "test3.txt").string());
}

TEST_F(GameTest, StartUpResetsOptionsHidingThenClearingCaptionsThenSelections) {
    startWith(quizOf(rotatingQuestions(1)));
    std::vector<std::string> reset(form_.log().begin(), form_.log().begin() + 12);
    std::vector<std::string> expected;
    for (const char* what : {"visible Option%d 0", "caption Option%d ", "unselect Option%d"}) {
        for (int k = 1; k <= 4; ++k) {
            std::string entry = what;
            entry.replace(entry.find("%d"), 2, std::to_string(k));
            expected.push_back(entry);
        }
    }
    EXPECT_EQ(reset, expected);
}

TEST_F(GameTest, OkShowsTheFirstQuestion) {
    startWith(quizOf(rotatingQuestions(3)));
    click(window::Command1);
    EXPECT_EQ(form_.title(), "ВОПРОС 1");
    EXPECT_EQ(at(window::Label2).caption, "Вопрос 1 ");
    EXPECT_EQ(at(window::Label16).caption, kPlaying);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(at(window::option(k)).caption, "Ответ 1." + std::to_string(k) + " ");
    EXPECT_EQ(optionsVisible(), std::vector<bool>(4, true));
    EXPECT_FALSE(at(window::Command1).enabled);
    EXPECT_EQ(at(window::Command1).caption, "Дальше");
    EXPECT_EQ(at(window::Command1).tag, "1");
    EXPECT_EQ(redSteps(), std::vector<int>{1});
    EXPECT_EQ(game_->state().questionNumber, 1);
}

TEST_F(GameTest, ChoosingAnOptionEnablesTheAnswerAndALaterChoiceReplacesIt) {
    startWith(quizOf(rotatingQuestions(3)));
    click(window::Command1);
    click(window::Option3);
    EXPECT_TRUE(at(window::Command1).enabled);
    EXPECT_EQ(game_->state().selectedAnswer, 3);
    click(window::Option1);  // question 1's right answer
    EXPECT_EQ(game_->state().selectedAnswer, 1);
    click(window::Command1);
    EXPECT_FALSE(form_.ended());
    EXPECT_EQ(form_.title(), "ВОПРОС 2");
}

TEST_F(GameTest, RightAnswersClimbTheLadderAndMarkedStepsStayRed) {
    startWith(quizOf(rotatingQuestions(15)));
    click(window::Command1);
    for (int q = 1; q <= 14; ++q) {
        SCOPED_TRACE(q);
        if (q <= 13) {
            EXPECT_EQ(at(window::item(15)).back, window::kGreen);
        }
        answer(rotatingRight(q));
        ASSERT_FALSE(form_.ended()) << form_.failure();
        EXPECT_EQ(form_.title(), "ВОПРОС " + std::to_string(q + 1));
        EXPECT_EQ(game_->state().score, q);
        EXPECT_EQ(game_->state().questionNumber, q + 1);
        std::vector<int> expected(static_cast<std::size_t>(q + 1));
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(redSteps(), expected);
        EXPECT_FALSE(at(window::Command1).enabled);
        for (int k = 1; k <= 4; ++k) EXPECT_FALSE(at(window::option(k)).selected);
    }
}

struct LossCase {
    const char* name;
    int wrongAt;  // the question answered wrong
    const char* caption;
};

class GameLossTest : public GameTest, public ::testing::WithParamInterface<LossCase> {};

TEST_P(GameLossTest, AWrongAnswerKeepsTheLastMilestoneAndStepsTheCounter) {
    const LossCase& c = GetParam();
    startWith(quizOf(rotatingQuestions(15)));
    playRight(c.wrongAt - 1);
    ASSERT_FALSE(form_.ended());
    answer(wrongTo(c.wrongAt));
    EXPECT_EQ(form_.exitStatus(), 0);
    EXPECT_EQ(game_->state().score, c.wrongAt - 1);
    EXPECT_EQ(at(window::Label16).caption, c.caption);
    EXPECT_EQ(at(window::Label16).fore, kRed);
    EXPECT_FALSE(at(window::Label2).visible);
    EXPECT_EQ(optionsVisible(), std::vector<bool>(4, false));
    ASSERT_FALSE(form_.boxes().empty());
    EXPECT_EQ(form_.boxes().back(), kWrongBox);
    EXPECT_EQ(counter(), "2\r\n");
    // Nothing of the answer button runs after the end: the box and the end
    // are the last things that happened.
    const auto& log = form_.log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 1], "end");
    EXPECT_EQ(log[log.size() - 2].rfind("box ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, GameLossTest,
    ::testing::Values(LossCase{"first", 1, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"},
                      LossCase{"score3", 4, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"},
                      LossCase{"score4", 5, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"},
                      LossCase{"score7", 8, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"},
                      LossCase{"score8", 9, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
                      LossCase{"score11", 12, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
                      LossCase{"score12", 13, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"},
                      LossCase{"score14", 15, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameTest, TheFifteenthRightAnswerWinsEvenWithMoreQuestionsInTheFile) {
    startWith(quizOf(rotatingQuestions(17)), 1);
    playRight(15);
    EXPECT_EQ(form_.exitStatus(), 0);
    EXPECT_EQ(at(window::Label16).caption, "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!");
    EXPECT_EQ(form_.boxes().back(), kWinBox);
    EXPECT_EQ(redSteps().size(), 15u);
    EXPECT_EQ(counter(), "3\r\n");  // 1 wraps to 3
    // The reader stopped at question 15's last marker line; 16 was never read.
    EXPECT_EQ(game_->state().currentLine, ".0 q15");
}

TEST_F(GameTest, TheCounterStepsBeforeTheWindowChanges) {
    startWith(quizOf(rotatingQuestions(2)));
    click(window::Command1);
    // Make the counter step fail: the game must stop before touching the window.
    folder_.write("tet0.txt", "нет числа\r\n");
    const auto before = form_.snapshot();
    click(window::option(wrongTo(1)));
    const auto afterChoice = form_.snapshot();
    click(window::Command1);
    EXPECT_EQ(form_.exitStatus(), 1);
    EXPECT_NE(form_.failure().find("tet0.txt"), std::string::npos) << form_.failure();
    EXPECT_TRUE(at(window::Label2).visible);
    EXPECT_NE(at(window::Label16).fore, kRed);
    EXPECT_NE(before, afterChoice);
}

struct ResultsCase {
    const char* name;
    int questions;
    std::vector<LevelShape> levels;
    std::string verdict;
};

class GameResultsTest : public GameTest, public ::testing::WithParamInterface<ResultsCase> {};

TEST_P(GameResultsTest, TheEndOfTheQuizShowsScoreAndVerdict) {
    const ResultsCase& c = GetParam();
    startWith(quizOf(rotatingQuestions(c.questions), c.levels), 2);
    playRight(c.questions);
    ASSERT_FALSE(form_.ended()) << form_.failure();
    EXPECT_EQ(form_.title(), "РЕЗУЛЬТАТ");
    EXPECT_EQ(at(window::Label2).caption, "Результаты игры:\r\n Всего баллов: " +
                                               std::to_string(c.questions) + "\r\n" + c.verdict);
    EXPECT_EQ(at(window::Command1).caption, "Засчитать ответ");
    EXPECT_FALSE(at(window::Command1).enabled);
    EXPECT_EQ(at(window::Command1).tag, "2");
    EXPECT_EQ(at(window::Label16).caption, kPlaying);
    EXPECT_EQ(optionsVisible(), std::vector<bool>(4, false));
    EXPECT_EQ(counter(), "2\r\n");
    // No option can be chosen, so the answer button stays dead.
    EXPECT_FALSE(form_.click(*game_, window::Option1));
    EXPECT_FALSE(form_.click(*game_, window::Command1));
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, GameResultsTest,
    ::testing::Values(
        ResultsCase{"fourteenReachRow1", 14, kLevels, "Отлично"},
        ResultsCase{"thirteenReachRow1", 13, kLevels, "Отлично"},
        ResultsCase{"tenReachRow2", 10, kLevels, "Хорошо"},
        ResultsCase{"eightReachRow3", 8, kLevels, "Неплохо"},
        ResultsCase{"fiveFallToRow4", 5, kLevels, "Слабо"},
        ResultsCase{"twoRowsGivenScoreBelowBothGivesEmptyRow3", 5, {{"A", 13}, {"B", 10}}, ""},
        ResultsCase{"noRowsGivenGivesEmptyRow1", 3, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct QuitCase {
    const char* name;
    int rightAnswers;  // -1: quit on the introduction; 10 on a 10-question quiz: the results screen
    int questions;
};

class GameQuitTest : public GameTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(GameQuitTest, QuittingKeepsTheLastStepAndLeavesTheCounter) {
    const QuitCase& c = GetParam();
    startWith(quizOf(rotatingQuestions(c.questions)), 2);
    if (c.rightAnswers >= 0) playRight(c.rightAnswers);
    ASSERT_FALSE(form_.ended());
    const auto before = form_.snapshot();
    form_.queueReply(Reply::Yes);
    click(window::Command2);
    EXPECT_EQ(form_.exitStatus(), 0);
    EXPECT_EQ(form_.boxes().at(form_.boxes().size() - 2), kQuitQuestion);
    const int score = std::max(c.rightAnswers, 0);
    if (score == 0) {
        EXPECT_EQ(form_.boxes().back(), kQuitAtZero);
        EXPECT_EQ(form_.snapshot(), before);  // the window unchanged behind the box
    } else {
        EXPECT_EQ(at(window::Label16).caption, "У Вас " + at(window::item(score)).caption);
        EXPECT_EQ(at(window::Label16).fore, kRed);
        EXPECT_FALSE(at(window::Label2).visible);
        EXPECT_EQ(optionsVisible(), std::vector<bool>(4, false));
        EXPECT_EQ(form_.boxes().back(),
                  kQuitWithPoints);
    }
    EXPECT_EQ(counter(), "2\r\n");
}

INSTANTIATE_TEST_SUITE_P(Phases, GameQuitTest,
                         ::testing::Values(QuitCase{"introduction", -1, 5},
                                           QuitCase{"firstQuestion", 0, 5},
                                           QuitCase{"afterThreeRight", 3, 5},
                                           QuitCase{"afterFourteenRight", 14, 15},
                                           QuitCase{"resultsScreen", 10, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameTest, QuitAfterThreeRightShowsFourPoints) {
    startWith(quizOf(rotatingQuestions(5)));
    playRight(3);
    form_.queueReply(Reply::Yes);
    click(window::Command2);
    EXPECT_EQ(at(window::Label16).caption, "У Вас 4 балла");
}

TEST_F(GameTest, NoOnTheQuitQuestionChangesNothing) {
    startWith(quizOf(rotatingQuestions(5)));
    playRight(2);
    click(window::Option3);  // question 3's right answer
    const auto before = form_.snapshot();
    form_.queueReply(Reply::No);
    click(window::Command2);
    EXPECT_FALSE(form_.ended());
    EXPECT_EQ(form_.boxes().back(), kQuitQuestion);
    EXPECT_EQ(form_.snapshot(), before);
    click(window::Command1);  // the choice still stands and is judged
    EXPECT_EQ(game_->state().score, 3);
}

TEST_F(GameTest, FiftyFiftyHidesTheHalfWithoutTheRightAnswer) {
    const std::vector<std::vector<bool>> expected{
        {true, true, false, false},  // right answer 1
        {true, true, false, false},  // 2
        {false, false, true, true},  // 3
        {false, false, true, true},  // 4
    };
    for (int right = 1; right <= 4; ++right) {
        SCOPED_TRACE(right);
        TempFolder folder;
        FakeForm form;
        folder.write("tet0.txt", "1\r\n");
        folder.writeWindows1251("test1.txt", quizOf({{4, right}, {4, 1}}));
        game::Game g(form, folder.path());
        form.start(g);
        ASSERT_TRUE(form.click(g, window::Command1));
        ASSERT_TRUE(form.click(g, window::Command3));
        std::vector<bool> visible;
        for (int k = 1; k <= 4; ++k) visible.push_back(form.state(window::option(k)).visible);
        EXPECT_EQ(visible, expected[static_cast<std::size_t>(right - 1)]);
        EXPECT_FALSE(form.state(window::Command3).enabled);
        EXPECT_FALSE(form.click(g, window::Command3));
        // The next question shows all of its options again.
        ASSERT_TRUE(form.click(g, window::option(right)));
        ASSERT_TRUE(form.click(g, window::Command1));
        for (int k = 1; k <= 4; ++k) EXPECT_TRUE(form.state(window::option(k)).visible) << k;
        EXPECT_FALSE(form.state(window::Command3).enabled);
    }
}

TEST_F(GameTest, FiftyFiftyOnTheIntroductionChangesNothingVisibleButIsUsedUp) {
    startWith(quizOf(rotatingQuestions(3)));
    auto before = form_.snapshot();
    click(window::Command3);
    auto after = form_.snapshot();
    EXPECT_FALSE(at(window::Command3).enabled);
    after.controls[{static_cast<int>(window::ControlName::Command3), -1}].enabled = true;
    EXPECT_EQ(after, before);
}

TEST_F(GameTest, FiftyFiftyHidingTheChosenOptionKeepsTheChoiceWhichIsJudged) {
    // Question 1's right answer is option 1, so the 50/50 hides 3 and 4.
    startWith(quizOf(rotatingQuestions(3)));
    click(window::Command1);
    click(window::Option4);
    click(window::Command3);
    EXPECT_FALSE(at(window::Option4).visible);
    EXPECT_TRUE(at(window::Command1).enabled);
    EXPECT_EQ(game_->state().selectedAnswer, 4);
    click(window::Command1);
    EXPECT_EQ(form_.exitStatus(), 0);
    EXPECT_EQ(form_.boxes().back(), kWrongBox);
}

TEST_F(GameTest, HintNamesTheDrawnLetterOnceSeededFromTheClock) {
    startWith(quizOf(rotatingQuestions(3)));
    click(window::Command1);
    click(window::Command4);
    // The script draws 0.05 (no letter, drawn again), then 0.3: option 1.
    EXPECT_EQ(form_.boxes().back(),
              (MessageBoxCall{"МНЕ КАЖЕТСЯ ПРАВИЛЬНЫЙ ОТВЕТ ЭТО ОТВЕТ - A", "ПОДСКАЗКА КОМПЬЮТЕРА",
                              Buttons::Ok, Icon::None}));
    EXPECT_EQ(chance_->seeds(), std::vector<std::uint32_t>{4242u});
    EXPECT_FALSE(at(window::Command4).enabled);
    EXPECT_FALSE(form_.click(*game_, window::Command4));
    EXPECT_FALSE(form_.ended());
}

TEST_F(GameTest, QuestionsWithFewerAnswersShowOnlyOptionsWithText) {
    const std::string quiz =
        "T\r\n.\r\n.\r\nТри ответа\r\n.\r\nа\r\n,0\r\nб\r\n,1\r\nв\r\n.0\r\n"
        "Пустой четвёртый\r\n.\r\nа\r\n,1\r\nб\r\n,0\r\nв\r\n,0\r\n.0\r\n"
        "Два ответа\r\n.\r\nа\r\n,1\r\nб\r\n.0\r\n";
    startWith(quiz);
    const std::vector<std::vector<bool>> expected{
        {true, true, true, false}, {true, true, true, false}, {true, true, false, false}};
    const int right[] = {2, 1, 1};
    click(window::Command1);
    for (std::size_t q = 0; q < expected.size(); ++q) {
        SCOPED_TRACE(q + 1);
        EXPECT_EQ(optionsVisible(), expected[q]);
        answer(right[q]);
    }
    EXPECT_EQ(form_.title(), "РЕЗУЛЬТАТ");
}

TEST_F(GameTest, AnsweringWithoutAChoiceStopsInsteadOfReadingOutOfBounds) {
    startWith(quizOf(rotatingQuestions(3)));
    click(window::Command1);
    // The window never lets this happen; the game must still not read outside 1..4.
    EXPECT_THROW(game_->click(window::ControlName::Command1), game::GameError);
}

TEST_F(GameTest, ABrokenLastQuestionIsRefusedAtStartUpWithFileAndLine) {
    std::string quiz = quizOf(rotatingQuestions(1));
    quiz += "Сломанный вопрос\r\n.\r\nответ\r\n,7\r\n";
    startWith(quiz);
    EXPECT_EQ(form_.exitStatus(), 1);
    EXPECT_NE(form_.failure().find("test3.txt, строка 28"), std::string::npos) << form_.failure();
    EXPECT_NE(form_.failure().find(",7"), std::string::npos) << form_.failure();
    // Nothing of the quiz reached the window.
    EXPECT_EQ(form_.title(), "Вопрос 1");
    EXPECT_EQ(at(window::Label16).caption, kReady);
}

TEST_F(GameTest, AQuizWithoutQuestionsIsRefusedAtStartUp) {
    startWith(quizOf({}));
    EXPECT_EQ(form_.exitStatus(), 1);
    EXPECT_NE(form_.failure().find("test3.txt, строка 15"), std::string::npos) << form_.failure();
}

TEST_F(GameTest, AQuizInUtf8PlaysLikeItsWindows1251Twin) {
    const std::string quiz = quizOf(rotatingQuestions(2));
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"Windows-1251", testing_support::toWindows1251(quiz)},
        {"UTF-8", quiz},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + quiz},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        FakeForm form;
        folder.write("tet0.txt", "1\r\n");
        folder.write("test1.txt", c.bytes);
        game::Game g(form, folder.path());
        form.start(g);
        ASSERT_FALSE(form.ended()) << form.failure();
        EXPECT_EQ(form.title(), "Тестовая викторина");
        EXPECT_EQ(form.state(window::Label2).caption, "Привет!\r\n\r\nУдачи.\r\n");
        ASSERT_TRUE(form.click(g, window::Command1));
        EXPECT_EQ(form.state(window::Label2).caption, "Вопрос 1 ");
        EXPECT_EQ(form.state(window::Option3).caption, "Ответ 1.3 ");
    }
}

TEST_F(GameTest, AMissingCounterStopsAtStartUp) {
    game::Game g(form_, folder_.path());
    form_.start(g);
    EXPECT_EQ(form_.exitStatus(), 1);
    EXPECT_NE(form_.failure().find("tet0.txt"), std::string::npos) << form_.failure();
}

TEST(Add16, OverflowStopsInsteadOfWrapping) {
    EXPECT_EQ(game::add16(32766, 1, "x"), 32767);
    EXPECT_EQ(game::add16(-32767, -1, "x"), -32768);
    EXPECT_THROW(game::add16(32767, 1, "x"), game::GameError);
    EXPECT_THROW(game::add16(-32768, -1, "x"), game::GameError);
}

TEST(Array1To4, IndexesOneToFourOnly) {
    game::Array1To4<std::int16_t> a;
    a(1) = 5;
    a(4) = 7;
    EXPECT_EQ(a(1), 5);
    EXPECT_EQ(a(4), 7);
    EXPECT_THROW(a(0), game::GameError);
    EXPECT_THROW(a(5), game::GameError);
}

}  // namespace
