// What authors call the parts of a quiz. Every message about a quiz file, the
// game's and the checker's, names a part with these words, as the author sees
// it in the window: never by a control's name.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quiz::words {

// The answer letters of the options 1 to 4 (А top left, Б below it, В top
// right, Г below that): drawn beside the options, typed to choose them, named
// by the computer hint and by every message about an answer. Option 1's letter
// is the Latin capital A (U+0041), as the hint has always named it; the other
// three are Cyrillic. The fonts draw Latin A and Cyrillic А alike, so players
// and authors see one alphabet.
inline constexpr std::array<std::string_view, 4> kAnswerLetters = {"A", "Б", "В", "Г"};

inline constexpr std::string_view kTitle = "заголовок";
inline constexpr std::string_view kIntroduction = "вступление";
inline constexpr std::string_view kLevelTable = "таблица оценок";
inline constexpr std::string_view kQuestionText = "текст вопроса";
inline constexpr std::string_view kResults = "экран результатов";

// "вопрос 3" for the question numbered `number` from 1.
std::string question(int number);
// "вопрос 3, ответ Б" for answer `answer` (1 to 4) of question `number`.
std::string answer(int number, int answer);
// "оценка 2" for row `row` (1 to 4) of the level table.
std::string verdict(int row);

}  // namespace quiz::words
