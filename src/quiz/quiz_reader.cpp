#include "quiz/quiz_reader.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "quiz/format.h"
#include "quiz/quiz_error.h"
#include "quiz/words.h"

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
    "файл закончился, а ожидалась строка текста вопроса или строка с точкой в начале, "
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
constexpr const char* kLastAnswerComma =
    "строка, закрывающая последний ответ вопроса, должна начинаться с точки, а эта "
    "начинается с запятой, ";
constexpr const char* kNextQuestionAsAnswer =
    "и текст следующего вопроса читается как ещё один ответ";
constexpr const char* kFileEndsAfterComma = "а после неё файл закончился";
constexpr const char* kFifthLevel =
    "ожидалась строка с точкой в начале, закрывающая таблицу оценок: "
    "оценок не бывает больше четырёх";
constexpr const char* kMinScore = "ожидалось наименьшее число баллов для оценки: целое число";
constexpr const char* kMinScoreRange =
    "наименьшее число баллов для оценки вне допустимых пределов: "
    "ожидалось целое число от -32768 до 32767";
constexpr const char* kIntroductionNotClosed =
    "вступление, похоже, не закрыто строкой с точкой: с этой строки идут оценки и числа "
    "баллов, а таблицей оценок прочитано то, что за ними; поставьте перед этой строкой "
    "строку «.»";
constexpr const char* kTooLong =
    "строка длиннее 1 МиБ (1048576 байт): в викторине, написанной вручную, таких не бывает, "
    "это, вероятно, не файл викторины";
constexpr const char* kTooManyLines = "файл слишком длинный: в нём больше 2147483647 строк";
constexpr const char* kRewind = "не удалось вернуться назад в файле после просмотра пустых строк";
}  // namespace expect

// How far past a "." line without points the reader looks for the next marker.
constexpr int kSlipLookAhead = 200;
// How much of a refused long line its error quotes.
constexpr std::size_t kLongLineQuote = 256;

}  // namespace

QuizReader::QuizReader(std::istream& in, std::string fileName, Encoding encoding,
                       std::size_t bufferSize, ReadObserver* observer)
    : fileName_(std::move(fileName)),
      encoding_(encoding),
      source_(in, bufferSize),
      observer_(observer) {}

QuizReader::QuizReader(ByteInput& in, std::string fileName, Encoding encoding,
                       std::size_t bufferSize, ReadObserver* observer)
    : fileName_(std::move(fileName)),
      encoding_(encoding),
      source_(in, bufferSize),
      observer_(observer) {}

bool QuizReader::readLine() {
    if (!source_.next(rawLine_)) return false;
    if (lineNumber_ == 0 || lineNumber_ == INT_MAX || source_.lineTooLong()) return readUnusualLine();
    ++lineNumber_;
    return true;
}

bool QuizReader::readUnusualLine() {
    if (lineNumber_ == INT_MAX) {
        settleMarker();
        throw QuizError(fileName_, lineNumber_, expect::kTooManyLines);
    }
    ++lineNumber_;
    // A UTF-8 byte-order mark at the start of the file is not part of the title.
    if (lineNumber_ == 1 && encoding_ == Encoding::Utf8 &&
        rawLine_.starts_with(kUtf8ByteOrderMark)) {
        rawLine_.remove_prefix(kUtf8ByteOrderMark.size());
        byteOrderMark_ = true;
    }
    if (source_.lineTooLong()) refuseLongLine();
    return true;
}

void QuizReader::refuseLongLine() {
    settleMarker();
    std::string start;
    appendDecoded(rawLine_.substr(0, kLongLineQuote), encoding_, start);
    throw QuizError(fileName_, lineNumber_, std::move(start), expect::kTooLong);
}

void QuizReader::requireLine(const char* expected) {
    if (!readLine()) endedAt(expected);
}

void QuizReader::keepLastContent() {
    if (lastContent_.text != nullptr) {
        currentLine_.assign(*lastContent_.text, lastContent_.begin,
                            lastContent_.end - lastContent_.begin);
        lastContent_.text = nullptr;
        marker_.pending = false;
    } else {
        settleMarker();
    }
}

