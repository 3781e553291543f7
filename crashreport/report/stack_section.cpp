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
    const std::string type = entry.leakType == "Data" ? texts[106] : entry.leakType;
    return '+' + texts[105] + ": " + texts[107] + '=' + type + "; " + texts[108] + '=' +
           std::to_string(entry.leakSize) + "; " + texts[109] + '=' +
           std::to_string(entry.leakCount);
}

std::string ThreadCaption(const ReportStackEntry& entry, const std::vector<ReportThread>& threads,
                          const ReportTexts& texts) {
    std::string caption;
    if (!entry.ownStack) {
        caption = texts[101] + ": ";
    } else if (entry.exceptionAddress) {
        caption = '*' + texts[99] + ": ";
    } else {
        caption = texts[100] + ": ";
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
    caption += texts[102] + '=' + std::to_string(entry.threadId) + "; " + texts[103] + '=' +
               priority + "; " + texts[104] + '=' + (thread != nullptr ? thread->className : "");
    if (thread != nullptr && thread->isMain) {
        caption += "; [" + texts[98] + ']';
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
    TextTable table({texts[92], texts[93], texts[94], texts[95], texts[96], texts[97]},
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
    return table.Render(texts[8], lines);
}

} // namespace faulttrap
