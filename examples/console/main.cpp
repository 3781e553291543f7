// A console program that carries FaultTrap: nothing in it catches the failure below, and
// FaultTrap writes the report (call stack with files and lines) to its log file.
#include <faulttrap/faulttrap.h>

#include <iostream>
#include <map>
#include <stdexcept>
#include <string>

namespace {

__attribute__((noinline)) int CountOf(const std::map<std::string, int>& stock,
                                      const std::string& item) {
    const auto found = stock.find(item);
    if (found == stock.end()) {
        throw std::out_of_range("no " + item + " in stock"); // the failure
    }
    return found->second;
}

} // namespace

int main() {
    std::cout << "FaultTrap " << faulttrap::LibraryVersion() << ", reports go to "
              << faulttrap::LogFileName() << std::endl;
    faulttrap::OnCustomData(
        [](const faulttrap::ExceptionInfo&, faulttrap::CustomInformation& lines) {
            lines.emplace_back("Warehouse", "north");
        });
    const std::map<std::string, int> stock = {{"soap", 12}, {"salt", 3}};
    std::cout << "pepper: " << CountOf(stock, "pepper") << std::endl;
    return 0;
}
