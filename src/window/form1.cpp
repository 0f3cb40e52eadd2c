#include "window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <array>
#include <string_view>
#include <stdexcept>

#include "window/appearance.h"
#include "window/message_box.h"
#include "window/pictures.h"
#include "window/widgets.h"

namespace window {
namespace {

constexpr std::string_view kFailureTitle = "Ошибка";
constexpr std::string_view kUnknownFailure = "Неизвестная ошибка";

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a desktop's frame and title bar take around the client area, in
// pixels. Not known before the window is first shown: a generous guess, as
// today's title bars are up to about 45 pixels high.
constexpr QMargins kFrameAllowance{8, 48, 8, 8};
// The design is never drawn smaller or larger than these shares of its size;
// the largest is well beyond any screen's need and bounds the drawing's cost.
constexpr double kSmallestScale = 0.25;
constexpr double kLargestScale = 8;
constexpr int kPictureTwips = 32 * 15;

QSize designSize(double scale) {
    return {twipsToPixels(kClientWidthTwips, scale), twipsToPixels(kClientHeightTwips, scale)};
}

// The share of the designed size that fits a room, within the bounds.
double fittingScale(QSize room, double largest) {
    const double across = static_cast<double>(room.width()) / twipsToPixels(kClientWidthTwips);
    const double down = static_cast<double>(room.height()) / twipsToPixels(kClientHeightTwips);
    return std::clamp(std::min(across, down), kSmallestScale, largest);
}

// The share at which the window opens: the window and its frame fit the
// available area, and never larger than designed.
double openingScale(QSize available) {
    return fittingScale(available.shrunkBy(kFrameAllowance) - QSize(1, 1), 1.0);
}

QString letterOf(ControlName option) {
    const auto k = static_cast<std::size_t>(option) - static_cast<std::size_t>(ControlName::Option1);
    return fromUtf8(kAnswerLetters.at(k));
}

// Where a label stands once its text is fitted.
QRect labelRect(const ControlDef& def, AutoSize sizing, const FittedText& fitted, double scale) {
    const QRect designed = pixelRect(def.rect, scale);
    switch (sizing) {
    case AutoSize::Off:
        break;
    case AutoSize::OneLine:
        return QRect(designed.topLeft(), fitted.size);
    case AutoSize::WrapHeight:
        // An empty caption keeps one line of height, so the label never vanishes.
        return QRect(designed.topLeft(),
                     QSize(designed.width(), std::max(fitted.size.height(), QFontMetrics(fitted.font).height())));
    }
    return designed;
}

// The keys that choose option k + 1: its digit, its answer letter and that
// letter's place on a Latin layout. Matched on the typed text, so any layout
// works.
constexpr std::array<std::u16string_view, 4> kOptionKeys{u"1АA", u"2БB", u"3ВV", u"4ГG"};

// The option (1..4) a typed text chooses, or 0.
int optionForKey(const QString& typed) {
    if (typed.size() != 1) return 0;
    const char16_t key = typed.toUpper().at(0).unicode();
    for (std::size_t k = 0; k < kOptionKeys.size(); ++k)
        if (kOptionKeys[k].find(key) != std::u16string_view::npos) return static_cast<int>(k) + 1;
    return 0;
}

// Back colour behind labels and options (Window) and on button faces (Button).
void setBack(QPalette& palette, Color color) {
    palette.setColor(QPalette::Window, toQColor(color));
    palette.setColor(QPalette::Button, toQColor(color));
}

// Text colour while enabled; disabled text stays grey so it still looks disabled.
void setFore(QPalette& palette, Color color) {
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, toQColor(color));
        palette.setColor(group, QPalette::ButtonText, toQColor(color));
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, toQColor(kGrayText));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, toQColor(kGrayText));
}

// Sets the colours on a copy of the widget's palette, then the palette once.
template <typename Change>
void recolour(QWidget* widget, Change change) {
    QPalette palette = widget->palette();
    change(palette);
    widget->setPalette(palette);
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setTitle(std::string(kFormTitle));
    setWindowIcon(quizIcon());
    setAutoFillBackground(true);
    recolour(this, [](QPalette& p) { setBack(p, kFormBack); });
    page_ = new QWidget(this);

    options_.setExclusive(true);
    controls_.reserve(kControls.size());
    for (const ControlDef& def : kControls) controls_.push_back(makeControl(def));
    // Labels lie behind the buttons wherever they grow over them.
    for (const Control& control : controls_)
        if (control.label == nullptr) control.widget->raise();
    orderTabs();
    applyScale(1.0);
    resize(designSize(1.0));
    setMinimumSize(designSize(kSmallestScale));
    find(Command1).widget->setFocus(Qt::OtherFocusReason);
}

