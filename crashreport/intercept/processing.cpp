#include "crashreport/intercept/processing.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/descriptor_output.h"
#include "crashreport/intercept/events.h"
#include "crashreport/intercept/fault_signals.h"
#include "crashreport/intercept/frame_chain.h"
#include "crashreport/intercept/internal_failure.h"
#include "crashreport/intercept/kept_resolver.h"
#include "crashreport/intercept/library_forwarding.h"
#include "crashreport/intercept/log_rescue.h"
#include "crashreport/intercept/processing_hooks.h"
#include "crashreport/intercept/program_exit.h"
#include "crashreport/intercept/report_step.h"
#include "crashreport/intercept/runtime_state.h"
#include "crashreport/intercept/thread_list.h"
#include "crashreport/intercept/thread_pause.h"
#include "crashreport/intercept/thread_state.h"
#include "crashreport/intercept/web_answer.h"

#include "crashreport/debuginfo/stack_scan.h"
#include "crashreport/options/filter_selection.h"
#include "crashreport/report/bug_id.h"
#include "crashreport/report/log_operations.h"
#include "crashreport/report/stack_section.h"
#include "crashreport/report/value_formats.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace faulttrap {

namespace {

constexpr int kContextBytes = 204; // what a context must hold to be used at all
// A language exception's address is where its raise call returns to; the raise is a near call
// with a 32-bit displacement, 5 bytes long, so the report moves back by that much to show the
// call itself.
constexpr std::uintptr_t kRaiseCallLength = 5;
// How long a dialog shown after a fault of the operating system may wait for the user.
constexpr std::chrono::minutes kDialogFaultDeadline{5};

// The message as it is kept for the dialogs and the delivery: that of item 2.6 with its control
// characters other than CR and LF made blanks. The report itself keeps them.
std::string StoredMessage(std::string message) {
    for (char& c : message) {
        if (static_cast<unsigned char>(c) < 32 && c != '\r' && c != '\n') {
            c = ' ';
        }
    }
    return message;
}

TFaultDialogType DialogOfFilter(TFaultFilterDialog choice, TFaultDialogType configured) {
    switch (choice) {
    case TFaultFilterDialog::None:
        return TFaultDialogType::None;
    case TFaultFilterDialog::MessageBox:
        return TFaultDialogType::MessageBox;
    case TFaultFilterDialog::Classic:
        return TFaultDialogType::Classic;
    case TFaultFilterDialog::Detailed:
        return TFaultDialogType::Detailed;
    case TFaultFilterDialog::OptionsDialogType:
        break;
    }
    return configured;
}

bool Listed(const TFaultStackEntry& entry, std::uint8_t stackOptions) {
    ReportStackEntry shown;
    shown.kind = static_cast<int>(entry.kind);
    return StackEntryListed(shown, stackOptions);
}

// A raise inside a library without line information (the C++ library's own throws) may leave
// the exception's entry unlisted under the stack options in force; the first listed entry then
// carries the exception mark, so that the block still reads as the exception's thread. A listed
// entry keeps it: marking a second entry would split the thread into two exception blocks.
void MarkExceptionBlock(TFaultStackList& stack, std::uint8_t stackOptions) {
    if (stack.empty() || stack.front().exceptionMark == 0 || Listed(stack.front(), stackOptions)) {
        return;
    }
    for (TFaultStackEntry& entry : stack) {
        if (Listed(entry, stackOptions)) {
            entry.exceptionMark = 1;
            return;
        }
    }
}

// FaultTrap's own code, wherever its lines were inlined from.
bool IsFaultTrapCode(const TFaultStackEntry& entry) {
    return entry.className == "faulttrap" || entry.className.rfind("faulttrap::", 0) == 0;
}

// The entries the BugID is made of: those of modules that carry FaultTrap's own debug information,
// FaultTrap's own code left out. A raw stack scan also finds return addresses of calls that have
// already returned (FaultTrap's start-up, system libraries whose debug information happens to be
// installed); with them the ID of one error would change from run to run and machine to machine.
TFaultStackList FramesWithOwnDebugInfo(const TFaultStackList& stack, AddressResolver& resolver) {
    TFaultStackList frames;
    for (const TFaultStackEntry& entry : stack) {
        if (entry.module != nullptr && resolver.ModuleData(*entry.module) != nullptr &&
            !IsFaultTrapCode(entry)) {
            frames.push_back(entry);
        }
    }
    return frames;
}

bool IsCallStackAddress(std::uintptr_t value) {
    return value != 0;
}

// The error-flood rule: the list holds `count` errors within `minutes`.
void CheckErrorFlood(TFaultAction action, int count, int minutes) {
    if (action == TFaultAction::None) {
        return;
    }
    const auto& times = RunTimeState().errorTimes;
    if (static_cast<int>(times.size()) != count || times.empty()) {
        return;
    }
    if (times.back() - times.front() <= std::chrono::minutes(minutes)) {
        RequestTerminateOrRestart(action);
    }
}

class Processing {
public:
    Processing(const ProcessingJob& job, FaultingThreadChannel* channel)
        : job_(job), channel_(channel), state_(RunTimeState()),
          current_(MainModuleOptions().ModuleFileName(), false) {}

