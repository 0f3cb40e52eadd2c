#include "window/pictures.h"

#include <QIconEngine>
#include <QPainter>
#include <algorithm>
#include <array>

#include "window/form_ops.h"

namespace window {
namespace {

constexpr int kPictureSize = 32;
constexpr int kStroke = 2;

// A rectangle of the design's 32 × 32 grid.
struct Stroke {
    int x, y, w, h;
    bool holds(double u, double v) const { return u >= x && u < x + w && v >= y && v < y + h; }
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
bool inDigit(const std::array<Stroke, N>& strokes, double u, double v) {
    return std::ranges::any_of(strokes, [&](const Stroke& s) { return s.holds(u, v); });
}

// The colour at a point (u, v) of the design's grid.
QRgb colourAt(double u, double v) {
    const bool frame = u < kStroke || v < kStroke || u >= kPictureSize - kStroke || v >= kPictureSize - kStroke;
    const bool diagonal = u - v >= -0.5 && u - v < kStroke - 0.5;
    if (frame || diagonal) return kPictureDarkRed;
    for (const QPoint origin : kNumberOrigins) {
        const double x = u - origin.x(), y = v - origin.y();
        if (inDigit(kDigitFive, x, y) || inDigit(kDigitZero, x - kDigitAdvance, y)) return kPictureRed;
    }
    return kPictureWhite;
}

}  // namespace

QImage fiftyFiftyPicture(int side) {
    // Each pixel takes the colour of the design at its centre: at 32 pixels
    // the design itself, at any other size the same shapes drawn anew with
    // sharp edges and strokes two design pixels wide, never a blurred copy.
    QImage image(side, side, QImage::Format_RGB32);
    const double unit = static_cast<double>(side) / kPictureSize;
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) line[x] = colourAt((x + 0.5) / unit, (y + 0.5) / unit);
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

namespace {

// Draws the icon at the size asked for, when it is asked for: a platform
// without window icons (offscreen) never pays for it, and X gets each of the
// usual sizes it asks for drawn anew. A size that is not square gets the
// icon as large as fits, as a set of square pictures would give it.
class QuizIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int side = std::min(rect.width(), rect.height());
        if (side <= 0) return;
        QRect square(0, 0, side, side);
        square.moveCenter(rect.center());
        painter->drawImage(square, quizIconImage(side));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return side > 0 ? QPixmap::fromImage(quizIconImage(side)) : QPixmap();
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::max(0, std::min(size.width(), size.height()));
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : {16, 24, 32, 48, 64, 128}) sizes.append({side, side});
        return sizes;
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("quizladder"); }
    QIconEngine* clone() const override { return new QuizIconEngine; }
};

}  // namespace

QIcon quizIcon() { return QIcon(new QuizIconEngine); }

}  // namespace window
