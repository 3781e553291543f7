#include "tools/faulttrap/debug_info_printer.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

namespace faulttrap {

namespace {

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(value));
    return text;
}

std::string CompilationTimeText(double days) {
    if (days == 0) {
        return "not stored";
    }
    const double seconds = std::round((days - 25569.0) * 86400.0);
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

} // namespace

void PrintDebugInfo(std::ostream& out, const SubsystemData& data, bool passwordValid,
                    const DebugIndex& index, const InlinedCalls& inlinedCalls) {
    out << "Version: " << data.version << '\n'
        << "Compiled: " << CompilationTimeText(data.compilationTime) << '\n'
        << "Options stream: " << data.optionsStream.size() << " bytes\n"
        << "Symbols: " << data.symbols.size() << '\n'
        << "Password: " << (passwordValid ? "valid" : "not valid, names are shown enciphered")
        << '\n'
        << "Debug information: " << data.debugInformation.size() << " bytes, "
        << index.Units().size() << " unit records, " << index.Procedures().size()
        << " procedure starts, " << index.Ranges().size() << " line ranges, "
        << inlinedCalls.ranges.size() << " inlined-call ranges\n";

    const std::size_t none = static_cast<std::size_t>(-1);
    std::size_t unit = none;
    std::size_t procedure = none;
    for (const DebugIndex::Range& range : index.Ranges()) {
        if (range.unit != unit) {
            unit = range.unit;
            procedure = none;
            const DebugIndex::Unit& u = index.Units()[unit];
            out << "\nUnit " << u.name << "  " << Hex(u.codeOffset) << '-' << Hex(u.codeEnd)
                << '\n';
        }
        if (range.procedure && *range.procedure != procedure) {
            procedure = *range.procedure;
            const DebugIndex::Procedure& p = index.Procedures()[procedure];
            out << "  Procedure " << (p.className.empty() ? "" : p.className + ".") << p.name
                << "  first line " << p.firstLine << '\n';
        }
        out << "    " << Hex(range.begin) << '-' << Hex(range.end) << "  line " << range.line
            << '\n';
    }
    if (inlinedCalls.empty()) {
        return;
    }
    out << "\nInlined calls\n";
    for (const InlinedCallRange& range : inlinedCalls.ranges) {
        const InlinedFunction& function = inlinedCalls.functions[range.function];
        out << "  " << std::string(2 * range.depth, ' ') << Hex(range.begin) << '-'
            << Hex(range.end) << "  " << function.name << "  first line " << function.firstLine;
        if (range.depth > 0) {
            out << "  called at " << inlinedCalls.files[range.callFile] << ':' << range.callLine;
        }
        out << '\n';
    }
}

} // namespace faulttrap
