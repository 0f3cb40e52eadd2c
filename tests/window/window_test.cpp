// The real window, offscreen: what the player sees of the design, what each
// operation shows, which clicks and keys reach the game, and the boundary
// where a handler's end or failure ends the program.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

#include "window/form1.h"
#include "window/message_box.h"

namespace {

using namespace window;

class Events : public FormEvents {
public:
    void load() override { onLoad ? onLoad() : void(); }
    void click(ControlName control) override {
        clicks.push_back(control);
        if (onClick) onClick();
    }
    std::vector<ControlName> clicks;
    std::function<void()> onLoad, onClick;
};

class Window : public ::testing::Test {
protected:
    Window() {
        form.setEvents(&events);
        form.setMessageResponder([this](const std::string& text, const std::string& title, Buttons, Icon icon) {
            boxes.push_back(title + ": " + text + (icon == Icon::Critical ? " (critical)" : ""));
            return Reply::No;
        });
        form.setEndHandler([this](int status) { endings.push_back(status); });
    }
    QAbstractButton* button(ControlRef c) const { return qobject_cast<QAbstractButton*>(form.widget(c)); }
    QString shown(ControlRef c) const {
        const auto* label = qobject_cast<QLabel*>(form.widget(c));
        return label ? label->text() : button(c)->text();
    }
    static ControlRef ref(const ControlDef& def) { return {def.name, def.index}; }

