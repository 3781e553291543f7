#pragma once

// The general part of the report: the first line and the seven numbered sections.

#include "crashreport/report/general_facts.h"
#include "crashreport/report/report_texts.h"

#include <string>

namespace faulttrap {

inline constexpr const char* kReportFirstLine = "FaultTrap 6.0.6";

std::string GeneralPart(const GeneralFacts& facts, const ReportSettings& settings,
                        const ReportTexts& texts);

// "name - (description)", or the name alone.
std::string NameAndDescription(const ModuleFacts& module);

// The version, empty for "0.0.0.0".
std::string ShownVersion(const std::string& version);

} // namespace faulttrap
