#pragma once

// The rules of the detailed dialog that do not need a window: which check boxes and buttons it
// shows, the height of the check-box band and which pages its tabs show.

#include "crashreport/dialogs/dialog_session.h"

#include <vector>

namespace faulttrap {

struct DetailedFeatures {
    bool sendBox = false;
    bool screenshotBox = false;
    bool copyBox = false;
    bool supportLink = false;
    bool terminateButton = false;
    bool customButton = false;
    bool detailsButton = false;
    // 0 without check boxes and link; 34 for two rows; 20 for one.
    int bandHeight = 0;
    // The page each tab shows, in tab order (page numbers 0 General ... 5 CPU).
    std::vector<int> tabPages;
    // The tab selected first: InitialPage, or the General tab when that page is hidden.
    int initialTab = 0;
};

DetailedFeatures DetailedFeaturesOf(const DialogSession& session);

} // namespace faulttrap
