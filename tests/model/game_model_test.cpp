// The game against a model of its rules: random valid quizzes played by random
// clicks on the recording fake window. After every click the window, the
// game's score and the counter file are compared with what the model expects,
// and the game's invariants are checked one by one so that a break names the
// rule it broke.
//
// Each case has a seed, printed when the case fails. QUIZ_MODEL_SEED=<seed>
// replays that one case; QUIZ_MODEL_CASES=<n> sets the number of cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "faults/scratch_folder.h"
#include "game/game.h"
#include "support/expected_texts.h"
#include "support/fake_form.h"
#include "support/quiz_files.h"

#ifndef QUIZ_MODEL_CASES
#define QUIZ_MODEL_CASES 2000
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::ControlState;
using testing_support::FakeForm;
using testing_support::kHintText;
using testing_support::kHintTitle;
using testing_support::kPlaying;
using testing_support::kQuitAtZero;
using testing_support::kQuitQuestion;
using testing_support::kQuitWithPoints;
using testing_support::kWinBox;
using testing_support::kWrongBox;
using testing_support::MessageBoxCall;
using window::Buttons;
using window::ControlRef;
using window::Icon;
using window::Reply;
using Random = std::mt19937_64;

struct QuizAnswer {
    std::vector<std::string> lines;  // none: an answer without text, never shown
    int points = 0;
};

struct QuizQuestion {
    std::vector<std::string> lines;
    std::vector<QuizAnswer> answers;  // 1..4
};

struct QuizLevel {
    std::string text;
    int minScore = 0;
};

struct Quiz {
    std::string title;
    std::vector<std::string> introduction;
    std::vector<QuizLevel> levels;  // 0..4
    std::vector<QuizQuestion> questions;  // 1..20
};

const std::vector<std::string> kWords = {
    "Сколько", "будет", "два", "плюс", "Ёлка", "река", "Volga", "42", "?", "—", "«да»",
    "ответ",   "Москва", "year", "Щука", "эхо",  "(1)",  "100%", "ь", "Ы!", "a.b,c",
};

int pick(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}
bool chance(Random& random, double p) { return std::bernoulli_distribution(p)(random); }
template <typename Items>
const auto& pickFrom(Random& random, const Items& items) {
    return items[static_cast<std::size_t>(pick(random, 0, static_cast<int>(items.size()) - 1))];
}

// Words, maybe none; never begins with "." or ",".
std::string randomLine(Random& random) {
    std::string line;
    for (int n = pick(random, 0, 4); n > 0; --n) {
        if (!line.empty()) line += ' ';
        line += pickFrom(random, kWords);
    }
    return line;
}

std::vector<std::string> randomLines(Random& random, int low, int high) {
    std::vector<std::string> lines;
    for (int n = pick(random, low, high); n > 0; --n) lines.push_back(randomLine(random));
    return lines;
}

Quiz randomQuiz(Random& random) {
    Quiz quiz;
    // The title is taken whole, even when it begins like a marker line.
    if (chance(random, 0.1)) quiz.title = ".";
    quiz.title += randomLine(random);
    quiz.introduction = randomLines(random, 0, 3);
    for (int n = pick(random, 0, 4); n > 0; --n) {
        quiz.levels.push_back({randomLine(random), pick(random, -2, 16)});
    }
    for (int n = pick(random, 1, 20); n > 0; --n) {
        QuizQuestion question;
        question.lines = randomLines(random, 0, 2);
        // A line beginning with "," is question text, not a marker.
        if (chance(random, 0.1)) question.lines.push_back("," + randomLine(random));
        const int answers = pick(random, 1, 4);
        const int kind = pick(random, 0, 19);  // 0: no right answer, 1-3: several, else one
        const int right = pick(random, 0, answers - 1);
        for (int j = 0; j < answers; ++j) {
            QuizAnswer answer;
            if (!chance(random, 0.04)) answer.lines = randomLines(random, 1, 2);
            if (kind == 0) {
                answer.points = 0;
            } else if (kind <= 3) {
                answer.points = j == right || chance(random, 0.5);
            } else {
                answer.points = j == right;
            }
            question.answers.push_back(answer);
        }
        quiz.questions.push_back(question);
    }
    return quiz;
}

