#include "crashreport/trackers/mantis_send_report.h"

#include "crashreport/trackers/form_fields.h"
#include "crashreport/trackers/html_form.h"
#include "crashreport/trackers/tracker_texts.h"

#include "crashreport/options/text_case.h"

namespace faulttrap {

namespace {

constexpr std::string_view BugLink = "bug_update_page.php?bug_id=";

} // namespace

TTrackerResult THTTPMantisSendReport::Converse(THTTPConnectionBase& connection,
                                               const TTrackerReport& report,
                                               THTTPResponse& response) {
    connection.Status(THTTPStatus::Login, 0);
    connection.SetRequest("login.php", THTTPMethod::PostForm);
    connection.AddField("return", "login_select_proj_page.php");
    connection.AddField("username", report.user);
    connection.AddField("password", report.password);
    if (!Exchange(connection, response, "login_select_proj_page.php", "name=\"project_id\"")) {
        return TTrackerResult::LoginRefused;
    }

    connection.Status(THTTPStatus::SelectProject, 0);
    connection.SetRequest("set_project.php", THTTPMethod::PostForm);
    SelectByText(connection, "project_id", report.project);
    if (!connection.ExecuteRequest(response, false) ||
        (!connection.Check("my_view_page.php", ">" + report.project + "</option>") &&
         !connection.Check("my_view_page.php", " " + report.project + "</option>"))) {
        return TTrackerResult::SelectionFailed;
    }

    connection.Status(THTTPStatus::Searching, 0);
    connection.SetRequest("view_all_set.php?f=3", THTTPMethod::PostForm);
    connection.AddField("type", "1");
    connection.AddField("page_number", "1");
    connection.AddField("view_type", "simple");
    AddSearch(connection, "search", report.bugId, report.className);
    if (!connection.ExecuteRequest(response, false) ||
        (!connection.Check("view_all_bug_page.php", "name=\"reset_query_button\"") &&
         !connection.Check("view_all_bug_page.php", "[Reset Filter]"))) {
        return TTrackerResult::SearchFailed;
    }

    if (FindIgnoringCase(connection.LastResponse().body, BugLink) == std::string::npos) {
        return FileNewBug(connection, report, response);
    }
    return UpdateBug(connection, response);
}

TTrackerResult THTTPMantisSendReport::FileNewBug(THTTPConnectionBase& connection,
                                                 const TTrackerReport& report,
                                                 THTTPResponse& response) {
    connection.SetRequest("bug_report_advanced_page.php", THTTPMethod::Get);
    if (!Exchange(connection, response, "bug_report_advanced_page.php",
                  "name=\"file\" type=\"file\"")) {
        return TTrackerResult::InsertFailed;
    }

    connection.SetRequest("bug_report.php", THTTPMethod::PostMultipart);
    CopyInput(connection, "m_id");
    CopyInput(connection, "project_id");
    SelectByText(connection, "handler_id", report.assignedTo);
    SelectByText(connection, "category", report.category);
    connection.AddField("reproducibility", "10");
    CopySelected(connection, "severity");
    CopySelected(connection, "priority");
    for (const char* name : {"platform", "os", "os_build", "build"}) {
        CopyInput(connection, name);
    }
    AddSummary(connection, "summary", report.version, report.bugId, report.className);
    connection.AddField("description", TrackerDescription(report.message));
    connection.AddField("steps_to_reproduce", "");
    connection.AddField("additional_info", "");
    connection.AddField("view_state", "10");
    CopyInput(connection, "report_stay");
    if (!report.packedFile.empty()) {
        connection.AddFile("file", report.packedFile);
    }
    return Exchange(connection, response, "bug_report.php", "href=\"view.php?id=", true)
               ? TTrackerResult::Done
               : TTrackerResult::InsertFailed;
}

TTrackerResult THTTPMantisSendReport::UpdateBug(THTTPConnectionBase& connection,
                                                THTTPResponse& response) {
    connection.Status(THTTPStatus::Modifying, 0);
    const std::string bugNumber = BugNumberAfter(connection.LastResponse().body, BugLink);
    connection.SetRequest("bug_update_page.php", THTTPMethod::Get);
    connection.AddField("bug_id", bugNumber);
    if (!Exchange(connection, response, "bug_update_page.php", "name=\"severity\"")) {
        return TTrackerResult::ModifyFailed;
    }

    connection.SetRequest("bug_update.php", THTTPMethod::PostForm);
    if (const auto stop = RaiseCounter(connection, "summary")) {
        return *stop;
    }
    const std::string status = SelectedValue(connection.LastResponse().body, "status").value_or("");
    if (status == "80" || status == "90") {
        return TTrackerResult::BugClosed;
    }
    connection.AddField("bug_id", bugNumber);
    CopyInput(connection, "update_mode");
    for (const char* name : {"category", "severity", "reproducibility", "reporter_id", "view_state",
                             "handler_id", "priority", "resolution"}) {
        CopySelected(connection, name);
    }
    for (const char* name : {"description", "additional_information", "bugnote_text"}) {
        CopyTextarea(connection, name);
    }
    return Exchange(connection, response, "bug_update.php", "href=\"view.php?id=", true)
               ? TTrackerResult::Done
               : TTrackerResult::ModifyFailed;
}

} // namespace faulttrap
