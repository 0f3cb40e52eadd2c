// Pictures drawn by the window's own code.
#pragma once

#include <QIcon>
#include <QImage>

namespace window {

inline constexpr QRgb kPictureWhite = 0xFFFFFFFF;
inline constexpr QRgb kPictureDarkRed = 0xFF800000;
inline constexpr QRgb kPictureRed = 0xFFFF0000;

// The 32 × 32 picture of Command3: white, a dark red frame and a dark red
// diagonal from top left to bottom right, both two pixels wide, and the number
// 50 in bright red strokes two pixels wide once above the diagonal (right) and
// once below it (left). Only those three colours occur.
QImage fiftyFiftyPicture();

// The window icon: the points ladder with a red current step and green
// milestone steps, drawn at the usual icon sizes.
QIcon quizIcon();

// One size of the window icon.
QImage quizIconImage(int size);

}  // namespace window
