#include "crashreport/dialogs/show_exception_dialog.h"

#include "crashreport/dialogs/classic_dialog.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/dialog_helper.h"
#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/dialogs/qt_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace faulttrap {
namespace {

void ShowOnce(DialogSession& session) {
    DialogChoices& choices = session.choices;
    choices.dialogPainted = false;
    if (choices.dialogType == 3) {
        DetailedDialog dialog(session);
        dialog.exec();
    } else if (choices.dialogType == 2) {
        ClassicDialog dialog(session);
        dialog.exec();
    } else {
        choices.dialogPainted = true;
        if (choices.dialogType == 1) {
            ShowErrorMessageBox(session);
        }
        choices.dialogType = 0;
    }
}

void Drive(DialogSession& session, bool beep) {
    DialogChoices& choices = session.choices;
    const QPointer<QWidget> foreground = QApplication::activeWindow();
    if (beep && choices.dialogType != 1) {
        QApplication::beep();
    }
    while (true) {
        ShowOnce(session);
        if (!choices.dialogPainted) {
            ShowErrorMessageBox(session);
        }
        bool cancelled = false;
        if (choices.restartRequested && session.events.restartRequested) {
            session.events.restartRequested(choices.restartRequested);
            cancelled = !choices.restartRequested;
        }
        if (!choices.dialogPainted && session.events.showError) {
            session.events.showError("Cannot show the DialogBox window.");
        }
        if (!cancelled) {
            break;
        }
        // The handler refused the restart: the user chooses again.
        choices.dialogType = session.shownType;
    }
    if (foreground) {
        foreground->activateWindow();
    }
}

} // namespace

void ShowErrorMessageBox(const DialogSession& session) {
    QMessageBox box(QMessageBox::Critical, ToQt(session.Text(TextId::DialogCaption)),
                    ToQt(session.exceptionMessage), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("errorMessageBox"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

bool ShowExceptionDialog(DialogSession& session, bool beep) {
    if (!HasGui()) {
        return false;
    }
    session.shownType = session.choices.dialogType;
    if (RunOnGuiThreadWithin([&] { Drive(session, beep); },
                             std::chrono::milliseconds(session.guiStartTimeoutMs))) {
        return true;
    }
    return ShowExceptionDialogInHelper(session, beep, false);
}

bool AskReproduceSteps(DialogSession& session) {
    if (!HasGui()) {
        return false;
    }
    bool shown = false;
    if (RunOnGuiThreadWithin([&] { shown = ShowReproduceRequest(session); },
                             std::chrono::milliseconds(session.guiStartTimeoutMs))) {
        return shown;
    }
    // Only the reproduce request: the helper's dialog type 0 shows no dialog before it.
    const std::uint8_t type = session.choices.dialogType;
    session.choices.dialogType = 0;
    shown = ShowExceptionDialogInHelper(session, false, true);
    session.choices.dialogType = type;
    return shown;
}

} // namespace faulttrap
