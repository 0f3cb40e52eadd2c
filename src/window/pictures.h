// Pictures drawn by the window's own code.
#pragma once

#include <QIcon>
#include <QImage>

namespace window {

inline constexpr QRgb kPictureWhite = 0xFFFFFFFF;
inline constexpr QRgb kPictureDarkRed = 0xFF800000;
inline constexpr QRgb kPictureRed = 0xFFFF0000;

// The picture of Command3, designed 32 × 32: white, a dark red frame and a
// dark red diagonal from top left to bottom right, both two pixels wide, and
// the number 50 in bright red strokes two pixels wide once above the diagonal
// (right) and once below it (left). Drawn `side` pixels square, its strokes
// two design pixels wide at that size. Only those three colours occur.
QImage fiftyFiftyPicture(int side = 32);

// The window icon: the points ladder with a red current step and green
// milestone steps, offered at the usual icon sizes (16 to 128 pixels) and
// drawn at the size asked for only when it is asked for.
QIcon quizIcon();

// One size of the window icon.
QImage quizIconImage(int size);

}  // namespace window
