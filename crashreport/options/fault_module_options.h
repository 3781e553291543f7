#pragma once

#include "crashreport/options/customized_texts.h"
#include "crashreport/options/exception_filters.h"
#include "crashreport/options/option_values.h"
#include "crashreport/options/options_stream.h"
#include "crashreport/text/faulttrap_error.h"

#include <cstddef>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace faulttrap {

// Assigning from a null options object.
class ConversionError : public Error {
public:
    explicit ConversionError(const std::string& message) : Error(message) {}
};

// Everything that steers the exception reporting of one module: the options, the 158 customised
// texts and the exception filters. Every setter tells of the change (see CheckNotification);
// Assign, SetDefaults and the loads change everything and tell once.
class TFaultModuleOptions {
public:
    // `notifyChanges` enables the change notification of this object.
    TFaultModuleOptions(std::string moduleFileName, bool notifyChanges);
    TFaultModuleOptions(const TFaultModuleOptions&) = delete;
    TFaultModuleOptions& operator=(const TFaultModuleOptions&) = delete;
    virtual ~TFaultModuleOptions() = default;

    const std::string& ModuleFileName() const { return moduleFileName_; }

    // Not stored: switches the processing of exceptions on or off at run time.
    bool HandlingActive() const { return handlingActive_; }
    virtual void SetHandlingActive(bool value);
    bool FreezeWatch() const { return values_.FreezeWatch; }
    virtual void SetFreezeWatch(bool value);

    // 0 is stored as 1: a log keeps at least one report.
    std::int32_t MaxLogEntries() const { return values_.MaxLogEntries; }
    void SetMaxLogEntries(std::int32_t value);

