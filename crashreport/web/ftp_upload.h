#pragma once

#include "crashreport/web/send_progress_receiver.h"
#include "crashreport/web/transfer_limits.h"
#include "crashreport/web/upload_file.h"
#include "crashreport/web/web_warning.h"

#include "crashreport/options/fault_module_options.h"

#include <vector>

namespace faulttrap {

// Puts every packaged file that exists on the FTP server that `WebURL` names (port `WebPort`,
// log-in `WebUserID` and `WebPassword`, passive mode, binary), as the URL's path + "/" + its
// attachment name. The first failure stops the upload with its error number, the server's
// refusal (or the error's description) and the warning "FTP error code: ...". Without packaged
// files nothing happens and the upload succeeds.
TWebStepOutcome UploadByFtp(const TFaultModuleOptions& options,
                            const std::vector<TWebUploadFile>& files,
                            TSendProgressReceiver* progress, const TTransferLimits& limits = {});

} // namespace faulttrap
