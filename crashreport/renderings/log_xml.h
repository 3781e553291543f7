#pragma once

// The XML form of bug reports: a `Doc` element with one `Log` element per report, each holding
// the general sections, the call stack per thread, the modules, processes, assembler listing
// and CPU state.

#include "crashreport/renderings/xml_element.h"

#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

class TLogFile;

// The `Log` element of one report; enciphered call-stack names are read with `password` when
// it opens them.
XmlElement ReportXml(std::string_view report, std::string_view password);

// The whole document, lines ending in CR LF.
std::string ReportsXml(const std::vector<std::string>& reports, std::string_view password);
std::string LogFileXml(const TLogFile& log, std::string_view password);

} // namespace faulttrap
