// The state of one game: the variables of Form1 that the procedures share.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace game {

// A failure of the game's own rules: a 16-bit overflow or an index out of
// range. Stops the program like any other failure.
class GameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An array indexed 1..4, as the game's arrays are. Any other index throws
// GameError instead of reading out of bounds.
template <typename T>
class Array1To4 {
public:
    T& operator()(int i) { return items_[slot(i)]; }
    const T& operator()(int i) const { return items_[slot(i)]; }

private:
    static std::size_t slot(int i) {
        if (i < 1 || i > 4) {
            throw GameError("Индекс " + std::to_string(i) + " вне диапазона 1..4");
        }
        return static_cast<std::size_t>(i - 1);
    }
    std::array<T, 4> items_{};
};

// a + b as a 16-bit signed number; throws GameError on overflow.
std::int16_t add16(std::int16_t a, int b, const char* what);

struct GameState {
    std::string questionFilePath;  // full path of the open quiz file
    std::int16_t score = 0;        // points gained
    std::int16_t questionNumber = 0;  // number of the question last shown
    std::int16_t selectedAnswer = 0;  // the option last clicked, 1..4
    std::string currentLine;          // the line last read from the quiz file
    Array1To4<std::int16_t> levelMinScore;
    Array1To4<std::string> levelText;
    Array1To4<std::int16_t> answerPoints;  // points of the answers on screen
};

}  // namespace game
