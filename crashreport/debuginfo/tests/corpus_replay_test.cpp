// Replays the decoder fuzzer's saved corpus as an ordinary test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size);

namespace {

TEST(SubsystemDataCorpus, EveryInputDecodesOrIsRefusedCleanly) {
    std::size_t replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(FUZZ_CORPUS_DIR)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0) << file.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0u);
}

} // namespace