    bool Run();

private:
    void Stage(ReportStage stage) { state_.reportStage = stage; }
    // Runs `call` where the events run: on the faulting thread when it waits for them.
    void OnFaultingThread(const std::function<void()>& call) {
        if (channel_ != nullptr) {
            channel_->RunThere(call);
        } else {
            call();
        }
    }
    // A handler that throws or faults is abandoned; its failure goes to ExceptionErrorNotify.
    void RaiseEvent(const char* name, const std::function<void(TFaultTrapEvents&)>& call) {
        std::vector<std::string> failures;
        OnFaultingThread([&] { failures = ForEachEventHandler(call); });
        for (const std::string& failure : failures) {
            ErrorNotify(TFaultTrapErrorCode::eeNone, std::string("[") + name + "] " + failure);
        }
    }
    bool ActionNotify(int action) {
        bool execute = true;
        RaiseEvent("ExceptionActionNotify", [&](TFaultTrapEvents& events) {
            if (events.ExceptionActionNotify) {
                events.ExceptionActionNotify(record_, action, execute);
            }
        });
        return execute;
    }
    bool ErrorNotify(TFaultTrapErrorCode code, const std::string& text) {
        WriteWarning(address_, code, text);
        bool retry = false;
        OnFaultingThread([&] { retry = RaiseErrorNotify(record_, code, text); });
        return retry;
    }

    // The exception's own message as item 2.6 shows it.
    std::string ReportMessage() const { return FormatExceptionMessage(job_.exception.message); }
    void ChooseOptions();
    void ApplyFilters();
    void BuildCallStack(AddressResolver& resolver);
    TFaultStackList CallPath(AddressResolver& resolver) const;
    void AddOtherThreads(AddressResolver& resolver);
    void PauseThreadsForProcessing();
    void BuildReportText(const TFaultModulesList& modules, AddressResolver& resolver);
    void CheckDuplicate();
    void SetEnvironment(const TFaultModulesList& modules);
    bool NotifyException();
    void CollectCustomData();
    void ShowDialog();
    void AnswerWebClient(std::string_view text);
    void FlushProgramOutput();
    bool WriteToStandardOutput(std::string_view text);
    void CopyToClipboard();
    void WriteLog();
    void AppendToLog();
    void Deliver();

