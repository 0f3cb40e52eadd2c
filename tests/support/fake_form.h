// A recording fake of the window: keeps each control's state as the real window would, reports every operation to a
// hook, answers message boxes from a script, and delivers clicks only where the real window would.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "window/controls.h"
#include "window/form_ops.h"

namespace testing_support {

struct ControlState {
    std::string caption;
    bool visible = true, enabled = true, selected = false, wordWrap = false;
    window::Color back = 0, fore = 0;
    std::string tag;
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

struct MessageBoxCall {
    std::string text, title;
    window::Buttons buttons = window::Buttons::Ok;
    window::Icon icon = window::Icon::None;
    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

class FakeForm final : public window::FormOps {
public:
    using Key = std::pair<int, int>;
    static Key key(window::ControlRef c) { return {static_cast<int>(c.name), c.index}; }
    struct Snapshot {  // everything a player could see
        std::string title;
        std::map<Key, ControlState> controls;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };

    FakeForm();  // the window as designed: designed captions and colours, all shown and enabled

    void setTitle(const std::string& text) override { record("title " + text), title_ = text; }
    void setCaption(window::ControlRef c, const std::string& text) override { at(c, "caption", text).caption = text; }
    std::string caption(window::ControlRef c) const override { return state(c).caption; }
    void setVisible(window::ControlRef c, bool on) override { at(c, "visible", on ? "1" : "0").visible = on; }
    void setEnabled(window::ControlRef c, bool on) override { at(c, "enabled", on ? "1" : "0").enabled = on; }
    void setBackColor(window::ControlRef c, window::Color color) override { at(c, "back", "").back = color; }
    void setForeColor(window::ControlRef c, window::Color color) override { at(c, "fore", "").fore = color; }
    void setWordWrapAutoSize(window::ControlRef c) override { at(c, "wordwrap", "").wordWrap = true; }
    std::string tag(window::ControlRef c) const override { return state(c).tag; }
    void setTag(window::ControlRef c, const std::string& text) override { at(c, "tag", text).tag = text; }
    void clearSelection(window::ControlRef c) override { at(c, "unselect", "").selected = false; }
    window::Reply messageBox(const std::string& text, const std::string& title, window::Buttons buttons,
                             window::Icon icon) override;
    [[noreturn]] void endProgram() override { record("end"), throw window::ProgramEnd{0}; }
    [[noreturn]] void stopOnFailure(const std::string& message) override { fail(message), throw window::ProgramEnd{1}; }

    void start(window::FormEvents& events);  // load, through the same boundary as the clicks
    // A player's click; false when the window would not deliver it.
    bool click(window::FormEvents& events, window::ControlRef control);

    const ControlState& state(window::ControlRef c) const { return controls_.at(key(c)); }
    const std::string& title() const noexcept { return title_; }
    const std::vector<MessageBoxCall>& boxes() const noexcept { return boxes_; }
    // Replies for Yes/No boxes, in order; an OK box answers Ok.
    void queueReply(window::Reply reply) { replies_.push_back(reply); }
    // Called before each operation, click, end or failure, with a description such as
    // "caption Option2 text", "box title | text", "click Command1" or "failure message".
    std::function<void(const std::string&)> onOperation;

    bool ended() const noexcept { return exitStatus_.has_value(); }
    std::optional<int> exitStatus() const noexcept { return exitStatus_; }
    const std::string& failure() const noexcept { return failure_; }
    Snapshot snapshot() const { return {title_, controls_}; }

private:
    void record(const std::string& entry) { if (onOperation) onOperation(entry); }
    void fail(const std::string& message) { record("failure " + message), failure_ = message, exitStatus_ = 1; }
    ControlState& at(window::ControlRef c, const char* operation, const std::string& value);
    void deliver(const std::function<void()>& event);

    std::string title_, failure_;
    std::map<Key, ControlState> controls_;
    std::vector<MessageBoxCall> boxes_;
    std::deque<window::Reply> replies_;
    std::optional<int> exitStatus_;
};

}  // namespace testing_support
