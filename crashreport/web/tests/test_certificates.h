#pragma once

#include <filesystem>

namespace faulttrap::test {

// A certificate authority of the test and a server certificate it signed for 127.0.0.1 and
// localhost, made with openssl in `folder`: ca.pem, server.pem, server.key.
void MakeTestCertificates(const std::filesystem::path& folder);

} // namespace faulttrap::test
