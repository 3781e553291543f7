#include "customized_texts.h"

#include "environment_expansion.h"

#include <stdexcept>

namespace faulttrap {

namespace {

// Text 153 has no use of its own and stays empty.
constexpr std::array<const char*, TCustomizedTexts::Count> kDefaultTexts = {
    // Message captions.
    "Information.", "Question.", "Error.",
    // Detailed dialog.
    "Error occurred",
    "An error has occurred during program execution.\r\n"
    "Please read the following information for further details.",
    "General", "General Information", "Call Stack", "Call Stack Information", "Modules",
    "Modules Information", "Processes", "Processes Information", "Assembler",
    "Assembler Information", "CPU", "CPU Information", "&OK", "&Terminate", "&Restart", "&Details",
    "&Help", "&Send this error via Internet", "&Attach a Screenshot image", "&Copy to Clipboard",
    "Go to the Support Page",
    // Classic dialog.
    "The application has encountered a problem. We are sorry for the inconvenience.",
    "Restart application.", "Terminate application.", "Please tell us about this problem.",
    "We have created an error report that you can send to us. We will treat this report as "
    "confidential and anonymous.",
    "To see what data the error report contains,", "click here.",
    "What were you doing when the problem happended (optional)?",
    "Email address (optional):", "&Send Error Report", "&Don't Send",
    // Report labels.
    "Application", "Start Date", "Name/Description", "Version Number", "Parameters",
    "Compilation Date", "Up Time", "Exception", "Date", "Address", "Module Name", "Module Version",
    "Type", "Message", "ID", "Count", "Status", "Note", "User", "ID", "Name", "Email", "Company",
    "Privileges", "Active Controls", "Form Class", "Form Text", "Control Class", "Control Text",
    "Computer", "Name", "Total Memory", "Free Memory", "Total Disk", "Free Disk", "System Up Time",
    "Processor", "Display Mode", "Display DPI", "Video Card", "Printer", "Operating System", "Type",
    "Build #", "Update", "Language", "Charset", "Network", "IP Address", "Submask", "Gateway",
    "DNS 1", "DNS 2", "DHCP", "Custom Information",
    // Call stack, threads and leaks.
    "Address", "Module", "Unit", "Class", "Procedure/Method", "Line", "Main", "Exception Thread",
    "Running Thread", "Calling Thread", "ID", "Priority", "Class", "Memory Leak", "Data", "Type",
    "Total size", "Count",
    // Send dialog.
    "Send.", "Message", "Resolving DNS...", "Login...", "Connecting with server...",
    "Connected with server.", "Sending message...", "Message sent.", "Select project...",
    "Searching...", "Modifying...", "Disconnecting...", "Disconnected.",
    // Reproduce dialog.
    "Request", "Please describe the steps to reproduce the error:", "&OK",
    // Modules list, processes list, CPU.
    "Handle", "Name", "Description", "Version", "Size", "Modified", "Path", "ID", "Name",
    "Description", "Version", "Memory", "Priority", "Threads", "Path", "Registers", "Stack",
    "Memory Dump",
    // Send results.
    "The message was sent successfully.", "Sorry, sending the message didn't work.",
    "These BUG is just closed.\r\nContact the program support to obtain an update.",
    "Unknown error.", "Invalid login request.", "Invalid search request.",
    "Invalid selection request.", "Invalid insert request.", "Invalid modify request.",
    // Other messages. Text 153 has never had a use or a default: it stays empty, and its place
    // is kept so that every later text keeps its number.
    "", "Multi Free memory leak.", "Memory Overrun leak.", "The application seems to be frozen.",
    "Invalid email."};

constexpr bool EveryTextGiven() {
    for (const char* text : kDefaultTexts) {
        if (text == nullptr) {
            return false;
        }
    }
    return true;
}
static_assert(EveryTextGiven(), "a default customized text is missing");

void CheckIndex(std::size_t index) {
    if (index >= TCustomizedTexts::Count) {
        throw std::out_of_range("Customized text " + std::to_string(index) +
                                " does not exist (0 to 157).");
    }
}

} // namespace

TCustomizedTexts::TCustomizedTexts() {
    SetDefaults();
}

std::string TCustomizedTexts::Text(std::size_t index) const {
    CheckIndex(index);
    try {
        return ExpandEnvironmentVariables(texts_[index]);
    } catch (const std::exception&) {
        return texts_[index];
    }
}

const std::string& TCustomizedTexts::StoredText(std::size_t index) const {
    CheckIndex(index);
    return texts_[index];
}

void TCustomizedTexts::SetText(std::size_t index, std::string text) {
    CheckIndex(index);
    texts_[index] = std::move(text);
}

void TCustomizedTexts::SetDefaults() {
    for (std::size_t i = 0; i < Count; ++i) {
        texts_[i] = kDefaultTexts[i];
    }
}

const char* TCustomizedTexts::DefaultText(std::size_t index) {
    CheckIndex(index);
    return kDefaultTexts[index];
}

} // namespace faulttrap
