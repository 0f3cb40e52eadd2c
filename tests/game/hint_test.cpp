#include "game/hint.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "support/scripted_chance.h"

namespace {

using testing_support::ScriptedChance;

TEST(HintLetters, LatinAThenCyrillicBVG) {
    EXPECT_EQ(game::answerLetter(1), "\x41");
    EXPECT_EQ(game::answerLetter(2), "\xD0\x91");  // U+0411
    EXPECT_EQ(game::answerLetter(3), "\xD0\x92");  // U+0412
    EXPECT_EQ(game::answerLetter(4), "\xD0\x93");  // U+0413
    EXPECT_THROW(game::answerLetter(0), std::runtime_error);
    EXPECT_THROW(game::answerLetter(5), std::runtime_error);
}

TEST(HintDraw, RoundsUAndDrawsAgainOnZero) {
    struct Case {
        const char* name;
        std::deque<double> uniforms;
        int option;
        std::size_t left;  // uniforms not used
    };
    const Case cases[] = {
        {"zero draws again", {0.0, 0.3}, 1, 0},
        {"just below an eighth draws again", {0.1249, 0.375}, 2, 0},
        {"an eighth gives A", {0.125, 0.9}, 1, 1},
        {"half gives B", {0.5, 0.0}, 2, 1},
        {"five eighths gives V", {0.625, 0.0}, 3, 1},
        {"just below 7/8 gives V", {0.8749, 0.0}, 3, 1},
        {"7/8 gives G", {0.875, 0.0}, 4, 1},
        {"nearly one gives G", {0.999999, 0.0}, 4, 1},
        {"several zeros in a row", {0.01, 0.02, 0.0, 0.7}, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedChance chance(c.uniforms);
        EXPECT_EQ(game::drawHintOption(chance), c.option);
        EXPECT_EQ(chance.left(), c.left);
    }
}

TEST(HintDraw, OverEverySecondOfTheDayLettersComeUpTwoTwoTwoOneSevenths) {
    game::MersenneChance chance;
    std::array<int, 5> counts{};
    constexpr int kSeconds = 86400;
    for (int s = 0; s < kSeconds; ++s) {
        chance.seed(static_cast<std::uint32_t>(s));
        ++counts[static_cast<std::size_t>(game::drawHintOption(chance))];
    }
    EXPECT_EQ(counts[0], 0);
    const double expected[] = {0, 2.0 / 7, 2.0 / 7, 2.0 / 7, 1.0 / 7};
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(counts[static_cast<std::size_t>(k)] / double(kSeconds), expected[k], 0.01);
    }
}

TEST(HintDraw, SameSeedSameLetter) {
    game::MersenneChance a;
    game::MersenneChance b;
    for (std::uint32_t s : {0u, 1u, 43199u, 86399u}) {
        a.seed(s);
        b.seed(s);
        EXPECT_EQ(game::drawHintOption(a), game::drawHintOption(b)) << s;
    }
}

}  // namespace
