#pragma once

// The classic dialog: a short apology with a "Send Error Report" / "Don't Send" choice, an
// optional description of what the user was doing, an optional e-mail address and a link that
// opens the detailed dialog instead.

#include "crashreport/dialogs/exception_dialog_base.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace faulttrap {

class LinkLabel;

class ClassicDialog : public ExceptionDialogBase {
public:
    static constexpr int kClientWidth = 413;

    explicit ClassicDialog(DialogSession& session, QWidget* parent = nullptr);

    QPushButton* SendButton() const { return send_; }
    QPushButton* DontSendButton() const { return dontSend_; }
    QPushButton* HelpButton() const { return help_; }
    QCheckBox* RestartBox() const { return restart_; }
    LinkLabel* DetailsLink() const { return link_; }
    QPlainTextEdit* DescriptionBox() const { return description_; }
    QLineEdit* EmailBox() const { return email_; }

    // Follows the details link: the driver then opens the detailed dialog.
    void OpenDetails();

protected:
    void NotVisible() override;
    void reject() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Build();
    // Stores the e-mail address, the description and the restart choice, then closes; an
    // address without "@" or "." is refused with a message and the dialog stays open.
    void Commit();
    bool CommitEmail();

    bool sendOffered_;
    QLabel* header_ = nullptr;
    QCheckBox* restart_ = nullptr;
    LinkLabel* link_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QLineEdit* email_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* dontSend_ = nullptr;
};

} // namespace faulttrap
