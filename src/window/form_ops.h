// The operations through which the game drives the window Form1, and the events
// the window delivers to the game. Plain C++: no toolkit type crosses this line,
// so the game can be driven by the real window or by a recording fake.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "quiz/words.h"

namespace window {

// The controls of Form1 by name. Label1 (the points ladder, indexes 1..15) and
// Label3 (the milestone boxes, indexes 0..3) are control arrays; the others have
// no index.
enum class ControlName : std::uint8_t {
    Label1,
    Label2,
    Label3,
    Label16,
    Option1,
    Option2,
    Option3,
    Option4,
    Command1,
    Command2,
    Command3,
    Command4,
};

// One control: a name and, for the two control arrays, an index.
struct ControlRef {
    ControlName name;
    int index = -1;
    friend constexpr bool operator==(const ControlRef&, const ControlRef&) = default;
};

inline constexpr ControlRef Label2{ControlName::Label2};
inline constexpr ControlRef Label16{ControlName::Label16};
inline constexpr ControlRef Option1{ControlName::Option1};
inline constexpr ControlRef Option2{ControlName::Option2};
inline constexpr ControlRef Option3{ControlName::Option3};
inline constexpr ControlRef Option4{ControlName::Option4};
inline constexpr ControlRef Command1{ControlName::Command1};
inline constexpr ControlRef Command2{ControlName::Command2};
inline constexpr ControlRef Command3{ControlName::Command3};
inline constexpr ControlRef Command4{ControlName::Command4};

inline constexpr int kLadderSteps = 15;

// Option button k (1..4). Throws std::out_of_range outside 1..4.
inline ControlRef option(int k) {
    if (k < 1 || k > 4) throw std::out_of_range("option index " + std::to_string(k));
    return {static_cast<ControlName>(static_cast<int>(ControlName::Option1) + k - 1)};
}
// Command button n (1..4). Throws std::out_of_range outside 1..4.
inline ControlRef command(int n) {
    if (n < 1 || n > 4) throw std::out_of_range("command index " + std::to_string(n));
    return {static_cast<ControlName>(static_cast<int>(ControlName::Command1) + n - 1)};
}
// Ladder step i, the control array item Label1(i), i = 1..15.
// Throws std::out_of_range outside 1..15 (there is no Label1(0)).
inline ControlRef item(int i) {
    if (i < 1 || i > kLadderSteps) throw std::out_of_range("Label1 index " + std::to_string(i));
    return {ControlName::Label1, i};
}

// The answer letters of Option1 to Option4 (see there).
using quiz::words::kAnswerLetters;

// Colours are 0x00BBGGRR for an ordinary colour and 0x800000nn for the
// platform's system colour with index nn.
using Color = std::uint32_t;
inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kGreen = 0x00008000;
constexpr bool isSystemColor(Color c) { return (c & 0xFF000000u) == 0x80000000u; }

enum class Buttons : std::uint8_t { Ok, YesNo };
enum class Icon : std::uint8_t { None, Critical };
enum class Reply : std::uint8_t { Ok, Yes, No };

// Thrown by endProgram() and stopOnFailure() to unwind the running handler, so
// that nothing of it runs after the program has been ended. The event boundary
// of the window catches it and closes the window with this exit status.
struct ProgramEnd {
    int exitStatus = 0;
};

// What the window can do for the game. Texts are UTF-8.
class FormOps {
public:
    virtual ~FormOps() = default;

    virtual void setTitle(const std::string& text) = 0;
    // Labels, option buttons and command buttons. The empty text is allowed.
    virtual void setCaption(ControlRef control, const std::string& text) = 0;
    // The text last set, or the designed caption.
    virtual std::string caption(ControlRef control) const = 0;
    // Labels and option buttons. A hidden option cannot be clicked.
    virtual void setVisible(ControlRef control, bool visible) = 0;
    // Command buttons. A disabled button produces no click.
    virtual void setEnabled(ControlRef control, bool enabled) = 0;
    // Labels.
    virtual void setBackColor(ControlRef control, Color color) = 0;
    virtual void setForeColor(ControlRef control, Color color) = 0;
    // Labels: keep the width, break the text at word boundaries and grow in
    // height to show all of it.
    virtual void setWordWrapAutoSize(ControlRef control) = 0;
    // Command buttons: a free text stored with the button and returned unchanged.
    virtual std::string tag(ControlRef control) const = 0;
    virtual void setTag(ControlRef control, const std::string& text) = 0;
    // Option buttons: shows the option as not selected.
    virtual void clearSelection(ControlRef control) = 0;

    // Modal: nothing else runs until it is closed. Gives the button pressed.
    virtual Reply messageBox(const std::string& text, const std::string& title, Buttons buttons,
                             Icon icon) = 0;

    // Closes the window and every open file; nothing of the running handler
    // continues (throws ProgramEnd{0}).
    [[noreturn]] virtual void endProgram() = 0;
    // Shows a modal critical message box titled "Ошибка" with the message, then
    // ends the program as endProgram does, with exit status 1 (throws ProgramEnd{1}).
    [[noreturn]] virtual void stopOnFailure(const std::string& message) = 0;
};

// The events of the window, delivered one at a time. A std::exception that
// escapes a handler becomes stopOnFailure at the window's event boundary.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    // The window's initialisation, once, before it is first shown.
    virtual void load() = 0;
    // A click on Command1..Command4 or Option1..Option4.
    virtual void click(ControlName control) = 0;
};

}  // namespace window
