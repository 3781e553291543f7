#pragma once

// What every exception dialog shares: it notes its first paint (a dialog that never became
// visible is closed and replaced by a message box), runs the auto-close and keep-in-front
// timers, stays on top or not, and takes the own look when the options ask for it.
//
// A dialog puts its controls on Client() and lays them out in LayOut(). Without the own look the
// client is the whole dialog; with it the window has no system frame and the dialog paints its
// own caption bar and frame around the client.

#include "crashreport/dialogs/dialog_session.h"
#include "crashreport/dialogs/dialog_timers.h"

#include <QDialog>

namespace faulttrap {

class ExceptionDialogBase : public QDialog {
public:
    // How long a dialog may take to be painted before it counts as not shown.
    static constexpr int kVisibilityMilliseconds = 2000;

    ExceptionDialogBase(DialogSession& session, bool ownLookAllowed, QWidget* parent = nullptr);

    QWidget* Client() const { return client_; }
    AutoCloseTimer& AutoClose() { return autoClose_; }
    KeepInFrontTimer& KeepInFront() { return keepInFront_; }
    bool OwnLook() const { return ownLook_; }

protected:
    // Call once the dialog is built: the own look. The visibility, auto-close and keep-in-front
    // timers start when the dialog first shows.
    void Finish();
    // The keep-in-front timer shall not run for this window.
    void DontKeepInFront() { keepInFrontWanted_ = false; }
    // Resizes the window so that the client gets `size`.
    void ResizeClient(QSize size);
    void SetClientMinimumSize(QSize size);
    QSize ClientSize() const;
    // Places the controls on the client, whose size has changed.
    virtual void LayOut() {}
    // The visibility timer found no paint.
    virtual void NotVisible() = 0;

    bool event(QEvent* event) override;
    // A dialog the user answered was seen, even when no paint reached it first (a busy machine).
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void setVisible(bool visible) override;

    DialogSession& session_;

private:
    bool closingUnseen_ = false;
    int CaptionBand() const;
    int Border() const { return ownLook_ ? 3 : 0; }

    bool ownLook_;
    bool timersStarted_ = false;
    bool keepInFrontWanted_ = true;
    QWidget* client_;
    AutoCloseTimer autoClose_;
    KeepInFrontTimer keepInFront_;
};

} // namespace faulttrap
