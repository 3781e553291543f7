#include "crashreport/intercept/activation.h"

#include "crashreport/intercept/descriptor_output.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/fault_signals.h"
#include "crashreport/intercept/freeze_watch.h"
#include "crashreport/intercept/internal_failure.h"
#include "crashreport/intercept/last_chance.h"
#include "crashreport/intercept/library_forwarding.h"
#include "crashreport/intercept/runtime_state.h"
#include "crashreport/intercept/thread_hooks.h"
#include "crashreport/intercept/thread_list.h"
#include "crashreport/intercept/thread_pause.h"
#include "crashreport/intercept/thread_state.h"

#include "crashreport/debuginfo/dwarf_library.h"
#include "crashreport/debuginfo/library_preload.h"
#include "crashreport/debuginfo/module_debug_data.h"
#include "crashreport/options/current_options.h"
#include "crashreport/options/loaded_module.h"
#include "crashreport/options/shared_options_block.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace faulttrap {

namespace {

std::atomic<bool> active{false};
std::atomic<bool> windowed{false};
TFaultModuleOptionsEx* mainOptions = nullptr;

// The activation runs before this file's own dynamic initialisation, which would reset what it
// stored in a plain global (a std::string is not constant-initialised): kept on the heap.
std::string& StartupDirectoryStore() {
    static auto* directory = new std::string;
    return *directory;
}
std::vector<std::string>& CommandLineStore() {
    static auto* arguments = new std::vector<std::string>;
    return *arguments;
}

std::vector<std::string> ReadCommandLine() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    std::string::size_type start = 0;
    while (start < all.size()) {
        const std::string::size_type end = all.find('\0', start);
        arguments.push_back(all.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return arguments;
}

void EnterMainThread() {
    PrepareThreadState();
    SetUpAlternateSignalStack();
    TFaultThreadInfo main;
    main.id = CurrentThreadId();
    main.handle = ::pthread_self();
    main.isMain = true;
    main.resumed = true;
    main.stackTop = CurrentThreadState().stackTop;
    ThreadsList().Add(std::move(main));
}

// Off the program's start-up path, once it has had a moment to start: the libraries a report
// needs are loaded before a fault can need them (a fault inside the dynamic loader holds its
// lock), and the options blocks that crashed processes of this user left behind are removed.
constexpr std::chrono::milliseconds kPreparationDelay{100};

void StartBackgroundPreparation() {
    AnnounceReportLibraryPreload();
    StartOwnThread([] {
        PreloadDebugLibraries(kPreparationDelay);
        RemoveBlocksOfEndedProcesses();
    }).detach();
}

void Activation(bool forceActive) {
    char directory[4096];
    StartupDirectoryStore() = ::getcwd(directory, sizeof directory) ? directory : "";
    CommandLineStore() = ReadCommandLine();
    // The module that carries this FaultTrap: the program, or a library loaded by it. Only its
    // header and options: the debug information is unpacked when a report first resolves an
    // address in it.
    const std::optional<ModuleDebugData> data =
        LoadModuleDebugData(SubsystemModule().Path, LoadPurpose::listing, {});
    if (!data && !forceActive) {
        return; // no subsystem data: FaultTrap stays inactive and installs nothing
    }
    auto options = std::make_unique<TFaultModuleOptionsEx>(SubsystemModule().Path, true);
    if (data && !data->data.optionsStream.empty()) {
        const std::string_view stream(
            reinterpret_cast<const char*>(data->data.optionsStream.data()),
            data->data.optionsStream.size());
        options->LoadFromBytes(stream, data->data.version);
    }
    mainOptions = options.release();
    if (const TExceptionManagerExport host = FindHostExceptionManager()) {
        // The program's hooks see every throw, fault and thread of the process already.
        StartForwarding(host);
        return;
    }
    SetModuleOptionsLookup([](const TLoadedModule& module) -> TFaultModuleOptionsEx* {
        return module.Handle == SubsystemModule().Handle ? mainOptions : nullptr;
    });
    RunTimeState().startTime = std::chrono::system_clock::now();
    EnterMainThread();
    TakeAddressSpaceReserve();
    active = true;
    InstallLastChanceHandler();
    InstallPauseSignal();
    InstallFaultSignals();
    StartBackgroundPreparation();
    SetFreezeWatchSwitch([](bool run) {
        if (run) {
            StartFreezeWatch();
        } else {
            StopFreezeWatch();
        }
    });
    if (mainOptions->FreezeWatch() && mainOptions->HandlingActive()) {
        StartFreezeWatch();
    }
}

void RemoveFinalOptionsFile() {
    std::error_code ignored;
    std::filesystem::remove(FinalOptionsFileName(), ignored);
}

// The options file serves a memory tracker that reports after finalisation; it goes with the
// process's last exit handler, which runs after every finaliser and exit handler before it.
void SaveFinalOptions() {
    if (mainOptions == nullptr) {
        return;
    }
    try {
        mainOptions->SaveToFile(FinalOptionsFileName());
        static const bool removalArranged = std::atexit(RemoveFinalOptionsFile) == 0;
        (void)removalArranged;
    } catch (const std::exception&) {
    }
    mainOptions->Unpublish();
}

} // namespace

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
bool IsActive() {
    return active.load(std::memory_order_relaxed);
}

TFaultModuleOptionsEx& MainModuleOptions() {
    if (mainOptions == nullptr) {
        throw std::logic_error("FaultTrap is not active");
    }
    return *mainOptions;
}

const std::string& StartupDirectory() {
    return StartupDirectoryStore();
}
const std::vector<std::string>& CommandLine() {
    return CommandLineStore();
}

bool IsWindowedProgram() {
    return windowed;
}
void SetWindowedProgram(bool value) {
    windowed = value;
}

bool IsCgiProgram() {
    return !IsWindowedProgram() && std::getenv("REQUEST_METHOD") != nullptr;
}

std::string FinalOptionsFileName() {
    char name[64];
    std::snprintf(name, sizeof name, "%08X%016lX.bin", static_cast<unsigned>(::getpid()),
                  static_cast<unsigned long>(SubsystemModule().Handle));
    return (std::filesystem::temp_directory_path() / name).string();
}

void Activate(bool forceActive) {
    if (IsActive()) {
        return;
    }
    try {
        Activation(forceActive);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Critical error at: \"%s\"\r\nError: \"%s\".\n", "ExceptionLog.Init",
                     error.what());
    }
}

