// A game on the recording fake window, brought to the moment just before a
// wrong answer is judged, so that the next click steps the counter through
// gameOver. The fault tests break that step in different ways and check what
// the player and the counter file are left with.
#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/game.h"
#include "support/fake_form.h"

namespace faults {

inline constexpr const char* kOldCounter = "2\r\n";
inline constexpr const char* kNewCounter = "1\r\n";
inline constexpr const char* kQuizFile = "test2.txt";

// Part of every message of a counter that could not be written.
inline constexpr const char* kNotWritten = "не удалось записать новое значение счётчика";
inline constexpr const char* kOldValueKept = "в файле осталось прежнее значение";

class CounterScene {
public:
    // Writes "tet0.txt" holding 2 and the quiz test2.txt into `folder`.
    explicit CounterScene(std::filesystem::path folder);

    // Start-up, "Ok", and a wrong option chosen on question 1. Fails the test
    // when any of it does not happen.
    void reachWrongAnswer();
    // Clicks Command1: the wrong answer is judged and gameOver steps the counter.
    void answer();

    const testing_support::FakeForm& form() const noexcept { return form_; }
    const std::filesystem::path& folder() const noexcept { return folder_; }
    std::string counterBytes() const;
    std::filesystem::perms counterMode() const;
    std::set<std::string> files() const;

private:
    std::filesystem::path folder_;
    testing_support::FakeForm form_;
    std::unique_ptr<game::Game> game_;
};

// What a step of the counter that met a fault must end in.
struct Outcome {
    // True: the counter was stepped and the game ended normally with its
    // message box. False: the game stopped on failure with exit status 1.
    bool stepped;
    // Texts the failure message must contain (none when stepped).
    std::vector<std::string> says;
};

// Checks the outcome after CounterScene::answer: the counter holds exactly the
// old or the new value as the outcome says, no temporary file is left, and
// the player saw either the end of the game or a failure that names the
// counter file and the cause.
void expectOutcome(const CounterScene& scene, const Outcome& outcome);

// Permissions as octal digits, for comparing them with readable messages.
std::string octal(std::filesystem::perms mode);

// Writes bytes to a file, replacing it.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace faults
