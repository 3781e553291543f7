#include "crashreport/dialogs/reproduce_request.h"

#include "crashreport/dialogs/dialog_fonts.h"
#include "crashreport/dialogs/qt_text.h"
#include "crashreport/dialogs/text_box_keys.h"
#include "crashreport/dialogs/work_area.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace faulttrap {
namespace {

constexpr int kWidth = 474;
constexpr int kHeight = 230;

} // namespace

ReproduceRequestDialog::ReproduceRequestDialog(DialogSession& session, QWidget* parent)
    : ExceptionDialogBase(session, true, parent) {
    setObjectName(QStringLiteral("FT_REQUEST"));
    setWindowTitle(ToQt(session.Text(TextId::ReproduceCaption)));
    label_ = new QLabel(ToQt(session.Text(TextId::ReproducePrompt)), Client());
    label_->setFont(MessageFont());
    label_->setWordWrap(true);
    steps_ = new QPlainTextEdit(Client());
    steps_->setFont(PageFont());
    steps_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TabLeavesTheBox(steps_);
    steps_->setPlainText(ToQt(session.choices.reproduceText));
    ok_ = new QPushButton(ToQt(session.Text(TextId::ReproduceOkButton)), Client());
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    const int labelHeight = label_->heightForWidth(kWidth - 27);
    ResizeClient(QSize(kWidth, kHeight + std::max(0, labelHeight - 10)));
    setFixedSize(size());
    Finish();
    const QRect area = ForegroundWorkArea();
    move(area.center() - rect().center());
    steps_->setFocus();
}

void ReproduceRequestDialog::LayOut() {
    const QSize client = ClientSize();
    const int labelHeight = label_->heightForWidth(client.width() - 27);
    label_->setGeometry(10, 10, client.width() - 27, labelHeight);
    const int editHeight = std::max(40, client.height() - labelHeight - 53);
    steps_->setGeometry(10, labelHeight + 14, client.width() - 20, editHeight);
    ok_->setGeometry(client.width() - 10 - 75, labelHeight + editHeight + 20, 75, 23);
}

void ReproduceRequestDialog::done(int result) {
    session_.TakeReproduceText(FromQt(steps_->toPlainText()));
    ExceptionDialogBase::done(result);
}

bool ShowReproduceRequest(DialogSession& session) {
    if (!session.Report(report_options::AskReproduceSteps) || !session.interactive ||
        session.sendingDisabled || !(session.choices.sendReport || session.options.LogToFile())) {
        return false;
    }
    ReproduceRequestDialog dialog(session);
    dialog.exec();
    return true;
}

} // namespace faulttrap
