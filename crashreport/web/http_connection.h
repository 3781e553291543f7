#pragma once

#include "crashreport/web/http_connection_base.h"
#include "crashreport/web/send_progress_receiver.h"

#include "crashreport/options/customized_texts.h"

namespace faulttrap {

// The connection of the delivery: shows every status in the send progress window, with the
// customised texts, when there is one.
class THTTPConnection : public THTTPConnectionBase {
public:
    // `texts` and `progress` (null: no window) must outlive the connection.
    THTTPConnection(std::string_view url, std::string_view proxy, const TCustomizedTexts& texts,
                    TSendProgressReceiver* progress, TTransferLimits limits = {});
    // Closes here, so that the window still hears of the disconnection.
    ~THTTPConnection() override;

    void Status(THTTPStatus code, int value) override;

private:
    const TCustomizedTexts& texts_;
    TSendProgressReceiver* progress_;
};

} // namespace faulttrap
