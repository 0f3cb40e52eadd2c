#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "window/message_box.h"

namespace window_test {
namespace {

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* button : box.buttons()) texts << button->text();
    texts.sort();
    return texts;
}

TEST(MessageBox, OkBoxHasOneRussianButtonAndNoIcon) {
    const auto box = makeMessageBox("П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!", Buttons::Ok,
                                    Icon::None, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("П О Б Е Д А ! ! !"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(buttonTexts(*box), QStringList{QStringLiteral("OK")});
    EXPECT_EQ(replyOf(*box), Reply::Ok);
}

TEST(MessageBox, CriticalBoxShowsTheCriticalIcon) {
    const auto box = makeMessageBox("В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Игра закончена", Buttons::Ok,
                                    Icon::Critical, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
}

TEST(MessageBox, YesNoBoxHasDaDefaultAndNetForEsc) {
    const auto box = makeMessageBox("ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo,
                                    Icon::None, nullptr);
    EXPECT_EQ(buttonTexts(*box), (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Да"));
    ASSERT_NE(box->escapeButton(), nullptr);
    EXPECT_EQ(box->escapeButton()->text(), QStringLiteral("Нет"));
    EXPECT_EQ(replyOf(*box), Reply::No);  // closed without a button
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Reply reply;
};

class YesNoKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(YesNoKeys, AnswerAsDesktopUsersExpect) {
    const auto box = makeMessageBox("Выйти?", "Вопрос", Buttons::YesNo, Icon::None, nullptr);
    box->open();
    QTest::keyClick(box.get(), GetParam().key);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(replyOf(*box), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(MessageBox, YesNoKeys,
                         ::testing::Values(KeyCase{"EnterAnswersDa", Qt::Key_Return, Reply::Yes},
                                           KeyCase{"EscAnswersNet", Qt::Key_Escape, Reply::No}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBox, Form1ShowsARealModalBoxWithoutAResponder) {
    Form1 form;
    form.setEndHandler([](int) {});
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        title = modal->windowTitle();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(form.messageBox("ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", Buttons::YesNo,
                              Icon::None),
              Reply::No);
    EXPECT_EQ(title, QStringLiteral("ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ"));
}

}  // namespace
}  // namespace window_test
