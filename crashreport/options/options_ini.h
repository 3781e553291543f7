#pragma once

// The readable form of the options: an INI file that a developer writes and reads.
//
//   [Options]                 one Name=Value line per option, named as the options name them
//   ExceptionDialogType=Detailed
//   ReportOptions=NewLogOnVersionChange,CollectModulesAndProcesses
//   SMTPPort=25
//   [CustomizedTexts]         customised texts by number: 26=The program stopped.
//   [Filter]                  one section per exception filter, in list order
//   ClassName=std::out_of_range
//
// Values: true/false; decimal or 0x hexadecimal numbers; a choice by its name or number; a set
// of flags as names joined by commas, or as one number. Texts are UTF-8 in the file (stored as
// Windows-1252) with \n, \r, \t, \s (a blank) and \\ for what a line cannot hold. Options that
// the file does not name keep their defaults. Blank lines and lines starting with ';' or '#'
// are comments.

#include "crashreport/options/options_stream.h"

#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// One mistake of an options file: its line (from 1) and what is wrong there.
struct OptionsIniError {
    int line = 0;
    std::string message;
};

// Reads an options file. Every unknown section or key, bad value and out-of-range number goes
// to `errors` with its line; the content is then the defaults changed by the good lines.
TFaultOptionsContent ParseOptionsIni(std::string_view text, std::vector<OptionsIniError>& errors);

// Writes the options file of `content`: every option, the customised texts that differ from
// their defaults and every filter. Parsing it gives `content` back.
std::string WriteOptionsIni(const TFaultOptionsContent& content);

// One option of the [Options] section by its name: false with `error` set for an unknown name
// or a bad value.
bool SetOptionByName(TFaultOptionValues& values, std::string_view name, std::string_view value,
                     std::string& error);
// The value of one option as the file writes it; false for an unknown name.
bool OptionByName(const TFaultOptionValues& values, std::string_view name, std::string& value);

// Whether `bytes` look like an options file rather than a binary options stream.
bool LooksLikeOptionsIni(std::string_view bytes);

} // namespace faulttrap
