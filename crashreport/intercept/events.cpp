#include "intercept/events.h"

#include "intercept/module_events.h"

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

void ForEachEventHandler(const std::function<void(TFaultTrapEvents&)>& call) {
    std::vector<TFaultTrap*> components;
    {
        const std::lock_guard lock(ComponentsMutex());
        components = Components();
    }
    if (TFaultTrapEvents* module = ExceptionModuleEvents()) {
        try {
            call(*module);
        } catch (...) {
        }
    }
    for (auto component = components.rbegin(); component != components.rend(); ++component) {
        try {
            call(**component);
        } catch (...) {
        }
    }
    try {
        call(GlobalFaultTrapEvents());
    } catch (...) {
    }
}

bool RaiseActionNotify(TFaultExceptionRecord& record, int action) {
    bool execute = true;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionActionNotify)
            events.ExceptionActionNotify(record, action, execute);
    });
    return execute;
}

bool RaiseErrorNotify(TFaultExceptionRecord& record, TFaultTrapErrorCode code,
                      const std::string& text) {
    bool retry = false;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionErrorNotify)
            events.ExceptionErrorNotify(record, code, text, retry);
    });
    return retry;
}

void WriteWarning(std::uintptr_t exceptionAddress, TFaultTrapErrorCode code,
                  const std::string& text) {
    std::fprintf(stderr, "[WARNING] - Code: %s - Address: %016lX - Message: \"%s\"\n",
                 ErrorCodeName(code), static_cast<unsigned long>(exceptionAddress), text.c_str());
}

} // namespace faulttrap
