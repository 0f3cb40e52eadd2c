// quizedit --convert: read, convert, check and write the quiz, or say why not.
#include <sstream>

#include "quiz/file_write.h"
#include "quiz/writer.h"
#include "quizcheck/report.h"
#include "quizedit/command_line.h"
#include "quizedit/model/opening.h"

namespace fs = std::filesystem;

namespace quizedit {

namespace {

namespace say {
constexpr const char* kUnknownKind =
    "не удалось понять, что в файле: укажите вид, --from quiz, csv, aiken или gift";
constexpr const char* kNotWritten = "файл не записан: ";
constexpr const char* kFailedCheck = "файл не записан: записанное не прошло проверку";
}  // namespace say

// The input's bytes, or the problem reported.
std::optional<std::string> readInput(const fs::path& path, const std::string& name,
                                     quizcheck::Report& report) {
    Bytes bytes = readInputFile(path);
    if (bytes.ok()) return std::move(bytes.bytes);
    report.error(name, 0, std::nullopt, bytes.problem);
    return std::nullopt;
}

// The writer's problems at the input's lines where the text came from, else
// at the output's.
bool reportWritten(const Command& command, const quiz::Written& written,
                   quizcheck::Report& report) {
    for (const quiz::WriteProblem& p : written.problems) {
        const bool fromInput = p.sourceLine > 0;
        const std::string& file = fromInput ? command.input : command.output;
        const std::string message = quiz::describe(p.place) + ": " + p.message;
        if (p.error) {
            report.error(file, fromInput ? p.sourceLine : p.line, p.lineText, message);
        } else {
            report.warning(file, fromInput ? p.sourceLine : p.line, p.lineText, message);
        }
    }
    return written.ok();
}

std::optional<convert::Converted> converted(const Command& command, const std::string& bytes,
                                            quizcheck::Report& report) {
    const std::optional<convert::Kind> kind =
        command.from ? command.from : convert::guessKind(command.input, bytes);
    if (!kind) {
        report.error(command.input, 0, std::nullopt, say::kUnknownKind);
        return std::nullopt;
    }
    const std::string title = command.title.value_or(fs::path(command.input).stem().string());
    convert::Converted result = convert::convert(*kind, bytes, command.input, title);
    for (const convert::Problem& p : result.problems) {
        report.error(command.input, p.line, p.lineText, p.message);
    }
    if (!result.problems.empty()) return std::nullopt;
    if (*kind == convert::Kind::Quiz && command.title) result.document.title.text = *command.title;
    return result;
}

}  // namespace

int runConvert(const Command& command, const fs::path& folder, std::ostream& out,
               const quizcheck::CheckOptions& options) {
    quizcheck::Report report(out);
    const std::optional<std::string> bytes =
        readInput(folder / command.input, command.input, report);
    if (!bytes) return kExitProblems;
    const std::optional<convert::Converted> result = converted(command, *bytes, report);
    if (!result) return kExitProblems;
    const quiz::QuizDocument& document = result->document;
    // A new document is in Windows-1251 unless asked; a quiz file keeps its own.
    const quiz::Written written =
        quiz::writeDocument(document, command.encoding.value_or(document.encoding));
    if (!reportWritten(command, written, report)) return kExitProblems;
    // What is written is read back as the game reads it: it must pass the check.
    std::istringstream again(written.bytes);
    if (!quizcheck::checkQuiz(command.output, again, report, options)) {
        report.error(command.output, 0, std::nullopt, say::kFailedCheck);
        return kExitProblems;
    }
    const std::string failure = quiz::writeFileWhole(folder / command.output, written.bytes);
    if (failure.empty()) return kExitDone;
    report.error(command.output, 0, std::nullopt, say::kNotWritten + failure);
    return kExitProblems;
}

}  // namespace quizedit
