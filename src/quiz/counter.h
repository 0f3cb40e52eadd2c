// The rotation counter "tet0.txt" and the quiz file it selects.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace quiz {

inline constexpr const char* kCounterFileName = "tet0.txt";

// "test" + number + ".txt"
std::string quizFileName(long number);

struct QuizSelection {
    long counter = 0;                   // the number read from the counter file
    std::string fileName;               // e.g. "test2.txt"
    std::string questionFilePath;       // folder, separator, fileName
    std::unique_ptr<std::ifstream> file;  // open for reading (binary)
};

// Reads the counter's first line in `folder` (tolerantly: leading blanks
// skipped, the whole-number part taken, no number gives 0) and opens the quiz
// file it selects. Throws QuizError naming the file and the folder when the
// counter file or the quiz file is missing or cannot be opened.
QuizSelection selectAndOpen(const std::filesystem::path& folder);

// Steps the counter in `folder` down by one, from 1 back to 3, and returns the
// value written. The new value replaces the file atomically (a temporary file
// in the same folder, flushed, renamed over the counter), so the file always
// holds the old or the new value. Throws QuizError when the file is missing,
// its first line holds no number, or it cannot be written; the file is then
// left untouched.
long stepCounter(const std::filesystem::path& folder);

}  // namespace quiz
