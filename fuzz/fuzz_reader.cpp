// Arbitrary bytes through the whole reader, in both encodings, through a seekable stream with the usual buffer
// and with a tiny one, and through a trickling stream that cannot seek. Only QuizError may come out, texts are
// valid UTF-8 within the format's limits, and every way of reading agrees. Detection rewinds the stream and
// takes for UTF-8 only what is UTF-8. Whatever the game accepts comes back byte for byte through a document.
#include <cstdint>
#include <sstream>

#include "quiz/document.h"
#include "quiz/encoding.h"
#include "quiz/quiz_error.h"
#include "quiz/quiz_reader.h"
#include "quiz/writer.h"
#include "support/support.h"

static void require(bool condition) { if (!condition) __builtin_trap(); }

static bool validUtf8(const std::string& text) {
    std::string checked;
    quiz::appendUtf8Checked(text, checked);
    return checked == text;
}

// What the reader reads, as one text: every part in order, then "end" or the error.
static std::string readThrough(std::istream&& in, quiz::Encoding encoding, std::size_t bufferSize) {
    std::string log;
    quiz::QuizReader reader(in, "fuzz.txt", encoding, bufferSize);
    const auto note = [&](const std::string& text) { require(validUtf8(text)); log += text + '\x1F'; };
    try {
        for (const std::string& text : {reader.readTitle(), reader.readIntroduction()}) note(text);
        const auto levels = reader.readLevelTable();
        require(levels.size() <= 4);
        for (const auto& row : levels) note(row.text + std::to_string(row.minScore));
        while (!reader.atEnd()) {
            const quiz::Question question = reader.readQuestion();
            require(!question.answers.empty() && question.answers.size() <= 4);
            note(question.text);
            for (const auto& answer : question.answers) {
                require(answer.points == 0 || answer.points == 1);
                note(answer.text + std::to_string(answer.points));
            }
        }
        return log + "end";
    } catch (const quiz::QuizError& error) {
        require(error.line() >= 1 && validUtf8(error.lineText()));
        return log + error.what();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const quiz::Encoding encoding : {quiz::Encoding::Windows1251, quiz::Encoding::Utf8}) {
        testing_support::TrickleBuf trickle(bytes, 1 + size % 7);
        const auto usual = readThrough(std::istringstream(bytes), encoding, quiz::LineSource::kDefaultBufferSize);
        require(readThrough(std::istream(&trickle), encoding, 16) == usual &&
                readThrough(std::istringstream(bytes), encoding, 16) == usual);
    }
    std::istringstream detected(bytes);
    const quiz::Encoding encoding = quiz::detectEncoding(detected);
    require(readThrough(std::move(detected), encoding, 4096) == readThrough(std::istringstream(bytes), encoding, 4096));
    require(encoding != quiz::Encoding::Utf8 || bytes.starts_with(quiz::kUtf8ByteOrderMark) || validUtf8(bytes));
    try {
        const quiz::Written written = quiz::writeDocument(quiz::readDocument(bytes, "fuzz.txt"));
        require(written.ok() && written.problems.empty() && written.bytes == bytes);
    } catch (const quiz::QuizError&) {
    }
    return 0;
}
