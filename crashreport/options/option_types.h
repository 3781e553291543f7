#pragma once

#include <cstdint>

namespace faulttrap {

// What happens to the program after a report: also the value set of `ErrorFloodAction` and of a
// filter's `ActionChoice`.
enum class TFaultAction : std::uint8_t { None = 0, Terminate = 1, Restart = 2 };

// What failed, in the warnings and the `ExceptionErrorNotify` event.
enum class TFaultTrapErrorCode {
    eeNone,
    eeShowError,
    eeLogError,
    eeEmailMAPIError,
    eeEmailShellError,
    eeEmailSMTPError,
    eeWebHTTPError,
    eeWebHTTPSError,
    eeWebFTPError,
    eeWebTrakerError,
};

// `ExceptionDialogType`.
enum class TFaultDialogType : std::uint8_t {
    None = 0,
    MessageBox = 1,
    Classic = 2,
    Detailed = 3,
};

// `InitialPage`: the first page of the detailed dialog.
enum class TFaultDialogPage : std::uint8_t {
    General = 0,
    CallStack = 1,
    Modules = 2,
    Processes = 3,
    Assembler = 4,
    CPU = 5,
};

// `EMailSendMode`.
enum class TFaultEMailSendMode : std::uint8_t {
    None = 0,
    MailClient = 1,
    SMTPClient = 2,
    SMTPServer = 3,
};

// `WebSendMode`.
enum class TFaultWebSendMode : std::uint8_t {
    None = 0,
    HTTP = 1,
    HTTPS = 2,
    FTP = 3,
    Bugzilla = 4,
    FogBugz = 5,
    Mantis = 6,
};

// A filter's `ExceptionKind`: which exceptions it applies to.
enum class TFaultExceptionKind : std::uint8_t { All = 0, HandledOnly = 1, UnhandledOnly = 2 };

// A filter's `DialogChoice`.
enum class TFaultFilterDialog : std::uint8_t {
    None = 0,
    OptionsDialogType = 1,
    MessageBox = 2,
    Classic = 3,
    Detailed = 4,
};

// A filter's `HandlerChoice`.
enum class TFaultHandlerChoice : std::uint8_t { Ignore = 0, StandardHandler = 1, FaultTrap = 2 };

// Bits of `ReportOptions`.
namespace report_options {
inline constexpr std::uint8_t NoDuplicateErrors = 0x01;
inline constexpr std::uint8_t AskReproduceSteps = 0x02;
inline constexpr std::uint8_t NewLogOnVersionChange = 0x04;
inline constexpr std::uint8_t ComputerNameInLogName = 0x08;
inline constexpr std::uint8_t CollectModulesAndProcesses = 0x10;
inline constexpr std::uint8_t CollectAssemblerAndCPU = 0x20;
} // namespace report_options

// Bits of `SendOptions`.
namespace send_options {
inline constexpr std::uint16_t ShowSendProgress = 0x0001;
inline constexpr std::uint16_t ShowSendResult = 0x0002;
inline constexpr std::uint16_t SendEntireLog = 0x0004;
inline constexpr std::uint16_t AttachXMLReport = 0x0008;
inline constexpr std::uint16_t SendScreenshot = 0x0010;
inline constexpr std::uint16_t ScreenshotActiveWindow = 0x0020;
inline constexpr std::uint16_t SendLastHTMLPage = 0x0040;
inline constexpr std::uint16_t SendInThread = 0x0080;
inline constexpr std::uint16_t AddDateToFileName = 0x0100;
inline constexpr std::uint16_t AddComputerNameToFileName = 0x0200;
} // namespace send_options

// Bits of `DialogOptions`.
namespace dialog_options {
inline constexpr std::uint16_t SendCheckedByDefault = 0x0001;
inline constexpr std::uint16_t ScreenshotCheckedByDefault = 0x0002;
inline constexpr std::uint16_t OfferCopyToClipboard = 0x0004;
inline constexpr std::uint16_t OfferDetails = 0x0008;
inline constexpr std::uint16_t OpenDetailed = 0x0010;
inline constexpr std::uint16_t StayOnTop = 0x0020;
inline constexpr std::uint16_t OwnLook = 0x0040;
inline constexpr std::uint16_t OfferSending = 0x0080;
inline constexpr std::uint16_t OfferScreenshot = 0x0100;
inline constexpr std::uint16_t OfferCustomButton = 0x0200;
} // namespace dialog_options

// Bits of `StackOptions`.
namespace stack_options {
inline constexpr std::uint8_t ListProcedureOnlyEntries = 0x01;
inline constexpr std::uint8_t ListEntriesWithoutLine = 0x02;
inline constexpr std::uint8_t WalkRuntimeThreads = 0x04;
inline constexpr std::uint8_t WalkSystemThreads = 0x08;
} // namespace stack_options

// Bits of `BehaviourOptions`.
namespace behaviour_options {
inline constexpr std::uint16_t PauseRuntimeThreads = 0x0001;
inline constexpr std::uint16_t KeepMainThreadRunning = 0x0002;
inline constexpr std::uint16_t PauseSystemThreads = 0x0004;
inline constexpr std::uint16_t UseMainModuleOptions = 0x0008;
inline constexpr std::uint16_t CopyReportOnSendFailure = 0x0010;
inline constexpr std::uint16_t SaveReportOnSendFailure = 0x0020;
inline constexpr std::uint16_t SafeCallAndUnwinding = 0x0040; // see the dispatcher
inline constexpr std::uint16_t CallStandardHandler = 0x0080;
inline constexpr std::uint16_t ReportHandledExceptions = 0x0100;
} // namespace behaviour_options

} // namespace faulttrap
