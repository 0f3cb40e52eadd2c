#include "window/pictures.h"

#include <QPainter>
#include <array>

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
    // Drawn on a 16 × 16 grid and scaled, so every size shows the same ladder.
    struct Rung {
        int y, width;
        QRgb color;
    };
    constexpr std::array<Rung, 5> kRungs{{{2, 12, 0xFF008000},
                                          {5, 10, 0xFFFFFFFF},
                                          {8, 8, 0xFF008000},
                                          {11, 6, 0xFFFFFFFF},
                                          {14, 4, 0xFFFF0000}}};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRoundedRect(QRectF(0, 0, 16, 16), 2.5, 2.5);
    for (const Rung& rung : kRungs) {
        painter.setBrush(QColor::fromRgb(rung.color));
        painter.drawRect(QRectF(2, rung.y - 1.5, rung.width, 1.5));
    }
    return image;
}

QIcon quizIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(quizIconImage(size)));
    return icon;
}

}  // namespace window
