// The editor's window offscreen: a bundled quiz opened, an answer changed, undone, saved and reopened; the player's
// view against the game's own window; a broken file opened at its error; a sheet imported; saving, playing, closing
// and the recovery copy as the author meets them; keyboard and accessible names. Screenshots land in
// build/screenshots/.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

#include "game/game.h"
#include "quizcheck/window_measure.h"
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

// The text box of answer `j` of the chosen question (the page's first box is the question's text).
QPlainTextEdit* answerBoxOf(EditorWindow& window, int j) {
    return window.questionPage()->findChildren<TextBox*>()[static_cast<qsizetype>(j + 1)];
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
        window.show();
    }
    QPlainTextEdit* answerBox(int j) { return answerBoxOf(window, j); }
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
    EXPECT_EQ(window.playerView()->gameTitle(), "ВОПРОС 3") << "the player's view shows the question being edited";
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
    const std::string line = testing_support::toWindows1251("\r\n" + old + "\r\n,");
    const std::size_t at = original.find(line);
    ASSERT_NE(at, std::string::npos);
    const std::string expected =
        original.substr(0, at) + testing_support::toWindows1251("\r\nМрамор\r\n,") + original.substr(at + line.size());
    EXPECT_EQ(saved, expected) << "only the answer's line changed";

    EditorWindow again({}, nullptr);
    ASSERT_TRUE(again.openFile(path));
    EXPECT_EQ(again.model().text({Field::Kind::Answer, 2, 1}), "Мрамор");
    EXPECT_EQ(again.model().written().bytes, saved) << "an unchanged quiz saves to the same bytes";
    const auto results = [&again] {  // what the quiz page says of the results screen
        for (const QLabel* label : again.quizPage()->findChildren<QLabel*>())
            if (label->accessibleName() == "Что покажет экран результатов") return label->text().toStdString();
        return std::string("(no such label)");
    };
    const auto verdicts = again.quizPage()->findChildren<QLineEdit*>();
    EXPECT_TRUE(std::any_of(verdicts.begin(), verdicts.end(), [](const QLineEdit* field) {
        return field->text() == "Превосходно! Все ответы верны.";
    })) << "the verdicts shown in their fields";
    again.show();
    again.activateWindow();
    again.action("quiz")->trigger();
    again.flush();
    const QImage introduction = again.playerView()->image();
    for (QLineEdit* field : verdicts)
        if (field->text() == "Превосходно! Все ответы верны.") field->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    again.flush();
    EXPECT_NE(again.playerView()->image(), introduction) << "the results screen while a verdict is edited";
    EXPECT_EQ(results(), "Вопросов 10: экран результатов появится, только если верно ответить на все вопросы, и "
                         "покажет оценку 1: «Превосходно! Все ответы верны.».");
    for (int k = 0; k < 5; ++k) again.action("add")->trigger();
    again.flush();
    EXPECT_EQ(results(), "Вопросов 15: игра заканчивается на пятнадцатой ступени, экрана результатов не будет, и "
                         "оценок игрок не увидит.");
}

}  // namespace

