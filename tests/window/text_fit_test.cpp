// Long texts shrink, then are cut with the whole text at hand, and never run over another control; the whole design
// at the scale of any window, with the answer letters. Screenshots of each land in <build>/screenshots/.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "window/form1.h"
#include "window/message_box.h"
#include "window/pictures.h"
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
        EXPECT_TRUE(form.page()->rect().contains(widget->geometry()));
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

// The 50/50 picture at its size: sharp (its three colours only) with its frame two design pixels wide.
void expectSharpPicture(const QImage& picture, double scale) {
    EXPECT_NEAR(picture.width(), 32 * scale, 1);
    int frame = 0;
    while (frame < picture.width() && picture.pixel(frame, picture.height() / 2) == kPictureDarkRed) ++frame;
    EXPECT_NEAR(frame, 2 * scale, 1);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            ASSERT_TRUE(c == kPictureWhite || c == kPictureDarkRed || c == kPictureRed) << x << "," << y;
        }
}

// The design as its sheet gives it, written out here apart from the window's own table: left, top, width, height in
// twips (no size for a label that sizes itself to its caption) and the font in points and weight (none: default).
struct Designed { ControlRef control; int left, top, width, height; double points; int weight; };
std::vector<Designed> designSheet() {
    std::vector<Designed> sheet = {
        {Label16, 4560, 120, 0, 0, 18, 700}, {Label2, 3000, 1200, 12135, 4215, 18, 700},
        {Option1, 3000, 5880, 5055, 1215, 18, 400}, {Option2, 3000, 8040, 4935, 1215, 18, 400},
        {Option3, 9240, 5880, 5295, 1215, 18, 400}, {Option4, 9240, 8040, 5415, 1215, 18, 400},
        {Command1, 240, 9480, 2175, 855, 12, 700}, {Command2, 240, 7920, 2055, 855, 12, 700},
        {Command3, 12720, 9720, 1695, 1095, 24, 400}, {Command4, 10200, 9720, 1935, 1095, 13.5, 400}};
    for (int box = 0; box < 4; ++box)  // beside steps 4, 8, 12 and 15
        sheet.push_back({{ControlName::Label3, box}, 1800, 240 + 480 * (15 - std::array{4, 8, 12, 15}[box]), 615, 345, 0, 0});
    for (int step = 1; step <= 15; ++step)  // 480 twips apart, indented at steps 9 and 3
        sheet.push_back({item(step), step >= 10 ? 360 : step >= 4 ? 480 : 600, 240 + 480 * (15 - step), 0, 0, 12, 700});
    return sheet;
}

TEST(Scaling, EveryControlStandsAndIsWrittenWhereTheDesignPutsIt) {
    Form1 form;
    ASSERT_TRUE(form.start());
    const QSize designed = form.size();
    // At the design's size, and at two scales at which every designed edge one twip further lands on another pixel.
    for (const double scale : {1.0, 4.0, 8.0}) {
        form.resize(designed * scale);
        QApplication::processEvents();
        ASSERT_EQ(form.scale(), scale);
        const auto pixels = [scale](double twips) { return static_cast<int>(twips * scale / 15 + 0.5); };
        for (const Designed& d : designSheet()) {
            const QWidget* widget = form.widget(d.control);
            SCOPED_TRACE(widget->objectName().toStdString() + " at " + std::to_string(scale));
            EXPECT_EQ(widget->pos(), QPoint(pixels(d.left), pixels(d.top)));
            const QSize size(pixels(d.left + d.width) - pixels(d.left), pixels(d.top + d.height) - pixels(d.top));
            if (d.width > 0) {
                EXPECT_EQ(widget->size(), size);
            }
            if (d.points == 0) continue;
            EXPECT_EQ(widget->font().pixelSize(), pixels(d.points * 20));
            EXPECT_EQ(widget->font().weight(), d.weight);
        }
    }
}

