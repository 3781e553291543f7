#include "crashreport/report/module_sections.h"

#include "crashreport/report/report_text.h"
#include "crashreport/report/text_table.h"
#include "crashreport/report/value_formats.h"

#include <filesystem>

namespace faulttrap {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ModulesSection(const std::vector<ReportModule>& modules, const ReportTexts& texts) {
    TextTable table({texts[TextId::ModuleHandle], texts[TextId::ModuleFileName],
                     texts[TextId::ModuleDescription], texts[TextId::ModuleListVersion],
                     texts[TextId::ModuleSize], texts[TextId::ModuleModified],
                     texts[TextId::ModulePath]},
                    {static_cast<std::size_t>(kAddressDigits)});
    std::vector<TableRow> rows;
    for (const auto& module : modules) {
        rows.push_back({Hex(module.handle, kAddressDigits),
                        std::filesystem::path(module.path).filename().string(), module.description,
                        module.version, std::to_string(module.size),
                        module.modified ? FormatFileTime(*module.modified) : std::string(),
                        FolderOf(module.path)});
        table.AddRow(rows.back());
    }
    // The handle is zero-padded to its column, however wide the column grew.
    const int handleWidth = static_cast<int>(table.Widths()[0]);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i][0] = Hex(modules[i].handle, handleWidth);
        lines.push_back(table.Row(rows[i]));
    }
    return table.Render(texts[TextId::ModulesInformation], lines);
}

std::string ProcessesSection(const std::vector<ReportProcess>& processes,
                             const ReportTexts& texts) {
    TextTable table({texts[TextId::ProcessId], texts[TextId::ProcessName],
                     texts[TextId::ProcessDescription], texts[TextId::ProcessVersion],
                     texts[TextId::ProcessMemory], texts[TextId::ProcessPriority],
                     texts[TextId::ProcessThreads], texts[TextId::ProcessPath]},
                    {});
    for (const auto& process : processes) {
        table.AddRow({std::to_string(process.id), process.name, process.description,
                      process.version, std::to_string(process.memory), process.priority,
                      process.threads == 0 ? "??" : std::to_string(process.threads),
                      process.folder});
    }
    return table.Render(texts[TextId::ProcessesInformation]);
}

} // namespace faulttrap