    Form1 form;
    Events events;
    std::vector<std::string> boxes;
    std::vector<int> endings;
};

TEST_F(Window, OpensAsDesignedWithEverythingInsideAndReadable) {
    bool shownAtLoad = true;
    events.onLoad = [&] { shownAtLoad = form.isVisible(); };
    ASSERT_TRUE(form.start());
    ASSERT_TRUE(form.start());
    EXPECT_FALSE(shownAtLoad) << "load comes before the window shows";
    EXPECT_EQ(form.focusWidget(), form.widget(Command1));
    const QImage shot = form.grab().toImage();
    ASSERT_TRUE(QDir().mkpath(QUIZ_BINARY_DIR "/screenshots"));
    shot.save(QUIZ_BINARY_DIR "/screenshots/window.png");
    for (const ControlDef& def : kControls) {
        QWidget* w = form.widget(ref(def));
        const std::string name = describe(ref(def));
        EXPECT_TRUE(form.rect().contains(w->geometry())) << name;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << name;
        if (def.kind == ControlKind::Command) continue;
        // Its designed colour to its corners, and its whole caption on one line when it sizes itself.
        const QImage image = w->grab().toImage();
        EXPECT_EQ(image.pixel(0, 0), form.backColor(ref(def)).rgb()) << name;
        EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), form.backColor(ref(def)).rgb()) << name;
        if (def.autoSize == AutoSize::OneLine) {
            const QFontMetrics metrics(w->font());
            EXPECT_GE(w->width(), metrics.horizontalAdvance(shown(ref(def)))) << name;
            EXPECT_LT(w->height(), 2 * metrics.height()) << name;
        }
    }
    // The designed colours as the player sees them: step 1 red, 15 green, the status line yellow.
    for (const auto& [c, rgb] : {std::pair{item(1), 0xFF0000u}, {item(15), 0x008000u}, {Label16, 0xFFFF80u}})
        EXPECT_EQ(form.backColor(c).rgb() & 0xFFFFFF, rgb) << describe(c);
    EXPECT_EQ(shot.pixel(shot.width() - 2, shot.height() - 2) & 0xFFFFFF, 0xFFFFFFu) << "the window white";
    for (const auto& [c, face] : {std::pair{Command2, 0xFFFFFFu}, {Command3, 0xFF0000u}}) {
        const QImage image = form.widget(c)->grab().toImage();
        EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, face) << describe(c);
    }
    EXPECT_EQ(shown(Command4), QStringLiteral("Посказка\nкомпьютера"));
    std::vector<QWidget*> chain;  // the Tab order
    for (QWidget* w = form.widget(Command1); chain.size() < 9; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
    const ControlRef order[] = {Command1, Command2, Option1, Option2, Option3, Option4, Command3, Command4, Command1};
    for (std::size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(chain[i], form.widget(order[i])) << i;
}

TEST_F(Window, ShowsEachOperationAtOnce) {
    ASSERT_TRUE(form.start());
    const std::tuple<ControlRef, std::string, QString> captions[] = {
        {Label2, "Результаты игры:\r\n Всего баллов: 10\r\nОтлично", "Результаты игры:\n Всего баллов: 10\nОтлично"},
        {Label2, "<b>жирный</b> &amp; <i>", "<b>жирный</b> &amp; <i>"},
        {Option3, "Q&A", "Q&&A"},
        {Option1, "", ""},
        {Command1, "Очень длинная надпись", "Очень длинная\nнадпись"},
        {item(7), "1000 баллов", "1000 баллов"},
    };
    for (const auto& [c, text, display] : captions) {
        form.setCaption(c, text);
        EXPECT_EQ(form.caption(c), text);
        EXPECT_EQ(shown(c), display) << text;
        if (c == Label2) {
            EXPECT_EQ(qobject_cast<QLabel*>(form.widget(c))->textFormat(), Qt::PlainText);
        }
    }
    form.setTitle("ВОПРОС 12");
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ВОПРОС 12"));
    for (const ControlRef c : {Label2, Label16, Option4, item(3)}) {
        form.setVisible(c, false);
        EXPECT_FALSE(form.widget(c)->isVisible()) << describe(c);
        form.setVisible(c, true);
        EXPECT_TRUE(form.widget(c)->isVisible()) << describe(c);
    }
    form.setBackColor(item(3), kRed);
    form.setForeColor(Label16, kRed);
    EXPECT_EQ(form.widget(item(3))->grab().toImage().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(form.foreColor(Label16), QColor(255, 0, 0));
    form.setTag(Command1, " любой текст ");
    EXPECT_EQ(form.tag(Command1), " любой текст ");
    EXPECT_EQ(form.tag(Command2), "");
    EXPECT_THROW(form.setWordWrapAutoSize(Command1), std::invalid_argument);
    EXPECT_THROW(form.clearSelection(Label2), std::invalid_argument);

    QLabel* text = qobject_cast<QLabel*>(form.widget(Label2));
    const QRect designed = text->geometry();
    form.setWordWrapAutoSize(Label2);
    std::string question;
    for (int i = 0; i < 16; ++i) question += "Длинный вопрос, который переносится по словам на много строк. ";
    form.setCaption(Label2, question);
    EXPECT_EQ(text->width(), designed.width());
    EXPECT_EQ(text->pos(), designed.topLeft());
    EXPECT_GE(text->height(), text->heightForWidth(designed.width()));
    EXPECT_GT(text->height(), designed.height());
    form.setCaption(Label2, "Коротко");
    EXPECT_EQ(text->height(), text->fontMetrics().height());
}

TEST_F(Window, DeliversOnlyTheClicksAPlayerCanMake) {
    ASSERT_TRUE(form.start());
    const ControlRef clickable[] = {Command1, Command2, Command3, Command4, Option1, Option2, Option3, Option4};
    for (const ControlRef c : clickable) QTest::mouseClick(form.widget(c), Qt::LeftButton);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(events.clicks.at(i), clickable[i].name);
    for (const ControlRef c : {Option1, Option2, Option3}) EXPECT_FALSE(form.selected(c));
    EXPECT_TRUE(form.selected(Option4));
    form.clearSelection(Option4);
    EXPECT_FALSE(form.selected(Option4));
    events.clicks.clear();
    form.setVisible(Option2, false);
    for (const ControlRef c : {Command1, Command2, Command3, Command4}) form.setEnabled(c, false);
    for (const ControlRef c : {Option2, Command1, Command2, Command3, Command4, Label2, item(1)})
        QTest::mouseClick(form.widget(c), Qt::LeftButton);
    button(Option2)->click();
    EXPECT_TRUE(events.clicks.empty());
}

TEST_F(Window, DisabledPictureButtonKeepsItsPicture) {
    ASSERT_TRUE(form.start());
    const QImage enabled = form.widget(Command3)->grab().toImage();
    form.setEnabled(Command3, false);
    const QImage disabled = form.widget(Command3)->grab().toImage();
    EXPECT_NE(enabled, disabled);
    const int x = (enabled.width() - 32) / 2;
    int top = 0;
    while (top < enabled.height() && enabled.pixel(x, top) != 0xFF800000u) ++top;
    ASSERT_LT(top, enabled.height()) << "the 50/50 picture's dark red frame";
    EXPECT_EQ(enabled.copy(x, top, 32, 32), disabled.copy(x, top, 32, 32));
}

TEST_F(Window, FocusShowsAFrameOnlyOnTheFocusedButton) {
    ASSERT_TRUE(form.start());
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.setCaption(Option1, "Москва");
    for (const ControlRef c : {Command2, Option1}) {
        const QImage unfocused = form.widget(c)->grab().toImage();
        form.widget(c)->setFocus();
        ASSERT_TRUE(form.widget(c)->hasFocus());
        EXPECT_NE(form.widget(c)->grab().toImage(), unfocused) << describe(c);
        form.widget(Command1)->setFocus();
        EXPECT_EQ(form.widget(c)->grab().toImage(), unfocused) << describe(c);
    }
    EXPECT_FALSE(qobject_cast<QPushButton*>(form.widget(Command2))->isDefault());
    for (const ControlRef c : {Command1, Command2, Command3, Command4})
        EXPECT_FALSE(qobject_cast<QPushButton*>(form.widget(c))->autoDefault()) << describe(c);
}

TEST_F(Window, KeysChooseOptionsAndPressTheButtonsWhereverTheFocusIs) {
    ASSERT_TRUE(form.start());
    struct Key {
        int key;
        const char* text;
        ControlName chosen;
    };
    const Key keys[] = {
        {Qt::Key_1, "1", ControlName::Option1}, {Qt::Key_2, "2", ControlName::Option2},
        {Qt::Key_3, "3", ControlName::Option3}, {Qt::Key_4, "4", ControlName::Option4},
        {0x0410, "А", ControlName::Option1},    {0x0411, "б", ControlName::Option2},
        {0x0412, "В", ControlName::Option3},    {0x0413, "г", ControlName::Option4},
        {Qt::Key_A, "a", ControlName::Option1}, {Qt::Key_B, "B", ControlName::Option2},
        {Qt::Key_V, "v", ControlName::Option3}, {Qt::Key_G, "g", ControlName::Option4},
        {Qt::Key_Return, "\r", ControlName::Command1}, {Qt::Key_Enter, "\r", ControlName::Command1},
        {Qt::Key_Escape, "\x1b", ControlName::Command4},
    };
    for (const Key& k : keys)
        for (const ControlRef focused : {Option1, Command2, Command4}) {
            form.widget(focused)->setFocus();
            events.clicks.clear();
            QTest::sendKeyEvent(QTest::Click, form.widget(focused), static_cast<Qt::Key>(k.key),
                                QString::fromUtf8(k.text), Qt::NoModifier);
            EXPECT_EQ(events.clicks, std::vector{k.chosen}) << k.text << " on " << describe(focused);
        }
    EXPECT_TRUE(form.selected(Option4));
    events.clicks.clear();
    form.setVisible(Option2, false);
    form.setEnabled(Command1, false);
    form.setEnabled(Command4, false);
    for (const Qt::Key key : {Qt::Key_2, Qt::Key_Return, Qt::Key_Escape, Qt::Key_5, Qt::Key_D})
        QTest::keyClick(&form, key);
    QTest::keyClick(&form, Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(events.clicks.empty());
    form.widget(Command2)->setFocus();
    QTest::keyClick(form.widget(Command2), Qt::Key_Space);
    EXPECT_EQ(events.clicks, std::vector{ControlName::Command2});
}

TEST(WindowBoundary, AHandlersEndOrFailureEndsTheProgramOnce) {
    using Handler = std::function<void(Form1&)>;
    const std::tuple<Handler, std::vector<std::string>, int> cases[] = {
        {[](Form1&) { throw std::runtime_error("test3.txt: строка 7"); }, {"Ошибка: test3.txt: строка 7 !"}, 1},
        {[](Form1& f) { f.stopOnFailure("Файл не найден"); }, {"Ошибка: Файл не найден !"}, 1},
        {[](Form1& f) { f.messageBox("До встречи", "ВЫХОД", Buttons::Ok, Icon::None), f.endProgram(); },
         {"ВЫХОД: До встречи"}, 0},
        {[](Form1&) { throw ProgramEnd{3}; }, {}, 3},
        {[](Form1&) { throw 42; }, {"Ошибка: Неизвестная ошибка !"}, 1},
    };
    for (const auto& [handler, shownBoxes, status] : cases) {
        for (const bool inLoad : {false, true}) {
            Form1 form;
            Events events;
            std::vector<std::string> boxes;
            std::vector<int> endings;
            form.setEvents(&events);
            form.setMessageResponder([&](const std::string& text, const std::string& title, Buttons, Icon icon) {
                boxes.push_back(title + ": " + text + (icon == Icon::Critical ? " !" : ""));
                return Reply::Ok;
            });
            form.setEndHandler([&](int s) { endings.push_back(s); });
            bool continued = false;
            (inLoad ? events.onLoad : events.onClick) = [&] { handler(form), continued = true; };
            if (inLoad) {
                EXPECT_EQ(form.run(), status);
                EXPECT_FALSE(form.isVisible()) << "ended before the window showed";
            } else {
                ASSERT_TRUE(form.start());
                QTest::mouseClick(form.widget(Command2), Qt::LeftButton);
            }
            QTest::mouseClick(form.widget(Command1), Qt::LeftButton);
            EXPECT_FALSE(continued);
            EXPECT_EQ(boxes, shownBoxes);
            EXPECT_EQ(endings, std::vector{status}) << "ended once";
            EXPECT_EQ(form.exitStatus(), status);
            EXPECT_EQ(events.clicks.size(), inLoad ? 0U : 1U) << "nothing reaches the game after the end";
        }
    }
}

TEST_F(Window, ClosingEndsSilentlyAndRepliesReachTheGame) {
    ASSERT_TRUE(form.start());
    Reply reply = Reply::Ok;
    events.onClick = [&] { reply = form.messageBox("Выйти?", "ВОПРОС", Buttons::YesNo, Icon::None); };
    QTest::mouseClick(form.widget(Command2), Qt::LeftButton);
    EXPECT_EQ(reply, Reply::No);
    form.close();
    EXPECT_EQ(endings, std::vector{0});
    form.setEndHandler({});
    Form1 failing;
    Events failingEvents;
    failing.setEvents(&failingEvents);
    failingEvents.onLoad = [&] { failing.setMessageResponder([](auto&&...) { return Reply::Ok; }), failing.stopOnFailure("x"); };
    EXPECT_EQ(failing.run(), 1) << "the default end during load returns the status";
}

TEST(MessageBox, HasRussianButtonsDaDefaultAndNetForEsc) {
    const auto ok = makeMessageBox("Текст <b>", "Заголовок", Buttons::Ok, Icon::Critical, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("Текст <b>"));
    EXPECT_EQ(ok->textFormat(), Qt::PlainText);
    EXPECT_EQ(ok->windowTitle(), QStringLiteral("Заголовок"));
    EXPECT_EQ(ok->icon(), QMessageBox::Critical);
    ASSERT_EQ(ok->buttons().size(), 1);
    EXPECT_EQ(ok->buttons().front()->text(), QStringLiteral("OK"));
    for (const auto& [key, expected] : {std::pair{Qt::Key_Escape, Reply::No}, {Qt::Key_Return, Reply::Yes}}) {
        const auto yesNo = makeMessageBox("Выйти?", "ВОПРОС", Buttons::YesNo, Icon::None, nullptr);
        EXPECT_EQ(yesNo->icon(), QMessageBox::NoIcon);
        QStringList texts;
        for (QAbstractButton* b : yesNo->buttons()) texts << b->text();
        texts.sort();
        EXPECT_EQ(texts, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
        EXPECT_EQ(yesNo->defaultButton()->text(), QStringLiteral("Да"));
        yesNo->show();
        QTest::keyClick(yesNo.get(), key);
        EXPECT_EQ(replyOf(*yesNo), expected);
    }
}

}  // namespace
