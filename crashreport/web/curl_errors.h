#pragma once

#include <curl/curl.h>

#include <string>

namespace faulttrap {

// Why an exchange failed: an error number of the message table, and its text.
struct TTransferError {
    int code = 0; // 0: no failure
    std::string text;
    explicit operator bool() const { return code != 0; }
};

// The error number that stands for libcurl's `result`. `certificateCheck` is the certificate
// verification result of the TLS library (0 when it found no fault).
int WinINetErrorOf(CURLcode result, long certificateCheck);

// `serverResponse` is the last response line of the server (an FTP reply), preferred as the
// text; then the table text of the number; then libcurl's own description.
TTransferError TransferErrorOf(CURLcode result, long certificateCheck,
                               const std::string& serverResponse, const char* curlMessage);

} // namespace faulttrap
