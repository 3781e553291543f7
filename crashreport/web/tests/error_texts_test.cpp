#include "crashreport/web/curl_errors.h"
#include "crashreport/web/web_warning.h"
#include "crashreport/web/wininet_messages.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

TEST(WinINetMessageTest, HoldsTheFortySixNumbersAndNothingElse) {
    const int numbers[] = {12002, 12003, 12004, 12005, 12006, 12007, 12013, 12014, 12015, 12016,
                           12020, 12028, 12029, 12030, 12031, 12033, 12037, 12038, 12039, 12040,
                           12041, 12042, 12043, 12044, 12045, 12052, 12055, 12111, 12112, 12133,
                           12150, 12151, 12152, 12153, 12160, 12161, 12162, 12163, 12164, 12165,
                           12166, 12167, 12168, 12169, 12170, 12171};
    for (const int number : numbers) {
        EXPECT_FALSE(WinINetMessage(number).empty()) << number;
    }
    for (const int absent : {0, -1, 12001, 12017, 12156, 12172}) {
        EXPECT_TRUE(WinINetMessage(absent).empty()) << absent;
    }
    EXPECT_EQ(WinINetMessage(12002), "The request has timed out.");
    EXPECT_EQ(WinINetMessage(12007), "The server name could not be resolved.");
    EXPECT_EQ(WinINetMessage(12029), "The attempt to connect to the server failed.");
    EXPECT_EQ(WinINetMessage(12112), "Passive mode is not available on the server.");
    EXPECT_EQ(WinINetMessage(12152), "The server response could not be parsed.");
    EXPECT_EQ(WinINetMessage(12163), "The Internet connection has been lost.");
}

TEST(TransferErrorTest, PrefersTheServerRefusalThenTheTableThenLibcurl) {
    const TTransferError refused =
        TransferErrorOf(CURLE_LOGIN_DENIED, 0, "530 Authentication failed.", "Access denied");
    EXPECT_EQ(refused.code, 12015);
    EXPECT_EQ(refused.text, "530 Authentication failed.");

    const TTransferError timeout = TransferErrorOf(CURLE_OPERATION_TIMEDOUT, 0, "", "whatever");
    EXPECT_EQ(timeout.code, 12002);
    EXPECT_EQ(timeout.text, "The request has timed out.");

    const TTransferError unmapped = TransferErrorOf(CURLE_BAD_CONTENT_ENCODING, 0, "", "gzip?");
    EXPECT_EQ(unmapped.code, 12004);
    EXPECT_EQ(unmapped.text, "gzip?");

    EXPECT_FALSE(TransferErrorOf(CURLE_OK, 0, "", ""));
}

TEST(TransferErrorTest, TellsCertificateFaultsApart) {
    EXPECT_EQ(WinINetErrorOf(CURLE_PEER_FAILED_VERIFICATION, 20), 12045);
    EXPECT_EQ(WinINetErrorOf(CURLE_PEER_FAILED_VERIFICATION, 10), 12037);
    EXPECT_EQ(WinINetErrorOf(CURLE_PEER_FAILED_VERIFICATION, 0), 12038);
    EXPECT_EQ(WinINetErrorOf(CURLE_PEER_FAILED_VERIFICATION, 23), 12170);
    EXPECT_EQ(WinINetErrorOf(CURLE_COULDNT_RESOLVE_HOST, 0), 12007);
    EXPECT_EQ(WinINetErrorOf(CURLE_COULDNT_CONNECT, 0), 12029);
    EXPECT_EQ(WinINetErrorOf(CURLE_FTP_WEIRD_PASV_REPLY, 0), 12112);
}

TEST(WebErrorTextTest, FormatsCodeAndTextOrTheMissingLibrary) {
    EXPECT_EQ(WebErrorText("HTTP", 500, "Internal Server Error"),
              "HTTP error code: 500 (Internal Server Error)");
    EXPECT_EQ(WebErrorText("FTP", 12029, ""), "FTP error code: 12029 ()");
    EXPECT_EQ(WebErrorText("HTTPS", -1, "ignored"),
              "HTTPS error code: -1 - Cannot find the \"libcurl.so.4\" library.");
    EXPECT_STREQ(WarningCodeName(TWebWarningCode::eeWebFTPError), "eeWebFTPError");
}

} // namespace
} // namespace faulttrap