    bool UseFilters() const { return values_.UseFilters; }
    void SetUseFilters(bool value) { Store(values_.UseFilters, value); }
    std::uint8_t ReportOptions() const { return values_.ReportOptions; }
    void SetReportOptions(std::uint8_t value) { Store(values_.ReportOptions, value); }
    bool AppendReportToMessage() const { return values_.AppendReportToMessage; }
    void SetAppendReportToMessage(bool value) { Store(values_.AppendReportToMessage, value); }
    bool LogToFile() const { return values_.LogToFile; }
    void SetLogToFile(bool value) { Store(values_.LogToFile, value); }
    TFaultDialogPage InitialPage() const { return values_.InitialPage; }
    void SetInitialPage(TFaultDialogPage value) { Store(values_.InitialPage, value); }
    std::int32_t FreezeTimeout() const { return values_.FreezeTimeout; }
    void SetFreezeTimeout(std::int32_t value) { Store(values_.FreezeTimeout, value); }
    const std::string& SMTPFrom() const { return values_.SMTPFrom; }
    void SetSMTPFrom(std::string value) { Store(values_.SMTPFrom, std::move(value)); }
    const std::string& SMTPHost() const { return values_.SMTPHost; }
    void SetSMTPHost(std::string value) { Store(values_.SMTPHost, std::move(value)); }
    std::uint16_t SMTPPort() const { return values_.SMTPPort; }
    void SetSMTPPort(std::uint16_t value) { Store(values_.SMTPPort, value); }
    const std::string& SMTPUserID() const { return values_.SMTPUserID; }
    void SetSMTPUserID(std::string value) { Store(values_.SMTPUserID, std::move(value)); }
    const std::string& SMTPPassword() const { return values_.SMTPPassword; }
    void SetSMTPPassword(std::string value) { Store(values_.SMTPPassword, std::move(value)); }
    TFaultAction TerminateAction() const { return values_.TerminateAction; }
    void SetTerminateAction(TFaultAction value) { Store(values_.TerminateAction, value); }
    std::int32_t ErrorsBeforeTerminate() const { return values_.ErrorsBeforeTerminate; }
    void SetErrorsBeforeTerminate(std::int32_t value) {
        Store(values_.ErrorsBeforeTerminate, value);
    }
    const std::string& EMailAddresses() const { return values_.EMailAddresses; }
    void SetEMailAddresses(std::string value) { Store(values_.EMailAddresses, std::move(value)); }
    const std::string& EMailSubject() const { return values_.EMailSubject; }
    void SetEMailSubject(std::string value) { Store(values_.EMailSubject, std::move(value)); }
    TFaultEMailSendMode EMailSendMode() const { return values_.EMailSendMode; }
    void SetEMailSendMode(TFaultEMailSendMode value) { Store(values_.EMailSendMode, value); }
    const TFaultReportFields& ReportFields() const { return values_.ReportFields; }
    void SetReportFields(TFaultReportFields value) {
        Store(values_.ReportFields, std::move(value));
    }
    const std::string& LogFolder() const { return values_.LogFolder; }
    void SetLogFolder(std::string value) { Store(values_.LogFolder, std::move(value)); }
    TFaultWebSendMode WebSendMode() const { return values_.WebSendMode; }
    void SetWebSendMode(TFaultWebSendMode value) { Store(values_.WebSendMode, value); }
    const std::string& WebURL() const { return values_.WebURL; }
    void SetWebURL(std::string value) { Store(values_.WebURL, std::move(value)); }
    const std::string& WebUserID() const { return values_.WebUserID; }
    void SetWebUserID(std::string value) { Store(values_.WebUserID, std::move(value)); }
    const std::string& WebPassword() const { return values_.WebPassword; }
    void SetWebPassword(std::string value) { Store(values_.WebPassword, std::move(value)); }
    std::int32_t WebPort() const { return values_.WebPort; }
    void SetWebPort(std::int32_t value) { Store(values_.WebPort, value); }
    const std::string& AttachedFiles() const { return values_.AttachedFiles; }
    void SetAttachedFiles(std::string value) { Store(values_.AttachedFiles, std::move(value)); }
    std::uint16_t SendOptions() const { return values_.SendOptions; }
    void SetSendOptions(std::uint16_t value) { Store(values_.SendOptions, value); }
    std::uint16_t DialogOptions() const { return values_.DialogOptions; }
    void SetDialogOptions(std::uint16_t value) { Store(values_.DialogOptions, value); }
    std::int32_t AutoCloseSeconds() const { return values_.AutoCloseSeconds; }
    void SetAutoCloseSeconds(std::int32_t value) { Store(values_.AutoCloseSeconds, value); }
    const std::string& SupportURL() const { return values_.SupportURL; }
    void SetSupportURL(std::string value) { Store(values_.SupportURL, std::move(value)); }
    const std::string& HTMLTemplate() const { return values_.HTMLTemplate; }
    void SetHTMLTemplate(std::string value) { Store(values_.HTMLTemplate, std::move(value)); }
    std::uint8_t StackOptions() const { return values_.StackOptions; }
    void SetStackOptions(std::uint8_t value) { Store(values_.StackOptions, value); }
    std::uint16_t BehaviourOptions() const { return values_.BehaviourOptions; }
    void SetBehaviourOptions(std::uint16_t value) { Store(values_.BehaviourOptions, value); }
    TFaultAction ErrorFloodAction() const { return values_.ErrorFloodAction; }
    void SetErrorFloodAction(TFaultAction value) { Store(values_.ErrorFloodAction, value); }
    std::int32_t ErrorFloodCount() const { return values_.ErrorFloodCount; }
    void SetErrorFloodCount(std::int32_t value) { Store(values_.ErrorFloodCount, value); }
    std::int32_t ErrorFloodMinutes() const { return values_.ErrorFloodMinutes; }
    void SetErrorFloodMinutes(std::int32_t value) { Store(values_.ErrorFloodMinutes, value); }
    TFaultDialogType ExceptionDialogType() const { return values_.ExceptionDialogType; }
    void SetExceptionDialogType(TFaultDialogType value) {
        Store(values_.ExceptionDialogType, value);
    }
    const std::string& ProxyHost() const { return values_.ProxyHost; }
    void SetProxyHost(std::string value) { Store(values_.ProxyHost, std::move(value)); }
    const std::string& ProxyUserID() const { return values_.ProxyUserID; }
    void SetProxyUserID(std::string value) { Store(values_.ProxyUserID, std::move(value)); }
    const std::string& ProxyPassword() const { return values_.ProxyPassword; }
    void SetProxyPassword(std::string value) { Store(values_.ProxyPassword, std::move(value)); }
    std::uint16_t ProxyPort() const { return values_.ProxyPort; }
    void SetProxyPort(std::uint16_t value) { Store(values_.ProxyPort, value); }
    const std::string& TrackerUserID() const { return values_.TrackerUserID; }
    void SetTrackerUserID(std::string value) { Store(values_.TrackerUserID, std::move(value)); }
    const std::string& TrackerPassword() const { return values_.TrackerPassword; }
    void SetTrackerPassword(std::string value) { Store(values_.TrackerPassword, std::move(value)); }
    const std::string& TrackerAssignedTo() const { return values_.TrackerAssignedTo; }
    void SetTrackerAssignedTo(std::string value) {
        Store(values_.TrackerAssignedTo, std::move(value));
    }
    const std::string& TrackerProject() const { return values_.TrackerProject; }
    void SetTrackerProject(std::string value) { Store(values_.TrackerProject, std::move(value)); }
    const std::string& TrackerCategory() const { return values_.TrackerCategory; }
    void SetTrackerCategory(std::string value) { Store(values_.TrackerCategory, std::move(value)); }
    const std::string& TrackerExtraID() const { return values_.TrackerExtraID; }
    void SetTrackerExtraID(std::string value) { Store(values_.TrackerExtraID, std::move(value)); }
    const std::string& ZipPassword() const { return values_.ZipPassword; }
    void SetZipPassword(std::string value) { Store(values_.ZipPassword, std::move(value)); }
    const std::string& EMailMessage() const { return values_.EMailMessage; }
    void SetEMailMessage(std::string value) { Store(values_.EMailMessage, std::move(value)); }
    const std::string& LanguageName() const { return values_.LanguageName; }
    void SetLanguageName(std::string value) { Store(values_.LanguageName, std::move(value)); }

