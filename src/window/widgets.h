// The three kinds of control of Form1 as Qt widgets. Each shows text given
// with its line ends already "\n": labels and options as the window fitted it
// (fitText), command buttons their caption. Every '&' shows as itself: a
// caption never becomes a keyboard mnemonic.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "window/text_fit.h"

namespace window {

// A label without border, left and top aligned, filling its whole rectangle
// with its back colour (palette role Window), text in WindowText. Its text is
// drawn with the flags it is measured with (textFlags), so what fits by
// measure fits on screen; the window sets its size.
class FormLabel : public QLabel {
    Q_OBJECT
public:
    explicit FormLabel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// An option button whose whole rectangle is its back colour and answers a
// click. Left to right it shows the round indicator, its answer letter in
// bold and the text the window fitted to the room beside the letter, which
// wraps at word boundaries; text() keeps the caption. Chosen, it has a wide
// dark frame and its letter light on dark; focused, a dark and light frame
// around its text. A hidden option shows nothing and answers no click.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(QWidget* parent);
    // The whole caption, kept as text().
    void setDisplayText(const QString& text);
    void setParts(const OptionParts& parts, const QString& letter);
    // What is drawn beside the letter, in the widget's font.
    void setShownText(const QString& text);
    const QString& shownText() const { return shown_; }
    // Where the letter stands, in the button's coordinates.
    QRect letterRect() const { return parts_.letter; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    OptionParts parts_;
    QString letter_;
    QString shown_;
};

// A command button, drawn by its own code in the classic way whatever the
// desktop style: a dark outline all round, a face in its back colour (palette
// role Button) with a raised bevel, sunken while pressed, an optional picture
// above the caption, and the caption centred, broken at blanks where one line
// is too wide, embossed in a dark shade of the face when disabled. Focused,
// it has a dark and light frame inside its bevel.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent);
    void setDisplayText(const QString& text);
    // The design's scale, for the widths of its outline and focus frame.
    void setScale(double scale);
    // Shown the same when normal, pressed and disabled, at its own size.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Breaks the caption anew, unless caption, width and font are those it
    // was last broken for.
    void rewrap();
    QString caption_;
    QImage picture_;
    double scale_ = 1.0;
    struct {
        QString caption;
        int width = -1;
        QFont font;
    } wrapped_;
};

// The text broken at blanks into lines no wider than width in the metrics
// given; a word wider than width stands alone on its line. Text that fits
// stays as it is.
QString wrapAtBlanks(const QFontMetrics& metrics, const QString& text, int width);

}  // namespace window
