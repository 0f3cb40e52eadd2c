// The rotation counter "tet0.txt" and the quiz file it selects.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quiz {

inline constexpr const char* kCounterFileName = "tet0.txt";

// "test" + number + ".txt"
std::string quizFileName(long number);

// The number at the start of a counter line: blanks (spaces, tabs) skipped,
// an optional sign, then the digits; whatever follows them is ignored, so
// "2.5" gives 2. A number beyond the range of long is taken as the nearest
// end of that range. No digits: no value.
std::optional<long> counterValue(std::string_view line);

struct QuizSelection {
    long counter = 0;                     // the number read from the counter file
    std::string fileName;                 // e.g. "test2.txt"
    std::string questionFilePath;         // folder, separator, fileName
    std::unique_ptr<std::ifstream> file;  // open for reading (binary)
};

// Reads the counter's first line in `folder` (tolerantly: counterValue, and
// no number gives 0) and opens the quiz file it selects. A UTF-8 byte-order
// mark before the number is skipped. Throws QuizError naming the file and the
// folder when the counter file or the quiz file is missing or cannot be
// opened.
QuizSelection selectAndOpen(const std::filesystem::path& folder);

// Opens the quiz file at `path`, given by the player, without the counter:
// fileName is the path as given (errors name it so), questionFilePath the
// absolute path, counter 0. Throws QuizError naming the path as given when
// the file is missing, is no regular file or cannot be opened.
QuizSelection openGivenQuiz(const std::filesystem::path& path);

// Steps the counter in `folder` down by one, from 1 (or anything below) back
// to 3, and returns the value written. The new value, followed by CR LF,
// replaces the file atomically (a temporary file in the same folder, flushed
// to disk, renamed over the counter, keeping the counter's permissions), so
// the file always holds the old or the new value. Throws QuizError when the
// file is missing, its first line holds no number, or it cannot be written;
// the file is then left untouched and no temporary file remains.
long stepCounter(const std::filesystem::path& folder);

}  // namespace quiz