namespace {

// The game's own window playing the quiz file `path` as a player would, answering right up to question `question`
// (0-based; the number of questions for the results screen), then drawn at `size`.
QImage gameScreen(const fs::path& path, const quiz::QuizDocument& quiz, int question, QSize size) {
    window::Form1 form;
    form.setMessageResponder([](const std::string&, const std::string&, window::Buttons, window::Icon) { return window::Reply::Ok; });
    game::Game player(form, game::GivenQuiz{path});
    player.load();
    if (question >= 0) player.click(window::ControlName::Command1);
    for (int q = 0; q < question; ++q) {
        const auto& answers = quiz.questions[static_cast<std::size_t>(q)].answers;
        const auto right = std::find_if(answers.begin(), answers.end(), [](const quiz::DocAnswer& a) { return a.right; });
        player.click(window::option(static_cast<int>(right - answers.begin()) + 1).name);
        player.click(window::ControlName::Command1);
    }
    form.resize(size);
    return form.grab().toImage();
}

TEST(PlayerView, ShowsWhatTheGamesOwnWindowShowsPixelForPixel) {
    testing_support::TempFolder folder;
    const fs::path path = folder.write("test2.txt", bundled("test2.txt"));
    const quiz::QuizDocument quiz = quiz::readDocument(bundled("test2.txt"), "test2.txt");
    PlayerView view;
    view.resize(520, 420);  // wider than the design's shape: it is drawn at the width that fits the height too
    const struct {
        const char* name;
        Screen screen;
        int answeredRight;  // -1: the introduction
    } screens[] = {{"introduction", {Screen::Kind::Introduction}, -1}, {"first_question", {Screen::Kind::Question, 0}, 0},
                   {"question_7", {Screen::Kind::Question, 6}, 6}, {"results", {Screen::Kind::Results}, 10}};
    QImage previous;
    for (const auto& s : screens) {
        view.showScreen(quiz, s.screen);
        const QImage shown = view.image();
        EXPECT_NE(shown, previous) << s.name << ": each screen is a screen of its own";
        previous = shown;
        ASSERT_EQ(shown.size(), QSize(520, 377)) << s.name;
        EXPECT_TRUE(shown == gameScreen(path, quiz, s.answeredRight, shown.size())) << s.name;
    }
    screenshot(view, "player_view_results.png");
    view.showScreen(quiz, {Screen::Kind::Question, 9});
    EXPECT_EQ(view.gameTitle(), "ВОПРОС 10");
    quiz::QuizDocument long_ = quiz;
    long_.questions.resize(16, quiz.questions[0]);
    view.showScreen(long_, {Screen::Kind::Question, 15});
    EXPECT_TRUE(view.image().isNull());
    EXPECT_EQ(view.text(), "Этот вопрос игра не задаёт: она заканчивается на пятнадцатой ступени.");
    view.showScreen(long_, {Screen::Kind::Results});
    EXPECT_TRUE(view.text().startsWith("Экрана результатов не будет"));
}

}  // namespace

namespace {

TEST_F(Editor, ABrokenFileOpensAtItsErrorAndGoesOnInTheFormOnceMended) {
    const std::string broken = testing_support::toWindows1251(testing_support::crlf(
        "Реки России|Ответьте на вопросы.|.|Отлично|1|.|Самая длинная река?|.|Обь|,0|Лена|,7|Волга|.0"));
    ASSERT_TRUE(window.openFile(QString::fromStdString(folder.write("test3.txt", broken).string())));
    ASSERT_TRUE(window.inTextMode());
    TextPage& page = *window.textPage();
    EXPECT_EQ(page.errorLine(), 12);
    EXPECT_TRUE(page.errorText().contains("строка 12")) << page.errorText().toStdString();
    EXPECT_EQ(page.editor()->textCursor().blockNumber(), 11) << "the cursor at the error's line";
    const QList<QTextEdit::ExtraSelection> marks = page.editor()->extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].cursor.blockNumber(), 11);
    EXPECT_NE(marks[0].format.background().style(), Qt::NoBrush) << "the error's line is marked";
    EXPECT_FALSE(window.action("undo")->isEnabled() || window.action("play")->isEnabled());
    screenshot(window, "editor_broken_file.png");
    QTextCursor line(page.editor()->document()->findBlockByNumber(11));
    line.select(QTextCursor::LineUnderCursor);
    line.insertText(",1");
    EXPECT_EQ(page.errorLine(), 0);
    EXPECT_TRUE(page.editor()->extraSelections().isEmpty());
    EXPECT_TRUE(window.isWindowModified());
    window.action("save")->trigger();  // the mended text saves as it stands, in the file's encoding
    EXPECT_EQ(folder.read("test3.txt"), testing_support::toWindows1251(testing_support::crlf(
        "Реки России|Ответьте на вопросы.|.|Отлично|1|.|Самая длинная река?|.|Обь|,0|Лена|,1|Волга|.0")));
    QTest::mouseClick(page.findChild<QPushButton*>(), Qt::LeftButton);
    ASSERT_FALSE(window.inTextMode());
    EXPECT_EQ(window.model().text({Field::Kind::Answer, 0, 1}), "Лена");
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(window.openFile(folder.path().c_str()));
    EXPECT_EQ(asked.back().toStdString(), "Не удалось открыть «" + folder.path().filename().string() + "»: это папка, а не файл");
}

