// The game on the recording fake window. The heart is a model of the rules: random valid quizzes played by random
// clicks, the window, the boxes and the counter compared with the model after every click. Then what the model leaves
// out: the hint's draw, start-up refusals and failures in play. QUIZ_MODEL_SEED=<seed> replays one case (its seed is
// printed when it fails); QUIZ_MODEL_CASES=<n> sets the number of cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <set>

#include "game/game.h"
#include "support/fake_form.h"
#include "support/support.h"

#ifndef QUIZ_MODEL_CASES
#define QUIZ_MODEL_CASES 2000
#endif

namespace {

using namespace testing_support;
using namespace window;
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
    {14, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"}, {15, "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!"}}};

int pick(Random& r, int low, int high) { return std::uniform_int_distribution<int>(low, high)(r); }
bool chance(Random& r, double p) { return std::bernoulli_distribution(p)(r); }

// Words, maybe none; never begins with "." or ",".
std::string randomLine(Random& r) {
    static const char* const words[] = {"Сколько", "два", "Ёлка", "Volga", "42", "?", "—", "«да»",
                                        "&amp;", "<b>x</b>", "(1)", "100%", "Ы!", "a.b,c", "\t"};
    std::string line;
    for (int n = pick(r, 0, 4); n > 0; --n) line.append(line.empty() ? "" : " ").append(words[pick(r, 0, 14)]);
    return line;
}

// A random valid quiz: its file and the texts the game must show from it.
struct Quiz {
    std::string file, title, introduction;
    std::array<std::pair<std::string, int>, 4> levels;  // (verdict, minimum); rows not in the file: ("", 0)
    // Answers: 1..4 (text, points); one without text is never shown.
    struct Question { std::string text; std::vector<std::pair<std::string, int>> answers; };
    std::vector<Question> questions;  // 1..20; in the 16th every answer is marked 7, a slip
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
        const bool pastTheLadder = quiz.questions.size() == 15;  // play never reads it, so a slip there is harmless
        Quiz::Question& q = quiz.questions.emplace_back(Quiz::Question{lines(0, 2, " "), {}});
        if (chance(r, 0.1)) q.text += line("," + randomLine(r)) + " ";  // content, not a marker
        marker(".");
        const int answers = pick(r, 1, 4), kind = pick(r, 0, 19), right = pick(r, 0, answers - 1);
        for (int j = 0; j < answers; ++j) {
            // kind 0: no right answer; 1..3: maybe several; else exactly one.
            const int points = kind == 0 ? 0 : kind <= 3 ? (j == right || chance(r, 0.5)) : j == right;
            q.answers.emplace_back(chance(r, 0.04) ? "" : lines(1, 2, " "), points);
            marker(std::string(j + 1 == answers ? "." : ",").append(pastTheLadder ? "7" : std::to_string(points)));
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
        at(Label2).caption = quiz.introduction;
        at(Label2).wordWrap = true;
        command1As("Ok", "0");
    }
    ControlState& at(ControlRef c) { return screen.controls.at(FakeForm::key(c)); }
    void command1As(const char* caption, const char* tag) { at(Command1).caption = caption; at(Command1).tag = tag; }
    int visibleRight() {  // the option that answers right, when one is shown
        for (int k = 1; k <= 4; ++k)
            if (at(option(k)).visible && points[k - 1] == 1) return k;
        return 0;
    }
    // A click the window delivers, with the reply to a quit question.
    void click(ControlRef c, Reply reply) {
        if (c == Command1) return answerButton();
        if (c.name <= ControlName::Option4) {
            selected = static_cast<int>(c.name) - static_cast<int>(ControlName::Option1) + 1;
            for (int k = 1; k <= 4; ++k) at(option(k)).selected = k == selected;
            at(Command1).enabled = true;
        } else if (c == Command2) {
            boxes.push_back(kQuitQuestion);
            if (reply == Reply::Yes) quit();
        } else if (c == Command3) {
            const bool firstHalf = points[0] != 0 || points[1] != 0;
            at(option(firstHalf ? 3 : 1)).visible = at(option(firstHalf ? 4 : 2)).visible = false;
            at(Command3).enabled = false;
        } else {  // the game's generator, seeded from the clock
            game::MersenneChance mt;
            mt.seed(clock);
            boxes.push_back({"МНЕ КАЖЕТСЯ ПРАВИЛЬНЫЙ ОТВЕТ ЭТО ОТВЕТ - " + kLetters[game::drawHintOption(mt) - 1],
                             "ПОДСКАЗКА КОМПЬЮТЕРА"});
            at(Command4).enabled = false;
        }
    }
    void resetForm() {  // the options hidden, empty and not chosen
        for (int k = 1; k <= 4; ++k) at(option(k)).caption.clear();
        for (int k = 1; k <= 4; ++k) at(option(k)).visible = at(option(k)).selected = false;
    }
    void answerButton() {
        at(Label16).caption = "ИДЕТ ИГРА БУДЬТЕ ВНИМАТЕЛЬНЫ!!!";
        if (phase != Phase::Playing) {  // the introduction: the options are reset already
            command1As("Дальше", "1");
            phase = Phase::Playing;
            return showQuestion();
        }
        score += points[selected - 1];
        if (score != question || score == 15) {
            takeDown(std::ranges::find_if(kMilestones, [&](const auto& m) { return score <= m.first; })->second);
            return end(score == 15 ? kWinBox : kLossBox, true);
        }
        resetForm();
        if (static_cast<std::size_t>(question) < quiz.questions.size()) return showQuestion();
        screen.title = "РЕЗУЛЬТАТ";
        command1As("Засчитать ответ", "2");
        at(Command1).enabled = false;
        std::size_t row = 0;  // the verdict: the first of rows 1..3 whose minimum the score reaches, else row 4
        while (row < 3 && score < quiz.levels[row].second) ++row;
        at(Label2).caption =
            "Результаты игры:\r\n Всего баллов: " + std::to_string(score) + "\r\n" + quiz.levels[row].first;
        phase = Phase::Results;
    }
    void showQuestion() {
        screen.title = "ВОПРОС " + std::to_string(++question);
        const Quiz::Question& q = quiz.questions[question - 1];
        at(Label2).caption = q.text;
        for (std::size_t j = 0; j < q.answers.size(); ++j) {
            ControlState& shown = at(option(static_cast<int>(j) + 1));
            shown.caption = q.answers[j].first;
            shown.visible = !shown.caption.empty();
            points[j] = q.answers[j].second;
        }
        at(item(score + 1)).back = kRed;
        at(Command1).enabled = false;
    }
    void takeDown(const std::string& status) {  // the question and the options go; the status line turns red
        at(Label16).caption = status;
        at(Label16).fore = kRed;
        at(Label2).visible = false;
        for (int k = 1; k <= 4; ++k) at(option(k)).visible = false;
    }
    void quit() {  // keeps the points of the last step climbed
        if (score > 0) takeDown("У Вас " + at(item(score)).caption);
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
    bool stepped = false;  // the counter has stepped
    std::vector<MessageBoxCall> boxes;  // all shown so far
};

auto fields(const ControlState& c) {  // printable, unlike the struct
    return std::tuple(c.caption, c.visible, c.enabled, c.selected, c.wordWrap, c.back, c.fore, c.tag);
}
// Stops at the title or the first control that differs from what is expected.
void checkScreen(const FakeForm::Snapshot& expected, const FakeForm::Snapshot& actual) {
    ASSERT_EQ(actual.title, expected.title) << "the title";
    for (const auto& [k, s] : expected.controls)
        ASSERT_EQ(fields(actual.controls.at(k)), fields(s)) << describe({static_cast<ControlName>(k.first), k.second});
}

// Adds to `reached` the titles of the boxes that end games and the kinds of click seen.
void playCase(std::uint64_t seed, std::set<std::string>& reached) {
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
    form.onOperation = [&](const std::string& op) {  // the game steps the counter before it shows the end
        if (op.find("ИГРА ОКОНЧЕНА") != std::string::npos) { EXPECT_EQ(folder.read("tet0.txt"), steppedBytes) << op; }
    };
    form.start(game);
    ASSERT_NO_FATAL_FAILURE(checkScreen(model.screen, form.snapshot())) << "after start-up: " << form.failure();
    const double care = std::array<double, 3>{0.6, 0.95, 1.0}[pick(r, 0, 2)];
    for (int event = 1, afterEnd = 0; event <= 90 && afterEnd < 3; ++event) {
        // Mostly the right answer, with `care` the share of deliberate clicks.
        const int n = pick(r, 0, 11);
        ControlRef c = chance(r, 0.04) ? Command2 : n < 8 ? option(n % 4 + 1) : n < 10 ? Command1 : command(n - 7);
        const int right = model.visibleRight();
        if (model.phase != Phase::Playing && chance(r, care)) c = Command1;
        if (model.phase == Phase::Playing && chance(r, care) && (right || chance(r, 0.5)))
            c = right && !form.state(option(right)).selected ? option(right) : Command1;
        const Reply reply = chance(r, 0.35) ? Reply::Yes : Reply::No;
        SCOPED_TRACE("click " + std::to_string(event) + " on " + describe(c) +
                     (c != Command2 ? "" : reply == Reply::Yes ? " (Yes)" : " (No)"));
        afterEnd += model.phase == Phase::Ended;
        if (c == Command2) form.queueReply(reply);
        const bool delivered = form.click(game, c);  // as the window would: not when hidden, disabled or ended
        if (delivered) model.click(c, reply);
        ASSERT_EQ(form.exitStatus(), model.phase == Phase::Ended ? std::optional(0) : std::nullopt) << form.failure();
        ASSERT_EQ(form.boxes(), model.boxes) << "message boxes";
        ASSERT_EQ(folder.read("tet0.txt"), model.stepped ? steppedBytes : counterBytes) << "the counter";
        ASSERT_EQ(std::pair(+game.state().questionNumber, +game.state().score), std::pair(model.question, model.score));
        ASSERT_NO_FATAL_FAILURE(checkScreen(model.screen, form.snapshot()));
        if (!delivered) reached.insert("a refused click");
        if (delivered && c == Command4) reached.insert("the hint");
        if (delivered && c == Command1 && model.phase == Phase::Results) reached.insert("the results");
    }
    EXPECT_EQ(folder.files(), (std::vector<std::string>{quizFile, "tet0.txt"})) << "files in the game's folder";
    if (form.ended()) reached.insert(form.boxes().back().title);
    if (form.ended() && form.boxes().back() == kWinBox && quiz.questions.size() > 15) reached.insert("won over a slip");
}

TEST(GameModel, RandomGamesKeepTheRules) {
    std::set<std::string> reached;
    const char* one = std::getenv("QUIZ_MODEL_SEED");
    const char* cases = std::getenv("QUIZ_MODEL_CASES");
    const std::uint64_t count = one ? 1 : cases ? std::stoull(cases) : QUIZ_MODEL_CASES;
    const std::uint64_t runSeed = (std::uint64_t{std::random_device{}()} << 32) | std::random_device{}();
    for (std::uint64_t i = 0; i < count && !HasFailure(); ++i) {
        const std::uint64_t seed = one ? std::stoull(one) : Random(runSeed + i)();
        SCOPED_TRACE("replay with QUIZ_MODEL_SEED=" + std::to_string(seed));
        playCase(seed, reached);
    }
    if (count >= 1000 && !HasFailure()) {  // a run that never reached an ending or a kind of click proves little
        EXPECT_EQ(reached, (std::set<std::string>{"a refused click", "the hint", "the results", "won over a slip",
                                                  kLossBox.title, kWinBox.title, kQuitAtZero.title,
                                                  kQuitWithPoints.title}));
    }
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
        {{0.8749}, 3},   {{0.875}, 4},         {{0.999999}, 4}, {{0.01, 0.02, 0.0, 0.7}, 3}};
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

TEST(Game, FailuresStopTheGameShowingNothingMore) {
    EXPECT_EQ(game::add16(32766, 1, "x"), 32767);  // numbers stop instead of wrapping or reading outside
    EXPECT_EQ(game::add16(-32767, -1, "x"), -32768);
    EXPECT_THROW(game::add16(32767, 1, "x"), game::GameError);
    EXPECT_THROW(game::add16(-32768, -1, "x"), game::GameError);
    for (int k : {0, 5}) EXPECT_THROW(game::Array1To4<int>()(k), game::GameError) << k;
    // At start-up: quiz, counter, what the failure names. Play reads on after the last of fewer than 15 questions.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {makeQuiz(10) + crlf("Сломанный|.|ответ|,7"), "3\r\n", "test3.txt, строка 116: "},
        {makeQuiz(0), "3\r\n", "test3.txt, строка 13: "},
        {makeQuiz(1) + "\xEF\xBB\xBF", "3\r\n", "test3.txt, строка 23: "},
        {makeQuiz(1), "", "tet0.txt"}};
    for (const auto& [quiz, counter, error] : cases) {
        TempFolder folder;
        if (!counter.empty()) folder.write("tet0.txt", counter);
        folder.write("test3.txt", quiz);
        FakeForm form;
        const FakeForm::Snapshot before = form.snapshot();
        game::Game game{form, folder.path()};
        form.start(game);
        EXPECT_EQ(form.exitStatus(), 1);
        EXPECT_NE(form.failure().find(error), std::string::npos) << form.failure();
        checkScreen(before, form.snapshot());
    }
}

}  // namespace
