// A recording fake of the window: keeps each control's state as the real
// window would, logs every operation, answers message boxes from a script,
// and delivers the player's clicks only where the real window would (a hidden
// option or a disabled button gives no click).
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
    bool visible = true;
    bool enabled = true;
    bool selected = false;
    bool wordWrap = false;
    window::Color back = 0;
    window::Color fore = 0;
    std::string tag;
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

struct MessageBoxCall {
    std::string text;
    std::string title;
    window::Buttons buttons = window::Buttons::Ok;
    window::Icon icon = window::Icon::None;
    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

class FakeForm final : public window::FormOps {
public:
    // The window as designed: designed captions and colours, all shown and enabled.
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

    // Load, through the same boundary as the clicks.
    void start(window::FormEvents& events);
    // A player's click; false when the window would not deliver it (ended,
    // hidden option, disabled button).
    bool click(window::FormEvents& events, window::ControlRef control);

    const ControlState& state(window::ControlRef control) const { return controls_.at(key(control)); }
    const std::string& title() const noexcept { return title_; }
    // One entry per operation, e.g. "caption Option2 text" or "box title | text".
    const std::vector<std::string>& log() const noexcept { return log_; }
    const std::vector<MessageBoxCall>& boxes() const noexcept { return boxes_; }
    // Replies for Yes/No boxes, in order; an OK box answers Ok.
    void queueReply(window::Reply reply) { replies_.push_back(reply); }
    // Called before every operation is carried out, with its log entry.
    std::function<void(const std::string&)> onOperation;

    bool ended() const noexcept { return exitStatus_.has_value(); }
    std::optional<int> exitStatus() const noexcept { return exitStatus_; }
    const std::string& failure() const noexcept { return failure_; }

    // Everything a player could see.
    struct Snapshot {
        std::string title;
        std::map<std::pair<int, int>, ControlState> controls;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };
    Snapshot snapshot() const { return {title_, controls_}; }
    static std::pair<int, int> key(window::ControlRef c) { return {static_cast<int>(c.name), c.index}; }

private:
    ControlState& at(window::ControlRef control, const std::string& entry);
    void deliver(window::FormEvents& events, const std::function<void()>& event);

    std::string title_;
    std::map<std::pair<int, int>, ControlState> controls_;
    std::vector<std::string> log_;
    std::vector<MessageBoxCall> boxes_;
    std::deque<window::Reply> replies_;
    std::optional<int> exitStatus_;
    std::string failure_;
};

}  // namespace testing_support
