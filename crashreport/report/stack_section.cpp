#include "crashreport/report/stack_section.h"

#include "crashreport/report/report_text.h"
#include "crashreport/report/text_table.h"
#include "crashreport/report/value_formats.h"

namespace faulttrap {

namespace {

std::string LineCell(const ReportStackEntry& entry) {
    if (entry.line == 0) {
        return {};
    }
    return std::to_string(entry.line) + '[' + std::to_string(entry.lineOffset) + ']';
}

bool StartsBlock(const ReportStackEntry& entry, const ReportStackEntry* previous) {
    return previous == nullptr || entry.threadId != previous->threadId ||
           entry.ownStack != previous->ownStack || entry.exceptionAddress ||
           entry.leak != previous->leak ||
           (entry.leak &&
            (entry.leakType != previous->leakType || entry.leakSize != previous->leakSize ||
             entry.leakCount != previous->leakCount));
}

std::string LeakCaption(const ReportStackEntry& entry, const ReportTexts& texts) {
    const std::string type = entry.leakType == "Data" ? texts[TextId::LeakData] : entry.leakType;
    return '+' + texts[TextId::MemoryLeak] + ": " + texts[TextId::LeakType] + '=' + type + "; " +
           texts[TextId::LeakTotalSize] + '=' + std::to_string(entry.leakSize) + "; " +
           texts[TextId::LeakCount] + '=' + std::to_string(entry.leakCount);
}

std::string ThreadCaption(const ReportStackEntry& entry, const std::vector<ReportThread>& threads,
                          const ReportTexts& texts) {
    std::string caption;
    if (!entry.ownStack) {
        caption = texts[TextId::CallingThread] + ": ";
    } else if (entry.exceptionAddress) {
        caption = '*' + texts[TextId::ExceptionThread] + ": ";
    } else {
        caption = texts[TextId::RunningThread] + ": ";
    }
    const ReportThread* thread = nullptr;
    for (const auto& candidate : threads) {
        if (candidate.id == entry.threadId) {
            thread = &candidate;
            break;
        }
    }
    const std::string priority =
        thread != nullptr && !thread->priority.empty() ? thread->priority : std::string("??");
    caption += texts[TextId::ThreadId] + '=' + std::to_string(entry.threadId) + "; " +
               texts[TextId::ThreadPriority] + '=' + priority + "; " + texts[TextId::ThreadClass] +
               '=' + (thread != nullptr ? thread->className : "");
    if (thread != nullptr && thread->isMain) {
        caption += "; [" + texts[TextId::MainThread] + ']';
    }
    return caption;
}

} // namespace

bool StackEntryListed(const ReportStackEntry& entry, std::uint8_t stackOptions) {
    switch (entry.kind) {
    case ReportStackEntry::Line:
        return true;
    case ReportStackEntry::UnitNoLine:
        return (stackOptions & 0x02) != 0;
    case ReportStackEntry::Procedure:
        return (stackOptions & 0x01) != 0;
    default:
        return false;
    }
}

std::string StackSection(const std::vector<ReportStackEntry>& stack,
                         const std::vector<ReportThread>& threads, std::uint8_t stackOptions,
                         const ReportTexts& texts) {
    std::vector<const ReportStackEntry*> listed;
    TextTable table({texts[TextId::StackAddress], texts[TextId::StackModule],
                     texts[TextId::StackUnit], texts[TextId::StackClass],
                     texts[TextId::StackProcedure], texts[TextId::StackLine]},
                    {static_cast<std::size_t>(kAddressDigits)});
    for (const auto& entry : stack) {
        if (StackEntryListed(entry, stackOptions)) {
            listed.push_back(&entry);
            table.AddRow({FormatAddress(entry.address), entry.moduleName, entry.unitName,
                          entry.className, entry.procedureName, LineCell(entry)});
        }
    }
    std::vector<std::string> lines;
    const ReportStackEntry* previous = nullptr;
    for (const ReportStackEntry* entry : listed) {
        if (StartsBlock(*entry, previous)) {
            if (previous != nullptr) {
                lines.push_back(table.SpanRow('-'));
                if (entry->ownStack) {
                    lines.push_back(table.SpanRow(' '));
                }
            }
            lines.push_back(table.CaptionRow(entry->leak ? LeakCaption(*entry, texts)
                                                         : ThreadCaption(*entry, threads, texts)));
            lines.push_back(table.SpanRow('-'));
        }
        lines.push_back(
            table.Row({FormatAddress(entry->address), entry->moduleName, entry->unitName,
                       entry->className, entry->procedureName, LineCell(*entry)}));
        previous = entry;
    }
    return table.Render(texts[TextId::CallStackInformation], lines);
}

} // namespace faulttrap