void Finalise() {
    if (!IsActive()) {
        return;
    }
    try {
        WaitForProcessing();
        StopFreezeWatch();
        SetFreezeWatchSwitch(nullptr);
        RemoveFaultSignals();
        RemovePauseSignal();
        RemoveLastChanceHandler();
        active = false;
        SetModuleOptionsLookup(nullptr);
        SaveFinalOptions();
        ReleaseAddressSpaceReserve();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Critical error at: \"%s\"\r\nError: \"%s\".\n", "ExceptionLog.Done",
                     error.what());
    }
}

void FinaliseForTermination(bool afterFault) {
    // After a fault the faulting thread may hold a stream's lock: its buffered output is lost
    // rather than the end of the process.
    if (!afterFault) {
        // A reader of the program's output that has gone does not turn the end into SIGPIPE.
        const HeldBackBrokenPipe heldBack;
        std::fflush(nullptr);
    }
    // The process ends at once: no memory tracker reports after it, so no options file.
    if (mainOptions != nullptr) {
        mainOptions->Unpublish();
    }
}

namespace {

// Before the program's own start-up code: the earliest priority a program may use, so that
// every static initialiser of the program already runs under FaultTrap.
__attribute__((constructor(101))) void ActivateAtStartUp() {
    Activate(false);
}

// After the program's own finalisation (static destructors and atexit handlers run first).
__attribute__((destructor(101))) void FinaliseAtExit() {
    Finalise();
}

} // namespace

} // namespace faulttrap
