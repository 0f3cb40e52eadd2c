// The editor's window offscreen: a bundled quiz opened, an answer changed, undone, saved and reopened; the player's
// view against the game's own window; a broken file opened at its error; a sheet imported; saving, playing, closing
// and the recovery copy as the author meets them; keyboard and accessible names. Screenshots land in
// build/screenshots/.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "game/game.h"
#include "quizedit/editor_window.h"
#include "quizedit/manual.h"
#include "quizedit/pages.h"
#include "quizedit/text_page.h"
#include "support/support.h"
#include "window/form1.h"

namespace {

using namespace quizedit;
namespace fs = std::filesystem;

std::string bundled(const char* name) {
    std::ifstream in(fs::path(QUIZ_SOURCE_DIR) / "quizzes" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Types `text` into `widget` a key at a time, as the author would.
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

void screenshot(QWidget& widget, const char* name) {
    QDir().mkpath(QUIZ_BINARY_DIR "/screenshots");
    EXPECT_TRUE(widget.grab().save(QString(QUIZ_BINARY_DIR "/screenshots/") + name));
}

// A window whose questions to the author are answered from a script and recorded.
struct Editor : ::testing::Test {
    Editor() : window({}, nullptr) {
        window.setAsker([this](QMessageBox::Icon, const QString& text, QMessageBox::StandardButtons buttons) {
            asked.push_back(text);
            if (!replies.empty()) {
                const auto reply = replies.front();
                replies.erase(replies.begin());
                return reply;
            }
            return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
        });
        window.resize(1280, 860);
    }
    QPlainTextEdit* answerBox(int j) const {
        return window.questionPage()->findChildren<TextBox*>()[static_cast<qsizetype>(j + 1)];
    }
    testing_support::TempFolder folder;
    EditorWindow window;
    std::vector<QString> asked;
    std::vector<QMessageBox::StandardButton> replies;
};

TEST_F(Editor, ABundledQuizOpensAnAnswerChangesUndoesSavesAndReopens) {
    const std::string original = bundled("test2.txt");
    const QString path = QString::fromStdString(folder.write("test2.txt", original).string());
    ASSERT_TRUE(window.openFile(path));
    window.questionList()->setCurrentRow(2);
    const std::string old = window.model().text({Field::Kind::Answer, 2, 1});
    QPlainTextEdit* answer = answerBox(1);
    ASSERT_EQ(window.questionPage()->question(), 2);
    answer->selectAll();
    type(answer, "Мрамор");
    window.flush();
    screenshot(window, "editor_bundled_quiz.png");
    EXPECT_EQ(window.model().text({Field::Kind::Answer, 2, 1}), "Мрамор");
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_EQ(window.windowTitle(), "test2.txt[*] — Редактор викторин");
    window.action("undo")->trigger();
    EXPECT_EQ(window.model().written().bytes, original) << "one undo takes back the typing";
    EXPECT_FALSE(window.isWindowModified());
    window.action("redo")->trigger();
    EXPECT_EQ(answer->toPlainText(), "Мрамор");
    window.action("save")->trigger();
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(window.isWindowModified());
    const std::string saved = folder.read("test2.txt");
    std::string expected = original;
    const std::string line = testing_support::toWindows1251("\r\n" + old + "\r\n,");
    ASSERT_NE(expected.find(line), std::string::npos);
    expected.replace(expected.find(line), line.size(), testing_support::toWindows1251("\r\nМрамор\r\n,"));
    EXPECT_EQ(saved, expected) << "only the answer's line changed";

    EditorWindow again({}, nullptr);
    ASSERT_TRUE(again.openFile(path));
    EXPECT_EQ(again.model().text({Field::Kind::Answer, 2, 1}), "Мрамор");
    EXPECT_EQ(again.model().written().bytes, saved) << "an unchanged quiz saves to the same bytes";
}

}  // namespace
