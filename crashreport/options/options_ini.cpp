#include "crashreport/options/options_ini.h"

#include "crashreport/text/strings.h"

#include "crashreport/options/options_ini_text.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <sstream>

namespace faulttrap {

namespace {

struct Name {
    const char* name;
    unsigned value;
};
using Names = std::vector<Name>;

// Blanks, tabs and the CR of a CR LF line end.
std::string Trimmed(std::string_view text) {
    return std::string(TrimmedView(text, " \t\r"));
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A decimal or 0x hexadecimal number within [low, high].
std::optional<std::int64_t> Number(std::string_view text, std::int64_t low, std::int64_t high,
                                   std::string& error) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = hex ? text.substr(2) : text;
    std::int64_t value = 0;
    const auto [end, status] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (digits.empty() || status == std::errc::invalid_argument ||
        end != digits.data() + digits.size()) {
        error = "\"" + std::string(text) + "\" is not a number";
        return std::nullopt;
    }
    if (status == std::errc::result_out_of_range || value < low || value > high) {
        error = std::string(text) + " is out of range (" + std::to_string(low) + " to " +
                std::to_string(high) + ")";
        return std::nullopt;
    }
    return value;
}

// A customised text by its name, or by its number: the form files written before names existed
// have, and which is read still.
std::optional<TextId> TextOfKey(const std::string& key, std::string& error) {
    if (!key.empty() && ((key[0] >= '0' && key[0] <= '9') || key[0] == '-' || key[0] == '+')) {
        const auto number = Number(key, 0, TCustomizedTexts::Count - 1, error);
        if (!number) {
            error = "customised text " + error;
            return std::nullopt;
        }
        return TextIdOfNumber(static_cast<std::size_t>(*number));
    }
    if (const std::optional<TextId> id = TextIdNamed(key)) {
        return id;
    }
    error = "unknown customised text \"" + key + "\"";
    return std::nullopt;
}

std::optional<unsigned> Choice(std::string_view text, const Names& names, std::string& error) {
    for (const Name& name : names) {
        if (SameName(text, name.name)) {
            return name.value;
        }
    }
    std::string ignored;
    if (const auto number = Number(text, 0, names.back().value, ignored)) {
        return static_cast<unsigned>(*number);
    }
    error = "\"" + std::string(text) + "\" is none of";
    for (const Name& name : names) {
        error += std::string(" ") + name.name;
    }
    return std::nullopt;
}

std::optional<unsigned> Flags(std::string_view text, const Names& names, unsigned high,
                              std::string& error) {
    if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
        const auto number = Number(text, 0, high, error);
        return number ? std::optional<unsigned>(static_cast<unsigned>(*number)) : std::nullopt;
    }
    unsigned flags = 0;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string word = Trimmed(text.substr(start, comma - start));
        bool known = false;
        for (const Name& name : names) {
            if (SameName(word, name.name)) {
                flags |= name.value;
                known = true;
            }
        }
        if (!known) {
            error = "unknown flag \"" + word + "\"";
            return std::nullopt;
        }
        start = comma + 1;
    }
    return flags;
}

std::string FlagsText(unsigned flags, const Names& names) {
    std::string text;
    unsigned named = 0;
    for (const Name& name : names) {
        if (flags & name.value) {
            text += (text.empty() ? "" : ",") + std::string(name.name);
            named |= name.value;
        }
    }
    if (named != flags) {
        std::ostringstream hex;
        hex << "0x" << std::hex << std::uppercase << flags;
        return hex.str();
    }
    return text;
}

std::string ChoiceText(unsigned value, const Names& names) {
    for (const Name& name : names) {
        if (name.value == value) {
            return name.name;
        }
    }
    return std::to_string(value);
}

std::optional<bool> Boolean(std::string_view text, std::string& error) {
    if (SameName(text, "true") || text == "1") {
        return true;
    }
    if (SameName(text, "false") || text == "0") {
        return false;
    }
    error = "\"" + std::string(text) + "\" is neither true nor false";
    return std::nullopt;
}

// How one field is written and read; `set` gives an error message or nothing.
template <class Record> struct Field {
    const char* name;
    std::function<std::string(const Record&)> get;
    std::function<std::optional<std::string>(Record&, std::string_view)> set;
};

template <class Record> Field<Record> BoolField(const char* name, bool Record::*member) {
    return {name, [member](const Record& r) { return std::string(r.*member ? "true" : "false"); },
            [member](Record& r, std::string_view text) -> std::optional<std::string> {
                std::string error;
                const auto value = Boolean(text, error);
                if (!value) {
                    return error;
                }
                r.*member = *value;
                return std::nullopt;
            }};
}

