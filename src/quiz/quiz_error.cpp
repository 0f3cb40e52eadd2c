#include "quiz/quiz_error.h"

#include <utility>

namespace quiz {

QuizError::QuizError(std::string file, int line, std::string lineText, std::string expected)
    : std::runtime_error(expected),
      file_(std::move(file)),
      line_(line),
      lineText_(std::move(lineText)),
      expected_(std::move(expected)) {}

}  // namespace quiz
