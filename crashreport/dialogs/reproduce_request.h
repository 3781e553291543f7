#pragma once

// The reproduce-request dialog: after a detailed dialog it asks for the steps that led to the
// error, which go into the report as its "Request" section.

#include "crashreport/dialogs/exception_dialog_base.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace faulttrap {

class ReproduceRequestDialog : public ExceptionDialogBase {
public:
    explicit ReproduceRequestDialog(DialogSession& session, QWidget* parent = nullptr);

    QPlainTextEdit* StepsBox() const { return steps_; }
    QPushButton* OkButton() const { return ok_; }

    void done(int result) override;

protected:
    void LayOut() override;
    void NotVisible() override { done(QDialog::Accepted); }

private:
    QLabel* label_;
    QPlainTextEdit* steps_;
    QPushButton* ok_;
};

// Shows the dialog when the options ask for the steps, the program is interactive, sending is
// not disabled for this exception and the report is sent or logged. True when it was shown.
bool ShowReproduceRequest(DialogSession& session);

} // namespace faulttrap
