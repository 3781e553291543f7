#include "crashreport/intercept/kept_resolver.h"

#include "crashreport/intercept/report_resolver.h"

#include <memory>

namespace faulttrap {

namespace {

struct Kept {
    std::unique_ptr<TFaultModulesList> modules;
    std::unique_ptr<AddressResolver> resolver;
};

Kept& KeptState() {
    static auto* kept = new Kept;
    return *kept;
}

bool SameModule(const TFaultModuleInfo& a, const TFaultModuleInfo& b) {
    return a.path == b.path && a.base == b.base && a.fileSize == b.fileSize &&
           a.modified == b.modified;
}

bool SameModules(const TFaultModulesList& a, const TFaultModulesList& b) {
    const auto& left = a.Modules();
    const auto& right = b.Modules();
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (!SameModule(*left[i], *right[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

ResolverLease KeptResolver() {
    Kept& kept = KeptState();
    TFaultModulesList now = TFaultModulesList::Current();
    if (!kept.modules || !SameModules(*kept.modules, now)) {
        kept.resolver.reset();
        kept.modules = std::make_unique<TFaultModulesList>(std::move(now));
        kept.resolver = std::make_unique<TReportResolver>(*kept.modules);
    }
    return {*kept.modules, *kept.resolver};
}

} // namespace faulttrap
