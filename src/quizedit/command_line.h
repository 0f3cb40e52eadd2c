// The command quizedit: its arguments, and converting without a window.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "convert/convert.h"
#include "quiz/encoding.h"
#include "quizcheck/quiz_check.h"

namespace quizedit {

enum ExitStatus : int {
    kExitDone = 0,      // written (warnings allowed)
    kExitProblems = 1,  // problems reported, nothing written
    kExitBadUsage = 2,  // a mistake in the arguments
};

// What the command line asks for.
struct Command {
    enum class Mode { Window, Convert } mode = Mode::Window;
    std::optional<std::string> file;  // to open in the window
    std::string input;
    std::string output;
    std::optional<convert::Kind> from;
    std::optional<quiz::Encoding> encoding;
    std::optional<std::string> title;
};

// `args` are the arguments after the program's name:
//   quizedit [FILE]
//   quizedit --convert INPUT --output OUTPUT [--from quiz|csv|aiken|gift]
//            [--encoding windows-1251|utf-8] [--title TEXT]
// (an option's value may also follow "="), "-h"/"--help", "-v"/"--version",
// "--" before a FILE that begins with "-". Gives the command to run, or the
// exit status when there is nothing to run: 0 after the help or the version
// (on `out`), 2 after a usage mistake (on `err`).
std::variant<Command, int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                            std::ostream& err);

// Converts as `command` says: INPUT and OUTPUT are taken inside `folder` when
// relative, and named as given. Problems go to `out` as quizcheck writes them
// ("FILE:LINE: ошибка: ...", the line quoted below), then nothing is written
// and the status is 1. Otherwise the written quiz is checked as quizcheck
// does, with `options` (its warnings and summary go to `out`), and written
// whole; the status is 0.
int runConvert(const Command& command, const std::filesystem::path& folder, std::ostream& out,
               const quizcheck::CheckOptions& options = {});

}  // namespace quizedit
