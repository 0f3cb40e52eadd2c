// The player's own play folder, where the game started from the menu plays.
// Plain C++: no Qt.
#pragma once

#include <filesystem>

namespace app {

// ${XDG_DATA_HOME}/quizladder, or ${HOME}/.local/share/quizladder when
// XDG_DATA_HOME is unset (null), empty or relative. Throws std::runtime_error
// when neither gives a folder.
std::filesystem::path userFolder(const char* xdgDataHome, const char* home);

// Makes `folder` ready to play: creates it when missing and copies into it
// each of the counter and the three quizzes (tet0.txt, test1..3.txt) that it
// lacks from `installed`. A file already there is never replaced, so the
// counter keeps rotating and the player's changes stay. A copy is written
// under another name beside its place and then renamed, so an interrupted copy
// never leaves a truncated quiz. Throws std::runtime_error naming the file or
// folder and the reason when an installed file is missing (before anything
// is written), or the folder cannot be created or written.
void fillPlayFolder(const std::filesystem::path& folder, const std::filesystem::path& installed);

}  // namespace app
