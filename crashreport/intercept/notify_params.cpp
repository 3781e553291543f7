#include "crashreport/intercept/notify_params.h"

#include "crashreport/intercept/thread_state.h"

#include <cstring>

namespace faulttrap {

TExceptNotifyParams ParamsOfCallingThread(const std::type_info* type) {
    const ThreadState& state = CurrentThreadState();
    TExceptNotifyParams params;
    params.ThreadId = CurrentThreadId();
    params.StackTop = state.stackTop;
    const RaiseRecord& raise = state.raise;
    if (raise.copiedBytes > 0 && state.stackCopy != nullptr &&
        (type == nullptr || raise.type == type || (raise.type && *raise.type == *type))) {
        params.StackPointer = raise.stackPointer;
        params.FramePointer = raise.framePointer;
        params.StackCopy.resize(raise.copiedBytes);
        std::memcpy(params.StackCopy.data(), state.stackCopy, raise.copiedBytes);
    } else {
        params.StackPointer = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    }
    return params;
}

} // namespace faulttrap
