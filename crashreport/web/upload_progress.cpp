#include "crashreport/web/upload_progress.h"

#include <algorithm>
#include <cmath>

namespace faulttrap {

void TUploadProgress::Connecting() {
    if (progress_ == nullptr) {
        return;
    }
    progress_->SetSendStatus(texts_.Text(TextId::Connecting));
    progress_->SetSendProgress(0);
}

void TUploadProgress::Connected() {
    if (progress_ != nullptr) {
        progress_->SetSendStatus(texts_.Text(TextId::Connected));
    }
}

void TUploadProgress::Sent(std::size_t bytesSent, std::size_t totalBytes) {
    if (progress_ == nullptr) {
        return;
    }
    progress_->SetSendStatus(texts_.Text(TextId::SendingMessage));
    const double share = totalBytes == 0 ? 1.0 : static_cast<double>(bytesSent) / totalBytes;
    progress_->SetSendProgress(std::min(100, static_cast<int>(std::lround(share * 100.0))));
}

} // namespace faulttrap
