// The crash test program: one switch per kind of failure, each run by the crash tests. The line
// of each failure carries a "FAULT:" mark that the tests look up to check the report's call
// stack.
//
//   crashers <failure> [--worker] [--log FILE] [--dialog N] [--smtp-port N] [option switches]
//
// --no-dialog-shown: the message the dialog would show is printed and the dialog skipped.
//
// --start-log FILE: every start appends one line to FILE, and the program goes on.
// --handler fault|throw|sleep: ExceptionNotify writes through a null pointer, throws, or sleeps
// for ever. --deadline N: the last-resort deadline after a fault. --linger MS: the program
// sleeps that long before it ends.
// --restart-marker FILE: every start appends one line to FILE, its directory, its blocked signals
// (as /proc/self/status shows them) and its arguments, tab-separated; from the second start on
// the program then ends at once. --chdir DIR: the program leaves its start-up directory first.

#include "crashreport/dialogs/dialog_helper.h"
#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/events.h"
#include "crashreport/intercept/fault_signals.h"
#include "crashreport/intercept/program_exit.h"
#include "crashreport/intercept/runtime_state.h"
#include "crashreport/intercept/thread_hooks.h"
#include "crashreport/qt/fault_application.h"

#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using faulttrap::MainModuleOptions;

volatile int zero = 0;
volatile int ten = 10;
volatile int quotient = 0;
volatile int* volatile nowhere = nullptr;
volatile std::uintptr_t unmapped = 0x10;
volatile int deepest = 1 << 30;

__attribute__((noinline)) void NullWrite() {
    *nowhere = 1; // FAULT: NullWrite
}

// Code outside any module: a copy of "mov dword ptr [0], 1" in an anonymous page.
void WriteFromOutsideAnyModule() {
    static const unsigned char code[] = {0xC7, 0x04, 0x25, 0, 0, 0, 0, 1, 0, 0, 0, 0xC3};
    void* page = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE | PROT_EXEC,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) {
        std::exit(3);
    }
    std::memcpy(page, code, sizeof code);
    std::printf("code at %p\n", page);
    std::fflush(stdout);
    reinterpret_cast<void (*)()>(page)();
}

__attribute__((noinline)) void ThrowWithControls() {
    throw std::runtime_error("tab\there, bell\a, escape\x1b; a line ending in colon:\r\n"
                             "   indented\r\n.\r\nlast"); // FAULT: ThrowWithControls
}

// A frame whose name holds the table's own column bar.
struct Flags {
    int bits = 0;
};

__attribute__((noinline)) Flags operator|(Flags left, Flags right) {
    if (left.bits & right.bits) {
        throw std::invalid_argument("overlapping flags"); // FAULT: operator|
    }
    return {left.bits | right.bits};
}

volatile int flagBits = 1;

__attribute__((noinline)) int ReadUnmapped() {
    return *reinterpret_cast<volatile int*>(unmapped); // FAULT: ReadUnmapped
}

__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth == deepest) {
        return 0;
    }
    return Recurse(depth + 1) + frame[0]; // FAULT: Recurse
}

__attribute__((noinline)) void DivideByZero() {
    quotient = ten / zero; // FAULT: DivideByZero
}

__attribute__((noinline)) void Abort() {
    std::abort(); // FAULT: Abort
}

__attribute__((noinline)) int At(const std::vector<int>& values, std::size_t index) {
    return values.at(index);
}

__attribute__((noinline)) void OutOfRange() {
    const std::vector<int> values(3);
    std::printf("%d\n", At(values, 7)); // FAULT: OutOfRange
}

__attribute__((noinline)) void ThrowRuntimeError() {
    throw std::runtime_error("escaped the thread"); // FAULT: ThrowRuntimeError
}

__attribute__((noinline)) void ThrowLogicError() {
    throw std::logic_error("thrown inside noexcept");
}

__attribute__((noinline)) void ThrowInNoexcept() noexcept {
    ThrowLogicError(); // FAULT: ThrowInNoexcept
}

__attribute__((noinline)) void FaultInsideStdio() {
    // The fault comes from inside printf, while this thread holds the lock of stdout.
    std::printf("%d: %s\n", 1, reinterpret_cast<char*>(unmapped)); // FAULT: FaultInsideStdio
    quotient = 0; // keeps printf a call of its own, not a jump into it
}

// A block freed twice: malloc finds out while it holds its arena's lock, and aborts there.
__attribute__((noinline)) void CorruptHeap() {
    char* volatile block = static_cast<char*>(std::malloc(0x500));
    void* guard = std::malloc(0x500);
    std::free(block);
    std::free(block); // FAULT: CorruptHeap
    std::free(guard);
}

