#include "crashreport/trackers/fogbugz_send_report.h"

#include "crashreport/trackers/form_fields.h"
#include "crashreport/trackers/tracker_texts.h"

#include "crashreport/options/text_case.h"

namespace faulttrap {

namespace {

constexpr std::string_view SubmitPage = "default.asp?pre=preSubmitBug";

bool LinksToABug(std::string_view body) {
    return FindIgnoringCase(body, "default.asp?pg=pgeditbug") != std::string_view::npos ||
           FindIgnoringCase(body, "default.asp?pgx=EV&amp;ixBug=") != std::string_view::npos;
}

} // namespace

TTrackerResult THTTPFogBugzSendReport::Converse(THTTPConnectionBase& connection,
                                                const TTrackerReport& report,
                                                THTTPResponse& response) {
    connection.Status(THTTPStatus::Login, 0);
    connection.SetRequest("default.asp", THTTPMethod::PostForm);
    connection.AddField("pre", "preLogon");
    connection.AddField("sPerson", report.user);
    connection.AddField("sPassword", report.password);
    connection.AddField("fRememberPassword", "0");
    if (!report.extraId.empty()) {
        connection.AddField("ID", report.extraId);
    }
    if (!Exchange(connection, response, "default.asp", "pre=preLogOff")) {
        return TTrackerResult::LoginRefused;
    }

    connection.Status(THTTPStatus::Searching, 0);
    connection.SetRequest("default.asp", THTTPMethod::Get);
    connection.AddField("pre", "preSearch");
    connection.AddField("pg", "pgList");
    connection.AddField("pgBack", "pgSearch");
    connection.AddField("search", "1");
    connection.AddField("bAlsoSearchClosedBugs", "ON");
    AddSearch(connection, "searchFor", report.bugId, report.className);
    if (!Exchange(connection, response, "default.asp", "searchFor=")) {
        return TTrackerResult::SearchFailed;
    }

    if (!LinksToABug(connection.LastResponse().body)) {
        return FileNewBug(connection, report, response);
    }
    return UpdateBug(connection, response);
}

TTrackerResult THTTPFogBugzSendReport::FileNewBug(THTTPConnectionBase& connection,
                                                  const TTrackerReport& report,
                                                  THTTPResponse& response) {
    connection.Status(THTTPStatus::SelectProject, 0);
    connection.SetRequest("default.asp", THTTPMethod::Get);
    connection.AddField("command", "new");
    connection.AddField("pg", "pgEditBug");
    if (!Exchange(connection, response, "default.asp", {})) {
        return TTrackerResult::InsertFailed;
    }

    connection.SetRequest(SubmitPage, THTTPMethod::PostMultipart);
    for (const char* name :
         {"command", "dtTimeStamp", "ixBug", "ixBugEventLatest", "ixPersonLastOwner",
          "ixDiscussTopic", "ixScreenshot", "sOriginalTitle"}) {
        CopyInput(connection, name);
    }
    AddSummary(connection, "sTitle", report.version, report.bugId, report.className);
    connection.AddField("sEvent", TrackerDescription(report.message));
    SelectByText(connection, "ixProject", report.project);
    SelectByText(connection, "ixArea", report.project + ": " + report.category);
    if (report.assignedTo.empty()) {
        CopySelected(connection, "ixPersonAssignedTo");
    } else {
        SelectByText(connection, "ixPersonAssignedTo", report.assignedTo);
    }
    CopySelected(connection, "ixCategory");
    CopySelected(connection, "ixFixFor");
    connection.AddField("ixPriority", "1");
    CopyInput(connection, "sDueDate");
    CopyInput(connection, "sDueTime");
    connection.AddField("hrsCurrEstNew", "");
    CopyInput(connection, "hrsElapsedNew");
    if (!report.packedFile.empty()) {
        connection.AddFile("File1", report.packedFile);
    }
    return Exchange(connection, response, "default.asp", "command=resolve", true)
               ? TTrackerResult::Done
               : TTrackerResult::InsertFailed;
}

TTrackerResult THTTPFogBugzSendReport::UpdateBug(THTTPConnectionBase& connection,
                                                 THTTPResponse& response) {
    connection.Status(THTTPStatus::Modifying, 0);
    const std::string bugNumber = BugNumberAfter(connection.LastResponse().body, "ixBug=");
    connection.SetRequest("default.asp", THTTPMethod::Get);
    connection.AddField("pg", "pgEditBug");
    connection.AddField("command", "edit");
    connection.AddField("ixBug", bugNumber);
    if (!Exchange(connection, response, "default.asp", "name=\"OK\"")) {
        return TTrackerResult::ModifyFailed;
    }

    connection.SetRequest(SubmitPage, THTTPMethod::PostMultipart);
    if (const auto stop = RaiseCounter(connection, "sTitle")) {
        return *stop;
    }
    if (FindIgnoringCase(connection.LastResponse().body, "default.asp?pg=pgEditReleaseNotes") !=
        std::string::npos) {
        return TTrackerResult::BugClosed;
    }
    for (const char* name :
         {"command", "dtTimeStamp", "ixBug", "ixBugEventLatest", "ixPersonLastOwner",
          "ixDiscussTopic", "ixScreenshot", "sOriginalTitle", "sEvent"}) {
        CopyInput(connection, name);
    }
    for (const char* name :
         {"ixProject", "ixArea", "ixPersonAssignedTo", "ixCategory", "ixFixFor", "ixPriority"}) {
        CopySelected(connection, name);
    }
    for (const char* name : {"sDueDate", "sDueTime", "hrsCurrEstNew", "hrsElapsedNew"}) {
        CopyInput(connection, name);
    }
    return Exchange(connection, response, "default.asp", "command=resolve", true)
               ? TTrackerResult::Done
               : TTrackerResult::ModifyFailed;
}

} // namespace faulttrap
