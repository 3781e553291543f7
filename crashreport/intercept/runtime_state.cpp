#include "crashreport/intercept/runtime_state.h"

namespace faulttrap {

TFaultRunTimeState& RunTimeState() {
    static auto* state = new TFaultRunTimeState;
    return *state;
}

std::string CurrentExceptionMessage() {
    const TFaultRunTimeState& state = RunTimeState();
    return state.customMessage.empty() ? state.lastMessage : state.customMessage;
}

void SetCustomMessage(std::string message) {
    RunTimeState().customMessage = std::move(message);
}

} // namespace faulttrap
