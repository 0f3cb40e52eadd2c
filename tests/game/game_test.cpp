// The game on the recording fake window. The heart is a model of the rules:
// random valid quizzes played by random clicks, the window, the boxes and the
// counter compared with the model after every click. Then what the model
// leaves out: the hint's draw, start-up refusals and failures in play.
// QUIZ_MODEL_SEED=<seed> replays one case (its seed is printed when it fails);
// QUIZ_MODEL_CASES=<n> sets the number of cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

using namespace testing_support;
using window::Buttons, window::ControlRef, window::Icon, window::Reply;
using Random = std::mt19937_64;

// The game's texts, written out here independently of its code.
const MessageBoxCall kLossBox{"В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Игра закончена", Buttons::Ok, Icon::Critical};
const MessageBoxCall kWinBox{"П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!"};
const MessageBoxCall kQuitQuestion{"ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo};
const MessageBoxCall kQuitAtZero{"ВЫ ОТКАЗАЛИСЬ ОТ ИГРЫ!", "ДО НОВОЙ ВСТРЕЧИ!"};
const MessageBoxCall kQuitWithPoints{"До новой встречи", "ВЫХОД ИЗ ИГРЫ"};
const std::array<std::string, 4> kLetters = {"A", "Б", "В", "Г"};
// The caption of the status line after a loss, by the highest score it covers.
const std::array<std::pair<int, const char*>, 5> kMilestones = {{
    {3, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"}, {7, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"}, {11, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
    {14, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"}, {15, "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!"},
}};

int pick(Random& r, int low, int high) { return std::uniform_int_distribution<int>(low, high)(r); }
bool chance(Random& r, double p) { return std::bernoulli_distribution(p)(r); }

// Words, maybe none; never begins with "." or ",".
std::string randomLine(Random& r) {
    static const char* const words[] = {"Сколько", "два", "Ёлка", "Volga", "42", "?", "—", "«да»",
                                        "&amp;", "<b>x</b>", "(1)", "100%", "Ы!", "a.b,c", "\t"};
    std::string line;
    for (int n = pick(r, 0, 4); n > 0; --n) line += (line.empty() ? "" : " ") + std::string(words[pick(r, 0, 14)]);
    return line;
}

// A random valid quiz: its file and the texts the game must show from it.
struct Quiz {
    std::string file, title, introduction;
    std::array<std::pair<std::string, int>, 4> levels;  // (verdict, minimum); rows not in the file: ("", 0)
    // Answers: 1..4 (text, points); one without text is never shown.
    struct Question { std::string text; std::vector<std::pair<std::string, int>> answers; };
    std::vector<Question> questions;  // 1..20
};

// The file has random line ends and encoding, ignored text after marker digits,
// blanks around minimums and blank lines after the end.
Quiz randomQuiz(Random& r) {
    Quiz quiz;
    const std::string end = std::array<const char*, 4>{"\r\n", "\r\n", "\n", "\r"}[pick(r, 0, 3)];
    const auto line = [&](const std::string& text) { quiz.file += text + end; return text; };
    const auto lines = [&](int low, int high, const std::string& after) {  // their text as shown
        std::string text;
        for (int n = pick(r, low, high); n > 0; --n) text += line(randomLine(r)) + after;
        return text;
    };
    const char* const tails[] = {"", "", " ", "7", " конец"};
    const auto marker = [&](const std::string& text) { line(text + tails[pick(r, 0, 4)]); };
    quiz.title = line((chance(r, 0.1) ? "." : "") + randomLine(r));
    quiz.introduction = lines(0, 3, "\r\n");
    marker(".");
    for (int i = 0, rows = pick(r, 0, 4); i < rows; ++i) {
        quiz.levels[i] = {line(randomLine(r)), pick(r, -2, 16)};
        line(std::string(pick(r, 0, 2), ' ') + std::to_string(quiz.levels[i].second) + (chance(r, 0.5) ? "\t" : ""));
    }
    marker(".");
    for (int n = pick(r, 1, 20); n > 0; --n) {
        Quiz::Question& q = quiz.questions.emplace_back(Quiz::Question{lines(0, 2, " "), {}});
        if (chance(r, 0.1)) q.text += line("," + randomLine(r)) + " ";  // content, not a marker
        marker(".");
        const int answers = pick(r, 1, 4), kind = pick(r, 0, 19), right = pick(r, 0, answers - 1);
        for (int j = 0; j < answers; ++j) {
            // kind 0: no right answer; 1..3: maybe several; else exactly one.
            const int points = kind == 0 ? 0 : kind <= 3 ? (j == right || chance(r, 0.5)) : j == right;
            q.answers.emplace_back(chance(r, 0.04) ? "" : lines(1, 2, " "), points);
            marker((j + 1 == answers ? "." : ",") + std::to_string(points));
        }
    }
    for (int n = pick(r, 0, 2); n > 0; --n) line(std::string(pick(r, 0, 2), ' '));
    if (chance(r, 0.3)) quiz.file = "\xEF\xBB\xBF" + quiz.file;
    else if (chance(r, 0.5)) quiz.file = toWindows1251(quiz.file);
    return quiz;
}

enum class Phase { Introduction, Playing, Results, Ended };

// What the window must show after each click, by the rules of the game.
struct Model {
    Model(const Quiz& quiz, const FakeForm::Snapshot& designed, std::uint32_t clock)
        : quiz(quiz), screen(designed), clock(clock) {
        resetForm();
        screen.title = quiz.title;
        at(window::Label2).caption = quiz.introduction;
        at(window::Label2).wordWrap = true;
        at(window::Command1).caption = "Ok";
        at(window::Command1).tag = "0";
    }

    ControlState& at(ControlRef c) { return screen.controls.at(FakeForm::key(c)); }
    int visibleRight() {  // the option that answers right, when one is shown
        for (int k = 1; k <= 4; ++k)
            if (at(window::option(k)).visible && points[k - 1] == 1) return k;
        return 0;
    }
    // A click the window delivers, with the reply to a quit question.
    void click(ControlRef c, Reply reply) {
        if (c.name <= window::ControlName::Option4) {
            selected = static_cast<int>(c.name) - static_cast<int>(window::ControlName::Option1) + 1;
            for (int k = 1; k <= 4; ++k) at(window::option(k)).selected = k == selected;
            at(window::Command1).enabled = true;
        } else if (c == window::Command1) {
            answerButton();
        } else if (c == window::Command2) {
            boxes.push_back(kQuitQuestion);
            if (reply == Reply::Yes) quit();
        } else if (c == window::Command3) {
            const bool firstHalf = points[0] != 0 || points[1] != 0;
            at(window::option(firstHalf ? 3 : 1)).visible = at(window::option(firstHalf ? 4 : 2)).visible = false;
            at(window::Command3).enabled = false;
        } else {  // the game's generator, seeded from the clock
            game::MersenneChance generator;
            generator.seed(clock);
            const std::string letter = kLetters[game::drawHintOption(generator) - 1];
            boxes.push_back({"МНЕ КАЖЕТСЯ ПРАВИЛЬНЫЙ ОТВЕТ ЭТО ОТВЕТ - " + letter, "ПОДСКАЗКА КОМПЬЮТЕРА"});
            at(window::Command4).enabled = false;
        }
    }
    void resetForm() {  // the options hidden, empty and not chosen
        for (int k = 1; k <= 4; ++k) at(window::option(k)).caption.clear();
        for (int k = 1; k <= 4; ++k) at(window::option(k)).visible = at(window::option(k)).selected = false;
    }
    void answerButton() {
        at(window::Label16).caption = "ИДЕТ ИГРА БУДЬТЕ ВНИМАТЕЛЬНЫ!!!";
        if (phase != Phase::Playing) {
            at(window::Command1).caption = "Дальше";
            at(window::Command1).tag = "1";
            phase = Phase::Playing;
            resetForm();
            return showQuestion();
        }
        score += points[selected - 1];
        if (score != question || score == 15) {
            takeDown(std::ranges::find_if(kMilestones, [&](const auto& m) { return score <= m.first; })->second);
            return end(score == 15 ? kWinBox : kLossBox, true);
        }
        resetForm();
        if (next < quiz.questions.size()) return showQuestion();
        screen.title = "РЕЗУЛЬТАТ";
        at(window::Command1).caption = "Засчитать ответ";
        at(window::Command1).tag = "2";
        at(window::Command1).enabled = false;
        std::size_t row = 0;  // the verdict: the first of rows 1..3 whose minimum the score reaches, else row 4
        while (row < 3 && score < quiz.levels[row].second) ++row;
        at(window::Label2).caption = "Результаты игры:\r\n Всего баллов: " + std::to_string(score) + "\r\n" +
                                     quiz.levels[row].first;
        phase = Phase::Results;
    }
    void showQuestion() {
        screen.title = "ВОПРОС " + std::to_string(++question);
        const Quiz::Question& q = quiz.questions[next++];
        at(window::Label2).caption = q.text;
        for (std::size_t j = 0; j < q.answers.size(); ++j) {
            ControlState& option = at(window::option(static_cast<int>(j) + 1));
            option.caption = q.answers[j].first;
            option.visible = !option.caption.empty();
            points[j] = q.answers[j].second;
        }
        at(window::item(score + 1)).back = window::kRed;
        at(window::Command1).enabled = false;
    }
    void takeDown(const std::string& status) {  // the question and the options go; the status line turns red
        at(window::Label16).caption = status;
        at(window::Label16).fore = window::kRed;
        at(window::Label2).visible = false;
        for (int k = 1; k <= 4; ++k) at(window::option(k)).visible = false;
    }
    void quit() {  // keeps the points of the last step climbed
        if (score > 0) takeDown("У Вас " + at(window::item(score)).caption);
        end(score == 0 ? kQuitAtZero : kQuitWithPoints, false);
    }
    void end(const MessageBoxCall& box, bool step) {
        boxes.push_back(box);
        stepped = step;
        phase = Phase::Ended;
    }

    const Quiz& quiz;
    FakeForm::Snapshot screen;
    const std::uint32_t clock;
    Phase phase = Phase::Introduction;
    int score = 0, question = 0, selected = 0;
    std::array<int, 4> points{};
    std::size_t next = 0;
    bool stepped = false;  // the counter has stepped
    std::vector<MessageBoxCall> boxes;  // all shown so far
};

std::ostream& operator<<(std::ostream& out, const ControlState& s) {
    return out << "«" << s.caption << "» v" << s.visible << " e" << s.enabled << " s" << s.selected << " w"
               << s.wordWrap << " " << s.back << "/" << s.fore << " " << s.tag;
}

// The title and the controls that differ, each as "expected is actual".
std::string differences(const FakeForm::Snapshot& expected, const FakeForm::Snapshot& actual) {
    std::ostringstream out;
    if (expected.title != actual.title) out << "\n title «" << expected.title << "» is «" << actual.title << "»";
    for (const auto& [k, s] : expected.controls)
        if (s != actual.controls.at(k))
            out << "\n " << window::describe({static_cast<window::ControlName>(k.first), k.second}) << ": " << s
                << " is " << actual.controls.at(k);
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
    const std::string steppedBytes = std::to_string(counter <= 1 ? 3 : counter - 1) + "\r\n";
    const std::string quizFile = "test" + std::to_string(counter) + ".txt";
    TempFolder folder(true);
    folder.write("tet0.txt", counterBytes);
    folder.write(quizFile, quiz.file);
    FakeForm form;
    const auto clock = static_cast<std::uint32_t>(r());
    Model model(quiz, form.snapshot(), clock);
    game::Game game(form, folder.path(), std::make_unique<game::MersenneChance>(), [clock] { return clock; });
    std::string counterAtTheEnd;  // the game steps it before it shows the end
    form.onOperation = [&](const std::string& entry) {
        if (counterAtTheEnd.empty() && entry.find("ИГРА ОКОНЧЕНА") != std::string::npos)
            counterAtTheEnd = folder.read("tet0.txt");
    };
    form.start(game);
    ASSERT_EQ(form.failure(), "") << "start-up failed on a valid quiz";
    ASSERT_TRUE(form.snapshot() == model.screen) << "after start-up:" << differences(model.screen, form.snapshot());
    const double care = std::array<double, 3>{0.6, 0.95, 1.0}[pick(r, 0, 2)];
    for (int event = 1, afterEnd = 0; event <= 90 && afterEnd < 3; ++event) {
        // Mostly the right answer, with `care` the share of deliberate clicks.
        const int n = pick(r, 0, 11);
        ControlRef c = n < 8 ? window::option(n % 4 + 1) : n < 10 ? window::Command1 : window::command(n - 7);
        if (chance(r, 0.04)) c = window::Command2;
        const int right = model.visibleRight();
        if (model.phase != Phase::Playing && chance(r, care)) c = window::Command1;
        if (model.phase == Phase::Playing && chance(r, care) && (right || chance(r, 0.5)))
            c = right && !form.state(window::option(right)).selected ? window::option(right) : window::Command1;
        const Reply reply = chance(r, 0.35) ? Reply::Yes : Reply::No;
        SCOPED_TRACE("click " + std::to_string(event) + " on " + window::describe(c) +
                     (c == window::Command2 ? (reply == Reply::Yes ? " (Yes)" : " (No)") : ""));
        afterEnd += model.phase == Phase::Ended;
        if (c == window::Command2) form.queueReply(reply);
        const bool delivered = form.click(game, c);  // as the window would: not when hidden, disabled or ended
        if (delivered) model.click(c, reply);
        ASSERT_EQ(form.exitStatus(), model.phase == Phase::Ended ? std::optional(0) : std::nullopt) << form.failure();
        ASSERT_EQ(form.boxes(), model.boxes) << "message boxes";
        ASSERT_EQ(folder.read("tet0.txt"), model.stepped ? steppedBytes : counterBytes) << "the counter";
        ASSERT_EQ(counterAtTheEnd, model.stepped ? steppedBytes : "") << "the counter as the end shows";
        ASSERT_EQ(std::pair(+game.state().questionNumber, +game.state().score), std::pair(model.question, model.score));
        ASSERT_TRUE(form.snapshot() == model.screen) << "the window:" << differences(model.screen, form.snapshot());
        coverage.refused += !delivered;
        coverage.hints += delivered && c == window::Command4;
        coverage.results += delivered && c == window::Command1 && model.phase == Phase::Results;
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
        SCOPED_TRACE("replay with QUIZ_MODEL_SEED=" + std::to_string(seed));
        playCase(seed, coverage);
    }
    if (count < 1000) return;
    // A run that never reached an ending or a kind of click proves little.
    EXPECT_EQ(coverage.endings.size(), 4U) << "lost, won, quit at 0, quit with points";
    EXPECT_TRUE(coverage.results && coverage.refused && coverage.hints)
        << "results " << coverage.results << ", refused " << coverage.refused << ", hints " << coverage.hints;
}

struct ScriptedChance final : game::Chance {  // hands out scripted uniforms; throws when they run out
    explicit ScriptedChance(std::vector<double> values) : values(std::move(values)) {}
    void seed(std::uint32_t) override {}
    double uniform() override { return values.at(used++); }
    std::vector<double> values;
    std::size_t used = 0;
};
TEST(Hint, RoundsTheDrawAndDrawsAgainOnZero) {
    const std::pair<std::vector<double>, int> cases[] = {  // all the uniforms it must draw, the option
        {{0.0, 0.3}, 1}, {{0.1249, 0.375}, 2}, {{0.125}, 1},  {{0.5}, 2}, {{0.625}, 3},
        {{0.8749}, 3},   {{0.875}, 4},         {{0.999999}, 4}, {{0.01, 0.02, 0.0, 0.7}, 3},
    };
    for (const auto& [uniforms, option] : cases) {
        ScriptedChance chance(uniforms);
        EXPECT_EQ(game::drawHintOption(chance), option) << uniforms.front();
        EXPECT_EQ(chance.used, uniforms.size()) << uniforms.front();
    }
    game::MersenneChance mersenne;
    std::array<int, 5> counts{};
    for (std::uint32_t s = 0; s < 86400; ++s) {  // every second of a day
        mersenne.seed(s);
        ++counts[static_cast<std::size_t>(game::drawHintOption(mersenne))];
    }
    for (int k = 0; k <= 4; ++k) EXPECT_NEAR(counts[k] / 86400.0, (std::array{0, 2, 2, 2, 1}[k] / 7.0), 0.01) << k;
}

// A game on the fake window in a scratch folder; the counter selects test3.txt.
struct Scene {
    explicit Scene(const std::string& quiz, const std::string& counter = "3\r\n") {
        if (!counter.empty()) folder.write("tet0.txt", counter);
        folder.write("test3.txt", quiz);
        form.start(game);
    }
    void click(ControlRef c) { form.click(game, c); }
    TempFolder folder;
    FakeForm form;
    game::Game game{form, folder.path()};
};

TEST(Game, FailuresStopTheGameShowingNothingMore) {
    EXPECT_EQ(game::add16(32766, 1, "x"), 32767);  // numbers stop instead of wrapping or reading outside
    EXPECT_EQ(game::add16(-32767, -1, "x"), -32768);
    EXPECT_THROW(game::add16(32767, 1, "x"), game::GameError);
    EXPECT_THROW(game::add16(-32768, -1, "x"), game::GameError);
    EXPECT_THROW(game::Array1To4<int>()(0), game::GameError);
    EXPECT_THROW(game::Array1To4<int>()(5), game::GameError);
    Scene scene(makeQuiz(3));
    scene.click(window::Command1);
    EXPECT_THROW(scene.game.click(window::ControlName::Command1), game::GameError) << "answer without a choice";
    scene.click(window::Option2);  // wrong, and the end cannot step the counter
    scene.folder.write("tet0.txt", "нет числа");
    const FakeForm::Snapshot before = scene.form.snapshot();
    scene.click(window::Command1);
    EXPECT_EQ(scene.form.exitStatus(), 1);
    EXPECT_NE(scene.form.failure().find("tet0.txt"), std::string::npos);
    EXPECT_TRUE(scene.form.snapshot() == before) << differences(before, scene.form.snapshot());
}

TEST(Game, StartUpRefusesWhatCannotBePlayedBeforeShowingAnything) {
    const std::tuple<std::string, std::string, std::string> cases[] = {  // quiz, counter, what the failure names
        {makeQuiz(1) + crlf("Сломанный|.|ответ|,7"), "3\r\n", "test3.txt, строка 26: "},
        {makeQuiz(0), "3\r\n", "test3.txt, строка 13: "},
        {makeQuiz(1) + "\xEF\xBB\xBF", "3\r\n", "test3.txt, строка 23: "},
        {makeQuiz(1), "", "tet0.txt"},
    };
    for (const auto& [quiz, counter, error] : cases) {
        Scene scene(quiz, counter);
        EXPECT_EQ(scene.form.exitStatus(), 1);
        EXPECT_NE(scene.form.failure().find(error), std::string::npos) << scene.form.failure();
        EXPECT_EQ(scene.form.title(), window::kFormTitle);
    }
}

}  // namespace
