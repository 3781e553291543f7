#pragma once

#include "crashreport/options/option_types.h"

#include <bitset>
#include <cstdint>
#include <string>

namespace faulttrap {

// The page shown to a web client when the program runs as a web-server extension.
extern const char* const kDefaultHTMLTemplate;

// The sender of the report e-mails until the program configures its own.
inline constexpr const char* kDefaultSMTPFrom = "faulttrap@example.com";

// `ReportFields`: one bit per item of the general report sections.
using TFaultReportFields = std::bitset<48>;

// Every option that the options stream stores, apart from the filters and the customised
// texts, with its default. Texts are single-byte (Windows-1252) text.
struct TFaultOptionValues {
    std::uint8_t Reserved1 = 0;
    bool UseFilters = true;
    std::uint8_t ReportOptions =
        report_options::CollectModulesAndProcesses | report_options::CollectAssemblerAndCPU;
    bool AppendReportToMessage = false;
    bool LogToFile = true;
    TFaultDialogPage InitialPage = TFaultDialogPage::General;
    bool FreezeWatch = false;
    std::int32_t FreezeTimeout = 60;
    std::string SMTPFrom = kDefaultSMTPFrom;
    std::string SMTPHost;
    std::uint16_t SMTPPort = 25;
    std::string SMTPUserID;
    std::string SMTPPassword;
    TFaultAction TerminateAction = TFaultAction::Restart;
    std::int32_t MaxLogEntries = 32;
    std::int32_t ErrorsBeforeTerminate = 3;
    std::string EMailAddresses;
    std::string EMailSubject;
    TFaultEMailSendMode EMailSendMode = TFaultEMailSendMode::None;
    TFaultReportFields ReportFields = TFaultReportFields().set();
    std::string LogFolder;
    TFaultWebSendMode WebSendMode = TFaultWebSendMode::None;
    std::string WebURL;
    std::string WebUserID;
    std::string WebPassword;
    std::int32_t WebPort = 0;
    std::string AttachedFiles;
    std::uint16_t SendOptions = send_options::ShowSendProgress | send_options::SendScreenshot |
                                send_options::SendLastHTMLPage;
    std::uint16_t DialogOptions =
        dialog_options::SendCheckedByDefault | dialog_options::ScreenshotCheckedByDefault |
        dialog_options::OfferCopyToClipboard | dialog_options::OfferDetails |
        dialog_options::OfferSending | dialog_options::OfferScreenshot;
    std::int32_t AutoCloseSeconds = 0;
    std::string SupportURL;
    std::string HTMLTemplate = kDefaultHTMLTemplate;
    std::uint8_t StackOptions =
        stack_options::ListProcedureOnlyEntries | stack_options::ListEntriesWithoutLine |
        stack_options::WalkRuntimeThreads | stack_options::WalkSystemThreads;
    std::uint16_t BehaviourOptions = behaviour_options::UseMainModuleOptions |
                                     behaviour_options::CopyReportOnSendFailure |
                                     behaviour_options::SafeCallAndUnwinding;
    std::uint8_t Reserved35 = 30;
    TFaultAction ErrorFloodAction = TFaultAction::Restart;
    std::int32_t ErrorFloodCount = 10;
    std::int32_t ErrorFloodMinutes = 1;
    std::uint8_t Reserved39 = 1;
    TFaultDialogType ExceptionDialogType = TFaultDialogType::Classic;
    std::string ProxyHost;
    std::string ProxyUserID;
    std::string ProxyPassword;
    std::uint16_t ProxyPort = 8080;
    std::string TrackerUserID;
    std::string TrackerPassword;
    std::string TrackerAssignedTo;
    std::string TrackerProject;
    std::string TrackerCategory;
    std::string TrackerExtraID;
    std::string ZipPassword;
    std::string EMailMessage;
    std::string LanguageName = "English";

    bool operator==(const TFaultOptionValues&) const = default;
};

} // namespace faulttrap
