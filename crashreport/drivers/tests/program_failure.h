#pragma once

// What the delivery tests share: a program window whose event loop hands an error to FaultTrap,
// and a user who answers every message box and writes down what it said.

#include "crashreport/intercept/dispatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <stdexcept>
#include <string>
#include <vector>

namespace faulttrap::test {

// Answers each message box once: "objectName: caption | text".
class MessageReader : public QObject {
public:
    MessageReader() {
        connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
        timer_.start(10);
    }
    std::vector<std::string> told;
    // For each box told: whether the send progress window was up beside it.
    std::vector<bool> shownOverSendWindow;

private:
    static bool SendWindowShown() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("FT_SERVER") && window->isVisible()) {
                return true;
            }
        }
        return false;
    }

    void Look() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            // A box of the same address may come again: the mark goes with the object.
            if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) {
                continue;
            }
            box->setProperty("answered", true);
            told.push_back(box->objectName().toStdString() + ": " +
                           box->windowTitle().toStdString() + " | " + box->text().toStdString());
            shownOverSendWindow.push_back(SendWindowShown());
            QTimer::singleShot(0, box, &QMessageBox::accept);
        }
    }
    QTimer timer_;
};

// The program's event loop meets an error and hands it to FaultTrap as the application object
// does (origin 1); the same error from the same place each time.
inline void FailInEventLoop() {
    QWidget window;
    window.resize(300, 200);
    window.show();
    QTimer::singleShot(0, [] {
        try {
            throw std::runtime_error("Stock went negative");
        } catch (...) {
            ExceptionManager(std::current_exception(), 0, 1);
        }
        QApplication::quit();
    });
    QApplication::exec();
}

} // namespace faulttrap::test
