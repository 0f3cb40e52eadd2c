#include "game/game.h"

#include <array>
#include <limits>
#include <string_view>
#include <utility>

#include "game/verdict.h"
#include "quiz/counter_step.h"
#include "quiz/encoding.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_selection.h"

namespace game {

using window::Buttons;
using window::ControlName;
using window::Icon;
using window::Reply;

namespace {

constexpr std::string_view kPlaying = "ИДЕТ ИГРА БУДЬТЕ ВНИМАТЕЛЬНЫ!!!";
constexpr int kWinningScore = window::kLadderSteps;

struct Milestone {
    int lowest;
    int highest;
    std::string_view caption;  // of Label16 when the game ends with such a score
};

constexpr std::array<Milestone, 5> kMilestones{{
    {0, 3, "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ"},
    {4, 7, "ИГРА ОКОНЧЕНА У ВАС 8 БАЛЛОВ!"},
    {8, 11, "ИГРА ОКОНЧЕНА У ВАС 64 БАЛЛА!"},
    {12, 14, "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!"},
    {15, 15, "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!"},
}};

std::string milestoneCaption(int score) {
    for (const Milestone& m : kMilestones) {
        if (score >= m.lowest && score <= m.highest) return std::string(m.caption);
    }
    throw GameError("Счёт " + std::to_string(score) + " вне лестницы баллов 0..15");
}

// The tag is read as a number: leading blanks skipped, the digits that follow.
int tagValue(const std::string& tag) {
    std::size_t i = tag.find_first_not_of(' ');
    int value = 0;
    for (; i < tag.size() && tag[i] >= '0' && tag[i] <= '9' && value < 1000; ++i) {
        value = value * 10 + (tag[i] - '0');
    }
    return value;
}

// Reads the quiz once as far as play can read it, so that a broken file stops
// the game before the player starts rather than at question 12; then returns
// to the start. Play reads no question after the fifteenth, so a slip there
// is no fault; in a shorter quiz it reads on after the last question.
void checkPlayableQuiz(quiz::ByteInput& in, const std::string& fileName, quiz::Encoding encoding) {
    const std::int64_t start = in.tell();
    {
        quiz::QuizReader check(in, fileName, encoding);
        check.readTitle();
        check.readIntroduction();
        check.readLevelTable();
        // "Ok" reads the first question whatever atEnd says, so a quiz
        // without questions is broken too.
        quiz::Question question;
        int questions = 0;
        do {
            check.readQuestion(question);
        } while (++questions < kWinningScore && !check.atEnd());
    }
    if (start < 0 || !in.seek(start))
        throw quiz::QuizError(fileName, 0, "", "не удалось вернуться к началу файла");
}

}  // namespace

std::int16_t add16(std::int16_t a, int b, const char* what) {
    const long sum = static_cast<long>(a) + b;
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max()) {
        throw GameError(std::string("Переполнение: ") + what + " вне диапазона -32768..32767");
    }
    return static_cast<std::int16_t>(sum);
}

Game::Game(window::FormOps& form, std::filesystem::path folder, std::unique_ptr<Chance> chance,
           Clock clock)
    : form_(form), folder_(std::move(folder)), chance_(std::move(chance)), clock_(std::move(clock)) {}

Game::Game(window::FormOps& form, GivenQuiz quiz, std::unique_ptr<Chance> chance, Clock clock)
    : Game(form, std::filesystem::path(), std::move(chance), std::move(clock)) {
    givenQuiz_ = std::move(quiz);
}

Game::~Game() = default;

void Game::load() {
    quiz::QuizSelection selection =
        givenQuiz_ ? quiz::openGivenQuiz(givenQuiz_->path) : quiz::selectAndOpen(folder_);
    state_.questionFilePath = selection.questionFilePath;
    quizFileName_ = selection.fileName;
    quizFile_ = std::move(selection.file);
    const quiz::Encoding encoding = quiz::detectEncoding(*quizFile_);
    checkPlayableQuiz(*quizFile_, selection.fileName, encoding);
    reader_.emplace(*quizFile_, selection.fileName, encoding);

    resetForm();
    info();
    getLevel();
    form_.setTag(window::Command1, "0");
    form_.setWordWrapAutoSize(window::Label2);
}

void Game::click(ControlName control) {
    switch (control) {
        case ControlName::Option1: return optionClick(1);
        case ControlName::Option2: return optionClick(2);
        case ControlName::Option3: return optionClick(3);
        case ControlName::Option4: return optionClick(4);
        case ControlName::Command1: return command1Click();
        case ControlName::Command2: return command2Click();
        case ControlName::Command3: return command3Click();
        case ControlName::Command4: return command4Click();
        case ControlName::Label1:
        case ControlName::Label2:
        case ControlName::Label3:
        case ControlName::Label16: return;  // labels have no click handler
    }
}

void Game::resetForm() {
    for (int k = 1; k <= 4; ++k) form_.setVisible(window::option(k), false);
    for (int k = 1; k <= 4; ++k) form_.setCaption(window::option(k), "");
    for (int k = 1; k <= 4; ++k) form_.clearSelection(window::option(k));
}

void Game::info() {
    form_.setTitle(reader().readTitle());
    noteLine();
    form_.setCaption(window::Label2, reader().readIntroduction());
    noteLine();
    form_.setCaption(window::Command1, "Ok");
}

void Game::getLevel() {
    const std::vector<quiz::LevelRow> rows = reader().readLevelTable();
    noteLine();
    int i = 1;
    for (const quiz::LevelRow& row : rows) {
        state_.levelText(i) = row.text;
        state_.levelMinScore(i) = row.minScore;
        ++i;
    }
}