TEST_F(Editor, ASheetImportsThroughTheConverterWithItsReport) {
    ASSERT_TRUE(window.importFile(QUIZ_SOURCE_DIR "/data/examples/questions.csv"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].startsWith("Импортировано: questions.csv: вопросов: 10\n")) << asked[0].toStdString();
    EXPECT_EQ(window.model().document().questions.size(), 10u);
    EXPECT_TRUE(window.model().modified() && window.filePath().isEmpty());
    window.flush();
    screenshot(window, "editor_imported_sheet.png");
    const fs::path bad = folder.write("bad.csv", "Вопрос;Да;Нет;1\nВторой;Да;Нет;5\n");
    EXPECT_FALSE(window.importFile(QString::fromStdString(bad.string())));
    EXPECT_TRUE(asked.back().contains("bad.csv:2: ошибка:")) << asked.back().toStdString();
    EXPECT_EQ(window.model().document().questions.size(), 10u) << "the quiz stays as it was";
}

TEST_F(Editor, SaveAsOffersThePlayedNamesAndAsksBeforeReplacing) {
    folder.write("test1.txt", "mine");
    QString offered, where;
    QString chosen = QString::fromStdString((folder.path() / "test1.txt").string());
    window.setFileChooser([&](bool save, const QString& in, const QString& name, const QStringList& filters) {
        EXPECT_TRUE(save && filters.front().contains("test1.txt test2.txt test3.txt"));
        offered = name;
        where = in;
        return chosen;
    });
    window.openFile(QString::fromStdString(folder.write("test3.txt", bundled("test3.txt")).string()));
    replies = {QMessageBox::No};
    window.action("saveAs")->trigger();
    EXPECT_EQ(offered, "test3.txt") << "its own name";
    EXPECT_EQ(where.toStdString(), folder.path().string()) << "in its own folder";
    EXPECT_EQ(asked.back(), "Файл «test1.txt» уже есть. Заменить его?");
    EXPECT_EQ(folder.read("test1.txt"), "mine");
    replies = {QMessageBox::Yes};
    window.action("saveAs")->trigger();
    EXPECT_EQ(folder.read("test1.txt"), bundled("test3.txt"));
    EXPECT_EQ(window.filePath(), chosen);

    EditorWindow fresh({}, nullptr);
    fresh.setFileChooser([&](bool, const QString& in, const QString& name, const QStringList&) {
        offered = name;
        where = in;
        return QString();
    });
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", folder.path().c_str());
    fs::create_directories(folder.path() / ".local/share/quizladder");
    folder.write(".local/share/quizladder/test1.txt", "played");
    fresh.action("saveAs")->trigger();
    qputenv("HOME", home);
    EXPECT_EQ(offered, "test2.txt") << "a new quiz is offered the first name the game plays that is free";
    EXPECT_EQ(where.toStdString(), (folder.path() / ".local/share/quizladder").string()) << "in the game's play folder";
}

TEST_F(Editor, ClosingWithUnsavedChangesAsksFirst) {
    EXPECT_EQ(window.windowTitle(), "Новая викторина[*] — Редактор викторин") << "a new quiz at the start";
    window.show();
    window.action("add")->trigger();
    replies = {QMessageBox::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_EQ(asked.back(), "Изменения в новой викторине не сохранены. Сохранить их?");
    replies = {QMessageBox::Discard};
    EXPECT_TRUE(window.close());
}

TEST_F(Editor, PlayStartsTheGameOnTheQuizAsItStands) {
    std::vector<QStringList> started;
    window.setStarter([&](const QString& program, const QStringList& arguments) {
        EXPECT_TRUE(program.endsWith("quizladder"));
        started.push_back(arguments);
        return true;
    });
    const fs::path path = folder.write("test2.txt", bundled("test2.txt"));
    window.openFile(QString::fromStdString(path.string()));
    window.action("play")->trigger();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], QStringList{QString::fromStdString(path.string())}) << "saved: the file itself";
    answerBoxOf(window, 0)->setPlainText("Сто градусов");
    window.action("play")->trigger();
    ASSERT_EQ(started.size(), 2u);
    const QString copy = started[1].front();
    EXPECT_NE(copy, QString::fromStdString(path.string()));
    std::ifstream in(copy.toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), window.model().written().bytes) << "a copy as it stands";
    EXPECT_EQ(folder.read("test2.txt"), bundled("test2.txt")) << "the file stays as saved";
    EXPECT_TRUE(asked.empty());
    window.setStarter([](const QString&, const QStringList&) { return false; });
    window.action("play")->trigger();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked.back(), "Не удалось запустить игру (quizladder).");
}

}  // namespace