    const ProcessingJob& job_;
    FaultingThreadChannel* channel_;
    TFaultRunTimeState& state_;
    TFaultModuleOptionsEx current_;
    std::vector<TFaultThreadInfo> threads_;
    std::uintptr_t address_ = 0;
    TFaultHandlerChoice handlerChoice_ = TFaultHandlerChoice::FaultTrap;
    TFaultDialogType dialogType_ = TFaultDialogType::None;
    bool dialogSetByFilter_ = false;
    TFaultAction filterAction_ = TFaultAction::None;
    bool deliver_ = false;
    bool sendingInThread_ = false;
    TFaultStackList stack_;
    std::optional<ucontext_t> context_;
    std::string bugId_;
    std::optional<BugReport> report_;
    TFaultExceptionRecord record_;
    ThreadPauser pausedForProcessing_;
    std::optional<LogRescue> rescue_;
    std::chrono::system_clock::time_point exceptionTime_;
};

void Processing::ChooseOptions() {
    // The options of a library that carries FaultTrap and forwards its exceptions here are in
    // force for the exceptions in its code; the program's for all others.
    Stage(ReportStage::MainModuleOptions);
    current_.Assign(&MainModuleOptions());
    Stage(ReportStage::ExceptionModuleOptions);
    LoadOptionsOfExceptionModule(current_, address_);
}

void Processing::ApplyFilters() {
    Stage(ReportStage::Filters);
    state_.customMessage.clear();
    dialogType_ = current_.ExceptionDialogType();
    if (!current_.UseFilters() || job_.verdict == TExceptionVerdict::Skip ||
        job_.exception.type == nullptr) {
        return;
    }
    const TFaultExceptionFilter* filter = SelectExceptionFilter(
        current_.ExceptionsFilters(), *job_.exception.type, job_.params.Handled);
    if (filter == nullptr) {
        return;
    }
    Stage(ReportStage::FilterChosen);
    handlerChoice_ = filter->HandlerChoice;
    dialogType_ = DialogOfFilter(filter->DialogChoice, current_.ExceptionDialogType());
    dialogSetByFilter_ = true;
    if (!filter->CustomMessage.empty()) {
        state_.customMessage = filter->CustomMessage;
    }
    filterAction_ = filter->ActionChoice;
}

void Processing::BuildCallStack(AddressResolver& resolver) {
    Stage(ReportStage::CallStack);
    const TExceptNotifyParams& params = job_.params;
    if (params.PreparedStack) {
        stack_ = *params.PreparedStack;
        return;
    }
    if (params.Context && sizeof(ucontext_t) >= kContextBytes) {
        context_ = params.Context;
    }
    const std::optional<TFaultThreadInfo> thread = ThreadsList().Find(params.ThreadId);
    StackScanRequest request;
    request.exceptionAddress = address_;
    request.threadId = params.ThreadId;
    if (thread) {
        request.startRoutine = reinterpret_cast<std::uintptr_t>(thread->startRoutine);
    }
    if (!params.StackCopy.empty()) {
        request.stackPointer = reinterpret_cast<std::uintptr_t>(params.StackCopy.data());
        request.stackTop = request.stackPointer + params.StackCopy.size();
    } else {
        request.stackPointer = params.StackPointer;
        request.stackTop = params.StackTop;
    }
    stack_ = faulttrap::BuildCallStack(request, resolver);
    MarkExceptionBlock(stack_, current_.StackOptions());
    // Where the thread was created from: its calling-thread entries.
    if (thread) {
        for (const std::uintptr_t returnAddress : thread->creationStack) {
            if (IsCallStackAddress(returnAddress)) {
                TFaultStackEntry entry = resolver.Resolve(returnAddress - 1);
                entry.threadId = params.ThreadId;
                entry.threadStackMark = 0;
                if (entry.kind != EntryKind::unknown) {
                    stack_.push_back(std::move(entry));
                }
            }
        }
    }
}

// The calls really on the exception thread's stack, for the BugID: the frame chain of the copy
// when the interception found one, else the scanned call stack.
TFaultStackList Processing::CallPath(AddressResolver& resolver) const {
    const TExceptNotifyParams& params = job_.params;
    if (params.StackCopy.empty() || params.FramePointer == 0) {
        return stack_;
    }
    const std::vector<std::uintptr_t> chain =
        ReturnAddressChain(params.StackCopy, params.StackPointer, params.FramePointer);
    if (chain.empty()) {
        return stack_;
    }
    TFaultStackList path;
    const auto add = [&](std::uintptr_t address) {
        TFaultStackEntry entry = resolver.Resolve(address);
        entry.threadId = params.ThreadId;
        path.push_back(std::move(entry));
    };
    // A raise's chain starts with the return into the raising code; a fault's at its caller.
    if (!params.LanguageException) {
        add(address_);
    }
    for (const std::uintptr_t returnAddress : chain) {
        add(returnAddress - 1);
    }
    return path;
}

void Processing::AddOtherThreads(AddressResolver& resolver) {
    const std::uint8_t options = current_.StackOptions();
    const bool runtime = options & stack_options::WalkRuntimeThreads;
    const bool system = options & stack_options::WalkSystemThreads;
    if (!runtime && !system) {
        return;
    }
    const std::uint32_t self = CurrentThreadId();
    ThreadPauser pauser;
    struct Walk {
        TFaultThreadInfo thread;
        ucontext_t context;
        bool faulted; // it faulted too, while the report's fault was being handled
    };
    std::vector<Walk> walks;
    for (const TFaultThreadInfo& thread : threads_) {
        if (thread.ownThread || thread.id == self || thread.id == job_.params.ThreadId) {
            continue;
        }
        if (!(thread.IsRuntimeThread() ? runtime : system)) {
            continue;
        }
        Walk walk{thread, {}, false};
        // A thread that faulted too waits in its signal handler: its place is its own fault's.
        if (const std::optional<ucontext_t> fault = ConcurrentFaultContext(thread.id)) {
            walk.context = *fault;
            walk.faulted = true;
            walks.push_back(walk);
        } else if (pauser.Pause(thread.id, walk.context)) {
            walks.push_back(walk);
        }
    }
    for (const Walk& walk : walks) {
        StackScanRequest request;
        request.threadId = walk.thread.id;
        request.startRoutine = reinterpret_cast<std::uintptr_t>(walk.thread.startRoutine);
        request.stackPointer = static_cast<std::uintptr_t>(walk.context.uc_mcontext.gregs[REG_RSP]);
        request.stackTop = walk.thread.stackTop;
        request.exceptionAddress =
            static_cast<std::uintptr_t>(walk.context.uc_mcontext.gregs[REG_RIP]);
        const std::size_t first = stack_.size();
        AppendCallStack(stack_, request, resolver);
        // A running thread has no exception address: its first entry is where it stands. A
        // thread that faulted too keeps its fault's mark: its block says it is an exception's.
        if (stack_.size() > first && !walk.faulted) {
            stack_[first].exceptionMark = 0;
        }
        for (const std::uintptr_t returnAddress : walk.thread.creationStack) {
            TFaultStackEntry entry = resolver.Resolve(returnAddress - 1);
            entry.threadId = walk.thread.id;
            entry.threadStackMark = 0;
            if (entry.kind != EntryKind::unknown) {
                stack_.push_back(std::move(entry));
            }
        }
    }
}

void Processing::PauseThreadsForProcessing() {
    Stage(ReportStage::ThreadsPaused);
    const std::uint16_t behaviour = current_.BehaviourOptions();
    const bool runtime = behaviour & behaviour_options::PauseRuntimeThreads;
    const bool keepMain = behaviour & behaviour_options::KeepMainThreadRunning;
    const bool system = behaviour & behaviour_options::PauseSystemThreads;
    const std::uint32_t self = CurrentThreadId();
    for (const TFaultThreadInfo& thread : threads_) {
        if (thread.ownThread || thread.id == self || thread.id == job_.params.ThreadId) {
            continue;
        }
        const bool wanted =
            thread.IsRuntimeThread() ? runtime && !(thread.isMain && keepMain) : system;
        ucontext_t ignored;
        if (wanted) {
            pausedForProcessing_.Pause(thread.id, ignored);
        }
    }
}

void Processing::BuildReportText(const TFaultModulesList& modules, AddressResolver& resolver) {
    Stage(ReportStage::ReportText);
    ReportMaterial material;
    material.exception = &job_.exception;
    // A filter's custom message is for the dialogs: the report tells what really happened.
    material.message = ReportMessage();
    material.address = address_;
    material.threadId = job_.params.ThreadId;
    material.stack = &stack_;
    material.modules = &modules;
    material.resolver = &resolver;
    material.context = context_;
    material.focusClass = job_.params.FocusClass;
    material.focusText = job_.params.FocusText;
    if (const auto reader = CurrentWindowFactsReader()) {
        OnFaultingThread([&] {
            try {
                reader(material.window);
            } catch (...) {
            }
        });
    }
    material.bugId = bugId_;
    material.startTime = state_.startTime;
    material.exceptionTime = exceptionTime_;
    material.consoleOrWebProgram = !IsWindowedProgram();
    report_.emplace(BuildReport(material, current_));
    Stage(ReportStage::ExceptionRecord);
    record_.ExceptionObject = job_.exception.object;
    record_.ExceptionClass = job_.exception.className;
    record_.ExceptionMessage = job_.exception.message;
    record_.ExceptionAddress = address_;
    record_.ExceptionThreadID = job_.params.ThreadId;
    record_.CallStack = &stack_;
    record_.ModuleOptions = &current_;
    record_.LogText = report_->Text();
    record_.ModulesList = &modules;
}

void Processing::CheckDuplicate() {
    state_.duplicate = false;
    if (!(current_.ReportOptions() & report_options::NoDuplicateErrors) || !current_.LogToFile()) {
        return;
    }
    try {
        state_.duplicate = CountDuplicateReport(ReportSettingsOf(current_), LogLocationOf(current_),
                                                bugId_, "Count");
    } catch (const std::exception& error) {
        ErrorNotify(TFaultTrapErrorCode::eeLogError, std::string("[Log] ") + error.what());
    }
}

void Processing::SetEnvironment(const TFaultModulesList& modules) {
    Stage(ReportStage::ModuleEnvironment);
    const std::string mainName =
        CommandLine().empty() ? "" : std::filesystem::path(CommandLine()[0]).filename().string();
    ::setenv("_MainModuleName", mainName.c_str(), 1);
    ::setenv("_MainModuleDesc", "", 1);
    ::setenv("_MainModuleVer", "", 1);
    const TFaultModuleInfo* module = modules.Find(address_);
    const std::string exceptName =
        module ? std::filesystem::path(module->path).filename().string() : "";
    ::setenv("_ExceptModuleName", exceptName.c_str(), 1);
    ::setenv("_ExceptModuleDesc", "", 1);
    ::setenv("_ExceptModuleVer", "", 1);
    Stage(ReportStage::ExceptionEnvironment);
    ::setenv("_ExceptMsg", ReportMessage().c_str(), 1);
    ::setenv("_BugReport", report_->Text().c_str(), 1);
    ::setenv("_LineBreak", "\r\n", 1);
}

bool Processing::NotifyException() {
    const bool windowed = IsWindowedProgram();
    const bool raise = job_.origin == TExceptionOrigin::Application ||
                       (job_.origin == TExceptionOrigin::Thread && windowed && !IsCgiProgram());
    if (raise && current_.ExceptionDialogType() != TFaultDialogType::None &&
        !job_.params.EventsOnWorker) {
        if (const auto raiser = CurrentMainWindowRaiser()) {
            OnFaultingThread(raiser);
        }
    }
    bool handleIt = true;
    const bool handled = job_.params.Handled;
    RaiseEvent(handled ? "HandledExceptionNotify" : "ExceptionNotify",
               [&](TFaultTrapEvents& events) {
                   auto& handler = handled ? events.HandledExceptionNotify : events.ExceptionNotify;
                   if (handler) {
                       handler(record_, handleIt);
                   }
               });
    return handleIt;
}

void Processing::CollectCustomData() {
    Stage(ReportStage::CustomData);
    if (current_.ErrorFloodAction() != TFaultAction::None) {
        state_.errorTimes.push_back(std::chrono::steady_clock::now());
        while (static_cast<int>(state_.errorTimes.size()) > current_.ErrorFloodCount()) {
            state_.errorTimes.pop_front();
        }
    }
    CustomDataList data;
    RaiseEvent("CustomDataRequest", [&](TFaultTrapEvents& events) {
        if (events.CustomDataRequest) {
            events.CustomDataRequest(record_, data);
        }
    });
    if (!data.empty() && current_.ReportFields().test(47)) {
        report_->InsertSection(current_.CustomizedText(TextId::CustomInformationSection), data);
        record_.LogText = report_->Text();
    }
    Stage(ReportStage::ExceptionCounted);
    ++state_.exceptionCount;
    Stage(ReportStage::LastMessage);
    state_.lastMessage = StoredMessage(ReportMessage());
    state_.lastClass = job_.exception.className;
    state_.lastReport = report_->Text();
    state_.bugId = bugId_;
    Stage(ReportStage::DialogType);
    if (!dialogSetByFilter_) {
        dialogType_ = current_.ExceptionDialogType();
    }
}

void Processing::ShowDialog() {
    if (dialogType_ == TFaultDialogType::None) {
        // A web client always gets an answer: the page of the message alone.
        if (IsCgiProgram()) {
            AnswerWebClient(CurrentExceptionMessage());
        }
        return;
    }
    Stage(ReportStage::BeforeDialog);
    if (!ActionNotify(fault_actions::BeforeDialog)) {
        return;
    }
    Stage(ReportStage::Dialog);
    const DialogDriver driver = CurrentDialogDriver();
    if (IsCgiProgram()) {
        AnswerWebClient(report_->Text());
    } else if (!IsWindowedProgram() || !driver) {
        if (!WriteToStandardOutput(report_->Text() + "\r\n")) {
            ErrorNotify(TFaultTrapErrorCode::eeShowError, "Console");
        }
    } else {
        DialogRequest request;
        request.record = &record_;
        request.type = dialogType_;
        request.errorSound = true;
        request.message = CurrentExceptionMessage();
        request.report = &*report_;
        // The failure is caught where the driver runs: the faulting thread swallows what its
        // callbacks throw.
        bool failed = false;
        // The user reads the dialog: the last-resort deadline after a fault waits longer.
        RestartFaultDeadline(kDialogFaultDeadline);
        while (request.type != TFaultDialogType::None && !failed) {
            TFaultDialogType next = TFaultDialogType::None;
            OnFaultingThread([&] {
                try {
                    next = driver(request);
                } catch (...) {
                    failed = true;
                }
            });
            request.type = next;
            request.errorSound = false;
        }
        RestartFaultDeadline(FaultDeadline());
        if (failed) {
            ErrorNotify(TFaultTrapErrorCode::eeShowError, "GUI");
        }
        record_.LogText = report_->Text();
    }
    Stage(ReportStage::AfterDialog);
    ActionNotify(fault_actions::AfterDialog);
}

// What the program wrote before stays ahead of the report, except after a fault of the operating
// system: the stream's lock may be held by the very thread that faulted.
void Processing::FlushProgramOutput() {
    if (!job_.params.Context) {
        std::fflush(stdout);
    }
}

bool Processing::WriteToStandardOutput(std::string_view text) {
    FlushProgramOutput();
    return WriteToDescriptor(STDOUT_FILENO, text);
}

void Processing::AnswerWebClient(std::string_view text) {
    FlushProgramOutput();
    if (!WriteCgiAnswer(STDOUT_FILENO, ErrorPageOf(text, current_))) {
        ErrorNotify(TFaultTrapErrorCode::eeShowError, "CGI: Cannot write in the ouput file.");
    }
}

void Processing::CopyToClipboard() {
    if (!state_.copyToClipboard) {
        return;
    }
    if (const ClipboardWriter writer = CurrentClipboardWriter()) {
        OnFaultingThread([&] { writer(report_->Text()); });
    }
}

void Processing::WriteLog() {
    Stage(ReportStage::Log);
    state_.deliveryReport = report_->Text();
    if (current_.ReportOptions() & report_options::NewLogOnVersionChange) {
        try {
            DeleteLogOfOtherVersion(ReportSettingsOf(current_), LogLocationOf(current_),
                                    ProgramVersion());
        } catch (const std::exception&) {
        }
    }
    if (current_.LogToFile() && !state_.duplicate && ActionNotify(fault_actions::BeforeLog)) {
        AppendToLog();
    }
    CopyToClipboard();
}

void Processing::AppendToLog() {
    if (rescue_ && !rescue_->Claim()) {
        return; // written already, shortly before the deadline
    }
    for (;;) {
        try {
            state_.deliveryReport = WriteReportToLog(ReportSettingsOf(current_),
                                                     LogLocationOf(current_), report_->Text(), true)
                                        .value_or(report_->Text());
            break;
        } catch (const std::exception& error) {
            if (!ErrorNotify(TFaultTrapErrorCode::eeLogError,
                             std::string("[Log] ") + error.what())) {
                break;
            }
        }
    }
    ActionNotify(fault_actions::AfterLog);
}

void Processing::Deliver() {
    Stage(ReportStage::Delivery);
    deliver_ = SendMethodConfigured(current_) && !state_.duplicate;
    const TFaultAction flood = current_.ErrorFloodAction();
    const int floodCount = current_.ErrorFloodCount();
    const int floodMinutes = current_.ErrorFloodMinutes();
    if (deliver_) {
        if (const DeliveryDriver driver = CurrentDeliveryDriver()) {
            DeliveryRequest request;
            request.record = &record_;
            request.reportText = state_.deliveryReport;
            request.exceptionTime = exceptionTime_;
            request.sendThreadAllowed = channel_ != nullptr;
            const bool afterFault = job_.params.Context.has_value();
            request.afterSend = [flood, floodCount, floodMinutes, afterFault] {
                CheckErrorFlood(flood, floodCount, floodMinutes);
                if (PendingAction() != TFaultAction::None) {
                    CarryOutAction(PendingAction(), afterFault);
                }
            };
            OnFaultingThread([&] { sendingInThread_ = driver(request); });
        }
    }
    if (!sendingInThread_) {
        CheckErrorFlood(flood, floodCount, floodMinutes);
    }
}

bool Processing::Run() {
    Stage(ReportStage::Started);
    exceptionTime_ = std::chrono::system_clock::now();
    state_.reproduceSteps.clear();
    state_.copyToClipboard = false;
    threads_ = ThreadsList().Snapshot();
    address_ = job_.address;
    if (job_.params.LanguageException && address_ >= kRaiseCallLength) {
        address_ -= kRaiseCallLength;
    }
    ChooseOptions();
    ApplyFilters();
    Stage(ReportStage::HandlerChoice);
    if (handlerChoice_ == TFaultHandlerChoice::Ignore) {
        return false;
    }
    if (handlerChoice_ == TFaultHandlerChoice::StandardHandler) {
        return true;
    }

    const auto [modules, resolver] = KeptResolver();
    BuildCallStack(resolver);
    bugId_ = BugId(job_.exception.className,
                   ReportStackOf(FramesWithOwnDebugInfo(CallPath(resolver), resolver)),
                   job_.params.ThreadId);
    AddOtherThreads(resolver);
    if (job_.verdict == TExceptionVerdict::Skip) {
        return true;
    }
    PauseThreadsForProcessing();
    Stage(ReportStage::ModulesAndProcesses);
    BuildReportText(modules, resolver);
    CheckDuplicate();
    if (job_.params.Context && current_.LogToFile() && !state_.duplicate) {
        rescue_.emplace([this] {
            try {
                WriteReportToLog(ReportSettingsOf(current_), LogLocationOf(current_),
                                 report_->Text(), true);
            } catch (const std::exception&) {
            }
        });
    }
    SetEnvironment(modules);
    bool result = true;
    if (NotifyException()) {
        CollectCustomData();
        ShowDialog();
        WriteLog();
        Deliver();
        result = false;
    }
    pausedForProcessing_.ResumeAll();
    Stage(ReportStage::ThreadsResumed);
    if (PendingAction() == TFaultAction::None) {
        RequestTerminateOrRestart(filterAction_);
    }
    if (current_.BehaviourOptions() & behaviour_options::CallStandardHandler) {
        result = true;
    }
    Stage(ReportStage::FinalAction);
    // A send thread carries out a pending action once it has delivered.
    if (PendingAction() != TFaultAction::None && !sendingInThread_) {
        CarryOutAction(PendingAction(), job_.params.Context.has_value());
    }
    return result;
}

} // namespace

bool ProcessException(const ProcessingJob& job, FaultingThreadChannel* channel) {
    try {
        return Processing(job, channel).Run();
    } catch (...) {
        HandleInternalFailure(std::current_exception(), RunTimeState().reportStage);
        return true;
    }
}

} // namespace faulttrap