void Game::voprosToScr() {
    state_.questionNumber = add16(state_.questionNumber, 1, "номер вопроса");
    form_.setTitle("ВОПРОС " + std::to_string(state_.questionNumber));

    const quiz::Question question = reader().readQuestion();
    noteLine();
    form_.setCaption(window::Label2, question.text);
    int j = 1;
    for (const quiz::Answer& answer : question.answers) {
        form_.setCaption(window::option(j), answer.text);
        state_.answerPoints(j) = answer.points;
        ++j;
    }

    for (int k = 1; k <= 4; ++k) {
        if (!form_.caption(window::option(k)).empty()) form_.setVisible(window::option(k), true);
    }
    form_.setBackColor(window::item(add16(state_.score, 1, "номер ступени")), window::kRed);
    form_.setEnabled(window::Command1, false);
}

void Game::optionClick(int k) {
    state_.selectedAnswer = static_cast<std::int16_t>(k);
    form_.setEnabled(window::Command1, true);
}

void Game::command1Click() {
    form_.setCaption(window::Label16, std::string(kPlaying));
    if (tagValue(form_.tag(window::Command1)) == 1) {
        state_.score = add16(state_.score, state_.answerPoints(state_.selectedAnswer), "счёт");
        if (state_.score != state_.questionNumber || state_.score == kWinningScore) {
            gameOver();
        }
        resetForm();
        if (reader().atEnd()) {
            closeQuizFile();
            form_.setCaption(window::Command1, "Засчитать ответ");
            form_.setTitle("РЕЗУЛЬТАТ");
            form_.setTag(window::Command1, "2");
            form_.setEnabled(window::Command1, false);
            itog();
        } else {
            voprosToScr();
        }
    } else {
        form_.setEnabled(window::Command1, false);
        resetForm();
        voprosToScr();
        form_.setTag(window::Command1, "1");
        form_.setCaption(window::Command1, "Дальше");
    }
}

void Game::gameOver() {
    closeQuizFile();
    // A counter that cannot be stepped never hides the result: why is said
    // after the end of the game has been shown.
    std::string notStepped;
    try {
        if (!givenQuiz_) quiz::stepCounter(folder_);
    } catch (const std::exception& failure) {
        notStepped = std::string(failure.what()) +
                     "\nСчётчик викторин не сдвинут, и в следующий раз снова будет викторина " +
                     quizFileName_ + ".";
    }

    form_.setCaption(window::Label16, milestoneCaption(state_.score));
    form_.setVisible(window::Label2, false);
    form_.setForeColor(window::Label16, window::kRed);
    for (int k = 1; k <= 4; ++k) form_.setVisible(window::option(k), false);

    if (state_.score == kWinningScore) {
        form_.messageBox("П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!", Buttons::Ok,
                         Icon::None);
    } else {
        form_.messageBox("В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Игра закончена", Buttons::Ok,
                         Icon::Critical);
    }
    if (!notStepped.empty()) form_.stopOnFailure(notStepped);
    form_.endProgram();
}

std::string resultsText(int score, std::string_view verdict) {
    std::string text = "Результаты игры:\r\n Всего баллов: ";
    text += std::to_string(score);
    text += "\r\n";
    text += verdict;
    return text;
}

void Game::itog() {
    const int row = verdictRow(state_.score, [&](int i) { return state_.levelMinScore(i); });
    form_.setCaption(window::Label2, resultsText(state_.score, state_.levelText(row)));
}

void Game::command2Click() {
    const Reply reply = form_.messageBox("ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ",
                                         "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo, Icon::None);
    if (reply == Reply::Yes) quitGame();
}

void Game::quitGame() {
    if (state_.score == 0) {
        form_.messageBox("ВЫ ОТКАЗАЛИСЬ ОТ ИГРЫ!", "ДО НОВОЙ ВСТРЕЧИ!", Buttons::Ok, Icon::None);
        form_.endProgram();
    }
    form_.setCaption(window::Label16, "У Вас " + form_.caption(window::item(state_.score)));
    form_.setVisible(window::Label2, false);
    form_.setForeColor(window::Label16, window::kRed);
    for (int k = 1; k <= 4; ++k) form_.setVisible(window::option(k), false);
    form_.messageBox("До новой встречи", "ВЫХОД ИЗ ИГРЫ", Buttons::Ok, Icon::None);
    form_.endProgram();
}

void Game::command3Click() {
    if (state_.answerPoints(1) != 0 || state_.answerPoints(2) != 0) {
        form_.setVisible(window::Option3, false);
        form_.setVisible(window::Option4, false);
    } else {
        form_.setVisible(window::Option1, false);
        form_.setVisible(window::Option2, false);
    }
    form_.setEnabled(window::Command3, false);
}

void Game::command4Click() {
    chance_->seed(clock_());
    const int r = drawHintOption(*chance_);
    form_.messageBox("МНЕ КАЖЕТСЯ ПРАВИЛЬНЫЙ ОТВЕТ ЭТО ОТВЕТ - " + answerLetter(r),
                     "ПОДСКАЗКА КОМПЬЮТЕРА", Buttons::Ok, Icon::None);
    form_.setEnabled(window::Command4, false);
}

void Game::closeQuizFile() {
    reader_.reset();
    quizFile_.reset();
}

void Game::noteLine() { state_.currentLine = reader().currentLine(); }

quiz::QuizReader& Game::reader() {
    // The window never lets a click reach a closed quiz; this guards the rule.
    if (!reader_) throw GameError("Файл викторины уже закрыт");
    return *reader_;
}

}  // namespace game
