#pragma once

// A small report of the real layout: the general sections built with TLogItem, a call-stack
// table, and the empty headings of the sections that follow it.

#include "crashreport/report/log_item.h"

#include <string>

namespace faulttrap::testing {

// The form in which the log file keeps a report: its own line breaks at the end replaced by
// three.
inline std::string Stored(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text + "\r\n\r\n\r\n";
}

struct SampleReport {
    std::string id = "1A2B";
    std::string version = "1.2.0.7";
    std::string message = "Cannot open: the file is locked.";
    std::string privileges = "CAP_CHOWN                       - ON\r\n"
                             "CAP_KILL                        - OFF";
    bool showCount = true;

    std::string Text() const {
        TLogItem items(0);
        items.AddHeading("Application");
        items.AddItem("Start Date", "Tue, 8 Dec 2026 14:05:09 -0300");
        items.AddItem("Name/Description", "app", false);
        items.AddItem("Version Number", version);
        items.AddHeading("Exception");
        items.AddItem("Date", "Tue, 8 Dec 2026 14:05:10 -0300");
        items.AddItem("Address", "000000000040100A");
        items.AddItem("Module Name", "app");
        items.AddItem("Module Version", version);
        items.AddItem("Type", "std::runtime_error");
        items.AddItem("Message", message);
        items.AddItem("ID", id);
        items.AddItem("Count", "1", showCount);
        items.AddItem("Status", "New");
        items.AddItem("Note", "");
        items.AddHeading("User");
        items.AddItem("ID", "joe");
        items.AddItem("Email", "", false);
        items.AddItem("Privileges", privileges);
        return "FaultTrap 6.0.6\r\n\r\n" + items.Format() +
               "\r\n"
               "Call Stack Information:\r\n"
               "-----------\r\n"
               "|Address  |\r\n"
               "-----------\r\n"
               "|0040100A |\r\n"
               "-----------\r\n"
               "\r\n"
               "Modules Information:\r\n"
               "--------------------\r\n"
               "\r\n"
               "Processes Information:\r\n"
               "----------------------\r\n"
               "\r\n"
               "Assembler Information:\r\n"
               "----------------------\r\n"
               "\r\n"
               "\r\n"
               "Registers:\r\n"
               "-----------\r\n"
               "\r\n";
    }
};

} // namespace faulttrap::testing
