#pragma once

#include "crashreport/web/http_request.h"
#include "crashreport/web/send_progress_receiver.h"
#include "crashreport/web/transfer_limits.h"
#include "crashreport/web/upload_file.h"
#include "crashreport/web/web_warning.h"

#include "crashreport/options/fault_module_options.h"

#include <vector>

namespace faulttrap {

// Posts the packaged files, each as a part "ft_upload_file_<index>" named by its attachment
// name, after the `customFields`, as one multipart request to the script that `WebURL` names
// (HTTPS when `WebSendMode` says so; port `WebPort`; basic authentication with `WebUserID` and
// `WebPassword`). Status 200 is success; any other status, or a failure of the exchange, ends
// with that code and the warning "HTTP error code: ..." (or "HTTPS ..."). Without packaged files
// nothing is sent and the upload succeeds.
TWebStepOutcome UploadByHttp(const TFaultModuleOptions& options,
                             const std::vector<THTTPField>& customFields,
                             const std::vector<TWebUploadFile>& files,
                             TSendProgressReceiver* progress, const TTransferLimits& limits = {});

} // namespace faulttrap
