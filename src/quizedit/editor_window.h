// The editor's main window: the quiz as a form (the quiz page and the chosen
// question's page), the list of questions, the problems found as the author
// types, and the player's view; a broken file opens at its text instead of
// the form. The menus Файл, Правка, Вопрос, Справка and the toolbar hold
// every command, each with its shortcut.
//
// The window keeps no quiz state of its own: the EditModel holds the quiz,
// and every change the author makes is an edit of it, which the window then
// shows (the form, the list, the title's modified mark, the problems, the
// player's view). While there are unsaved changes a recovery copy is written
// every few seconds (RecoverySession).
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "quizcheck/quiz_check.h"
#include "quizedit/model/edit_model.h"
#include "quizedit/model/problems.h"
#include "quizedit/model/recovery.h"
#include "quizedit/player_view.h"

class QListWidget;
class QStackedWidget;
class QTabWidget;
class QLabel;

namespace quizedit {

class QuizPage;
class QuestionPage;
class TextPage;

class EditorWindow : public QMainWindow {
    Q_OBJECT
public:
    // Asks the author: gives the button pressed.
    using Asker = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons)>;
    // Chooses a file to open (save false) or to save to: gives its path, or
    // the empty text when the author cancels.
    using FileChooser = std::function<QString(bool save, const QString& folder, const QString& name,
                                              const QStringList& filters)>;
    // Starts a program in a process of its own; false when it cannot.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    // `measure` measures texts as the game's window does; `recovery`, when
    // there is one, keeps the recovery copies.
    EditorWindow(quizcheck::CheckOptions measure, std::unique_ptr<RecoverySession> recovery);
    ~EditorWindow() override;

    // Seams for tests; empty restores the real dialogs and process start.
    void setAsker(Asker asker) { asker_ = std::move(asker); }
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    void setStarter(Starter starter) { starter_ = std::move(starter); }

    // Opens a quiz file: into the form, or at its text when the reader
    // refuses it. False (and the author told why) when it cannot be read.
    bool openFile(const QString& path);
    // Imports a spreadsheet, Aiken or GIFT file as a new quiz.
    bool importFile(const QString& path);
    // Saves to `path` (asking nothing); false and the author told why when not.
    bool saveTo(const QString& path);
    // Offers the recovery copies that editors left behind; true when one was taken back.
    bool offerRecovery();
    // Puts back a recovery copy as unsaved work.
    void restore(const Recovered& copy);

    const EditModel& model() const { return model_; }
    // The file the quiz belongs to; empty for a new one.
    const QString& filePath() const { return path_; }
    bool inTextMode() const;
    // The problems and the player's view brought up to date now, rather than
    // after the short pause that gathers a burst of typing.
    void flush();
    // The recovery timer's work: writes the copy when something changed since
    // the last one. False when there was nothing to write or no session.
    bool writeRecovery();

    // For tests: the window's parts.
    QAction* action(const QString& name) const;
    QuizPage* quizPage() const { return quizPage_; }
    QuestionPage* questionPage() const { return questionPage_; }
    TextPage* textPage() const { return textPage_; }
    PlayerView* playerView() const { return view_; }
    QListWidget* questionList() const { return list_; }
    QListWidget* problemList() const { return problems_; }
    const Problems& problems() const { return found_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Lets Ctrl+Z and Ctrl+Y in the form's fields reach the editor's undo and redo.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // editor_window.cpp: building the window and showing the model.
    void buildActions();
    void buildMenus();
    QWidget* buildQuestionsPanel();
    QWidget* buildPreviewPanel();
    QAction* addAction(const QString& name, const QString& text, const QKeySequence& keys,
                       void (EditorWindow::*slot)());
    void connectPages();
    // Shows the model after an edit; `field` is where the edit was.
    void changed();
    void showQuestionList();
    void showProblems();
    void showPlayer();
    void updateTitle();
    void updateActions();
    void chooseQuestion(int question);
    void goTo(const Field& field, int line);
    void goToProblem(int index);
    Screen currentScreen() const;
    QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons);

    // The commands.
    void undo();
    void redo();
    void addQuestion();
    void insertQuestion();
    void duplicateQuestion();
    void removeQuestion();
    void moveUp();
    void moveDown();
    void previousQuestion();
    void nextQuestion();
    void showQuiz();
    void nextProblem();
    void showManual();
    void showAbout();
    void quit() { close(); }
    // Makes answer `answer` of the chosen question the right one.
    void makeRight(int answer);

    // editor_files.cpp: files, playing and recovery.
    void newFile();
    void open();
    void importAny();
    void save();
    void saveAs();
    void play();
    void useWindows1251();
    void useUtf8();
    // Asks what to do with unsaved changes; false when the author cancels.
    bool maybeSave();
    // Starts editing `document` (a new, opened, imported or restored quiz).
    void startEditing(quiz::QuizDocument document, const QString& path, bool saved);
    void startMending(const QuizText& text, const QString& path, bool saved);
    void continueInForm();
    bool writeQuiz(const QString& path, const std::string& bytes);
    QString chooseFile(bool save, const QString& name, const QStringList& filters);
    // Where the file dialog starts: the quiz's own folder (to save, only when
    // it may be written), else the game's play folder, else (to open) the
    // bundled quizzes, else the home folder.
    QString folder(bool save) const;
    QString fileName() const;

    quizcheck::CheckOptions measure_;
    std::unique_ptr<RecoverySession> recovery_;
    EditModel model_;
    QString path_;
    Problems found_;
    int question_ = 0;
    bool verdictsFocused_ = false;
    long long edits_ = 0;           // edits so far, to know when a recovery copy is due
    long long recoveredAt_ = 0;     // edits_ when the copy was last written
    QTimer updateTimer_;
    QTimer recoveryTimer_;
    QTemporaryDir playFolder_;
    Asker asker_;
    FileChooser chooser_;
    Starter starter_;

    std::map<QString, QAction*> actions_;
    QStackedWidget* stack_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QuizPage* quizPage_ = nullptr;
    QuestionPage* questionPage_ = nullptr;
    TextPage* textPage_ = nullptr;
    QListWidget* list_ = nullptr;
    QListWidget* problems_ = nullptr;
    PlayerView* view_ = nullptr;
    QLabel* viewTitle_ = nullptr;
    QLabel* summary_ = nullptr;
};

}  // namespace quizedit
