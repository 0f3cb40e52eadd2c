#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include "test_printing.h"

#include "window/widgets.h"

namespace window_test {
namespace {

using window::wrapAtBlanks;

struct WrapCase {
    const char* name;
    QString text;
    int widthInCharacters;
    QString wrapped;
};

class WrapAtBlanks : public ::testing::TestWithParam<WrapCase> {};

// In a font where every character has the same width, widths count characters.
TEST_P(WrapAtBlanks, BreaksOnlyWhereNeeded) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(16);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QString(GetParam().widthInCharacters, QLatin1Char('x')));
    EXPECT_EQ(wrapAtBlanks(metrics, GetParam().text, width), GetParam().wrapped);
}

INSTANTIATE_TEST_SUITE_P(
    CommandButton, WrapAtBlanks,
    ::testing::Values(WrapCase{"FitsAndStays", QStringLiteral("50/50 "), 6, QStringLiteral("50/50 ")},
                      WrapCase{"TwoWords", QStringLiteral("Посказка компьютера"), 12,
                               QStringLiteral("Посказка\nкомпьютера")},
                      WrapCase{"KeepsWordsTogetherWhileTheyFit", QStringLiteral("aa bb cc dd"), 5,
                               QStringLiteral("aa bb\ncc dd")},
                      WrapCase{"LongWordStandsAlone", QStringLiteral("a verylongword b"), 4,
                               QStringLiteral("a\nverylongword\nb")},
                      WrapCase{"ExistingLinesWrapEachOnTheirOwn", QStringLiteral("aa bb\ncc"), 3,
                               QStringLiteral("aa\nbb\ncc")},
                      WrapCase{"Empty", QString(), 3, QString()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace window_test
