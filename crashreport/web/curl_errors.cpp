#include "crashreport/web/curl_errors.h"

#include "crashreport/web/wininet_messages.h"

namespace faulttrap {

namespace {

// X.509 verification results (OpenSSL's numbering).
constexpr long CertificateNotYetValid = 9;
constexpr long CertificateExpired = 10;
constexpr long SelfSignedCertificate = 18;
constexpr long SelfSignedInChain = 19;
constexpr long UnknownIssuer = 20;
constexpr long CannotVerifyLeaf = 21;
constexpr long CertificateRevoked = 23;
constexpr long HostnameMismatch = 62;

int CertificateErrorOf(long check) {
    using namespace wininet_error;
    switch (check) {
    case 0: // libcurl compares the host name itself and reports no verification fault then
    case HostnameMismatch:
        return CertificateNameInvalid;
    case CertificateNotYetValid:
    case CertificateExpired:
        return CertificateDateInvalid;
    case SelfSignedCertificate:
    case SelfSignedInChain:
    case UnknownIssuer:
    case CannotVerifyLeaf:
        return InvalidCertificateAuthority;
    case CertificateRevoked:
        return wininet_error::CertificateRevoked;
    default:
        return InvalidCertificate;
    }
}

} // namespace

int WinINetErrorOf(CURLcode result, long certificateCheck) {
    using namespace wininet_error;
    switch (result) {
    case CURLE_OK:
        return 0;
    case CURLE_FAILED_INIT:
        return LibraryMissing;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return UnrecognizedScheme;
    case CURLE_URL_MALFORMAT:
        return InvalidUrl;
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ProxyServerUnreachable;
    case CURLE_COULDNT_RESOLVE_HOST:
        return NameNotResolved;
    case CURLE_COULDNT_CONNECT:
        return CannotConnect;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_GOT_NOTHING:
        return InvalidServerResponse;
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
        return PassiveModeUnavailable;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_DISK_FULL:
        return ExtendedError;
    case CURLE_LOGIN_DENIED:
        return LoginFailure;
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return ConnectionAborted;
    case CURLE_OPERATION_TIMEDOUT:
        return Timeout;
    case CURLE_ABORTED_BY_CALLBACK:
        return OperationCancelled;
    case CURLE_TOO_MANY_REDIRECTS:
        return RedirectFailed;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_SHUTDOWN_FAILED:
        return SecurityChannelError;
    case CURLE_SSL_CERTPROBLEM:
        return ClientCertificateNeeded;
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
        return InvalidCertificateAuthority;
    case CURLE_PEER_FAILED_VERIFICATION:
        return CertificateErrorOf(certificateCheck);
    case CURLE_SSL_INVALIDCERTSTATUS:
        return wininet_error::CertificateRevoked;
    default:
        return InternalError;
    }
}

TTransferError TransferErrorOf(CURLcode result, long certificateCheck,
                               const std::string& serverResponse, const char* curlMessage) {
    TTransferError error;
    error.code = WinINetErrorOf(result, certificateCheck);
    if (error.code == 0) {
        return error;
    }
    const bool ownTable = error.code != wininet_error::InternalError;
    if (!serverResponse.empty()) {
        error.text = serverResponse;
    } else if (ownTable && !WinINetMessage(error.code).empty()) {
        error.text = WinINetMessage(error.code);
    } else if (curlMessage != nullptr && *curlMessage != '\0') {
        error.text = curlMessage;
    } else {
        error.text = curl_easy_strerror(result);
    }
    return error;
}

} // namespace faulttrap
