// The verdict the results screen shows: the first of rows 1 to 3 of the level
// table whose minimum the score reaches, else row 4, which thus takes every
// score below row 3's minimum whatever its own minimum says.
#pragma once

#include "quiz/format.h"

namespace game {

inline constexpr int kVerdictRows = static_cast<int>(quiz::kMaxLevels);
inline constexpr int kRowsChosenByMinimum = 3;

// The row, 1 to 4, shown for `score`; `minimum(i)` is the minimum score of
// row i (called for i = 1 to 3).
template <typename Minimum>
int verdictRow(int score, Minimum minimum) {
    for (int i = 1; i <= kRowsChosenByMinimum; ++i) {
        if (score >= minimum(i)) return i;
    }
    return kVerdictRows;
}

}  // namespace game
