// Long texts shrink, then are cut with the whole text at hand, and never run over another control; the answer
// letters; the window on a big and a small screen. Screenshots of each land in <build>/screenshots/.
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include "window/form1.h"
#include "window/widgets.h"

namespace {

using namespace window;

void screenshot(QWidget& widget, const std::string& name) {
    ASSERT_TRUE(QDir().mkpath(QUIZ_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(widget.grab().save(QString::fromStdString(QUIZ_BINARY_DIR "/screenshots/" + name + ".png"))) << name;
}

// Every shown control lies in the client area, clear of every other one, with a name for screen readers; a label
// that sizes itself to one line shows its whole text on one line.
void expectNothingOverlaps(const Form1& form) {
    std::vector<QWidget*> shown;
    for (const ControlDef& def : kControls) {
        QWidget* widget = form.widget({def.name, def.index});
        if (widget->isHidden()) continue;
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_FALSE(widget->accessibleName().isEmpty());
        EXPECT_TRUE(form.rect().contains(widget->geometry()));
        for (const QWidget* other : shown)
            EXPECT_FALSE(widget->geometry().intersects(other->geometry())) << other->objectName().toStdString();
        shown.push_back(widget);
        if (const auto* label = qobject_cast<QLabel*>(widget); def.autoSize == AutoSize::OneLine) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
            EXPECT_LT(label->height(), 2 * label->fontMetrics().height());
        }
    }
}

TEST(LongText, ShrinksThenIsCutWithTheWholeTextAtHandAndStaysClear) {
    // Name, the control as the authors' tool names it, the control, options shown, the text's unit and separator.
    const std::tuple<const char*, const char*, ControlRef, bool, std::string, std::string> kinds[] = {
        {"Question", "Label2", Label2, true, "Какая река самая длинная?", " "},
        {"Introduction", "Label2.intro", Label2, false, "Строка вступления.", "\r\n"},
        {"Answer", "Option1", Option1, true, "ответ", " "},
        {"AnswerBottomRight", "Option4", Option4, true, "ответ", " "},
        {"StatusLine", "Label16", Label16, true, "ИГРА", " "},
    };
    for (const auto& [name, fitName, control, optionsShown, unit, separator] : kinds) {
        std::string fits = unit;  // the longest text shown as designed, by the measure the tool uses
        while (fits.size() < 10000 && textFit(fitName, fits + separator + unit) == Fit::AsDesigned)
            fits += separator + unit;
        std::string farTooLong = fits, huge;
        for (int i = 1; i < 20; ++i) farTooLong += separator + fits;
        while (huge.size() < 1'000'000) huge += farTooLong + separator;  // only its start is measured and held
        const std::tuple<const char*, Fit, std::string> lengths[] = {
            {"JustFits", Fit::AsDesigned, fits}, {"OneLineMore", Fit::Shrunk, fits + separator + unit},
            {"FarTooLong", Fit::Elided, farTooLong}, {"Huge", Fit::Elided, huge}};
        for (const auto& [length, fit, caption] : lengths) {
            SCOPED_TRACE(std::string(name) + length);
            Form1 form;
            ASSERT_TRUE(form.start());
            QWidget* widget = form.widget(control);
            const QRect designed = widget->geometry();
            const int designedPixels = widget->font().pixelSize();
            form.setWordWrapAutoSize(Label2);
            form.setCaption(Label2, "Какой ответ верный?");
            EXPECT_EQ(form.widget(Label2)->height(), form.widget(Label2)->fontMetrics().height());
            for (int k = 1; k <= 4; ++k) form.setCaption(option(k), "Короткий ответ");
            form.setCaption(control, caption);
            for (int k = 1; k <= 4; ++k) form.setVisible(option(k), optionsShown);  // Label2 takes the room at once
            EXPECT_EQ(textFit(fitName, caption), fit);
            const int pixels = widget->font().pixelSize();
            EXPECT_EQ(pixels == designedPixels, fit == Fit::AsDesigned) << pixels;
            EXPECT_GE(pixels, qRound(designedPixels * 0.7));
            const bool cut = fit == Fit::Elided;
            const QString whole = displayText(caption);
            EXPECT_EQ(form.shownText(control) == whole, !cut);
            EXPECT_EQ(form.shownText(control).endsWith(QChar(0x2026)), cut);
            const QString held = whole.size() <= kHeldCharacters ? whole : whole.left(kHeldCharacters) + QChar(0x2026);
            EXPECT_EQ(widget->toolTip(), cut ? held : QString());
            EXPECT_EQ(widget->accessibleDescription(), cut ? held : QString());
            if (control == Label2) {  // a question or an introduction keeps its place and width, grows down to show all
                EXPECT_EQ(widget->geometry(), QRect(designed.topLeft(), QSize(designed.width(), widget->height())));
                EXPECT_GE(widget->height(), widget->heightForWidth(designed.width()));
            }
            expectNothingOverlaps(form);
            screenshot(form, std::string("text_") + name + "_" + length);
        }
    }
}

TEST(Letters, StandBesideShownOptionsOnlyAndReachScreenReaders) {
    Form1 form;
    ASSERT_TRUE(form.start());
    const char* const answers[] = {"Нил", "Амазонка", "Янцзы", "Миссисипи"};
    form.setCaption(Label2, "Какая река самая длинная?");
    for (int k = 1; k <= 4; ++k) form.setCaption(option(k), answers[k - 1]);
    screenshot(form, "letters");
    form.setVisible(Option3, false);
    const QImage shot = form.grab().toImage();
    for (int k = 1; k <= 4; ++k) {
        const auto* button = qobject_cast<OptionButton*>(form.widget(option(k)));
        const QRect letter = button->letterRect().translated(button->pos());
        QImage blank = shot.copy(letter);
        blank.fill(shot.pixel(letter.topLeft()));
        EXPECT_EQ(shot.copy(letter) != blank, k != 3) << k;
        const QString name = button->accessibleName();
        EXPECT_TRUE(name.contains(QStringLiteral("АБВГ")[k - 1]) && name.contains(answers[k - 1])) << k;
    }
}

TEST(Scaling, OnASmallScreenTheWindowFitsInProportionOnABigOneNothingChanges) {
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    const Form1 designed;
    for (QScreen* screen : QGuiApplication::screens()) {
        Form1 form;
        form.setScreen(screen);
        ASSERT_TRUE(form.start());
        const QRect area = screen->availableGeometry();
        EXPECT_TRUE(area.contains(form.frameGeometry())) << screen->name().toStdString();
        const bool small = area.height() < designed.height() + 50;
        EXPECT_EQ(form.scale() < 1, small) << form.scale();
        const double scale = static_cast<double>(form.width()) / designed.width();
        EXPECT_NEAR(static_cast<double>(form.height()) / designed.height(), scale, 0.005);
        for (const ControlDef& def : kControls) {
            // A label sized to its text also follows the rounding of its font to whole pixels.
            const double slack = !small ? 0 : def.autoSize == AutoSize::Off ? 2 : 2 + 0.04 * def.rect.width / 15;
            const QWidget* seen = form.widget({def.name, def.index});
            const QWidget* meant = designed.widget({def.name, def.index});
            for (const auto& [got, want] : {std::pair{seen->x(), meant->x()}, {seen->y(), meant->y()},
                                            {seen->width(), meant->width()}, {seen->height(), meant->height()}})
                EXPECT_NEAR(got, want * scale, slack + 0.5) << seen->objectName().toStdString();
            EXPECT_NEAR(seen->font().pixelSize(), meant->font().pixelSize() * scale, 1) << def.role;  // or both -1
        }
        EXPECT_NEAR(qobject_cast<CommandButton*>(form.widget(Command3))->picture().width(), 32 * scale, 1);
        expectNothingOverlaps(form);
        screenshot(form, small ? "window_small_screen" : "window");
    }
}

}  // namespace
