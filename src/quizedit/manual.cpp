#include "quizedit/manual.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quizedit {

// Made from the manual page when the program is built (manual_text.cpp).
extern const char* const kManualText;

QString manualText() { return QString::fromUtf8(kManualText); }

void showManual(QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Руководство: редактор викторин"));
    auto* layout = new QVBoxLayout(dialog);
    auto* text = new QPlainTextEdit(manualText(), dialog);
    text->setReadOnly(true);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setAccessibleName(QStringLiteral("Руководство"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog->resize(QFontMetrics(text->font()).horizontalAdvance(QLatin1Char('x')) * 96, 600);
    dialog->show();
}

}  // namespace quizedit
