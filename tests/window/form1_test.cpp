// The operations of FormOps on the real widgets, and the event boundary.
#include <QButtonGroup>
#include <QDir>
#include <QTest>
#include <algorithm>
#include <stdexcept>

#include "form_fixture.h"
#include "window/appearance.h"

namespace window_test {
namespace {

using Operations = StartedForm;

struct CaptionCase {
    const char* name;
    ControlRef control;
    std::string caption;
    QString shown;
};

class CaptionRoundTrip : public StartedForm, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(CaptionRoundTrip, GivesBackTheTextAndShowsIt) {
    const CaptionCase& c = GetParam();
    form.setCaption(c.control, c.caption);
    EXPECT_EQ(form.caption(c.control), c.caption);
    QWidget* widget = form.widget(c.control);
    const QString shown = qobject_cast<QLabel*>(widget) != nullptr ? label(c.control)->text()
                                                                  : button(c.control)->text();
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, CaptionRoundTrip,
    ::testing::Values(
        CaptionCase{"EmptyLabel", Label16, "", ""},
        CaptionCase{"CyrillicLabel", Label2, "Столица Франции?", "Столица Франции?"},
        CaptionCase{"LineEndsShownAsNewLines", Label2, "Результаты игры:\r\n Всего баллов: 10\r\nОтлично",
                    "Результаты игры:\n Всего баллов: 10\nОтлично"},
        CaptionCase{"MarkupShownAsText", Label2, "<b>жирный</b> & <i>", "<b>жирный</b> & <i>"},
        CaptionCase{"LadderStep", ControlRef{ControlName::Label1, 7}, "1000 баллов", "1000 баллов"},
        // Buttons draw "&&" as one '&' and never as a keyboard mnemonic.
        CaptionCase{"AmpersandOnOption", Option3, "Q&A", "Q&&A"},
        CaptionCase{"EmptyOption", Option1, "", ""},
        CaptionCase{"ShortCommand", Command1, "Ok", "Ok"},
        CaptionCase{"CommandWrapsAtBlanks", Command1, "Очень длинная надпись", "Очень длинная\nнадпись"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Operations, TitleIsShownAtOnce) {
    form.setTitle("ВОПРОС 12");
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ВОПРОС 12"));
    EXPECT_EQ(form.title(), "ВОПРОС 12");
}

TEST_F(Operations, VisibilityOfLabelsAndOptions) {
    for (const ControlRef control : {Label2, Label16, Option1, Option4, ControlRef{ControlName::Label1, 3}}) {
        form.setVisible(control, false);
        EXPECT_FALSE(form.controlVisible(control)) << describe(control);
        EXPECT_FALSE(form.widget(control)->isVisible()) << describe(control);
        form.setVisible(control, true);
        EXPECT_TRUE(form.controlVisible(control)) << describe(control);
        EXPECT_TRUE(form.widget(control)->isVisible()) << describe(control);
    }
}

TEST_F(Operations, ColoursAreShownAtOnce) {
    const ControlRef step3{ControlName::Label1, 3};
    form.setBackColor(step3, kRed);
    form.setForeColor(Label16, kRed);
    form.setBackColor(Label2, 0x8000000F);
    EXPECT_EQ(form.backColor(step3), QColor(255, 0, 0));
    EXPECT_EQ(form.foreColor(Label16), QColor(255, 0, 0));
    EXPECT_EQ(form.backColor(Label2), QColor(192, 192, 192));
    EXPECT_EQ(form.widget(step3)->grab().toImage().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(Operations, DisabledTextStaysGrey) {
    form.setForeColor(Label16, kRed);
    EXPECT_NE(form.widget(Label16)->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(Operations, Label2WrapsItsTextAndFollowsItsHeight) {
    QLabel* text = label(Label2);
    const int width = text->width();
    const QPoint topLeft = text->pos();
    const int line = text->fontMetrics().height();
    form.setWordWrapAutoSize(Label2);
    // No option shown: Label2 has the room down to the buttons.
    for (const ControlRef option : {Option1, Option2, Option3, Option4}) form.setVisible(option, false);

    form.setCaption(Label2, "Коротко");
    EXPECT_EQ(text->height(), line);
    std::string longText;
    for (int i = 0; i < 8; ++i)
        longText += "Это длинный вопрос, который никак не помещается в одну строку и потому переносится по "
                    "словам. ";
    form.setCaption(Label2, longText);
    EXPECT_TRUE(text->wordWrap());
    EXPECT_EQ(text->width(), width);
    EXPECT_EQ(text->pos(), topLeft);
    EXPECT_GE(text->height(), 10 * line);
    EXPECT_GE(text->height(), text->heightForWidth(width));
    EXPECT_GT(text->height(), 281);  // grew beyond its designed rectangle

    form.setCaption(Label2, "Коротко");
    EXPECT_EQ(text->height(), line);
}

TEST_F(Operations, WordWrapAppliesToLabelsOnly) {
    EXPECT_THROW(form.setWordWrapAutoSize(Command1), std::invalid_argument);
    EXPECT_THROW(form.clearSelection(Label2), std::invalid_argument);
}

TEST_F(Operations, TagIsKeptUnchanged) {
    EXPECT_EQ(form.tag(Command1), "");
    for (const std::string text : {"0", "1", "2", "", " любой текст "}) {
        form.setTag(Command1, text);
        EXPECT_EQ(form.tag(Command1), text);
    }
    EXPECT_EQ(form.tag(Command2), "");
}

TEST_F(Operations, ClickingAnOptionSelectsItAndClearsTheOthers) {
    const std::vector<ControlRef> options{Option1, Option2, Option3, Option4};
    for (const ControlRef chosen : {Option3, Option1, Option4, Option2}) {
        QTest::mouseClick(form.widget(chosen), Qt::LeftButton);
        for (const ControlRef other : options) EXPECT_EQ(form.selected(other), other == chosen) << describe(other);
    }
}

TEST_F(Operations, ClearSelectionReallyClears) {
    QTest::mouseClick(form.widget(Option2), Qt::LeftButton);
    ASSERT_TRUE(form.selected(Option2));
    for (const ControlRef option : {Option1, Option2, Option3, Option4}) form.clearSelection(option);
    for (const ControlRef option : {Option1, Option2, Option3, Option4}) EXPECT_FALSE(form.selected(option));
    QTest::mouseClick(form.widget(Option3), Qt::LeftButton);
    QTest::mouseClick(form.widget(Option4), Qt::LeftButton);
    EXPECT_FALSE(form.selected(Option3));
    EXPECT_TRUE(form.selected(Option4));
}

TEST_F(Operations, HiddenOptionCannotBeClicked) {
    form.setVisible(Option2, false);
    QTest::mouseClick(form.widget(Option2), Qt::LeftButton);
    button(Option2)->click();
    EXPECT_TRUE(events.clicks.empty());
    form.setVisible(Option2, true);
    QTest::mouseClick(form.widget(Option2), Qt::LeftButton);
    EXPECT_EQ(events.clicks, std::vector{ControlName::Option2});
}

TEST_F(Operations, DisabledButtonGivesNoClick) {
    for (const ControlRef command : {Command1, Command2, Command3, Command4}) {
        form.setEnabled(command, false);
        EXPECT_FALSE(form.controlEnabled(command));
        QTest::mouseClick(form.widget(command), Qt::LeftButton);
    }
    EXPECT_TRUE(events.clicks.empty());
    form.setEnabled(Command3, true);
    QTest::mouseClick(form.widget(Command3), Qt::LeftButton);
    EXPECT_EQ(events.clicks, std::vector{ControlName::Command3});
}

TEST_F(Operations, DisabledPictureButtonKeepsItsPicture) {
    const QImage enabled = form.widget(Command3)->grab().toImage();
    form.setEnabled(Command3, false);
    const QImage disabled = form.widget(Command3)->grab().toImage();
    EXPECT_NE(enabled, disabled);  // the caption greys
    const int x = (enabled.width() - 32) / 2;
    int top = 0;
    while (top < enabled.height() && enabled.pixel(x, top) != 0xFF800000u) ++top;
    ASSERT_LT(top, enabled.height());
    EXPECT_EQ(enabled.copy(x, top, 32, 32), disabled.copy(x, top, 32, 32));
}

struct ClickCase {
    const char* name;
    ControlRef control;
    ControlName delivered;
};

class ClickDelivery : public StartedForm, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickDelivery, ReachesTheHandlerOnce) {
    QTest::mouseClick(form.widget(GetParam().control), Qt::LeftButton);
    EXPECT_EQ(events.clicks, std::vector{GetParam().delivered});
}

INSTANTIATE_TEST_SUITE_P(Form1, ClickDelivery,
                         ::testing::Values(ClickCase{"Command1", Command1, ControlName::Command1},
                                           ClickCase{"Command2", Command2, ControlName::Command2},
                                           ClickCase{"Command3", Command3, ControlName::Command3},
                                           ClickCase{"Command4", Command4, ControlName::Command4},
                                           ClickCase{"Option1", Option1, ControlName::Option1},
                                           ClickCase{"Option2", Option2, ControlName::Option2},
                                           ClickCase{"Option3", Option3, ControlName::Option3},
                                           ClickCase{"Option4", Option4, ControlName::Option4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Operations, EscPressesCommand4AndEnterNeverDoes) {
    QTest::keyClick(form.widget(Command1), Qt::Key_Escape);
    EXPECT_EQ(events.clicks, std::vector{ControlName::Command4});
    form.widget(Command4)->setFocus();
    QTest::keyClick(form.widget(Command4), Qt::Key_Return);
    QTest::keyClick(form.widget(Command4), Qt::Key_Enter);
    EXPECT_EQ(std::ranges::count(events.clicks, ControlName::Command4), 1);
    form.setEnabled(Command4, false);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(std::ranges::count(events.clicks, ControlName::Command4), 1);
}

TEST_F(Operations, StatusLinesOfTheGameFitTheWindow) {
    for (const std::string text :
         {"ИДЕТ ИГРА БУДЬТЕ ВНИМАТЕЛЬНЫ!!!", "ИГРА ОКОНЧЕНА У ВАС БАЛЛОВ НЕТ", "ИГРА ОКОНЧЕНА У ВАС 150 БАЛЛОВ!",
          "ИГРА ОКОНЧЕНА У ВАС 250 БАЛЛОВ!  ВЫ ПОБЕДИТЕЛЬ!!!!", "У Вас 250 баллов"}) {
        form.setCaption(Label16, text);
        EXPECT_TRUE(form.rect().contains(form.widget(Label16)->geometry())) << text;
        EXPECT_LT(form.widget(Label16)->height(), 2 * form.widget(Label16)->fontMetrics().height()) << text;
    }
}

TEST_F(Operations, LabelsGiveNoClicks) {
    QTest::mouseClick(form.widget(Label2), Qt::LeftButton);
    QTest::mouseClick(form.widget(ControlRef{ControlName::Label1, 1}), Qt::LeftButton);
    EXPECT_TRUE(events.clicks.empty());
}

using EventBoundary = FormFixture;

TEST_F(EventBoundary, LoadComesOnceBeforeTheWindowShows) {
    bool shownAtLoad = true;
    events.onLoad = [&] { shownAtLoad = form.isVisible(); };
    ASSERT_TRUE(form.start());
    ASSERT_TRUE(form.start());
    EXPECT_EQ(events.loads, 1);
    EXPECT_FALSE(shownAtLoad);
    EXPECT_TRUE(form.isVisible());
}

struct FailureCase {
    const char* name;
    std::function<void(Form1&)> handler;
    std::vector<ShownBox> boxes;
    int status;
};

const std::vector<FailureCase>& failureCases() {
    static const std::vector<FailureCase> cases{
        {"ExceptionBecomesStopOnFailure", [](Form1&) { throw std::runtime_error("test3.txt: строка 7: нет ответа"); },
         {{"test3.txt: строка 7: нет ответа", "Ошибка", Buttons::Ok, Icon::Critical}}, 1},
        {"StopOnFailure", [](Form1& f) { f.stopOnFailure("Файл не найден"); },
         {{"Файл не найден", "Ошибка", Buttons::Ok, Icon::Critical}}, 1},
        {"EndProgram", [](Form1& f) { f.endProgram(); }, {}, 0},
        {"EndProgramAfterABox",
         [](Form1& f) {
             f.messageBox("До новой встречи", "ВЫХОД ИЗ ИГРЫ", Buttons::Ok, Icon::None);
             f.endProgram();
         },
         {{"До новой встречи", "ВЫХОД ИЗ ИГРЫ", Buttons::Ok, Icon::None}}, 0},
        {"ProgramEndCarriesItsStatus", [](Form1&) { throw ProgramEnd{3}; }, {}, 3},
        {"UnknownException", [](Form1&) { throw 42; },
         {{"Неизвестная ошибка", "Ошибка", Buttons::Ok, Icon::Critical}}, 1},
    };
    return cases;
}

class FailureAtTheBoundary : public FormFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureAtTheBoundary, InAClickEndsTheProgram) {
    ASSERT_TRUE(form.start());
    bool continued = false;
    events.onClick = [&](ControlName) {
        GetParam().handler(form);
        continued = true;
    };
    QTest::mouseClick(form.widget(Command2), Qt::LeftButton);
    EXPECT_FALSE(continued);
    EXPECT_EQ(boxes, GetParam().boxes);
    EXPECT_EQ(endings, std::vector{GetParam().status});
    EXPECT_TRUE(form.ended());
    EXPECT_EQ(form.exitStatus(), GetParam().status);

    // Nothing reaches the game after the end.
    QTest::mouseClick(form.widget(Command1), Qt::LeftButton);
    EXPECT_EQ(events.clicks.size(), 1u);
    EXPECT_EQ(endings.size(), 1u);
}

TEST_P(FailureAtTheBoundary, InLoadEndsBeforeTheWindowShows) {
    events.onLoad = [&] { GetParam().handler(form); };
    EXPECT_EQ(form.run(), GetParam().status);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(boxes, GetParam().boxes);
    EXPECT_EQ(endings, std::vector{GetParam().status});
    EXPECT_FALSE(form.start());
}

INSTANTIATE_TEST_SUITE_P(Form1, FailureAtTheBoundary, ::testing::ValuesIn(failureCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EventBoundary, ClosingTheWindowEndsSilently) {
    ASSERT_TRUE(form.start());
    form.close();
    EXPECT_EQ(endings, std::vector{0});
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(events.clicks.empty());
}

TEST_F(EventBoundary, DefaultEndingDuringLoadReturnsTheStatusWithoutShowing) {
    form.setEndHandler({});
    events.onLoad = [&] { form.stopOnFailure("Нет файла tet0.txt"); };
    EXPECT_EQ(form.run(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.ended());
}

TEST_F(EventBoundary, RepliesOfTheBoxesReachTheGame) {
    ASSERT_TRUE(form.start());
    reply = Reply::No;
    Reply seen = Reply::Ok;
    events.onClick = [&](ControlName) {
        seen = form.messageBox("ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo,
                               Icon::None);
    };
    QTest::mouseClick(form.widget(Command2), Qt::LeftButton);
    EXPECT_EQ(seen, Reply::No);
    EXPECT_FALSE(form.ended());
}

TEST_F(EventBoundary, ScreenshotOfTheDesignedWindow) {
    ASSERT_TRUE(form.start());
    const QImage shot = form.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(1018, 740));
    // Step 1 red, step 15 green, Label16 light yellow, the window white.
    EXPECT_EQ(shot.pixel(41, 465) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shot.pixel(25, 17) & 0xFFFFFF, 0x008000u);
    EXPECT_EQ(shot.pixel(305, 9) & 0xFFFFFF, 0xFFFF80u);
    EXPECT_EQ(shot.pixel(1015, 737) & 0xFFFFFF, 0xFFFFFFu);
    const QString dir = QStringLiteral(QUIZ_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(shot.save(dir + QStringLiteral("/window.png")));
}

}  // namespace
}  // namespace window_test
