#include "crashreport/trackers/tracker_result.h"

namespace faulttrap {

TextId TrackerFailureText(TTrackerResult result) {
    switch (result) {
    case TTrackerResult::LoginRefused:
        return TextId::TrackerLoginRefused;
    case TTrackerResult::SelectionFailed:
        return TextId::TrackerSelectionFailed;
    case TTrackerResult::SearchFailed:
        return TextId::TrackerSearchFailed;
    case TTrackerResult::InsertFailed:
        return TextId::TrackerInsertFailed;
    case TTrackerResult::ModifyFailed:
        return TextId::TrackerModifyFailed;
    case TTrackerResult::Done:
    case TTrackerResult::BugClosed:
    case TTrackerResult::UnknownError:
        break;
    }
    return TextId::TrackerUnknownError;
}

} // namespace faulttrap
