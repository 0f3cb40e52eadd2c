#include "window/widgets.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <qdrawutil.h>

#include <algorithm>

#include "window/appearance.h"

namespace window {
namespace {

constexpr int kBevel = 2;
constexpr int kButtonTextMargin = 4;
constexpr Color kBevelHighlight = 0x80000014;
constexpr Color kBevelLight = 0x80000016;
constexpr Color kBevelShadow = 0x80000010;
constexpr Color kBevelDarkShadow = 0x80000015;

// Buttons draw their text with mnemonics on; doubling '&' keeps it literal.
QString literalAmpersands(const QString& text) {
    QString result = text;
    return result.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A dotted frame around the focused control, shown from the moment the window
// opens (styles often wait for the first Tab), so keyboard players always see
// which button Space presses.
void drawFocusFrame(QPainter& painter, const QRect& frame) {
    painter.save();
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.restore();
}

}  // namespace

QString wrapAtBlanks(const QFontMetrics& metrics, const QString& text, int width) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (metrics.horizontalAdvance(line) <= width) {
            lines << line;
            continue;
        }
        QString current;
        bool first = true;
        for (const QString& word : line.split(QLatin1Char(' '))) {
            if (first) {
                current = word;
                first = false;
                continue;
            }
            const QString candidate = current + QLatin1Char(' ') + word;
            if (metrics.horizontalAdvance(candidate) <= width) {
                current = candidate;
            } else {
                lines << current;
                current = word;
            }
        }
        lines << current;
    }
    return lines.join(QLatin1Char('\n'));
}

FormLabel::FormLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    setMargin(0);
    setIndent(0);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void FormLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, rect(), textFlags(wordWrap()), palette(), isEnabled(), text(),
                          QPalette::WindowText);
}

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent) { setAutoFillBackground(true); }

void OptionButton::setDisplayText(const QString& text) { setText(literalAmpersands(text)); }

void OptionButton::setParts(const OptionParts& parts, const QString& letter) {
    parts_ = parts;
    letter_ = letter;
    update();
}

void OptionButton::setShownText(const QString& text) {
    shown_ = text;
    update();
}

void OptionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = parts_.indicator;
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);

    painter.setFont(parts_.letterFont);
    painter.drawItemText(parts_.letter, Qt::AlignCenter, palette(), isEnabled(), letter_, QPalette::WindowText);
    painter.setFont(font());
    const int flags = (textFlags(true) & ~Qt::AlignTop) | Qt::AlignVCenter;
    painter.drawItemText(parts_.caption, flags, palette(), isEnabled(), shown_, QPalette::WindowText);
    if (hasFocus() && !shown_.isEmpty())
        drawFocusFrame(painter,
                       fontMetrics().boundingRect(parts_.caption, flags, shown_).adjusted(-2, -1, 1, 1) & rect());
}

bool OptionButton::hitButton(const QPoint& pos) const { return !isHidden() && rect().contains(pos); }

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setDefault(false);
}

void CommandButton::setDisplayText(const QString& text) {
    caption_ = text;
    rewrap();
}

void CommandButton::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void CommandButton::rewrap() {
    setText(literalAmpersands(wrapAtBlanks(fontMetrics(), caption_, width() - 2 * kButtonTextMargin)));
}

void CommandButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange) rewrap();
}

void CommandButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    rewrap();
}

void CommandButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sunken = isDown();
    QPalette bevel = palette();
    bevel.setColor(QPalette::Light, toQColor(kBevelHighlight));
    bevel.setColor(QPalette::Midlight, toQColor(kBevelLight));
    bevel.setColor(QPalette::Dark, toQColor(kBevelShadow));
    bevel.setColor(QPalette::Shadow, toQColor(kBevelDarkShadow));
    const QBrush face = palette().brush(QPalette::Button);
    qDrawWinButton(&painter, rect(), bevel, sunken, &face);

    QRect content = rect().adjusted(kBevel, kBevel, -kBevel, -kBevel);
    if (sunken) content.translate(1, 1);
    constexpr int kFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic;
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().boundingRect(content, kFlags, text()).height();
    const int pictureHeight = picture_.isNull() ? 0 : picture_.height();
    const int top = content.top() + std::max(0, (content.height() - pictureHeight - textHeight) / 2);
    if (!picture_.isNull())
        painter.drawImage(QPoint(content.left() + (content.width() - picture_.width()) / 2, top), picture_);

    const QRect textArea(content.left(), top + pictureHeight, content.width(), textHeight);
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(textArea, kFlags, text());
    } else {
        painter.setPen(toQColor(kBevelHighlight));
        painter.drawText(textArea.translated(1, 1), kFlags, text());
        painter.setPen(toQColor(kGrayText));
        painter.drawText(textArea, kFlags, text());
    }
    if (hasFocus()) drawFocusFrame(painter, rect().adjusted(kBevel + 2, kBevel + 2, -kBevel - 3, -kBevel - 3));
}

}  // namespace window
