// The one window of the game, Form1, built with Qt Widgets.
#pragma once

#include <QButtonGroup>
#include <QColor>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "window/controls.h"
#include "window/form_ops.h"
#include "window/text_fit.h"

namespace window {

class FormLabel;
class OptionButton;
class CommandButton;

// Form1 builds its 29 controls from the design (kControls), carries out the
// operations of FormOps on them and delivers the window's events to the game.
//
// Use in main():
//     QApplication app(argc, argv);
//     window::Form1 form;
//     Game game(form);            // the game drives form through FormOps
//     form.setEvents(&game);
//     return form.run();
//
// The window may be resized, maximised and shown full screen (F11): the whole
// design (rectangles, fonts, the ladder, the answer letters, the 50/50
// picture, the message boxes' text) is drawn at the one scale that fits,
// through twipsToPixels. At the designed size it is exactly as designed.
//
// The event boundary: every event (load, each click) runs one handler to the
// end. Inside it, endProgram() and stopOnFailure() throw ProgramEnd, which the
// boundary turns into the end of the program with its exit status; any other
// exception escaping the handler is shown in a critical box titled "Ошибка"
// with its message and ends the program with status 1. Once the program has
// ended no further event is delivered.
//
// Texts: a caption that does not fit its control is shown whole in a smaller
// size of its font, or cut with "…" and held whole in the control's tooltip
// and accessible description (fitText). Label2 grows with its text down to
// the options while one is shown, down to the buttons otherwise. Each option
// shows its answer letter beside its caption; the letter is no part of it.
//
// Keyboard: 1-4 and the answer letters А, Б, В, Г (A, B, V, G on a Latin
// layout) choose the matching shown option exactly as a click does; Enter
// presses the focused command button, or Command1 when the focus is on an
// option or on no button; Esc presses Command4, the cancel button. A button
// that is hidden or disabled is not pressed. Tab runs through the buttons in
// the designed order, Space presses the focused one. F11 switches full screen
// on and off.
class Form1 : public QWidget, public FormOps {
    Q_OBJECT
public:
    // Answers a message box in place of the player (tests); gets the text,
    // title, buttons and icon the box would show.
    using MessageResponder =
        std::function<Reply(const std::string& text, const std::string& title, Buttons buttons,
                            Icon icon)>;
    // Called once when the program ends, with its exit status. The default
    // closes the window and leaves the event loop with that status.
    using EndHandler = std::function<void(int exitStatus)>;

    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The handler of load and clicks; not owned; may be null (no events).
    void setEvents(FormEvents* events);
    // An empty responder (the default) shows real modal boxes.
    void setMessageResponder(MessageResponder responder);
    // An empty handler restores the default.
    void setEndHandler(EndHandler handler);

    // Delivers load() (the first call only) and then, unless the program
    // ended during it, shows the window with Command1 holding the focus: full
    // screen or maximised when its window state says so, otherwise at the
    // designed size centred on its screen, or smaller in proportion where the
    // screen's available area cannot hold it and a title bar. Gives false if
    // the program has ended.
    bool start();
    // start(), then the application's event loop. Gives the exit status: that
    // of endProgram (0) or stopOnFailure (1), or 0 when the player closed the
    // window. If the program ended during load, returns at once without
    // showing the window. Needs a QApplication.
    int run();

    bool ended() const { return ended_; }
    // Meaningful once ended().
    int exitStatus() const { return exitStatus_; }

    // For tests: the widget of a control; its shown colours, its own visible
    // flag (whether the window is shown or not), its enabled state and, for
    // option buttons, whether it is selected. Throw std::out_of_range for a
    // control that does not exist.
    QWidget* widget(ControlRef control) const;
    // The title last set, as the game gave it.
    std::string title() const;
    QColor backColor(ControlRef control) const;
    QColor foreColor(ControlRef control) const;
    bool controlVisible(ControlRef control) const;
    bool controlEnabled(ControlRef control) const;
    bool selected(ControlRef control) const;
    // The text as drawn: the caption whole, or cut with "…"; labels and options.
    QString shownText(ControlRef control) const;
    // The share of the designed size the design is drawn at: the largest
    // that fits the window (1 at the designed size), between 0.25 and 8.
    double scale() const { return scale_; }
    // The widget that holds every control, as large as the design at its
    // scale and centred in the window; the window's back colour fills the
    // room around it.
    QWidget* page() const;

    // FormOps. A control that does not exist (Label1(0), Label3(4), ...)
    // throws std::out_of_range; word wrap on anything but a label and clear
    // selection on anything but an option button throw std::invalid_argument.
    // Captions may hold CR LF line ends; caption() gives back the exact text.
    // A title shows exactly as given; the empty one leaves the title bar empty.
    void setTitle(const std::string& text) override;
    void setCaption(ControlRef control, const std::string& text) override;
    std::string caption(ControlRef control) const override;
    void setVisible(ControlRef control, bool visible) override;
    // Shows or hides the window; shown, it is laid out first.
    void setVisible(bool visible) override;
    using QWidget::setEnabled;
    void setEnabled(ControlRef control, bool enabled) override;
    void setBackColor(ControlRef control, Color color) override;
    void setForeColor(ControlRef control, Color color) override;
    void setWordWrapAutoSize(ControlRef control) override;
    std::string tag(ControlRef control) const override;
    void setTag(ControlRef control, const std::string& text) override;
    void clearSelection(ControlRef control) override;
    Reply messageBox(const std::string& text, const std::string& title, Buttons buttons,
                     Icon icon) override;
    [[noreturn]] void endProgram() override;
    [[noreturn]] void stopOnFailure(const std::string& message) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Control {
        const ControlDef* def = nullptr;
        QWidget* widget = nullptr;
        FormLabel* label = nullptr;
        OptionButton* option = nullptr;
        CommandButton* command = nullptr;
        AutoSize sizing = AutoSize::Off;  // labels
        std::string caption;
        std::string tag;
    };

    Control makeControl(const ControlDef& def);
    void orderTabs();
    // Sets every rectangle, font and picture at this share of the design.
    void applyScale(double scale);
    // The design at the scale that fits the window, centred in it.
    void fitPage();
    void centrePage();
    // Lays the controls out for the first time, at the scale that fits the
    // window, if that is still to do.
    void layOut() const;
    void showCaption(Control& control);
    bool optionsShown() const;
    Control& find(ControlRef control);
    const Control& find(ControlRef control) const;
    // A press of a button from the mouse, the keyboard or code.
    void clicked(ControlName name);
    // Presses a command button or selects an option as a click would, if it
    // is shown and enabled.
    void press(ControlRef control);
    // The button Enter presses.
    ControlRef enterTarget() const;
    void runHandler(const std::function<void()>& handler);
    void showFailure(const std::string& message);
    void finish(int exitStatus);

    QWidget* page_ = nullptr;
    std::vector<Control> controls_;
    std::string title_;
    QButtonGroup options_;
    FormEvents* events_ = nullptr;
    MessageResponder responder_;
    EndHandler endHandler_;
    bool loaded_ = false;
    bool inHandler_ = false;
    bool ended_ = false;
    int exitStatus_ = 0;
    // Until the window is first shown or drawn, or a control is looked at,
    // captions, fonts and rectangles are only recorded: the game replaces most
    // captions while it loads, and measuring the ones it replaces would only
    // delay the first frame. Looking lays the window out, so these two change
    // in const accessors too (the widgets are the controls' own).
    mutable double scale_ = 1.0;
    mutable bool laidOut_ = false;
};

}  // namespace window
