// The modal message boxes of the window, in Russian.
#pragma once

#include <QMessageBox>
#include <memory>
#include <string>

#include "window/form_ops.h"

namespace window {

inline constexpr std::string_view kOkText = "OK";
inline constexpr std::string_view kYesText = "Да";
inline constexpr std::string_view kNoText = "Нет";

// Bytes meant as UTF-8, shown readably: what is valid UTF-8 as its
// characters, every other byte as \xNN (a file name in another encoding, as
// the player gave it).
QString readableText(std::string_view bytes);

// A box with the text (plain, never rich text, shown by readableText), the
// title, the critical icon or none, and the button set: "OK" alone, or "Да"
// and "Нет" with "Да" the default (Enter) and "Нет" the answer to Esc or to
// closing the box. Its text and buttons are drawn `textScale` times the
// usual size, and the box is wide enough for a title bar to show its whole
// title (titleBarWidth).
std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, QWidget* parent,
                                            double textScale = 1.0);

// The reply of a box made by makeMessageBox after it has been closed: the
// button pressed, or the Esc answer when the box was closed without one.
Reply replyOf(const QMessageBox& box);

// Shows a box made by makeMessageBox modally and gives the reply.
Reply execMessageBox(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                     QWidget* parent, double textScale = 1.0);

}  // namespace window
