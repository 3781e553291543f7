#include "crashreport/intercept/internal_failure.h"

#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/fault_classes.h"
#include "crashreport/intercept/runtime_state.h"

#include "crashreport/debuginfo/safe_memory.h"

#include <sys/utsname.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace faulttrap {

namespace {

std::string TracerLine() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) {
            return line.substr(10);
        }
    }
    return {};
}

std::string Dump(std::uintptr_t address) {
    std::array<unsigned char, 32> bytes{};
    std::string dump;
    if (!ReadMemory(address, bytes.data(), bytes.size())) {
        return dump;
    }
    char text[8];
    for (const unsigned char byte : bytes) {
        std::snprintf(text, sizeof text, "$%02X ", byte);
        dump += text;
    }
    return dump;
}

void WriteDiagnosticFile(const FaultException& failure, const std::string& stage,
                         std::uintptr_t address) {
    std::error_code error;
    std::filesystem::path name = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return;
    }
    name.replace_extension(".log");
    std::ofstream file(name, std::ios::binary);
    const std::time_t now = std::time(nullptr);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    utsname system{};
    ::uname(&system);
    char hexAddress[24];
    std::snprintf(hexAddress, sizeof hexAddress, "%016lX", static_cast<unsigned long>(address));
    file << "Version   : "
         << "\r\n"
         << "Date      : " << date << "\r\n"
         << "OS        : " << system.sysname << ' ' << system.release << "\r\n"
         << "RAD       : "
         << "\r\n"
         << "Dump      : " << Dump(address) << "\r\n"
         << "Section   : " << stage << "\r\n"
         << "LastExcept: " << RunTimeState().lastClass << "\r\n"
         << "Address   : " << hexAddress << "\r\n"
         << "Exception : " << failure.className << "\r\n"
         << "Message   : " << failure.message << "\r\n"
         << "Call Stack: "
         << "\r\n";
}

} // namespace

bool DebuggerAttached() {
    const std::string tracer = TracerLine();
    return !tracer.empty() && tracer.find_first_not_of(" \t0") != std::string::npos;
}

void HandleInternalFailure(const std::exception_ptr& failure, ReportStage stage) {
    HandleInternalFailure(failure, std::to_string(static_cast<int>(stage)));
}

void HandleInternalFailure(const std::exception_ptr& failure, const std::string& stage) {
    try {
        const FaultException described = DescribeException(failure);
        if (IsOfClass<EAbort>(described) || !DebuggerAttached()) {
            return;
        }
        const std::string message =
            described.type ? described.message : std::string("General internal error.");
        const auto address = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
        std::fprintf(stderr, "[ERROR] - Section: %s - Address: %016lX - Message: \"%s\"\n",
                     stage.c_str(), static_cast<unsigned long>(address), message.c_str());
        WriteDiagnosticFile(described, stage, address);
    } catch (...) {
        // Nothing more can be done: the program must not see it.
    }
}

} // namespace faulttrap
