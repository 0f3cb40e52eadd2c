#include "faults/counter_scene.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "support/quiz_files.h"

namespace fs = std::filesystem;

namespace faults {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

CounterScene::CounterScene(fs::path folder) : folder_(std::move(folder)) {
    writeFile(folder_ / "tet0.txt", kOldCounter);
    const std::string quiz = testing_support::makeQuiz(
        "Викторина", {"Вступление"}, {{"Хорошо", 1}}, testing_support::rotatingQuestions(3));
    writeFile(folder_ / kQuizFile, testing_support::toWindows1251(quiz));
}

void CounterScene::reachWrongAnswer() {
    game_ = std::make_unique<game::Game>(form_, folder_);
    form_.start(*game_);
    ASSERT_FALSE(form_.ended()) << form_.failure();
    ASSERT_TRUE(form_.click(*game_, window::Command1));
    // Question 1 of the rotating quiz is answered by option 1.
    ASSERT_TRUE(form_.click(*game_, window::Option2));
    ASSERT_FALSE(form_.ended()) << form_.failure();
}

void CounterScene::answer() { ASSERT_TRUE(form_.click(*game_, window::Command1)); }

std::string CounterScene::counterBytes() const {
    std::ifstream in(folder_ / "tet0.txt", std::ios::binary);
    if (!in) return "<unreadable>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::perms CounterScene::counterMode() const {
    return fs::status(folder_ / "tet0.txt").permissions();
}

std::set<std::string> CounterScene::files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename());
    return names;
}

std::string octal(fs::perms mode) {
    std::ostringstream out;
    out << std::oct << static_cast<unsigned>(mode);
    return out.str();
}

void expectOutcome(const CounterScene& scene, const Outcome& outcome) {
    const testing_support::FakeForm& form = scene.form();
    ASSERT_TRUE(form.ended()) << "the answer did not end the game";
    EXPECT_EQ(scene.files(), (std::set<std::string>{"tet0.txt", kQuizFile}))
        << "only the counter and the quiz may be in the folder";
    if (outcome.stepped) {
        EXPECT_EQ(form.exitStatus(), 0);
        EXPECT_EQ(form.failure(), "");
        EXPECT_EQ(scene.counterBytes(), kNewCounter);
        ASSERT_FALSE(form.boxes().empty());
        EXPECT_EQ(form.boxes().back().text, "В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!");
        return;
    }
    EXPECT_EQ(form.exitStatus(), 1);
    EXPECT_EQ(scene.counterBytes(), kOldCounter);
    const std::string& failure = form.failure();
    EXPECT_NE(failure.find("tet0.txt"), std::string::npos) << failure;
    for (const std::string& text : outcome.says) {
        EXPECT_NE(failure.find(text), std::string::npos)
            << "«" << text << "» missing in: " << failure;
    }
    // The game stopped before gameOver changed the window or showed its box.
    EXPECT_TRUE(form.boxes().empty());
    EXPECT_TRUE(form.state(window::Label2).visible);
    EXPECT_NE(form.state(window::Label16).fore, window::kRed);
}

}  // namespace faults
