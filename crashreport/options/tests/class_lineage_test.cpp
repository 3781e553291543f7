#include "crashreport/options/class_lineage.h"
#include "crashreport/options/filter_selection.h"
#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

#include <cxxabi.h>

#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

namespace lineage_fixture {

// Single inheritance below a standard exception.
class EBase : public std::runtime_error {
public:
    EBase() : std::runtime_error("base") {}
};
class EDerived : public EBase {};
class ELeaf : public EDerived {};

// Multiple inheritance with a shared virtual base.
class ECommon {
public:
    virtual ~ECommon() = default;
};
class EIo : public virtual ECommon {};
class ENet : public virtual ECommon {};
class ESocket : public EIo, public ENet {};

class EUnrelated : public std::exception {};

} // namespace lineage_fixture

namespace faulttrap {
namespace {

using namespace lineage_fixture;
using Names = std::vector<std::string>;

TEST(ClassLineage, SingleInheritanceListsTheClassThenEachParent) {
    EXPECT_EQ(ClassLineage(typeid(ELeaf)),
              (Names{"lineage_fixture::ELeaf", "lineage_fixture::EDerived",
                     "lineage_fixture::EBase", "std::runtime_error", "std::exception"}));
}

TEST(ClassLineage, MultipleInheritanceListsEveryAncestorOnce) {
    EXPECT_EQ(ClassLineage(typeid(ESocket)),
              (Names{"lineage_fixture::ESocket", "lineage_fixture::EIo", "lineage_fixture::ECommon",
                     "lineage_fixture::ENet"}));
}

TEST(ClassLineage, NonClassTypesHaveOnlyTheirName) {
    EXPECT_EQ(ClassLineage(typeid(int)), Names{"int"});
    EXPECT_EQ(ClassLineage(typeid(const char*)), Names{"char const*"});
}

// The type of what was really thrown, as the exception machinery reports it.
template <class E> const std::type_info& ThrownType(E thrown) {
    try {
        throw thrown;
    } catch (...) {
        return *abi::__cxa_current_exception_type();
    }
}

TFaultExceptionFilter FilterFor(std::string className,
                                TFaultExceptionKind kind = TFaultExceptionKind::All,
                                bool active = true) {
    TFaultExceptionFilter filter;
    filter.Active = active;
    filter.ClassName = std::move(className);
    filter.ExceptionKind = kind;
    return filter;
}

struct SelectionCase {
    const char* what;
    std::vector<TFaultExceptionFilter> filters;
    const std::type_info* thrown;
    bool handled;
    int expected; // index of the chosen filter, -1 for none
};

TEST(FilterSelection, TheFirstApplyingFilterIsChosen) {
    const auto& leaf = ThrownType(ELeaf());
    const auto& socket = ThrownType(ESocket());
    const SelectionCase cases[] = {
        {"empty list", {}, &leaf, false, -1},
        {"own class", {FilterFor("lineage_fixture::ELeaf")}, &leaf, false, 0},
        {"ancestor in lower case with blanks",
         {FilterFor("  lineage_fixture::ebase \t")},
         &leaf,
         false,
         0},
        {"standard ancestor", {FilterFor("STD::EXCEPTION")}, &leaf, false, 0},
        {"descendant does not match ancestor",
         {FilterFor("lineage_fixture::ELeaf")},
         &ThrownType(EBase()),
         false,
         -1},
        {"unrelated class", {FilterFor("lineage_fixture::EUnrelated")}, &leaf, false, -1},
        {"inactive filter skipped",
         {FilterFor("std::exception", TFaultExceptionKind::All, false),
          FilterFor("std::exception")},
         &leaf,
         false,
         1},
        {"list order wins",
         {FilterFor("std::exception"), FilterFor("lineage_fixture::ELeaf")},
         &leaf,
         false,
         0},
        {"handled-only skips unhandled",
         {FilterFor("std::exception", TFaultExceptionKind::HandledOnly)},
         &leaf,
         false,
         -1},
        {"handled-only takes handled",
         {FilterFor("std::exception", TFaultExceptionKind::HandledOnly)},
         &leaf,
         true,
         0},
        {"unhandled-only skips handled",
         {FilterFor("std::exception", TFaultExceptionKind::UnhandledOnly)},
         &leaf,
         true,
         -1},
        {"unhandled-only takes unhandled",
         {FilterFor("std::exception", TFaultExceptionKind::UnhandledOnly)},
         &leaf,
         false,
         0},
        {"second base of multiple inheritance",
         {FilterFor("lineage_fixture::ENet")},
         &socket,
         false,
         0},
        {"shared virtual base", {FilterFor("lineage_fixture::ECommon")}, &socket, false, 0},
        {"no partial names",
         {FilterFor("ELeaf"), FilterFor("lineage_fixture::E")},
         &leaf,
         false,
         -1},
        {"thrown int", {FilterFor("int")}, &ThrownType(42), false, 0},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.what);
        TFaultExceptionsFilters filters([] {});
        filters.Assign(c.filters);
        const TFaultExceptionFilter* chosen = SelectExceptionFilter(filters, *c.thrown, c.handled);
        if (c.expected < 0) {
            EXPECT_EQ(chosen, nullptr);
        } else {
            EXPECT_EQ(chosen, &filters.Filter(static_cast<std::size_t>(c.expected)));
        }
    }
}

TEST(FilterSelection, FiltersOfTheOptionsSelectForARealCatch) {
    testing::CountingOptions options;
    options.ExceptionsFilters().Add(FilterFor("lineage_fixture::EIo"));
    try {
        throw ESocket();
    } catch (const ECommon&) {
        const std::type_info& thrown = *abi::__cxa_current_exception_type();
        const TFaultExceptionFilter* chosen =
            SelectExceptionFilter(options.ExceptionsFilters(), thrown, true);
        ASSERT_NE(chosen, nullptr);
        EXPECT_EQ(chosen->ClassName, "lineage_fixture::EIo");
    }
}

} // namespace
} // namespace faulttrap