template <class Record, class Integer>
Field<Record> NumberField(const char* name, Integer Record::*member) {
    return {name, [member](const Record& r) { return std::to_string(r.*member); },
            [member](Record& r, std::string_view text) -> std::optional<std::string> {
                std::string error;
                const auto value = Number(text, std::numeric_limits<Integer>::min(),
                                          std::numeric_limits<Integer>::max(), error);
                if (!value) {
                    return error;
                }
                r.*member = static_cast<Integer>(*value);
                return std::nullopt;
            }};
}

template <class Record> Field<Record> TextField(const char* name, std::string Record::*member) {
    return {name, [member](const Record& r) { return EscapedText(r.*member); },
            [member](Record& r, std::string_view text) -> std::optional<std::string> {
                std::string error;
                auto value = UnescapedText(text, error);
                if (!value) {
                    return error;
                }
                r.*member = TextAsStreamed(std::move(*value));
                return std::nullopt;
            }};
}

template <class Record, class Enum>
Field<Record> ChoiceField(const char* name, Enum Record::*member, Names names) {
    return {name,
            [member, names](const Record& r) {
                return ChoiceText(static_cast<unsigned>(r.*member), names);
            },
            [member, names](Record& r, std::string_view text) -> std::optional<std::string> {
                std::string error;
                const auto value = Choice(text, names, error);
                if (!value) {
                    return error;
                }
                r.*member = static_cast<Enum>(*value);
                return std::nullopt;
            }};
}

template <class Record, class Integer>
Field<Record> FlagsField(const char* name, Integer Record::*member, Names names) {
    return {name,
            [member, names](const Record& r) {
                return FlagsText(static_cast<unsigned>(r.*member), names);
            },
            [member, names](Record& r, std::string_view text) -> std::optional<std::string> {
                std::string error;
                const auto value = Flags(text, names, std::numeric_limits<Integer>::max(), error);
                if (!value) {
                    return error;
                }
                r.*member = static_cast<Integer>(*value);
                return std::nullopt;
            }};
}

const Names kActions = {{"None", 0}, {"Terminate", 1}, {"Restart", 2}};

