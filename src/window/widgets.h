// The three kinds of control of Form1 as Qt widgets. Each shows a caption
// given as display text, with its line ends already "\n". Every '&' shows as
// itself: a caption never becomes a keyboard mnemonic.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace window {

// A label without border, left and top aligned, filling its whole rectangle
// with its back colour (palette role Window), text in WindowText.
class FormLabel : public QLabel {
    Q_OBJECT
public:
    enum class Fit {
        Keep,        // keeps its rectangle
        OneLine,     // keeps left and top, takes the size of its text unbroken
        WrapHeight,  // keeps left, top and width, wraps at word boundaries and
                     // takes the height of the wrapped text
    };
    explicit FormLabel(QWidget* parent);
    void setFit(Fit fit);
    Fit fit() const { return fit_; }
    void setDisplayText(const QString& text);

private:
    void refit();
    Fit fit_ = Fit::Keep;
};

// An option button whose whole rectangle is its back colour and answers a
// click; its caption wraps at word boundaries within the rectangle. A hidden
// option answers no click.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(QWidget* parent);
    void setDisplayText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRect textRect() const;
};

// A command button, drawn by its own code in the classic way whatever the
// desktop style: a face in its back colour (palette role Button) with a raised
// bevel, sunken while pressed, an optional picture above the caption, and the
// caption centred, broken at blanks where one line is too wide, embossed grey
// when disabled.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent);
    void setDisplayText(const QString& text);
    // Shown the same when normal, pressed and disabled.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rewrap();
    QString caption_;
    QImage picture_;
};

// The text broken at blanks into lines no wider than width in the metrics
// given; a word wider than width stands alone on its line. Text that fits
// stays as it is.
QString wrapAtBlanks(const QFontMetrics& metrics, const QString& text, int width);

}  // namespace window
