#include "crashreport/report/exception_description.h"

#include "crashreport/report/value_formats.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace faulttrap {
namespace {

struct RegistryLocked : std::runtime_error {
    RegistryLocked() : std::runtime_error("The registry is locked") {}
};

struct NotAnException {};

template <typename T> std::exception_ptr Thrown(T value) {
    try {
        throw value;
    } catch (...) {
        return std::current_exception();
    }
}

TEST(ExceptionDescription, ClassNameAndMessageOfWhatWasThrown) {
    const struct {
        std::exception_ptr thrown;
        const char* className;
        const char* message;
    } cases[] = {
        {Thrown(std::runtime_error("Disk full")), "std::runtime_error", "Disk full."},
        {Thrown(RegistryLocked()), "faulttrap::(anonymous namespace)::RegistryLocked",
         "The registry is locked."},
        {Thrown(42), "int", "Unknown error message."},
        {Thrown(NotAnException()), "faulttrap::(anonymous namespace)::NotAnException",
         "Unknown error message."},
        {nullptr, "Unknown exception type", "Unknown error message."},
    };
    for (const auto& c : cases) {
        const ExceptionDescription description = DescribeException(c.thrown);
        EXPECT_EQ(description.className, c.className);
        EXPECT_EQ(FormatExceptionMessage(description.message), c.message);
    }
}

TEST(ExceptionDescription, TheDynamicTypeIsNamedThroughABaseReference) {
    std::exception_ptr thrown;
    try {
        try {
            throw RegistryLocked();
        } catch (const std::exception&) {
            throw;
        }
    } catch (...) {
        thrown = std::current_exception();
    }
    EXPECT_EQ(DescribeException(thrown).className,
              "faulttrap::(anonymous namespace)::RegistryLocked");
}

} // namespace
} // namespace faulttrap
