// The editor's manual (F1): its Russian manual page, rendered when the
// program is built, in a window of its own.
#pragma once

#include <QString>

class QWidget;

namespace quizedit {

// The manual's text, as the terminal shows `man quizedit`.
QString manualText();
// Shows the manual beside `parent`; Esc or Закрыть closes it.
void showManual(QWidget* parent);

}  // namespace quizedit
