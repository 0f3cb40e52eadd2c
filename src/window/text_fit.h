// How the window shows a text that may not fit its control: whole in the
// designed font, whole in a smaller size of that font, or cut with "…".
// Form1 decides through fitText, and so does textFit for the authors' tool,
// so a quiz shows in play as the tool says.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string_view>

#include "window/controls.h"

namespace window {

enum class Fit : std::uint8_t {
    AsDesigned,  // whole, in the designed font
    Shrunk,      // whole, in a smaller size of that font, no smaller than the floor
    Elided,      // cut at the floor and ended with "…"; the control's tooltip and
                 // accessible description hold the whole text
};

// How Form1 shows `utf8` as the text of the control `name`, measured exactly
// as Form1 lays it out at its designed size (same fonts, same rooms, same
// shrink floor). Line ends may be CR LF. The names:
//   "Label2"              a question: Label2 while options are on screen, in
//                         the room above them
//   "Label2.intro"        the introduction or the results: Label2 while no
//                         option is shown, in the room above the buttons
//   "Label16"             the status line, on one line
//   "Option1".."Option4"  an answer, beside its letter
//   "Form1"               the title. The desktop draws it on one line in its
//                         own font and cuts it; this is an estimate (the
//                         application's font, the window's width less room for
//                         the title bar's icon and buttons), never Shrunk.
// Throws std::invalid_argument for any other name. Needs a QGuiApplication.
Fit textFit(std::string_view name, std::string_view utf8);

// The width a desktop's title bar needs to show `title` whole: an estimate
// (the application's font, and room for the title bar's icon and buttons),
// as the desktop draws it in its own font.
int titleBarWidth(const QString& title);

// A caption as the controls show it: any line end made "\n".
QString displayText(std::string_view utf8);

// The most of a text that a control holds whole beside what it shows (its
// tooltip, what screen readers hear): more would only freeze the window the
// moment it is shown.
inline constexpr qsizetype kHeldCharacters = 16384;
// The text, or its first kHeldCharacters ended with "…".
QString heldText(const QString& text);

// Where a control's text may spread, and how.
struct TextBox {
    QFont font;         // as designed
    QSize room;         // the most the text may take
    bool wrap = false;  // broken at word boundaries to the room's width
};

struct FittedText {
    Fit fit = Fit::AsDesigned;
    QFont font;     // the designed font or a smaller size of it
    QString shown;  // as drawn: the whole text, or its start ended with "…"
    QSize size;     // what it takes, within the room
};

// The flags that both measure and draw the text of a TextBox: left and top
// aligned, broken at word boundaries when it wraps.
int textFlags(bool wrap);

// The whole text in the designed font if it fits the room; else in the
// largest smaller size that fits, down to 70% of the designed size; else, at
// that floor, as many lines as the room holds, the last one ended with "…".
// Takes time and memory bounded by the room, not by the text's length.
FittedText fitText(const QString& text, const TextBox& box);

// An option button of the design at a scale, left to right.
struct OptionParts {
    QRect indicator;   // the round mark of the selection, centred in height
    QRect letter;      // its answer letter, centred
    QRect caption;     // the answer
    QFont letterFont;  // the option's font, bold
    double scale = 1;  // for the widths of the marks drawn around them
};
OptionParts optionParts(const ControlDef& def, double scale);

// The text box of a label or an option of the design at a scale. An option's
// answer has the room beside its letter. A label takes its room as `sizing`
// says: AutoSize::Off its own rectangle; OneLine and WrapHeight (which keeps
// the width) from its top-left corner to the controls beside and below it;
// Label2 stays clear of the options while `optionsShown`, of the buttons
// under it otherwise.
TextBox textBox(const ControlDef& def, AutoSize sizing, bool optionsShown, double scale);

}  // namespace window
