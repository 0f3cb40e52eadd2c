// The design of the window Form1: its own settings and the 29 controls as
// they stand when the window is created. Plain data; the window turns each row
// into a widget.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "window/form_ops.h"

namespace window {

enum class ControlKind : std::uint8_t { Label, Option, Command };

// The name of a control as written in the design, by ControlName.
inline constexpr std::array<std::string_view, 12> kControlNames{
    "Label1",  "Label2",  "Label3",  "Label16",  "Option1",  "Option2",
    "Option3", "Option4", "Command1", "Command2", "Command3", "Command4"};
constexpr std::string_view nameOf(ControlName name) {
    return kControlNames[static_cast<std::size_t>(name)];
}
// "Label1(15)" for an array item, "Command3" otherwise.
inline std::string describe(ControlRef control) {
    std::string text(nameOf(control.name));
    if (control.index >= 0) {
        text += '(';
        text += std::to_string(control.index);
        text += ')';
    }
    return text;
}

// Left and top from the top-left corner of the client area; all in twips.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The one mapping of twips to device-independent pixels: the design was laid
// out at 96 dots per inch, 15 twips to a pixel; another scale draws the whole
// design larger or smaller in proportion. Rounds to the nearest pixel.
constexpr int twipsToPixels(int twips, double scale = 1.0) {
    return static_cast<int>(twips * scale / 15.0 + 0.5);
}

// Size in points and weight (400 normal, 700 bold) of the design font
// "MS Sans Serif". Points 0 means the window's default font.
struct FontDef {
    double points = 0;
    int weight = 400;
};

inline constexpr Color kButtonFace = 0x8000000F;      // system colour 15
inline constexpr Color kButtonText = 0x80000012;      // system colour 18
inline constexpr Color kHighlightText = 0x8000000E;   // system colour 14
inline constexpr Color kCaptionText = 0x80000009;     // system colour 9
inline constexpr Color kGrayText = 0x80000011;        // system colour 17

// How a label fits itself to its caption.
enum class AutoSize : std::uint8_t {
    Off,         // keeps its rectangle
    OneLine,     // keeps left and top, takes the size of its caption unbroken
    WrapHeight,  // keeps left, top and width, breaks its caption at word
                 // boundaries and takes the height of the broken text
};

struct ControlDef {
    ControlName name;
    int index;  // -1 for controls outside the two control arrays
    ControlKind kind;
    std::string_view caption;  // UTF-8
    TwipRect rect;
    FontDef font;
    Color back;
    Color fore;
    int tabIndex;
    AutoSize autoSize;
    // What the control is for, announced to screen readers for the ladder
    // steps, the boxes and any control whose caption is empty.
    std::string_view role;
};

inline constexpr std::string_view kFormTitle = "Вопрос 1";
inline constexpr int kClientWidthTwips = 15270;
inline constexpr int kClientHeightTwips = 11100;
inline constexpr Color kFormBack = kHighlightText;
inline constexpr int kControlCount = 29;

namespace design {
using enum ControlKind;
inline constexpr FontDef kLabelFont{18, 700};
inline constexpr FontDef kOptionFont{18, 400};
inline constexpr FontDef kLadderFont{12, 700};
inline constexpr FontDef kDefaultFont{};
inline constexpr int kNoIndex = -1;
inline constexpr std::string_view kReadyQuestion =
    "Вы готовы к игре? Если готовы щелкните кнопку \"ОК\"";
inline constexpr std::string_view kStep = "Ступень";
inline constexpr std::string_view kMilestoneBox = "Отметка несгораемой ступени";
}  // namespace design

// In the order of the design; Label1 is listed from step 15 (top) to step 1.
inline constexpr std::array<ControlDef, kControlCount> kControls{{
    // clang-format off
    {ControlName::Label16, design::kNoIndex, design::Label, design::kReadyQuestion, {4560, 120, 10155, 435}, design::kLabelFont, 0x0080FFFF, 0x00808000, 0, AutoSize::OneLine, "Строка состояния"},
    {ControlName::Label2, design::kNoIndex, design::Label, "", {3000, 1200, 12135, 4215}, design::kLabelFont, kCaptionText, 0x00004000, 18, AutoSize::Off, "Текст вопроса"},
    {ControlName::Option1, design::kNoIndex, design::Option, "Option1", {3000, 5880, 5055, 1215}, design::kOptionFont, kButtonFace, kButtonText, 19, AutoSize::Off, "Ответ А"},
    {ControlName::Option2, design::kNoIndex, design::Option, "Option2", {3000, 8040, 4935, 1215}, design::kOptionFont, kButtonFace, kButtonText, 20, AutoSize::Off, "Ответ Б"},
    {ControlName::Option3, design::kNoIndex, design::Option, "Option3", {9240, 5880, 5295, 1215}, design::kOptionFont, kButtonFace, kButtonText, 21, AutoSize::Off, "Ответ В"},
    {ControlName::Option4, design::kNoIndex, design::Option, "Option4", {9240, 8040, 5415, 1215}, design::kOptionFont, kButtonFace, kButtonText, 22, AutoSize::Off, "Ответ Г"},
    {ControlName::Command1, design::kNoIndex, design::Command, "Засчитать ответ", {240, 9480, 2175, 855}, {12, 700}, kButtonFace, kButtonText, 1, AutoSize::Off, "Ответ"},
    {ControlName::Command2, design::kNoIndex, design::Command, "Прервать игру", {240, 7920, 2055, 855}, {12, 700}, kHighlightText, kButtonText, 2, AutoSize::Off, "Выход"},
    {ControlName::Command3, design::kNoIndex, design::Command, "50/50 ", {12720, 9720, 1695, 1095}, {24, 400}, 0x000000FF, kButtonText, 27, AutoSize::Off, "Подсказка 50/50"},
    {ControlName::Command4, design::kNoIndex, design::Command, "Посказка компьютера", {10200, 9720, 1935, 1095}, {13.5, 400}, kButtonFace, kButtonText, 28, AutoSize::Off, "Подсказка компьютера"},
    {ControlName::Label3, 0, design::Label, "", {1800, 5520, 615, 345}, design::kDefaultFont, kGreen, kButtonText, 23, AutoSize::Off, design::kMilestoneBox},
    {ControlName::Label3, 1, design::Label, "", {1800, 3600, 615, 345}, design::kDefaultFont, kGreen, kButtonText, 24, AutoSize::Off, design::kMilestoneBox},
    {ControlName::Label3, 2, design::Label, "", {1800, 1680, 615, 345}, design::kDefaultFont, kGreen, kButtonText, 25, AutoSize::Off, design::kMilestoneBox},
    {ControlName::Label3, 3, design::Label, "", {1800, 240, 615, 345}, design::kDefaultFont, kGreen, kButtonText, 26, AutoSize::Off, design::kMilestoneBox},
    {ControlName::Label1, 15, design::Label, "250 баллов", {360, 240, 1470, 340}, design::kLadderFont, kGreen, kButtonText, 17, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 14, design::Label, "200 баллов", {360, 720, 1470, 300}, design::kLadderFont, kButtonFace, kButtonText, 16, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 13, design::Label, "175 баллов", {360, 1200, 1470, 300}, design::kLadderFont, kButtonFace, kButtonText, 15, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 12, design::Label, "150 баллов", {360, 1680, 1470, 340}, design::kLadderFont, kGreen, kButtonText, 14, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 11, design::Label, "125 баллов", {360, 2160, 1470, 300}, design::kLadderFont, kButtonFace, kButtonText, 13, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 10, design::Label, "100 баллов", {360, 2640, 1470, 300}, design::kLadderFont, kButtonFace, kButtonText, 12, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 9, design::Label, "80 баллов", {480, 3120, 1320, 300}, design::kLadderFont, kButtonFace, kButtonText, 11, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 8, design::Label, "64 балла", {480, 3600, 1410, 345}, design::kLadderFont, kGreen, kButtonText, 10, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 7, design::Label, "48 баллов", {480, 4080, 1320, 300}, design::kLadderFont, kButtonFace, kButtonText, 9, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 6, design::Label, "32 балла", {480, 4560, 1170, 300}, design::kLadderFont, kButtonFace, kButtonText, 8, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 5, design::Label, "16 баллов", {480, 5040, 1304, 340}, design::kLadderFont, kButtonFace, kButtonText, 7, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 4, design::Label, "8 баллов", {480, 5520, 1410, 345}, design::kLadderFont, kGreen, kButtonText, 6, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 3, design::Label, "4 балла", {600, 6000, 1020, 300}, design::kLadderFont, kButtonFace, kButtonText, 5, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 2, design::Label, "2 балла", {600, 6480, 1020, 300}, design::kLadderFont, kButtonFace, kButtonText, 4, AutoSize::OneLine, design::kStep},
    {ControlName::Label1, 1, design::Label, "1 балл", {600, 6960, 870, 300}, design::kLadderFont, kRed, kButtonText, 3, AutoSize::OneLine, design::kStep},
    // clang-format on
}};

}  // namespace window
