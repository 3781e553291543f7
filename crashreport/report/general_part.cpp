#include "crashreport/report/general_part.h"

#include "crashreport/report/log_item.h"
#include "crashreport/report/report_text.h"
#include "crashreport/report/value_formats.h"

#include <functional>

namespace faulttrap {

namespace {

std::string Quoted(const std::vector<std::string>& parameters) {
    std::string text;
    for (const auto& parameter : parameters) {
        if (!text.empty()) {
            text += ' ';
        }
        text += '"' + parameter + '"';
    }
    return text;
}

// Each adapter's part followed by " - ", without the last one.
std::string PerAdapter(const std::vector<NetworkAdapterFacts>& adapters,
                       const std::function<std::string(const NetworkAdapterFacts&)>& part) {
    std::string text;
    for (const auto& adapter : adapters) {
        text += part(adapter) + " - ";
    }
    if (!text.empty()) {
        text.resize(text.size() - 3);
    }
    return text;
}

template <typename T, typename Format>
std::string Optional(const std::optional<T>& value, Format format) {
    return value ? format(*value) : std::string();
}

} // namespace

std::string NameAndDescription(const ModuleFacts& module) {
    if (module.description.empty()) {
        return module.fileName;
    }
    return module.fileName + " - (" + module.description + ")";
}

std::string ShownVersion(const std::string& version) {
    return version == "0.0.0.0" ? std::string() : version;
}

std::string GeneralPart(const GeneralFacts& facts, const ReportSettings& settings,
                        const ReportTexts& texts) {
    TLogItem items(0);
    int bit = 0;
    // The headings and items are written in the order of their labels' text numbers.
    std::size_t label = TextNumber(TextId::ApplicationSection);
    const auto nextLabel = [&] { return texts[TextIdOfNumber(label++)]; };
    const auto heading = [&] { items.AddHeading(nextLabel()); };
    const auto item = [&](const std::string& value, bool written = true) {
        items.AddItem(nextLabel(), value, written && settings.Shows(bit));
        ++bit;
    };
    const SystemFacts& system = facts.system;

    heading();
    item(FormatReportDate(facts.startTime));
    item(NameAndDescription(facts.mainModule));
    item(ShownVersion(facts.mainModule.version));
    item(Quoted(facts.parameters));
    item(Optional(facts.compilationTime, FormatReportDate));
    item(FormatDuration(std::chrono::duration_cast<std::chrono::milliseconds>(facts.exceptionTime -
                                                                              facts.startTime)));

    heading();
    item(FormatReportDate(facts.exceptionTime));
    item(facts.exceptionAddress == 0 ? std::string() : FormatAddress(facts.exceptionAddress));
    item(NameAndDescription(facts.exceptionModule));
    item(ShownVersion(facts.exceptionModule.version));
    item(facts.exceptionClass);
    item(facts.exceptionMessage);
    item(facts.bugId);
    item("1");
    item("New");
    item("");

    heading();
    item(system.userId);
    item(system.registeredOwner);
    item(facts.email);
    // "Company" (3.4) answers to bit 20 and "Privileges" (3.5) to bit 19.
    bit = 20;
    item(system.company);
    bit = 19;
    item(system.privileges);
    bit = 21;

    heading();
    const bool windowed = !facts.consoleOrWebProgram;
    item(facts.activeControls.formClass, windowed);
    item(facts.activeControls.formText, windowed);
    item(facts.activeControls.controlClass, windowed);
    item(facts.activeControls.controlText, windowed);

    heading();
    item(system.computerName);
    item(Optional(system.totalMemory, FormatMegabytes));
    item(Optional(system.freeMemory, FormatMegabytes));
    item(Optional(system.totalDisk, FormatGigabytes));
    item(Optional(system.freeDisk, FormatGigabytes));
    item(Optional(system.systemUpTime, FormatDuration));
    item(system.processor);
    item(system.displayMode);
    item(system.displayDpi);
    item(system.videoCard);
    item(system.printer);

    heading();
    item(system.osType);
    item(system.osBuild);
    item(system.osUpdate);
    item(system.language);
    item(system.charset);

    heading();
    const auto& adapters = system.adapters;
    item(PerAdapter(adapters, [](const auto& a) { return a.address; }));
    item(PerAdapter(adapters, [](const auto& a) { return a.mask; }));
    item(PerAdapter(adapters, [](const auto& a) { return a.gateway; }));
    item(PerAdapter(adapters, [](const auto& a) { return a.dns1; }));
    item(PerAdapter(adapters, [](const auto& a) { return a.dns2; }));
    item(PerAdapter(adapters, [](const auto& a) { return PadRight(a.dhcp ? "ON" : "OFF", 15); }));

    return std::string(kReportFirstLine) + std::string(kCrLf) + std::string(kCrLf) + items.Format();
}

} // namespace faulttrap
