#include "crashreport/intercept/report_step.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/resolver_code_naming.h"

#include "crashreport/debuginfo/module_version.h"
#include "crashreport/disasm/assembler_listing.h"
#include "crashreport/report/bug_id.h"
#include "crashreport/report/cpu_capture.h"
#include "crashreport/report/process_list.h"
#include "crashreport/report/system_facts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace faulttrap {

namespace {

std::filesystem::path ProgramFile() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program;
}

std::string ComputerName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

ModuleFacts FactsOfModule(const std::string& path) {
    ModuleFacts facts;
    facts.fileName = std::filesystem::path(path).filename().string();
    facts.version = ModuleVersion(path);
    return facts;
}

// The compilation time stored in the program's own data.
std::optional<ReportClock::time_point> CompilationTimeOf(AddressResolver* resolver) {
    if (resolver == nullptr) {
        return std::nullopt;
    }
    for (const auto& module : resolver->Modules().Modules()) {
        if (module->isMainProgram) {
            if (const ModuleDebugData* data = resolver->ModuleData(*module)) {
                if (const auto seconds = UnixFromCompilationTime(data->data.compilationTime)) {
                    return ReportClock::from_time_t(static_cast<std::time_t>(*seconds));
                }
            }
        }
    }
    return std::nullopt;
}

std::vector<ReportThread> ReportThreadsOf(const TFaultStackList& stack) {
    std::vector<ReportThread> listed;
    for (const TFaultStackEntry& entry : stack) {
        bool known = false;
        for (const ReportThread& thread : listed) {
            known = known || thread.id == entry.threadId;
        }
        if (known) {
            continue;
        }
        ReportThread thread;
        thread.id = entry.threadId;
        thread.isMain = entry.threadId == static_cast<std::uint32_t>(::getpid());
        thread.priority = ThreadPriorityClass(entry.threadId);
        listed.push_back(thread);
    }
    return listed;
}

std::vector<ReportModule> ReportModulesOf(const TFaultModulesList& modules) {
    std::vector<ReportModule> listed;
    for (const auto& module : modules.Modules()) {
        if (!module->hasFile) {
            continue;
        }
        ReportModule entry;
        entry.handle = module->base;
        entry.path = module->path;
        entry.size = module->fileSize;
        entry.version = ModuleVersion(module->path);
        if (module->modified != 0) {
            entry.modified = std::chrono::system_clock::from_time_t(module->modified);
        }
        listed.push_back(std::move(entry));
    }
    return listed;
}

} // namespace

ReportSettings ReportSettingsOf(const TFaultModuleOptions& options) {
    ReportSettings settings;
    settings.reportFields = options.ReportFields().to_ullong();
    settings.stackOptions = options.StackOptions();
    const std::uint8_t report = options.ReportOptions();
    settings.collectModulesAndProcesses = report & report_options::CollectModulesAndProcesses;
    settings.collectAssemblerAndCPU = report & report_options::CollectAssemblerAndCPU;
    settings.noDuplicateErrors = report & report_options::NoDuplicateErrors;
    settings.newLogOnVersionChange = report & report_options::NewLogOnVersionChange;
    settings.computerNameInLogName = report & report_options::ComputerNameInLogName;
    settings.sendEntireLog = options.SendOptions() & send_options::SendEntireLog;
    settings.maxLogEntries = options.MaxLogEntries();
    settings.logFolder = options.LogFolder();
    settings.moduleFileName = options.ModuleFileName();
    return settings;
}

ReportTexts ReportTextsOf(const TFaultModuleOptions& options) {
    ReportTexts texts;
    for (std::size_t i = 0; i < texts.text.size(); ++i) {
        texts.text[i] = options.CustomizedText(TextIdOfNumber(i));
    }
    return texts;
}

std::vector<ReportStackEntry> ReportStackOf(const TFaultStackList& stack) {
    std::vector<ReportStackEntry> entries;
    entries.reserve(stack.size());
    for (const TFaultStackEntry& source : stack) {
        ReportStackEntry entry;
        entry.kind = static_cast<int>(source.kind);
        entry.address = source.address;
        if (source.module != nullptr) {
            entry.moduleName = std::filesystem::path(source.module->path).filename().string();
        }
        entry.unitName = source.unitName;
        entry.className = source.className;
        entry.procedureName = source.procedureName;
        entry.line = static_cast<int>(source.lineNumber);
        entry.lineOffset = static_cast<int>(source.lineOffset);
        entry.threadId = source.threadId;
        entry.ownStack = source.threadStackMark != 0;
        entry.exceptionAddress = source.exceptionMark != 0;
        entry.leak = source.leakMark != 0;
        entry.leakType = source.leakType;
        entry.leakSize = source.leakSize;
        entry.leakCount = source.leakCount;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string ProgramVersion() {
    return ModuleVersion(ProgramFile().string());
}

LogLocation LogLocationOf(const TFaultModuleOptions& options) {
    return LocateLogFile(ReportSettingsOf(options), ComputerName(), ProgramFile());
}

std::string LogFileName() {
    if (!IsActive()) {
        return {};
    }
    return LogLocationOf(MainModuleOptions()).chosen.string();
}

BugReport BuildReport(const ReportMaterial& material, const TFaultModuleOptions& options) {
    const ReportSettings settings = ReportSettingsOf(options);
    ReportParts parts;
    GeneralFacts& general = parts.general;
    const std::filesystem::path program = ProgramFile();
    general.startTime = material.startTime;
    general.mainModule = FactsOfModule(program.string());
    const std::vector<std::string>& commandLine = CommandLine();
    if (commandLine.size() > 1) {
        general.parameters.assign(commandLine.begin() + 1, commandLine.end());
    }
    general.compilationTime = CompilationTimeOf(material.resolver);
    general.exceptionTime = material.exceptionTime;
    general.exceptionAddress = material.address;
    if (material.modules != nullptr) {
        if (const TFaultModuleInfo* module = material.modules->Find(material.address)) {
            general.exceptionModule = FactsOfModule(module->path);
        }
    }
    general.exceptionClass = material.exception->className;
    general.exceptionMessage = material.message;
    general.bugId = material.bugId;
    general.consoleOrWebProgram = material.consoleOrWebProgram;
    general.activeControls.formClass = material.window.formClass;
    general.activeControls.formText = material.window.formText;
    general.activeControls.controlClass = material.focusClass;
    general.activeControls.controlText = material.focusText;
    general.system = CollectSystemFacts(program);
    general.system.displayMode = material.window.displayMode;
    general.system.displayDpi = material.window.displayDpi;
    parts.stack = ReportStackOf(*material.stack);
    parts.threads = ReportThreadsOf(*material.stack);
    if (material.modules != nullptr && settings.collectModulesAndProcesses) {
        parts.modules = ReportModulesOf(*material.modules);
        parts.processes = CollectProcesses();
    }
    if (settings.collectAssemblerAndCPU) {
        if (material.resolver != nullptr && material.address != 0) {
            parts.assemblerListing =
                AssemblerListing(material.address, TResolverCodeNaming(*material.resolver));
        }
        if (material.context) {
            parts.cpu = CaptureCpuState(*material.context, material.address);
        }
    }
    return BugReport::Build(parts, settings, ReportTextsOf(options));
}

} // namespace faulttrap
