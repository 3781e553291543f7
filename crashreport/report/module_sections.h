#pragma once

// The modules and processes sections of the report.

#include "crashreport/report/report_inputs.h"
#include "crashreport/report/report_texts.h"

#include <string>
#include <vector>

namespace faulttrap {

std::string ModulesSection(const std::vector<ReportModule>& modules, const ReportTexts& texts);

std::string ProcessesSection(const std::vector<ReportProcess>& processes, const ReportTexts& texts);

// The folder of a file: without a trailing "/" unless it is the root.
std::string FolderOf(const std::string& path);

} // namespace faulttrap
