#pragma once

#include "crashreport/web/send_progress_receiver.h"

#include "crashreport/options/customized_texts.h"

#include <cstddef>

namespace faulttrap {

// The statuses of the HTTP and FTP uploads in the send progress window.
class TUploadProgress {
public:
    // `progress` may be null: no window.
    TUploadProgress(const TCustomizedTexts& texts, TSendProgressReceiver* progress)
        : texts_(texts), progress_(progress) {}

    void Connecting();
    void Connected();
    void Sent(std::size_t bytesSent, std::size_t totalBytes);

private:
    const TCustomizedTexts& texts_;
    TSendProgressReceiver* progress_;
};

} // namespace faulttrap
