#pragma once

#include <string>

namespace faulttrap {

// "Basic " followed by the Base64 form of user name, ":" and password.
std::string BasicAuthorization(const std::string& userName, const std::string& password);

} // namespace faulttrap
