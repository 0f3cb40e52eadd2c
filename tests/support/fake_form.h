// A recording fake of the window: keeps each control's state as the real
// window would, logs every operation, answers message boxes from a script,
// and delivers the player's clicks only where the real window would (a hidden
// option or a disabled button produces no click).
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "window/controls.h"
#include "window/form_ops.h"

namespace testing_support {

struct ControlState {
    std::string caption;
    bool visible = true;
    bool enabled = true;
    bool selected = false;
    bool wordWrap = false;
    window::Color back = 0x8000000F;
    window::Color fore = 0x80000012;
    std::string tag;
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

struct MessageBoxCall {
    std::string text;
    std::string title;
    window::Buttons buttons;
    window::Icon icon;
    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

class FakeForm final : public window::FormOps {
public:
    // The window as designed: every control with its designed caption and
    // colours, visible and enabled; the designed title.
    FakeForm();

    void setTitle(const std::string& text) override;
    void setCaption(window::ControlRef control, const std::string& text) override;
    std::string caption(window::ControlRef control) const override;
    void setVisible(window::ControlRef control, bool visible) override;
    void setEnabled(window::ControlRef control, bool enabled) override;
    void setBackColor(window::ControlRef control, window::Color color) override;
    void setForeColor(window::ControlRef control, window::Color color) override;
    void setWordWrapAutoSize(window::ControlRef control) override;
    std::string tag(window::ControlRef control) const override;
    void setTag(window::ControlRef control, const std::string& text) override;
    void clearSelection(window::ControlRef control) override;
    window::Reply messageBox(const std::string& text, const std::string& title,
                             window::Buttons buttons, window::Icon icon) override;
    [[noreturn]] void endProgram() override;
    [[noreturn]] void stopOnFailure(const std::string& message) override;

    // The window's initialisation, through the same boundary as the clicks.
    void start(window::FormEvents& events);
    // A player's click. Returns false when the window would not deliver it:
    // the program has ended, the option is hidden or the button disabled.
    bool click(window::FormEvents& events, window::ControlRef control);

    const ControlState& state(window::ControlRef control) const;
    const std::string& title() const noexcept { return title_; }
    const std::vector<std::string>& log() const noexcept { return log_; }
    const std::vector<MessageBoxCall>& boxes() const noexcept { return boxes_; }
    // Replies for Yes/No boxes, in order; an OK box always answers Ok.
    void queueReply(window::Reply reply) { replies_.push_back(reply); }

    bool ended() const noexcept { return exitStatus_.has_value(); }
    std::optional<int> exitStatus() const noexcept { return exitStatus_; }
    // The message of stop on failure, empty when none.
    const std::string& failure() const noexcept { return failure_; }

    // Everything a player could see, for comparing before and after.
    struct Snapshot {
        std::string title;
        std::map<std::pair<int, int>, ControlState> controls;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };
    Snapshot snapshot() const { return {title_, controls_}; }

private:
    using Key = std::pair<int, int>;
    static Key key(window::ControlRef control);
    ControlState& at(window::ControlRef control);
    void record(const std::string& entry);
    void deliver(window::FormEvents& events, window::ControlRef control, bool load);

    std::string title_;
    std::map<Key, ControlState> controls_;
    std::vector<std::string> log_;
    std::vector<MessageBoxCall> boxes_;
    std::deque<window::Reply> replies_;
    std::optional<int> exitStatus_;
    std::string failure_;
};

// The name of a control as the log writes it, e.g. "Option2" or "Label1(3)".
std::string controlName(window::ControlRef control);

}  // namespace testing_support
