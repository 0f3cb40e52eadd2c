#include "game/hint.h"

#include <ctime>

#include "game/game_state.h"
#include "window/form_ops.h"

namespace game {

double MersenneChance::uniform() {
    // generate_canonical may round up to 1.0 on some libraries; keep u below 1.
    double u = std::generate_canonical<double, 32>(engine_);
    return u < 1.0 ? u : 0.0;
}

std::uint32_t secondsSinceMidnight() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

int drawHintOption(Chance& chance) {
    for (;;) {
        const int r = static_cast<int>(chance.uniform() * 4 + 0.5);
        if (r >= 1 && r <= 4) return r;
    }
}

std::string answerLetter(int k) {
    if (k < 1 || k > 4) throw GameError("Нет ответа с номером " + std::to_string(k));
    return std::string(window::kAnswerLetters[static_cast<std::size_t>(k - 1)]);
}

}  // namespace game
