#include "crashreport/renderings/log_xml.h"

#include "crashreport/renderings/name_decryption.h"
#include "crashreport/renderings/report_layout.h"
#include "crashreport/report/item_value.h"
#include "crashreport/report/log_file.h"
#include "crashreport/report/report_items.h"
#include "crashreport/report/report_text.h"

#include <algorithm>

namespace faulttrap {
namespace {

// The general part: a heading after an empty line opens a group, an item line ("  N.M label:
// value") opens a line, and the continuation lines that follow it carry the rest of its value.
// Items and values are found and read as the log file finds and reads them.
void AddGeneral(XmlElement& log, const std::vector<std::string>& general) {
    XmlElement& element = log.AddChild("General");
    XmlElement* group = nullptr;
    std::string groupLabel;
    bool groupIdSet = false;
    XmlElement* pendingLine = nullptr;
    std::string id;
    std::string label;
    std::string stored;
    const auto closeLine = [&] {
        if (pendingLine != nullptr) {
            pendingLine->AddAttribute("ID", id);
            pendingLine->AddAttribute("Label", label);
            pendingLine->AddAttribute("Value", DecodeItemValue(stored));
            pendingLine = nullptr;
        }
    };
    const auto closeGroup = [&] {
        closeLine();
        if (group != nullptr && !groupIdSet) {
            group->AddAttribute("ID", "");
            group->AddAttribute("Label", groupLabel);
        }
        group = nullptr;
    };
    bool expectHeading = true;
    // The first two lines are the version line and an empty line.
    for (std::size_t i = 2; i < general.size(); ++i) {
        const std::string& line = general[i];
        if (line.empty()) {
            closeGroup();
            expectHeading = true;
            continue;
        }
        if (expectHeading) {
            const std::string heading = Trim(line);
            groupLabel = heading.ends_with(':') ? heading.substr(0, heading.size() - 1) : heading;
            group = &element.AddChild("Group");
            groupIdSet = false;
            expectHeading = false;
            continue;
        }
        if (line.starts_with('-') && line.find_first_not_of('-') == std::string::npos) {
            continue; // the heading's rule
        }
        const auto valueStart = ValueStartOf(line);
        if (!valueStart) {
            if (pendingLine != nullptr && IsContinuationLine(line)) {
                stored += "\r\n" + line;
            } else {
                closeLine();
            }
            continue;
        }
        closeLine();
        const std::string_view number = ItemNumberOf(line);
        id = std::string(number);
        const std::size_t labelStart = 2 + number.size() + 1;
        const std::size_t labelEnd = *valueStart == line.size() && line.ends_with(':') &&
                                             line.find(": ", labelStart) == std::string::npos
                                         ? line.size() - 1
                                         : *valueStart - 2;
        label = Trim(std::string_view(line).substr(labelStart, labelEnd - labelStart));
        stored = line.substr(*valueStart);
        if (!groupIdSet) {
            group->AddAttribute("ID", id.substr(0, id.find('.')));
            group->AddAttribute("Label", groupLabel);
            groupIdSet = true;
        }
        pendingLine = &group->AddChild("Line");
    }
    closeGroup();
}

void AddThreadAttributes(XmlElement& thread, std::string_view caption) {
    const std::size_t colon = caption.find(':');
    std::string_view rest = colon == std::string_view::npos ? caption : caption.substr(colon + 1);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t semicolon = rest.find(';', start);
        parts.push_back(
            Trim(rest.substr(start, semicolon == rest.npos ? rest.npos : semicolon - start)));
        if (semicolon == rest.npos) {
            break;
        }
        start = semicolon + 1;
    }
    auto after = [&](std::size_t index) {
        if (index >= parts.size()) {
            return std::string();
        }
        const std::size_t equals = parts[index].find('=');
        return equals == std::string::npos ? std::string() : parts[index].substr(equals + 1);
    };
    thread.AddAttribute("ID", after(0));
    thread.AddAttribute("Priority", after(1));
    thread.AddAttribute("Class", after(2));
    thread.AddAttribute("MainThread", parts.size() > 3 && !parts[3].empty() ? "True" : "False");
}

void AddCallStack(XmlElement& log, const std::vector<std::string>& rows,
                  std::string_view password) {
    XmlElement& element = log.AddChild("CallStack");
    XmlElement* thread = nullptr;
    XmlElement* current = nullptr; // the thread element or its calling thread
    bool newThread = false;
    bool first = true;
    for (const std::string& row : rows) {
        if (row.starts_with("|-")) {
            continue;
        }
        const std::vector<std::string> fields = TableFields(row);
        if (fields.size() < 6) {
            const std::string caption = fields.empty() ? std::string() : fields[0];
            if (caption.empty()) {
                newThread = true;
                continue;
            }
            if (first || newThread || thread == nullptr) {
                thread = &element.AddChild(first ? "ExceptionThread" : "RunningThread");
                current = thread;
                first = false;
                newThread = false;
            } else {
                current = &thread->AddChild("CallingThread");
            }
            AddThreadAttributes(*current, caption);
            continue;
        }
        if (current == nullptr) {
            // Reports before 5.0 have no captions: one thread holds every line.
            thread = &element.AddChild("ExceptionThread");
            current = thread;
            first = false;
        }
        const StackNames names = DecryptStackNames({fields[2], fields[3], fields[4]}, password);
        const std::string& lineField = fields[5];
        const std::size_t open = lineField.find('[');
        const std::size_t close = lineField.find(']', open == std::string::npos ? 0 : open);
        XmlElement& line = current->AddChild("Line");
        line.AddAttribute("Address", fields[0]);
        line.AddAttribute("Module", fields[1]);
        line.AddAttribute("Unit", names.unit);
        line.AddAttribute("Class", names.className);
        line.AddAttribute("Procedure", names.procedure);
        line.AddAttribute("Number", lineField.substr(0, open));
        line.AddAttribute("Offset", open == std::string::npos || close == std::string::npos
                                        ? std::string()
                                        : lineField.substr(open + 1, close - open - 1));
    }
}

void AddTable(XmlElement& log, const char* name, const char* rowName,
              std::initializer_list<const char*> columns, const std::vector<std::string>& rows) {
    XmlElement& element = log.AddChild(name);
    for (const std::string& row : rows) {
        if (row.starts_with("|-")) {
            continue;
        }
        const std::vector<std::string> fields = TableFields(row);
        XmlElement& item = element.AddChild(rowName);
        std::size_t index = 0;
        for (const char* column : columns) {
            item.AddAttribute(column, index < fields.size() ? fields[index] : std::string());
            ++index;
        }
    }
}

void AddAssembler(XmlElement& log, const std::vector<std::string>& listing) {
    XmlElement& element = log.AddChild("Assembler");
    for (const std::string& text : listing) {
        XmlElement& line = element.AddChild("Line");
        if (text.starts_with(';')) {
            line.AddAttribute("Comment", text.substr(1));
            continue;
        }
        // The address runs up to the two blanks before the instruction.
        const std::size_t gap = text.find("  ");
        const std::size_t commandStart =
            gap == std::string::npos ? text.size() : text.find_first_not_of(' ', gap);
        const std::size_t semicolon = text.find(';');
        line.AddAttribute("Address", Trim(text.substr(0, std::min(gap, text.size()))));
        const std::size_t start = std::min(commandStart, text.size());
        line.AddAttribute("Command",
                          Trim(text.substr(start, semicolon == std::string::npos
                                                      ? std::string::npos
                                                      : std::max(semicolon, start) - start)));
        line.AddAttribute("Comment",
                          semicolon == std::string::npos ? "" : Trim(text.substr(semicolon + 1)));
    }
}

// "RAX: 0000000000000001   RDI: 0000000000000006": each name and value.
void AddRegisters(XmlElement& registers, std::string_view line) {
    std::size_t at = 0;
    while (true) {
        const std::size_t colon = line.find(':', at);
        if (colon == std::string_view::npos) {
            return;
        }
        const std::string name = Trim(line.substr(at, colon - at));
        const std::size_t valueStart = line.find_first_not_of(' ', colon + 1);
        if (valueStart == std::string_view::npos) {
            return;
        }
        const std::size_t valueEnd = line.find(' ', valueStart);
        const std::string value(
            line.substr(valueStart, valueEnd == line.npos ? line.npos : valueEnd - valueStart));
        if (!name.empty() &&
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string::npos &&
            value.find('?') == std::string::npos) {
            registers.AddAttribute(name, value);
        }
        if (valueEnd == std::string_view::npos) {
            return;
        }
        at = line.find_first_not_of(' ', valueEnd);
        if (at == std::string_view::npos) {
            return;
        }
    }
}

void AddCpu(XmlElement& log, const std::vector<std::string>& cpu) {
    bool hasRegisters = false;
    for (const std::string& line : cpu) {
        hasRegisters = hasRegisters || line.find("AX:") != std::string::npos;
    }
    if (!hasRegisters) {
        return;
    }
    XmlElement& element = log.AddChild("CPU");
    XmlElement& registers = element.AddChild("Registers");
    std::size_t i = 2; // the heading and its rule
    for (; i < cpu.size() && !cpu[i].empty(); ++i) {
        AddRegisters(registers, cpu[i]);
    }
    i += 3; // the empty line, the stack and memory headings and their rules
    XmlElement& stack = element.AddChild("Stack");
    XmlElement& dump = element.AddChild("MemoryDump");
    for (; i < cpu.size(); ++i) {
        const std::string& line = cpu[i];
        const std::size_t gap = line.find("   ");
        const std::string stackPart = line.substr(0, gap);
        const std::size_t colon = stackPart.find(": ");
        if (colon != std::string::npos) {
            XmlElement& entry = stack.AddChild("Line");
            entry.AddAttribute("Address", stackPart.substr(0, colon));
            entry.AddAttribute("Value", Trim(stackPart.substr(colon + 2)));
        }
        if (gap == std::string::npos) {
            continue;
        }
        const std::string memory = line.substr(line.find_first_not_of(' ', gap) == std::string::npos
                                                   ? line.size()
                                                   : line.find_first_not_of(' ', gap));
        const std::size_t memoryColon = memory.find(": ");
        if (memoryColon == std::string::npos) {
            continue;
        }
        const std::string rest = memory.substr(memoryColon + 2);
        const std::size_t bytesEnd = rest.find("  ");
        XmlElement& entry = dump.AddChild("Line");
        entry.AddAttribute("Address", memory.substr(0, memoryColon));
        entry.AddAttribute("Bytes", rest.substr(0, bytesEnd));
        entry.AddAttribute("Chars", bytesEnd == std::string::npos ? "" : rest.substr(bytesEnd + 2));
    }
}

} // namespace