// Text after the marker character and the digit, which the reader ignores.
std::string randomTail(Random& random) {
    static const std::array<std::string, 5> tails = {"", "", " ", "7", " конец"};
    return tails[static_cast<std::size_t>(pick(random, 0, 4))];
}

// A marker line: "." or ",", then maybe the points digit, then ignored text.
std::string marker(char first, std::optional<int> points, Random& random) {
    std::string line(1, first);
    if (points) line += static_cast<char>('0' + *points);
    line += randomTail(random);
    return line;
}

std::string render(const Quiz& quiz, Random& random) {
    std::string out;
    const auto line = [&out](const std::string& text) { out += text + "\r\n"; };
    line(quiz.title);
    for (const std::string& l : quiz.introduction) line(l);
    line(marker('.', std::nullopt, random));
    for (const QuizLevel& level : quiz.levels) {
        line(level.text);
        // Blanks around the minimum score are allowed.
        std::string minScore(static_cast<std::size_t>(pick(random, 0, 2)), ' ');
        minScore += std::to_string(level.minScore);
        minScore.append(static_cast<std::size_t>(pick(random, 0, 1)), ' ');
        line(minScore);
    }
    line(marker('.', std::nullopt, random));
    for (const QuizQuestion& question : quiz.questions) {
        for (const std::string& l : question.lines) line(l);
        line(marker('.', std::nullopt, random));
        for (std::size_t j = 0; j < question.answers.size(); ++j) {
            const QuizAnswer& answer = question.answers[j];
            for (const std::string& l : answer.lines) line(l);
            const bool last = j + 1 == question.answers.size();
            line(marker(last ? '.' : ',', answer.points, random));
        }
    }
    return out;
}

// Content lines as the reader joins them: each followed by one blank.
std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + " ";
    return text;
}

struct CounterStart {
    const char* bytes;
    int value;
};
const std::array<CounterStart, 6> kCounterStarts = {{
    {"1\r\n", 1}, {"2\r\n", 2}, {"3\r\n", 3}, {" 2 \r\n", 2}, {"3", 3}, {"1\n", 1},
}};

const std::array<std::string, 4> kLetters = {"A", "Б", "В", "Г"};

