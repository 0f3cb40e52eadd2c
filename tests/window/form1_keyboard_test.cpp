// Playing Form1 with the keyboard alone, on the real window.
#include <QTest>
#include <algorithm>

#include "form_fixture.h"

namespace window_test {
namespace {

using Keyboard = StartedForm;

// A key as a keyboard of some layout types it.
struct OptionKeyCase {
    const char* name;
    int key;
    QString text;
    Qt::KeyboardModifiers modifiers;
    ControlName chosen;
};

class OptionKey : public StartedForm, public ::testing::WithParamInterface<OptionKeyCase> {
protected:
    void type(QWidget* target) {
        const OptionKeyCase& c = GetParam();
        QTest::sendKeyEvent(QTest::Click, target, static_cast<Qt::Key>(c.key), c.text, c.modifiers);
    }
};

TEST_P(OptionKey, ChoosesItsOptionAsAClickWould) {
    type(form.focusWidget());
    EXPECT_EQ(events.clicks, std::vector{GetParam().chosen});
    EXPECT_TRUE(form.selected({GetParam().chosen}));
    EXPECT_EQ(form.focusWidget(), form.widget({GetParam().chosen}));
}

TEST_P(OptionKey, ReachesTheWindowWhereverTheFocusIs) {
    for (const ControlRef focused : {Option1, Option4, Command4}) {
        form.widget(focused)->setFocus();
        type(form.widget(focused));
    }
    EXPECT_EQ(std::ranges::count(events.clicks, GetParam().chosen), 3);
}

TEST_P(OptionKey, LeavesAHiddenOptionAlone) {
    form.setVisible({GetParam().chosen}, false);
    type(form.focusWidget());
    EXPECT_TRUE(events.clicks.empty());
    EXPECT_FALSE(form.selected({GetParam().chosen}));
    EXPECT_EQ(form.focusWidget(), form.widget(Command1));
}

const QString kCyrillicA = QStringLiteral("А");
const QString kCyrillicBe = QStringLiteral("Б");
const QString kCyrillicVe = QStringLiteral("в");
const QString kCyrillicGe = QStringLiteral("Г");

INSTANTIATE_TEST_SUITE_P(
    Form1, OptionKey,
    ::testing::Values(
        OptionKeyCase{"Digit1", Qt::Key_1, QStringLiteral("1"), Qt::NoModifier, ControlName::Option1},
        OptionKeyCase{"Digit2", Qt::Key_2, QStringLiteral("2"), Qt::NoModifier, ControlName::Option2},
        OptionKeyCase{"KeypadDigit3", Qt::Key_3, QStringLiteral("3"), Qt::KeypadModifier, ControlName::Option3},
        OptionKeyCase{"Digit4", Qt::Key_4, QStringLiteral("4"), Qt::NoModifier, ControlName::Option4},
        OptionKeyCase{"CyrillicCapitalA", 0x0410, kCyrillicA, Qt::ShiftModifier, ControlName::Option1},
        OptionKeyCase{"CyrillicCapitalBe", 0x0411, kCyrillicBe, Qt::ShiftModifier, ControlName::Option2},
        OptionKeyCase{"CyrillicSmallVe", 0x0412, kCyrillicVe, Qt::NoModifier, ControlName::Option3},
        OptionKeyCase{"CyrillicCapitalGe", 0x0413, kCyrillicGe, Qt::ShiftModifier, ControlName::Option4},
        OptionKeyCase{"LatinSmallA", Qt::Key_A, QStringLiteral("a"), Qt::NoModifier, ControlName::Option1},
        OptionKeyCase{"LatinCapitalB", Qt::Key_B, QStringLiteral("B"), Qt::ShiftModifier, ControlName::Option2},
        OptionKeyCase{"LatinSmallV", Qt::Key_V, QStringLiteral("v"), Qt::NoModifier, ControlName::Option3},
        OptionKeyCase{"LatinSmallG", Qt::Key_G, QStringLiteral("g"), Qt::NoModifier, ControlName::Option4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Keyboard, OtherKeysAndChordsChooseNothing) {
    QWidget* target = form.focusWidget();
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key_1, QStringLiteral("1"), Qt::ControlModifier);
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key_2, QStringLiteral("2"), Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key_5, QStringLiteral("5"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, target, static_cast<Qt::Key>(0x0414), QStringLiteral("Д"), Qt::ShiftModifier);
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key_D, QStringLiteral("d"), Qt::NoModifier);
    EXPECT_TRUE(events.clicks.empty());
}

TEST_F(Keyboard, EnterPressesCommand1WhenEnabledWhereverTheFocusIs) {
    for (const ControlRef focused : {Command1, Command2, Option3, Command3, Command4}) {
        form.widget(focused)->setFocus();
        QTest::keyClick(form.widget(focused), Qt::Key_Return);
    }
    QTest::keyClick(form.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(events.clicks, std::vector<ControlName>(6, ControlName::Command1));

    form.setEnabled(Command1, false);
    QTest::keyClick(form.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(events.clicks.size(), 6u);
}

TEST_F(Keyboard, TabRunsThroughTheShownControlsInTheDesignedOrder) {
    const std::vector<ControlRef> order{Command2, Option1, Option2, Option3, Option4, Command3, Command4, Command1};
    for (const ControlRef expected : order) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(form.focusWidget(), form.widget(expected)) << describe(expected);
    }
    QTest::keyClick(form.focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(form.focusWidget(), form.widget(Command4));
}

TEST_F(Keyboard, TabSkipsHiddenOptions) {
    for (const ControlRef hidden : {Option1, Option2, Option4}) form.setVisible(hidden, false);
    const std::vector<ControlRef> order{Command2, Option3, Command3, Command4, Command1};
    for (const ControlRef expected : order) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(form.focusWidget(), form.widget(expected)) << describe(expected);
    }
}

TEST_F(Keyboard, SpacePressesTheFocusedControl) {
    for (const ControlRef focused : {Command2, Option2, Command3}) {
        form.widget(focused)->setFocus();
        QTest::keyClick(form.widget(focused), Qt::Key_Space);
    }
    EXPECT_EQ(events.clicks, (std::vector{ControlName::Command2, ControlName::Option2, ControlName::Command3}));
    EXPECT_TRUE(form.selected(Option2));
}

// One question answered and both lifelines spent without a mouse, as the game
// would drive the window.
TEST_F(Keyboard, AQuestionCanBePlayedWithoutAMouse) {
    events.onClick = [this](ControlName control) {
        if (control == ControlName::Option1 || control == ControlName::Option2 ||
            control == ControlName::Option3 || control == ControlName::Option4)
            form.setEnabled(Command1, true);
        if (control == ControlName::Command3 || control == ControlName::Command4) form.setEnabled({control}, false);
    };
    form.setEnabled(Command1, false);
    QTest::keyClick(form.focusWidget(), Qt::Key_Return);  // nothing chosen yet
    QTest::keyClick(form.focusWidget(), Qt::Key_Escape);  // computer hint
    QTest::keyClick(form.focusWidget(), Qt::Key_Escape);  // spent
    while (form.focusWidget() != form.widget(Command3)) QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(form.focusWidget(), Qt::Key_Space);  // 50/50
    QTest::sendKeyEvent(QTest::Click, form.focusWidget(), static_cast<Qt::Key>(0x0412), QStringLiteral("в"),
                        Qt::NoModifier);
    QTest::keyClick(form.focusWidget(), Qt::Key_Return);  // answer
    EXPECT_EQ(events.clicks, (std::vector{ControlName::Command4, ControlName::Command3, ControlName::Option3,
                                          ControlName::Command1}));
}

}  // namespace
}  // namespace window_test
