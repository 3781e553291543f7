#include "crashreport/delivery/delivery_kit.h"

#include "crashreport/delivery/background_deliveries.h"
#include "crashreport/delivery/delivery_deadlines.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/report_step.h"
#include "crashreport/packaging/attachment_name.h"
#include "crashreport/renderings/log_xml.h"

#include <chrono>
#include <ctime>
#include <fstream>

namespace faulttrap {

namespace {

TPackageSettings PackageSettings(const TFaultModuleOptions& options,
                                 const std::filesystem::path& folder, bool attachScreenshot,
                                 std::chrono::system_clock::time_point exceptionTime) {
    TPackageSettings settings;
    settings.tempFolder = folder;
    settings.logFileName = LogLocationOf(options).chosen;
    settings.sendOptions = options.SendOptions();
    settings.appendReportToMessage = options.AppendReportToMessage();
    settings.attachedFiles = options.AttachedFiles();
    settings.zipPassword = options.ZipPassword();
    settings.attachScreenshot = attachScreenshot;
    settings.runsAsCgi = IsCgiProgram();
    settings.computerName = ComputerName();
    // The travelling names carry the time of the exception, not of the delivery.
    const std::time_t when = std::chrono::system_clock::to_time_t(exceptionTime);
    localtime_r(&when, &settings.exceptionTime);
    return settings;
}

} // namespace

DeliveryKit::DeliveryKit(const DeliveryRequest& request, bool attachScreenshot)
    : options(request.record->ModuleOptions->ModuleFileName(), false), record(*request.record),
      reportText(request.reportText), events(record), folder(TemporaryFolder()),
      package(PackageSettings(*request.record->ModuleOptions, folder.Path(), attachScreenshot,
                              request.exceptionTime)) {
    options.Assign(request.record->ModuleOptions);
    record.ModuleOptions = &options;
    // The call stack and the module list belong to the processing.
    record.CallStack = nullptr;
    record.ModulesList = nullptr;
}

void DeliveryKit::Attach(TDeliveryProgress& progress, TDeliveryNotices& notices) {
    const TDeliveryDeadlines deadlines = CurrentDeliveryDeadlines();
    TTransferLimits limits;
    limits.stallTimeout = deadlines.stall;
    limits.overallTimeout = deadlines.overall;
    web.emplace(options, package, record, events, progress, notices, limits);
    const std::string xmlReport = reportText;
    TEmailEnvironment email = TEmailEnvironment::Default();
    email.smtpTimeoutMs = static_cast<std::uint32_t>(deadlines.stall.count());
    email.overallTimeout = deadlines.overall;
    run.reset(new TDeliveryRun{options, package, reportText, "",
                               [xmlReport](const std::filesystem::path& file) {
                                   std::ofstream(file, std::ios::binary)
                                       << ReportsXml({xmlReport}, "");
                               },
                               events, progress, notices, &*web, email, ""});
    run->packageError = folder.Error();
}

bool RunDelivery(std::shared_ptr<void> owner, DeliveryKit& kit, const DeliveryRequest& request) {
    kit.run->email.sendsInThread =
        request.sendThreadAllowed && (kit.options.SendOptions() & send_options::SendInThread) != 0;
    if (!kit.run->email.sendsInThread) {
        SendReport(*kit.run);
        return false;
    }
    const std::shared_ptr<TDeliveryRun> run(owner, kit.run.get());
    const std::uintptr_t address = kit.record.ExceptionAddress;
    const TFaultTrapErrorCode code =
        RouteWarningCode(kit.options, kit.options.EMailSendMode() != TFaultEMailSendMode::None);
    const std::size_t ticket = BackgroundDeliveries().Begin(address, code);
    TSendThread::Start(run, ProcessingLock(), [afterSend = request.afterSend, ticket](bool sent) {
        BackgroundDeliveries().End(ticket, sent);
        if (afterSend) {
            afterSend();
        }
    });
    return true;
}

} // namespace faulttrap