namespace {

TEST_F(Editor, EveryControlIsNamedAndEveryCommandHasItsKeys) {
    const std::pair<const char*, QKeySequence> keys[] = {
        {"new", QKeySequence(Qt::CTRL | Qt::Key_N)}, {"open", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"save", QKeySequence(Qt::CTRL | Qt::Key_S)}, {"saveAs", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"undo", QKeySequence(Qt::CTRL | Qt::Key_Z)}, {"redo", QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {"quit", QKeySequence(Qt::CTRL | Qt::Key_Q)}, {"manual", QKeySequence(Qt::Key_F1)},
        {"play", QKeySequence(Qt::Key_F5)}, {"right2", QKeySequence(Qt::CTRL | Qt::Key_3)}};
    for (const auto& [name, sequence] : keys) {
        ASSERT_NE(window.action(name), nullptr) << name;
        EXPECT_EQ(window.action(name)->shortcut(), sequence) << name;
    }
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&Файл", "&Правка", "&Вопрос", "&Справка"}));
    QSet<QAction*> inMenus;  // every command is found in a menu, not only by its keys
    for (const QMenu* menu : window.menuBar()->findChildren<QMenu*>())
        for (QAction* entry : menu->actions()) inMenus.insert(entry);
    for (QAction* command : window.actions()) EXPECT_TRUE(inMenus.contains(command)) << command->objectName().toStdString();
    EXPECT_FALSE(window.action("remove")->isEnabled()) << "a quiz keeps one question at least";
    window.action("add")->trigger();  // the question page with its answers shown
    EXPECT_TRUE(window.action("remove")->isEnabled());
    QWidget* last = nullptr;  // Tab goes from the last answer's button to adding one
    for (QWidget* w : window.questionPage()->findChildren<QWidget*>())
        if (w->accessibleName() == "Убрать ответ Г") last = w;
    ASSERT_NE(last, nullptr);
    QWidget* next = last->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisibleTo(&window)) next = next->nextInFocusChain();
    EXPECT_EQ(next->accessibleName(), "Добавить ответ");
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&window)) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
    window.action("right2")->trigger();
    EXPECT_TRUE(window.model().document().questions[1].answers[2].right);
    EXPECT_FALSE(window.model().document().questions[1].answers[0].right) << "exactly one is right";
    for (QWidget* field : {static_cast<QWidget*>(answerBox(0)), static_cast<QWidget*>(window.quizPage()->findChild<QLineEdit*>())}) {
        QKeyEvent undo(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
        QApplication::sendEvent(field, &undo);
        EXPECT_FALSE(undo.isAccepted()) << "Ctrl+Z in a field is the editor's undo";
        QKeyEvent letter(QEvent::ShortcutOverride, Qt::Key_Z, Qt::NoModifier, "z");
        QApplication::sendEvent(field, &letter);
        EXPECT_TRUE(letter.isAccepted()) << "a letter stays the field's";
    }
    EXPECT_FALSE(manualText().isEmpty());
    EXPECT_TRUE(manualText().contains("quizedit")) << "the manual page, rendered";
}

