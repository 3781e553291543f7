#pragma once

#include <cstdint>
#include <string>

namespace faulttrap {

// The address text a tracker conversation connects with: `url` with ":" and `port` appended at
// the very end when `port` is not 0, and "user:password@" inserted after the first "://" (at the
// front when there is none) when a user name or password is set. The credentials are
// percent-encoded, so that any character of a password survives the parsing of the text.
std::string TrackerEndpointText(const std::string& url, std::int32_t port,
                                const std::string& userName, const std::string& password);

// The proxy text built the same way from the proxy host and its port and credentials; it names
// no proxy when `host` is empty.
std::string TrackerProxyText(const std::string& host, std::uint16_t port,
                             const std::string& userName, const std::string& password);

} // namespace faulttrap
