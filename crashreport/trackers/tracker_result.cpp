#include "tracker_result.h"

namespace faulttrap {

std::size_t TrackerFailureText(TTrackerResult result) {
    switch (result) {
    case TTrackerResult::LoginRefused:
        return 148;
    case TTrackerResult::SelectionFailed:
        return 150;
    case TTrackerResult::SearchFailed:
        return 149;
    case TTrackerResult::InsertFailed:
        return 151;
    case TTrackerResult::ModifyFailed:
        return 152;
    case TTrackerResult::Done:
    case TTrackerResult::BugClosed:
    case TTrackerResult::UnknownError:
        break;
    }
    return 147;
}

} // namespace faulttrap
