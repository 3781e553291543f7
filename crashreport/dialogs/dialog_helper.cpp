#include "crashreport/dialogs/dialog_helper.h"

#include "crashreport/dialogs/show_exception_dialog.h"
#include "crashreport/options/options_stream.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace faulttrap {
namespace {

// A file of named values: each a line with the name, a line with the length, the bytes and a
// line break.
using Fields = std::map<std::string, std::string>;

bool WriteFields(const std::filesystem::path& path, const Fields& fields) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const auto& [name, value] : fields) {
        file << name << '\n' << value.size() << '\n' << value << '\n';
    }
    file.close();
    return static_cast<bool>(file);
}

Fields ReadFields(const std::filesystem::path& path) {
    Fields fields;
    std::ifstream file(path, std::ios::binary);
    std::string name;
    std::string length;
    while (std::getline(file, name) && std::getline(file, length)) {
        const std::size_t size = std::stoul(length);
        std::string value(size, '\0');
        if (!file.read(value.data(), static_cast<std::streamsize>(size))) {
            break;
        }
        file.get();
        fields[name] = std::move(value);
    }
    return fields;
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}
bool Flag(const Fields& fields, const std::string& name) {
    const auto found = fields.find(name);
    return found != fields.end() && found->second == "1";
}
std::string Value(const Fields& fields, const std::string& name) {
    const auto found = fields.find(name);
    return found == fields.end() ? std::string() : found->second;
}

void PutChoices(Fields& fields, const DialogChoices& choices) {
    fields["sendReport"] = Flag(choices.sendReport);
    fields["attachScreenshot"] = Flag(choices.attachScreenshot);
    fields["copyToClipboard"] = Flag(choices.copyToClipboard);
    fields["restartRequested"] = Flag(choices.restartRequested);
    fields["dialogType"] = std::to_string(choices.dialogType);
    fields["openedFromClassic"] = Flag(choices.openedFromClassic);
    fields["dialogPainted"] = Flag(choices.dialogPainted);
    fields["reproduceText"] = choices.reproduceText;
    fields["userEmail"] = choices.userEmail;
}

void TakeChoices(const Fields& fields, DialogChoices& choices) {
    choices.sendReport = Flag(fields, "sendReport");
    choices.attachScreenshot = Flag(fields, "attachScreenshot");
    choices.copyToClipboard = Flag(fields, "copyToClipboard");
    choices.restartRequested = Flag(fields, "restartRequested");
    choices.dialogType = static_cast<std::uint8_t>(std::atoi(Value(fields, "dialogType").c_str()));
    choices.openedFromClassic = Flag(fields, "openedFromClassic");
    choices.dialogPainted = Flag(fields, "dialogPainted");
    choices.reproduceText = Value(fields, "reproduceText");
    choices.userEmail = Value(fields, "userEmail");
}

// The helper's copy of the report: its text, and what the dialogs did to it.
class ReportCopy : public DialogReport {
public:
    explicit ReportCopy(std::string text) : text_(std::move(text)) {}
    std::string Text() const override { return text_; }
    void InsertSteps(std::string_view, std::string_view steps) override { steps_ = steps; }
    void ReplaceEmail(std::string_view address) override { email_ = address; }
    const std::string& Steps() const { return steps_; }
    const std::string& Email() const { return email_; }

private:
    std::string text_;
    std::string steps_;
    std::string email_;
};

// Runs the helper once; false when it did not answer.
bool RunHelper(DialogSession& session, bool beep, bool reproduceRequest,
               const std::string& program) {
    char pattern[] = "/tmp/faulttrap-dialogXXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return false;
    }
    const std::filesystem::path folder(pattern);
    const std::filesystem::path request = folder / "request";
    const std::filesystem::path answer = folder / "answer";

    Fields fields;
    std::ostringstream options;
    session.options.SaveToStream(options);
    fields["options"] = options.str();
    fields["report"] = session.report.Text();
    fields["message"] = session.exceptionMessage;
    fields["count"] = std::to_string(session.exceptionCount);
    fields["sendingDisabled"] = Flag(session.sendingDisabled);
    fields["beep"] = Flag(beep);
    fields["reproduceRequest"] = Flag(reproduceRequest);
    fields["answer"] = answer.string();
    PutChoices(fields, session.choices);
    bool answered = false;
    if (WriteFields(request, fields)) {
        const std::string variable = std::string(kDialogHelperVariable) + "=" + request.string();
        std::vector<char*> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (!std::string_view(*entry).starts_with(std::string(kDialogHelperVariable) + "=")) {
                environment.push_back(*entry);
            }
        }
        environment.push_back(const_cast<char*>(variable.c_str()));
        environment.push_back(nullptr);
        std::string argument0 = program;
        char* arguments[] = {argument0.data(), nullptr};
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environment.data()) ==
                0 &&
            waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            const Fields reply = ReadFields(answer);
            if (reply.count("dialogType") != 0) {
                TakeChoices(reply, session.choices);
                if (!Value(reply, "steps").empty()) {
                    session.TakeReproduceText(Value(reply, "steps"));
                }
                if (!Value(reply, "email").empty()) {
                    session.report.ReplaceEmail(Value(reply, "email"));
                }
                answered = true;
            }
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return answered;
}

} // namespace

bool ShowExceptionDialogInHelper(DialogSession& session, bool beep, bool reproduceRequest,
                                 const std::string& program) {
    const std::uint8_t type = session.choices.dialogType;
    while (true) {
        if (!RunHelper(session, beep, reproduceRequest, program)) {
            if (session.events.showError) {
                session.events.showError("Cannot show the DialogBox window.");
            }
            return false;
        }
        if (!session.choices.restartRequested || !session.events.restartRequested) {
            return true;
        }
        session.events.restartRequested(session.choices.restartRequested);
        if (session.choices.restartRequested) {
            return true;
        }
        // A handler refused the restart: the user chooses again.
        session.choices.dialogType = type;
        beep = false;
    }
}

int RunDialogHelperIfRequested(int argc, char** argv) {
    const char* requestPath = std::getenv(kDialogHelperVariable);
    if (requestPath == nullptr || *requestPath == '\0') {
        return -1;
    }
    const Fields request = ReadFields(requestPath);
    if (request.count("options") == 0) {
        return 2;
    }
    QApplication application(argc, argv);
    TFaultModuleOptions options("helper", false);
    options.LoadFromBytes(Value(request, "options"), kCurrentDataVersion);
    // The program's handlers are in the other process.
    options.SetDialogOptions(options.DialogOptions() &
                             ~static_cast<std::uint16_t>(dialog_options::OfferCustomButton));
    DialogChoices choices;
    TakeChoices(request, choices);
    ReportCopy report(Value(request, "report"));
    DialogSession session(options, choices, report);
    session.exceptionMessage = Value(request, "message");
    session.exceptionCount = std::atoi(Value(request, "count").c_str());
    session.sendingDisabled = Flag(request, "sendingDisabled");

    bool beep = Flag(request, "beep");
    do {
        ShowExceptionDialog(session, beep);
        beep = false;
        choices.openedFromClassic = choices.openedFromClassic || choices.dialogType != 0;
    } while (choices.dialogType != 0 && !choices.restartRequested);
    if (Flag(request, "reproduceRequest")) {
        ShowReproduceRequest(session);
    }
    Fields reply;
    PutChoices(reply, choices);
    reply["steps"] = report.Steps();
    reply["email"] = report.Email();
    return WriteFields(Value(request, "answer"), reply) ? 0 : 1;
}

} // namespace faulttrap
