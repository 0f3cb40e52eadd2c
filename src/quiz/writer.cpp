#include "quiz/writer.h"

#include <algorithm>
#include <cstdio>

#include "quiz/format.h"
#include "quiz/quiz_error.h"

namespace quiz {

namespace {

namespace say {
constexpr const char* kGuarded =
    "строка начинается с «{}», и игра приняла бы её за служебную: перед ней записан неразрывный "
    "пробел, чтобы игра показала текст как есть";
constexpr const char* kCannotEncode =
    "символ «{}» ({}) нельзя записать в кодировке Windows-1251: "
    "замените его или сохраните файл в UTF-8";
constexpr const char* kMalformed = "в тексте байт, который не составляет символа UTF-8";
constexpr const char* kLineBreak = "в строке перевод строки: здесь должна быть одна строка";
constexpr const char* kTooLong = "строка длиннее 1 МиБ (1048576 байт): игра её не прочтёт";
constexpr const char* kNoQuestions = "в викторине нет ни одного вопроса";
constexpr const char* kAnswerCount = "у вопроса должно быть от одного до четырёх ответов";
constexpr const char* kFifthLevel = "оценок в таблице не бывает больше четырёх";
}  // namespace say

std::string codeName(std::string_view character) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(utf8CodePoint(character)));
    return name;
}

class Writer {
public:
    Writer(const QuizDocument& document, Encoding encoding)
        : doc_(document), encoding_(encoding), sameEncoding_(encoding == document.encoding) {}

    Written run();

private:
    // One line: `head` (marker characters, ASCII) and the line's text.
    // `block` is where a content line stands; none for the title and for
    // marker lines.
    void line(const DocLine& line, const DocPlace& place, std::string_view head = {},
              std::optional<Block> block = {});
    // The bytes of `text`, or an error at the place.
    bool encode(std::string_view text, std::string& out);
    void problem(bool error, std::string message, std::string_view text);
    void levelTable();
    void question(std::size_t q);

    const QuizDocument& doc_;
    Encoding encoding_;
    bool sameEncoding_;
    Written out_;
    std::optional<LineEnd> pendingEnd_;  // of the line last written
    const DocLine* current_ = nullptr;
    DocPlace place_;
};

Written Writer::run() {
    if (encoding_ == Encoding::Utf8 && doc_.byteOrderMark) out_.bytes = kUtf8ByteOrderMark;
    line(doc_.title, {LinePart::Title});
    for (std::size_t i = 0; i < doc_.introduction.size(); ++i) {
        line(doc_.introduction[i], {LinePart::Introduction, -1, -1, static_cast<int>(i)}, {},
             Block::Introduction);
    }
    line(doc_.introductionEnd, {LinePart::IntroductionEnd}, ".");
    levelTable();
    if (doc_.questions.empty()) problem(true, say::kNoQuestions, "");
    for (std::size_t q = 0; q < doc_.questions.size(); ++q) question(q);
    for (std::size_t i = 0; i < doc_.trailing.size(); ++i) {
        line(doc_.trailing[i], {LinePart::Trailing, -1, -1, static_cast<int>(i)});
    }
    if (pendingEnd_) out_.bytes += lineEndBytes(*pendingEnd_);
    return std::move(out_);
}

void Writer::levelTable() {
    bool ended = false;  // by a minimum line beginning with "."
    for (std::size_t i = 0; i < doc_.verdicts.size(); ++i) {
        const DocVerdict& row = doc_.verdicts[i];
        const int item = static_cast<int>(i);
        line(row.verdict, {LinePart::Verdict, -1, item}, {}, Block::LevelTable);
        if (i == kMaxLevels) problem(true, say::kFifthLevel, row.verdict.text);
        std::int16_t value = 0;
        const bool last = i + 1 == doc_.verdicts.size();
        const bool endsTable = endsBlock(Block::LevelTable, row.minimum.text);
        DocLine minimum = row.minimum;
        if (parseMinScore(minimum.text, value) != ScoreParse::Ok || value != row.minScore ||
            (endsTable && !last)) {
            minimum.text = std::to_string(row.minScore);
        }
        ended = last && endsBlock(Block::LevelTable, minimum.text);
        line(minimum, {LinePart::MinimumScore, -1, item});
    }
    if (!ended) {
        line(doc_.levelTableEnd,
             {LinePart::LevelTableEnd, -1, static_cast<int>(doc_.verdicts.size())}, ".");
    }
}

