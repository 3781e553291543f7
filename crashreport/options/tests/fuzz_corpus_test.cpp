// Replays the saved fuzz corpus of the options-stream reader as an ordinary test.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(OptionsStreamFuzzCorpus, EveryInputIsReadOrRefusedCleanly) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OPTIONS_FUZZ_CORPUS)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size()),
                  0);
        ++inputs;
    }
    EXPECT_GT(inputs, 0);
}

} // namespace