// Another process sends this thread SIGSEGV while it waits.
__attribute__((noinline)) void WaitForSentSignal() {
    const pid_t target = ::getpid();
    const pid_t thread = ::gettid();
    const pid_t sender = ::fork();
    if (sender == 0) {
        const timespec pause{0, 200'000'000};
        ::nanosleep(&pause, nullptr);
        ::syscall(SYS_tgkill, target, thread, SIGSEGV);
        ::_exit(0);
    }
    std::printf("sender %d\n", static_cast<int>(sender));
    std::fflush(stdout);
    for (;;) {
        ::pause(); // FAULT: WaitForSentSignal
    }
}

// Eight threads write through a null pointer at the same moment.
void FaultOnEightThreads() {
    constexpr int kThreads = 8;
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&] {
            ++ready;
            while (ready.load() < kThreads) {
            }
            NullWrite();
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

__attribute__((noinline)) void CrashInOpenedLibrary() {
    void* library = ::dlopen(CRASH_LIBRARY, RTLD_NOW);
    const auto crash = reinterpret_cast<void (*)()>(::dlsym(library, "CrashInLibrary"));
    crash(); // FAULT: CrashInOpenedLibrary
    std::printf("the library returned\n");
}

__attribute__((noinline)) void OpenFaultingLibrary() {
    void* library = ::dlopen(CRASH_INITIALISER, RTLD_NOW); // FAULT: OpenFaultingLibrary
    std::printf("the library opened: %p\n", library);
}

__attribute__((noinline)) void FreezeMainLoop() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1800);
    while (std::chrono::steady_clock::now() < until) { // FAULT: FreezeMainLoop
    }
}

__attribute__((noinline)) void ThrowInSlot() {
    throw std::runtime_error("escaped a slot"); // FAULT: ThrowInSlot
}

void* RawThreadRoutine(void*) {
    ThrowRuntimeError();
    return nullptr;
}

void RunRawThread() {
    pthread_t thread;
    pthread_create(&thread, nullptr, RawThreadRoutine, nullptr);
    void* result = nullptr;
    pthread_join(thread, &result);
    std::printf("raw thread ended with %ld\n", reinterpret_cast<long>(result));
}

void RunStdThread() {
    std::thread thread(ThrowRuntimeError);
    thread.join();
    std::printf("std::thread ended\n");
}

// A handled exception handed to FaultTrap by the program itself.
__attribute__((noinline)) void ReportHandled(int number) {
    try {
        throw std::runtime_error("handled number " +
                                 std::to_string(number)); // FAULT: ReportHandled
    } catch (...) {
        faulttrap::ExceptionManager(std::current_exception());
    }
}

int RunQt(int argc, char** argv, const std::function<void()>& body, int startAfterMs,
          int quitAfterMs) {
    faulttrap::TFaultApplication application(argc, argv);
    QWidget window;
    window.resize(200, 100);
    window.show();
    QTimer::singleShot(startAfterMs, body);
    QTimer::singleShot(quitAfterMs, &application, &QApplication::quit);
    return QApplication::exec();
}

// A titled window whose line edit holds the focus when the slot throws.
int RunQtForm(int argc, char** argv) {
    faulttrap::TFaultApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Cadastro de teste");
    window.resize(300, 100);
    QLineEdit edit(&window);
    edit.setText("digitado antes da falha, ação");
    window.show();
    window.activateWindow();
    edit.setFocus();
    QTimer::singleShot(100, ThrowInSlot);
    QTimer::singleShot(3000, &application, &QApplication::quit);
    return QApplication::exec();
}

struct Arguments {
    std::string failure;
    bool worker = false;
    std::vector<std::string> rest;
};

// Runs `failure` on the main thread or, with --worker, on a std::thread.
void Run(const std::function<void()>& failure, bool worker) {
    if (!worker) {
        failure();
        return;
    }
    std::thread thread(failure);
    thread.join();
}

std::string BlockedSignals() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigBlk:", 0) == 0) {
            return line.substr(line.find_first_not_of(" \t", 7));
        }
    }
    return "";
}

// The restart marker records each start; true from the second start on.
bool StartedBefore(const std::string& marker, int argc, char** argv) {
    std::ifstream in(marker);
    std::string line;
    int starts = 0;
    while (std::getline(in, line)) {
        ++starts;
    }
    char directory[4096];
    std::ofstream out(marker, std::ios::app);
    out << (::getcwd(directory, sizeof directory) ? directory : "") << '\t' << BlockedSignals();
    for (int i = 1; i < argc; ++i) {
        out << '\t' << argv[i];
    }
    out << '\n';
    return starts > 0;
}

