// The real window, offscreen: what the player sees of the design, what each operation shows, which clicks and keys
// reach the game, and the boundary where a handler's end or failure ends the program.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "window/appearance.h"
#include "window/form1.h"
#include "window/message_box.h"
#include "window/pictures.h"
#include "window/widgets.h"

#include <cmath>
#include <fstream>
#include <regex>

namespace {

using namespace window;

// The contrast of two colours as the web's accessibility guidelines define it: 1 to 21, 3 enough for large text.
double contrast(QRgb a, QRgb b) {
    const auto luminance = [](QRgb c) {
        const auto linear = [](int v) { return v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

// A window and what reaches the game: clicks, boxes ("title: text", " !" if critical; No to Yes/No) and the end.
struct Recorded : FormEvents {
    Recorded() {
        form.setEvents(this);
        form.setMessageResponder([this](const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
            boxes.push_back(title + ": " + text + (icon == Icon::Critical ? " !" : ""));
            return buttons == Buttons::Ok ? Reply::Ok : Reply::No;
        });
        form.setEndHandler([this](int status) { endings.push_back(status); });
    }
    void load() override { onLoad ? onLoad() : void(); }
    void click(ControlName control) override { clicks.push_back(control), onClick ? onClick() : void(); }
    Form1 form;
    std::vector<ControlName> clicks;
    std::function<void()> onLoad, onClick;
    std::vector<std::string> boxes;
    std::vector<int> endings;
};

struct Window : ::testing::Test, Recorded { void SetUp() override { ASSERT_TRUE(form.start()); } };

// Where the controls stand, and that they stay clear of each other, is checked in text_fit_test.
TEST_F(Window, LooksAsDesigned) {
    onLoad = [] { ADD_FAILURE() << "a second start loads again"; };
    ASSERT_TRUE(form.start());
    EXPECT_EQ(form.focusWidget(), form.widget(Command1));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    // The designed colours, seen inside a button's bevel, below a label's text: step 1 red, 15 green, the status line
    // yellow, the exit button white, the 50/50 one red, an option in the face colour of buttons, the window white.
    const QImage shot = form.grab().toImage();
    for (const auto& [c, rgb] :
         {std::pair{item(1), 0xFFFF0000}, {item(15), 0xFF008000}, {Label16, 0xFFFFFF80}, {Command2, 0xFFFFFFFF},
          {Command3, 0xFFFF0000}, {Option1, toQColor(kButtonFace).rgb()}})
        EXPECT_EQ(shot.pixel(form.widget(c)->geometry().bottomRight() - QPoint(2, 2) * (c.name < Command1.name ? 1 : 2)), rgb)
            << describe(c);
    EXPECT_EQ(shot.pixel(form.width() - 2, form.height() - 2), 0xFFFFFFFF);
    QWidget* focus = form.widget(Command1);  // the Tab order, round to the start
    for (const ControlRef c : {Command2, Option1, Option2, Option3, Option4, Command3, Command4, Command1}) {
        do focus = focus->nextInFocusChain(); while (!(focus->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(focus, form.widget(c)) << describe(c);
    }
    // Plain from afar, whatever the face: each pixel that changes with the state and reads against the face (3:1).
    const auto shown = [&](ControlRef c) { return form.widget(c)->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const auto standingOut = [&](ControlRef c, const QImage& before, QRect& box, QRect within = {0, 0, 9999, 9999}) {
        const QImage now = shown(c);
        int count = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != before.pixel(x, y) && contrast(now.pixel(x, y), form.backColor(c).rgb()) >= 3 &&
                    within.contains(x, y)) { box |= QRect(x, y, 1, 1); ++count; }
        return count;
    };
    for (int k = 1; k <= 4; ++k) form.setCaption(option(k), "Москва");
    for (const ControlRef c : {Command3, Command2, Command4, Option1}) {  // a solid focus frame on the focused button
        const QImage unfocused = shown(c);
        form.widget(c)->setFocus();
        QRect frame;
        const int solid = standingOut(c, unfocused, frame);
        EXPECT_GE(solid, 3 * (frame.width() + frame.height())) << describe(c) << " frame two pixels wide";
        form.widget(Command1)->setFocus();
        EXPECT_EQ(shown(c), unfocused) << describe(c);
    }
    const QImage quit = shown(Command2);  // white on the white window, its four edges drawn
    for (const QPoint edge : {QPoint(quit.width() / 2, 0), QPoint(0, quit.height() / 2),
                              QPoint(quit.width() / 2, quit.height() - 1), QPoint(quit.width() - 1, quit.height() / 2)})
        EXPECT_GE(contrast(quit.pixel(edge), 0xFFFFFFFF), 3) << "quit button edge " << edge.x() << "," << edge.y();
    const QImage unchosen = shown(Option3);  // the chosen option: a frame all round and its letter inverted
    QTest::mouseClick(form.widget(Option3), Qt::LeftButton);
    QRect mark, strip(0, 0, 3, unchosen.height());
    EXPECT_EQ(standingOut(Option3, unchosen, mark, strip), 3 * strip.height()) << "a frame three pixels wide";
    standingOut(Option3, unchosen, mark);
    EXPECT_EQ(mark, QRect(QPoint(), unchosen.size())) << "all round";
    const QRect letter = qobject_cast<OptionButton*>(form.widget(Option3))->letterRect();
    EXPECT_GE(standingOut(Option3, unchosen, mark, letter), letter.width() * letter.width());
    form.widget(Command3)->setFocus();
    QDir().mkpath(QUIZ_BINARY_DIR "/screenshots");
    EXPECT_TRUE(form.grab().save(QUIZ_BINARY_DIR "/screenshots/chosen_and_focus.png"));
    const QImage enabled = shown(Command3);
    form.setEnabled(Command3, false);
    const QImage used = shown(Command3);
    double caption = 0;  // the darkest of the used-up 50/50's caption reads on its red face
    for (int y = used.height() / 2 + 2; y < used.height() - 4; ++y)
        for (int x = 4; x < used.width() - 4; ++x)
            if (qGray(used.pixel(x, y)) < qGray(kPictureRed))
                caption = std::max(caption, contrast(used.pixel(x, y), kPictureRed));
    EXPECT_GE(caption, 3);
    for (const QImage& button : {enabled, used}) {  // the 50/50 picture whole, disabled or not
        int top = 0;
        while (top < button.height() && button.pixel(button.width() / 2, top) != kPictureDarkRed) ++top;
        EXPECT_EQ(button.copy((button.width() - 32) / 2, top, 32, 32), fiftyFiftyPicture());
    }
}

// Captions set before the window is first shown or drawn are laid out once, when it is: a window drawn
// without being shown (a preview) shows them as the shown window does.
TEST(UnshownWindow, IsDrawnAsShown) {
    const auto captioned = [](Form1& form) {
        form.setWordWrapAutoSize(Label2);
        form.setCaption(Label2, "Сколько дней в високосном году?\r\nВыберите ответ.");
        form.setCaption(item(15), "1000 баллов");
        form.setCaption(Command4, "Подсказка");
    };
    Form1 unshown, shown;
    captioned(unshown);
    const QImage drawn = unshown.grab().toImage();
    captioned(shown);
    ASSERT_TRUE(shown.start());
    const QImage seen = shown.grab().toImage();
    for (const ControlRef c : {Label2, item(15), Command4}) {
        const QRect place = shown.widget(c)->geometry().translated(shown.page()->pos());
        EXPECT_EQ(drawn.copy(place), seen.copy(place)) << describe(c);
    }
}

// The 50/50 picture: a dark red frame and diagonal, and "50" in red once on each side of the diagonal; the window
// icon: the installed drawing, each of its rectangles in its colour.
TEST(Pictures, FiftyFiftyShowsFiftyOnEachSideOfTheDiagonalAndTheIconIsTheInstalledDrawing) {
    const QImage picture = fiftyFiftyPicture();
    const char* const fifty[] = {"######.######", "##.....##..##", "######.##..##", "....##.##..##", "######.######"};
    QRect sides[2];  // the red above the diagonal, and below it
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = picture.pixel(x, y);
            const bool line = std::min({x, y, 31 - x, 31 - y}) < 2 || (x - y >= 0 && x - y < 2);
            EXPECT_EQ(c, line ? kPictureDarkRed : c == kPictureRed ? c : kPictureWhite) << x << "," << y;
            if (c == kPictureRed) sides[x < y] |= QRect(x, y, 1, 1);
        }
    for (const QRect& side : sides) {
        ASSERT_EQ(side.size(), QSize(13, 10));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 13; ++x)
                EXPECT_EQ(picture.pixel(side.topLeft() + QPoint(x, y)) == kPictureRed, fifty[y / 2][x] == '#') << y;
    }
    std::ifstream file(QUIZ_SOURCE_DIR "/data/quizladder.svg");
    const std::string svg(std::istreambuf_iterator<char>(file), {});
    const std::regex shape(R"re(<g fill="#(\w+)|<rect x="([\d.]+)" y="([\d.]+)" width="[\d.]+" height="([\d.]+)"(?:[^>]* fill="#(\w+))?)re");
    EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), shape), {}), 18) << "2 groups, 16 rectangles";
    std::string groupFill;
    for (std::sregex_iterator m(svg.begin(), svg.end(), shape), end; m != end; ++m) {
        if ((*m)[1].matched) { groupFill = (*m)[1]; continue; }  // a group's colour, for the rectangles in it
        const QPointF inside(std::stod((*m)[2]) + 8, std::stod((*m)[3]) + std::stod((*m)[4]) / 2);
        const std::string fill = (*m)[5].matched ? (*m)[5].str() : groupFill;
        EXPECT_EQ(quizIconImage(128).pixel(inside.toPoint()), 0xFF000000 | std::stoul(fill, nullptr, 16)) << (*m)[0];
    }
    std::smatch stroke;  // the frame's outline, drawn on its edge at x = 6
    ASSERT_TRUE(std::regex_search(svg, stroke, std::regex(R"re(stroke="#(\w+)")re")));
    EXPECT_EQ(quizIconImage(128).pixel(6, 64), 0xFF000000 | std::stoul(stroke[1].str(), nullptr, 16));
    const QList<QSize> sizes = quizIcon().availableSizes();  // what X gets: the drawing at each usual size
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
    for (const QSize size : sizes) EXPECT_EQ(quizIcon().pixmap(size).toImage(), quizIconImage(size.width())) << size.width();
    QImage painted(80, 60, QImage::Format_ARGB32_Premultiplied);  // painted into a wider place: centred, whole
    painted.fill(Qt::transparent);
    QPainter painter(&painted);
    quizIcon().paint(&painter, painted.rect());
    painter.end();
    EXPECT_EQ(painted.copy(10, 0, 60, 60).convertToFormat(QImage::Format_ARGB32),
              quizIconImage(60).convertToFormat(QImage::Format_ARGB32));
}

TEST_F(Window, ShowsEachOperationAtOnce) {
    const std::tuple<ControlRef, std::string, QString> captions[] = {
        {Label2, "Результаты игры:\r\n Всего баллов: 10\r\nОтлично", "Результаты игры:\n Всего баллов: 10\nОтлично"},
        {Label2, "<b>жирный</b> &amp; <i>", "<b>жирный</b> &amp; <i>"}, {Option3, "Q&A", "Q&&A"}, {Option1, "", ""},
        {Command1, "Очень длинная надпись", "Очень длинная\nнадпись"}, {item(7), "1000 баллов", "1000 баллов"},
    };
    for (const auto& [c, text, display] : captions) {
        form.setCaption(c, text);
        EXPECT_EQ(form.caption(c), text);
        const auto* label = qobject_cast<QLabel*>(form.widget(c));
        EXPECT_EQ(label ? label->text() : qobject_cast<QAbstractButton*>(form.widget(c))->text(), display) << text;
    }
    EXPECT_EQ(qobject_cast<QLabel*>(form.widget(Label2))->textFormat(), Qt::PlainText);
    // The title bar as the platform gets it: empty stays blank (not the program's name), "[*]" stays.
    for (const std::string title : {"", "Вопросы [*] и [*][*]"}) {
        form.setTitle(title);
        EXPECT_TRUE(form.title() == title && form.windowHandle()->title() == QString::fromStdString(title.empty() ? " " : title));
    }
    for (const ControlRef c : {Label2, Label16, Option4, item(3)})
        for (const bool visible : {false, true}) {
            form.setVisible(c, visible);
            EXPECT_EQ(form.widget(c)->isVisible(), visible) << describe(c);
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
}

// Enter presses the focused command button, Command1 from an option or from no button.
TEST_F(Window, DeliversOnlyThePlayersClicksAndKeysAndClosingEndsSilently) {
    const ControlRef clickable[] = {Command1, Command2, Command3, Command4, Option1, Option2, Option3, Option4};
    for (const ControlRef c : clickable) QTest::mouseClick(form.widget(c), Qt::LeftButton);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(clicks.at(i), clickable[i].name);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(form.selected(option(k)), k == 4) << k;
    form.clearSelection(Option4);
    EXPECT_FALSE(form.selected(Option4));
    const std::tuple<int, const char*, ControlRef> keys[] = {
        {Qt::Key_1, "1", Option1}, {Qt::Key_2, "2", Option2}, {Qt::Key_3, "3", Option3}, {Qt::Key_4, "4", Option4},
        {0x0410, "А", Option1},    {0x0411, "б", Option2},    {0x0412, "В", Option3},    {0x0413, "г", Option4},
        {Qt::Key_A, "a", Option1}, {Qt::Key_B, "B", Option2}, {Qt::Key_V, "v", Option3}, {Qt::Key_G, "g", Option4},
        {Qt::Key_Return, "\r", Command1}, {Qt::Key_Enter, "\r", Command1}, {Qt::Key_Escape, "\x1b", Command4},
    };
    for (const auto& [key, text, chosen] : keys)
        for (const ControlRef focused : {Option1, Command1, Command2, Command3, Command4}) {
            clicks.clear();
            form.widget(focused)->setFocus();
            QTest::sendKeyEvent(QTest::Click, form.widget(focused), Qt::Key(key), text, {});
            const ControlRef pressed = chosen == Command1 && focused.name >= ControlName::Command1 ? focused : chosen;
            EXPECT_EQ(clicks, std::vector{pressed.name}) << text << " on " << describe(focused);
            EXPECT_EQ(form.selected(chosen), chosen.name < ControlName::Command1) << text;
        }
    clicks.clear();
    QTest::keyClick(form.widget(Command2), Qt::Key_Space);
    EXPECT_EQ(clicks, std::vector{ControlName::Command2}) << "Space presses the focused button";
    clicks.clear();
    form.setVisible(Option2, false);
    for (const ControlRef c : {Command1, Command2, Command3, Command4}) form.setEnabled(c, false);
    for (const ControlRef c : {Option2, Command1, Command2, Command3, Command4, Label2, item(1)})
        QTest::mouseClick(form.widget(c), Qt::LeftButton);
    qobject_cast<QAbstractButton*>(form.widget(Option2))->click();
    for (const Qt::Key key : {Qt::Key_2, Qt::Key_Return, Qt::Key_Escape, Qt::Key_5, Qt::Key_D})
        QTest::keyClick(&form, key);
    QTest::keyClick(&form, Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(clicks.empty());
    form.close();  // the window's own close command
    EXPECT_EQ(endings, std::vector{0});
    EXPECT_TRUE(boxes.empty());
}

TEST(WindowBoundary, AHandlersEndOrFailureEndsTheProgramOnce) {
    const std::tuple<std::function<void(Form1&)>, std::vector<std::string>, int> cases[] = {
        {[](Form1&) { throw std::runtime_error("test3.txt: строка 7"); }, {"Ошибка: test3.txt: строка 7 !"}, 1},
        {[](Form1& f) { f.stopOnFailure("Файл не найден"); }, {"Ошибка: Файл не найден !"}, 1},
        {[](Form1& f) {
             if (f.messageBox("Выйти?", "ВОПРОС", Buttons::YesNo, Icon::None) == Reply::No) f.endProgram();
         }, {"ВОПРОС: Выйти?"}, 0},
        {[](Form1&) { throw ProgramEnd{3}; }, {}, 3},
        {[](Form1&) { throw 42; }, {"Ошибка: Неизвестная ошибка !"}, 1},
    };
    for (const auto& [handler, shownBoxes, status] : cases)
        for (const bool inLoad : {false, true}) {
            Recorded r;
            if (inLoad) r.form.setEndHandler({});  // the default end: the window closes
            bool shown = false, ranOn = false;
            (inLoad ? r.onLoad : r.onClick) = [&, h = handler] { shown = r.form.isVisible(), h(r.form), ranOn = true; };
            ASSERT_TRUE(inLoad ? r.form.run() == status : r.form.start());  // run() returns at once after an end
            for (const ControlRef c : {Command2, Command1}) QTest::mouseClick(r.form.widget(c), Qt::LeftButton);
            EXPECT_EQ(shown, !inLoad) << "load comes before the window shows";
            EXPECT_EQ(r.form.isVisible(), !inLoad) << "never shown after an end in load";
            EXPECT_FALSE(ranOn) << "nothing of the handler runs after the end";
            EXPECT_EQ(r.boxes, shownBoxes);
            EXPECT_EQ(r.endings, inLoad ? std::vector<int>{} : std::vector{status}) << "ended once";
            EXPECT_EQ(r.clicks.size(), inLoad ? 0U : 1U) << "nothing reaches the game after the end";
        }
}

TEST(MessageBox, ShowsPlainTextWithRussianButtonsDaDefaultNetForEsc) {
    const std::tuple<Buttons, Icon, QMessageBox::Icon, Qt::Key, Reply, const char*> cases[] = {
        {Buttons::Ok, Icon::Critical, QMessageBox::Critical, Qt::Key_Escape, Reply::Ok, "OK"},
        {Buttons::YesNo, Icon::None, QMessageBox::NoIcon, Qt::Key_Escape, Reply::No, "Нет"},
        {Buttons::YesNo, Icon::None, QMessageBox::NoIcon, Qt::Key_Return, Reply::Yes, "Да"},
    };
    for (const auto& [buttons, icon, shownIcon, key, reply, pressed] : cases) {
        const auto box = makeMessageBox("Выйти? <b>", "ВОПРОС", buttons, icon, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("Выйти? <b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("ВОПРОС"));
        EXPECT_EQ(box->icon(), shownIcon);
        EXPECT_EQ(box->buttons().size(), buttons == Buttons::Ok ? 1 : 2);
        box->show();
        QTest::keyClick(box.get(), key);
        EXPECT_EQ(replyOf(*box), reply);
        EXPECT_EQ(box->clickedButton()->text(), QString::fromUtf8(pressed));
    }
    for (const double scale : {1.0, 2.0}) {  // as wide as its whole title needs, the text grown with the window
        const auto box = makeMessageBox("П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!", Buttons::Ok, Icon::None, nullptr, scale);
        box->show();
        EXPECT_GE(box->width(), titleBarWidth(box->windowTitle()));
        EXPECT_NEAR(box->findChild<QLabel*>("qt_msgbox_label")->fontInfo().pixelSize(), QFontInfo(QApplication::font()).pixelSize() * scale, 1);
    }
    // Bytes that are no UTF-8 (another encoding, overlong, a surrogate, past U+10FFFF, cut short) show as \xNN.
    EXPECT_EQ(readableText("Т\xD2е\xC0\xAF\xED\xA0\x80€ठ\xF4\x90\x80\x80😀\xF0\x9F\x98"),
              QString::fromUtf8("Т\\xD2е\\xC0\\xAF\\xED\\xA0\\x80€ठ\\xF4\\x90\\x80\\x80😀\\xF0\\x9F\\x98"));
}

}  // namespace
