#include <QFontInfo>
#include <gtest/gtest.h>

#include "test_printing.h"
#include <stdexcept>

#include "window/appearance.h"

namespace window_test {
namespace {

using namespace window;

struct ColorCase {
    const char* name;
    Color design;
    QRgb shown;
};

class ColorMapping : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorMapping, GivesTheDesignedColour) {
    EXPECT_EQ(toQColor(GetParam().design).rgb() & 0xFFFFFF, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Design, ColorMapping,
    ::testing::Values(ColorCase{"Red", 0x000000FF, 0xFF0000}, ColorCase{"Green", 0x00008000, 0x008000},
                      ColorCase{"LightYellowIsBlueGreenRed", 0x0080FFFF, 0xFFFF80},
                      ColorCase{"Teal", 0x00808000, 0x008080}, ColorCase{"DarkGreen", 0x00004000, 0x004000},
                      ColorCase{"Blue", 0x00FF0000, 0x0000FF},
                      ColorCase{"TitleBarTextIsWhite", 0x80000009, 0xFFFFFF},
                      ColorCase{"HighlightedTextIsWhite", 0x8000000E, 0xFFFFFF},
                      ColorCase{"ButtonFaceIsGrey", 0x8000000F, 0xC0C0C0},
                      ColorCase{"ButtonTextIsBlack", 0x80000012, 0x000000},
                      ColorCase{"GreyText", 0x80000011, 0x808080}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorMapping, RefusesValuesOutsideBothForms) {
    EXPECT_THROW(toQColor(0x80000019), std::out_of_range);
    EXPECT_THROW(toQColor(0x8000FF00), std::out_of_range);
    EXPECT_THROW(toQColor(0x01000000), std::out_of_range);
}

struct FontCase {
    const char* name;
    FontDef design;
    int pixels;
    bool bold;
};

class FontSubstitution : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontSubstitution, IsLiberationSansAtTheDesignedSize) {
    const QFont font = designFont(GetParam().design);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(font.pixelSize(), GetParam().pixels);
    EXPECT_EQ(QFontInfo(font).bold(), GetParam().bold);
}

INSTANTIATE_TEST_SUITE_P(Design, FontSubstitution,
                         ::testing::Values(FontCase{"Bold18", {18, 700}, 24, true},
                                           FontCase{"Normal18", {18, 400}, 24, false},
                                           FontCase{"Bold12", {12, 700}, 16, true},
                                           FontCase{"Normal13AndAHalf", {13.5, 400}, 18, false},
                                           FontCase{"Normal24", {24, 400}, 32, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FontSubstitution, NoSizeMeansTheDefaultFont) { EXPECT_EQ(designFont({}), QFont()); }

}  // namespace
}  // namespace window_test
