#include "window/message_box.h"

#include <QAbstractButton>
#include <QPushButton>

namespace window {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(fromUtf8(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(fromUtf8(text));
    box->setIcon(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box->setWindowModality(Qt::ApplicationModal);
    if (buttons == Buttons::YesNo) {
        QPushButton* yes = box->addButton(fromUtf8(kYesText), QMessageBox::YesRole);
        QPushButton* no = box->addButton(fromUtf8(kNoText), QMessageBox::NoRole);
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
    } else {
        QPushButton* ok = box->addButton(fromUtf8(kOkText), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
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
                     QWidget* parent) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(text, title, buttons, icon, parent);
    box->exec();
    return replyOf(*box);
}

}  // namespace window