void QuizReader::endedAt(const std::string& expected) {
    keepLastContent();
    throw QuizError(fileName_, lineNumber_ + 1, expected);
}

const std::string& QuizReader::takeLine() {
    lastContent_.text = nullptr;
    marker_.pending = false;
    currentLine_.clear();
    appendDecoded(rawLine_, encoding_, currentLine_);
    return currentLine_;
}

void QuizReader::takeMarker() {
    if (observer_ != nullptr || rawLine_.size() > kShortLine) {
        takeLine();
        return;
    }
    lastContent_.text = nullptr;
    std::ranges::copy(rawLine_, marker_.bytes.begin());
    marker_.size = rawLine_.size();
    marker_.pending = true;
}

std::string QuizReader::decoded(const ShortLine& line) const {
    std::string text;
    appendDecoded(std::string_view(line.bytes.data(), line.size), encoding_, text);
    return text;
}

void QuizReader::settleMarker() const {
    if (!marker_.pending) return;
    marker_.pending = false;
    currentLine_ = decoded(marker_);
}

void QuizReader::appendContent(std::string& text, Separator separator, LinePart part, int item) {
    const std::size_t begin = text.size();
    appendDecoded(rawLine_, encoding_, text);
    lastContent_ = {&text, begin, text.size()};
    if (observer_ != nullptr)
        notify(part, item, std::string_view(text).substr(begin), rawLine_.size());
    if (separator == Separator::LineEnd) text += '\r';
    text += separator == Separator::Blank ? ' ' : '\n';
}

void QuizReader::notify(LinePart part, int item, std::string_view text, std::size_t ignoredFrom) {
    if (observer_ == nullptr) return;
    const bool inQuestion = part >= LinePart::QuestionText && part <= LinePart::AnswerMarker;
    observer_->lineRead({lineNumber_, part, inQuestion ? questionsRead_ : -1, item, rawLine_, text,
                         source_.lineEnd(), ignoredFrom});
}

void QuizReader::fail(std::string expected) {
    settleMarker();
    throw QuizError(fileName_, lineNumber_, currentLine_, std::move(expected));
}

std::string QuizReader::readTitle() {
    requireLine(expect::kTitle);
    takeLine();
    notify(LinePart::Title, -1, currentLine_, rawLine_.size());
    return currentLine_;
}

std::string QuizReader::readIntroduction() {
    std::string text;
    for (;;) {
        requireLine(expect::kIntroduction);
        if (endsBlock(Block::Introduction, rawLine_)) break;
        noteIntroductionLine();
        appendContent(text, Separator::LineEnd, LinePart::Introduction, -1);
    }
    takeLine();
    tableShape_.introductionEnd = lineNumber_;
    notify(LinePart::IntroductionEnd, -1, currentLine_, 1);
    return text;
}

void QuizReader::noteIntroductionLine() {
    std::int16_t value = 0;
    const bool number = parseMinScore(rawLine_, value) == ScoreParse::Ok;
    if (number && tableShape_.previousIsText) {
        // The line before, a verdict of the pair, is the content line last read.
        if (tableShape_.last != lineNumber_ - 2) {
            tableShape_.first = lineNumber_ - 1;
            tableShape_.firstText.assign(*lastContent_.text, lastContent_.begin,
                                         lastContent_.end - lastContent_.begin);
        }
        tableShape_.last = lineNumber_;
    }
    tableShape_.previousIsText = !number;
}

void QuizReader::checkIntroductionClosed() {
    if (tableShape_.first == 0 || tableShape_.last != tableShape_.introductionEnd - 1) return;
    throw QuizError(fileName_, tableShape_.first, std::move(tableShape_.firstText),
                    expect::kIntroductionNotClosed);
}

std::int16_t QuizReader::minScore(bool firstRow) {
    std::int16_t value = 0;
    const ScoreParse result = parseMinScore(rawLine_, value);
    if (result != ScoreParse::Ok && firstRow) checkIntroductionClosed();
    if (result == ScoreParse::NotANumber) fail(expect::kMinScore);
    if (result == ScoreParse::OutOfRange) fail(expect::kMinScoreRange);
    return value;
}

