// The libraries that only the building of a report needs are not loaded with the program but
// on the first need. Its own program, so that no other test has loaded them first.

#include "crashreport/debuginfo/dwarf_source.h"
#include "crashreport/debuginfo/md5_digest.h"
#include "crashreport/debuginfo/module_debug_data.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <openssl/opensslv.h>

namespace faulttrap {
namespace {

bool IsLoaded(const std::string& library) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) {
        ::dlclose(handle);
    }
    return handle != nullptr;
}

[[gnu::noinline]] std::uintptr_t CallSiteInCaller() {
    return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)) - 1;
}

TEST(ReportLibraries, AreLoadedOnlyWhenAReportNeedsThem) {
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string crypto = "libcrypto.so." + std::to_string(OPENSSL_VERSION_MAJOR);
    ASSERT_FALSE(IsLoaded("libdw.so.1"));
    ASSERT_FALSE(IsLoaded("libelf.so.1"));
    ASSERT_FALSE(IsLoaded(crypto));

    // What the activation reads: the options, without the debug information or its cipher.
    const auto listed = LoadModuleDebugData(program, LoadPurpose::listing, {});
    ASSERT_TRUE(listed);
    EXPECT_TRUE(listed->data.debugInformation.empty());
    EXPECT_EQ(listed->index, nullptr);
    EXPECT_FALSE(IsLoaded(crypto));

    const auto resolving = LoadModuleDebugData(program, LoadPurpose::resolving, {});
    ASSERT_TRUE(resolving);
    EXPECT_NE(resolving->index, nullptr);
    EXPECT_TRUE(resolving->passwordValid);
    // Without a password the cipher's key is the digest of no bytes, which needs no library.
    EXPECT_FALSE(IsLoaded(crypto));
    const std::array<std::uint8_t, 16> secret{0x5E, 0xBE, 0x22, 0x94, 0xEC, 0xD0, 0xE0, 0xF0,
                                              0x8E, 0xAB, 0x76, 0x90, 0xD2, 0xA6, 0xEE, 0x69};
    EXPECT_EQ(Md5Digest("secret"), secret);
    EXPECT_TRUE(IsLoaded(crypto));

    const auto dwarf = DwarfSource::Open(program);
    ASSERT_NE(dwarf, nullptr);
    EXPECT_TRUE(IsLoaded("libdw.so.1"));
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&IsLoaded), &info), 0);
    // A call site of this test's own code; where the compiler put inlined code around it, the
    // chain's last call stands in this file.
    const std::uintptr_t address =
        CallSiteInCaller() - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    const auto place = dwarf->Find(address);
    ASSERT_TRUE(place);
    EXPECT_NE(place->procedure.find("TestBody"), std::string::npos) << place->procedure;
    const auto scopes = dwarf->InlinedScopesAt(address);
    EXPECT_EQ(scopes.empty() ? place->unit : scopes[scopes.size() - 2].callFile,
              "report_libraries_test.cpp");
}

} // namespace
} // namespace faulttrap
