// The game's own texts as the tests expect them, written out here once and
// independently of the game's code.
#pragma once

#include <string>

#include "support/fake_form.h"

namespace testing_support {

inline const std::string kPlaying = "ИДЕТ ИГРА БУДЬТЕ ВНИМАТЕЛЬНЫ!!!";
inline const std::string kReady = "Вы готовы к игре? Если готовы щелкните кнопку \"ОК\"";
inline const std::string kHintText = "МНЕ КАЖЕТСЯ ПРАВИЛЬНЫЙ ОТВЕТ ЭТО ОТВЕТ - ";
inline const std::string kHintTitle = "ПОДСКАЗКА КОМПЬЮТЕРА";

inline const MessageBoxCall kWrongBox{"В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Игра закончена",
                                      window::Buttons::Ok, window::Icon::Critical};
inline const MessageBoxCall kWinBox{"П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!",
                                    window::Buttons::Ok, window::Icon::None};
inline const MessageBoxCall kQuitQuestion{"ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ",
                                          "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", window::Buttons::YesNo,
                                          window::Icon::None};
inline const MessageBoxCall kQuitAtZero{"ВЫ ОТКАЗАЛИСЬ ОТ ИГРЫ!", "ДО НОВОЙ ВСТРЕЧИ!",
                                        window::Buttons::Ok, window::Icon::None};
inline const MessageBoxCall kQuitWithPoints{"До новой встречи", "ВЫХОД ИЗ ИГРЫ",
                                            window::Buttons::Ok, window::Icon::None};

}  // namespace testing_support
