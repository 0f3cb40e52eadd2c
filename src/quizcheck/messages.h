// What quizcheck says about a quiz file, beyond the reader's own errors: the
// warnings and the summary, each once.
#pragma once

namespace quizcheck::say {
inline constexpr const char* kEmptyTitle = "заголовок пустой: у окна не будет названия викторины";
inline constexpr const char* kEmptyIntroduction =
    "вступление пустое: перед первым вопросом игрок увидит пустое поле";
inline constexpr const char* kLevelRowsMissing =
    " из четырёх: у недостающих пустой текст и наименьшее число баллов 0";
inline constexpr const char* kLevelNeverShown = "эту оценку игрок не увидит никогда";
inline constexpr const char* kLastLevelAnyway =
    "последняя оценка и так достаётся всем, кто не набрал на три верхние";
inline constexpr const char* kBeyondLadder =
    "вопросы после пятнадцатого игра не задаёт: она заканчивается на пятнадцатой ступени";
inline constexpr const char* kBeyondReach =
    "до этого места игра не доходит (после пятнадцатого вопроса она файл не читает), "
    "но здесь ошибка: ";
inline constexpr const char* kEmptyQuestion = "текста вопроса нет";
inline constexpr const char* kNoRightAnswer =
    "нет правильного ответа (с цифрой 1): на этом вопросе игра закончится при любом ответе";
inline constexpr const char* kManyRightAnswers =
    " правильных ответа (с цифрой 1): засчитан будет любой из них";
inline constexpr const char* kEmptyAnswer = "у ответа нет текста: этот вариант не будет показан";
inline constexpr const char* kBlankAnswer =
    "текст ответа из одних пробелов: вариант будет показан пустым";
inline constexpr const char* kRightAnswerEmpty =
    "у правильного ответа нет текста: этот вариант не будет показан";
inline constexpr const char* kCannotBeAnswered = ", и ответить на вопрос верно нельзя";
inline constexpr const char* kProbableMarker =
    "похоже на строку ответа, но первым символом должна быть точка или запятая";
inline constexpr const char* kUnreachable =
    " недостижимо: баллы здесь — это число верных ответов, а вопросов в файле ";
inline constexpr const char* kNoResults =
    "вопросов 15 или больше: игра заканчивается на пятнадцатой ступени, экран результатов не "
    "появится, и оценок из таблицы игрок не увидит";
inline constexpr const char* kResultsOnlyAfterAll =
    "экран результатов появится только после верных ответов на все вопросы (";
inline constexpr const char* kControlCharacters =
    "в тексте управляющие символы (ниже они показаны значками): в окне их не видно или они "
    "портят текст";
inline constexpr const char* kMixedEncoding =
    "строка записана в UTF-8, а файл в Windows-1251: окно покажет её так, как ниже, а не «";
inline constexpr const char* kDoesNotFit = " не помещается в своё место в окне";
inline constexpr const char* kShrunk = " и будет показан мельче";
inline constexpr const char* kElided =
    " даже мельче и будет обрезан многоточием, целиком он будет только во всплывающей подсказке";
inline constexpr const char* kCannotOpen = "не удалось открыть файл для чтения";
inline constexpr const char* kCannotRead = "не удалось прочитать файл: ";
inline constexpr const char* kCannotCheck = "не удалось проверить файл: ";
inline constexpr const char* kMissing = "файл не найден";
inline constexpr const char* kFolder = "это папка, а не файл";
inline constexpr const char* kNotAFile = "это не обычный файл (канал или устройство)";
inline constexpr const char* kEndsOnResults = "игра закончится экраном результатов";
inline constexpr const char* kEndsOnLadder = "игра закончится на пятнадцатой ступени";
}  // namespace quizcheck::say
