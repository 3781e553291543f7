// faulttrap: the build tool of the exception-reporting library.
//
//   faulttrap embed PROGRAM [--options FILE] [--password PW] [--program-version VERSION]
//       reads PROGRAM's DWARF and writes the subsystem data container into it as the
//       section ".ftdata" (options stream from FILE, debug names enciphered with PW), and
//       VERSION as the section ".ftversion"
//   faulttrap show PROGRAM [--password PW]
//       prints the version, the options (readable form) and the compact debug information
//       PROGRAM carries
//   faulttrap options FILE [--output FILE]
//       checks an options file, readable (INI) or binary stream, and writes it in the other
//       form to the output file, or the readable form to the standard output
//   faulttrap log FILE [--report N] [--item N.M]...
//       writes the reports of a log file as a log file, or prints the given items of each
//       report; names every damaged report on the standard error (exit code 1)
//   faulttrap xml LOGFILE [--password PW] [--output FILE]
//       writes the XML form of every report of the log file LOGFILE (enciphered call-stack
//       names read with PW) to FILE or to the standard output; names every damaged report on
//       the standard error (exit code 1)

#include "tools/faulttrap/debug_info_builder.h"
#include "tools/faulttrap/debug_info_printer.h"
#include "tools/faulttrap/dwarf_collector.h"
#include "tools/faulttrap/section_embedder.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/elf_section.h"
#include "crashreport/debuginfo/module_version.h"
#include "crashreport/options/options_ini.h"
#include "crashreport/options/options_stream.h"
#include "crashreport/report/log_printer.h"

#include "crashreport/renderings/log_xml.h"
#include "crashreport/report/log_file.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

using namespace faulttrap;

constexpr const char* usage =
    "usage: faulttrap embed PROGRAM [--options FILE] [--password PW] [--program-version VERSION]\n"
    "       faulttrap show PROGRAM [--password PW]\n"
    "       faulttrap options FILE [--output FILE]\n"
    "       faulttrap log FILE [--report N] [--item N.M]...\n"
    "       faulttrap xml LOGFILE [--password PW] [--output FILE]\n"
    "       faulttrap --help | --version\n"
    "  embed    writes the FaultTrap data (debug information, options, version) into PROGRAM\n"
    "  show     prints the version, the options and the debug information PROGRAM carries\n"
    "  options  checks an options file (INI or stream) and converts it to the other form\n"
    "  log      prints the reports of a log file, or the given items of each report\n"
    "  xml      writes the XML form of every report of a log file\n";

class UsageError : public Error {
public:
    using Error::Error;
};

struct Arguments {
    std::string command;
    std::string program;
    std::map<std::string, std::string> options;
};

Arguments Parse(int argc, char** argv, std::initializer_list<std::string> allowed) {
    Arguments arguments{argv[1], {}, {}};
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.starts_with("--")) {
            if (std::find(allowed.begin(), allowed.end(), word) == allowed.end()) {
                throw UsageError("unknown option " + word);
            }
            if (i + 1 == argc) {
                throw UsageError(word + " needs a value");
            }
            arguments.options[word] = argv[++i];
        } else if (arguments.program.empty()) {
            arguments.program = word;
        } else {
            throw UsageError("unexpected argument " + word);
        }
    }
    if (arguments.program.empty()) {
        throw UsageError("no program named");
    }
    return arguments;
}

std::string Option(const Arguments& arguments, const std::string& name) {
    const auto found = arguments.options.find(name);
    return found == arguments.options.end() ? std::string() : found->second;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path + ": cannot be read");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An options file may be refused for several lines at once: each is named on its own line.
class OptionsFileError : public Error {
public:
    using Error::Error;
};

// The options of a file, readable or stream; a readable file with mistakes is refused with each
// of them "FILE:LINE: what".
TFaultOptionsContent ReadOptions(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!LooksLikeOptionsIni(text)) {
        return DecodeOptionsStream(text, kCurrentDataVersion);
    }
    std::vector<OptionsIniError> errors;
    TFaultOptionsContent content = ParseOptionsIni(text, errors);
    if (!errors.empty()) {
        std::string message;
        for (const OptionsIniError& error : errors) {
            message += (message.empty() ? "" : "\nfaulttrap: ") + path + ":" +
                       std::to_string(error.line) + ": " + error.message;
        }
        throw OptionsFileError(message);
    }
    return content;
}

std::vector<std::uint8_t> OptionsStreamOf(const std::string& path) {
    const std::string stream = EncodeOptionsStream(ReadOptions(path));
    return {stream.begin(), stream.end()};
}