struct Milestone {
    int highest;
    const char* caption;
};
const std::array<Milestone, 5> kMilestones = {{
    {3, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"},
    {7, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"},
    {11, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
    {14, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"},
    {15, "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!"},
}};

std::string milestoneCaption(int score) {
    for (const Milestone& m : kMilestones) {
        if (score <= m.highest) return m.caption;
    }
    return "";
}

enum class Phase { Introduction, Playing, Results, Ended };
enum class Ending { None, Lost, Won, QuitAtZero, QuitWithPoints };

using Key = std::pair<int, int>;
Key key(ControlRef control) { return {static_cast<int>(control.name), control.index}; }

// Boxes the model expects; a hint box names a letter the model cannot know.
struct ExpectedBox {
    MessageBoxCall box;
    bool hint = false;
};

class Model {
public:
    Model(const Quiz& quiz, FakeForm::Snapshot designed)
        : quiz_(quiz), designed_(designed), window_(std::move(designed)) {
        resetForm();
        window_.title = quiz.title;
        std::string introduction;
        for (const std::string& l : quiz.introduction) introduction += l + "\r\n";
        at(window::Label2).caption = introduction;
        at(window::Command1).caption = "Ok";
        at(window::Command1).tag = "0";
        at(window::Label2).wordWrap = true;
    }

    // Whether the window delivers a click on `control` now.
    bool delivers(ControlRef control) const {
        if (phase_ == Phase::Ended) return false;
        const ControlState& state = window_.controls.at(key(control));
        return isOption(control) ? state.visible : state.enabled;
    }

    // The click, with the reply to a quit question; returns the boxes shown.
    std::vector<ExpectedBox> click(ControlRef control, Reply reply) {
        boxes_.clear();
        if (!delivers(control)) return boxes_;
        if (isOption(control)) {
            const int k = static_cast<int>(control.name) -
                          static_cast<int>(window::ControlName::Option1) + 1;
            for (int i = 1; i <= 4; ++i) at(window::option(i)).selected = i == k;
            selectedAnswer_ = k;
            at(window::Command1).enabled = true;
        } else if (control == window::Command1) {
            answerButton();
        } else if (control == window::Command2) {
            boxes_.push_back({kQuitQuestion});
            if (reply == Reply::Yes) quitGame();
        } else if (control == window::Command3) {
            const bool rightInFirstHalf = points_[0] != 0 || points_[1] != 0;
            at(window::option(rightInFirstHalf ? 3 : 1)).visible = false;
            at(window::option(rightInFirstHalf ? 4 : 2)).visible = false;
            at(window::Command3).enabled = false;
        } else if (control == window::Command4) {
            boxes_.push_back({{kHintText, kHintTitle, Buttons::Ok, Icon::None}, true});
            at(window::Command4).enabled = false;
        }
        return boxes_;
    }

    Phase phase() const noexcept { return phase_; }
    Ending ending() const noexcept { return ending_; }
    int score() const noexcept { return score_; }
    int questionNumber() const noexcept { return questionNumber_; }
    const FakeForm::Snapshot& window() const noexcept { return window_; }
    const FakeForm::Snapshot& designed() const noexcept { return designed_; }
    bool counterStepped() const noexcept {
        return ending_ == Ending::Lost || ending_ == Ending::Won;
    }
    // The option a right answer is given with, when one is visible now.
    std::optional<int> visibleRightOption() const {
        for (int k = 1; k <= 4; ++k) {
            const bool visible = window_.controls.at(key(window::option(k))).visible;
            if (visible && points_[static_cast<std::size_t>(k - 1)] == 1) return k;
        }
        return std::nullopt;
    }

private:
    static bool isOption(ControlRef c) {
        return c.name >= window::ControlName::Option1 && c.name <= window::ControlName::Option4;
    }
    ControlState& at(ControlRef control) { return window_.controls[key(control)]; }

    void resetForm() {
        for (int k = 1; k <= 4; ++k) {
            ControlState& option = at(window::option(k));
            option.visible = false;
            option.caption.clear();
            option.selected = false;
        }
    }

    void answerButton() {
        at(window::Label16).caption = kPlaying;
        if (phase_ != Phase::Playing) {
            at(window::Command1).enabled = false;
            resetForm();
            showNextQuestion();
            at(window::Command1).tag = "1";
            at(window::Command1).caption = "Дальше";
            phase_ = Phase::Playing;
            return;
        }
        score_ += points_[static_cast<std::size_t>(selectedAnswer_ - 1)];
        if (score_ != questionNumber_ || score_ == 15) return gameOver();
        resetForm();
        if (nextQuestion_ == quiz_.questions.size()) {
            at(window::Command1).caption = "Засчитать ответ";
            window_.title = "РЕЗУЛЬТАТ";
            at(window::Command1).tag = "2";
            at(window::Command1).enabled = false;
            at(window::Label2).caption = "Результаты игры:\r\n Всего баллов: " +
                                         std::to_string(score_) + "\r\n" + verdict();
            phase_ = Phase::Results;
        } else {
            showNextQuestion();
        }
    }

    void showNextQuestion() {
        ++questionNumber_;
        window_.title = "ВОПРОС " + std::to_string(questionNumber_);
        const QuizQuestion& question = quiz_.questions[nextQuestion_++];
        at(window::Label2).caption = joined(question.lines);
        for (std::size_t j = 0; j < question.answers.size(); ++j) {
            at(window::option(static_cast<int>(j) + 1)).caption = joined(question.answers[j].lines);
            points_[j] = question.answers[j].points;
        }
        for (int k = 1; k <= 4; ++k) {
            ControlState& option = at(window::option(k));
            if (!option.caption.empty()) option.visible = true;
        }
        at(window::item(score_ + 1)).back = window::kRed;
        at(window::Command1).enabled = false;
    }

    // The first of rows 1..3 whose minimum the score reaches, else row 4;
    // rows the quiz does not give have minimum 0 and no text.
    std::string verdict() const {
        const auto row = [this](std::size_t i) {
            return i < quiz_.levels.size() ? quiz_.levels[i] : QuizLevel{};
        };
        for (std::size_t i = 0; i < 3; ++i) {
            if (score_ >= row(i).minScore) return row(i).text;
        }
        return row(3).text;
    }

    void endWithBox(const MessageBoxCall& box, Ending ending) {
        boxes_.push_back({box});
        ending_ = ending;
        phase_ = Phase::Ended;
    }

    void takeDownTheQuestion() {
        at(window::Label2).visible = false;
        at(window::Label16).fore = window::kRed;
        for (int k = 1; k <= 4; ++k) at(window::option(k)).visible = false;
    }

    void gameOver() {
        at(window::Label16).caption = milestoneCaption(score_);
        takeDownTheQuestion();
        if (score_ == 15) {
            endWithBox(kWinBox, Ending::Won);
        } else {
            endWithBox(kWrongBox, Ending::Lost);
        }
    }

    void quitGame() {
        if (score_ == 0) return endWithBox(kQuitAtZero, Ending::QuitAtZero);
        const ControlState& step = designed_.controls.at(key(window::item(score_)));
        at(window::Label16).caption = "У Вас " + step.caption;
        takeDownTheQuestion();
        endWithBox(kQuitWithPoints, Ending::QuitWithPoints);
    }

    const Quiz& quiz_;
    const FakeForm::Snapshot designed_;
    FakeForm::Snapshot window_;
    Phase phase_ = Phase::Introduction;
    Ending ending_ = Ending::None;
    int score_ = 0;
    int questionNumber_ = 0;
    int selectedAnswer_ = 0;
    std::array<int, 4> points_{};
    std::size_t nextQuestion_ = 0;
    std::vector<ExpectedBox> boxes_;
};

const std::array<ControlRef, 8> kClickable = {
    window::Option1,  window::Option2,  window::Option3,  window::Option4,
    window::Command1, window::Command2, window::Command3, window::Command4,
};

std::string describe(const ControlState& s) {
    std::ostringstream out;
    out << "{caption «" << s.caption << "», visible " << s.visible << ", enabled " << s.enabled
        << ", selected " << s.selected << ", wordWrap " << s.wordWrap << ", back " << std::hex
        << s.back << ", fore " << s.fore << std::dec << ", tag «" << s.tag << "»}";
    return out.str();
}

// The controls whose state differs, for the failure message.
std::string differences(const FakeForm::Snapshot& expected, const FakeForm::Snapshot& actual) {
    std::ostringstream out;
    if (expected.title != actual.title) {
        out << "\n  title: expected «" << expected.title << "», is «" << actual.title << "»";
    }
    for (const auto& [k, state] : expected.controls) {
        const auto found = actual.controls.find(k);
        if (found == actual.controls.end() || found->second == state) continue;
        const ControlRef ref{static_cast<window::ControlName>(k.first), k.second};
        out << "\n  " << testing_support::controlName(ref) << ": expected " << describe(state)
            << ", is " << describe(found->second);
    }
    return out.str();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

// What the cases of one run went through, to show that the run reached every
// ending and every kind of click.
struct Coverage {
    std::array<int, 5> endings{};  // by Ending
    int results = 0;               // results screens reached
    int refused = 0;               // clicks the window did not deliver
    int fiftyFifty = 0;
    int hints = 0;
    int questions = 0;             // questions shown
};

// The player: mostly plays to win, with `care` the share of deliberate clicks;
// the rest are random clicks anywhere.
ControlRef chooseClick(Random& random, const Model& model, double care) {
    if (model.phase() == Phase::Playing && chance(random, care)) {
        const std::optional<int> right = model.visibleRightOption();
        if (right && !model.window().controls.at(key(window::option(*right))).selected) {
            return window::option(*right);
        }
        if (right || chance(random, 0.5)) return window::Command1;
    }
    if (model.phase() == Phase::Introduction && chance(random, care)) return window::Command1;
    // Quitting is rarer than the other clicks so that games get far.
    static const std::array<int, 8> weights = {3, 3, 3, 3, 3, 1, 1, 1};
    std::discrete_distribution<std::size_t> which(weights.begin(), weights.end());
    return kClickable[which(random)];
}

void playCase(std::uint64_t seed, Coverage& coverage) {
    Random random(seed);
    const Quiz quiz = randomQuiz(random);
    const CounterStart& counter = pickFrom(random, kCounterStarts);
    const std::string quizFile = "test" + std::to_string(counter.value) + ".txt";
    const std::string stepped = std::to_string(counter.value <= 1 ? 3 : counter.value - 1) + "\r\n";
    static const std::array<double, 3> kCare = {0.6, 0.95, 1.0};
    const double care = pickFrom(random, kCare);

    faults::ScratchFolder folder(faults::Medium::Memory);
    {
        std::ofstream(folder.path() / "tet0.txt", std::ios::binary) << counter.bytes;
        std::ofstream(folder.path() / quizFile, std::ios::binary)
            << testing_support::toWindows1251(render(quiz, random));
    }
    const std::set<std::string> files = {"tet0.txt", quizFile};

    FakeForm form;
    Model model(quiz, form.snapshot());
    const std::uint32_t clockSeconds = static_cast<std::uint32_t>(random());
    game::Game game(form, folder.path(), std::make_unique<game::MersenneChance>(),
                    [clockSeconds] { return clockSeconds; });
    form.start(game);
    ASSERT_FALSE(form.ended()) << "start-up failed on a valid quiz: " << form.failure();
    ASSERT_TRUE(form.snapshot() == model.window())
        << "after start-up:" << differences(model.window(), form.snapshot());

    constexpr int kMaxClicks = 90;
    int clicksAfterEnd = 0;
    for (int event = 1; event <= kMaxClicks && clicksAfterEnd < 3; ++event) {
        const ControlRef control = chooseClick(random, model, care);
        const Reply reply = chance(random, 0.35) ? Reply::Yes : Reply::No;
        std::string what = "click " + std::to_string(event) + " on " +
                           testing_support::controlName(control);
        if (control == window::Command2) what += reply == Reply::Yes ? " (Yes)" : " (No)";
        SCOPED_TRACE(what);
        const FakeForm::Snapshot before = form.snapshot();
        const std::size_t boxesBefore = form.boxes().size();
        const bool expectDelivered = model.delivers(control);
        if (model.phase() == Phase::Ended) ++clicksAfterEnd;
        if (expectDelivered && control == window::Command2) form.queueReply(reply);
        const Phase phaseBefore = model.phase();
        const int questionBefore = model.questionNumber();
        const std::vector<ExpectedBox> expectedBoxes = model.click(control, reply);

        const bool delivered = form.click(game, control);

        // A game never fails on a valid quiz.
        ASSERT_EQ(form.failure(), "") << "the game stopped on failure";

        // No click on a hidden option or a disabled button has any effect.
        ASSERT_EQ(delivered, expectDelivered) << "the window's delivery differs from the model's";
        if (!delivered) {
            ++coverage.refused;
            ASSERT_TRUE(form.snapshot() == before)
                << "a refused click changed the window:" << differences(before, form.snapshot());
            ASSERT_EQ(form.boxes().size(), boxesBefore) << "a refused click showed a box";
        }

        // The boxes of this click.
        const std::vector<MessageBoxCall> shown(
            form.boxes().begin() + static_cast<std::ptrdiff_t>(boxesBefore), form.boxes().end());
        ASSERT_EQ(shown.size(), expectedBoxes.size()) << "number of message boxes";
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const ExpectedBox& expected = expectedBoxes[i];
            if (!expected.hint) {
                ASSERT_EQ(shown[i], expected.box) << "box " << i << ": «" << shown[i].text << "»";
                continue;
            }
            ++coverage.hints;
            ASSERT_EQ(shown[i].title, kHintTitle);
            ASSERT_TRUE(shown[i].buttons == Buttons::Ok && shown[i].icon == Icon::None);
            const std::string& text = shown[i].text;
            const std::string letter = text.substr(std::min(kHintText.size(), text.size()));
            ASSERT_TRUE(text.starts_with(kHintText) &&
                        std::find(kLetters.begin(), kLetters.end(), letter) != kLetters.end())
                << "hint «" << text << "»";
        }

        // The program ends only through gameOver or quitGame, each with its
        // boxes; the results screen stays until the player quits.
        ASSERT_EQ(form.ended(), model.phase() == Phase::Ended)
            << (form.ended() ? "the program ended outside gameOver and quitGame"
                             : "the program should have ended");
        if (form.ended()) {
            ASSERT_EQ(form.exitStatus(), 0);
        }

        // The counter changes only through gameOver, which steps it once.
        ASSERT_EQ(readFile(folder.path() / "tet0.txt"),
                  model.counterStepped() ? stepped : counter.bytes)
            << "the counter file";

        // While a question is on screen, the score is one less than its number
        // and the title names it.
        const FakeForm::Snapshot after = form.snapshot();
        if (model.phase() == Phase::Playing) {
            const game::GameState& state = game.state();
            ASSERT_EQ(state.score, state.questionNumber - 1) << "score and question number";
            ASSERT_EQ(state.questionNumber, model.questionNumber());
            ASSERT_EQ(state.score, model.score());
            ASSERT_EQ(after.title, "ВОПРОС " + std::to_string(model.questionNumber()));
        }

        // Ladder steps 1..questionNumber are red, the others as designed.
        for (int i = 1; i <= window::kLadderSteps; ++i) {
            const ControlState& step = after.controls.at(key(window::item(i)));
            const ControlState& designed = model.designed().controls.at(key(window::item(i)));
            ASSERT_EQ(step.back, i <= model.questionNumber() ? window::kRed : designed.back)
                << "ladder step " << i;
            ASSERT_EQ(step.caption, designed.caption) << "ladder step " << i;
        }

        // A lifeline once used stays disabled, and only a used one is.
        for (const ControlRef lifeline : {window::Command3, window::Command4}) {
            ASSERT_EQ(after.controls.at(key(lifeline)).enabled,
                      model.window().controls.at(key(lifeline)).enabled)
                << testing_support::controlName(lifeline);
        }

        // Everything else as the model has it.
        ASSERT_TRUE(after == model.window()) << "the window differs from the model:"
                                             << differences(model.window(), after);

        if (delivered && control == window::Command3) ++coverage.fiftyFifty;
        if (model.phase() != phaseBefore && model.phase() == Phase::Results) ++coverage.results;
        coverage.questions += model.questionNumber() - questionBefore;
    }
    // The game writes no other file, nor leaves a temporary one.
    EXPECT_EQ(filesIn(folder.path()), files) << "files in the game's folder";
    coverage.endings[static_cast<std::size_t>(model.ending())]++;
}

// A case seed mixes the run's seed with the case's number.
std::uint64_t caseSeed(std::uint64_t runSeed, std::uint64_t number) {
    std::uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * (number + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::optional<std::uint64_t> environmentNumber(const char* name) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return std::nullopt;
    return std::stoull(text);
}

TEST(GameModelTest, RandomGamesKeepTheRules) {
    Coverage coverage;
    if (const std::optional<std::uint64_t> seed = environmentNumber("QUIZ_MODEL_SEED")) {
        SCOPED_TRACE("case seed " + std::to_string(*seed));
        playCase(*seed, coverage);
        return;
    }
    const std::uint64_t cases = environmentNumber("QUIZ_MODEL_CASES").value_or(QUIZ_MODEL_CASES);
    const std::uint64_t runSeed = std::random_device{}() * 0x100000000ull + std::random_device{}();
    for (std::uint64_t i = 0; i < cases && !HasFailure(); ++i) {
        const std::uint64_t seed = caseSeed(runSeed, i);
        SCOPED_TRACE("case seed " + std::to_string(seed) + " (replay with QUIZ_MODEL_SEED=" +
                     std::to_string(seed) + ")");
        playCase(seed, coverage);
    }
    ASSERT_FALSE(HasFailure());
    std::cout << cases << " games: lost " << coverage.endings[1] << ", won " << coverage.endings[2]
              << ", quit at 0 " << coverage.endings[3] << ", quit with points "
              << coverage.endings[4] << ", still open " << coverage.endings[0] << "; "
              << coverage.results << " results screens, " << coverage.questions
              << " questions shown, " << coverage.refused << " clicks refused, "
              << coverage.fiftyFifty << " 50/50, " << coverage.hints << " hints\n";
    if (cases >= 1000) {
        // Every ending and every kind of click came up, or the run proves
        // little; smaller runs may miss the rarest by chance.
        for (const int count : coverage.endings) EXPECT_GT(count, 0);
        EXPECT_GT(coverage.results, 0);
        EXPECT_GT(coverage.refused, 0);
        EXPECT_GT(coverage.fiftyFifty, 0);
        EXPECT_GT(coverage.hints, 0);
    }
}

}  // namespace
