#pragma once

#include "crashreport/debuginfo/resolver.h"

namespace faulttrap {

// The resolver of the reports: encrypted debug information is opened with the password its
// module's handlers give, and an exported function whose symbol states no size is measured by
// decoding its code up to its first return.
class TReportResolver : public AddressResolver {
public:
    explicit TReportResolver(const TFaultModulesList& modules);
};

} // namespace faulttrap
