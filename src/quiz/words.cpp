#include "quiz/words.h"

namespace quiz::words {

std::string question(int number) { return "вопрос " + std::to_string(number); }

std::string answer(int number, int answer) {
    const bool lettered = answer >= 1 && answer <= static_cast<int>(kAnswerLetters.size());
    return question(number) + ", ответ " +
           (lettered ? std::string(kAnswerLetters[static_cast<std::size_t>(answer - 1)])
                     : std::to_string(answer));
}

std::string verdict(int row) { return "оценка " + std::to_string(row); }

}  // namespace quiz::words