int Options(const Arguments& arguments) {
    const std::vector<std::uint8_t> bytes = ReadFile(arguments.program);
    const bool readable = LooksLikeOptionsIni(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const TFaultOptionsContent content = ReadOptions(arguments.program);
    const std::string output = Option(arguments, "--output");
    if (output.empty()) {
        std::cout << WriteOptionsIni(content) << std::flush;
        return std::cout ? 0 : 1;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << (readable ? EncodeOptionsStream(content) : WriteOptionsIni(content));
    file.close();
    if (!file) {
        throw std::runtime_error(output + ": cannot be written");
    }
    return 0;
}

// Builds honour SOURCE_DATE_EPOCH so that a rebuild of the same sources is identical.
std::int64_t BuildTime() {
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        return std::strtoll(epoch, nullptr, 10);
    }
    return std::time(nullptr);
}

int Embed(const Arguments& arguments) {
    const std::string password = Option(arguments, "--password");
    SubsystemData data;
    data.compilationTime = CompilationTimeFromUnix(BuildTime());
    if (const std::string options = Option(arguments, "--options"); !options.empty()) {
        data.optionsStream = OptionsStreamOf(options);
    }
    data.checkValue = MakeCheckValue(data.magic, password);
    const ProgramDebugData dwarf = CollectDwarf(arguments.program);
    if (dwarf.lines.empty()) {
        std::cerr << "faulttrap: " << arguments.program
                  << " has no line information; build it with -g\n";
    }
    data.debugInformation = EncodeDebugInfo(BuildCompactDebugInfo(dwarf), NameCipher(password));
    std::optional<std::string> version;
    if (const std::string given = Option(arguments, "--program-version"); !given.empty()) {
        version = FourPartVersion(given);
        if (!version) {
            throw UsageError("--program-version " + given + " is not a version such as 1.2.3");
        }
    }
    EmbedSection(arguments.program, EncodeSubsystemData(data), version);
    return 0;
}

int Show(const Arguments& arguments) {
    const auto bytes = ReadElfSection(arguments.program, ".ftdata");
    if (!bytes) {
        std::cerr << "faulttrap: " << arguments.program << " carries no subsystem data\n";
        return 1;
    }
    const SubsystemData data = DecodeSubsystemData(*bytes);
    const std::string password = Option(arguments, "--password");
    const NameCipher cipher(password);
    const bool valid = PasswordMatches(data, password);
    const CompactDebugInfo information =
        DecodeDebugInfo(data.debugInformation, {&cipher, valid, true});
    const DebugIndex index(information);
    const std::string version = ModuleVersion(arguments.program);
    std::cout << "Version: " << (version.empty() ? "(none)" : version) << '\n';
    if (!data.optionsStream.empty()) {
        const std::string_view stream(reinterpret_cast<const char*>(data.optionsStream.data()),
                                      data.optionsStream.size());
        std::cout << "Options:\n" << WriteOptionsIni(DecodeOptionsStream(stream, data.version));
    } else {
        std::cout << "Options: (defaults)\n";
    }
    PrintDebugInfo(std::cout, data, valid, index, information.inlinedCalls);
    return 0;
}

// The XML of every intact report; each damaged one is named on standard error (exit code 1).
int Xml(const Arguments& arguments) {
    const TLogFile log(arguments.program, LogFileAccess::ReadOnly);
    const bool damaged = ReportDamage(log, std::cerr);
    const std::string document = LogFileXml(log, Option(arguments, "--password"));
    const std::string output = Option(arguments, "--output");
    if (output.empty()) {
        std::cout << document << std::flush;
        return std::cout && !damaged ? 0 : 1;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << document;
    file.close();
    if (!file) {
        throw std::runtime_error(output + ": cannot be written");
    }
    return damaged ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc < 2) {
            throw UsageError("no command given");
        }
        const std::string command = argv[1];
        if (command == "--help" || command == "-h") {
            std::cout << usage;
            return 0;
        }
        if (command == "--version") {
            std::cout << "faulttrap " << FAULTTRAP_VERSION << '\n';
            return 0;
        }
        if (command == "embed") {
            return Embed(Parse(argc, argv, {"--options", "--password", "--program-version"}));
        }
        if (command == "show") {
            return Show(Parse(argc, argv, {"--password"}));
        }
        if (command == "log") {
            std::string mistake;
            auto query =
                ParseLogArguments(std::vector<std::string>(argv + 2, argv + argc), mistake);
            if (!query) {
                throw UsageError(mistake);
            }
            return PrintLog(*query, std::cout, std::cerr);
        }
        if (command == "options") {
            return Options(Parse(argc, argv, {"--output"}));
        }
        if (command == "xml") {
            return Xml(Parse(argc, argv, {"--password", "--output"}));
        }
        throw UsageError("unknown command " + command);
    } catch (const UsageError& error) {
        std::cerr << "faulttrap: " << error.what() << '\n' << usage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "faulttrap: " << error.what() << '\n';
        return 1;
    }
}
