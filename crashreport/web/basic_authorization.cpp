#include "crashreport/web/basic_authorization.h"

#include "crashreport/packaging/base64.h"

namespace faulttrap {

std::string BasicAuthorization(const std::string& userName, const std::string& password) {
    return "Basic " + ToBase64(userName + ':' + password);
}

} // namespace faulttrap
