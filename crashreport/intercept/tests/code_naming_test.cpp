// The listing's naming over the call stack's debug information: code by its source place,
// objects by their class, and exports whose symbols state no size measured by their code.

#include "crashreport/intercept/report_resolver.h"
#include "crashreport/intercept/resolver_code_naming.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <stdexcept>

namespace faulttrap::testing {
namespace {

struct TShape {
    virtual ~TShape() = default;
    virtual int Corners() const = 0;
};

struct TSquare : TShape {
    int Corners() const override { return 4; }
};

// Pointers only: no virtual table, though it starts with an address in a module.
struct TPlainRecord {
    const char* name;
    int (*corners)();
};

int CornersOfNothing() {
    return 0;
}

// Its first instruction already computes the result.
const int kNamedLine = __LINE__ + 2;
__attribute__((noinline)) int NamedRoutine(int value) {
    return value * 3 + 1;
}

class CodeNamingTest : public ::testing::Test {
protected:
    TFaultModulesList modules = TFaultModulesList::Current();
    TReportResolver resolver{modules};
    TResolverCodeNaming naming{resolver};
};

TEST_F(CodeNamingTest, NamesPolymorphicObjectsByTheirClassAndNothingElse) {
    const auto square = std::make_unique<TSquare>();
    const std::runtime_error error("x");
    static const TPlainRecord record{"plain", CornersOfNothing};
    const int number = 7;
    const auto at = [](const auto* object) { return reinterpret_cast<std::uint64_t>(object); };

    EXPECT_EQ(naming.ObjectClassName(at(square.get())),
              "faulttrap::testing::(anonymous namespace)::TSquare");
    EXPECT_EQ(naming.ObjectClassName(at(&error)), "std::runtime_error");
    EXPECT_EQ(naming.ObjectClassName(at(&record)), "");
    EXPECT_EQ(naming.ObjectClassName(at("a literal, not an object")), "");
    EXPECT_EQ(naming.ObjectClassName(at(&number)), "");
    EXPECT_EQ(naming.ObjectClassName(0), "");
    EXPECT_EQ(naming.ObjectClassName(reinterpret_cast<std::uint64_t>(&CornersOfNothing)), "");
}

TEST_F(CodeNamingTest, GivesTheSourcePlaceOfCodeAndNothingOutsideCode) {
    const auto routine = reinterpret_cast<std::uint64_t>(&NamedRoutine);
    const auto place = naming.SourcePlace(routine);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Unit, "code_naming_test.cpp");
    EXPECT_NE(place->Procedure.find("NamedRoutine"), std::string::npos) << place->Procedure;
    EXPECT_EQ(place->Line, kNamedLine);
    EXPECT_EQ(place->LineOffset, 0);

    int local = 0;
    EXPECT_FALSE(naming.SourcePlace(reinterpret_cast<std::uint64_t>(&local)));
    EXPECT_FALSE(naming.SourcePlace(0));
}

// A library without debug information names addresses by its exports only.
class UnsizedExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        library = dlopen(UNSIZED_EXPORTS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
    }
    void TearDown() override {
        if (library != nullptr) {
            dlclose(library);
        }
    }
    std::uintptr_t Export(const char* name) const {
        return reinterpret_cast<std::uintptr_t>(dlsym(library, name));
    }

    void* library = nullptr;
};

TEST_F(UnsizedExportsTest, ExportsWithoutSymbolSizeRunToTheirFirstReturn) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    TReportResolver measured(modules);
    AddressResolver unmeasured(modules);
    const std::uintptr_t twice = Export("UnsizedDouble");
    const std::uintptr_t thrice = Export("UnsizedTriple");
    const std::uintptr_t sized = Export("SizedQuadruple");
    ASSERT_NE(twice, 0u);
    ASSERT_EQ(thrice, twice + 5); // mov, add, ret: 2 + 2 + 1 bytes

    struct Case {
        std::uintptr_t address;
        const char* measuredName;   // with the sizes taken from the code
        const char* unmeasuredName; // with the symbols' sizes alone
    };
    const Case cases[] = {
        {twice, "UnsizedDouble", "UnsizedDouble"}, // an export's first byte is always its own
        {twice + 2, "UnsizedDouble", ""},          {twice + 4, "UnsizedDouble", ""}, // its return
        {thrice + 3, "UnsizedTriple", ""},         {sized + 1, "SizedQuadruple", "SizedQuadruple"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.measuredName + std::string(" at +") + std::to_string(c.address - twice));
        EXPECT_EQ(measured.Resolve(c.address).procedureName, c.measuredName);
        EXPECT_EQ(unmeasured.Resolve(c.address).procedureName, c.unmeasuredName);
    }
}

} // namespace
} // namespace faulttrap::testing
