// The rotation counter "tet0.txt" and the quiz file it selects.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quiz {

inline constexpr const char* kCounterFileName = "tet0.txt";

// How long a step waits while another game steps the same counter.
inline constexpr std::chrono::milliseconds kCounterLockWait{5000};

// "test" + number + ".txt"
std::string quizFileName(long number);

// The number at the start of a counter line: blanks (spaces, tabs) skipped,
// an optional sign, then the digits; whatever follows them is ignored, so
// "2.5" gives 2. A number beyond the range of long is taken as the nearest
// end of that range. No digits: no value.
std::optional<long> counterValue(std::string_view line);

// The file that holds the counter of `folder`: its "tet0.txt", or, when that
// is a symbolic link, the file the link leads to (every link on the way
// resolved), so that folders linking to one counter share one rotation.
// Throws QuizError naming the link and its target when the link leads
// nowhere.
std::filesystem::path counterFile(const std::filesystem::path& folder);

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
// opened; for a missing quiz the message also tells what the counter holds
// (a line without a number quoted with its control characters shown as \xNN,
// a number too large for long as written) and which quiz files are there.
QuizSelection selectAndOpen(const std::filesystem::path& folder);

// Opens the quiz file at `path`, given by the player, without the counter:
// fileName is the path as given (errors name it so), questionFilePath the
// absolute path, counter 0. Throws QuizError naming the path as given when
// the file is missing, is no regular file or cannot be opened.
QuizSelection openGivenQuiz(const std::filesystem::path& path);

// Checks, before a game begins, that stepCounter will be able to replace the
// counter when it ends: the counter (or the file its link leads to) can be
// locked, its folder lets this process create files, and the counter may be
// replaced there (it is not immutable, and a folder with the sticky bit, such
// as /tmp, lets only owners replace files). Throws QuizError naming the file
// or folder, the cause and what to do. Reads and changes nothing.
void checkCounterCanStep(const std::filesystem::path& folder);

// Steps the counter in `folder` down by one, from 1 (or anything below) back
// to 3, and returns the value written. A counter that is a symbolic link is
// stepped in the file it leads to, and stays a link. The step holds an
// exclusive lock (flock) on the counter from reading to replacing it, so
// games stepping one counter at once each step it; a lock not had within
// `lockWait` is an error. The new value, followed by CR LF, replaces the file
// atomically (a temporary file beside it, unnamed until it is complete where
// the file system allows, flushed to disk, renamed over the counter, keeping
// the counter's permissions), so the file always holds the old or the new
// value. Temporary files that killed steps left beside the counter are
// removed. Throws QuizError when the file is missing, its first line holds no
// number, or it cannot be locked or written; the file is then left untouched
// and no temporary file of this step remains.
long stepCounter(const std::filesystem::path& folder,
                 std::chrono::milliseconds lockWait = kCounterLockWait);

}  // namespace quiz
