#include "crashreport/report/log_printer.h"

#include "crashreport/report/log_file.h"
#include "crashreport/report/report_text.h"

#include <charconv>
#include <ostream>

namespace faulttrap {

namespace {

bool IsItemNumber(const std::string& item) {
    const std::size_t dot = item.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.size() <= 4 &&
               part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dot != std::string::npos && digits(std::string_view(item).substr(0, dot)) &&
           digits(std::string_view(item).substr(dot + 1));
}

std::optional<int> PositiveNumber(const std::string& text) {
    int number = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || end != text.data() + text.size() || number < 1) {
        return std::nullopt;
    }
    return number;
}

// A value of several lines goes on under its first line, indented.
std::string Indented(const std::string& value) {
    std::string text;
    for (const char c : value) {
        if (c == '\r') {
            continue;
        }
        text += c;
        if (c == '\n') {
            text += "    ";
        }
    }
    return text;
}

} // namespace

std::optional<LogQuery> ParseLogArguments(const std::vector<std::string>& arguments,
                                          std::string& error) {
    LogQuery query;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--item" || argument == "--report") {
            if (i + 1 == arguments.size()) {
                error = argument + " needs a value";
                return std::nullopt;
            }
            const std::string& value = arguments[++i];
            if (argument == "--item") {
                if (!IsItemNumber(value)) {
                    error = "\"" + value + "\" is not an item number such as 2.7";
                    return std::nullopt;
                }
                query.items.push_back(value);
            } else if (!(query.report = PositiveNumber(value))) {
                error = "\"" + value + "\" is not a report number (1 is the oldest)";
                return std::nullopt;
            }
        } else if (query.file.empty() && (argument.empty() || argument[0] != '-')) {
            query.file = argument;
        } else {
            error = "unexpected argument \"" + argument + "\"";
            return std::nullopt;
        }
    }
    if (query.file.empty()) {
        error = "no log file given";
        return std::nullopt;
    }
    return query;
}

bool ReportDamage(const TLogFile& log, std::ostream& err) {
    for (const LogDamage& damage : log.Damage()) {
        err << log.FileName().string() << ": " << DescribeDamage(damage) << '\n';
    }
    return !log.Damage().empty();
}

int PrintLog(const LogQuery& query, std::ostream& out, std::ostream& err) {
    try {
        const TLogFile log(query.file, LogFileAccess::ReadOnly);
        const bool damaged = ReportDamage(log, err);
        if (log.Count() == 0) {
            err << query.file.string() << ": no bug report in this file\n";
            return 1;
        }
        int first = 1;
        int last = log.Count();
        if (query.report) {
            if (*query.report > log.Count()) {
                err << query.file.string() << ": holds " << log.Count() << " reports, not "
                    << *query.report << '\n';
                return 1;
            }
            first = last = *query.report;
        }
        if (query.items.empty()) {
            // A log of the reports asked for, as the file would hold them.
            if (query.report) {
                out << log.Report(first - 1) << kCrLf;
            } else {
                out << log.WholeText();
            }
            return damaged ? 1 : 0;
        }
        for (int number = first; number <= last; ++number) {
            for (const auto& item : query.items) {
                const auto value = log.ReadItem(number - 1, item);
                out << '[' << number << "] " << item << ": "
                    << (value ? Indented(*value) : "(not in the report)") << '\n';
            }
        }
        return damaged ? 1 : 0;
    } catch (const ELogFileError& failure) {
        err << failure.what() << '\n';
        return 2;
    }
}

} // namespace faulttrap
