#include "crashreport/report/exception_description.h"

#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

namespace faulttrap {

namespace {

std::string Demangled(const std::type_info* type) {
    if (type == nullptr) {
        return "Unknown exception type";
    }
    int status = 0;
    char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled != nullptr ? demangled : type->name();
    std::free(demangled);
    return name;
}

} // namespace

ExceptionDescription DescribeException(const std::exception_ptr& exception) {
    ExceptionDescription description;
    if (!exception) {
        description.className = Demangled(nullptr);
        return description;
    }
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& known) {
        description.className = Demangled(&typeid(known));
        description.message = known.what();
    } catch (...) {
        description.className = Demangled(abi::__cxa_current_exception_type());
    }
    return description;
}

} // namespace faulttrap
