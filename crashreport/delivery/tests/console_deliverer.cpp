// A console program carrying FaultTrap and nothing of Qt: it reports one handled exception and
// delivers it as its switches say. Run as a CGI program when its environment holds
// REQUEST_METHOD.
//
//   console_deliverer --log FILE [--smtp-port N | --web-url URL] [--message-length N]
//                     [--stall-ms N] [--overall-ms N] [--exit-wait-ms N] [--in-thread]
//                     [--drop-files] [--tracker MODE]

#include "crashreport/delivery/delivery_deadlines.h"
#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/events.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using faulttrap::MainModuleOptions;

void ApplyOption(const std::string& name, const std::string& value,
                 faulttrap::TDeliveryDeadlines& deadlines, std::size_t& messageLength) {
    auto& options = MainModuleOptions();
    if (name == "--log") {
        options.SetLogFolder(value);
    } else if (name == "--smtp-port") {
        options.SetEMailSendMode(faulttrap::TFaultEMailSendMode::SMTPClient);
        options.SetSMTPHost("127.0.0.1");
        options.SetSMTPPort(static_cast<std::uint16_t>(std::stoi(value)));
        options.SetSMTPFrom("console@example.com");
        options.SetEMailAddresses("developers@example.org");
        options.SetEMailMessage("The report follows.");
        options.SetAppendReportToMessage(true);
    } else if (name == "--web-url") {
        options.SetWebSendMode(faulttrap::TFaultWebSendMode::HTTP);
        options.SetWebURL(value);
    } else if (name == "--tracker") {
        options.SetWebSendMode(static_cast<faulttrap::TFaultWebSendMode>(std::stoi(value)));
        options.SetTrackerUserID("reporter");
        options.SetTrackerPassword("secret");
        options.SetTrackerProject("Registry");
    } else if (name == "--message-length") {
        messageLength = std::stoul(value);
    } else if (name == "--stall-ms") {
        deadlines.stall = std::chrono::milliseconds(std::stoi(value));
    } else if (name == "--overall-ms") {
        deadlines.overall = std::chrono::milliseconds(std::stoi(value));
    } else if (name == "--exit-wait-ms") {
        deadlines.exitWait = std::chrono::milliseconds(std::stoi(value));
    }
}

// A message of the given length that ends in a mark (and a full stop, which a report would add), so
// that a cut shows.
std::string LongMessage(std::size_t length) {
    std::string message;
    for (std::size_t i = 0; message.size() + 5 < length; ++i) {
        message += static_cast<char>('a' + i % 26);
    }
    return message + "=END.";
}

} // namespace

int main(int argc, char** argv) {
    if (!faulttrap::IsActive()) {
        return 2;
    }
    auto& options = MainModuleOptions();
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    options.SetSendOptions(faulttrap::send_options::ShowSendProgress |
                           faulttrap::send_options::ShowSendResult);
    faulttrap::TDeliveryDeadlines deadlines;
    std::size_t messageLength = 40;
    bool dropFiles = false;
    bool inThread = false;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--drop-files") {
            dropFiles = true;
        } else if (name == "--in-thread") {
            inThread = true;
        } else if (i + 1 < argc) {
            ApplyOption(name, argv[++i], deadlines, messageLength);
        }
    }
    faulttrap::SetDeliveryDeadlines(deadlines);
    if (inThread) {
        options.SetSendOptions(options.SendOptions() | faulttrap::send_options::SendInThread);
    }

    faulttrap::TFaultTrap handlers;
    handlers.ExceptionActionNotify = [](faulttrap::TFaultExceptionRecord&, int action, bool&) {
        std::printf("action %d\n", action);
    };
    handlers.ExceptionErrorNotify = [](faulttrap::TFaultExceptionRecord&,
                                       faulttrap::TFaultTrapErrorCode code, const std::string&,
                                       bool&) {
        std::printf("error notify %s\n", faulttrap::ErrorCodeName(code));
    };
    handlers.AttachedFilesRequest = [dropFiles](faulttrap::TFaultExceptionRecord&,
                                                std::vector<std::string>& paths) {
        if (dropFiles) {
            paths.clear();
        }
    };
    const auto fail = [messageLength] {
        try {
            throw std::runtime_error(LongMessage(messageLength));
        } catch (...) {
            faulttrap::ExceptionManager(std::current_exception());
        }
    };
    // A worker thread's exception may be delivered in the background while the program goes
    // on to its end.
    if (inThread) {
        std::thread(fail).join();
    } else {
        fail();
    }
    std::fflush(stdout);
    return 0;
}