TEST(Scaling, TheWholeDesignFitsAnyWindowAndComesBackPixelForPixel) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 3);
    const Form1 designed;
    // The screen, and how the window grows there: F11, maximised, resized to a scale, or not at all (0).
    enum How { F11, Maximise, Resize };
    const std::tuple<const char*, int, How, double> cases[] = {
        {"full_screen_1920x1080", 0, F11, 0}, {"maximised_2560x1440", 1, Maximise, 0},
        {"scale_1.5", 1, Resize, 1.5}, {"scale_2", 1, Resize, 2}, {"small_screen", 2, Resize, 0}};
    for (const auto& [name, screen, how, scale] : cases) {
        SCOPED_TRACE(name);
        Form1 form;
        form.setScreen(screens[screen]);
        ASSERT_TRUE(form.start());
        form.setCaption(Label2, "Какая река самая длинная в мире?");
        for (int k = 1; k <= 4; ++k) form.setCaption(option(k), std::vector{"Нил", "Амазонка", "Янцзы", "Миссисипи"}[k - 1]);
        QApplication::processEvents();  // the window's activation, so that it is the same in both shots
        const QImage normal = form.grab().toImage();
        const auto grow = [&, how = how, scale = scale](bool back) {
            if (how == F11) QTest::keyClick(&form, Qt::Key_F11);
            if (how == Maximise) form.setWindowState(back ? Qt::WindowNoState : Qt::WindowMaximized);
            if (how == Resize && scale > 0) form.resize(back ? designed.size() : designed.size() * scale);
            QApplication::processEvents();
        };
        grow(false);
        EXPECT_EQ(form.isFullScreen() ? form.size() : QSize(), how == F11 ? screens[screen]->size() : QSize());
        EXPECT_TRUE(scale > 0 || screens[screen]->availableGeometry().contains(form.frameGeometry()));
        EXPECT_TRUE(scale > 0 ? std::abs(form.scale() - scale) < 1e-3 : (form.scale() < 1) == (screen == 2)) << form.scale();
        // The design fills the window one way and is centred the other, the spare room in the window's colour.
        const QRect page = form.page()->geometry();
        EXPECT_TRUE(form.rect().contains(page));
        EXPECT_TRUE(page.width() == form.width() || page.height() == form.height());
        EXPECT_EQ(page.center(), form.rect().center());
        EXPECT_TRUE(page.x() == 0 || form.grab().toImage().pixel(0, form.height() / 2) == 0xFFFFFFFF);
        for (const ControlDef& def : kControls) {
            // A label sized to its text also follows the rounding of its font to whole pixels.
            const double slack = def.autoSize == AutoSize::Off ? 1 : 2 + 0.04 * def.rect.width / 15;
            const QWidget* seen = form.widget({def.name, def.index});
            const QWidget* meant = designed.widget({def.name, def.index});
            for (const auto& [got, want] : {std::pair{seen->x(), meant->x()}, {seen->y(), meant->y()},
                                            {seen->width(), meant->width()}, {seen->height(), meant->height()}})
                EXPECT_NEAR(got, want * form.scale(), slack) << seen->objectName().toStdString();
            EXPECT_NEAR(seen->font().pixelSize(), meant->font().pixelSize() * form.scale(), 1) << def.role;  // or both -1
        }
        expectSharpPicture(qobject_cast<CommandButton*>(form.widget(Command3))->picture(), form.scale());
        expectNothingOverlaps(form);
        screenshot(form, std::string("window_") + name);
        form.setVisible(Option3, false);  // the letters beside shown options only, and in what screen readers hear
        const QImage shot = form.page()->grab().toImage();
        for (int k = 1; k <= 4; ++k) {
            const auto* button = qobject_cast<OptionButton*>(form.widget(option(k)));
            const QRect letter = button->letterRect().translated(button->pos());
            QImage blank = shot.copy(letter);
            blank.fill(shot.pixel(letter.topLeft()));
            EXPECT_EQ(shot.copy(letter) != blank, k != 3) << k;
            EXPECT_TRUE(button->accessibleName().contains(QStringLiteral("АБВГ")[k - 1] + QStringLiteral(": "))) << k;
        }
        form.setVisible(Option3, true);
        if (screen == 2) continue;
        grow(true);
        EXPECT_EQ(form.scale(), 1.0);
        EXPECT_TRUE(form.grab().toImage() == normal) << "back at the designed size, pixel for pixel";
        if (how != F11) continue;
        grow(false);  // the quit question over the full-screen window
        const auto box = makeMessageBox("ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo,
                                        Icon::None, &form, form.scale());
        box->show();
        screenshot(*box, "quit_box_full_screen");
    }
}

}  // namespace
