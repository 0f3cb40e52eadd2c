// Checking one quiz file the way the game reads it.
#pragma once

#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "quizcheck/report.h"

namespace quizcheck {

// How the window shows a text in a control, as its own measure says.
enum class TextFit {
    AsDesigned,  // whole, in the designed font size
    Shrunk,      // whole, in a smaller size of the font
    Elided,      // cut short with "…", whole only in the tooltip
};

// Measures `utf8` in the control named `control` exactly as the game would
// set it as the control's caption: "Label2" for a question (the room above
// the options), "Label2.intro" for the introduction and the results screen
// (the room above the buttons), "Option1" to "Option4" for the answers.
using MeasureText = std::function<TextFit(std::string_view control, std::string_view utf8)>;

struct CheckOptions {
    // Without a measure no text is measured and no such warning is given.
    MeasureText measure;
};

// The summary of a file that the game cannot play.
inline constexpr std::string_view kUnplayable = "играть по этому файлу нельзя";

// Reads the quiz file `name` from `in` (which must be able to seek back, as
// encoding detection needs) through QuizReader to its end: title,
// introduction, level table, then questions up to the end of the file (the
// first one whether or not the file is at its end, as the game's "Ok" does).
// Reports the warnings met on the way, the reader's first error, which ends
// the check, and a summary line naming the encoding, the number of questions
// and how play ends. An error after the fifteenth question, which play never
// reaches, is a warning that says so. Warnings stand in the order of their
// lines. Returns true when the file has no error.
bool checkQuiz(const std::string& name, std::istream& in, Report& report,
               const CheckOptions& options = {});

// checkQuiz on the file at `path`, called `name` in the report, opened once.
// A file that is missing, no regular file, or cannot be read is an error;
// `missingNote` follows the message of a missing one.
bool checkQuizFile(const std::filesystem::path& path, const std::string& name, Report& report,
                   std::string_view missingNote = {}, const CheckOptions& options = {});

}  // namespace quizcheck
