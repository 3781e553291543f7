#include "crashreport/intercept/events.h"

#include "crashreport/intercept/descriptor_output.h"
#include "crashreport/intercept/handler_guard.h"
#include "crashreport/intercept/module_events.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace faulttrap {

namespace {

std::mutex& ComponentsMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::vector<TFaultTrap*>& Components() {
    static auto* components = new std::vector<TFaultTrap*>;
    return *components;
}

} // namespace

const char* ErrorCodeName(TFaultTrapErrorCode code) {
    switch (code) {
    case TFaultTrapErrorCode::eeNone:
        return "eeNone";
    case TFaultTrapErrorCode::eeShowError:
        return "eeShowError";
    case TFaultTrapErrorCode::eeLogError:
        return "eeLogError";
    case TFaultTrapErrorCode::eeEmailMAPIError:
        return "eeEmailMAPIError";
    case TFaultTrapErrorCode::eeEmailShellError:
        return "eeEmailShellError";
    case TFaultTrapErrorCode::eeEmailSMTPError:
        return "eeEmailSMTPError";
    case TFaultTrapErrorCode::eeWebHTTPError:
        return "eeWebHTTPError";
    case TFaultTrapErrorCode::eeWebHTTPSError:
        return "eeWebHTTPSError";
    case TFaultTrapErrorCode::eeWebFTPError:
        return "eeWebFTPError";
    case TFaultTrapErrorCode::eeWebTrakerError:
        return "eeWebTrakerError";
    }
    return "eeNone";
}

TFaultTrap::TFaultTrap() {
    const std::lock_guard lock(ComponentsMutex());
    Components().push_back(this);
}

TFaultTrap::~TFaultTrap() {
    const std::lock_guard lock(ComponentsMutex());
    std::erase(Components(), this);
}

TFaultTrapEvents& GlobalFaultTrapEvents() {
    static auto* events = new TFaultTrapEvents;
    return *events;
}

std::vector<std::string> ForEachEventHandler(const std::function<void(TFaultTrapEvents&)>& call) {
    std::vector<TFaultTrap*> components;
    {
        const std::lock_guard lock(ComponentsMutex());
        components = Components();
    }
    std::vector<std::string> failures;
    const auto run = [&](TFaultTrapEvents& events) {
        if (std::optional<std::string> failure = RunGuarded([&] { call(events); })) {
            failures.push_back(std::move(*failure));
        }
    };
    if (TFaultTrapEvents* module = ExceptionModuleEvents()) {
        run(*module);
    }
    for (auto component = components.rbegin(); component != components.rend(); ++component) {
        run(**component);
    }
    run(GlobalFaultTrapEvents());
    return failures;
}

bool RaiseActionNotify(TFaultExceptionRecord& record, int action) {
    bool execute = true;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionActionNotify) {
            events.ExceptionActionNotify(record, action, execute);
        }
    });
    return execute;
}

bool RaiseErrorNotify(TFaultExceptionRecord& record, TFaultTrapErrorCode code,
                      const std::string& text) {
    bool retry = false;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionErrorNotify) {
            events.ExceptionErrorNotify(record, code, text, retry);
        }
    });
    return retry;
}

void WriteWarning(std::uintptr_t exceptionAddress, TFaultTrapErrorCode code,
                  const std::string& text) {
    // Not through the stderr stream: after a fault its lock may be held by the faulting thread.
    char head[96];
    std::snprintf(head, sizeof head, "[WARNING] - Code: %s - Address: %016lX - Message: \"",
                  ErrorCodeName(code), static_cast<unsigned long>(exceptionAddress));
    WriteToDescriptor(STDERR_FILENO, std::string(head) + text + "\"\n");
}

} // namespace faulttrap