TEST_F(Editor, QuestionsAreAddedMovedDraggedAndRemovedAndTheListShowsTheirProblems) {
    window.openFile(QString::fromStdString(folder.write("test2.txt", bundled("test2.txt")).string()));
    const auto firstLine = [&](int q) { return window.model().text({Field::Kind::QuestionText, q}); };
    const std::string first = firstLine(0), second = firstLine(1);
    window.questionList()->setCurrentRow(0);
    EXPECT_FALSE(window.action("up")->isEnabled());
    EXPECT_TRUE(window.action("down")->isEnabled());
    window.action("down")->trigger();
    EXPECT_EQ(firstLine(1), first);
    EXPECT_EQ(window.questionList()->currentRow(), 1);
    window.questionList()->model()->moveRow({}, 1, {}, 4);  // dragged below the fourth
    EXPECT_EQ(firstLine(3), first);
    EXPECT_EQ(firstLine(0), second);
    window.action("duplicate")->trigger();
    window.action("insert")->trigger();
    EXPECT_EQ(window.model().document().questions.size(), 12u);
    window.flush();
    EXPECT_TRUE(window.questionList()->item(4)->text().endsWith("(нет текста)  ⚠")) << window.questionList()->item(4)->text().toStdString();
    window.action("remove")->trigger();
    EXPECT_EQ(window.model().document().questions.size(), 11u);
    while (window.model().canUndo()) window.action("undo")->trigger();
    EXPECT_EQ(window.model().written().bytes, bundled("test2.txt"));
    const Field answer{Field::Kind::Answer, 0, 0};
    window.questionList()->setCurrentRow(0);
    type(answerBox(0), "x");
    const std::string typed = window.model().text(answer);
    window.questionList()->setCurrentRow(1);
    window.questionList()->setCurrentRow(0);
    type(answerBox(0), "y");
    window.action("undo")->trigger();
    EXPECT_EQ(window.model().text(answer), typed) << "typing after another question is a step of its own";
}

TEST_F(Editor, AProblemLeadsToItsPlace) {
    window.action("add")->trigger();
    answerBox(0)->setPlainText(".NET\nили Java");
    window.flush();
    const auto& problems = window.problems().list;
    const auto guarded = std::find_if(problems.begin(), problems.end(), [](const Problem& p) {
        return p.message.find("строка начинается с «.»") != std::string::npos;
    });
    ASSERT_NE(guarded, problems.end());
    window.questionList()->setCurrentRow(0);
    window.problemList()->itemClicked(window.problemList()->item(static_cast<int>(guarded - problems.begin())));
    EXPECT_EQ(window.questionPage()->question(), 1);
    ASSERT_NE(window.focusWidget(), nullptr);
    EXPECT_EQ(window.focusWidget()->accessibleName(), "Ответ A");
    EXPECT_EQ(answerBox(0)->textCursor().blockNumber(), 0) << "at the line the problem is on";

    EditorWindow measured(quizcheck::WindowMeasure::measureOptions(), nullptr);  // with the game's fonts
    answerBoxOf(measured, 0)->setPlainText(QString("Очень длинный ответ ").repeated(12));
    measured.flush();
    const std::string cut = "вопрос 1, ответ A: текст ответа не помещается в своё место в окне даже мельче и будет "
                            "обрезан многоточием, целиком он будет только во всплывающей подсказке";
    const auto& found = measured.problems().list;
    EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const Problem& p) { return p.message == cut; }));
}

TEST_F(Editor, UnsavedWorkIsKeptForRecoveryAndOfferedBack) {
    testing_support::TempFolder home;
    const fs::path where = home.path() / "recovery";
    auto session = std::get<0>(RecoverySession::start(where));
    {
        EditorWindow crashed({}, std::move(session));
        crashed.action("add")->trigger();
        answerBoxOf(crashed, 0)->setPlainText("Спасти меня");
        EXPECT_TRUE(crashed.writeRecovery());
        EXPECT_FALSE(crashed.writeRecovery()) << "nothing new since";
        // Leave the copy as a crash would: the session's files stay, its lock goes with the process.
        fs::copy(where, home.path() / "left", fs::copy_options::recursive);
        while (crashed.model().canUndo()) crashed.action("undo")->trigger();
        EXPECT_FALSE(crashed.writeRecovery()) << "nothing unsaved";
        EXPECT_EQ(std::distance(fs::directory_iterator(where), {}), 1) << "the copy gone, the session's lock left";
    }
    fs::remove_all(where);
    fs::rename(home.path() / "left", where);
    EditorWindow next({}, std::get<0>(RecoverySession::start(where)));
    next.setAsker([](QMessageBox::Icon, const QString& text, QMessageBox::StandardButtons) {
        EXPECT_TRUE(text.startsWith("Редактор закрылся, не сохранив изменения (новая викторина)"));
        return QMessageBox::Yes;
    });
    ASSERT_TRUE(next.offerRecovery());
    EXPECT_EQ(next.model().text({Field::Kind::Answer, 1, 0}), "Спасти меня");
    EXPECT_TRUE(next.isWindowModified());
}

}  // namespace

