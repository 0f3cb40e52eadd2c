// The main of the tests of the real window: one QApplication on the offscreen
// platform (unless another is chosen), with the screens of window/screens.json: 1920 x 1080 first, where the
// window opens as designed, 2560 x 1440, and a small one (1280 x 688, a 1920 x 1080 display at scale 1.5 less a
// panel) where it opens scaled down.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() || qgetenv("QT_QPA_PLATFORM") == "offscreen")  // listing needs no display
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" QUIZ_SOURCE_DIR "/tests/window/screens.json");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
