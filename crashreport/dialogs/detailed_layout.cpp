#include "crashreport/dialogs/detailed_layout.h"

#include <algorithm>

namespace faulttrap {

DetailedFeatures DetailedFeaturesOf(const DialogSession& session) {
    DetailedFeatures features;
    features.sendBox = session.SendOffered();
    features.screenshotBox = session.ScreenshotOffered();
    features.copyBox = session.CopyOffered();
    features.supportLink = session.SupportLinkShown();
    features.terminateButton = session.TerminateOffered();
    features.customButton = session.Dialog(dialog_options::OfferCustomButton);
    features.detailsButton =
        session.Dialog(dialog_options::OfferDetails) && !session.choices.openedFromClassic;
    if (!features.sendBox && !features.screenshotBox && !features.copyBox &&
        !features.supportLink) {
        features.bandHeight = 0;
    } else if ((features.sendBox && features.screenshotBox) ||
               (features.copyBox && features.supportLink)) {
        features.bandHeight = 34;
    } else {
        features.bandHeight = 20;
    }
    features.tabPages = {0, 1};
    if (session.Report(report_options::CollectModulesAndProcesses)) {
        features.tabPages.insert(features.tabPages.end(), {2, 3});
    }
    if (session.Report(report_options::CollectAssemblerAndCPU)) {
        features.tabPages.insert(features.tabPages.end(), {4, 5});
    }
    const int initial = static_cast<int>(session.options.InitialPage());
    const auto tab = std::find(features.tabPages.begin(), features.tabPages.end(), initial);
    features.initialTab =
        tab == features.tabPages.end() ? 0 : static_cast<int>(tab - features.tabPages.begin());
    return features;
}

} // namespace faulttrap
