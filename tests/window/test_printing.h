// Readable names in failure messages: Qt strings as text, controls by name,
// table rows of cases by their row name.
#pragma once

#include <QString>
#include <ostream>

#include "window/controls.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace window {
inline void PrintTo(ControlName name, std::ostream* out) { *out << nameOf(name); }
}  // namespace window

namespace window_test {

template <typename Case>
    requires requires(const Case& c) { c.name; }
void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

}  // namespace window_test
