#pragma once

// The assembler and CPU sections: the listing around the exception address (made by the
// disassembler), the registers of the saved context and a dump of the stack and of the code.

#include "crashreport/report/report_inputs.h"
#include "crashreport/report/report_texts.h"

#include <string>
#include <vector>

namespace faulttrap {

// With collection on: the heading, a rule as long as the longest listing line, a line break, the
// listing, a line break and the CPU section; off: the headings with their rules alone.
std::string AssemblerAndCpuSections(const std::vector<std::string>& listing,
                                    const ReportCpuState& cpu, bool collect,
                                    const ReportTexts& texts);

} // namespace faulttrap
