// Colours and fonts of the design, mapped to what this platform has.
#pragma once

#include <QColor>
#include <QFont>

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
// Qt's high-DPI scaling enlarges both alike. FontDef{} gives the default font.
QFont designFont(FontDef font);

// Pixel size of a design font of this many points.
int fontPixels(double points);

}  // namespace window
