#include <QPushButton>
#include <gtest/gtest.h>
#include <set>

#include "form_fixture.h"
#include "window/pictures.h"

namespace window_test {
namespace {

constexpr int kSize = 32;

bool isFrame(int x, int y) { return x < 2 || y < 2 || x >= kSize - 2 || y >= kSize - 2; }
bool isDiagonal(int x, int y) { return x - y == 0 || x - y == 1; }

// The 4-connected groups of bright red pixels on one side of the diagonal.
int redGroups(const QImage& image, bool aboveDiagonal) {
    std::set<std::pair<int, int>> seen;
    int groups = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (image.pixel(x, y) != kPictureRed || (x > y) != aboveDiagonal || seen.contains({x, y})) continue;
            ++groups;
            std::vector<std::pair<int, int>> todo{{x, y}};
            seen.insert({x, y});
            while (!todo.empty()) {
                const auto [px, py] = todo.back();
                todo.pop_back();
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = px + dx;
                    const int ny = py + dy;
                    if (nx < 0 || ny < 0 || nx >= kSize || ny >= kSize) continue;
                    if (image.pixel(nx, ny) != kPictureRed || seen.contains({nx, ny})) continue;
                    seen.insert({nx, ny});
                    todo.push_back({nx, ny});
                }
            }
        }
    }
    return groups;
}

TEST(FiftyFiftyPicture, HasOnlyWhiteDarkRedAndBrightRed) {
    const QImage image = fiftyFiftyPicture();
    ASSERT_EQ(image.size(), QSize(kSize, kSize));
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_TRUE(p == kPictureWhite || p == kPictureDarkRed || p == kPictureRed) << x << "," << y;
        }
}

TEST(FiftyFiftyPicture, DarkRedIsExactlyTheFrameAndTheDiagonalTwoPixelsWide) {
    const QImage image = fiftyFiftyPicture();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            EXPECT_EQ(image.pixel(x, y) == kPictureDarkRed, isFrame(x, y) || isDiagonal(x, y)) << x << "," << y;
}

TEST(FiftyFiftyPicture, ShowsFiftyOnceInEachHalfClearOfTheLines) {
    const QImage image = fiftyFiftyPicture();
    EXPECT_EQ(redGroups(image, true), 2);   // 5 and 0 above the diagonal, right
    EXPECT_EQ(redGroups(image, false), 2);  // and below it, left
    std::vector<QPoint> above;
    std::vector<QPoint> below;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            if (image.pixel(x, y) != kPictureRed) continue;
            EXPECT_GE(std::abs(x - y), 3) << x << "," << y;
            (x > y ? above : below).push_back({x, y});
        }
    // The same number twice: one half is the other moved.
    ASSERT_EQ(above.size(), below.size());
    ASSERT_FALSE(above.empty());
    const QPoint shift = above.front() - below.front();
    for (std::size_t i = 0; i < above.size(); ++i) EXPECT_EQ(above[i] - below[i], shift);
    // Strokes two pixels wide: every red pixel has a red neighbour each way.
    for (const QPoint p : above) {
        const bool horizontal = image.pixel(p.x() - 1, p.y()) == kPictureRed || image.pixel(p.x() + 1, p.y()) == kPictureRed;
        const bool vertical = image.pixel(p.x(), p.y() - 1) == kPictureRed || image.pixel(p.x(), p.y() + 1) == kPictureRed;
        EXPECT_TRUE(horizontal && vertical) << p.x() << "," << p.y();
    }
}

using PictureButton = FormFixture;

TEST_F(PictureButton, Command3ShowsThePicture) {
    const QImage face = form.widget(Command3)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = fiftyFiftyPicture();
    bool found = false;
    for (int y = 0; y + kSize <= face.height() && !found; ++y)
        for (int x = 0; x + kSize <= face.width() && !found; ++x)
            found = face.copy(x, y, kSize, kSize) == picture;
    EXPECT_TRUE(found);
}

TEST(WindowIcon, ShowsTheLadderAtEverySize) {
    EXPECT_FALSE(quizIcon().isNull());
    EXPECT_GE(quizIcon().availableSizes().size(), 4);
    for (const int size : {16, 32, 64}) {
        const QImage image = quizIconImage(size);
        EXPECT_EQ(image.size(), QSize(size, size));
        std::set<QRgb> colours;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) colours.insert(image.pixel(x, y));
        EXPECT_GE(colours.size(), 4u) << size;
    }
}

TEST(WindowIcon, MatchesTheInstalledIcon) {
    // Points of data/quizladder.svg on its 128 grid.
    const QImage image = quizIconImage(128);
    EXPECT_EQ(image.pixel(60, 108), qRgb(255, 0, 0));      // step 1
    EXPECT_EQ(image.pixel(100, 18), qRgb(0, 128, 0));      // step 15
    EXPECT_EQ(image.pixel(90, 88), qRgb(0, 128, 0));       // step 4
    EXPECT_EQ(image.pixel(100, 101), qRgb(180, 180, 160)); // step 2
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 255, 128));   // the face
    EXPECT_EQ(image.pixel(64, 7), qRgb(0, 128, 0));        // the border
    EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);               // outside the rounded corner
}

}  // namespace
}  // namespace window_test
