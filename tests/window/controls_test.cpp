// The window as designed: every control, where it stands, how it looks, and
// that after auto-size everything still lies inside the client area.
#include <QFontInfo>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <map>

#include "form_fixture.h"
#include "window/controls.h"

namespace window_test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kFace = 0xC0C0C0;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kGreenRgb = 0x008000;
constexpr QRgb kRedRgb = 0xFF0000;
constexpr int kAuto = 0;  // auto-size: width and height follow the caption

// The design in pixels, written out independently of the window's table.
struct Designed {
    const char* name;
    ControlRef ref;
    ControlKind kind;
    std::string caption;
    QRect rect;  // width and height kAuto for auto-size labels
    int fontPixels;  // 0: the window's default font
    bool bold;
    QRgb back;
    QRgb fore;
};

ControlRef ladder(int i) { return {ControlName::Label1, i}; }
ControlRef box(int i) { return {ControlName::Label3, i}; }

const std::vector<Designed>& designed() {
    using enum ControlKind;
    static const std::vector<Designed> rows{
        {"Label16", Label16, Label, "Вы готовы к игре? Если готовы щелкните кнопку \"ОК\"", {304, 8, kAuto, kAuto}, 24, true, 0xFFFF80, 0x008080},
        {"Label2", Label2, Label, "", {200, 80, 809, 281}, 24, true, kWhite, 0x004000},
        {"Option1", Option1, Option, "Option1", {200, 392, 337, 81}, 24, false, kFace, kBlack},
        {"Option2", Option2, Option, "Option2", {200, 536, 329, 81}, 24, false, kFace, kBlack},
        {"Option3", Option3, Option, "Option3", {616, 392, 353, 81}, 24, false, kFace, kBlack},
        {"Option4", Option4, Option, "Option4", {616, 536, 361, 81}, 24, false, kFace, kBlack},
        {"Command1", Command1, Command, "Засчитать ответ", {16, 632, 145, 57}, 16, true, kFace, kBlack},
        {"Command2", Command2, Command, "Прервать игру", {16, 528, 137, 57}, 16, true, kWhite, kBlack},
        {"Command3", Command3, Command, "50/50 ", {848, 648, 113, 73}, 32, false, kRedRgb, kBlack},
        {"Command4", Command4, Command, "Посказка компьютера", {680, 648, 129, 73}, 18, false, kFace, kBlack},
        {"Label3_0", box(0), Label, "", {120, 368, 41, 23}, 0, false, kGreenRgb, kBlack},
        {"Label3_1", box(1), Label, "", {120, 240, 41, 23}, 0, false, kGreenRgb, kBlack},
        {"Label3_2", box(2), Label, "", {120, 112, 41, 23}, 0, false, kGreenRgb, kBlack},
        {"Label3_3", box(3), Label, "", {120, 16, 41, 23}, 0, false, kGreenRgb, kBlack},
        {"Label1_15", ladder(15), Label, "250 баллов", {24, 16, kAuto, kAuto}, 16, true, kGreenRgb, kBlack},
        {"Label1_14", ladder(14), Label, "200 баллов", {24, 48, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_13", ladder(13), Label, "175 баллов", {24, 80, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_12", ladder(12), Label, "150 баллов", {24, 112, kAuto, kAuto}, 16, true, kGreenRgb, kBlack},
        {"Label1_11", ladder(11), Label, "125 баллов", {24, 144, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_10", ladder(10), Label, "100 баллов", {24, 176, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_9", ladder(9), Label, "80 баллов", {32, 208, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_8", ladder(8), Label, "64 балла", {32, 240, kAuto, kAuto}, 16, true, kGreenRgb, kBlack},
        {"Label1_7", ladder(7), Label, "48 баллов", {32, 272, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_6", ladder(6), Label, "32 балла", {32, 304, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_5", ladder(5), Label, "16 баллов", {32, 336, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_4", ladder(4), Label, "8 баллов", {32, 368, kAuto, kAuto}, 16, true, kGreenRgb, kBlack},
        {"Label1_3", ladder(3), Label, "4 балла", {40, 400, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_2", ladder(2), Label, "2 балла", {40, 432, kAuto, kAuto}, 16, true, kFace, kBlack},
        {"Label1_1", ladder(1), Label, "1 балл", {40, 464, kAuto, kAuto}, 16, true, kRedRgb, kBlack},
    };
    return rows;
}

class DesignedControl : public FormFixture, public ::testing::WithParamInterface<Designed> {};

TEST_P(DesignedControl, HasItsKindCaptionRectangleFontAndColours) {
    const Designed& d = GetParam();
    QWidget* widget = form.widget(d.ref);
    ASSERT_NE(widget, nullptr);

    switch (d.kind) {
    case ControlKind::Label:
        ASSERT_NE(qobject_cast<QLabel*>(widget), nullptr);
        EXPECT_EQ(label(d.ref)->text().toStdString(), d.caption);
        EXPECT_EQ(label(d.ref)->focusPolicy(), Qt::NoFocus);
        break;
    case ControlKind::Option:
        ASSERT_NE(qobject_cast<QRadioButton*>(widget), nullptr);
        EXPECT_EQ(button(d.ref)->text().toStdString(), d.caption);
        EXPECT_FALSE(button(d.ref)->isChecked());
        break;
    case ControlKind::Command:
        ASSERT_NE(qobject_cast<QPushButton*>(widget), nullptr);
        EXPECT_FALSE(qobject_cast<QPushButton*>(widget)->autoDefault());
        break;
    }
    EXPECT_EQ(form.caption(d.ref), d.caption);
    EXPECT_TRUE(form.controlVisible(d.ref));
    EXPECT_TRUE(form.controlEnabled(d.ref));

    EXPECT_EQ(widget->pos(), d.rect.topLeft());
    if (d.rect.width() != kAuto) {
        EXPECT_EQ(widget->size(), d.rect.size());
    }

    if (d.fontPixels != 0) {
        EXPECT_EQ(QFontInfo(widget->font()).family(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(widget->font().pixelSize(), d.fontPixels);
        EXPECT_EQ(widget->font().bold(), d.bold);
        EXPECT_FALSE(widget->font().italic());
        EXPECT_FALSE(widget->font().underline());
    }
    EXPECT_EQ(form.backColor(d.ref).rgb() & 0xFFFFFF, d.back);
    EXPECT_EQ(form.foreColor(d.ref).rgb() & 0xFFFFFF, d.fore);
    EXPECT_FALSE(widget->accessibleName().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Form1, DesignedControl, ::testing::ValuesIn(designed()),
                         [](const auto& info) { return std::string(info.param.name); });

using DesignedWindow = FormFixture;

TEST_F(DesignedWindow, HasExactlyTheDesignedControls) {
    EXPECT_EQ(form.findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(), 21);
    EXPECT_EQ(form.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly).size(), 4);
    EXPECT_EQ(form.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly).size(), 4);
    for (int i = 1; i <= 15; ++i) EXPECT_NO_THROW(form.widget(ladder(i))) << i;
    for (int i = 0; i <= 3; ++i) EXPECT_NO_THROW(form.widget(box(i))) << i;
    for (const ControlRef missing : {ladder(0), ladder(16), ladder(-1), box(-1), box(4),
                                     ControlRef{ControlName::Label2, 0}})
        EXPECT_THROW(form.widget(missing), std::out_of_range) << describe(missing);
}

TEST_F(DesignedWindow, HasItsTitleSizeColourAndIcon) {
    EXPECT_EQ(form.title(), "Вопрос 1");
    EXPECT_EQ(form.size(), QSize(1018, 740));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.palette().color(QPalette::Window).rgb() & 0xFFFFFF, kWhite);
    EXPECT_FALSE(form.windowIcon().isNull());
}

TEST_F(DesignedWindow, CaptionsWithBlanksAndQuotesAreKept) {
    EXPECT_EQ(form.caption(Command3).size(), 6u);
    EXPECT_EQ(form.caption(Command3).back(), ' ');
    EXPECT_NE(label(Label16)->text().indexOf(QStringLiteral("\"ОК\"")), -1);
    // The ready question ends with Cyrillic О and К in straight quotes.
    EXPECT_TRUE(label(Label16)->text().endsWith(QString::fromUtf8("\"\u041E\u041A\"")));
}

TEST_F(DesignedWindow, Command4BreaksItsCaptionAtTheBlank) {
    EXPECT_EQ(button(Command4)->text(), QStringLiteral("Посказка\nкомпьютера"));
    for (const ControlRef one : {Command1, Command2, Command3})
        EXPECT_FALSE(button(one)->text().contains(QLatin1Char('\n'))) << describe(one);
}

TEST_F(DesignedWindow, EveryControlLiesInsideTheClientArea) {
    QRect all;
    for (const auto& d : designed()) {
        const QRect r = form.widget(d.ref)->geometry();
        EXPECT_TRUE(form.rect().contains(r)) << d.name << " at " << r.x() << "," << r.y() << " " << r.width()
                                             << "x" << r.height();
        all |= r;
    }
    const QRect label2 = form.widget(Label2)->geometry();
    EXPECT_EQ(all.right(), label2.right());
    EXPECT_EQ(all.bottom(), form.widget(Command3)->geometry().bottom());
    EXPECT_EQ(all.bottom(), form.widget(Command4)->geometry().bottom());
    for (const auto& d : designed()) {
        const QRect r = form.widget(d.ref)->geometry();
        if (d.ref != Label2) {
            EXPECT_LT(r.right(), label2.right()) << d.name;
        }
        if (d.ref != Command3 && d.ref != Command4) {
            EXPECT_LT(r.bottom(), all.bottom()) << d.name;
        }
    }
}

TEST_F(DesignedWindow, AutoSizedLabelsShowTheirCaptionOnOneLine) {
    std::vector<ControlRef> autoSized{Label16};
    for (int i = 1; i <= 15; ++i) autoSized.push_back(ladder(i));
    for (const ControlRef ref : autoSized) {
        const QLabel* l = label(ref);
        const QFontMetrics metrics(l->font());
        EXPECT_GE(l->width(), metrics.horizontalAdvance(l->text())) << describe(ref);
        EXPECT_GE(l->height(), metrics.height()) << describe(ref);
        EXPECT_LT(l->height(), 2 * metrics.height()) << describe(ref);
    }
}

TEST_F(DesignedWindow, LadderStepsStandApartAndClearOfTheMilestoneBoxes) {
    const int boxesLeft = form.widget(box(0))->x();
    for (int i = 1; i <= 15; ++i) {
        const QRect step = form.widget(ladder(i))->geometry();
        EXPECT_LT(step.right(), boxesLeft) << i;
        if (i < 15) {
            EXPECT_LT(form.widget(ladder(i + 1))->geometry().bottom(), step.top()) << i;
        }
    }
    const std::map<int, int> boxOfMilestone{{4, 0}, {8, 1}, {12, 2}, {15, 3}};
    for (const auto& [step, boxIndex] : boxOfMilestone)
        EXPECT_EQ(form.widget(box(boxIndex))->y(), form.widget(ladder(step))->y()) << step;
}

TEST_F(DesignedWindow, LabelsLieBehindTheButtons) {
    const QObjectList& stacking = form.children();  // bottom first
    int topLabel = -1;
    int lowestButton = static_cast<int>(stacking.size());
    for (int i = 0; i < stacking.size(); ++i) {
        if (qobject_cast<QLabel*>(stacking[i]) != nullptr) topLabel = std::max(topLabel, i);
        if (qobject_cast<QAbstractButton*>(stacking[i]) != nullptr) lowestButton = std::min(lowestButton, i);
    }
    EXPECT_LT(topLabel, lowestButton);
}

TEST_F(DesignedWindow, EveryControlShowsItsBackColourToItsCorners) {
    for (const auto& d : designed()) {
        if (d.kind == ControlKind::Command) continue;
        QWidget* widget = form.widget(d.ref);
        const QImage image = widget->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
            EXPECT_EQ(image.pixel(corner) & 0xFFFFFF, d.back) << d.name << " " << corner.x() << "," << corner.y();
    }
}

TEST_F(DesignedWindow, PictureButtonsShowTheirDesignedFace) {
    for (const auto& [ref, face] : {std::pair{Command2, kWhite}, std::pair{Command3, kRedRgb}}) {
        const QImage image = form.widget(ref)->grab().toImage();
        EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, face) << describe(ref);
        EXPECT_EQ(image.pixel(image.width() - 4, image.height() / 2) & 0xFFFFFF, face) << describe(ref);
    }
}

TEST_F(DesignedWindow, TabOrderRunsThroughTheButtonsAsDesigned) {
    const std::vector<ControlRef> expected{Command1, Command2, Option1, Option2,
                                           Option3,  Option4,  Command3, Command4};
    std::vector<QWidget*> chain;
    QWidget* w = form.widget(Command1);
    do {
        if (w->focusPolicy() != Qt::NoFocus && w != &form) chain.push_back(w);
        w = w->nextInFocusChain();
    } while (w != form.widget(Command1));
    ASSERT_EQ(chain.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(chain[i], form.widget(expected[i])) << describe(expected[i]);
}

TEST_F(DesignedWindow, Command1HoldsTheFocusWhenTheWindowOpens) {
    ASSERT_TRUE(form.start());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.widget(Command1));
}

TEST_F(DesignedWindow, ControlsHaveAccessibleNames) {
    EXPECT_EQ(form.widget(ladder(15))->accessibleName(), QStringLiteral("Ступень 15"));
    EXPECT_EQ(form.widget(ladder(15))->accessibleDescription(), QStringLiteral("250 баллов"));
    EXPECT_EQ(form.widget(Label16)->accessibleName(), label(Label16)->text());
    EXPECT_EQ(form.widget(Label2)->accessibleName(), QStringLiteral("Текст вопроса"));
    form.setCaption(Label2, "Столица Франции?");
    EXPECT_EQ(form.widget(Label2)->accessibleName(), QStringLiteral("Столица Франции?"));
    EXPECT_EQ(form.widget(Command3)->accessibleName(), QStringLiteral("50/50 "));
    EXPECT_EQ(form.widget(Command4)->accessibleName(), QStringLiteral("Посказка компьютера"));
    form.setCaption(Option2, "Москва");
    EXPECT_EQ(form.widget(Option2)->accessibleName(), QStringLiteral("Ответ Б: Москва"));
    form.setCaption(Option2, "");
    EXPECT_FALSE(form.widget(Option2)->accessibleName().isEmpty());
}

}  // namespace
}  // namespace window_test
