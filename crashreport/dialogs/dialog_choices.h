#pragma once

#include <cstdint>
#include <string>

namespace faulttrap {

// What the user decided in the exception dialogs. The processing fills the first fields before
// the dialog and reads all of them afterwards to copy, send, restart or terminate.
struct DialogChoices {
    bool sendReport = false;       // a send method is configured; the user may clear it
    bool attachScreenshot = false; // from SendOptions bit SendScreenshot; the user may clear it
    bool copyToClipboard = false;
    bool restartRequested = false;
    // 0 none, 1 message box, 2 classic, 3 detailed. A dialog sets 0 when it closes normally and 3
    // when the classic dialog's details link was used.
    std::uint8_t dialogType = 0;
    bool openedFromClassic = false;
    bool dialogPainted = false;
    std::string reproduceText; // Windows-1252
    std::string userEmail;     // Windows-1252
};

} // namespace faulttrap
