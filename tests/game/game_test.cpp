// The game on the recording fake window. The heart is a model of the rules:
// random valid quizzes played by random clicks, the window, the boxes and the
// counter compared with the model after every click. Then what the model
// leaves out: the hint's draw, the order of the end, and start-up refusals.
//
// QUIZ_MODEL_SEED=<seed> replays one case (its seed is printed when it fails);
// QUIZ_MODEL_CASES=<n> sets the number of cases.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <iostream>
#include <random>
#include <set>
#include <sstream>

#include "game/game.h"
#include "support/fake_form.h"
#include "support/support.h"

#ifndef QUIZ_MODEL_CASES
#define QUIZ_MODEL_CASES 2000
#endif

namespace {

using testing_support::ControlState;
using testing_support::FakeForm;
using testing_support::MessageBoxCall;
using window::Buttons;
using window::ControlRef;
using window::Icon;
using window::Reply;
using Random = std::mt19937_64;

// The game's texts, written out here independently of its code.
const std::string kPlaying = "ИДЕТ ИГРА БУДЬТЕ ВНИМАТЕЛЬНЫ!!!";
const std::string kHint = "МНЕ КАЖЕТСЯ ПРАВИЛЬНЫЙ ОТВЕТ ЭТО ОТВЕТ - ";
const MessageBoxCall kWrongBox{"В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Игра закончена", Buttons::Ok, Icon::Critical};
const MessageBoxCall kWinBox{"П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!"};
const MessageBoxCall kQuitQuestion{"ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo};
const MessageBoxCall kQuitAtZero{"ВЫ ОТКАЗАЛИСЬ ОТ ИГРЫ!", "ДО НОВОЙ ВСТРЕЧИ!"};
const MessageBoxCall kQuitWithPoints{"До новой встречи", "ВЫХОД ИЗ ИГРЫ"};
const MessageBoxCall kHintBox{kHint, "ПОДСКАЗКА КОМПЬЮТЕРА"};
const std::array<std::string, 4> kLetters = {"A", "Б", "В", "Г"};
// The caption of the status line after a loss, by the highest score it covers.
const std::array<std::pair<int, const char*>, 5> kMilestones = {{
    {3, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"},
    {7, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"},
    {11, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
    {14, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"},
    {15, "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!"},
}};

int pick(Random& r, int low, int high) { return std::uniform_int_distribution<int>(low, high)(r); }
bool chance(Random& r, double p) { return std::bernoulli_distribution(p)(r); }

struct Answer {
    std::vector<std::string> lines;  // none: an answer without text, never shown
    int points = 0;
};
struct Question {
    std::vector<std::string> lines;
    std::vector<Answer> answers;  // 1..4
};
struct Quiz {
    std::string title;
    std::vector<std::string> introduction;
    std::vector<std::pair<std::string, int>> levels;  // 0..4 (verdict, minimum)
    std::vector<Question> questions;                  // 1..20
};

// Words, maybe none; never begins with "." or ",".
std::string randomLine(Random& r) {
    static const char* const words[] = {"Сколько", "два", "Ёлка", "Volga", "42", "?", "—", "«да»",
                                        "&amp;", "<b>x</b>", "(1)", "100%", "Ы!", "a.b,c", "\t"};
    std::string line;
    for (int n = pick(r, 0, 4); n > 0; --n) line += (line.empty() ? "" : " ") + std::string(words[pick(r, 0, 14)]);
    return line;
}
std::vector<std::string> randomLines(Random& r, int low, int high) {
    std::vector<std::string> lines(static_cast<std::size_t>(pick(r, low, high)));
    for (std::string& line : lines) line = randomLine(r);
    return lines;
}

Quiz randomQuiz(Random& r) {
    Quiz quiz{(chance(r, 0.1) ? "." : "") + randomLine(r), randomLines(r, 0, 3), {}, {}};
    for (int n = pick(r, 0, 4); n > 0; --n) quiz.levels.emplace_back(randomLine(r), pick(r, -2, 16));
    for (int n = pick(r, 1, 20); n > 0; --n) {
        Question q{randomLines(r, 0, 2), {}};
        if (chance(r, 0.1)) q.lines.push_back("," + randomLine(r));  // content, not a marker
        const int answers = pick(r, 1, 4), kind = pick(r, 0, 19), right = pick(r, 0, answers - 1);
        for (int j = 0; j < answers; ++j) {
            // kind 0: no right answer; 1..3: maybe several; else exactly one.
            const int points = kind == 0 ? 0 : kind <= 3 ? (j == right || chance(r, 0.5)) : j == right;
            q.answers.push_back({chance(r, 0.04) ? std::vector<std::string>{} : randomLines(r, 1, 2), points});
        }
        quiz.questions.push_back(q);
    }
    return quiz;
}

// The quiz's file: random line ends, encoding, ignored text after marker
// digits, blanks around minimums and blank lines after the end.
std::string render(const Quiz& quiz, Random& r) {
    const std::string end = std::array<const char*, 4>{"\r\n", "\r\n", "\n", "\r"}[pick(r, 0, 3)];
    std::string out;
    const auto line = [&](const std::string& text) { out += text + end; };
    const auto marker = [&](char first, int points) {
        static const char* const tails[] = {"", "", " ", "7", " конец"};
        line(std::string(1, first) + (points >= 0 ? std::to_string(points) : "") + tails[pick(r, 0, 4)]);
    };
    line(quiz.title);
    for (const std::string& l : quiz.introduction) line(l);
    marker('.', -1);
    for (const auto& [text, minimum] : quiz.levels) {
        line(text);
        line(std::string(pick(r, 0, 2), ' ') + std::to_string(minimum) + std::string(pick(r, 0, 1), '\t'));
    }
    marker('.', -1);
    for (const Question& q : quiz.questions) {
        for (const std::string& l : q.lines) line(l);
        marker('.', -1);
        for (std::size_t j = 0; j < q.answers.size(); ++j) {
            for (const std::string& l : q.answers[j].lines) line(l);
            marker(j + 1 == q.answers.size() ? '.' : ',', q.answers[j].points);
        }
    }
    for (int n = pick(r, 0, 2); n > 0; --n) line(std::string(pick(r, 0, 2), ' '));
    if (chance(r, 0.3)) return "\xEF\xBB\xBF" + out;
    return chance(r, 0.5) ? out : testing_support::toWindows1251(out);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + " ";
    return text;
}

enum class Phase { Introduction, Playing, Results, Ended };

// What the window must show after each click, by the rules of the game.
class Model {
public:
    Model(const Quiz& quiz, const FakeForm::Snapshot& designed) : quiz_(quiz), designed_(designed), window_(designed) {
        resetForm();
        window_.title = quiz.title;
        std::string introduction;
        for (const std::string& l : quiz.introduction) introduction += l + "\r\n";
        at(window::Label2).caption = introduction;
        at(window::Label2).wordWrap = true;
        at(window::Command1).caption = "Ok";
        at(window::Command1).tag = "0";
    }

    bool delivers(ControlRef c) const {
        const ControlState& s = window_.controls.at(FakeForm::key(c));
        return phase_ != Phase::Ended && (c.name <= window::ControlName::Option4 ? s.visible : s.enabled);
    }

    // The click with the reply to a quit question; gives the boxes it shows.
    std::vector<MessageBoxCall> click(ControlRef c, Reply reply) {
        boxes_.clear();
        if (!delivers(c)) return boxes_;
        if (c.name <= window::ControlName::Option4) {
            selected_ = static_cast<int>(c.name) - static_cast<int>(window::ControlName::Option1) + 1;
            for (int i = 1; i <= 4; ++i) at(window::option(i)).selected = i == selected_;
            at(window::Command1).enabled = true;
        } else if (c == window::Command1) {
            answerButton();
        } else if (c == window::Command2) {
            boxes_.push_back(kQuitQuestion);
            if (reply == Reply::Yes) quit();
        } else if (c == window::Command3) {
            const bool firstHalf = points_[0] != 0 || points_[1] != 0;
            at(window::option(firstHalf ? 3 : 1)).visible = at(window::option(firstHalf ? 4 : 2)).visible = false;
            at(window::Command3).enabled = false;
        } else {
            boxes_.push_back(kHintBox);
            at(window::Command4).enabled = false;
        }
        return boxes_;
    }

    Phase phase() const { return phase_; }
    int question() const { return question_; }
    bool stepped() const { return stepped_; }
    const FakeForm::Snapshot& window() const { return window_; }
    // The option that answers right, when one is shown.
    int visibleRight() const {
        for (int k = 1; k <= 4; ++k)
            if (window_.controls.at(FakeForm::key(window::option(k))).visible && points_[k - 1] == 1) return k;
        return 0;
    }

private:
    ControlState& at(ControlRef c) { return window_.controls[FakeForm::key(c)]; }
    void resetForm() {
        for (int k = 1; k <= 4; ++k) {
            at(window::option(k)).visible = at(window::option(k)).selected = false;
            at(window::option(k)).caption.clear();
        }
    }
    void answerButton() {
        at(window::Label16).caption = kPlaying;
        if (phase_ != Phase::Playing) {
            at(window::Command1).tag = "1";
            at(window::Command1).caption = "Дальше";
            phase_ = Phase::Playing;
            resetForm();
            return showQuestion();
        }
        score_ += points_[selected_ - 1];
        if (score_ != question_ || score_ == 15) return end(score_ == 15 ? kWinBox : kWrongBox, true);
        resetForm();
        if (next_ < quiz_.questions.size()) return showQuestion();
        window_.title = "РЕЗУЛЬТАТ";
        at(window::Command1).caption = "Засчитать ответ";
        at(window::Command1).tag = "2";
        at(window::Command1).enabled = false;
        at(window::Label2).caption = "Результаты игры:\r\n Всего баллов: " + std::to_string(score_) + "\r\n" + verdict();
        phase_ = Phase::Results;
    }
    void showQuestion() {
        window_.title = "ВОПРОС " + std::to_string(++question_);
        const Question& q = quiz_.questions[next_++];
        at(window::Label2).caption = joined(q.lines);
        for (std::size_t j = 0; j < q.answers.size(); ++j) {
            ControlState& option = at(window::option(static_cast<int>(j) + 1));
            option.caption = joined(q.answers[j].lines);
            option.visible = !option.caption.empty();
            points_[j] = q.answers[j].points;
        }
        at(window::item(score_ + 1)).back = window::kRed;
        at(window::Command1).enabled = false;
    }
    // The first of rows 1..3 whose minimum the score reaches, else row 4; a
    // row the quiz leaves out has minimum 0 and no text.
    std::string verdict() const {
        for (std::size_t i = 0; i < 4; ++i) {
            const auto row = i < quiz_.levels.size() ? quiz_.levels[i] : std::pair<std::string, int>{};
            if (i == 3 || score_ >= row.second) return row.first;
        }
        return "";
    }
    void takeDownTheQuestion(const std::string& status) {
        at(window::Label16).caption = status;
        at(window::Label2).visible = false;
        at(window::Label16).fore = window::kRed;
        for (int k = 1; k <= 4; ++k) at(window::option(k)).visible = false;
    }
    void end(const MessageBoxCall& box, bool step) {
        if (step) {
            std::string status;
            for (const auto& [highest, caption] : kMilestones)
                if (status.empty() && score_ <= highest) status = caption;
            takeDownTheQuestion(status);
        }
        boxes_.push_back(box);
        stepped_ = step;
        phase_ = Phase::Ended;
    }
    void quit() {
        if (score_ == 0) return end(kQuitAtZero, false);
        takeDownTheQuestion("У Вас " + designed_.controls.at(FakeForm::key(window::item(score_))).caption);
        end(kQuitWithPoints, false);
    }

    const Quiz& quiz_;
    const FakeForm::Snapshot designed_;
    FakeForm::Snapshot window_;
    Phase phase_ = Phase::Introduction;
    int score_ = 0, question_ = 0, selected_ = 0;
    std::array<int, 4> points_{};
    std::size_t next_ = 0;
    bool stepped_ = false;
    std::vector<MessageBoxCall> boxes_;
};

std::string differences(const FakeForm::Snapshot& expected, const FakeForm::Snapshot& actual) {
    std::ostringstream out;
    if (expected.title != actual.title) out << "\n title «" << expected.title << "» is «" << actual.title << "»";
    for (const auto& [k, s] : expected.controls) {
        const ControlState& a = actual.controls.at(k);
        if (a == s) continue;
        out << "\n " << window::describe({static_cast<window::ControlName>(k.first), k.second}) << ": «"
            << s.caption << "» v" << s.visible << " e" << s.enabled << " s" << s.selected << " w" << s.wordWrap
            << " " << s.back << "/" << s.fore << " " << s.tag << " is «" << a.caption << "» v" << a.visible
            << " e" << a.enabled << " s" << a.selected << " w" << a.wordWrap << " " << a.back << "/" << a.fore
            << " " << a.tag;
    }
    return out.str();
}

struct Coverage {
    std::set<std::string> endings;  // titles of the last boxes of ended games
    int results = 0, refused = 0, hints = 0;
};

void playCase(std::uint64_t seed, Coverage& coverage) {
    Random r(seed);
    const Quiz quiz = randomQuiz(r);
    const int counter = pick(r, 1, 3);
    const std::string counterBytes = std::array<std::string, 3>{"", " ", "\xEF\xBB\xBF"}[pick(r, 0, 2)] +
                                     std::to_string(counter) + (chance(r, 0.5) ? "\r\n" : "");
    testing_support::TempFolder folder(true);
    folder.write("tet0.txt", counterBytes);
    const std::string quizFile = "test" + std::to_string(counter) + ".txt";
    folder.write(quizFile, render(quiz, r));

    FakeForm form;
    Model model(quiz, form.snapshot());
    const auto clock = static_cast<std::uint32_t>(r());
    game::Game game(form, folder.path(), std::make_unique<game::MersenneChance>(), [clock] { return clock; });
    form.start(game);
    ASSERT_EQ(form.failure(), "") << "start-up failed on a valid quiz";
    ASSERT_TRUE(form.snapshot() == model.window()) << "after start-up:" << differences(model.window(), form.snapshot());
    const double care = std::array<double, 3>{0.6, 0.95, 1.0}[pick(r, 0, 2)];
    std::string hintLetter;
    for (int event = 1, afterEnd = 0; event <= 90 && afterEnd < 3; ++event) {
        // Mostly the right answer, with `care` the share of deliberate clicks.
        ControlRef c = std::array<ControlRef, 12>{window::Option1, window::Option2, window::Option3, window::Option4,
                                                  window::Option1, window::Option2, window::Option3, window::Option4,
                                                  window::Command1, window::Command1, window::Command3,
                                                  window::Command4}[pick(r, 0, 11)];
        if (chance(r, 0.04)) c = window::Command2;
        const int right = model.visibleRight();
        if (model.phase() != Phase::Playing && chance(r, care)) c = window::Command1;
        if (model.phase() == Phase::Playing && chance(r, care) && (right || chance(r, 0.5)))
            c = right && !form.state(window::option(right)).selected ? window::option(right) : window::Command1;
        const Reply reply = chance(r, 0.35) ? Reply::Yes : Reply::No;
        SCOPED_TRACE("click " + std::to_string(event) + " on " + window::describe(c) +
                     (c == window::Command2 ? (reply == Reply::Yes ? " (Yes)" : " (No)") : ""));
        afterEnd += model.phase() == Phase::Ended;
        const FakeForm::Snapshot before = form.snapshot();
        const std::size_t boxesBefore = form.boxes().size();
        const bool expectDelivered = model.delivers(c);
        if (expectDelivered && c == window::Command2) form.queueReply(reply);
        const Phase phaseBefore = model.phase();
        std::vector<MessageBoxCall> expected = model.click(c, reply);

        ASSERT_EQ(form.click(game, c), expectDelivered) << "delivery of the click";
        ASSERT_EQ(form.failure(), "") << "the game stopped on failure";
        coverage.refused += !expectDelivered;
        const std::vector<MessageBoxCall> shown(form.boxes().begin() + static_cast<long>(boxesBefore), form.boxes().end());
        if (shown.size() == 1 && expected.size() == 1 && expected[0] == kHintBox && shown[0].text.starts_with(kHint)) {
            // The letter is the computer's guess: one of the four, the same for the same clock.
            const std::string letter = shown[0].text.substr(kHint.size());
            ASSERT_NE(std::find(kLetters.begin(), kLetters.end(), letter), kLetters.end()) << letter;
            ASSERT_TRUE(hintLetter.empty() || hintLetter == letter);
            hintLetter = letter;
            expected[0].text += letter;
            ++coverage.hints;
        }
        ASSERT_EQ(shown, expected) << "message boxes";
        ASSERT_EQ(form.ended(), model.phase() == Phase::Ended) << "the end of the program";
        if (form.ended()) {
            ASSERT_EQ(form.exitStatus(), 0);
        }
        ASSERT_EQ(folder.read("tet0.txt"), model.stepped() ? std::to_string(counter <= 1 ? 3 : counter - 1) + "\r\n"
                                                            : counterBytes)
            << "the counter";
        if (model.phase() == Phase::Playing) {
            ASSERT_EQ(game.state().questionNumber, model.question());
            ASSERT_EQ(game.state().score, model.question() - 1);
        }
        ASSERT_TRUE(form.snapshot() == model.window()) << "the window:" << differences(model.window(), form.snapshot());
        if (!expectDelivered) {
            ASSERT_TRUE(form.snapshot() == before);
        }
        coverage.results += model.phase() == Phase::Results && phaseBefore != Phase::Results;
    }
    EXPECT_EQ(folder.files(), (std::vector<std::string>{quizFile, "tet0.txt"})) << "files in the game's folder";
    if (form.ended()) coverage.endings.insert(form.boxes().back().title);
}

TEST(GameModel, RandomGamesKeepTheRules) {
    Coverage coverage;
    const char* one = std::getenv("QUIZ_MODEL_SEED");
    const char* cases = std::getenv("QUIZ_MODEL_CASES");
    const std::uint64_t count = one ? 1 : cases ? std::stoull(cases) : QUIZ_MODEL_CASES;
    const std::uint64_t runSeed = (std::uint64_t{std::random_device{}()} << 32) | std::random_device{}();
    for (std::uint64_t i = 0; i < count && !HasFailure(); ++i) {
        const std::uint64_t seed = one ? std::stoull(one) : Random(runSeed + i)();
        SCOPED_TRACE("case seed " + std::to_string(seed) + " (replay with QUIZ_MODEL_SEED=" + std::to_string(seed) + ")");
        playCase(seed, coverage);
    }
    if (count < 1000) return;
    // A run that never reached an ending or a kind of click proves little.
    EXPECT_EQ(coverage.endings.size(), 4U) << "lost, won, quit at 0, quit with points";
    EXPECT_GT(coverage.results, 0);
    EXPECT_GT(coverage.refused, 0);
    EXPECT_GT(coverage.hints, 0);
}

// A source of chance that hands out scripted uniforms.
class ScriptedChance final : public game::Chance {
public:
    explicit ScriptedChance(std::deque<double> values) : values_(std::move(values)) {}
    void seed(std::uint32_t value) override { seeds.push_back(value); }
    double uniform() override {
        const double u = values_.at(0);
        values_.pop_front();
        return u;
    }
    std::deque<double> values_;
    std::vector<std::uint32_t> seeds;
};

TEST(Hint, RoundsTheDrawAndDrawsAgainOnZero) {
    const std::tuple<std::deque<double>, int, std::size_t> cases[] = {
        {{0.0, 0.3}, 1, 0}, {{0.1249, 0.375}, 2, 0}, {{0.125, 0.9}, 1, 1}, {{0.5, 0}, 2, 1},
        {{0.625, 0}, 3, 1}, {{0.8749, 0}, 3, 1}, {{0.875, 0}, 4, 1}, {{0.999999, 0}, 4, 1},
        {{0.01, 0.02, 0.0, 0.7}, 3, 0},
    };
    for (const auto& [uniforms, option, left] : cases) {
        ScriptedChance chance(uniforms);
        EXPECT_EQ(game::drawHintOption(chance), option) << uniforms.front();
        EXPECT_EQ(chance.values_.size(), left) << uniforms.front();
    }
    game::MersenneChance mersenne;
    std::array<int, 5> counts{};
    for (std::uint32_t s = 0; s < 86400; ++s) {  // every second of a day
        mersenne.seed(s);
        ++counts[static_cast<std::size_t>(game::drawHintOption(mersenne))];
    }
    const std::array<double, 5> sevenths = {0, 2, 2, 2, 1};
    for (int k = 0; k <= 4; ++k) EXPECT_NEAR(counts[k] / 86400.0, sevenths[k] / 7, 0.01) << k;
}

// A game on the fake window in a scratch folder.
struct Scene {
    explicit Scene(const std::string& quiz, const std::string& counter = "3\r\n") {
        if (!counter.empty()) folder.write("tet0.txt", counter);
        folder.write("test3.txt", quiz);
        auto scripted = std::make_unique<ScriptedChance>(std::deque<double>{0.05, 0.3});
        chance = scripted.get();
        game = std::make_unique<game::Game>(form, folder.path(), std::move(scripted), [] { return 4242u; });
        form.start(*game);
    }
    bool click(ControlRef c) { return form.click(*game, c); }
    testing_support::TempFolder folder;
    FakeForm form;
    ScriptedChance* chance;
    std::unique_ptr<game::Game> game;
};

TEST(Game, HintIsSeededFromTheClockAndNamesTheDrawnLetter) {
    Scene scene(testing_support::makeQuiz(3));
    scene.click(window::Command1);
    scene.click(window::Command4);
    EXPECT_EQ(scene.form.boxes().back().text, kHint + "A");  // 0.05 draws again, 0.3 gives A
    EXPECT_EQ(scene.chance->seeds, std::vector<std::uint32_t>{4242u});
}

TEST(Game, TheEndStepsTheCounterBeforeTheWindowChanges) {
    Scene scene(testing_support::makeQuiz(3));
    scene.click(window::Command1);
    scene.click(window::option(2));
    std::string counterAtTheEnd;  // when the status line first tells the end
    scene.form.onOperation = [&](const std::string& entry) {
        if (counterAtTheEnd.empty() && entry.find("ИГРА ОКОНЧЕНА") != std::string::npos)
            counterAtTheEnd = scene.folder.read("tet0.txt");
    };
    scene.click(window::Command1);
    EXPECT_EQ(counterAtTheEnd, "2\r\n");
    EXPECT_EQ(scene.form.boxes().back(), kWrongBox);

    Scene broken(testing_support::makeQuiz(3));  // a step refused: nothing of the end is shown
    broken.click(window::Command1);
    broken.click(window::option(2));
    broken.folder.write("tet0.txt", "нет числа");
    const FakeForm::Snapshot before = broken.form.snapshot();
    broken.click(window::Command1);
    EXPECT_EQ(broken.form.exitStatus(), 1);
    EXPECT_NE(broken.form.failure().find("tet0.txt"), std::string::npos);
    EXPECT_TRUE(broken.form.snapshot() == before) << differences(before, broken.form.snapshot());
}

TEST(Game, StartUpRefusesWhatCannotBePlayedBeforeShowingAnything) {
    const std::pair<std::string, std::string> cases[] = {
        {testing_support::makeQuiz(1) + testing_support::crlf("Сломанный|.|ответ|,7"), "test3.txt, строка 26: "},
        {testing_support::makeQuiz(0), "test3.txt, строка 13: "},
        {testing_support::makeQuiz(1) + "\xEF\xBB\xBF", "test3.txt, строка 23: "},
    };
    for (const auto& [quiz, error] : cases) {
        Scene scene(quiz);
        EXPECT_EQ(scene.form.exitStatus(), 1);
        EXPECT_NE(scene.form.failure().find(error), std::string::npos) << scene.form.failure();
        EXPECT_EQ(scene.form.title(), window::kFormTitle);
    }
    Scene noCounter(testing_support::makeQuiz(1), "");
    EXPECT_NE(noCounter.form.failure().find("tet0.txt"), std::string::npos);
}

TEST(Game, RulesOfNumbersStopInsteadOfWrappingOrReadingOutside) {
    EXPECT_EQ(game::add16(32766, 1, "x"), 32767);
    EXPECT_EQ(game::add16(-32767, -1, "x"), -32768);
    EXPECT_THROW(game::add16(32767, 1, "x"), game::GameError);
    EXPECT_THROW(game::add16(-32768, -1, "x"), game::GameError);
    game::Array1To4<int> a;
    a(1) = 5, a(4) = 7;
    EXPECT_EQ(a(1) + a(4), 12);
    EXPECT_THROW(a(0), game::GameError);
    EXPECT_THROW(a(5), game::GameError);
    Scene scene(testing_support::makeQuiz(3));
    scene.click(window::Command1);
    EXPECT_THROW(scene.game->click(window::ControlName::Command1), game::GameError) << "answer without a choice";
}

}  // namespace
