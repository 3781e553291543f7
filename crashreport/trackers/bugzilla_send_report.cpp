#include "crashreport/trackers/bugzilla_send_report.h"

#include "crashreport/trackers/form_fields.h"
#include "crashreport/trackers/html_form.h"
#include "crashreport/trackers/tracker_texts.h"

#include "crashreport/options/text_case.h"

namespace faulttrap {

namespace {

constexpr std::string_view BugLink = "show_bug.cgi?id=";

} // namespace

TTrackerResult THTTPBugzillaSendReport::Converse(THTTPConnectionBase& connection,
                                                 const TTrackerReport& report,
                                                 THTTPResponse& response) {
    connection.Status(THTTPStatus::Login, 0);
    connection.SetRequest("enter_bug.cgi", THTTPMethod::PostForm);
    connection.AddField("project", report.project);
    connection.AddField("Bugzilla_login", report.user);
    connection.AddField("Bugzilla_password", report.password);
    if (!Exchange(connection, response, "enter_bug.cgi", "relogin.cgi")) {
        return TTrackerResult::LoginRefused;
    }

    connection.Status(THTTPStatus::Searching, 0);
    connection.SetRequest("buglist.cgi", THTTPMethod::Get);
    connection.AddField("query_format", "specific");
    connection.AddField("order", "relevance desc");
    connection.AddField("bug_status", "__all__");
    connection.AddField("product", report.project);
    AddSearch(connection, "content", report.bugId, report.className);
    if (!Exchange(connection, response, "buglist.cgi", "href=\"query.cgi?")) {
        return TTrackerResult::SearchFailed;
    }

    if (connection.LastResponse().body.find(BugLink) == std::string::npos) {
        return FileNewBug(connection, report, response);
    }
    return UpdateBug(connection, response);
}

TTrackerResult THTTPBugzillaSendReport::FileNewBug(THTTPConnectionBase& connection,
                                                   const TTrackerReport& report,
                                                   THTTPResponse& response) {
    connection.Status(THTTPStatus::SelectProject, 0);
    connection.SetRequest("enter_bug.cgi", THTTPMethod::Get);
    connection.AddField("product", report.project);
    if (!Exchange(connection, response, "enter_bug.cgi", "action=\"post_bug.cgi\"")) {
        return TTrackerResult::SelectionFailed;
    }

    connection.SetRequest("post_bug.cgi", THTTPMethod::PostForm);
    CopyInput(connection, "product");
    for (const char* name : {"version", "component", "rep_platform", "op_sys", "priority",
                             "bug_severity", "target_milestone"}) {
        CopySelected(connection, name);
    }
    CopyInput(connection, "bug_status");
    connection.AddField("assigned_to", report.assignedTo);
    for (const char* name : {"qa_contact", "cc", "estimated_time", "deadline", "bug_file_loc"}) {
        CopyInput(connection, name);
    }
    AddSummary(connection, "short_desc", report.version, report.bugId, report.className);
    connection.AddField("comment", TrackerDescription(report.message));
    for (const char* name : {"keywords", "dependson", "blocked"}) {
        CopyInput(connection, name);
    }
    connection.AddField("form_name", "enter_bug");
    if (!Exchange(connection, response, "post_bug.cgi", BugLink, true)) {
        return TTrackerResult::InsertFailed;
    }
    // A bug without its report is still a bug: without an archive there is nothing to attach.
    if (report.packedFile.empty()) {
        return TTrackerResult::Done;
    }

    const std::string& filed = connection.LastResponse().body;
    const std::string bugNumber = InputValue(filed, "id").value_or(BugNumberAfter(filed, BugLink));
    connection.SetRequest("attachment.cgi", THTTPMethod::PostMultipart);
    connection.AddField("bugid", bugNumber);
    connection.AddField("action", "insert");
    connection.AddField("description", "FILE");
    connection.AddField("contenttypemethod", "list");
    connection.AddField("contenttypeselection", "application/octet-stream");
    connection.AddField("contenttypeentry", "");
    for (const char* name : {"flag_type-1", "flag_type-2", "flag_type-3", "flag_type-4"}) {
        connection.AddField(name, "X");
    }
    connection.AddField("comment", "");
    connection.AddFile("data", report.packedFile);
    return Exchange(connection, response, "attachment.cgi", "attachment.cgi", true)
               ? TTrackerResult::Done
               : TTrackerResult::InsertFailed;
}

TTrackerResult THTTPBugzillaSendReport::UpdateBug(THTTPConnectionBase& connection,
                                                  THTTPResponse& response) {
    connection.Status(THTTPStatus::Modifying, 0);
    const std::string bugNumber = BugNumberAfter(connection.LastResponse().body, BugLink);
    connection.SetRequest("show_bug.cgi", THTTPMethod::Get);
    connection.AddField("id", bugNumber);
    if (!Exchange(connection, response, "show_bug.cgi", "name=\"form_name\"")) {
        return TTrackerResult::ModifyFailed;
    }

    connection.SetRequest("process_bug.cgi", THTTPMethod::PostForm);
    if (const auto stop = RaiseCounter(connection, "short_desc")) {
        return *stop;
    }
    if (FindIgnoringCase(connection.LastResponse().body, "value=\"reopen\"") != std::string::npos) {
        return TTrackerResult::BugClosed;
    }
    for (const char* name : {"delta_ts", "longdesclength", "id", "alias"}) {
        CopyInput(connection, name);
    }
    for (const char* name : {"product", "component", "rep_platform", "op_sys", "version",
                             "priority", "bug_severity", "target_milestone"}) {
        CopySelected(connection, name);
    }
    for (const char* name :
         {"newcc", "cc", "qa_contact", "bug_file_loc", "status_whiteboard", "keywords"}) {
        CopyInput(connection, name);
    }
    connection.AddField("flag_type-6", "X");
    for (const char* name : {"requestee_type-6", "dependson", "blocked"}) {
        CopyInput(connection, name);
    }
    CopyTextarea(connection, "comment");
    connection.AddField("knob", "none");
    CopySelected(connection, "resolution");
    for (const char* name : {"dup_id", "assigned_to", "form_name"}) {
        CopyInput(connection, name);
    }
    return Exchange(connection, response, "process_bug.cgi", BugLink, true)
               ? TTrackerResult::Done
               : TTrackerResult::ModifyFailed;
}

} // namespace faulttrap