Form1::~Form1() = default;

Form1::Control Form1::makeControl(const ControlDef& def) {
    Control control;
    control.def = &def;
    control.caption = def.caption;
    control.sizing = def.autoSize;
    const ControlName name = def.name;
    switch (def.kind) {
    case ControlKind::Label:
        control.label = new FormLabel(page_);
        control.widget = control.label;
        break;
    case ControlKind::Option:
        control.option = new OptionButton(page_);
        control.widget = control.option;
        options_.addButton(control.option);
        connect(control.option, &QAbstractButton::clicked, this, [this, name] { clicked(name); });
        break;
    case ControlKind::Command:
        control.command = new CommandButton(page_);
        control.widget = control.command;
        connect(control.command, &QAbstractButton::clicked, this, [this, name] { clicked(name); });
        break;
    }
    QWidget* widget = control.widget;
    widget->setObjectName(fromUtf8(describe({def.name, def.index})));
    recolour(widget, [&def](QPalette& p) {
        setBack(p, def.back);
        setFore(p, def.fore);
    });
    return control;
}

void Form1::applyScale(double scale) {
    scale_ = scale;
    if (!laidOut_) return;
    page_->resize(designSize(scale));
    for (Control& control : controls_) {
        const ControlDef& def = *control.def;
        control.widget->setGeometry(pixelRect(def.rect, scale));
        if (def.font.points > 0) control.widget->setFont(designFont(def.font, scale));
        if (control.option != nullptr) control.option->setParts(optionParts(def, scale), letterOf(def.name));
        if (control.command != nullptr) control.command->setScale(scale);
        showCaption(control);
    }
    find(Command3).command->setPicture(fiftyFiftyPicture(twipsToPixels(kPictureTwips, scale)));
}

void Form1::fitPage() {
    // The same size gives the same scale, so the designed size is drawn
    // exactly as at the start, and a move alone costs nothing.
    if (const double scale = fittingScale(size(), kLargestScale); scale != scale_) applyScale(scale);
    centrePage();
}

void Form1::centrePage() { page_->move((width() - page_->width()) / 2, (height() - page_->height()) / 2); }

void Form1::layOut() const {
    if (laidOut_) return;
    // Looking at the window is no change to it, so the const accessors lay it
    // out too; it writes only the mutable members and the controls' widgets.
    auto* self = const_cast<Form1*>(this);
    self->laidOut_ = true;
    self->applyScale(fittingScale(size(), kLargestScale));
    self->centrePage();
}

void Form1::setVisible(bool visible) {
    // Before the controls are shown: a control shown without a rectangle of
    // its own would first be sized to its contents.
    if (visible) layOut();
    QWidget::setVisible(visible);
}