namespace {

TEST_F(Editor, TheWindowFitsASmallScreenAndTheViewGrowsOnALargeOne) {
    const QSize small(1280, 688);  // a 1920 x 1080 display at scale 1.5, less a panel
    EXPECT_LE(window.minimumSizeHint().width(), small.width());
    EXPECT_LE(window.minimumSizeHint().height(), small.height());
    window.resize(small);
    window.flush();
    window.openFile(QString::fromStdString(folder.write("test2.txt", bundled("test2.txt")).string()));
    for (QWidget* page : {static_cast<QWidget*>(window.quizPage()), static_cast<QWidget*>(window.questionPage())}) {
        window.action(page == window.quizPage() ? "quiz" : "next")->trigger();
        QApplication::processEvents();
        const QWidget* viewport = page->parentWidget();
        EXPECT_LE(page->width(), viewport->width()) << "the form needs no sideways scrolling";
        QList<QWidget*> controls;  // what the author reads or types in: none lies on another
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                                   qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                   qobject_cast<QPlainTextEdit*>(w)) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
                controls << w;
        }
        ASSERT_GT(controls.size(), 10);
        for (int a = 0; a < controls.size(); ++a)
            for (int b = a + 1; b < controls.size(); ++b) {
                const QRect ra(controls[a]->mapTo(page, QPoint()), controls[a]->size());
                const QRect rb(controls[b]->mapTo(page, QPoint()), controls[b]->size());
                EXPECT_FALSE(ra.intersects(rb)) << controls[a]->accessibleName().toStdString() << " / "
                                                << controls[b]->accessibleName().toStdString();
            }
    }
    const std::string broken = testing_support::crlf("Т|.|.|Вопрос|.|Ответ|,7 " + QString("word ").repeated(45).toStdString());
    ASSERT_TRUE(window.openFile(QString::fromStdString(folder.write("test3.txt", broken).string())));
    ASSERT_TRUE(window.inTextMode());
    EXPECT_LE(window.minimumSizeHint().width(), small.width()) << "a long error wraps";
    window.openFile(QString::fromStdString(folder.path() / "test2.txt"));
    const int smallWidth = window.playerView()->image().width();
    screenshot(window, "editor_small_screen.png");
    window.resize(2400, 1300);
    window.flush();
    EXPECT_GT(window.playerView()->image().width(), smallWidth * 3 / 2);
}

}  // namespace

namespace {

TEST_F(Editor, WhatWindows1251CannotHoldIsNotSavedUntilUtf8IsChosen) {
    const fs::path path = folder.write("test1.txt", bundled("test1.txt"));
    window.openFile(QString::fromStdString(path.string()));
    window.questionList()->setCurrentRow(4);
    ASSERT_EQ(window.questionPage()->question(), 4);
    window.openFile(QString::fromStdString(path.string()));
    EXPECT_EQ(window.questionPage()->question(), 0) << "a quiz opens at its first question";
    answerBox(2)->setPlainText("Ответ 😀");
    window.action("save")->trigger();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].startsWith("Викторину нельзя сохранить так, чтобы игра её прочла:\n• вопрос 1, ответ В: символ «😀» "
                                    "(U+1F600) нельзя записать в кодировке Windows-1251"))
        << asked[0].toStdString();
    EXPECT_EQ(folder.read("test1.txt"), bundled("test1.txt")) << "nothing written";
    EXPECT_TRUE(window.action("windows1251")->isChecked());
    window.action("utf8")->trigger();
    EXPECT_TRUE(window.action("utf8")->isChecked() && !window.action("windows1251")->isChecked());
    window.action("save")->trigger();
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(folder.read("test1.txt"), window.model().written().bytes);
    EXPECT_NE(folder.read("test1.txt").find("\r\nОтвет 😀\r\n"), std::string::npos) << "in UTF-8";
}

}  // namespace
