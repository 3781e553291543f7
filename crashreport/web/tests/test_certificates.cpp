#include "crashreport/web/tests/test_certificates.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace faulttrap::test {

void MakeTestCertificates(const std::filesystem::path& folder) {
    std::ofstream(folder / "server.ext")
        << "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n";
    const std::string in = "cd '" + folder.string() + "' && ";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string commands =
        in + "openssl req -x509" + key +
        " -keyout ca.key -out ca.pem -days 2 -subj '/CN=FaultTrap Test CA' 2>/dev/null && "
        "openssl req" +
        key +
        " -keyout server.key -out server.csr -subj '/CN=127.0.0.1' 2>/dev/null && "
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 "
        "-extfile server.ext -out server.pem 2>/dev/null";
    if (std::system(commands.c_str()) != 0) {
        throw std::runtime_error("openssl could not make the test certificates");
    }
}

} // namespace faulttrap::test
