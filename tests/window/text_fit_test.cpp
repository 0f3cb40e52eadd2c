// Long texts shrink, then are cut with the whole text at hand, and never run
// over another control; the answer letters; the window on a small screen.
// Screenshots of each land in <build>/screenshots/.
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

#include "window/form1.h"
#include "window/text_fit.h"
#include "window/widgets.h"

namespace window_test {
namespace {

using namespace window;

// A started window whose boxes and end nobody answers: none come up here.
class StartedForm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(form.start()); }
    Form1 form;
};

void screenshot(QWidget& widget, const std::string& name) {
    const QString folder = QStringLiteral(QUIZ_BINARY_DIR "/screenshots/");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(widget.grab().save(folder + QString::fromStdString(name) + ".png")) << name;
}

// Every shown control lies in the client area, clear of every other one.
void expectNothingOverlaps(const Form1& form) {
    std::vector<QWidget*> shown;
    for (const ControlDef& def : kControls)
        if (QWidget* widget = form.widget({def.name, def.index}); !widget->isHidden()) shown.push_back(widget);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::string name = shown[i]->objectName().toStdString();
        EXPECT_TRUE(form.rect().contains(shown[i]->geometry())) << name;
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << name << " " << shown[j]->objectName().toStdString();
    }
}

struct TextKind {
    const char* name;
    const char* fitName;  // as the authors' tool asks about it
    ControlRef control;
    bool optionsShown;
    std::string unit;  // repeated, `separator` between, to make the text longer
    std::string separator;
    std::string repeated(int count) const {
        std::string text = unit;
        for (int i = 1; i < count; ++i) text.append(separator).append(unit);
        return text;
    }
};

const TextKind kKinds[] = {
    {"Question", "Label2", Label2, true, "Какая река самая длинная?", " "},
    {"Introduction", "Label2.intro", Label2, false, "Строка вступления.", "\r\n"},
    {"Answer", "Option1", Option1, true, "ответ", " "},
    {"AnswerBottomRight", "Option4", Option4, true, "ответ", " "},
    {"StatusLine", "Label16", Label16, true, "ИГРА", " "},
};
constexpr const char* kLengthNames[] = {"JustFits", "OneLineMore", "FarTooLong"};
constexpr Fit kExpected[] = {Fit::AsDesigned, Fit::Shrunk, Fit::Elided};

class LongText : public StartedForm, public ::testing::WithParamInterface<std::tuple<TextKind, int>> {};

TEST_P(LongText, ShrinksThenIsCutWithTheWholeTextAtHandAndStaysClear) {
    const auto& [kind, length] = GetParam();
    form.setWordWrapAutoSize(Label2);
    form.setCaption(Label2, "Какой ответ верный?");
    for (int k = 1; k <= 4; ++k) {
        form.setCaption(option(k), "Короткий ответ");
        form.setVisible(option(k), kind.optionsShown);
    }
    // The longest text shown as designed, by the measure the tool uses.
    int fitting = 1;
    while (fitting < 500 && textFit(kind.fitName, kind.repeated(fitting + 1)) == Fit::AsDesigned) ++fitting;
    const std::string text = kind.repeated(length == 0 ? fitting : length == 1 ? fitting + 1 : 20 * fitting);
    QWidget* widget = form.widget(kind.control);
    const int designedPixels = widget->font().pixelSize();
    form.setCaption(kind.control, text);
    const Fit fit = kExpected[length];
    EXPECT_EQ(textFit(kind.fitName, text), fit);
    const QString whole = displayText(text);
    const int pixels = widget->font().pixelSize();
    EXPECT_EQ(pixels == designedPixels, fit == Fit::AsDesigned) << pixels;
    EXPECT_GE(pixels, std::lround(designedPixels * 0.7));
    if (fit == Fit::Elided) {
        EXPECT_TRUE(form.shownText(kind.control).endsWith(QChar(0x2026)));
        EXPECT_EQ(widget->toolTip(), whole);
        EXPECT_EQ(widget->accessibleDescription(), whole);
    } else {
        EXPECT_EQ(form.shownText(kind.control), whole);
        EXPECT_TRUE(widget->toolTip().isEmpty());
    }
    expectNothingOverlaps(form);
    screenshot(form, std::string("text_") + kind.name + "_" + kLengthNames[length]);
}

INSTANTIATE_TEST_SUITE_P(Form1, LongText, ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Range(0, 3)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + kLengthNames[std::get<1>(info.param)];
                         });

using Letters = StartedForm;

TEST_F(Letters, StandBesideShownOptionsOnlyAndReachScreenReaders) {
    const QString letters = QStringLiteral("АБВГ");
    const std::string answers[] = {"Нил", "Амазонка", "Янцзы", "Миссисипи"};
    form.setCaption(Label2, "Какая река самая длинная?");
    for (int k = 1; k <= 4; ++k) form.setCaption(option(k), answers[k - 1]);
    screenshot(form, "letters");
    form.setVisible(Option3, false);
    const QImage shot = form.grab().toImage();
    for (int k = 1; k <= 4; ++k) {
        const auto* button = qobject_cast<OptionButton*>(form.widget(option(k)));
        const QRect letter = button->letterRect().translated(button->pos());
        int ink = 0;
        for (int y = letter.top(); y <= letter.bottom(); ++y)
            for (int x = letter.left(); x <= letter.right(); ++x) ink += qGray(shot.pixel(x, y)) < 96 ? 1 : 0;
        EXPECT_EQ(ink > 0, k != 3) << k;
        EXPECT_EQ(form.caption(option(k)), answers[k - 1]);
        EXPECT_TRUE(button->accessibleName().contains(letters[k - 1])) << k;
        EXPECT_TRUE(button->accessibleName().contains(QString::fromStdString(answers[k - 1]))) << k;
    }
}

TEST(Scaling, OnASmallScreenTheWindowFitsInProportionOnABigOneNothingChanges) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    const Form1 designed;
    for (QScreen* screen : screens) {
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
            if (def.font.points > 0) {
                EXPECT_NEAR(seen->font().pixelSize(), meant->font().pixelSize() * scale, 1) << def.role;
            }
        }
        if (small) screenshot(form, "window_small_screen");
    }
}

}  // namespace
}  // namespace window_test
