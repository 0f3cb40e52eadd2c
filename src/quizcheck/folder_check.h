// Checking the current folder as the game uses it.
#pragma once

#include <filesystem>

#include "quizcheck/quiz_check.h"
#include "quizcheck/report.h"

namespace quizcheck {

// Checks `folder` as the game would use it: the counter "tet0.txt" must be
// there, read as the game's start-up reads it (quiz::readCounter: a link
// followed only where the game follows it, a pipe or a device refused, its
// first line read as tolerantly as the game does; a line without a number is
// a warning, since the game then looks for test0.txt); the quiz file it
// selects must be there, and so must the quiz files the rotation moves to,
// test3.txt, test2.txt and test1.txt. Every quiz file is checked with
// checkQuizFile, in the order the game plays them. A counter the game cannot
// read is an error in the game's words; what would keep the game's step from
// moving the counter (quiz::checkCounterCanStep) is a warning with its reason,
// since the game still plays; a counter that is a symbolic link is a warning
// naming the file it leads to. Files are named in the report without the
// folder. Errors are counted by the report.
void checkFolder(const std::filesystem::path& folder, Report& report,
                 const CheckOptions& options = {});

}  // namespace quizcheck