    // Customised text `index` (0 to 157), expanded for `%NAME%` environment variables.
    std::string CustomizedText(TextId id) const { return texts_.Text(id); }
    void SetCustomizedText(TextId id, std::string text);
    const TCustomizedTexts& CustomizedTexts() const { return texts_; }

    TFaultExceptionsFilters& ExceptionsFilters() { return filters_; }
    const TFaultExceptionsFilters& ExceptionsFilters() const { return filters_; }

    // Every stored option (the reserved bytes included), the filters and the texts.
    const TFaultOptionValues& Values() const { return values_; }
    TFaultOptionsContent Content() const;

    // The update bracket: while it is open the change notification is held back. Closing it does
    // not notify by itself; call CheckNotification when the changes are complete.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    // Raises the change notification when no update bracket is open, the object was created
    // with the notification enabled and ModuleFileName names the module that runs FaultTrap.
    void CheckNotification();

    // Copies every stored option, the texts and the filters; not ModuleFileName nor
    // HandlingActive. Throws ConversionError for a null source.
    virtual void Assign(const TFaultModuleOptions* source);
    // Every option, text and filter to its default, and HandlingActive on.
    virtual void SetDefaults();
    // Throws std::ios_base::failure when the stream refuses the bytes.
    virtual void SaveToStream(std::ostream& stream) const;
    // Creates or replaces the file; an existing file is replaced only by a complete new one.
    virtual void SaveToFile(const std::string& fileName) const;
    // Reads the options that a stream of data version `dataVersion` holds at its position. A
    // damaged stream raises OptionsStreamError and leaves the options as they were.
    virtual void LoadFromStream(std::istream& stream, int dataVersion);
    // Reads a file written by SaveToFile; the file must hold nothing else.
    virtual void LoadFromFile(const std::string& fileName);
    // Reads the options that `bytes` hold, and nothing else, as LoadFromStream.
    void LoadFromBytes(std::string_view bytes, int dataVersion);

protected:
    // Does nothing here; the options of loaded modules publish themselves.
    virtual void ChangeNotification() {}
    bool RunsFaultTrap() const { return runsFaultTrap_; }

private:
    template <class T> void Store(T& field, T value) {
        field = std::move(value);
        CheckNotification();
    }
    // Replaces everything stored inside one update bracket, then checks once.
    void Replace(const TFaultOptionsContent& content);
    // Loads with `decode`; a failure still ends with one notification check.
    template <class Decode> void Load(Decode decode);

    std::string moduleFileName_;
    bool notifyChanges_;
    bool runsFaultTrap_;
    bool handlingActive_ = true;
    int updateCount_ = 0;
    TFaultOptionValues values_;
    TCustomizedTexts texts_;
    TFaultExceptionsFilters filters_;
};

// Whether a report can be sent at all: an e-mail or a web method is configured.
inline bool SendMethodConfigured(const TFaultModuleOptions& options) {
    return options.EMailSendMode() != TFaultEMailSendMode::None ||
           options.WebSendMode() != TFaultWebSendMode::None;
}

} // namespace faulttrap
