#include "intercept/report_resolver.h"

#include "intercept/module_password.h"

#include "disasm/function_size.h"

namespace faulttrap {

TReportResolver::TReportResolver(const TFaultModulesList& modules)
    : AddressResolver(modules, ModulePassword, [](std::uintptr_t address, std::uintptr_t codeEnd) {
          return SizeToFirstReturn(address, codeEnd);
      }) {}

} // namespace faulttrap
