// The command quizcheck: its arguments and exit status.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "quizcheck/quiz_check.h"

namespace quizcheck {

enum ExitStatus : int {
    kExitClean = 0,     // no file has an error (warnings allowed)
    kExitErrors = 1,    // a file has an error
    kExitBadUsage = 2,  // an unknown option
};

// Runs quizcheck on `args` (the arguments after the program's name): checks
// each FILE given, or with none the folder `folder` (checkFolder). Relative
// FILE names are taken inside `folder` and reported as given. "-h" and
// "--help" print the usage, "-v" and "--version" the version, and check
// nothing; "--" ends the options. The report goes to `out`, usage mistakes to
// `err`; `options` go to every check. Returns the exit status.
int run(const std::vector<std::string>& args, const std::filesystem::path& folder,
        std::ostream& out, std::ostream& err, const CheckOptions& options = {});

}  // namespace quizcheck
