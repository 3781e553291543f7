#pragma once

#include <string>

namespace faulttrap {

// Error numbers of the classic Windows internet client that the web delivery reports, so that
// a failure reads the same whatever client library carried it.
namespace wininet_error {
inline constexpr int LibraryMissing = -1;
inline constexpr int Timeout = 12002;
inline constexpr int ExtendedError = 12003;
inline constexpr int InternalError = 12004;
inline constexpr int InvalidUrl = 12005;
inline constexpr int UnrecognizedScheme = 12006;
inline constexpr int NameNotResolved = 12007;
inline constexpr int LoginFailure = 12015;
inline constexpr int OperationCancelled = 12017;
inline constexpr int CannotConnect = 12029;
inline constexpr int ConnectionAborted = 12030;
inline constexpr int ConnectionReset = 12031;
inline constexpr int CertificateDateInvalid = 12037;
inline constexpr int CertificateNameInvalid = 12038;
inline constexpr int ClientCertificateNeeded = 12044;
inline constexpr int InvalidCertificateAuthority = 12045;
inline constexpr int CertificateErrors = 12055;
inline constexpr int FtpDropped = 12111;
inline constexpr int PassiveModeUnavailable = 12112;
inline constexpr int InvalidServerResponse = 12152;
inline constexpr int RedirectFailed = 12156;
inline constexpr int SecurityChannelError = 12157;
inline constexpr int ServerUnreachable = 12164;
inline constexpr int ProxyServerUnreachable = 12165;
inline constexpr int InvalidCertificate = 12169;
inline constexpr int CertificateRevoked = 12170;
} // namespace wininet_error

// The English description of error `code` from the table of 46 entries; empty for a number the
// table does not hold.
std::string WinINetMessage(int code);

} // namespace faulttrap
