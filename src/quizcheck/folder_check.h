// Checking the current folder as the game uses it.
#pragma once

#include <filesystem>

#include "quizcheck/quiz_check.h"
#include "quizcheck/report.h"

namespace quizcheck {

// Checks `folder` as the game would use it: the counter "tet0.txt" must be
// there with a number in its first line (read as tolerantly as the game does at
// start-up; a line without one is a warning, since the game then looks for
// test0.txt), the quiz file it selects must be there, and so must the quiz
// files the rotation moves to, test3.txt, test2.txt and test1.txt. Every quiz
// file is checked with checkQuizFile, in the order the game plays them. What
// would stop the game's step of the counter (quiz::checkCounterCanStep, a link
// that leads nowhere) is an error; a counter that is a symbolic link is a
// warning naming the file it leads to. Files are named in the report without
// the folder. Returns true when nothing has an error.
bool checkFolder(const std::filesystem::path& folder, Report& report,
                 const CheckOptions& options = {});

}  // namespace quizcheck