const std::vector<Field<TFaultOptionValues>>& OptionFields() {
    using V = TFaultOptionValues;
    static const std::vector<Field<V>> fields = {
        BoolField("UseFilters", &V::UseFilters),
        FlagsField("ReportOptions", &V::ReportOptions,
                   {{"NoDuplicateErrors", 0x01},
                    {"AskReproduceSteps", 0x02},
                    {"NewLogOnVersionChange", 0x04},
                    {"ComputerNameInLogName", 0x08},
                    {"CollectModulesAndProcesses", 0x10},
                    {"CollectAssemblerAndCPU", 0x20}}),
        BoolField("AppendReportToMessage", &V::AppendReportToMessage),
        BoolField("LogToFile", &V::LogToFile),
        ChoiceField("InitialPage", &V::InitialPage,
                    {{"General", 0},
                     {"CallStack", 1},
                     {"Modules", 2},
                     {"Processes", 3},
                     {"Assembler", 4},
                     {"CPU", 5}}),
        BoolField("FreezeWatch", &V::FreezeWatch),
        NumberField("FreezeTimeout", &V::FreezeTimeout),
        TextField("SMTPFrom", &V::SMTPFrom),
        TextField("SMTPHost", &V::SMTPHost),
        NumberField("SMTPPort", &V::SMTPPort),
        TextField("SMTPUserID", &V::SMTPUserID),
        TextField("SMTPPassword", &V::SMTPPassword),
        ChoiceField("TerminateAction", &V::TerminateAction, kActions),
        {"MaxLogEntries", [](const V& v) { return std::to_string(v.MaxLogEntries); },
         [](V& v, std::string_view text) -> std::optional<std::string> {
             std::string error;
             const auto value = Number(text, 1, std::numeric_limits<std::int32_t>::max(), error);
             if (!value) {
                 return error;
             }
             v.MaxLogEntries = static_cast<std::int32_t>(*value);
             return std::nullopt;
         }},
        NumberField("ErrorsBeforeTerminate", &V::ErrorsBeforeTerminate),
        TextField("EMailAddresses", &V::EMailAddresses),
        TextField("EMailSubject", &V::EMailSubject),
        ChoiceField("EMailSendMode", &V::EMailSendMode,
                    {{"None", 0}, {"MailClient", 1}, {"SMTPClient", 2}, {"SMTPServer", 3}}),
        {"ReportFields",
         [](const V& v) {
             std::ostringstream hex;
             hex << "0x" << std::hex << std::uppercase << v.ReportFields.to_ullong();
             return hex.str();
         },
         [](V& v, std::string_view text) -> std::optional<std::string> {
             std::string error;
             const auto value = Number(text, 0, 0xFFFFFFFFFFFFll, error);
             if (!value) {
                 return error;
             }
             v.ReportFields = TFaultReportFields(static_cast<unsigned long long>(*value));
             return std::nullopt;
         }},
        TextField("LogFolder", &V::LogFolder),
        ChoiceField("WebSendMode", &V::WebSendMode,
                    {{"None", 0},
                     {"HTTP", 1},
                     {"HTTPS", 2},
                     {"FTP", 3},
                     {"Bugzilla", 4},
                     {"FogBugz", 5},
                     {"Mantis", 6}}),
        TextField("WebURL", &V::WebURL),
        TextField("WebUserID", &V::WebUserID),
        TextField("WebPassword", &V::WebPassword),
        NumberField("WebPort", &V::WebPort),
        TextField("AttachedFiles", &V::AttachedFiles),
        FlagsField("SendOptions", &V::SendOptions,
                   {{"ShowSendProgress", 0x0001},
                    {"ShowSendResult", 0x0002},
                    {"SendEntireLog", 0x0004},
                    {"AttachXMLReport", 0x0008},
                    {"SendScreenshot", 0x0010},
                    {"ScreenshotActiveWindow", 0x0020},
                    {"SendLastHTMLPage", 0x0040},
                    {"SendInThread", 0x0080},
                    {"AddDateToFileName", 0x0100},
                    {"AddComputerNameToFileName", 0x0200}}),
        FlagsField("DialogOptions", &V::DialogOptions,
                   {{"SendCheckedByDefault", 0x0001},
                    {"ScreenshotCheckedByDefault", 0x0002},
                    {"OfferCopyToClipboard", 0x0004},
                    {"OfferDetails", 0x0008},
                    {"OpenDetailed", 0x0010},
                    {"StayOnTop", 0x0020},
                    {"OwnLook", 0x0040},
                    {"OfferSending", 0x0080},
                    {"OfferScreenshot", 0x0100},
                    {"OfferCustomButton", 0x0200}}),
        NumberField("AutoCloseSeconds", &V::AutoCloseSeconds),
        TextField("SupportURL", &V::SupportURL),
        TextField("HTMLTemplate", &V::HTMLTemplate),
        FlagsField("StackOptions", &V::StackOptions,
                   {{"ListProcedureOnlyEntries", 0x01},
                    {"ListEntriesWithoutLine", 0x02},
                    {"WalkRuntimeThreads", 0x04},
                    {"WalkSystemThreads", 0x08}}),
        FlagsField("BehaviourOptions", &V::BehaviourOptions,
                   {{"PauseRuntimeThreads", 0x0001},
                    {"KeepMainThreadRunning", 0x0002},
                    {"PauseSystemThreads", 0x0004},
                    {"UseMainModuleOptions", 0x0008},
                    {"CopyReportOnSendFailure", 0x0010},
                    {"SaveReportOnSendFailure", 0x0020},
                    {"SafeCallAndUnwinding", 0x0040},
                    {"CallStandardHandler", 0x0080},
                    {"ReportHandledExceptions", 0x0100}}),
        ChoiceField("ErrorFloodAction", &V::ErrorFloodAction, kActions),
        NumberField("ErrorFloodCount", &V::ErrorFloodCount),
        NumberField("ErrorFloodMinutes", &V::ErrorFloodMinutes),
        ChoiceField("ExceptionDialogType", &V::ExceptionDialogType,
                    {{"None", 0}, {"MessageBox", 1}, {"Classic", 2}, {"Detailed", 3}}),
        TextField("ProxyHost", &V::ProxyHost),
        TextField("ProxyUserID", &V::ProxyUserID),
        TextField("ProxyPassword", &V::ProxyPassword),
        NumberField("ProxyPort", &V::ProxyPort),
        TextField("TrackerUserID", &V::TrackerUserID),
        TextField("TrackerPassword", &V::TrackerPassword),
        TextField("TrackerAssignedTo", &V::TrackerAssignedTo),
        TextField("TrackerProject", &V::TrackerProject),
        TextField("TrackerCategory", &V::TrackerCategory),
        TextField("TrackerExtraID", &V::TrackerExtraID),
        TextField("ZipPassword", &V::ZipPassword),
        TextField("EMailMessage", &V::EMailMessage),
        TextField("LanguageName", &V::LanguageName),
    };
    return fields;
}

const std::vector<Field<TFaultExceptionFilter>>& FilterFields() {
    using F = TFaultExceptionFilter;
    static const std::vector<Field<F>> fields = {
        BoolField("Active", &F::Active),
        TextField("ClassName", &F::ClassName),
        TextField("CustomMessage", &F::CustomMessage),
        ChoiceField("ExceptionKind", &F::ExceptionKind,
                    {{"All", 0}, {"HandledOnly", 1}, {"UnhandledOnly", 2}}),
        ChoiceField("DialogChoice", &F::DialogChoice,
                    {{"None", 0},
                     {"OptionsDialogType", 1},
                     {"MessageBox", 2},
                     {"Classic", 3},
                     {"Detailed", 4}}),
        ChoiceField("HandlerChoice", &F::HandlerChoice,
                    {{"Ignore", 0}, {"StandardHandler", 1}, {"FaultTrap", 2}}),
        ChoiceField("ActionChoice", &F::ActionChoice, kActions),
    };
    return fields;
}

