#include "window/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <algorithm>
#include <array>

#include "window/text_fit.h"

namespace window {
namespace {

// The well-formed UTF-8 sequences by their lead byte: their length and the
// range of their second byte, which shuts out overlong forms, surrogates and
// code points above U+10FFFF. Later bytes are 0x80..0xBF.
struct Lead {
    unsigned char first, last;
    std::size_t length;
    unsigned char low, high;
};
constexpr std::array<Lead, 8> kLeads{{
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

// The length of the valid UTF-8 character that starts `text`, or 0.
std::size_t validCharacter(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byte(0) < 0x80) return 1;
    const auto* lead = std::ranges::find_if(kLeads, [&](const Lead& l) { return byte(0) >= l.first && byte(0) <= l.last; });
    if (lead == kLeads.end() || text.size() < lead->length || byte(1) < lead->low || byte(1) > lead->high) return 0;
    for (std::size_t i = 2; i < lead->length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return lead->length;
}

}  // namespace

QString readableText(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    while (!bytes.empty()) {
        if (const std::size_t length = validCharacter(bytes); length > 0) {
            shown.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
            continue;
        }
        constexpr std::string_view kHex = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(bytes.front());
        shown += "\\x";
        shown += kHex[byte >> 4];
        shown += kHex[byte & 0xF];
        bytes.remove_prefix(1);
    }
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, QWidget* parent, double textScale) {
    auto box = std::make_unique<QMessageBox>(parent);
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * textScale);
    else
        font.setPixelSize(qRound(font.pixelSize() * textScale));
    box->setFont(font);
    box->setWindowTitle(readableText(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(readableText(text));
    box->setIcon(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box->setWindowModality(Qt::ApplicationModal);
    if (buttons == Buttons::YesNo) {
        QPushButton* yes = box->addButton(readableText(kYesText), QMessageBox::YesRole);
        QPushButton* no = box->addButton(readableText(kNoText), QMessageBox::NoRole);
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
    } else {
        QPushButton* ok = box->addButton(readableText(kOkText), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
    // The box sizes itself to its layout when shown; a row as wide as the
    // title bar needs keeps a window manager from cutting the title.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(box->windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

Reply replyOf(const QMessageBox& box) {
    QAbstractButton* pressed = box.clickedButton();
    if (pressed == nullptr) pressed = box.escapeButton();
    switch (box.buttonRole(pressed)) {
    case QMessageBox::YesRole:
        return Reply::Yes;
    case QMessageBox::NoRole:
        return Reply::No;
    default:
        return Reply::Ok;
    }
}

Reply execMessageBox(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                     QWidget* parent, double textScale) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(text, title, buttons, icon, parent, textScale);
    box->exec();
    return replyOf(*box);
}

}  // namespace window
