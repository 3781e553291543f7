// The module list and resolver kept between two reports: the same while the modules stay, made
// anew when a library is loaded, so that frames in that library are still resolved.

#include "crashreport/intercept/kept_resolver.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(KeptResolverTest, StaysWhileTheModulesStay) {
    const ResolverLease first = KeptResolver();
    const ResolverLease again = KeptResolver();
    EXPECT_EQ(&again.modules, &first.modules);
    EXPECT_EQ(&again.resolver, &first.resolver);
}

TEST(KeptResolverTest, TakesInALibraryLoadedSince) {
    const std::size_t before = KeptResolver().modules.Modules().size();
    void* library = ::dlopen("libexpat.so.1", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto address = reinterpret_cast<std::uintptr_t>(::dlsym(library, "XML_ParserCreate"));
    ASSERT_NE(address, 0u);
    const ResolverLease after = KeptResolver();
    EXPECT_EQ(after.modules.Modules().size(), before + 1);
    ASSERT_NE(after.modules.Find(address), nullptr);
    EXPECT_EQ(after.resolver.Resolve(address).procedureName, "XML_ParserCreate");
    ::dlclose(library);
}

} // namespace
} // namespace faulttrap
