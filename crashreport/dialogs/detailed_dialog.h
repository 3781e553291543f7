#pragma once

// The detailed dialog: the exception message in compact mode; in detailed mode the whole report
// on up to six tabbed pages. Below them the buttons and the band of check boxes (send, attach a
// screenshot, copy to the clipboard) with the support link.

#include "crashreport/dialogs/detailed_layout.h"
#include "crashreport/dialogs/exception_dialog_base.h"

#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace faulttrap {

class LinkLabel;

class DetailedDialog : public ExceptionDialogBase {
public:
    explicit DetailedDialog(DialogSession& session, QWidget* parent = nullptr);

    const DetailedFeatures& Features() const { return features_; }
    bool Detailed() const { return detailed_; }
    void SetDetailed(bool detailed);

    QPushButton* OkButton() const { return ok_; }
    QPushButton* TerminateButton() const { return terminate_; }
    QPushButton* CustomButton() const { return custom_; }
    QPushButton* DetailsButton() const { return details_; }
    QCheckBox* SendBox() const { return send_; }
    QCheckBox* ScreenshotBox() const { return screenshot_; }
    QCheckBox* CopyBox() const { return copy_; }
    LinkLabel* SupportLink() const { return support_; }
    QLabel* Header() const { return header_; }
    QTabWidget* Tabs() const { return tabs_; }
    // The page number (0 General ... 5 CPU) of the selected tab.
    int CurrentPage() const;
    QWidget* CurrentPageWidget() const { return page_; }

    void done(int result) override;

protected:
    void LayOut() override;
    void NotVisible() override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Build();
    void ShowPage(int tab);
    // The list or text box of the current page.
    QWidget* PageContent() const;
    void OrderFocus();
    void SwitchPage(int step);
    void SizeCompact();
    void EnterDetailedPlacement();
    void ApplyOuterGeometry();
    void RecordState();
    void SaveState();
    void OpenSupportPage();
    int ButtonWidth() const;

    DetailedFeatures features_;
    bool detailed_ = false;
    bool stateRecorded_ = false;
    QRect recordedGeometry_;
    // Where detailed mode put the window's frame, and whether the frame was known then.
    std::optional<QRect> pendingOuter_;
    bool framed_ = false;
    int recordedState_ = 1;
    QLabel* header_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QWidget* page_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* terminate_ = nullptr;
    QPushButton* custom_ = nullptr;
    QPushButton* details_ = nullptr;
    QCheckBox* send_ = nullptr;
    QCheckBox* screenshot_ = nullptr;
    QCheckBox* copy_ = nullptr;
    LinkLabel* support_ = nullptr;
};

} // namespace faulttrap
