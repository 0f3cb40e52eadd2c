// Runs a fuzzer's checks over each file of its seed corpus, so that every build's tests carry them.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzSeeds, PassTheFuzzersChecks) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUIZ_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        SCOPED_TRACE(entry.path().filename().string());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), ++seeds;
    }
    EXPECT_GT(seeds, 5);
}
