// A real Form1 whose message boxes and ending are recorded instead of shown
// or acted on, and a recording handler of its events.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "test_printing.h"
#include "window/form1.h"

namespace window_test {

using namespace window;

class RecordingEvents : public FormEvents {
public:
    void load() override {
        ++loads;
        if (onLoad) onLoad();
    }
    void click(ControlName control) override {
        clicks.push_back(control);
        if (onClick) onClick(control);
    }
    int loads = 0;
    std::vector<ControlName> clicks;
    std::function<void()> onLoad;
    std::function<void(ControlName)> onClick;
};

struct ShownBox {
    std::string text;
    std::string title;
    Buttons buttons;
    Icon icon;
    friend bool operator==(const ShownBox&, const ShownBox&) = default;
};

class FormFixture : public ::testing::Test {
protected:
    FormFixture() {
        form.setEvents(&events);
        form.setMessageResponder([this](const std::string& text, const std::string& title, Buttons buttons,
                                        Icon icon) {
            boxes.push_back({text, title, buttons, icon});
            return reply;
        });
        form.setEndHandler([this](int status) { endings.push_back(status); });
    }

    QAbstractButton* button(ControlRef control) const {
        return qobject_cast<QAbstractButton*>(form.widget(control));
    }
    QLabel* label(ControlRef control) const { return qobject_cast<QLabel*>(form.widget(control)); }

    Form1 form;
    RecordingEvents events;
    std::vector<ShownBox> boxes;
    std::vector<int> endings;
    Reply reply = Reply::Ok;
};

// A fixture whose window has been started (load delivered, window shown).
class StartedForm : public FormFixture {
protected:
    void SetUp() override { ASSERT_TRUE(form.start()); }
};

}  // namespace window_test
