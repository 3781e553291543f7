#include "crashreport/intercept/report_resolver.h"

#include "crashreport/intercept/module_password.h"

#include "crashreport/disasm/function_size.h"

namespace faulttrap {

TReportResolver::TReportResolver(const TFaultModulesList& modules)
    : AddressResolver(modules, ModulePassword, [](std::uintptr_t address, std::uintptr_t codeEnd) {
          return SizeToFirstReturn(address, codeEnd);
      }) {}

} // namespace faulttrap
