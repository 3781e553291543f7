#pragma once

// The call-stack section: one table of the listed entries, in blocks per thread (or leak) with a
// caption row each.

#include "crashreport/report/report_inputs.h"
#include "crashreport/report/report_texts.h"

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

// Entries with a line number always; with a unit but no line under StackOptions 0x02; with
// only a procedure under 0x01.
bool StackEntryListed(const ReportStackEntry& entry, std::uint8_t stackOptions);

std::string StackSection(const std::vector<ReportStackEntry>& stack,
                         const std::vector<ReportThread>& threads, std::uint8_t stackOptions,
                         const ReportTexts& texts);

} // namespace faulttrap
