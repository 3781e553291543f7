#include "crashreport/dialogs/gui_thread.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace faulttrap {

bool HasGui() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool OnGuiThread() {
    return HasGui() && QThread::currentThread() == qApp->thread();
}

bool RunOnGuiThreadWithin(const std::function<void()>& work,
                          std::chrono::milliseconds startTimeout) {
    if (!HasGui() || OnGuiThread()) {
        work();
        return true;
    }
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool started = false;
        bool done = false;
        bool abandoned = false;
        std::exception_ptr error;
    };
    const auto state = std::make_shared<State>();
    QMetaObject::invokeMethod(
        qApp,
        [state, &work] {
            {
                const std::lock_guard lock(state->mutex);
                if (state->abandoned) {
                    return; // the caller has gone; `work` no longer exists
                }
                state->started = true;
            }
            state->changed.notify_all();
            std::exception_ptr error;
            try {
                work();
            } catch (...) {
                // An exception must not cross the event loop; the caller gets it.
                error = std::current_exception();
            }
            {
                const std::lock_guard lock(state->mutex);
                state->done = true;
                state->error = error;
            }
            state->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(state->mutex);
    if (!state->changed.wait_for(lock, startTimeout, [&] { return state->started; })) {
        state->abandoned = true;
        return false;
    }
    state->changed.wait(lock, [&] { return state->done; });
    if (state->error) {
        std::rethrow_exception(state->error);
    }
    return true;
}

} // namespace faulttrap
