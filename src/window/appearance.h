// Colours, fonts and rectangles of the design, mapped to what this platform
// has.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

#include "window/controls.h"

namespace window {

// The one mapping of design colours: 0x00BBGGRR is taken as it is; a system
// colour 0x800000nn (nn = 0..24) is the colour of the classic standard scheme
// the window was designed in (button face grey, highlighted text white, ...),
// not the desktop's current theme, because the design mixes fixed colours with
// system ones and only this scheme keeps their contrasts readable.
// Throws std::out_of_range for any other value.
QColor toQColor(Color color);

// The one substitution of the design font "MS Sans Serif", which Linux lacks,
// by Liberation Sans (Arimo or Arial where that is missing), all three of the
// same metrics and with Cyrillic. The size is set in pixels at the design's
// 96 dots per inch (points × 4/3), so that text and the twip-based rectangles
// keep their proportions whatever logical resolution the platform reports;
// Qt's high-DPI scaling enlarges both alike. A point is 20 twips, so sizes go
// through twipsToPixels with the window's scale like every rectangle.
// FontDef{} gives the default font, whatever the scale.
QFont designFont(FontDef font, double scale = 1.0);

// Pixel size of a design font of this many points.
int fontPixels(double points, double scale = 1.0);

// A design rectangle in pixels. Its edges are mapped, not its size, so
// controls that do not overlap in the design never overlap when scaled.
QRect pixelRect(const TwipRect& rect, double scale = 1.0);

}  // namespace window