XmlElement ReportXml(std::string_view report, std::string_view password) {
    const ReportLayout layout = SplitReport(report);
    const int version = VersionNumber(layout.version);
    XmlElement log("Log", EscapeAttribute);
    log.AddAttribute("Version", layout.version);
    AddGeneral(log, layout.general);
    AddCallStack(log, layout.stackRows, password);
    AddTable(log, "Modules", "Module",
             {"Handle", "Name", "Description", "Version", "Size", "Modified", "Path"},
             layout.moduleRows);
    if (version >= 600) {
        AddTable(log, "Processes", "Process",
                 {"ID", "Name", "Description", "Version", "Memory", "Priority", "Threads", "Path"},
                 layout.processRows);
        AddAssembler(log, layout.assembler);
        AddCpu(log, layout.cpu);
    }
    if (version < 500 && !layout.request.empty()) {
        std::string text;
        for (std::size_t i = 2; i < layout.request.size(); ++i) {
            text += (text.empty() ? "" : "\r\n") + Trim(layout.request[i]);
        }
        log.AddChild("HoToReproduce").AddAttribute("Text", text);
    }
    return log;
}

std::string ReportsXml(const std::vector<std::string>& reports, std::string_view password) {
    std::string document = "<Doc>\r\n";
    for (const std::string& report : reports) {
        const std::string log = ReportXml(report, password).Serialize();
        for (const std::string& line : SplitLines(log)) {
            document += "  " + line + "\r\n";
        }
    }
    return document + "</Doc>\r\n";
}

std::string LogFileXml(const TLogFile& log, std::string_view password) {
    std::vector<std::string> reports;
    for (int i = 0; i < log.Count(); ++i) {
        reports.push_back(log.Report(i));
    }
    return ReportsXml(reports, password);
}

} // namespace faulttrap
