#pragma once

#include <string>

namespace faulttrap {

// Where a delivery shows how far it got: the send progress window, once it exists. Calls come
// from the sending thread; an implementation takes them over to its window.
class TSendProgressReceiver {
public:
    virtual ~TSendProgressReceiver() = default;
    virtual void SetSendStatus(const std::string& text) = 0;
    // 0 to 100.
    virtual void SetSendProgress(int percent) = 0;
};

} // namespace faulttrap
