#pragma once

// What the dialog tests share: a real report of fixed values, the options, the choices, a
// private FaultTrap.ini, and a way to act on a modal window once it is up.

#include "crashreport/dialogs/dialog_session.h"
#include "crashreport/report/bug_report.h"
#include "crashreport/report/tests/fixed_report.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace faulttrap::testing {

inline BugReport FixedBugReport() {
    return BugReport::Build(FixedParts(), ReportSettings{}, ReportTexts::Defaults());
}

struct DialogFixture {
    DialogFixture() : options("test", false), report(FixedBugReport()) {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        choices.dialogType = 3;
        session = std::make_unique<DialogSession>(options, choices, report);
        session->exceptionMessage = "Cannot open.";
    }
    // An e-mail method, so that sending is offered.
    void ConfigureSending() {
        options.SetEMailSendMode(TFaultEMailSendMode::SMTPClient);
        choices.sendReport = true;
        choices.attachScreenshot = true;
    }
    QString StatePath() const { return config.path() + "/FaultTrap/FaultTrap.ini"; }

    QTemporaryDir config;
    TFaultModuleOptions options;
    DialogChoices choices;
    BugReport report;
    std::unique_ptr<DialogSession> session;
};

// Polls until a visible top-level widget named `name` exists, then runs `act` on it once.
inline void WhenShown(const QString& name, std::function<void(QWidget*)> act, int tries = 200) {
    QTimer::singleShot(20, [name, act = std::move(act), tries] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->objectName() == name) {
                act(window);
                return;
            }
        }
        if (tries > 0) {
            WhenShown(name, act, tries - 1);
        }
    });
}

inline int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace faulttrap::testing
