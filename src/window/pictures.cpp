#include "window/pictures.h"

#include <QPainter>
#include <array>

#include "window/form_ops.h"

namespace window {
namespace {

constexpr int kPictureSize = 32;
constexpr int kStroke = 2;

struct Stroke {
    int x, y, w, h;
};

// Digits in a cell 6 wide and 10 high, strokes two pixels wide.
constexpr std::array<Stroke, 5> kDigitFive{{
    {0, 0, 6, 2}, {0, 2, 2, 2}, {0, 4, 6, 2}, {4, 6, 2, 2}, {0, 8, 6, 2}}};
constexpr std::array<Stroke, 4> kDigitZero{{{0, 0, 6, 2}, {0, 8, 6, 2}, {0, 2, 2, 6}, {4, 2, 2, 6}}};
constexpr int kDigitAdvance = 7;

// Top-left corners of the two numbers: one clear of the diagonal above it on
// the right, one below it on the left.
constexpr std::array<QPoint, 2> kNumberOrigins{{{16, 3}, {3, 19}}};

template <std::size_t N>
void drawDigit(QImage& image, const std::array<Stroke, N>& strokes, QPoint origin) {
    for (const Stroke& s : strokes)
        for (int y = s.y; y < s.y + s.h; ++y)
            for (int x = s.x; x < s.x + s.w; ++x) image.setPixel(origin.x() + x, origin.y() + y, kPictureRed);
}

}  // namespace

QImage fiftyFiftyPicture() {
    QImage image(kPictureSize, kPictureSize, QImage::Format_RGB32);
    image.fill(kPictureWhite);
    for (int y = 0; y < kPictureSize; ++y) {
        for (int x = 0; x < kPictureSize; ++x) {
            const bool frame = x < kStroke || y < kStroke || x >= kPictureSize - kStroke ||
                               y >= kPictureSize - kStroke;
            const bool diagonal = x - y >= 0 && x - y < kStroke;
            if (frame || diagonal) image.setPixel(x, y, kPictureDarkRed);
        }
    }
    for (const QPoint origin : kNumberOrigins) {
        drawDigit(image, kDigitFive, origin);
        drawDigit(image, kDigitZero, origin + QPoint(kDigitAdvance, 0));
    }
    return image;
}

QImage quizIconImage(int size) {
    // The same drawing as the installed data/quizladder.svg, on its 128 grid:
    // the ladder from the side, fifteen steps climbing to the right, the first
    // step red and the milestone steps 4, 8, 12 and 15 green.
    constexpr double kGrid = 128;
    constexpr QRgb kTread = 0xFFB4B4A0;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    painter.setPen(QPen(QColor(0, 128, 0), 4));
    painter.setBrush(QColor(255, 255, 128));
    painter.drawRoundedRect(QRectF(6, 6, 116, 116), 18, 18);
    painter.setPen(Qt::NoPen);
    for (int step = 1; step <= kLadderSteps; ++step) {
        const bool milestone = step % 4 == 0 || step == kLadderSteps;
        painter.setBrush(QColor::fromRgba(step == 1 ? 0xFFFF0000 : milestone ? 0xFF008000 : kTread));
        const double rise = step - 1;
        painter.drawRect(QRectF(20 + 5 * rise, 105.6 - 6.4 * rise, 88 - 5 * rise, 5));
    }
    return image;
}

QIcon quizIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(quizIconImage(size)));
    return icon;
}

}  // namespace window
