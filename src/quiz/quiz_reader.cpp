#include "quiz/quiz_reader.h"

#include <climits>
#include <utility>

#include "quiz/quiz_error.h"

namespace quiz {

namespace {

namespace expect {
constexpr const char* kTitle = "файл закончился, а ожидалась строка заголовка";
constexpr const char* kIntroduction =
    "файл закончился, а ожидалась строка вступления или строка с точкой в начале, "
    "закрывающая вступление";
constexpr const char* kLevel =
    "файл закончился, а ожидалась строка оценки или строка с точкой в начале, "
    "закрывающая таблицу оценок";
constexpr const char* kMinScoreLine =
    "файл закончился, а ожидалась строка с наименьшим числом баллов для оценки";
constexpr const char* kQuestion =
    "файл закончился, а ожидалась строка вопроса или строка с точкой в начале, "
    "закрывающая текст вопроса";
constexpr const char* kAnswer =
    "файл закончился, а ожидалась строка ответа или строка с точкой или запятой "
    "и цифрой 0 или 1, закрывающая ответ";
constexpr const char* kStrayText =
    "лишний текст после последнего вопроса: файл закончился, а вопрос, который начинается "
    "этой строкой, не закрыт строкой с точкой и цифрой 0 или 1";
constexpr const char* kAnswerMarker =
    "ожидалась строка ответа с точкой или запятой и цифрой 0 или 1";
constexpr const char* kFifthAnswer =
    "ожидалась строка с точкой и цифрой 0 или 1: четвёртый ответ должен быть последним, "
    "больше четырёх ответов у вопроса не бывает";
constexpr const char* kFifthLevel =
    "ожидалась строка с точкой в начале, закрывающая таблицу оценок: "
    "оценок не бывает больше четырёх";
constexpr const char* kMinScore =
    "ожидалось наименьшее число баллов для оценки: целое число от -32768 до 32767";
constexpr const char* kMinScoreRange =
    "наименьшее число баллов для оценки вне допустимых пределов: "
    "ожидалось целое число от -32768 до 32767";
constexpr const char* kTooManyLines = "файл слишком длинный: в нём больше 2147483647 строк";
constexpr const char* kRewind = "не удалось вернуться назад в файле после просмотра пустых строк";
}  // namespace expect

constexpr std::size_t kMaxLevels = 4;
constexpr std::size_t kMaxAnswers = 4;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isBlankLine(std::string_view line) {
    for (const char c : line) {
        if (!isBlank(c)) return false;
    }
    return true;
}

bool startsWith(std::string_view line, char c) { return !line.empty() && line.front() == c; }
bool isMarker(std::string_view line) { return startsWith(line, '.') || startsWith(line, ','); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

enum class ScoreParse { Ok, NotANumber, OutOfRange };

// A whole number with an optional sign and fraction, blanks around it; the
// fraction rounds to the nearest whole number, halves to even.
ScoreParse parseMinScore(std::string_view s, std::int16_t& value) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    constexpr long kBeyondRange = 100000;
    long whole = 0;
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
        if (whole < kBeyondRange) whole = whole * 10 + (s[i] - '0');
    }
    bool roundUp = false;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        ++i;
        int first = -1;
        bool restNonZero = false;
        for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
            if (first < 0) {
                first = s[i] - '0';
            } else if (s[i] != '0') {
                restNonZero = true;
            }
        }
        roundUp = first > 5 || (first == 5 && (restNonZero || whole % 2 == 1));
    }
    while (i < s.size() && isBlank(s[i])) ++i;
    if (digits == 0 || i != s.size()) return ScoreParse::NotANumber;
    if (roundUp) ++whole;
    if (negative) whole = -whole;
    if (whole < INT16_MIN || whole > INT16_MAX) return ScoreParse::OutOfRange;
    value = static_cast<std::int16_t>(whole);
    return ScoreParse::Ok;
}

}  // namespace

QuizReader::QuizReader(std::istream& in, std::string fileName, Encoding encoding,
                       std::size_t bufferSize)
    : fileName_(std::move(fileName)), encoding_(encoding), source_(in, bufferSize) {}

void QuizReader::skipByteOrderMark(std::string_view& line, bool firstLine) const {
    if (firstLine && encoding_ == Encoding::Utf8 && line.starts_with(kUtf8ByteOrderMark)) {
        line.remove_prefix(kUtf8ByteOrderMark.size());
    }
}

bool QuizReader::readLine() {
    if (!source_.next(rawLine_)) return false;
    if (lineNumber_ == INT_MAX) throw QuizError(fileName_, lineNumber_, expect::kTooManyLines);
    skipByteOrderMark(rawLine_, lineNumber_ == 0);
    ++lineNumber_;
    return true;
}

void QuizReader::requireLine(const char* expected) {
    if (!readLine()) endedAt(expected);
}

