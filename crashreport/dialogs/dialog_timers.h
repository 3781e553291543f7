#pragma once

// The timers every exception dialog runs: auto-close after a number of untouched seconds, and
// keep-in-front against the program's other windows.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace faulttrap {

// Closes the dialog after `seconds` ticks of one second with no key, mouse, wheel or focus
// event in it or its children; every such event starts the count again.
class AutoCloseTimer : public QObject {
public:
    AutoCloseTimer(QWidget* dialog, int seconds);

    void Start(); // does nothing unless seconds > 0
    // One second has passed; public so that a test can count without waiting.
    void Tick();
    int Count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* dialog_;
    int seconds_;
    int count_ = 0;
    QTimer timer_;
};

// Every 10 ms: when one of the program's windows that existed when the dialog opened is the
// active window, the dialog takes the front again. Windows of other programs and windows opened
// while the dialog is up are left alone.
class KeepInFrontTimer : public QObject {
public:
    explicit KeepInFrontTimer(QWidget* dialog);
    void Start();
    void Stop() { timer_.stop(); }
    // Checks once; public so that a test can check without waiting.
    void Check();

private:
    QWidget* dialog_;
    QList<QPointer<QWidget>> listed_;
    QTimer timer_;
};

} // namespace faulttrap
