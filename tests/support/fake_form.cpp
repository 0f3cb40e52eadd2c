#include "support/fake_form.h"

#include <array>
#include <exception>
#include <stdexcept>

namespace testing_support {

using window::ControlName;
using window::ControlRef;

namespace {

// Ladder steps 1..15 as designed: caption and back colour.
struct DesignedStep {
    const char* caption;
    window::Color back;
};
constexpr window::Color kButtonFace = 0x8000000F;
constexpr std::array<DesignedStep, 15> kDesignedLadder{{
    {"1 балл", window::kRed},        {"2 балла", kButtonFace},
    {"4 балла", kButtonFace},        {"8 баллов", window::kGreen},
    {"16 баллов", kButtonFace},      {"32 балла", kButtonFace},
    {"48 баллов", kButtonFace},      {"64 балла", window::kGreen},
    {"80 баллов", kButtonFace},      {"100 баллов", kButtonFace},
    {"125 баллов", kButtonFace},     {"150 баллов", window::kGreen},
    {"175 баллов", kButtonFace},     {"200 баллов", kButtonFace},
    {"250 баллов", window::kGreen},
}};

constexpr std::array<const char*, 12> kNames{
    "Label1",  "Label2",  "Label3",  "Label16",  "Option1",  "Option2",
    "Option3", "Option4", "Command1", "Command2", "Command3", "Command4",
};

bool isOption(ControlRef c) {
    return c.name >= ControlName::Option1 && c.name <= ControlName::Option4;
}
bool isCommand(ControlRef c) {
    return c.name >= ControlName::Command1 && c.name <= ControlName::Command4;
}

}  // namespace

std::string controlName(ControlRef control) {
    std::string name = kNames.at(static_cast<std::size_t>(control.name));
    if (control.index >= 0) name.append("(").append(std::to_string(control.index)).append(")");
    return name;
}

FakeForm::FakeForm() : title_("Вопрос 1") {
    for (int i = 1; i <= window::kLadderSteps; ++i) {
        ControlState& step = controls_[key(window::item(i))];
        step.caption = kDesignedLadder[static_cast<std::size_t>(i - 1)].caption;
        step.back = kDesignedLadder[static_cast<std::size_t>(i - 1)].back;
    }
    controls_[key(window::Label16)].caption =
        "Вы готовы к игре? Если готовы щелкните кнопку \"ОК\"";
    for (int k = 1; k <= 4; ++k) controls_[key(window::option(k))].caption = std::string("Option").append(std::to_string(k));
    controls_[key(window::Command1)].caption = "Засчитать ответ";
    controls_[key(window::Command2)].caption = "Прервать игру";
    controls_[key(window::Command3)].caption = "50/50 ";
    controls_[key(window::Command4)].caption = "Посказка компьютера";
    controls_[key(window::Label2)];
}

FakeForm::Key FakeForm::key(ControlRef control) {
    return {static_cast<int>(control.name), control.index};
}

ControlState& FakeForm::at(ControlRef control) { return controls_[key(control)]; }

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
