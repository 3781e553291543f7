#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace olvendra::app {

// Turns SIGTERM and SIGINT (a desktop logout, `kill PID`, Ctrl+C in a terminal) into a call on
// the user-interface thread. The signal handler only writes a byte into a pipe; the pipe's
// notifier runs `aoSinal` from the event loop.
//
// The database client installs handlers of its own for both signals when it first attaches, so
// instala() is called again after the first attach to take them back.
class EncerramentoPorSinal : public QObject {
public:
    EncerramentoPorSinal(std::function<void()> aoSinal, QObject* pai);
    ~EncerramentoPorSinal() override;

    void instala();

private:
    std::function<void()> aoSinal_;
    QSocketNotifier* notificador_ = nullptr;
};

} // namespace olvendra::app
