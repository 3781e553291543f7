#pragma once

#include "crashreport/options/text_id.h"

namespace faulttrap {

// How a tracker conversation ended.
enum class TTrackerResult : int {
    Done = 0,      // bug filed or updated
    BugClosed = 1, // the bug of this error is closed: the user is told
    UnknownError = 2,
    LoginRefused = 3,
    SelectionFailed = 4, // the project could not be chosen
    SearchFailed = 5,
    InsertFailed = 6, // filing the new bug failed
    ModifyFailed = 7, // updating the existing bug failed
};

// Whether the web step succeeds with `result`.
inline bool TrackerStepSucceeded(TTrackerResult result) {
    return result == TTrackerResult::Done || result == TTrackerResult::BugClosed;
}

// The customised text that warns of a failed `result`.
TextId TrackerFailureText(TTrackerResult result);

} // namespace faulttrap
