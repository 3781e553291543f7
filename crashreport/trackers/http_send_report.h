#pragma once

#include "crashreport/trackers/tracker_result.h"

#include "crashreport/web/http_connection_base.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// What a conversation files: the values of the report and the tracker options.
struct TTrackerReport {
    std::string version;   // the program's file version
    std::string className; // of the exception
    std::string message;   // of the exception
    std::string bugId;     // four hexadecimal digits
    std::string user;      // the tracker's log-in
    std::string password;
    std::string project;    // Mantis project, Bugzilla product, FogBugz project
    std::string category;   // Mantis category, FogBugz area
    std::string assignedTo; // Mantis handler, Bugzilla assignee, FogBugz person
    std::string extraId;    // sent as "ID" with a FogBugz log-in when not empty
    std::string packedFile; // the report archive; empty: none
};

// Creates an opened connection to `url` through `proxy`; throws THTTPConnectionError when it
// cannot be opened.
using THTTPConnectionMaker = std::function<std::unique_ptr<THTTPConnectionBase>(
    std::string_view url, std::string_view proxy)>;

// A plain connection, without progress window.
THTTPConnectionMaker BaseConnectionMaker(TTransferLimits limits = {});

// The conversation with one kind of bug tracker: log in, choose the project, search for an
// earlier report of the error, then file a new bug or raise the counter of the found one.
class THTTPSendReport {
public:
    explicit THTTPSendReport(THTTPConnectionMaker connect = BaseConnectionMaker());
    THTTPSendReport(const THTTPSendReport&) = delete;
    THTTPSendReport& operator=(const THTTPSendReport&) = delete;
    virtual ~THTTPSendReport() = default;

    // Runs the whole conversation on one connection (one cookie session), closed at the end also
    // when a step fails; every response passes through `response`. Throws THTTPConnectionError
    // when the connection cannot be opened.
    TTrackerResult Submit(std::string_view url, std::string_view proxy,
                          const TTrackerReport& report, THTTPResponse& response);

protected:
    virtual TTrackerResult Converse(THTTPConnectionBase& connection, const TTrackerReport& report,
                                    THTTPResponse& response) = 0;

    // Sends the prepared request; true when it was answered by `page` containing `text`.
    static bool Exchange(THTTPConnectionBase& connection, THTTPResponse& response,
                         std::string_view page, std::string_view text, bool showProgress = false);

    // Puts the found bug's title, its counter one higher, in the request; the result to stop with
    // when the bug is to be left as it is (Done) or its page has no title (ModifyFailed).
    static std::optional<TTrackerResult> RaiseCounter(THTTPConnectionBase& connection,
                                                      std::string_view name);

private:
    THTTPConnectionMaker connect_;
};

} // namespace faulttrap
