// One QApplication for a whole test program of the real window, on the
// offscreen platform that CTest selects. Its screens are those of
// window/screens.json: a big one, first, where the window stands as designed,
// and a small one (1280 x 688, a 1920 x 1080 display at scale 1.5 less a
// panel) to show the window scaled down.
#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" QUIZ_SOURCE_DIR "/tests/window/screens.json");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    char name_[10] = "quiz_test";
    int argc_ = 1;
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
