#include "crashreport/web/redirect_target.h"

#include "crashreport/options/text_case.h"

namespace faulttrap {

bool IsAbsoluteAddress(std::string_view target) {
    return FindIgnoringCase(target, "http://") == 0 || FindIgnoringCase(target, "https://") == 0;
}

std::string RedirectTarget(std::string_view current, std::string_view location) {
    if (IsAbsoluteAddress(location)) {
        return std::string(location);
    }
    if (location.starts_with("//")) {
        const std::size_t schemeEnd = current.find("://");
        const std::string_view scheme =
            IsAbsoluteAddress(current) ? current.substr(0, schemeEnd) : "http";
        return std::string(scheme) + ':' + std::string(location);
    }
    if (location.starts_with('/')) {
        return std::string(location);
    }
    const std::string_view path = current.substr(0, current.find('?'));
    const std::size_t slash = path.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view("/") : path.substr(0, slash + 1);
    return std::string(folder) + std::string(location);
}

std::string RefreshTarget(std::string_view refresh) {
    const std::size_t url = FindIgnoringCase(refresh, "url=");
    if (url == std::string_view::npos) {
        return {};
    }
    std::string_view target = refresh.substr(url + 4);
    while (!target.empty() &&
           (target.front() == ' ' || target.front() == '"' || target.front() == '\'')) {
        target.remove_prefix(1);
    }
    while (!target.empty() &&
           (target.back() == ' ' || target.back() == '"' || target.back() == '\'')) {
        target.remove_suffix(1);
    }
    return std::string(target);
}

} // namespace faulttrap
