#include "crashreport/debuginfo/cxx_names.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

struct NameCase {
    const char* symbol;
    const char* className;
    const char* procedure;
};

class CxxNames : public testing::TestWithParam<NameCase> {};

TEST_P(CxxNames, SplitIntoClassAndProcedure) {
    const QualifiedName name = SplitFunctionName(GetParam().symbol);
    EXPECT_EQ(name.className, GetParam().className) << GetParam().symbol;
    EXPECT_EQ(name.procedure, GetParam().procedure) << GetParam().symbol;
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, CxxNames,
    testing::Values(NameCase{"main", "", "main"}, NameCase{"_Z3fooi", "", "foo"},
                    NameCase{"_ZN2ns5Shape4areaEv", "ns::Shape", "area"},
                    NameCase{"_ZNK2ns5Shape4areaEv", "ns::Shape", "area"},
                    NameCase{"_Z3fooIiEvT_", "", "foo<int>"},
                    NameCase{"_ZN2ns1AIN1b1CEE3getEv", "ns::A<b::C>", "get"},
                    NameCase{"_ZN1AclEi", "A", "operator()"}, NameCase{"_Z3barv.cold", "", "bar"},
                    NameCase{"_ZNSt6vectorIiSaIiEE9push_backERKi",
                             "std::vector<int, std::allocator<int> >", "push_back"}));

} // namespace
} // namespace faulttrap
