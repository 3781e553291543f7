#pragma once

#include "debuginfo/resolver.h"

namespace faulttrap {

// The resolver of the reports: like the call stack's, and an exported function whose symbol
// states no size is measured by decoding its code up to its first return.
class TReportResolver : public AddressResolver {
public:
    explicit TReportResolver(const TFaultModulesList& modules);
};

} // namespace faulttrap
