// The procedures of Form1: start-up, the click handlers, the end of the game,
// the results screen, quitting and the two lifelines. The game drives the
// window only through window::FormOps and reads quizzes only through the quiz
// library.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/game_state.h"
#include "game/hint.h"
#include "quiz/input_file.h"
#include "quiz/quiz_reader.h"
#include "window/form_ops.h"

namespace game {

// The text of the results screen for `score` and the verdict chosen for it.
std::string resultsText(int score, std::string_view verdict);

// One quiz file given by the player, played instead of the one the counter
// selects.
struct GivenQuiz {
    std::filesystem::path path;
};

class Game final : public window::FormEvents {
public:
    using Clock = std::function<std::uint32_t()>;

    // `folder` holds the counter file and the quiz files (the working folder
    // of the program). The hint seeds `chance` from `clock` at each use. A
    // game ending by a wrong answer or a win steps the counter; when that
    // fails, the end is shown all the same, and once its box is closed the
    // failure box says why the counter did not move (exit status 1).
    Game(window::FormOps& form, std::filesystem::path folder,
         std::unique_ptr<Chance> chance = std::make_unique<MersenneChance>(),
         Clock clock = secondsSinceMidnight);
    // Plays `quiz` alone: the counter is neither read nor stepped; everything
    // else is as above, and failures name the file as given.
    Game(window::FormOps& form, GivenQuiz quiz,
         std::unique_ptr<Chance> chance = std::make_unique<MersenneChance>(),
         Clock clock = secondsSinceMidnight);
    ~Game() override;

    void load() override;
    void click(window::ControlName control) override;

    const GameState& state() const noexcept { return state_; }

private:
    void resetForm();
    void info();
    void getLevel();
    void voprosToScr();
    void optionClick(int k);
    void command1Click();
    void gameOver();
    void itog();
    void command2Click();
    void quitGame();
    void command3Click();
    void command4Click();

    void closeQuizFile();
    // Keeps the reader's last line as currentLine.
    void noteLine();
    quiz::QuizReader& reader();

    window::FormOps& form_;
    std::filesystem::path folder_;
    std::optional<GivenQuiz> givenQuiz_;
    std::unique_ptr<Chance> chance_;
    Clock clock_;
    GameState state_;
    std::string quizFileName_;  // as errors name it
    std::unique_ptr<quiz::FileInput> quizFile_;
    std::optional<quiz::QuizReader> reader_;
};

}  // namespace game
