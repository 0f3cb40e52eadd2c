#include "quizedit/model/opening.h"

#include <cstring>
#include <sstream>

#include "quiz/input_file.h"
#include "quiz/quiz_error.h"
#include "quizcheck/report.h"

namespace fs = std::filesystem;

namespace quizedit {

namespace {

namespace say {
constexpr const char* kMissing = "файл не найден";
constexpr const char* kFolder = "это папка, а не файл";
constexpr const char* kNotAFile = "это не обычный файл (канал или устройство)";
constexpr const char* kCannotRead = "не удалось прочитать файл: ";
constexpr const char* kTooBig = "файл больше 64 МиБ: это не викторина и не таблица вопросов";
constexpr const char* kUnknownKind =
    "не удалось понять, что в файле: это не таблица, не Aiken и не GIFT";
constexpr const char* kCannotEncode = "строка {}: символ «{}» нельзя записать в кодировке {}";
constexpr const char* kQuestions = "вопросов: ";
}  // namespace say

}  // namespace

Bytes readInputFile(const fs::path& path) {
    const quiz::InputFile file = quiz::openInputFile(path);
    switch (file.problem) {
        case quiz::OpenProblem::None:
            break;
        case quiz::OpenProblem::Missing:
            return {{}, say::kMissing};
        case quiz::OpenProblem::Folder:
            return {{}, say::kFolder};
        case quiz::OpenProblem::NotAFile:
            return {{}, say::kNotAFile};
        case quiz::OpenProblem::CannotOpen:
            return {{}, say::kCannotRead + std::string(std::strerror(file.error))};
    }
    std::optional<std::string> bytes = quiz::readAtMost(*file.stream, kMaxInputBytes);
    if (file.buffer->readError() != 0)
        return {{}, say::kCannotRead + std::string(std::strerror(file.buffer->readError()))};
    if (!bytes) return {{}, say::kTooBig};
    return {std::move(*bytes), {}};
}

QuizText decodeText(std::string_view bytes) {
    QuizText out;
    out.format.encoding = quiz::detectEncoding(bytes);
    if (out.format.encoding == quiz::Encoding::Utf8 && bytes.starts_with(quiz::kUtf8ByteOrderMark)) {
        out.format.byteOrderMark = true;
        bytes.remove_prefix(quiz::kUtf8ByteOrderMark.size());
    }
    const std::size_t end = bytes.find_first_of("\r\n");
    if (end != std::string_view::npos) {
        out.format.lineEnd = bytes.compare(end, 2, "\r\n") == 0 ? quiz::LineEnd::CrLf
                             : bytes[end] == '\n'               ? quiz::LineEnd::Lf
                                                                : quiz::LineEnd::Cr;
    }
    std::string decoded;
    quiz::appendDecoded(bytes, out.format.encoding, decoded);
    out.text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == '\r' && i + 1 < decoded.size() && decoded[i + 1] == '\n') continue;
        out.text += decoded[i] == '\r' ? '\n' : decoded[i];
    }
    return out;
}

Bytes encodeText(std::string_view text, const TextFormat& format) {
    std::string bytes;
    if (format.encoding == quiz::Encoding::Utf8 && format.byteOrderMark)
        bytes = quiz::kUtf8ByteOrderMark;
    const std::string_view end = quiz::lineEndBytes(format.lineEnd);
    int number = 1;
    for (std::size_t start = 0;; ++number) {
        const std::size_t stop = text.find('\n', start);
        const std::string_view line = text.substr(start, stop - start);
        if (format.encoding == quiz::Encoding::Utf8) {
            bytes += line;
        } else if (const std::size_t bad = quiz::appendUtf8AsWindows1251(line, bytes);
                   bad != std::string_view::npos) {
            const std::size_t length = std::max<std::size_t>(1, quiz::utf8CharacterLength(line.substr(bad)));
            return {{}, quiz::filledIn(say::kCannotEncode, {std::to_string(number), line.substr(bad, length),
                                                      quiz::encodingName(format.encoding)})};
        }
        if (stop == std::string_view::npos) break;
        bytes += end;
        start = stop + 1;
    }
    return {std::move(bytes), {}};
}

TextRead readText(std::string_view text, const TextFormat& format, const std::string& name) {
    const Bytes bytes = encodeText(text, format);
    if (!bytes.ok()) return quiz::QuizError(name, 0, bytes.problem);
    try {
        return quiz::readDocument(bytes.bytes, name);
    } catch (const quiz::QuizError& e) {
        return e;
    }
}

Opened openQuizFile(const fs::path& path, const std::string& name) {
    Opened opened;
    const Bytes bytes = readInputFile(path);
    if (!bytes.ok()) {
        opened.failure = bytes.problem;
        return opened;
    }
    try {
        opened.document = quiz::readDocument(bytes.bytes, name);
    } catch (const quiz::QuizError& e) {
        opened.text = decodeText(bytes.bytes);
        opened.error = e;
    }
    return opened;
}

Imported importFile(const fs::path& path, std::optional<convert::Kind> kind) {
    Imported imported;
    std::ostringstream out;
    quizcheck::Report report(out);
    const std::string name = path.filename().string();
    const Bytes bytes = readInputFile(path);
    if (!bytes.ok()) {
        report.error(name, 0, std::nullopt, bytes.problem);
    } else if (!kind && !(kind = convert::guessKind(name, bytes.bytes))) {
        report.error(name, 0, std::nullopt, say::kUnknownKind);
    } else {
        convert::Converted result = convert::convert(*kind, bytes.bytes, name, path.stem().string());
        for (const convert::Problem& p : result.problems) report.error(name, p.line, p.lineText, p.message);
        if (result.problems.empty()) {
            report.summary(name, say::kQuestions + std::to_string(result.document.questions.size()));
            imported.document = std::move(result.document);
        }
    }
    imported.report = out.str();
    return imported;
}

}  // namespace quizedit
