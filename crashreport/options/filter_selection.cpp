#include "crashreport/options/filter_selection.h"

#include "crashreport/options/class_lineage.h"

#include "crashreport/text/strings.h"

#include <algorithm>
#include <string_view>

namespace faulttrap {

namespace {

// Only the letters a-z and A-Z have a case; accented letters compare as they are.
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

bool KindAdmits(TFaultExceptionKind kind, bool handledByProgram) {
    switch (kind) {
    case TFaultExceptionKind::All:
        return true;
    case TFaultExceptionKind::HandledOnly:
        return handledByProgram;
    case TFaultExceptionKind::UnhandledOnly:
        return !handledByProgram;
    }
    return false;
}

} // namespace

const TFaultExceptionFilter* SelectExceptionFilter(const TFaultExceptionsFilters& filters,
                                                   const std::type_info& exceptionType,
                                                   bool handledByProgram) {
    if (filters.Count() == 0) {
        return nullptr;
    }
    const std::vector<std::string> lineage = ClassLineage(exceptionType);
    for (const TFaultExceptionFilter& filter : filters.Items()) {
        if (!filter.Active || !KindAdmits(filter.ExceptionKind, handledByProgram)) {
            continue;
        }
        const std::string_view wanted = TrimmedView(filter.ClassName);
        if (std::any_of(lineage.begin(), lineage.end(), [&](const std::string& name) {
                return SameTextIgnoringCase(wanted, name);
            })) {
            return &filter;
        }
    }
    return nullptr;
}

} // namespace faulttrap
