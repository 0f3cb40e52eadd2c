// Stepping the rotation counter at the end of a game, safely in folders that
// other users of the machine may write to.
#pragma once

#include <chrono>
#include <filesystem>

namespace quiz {

// How long a step waits while other games step the same counter.
inline constexpr std::chrono::milliseconds kCounterLockWait{5000};

// Steps the counter of `folder` (openCounterFile: a link is followed as the
// kernel would follow it for the player) down by one, from 1 (or anything
// below) back to 3, and returns the value written.
//
// The step works on what it opened, never on names looked up again: the
// counter's folder is opened once, and the lock (flock, exclusive, from
// reading to replacing, so that games stepping one counter at once each step
// it), the temporary file
// (unnamed until it is complete where the file system allows), its flush, the
// rename over the counter and the removal of leftovers all act on that open
// folder. After locking, the folder given must still lead to the same folder
// and counter file: a folder swapped meanwhile is refused, and a counter that
// another step replaced is opened and locked again. A lock not had, or a
// counter still being replaced, after `lockWait` is an error.
//
// The new value, followed by CR LF, replaces the file atomically, so it
// always holds the old or the new value. The new file keeps the mode of the
// old one when that belonged to the player, else it gets the player's default
// mode (umask). The player's own counter that they may not write is not
// replaced, nor one with several hard links in a folder that is not the
// player's or that everyone may write to, nor one of another user in a folder
// whose sticky bit lets only owners replace files. Leftovers
// of killed steps (".tet0.txt.Ab12Cd": a dot, the counter's name, a dot and
// six letters or digits) are removed from the counter's folder, only regular
// files that belong to the player.
//
// Throws QuizError saying why when the file is missing, its first line holds
// no number, it is refused, or it cannot be locked or written; the file is
// then left untouched and no temporary file of this step remains.
long stepCounter(const std::filesystem::path& folder,
                 std::chrono::milliseconds lockWait = kCounterLockWait);

// Checks, without changing anything, what would keep stepCounter from
// replacing the counter of `folder` (its number aside): a counter that cannot
// be opened or is refused, cannot be locked or written, or a folder that lets
// no file be created. Throws QuizError in the words the step would use.
void checkCounterCanStep(const std::filesystem::path& folder);

}  // namespace quiz
