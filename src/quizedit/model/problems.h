// The problems of a quiz being edited: what quizcheck says of the bytes the
// writer makes of it, and what the writer itself refuses or warns of, each
// at its place in the quiz.
#pragma once

#include <string>
#include <vector>

#include "quiz/document.h"
#include "quizcheck/quiz_check.h"

namespace quizedit {

struct Problem {
    bool error = false;   // the quiz cannot be saved or played as it is
    quiz::DocPlace place;  // where to show it
    std::string message;  // in Russian, naming the place as quizcheck does
};

struct Problems {
    std::vector<Problem> list;  // in the order of the file's lines
    std::string summary;        // quizcheck's summary line: encoding, questions, how play ends
    bool canSave = true;        // the writer made bytes that can be used
    // The question (0-based) has a problem.
    bool inQuestion(int question) const;
};

// Writes `document` and checks the bytes with quizcheck's own checks,
// measuring texts with `options`. A problem of a line is placed where the
// writer wrote that line from.
Problems findProblems(const quiz::QuizDocument& document, const quizcheck::CheckOptions& options);

}  // namespace quizedit
