// Choosing the quiz a game plays: the one the counter of the play folder
// names, or a file the player gives.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "quiz/counter.h"
#include "quiz/input_file.h"

namespace quiz {

struct QuizSelection {
    long counter = 0;                     // the number read from the counter file
    std::string fileName;                 // e.g. "test2.txt"
    std::string questionFilePath;         // folder, separator, fileName
    std::unique_ptr<FileInput> file;      // open for reading
};

// Reads the counter of `folder` (readCounter; a line without a number gives 0)
// and opens the quiz file it selects there. Throws QuizError naming the file
// and the folder when the counter or the quiz file is missing or cannot be
// opened. A missing quiz is explained: what the counter holds (a line without
// a number quoted with its control characters shown as \xNN, a number too
// large for long as written) and which quiz files are there. A folder with
// neither the counter nor any quiz file is no play folder, and the message
// then says how the game is played.
QuizSelection selectAndOpen(const std::filesystem::path& folder);

// Opens the quiz that `reading`, the counter of `folder`, selects; throws as
// selectAndOpen does.
QuizSelection openSelectedQuiz(const std::filesystem::path& folder, const CounterReading& reading);

// Opens the quiz file at `path`, given by the player, without the counter:
// fileName is the path as given (errors name it so), questionFilePath the
// absolute path, counter 0. Throws QuizError naming the path as given when
// the file is missing, is no regular file or cannot be opened.
QuizSelection openGivenQuiz(const std::filesystem::path& path);

}  // namespace quiz
