#include "window/appearance.h"

#include <QFontDatabase>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

namespace window {
namespace {

// Classic standard scheme, by system colour index, as 0xRRGGBB.
constexpr std::array<QRgb, 25> kSystemColors{{
    0xC0C0C0,  // 0 scroll bar
    0x008080,  // 1 desktop
    0x000080,  // 2 active title bar
    0x808080,  // 3 inactive title bar
    0xC0C0C0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x000000,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0xFFFFFF,  // 9 active title bar text
    0xC0C0C0,  // 10 active border
    0xC0C0C0,  // 11 inactive border
    0x808080,  // 12 application workspace
    0x000080,  // 13 highlight
    0xFFFFFF,  // 14 highlighted text
    0xC0C0C0,  // 15 button face
    0x808080,  // 16 button shadow
    0x808080,  // 17 grey text
    0x000000,  // 18 button text
    0xC0C0C0,  // 19 inactive title bar text
    0xFFFFFF,  // 20 button highlight
    0x000000,  // 21 3-D dark shadow
    0xDFDFDF,  // 22 3-D light
    0x000000,  // 23 tooltip text
    0xFFFFE1,  // 24 tooltip background
}};

// The families that stand for the design font, those of them installed: a
// family named but not installed only stands for one of the others through
// the system's substitutions, and each family named is looked up again
// whenever a font of it is loaded. All of them when none is installed.
const QStringList& designFamilies() {
    static const QStringList families = [] {
        const QStringList substitutes{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                      QStringLiteral("Arial")};
        const QStringList installed = QFontDatabase::families();
        QStringList found;
        for (const QString& family : substitutes)
            if (installed.contains(family)) found << family;
        return found.isEmpty() ? substitutes : found;
    }();
    return families;
}

}  // namespace

QColor toQColor(Color color) {
    if (isSystemColor(color)) {
        const std::uint32_t index = color & 0x00FFFFFFu;
        if (index >= kSystemColors.size())
            throw std::out_of_range("unknown system colour " + std::to_string(index));
        return QColor::fromRgb(kSystemColors[index]);
    }
    if ((color & 0xFF000000u) != 0)
        throw std::out_of_range("invalid colour value " + std::to_string(color));
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

int fontPixels(double points, double scale) {
    constexpr double kTwipsPerPoint = 20;
    return twipsToPixels(static_cast<int>(std::lround(points * kTwipsPerPoint)), scale);
}

QRect pixelRect(const TwipRect& rect, double scale) {
    const QPoint topLeft(twipsToPixels(rect.left, scale), twipsToPixels(rect.top, scale));
    const QPoint end(twipsToPixels(rect.left + rect.width, scale), twipsToPixels(rect.top + rect.height, scale));
    return QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
}

QFont designFont(FontDef font, double scale) {
    if (font.points <= 0) return QFont();
    QFont result;
    result.setFamilies(designFamilies());
    result.setPixelSize(std::max(1, fontPixels(font.points, scale)));
    result.setWeight(static_cast<QFont::Weight>(font.weight));
    return result;
}

}  // namespace window