void QuizReader::keepLastContent() {
    if (lastContent_.text != nullptr) {
        currentLine_.assign(*lastContent_.text, lastContent_.begin,
                            lastContent_.end - lastContent_.begin);
        lastContent_.text = nullptr;
    }
}

void QuizReader::endedAt(const char* expected) {
    keepLastContent();
    throw QuizError(fileName_, lineNumber_ + 1, expected);
}

const std::string& QuizReader::takeLine() {
    lastContent_.text = nullptr;
    currentLine_.clear();
    appendDecoded(rawLine_, encoding_, currentLine_);
    return currentLine_;
}

void QuizReader::appendContent(std::string& text, std::string_view separator) {
    const std::size_t begin = text.size();
    appendDecoded(rawLine_, encoding_, text);
    lastContent_ = {&text, begin, text.size()};
    text += separator;
}

void QuizReader::fail(std::string expected) const {
    throw QuizError(fileName_, lineNumber_, currentLine_, std::move(expected));
}

std::string QuizReader::readTitle() {
    requireLine(expect::kTitle);
    return takeLine();
}

std::string QuizReader::readIntroduction() {
    std::string text;
    for (;;) {
        requireLine(expect::kIntroduction);
        if (startsWith(rawLine_, '.')) break;
        appendContent(text, "\r\n");
    }
    takeLine();
    return text;
}

std::int16_t QuizReader::minScore() const {
    std::int16_t value = 0;
    const ScoreParse result = parseMinScore(rawLine_, value);
    if (result == ScoreParse::NotANumber) fail(expect::kMinScore);
    if (result == ScoreParse::OutOfRange) fail(expect::kMinScoreRange);
    return value;
}

std::vector<LevelRow> QuizReader::readLevelTable() {
    std::vector<LevelRow> rows;
    for (;;) {
        requireLine(expect::kLevel);
        takeLine();
        if (startsWith(rawLine_, '.')) return rows;
        if (rows.size() == kMaxLevels) fail(expect::kFifthLevel);
        LevelRow row;
        row.text = currentLine_;
        requireLine(expect::kMinScoreLine);
        takeLine();
        row.minScore = minScore();
        rows.push_back(std::move(row));
        // A minimum-score line that begins with "." (".5") also ends the table.
        if (startsWith(rawLine_, '.')) return rows;
    }
}

Question QuizReader::readQuestion() {
    Question question;
    // After a whole question, a block that the file ends inside is text after
    // the last question: the fault lies at its first line that is not blank,
    // not past the end of the file. That line is question text (kept as a
    // place in question.text) or, when the text is empty, the marker ending it.
    int strayLine = 0;
    std::size_t strayBegin = 0;
    std::size_t strayEnd = 0;
    std::string strayMarker;
    const auto take = [&](const char* expected) {
        if (readLine()) {
            if (strayLine == 0 && questionsRead_ > 0 && !isBlankLine(rawLine_)) {
                strayLine = lineNumber_;
            }
            return;
        }
        if (strayLine == 0) endedAt(expected);
        std::string stray = strayMarker.empty()
                                ? question.text.substr(strayBegin, strayEnd - strayBegin)
                                : std::move(strayMarker);
        keepLastContent();
        throw QuizError(fileName_, strayLine, std::move(stray), expect::kStrayText);
    };
    for (;;) {
        take(expect::kQuestion);
        if (startsWith(rawLine_, '.')) break;
        appendContent(question.text, " ");
        if (strayLine == lineNumber_) {
            strayBegin = lastContent_.begin;
            strayEnd = lastContent_.end;
        }
    }
    takeLine();
    if (strayLine == lineNumber_) strayMarker = currentLine_;
    question.answers.reserve(kMaxAnswers);
    for (;;) {
        Answer answer;
        for (;;) {
            take(expect::kAnswer);
            if (isMarker(rawLine_)) break;
            appendContent(answer.text, " ");
        }
        takeLine();
        if (rawLine_.size() < 2 || (rawLine_[1] != '0' && rawLine_[1] != '1')) {
            fail(expect::kAnswerMarker);
        }
        answer.points = static_cast<std::int16_t>(rawLine_[1] - '0');
        question.answers.push_back(std::move(answer));
        if (startsWith(rawLine_, '.')) {
            ++questionsRead_;
            return question;
        }
        if (question.answers.size() == kMaxAnswers) fail(expect::kFifthAnswer);
    }
}

bool QuizReader::atEnd() {
    if (atEndCheckedAt_ == lineNumber_) return atEnd_;
    source_.mark();
    bool end = true;
    std::string_view line;
    for (bool first = lineNumber_ == 0; source_.next(line); first = false) {
        skipByteOrderMark(line, first);
        if (!isBlankLine(line)) {
            end = false;
            break;
        }
    }
    if (!source_.rewind()) throw QuizError(fileName_, lineNumber_ + 1, expect::kRewind);
    atEndCheckedAt_ = lineNumber_;
    atEnd_ = end;
    return end;
}

}  // namespace quiz
