#pragma once

// The one description of the options stream layout, walked by both the writer and the reader so
// that the two cannot drift apart. Internal to the options library.

#include "crashreport/options/options_stream.h"

#include <cstdint>

namespace faulttrap::stream_fields {

// The largest value of each enumerated option; a stream holding a larger one is damaged.
constexpr std::uint8_t MaxValue(TFaultAction) {
    return 2;
}
constexpr std::uint8_t MaxValue(TFaultDialogType) {
    return 3;
}
constexpr std::uint8_t MaxValue(TFaultDialogPage) {
    return 5;
}
constexpr std::uint8_t MaxValue(TFaultEMailSendMode) {
    return 3;
}
constexpr std::uint8_t MaxValue(TFaultWebSendMode) {
    return 6;
}
constexpr std::uint8_t MaxValue(TFaultExceptionKind) {
    return 2;
}
constexpr std::uint8_t MaxValue(TFaultFilterDialog) {
    return 4;
}
constexpr std::uint8_t MaxValue(TFaultHandlerChoice) {
    return 2;
}

// `io(field, name)` writes or reads one field; `Filter` is TFaultExceptionFilter, const or not.
template <class Io, class Filter> void VisitFilter(Io& io, Filter& filter) {
    io(filter.Active, "filter Active");
    io(filter.ClassName, "filter ClassName");
    io(filter.CustomMessage, "filter CustomMessage");
    io(filter.ExceptionKind, "filter ExceptionKind");
    io(filter.DialogChoice, "filter DialogChoice");
    io(filter.HandlerChoice, "filter HandlerChoice");
    io(filter.ActionChoice, "filter ActionChoice");
}

// `Content` is TFaultOptionsContent, const or not. `io.Filters` and `io.Texts` handle the list
// and the 158 texts.
template <class Io, class Content> void VisitOptions(Io& io, Content& content) {
    auto& v = content.Values;
    io(v.Reserved1, "reserved byte 1");
    io(v.UseFilters, "UseFilters");
    io(v.ReportOptions, "ReportOptions");
    io(v.AppendReportToMessage, "AppendReportToMessage");
    io(v.LogToFile, "LogToFile");
    io(v.InitialPage, "InitialPage");
    io(v.FreezeWatch, "FreezeWatch");
    io(v.FreezeTimeout, "FreezeTimeout");
    io(v.SMTPFrom, "SMTPFrom");
    io(v.SMTPHost, "SMTPHost");
    io(v.SMTPPort, "SMTPPort");
    io(v.SMTPUserID, "SMTPUserID");
    io(v.SMTPPassword, "SMTPPassword");
    io(v.TerminateAction, "TerminateAction");
    io(v.MaxLogEntries, "MaxLogEntries");
    io(v.ErrorsBeforeTerminate, "ErrorsBeforeTerminate");
    io(v.EMailAddresses, "EMailAddresses");
    io(v.EMailSubject, "EMailSubject");
    io(v.EMailSendMode, "EMailSendMode");
    io(v.ReportFields, "ReportFields");
    io(v.LogFolder, "LogFolder");
    io(v.WebSendMode, "WebSendMode");
    io(v.WebURL, "WebURL");
    io(v.WebUserID, "WebUserID");
    io(v.WebPassword, "WebPassword");
    io(v.WebPort, "WebPort");
    io(v.AttachedFiles, "AttachedFiles");
    io(v.SendOptions, "SendOptions");
    io(v.DialogOptions, "DialogOptions");
    io(v.AutoCloseSeconds, "AutoCloseSeconds");
    io(v.SupportURL, "SupportURL");
    io(v.HTMLTemplate, "HTMLTemplate");
    io(v.StackOptions, "StackOptions");
    io(v.BehaviourOptions, "BehaviourOptions");
    io(v.Reserved35, "reserved byte 35");
    io(v.ErrorFloodAction, "ErrorFloodAction");
    io(v.ErrorFloodCount, "ErrorFloodCount");
    io(v.ErrorFloodMinutes, "ErrorFloodMinutes");
    io(v.Reserved39, "reserved byte 39");
    io(v.ExceptionDialogType, "ExceptionDialogType");
    io(v.ProxyHost, "ProxyHost");
    io(v.ProxyUserID, "ProxyUserID");
    io(v.ProxyPassword, "ProxyPassword");
    io(v.ProxyPort, "ProxyPort");
    io(v.TrackerUserID, "TrackerUserID");
    io(v.TrackerPassword, "TrackerPassword");
    io(v.TrackerAssignedTo, "TrackerAssignedTo");
    io(v.TrackerProject, "TrackerProject");
    io(v.TrackerCategory, "TrackerCategory");
    io(v.TrackerExtraID, "TrackerExtraID");
    io(v.ZipPassword, "ZipPassword");
    io.Filters(content.Filters);
    io(v.EMailMessage, "EMailMessage");
    io.Texts(content.Texts);
    io(v.LanguageName, "LanguageName");
}

} // namespace faulttrap::stream_fields