bool Form1::event(QEvent* event) {
    // The window is polished before it is first drawn, shown or not (grab()).
    if (event->type() == QEvent::Polish) layOut();
    return QWidget::event(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitPage();
}

void Form1::orderTabs() {
    std::vector<const Control*> focusable;
    for (const Control& control : controls_)
        if (control.label == nullptr) focusable.push_back(&control);
    std::ranges::sort(focusable, {}, [](const Control* c) { return c->def->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1]->widget, focusable[i]->widget);
}

void Form1::showCaption(Control& control) {
    if (!laidOut_) return;
    const ControlDef& def = *control.def;
    const QString text = displayText(control.caption);
    const QString held = heldText(text);
    bool elided = false;
    if (control.command != nullptr) {
        control.command->setDisplayText(text);
    } else {
        // Nothing in a rectangle of its own (the milestone boxes, the hidden
        // options) fits as designed: no font need be loaded to measure it.
        const FittedText fitted = text.isEmpty() && control.sizing == AutoSize::Off
                                      ? FittedText{Fit::AsDesigned, designFont(def.font, scale_), text, {}}
                                      : fitText(text, textBox(def, control.sizing, optionsShown(), scale_));
        elided = fitted.fit == Fit::Elided;
        if (def.font.points > 0) control.widget->setFont(fitted.font);
        if (control.label != nullptr) {
            control.label->setWordWrap(control.sizing == AutoSize::WrapHeight);
            control.label->setText(fitted.shown);
            control.label->setGeometry(labelRect(def, control.sizing, fitted, scale_));
        } else {
            control.option->setDisplayText(held);
            control.option->setShownText(fitted.shown);
        }
    }
    control.widget->setToolTip(elided ? held : QString());

    // Screen readers announce a ladder step by its place and its points, an
    // option by its letter and its caption, any other control by its caption,
    // or by its role while the caption is empty. A cut text is whole in the
    // description.
    const QString role = fromUtf8(def.role);
    if (def.name == ControlName::Label1) {
        control.widget->setAccessibleName(role + QLatin1Char(' ') + QString::number(def.index));
        control.widget->setAccessibleDescription(held);
        return;
    }
    if (text.isEmpty())
        control.widget->setAccessibleName(role);
    else
        control.widget->setAccessibleName(control.option != nullptr ? role + QStringLiteral(": ") + held : held);
    control.widget->setAccessibleDescription(elided ? held : QString());
}

bool Form1::optionsShown() const {
    return std::ranges::any_of(controls_, [](const Control& c) { return c.option != nullptr && !c.option->isHidden(); });
}

Form1::Control& Form1::find(ControlRef control) {
    const auto found = std::ranges::find_if(controls_, [control](const Control& c) {
        return c.def->name == control.name && c.def->index == control.index;
    });
    if (found == controls_.end()) throw std::out_of_range("no control " + describe(control));
    return *found;
}

const Form1::Control& Form1::find(ControlRef control) const {
    return const_cast<Form1*>(this)->find(control);
}

void Form1::setEvents(FormEvents* events) { events_ = events; }

void Form1::setMessageResponder(MessageResponder responder) { responder_ = std::move(responder); }

void Form1::setEndHandler(EndHandler handler) { endHandler_ = std::move(handler); }

bool Form1::start() {
    if (!loaded_) {
        loaded_ = true;
        if (events_ != nullptr) runHandler([this] { events_->load(); });
    }
    if (ended_) return false;
    const QScreen* screen = this->screen();
    if (screen != nullptr && !(windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized))) {
        const QRect area = screen->availableGeometry();
        resize(designSize(openingScale(area.size())));
        QRect frame = QRect(QPoint(), size()).marginsAdded(kFrameAllowance);
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }
    show();
    activateWindow();
    return true;
}

int Form1::run() {
    if (!start()) return exitStatus_;
    const int status = QApplication::exec();
    // Closing the window may leave the loop with its own status; the ending
    // that came first decides.
    return ended_ ? exitStatus_ : status;
}

void Form1::clicked(ControlName name) {
    // A click that reaches a hidden option (from code) is not the player's.
    if (find({name}).widget->isHidden()) return;
    if (events_ != nullptr) runHandler([this, name] { events_->click(name); });
}

void Form1::press(ControlRef control) {
    QAbstractButton* button = static_cast<QAbstractButton*>(find(control).widget);
    if (!button->isHidden() && button->isEnabled()) button->click();
}

void Form1::runHandler(const std::function<void()>& handler) {
    // One event at a time: nothing reaches the game while a handler runs
    // (a modal box holds the loop) or after the program has ended.
    if (ended_ || inHandler_) return;
    inHandler_ = true;
    try {
        handler();
    } catch (const ProgramEnd& end) {
        finish(end.exitStatus);
    } catch (const std::exception& failure) {
        showFailure(failure.what());
        finish(1);
    } catch (...) {
        showFailure(std::string(kUnknownFailure));
        finish(1);
    }
    inHandler_ = false;
}

void Form1::showFailure(const std::string& message) {
    // The failure box must not let a second failure escape into Qt's loop.
    try {
        messageBox(message, std::string(kFailureTitle), Buttons::Ok, Icon::Critical);
    } catch (...) {
    }
}

void Form1::finish(int exitStatus) {
    if (ended_) return;
    ended_ = true;
    exitStatus_ = exitStatus;
    if (endHandler_) {
        endHandler_(exitStatus);
        return;
    }
    close();
    // Outside a running loop (an end during load) exit() would only make the
    // next loop of this thread return at once; run() gives the status itself.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(exitStatus);
}

void Form1::closeEvent(QCloseEvent* event) {
    // The window's own close command ends the program silently, status 0.
    finish(0);
    event->accept();
}

