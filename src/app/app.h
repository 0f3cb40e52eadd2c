// The program's start: what its command line asks for, and one whole game in
// the window. main() and the end-to-end tests start games the same way, through
// runGame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace window {
class Form1;
}

namespace app {

enum ExitStatus : int {
    kExitDone = 0,      // the game ended, or the help or the version was shown
    kExitFailure = 1,   // a failure stopped the game (shown in a message box)
    kExitBadUsage = 2,  // an unknown option or more than one file
};

struct Launch {
    enum class Action : std::uint8_t { Play, Print };
    Action action = Action::Play;

    // Play. The quiz file given on the command line: played alone, without
    // the counter. Empty: the counter in `folder` selects the quiz.
    std::filesystem::path quizFile;
    std::filesystem::path folder;  // the current folder
    // --user-folder: play in the player's own folder (userFolder), filled
    // from `installedQuizzes` first. A given quiz file makes it unnecessary.
    bool userFolder = false;
    std::filesystem::path installedQuizzes;  // the quizzes installed with the game
    bool fullScreen = false;                 // --fullscreen: the window starts full screen

    // Print: the help, the version or a usage mistake, and the exit status.
    std::string text;
    int exitStatus = kExitDone;
};

// The program's arguments as the bytes it was given (the first is the program
// itself), read with Qt's command-line parser: [--user-folder] [--fullscreen]
// [FILE], -h/--help, -v/--version. The quiz file keeps its bytes, whatever
// their encoding. Needs no QCoreApplication, so the help and the version need
// no display.
Launch parseCommandLine(const std::vector<std::string>& arguments);

// Writes a Print launch's text to standard output when its status is 0, else
// to standard error; gives its exit status.
int print(const Launch& launch);

// Plays one game as `launch` says: the game drives `form`, and the form's
// event loop runs until the program ends. Failures at start (no quiz, a
// broken quiz, a play folder that cannot be prepared) are shown in the
// failure box and give status 1. Gives the program's exit status. Needs a
// QApplication.
int runGame(window::Form1& form, const Launch& launch);

}  // namespace app
