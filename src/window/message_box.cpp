#include "window/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <algorithm>

#include "quiz/quiz_error.h"
#include "window/text_fit.h"

namespace window {

QString readableText(std::string_view bytes) {
    const std::string shown = quiz::shownLine(bytes, bytes.size(), quiz::ControlStyle::Kept);
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
