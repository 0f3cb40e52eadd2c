// The computer hint's source of chance.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>

namespace game {

// A uniform generator that is seeded anew at each use.
class Chance {
public:
    virtual ~Chance() = default;
    virtual void seed(std::uint32_t value) = 0;
    // A uniform number u with 0 <= u < 1.
    virtual double uniform() = 0;
};

class MersenneChance final : public Chance {
public:
    void seed(std::uint32_t value) override { engine_.seed(value); }
    double uniform() override;

private:
    std::mt19937 engine_;
};

// Seconds elapsed since local midnight.
std::uint32_t secondsSinceMidnight();

// The option the hint names, 1..4: r is the integer part of u * 4 + 0.5, and a
// draw of 0, which would name no answer, is drawn again. So options 1, 2, 3
// come up with 2/7 each and option 4 with 1/7.
int drawHintOption(Chance& chance);

// The letter of option k (1..4) from quiz::words::kAnswerLetters: "A" (Latin),
// "Б", "В", "Г". Throws GameError outside 1..4.
std::string answerLetter(int k);

}  // namespace game