void Form1::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_F11:
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return;
    case Qt::Key_Escape:
        // Command4 is the cancel button; Enter never presses it.
        press(Command4);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        press(enterTarget());
        return;
    default:
        break;
    }
    if (const int k = optionForKey(event->text()); k != 0) {
        // Like a mouse click, the key also moves the focus to the option.
        QWidget* chosen = find(option(k)).widget;
        if (!chosen->isHidden()) chosen->setFocus(Qt::ShortcutFocusReason);
        press(option(k));
        return;
    }
    QWidget::keyPressEvent(event);
}

ControlRef Form1::enterTarget() const {
    // Command1 stays the answer to Enter on an option or with no button
    // focused, so choosing by key and confirming by Enter keeps working.
    // The window's own focus child, not the application's, which a window
    // that is not active has none of.
    for (const ControlRef c : {Command2, Command3, Command4})
        if (focusWidget() == find(c).widget) return c;
    return Command1;
}

QWidget* Form1::widget(ControlRef control) const {
    layOut();
    return find(control).widget;
}

QWidget* Form1::page() const {
    layOut();
    return page_;
}

std::string Form1::title() const { return title_; }

QColor Form1::backColor(ControlRef control) const {
    return find(control).widget->palette().color(QPalette::Window);
}

QColor Form1::foreColor(ControlRef control) const {
    return find(control).widget->palette().color(QPalette::Active, QPalette::WindowText);
}

bool Form1::controlVisible(ControlRef control) const { return !find(control).widget->isHidden(); }

bool Form1::controlEnabled(ControlRef control) const { return find(control).widget->isEnabled(); }

QString Form1::shownText(ControlRef control) const {
    layOut();
    const Control& found = find(control);
    if (found.label != nullptr) return found.label->text();
    return found.option != nullptr ? found.option->shownText() : QString();
}

bool Form1::selected(ControlRef control) const {
    const Control& found = find(control);
    return found.option != nullptr && found.option->isChecked();
}

void Form1::setTitle(const std::string& text) {
    title_ = text;
    // Qt reads "[*]" in a title as the place of a modified mark and drops it;
    // doubled, it shows as written. An empty title would make the platform
    // show the program's name instead, so the title bar gets a blank.
    QString shown = fromUtf8(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(shown.isEmpty() ? QStringLiteral(" ") : shown);
}

void Form1::setCaption(ControlRef control, const std::string& text) {
    Control& found = find(control);
    found.caption = text;
    showCaption(found);
}

std::string Form1::caption(ControlRef control) const { return find(control).caption; }

void Form1::setVisible(ControlRef control, bool visible) {
    const bool optionsWereShown = optionsShown();
    find(control).widget->setVisible(visible);
    // Label2 makes room for the options, or takes back the room above the buttons.
    if (optionsShown() != optionsWereShown) showCaption(find(Label2));
}

void Form1::setEnabled(ControlRef control, bool enabled) { find(control).widget->setEnabled(enabled); }

void Form1::setBackColor(ControlRef control, Color color) {
    recolour(find(control).widget, [color](QPalette& p) { setBack(p, color); });
}

void Form1::setForeColor(ControlRef control, Color color) {
    recolour(find(control).widget, [color](QPalette& p) { setFore(p, color); });
}

void Form1::setWordWrapAutoSize(ControlRef control) {
    Control& found = find(control);
    if (found.label == nullptr) throw std::invalid_argument("word wrap applies to labels, not " + describe(control));
    found.sizing = AutoSize::WrapHeight;
    showCaption(found);
}

std::string Form1::tag(ControlRef control) const { return find(control).tag; }

void Form1::setTag(ControlRef control, const std::string& text) { find(control).tag = text; }

void Form1::clearSelection(ControlRef control) {
    const Control& found = find(control);
    if (found.option == nullptr)
        throw std::invalid_argument("clear selection applies to option buttons, not " + describe(control));
    // An exclusive group refuses to uncheck its checked button.
    options_.setExclusive(false);
    found.option->setChecked(false);
    options_.setExclusive(true);
}

Reply Form1::messageBox(const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
    if (responder_) return responder_(text, title, buttons, icon);
    // Their text grows with the design; on a small screen it stays readable.
    return execMessageBox(text, title, buttons, icon, this, std::max(1.0, scale_));
}

void Form1::endProgram() { throw ProgramEnd{0}; }

void Form1::stopOnFailure(const std::string& message) {
    showFailure(message);
    throw ProgramEnd{1};
}

}  // namespace window