template <class Record>
const Field<Record>* FindField(const std::vector<Field<Record>>& fields, std::string_view name) {
    for (const Field<Record>& field : fields) {
        if (SameName(field.name, name)) {
            return &field;
        }
    }
    return nullptr;
}

} // namespace

bool SetOptionByName(TFaultOptionValues& values, std::string_view name, std::string_view value,
                     std::string& error) {
    const Field<TFaultOptionValues>* field = FindField(OptionFields(), name);
    if (!field) {
        error = "unknown option \"" + std::string(name) + "\"";
        return false;
    }
    if (const auto mistake = field->set(values, Trimmed(value))) {
        error = field->name + std::string(": ") + *mistake;
        return false;
    }
    return true;
}

bool OptionByName(const TFaultOptionValues& values, std::string_view name, std::string& value) {
    const Field<TFaultOptionValues>* field = FindField(OptionFields(), name);
    if (!field) {
        return false;
    }
    value = field->get(values);
    return true;
}

TFaultOptionsContent ParseOptionsIni(std::string_view text, std::vector<OptionsIniError>& errors) {
    enum class Section { None, Options, Texts, Filter, Unknown };
    TFaultOptionsContent content;
    Section section = Section::None;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        const auto fail = [&](std::string message) {
            errors.push_back({lineNumber, std::move(message)});
        };
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[') {
            const std::string name = line.back() == ']' ? line.substr(1, line.size() - 2) : "";
            if (SameName(name, "Options")) {
                section = Section::Options;
            } else if (SameName(name, "CustomizedTexts")) {
                section = Section::Texts;
            } else if (SameName(name, "Filter")) {
                section = Section::Filter;
                content.Filters.emplace_back();
            } else {
                section = Section::Unknown;
                fail("unknown section " + line + " (Options, CustomizedTexts or Filter)");
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            fail("\"" + line + "\" is no Name=Value line");
            continue;
        }
        const std::string key = Trimmed(std::string_view(line).substr(0, equals));
        const std::string value = Trimmed(std::string_view(line).substr(equals + 1));
        std::string error;
        switch (section) {
        case Section::None:
            fail("\"" + key + "\" stands before any section");
            break;
        case Section::Unknown:
            break;
        case Section::Options:
            if (!SetOptionByName(content.Values, key, value, error)) {
                fail(error);
            }
            break;
        case Section::Texts: {
            const std::optional<TextId> id = TextOfKey(key, error);
            if (!id) {
                fail(error);
                break;
            }
            if (auto stored = UnescapedText(value, error)) {
                content.Texts.SetText(*id, TextAsStreamed(*stored));
            } else {
                fail("text " + key + ": " + error);
            }
            break;
        }
        case Section::Filter: {
            const Field<TFaultExceptionFilter>* field = FindField(FilterFields(), key);
            if (!field) {
                fail("unknown filter field \"" + key + "\"");
            } else if (const auto mistake = field->set(content.Filters.back(), value)) {
                fail(field->name + std::string(": ") + *mistake);
            }
            break;
        }
        }
    }
    return content;
}

std::string WriteOptionsIni(const TFaultOptionsContent& content) {
    std::string out = "[Options]\n";
    for (const Field<TFaultOptionValues>& field : OptionFields()) {
        out += field.name + std::string("=") + field.get(content.Values) + "\n";
    }
    const TCustomizedTexts defaults;
    std::string texts;
    for (std::size_t i = 0; i < TCustomizedTexts::Count; ++i) {
        const TextId id = TextIdOfNumber(i);
        if (content.Texts.StoredText(id) != defaults.StoredText(id)) {
            texts +=
                std::string(TextName(id)) + "=" + EscapedText(content.Texts.StoredText(id)) + "\n";
        }
    }
    if (!texts.empty()) {
        out += "\n[CustomizedTexts]\n" + texts;
    }
    for (const TFaultExceptionFilter& filter : content.Filters) {
        out += "\n[Filter]\n";
        for (const Field<TFaultExceptionFilter>& field : FilterFields()) {
            out += field.name + std::string("=") + field.get(filter) + "\n";
        }
    }
    return out;
}

bool LooksLikeOptionsIni(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        return c == '[' || c == ';' || c == '#';
    }
    return false;
}

} // namespace faulttrap
