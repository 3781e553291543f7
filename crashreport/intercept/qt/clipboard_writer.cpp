#include "intercept/qt/clipboard_writer.h"

#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/dialogs/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

#include <chrono>

namespace faulttrap {

namespace {

// Long enough for a GUI thread that is busy with other events, short enough that a frozen one
// does not hold up the report.
constexpr std::chrono::milliseconds kGuiStartTimeout{2000};

} // namespace

void WriteReportToClipboard(const std::string& text) {
    if (!HasGui())
        return;
    const QString plain = ToQt(text);
    RunOnGuiThreadWithin([&plain] { QGuiApplication::clipboard()->setText(plain); },
                         kGuiStartTimeout);
}

} // namespace faulttrap
