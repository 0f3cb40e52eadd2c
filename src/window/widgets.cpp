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
constexpr Color kHighlight = 0x8000000D;
// Widths in design pixels of what marks a control's state.
constexpr int kOutline = 1;       // around every command button
constexpr int kFocusFrame = 2;    // the focus frame's dark line; a light one inside it
constexpr int kChosenFrame = 3;   // around the chosen option
// A disabled caption takes this share of its face's colour: plainly muted,
// yet dark enough to read on any face, the red 50/50 one included.
constexpr int kMutedPercent = 40;

// Buttons draw their text with mnemonics on; doubling '&' keeps it literal.
QString literalAmpersands(const QString& text) {
    QString result = text;
    return result.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

int strokeWidth(double scale, int designPixels) { return std::max(1, qRound(designPixels * scale)); }

// A frame `width` pixels wide just inside `outer`.
void drawRing(QPainter& painter, const QRect& outer, int width, const QColor& color) {
    const QRegion ring = QRegion(outer) - QRegion(outer.adjusted(width, width, -width, -width));
    for (const QRect& part : ring) painter.fillRect(part, color);
}

// The frame around the focused control, shown from the moment the window
// opens (styles often wait for the first Tab), so keyboard players always see
// which button Space and Enter press: a dark line with a light one inside it,
// so that one of them stands out on any face, red, grey or white.
void drawFocusFrame(QPainter& painter, const QRect& outer, double scale) {
    const int dark = strokeWidth(scale, kFocusFrame);
    drawRing(painter, outer, dark, toQColor(kBevelDarkShadow));
    drawRing(painter, outer.adjusted(dark, dark, -dark, -dark), strokeWidth(scale, 1), toQColor(kBevelHighlight));
}

QColor muted(const QColor& face) {
    const auto part = [](int value) { return value * kMutedPercent / 100; };
    return QColor(part(face.red()), part(face.green()), part(face.blue()));
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

    // The chosen option is marked by more than its dot and more than a
    // colour: a wide frame around it and its letter light on dark, plain
    // from the back of a room.
    QPalette letterColors = palette();
    if (isChecked()) {
        const QColor mark = toQColor(kHighlight);
        drawRing(painter, rect(), strokeWidth(parts_.scale, kChosenFrame), mark);
        const int side = QFontMetrics(parts_.letterFont).height();
        QRect badge(0, 0, std::max(side, parts_.letter.width()), side);
        badge.moveCenter(parts_.letter.center());
        painter.fillRect(badge, mark);
        letterColors.setColor(QPalette::WindowText, toQColor(kHighlightText));
    }
    painter.setFont(parts_.letterFont);
    painter.drawItemText(parts_.letter, Qt::AlignCenter, letterColors, isEnabled(), letter_, QPalette::WindowText);
    painter.setFont(font());
    const int flags = (textFlags(true) & ~Qt::AlignTop) | Qt::AlignVCenter;
    painter.drawItemText(parts_.caption, flags, palette(), isEnabled(), shown_, QPalette::WindowText);
    if (hasFocus() && !shown_.isEmpty()) {
        const int room = strokeWidth(parts_.scale, kFocusFrame + 1) + 1;
        const QRect text = fontMetrics().boundingRect(parts_.caption, flags, shown_);
        drawFocusFrame(painter, text.adjusted(-room, -room, room, room) & rect(), parts_.scale);
    }
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

void CommandButton::setScale(double scale) {
    scale_ = scale;
    update();
}

void CommandButton::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void CommandButton::rewrap() {
    // Resizing and a new font each break the caption again, and so does a new
    // caption; where nothing changed, measuring again would only cost time.
    if (caption_ == wrapped_.caption && width() == wrapped_.width && font() == wrapped_.font) return;
    wrapped_ = {caption_, width(), font()};
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
    // A dark outline all round: a button as light as the window behind it
    // (the white "Прервать игру") still shows whole.
    const int outline = strokeWidth(scale_, kOutline);
    drawRing(painter, rect(), outline, toQColor(kBevelDarkShadow));
    const QRect button = rect().adjusted(outline, outline, -outline, -outline);
    qDrawWinButton(&painter, button, bevel, sunken, &face);

    QRect content = button.adjusted(kBevel, kBevel, -kBevel, -kBevel);
    // Under the picture and the caption, so that it never hides them.
    if (hasFocus()) drawFocusFrame(painter, content.adjusted(1, 1, -1, -1), scale_);
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
        painter.setPen(muted(face.color()));
        painter.drawText(textArea, kFlags, text());
    }
}

}  // namespace window
