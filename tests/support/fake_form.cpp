#include "support/fake_form.h"

#include <exception>
#include <stdexcept>

namespace testing_support {

using window::ControlName;
using window::ControlRef;

namespace {

bool isOption(ControlRef c) {
    return c.name >= ControlName::Option1 && c.name <= ControlName::Option4;
}
bool isCommand(ControlRef c) {
    return c.name >= ControlName::Command1 && c.name <= ControlName::Command4;
}

}  // namespace

std::string controlName(ControlRef control) { return window::describe(control); }

FakeForm::FakeForm() : title_(window::kFormTitle) {
    for (const window::ControlDef& def : window::kControls) {
        ControlState& control = controls_[key({def.name, def.index})];
        control.caption = def.caption;
        control.back = def.back;
        control.fore = def.fore;
    }
}

FakeForm::Key FakeForm::key(ControlRef control) {
    return {static_cast<int>(control.name), control.index};
}

ControlState& FakeForm::at(ControlRef control) {
    const auto found = controls_.find(key(control));
    if (found == controls_.end()) throw std::out_of_range("no control " + controlName(control));
    return found->second;
}

const ControlState& FakeForm::state(ControlRef control) const {
    const auto found = controls_.find(key(control));
    if (found == controls_.end()) throw std::out_of_range("no control " + controlName(control));
    return found->second;
}

void FakeForm::record(const std::string& entry) { log_.push_back(entry); }

void FakeForm::setTitle(const std::string& text) {
    title_ = text;
    record("title " + text);
}

void FakeForm::setCaption(ControlRef control, const std::string& text) {
    at(control).caption = text;
    record("caption " + controlName(control) + " " + text);
}

std::string FakeForm::caption(ControlRef control) const { return state(control).caption; }

void FakeForm::setVisible(ControlRef control, bool visible) {
    at(control).visible = visible;
    record("visible " + controlName(control) + (visible ? " 1" : " 0"));
}

void FakeForm::setEnabled(ControlRef control, bool enabled) {
    at(control).enabled = enabled;
    record("enabled " + controlName(control) + (enabled ? " 1" : " 0"));
}

void FakeForm::setBackColor(ControlRef control, window::Color color) {
    at(control).back = color;
    record("back " + controlName(control) + " " + std::to_string(color));
}

void FakeForm::setForeColor(ControlRef control, window::Color color) {
    at(control).fore = color;
    record("fore " + controlName(control) + " " + std::to_string(color));
}

void FakeForm::setWordWrapAutoSize(ControlRef control) {
    at(control).wordWrap = true;
    record("wordwrap " + controlName(control));
}

std::string FakeForm::tag(ControlRef control) const { return state(control).tag; }

void FakeForm::setTag(ControlRef control, const std::string& text) {
    at(control).tag = text;
    record("tag " + controlName(control) + " " + text);
}

void FakeForm::clearSelection(ControlRef control) {
    at(control).selected = false;
    record("unselect " + controlName(control));
}

window::Reply FakeForm::messageBox(const std::string& text, const std::string& title,
                                   window::Buttons buttons, window::Icon icon) {
    boxes_.push_back({text, title, buttons, icon});
    record("box " + title + " | " + text);
    if (buttons == window::Buttons::Ok) return window::Reply::Ok;
    if (replies_.empty()) throw std::logic_error("the test gave no reply for box: " + text);
    const window::Reply reply = replies_.front();
    replies_.pop_front();
    return reply;
}

void FakeForm::endProgram() {
    record("end");
    throw window::ProgramEnd{0};
}

void FakeForm::stopOnFailure(const std::string& message) {
    failure_ = message;
    record("failure " + message);
    throw window::ProgramEnd{1};
}

void FakeForm::deliver(window::FormEvents& events, ControlRef control, bool load) {
    try {
        try {
            if (load) {
                events.load();
            } else {
                events.click(control.name);
            }
        } catch (const window::ProgramEnd&) {
            throw;
        } catch (const std::logic_error& e) {
            // A fault of the test itself, not of the game: let it fail the test.
            if (dynamic_cast<const std::out_of_range*>(&e) == nullptr &&
                dynamic_cast<const std::invalid_argument*>(&e) == nullptr) {
                throw;
            }
            stopOnFailure(e.what());
        } catch (const std::exception& e) {
            stopOnFailure(e.what());
        }
    } catch (const window::ProgramEnd& end) {
        exitStatus_ = end.exitStatus;
    }
}

void FakeForm::start(window::FormEvents& events) { deliver(events, {}, true); }

bool FakeForm::click(window::FormEvents& events, ControlRef control) {
    if (ended()) return false;
    ControlState& target = at(control);
    if (isOption(control)) {
        if (!target.visible) return false;
        for (int k = 1; k <= 4; ++k) at(window::option(k)).selected = false;
        target.selected = true;
    } else if (isCommand(control)) {
        if (!target.enabled) return false;
    } else {
        return false;
    }
    record("click " + controlName(control));
    deliver(events, control, false);
    return true;
}

}  // namespace testing_support