void Writer::question(std::size_t q) {
    const DocQuestion& question = doc_.questions[q];
    const int number = static_cast<int>(q);
    for (std::size_t i = 0; i < question.lines.size(); ++i) {
        line(question.lines[i], {LinePart::QuestionText, number, -1, static_cast<int>(i)}, {},
             Block::QuestionText);
    }
    line(question.textEnd, {LinePart::QuestionTextEnd, number}, ".");
    if (question.answers.empty() || question.answers.size() > kMaxAnswers) {
        problem(true, say::kAnswerCount, question.textEnd.text);
    }
    for (std::size_t j = 0; j < question.answers.size(); ++j) {
        const DocAnswer& answer = question.answers[j];
        const int item = static_cast<int>(j);
        for (std::size_t i = 0; i < answer.lines.size(); ++i) {
            line(answer.lines[i], {LinePart::AnswerText, number, item, static_cast<int>(i)}, {},
                 Block::Answer);
        }
        const char head[] = {j + 1 == question.answers.size() ? '.' : ',',
                             answer.right ? '1' : '0'};
        line(answer.marker, {LinePart::AnswerMarker, number, item}, std::string_view(head, 2));
    }
}

void Writer::line(const DocLine& line, const DocPlace& place, std::string_view head,
                  std::optional<Block> block) {
    current_ = &line;
    place_ = place;
    if (pendingEnd_) {
        // A line that ended the file without a line end is no longer the last.
        out_.bytes += lineEndBytes(*pendingEnd_ == LineEnd::None ? doc_.lineEnd : *pendingEnd_);
    }
    out_.places.push_back(place);
    pendingEnd_ = line.end.value_or(doc_.lineEnd);
    const bool guarded = block && endsBlock(*block, line.text);
    if (guarded) problem(false, filledIn(say::kGuarded, {line.text.substr(0, 1)}), line.text);
    if (line.text.find_first_of("\r\n") != std::string::npos)
        problem(true, say::kLineBreak, line.text);
    const std::size_t start = out_.bytes.size();
    out_.bytes += head;
    std::string decoded;
    if (sameEncoding_ && line.bytes && !guarded) appendDecoded(*line.bytes, encoding_, decoded);
    if (sameEncoding_ && line.bytes && !guarded && decoded == line.text) {
        out_.bytes += *line.bytes;
    } else {
        if (guarded) encode(kMarkerGuard, out_.bytes);
        encode(line.text, out_.bytes);
    }
    if (out_.bytes.size() - start > kMaxLineBytes) problem(true, say::kTooLong, line.text);
}

bool Writer::encode(std::string_view text, std::string& out) {
    if (encoding_ == Encoding::Utf8) {
        std::string checked;
        appendUtf8Checked(text, checked);
        out += text;
        if (checked != text) problem(true, say::kMalformed, text);
        return checked == text;
    }
    const std::size_t bad = appendUtf8AsWindows1251(text, out);
    if (bad == std::string_view::npos) return true;
    const std::size_t length = utf8CharacterLength(text.substr(bad));
    if (length == 0) {
        problem(true, say::kMalformed, text);
    } else {
        const std::string_view character = text.substr(bad, length);
        problem(true, filledIn(say::kCannotEncode, {character, codeName(character)}), text);
    }
    return false;
}

void Writer::problem(bool error, std::string message, std::string_view text) {
    const int sourceLine = current_ != nullptr ? current_->sourceLine : 0;
    out_.problems.push_back({error, place_, static_cast<int>(out_.places.size()), sourceLine,
                             std::string(text), std::move(message)});
}

}  // namespace

bool Written::ok() const {
    return std::none_of(problems.begin(), problems.end(),
                        [](const WriteProblem& p) { return p.error; });
}

Written writeDocument(const QuizDocument& document, std::optional<Encoding> encoding) {
    return Writer(document, encoding.value_or(document.encoding)).run();
}

}  // namespace quiz