std::vector<LevelRow> QuizReader::readLevelTable() {
    std::vector<LevelRow> rows;
    const auto require = [&](const char* expected) {
        if (readLine()) return;
        if (rows.empty()) checkIntroductionClosed();
        endedAt(expected);
    };
    for (;;) {
        require(expect::kLevel);
        takeLine();
        const int row = static_cast<int>(rows.size());
        if (endsBlock(Block::LevelTable, rawLine_)) {
            notify(LinePart::LevelTableEnd, row, currentLine_, 1);
            return rows;
        }
        if (rows.size() == kMaxLevels) fail(expect::kFifthLevel);
        notify(LinePart::Verdict, row, currentLine_, rawLine_.size());
        LevelRow levelRow{currentLine_, 0};
        require(expect::kMinScoreLine);
        takeLine();
        levelRow.minScore = minScore(rows.empty());
        notify(LinePart::MinimumScore, row, currentLine_, rawLine_.size());
        rows.push_back(std::move(levelRow));
        // A minimum-score line that begins with "." (".5") also ends the table.
        if (endsBlock(Block::LevelTable, rawLine_)) return rows;
    }
}

std::string QuizReader::inQuestion(std::string_view message) const {
    return words::question(questionsRead_ + 1) + ": " + std::string(message);
}

std::string QuizReader::inAnswer(std::size_t answer, std::string_view message) const {
    return words::answer(questionsRead_ + 1, static_cast<int>(answer) + 1) + ": " +
           std::string(message);
}

void QuizReader::takeInQuestion(int answer, const std::string& answerText) {
    if (!readLine()) endedInQuestion(answer, answerText);
    if (stray_.line == 0 && questionsRead_ > 0 && !isBlankLine(rawLine_)) stray_.line = lineNumber_;
}

void QuizReader::endedInQuestion(int answer, const std::string& answerText) {
    // A question whose "," should have been "." and then the file ends: the
    // slip is that marker line, not the end of the file.
    if (answer >= 0 && commaMarker_.line != 0 && isBlankLine(answerText)) lastAnswerEndedWithComma(true);
    if (stray_.line == 0) {
        endedAt(answer < 0 ? inQuestion(expect::kQuestion)
                           : inAnswer(static_cast<std::size_t>(answer), expect::kAnswer));
    }
    std::string stray = stray_.marker.empty()
                            ? questionText_->substr(stray_.begin, stray_.end - stray_.begin)
                            : std::move(stray_.marker);
    keepLastContent();
    throw QuizError(fileName_, stray_.line, std::move(stray), expect::kStrayText);
}

Question QuizReader::readQuestion() {
    Question question;
    readQuestion(question);
    return question;
}

void QuizReader::readQuestion(Question& question) {
    // After a whole question, a block that the file ends inside is text after
    // the last question: the fault lies at its first line that is not blank,
    // not past the end of the file. That line is question text (kept as a
    // place in the text) or, when the text is empty, the marker ending it.
    stray_.line = 0;
    stray_.marker.clear();
    commaMarker_.line = 0;
    std::string& text = question.text;
    text.clear();
    questionText_ = &text;
    for (;;) {
        takeInQuestion(-1, text);
        if (endsBlock(Block::QuestionText, rawLine_)) break;
        appendContent(text, Separator::Blank, LinePart::QuestionText, -1);
        if (stray_.line == lineNumber_) {
            stray_.begin = lastContent_.begin;
            stray_.end = lastContent_.end;
        }
    }
    takeMarker();
    if (stray_.line == lineNumber_) {
        settleMarker();
        stray_.marker = currentLine_;
    }
    notify(LinePart::QuestionTextEnd, -1, currentLine_, 1);
    std::vector<Answer>& answers = question.answers;
    for (Answer& answer : answers) {
        if (spareAnswers_.size() == kMaxAnswers) break;
        spareAnswers_.push_back(std::move(answer));
    }
    answers.clear();
    answers.reserve(kMaxAnswers);
    for (;;) {
        readAnswer(answers);
        if (rawLine_.front() == '.') {
            ++questionsRead_;
            return;
        }
        if (answers.size() == kMaxAnswers) {
            fail(inAnswer(kMaxAnswers - 1, expect::kFifthAnswer));
        }
        commaMarker_.line = lineNumber_;
        commaMarker_.bytes = marker_;
        if (!marker_.pending) commaMarker_.text = currentLine_;
        commaMarker_.answer = answers.size() - 1;
    }
}

