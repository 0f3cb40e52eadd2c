// Writing a QuizDocument as the bytes of a quiz file.
//
// An unchanged document read from a file gives back that file's bytes. What
// is new or changed is written in the chosen encoding with the document's
// line ends. The writer never lets a text change the file's structure: a
// content line that the game would take for a marker line (an answer ".NET",
// a question line beginning with ".") is written after a no-break space
// (U+00A0, which Windows-1251 has too), so that the game shows the author's
// text, with a warning at its place. What the game could not read, or what
// the encoding cannot hold, is an error at its place, and then the bytes are
// not to be used.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "quiz/document.h"
#include "quiz/encoding.h"

namespace quiz {

// The no-break space put before a content line that would read as a marker.
inline constexpr std::string_view kMarkerGuard = "\u00A0";

struct WriteProblem {
    bool error = false;  // the bytes cannot be used; else a warning
    DocPlace place;
    int line = 0;        // the line of the written file
    int sourceLine = 0;  // the line of the file the text came from, 0 for none
    std::string lineText;
    std::string message;  // in Russian, for the author
};

struct Written {
    std::string bytes;
    std::vector<WriteProblem> problems;  // in the order of their lines
    std::vector<DocPlace> places;        // the place of each written line, by line - 1

    bool ok() const;  // no error among the problems
};

// Writes `document` in `encoding` (its own when none is given): a UTF-8 file
// starts with the byte-order mark when the document has one, a Windows-1251
// file never does.
Written writeDocument(const QuizDocument& document, std::optional<Encoding> encoding = {});

}  // namespace quiz
