#pragma once

// FaultTrap, the exception-reporting library: what a program calls.
//
// A program carries FaultTrap by linking FaultTrap::faulttrap (or FaultTrap::faulttrap_qt) and
// calling faulttrap_embed(<target>) in its CMake: from then on every exception that nothing of the
// program catches, and every fatal signal, is reported (call stack with files and lines, log
// file, dialog, delivery as its options say). FaultTrap switches itself on before main(); nothing
// needs to be called for that. The calls below set options and handlers at run time.

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace faulttrap {

// The version of the FaultTrap library the program carries, e.g. "1.0.0".
const char* LibraryVersion();

// Whether FaultTrap runs: the program carries its data and it switched itself on.
bool IsActive();

// The log file the reports are appended to; empty while FaultTrap does not run.
std::string LogFileName();

// Where an exception that the program hands over was caught.
enum class CaughtIn : std::uint8_t {
    Program = 0,   // a handler of the program's own, a thread routine
    EventLoop = 1, // the application-wide handler of the window system's event loop
};

// Reports an exception the program caught, as if nothing had caught it: options, filters, log,
// dialog and delivery as for any other. True when the program's own handling shall go on.
bool ReportException(std::exception_ptr exception, CaughtIn where = CaughtIn::Program);

// One option of the program's options by the name and value of the options file (the readable
// form that `faulttrap options` checks): "SMTPHost", "mail.example.com". False with `error` set
// for an unknown name or a bad value, or while FaultTrap does not run.
bool SetOption(std::string_view name, std::string_view value, std::string* error = nullptr);
// The value of one option as the options file writes it; empty for an unknown name.
std::string Option(std::string_view name);
// Customised text `number` (0 to 157), in Windows-1252.
void SetCustomizedText(int number, std::string text);

// What a handler learns of the exception being reported.
struct ExceptionInfo {
    std::string className; // the exception's class, e.g. "std::out_of_range"
    std::string message;
    std::uintptr_t address = 0;
    std::uint32_t threadId = 0;
    std::string reportText; // the report, once it is built
};

// Called before an exception is processed; clearing `handleIt` leaves it unreported.
using ExceptionHandler = std::function<void(const ExceptionInfo&, bool& handleIt)>;
void OnException(ExceptionHandler handler);

// Called while the report is built: name/value lines for its "Custom Information" section.
using CustomInformation = std::vector<std::pair<std::string, std::string>>;
using CustomDataHandler = std::function<void(const ExceptionInfo&, CustomInformation& lines)>;
void OnCustomData(CustomDataHandler handler);

} // namespace faulttrap
