// Opening files in the editor: a quiz file into a document, or, when the
// game's reader refuses it, into its text for the author to mend, with the
// reader's error at its line; and a spreadsheet, Aiken or GIFT file through
// the converters.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "convert/convert.h"
#include "quiz/document.h"
#include "quiz/quiz_error.h"

namespace quizedit {

// More than any quiz or sheet written by hand; a file is held whole.
inline constexpr std::size_t kMaxInputBytes = 64 * 1024 * 1024;

// Bytes, or why there are none (in Russian).
struct Bytes {
    std::string bytes;
    std::string problem;  // empty when `bytes` holds them
    bool ok() const { return problem.empty(); }
};

// The bytes of the file at `path`, opened once; or why not (a missing file,
// a folder, a pipe or device, a read error, more than kMaxInputBytes).
Bytes readInputFile(const std::filesystem::path& path);

// How a quiz file's text goes back to its bytes.
struct TextFormat {
    quiz::Encoding encoding = quiz::Encoding::Windows1251;
    bool byteOrderMark = false;
    quiz::LineEnd lineEnd = quiz::LineEnd::CrLf;  // the file's first line end
    bool operator==(const TextFormat&) const = default;
};

// A file the reader refused, as text: its lines joined with "\n".
struct QuizText {
    std::string text;
    TextFormat format;
};

// The file's text decoded as the game decodes it (the encoding told from the
// bytes, without the byte-order mark), each line end made "\n".
QuizText decodeText(std::string_view bytes);

// The bytes of `text` in `format`: each "\n" the format's line end. Gives
// the reason instead when a character cannot be written in the encoding.
Bytes encodeText(std::string_view text, const TextFormat& format);

// What reading a text gives: the document, or the reader's error.
using TextRead = std::variant<quiz::QuizDocument, quiz::QuizError>;

// Reads `text` (in `format`) as the game reads a file called `name`.
TextRead readText(std::string_view text, const TextFormat& format, const std::string& name);

// What opening a file gives: a quiz, its text at the reader's error, or why
// it could not be read at all.
struct Opened {
    std::optional<quiz::QuizDocument> document;
    std::optional<QuizText> text;
    std::optional<quiz::QuizError> error;  // with text: where the reader stopped
    std::string failure;                   // neither: why, in Russian
};
Opened openQuizFile(const std::filesystem::path& path, const std::string& name);

// A spreadsheet, Aiken or GIFT file (the kind told from its name and content
// when none is given) converted to a new quiz titled after the file; or the
// converter's problems as lines "FILE:LINE: ошибка: ..." for the author.
struct Imported {
    std::optional<quiz::QuizDocument> document;
    std::string report;
};
Imported importFile(const std::filesystem::path& path, std::optional<convert::Kind> kind = {});

}  // namespace quizedit