void ApplyOption(const std::string& name, const std::string& value) {
    auto& options = MainModuleOptions();
    if (name == "--log") {
        options.SetLogFolder(value);
    } else if (name == "--dialog") {
        options.SetExceptionDialogType(static_cast<faulttrap::TFaultDialogType>(std::stoi(value)));
    } else if (name == "--no-duplicates") {
        options.SetReportOptions(options.ReportOptions() |
                                 faulttrap::report_options::NoDuplicateErrors);
    } else if (name == "--report-fields") {
        options.SetReportFields(faulttrap::TFaultReportFields(std::stoull(value, nullptr, 0)));
    } else if (name == "--report-options") {
        options.SetReportOptions(static_cast<std::uint8_t>(std::stoi(value, nullptr, 0)));
    } else if (name == "--behaviour") {
        options.SetBehaviourOptions(static_cast<std::uint16_t>(std::stoi(value, nullptr, 0)));
    } else if (name == "--flood-action") {
        options.SetErrorFloodAction(static_cast<faulttrap::TFaultAction>(std::stoi(value)));
    } else if (name == "--flood-count") {
        options.SetErrorFloodCount(std::stoi(value));
    } else if (name == "--flood-minutes") {
        options.SetErrorFloodMinutes(std::stoi(value));
    } else if (name == "--freeze-timeout") {
        options.SetFreezeTimeout(std::stoi(value));
    } else if (name == "--smtp-port") {
        // Delivery by SMTP to a server of the test, with the send window, the screenshot and the
        // result message asked for.
        options.SetEMailSendMode(faulttrap::TFaultEMailSendMode::SMTPClient);
        options.SetSMTPHost("127.0.0.1");
        options.SetSMTPPort(static_cast<std::uint16_t>(std::stoi(value)));
        options.SetSMTPFrom("crashers@example.com");
        options.SetEMailAddresses("developers@example.org");
        options.SetSendOptions(faulttrap::send_options::ShowSendProgress |
                               faulttrap::send_options::ShowSendResult |
                               faulttrap::send_options::SendScreenshot);
    } else if (name == "--filter") {
        // CLASS,KIND,HANDLER,DIALOG,ACTION[,CUSTOM MESSAGE]
        faulttrap::TFaultExceptionFilter filter;
        char className[128] = {};
        char message[256] = {};
        int kind = 0, handler = 2, dialog = 1, action = 0;
        std::sscanf(value.c_str(), "%127[^,],%d,%d,%d,%d,%255[^\n]", className, &kind, &handler,
                    &dialog, &action, message);
        filter.ClassName = className;
        filter.CustomMessage = message;
        filter.ExceptionKind = static_cast<faulttrap::TFaultExceptionKind>(kind);
        filter.HandlerChoice = static_cast<faulttrap::TFaultHandlerChoice>(handler);
        filter.DialogChoice = static_cast<faulttrap::TFaultFilterDialog>(dialog);
        filter.ActionChoice = static_cast<faulttrap::TFaultAction>(action);
        options.ExceptionsFilters().Add(filter);
    }
}

} // namespace

