#include "crashreport/disasm/tests/debug_naming.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace {

const Dwfl_Callbacks kCallbacks = {dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr,
                                   nullptr};

std::string Demangled(const char* name) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return status == 0 && readable ? readable.get() : name;
}

} // namespace

TDebugNaming::TDebugNaming() : dwfl_(dwfl_begin(&kCallbacks)) {
    dwfl_linux_proc_report(dwfl_, getpid());
    dwfl_report_end(dwfl_, nullptr, nullptr);
}

TDebugNaming::~TDebugNaming() {
    dwfl_end(dwfl_);
}

std::optional<faulttrap::TSourcePlace> TDebugNaming::SourcePlace(std::uint64_t address) const {
    Dl_info info;
    ElfW(Sym)* symbol = nullptr;
    if (dladdr1(reinterpret_cast<void*>(address), &info, reinterpret_cast<void**>(&symbol),
                RTLD_DL_SYMENT) == 0 ||
        info.dli_sname == nullptr || symbol == nullptr ||
        ELF64_ST_TYPE(symbol->st_info) != STT_FUNC) {
        return std::nullopt;
    }
    const auto start = reinterpret_cast<std::uint64_t>(info.dli_saddr);
    if (address >= start + symbol->st_size) {
        return std::nullopt;
    }
    faulttrap::TSourcePlace place;
    place.Procedure = Demangled(info.dli_sname);
    const auto lineOf = [this](std::uint64_t at, std::string* file) {
        Dwfl_Line* line = dwfl_module_getsrc(dwfl_addrmodule(dwfl_, at), at);
        int number = 0;
        const char* name = line != nullptr
                               ? dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr)
                               : nullptr;
        if (file != nullptr && name != nullptr) {
            const std::string path = name;
            *file = path.substr(path.rfind('/') + 1);
        }
        return number;
    };
    place.Line = lineOf(address, &place.Unit);
    place.LineOffset = std::max(0, place.Line - lineOf(start, nullptr));
    return place;
}

// The test program's code holds no objects that the listing should recognise.
std::string TDebugNaming::ObjectClassName(std::uint64_t) const {
    return {};
}