void QuizReader::readAnswer(std::vector<Answer>& answers) {
    // Read straight into its place: the answers were reserved, so the text
    // stays where it is while it grows.
    const std::size_t j = answers.size();
    if (spareAnswers_.empty()) {
        answers.emplace_back();
    } else {
        answers.push_back(std::move(spareAnswers_.back()));
        spareAnswers_.pop_back();
        answers.back().text.clear();
    }
    Answer& answer = answers.back();
    for (;;) {
        takeInQuestion(static_cast<int>(j), answer.text);
        if (endsBlock(Block::Answer, rawLine_)) break;
        appendContent(answer.text, Separator::Blank, LinePart::AnswerText, static_cast<int>(j));
    }
    takeMarker();
    if (rawLine_.size() < 2 || !isPointsDigit(rawLine_[1])) {
        if (rawLine_.front() == '.' && commaMarker_.line != 0 && answersFollow()) {
            lastAnswerEndedWithComma(false);
        }
        fail(inAnswer(j, expect::kAnswerMarker));
    }
    answer.points = static_cast<std::int16_t>(rawLine_[1] - '0');
    notify(LinePart::AnswerMarker, static_cast<int>(j), currentLine_, 2);
}

bool QuizReader::answersFollow() {
    // A "." line without points that the next question's answers follow is
    // that question's text end, read as an answer's marker: the slip is the
    // "," before it. A "." line that more question text follows is an
    // answer's marker that lacks its digit.
    std::string_view line;
    for (int i = 0; i < kSlipLookAhead && source_.next(line) && !source_.lineTooLong(); ++i) {
        if (endsBlock(Block::Answer, line)) return line.size() >= 2 && isPointsDigit(line[1]);
    }
    return false;
}

void QuizReader::lastAnswerEndedWithComma(bool atEndOfFile) {
    settleMarker();
    std::string message = expect::kLastAnswerComma;
    message += atEndOfFile ? expect::kFileEndsAfterComma : expect::kNextQuestionAsAnswer;
    std::string text = commaMarker_.bytes.pending ? decoded(commaMarker_.bytes)
                                                  : std::move(commaMarker_.text);
    throw QuizError(fileName_, commaMarker_.line, std::move(text),
                    inAnswer(commaMarker_.answer, message));
}

bool QuizReader::atEnd() {
    if (drained_) return true;
    if (atEndCheckedAt_ == lineNumber_) return atEnd_;
    // A next line that begins with text answers at once.
    if (const int c = source_.peek(); c >= 0 && lineNumber_ > 0 && !isBlank(static_cast<char>(c)) &&
                                      c != '\r' && c != '\n') {
        atEndCheckedAt_ = lineNumber_;
        atEnd_ = false;
        return false;
    }
    source_.mark();
    bool end = true;
    std::string_view line;
    for (bool first = lineNumber_ == 0; source_.next(line); first = false) {
        if (first && encoding_ == Encoding::Utf8 && line.starts_with(kUtf8ByteOrderMark)) {
            line.remove_prefix(kUtf8ByteOrderMark.size());
        }
        // A line too long to read is no blank line: reading it refuses it.
        if (source_.lineTooLong() || !isBlankLine(line)) {
            end = false;
            break;
        }
    }
    if (!source_.rewind()) throw QuizError(fileName_, lineNumber_ + 1, expect::kRewind);
    atEndCheckedAt_ = lineNumber_;
    atEnd_ = end;
    if (end && observer_ != nullptr) {
        while (readLine()) notify(LinePart::Trailing, -1, takeLine(), 0);
        drained_ = true;
    }
    return end;
}

}  // namespace quiz
