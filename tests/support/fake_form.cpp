#include "support/fake_form.h"

#include <exception>
#include <stdexcept>

namespace testing_support {

using window::ControlName;
using window::ControlRef;

FakeForm::FakeForm() : title_(window::kFormTitle) {
    for (const window::ControlDef& def : window::kControls)
        controls_[key({def.name, def.index})] = {
            .caption = std::string(def.caption), .back = def.back, .fore = def.fore, .tag = ""};
}

ControlState& FakeForm::at(ControlRef c, const char* operation, const std::string& value) {
    const auto found = controls_.find(key(c));
    if (found == controls_.end()) throw std::out_of_range("no control " + window::describe(c));
    record(std::string(operation) + " " + window::describe(c) + " " + value);
    return found->second;
}

window::Reply FakeForm::messageBox(const std::string& text, const std::string& title, window::Buttons buttons,
                                   window::Icon icon) {
    record("box " + title + " | " + text);
    boxes_.push_back({text, title, buttons, icon});
    if (buttons == window::Buttons::Ok) return window::Reply::Ok;
    if (replies_.empty()) throw std::logic_error("the test gave no reply for box: " + text);
    const window::Reply reply = replies_.front();
    replies_.pop_front();
    return reply;
}

// As the real window's boundary: the end of the program ends it; any other
// exception is a failure shown to the player. A fault of the test itself (a
// std::logic_error other than a range or argument fault) fails the test.
void FakeForm::deliver(const std::function<void()>& event) {
    try {
        event();
    } catch (const window::ProgramEnd& end) {
        exitStatus_ = end.exitStatus;
    } catch (const std::logic_error& e) {
        if (!dynamic_cast<const std::out_of_range*>(&e) && !dynamic_cast<const std::invalid_argument*>(&e)) throw;
        fail(e.what());
    } catch (const std::exception& e) {
        fail(e.what());
    }
}

void FakeForm::start(window::FormEvents& events) { deliver([&] { events.load(); }); }

bool FakeForm::click(window::FormEvents& events, ControlRef control) {
    const bool option = control.name >= ControlName::Option1 && control.name <= ControlName::Option4;
    if (ended() || control.name < ControlName::Option1) return false;  // the options and the buttons come last
    ControlState& target = controls_.at(key(control));
    if (option ? !target.visible : !target.enabled) return false;
    if (option)
        for (int k = 1; k <= 4; ++k) controls_.at(key(window::option(k))).selected = window::option(k) == control;
    record("click " + window::describe(control));
    deliver([&] { events.click(control.name); });
    return true;
}

}  // namespace testing_support
