#include "crashreport/intercept/leak_report.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/fault_classes.h"
#include "crashreport/intercept/internal_failure.h"
#include "crashreport/intercept/report_resolver.h"
#include "crashreport/intercept/runtime_state.h"
#include "crashreport/intercept/thread_list.h"
#include "crashreport/intercept/thread_state.h"

#include "crashreport/options/customized_texts.h"

#include <filesystem>
#include <memory>

namespace faulttrap {

namespace {

// The leaks added since the last reset; the modules stay loaded while the tracker reports.
struct TLeakList {
    std::unique_ptr<TFaultModulesList> modules;
    std::unique_ptr<TReportResolver> resolver;
    TFaultStackList entries;
    std::uint64_t totalSize = 0;
    std::uint64_t totalCount = 0;
};

TLeakList& Leaks() {
    static auto* leaks = new TLeakList;
    return *leaks;
}

void ClearRunTimeState() {
    TFaultRunTimeState& state = RunTimeState();
    state.lastReport.clear();
    state.deliveryReport.clear();
    state.generalSections.clear();
    state.lastMessage.clear();
    state.lastClass.clear();
    state.customMessage.clear();
    state.bugId.clear();
    state.exceptionCount = 0;
    state.errorTimes.clear();
    state.duplicate = false;
    state.reproduceSteps.clear();
    state.pendingAction = TFaultAction::None;
}

// A customised text of the program, or its default while FaultTrap is off.
std::string Text(TextId id) {
    return IsActive() ? MainModuleOptions().CustomizedText(id) : TCustomizedTexts::DefaultText(id);
}

std::string LeakMessage(std::uint64_t size, std::uint64_t count) {
    return Text(TextId::MemoryLeak) + ": " + Text(TextId::LeakTotalSize) + "=" +
           std::to_string(size) + " - " + Text(TextId::LeakCount) + "=" + std::to_string(count);
}

} // namespace

void ResetLeaks() {
    try {
        if (!IsActive()) {
            ThreadsList().Clear();
            Activate();
        }
        if (!IsActive()) {
            return;
        }
        const std::string optionsFile = FinalOptionsFileName();
        if (std::filesystem::exists(optionsFile)) {
            MainModuleOptions().LoadFromFile(optionsFile);
        }
        ClearRunTimeState();
        TLeakList& leaks = Leaks();
        leaks.entries.clear();
        leaks.totalSize = 0;
        leaks.totalCount = 0;
        leaks.resolver.reset();
        leaks.modules = std::make_unique<TFaultModulesList>(TFaultModulesList::Current());
        leaks.resolver = std::make_unique<TReportResolver>(*leaks.modules);
    } catch (...) {
        HandleInternalFailure(std::current_exception(), "Internal_ResetLeaks");
    }
}

void AddLeak(const std::string& typeName, std::uint64_t totalSize, std::uint64_t count,
             std::span<const std::uintptr_t> returnAddresses) {
    try {
        TLeakList& leaks = Leaks();
        if (!leaks.resolver) {
            return;
        }
        TFaultStackList entries;
        for (const std::uintptr_t returnAddress :
             returnAddresses.first(std::min(returnAddresses.size(), kLeakAddresses))) {
            if (returnAddress == 0) {
                continue;
            }
            // The call instruction lies just before the return address.
            TFaultStackEntry entry = leaks.resolver->Resolve(returnAddress - 1);
            if (entries.empty()) {
                if (entry.procedureName.empty()) {
                    continue;
                }
                if (entry.lineNumber == 0) {
                    return;
                }
            }
            entry.leakMark = 1;
            entry.leakType = typeName;
            entry.leakSize = totalSize;
            entry.leakCount = count;
            entries.push_back(std::move(entry));
        }
        if (entries.empty()) {
            return;
        }
        leaks.entries.insert(leaks.entries.end(), entries.begin(), entries.end());
        leaks.totalSize += totalSize;
        leaks.totalCount += count;
    } catch (...) {
        HandleInternalFailure(std::current_exception(), "Internal_AddLeak");
    }
}

void ShowLeaks() {
    try {
        TLeakList& leaks = Leaks();
        if (!leaks.entries.empty() && IsActive()) {
            TFaultModuleOptionsEx& options = MainModuleOptions();
            options.SetReportOptions(static_cast<std::uint8_t>(
                options.ReportOptions() & ~report_options::CollectAssemblerAndCPU));
            const FaultException exception = DescribeException(std::make_exception_ptr(
                EMemoryLeak(LeakMessage(leaks.totalSize, leaks.totalCount))));
            TExceptNotifyParams params;
            params.LanguageException = false;
            params.ThreadId = CurrentThreadId();
            params.PreparedStack = leaks.entries;
            ExceptionManagerWith(exception, leaks.entries.front().address, TExceptionOrigin::Thread,
                                 std::move(params), TExceptionVerdict::Unhandled);
        }
        leaks.entries.clear();
        leaks.resolver.reset();
        leaks.modules.reset();
        Finalise();
    } catch (...) {
        HandleInternalFailure(std::current_exception(), "Internal_ShowLeaks");
    }
}

void RaiseMemoryOverrun() {
    throw EMemoryOverrun(Text(TextId::MemoryOverrunLeak));
}

void RaiseMultiFree() {
    throw EMultiFree(Text(TextId::MultiFreeLeak));
}

} // namespace faulttrap
