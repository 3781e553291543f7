#pragma once

namespace faulttrap {

// The step the processing of an exception has reached. It is what the internal-failure handler
// reports when the processing itself fails, written as its number, so the numbers stay as they
// are: a step's sub-steps are numbered 100 times it plus one, two, ...
enum class ReportStage : int {
    NotStarted = 0,
    Started = 1,                  // time taken, thread list snapshot, address of the raise
    MainModuleOptions = 101,      // the program's options copied into the current options
    ExceptionModuleOptions = 102, // the options of the module the exception is in
    Filters = 2,                  // the exception filters searched
    FilterChosen = 201,           // a filter's choices taken
    HandlerChoice = 3,            // ignore, leave to the standard handler, or process
    CallStack = 4,
    ThreadsPaused = 5, // the other threads paused for the processing
    ModulesAndProcesses = 6,
    ReportText = 702,
    ExceptionRecord = 704,      // the record the events get, filled from the report
    ModuleEnvironment = 705,    // the environment variables naming the modules
    ExceptionEnvironment = 706, // the environment variables of the message and the report
    CustomData = 8,
    ExceptionCounted = 9,
    LastMessage = 10,
    DialogType = 11,
    BeforeDialog = 12,
    Dialog = 13,
    AfterDialog = 14,
    Log = 15,
    Delivery = 16,
    ThreadsResumed = 17,
    FinalAction = 18, // a pending terminate or restart carried out
};

} // namespace faulttrap
