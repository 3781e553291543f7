#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace faulttrap {

// Every customised text: its name, its number (the place it is stored at in the options stream
// and the number an options file may give instead of the name) and its default. This list is the
// only place a text's number is written; everything else names the text.
#define FAULTTRAP_CUSTOMIZED_TEXTS(TEXT)                                                           \
    /* Message captions. */                                                                        \
    TEXT(InformationCaption, 0, "Information.")                                                    \
    TEXT(QuestionCaption, 1, "Question.")                                                          \
    TEXT(ErrorCaption, 2, "Error.")                                                                \
    /* Detailed dialog. */                                                                         \
    TEXT(DialogCaption, 3, "Error occurred")                                                       \
    TEXT(DetailsHeader, 4,                                                                         \
         "An error has occurred during program execution.\r\n"                                     \
         "Please read the following information for further details.")                             \
    TEXT(GeneralPage, 5, "General")                                                                \
    TEXT(GeneralInformation, 6, "General Information")                                             \
    TEXT(CallStackPage, 7, "Call Stack")                                                           \
    TEXT(CallStackInformation, 8, "Call Stack Information")                                        \
    TEXT(ModulesPage, 9, "Modules")                                                                \
    TEXT(ModulesInformation, 10, "Modules Information")                                            \
    TEXT(ProcessesPage, 11, "Processes")                                                           \
    TEXT(ProcessesInformation, 12, "Processes Information")                                        \
    TEXT(AssemblerPage, 13, "Assembler")                                                           \
    TEXT(AssemblerInformation, 14, "Assembler Information")                                        \
    TEXT(CpuPage, 15, "CPU")                                                                       \
    TEXT(CpuInformation, 16, "CPU Information")                                                    \
    TEXT(OkButton, 17, "&OK")                                                                      \
    TEXT(TerminateButton, 18, "&Terminate")                                                        \
    TEXT(RestartButton, 19, "&Restart")                                                            \
    TEXT(DetailsButton, 20, "&Details")                                                            \
    TEXT(HelpButton, 21, "&Help")                                                                  \
    TEXT(SendCheck, 22, "&Send this error via Internet")                                           \
    TEXT(ScreenshotCheck, 23, "&Attach a Screenshot image")                                        \
    TEXT(CopyToClipboardCheck, 24, "&Copy to Clipboard")                                           \
    TEXT(SupportPageLink, 25, "Go to the Support Page")                                            \
    /* Classic dialog. */                                                                          \
    TEXT(ClassicHeader, 26,                                                                        \
         "The application has encountered a problem. We are sorry for the inconvenience.")         \
    TEXT(RestartChoice, 27, "Restart application.")                                                \
    TEXT(TerminateChoice, 28, "Terminate application.")                                            \
    TEXT(TellUsHeading, 29, "Please tell us about this problem.")                                  \
    TEXT(ReportCreatedNote, 30,                                                                    \
         "We have created an error report that you can send to us. We will treat this report as "  \
         "confidential and anonymous.")                                                            \
    TEXT(SeeReportLead, 31, "To see what data the error report contains,")                         \
    TEXT(SeeReportLink, 32, "click here.")                                                         \
    TEXT(DoingQuestion, 33, "What were you doing when the problem happended (optional)?")          \
    TEXT(EmailAddressLabel, 34, "Email address (optional):")                                       \
    TEXT(SendButton, 35, "&Send Error Report")                                                     \
    TEXT(DontSendButton, 36, "&Don't Send")                                                        \
    /* Report labels: the general sections' headings and items, in the order they are written. */  \
    TEXT(ApplicationSection, 37, "Application")                                                    \
    TEXT(StartDate, 38, "Start Date")                                                              \
    TEXT(ApplicationName, 39, "Name/Description")                                                  \
    TEXT(VersionNumber, 40, "Version Number")                                                      \
    TEXT(Parameters, 41, "Parameters")                                                             \
    TEXT(CompilationDate, 42, "Compilation Date")                                                  \
    TEXT(UpTime, 43, "Up Time")                                                                    \
    TEXT(ExceptionSection, 44, "Exception")                                                        \
    TEXT(ExceptionDate, 45, "Date")                                                                \
    TEXT(ExceptionAddress, 46, "Address")                                                          \
    TEXT(ModuleName, 47, "Module Name")                                                            \
    TEXT(ModuleVersion, 48, "Module Version")                                                      \
    TEXT(ExceptionType, 49, "Type")                                                                \
    TEXT(ExceptionMessage, 50, "Message")                                                          \
    TEXT(BugId, 51, "ID")                                                                          \
    TEXT(BugCount, 52, "Count")                                                                    \
    TEXT(BugStatus, 53, "Status")                                                                  \
    TEXT(BugNote, 54, "Note")                                                                      \
    TEXT(UserSection, 55, "User")                                                                  \
    TEXT(UserId, 56, "ID")                                                                         \
    TEXT(UserName, 57, "Name")                                                                     \
    TEXT(UserEmail, 58, "Email")                                                                   \
    TEXT(UserCompany, 59, "Company")                                                               \
    TEXT(UserPrivileges, 60, "Privileges")                                                         \
    TEXT(ActiveControlsSection, 61, "Active Controls")                                             \
    TEXT(FormClass, 62, "Form Class")                                                              \
    TEXT(FormText, 63, "Form Text")                                                                \
    TEXT(ControlClass, 64, "Control Class")                                                        \
    TEXT(ControlText, 65, "Control Text")                                                          \
    TEXT(ComputerSection, 66, "Computer")                                                          \
    TEXT(ComputerName, 67, "Name")                                                                 \
    TEXT(TotalMemory, 68, "Total Memory")                                                          \
    TEXT(FreeMemory, 69, "Free Memory")                                                            \
    TEXT(TotalDisk, 70, "Total Disk")                                                              \
    TEXT(FreeDisk, 71, "Free Disk")                                                                \
    TEXT(SystemUpTime, 72, "System Up Time")                                                       \
    TEXT(Processor, 73, "Processor")                                                               \
    TEXT(DisplayMode, 74, "Display Mode")                                                          \
    TEXT(DisplayDpi, 75, "Display DPI")                                                            \
    TEXT(VideoCard, 76, "Video Card")                                                              \
    TEXT(Printer, 77, "Printer")                                                                   \
    TEXT(OperatingSystemSection, 78, "Operating System")                                           \
    TEXT(SystemType, 79, "Type")                                                                   \
    TEXT(SystemBuild, 80, "Build #")                                                               \
    TEXT(SystemUpdate, 81, "Update")                                                               \
    TEXT(SystemLanguage, 82, "Language")                                                           \
    TEXT(SystemCharset, 83, "Charset")                                                             \
    TEXT(NetworkSection, 84, "Network")                                                            \
    TEXT(IpAddress, 85, "IP Address")                                                              \
    TEXT(Submask, 86, "Submask")                                                                   \
    TEXT(Gateway, 87, "Gateway")                                                                   \
    TEXT(Dns1, 88, "DNS 1")                                                                        \
    TEXT(Dns2, 89, "DNS 2")                                                                        \
    TEXT(Dhcp, 90, "DHCP")                                                                         \
    TEXT(CustomInformationSection, 91, "Custom Information")                                       \
    /* Call stack, threads and leaks. */                                                           \
    TEXT(StackAddress, 92, "Address")                                                              \
    TEXT(StackModule, 93, "Module")                                                                \
    TEXT(StackUnit, 94, "Unit")                                                                    \
    TEXT(StackClass, 95, "Class")                                                                  \
    TEXT(StackProcedure, 96, "Procedure/Method")                                                   \
    TEXT(StackLine, 97, "Line")                                                                    \
    TEXT(MainThread, 98, "Main")                                                                   \
    TEXT(ExceptionThread, 99, "Exception Thread")                                                  \
    TEXT(RunningThread, 100, "Running Thread")                                                     \
    TEXT(CallingThread, 101, "Calling Thread")                                                     \
    TEXT(ThreadId, 102, "ID")                                                                      \
    TEXT(ThreadPriority, 103, "Priority")                                                          \
    TEXT(ThreadClass, 104, "Class")                                                                \
    TEXT(MemoryLeak, 105, "Memory Leak")                                                           \
    TEXT(LeakData, 106, "Data")                                                                    \
    TEXT(LeakType, 107, "Type")                                                                    \
    TEXT(LeakTotalSize, 108, "Total size")                                                         \
    TEXT(LeakCount, 109, "Count")                                                                  \
    /* Send dialog. */                                                                             \
    TEXT(SendCaption, 110, "Send.")                                                                \
    TEXT(SendMessageLabel, 111, "Message")                                                         \
    TEXT(ResolvingDns, 112, "Resolving DNS...")                                                    \
    TEXT(LoggingIn, 113, "Login...")                                                               \
    TEXT(Connecting, 114, "Connecting with server...")                                             \
    TEXT(Connected, 115, "Connected with server.")                                                 \
    TEXT(SendingMessage, 116, "Sending message...")                                                \
    TEXT(MessageSent, 117, "Message sent.")                                                        \
    TEXT(SelectingProject, 118, "Select project...")                                               \
    TEXT(Searching, 119, "Searching...")                                                           \
    TEXT(Modifying, 120, "Modifying...")                                                           \
    TEXT(Disconnecting, 121, "Disconnecting...")                                                   \
    TEXT(Disconnected, 122, "Disconnected.")                                                       \
    /* Reproduce dialog. */                                                                        \
    TEXT(ReproduceCaption, 123, "Request")                                                         \
    TEXT(ReproducePrompt, 124, "Please describe the steps to reproduce the error:")                \
    TEXT(ReproduceOkButton, 125, "&OK")                                                            \
    /* Modules list, processes list, CPU. */                                                       \
    TEXT(ModuleHandle, 126, "Handle")                                                              \
    TEXT(ModuleFileName, 127, "Name")                                                              \
    TEXT(ModuleDescription, 128, "Description")                                                    \
    TEXT(ModuleListVersion, 129, "Version")                                                        \
    TEXT(ModuleSize, 130, "Size")                                                                  \
    TEXT(ModuleModified, 131, "Modified")                                                          \
    TEXT(ModulePath, 132, "Path")                                                                  \
    TEXT(ProcessId, 133, "ID")                                                                     \
    TEXT(ProcessName, 134, "Name")                                                                 \
    TEXT(ProcessDescription, 135, "Description")                                                   \
    TEXT(ProcessVersion, 136, "Version")                                                           \
    TEXT(ProcessMemory, 137, "Memory")                                                             \
    TEXT(ProcessPriority, 138, "Priority")                                                         \
    TEXT(ProcessThreads, 139, "Threads")                                                           \
    TEXT(ProcessPath, 140, "Path")                                                                 \
    TEXT(Registers, 141, "Registers")                                                              \
    TEXT(CpuStack, 142, "Stack")                                                                   \
    TEXT(MemoryDump, 143, "Memory Dump")                                                           \
    /* Send results. */                                                                            \
    TEXT(SendSucceeded, 144, "The message was sent successfully.")                                 \
    TEXT(SendFailed, 145, "Sorry, sending the message didn't work.")                               \
    TEXT(BugClosed, 146,                                                                           \
         "These BUG is just closed.\r\nContact the program support to obtain an update.")          \
    TEXT(TrackerUnknownError, 147, "Unknown error.")                                               \
    TEXT(TrackerLoginRefused, 148, "Invalid login request.")                                       \
    TEXT(TrackerSearchFailed, 149, "Invalid search request.")                                      \
    TEXT(TrackerSelectionFailed, 150, "Invalid selection request.")                                \
    TEXT(TrackerInsertFailed, 151, "Invalid insert request.")                                      \
    TEXT(TrackerModifyFailed, 152, "Invalid modify request.")                                      \
    /* Other messages. This text has never had a use or a default: it stays empty, and its place   \
       is kept so that every later text keeps its number. */                                       \
    TEXT(Unused, 153, "")                                                                          \
    TEXT(MultiFreeLeak, 154, "Multi Free memory leak.")                                            \
    TEXT(MemoryOverrunLeak, 155, "Memory Overrun leak.")                                           \
    TEXT(ApplicationFrozen, 156, "The application seems to be frozen.")                            \
    TEXT(InvalidEmail, 157, "Invalid email.")

#define FAULTTRAP_TEXT_ENUMERATOR(name, number, text) name = number,
enum class TextId : std::uint8_t { FAULTTRAP_CUSTOMIZED_TEXTS(FAULTTRAP_TEXT_ENUMERATOR) };
#undef FAULTTRAP_TEXT_ENUMERATOR

inline constexpr std::size_t kTextCount = 158;

constexpr std::size_t TextNumber(TextId id) {
    return static_cast<std::size_t>(id);
}

// The text stored at `number`; throws std::out_of_range for a number above 157.
TextId TextIdOfNumber(std::size_t number);

// "SendButton" for TextId::SendButton: the name an options file gives a text by.
std::string_view TextName(TextId id);

// The text called `name` (letter case ignored); nullopt for a name no text has.
std::optional<TextId> TextIdNamed(std::string_view name);

} // namespace faulttrap