int main(int argc, char** argv) {
    // The dialogs of a crash on the GUI thread are shown by a helper run of this program.
    if (const int helper = faulttrap::RunDialogHelperIfRequested(argc, argv); helper >= 0) {
        return helper;
    }
    if (argc < 2 || !faulttrap::IsActive()) {
        std::fprintf(stderr, "usage: crashers <failure> [--worker] [--log FILE] ...\n");
        return 2;
    }
    Arguments arguments;
    arguments.failure = argv[1];
    std::string marker;
    std::string directory;
    int count = 1;
    std::string handlerFailure;
    int lingerMs = 0;
    bool clearHandleIt = false;
    bool retryLog = false;
    bool skipDialog = false;
    for (int i = 2; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--worker") {
            arguments.worker = true;
        } else if (name == "--no-duplicates") {
            ApplyOption(name, "");
        } else if (name == "--clear-handle-it") {
            clearHandleIt = true;
        } else if (name == "--retry-log") {
            retryLog = true;
        } else if (name == "--no-dialog-shown") {
            skipDialog = true;
        } else if (i + 1 < argc) {
            const std::string value = argv[++i];
            if (name == "--restart-marker") {
                marker = value;
            } else if (name == "--start-log") {
                std::ofstream(value, std::ios::app) << ::getpid() << '\n';
            } else if (name == "--handler") {
                handlerFailure = value;
            } else if (name == "--deadline") {
                faulttrap::SetFaultDeadline(std::chrono::seconds(std::stoi(value)));
            } else if (name == "--linger") {
                lingerMs = std::stoi(value);
            } else if (name == "--chdir") {
                directory = value;
            } else if (name == "--count") {
                count = std::stoi(value);
            } else {
                ApplyOption(name, value);
            }
        }
    }
    if (!marker.empty() && StartedBefore(marker, argc, argv)) {
        return 0;
    }
    if (!directory.empty() && ::chdir(directory.c_str()) != 0) {
        return 2;
    }

    faulttrap::TFaultTrap handlers;
    int notified = 0;
    handlers.ExceptionNotify = [&](faulttrap::TFaultExceptionRecord&, bool& handleIt) {
        ++notified;
        if (clearHandleIt) {
            handleIt = false;
        }
        if (handlerFailure == "fault") {
            *nowhere = 4; // FAULT: HandlerFault
        }
        if (handlerFailure == "throw") {
            throw std::runtime_error("the handler gave up");
        }
        if (handlerFailure == "sleep") {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::hours(1));
            }
        }
    };
    int logAttempts = 0;
    handlers.ExceptionActionNotify = [&](faulttrap::TFaultExceptionRecord& record, int action,
                                         bool& execute) {
        // The message the dialog would show; with --no-dialog-shown the dialog itself is skipped.
        if (skipDialog && action == faulttrap::fault_actions::BeforeDialog) {
            std::printf("dialog message: %s\n", faulttrap::CurrentExceptionMessage().c_str());
            execute = false;
        }
        // The first attempt to write the log fails: for a moment the log lies under a file.
        if (retryLog && action == faulttrap::fault_actions::BeforeLog && logAttempts++ == 0) {
            const std::string blocked = MainModuleOptions().LogFolder() + ".blocked";
            std::ofstream(blocked) << "a file, not a folder\n";
            record.ModuleOptions->SetLogFolder(blocked + "/crash.ftlog");
        }
    };
    handlers.ExceptionErrorNotify = [&](faulttrap::TFaultExceptionRecord& record,
                                        faulttrap::TFaultTrapErrorCode code, const std::string&,
                                        bool& retry) {
        std::printf("error notify %s\n", faulttrap::ErrorCodeName(code));
        if (retryLog && code == faulttrap::TFaultTrapErrorCode::eeLogError) {
            record.ModuleOptions->SetLogFolder(MainModuleOptions().LogFolder());
            retry = true;
        }
    };

    const std::map<std::string, std::function<void()>> failures{
        {"null-write", NullWrite},
        {"read-unmapped", [] { ReadUnmapped(); }},
        {"outside-module", WriteFromOutsideAnyModule},
        {"controls-message", ThrowWithControls},
        {"operator-bar", [] { std::printf("%d\n", (Flags{flagBits} | Flags{flagBits}).bits); }},
        {"stack-overflow", [] { Recurse(0); }},
        {"divide-by-zero", DivideByZero},
        {"abort", Abort},
        {"out-of-range", OutOfRange},
        {"noexcept-throw", ThrowInNoexcept},
        {"handled",
         [&] {
             for (int i = 0; i < count; ++i) {
                 ReportHandled(i);
             }
         }},
        {"stdio-fault", FaultInsideStdio},
        {"malloc-fault", CorruptHeap},
        {"sent-signal", WaitForSentSignal},
        {"eight-threads", FaultOnEightThreads},
        {"library-fault", CrashInOpenedLibrary},
        {"library-initialiser", OpenFaultingLibrary},
        // FaultTrap's own code faulting: here on one of its threads.
        {"own-thread-fault", [] { faulttrap::StartOwnThread(NullWrite).join(); }},
        {"caught-silently",
         [] {
             try {
                 ThrowRuntimeError();
             } catch (const std::exception&) {
             }
         }},
    };
    const std::string& failure = arguments.failure;
    if (failure == "std-thread") {
        RunStdThread();
    } else if (failure == "raw-pthread") {
        RunRawThread();
    } else if (failure == "qt-slot") {
        return RunQt(argc, argv, ThrowInSlot, 0, 300);
    } else if (failure == "qt-form-slot") {
        return RunQtForm(argc, argv);
    } else if (failure == "qt-null-write") {
        return RunQt(argc, argv, NullWrite, 0, 10000);
    } else if (failure == "event-handler") {
        // The event handler of the first exception raises a second one.
        handlers.ExceptionNotify = [&](faulttrap::TFaultExceptionRecord&, bool&) {
            ++notified;
            ThrowInSlot();
        };
        Run([] { ReportHandled(0); }, arguments.worker);
    } else if (failure == "frozen-main-loop") {
        MainModuleOptions().SetFreezeWatch(true);
        return RunQt(argc, argv, FreezeMainLoop, 1000, 4000);
    } else if (const auto found = failures.find(failure); found != failures.end()) {
        Run(found->second, arguments.worker);
    } else {
        std::fprintf(stderr, "unknown failure %s\n", failure.c_str());
        return 2;
    }
    // The program's own last line, to a reader that may have gone: not what a test watches.
    ::signal(SIGPIPE, SIG_IGN);
    std::printf("notified %d\n", notified);
    std::this_thread::sleep_for(std::chrono::milliseconds(lingerMs));
    return 0;
}
